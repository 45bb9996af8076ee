#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class DbConnection;

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

// The tables that live only while a report is built and shown.
QStringList ScratchTableNames();
// The report scratch database beside the database file.
QString ScratchFilePath(const QString& dbPath);
// Opens the program's connection (gConn) on the database and attaches the report scratch
// database beside it, after clearing whatever a crash left there and any report table an
// older program left in the database. A scratch database that cannot be had is written to
// the error log and the reports keep their tables in the database file itself. Opening the
// database throws as DbConnection::Open does.
std::unique_ptr<DbConnection> OpenProgramDatabase(const QString& dbPath, const QString& key);
