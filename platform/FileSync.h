#pragma once

#include <QString>
#include <QStringList>
#include <cerrno>

// Writing a file so that it is on the disk, with the system's reason when it is not.

// The system's words for `error` ("No space left on device", ...).
QString SystemReason(int error = errno);

// Writes every byte of `data` to the open descriptor `fd`: a short write is followed by another,
// which tells the reason (a full disk first takes what fits, then fails with ENOSPC).
bool WriteAll(int fd, const char* data, qint64 size, QString* why);
// Flushes what was written to `fd` to the disk.
bool SyncToDisk(int fd, QString* why);
// Flushes a folder, so that a file created or renamed in it is on the disk too.
bool SyncFolder(const QString& folder, QString* why);
// Renames `from` to `to` in the same folder, never over a file named `to`.
bool RenameNoReplace(const QString& from, const QString& to, QString* why);

// The name under which a file meant to be called `chosen` is written until it is whole:
// beside it, "chosen.1a2b3c4d.part".
QString PartFileName(const QString& chosen);
// Removes the files beside `beside` named after it with a suffix matching `suffixPattern` (a
// regular expression), and their journals; returns the paths that could not be removed.
QStringList RemoveLeftovers(const QString& beside, const QString& suffixPattern);
// Removes what a write to `chosen` that was cut short (a kill, a power cut) left beside it:
// only names PartFileName gives, and their journals.
void RemoveStaleParts(const QString& chosen);
