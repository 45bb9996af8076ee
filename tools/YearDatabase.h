#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

// A database of a large site that has kept its touches for a while: the delivered schema, a
// site description (sites with location buttons, an event book with incident buttons, a group
// of guard buttons, readers and tours over the locations) and touches written as the download
// writes them. The same options and seed always give the same rows.
struct YearDatabaseOptions {
    int readers = 20;
    int touchesPerDay = 500; // per reader
    int days = 365;
    quint64 seed = 20250101;
    QDate firstDay = QDate(2025, 1, 1);
};

// What was made, for the callers that look for rows in it.
struct YearDatabaseInfo {
    qint64 touches = 0;
    QDate firstDay;
    QDate lastDay;
    QStringList readerIds; // tblReaders.tReaderId, reader 1 first
    // For each reader (same order): the ID (tblTours.ID) of the tour it walks every day.
    QList<qint64> tourOfReader;
    int tours = 0;
    int locationButtons = 0;
    int incidentButtons = 0;
};

// Called after each day is written with the number of days done.
using YearDatabaseProgress = std::function<void(int daysDone)>;

// Writes a new database at `path`. Throws AppError; an existing file is never touched, and a
// failed run leaves no file behind.
YearDatabaseInfo MakeYearDatabase(const QString& path, const YearDatabaseOptions& options = {},
                                  const YearDatabaseProgress& progress = {});

// The file name that stands for these options: "year-r20-t500-d365-s20250101-2025-01-01.mdb".
QString YearDatabaseFileName(const YearDatabaseOptions& options = {});

// The path of a database made with these options in `folder`, made first when it is not there
// yet (under a temporary name, renamed when complete, so a half-made file is never reused).
// Callers that change the database work on a copy.
QString CachedYearDatabase(const QString& folder, const YearDatabaseOptions& options = {},
                           const YearDatabaseProgress& progress = {});

// The summary MakeYearDatabase returned, for a database made with these options.
YearDatabaseInfo YearDatabaseSummary(const YearDatabaseOptions& options = {});
