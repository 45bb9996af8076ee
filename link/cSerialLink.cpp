#include "cSerialLink.h"

#include "cCommandExchange.h"
#include "cHeldLine.h"
#include "mLinkGlobals.h"
#include "mPacket.h"
#include "mSerialDevices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

struct LineSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// "9600,n,8,1": baud rate, parity (n, e, o, m, s), data bits 5 to 8, stop bits 1, 1.5 or 2.
bool parseSettings(const QString& text, LineSettings& out) {
    const QStringList parts = text.trimmed().toLower().split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    out.baud = parts.at(0).trimmed().toInt(&ok);
    if (!ok || out.baud <= 0)
        return false;
    const QString parity = parts.at(1).trimmed();
    if (parity == QLatin1String("n"))
        out.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("e"))
        out.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("o"))
        out.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("m"))
        out.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("s"))
        out.parity = QSerialPort::SpaceParity;
    else
        return false;
    const int bits = parts.at(2).trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return false;
    out.dataBits = static_cast<QSerialPort::DataBits>(bits);
    const QString stop = parts.at(3).trimmed();
    if (stop == QLatin1String("1"))
        out.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        out.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        out.stopBits = QSerialPort::TwoStop;
    else
        return false;
    return true;
}

} // namespace

void LinkYield() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void LinkPause(int milliseconds) {
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

cSerialLink::cSerialLink(QObject* parent) : QObject(parent) {
    lastActivity.start();
    connect(&port, &QSerialPort::readyRead, this, &cSerialLink::comPort_OnComm);
    connect(&port, &QSerialPort::errorOccurred, this, &cSerialLink::comPort_Error);
}

QString cSerialLink::DevicePath(int portNumber) {
    const QString fromEnvironment = SerialDevices::EnvironmentPath(portNumber);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString fromSettings = SerialDevices::StoredPath(portNumber);
    return fromSettings.isEmpty() ? SerialDevices::DefaultPath(portNumber) : fromSettings;
}

bool cSerialLink::OpenPort(int number, const QString& settings) {
    if (port.isOpen())
        return true;
    LineSettings line;
    if (!parseSettings(settings, line))
        return false;
    port.setPortName(DevicePath(number));
    port.setBaudRate(line.baud);
    port.setParity(line.parity);
    port.setDataBits(line.dataBits);
    port.setStopBits(line.stopBits);
    port.setFlowControl(QSerialPort::NoFlowControl);
    if (!port.open(QIODevice::ReadWrite)) {
        ClosePort();
        return false;
    }
    portNumber = number;
    ++openCount;
    // What was on the line before the open is unknown: quiet counts from now.
    lastActivity.restart();
    port.clear(QSerialPort::Input);
    port.readAll();
    if (!WriteFrame(QByteArrayLiteral("\r\n\r\n"))) {
        ClosePort();
        return false;
    }
    return true;
}

void cSerialLink::ClosePort() {
    if (!port.isOpen())
        return;
    port.close();
    emit closed();
}

bool cSerialLink::WriteFrame(const QByteArray& frame) {
    if (!port.isOpen() || frame.isEmpty())
        return false;
    if (port.write(frame) != frame.size())
        return false;
    port.flush();
    return port.isOpen();
}

void cSerialLink::comPort_OnComm() {
    // Everything the port holds is read, whether or not anyone listens.
    const QByteArray received = port.readAll();
    if (!received.isEmpty())
        lastActivity.restart();
    if (gReceiveEnabled)
        buffer.Append(received);
}

bool cSerialLink::LineFailed(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    // Modem-line requests a pseudo-terminal refuses, and a write to a port already closed.
    case QSerialPort::UnsupportedOperationError:
    case QSerialPort::NotOpenError:
        return false;
    default:
        // The device is gone or failing (read, write, resource, device-not-found, permission,
        // or an error the system does not name): the line cannot be trusted any more.
        return true;
    }
}

void cSerialLink::comPort_Error(QSerialPort::SerialPortError error) {
    if (!LineFailed(error) || !port.isOpen())
        return;
    const QString description = port.errorString();
    // A hung-up peer would otherwise raise the same error again and again.
    port.close();
    emit closed();
    emit portLost(int(error), description);
}

bool cSerialLink::WaitFor(int Retries, quint8 DestinationID, const QByteArray& SendCommand,
                          int WaitMilliseconds, quint8 ExpectCommand, bool bAcceptAll,
                          QByteArray& ReceivedCmdAndData,
                          const std::function<bool(const QByteArray& frame)>& isReply) {
    return cCommandExchange(*this, timings)
               .WaitFor(Retries, DestinationID, SendCommand, WaitMilliseconds, ExpectCommand,
                        bAcceptAll, ReceivedCmdAndData, isReply) == LinkResult::Done;
}

bool cSerialLink::WaitQuiet(const std::function<bool(qint64 waitedMs)>& waiting) {
    return cCommandExchange(*this, timings).WaitQuiet(waiting) == LinkResult::Done;
}

cHeldLine HoldLink(cSerialLink& link) {
    const int port = link.PortNumber();
    const quint64 opened = link.OpenCount();
    const bool open = link.IsOpen();
    return cHeldLine(link, [&link, port, opened, open] {
        return open && link.PortNumber() == port && link.OpenCount() == opened;
    });
}
