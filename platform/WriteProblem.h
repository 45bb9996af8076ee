#pragma once

#include <QString>

// Why a file of `bytes` cannot be written in `folder`, in the system's words ("Read-only file
// system", "No space left on device", ...), found by creating such a file there, writing it
// to the disk and removing it again; empty when that works. For messages about a write that
// failed where the failing call gave no reason of its own.
QString FolderWriteProblem(const QString& folder, qint64 bytes = 4096);
