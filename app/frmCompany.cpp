#include "frmCompany.h"

#include "ui_frmCompany.h"

#include "TextLimit.h"
#include "mCompany.h"
#include "mGlobals.h"

frmCompany::frmCompany(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmCompany>()) {
    ui->setupUi(this);
    QLineEdit* lines[] = {ui->txtLine_0, ui->txtLine_1, ui->txtLine_2, ui->txtLine_3};
    for (int i = 0; i < 4; ++i) {
        LimitCodePoints(lines[i], kCompanyLineLength);
        WidenForLimit(lines[i], kCompanyLineLength);
        lines[i]->setText(gCompanyInfo[i + 1]);
    }
    connect(ui->cmdOk, &QPushButton::clicked, this, &frmCompany::cmdOk_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmCompany::~frmCompany() = default;

void frmCompany::cmdOk_Click() {
    SaveCompanyInfo({ui->txtLine_0->text(), ui->txtLine_1->text(), ui->txtLine_2->text(),
                     ui->txtLine_3->text()});
    accept();
}
