#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

namespace Ui {
class frmPrpComms;
}

// The port dialog: one of the serial ports COM1: to COM8:, each naming the device it opens,
// and the device the chosen port is to open (any serial device of the system, or a path).
class frmPrpComms : public QDialog {
    Q_OBJECT
public:
    explicit frmPrpComms(QWidget* parent = nullptr);
    ~frmPrpComms() override;

    qint16 comPort = 0; // in and out
    bool OK = false;    // out
    // Selects the entry of comPort; a number outside 1 to 8 selects COM2:.
    void Populate();

    // Where the devices offered come from (the system's serial ports by default).
    using PortLister = std::function<QStringList()>;
    void setPortLister(PortLister lister) { listPorts = std::move(lister); }
    void setByIdFolder(const QString& folder) { byIdFolder = folder; }

private:
    void cmdSetupOK_Click();
    void cmdSetupCancel_Click();
    void ShowDevice();

    std::unique_ptr<Ui::frmPrpComms> ui;
    PortLister listPorts;
    QString byIdFolder;
};
