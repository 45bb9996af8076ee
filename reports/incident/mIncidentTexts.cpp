#include "mIncidentTexts.h"

#include "mDeclareAPI.h"

#include <QLocale>

namespace {

// Read by its parts: a moment that the machine's clock skips (the hour the clocks go
// forward) is still a moment the reader logged.
bool parseStored(const QString& stored, QDate& date, QTime& time) {
    if (stored.size() != 19 || stored.at(10) != QLatin1Char(' '))
        return false;
    date = QDate::fromString(stored.left(10), QStringLiteral("yyyy-MM-dd"));
    time = QTime::fromString(stored.mid(11), QStringLiteral("HH:mm:ss"));
    return date.isValid() && time.isValid();
}

} // namespace

QDateTime RangeStart(const QDate& date, const QTime& time) {
    return QDateTime(date, QTime(time.hour(), time.minute(), 0), Qt::UTC);
}

QDateTime RangeEnd(const QDate& date, const QTime& time) {
    return QDateTime(date, QTime(time.hour(), time.minute(), 59), Qt::UTC);
}

QString ShortDateOf(const QString& stored) {
    QDate date;
    QTime time;
    if (!parseStored(stored, date, time))
        return stored;
    return QLocale().toString(date, GetShortDateFormat());
}

QString ShortTimeOf(const QString& stored) {
    QDate date;
    QTime time;
    if (!parseStored(stored, date, time))
        return QString();
    return time.toString(QStringLiteral("HH:mm"));
}

QString ShortDateTimeOf(const QString& stored) {
    QDate date;
    QTime time;
    if (!parseStored(stored, date, time))
        return stored;
    return QLocale().toString(date, GetShortDateFormat()) + QLatin1Char(' ') +
           time.toString(QStringLiteral("HH:mm"));
}

QString DateAndTimeText(const QDateTime& moment, const QString& separator) {
    return QLocale().toString(moment.date(), GetShortDateFormat()) + separator +
           moment.time().toString(QStringLiteral("HH:mm"));
}
