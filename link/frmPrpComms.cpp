#include "frmPrpComms.h"

#include "ui_frmPrpComms.h"

#include "cSerialLink.h"

frmPrpComms::frmPrpComms(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmPrpComms>()) {
    ui->setupUi(this);
    for (int n = 1; n <= 8; ++n)
        ui->cboLocalPort->addItem(
            QStringLiteral("COM%1:  (%2)").arg(n).arg(cSerialLink::DevicePath(n)), n);
    OK = false;
    connect(ui->cmdSetupOK, &QPushButton::clicked, this, &frmPrpComms::cmdSetupOK_Click);
    connect(ui->cmdSetupCancel, &QPushButton::clicked, this, &frmPrpComms::cmdSetupCancel_Click);
}

frmPrpComms::~frmPrpComms() = default;

void frmPrpComms::Populate() {
    ui->cboLocalPort->setCurrentIndex(comPort >= 1 && comPort <= 8 ? comPort - 1 : 1);
}

void frmPrpComms::cmdSetupOK_Click() {
    bool read = false;
    const int chosen = ui->cboLocalPort->currentData().toInt(&read);
    if (!read) {
        comPort = 2;
        return;
    }
    comPort = static_cast<qint16>(chosen);
    OK = true;
    accept();
}

void frmPrpComms::cmdSetupCancel_Click() {
    OK = false;
    reject();
}
