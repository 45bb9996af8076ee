#include "frmManualID.h"

#include "ui_frmManualID.h"

#include "mButtons.h"
#include "mDialogSupport.h"
#include "mGlobals.h"

frmManualID::frmManualID(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmManualID>()) {
    ui->setupUi(this);
    ui->txtID->clear();
    ui->lblStatic->setText(Translate(QStringLiteral(
        "Enter the 6 digit button ID.  This is the last 6 digits visible on the front of the 'Dallas' Key. Valid characters are 0~9 and A~F.")));
    connect(ui->cmdOK, &QPushButton::clicked, this, &frmManualID::cmdOK_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmManualID::~frmManualID() = default;

void frmManualID::cmdOK_Click() {
    const QString typed = NormalizeButtonId(ui->txtID->text());
    if (!IsValidButtonID(typed)) {
        ok = false;
        Notice(Translate(QStringLiteral("Illegal Value")));
        return;
    }
    id = typed;
    ok = true;
    accept();
}
