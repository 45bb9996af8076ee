#pragma once

#include <QString>

// The generic report table tblReportTemp: ID (growing with every row written, also after the
// table was emptied) and the texts Field0 to Field9 of one printed line. Reports read it back
// ORDER BY ID.

// Creates tblReportTemp when it is missing and empties it. False when it could not be
// created or emptied; a failure is written to the error log.
bool InitRptTmp();
// The same for a report that tells its own failure: the failure reaches the caller, unlogged.
void PrepareRptTmp();
// Creates the report table of that name; false (logged) when the statement failed.
bool CreateTblReportTemp(const QString& name);
// Whether the database has a table or view of that name; names are compared without regard
// to case, as the database resolves them. Failures reach the caller.
bool TableExists(const QString& name);
