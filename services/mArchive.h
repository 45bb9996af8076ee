#pragma once

#include "Database.h"
#include "WorkProgress.h"

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

qint64 CountArchiveEvents(DbConnection& conn, const ArchiveRange& range);

// The translated header line, and the line of one touch from its stored values (UTF-8).
QByteArray ArchiveHeaderLine();
// "User", "Location" or "Event", translated, for the group types 0, 1 and 2; empty otherwise.
QByteArray ArchiveTypeText(const QVariant& groupType);
QByteArray ArchiveLine(const QByteArray& storedMoment, const QByteArray& buttonCode,
                       const QByteArray& typeText, const QByteArray& groupName,
                       const QByteArray& buttonName, const QByteArray& readerId);

// What the archive tells its observer while it runs: Step(rows written so far), where false
// stops the archive and nothing is deleted; once the file is complete and checked, a Stage
// with the text of the delete, which cannot be stopped, then Step(0) now and then.

struct ArchiveResult {
    qint64 count = 0;       // touches written and deleted
    QString fileError;      // not empty: the file could not be saved (the system's reason)
    bool cancelled = false; // stopped by the observer before the delete
};

// Streams the touches of the range into a new file beside `path` and then deletes them in one
// transaction, which holds from the first row read to the delete, so the rows deleted are
// exactly the rows written. The file takes the name `path` (never over an existing file) only
// after it was written, flushed to the disk, closed and checked, and the rows go only after
// that: a crash leaves no file under `path`, at most one ending in ".part" beside it. Memory does
// not grow with the rows. A file that cannot be saved, and a stop before the delete, leave every
// touch and no file. A database failure throws AppError, leaves every touch and removes the file.
ArchiveResult ArchiveToFile(DbConnection& conn, const ArchiveRange& range, const QString& path,
                            WorkObserver* observer = nullptr);
