#pragma once

#include <QString>
#include <QVariant>
#include <array>
#include <vector>

class cTourPoint;

// One row of the tour / exception report, in the columns of its scratch table; a column the
// row does not fill stays null.
struct TourRow {
    enum Column {
        tItem,
        tTourTime,
        txtTourTimeRange,
        tLocationName,
        tLocationDesc,
        tSiteName,
        tStatus,
        tSeparator,
        txtEventTime,
        txtEventStatus,
        txtEventDetails,
        ColumnCount
    };
    std::array<QVariant, ColumnCount> values;

    static const char* const ColumnNames[ColumnCount];
};

using TourRows = std::vector<TourRow>;

// The rule under every point block: 255 underscores.
QString TourSeparator();

// A separator row, then the point's row.
void AddTourPointRow(TourRows& rows, const cTourPoint& point, const QString& timeText,
                     const QString& rangeText, const QString& status);
// A location touch claimed by a point, or an incident touch under it.
void AddTouchRow(TourRows& rows, const QString& timeText, const QString& status,
                 const QString& details);
// The no-exceptions row, then a separator row.
void AddNoExceptionsRows(TourRows& rows);

// "Tour Report" or "Exception Report", translated.
QString GetReportTitle(bool isTourReport);
