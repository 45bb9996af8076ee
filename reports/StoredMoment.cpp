#include "StoredMoment.h"

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

bool ParseStoredMoment(const QString& text, QDate* date, int* secondsOfDay) {
    if (text.size() != 19 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-') ||
        text.at(10) != QLatin1Char(' '))
        return false;
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0 || !QDate::isValid(year, month, day))
        return false;
    int seconds = 0;
    if (!parseClock(text, 11, &seconds))
        return false;
    *date = QDate(year, month, day);
    *secondsOfDay = seconds;
    return true;
}

bool ParseStoredTime(const QString& text, int* secondsOfDay) {
    return text.size() == 8 && parseClock(text, 0, secondsOfDay);
}
