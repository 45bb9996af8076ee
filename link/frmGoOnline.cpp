#include "frmGoOnline.h"

#include "ui_frmGoOnline.h"

#include "cSerialLink.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mPacket.h"

#include <QCloseEvent>

namespace {

cLinkTimings TimingsOf(const cSerialLink* link) {
    return link ? link->Timings() : cLinkTimings();
}

} // namespace

frmGoOnline::frmGoOnline(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmGoOnline>()) {
    ui->setupUi(this);
    tmrStart.setObjectName(QStringLiteral("tmrStart"));
    tmrStart.setInterval(cLinkTimings().ConnectStartMs);
    tmrStart.setSingleShot(true);
    connect(&tmrStart, &QTimer::timeout, this, &frmGoOnline::tmrStart_Timer);
}

frmGoOnline::~frmGoOnline() = default;

void frmGoOnline::showEvent(QShowEvent* event) {
    // Every round loads the window anew.
    QDialog::showEvent(event);
    ui->retranslateUi(this);
    OK = false;
    tmrStart.setInterval(TimingsOf(MyComObject).ConnectStartMs);
    tmrStart.start();
}

void frmGoOnline::closeEvent(QCloseEvent* event) {
    // The dialog closes itself once the port and the docking station are settled.
    if (running || tmrStart.isActive())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void frmGoOnline::setMessage(const QString& text) {
    ui->lblMsgs->setText(text);
    ui->lblMsgs->repaint();
}

QString frmGoOnline::message() const {
    return ui->lblMsgs->text();
}

void frmGoOnline::AppendMessage(const QString& text) {
    setMessage(message() + QLatin1Char(' ') + text);
}

void frmGoOnline::tmrStart_Timer() {
    tmrStart.stop();
    running = true;
    OK = false;
    setMessage(QStringLiteral("Ready..."));
    if (OpenComPort()) {
        OK = true;
        DockingDetected = CheckDockingStation();
        Online = DockingDetected;
    } else {
        OK = false;
        if (MyComObject && MyComObject->IsOpen())
            MyComObject->ClosePort();
        Online = false;
    }
    running = false;
    accept();
}

bool frmGoOnline::OpenComPort() {
    setMessage(QStringLiteral("Opening COM port...\r\n\r\n"));
    LinkPause(TimingsOf(MyComObject).BeforeOpenMs);
    if (!OpenPort(MyComObject, MyCommPort.toInt(), MyCommSettings)) {
        AppendMessage(
            QStringLiteral("Could Not Open Com ") + MyCommPort + QStringLiteral("\r\n") +
            QStringLiteral("Please try another COM port or check that the COM port is not in use "
                           "by another program."));
        return false;
    }
    AppendMessage(QStringLiteral("OK"));
    LinkYield();
    MyComObject->InBuffer().Clear();
    LinkPause(MyComObject->Timings().AfterOpenMs);
    return true;
}

bool frmGoOnline::OpenPort(cSerialLink* port, int portNumber, const QString& settings) {
    return port && port->OpenPort(portNumber, settings);
}

bool frmGoOnline::CheckDockingStation() {
    setMessage(Translate(QStringLiteral("Checking Docking Station...")) +
               QStringLiteral("\r\n\r\n"));
    gReceiveEnabled = true;
    MyComObject->InBuffer().Clear();
    QByteArray reply;
    const cLinkTimings::Exchange& exchange = MyComObject->Timings().DockingCheck;
    const bool answered = MyComObject->WaitFor(exchange.Tries, 0x01, CmdDockingCheck(),
                                               exchange.WaitMs, kReplyDockingCheck, false, reply);
    AppendMessage(answered ? Translate(QStringLiteral("OK")) : Translate(QStringLiteral("Failed")));
    return answered;
}
