#pragma once

#include "ReportEngine.h"

#include <QDateTime>
#include <QString>
#include <memory>

class DbCursor;

// The incidents-and-locations report: every touch of a range in time order, each with the
// site and location its own reader touched last (or touched with it), filtered by one
// incident button, one reader and one site. Its rows go into tblTempIncident.

// Drops tblTempIncident (an absent table is no failure) and creates it empty; throws AppError
// when it cannot be created.
void CreateTempIncidentTable();
// Drops tblTempIncident; every failure is ignored.
void DropTempIncidentTable();

// The touches from `start` to `end` (both included) whose button, button group and reader
// exist, with the current names, in time order, then reader ID, then ID. Given a reader, only
// that reader's touches: no other reader's touch can change what its rows print. Failures
// throw AppError.
std::unique_ptr<DbCursor> OpenIncidentEvents(const QDateTime& start, const QDateTime& end,
                                             const QString& readerId = QString());
// About as many rows as OpenIncidentEvents gives (touches of deleted buttons included), for
// the progress.
qint64 CountIncidentEvents(const QDateTime& start, const QDateTime& end,
                           const QString& readerId = QString());

// The filters of one printing: a key below 1, or an empty reader ID, filters nothing.
struct IncidentFilters {
    qint64 eventId = -1;
    qint64 siteId = -1;
    QString readerId;
};

// Empties tblTempIncident and writes one row per touch the filters accept, in one
// transaction. A location touch moves its reader's current site and location before any
// filter looks at it. Returns the rows written, or -1 when the progress stopped the work.
// Stopped or failed (AppError), the work writes nothing and leaves the table as it was.
qint64 WriteTempIncidentRows(DbCursor& events, const IncidentFilters& filters, qint64 total = -1,
                             const ReportDocument::Progress& progress = {});
