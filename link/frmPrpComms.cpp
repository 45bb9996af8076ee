#include "frmPrpComms.h"

#include "ui_frmPrpComms.h"

#include "cSerialLink.h"
#include "mGlobals.h"
#include "mSerialDevices.h"

frmPrpComms::frmPrpComms(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmPrpComms>()),
      listPorts(&SerialDevices::SystemPorts), byIdFolder(QStringLiteral("/dev/serial/by-id")) {
    ui->setupUi(this);
    for (int n = 1; n <= 8; ++n)
        ui->cboLocalPort->addItem(
            QStringLiteral("COM%1:  (%2)").arg(n).arg(cSerialLink::DevicePath(n)), n);
    OK = false;
    connect(ui->cboLocalPort, &QComboBox::currentIndexChanged, this, &frmPrpComms::ShowDevice);
    connect(ui->cmdSetupOK, &QPushButton::clicked, this, &frmPrpComms::cmdSetupOK_Click);
    connect(ui->cmdSetupCancel, &QPushButton::clicked, this, &frmPrpComms::cmdSetupCancel_Click);
}

frmPrpComms::~frmPrpComms() = default;

void frmPrpComms::Populate() {
    ui->cboLocalPort->setCurrentIndex(comPort >= 1 && comPort <= 8 ? comPort - 1 : 1);
    ShowDevice();
}

void frmPrpComms::ShowDevice() {
    const int n = ui->cboLocalPort->currentData().toInt();
    if (n < 1)
        return;
    const QString current = cSerialLink::DevicePath(n);
    ui->cboDevice->clear();
    ui->cboDevice->addItems(
        SerialDevices::Offered(n, current, listPorts ? listPorts() : QStringList(), byIdFolder));
    ui->cboDevice->setCurrentText(current);
    // The environment names the device for this run; a stored choice would not be used.
    const bool fromEnvironment = !SerialDevices::EnvironmentPath(n).isEmpty();
    ui->cboDevice->setEnabled(!fromEnvironment);
    ui->cboDevice->setToolTip(
        fromEnvironment
            ? Translate(QStringLiteral("Named for this run by the environment variable")) +
                  QStringLiteral(" TREVANO_COM%1").arg(n)
            : QString());
}

void frmPrpComms::cmdSetupOK_Click() {
    bool read = false;
    const int chosen = ui->cboLocalPort->currentData().toInt(&read);
    if (!read) {
        comPort = 2;
        return;
    }
    if (ui->cboDevice->isEnabled()) {
        const QString device = ui->cboDevice->currentText().trimmed();
        if (!SerialDevices::IsDevicePath(device)) {
            gTranslator->IvMessageBox(
                Translate(QStringLiteral(
                    "Enter the full path of a serial device, such as /dev/ttyUSB0.")),
                QString(), IvBox::Warning, IvBox::Ok, 0);
            ui->cboDevice->setFocus();
            return;
        }
        // A setting that could not be saved has been reported; the dialog stays open.
        if (SerialDevices::Store(chosen, device) == SerialDevices::StoreResult::Failed)
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
