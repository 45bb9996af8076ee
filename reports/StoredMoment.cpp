#include "StoredMoment.h"

namespace {

int code(const QString& text, int i) {
    return text.at(i).unicode();
}
int code(QByteArrayView text, int i) {
    return uchar(text.at(i));
}

// The value of `count` digits at `from`, or -1 when one of them is not a digit.
template <typename Text> int digits(const Text& text, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const int c = code(text, i);
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

template <typename Text> bool parseClock(const Text& text, int from, int* seconds) {
    if (code(text, from + 2) != ':' || code(text, from + 5) != ':')
        return false;
    const int h = digits(text, from, 2);
    const int m = digits(text, from + 3, 2);
    const int s = digits(text, from + 6, 2);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return false;
    *seconds = h * 3600 + m * 60 + s;
    return true;
}

template <typename Text> bool parseMoment(const Text& text, QDate* date, int* secondsOfDay) {
    if (text.size() != 19 || code(text, 4) != '-' || code(text, 7) != '-' || code(text, 10) != ' ')
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

} // namespace

bool ParseStoredMoment(const QString& text, QDate* date, int* secondsOfDay) {
    return parseMoment(text, date, secondsOfDay);
}

bool ParseStoredMoment(QByteArrayView utf8, QDate* date, int* secondsOfDay) {
    return parseMoment(utf8, date, secondsOfDay);
}

bool ParseStoredTime(const QString& text, int* secondsOfDay) {
    return text.size() == 8 && parseClock(text, 0, secondsOfDay);
}
