#pragma once

#include "WorkProgress.h"

#include <QString>

class DbConnection;

// The scratch table of the database report: the touches of a range in time order, one row
// each, with tDateTime as stored ("yyyy-MM-dd HH:mm:ss") and the type as a word. Nothing but
// this report reads it, and it is emptied again when the report closes.
extern const char* const kCustomTable;

// The days before today that a preset starts: 0 "Today", 7 "Last 7 Days", 30 "Last30 Days";
// -1 for any other index.
int PresetDays(int index);

// The copy and the removal tell their observer Step(share done, 0 to 1000), the copy after each
// day, where false stops it; the observer sets up its stage itself.

// Re-creates tblCustom and copies into it the touches whose time lies between the two stored
// texts (both included), in time order and ties in ID order, a day at a time, all in one
// transaction. Returns the number of rows copied, or -1 when `observer` stopped the copy;
// stopped or failed (AppError), the table is left as it was.
qint64 CopyCustomRows(DbConnection& db, const QString& startText, const QString& endText,
                      WorkObserver* observer = nullptr);

// Empties tblCustom (when it exists) in one transaction, a stretch of rows at a time, calling
// `observer` between the stretches (its answer is not read: the table is always emptied).
void EmptyCustomTable(DbConnection& db, WorkObserver* observer = nullptr);
