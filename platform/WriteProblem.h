#pragma once

#include <QString>

// Why nothing can be written in `folder`, in the system's words ("Read-only file system",
// "No space left on device", ...), found by creating a small file there, writing it to the
// disk and removing it again; empty when that works. For messages about a write that failed
// where the failing call gave no reason of its own.
QString FolderWriteProblem(const QString& folder);
