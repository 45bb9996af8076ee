#pragma once

#include "cLinkTimings.h"
#include "mDownload.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class cLinkLine;

// One download from the reader, without a window: waits until the line is quiet, sends the
// download request once, collects the data packets and, once they make the whole log the
// first one announces, by its mode decodes the touches, reports the reader ID or the firmware.
// The Status window shows what it signals and ends it; a test drives it over a line of its own.
class cDownloadSession : public QObject {
    Q_OBJECT
public:
    cDownloadSession(cLinkLine& line, const cLinkTimings& timings, QObject* parent = nullptr);
    ~cDownloadSession() override;

    bool OK() const { return ok; }
    QString PipeID() const { return pipeId; }
    const colRawButtons& Buttons() const { return buttons; }
    bool GetIDMode() const { return idMode; }
    void setGetIDMode(bool value) { idMode = value; }
    void setFirmwareVersion(bool value) { firmwareMode = value; }
    QString tFirmware() const { return firmware; }
    // Set once the session has failed, succeeded or been stopped.
    bool Finished() const { return finished; }

    // Starts tmrStart; everything else follows from the timers and the line.
    void Start();
    // The window went (Cancel, closed): nothing more is done or taken, the gate closes.
    void Stop();
    // The line failed: nothing more can arrive on it.
    void LineLost();

signals:
    // The stage text of the window.
    void message(const QString& text);
    void warningShown(bool shown);
    void readerId(const QString& pipeId);
    // The progress bar runs from 0 to `maximum`, now at 0.
    void progressRange(int maximum);
    void progress(int value);
    void progressText(const QString& text);
    // The end of the session; OK() tells which. A failure's text is for the user.
    void failed(const QString& text);
    void succeeded();

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
    // Ends the run once: false when it had already ended.
    bool End();
    void Fail(const QString& text);
    void Succeed();
    void stopTimers();
    void setProgress(int value);

    cLinkLine& line;
    const cLinkTimings timings;
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
    int progressMaximum = 1;
    bool finished = false;
    bool sayingBusy = false;
    Phase phase = Phase::Starting;
    QElapsedTimer waitingSince;

    QTimer tmrStart;
    QTimer tmrGetPackets;
    QTimer tmrTimeout;
    QTimer tmrLine; // the quiet line before the request and after the last packet
};
