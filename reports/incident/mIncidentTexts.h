#pragma once

#include <QDateTime>
#include <QString>

// Texts the two incident reports share. The times print as "HH:mm" in plain digits, in the
// rows and in the header alike.

// A stored "yyyy-MM-dd HH:mm:ss" text as the short date, as "HH:mm", or as both with a blank
// between them. A text that is not a stored moment is printed whole in the date (and the time
// stays empty) rather than lost.
QString ShortDateOf(const QString& stored);
QString ShortTimeOf(const QString& stored);
QString ShortDateTimeOf(const QString& stored);
// The short date, `separator` and "HH:mm" of a moment.
QString DateAndTimeText(const QDateTime& moment, const QString& separator);
