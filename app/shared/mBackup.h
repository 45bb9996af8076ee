#pragma once

#include "Database.h"

#include <QDate>
#include <QString>

// Backup writes a new keyed copy of the open database; restore puts such a copy in place of
// the database file. Neither ever leaves the database file half replaced.

// "QX_Backup_2008-05-04.mdb"
QString DefaultBackupFileName(const QDate& day);

// Whether `path` opens with `key`, reads back whole and holds the program's seven tables
// with their columns. `why` tells the reason when it does not.
bool IsProgramDatabase(const QString& path, const QString& key, QString* why = nullptr);

// Exports the database open on `conn` into the new file `target`, keyed with `key`, then opens
// the copy and checks that every table holds the rows of the original. The sqlite backup
// interface is not used: on this SQLCipher it writes an unencrypted copy. Throws AppError and
// removes the unfinished copy on failure; an existing `target` is never touched.
void BackupDatabase(DbConnection& conn, const QString& target, const QString& key);

// Copies `source` to a file beside `dbPath` (writable, whatever the source's permissions)
// and checks it. Returns the copy's path, or an empty text (and no copy) when the source is
// not a database of the program. Throws AppError when the copy cannot be made.
QString StageRestore(const QString& source, const QString& dbPath, const QString& key);

// Puts the staged copy in place of `dbPath` in one rename. Every connection to `dbPath` must
// be closed; a journal left beside it would be applied to the new file, so it refuses then.
void ReplaceDatabase(const QString& staged, const QString& dbPath);

// The File menu's backup and restore, with their dialogs and messages. RunRestore returns
// true when the database was replaced: gConn is closed then and the program must end.
void RunBackup();
bool RunRestore();
