#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class frmGoOnline;
}
class cSerialLink;

// The status dialog of connecting: opens the port and asks whether a docking station
// answers. It runs by itself once shown and closes itself when done.
class frmGoOnline : public QDialog {
    Q_OBJECT
public:
    explicit frmGoOnline(QWidget* parent = nullptr);
    ~frmGoOnline() override;

    QString MyCommPort;     // the port number as text
    QString MyCommSettings; // "9600,n,8,1"
    cSerialLink* MyComObject = nullptr;
    bool Online = false; // in and out: set when the port opened and a station answered
    bool OK = false;     // out: the port is open
    bool DockingDetected = false;

    void setMessage(const QString& text);
    QString message() const;
    void AppendMessage(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void tmrStart_Timer();
    bool OpenComPort();
    bool OpenPort(cSerialLink* port, int portNumber, const QString& settings);
    bool CheckDockingStation();

    std::unique_ptr<Ui::frmGoOnline> ui;
    QTimer tmrStart;
    bool running = false;
};
