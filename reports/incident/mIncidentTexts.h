#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// Texts and ranges the two incident reports share. Moments are wall-clock values of the site:
// built from their parts and kept in UTC, so no time zone ever shifts them.

// The first second of the start minute and the last second of the end minute: the seconds
// of the time pickers are dropped.
QDateTime RangeStart(const QDate& date, const QTime& time);
QDateTime RangeEnd(const QDate& date, const QTime& time);

// A stored "yyyy-MM-dd HH:mm:ss" text as the short date, as "HH:mm", or as both with a blank
// between them. A text that is not a stored moment is printed whole in the date (and the time
// stays empty) rather than lost.
QString ShortDateOf(const QString& stored);
QString ShortTimeOf(const QString& stored);
QString ShortDateTimeOf(const QString& stored);
// The short date, `separator` and "HH:mm" of a moment.
QString DateAndTimeText(const QDateTime& moment, const QString& separator);
