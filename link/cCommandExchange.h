#pragma once

#include "cLinkTimings.h"

#include <QByteArray>
#include <QDateTime>
#include <functional>

class cLinkLine;

// How one exchange with the reader ended.
enum class LinkResult {
    Done,      // the reader answered and accepted
    Failed,    // no fitting answer within the tries, or the reader refused
    Cancelled, // the user ended the wait for a quiet line
    LineLost,  // the line is gone: no try can succeed, so none is made
};

// The command exchange over a line to the docking station, without a window: one request frame,
// then a wait with a time-out and tries for the reply of the expected code. Every command
// first waits for a quiet line, so that nothing a reader is still sending passes for its answer.
class cCommandExchange {
public:
    // Called while a wait for the quiet line lasts; false from it cancels. Called once more
    // with kWaitEnded when the wait is over, whatever ended it.
    using Waiting = std::function<bool(qint64 waitedMs)>;
    static constexpr qint64 kWaitEnded = -1;

    cCommandExchange(cLinkLine& line, const cLinkTimings& timings);

    // Sends SendCommand in one frame and waits for the reply whose code is ExpectCommand (any
    // code when bAcceptAll), up to Retries tries of WaitMilliseconds each. On Done
    // ReceivedCmdAndData holds the reply's data bytes, code first; otherwise it is left alone.
    // `isReply`, when given, must also accept the whole frame.
    LinkResult WaitFor(int Retries, quint8 DestinationID, const QByteArray& SendCommand,
                       int WaitMilliseconds, quint8 ExpectCommand, bool bAcceptAll,
                       QByteArray& ReceivedCmdAndData,
                       const std::function<bool(const QByteArray& frame)>& isReply = {});

    // Waits until the line has been quiet for QuietMs, then empties the receive buffer.
    // `waiting` is called meanwhile with the milliseconds waited; false from it cancels.
    // Failed when the line never went quiet within QuietLimitMs.
    LinkResult WaitQuiet(const Waiting& waiting = {});

    // The reader commands: each waits for the quiet line (with `waiting`), then sends once with
    // its tries. Done only when the reader accepted (reply byte 1 is 0).
    LinkResult Erase(const Waiting& waiting = {});
    LinkResult TxNewDate(quint8 hour, quint8 minute, quint8 dayHigh, quint8 dayLow,
                         const Waiting& waiting = {});
    // Hour and minute are taken from the one moment, so they always belong together.
    LinkResult SetClock(const QDateTime& moment, const Waiting& waiting = {});
    LinkResult SetOptions(quint8 options, const Waiting& waiting = {});

    const cLinkTimings& Timings() const { return timings; }

private:
    LinkResult WaitQuietOnce(const Waiting& waiting);
    LinkResult Command(const cLinkTimings::Exchange& exchange, const QByteArray& command,
                       quint8 expect, bool acceptAll, const Waiting& waiting,
                       const std::function<bool(const QByteArray& frame)>& isReply = {});

    cLinkLine& line;
    const cLinkTimings timings;
};

// The erase of a reader that is asked again after each failure: `askAgain` decides whether to
// try once more. A lost line ends it at once, without asking: no answer could succeed.
LinkResult EraseWithRetries(cCommandExchange& exchange, const std::function<bool()>& askAgain,
                            const cCommandExchange::Waiting& waiting = {});

// What the windows say when the line is gone.
QString LinkLostText();
