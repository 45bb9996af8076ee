#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// A moment of a report's range: the day at the picker's hour and minute, seconds 00. A
// wall-clock time kept in UTC so that no time-zone rule moves it (02:30 on the night the
// clocks go forward still exists for a guard's reader).
QDateTime RangeMoment(const QDate& date, const QTime& time);
// The last second of the picker's minute, for a range whose end minute counts whole.
QDateTime RangeEnd(const QDate& date, const QTime& time);

// The short date, `separator` and the time as "HH:mm", both in the locale's digits.
QString ShortDateTimeText(const QDateTime& moment, const QString& separator);
// "Date Range:   From <from> to <to>", each moment as the short date, a blank and "HH:mm".
QString DateRangeText(const QDateTime& from, const QDateTime& to);
