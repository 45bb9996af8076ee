#include "mTourRows.h"

#include "cTourModel.h"
#include "mGlobals.h"

const char* const TourRow::ColumnNames[ColumnCount] = {
    "tItem",   "tTourTime",  "txtTourTimeRange", "tLocationName",  "tLocationDesc",  "tSiteName",
    "tStatus", "tSeparator", "txtEventTime",     "txtEventStatus", "txtEventDetails"};

QString TourSeparator() {
    return QString(255, QLatin1Char('_'));
}

void AddTourPointRow(TourRows& rows, const cTourPoint& point, const QString& timeText,
                     const QString& rangeText, const QString& status) {
    TourRow separator;
    separator.values[TourRow::tSeparator] = TourSeparator();
    rows.push_back(std::move(separator));
    TourRow row;
    row.values[TourRow::tItem] = QString::number(point.PointIndex());
    row.values[TourRow::tTourTime] = timeText;
    row.values[TourRow::txtTourTimeRange] = rangeText;
    row.values[TourRow::tSiteName] = point.SiteName() + QStringLiteral(" - ") + point.ButtonName();
    row.values[TourRow::tStatus] = status;
    rows.push_back(std::move(row));
}

void AddTouchRow(TourRows& rows, const QString& timeText, const QString& status,
                 const QString& details) {
    TourRow row;
    row.values[TourRow::txtEventTime] = timeText;
    row.values[TourRow::txtEventStatus] = status;
    row.values[TourRow::txtEventDetails] = details;
    rows.push_back(std::move(row));
}

void AddNoExceptionsRows(TourRows& rows) {
    TourRow none;
    none.values[TourRow::tSeparator] = Translate(QStringLiteral("NO EXCEPTIONS"));
    rows.push_back(std::move(none));
    TourRow separator;
    separator.values[TourRow::tSeparator] = TourSeparator();
    rows.push_back(std::move(separator));
}

QString GetReportTitle(bool isTourReport) {
    return isTourReport ? Translate(QStringLiteral("Tour Report"))
                        : Translate(QStringLiteral("Exception Report"));
}
