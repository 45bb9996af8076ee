#include "mTrevano.h"

#include "cSerialLink.h"
#include "mPacket.h"
#include "mQuietLine.h"

#include <QApplication>

bool TxNewDate(cSerialLink& link, quint8 hour, quint8 minute, quint8 dayHigh, quint8 dayLow) {
    QByteArray reply;
    const cLinkTimings::Exchange& exchange = link.Timings().SetClock;
    return WaitForQuietLine(link, QApplication::activeWindow()) &&
           link.WaitFor(exchange.Tries, 0x01, CmdSetClock(hour, minute, dayHigh, dayLow),
                        exchange.WaitMs, kReplySetClock, false, reply) &&
           reply.size() > 1 && reply.at(1) == 0;
}

bool SendClock(cSerialLink& link, const QDateTime& moment) {
    quint8 high = 0, low = 0;
    if (!DateToDayCode(moment.date(), high, low))
        return false;
    const QTime time = moment.time();
    return TxNewDate(link, static_cast<quint8>(time.hour()), static_cast<quint8>(time.minute()),
                     high, low);
}
