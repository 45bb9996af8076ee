#include "mTourTime.h"

#include "StoredMoment.h"

namespace TourTime {

Moment FromParts(const QDate& day, qint64 secondsOfDay) {
    return day.toJulianDay() * Day + secondsOfDay;
}

QDate DateOf(Moment moment) {
    qint64 day = moment / Day;
    if (moment % Day < 0)
        --day;
    return QDate::fromJulianDay(day);
}

int SecondsOfDay(Moment moment) {
    const qint64 s = moment % Day;
    return static_cast<int>(s < 0 ? s + Day : s);
}

QString SqlText(Moment moment) {
    const int s = SecondsOfDay(moment);
    return DateOf(moment).toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(" %1:%2:%3")
               .arg(s / 3600, 2, 10, QLatin1Char('0'))
               .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
               .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString ShortTime(Moment moment) {
    const int s = SecondsOfDay(moment);
    const int h = s / 3600, m = s / 60 % 60;
    const QChar text[5] = {QChar('0' + h / 10), QChar('0' + h % 10), QLatin1Char(':'),
                           QChar('0' + m / 10), QChar('0' + m % 10)};
    return QString(text, 5);
}

bool ParseSqlText(const QString& text, Moment* moment) {
    QDate day;
    int seconds = 0;
    if (!ParseStoredMoment(text, &day, &seconds))
        return false;
    *moment = FromParts(day, seconds);
    return true;
}

bool ParseTimeOfDay(const QString& text, int* seconds) {
    return ParseStoredTime(text, seconds);
}

} // namespace TourTime
