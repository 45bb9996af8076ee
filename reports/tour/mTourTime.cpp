#include "mTourTime.h"

namespace TourTime {

namespace {

// The value of `count` digits at `from`, or -1 when one of them is not a digit.
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

bool parseClock(const QString& text, int from, int* seconds) {
    if (text.at(from + 2) != QLatin1Char(':') || text.at(from + 5) != QLatin1Char(':'))
        return false;
    const int h = digits(text, from, 2);
    const int m = digits(text, from + 3, 2);
    const int s = digits(text, from + 6, 2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return false;
    *seconds = h * 3600 + m * 60 + s;
    return true;
}

} // namespace

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
    if (text.size() != 19 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-') ||
        text.at(10) != QLatin1Char(' '))
        return false;
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0 || !QDate::isValid(year, month, day))
        return false;
    int seconds = 0;
    if (!parseClock(text, 11, &seconds))
        return false;
    *moment = FromParts(QDate(year, month, day), seconds);
    return true;
}

bool ParseTimeOfDay(const QString& text, int* seconds) {
    return text.size() == 8 && parseClock(text, 0, seconds);
}

} // namespace TourTime
