#include "cTourReport.h"

#include "mErrorHandler.h"
#include "mGlobals.h"
#include "mGroupTypes.h"

#include <limits>

namespace {

const QString kModule = QStringLiteral(" of Class Module cTourReport");

[[noreturn]] void unconvertible(const QString& column, const QString& value) {
    throw AppError(13, QStringLiteral("Type mismatch: %1 \"%2\"").arg(column, value));
}

template <class Int> Int narrowed(qint64 value, const QString& column) {
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        throw AppError(6, QStringLiteral("Overflow: %1 %2").arg(column).arg(value));
    return static_cast<Int>(value);
}

qint64 integerOf(const DbCursor& row, const QString& column) {
    const QVariant v = row.value(column);
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (v.isNull() || !ok)
        unconvertible(column, v.toString());
    return n;
}

TourTime::Moment todayAtMidnight() {
    return TourTime::FromParts(QDate::currentDate(), 0);
}

} // namespace

const QString cTourReport::EventsQuery =
    QStringLiteral(
        "SELECT ID, dtDateTime, tButtonCode, tButtonName, tButtonDesc, tGroupName, tGroupDesc, "
        "wGroupType FROM tblEvents "
        "WHERE wGroupType IN (%1, %2) AND tPipeID = ? AND dtDateTime >= ? AND dtDateTime <= ? "
        "ORDER BY dtDateTime, ID")
        .arg(GroupTypeSite)
        .arg(GroupTypeEventBook);

qint64 cTourReport::GetToleranceAsDate() const {
    try {
        return ToleranceInterval(tolerance);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("GetToleranceAsDate") + kModule, e, false);
        return 0;
    }
}

bool cTourReport::LoadTourHeader() {
    if (tourID < 1)
        return false;
    try {
        DbCursor row(*gConn,
                     QStringLiteral("SELECT ID, tName, tDesc, iTolerance, dtStartTime "
                                    "FROM tblTours WHERE ID = ?"),
                     {tourID});
        if (!row.Next())
            return false;
        tourName = row.text(QStringLiteral("tName"));
        tourDesc = row.text(QStringLiteral("tDesc"));
        tolerance = narrowed<qint16>(integerOf(row, QStringLiteral("iTolerance")),
                                     QStringLiteral("iTolerance"));
        tourWindow = GetToleranceAsDate();
        const QString start = row.text(QStringLiteral("dtStartTime"));
        int seconds = 0;
        if (!TourTime::ParseTimeOfDay(start, &seconds))
            unconvertible(QStringLiteral("dtStartTime"), start);
        startTime = QTime::fromMSecsSinceStartOfDay(seconds * 1000);
        return true;
    } catch (const AppError& e) {
        HandleError(QStringLiteral("LoadTourHeader") + kModule, e, false);
        return false;
    }
}

bool cTourReport::LoadTourPoints() {
    tourPoints = colTourPoints();
    try {
        if (!startDate.isValid())
            throw AppError(13, QStringLiteral("Type mismatch: no tour date"));
        // Outer joins: a point whose button or site was deleted keeps its place and its due
        // time, and shows empty names.
        DbCursor row(
            *gConn,
            QStringLiteral("SELECT tblTourPoints.lIndex, tblTourPoints.dtTime, "
                           "tblTourPoints.tButtonCode, tblButtons.tButtonName, "
                           "tblButtons.tButtonDesc, tblListItems.tName AS tSiteName "
                           "FROM (tblTourPoints LEFT JOIN tblButtons "
                           "ON tblTourPoints.tButtonCode = tblButtons.tButtonCode) "
                           "LEFT JOIN tblListItems ON tblButtons.lParentID = tblListItems.ID "
                           "WHERE tblTourPoints.lParentID = ? ORDER BY tblTourPoints.lIndex"),
            {tourID});
        // Hours and minutes of the start; its seconds and the day's time are dropped.
        TourTime::Moment due =
            TourTime::FromParts(startDate, startTime.hour() * 3600 + startTime.minute() * 60);
        bool any = false;
        while (row.Next()) {
            any = true;
            const QString interval = row.text(QStringLiteral("dtTime"));
            int seconds = 0;
            if (!TourTime::ParseTimeOfDay(interval, &seconds))
                unconvertible(QStringLiteral("dtTime"), interval);
            due += seconds;
            tourPoints.Add(false, row.text(QStringLiteral("tSiteName")),
                           row.text(QStringLiteral("tButtonDesc")),
                           row.text(QStringLiteral("tButtonName")),
                           row.text(QStringLiteral("tButtonCode")), due,
                           narrowed<qint32>(integerOf(row, QStringLiteral("lIndex")),
                                            QStringLiteral("lIndex")));
        }
        return any;
    } catch (const AppError& e) {
        HandleError(QStringLiteral("LoadTourPoints") + kModule, e, false);
        return false;
    }
}

