#include "cDownloadSession.h"

#include "cInBuffer.h"
#include "cLinkLine.h"
#include "cSerialLink.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mQuietLine.h"

namespace {

QString IncompleteText() {
    return Translate(QStringLiteral("Download Error")) + QStringLiteral("\r\n") +
           Translate(QStringLiteral(
               "The reader's data did not arrive whole; nothing of it was used. Please try again."));
}

QString SilentText() {
    return Translate(QStringLiteral("Download Error")) + QStringLiteral("\r\n") +
           Translate(QStringLiteral(
               "The reader did not answer. Check that it sits properly in the docking station, then try again."));
}

QString LineLostText() {
    return Translate(QStringLiteral("Download Error")) + QStringLiteral("\r\n") +
           Translate(QStringLiteral(
               "The connection to the docking station was lost. Check the docking station and its cable, then go to the Home page to connect again."));
}

} // namespace

cDownloadSession::cDownloadSession(cLinkLine& downloadLine, const cLinkTimings& linkTimings,
                                   QObject* parent)
    : QObject(parent), line(downloadLine), timings(linkTimings) {
    tmrStart.setSingleShot(true);
    tmrStart.setInterval(timings.StartMs);
    tmrGetPackets.setInterval(timings.GetPacketsMs);
    tmrTimeout.setInterval(timings.WatchdogMs);
    tmrLine.setInterval(timings.LineCheckMs);
    connect(&tmrStart, &QTimer::timeout, this, &cDownloadSession::tmrStart_Timer);
    connect(&tmrGetPackets, &QTimer::timeout, this, &cDownloadSession::tmrGetPackets_Timer);
    connect(&tmrLine, &QTimer::timeout, this, &cDownloadSession::tmrLine_Timer);
    connect(&tmrTimeout, &QTimer::timeout, this, [this] {
        Fail(packetsReceived == 0 ? SilentText() : Translate(QStringLiteral("Download Error")));
    });
}

cDownloadSession::~cDownloadSession() {
    gReceiveEnabled = false;
}

void cDownloadSession::Start() {
    tmrStart.start();
}

void cDownloadSession::Stop() {
    finished = true;
    phase = Phase::Finished;
    stopTimers();
    gReceiveEnabled = false;
}

void cDownloadSession::LineLost() {
    // Once the data is whole, nothing more is needed of the line.
    if (phase != Phase::Finished)
        Fail(LineLostText());
}

void cDownloadSession::stopTimers() {
    tmrStart.stop();
    tmrGetPackets.stop();
    tmrTimeout.stop();
    tmrLine.stop();
}

void cDownloadSession::setProgress(int value) {
    emit progress(qMin(value, progressMaximum));
}

void cDownloadSession::tmrStart_Timer() {
    if (!firmwareMode)
        emit message(Translate(QStringLiteral("Downloading data from reader")));
    emit warningShown(true);
    LinkYield();
    LinkPause(timings.BeforeRequestMs);
    if (finished)
        return;
    // A reader may still be sending a stream nobody listens to any more (a cancelled
    // download): the request goes out only once it has ended, so that no packet of that
    // stream is taken for one of this download.
    phase = Phase::WaitingForQuiet;
    waitingSince.start();
    tmrLine.start();
    tmrLine_Timer();
}

void cDownloadSession::tmrLine_Timer() {
    if (finished)
        return;
    if (phase == Phase::WaitingForQuiet) {
        if (line.QuietMs() >= timings.QuietMs) {
            SendRequest();
        } else if (waitingSince.elapsed() >= timings.QuietLimitMs) {
            Fail(Translate(QStringLiteral(
                "The docking station does not stop sending. Check the reader and the docking station, then try again.")));
        } else if (waitingSince.elapsed() >= timings.SayWaitingAfterMs && !sayingBusy) {
            sayingBusy = true;
            emit message(Translate(QLatin1String(LineBusyText())));
        }
        return;
    }
    if (phase != Phase::CheckingEnd || !TakePackets())
        return;
    // Whole only when nothing more follows the last packet the record count announced.
    if (line.QuietMs() >= timings.QuietMs)
        Complete();
    else if (waitingSince.elapsed() >= timings.QuietLimitMs)
        Fail(IncompleteText());
}

void cDownloadSession::SendRequest() {
    tmrLine.stop();
    if (!firmwareMode)
        emit message(Translate(QStringLiteral("Downloading data from reader")));
    sayingBusy = false;
    phase = Phase::Receiving;
    tmrGetPackets.start();
    // A reader that never answers ends the download as one that stops answering does.
    tmrTimeout.start();
    gReceiveEnabled = true;
    const QByteArray frame = BuildPacket(0x03, 0x01, 0x03, 0x51, 0x00, CmdDownload());
    line.InBuffer().Clear();
    droppedAtStart = line.InBuffer().DroppedFrames();
    if (!line.WriteFrame(frame))
        Fail(LineLostText());
}

void cDownloadSession::tmrGetPackets_Timer() {
    LinkYield();
    if (phase == Phase::Receiving)
        TakePackets();
}

