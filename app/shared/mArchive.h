#pragma once

#include "Database.h"

#include <QByteArray>
#include <QDate>
#include <QString>

// The archive moves the touches of a range of days out of tblEvents into a CSV file.
//
// The file follows RFC 4180: UTF-8, lines ended by CR LF, a header line, then one line per
// touch ordered by touch time and ID. Every field is quoted (RFC 4180 allows it) and a double
// quote inside a value is doubled, so that a name like Gate "B", north reads back as one field:
// the file is the only copy of the touches once they are deleted.

// The range from the start day at 00:00:00 to the end day at 23:59:59, both inclusive, as the
// full 19-character texts that compare correctly with the stored touch times.
struct ArchiveRange {
    QString lower;
    QString upper;
};
ArchiveRange ArchiveBounds(const QDate& startDate, const QDate& endDate);

// "Archive2008-05-04_to_2008-05-06.csv"
QString DefaultArchiveFileName(const QDate& startDate, const QDate& endDate);

int CountArchiveEvents(DbConnection& conn, const ArchiveRange& range);

// The whole file for the given tblEvents rows: the translated header, then one line per row.
QByteArray ArchiveCsv(const DbRows& rows);

struct ArchiveResult {
    int count = 0;     // touches written and deleted
    QString fileError; // not empty: the file could not be saved and nothing was deleted
};

// Writes the touches of the range to the new file `path` and then deletes them, in one
// transaction, so the rows deleted are exactly the rows written. The rows go only after the
// file was written, flushed and closed; a file that cannot be saved leaves no file behind.
// A database failure throws AppError, leaves every row and removes the file just written.
ArchiveResult ArchiveToFile(DbConnection& conn, const ArchiveRange& range, const QString& path);
