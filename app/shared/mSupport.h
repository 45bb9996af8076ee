#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

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

// Compacts the database in place on a keyed connection of its own; a failure is logged
// and leaves the file as it was.
void CompactDatabase(const QString& dbPath, const QString& tempPath, const QString& password);

// Asks for the name of a file to write until it names no existing file (an existing file is
// never overwritten); empty when the user cancelled.
QString ChooseNewFileName(const Boxes::FileDialog& dialog);
