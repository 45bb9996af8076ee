#include "frmRptHardwareListParam.h"

#include "ui_frmRptHardwareListParam.h"

#include "mHardwareList.h"

frmRptHardwareListParam::frmRptHardwareListParam(cReportHost& reportHost, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmRptHardwareListParam>()), host(reportHost) {
    ui->setupUi(this);
    connect(ui->cmdPrintPreview, &QPushButton::clicked, this,
            &frmRptHardwareListParam::cmdPrintPreview_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QCheckBox* box : {ui->chkLocation, ui->chkEvent, ui->chkReader})
        connect(box, &QCheckBox::toggled, this, &frmRptHardwareListParam::UpdatePrintButton);
    UpdatePrintButton();
}

frmRptHardwareListParam::~frmRptHardwareListParam() = default;

void frmRptHardwareListParam::UpdatePrintButton() {
    ui->cmdPrintPreview->setEnabled(ui->chkLocation->isChecked() || ui->chkEvent->isChecked() ||
                                    ui->chkReader->isChecked());
}

void frmRptHardwareListParam::cmdPrintPreview_Click() {
    BuildHardwareListReport(ui->chkLocation->isChecked(), ui->chkEvent->isChecked(),
                            ui->chkReader->isChecked(), host);
}

std::unique_ptr<QDialog> MakeHardwareListDialog(cReportHost& host, const QString& caption) {
    auto dialog = std::make_unique<frmRptHardwareListParam>(host);
    dialog->setWindowTitle(caption);
    return dialog;
}
