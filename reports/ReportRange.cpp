#include "ReportRange.h"

#include "mDeclareAPI.h"
#include "mGlobals.h"

#include <QLocale>

QDateTime RangeMoment(const QDate& date, const QTime& time) {
    return QDateTime(date, QTime(time.hour(), time.minute(), 0), Qt::UTC);
}

namespace {

QString momentText(const QDateTime& moment) {
    const QLocale locale;
    return locale.toString(moment.date(), GetShortDateFormat()) + QLatin1Char(' ') +
           locale.toString(moment.time(), QStringLiteral("HH:mm"));
}

} // namespace

QString DateRangeText(const QDateTime& from, const QDateTime& to) {
    return Translator::FormatStr(Translate(QStringLiteral("Date Range:   From %0:s to %1:s")),
                                 {momentText(from), momentText(to)});
}
