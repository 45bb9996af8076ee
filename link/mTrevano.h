#pragma once

#include <QDateTime>
#include <QtGlobal>

class cSerialLink;

// Sends the set-clock command; true when the reader accepted it.
bool TxNewDate(cSerialLink& link, quint8 hour, quint8 minute, quint8 dayHigh, quint8 dayLow);
// Sets the reader's clock to `moment` (hour and minute taken from the one reading).
bool SendClock(cSerialLink& link, const QDateTime& moment);