TourTime::Moment cTourReport::RangeStart() const {
    if (tourPoints.Count() == 0) {
        HandleError(QStringLiteral("m_GetStartDate") + kModule,
                    AppError(91, QStringLiteral("The tour has no point")), false);
        return todayAtMidnight();
    }
    return tourPoints.Item(1).PointDateTime() - tourWindow;
}

TourTime::Moment cTourReport::RangeEnd() const {
    if (tourPoints.Count() == 0) {
        HandleError(QStringLiteral("m_GetEndDate") + kModule,
                    AppError(91, QStringLiteral("The tour has no point")), false);
        return todayAtMidnight();
    }
    return tourPoints.Item(tourPoints.Count()).PointDateTime() + tourWindow;
}

bool cTourReport::LoadReaderEvents() {
    loadFailed = false;
    tourWindow =
        tolerance >= 1 && tolerance <= 59 ? tolerance * TourTime::Minute : 15 * TourTime::Minute;
    buttons = colLocations();
    try {
        DbCursor row(*gConn, EventsQuery,
                     {readerId, TourTime::SqlText(RangeStart()), TourTime::SqlText(RangeEnd())});
        // Column positions resolved once: a full reader's day is 65,534 rows.
        struct Column {
            const DbCursor& row;
            int at;
            QString text() const {
                const QVariant v = row.value(at);
                return v.isNull() ? QString() : v.toString();
            }
        };
        auto column = [&row](const char* name) {
            const int at = row.indexOf(QString::fromLatin1(name));
            if (at < 0)
                throw AppError(AppError::InvalidCall,
                               QStringLiteral("No column named %1").arg(QLatin1String(name)));
            return Column{row, at};
        };
        const Column dateTime = column("dtDateTime"), code = column("tButtonCode"),
                     name = column("tButtonName"), desc = column("tButtonDesc"),
                     groupName = column("tGroupName"), groupDesc = column("tGroupDesc"),
                     groupType = column("wGroupType");
        bool any = false;
        cLocation* current = nullptr;
        while (row.Next()) {
            any = true;
            const QString stamp = dateTime.text();
            TourTime::Moment at = 0;
            if (!TourTime::ParseSqlText(stamp, &at))
                unconvertible(QStringLiteral("dtDateTime"), stamp);
            if (row.value(groupType.at).toLongLong() == GroupTypeSite) {
                current = &buttons.Add(at, code.text(), name.text(), desc.text(), groupName.text(),
                                       groupDesc.text());
            } else if (current) {
                current->Events().Add(groupDesc.text(), groupName.text(), desc.text(), name.text(),
                                      code.text(), at);
            }
            // An incident before the first location touch of the range belongs to no place.
        }
        if (!any) {
            row.Close();
            gTranslator->IvMessageBox(QStringLiteral("No Data on the report"), QString(),
                                      IvBox::Warning, IvBox::Ok, 0);
            return false;
        }
        return true;
    } catch (const AppError& e) {
        loadFailed = true;
        HandleError(QStringLiteral("LoadReaderEvents") + kModule, e, false);
        return false;
    }
}
