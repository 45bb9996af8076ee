#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmPrpComms;
}

// The port dialog: one of the serial ports COM1: to COM8:, each naming the device it opens.
class frmPrpComms : public QDialog {
    Q_OBJECT
public:
    explicit frmPrpComms(QWidget* parent = nullptr);
    ~frmPrpComms() override;

    qint16 comPort = 0; // in and out
    bool OK = false;    // out
    // Selects the entry of comPort; a number outside 1 to 8 selects COM2:.
    void Populate();

private:
    void cmdSetupOK_Click();
    void cmdSetupCancel_Click();

    std::unique_ptr<Ui::frmPrpComms> ui;
};
