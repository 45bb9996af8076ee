#include "mTourRules.h"

#include <QLocale>
#include <cmath>

bool ParseTypedNumber(const QString& text, double* value) {
    const QString t = text.trimmed();
    const QChar systemPoint = QLocale::system().decimalPoint().at(0);
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
        negative = t.at(i++) == QLatin1Char('-');
    QString digits;
    bool separatorSeen = false;
    bool anyDigit = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits += c;
            anyDigit = true;
        } else if (!separatorSeen && (c == QLatin1Char('.') || c == systemPoint)) {
            digits += QLatin1Char('.');
            separatorSeen = true;
        } else {
            return false;
        }
    }
    if (!anyDigit)
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(digits, &ok);
    if (!ok)
        return false;
    *value = negative ? -v : v;
    return true;
}

qint64 RoundHalfEven(double value) {
    // nearbyint follows the rounding mode, which is to nearest, ties to even.
    return static_cast<qint64>(std::nearbyint(value));
}

QString MinutesToStoredTime(int minutes) {
    return QStringLiteral("%1:%2:00")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

int StoredTimeToMinutes(const QString& stored) {
    const QStringList parts = stored.trimmed().split(QLatin1Char(':'));
    if (parts.size() < 2)
        return -1;
    bool okHours = false;
    bool okMinutes = false;
    const int hours = parts.at(0).toInt(&okHours);
    const int minutes = parts.at(1).toInt(&okMinutes);
    if (!okHours || !okMinutes || hours < 0 || minutes < 0 || minutes > 59)
        return -1;
    return hours * 60 + minutes;
}

int DefaultIntervalFromSetting(const QString& stored) {
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    return ok && value >= 1 && value <= kMaxTourMinutes ? value : kDefaultTourInterval;
}

QVector<QTime> ExpectedTimes(const QTime& start, const QVector<int>& intervals) {
    QVector<QTime> times;
    times.reserve(intervals.size());
    int running = start.hour() * 60 + start.minute();
    for (int minutes : intervals) {
        running = (running + minutes) % (24 * 60);
        times.append(QTime(running / 60, running % 60));
    }
    return times;
}

bool NameExists(const QString& name, const QStringList& existingNames) {
    return existingNames.contains(name, Qt::CaseSensitive);
}

bool SequentialDuplicateExists(const QStringList& codes) {
    for (int i = 1; i < codes.size(); ++i)
        if (codes.at(i) == codes.at(i - 1))
            return true;
    return false;
}

bool TourTimeIsValid(double tolerance, const QVector<int>& intervals) {
    // A tour without points has only the two tolerances to fit.
    qint64 total = RoundHalfEven(2 * tolerance - (intervals.isEmpty() ? 0 : intervals.first()));
    for (int minutes : intervals)
        total += minutes;
    return total <= kMaxTourMinutes;
}
