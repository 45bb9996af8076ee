#include "cCommandExchange.h"

#include "cInBuffer.h"
#include "cLinkLine.h"
#include "cSerialLink.h"
#include "mDownload.h"
#include "mGlobals.h"
#include "mLinkGlobals.h"
#include "mPacket.h"

#include <QElapsedTimer>

cCommandExchange::cCommandExchange(cLinkLine& exchangeLine, const cLinkTimings& linkTimings)
    : line(exchangeLine), timings(linkTimings) {}

LinkResult cCommandExchange::WaitFor(int Retries, quint8 DestinationID,
                                     const QByteArray& SendCommand, int WaitMilliseconds,
                                     quint8 ExpectCommand, bool bAcceptAll,
                                     QByteArray& ReceivedCmdAndData,
                                     const std::function<bool(const QByteArray& frame)>& isReply) {
    gReceiveEnabled = true;
    cInBuffer& buffer = line.InBuffer();
    const QByteArray frame = BuildPacket(0x03, DestinationID, 0x03, 0x51, 0x00, SendCommand);
    for (int tries = 0;; ++tries) {
        if (tries >= Retries) {
            gReceiveEnabled = false;
            return LinkResult::Failed;
        }
        buffer.Clear();
        LinkYield();
        if (!line.IsOpen() || !line.WriteFrame(frame))
            return LinkResult::LineLost;
        LinkYield();
        LinkPause(timings.SettleMs);
        LinkYield();
        LinkYield();

        QElapsedTimer started;
        started.start();
        while (started.elapsed() < WaitMilliseconds) {
            QByteArray packet;
            const int held = buffer.size();
            if (!buffer.GetPacket(packet)) {
                // Only bytes before a start mark went: the frame may be there already.
                if (buffer.size() < held)
                    continue;
                if (!line.IsOpen())
                    return LinkResult::LineLost;
                LinkPause(timings.PollMs);
                LinkYield();
                continue;
            }
            const int n = quint8(packet.at(Frame::kLengthOffset));
            // A frame without data has no code, so only accept-all takes it.
            const bool fits =
                bAcceptAll || (n > 0 && quint8(packet.at(Frame::kDataOffset)) == ExpectCommand &&
                               (!isReply || isReply(packet)));
            if (!fits)
                continue;
            buffer.Clear();
            ReceivedCmdAndData = packet.mid(Frame::kDataOffset, n);
            gReceiveEnabled = false;
            return LinkResult::Done;
        }
        LinkYield();
        if (!line.IsOpen())
            return LinkResult::LineLost;
        LinkPause(WaitMilliseconds);
    }
}

LinkResult cCommandExchange::WaitQuiet(const Waiting& waiting) {
    const LinkResult result = WaitQuietOnce(waiting);
    if (waiting)
        waiting(kWaitEnded);
    return result;
}

LinkResult cCommandExchange::WaitQuietOnce(const Waiting& waiting) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        LinkYield();
        if (!line.IsOpen())
            return LinkResult::LineLost;
        const qint64 quiet = line.QuietMs();
        if (quiet >= timings.QuietMs) {
            line.InBuffer().Clear();
            return LinkResult::Done;
        }
        if (waited.elapsed() >= timings.QuietLimitMs)
            return LinkResult::Failed;
        if (waiting && !waiting(waited.elapsed()))
            return LinkResult::Cancelled;
        LinkPause(int(qMin<qint64>(timings.QuietMs - quiet, timings.QuietPollMs)));
    }
}

LinkResult cCommandExchange::Command(const cLinkTimings::Exchange& exchange,
                                     const QByteArray& command, quint8 expect, bool acceptAll,
                                     const Waiting& waiting,
                                     const std::function<bool(const QByteArray& frame)>& isReply) {
    const LinkResult quiet = WaitQuiet(waiting);
    if (quiet != LinkResult::Done)
        return quiet;
    QByteArray reply;
    const LinkResult answered =
        WaitFor(exchange.Tries, 0x01, command, exchange.WaitMs, expect, acceptAll, reply, isReply);
    if (answered != LinkResult::Done)
        return answered;
    return reply.size() > 1 && reply.at(1) == 0 ? LinkResult::Done : LinkResult::Failed;
}

LinkResult cCommandExchange::Erase(const Waiting& waiting) {
    gReceiveEnabled = true;
    line.InBuffer().Clear();
    LinkYield();
    LinkPause(timings.BeforeEraseMs);
    // The erase reply shares its code with the data packets of a download: only a frame
    // shorter than those is the answer, and only one sent after the reader went quiet.
    const LinkResult result =
        Command(timings.Erase, CmdErase(), kReplyErase, false, waiting,
                [](const QByteArray& frame) { return frame.size() < kDownloadFrameLength; });
    gReceiveEnabled = false;
    return result;
}

LinkResult cCommandExchange::TxNewDate(quint8 hour, quint8 minute, quint8 dayHigh, quint8 dayLow,
                                       const Waiting& waiting) {
    return Command(timings.SetClock, CmdSetClock(hour, minute, dayHigh, dayLow), kReplySetClock,
                   false, waiting);
}

LinkResult cCommandExchange::SetClock(const QDateTime& moment, const Waiting& waiting) {
    quint8 high = 0, low = 0;
    if (!DateToDayCode(moment.date(), high, low))
        return LinkResult::Failed;
    const QTime time = moment.time();
    return TxNewDate(static_cast<quint8>(time.hour()), static_cast<quint8>(time.minute()), high,
                     low, waiting);
}

LinkResult cCommandExchange::SetOptions(quint8 options, const Waiting& waiting) {
    // Any reply code is taken here, so a reader still sending must have finished first.
    return Command(timings.SetOptions, CmdSetOptions(options), kReplyDockingCheck, true, waiting);
}

LinkResult EraseWithRetries(cCommandExchange& exchange, const std::function<bool()>& askAgain,
                            const cCommandExchange::Waiting& waiting) {
    for (;;) {
        const LinkResult result = exchange.Erase(waiting);
        if (result == LinkResult::Done || result == LinkResult::LineLost)
            return result;
        if (!askAgain())
            return result;
    }
}

QString LinkLostText() {
    return Translate(QStringLiteral(
        "The connection to the docking station was lost. Check the docking station and its cable, then go to the Home page to connect again."));
}
