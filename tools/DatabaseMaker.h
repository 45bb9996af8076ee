#pragma once

#include <QString>

// Writes a new delivered database (the seven tables and the two operators) at `path`,
// keyed with the program's password. Throws AppError; an existing file is never touched.
void MakeDeliveredDatabase(const QString& path);
