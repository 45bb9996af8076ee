#pragma once

#include "Database.h"

#include <QDate>
#include <QString>
#include <functional>

class QWidget;
class WorkObserver;

// Backup writes a new keyed copy of the open database; restore puts such a copy in place of
// the database file. Neither ever leaves the database file half replaced.

// "QX_Backup_2008-05-04.mdb"
QString DefaultBackupFileName(const QDate& day);

// Whether `path` opens with `key`, reads back whole and holds the program's seven tables
// with their columns. `why` tells the reason when it does not. `keepAlive` is called now and
// then while the file is read; when it returns false the check stops and fails.
bool IsProgramDatabase(const QString& path, const QString& key, QString* why = nullptr,
                       const std::function<bool()>& keepAlive = {});

// Exports the database open on `conn` into the new file `target`, keyed with `key`, then opens
// the copy and checks that every table holds the rows of the original. The sqlite backup
// interface is not used: on this SQLCipher it writes an unencrypted copy. Throws AppError and
// removes the unfinished copy on failure or when the observer stops it (SQLITE_INTERRUPT);
// an existing `target` is never touched.
void BackupDatabase(DbConnection& conn, const QString& target, const QString& key,
                    WorkObserver* observer = nullptr);

struct StagedRestore {
    QString path; // the checked copy beside the database; empty when there is none
    QString why;  // why the source is not a database of the program
    bool cancelled = false;
};

// Copies `source` to a new file of its own beside `dbPath` (writable, whatever the source's
// permissions; never a file that exists, so the source is never touched), flushes it to the
// disk and checks it. Throws AppError when the copy cannot be made.
StagedRestore StageRestore(const QString& source, const QString& dbPath, const QString& key,
                           WorkObserver* observer = nullptr);

// Removes the staged copies beside `dbPath` that a restore which did not finish (a kill, a
// power cut) left behind. Only for a start that holds the program folder's lock.
void RemoveUnfinishedRestores(const QString& dbPath);

// Puts the staged copy in place of `dbPath` in one rename, and flushes the folder. Every
// connection to `dbPath` must be closed; a journal left beside it would be applied to the new
// file, so it refuses then.
void ReplaceDatabase(const QString& staged, const QString& dbPath);

// The File menu's backup and restore, with their dialogs, progress and messages.
void RunBackup(QWidget* parent = nullptr);
enum class RestoreOutcome {
    NotRestored,  // the database in use is unchanged and open
    Restored,     // replaced; gConn is closed and the program must end
    DatabaseLost, // neither the backup nor the old database could be opened: the program ends
};
RestoreOutcome RunRestore(QWidget* parent = nullptr);
