#pragma once

#include <QString>
#include <functional>

class DbConnection;

// The scratch table of the database report: the touches of a range in time order, one row
// each, with tDateTime as stored ("yyyy-MM-dd HH:mm:ss") and the type as a word. Nothing but
// this report reads it, and it is emptied again when the report closes.
extern const char* const kCustomTable;

// The days before today that a preset starts: 0 "Today", 7 "Last 7 Days", 30 "Last30 Days";
// -1 for any other index.
int PresetDays(int index);

// Called after each day copied with the share done (0 to 1000); false stops the copy.
using CopyProgress = std::function<bool(int permille)>;

// Re-creates tblCustom and copies into it the touches whose time lies between the two stored
// texts (both included), in time order and ties in ID order, a day at a time, all in one
// transaction. Returns the number of rows copied, or -1 when `progress` stopped the copy;
// stopped or failed (AppError), the table is left as it was.
qint64 CopyCustomRows(DbConnection& db, const QString& startText, const QString& endText,
                      const CopyProgress& progress = {});

// Empties tblCustom (when it exists) in one transaction, a stretch of rows at a time, calling
// `progress` between the stretches (its answer is not read: the table is always emptied).
void EmptyCustomTable(DbConnection& db, const CopyProgress& progress = {});
