#include "mIncidentTexts.h"

#include "mDeclareAPI.h"

#include <QLocale>

namespace {

int digits(const QString& text, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

// Read by its parts: a moment that the machine's clock skips (the hour the clocks go
// forward) is still a moment the reader logged. By hand, as a report reads it for every row.
bool parseStored(const QString& stored, QDate& date, QTime& time) {
    if (stored.size() != 19 || stored.at(4) != QLatin1Char('-') ||
        stored.at(7) != QLatin1Char('-') || stored.at(10) != QLatin1Char(' ') ||
        stored.at(13) != QLatin1Char(':') || stored.at(16) != QLatin1Char(':'))
        return false;
    const int year = digits(stored, 0, 4);
    const int month = digits(stored, 5, 2);
    const int day = digits(stored, 8, 2);
    const int hour = digits(stored, 11, 2);
    const int minute = digits(stored, 14, 2);
    const int second = digits(stored, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 ||
        !QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return false;
    date = QDate(year, month, day);
    time = QTime(hour, minute, second);
    return true;
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
