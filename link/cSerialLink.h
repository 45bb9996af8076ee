#pragma once

#include "cInBuffer.h"
#include "cLinkLine.h"
#include "cLinkSequence.h"
#include "cLinkTimings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <functional>

// Lets queued events run once (serial input, timers, painting) but no user input, so that no
// click starts a second command on the same buffer.
void LinkYield();
// Waits `milliseconds` the same way: the line is read and the windows repaint meanwhile.
void LinkPause(int milliseconds);

// The serial link to the docking station: the port, the receive buffer and the command
// exchange. The main window owns the one object; everything runs on the GUI thread.
class cSerialLink : public QObject, public cLinkLine {
    Q_OBJECT
public:
    explicit cSerialLink(QObject* parent = nullptr);

    // Port n opens $TREVANO_COM<n>, else the setting ComPort_Settings/Device<n>, else
    // /dev/ttyS<n-1>.
    static QString DevicePath(int portNumber);

    // Opens port n with a settings text such as "9600,n,8,1", discards waiting input and
    // writes CR LF twice. A port already open answers true and nothing else happens.
    bool OpenPort(int portNumber, const QString& settings);
    void ClosePort();
    bool IsOpen() const override { return port.isOpen(); }
    // The port number of the last open.
    int PortNumber() const { return portNumber; }
    // Counts the opens: a line held across a wait is the same only while it has not changed.
    quint64 OpenCount() const { return openCount; }

    QSerialPort& comPort() { return port; }
    cInBuffer& InBuffer() override { return buffer; }

    // Writes one frame in one output call; false when the port is closed or refuses it.
    bool WriteFrame(const QByteArray& frame) override;

    // Sends SendCommand in one frame and waits for the reply whose code is ExpectCommand (any
    // code when bAcceptAll), up to Retries tries of WaitMilliseconds each. On true
    // ReceivedCmdAndData holds the reply's data bytes, code first; on false it is left alone.
    // `isReply`, when given, must also accept the whole frame: a reply code that other
    // packets share is then not enough.
    bool WaitFor(int Retries, quint8 DestinationID, const QByteArray& SendCommand,
                 int WaitMilliseconds, quint8 ExpectCommand, bool bAcceptAll,
                 QByteArray& ReceivedCmdAndData,
                 const std::function<bool(const QByteArray& frame)>& isReply = {});

    // The pauses, time-outs and tries of everything that talks over this link.
    const cLinkTimings& Timings() const { return timings; }
    void setTimings(const cLinkTimings& value) { timings = value; }
    // The sequences under way on this link.
    cLinkSequences& Sequences() { return sequences; }

    // Milliseconds since the last byte arrived, or since the port opened.
    qint64 QuietMs() const override { return lastActivity.elapsed(); }
    // Waits until the line has been quiet for Timings().QuietMs, so that nothing a reader is
    // still sending can pass for the answer to the next request, then empties the receive
    // buffer. `waiting` is called meanwhile with the milliseconds waited; false from it ends
    // the wait. False when the wait was ended, the port closed, or the line was never quiet
    // within Timings().QuietLimitMs.
    bool WaitQuiet(const std::function<bool(qint64 waitedMs)>& waiting = {});

    // An error of the port that means its device is gone or failing; the port closes then.
    static bool LineFailed(QSerialPort::SerialPortError error);

signals:
    // The port closed itself because its device went away or failed.
    void portLost(int error, const QString& description);
    // The port closed, for whatever reason.
    void closed();

private:
    void comPort_OnComm();
    void comPort_Error(QSerialPort::SerialPortError error);

    QSerialPort port;
    cInBuffer buffer;
    int portNumber = 0;
    quint64 openCount = 0;
    QElapsedTimer lastActivity;
    cLinkTimings timings;
    cLinkSequences sequences;
};
