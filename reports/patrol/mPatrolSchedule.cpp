#include "mPatrolSchedule.h"

#include "Database.h"
#include "ReportFrame.h"
#include "ReportSource.h"
#include "darPatrolSchedule.h"
#include "mErrorHandler.h"
#include "mGlobals.h"
#include "tour/cTourReport.h"
#include "tour/mTourTime.h"

namespace {

constexpr qint64 kMinutesPerDay = 24 * 60;

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

void refuse() {
    gTranslator->IvMessageBox(QStringLiteral("Error in creating new Tour"), QString(),
                              IvBox::Warning, IvBox::Ok, 0);
}

} // namespace

QString PatrolClockText(qint64 seconds) {
    qint64 minutes = floorDiv(seconds, 60) % kMinutesPerDay;
    if (minutes < 0)
        minutes += kMinutesPerDay;
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString PatrolTimeText(qint64 dueSeconds, int toleranceMinutes) {
    const qint64 half = qint64(toleranceMinutes) * 60;
    return PatrolClockText(dueSeconds) + QStringLiteral("     (") +
           PatrolClockText(dueSeconds - half) + QStringLiteral(" ~ ") +
           PatrolClockText(dueSeconds + half) + QLatin1Char(')');
}

const char* const cPatrolTable::TableName = "tblXXXPatrol";

const char* const cPatrolTable::CreateStatement =
    "CREATE TABLE tblXXXPatrol (tNumber  VARCHAR NULL, tTime  VARCHAR NULL, "
    "tSite VARCHAR NULL, tLocName VARCHAR NULL)";

// Outer joins: a point whose button or site was deleted keeps its row, number and time.
const char* const cPatrolTable::PointsQuery =
    "SELECT tblTourPoints.lIndex, tblTourPoints.dtTime, tblButtons.tButtonName AS LocName, "
    "tblButtons.tButtonDesc AS LocDesc, tblListItems.tName AS SiteName "
    "FROM (tblTourPoints LEFT JOIN tblButtons ON tblTourPoints.tButtonCode = "
    "tblButtons.tButtonCode) LEFT JOIN tblListItems ON tblButtons.lParentID = tblListItems.ID "
    "WHERE tblTourPoints.lParentID = ? ORDER BY tblTourPoints.lIndex, tblTourPoints.ID";

cPatrolTable::cPatrolTable(DbConnection& conn) : connection(conn) {}

cPatrolTable::~cPatrolTable() {
    Drop();
}

void cPatrolTable::Create() {
    transaction.reset();
    transaction = std::make_unique<DbTransaction>(connection);
    try {
        connection.Execute(QStringLiteral("DROP TABLE tblXXXPatrol"));
    } catch (const AppError&) {
        // Normally there is none; a table that cannot be dropped makes the CREATE fail.
    }
    connection.Execute(connection.ScratchDdl(QString::fromLatin1(CreateStatement)));
}

int cPatrolTable::WriteRows(qint32 tourId, qint64 startSeconds, int toleranceMinutes) {
    if (!transaction)
        throw AppError(AppError::InvalidCall, QStringLiteral("The report table is not ready"));
    DbCursor points(connection, QString::fromLatin1(PointsQuery), {tourId});
    DbStatement insert(connection, QStringLiteral("INSERT INTO tblXXXPatrol (tNumber, tTime, "
                                                  "tSite, tLocName) VALUES (?, ?, ?, ?)"));
    const QString blank = QStringLiteral(" ");
    qint64 due = startSeconds;
    int number = 0;
    while (points.Next()) {
        const QString interval = points.text(QStringLiteral("dtTime"));
        int seconds = 0;
        if (!TourTime::ParseTimeOfDay(interval, &seconds))
            throw AppError(13, QStringLiteral("Type mismatch: dtTime \"%1\"").arg(interval));
        due += seconds;
        insert.Execute({QString::number(++number), PatrolTimeText(due, toleranceMinutes),
                        points.text(QStringLiteral("SiteName")) + blank,
                        points.text(QStringLiteral("LocName")) + blank});
    }
    return number;
}

void cPatrolTable::Commit() {
    if (!transaction)
        throw AppError(AppError::InvalidCall, QStringLiteral("The report table is not ready"));
    transaction->Commit();
    transaction.reset();
}

void cPatrolTable::Drop() {
    transaction.reset(); // rolls back rows that were never committed
    try {
        connection.Execute(QStringLiteral("DROP TABLE IF EXISTS tblXXXPatrol"));
    } catch (const AppError&) {
        // The next build drops it first.
    }
}

void BuildPatrolScheduleReport(qint32 tourId, cReportHost& host) {
    cTourReport tour;
    tour.setTourID(tourId);
    // A tolerance outside 0 to 59 is no window of minutes (the tour loader has logged it).
    if (!tour.LoadTourHeader() || tour.Tolerance() < 0 || tour.Tolerance() > 59) {
        refuse();
        return;
    }
    try {
        cPatrolTable table(*gConn);
        table.Create();
        // The start's seconds never show; the tour report counts from the same minute.
        const QTime start = tour.StartTime();
        table.WriteRows(tourId, start.hour() * TourTime::Hour + start.minute() * TourTime::Minute,
                        tour.Tolerance());
        table.Commit();

        darPatrolSchedule layout;
        layout.SetReportParam(Translate(QStringLiteral("Patrol Schedule Report")), tour.TourName(),
                              tour.TourDesc(), tour.Tolerance(), CompanyText());
        const ReportTexts shared = SharedReportTexts();
        layout.SetText(
            shared.MyPrintDate, shared.MyPageHeader, shared.MyPageNumber,
            Translate(QStringLiteral("Tour Name:")), Translate(QStringLiteral("Tour Description:")),
            Translate(QStringLiteral("Tour Tolerance:")), Translate(QStringLiteral("No.")),
            Translate(QStringLiteral("Time")), Translate(QStringLiteral("Site")),
            Translate(QStringLiteral("Location")), shared.EndOfReport);
        ReportTableSource rows(*gConn, QString::fromLatin1(cPatrolTable::TableName));
        ShowReport(layout, rows, host);
    } catch (const AppError& e) {
        HandleError(QStringLiteral("BuildPatrolScheduleReport of Form frmRptPatrolSchedule"), e,
                    false);
        refuse();
    }
}
