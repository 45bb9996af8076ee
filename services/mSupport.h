#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>

class DbConnection;
class QTreeWidget;
namespace Boxes {
struct FileDialog;
}

// "YYYY-MM-DD"; the time is dropped. Empty for an invalid date.
QString SqlDateFmt(const QDate& date);
// "YYYY-MM-DD HH:MM:SS", always all 19 characters.
QString SqlDateTimeFmt(const QDateTime& moment);
// The inverse of SqlDateTimeFmt (and of SqlDateFmt, at midnight); invalid when it does not parse.
QDateTime ParseSqlDateTime(const QString& text);

// Sorts by the clicked column: a new column ascending, the same column toggled.
void SortListViewColumn(QTreeWidget* list, int column);

int ReaderCount();
int TourCount();

// Whether a VACUUM reclaims enough to be worth its wait: the free pages are at least a tenth
// of the file.
bool CompactionWorthwhile(DbConnection& db);
// Compacts the database in place on a keyed connection of its own when that is worthwhile;
// a failure is logged and leaves the file as it was. `keepAlive` is called now and then
// while the VACUUM runs (the splash keeps painting).
void CompactDatabase(const QString& dbPath, const QString& tempPath, const QString& password,
                     const std::function<void()>& keepAlive = {});

// Asks for the name of a file to write until it names no existing file (an existing file is
// never overwritten); empty when the user cancelled.
QString ChooseNewFileName(const Boxes::FileDialog& dialog);
