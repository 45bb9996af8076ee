#pragma once

#include <QString>
#include <memory>

class DbConnection;
class DbTransaction;
class cReportHost;

// The patrol schedule: the plan of one tour, one line per tour point with its running
// number, the time the guard is due there with the accepted window around it, the site and
// the location. It reads the tour definition only, never the touches.

// "HH:mm" of a time of day given in seconds; only the clock shows, so a moment past midnight
// starts again at 00:00 and one before midnight shows the previous day's clock.
QString PatrolClockText(qint64 seconds);
// The due time, five blanks and the window: "23:00     (22:55 ~ 23:05)". The tolerance is in
// whole minutes, 0 to 59.
QString PatrolTimeText(qint64 dueSeconds, int toleranceMinutes);

// The scratch table tblXXXPatrol that the layout reads. It is created in a transaction with
// its rows and committed before the preview opens; whatever happens, it is dropped when this
// object goes, with no statement left open on it.
class cPatrolTable {
public:
    explicit cPatrolTable(DbConnection& connection);
    ~cPatrolTable();
    cPatrolTable(const cPatrolTable&) = delete;
    cPatrolTable& operator=(const cPatrolTable&) = delete;

    // Drops a table left behind and creates it empty. Throws AppError.
    void Create();
    // Writes one row per point of the tour, in tour order, due from `startSeconds` (the
    // tour's start, seconds of the day); returns the rows written. Throws AppError.
    int WriteRows(qint32 tourId, qint64 startSeconds, int toleranceMinutes);
    // Makes the rows visible to the layout. Throws AppError.
    void Commit();
    // Drops the table; every failure is ignored.
    void Drop();

    static const char* const TableName;
    static const char* const CreateStatement;
    static const char* const PointsQuery;

private:
    DbConnection& connection;
    std::unique_ptr<DbTransaction> transaction;
};

// Builds the patrol schedule of the tour, previews it modally and drops its table again.
// A tour that is gone or whose tolerance is no time window is refused before any table is
// touched; every failure ends with "Error in creating new Tour" (and a line in the error log).
void BuildPatrolScheduleReport(qint32 tourId, cReportHost& host);
