#pragma once

#include <QDate>
#include <QString>

// Moments of the tour report: whole seconds of the site's wall clock, counted from the start of
// Julian day 0. They are built from their parts and never pass through a time zone, so a
// touch logged in the hour the clocks skip or repeat keeps exactly the time it was logged at.
namespace TourTime {

using Moment = qint64;

constexpr qint64 Minute = 60;
constexpr qint64 Hour = 3600;
constexpr qint64 Day = 86400;

Moment FromParts(const QDate& day, qint64 secondsOfDay);
QDate DateOf(Moment moment);
int SecondsOfDay(Moment moment);

// "yyyy-MM-dd HH:mm:ss", the stored text of a moment.
QString SqlText(Moment moment);
// "HH:mm".
QString ShortTime(Moment moment);

// Reads the stored text of a moment, exactly 19 characters; false when it is not one.
bool ParseSqlText(const QString& text, Moment* moment);
// Reads a stored time of day or interval, "HH:MM:SS" with hours 0 to 23; false otherwise.
bool ParseTimeOfDay(const QString& text, int* seconds);

} // namespace TourTime
