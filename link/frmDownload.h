#pragma once

#include "mDownload.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class cSerialLink;

// The "Status" window of a download: waits until the line is quiet, sends the download
// request once, collects the data packets and, once they make the whole log the first one
// announces, by its mode decodes the touches, reports the reader ID or the firmware.
class frmDownload : public QDialog {
    Q_OBJECT
public:
    explicit frmDownload(cSerialLink& link, QWidget* parent = nullptr);
    ~frmDownload() override;

    bool OK() const { return ok; }
    QString PipeID() const { return pipeId; }
    const colRawButtons& Buttons() const { return buttons; }
    bool GetIDMode() const { return idMode; }
    void setGetIDMode(bool value) { idMode = value; }
    void setFirmwareVersion(bool value) { firmwareMode = value; }
    QString tFirmware() const { return firmware; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    enum class Phase { Starting, WaitingForQuiet, Receiving, CheckingEnd, Finished };

    void tmrStart_Timer();
    void tmrGetPackets_Timer();
    void tmrLine_Timer();
    void SendRequest();
    // Takes every frame waiting; false when the run ended with one of them.
    bool TakePackets();
    // 1 complete, 0 go on, -1 download error, -2 download error (002), -3 no reader.
    int ProcessPacket(const QByteArray& frame);
    void Complete();
    bool ProcessData();
    void Fail(const QString& text);
    void Succeed();
    void stopTimers();

    cSerialLink& link;
    bool ok = false;
    bool idMode = false;
    bool firmwareMode = false;
    QString pipeId;
    QString firmware;
    colRawButtons buttons;
    colPackets packets;
    int packetsReceived = 0;
    int expectedPackets = 0;
    int recordCount = 0;
    int droppedAtStart = 0;
    bool finished = false;
    Phase phase = Phase::Starting;
    QElapsedTimer waitingSince;

    QLabel* lblMsgs;
    QLabel* lblStatic;
    QLabel* lblPipeID;
    QLabel* lblWarning;
    QProgressBar* prgOnline;
    QLabel* lblProgress;
    QPushButton* cmdCancel;
    QTimer tmrStart;
    QTimer tmrGetPackets;
    QTimer tmrTimeout;
    QTimer tmrLine; // the quiet line before the request and after the last packet
};
