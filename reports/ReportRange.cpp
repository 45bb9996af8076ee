#include "ReportRange.h"

#include "mDeclareAPI.h"
#include "mGlobals.h"

#include <QLocale>

QDateTime RangeMoment(const QDate& date, const QTime& time) {
    return QDateTime(date, QTime(time.hour(), time.minute(), 0), Qt::UTC);
}

QDateTime RangeEnd(const QDate& date, const QTime& time) {
    return QDateTime(date, QTime(time.hour(), time.minute(), 59), Qt::UTC);
}

QString ShortDateTimeText(const QDateTime& moment, const QString& separator) {
    const QLocale locale;
    return locale.toString(moment.date(), GetShortDateFormat()) + separator +
           locale.toString(moment.time(), QStringLiteral("HH:mm"));
}

QString DateRangeText(const QDateTime& from, const QDateTime& to) {
    const QString blank = QStringLiteral(" ");
    return Translator::FormatStr(Translate(QStringLiteral("Date Range:   From %0:s to %1:s")),
                                 {ShortDateTimeText(from, blank), ShortDateTimeText(to, blank)});
}