bool cDownloadSession::TakePackets() {
    // Every frame waiting is taken, so the download keeps pace with the line; a look that only
    // trimmed bytes before a start mark is followed by another at once.
    QByteArray frame;
    while (!finished) {
        const int held = line.InBuffer().size();
        const bool taken = line.InBuffer().GetPacket(frame);
        // A frame spoilt on the line may have been any packet, the first one included.
        if (line.InBuffer().DroppedFrames() != droppedAtStart) {
            Fail(IncompleteText());
            return false;
        }
        if (!taken) {
            if (line.InBuffer().size() < held)
                continue;
            return true;
        }
        if (phase == Phase::CheckingEnd) {
            if (frame.size() >= kDownloadFrameLength &&
                static_cast<quint8>(frame.at(Frame::kDataOffset)) == kReplyDownloadData) {
                Fail(IncompleteText());
                return false;
            }
            continue; // not a packet of the log
        }
        const int status = ProcessPacket(frame);
        setProgress(packetsReceived);
        if (expectedPackets > 0)
            emit progressText(QString::number(qRound(100.0 * packetsReceived / expectedPackets)) +
                              QLatin1Char('%'));
        if (finished)
            return false; // stopped meanwhile
        switch (status) {
        case -3:
            Fail(Translate(QStringLiteral("Reader not detected. Check reader and try again.")));
            return false;
        case -2:
            Fail(Translate(QStringLiteral("Download Error")) + QStringLiteral(" (002)"));
            return false;
        case -1:
            Fail(Translate(QStringLiteral("Download Error")));
            return false;
        case 0:
            tmrTimeout.stop();
            tmrTimeout.start();
            break;
        default:
            // The last packet the record count announces: whatever follows it now is too many.
            tmrGetPackets.stop();
            tmrTimeout.stop();
            phase = Phase::CheckingEnd;
            waitingSince.start();
            tmrLine.start();
            break;
        }
    }
    return false;
}

void cDownloadSession::Complete() {
    stopTimers();
    phase = Phase::Finished;
    if (!IsWholeDownload(packets, recordCount)) {
        Fail(IncompleteText());
        return;
    }
    emit message(Translate(QStringLiteral("Download Completed")));
    LinkYield();
    if (firmwareMode || idMode) {
        Succeed();
        return;
    }
    LinkYield();
    LinkPause(timings.AfterLastPacketMs);
    if (finished)
        return;
    if (ProcessData())
        Succeed();
    else
        Fail(Translate(QStringLiteral("Download Error")));
}

int cDownloadSession::ProcessPacket(const QByteArray& frame) {
    if (frame.size() >= kDownloadFrameLength) {
        if (static_cast<quint8>(frame.at(Frame::kDataOffset)) != kReplyDownloadData)
            return 0;
        ++packetsReceived;
        if (packetsReceived == 1) {
            const cDownloadHeader header = ReadFirstPacket(frame);
            pipeId = header.PipeID;
            // Taken from the first data packet only, so that no later frame can replace it.
            firmware = FirmwareText(header.Firmware);
            if (firmwareMode && firmware == QLatin1String("V08"))
                firmware = QStringLiteral("V06");
            if (header.RecordCount == kRecordCountError)
                return -1;
            recordCount = header.RecordCount;
            expectedPackets = ExpectedPacketCount(recordCount);
            emit readerId(pipeId);
            progressMaximum = expectedPackets;
            emit progressRange(progressMaximum);
        }
        // Every mode takes the whole stream and checks it before it believes the first packet.
        packets.Add(frame).Tag = packetsReceived;
        return packetsReceived >= expectedPackets ? 1 : 0;
    }
    if (frame.size() < Frame::kDataOffset + 9)
        return 0;
    const QByteArray status = frame.mid(Frame::kDataOffset + 1, 8);
    if (status == QByteArray(8, '\x01'))
        return -2;
    if (status == QByteArray(8, '\xFF'))
        return -3;
    return 0;
}

bool cDownloadSession::ProcessData() {
    try {
        emit message(Translate(QStringLiteral("Processing Data")));
        progressMaximum = qMax(recordCount, 1);
        emit progressRange(progressMaximum);
        LinkYield();
        LinkPause(timings.BeforeDecodeMs);
        buttons = DecodePackets(
            packets, recordCount,
            [](const QString& code) {
                try {
                    return LookUpButtonData(code);
                } catch (const AppError& e) {
                    HandleError(QStringLiteral("LookUpButtonData of Form frmDownload"), e, false);
                    throw;
                }
            },
            [this](int touches) {
                setProgress(touches);
                if (expectedPackets > 0)
                    emit progressText(
                        QStringLiteral("%1%").arg(qRound(100.0 * packetsReceived / expectedPackets),
                                                  2, 10, QLatin1Char('0')));
            });
        setProgress(progressMaximum);
        emit progressText(QStringLiteral("100%"));
        LinkPause(timings.AfterDecodeMs);
        LinkYield();
        return true;
    } catch (const AppError&) {
        return false;
    }
}

bool cDownloadSession::End() {
    if (finished)
        return false;
    finished = true;
    phase = Phase::Finished;
    stopTimers();
    emit warningShown(false);
    return true;
}

void cDownloadSession::Fail(const QString& text) {
    // One failure at a time: the watchdog must not raise a second one while it is shown.
    if (!End())
        return;
    LinkYield();
    buttons = colRawButtons();
    // Nothing of a failed run is reported: a version or ID from it may belong to no reader.
    firmware.clear();
    pipeId.clear();
    ok = false;
    emit failed(text);
}

void cDownloadSession::Succeed() {
    if (!End())
        return;
    ok = true;
    emit succeeded();
}
