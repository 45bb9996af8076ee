#include "mTrevano.h"

#include "cCommandExchange.h"
#include "cSerialLink.h"
#include "mQuietLine.h"

#include <QApplication>

bool TxNewDate(cSerialLink& link, quint8 hour, quint8 minute, quint8 dayHigh, quint8 dayLow) {
    return cCommandExchange(link, link.Timings())
               .TxNewDate(hour, minute, dayHigh, dayLow,
                          LineBusyWaiting(link.Timings(), QApplication::activeWindow())) ==
           LinkResult::Done;
}

bool SendClock(cSerialLink& link, const QDateTime& moment) {
    return cCommandExchange(link, link.Timings())
               .SetClock(moment, LineBusyWaiting(link.Timings(), QApplication::activeWindow())) ==
           LinkResult::Done;
}
