#include "mIncidentTexts.h"

#include "StoredMoment.h"
#include "mDeclareAPI.h"

#include <QLocale>

namespace {

bool parseStored(const QString& stored, QDate& date, QTime& time) {
    int seconds = 0;
    if (!ParseStoredMoment(stored, &date, &seconds))
        return false;
    time = QTime(seconds / 3600, seconds / 60 % 60, seconds % 60);
    return true;
}

} // namespace

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
