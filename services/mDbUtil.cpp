#include "mDbUtil.h"

#include "Database.h"
#include "mErrorHandler.h"
#include "mGlobals.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kReportTable = QStringLiteral("tblReportTemp");

void logFailure(const QString& procedure, const AppError& error) {
    if (error.number > 0)
        HandleError(procedure + QStringLiteral(" of Module mDbUtil"), error, false);
}

QString createStatement(const QString& name) {
    return QStringLiteral("CREATE TABLE %1( ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "Field0 TEXT, Field1 TEXT, Field2 TEXT, Field3 TEXT, "
                          "Field4 TEXT, Field5 TEXT, Field6 TEXT, Field7 TEXT, "
                          "Field8 TEXT, Field9 TEXT )")
        .arg(DbQuotedName(name));
}

} // namespace

bool TableExists(const QString& name) {
    if (!gConn)
        throw AppError(AppError::InvalidCall, QStringLiteral("The database is not open"));
    return gConn->TableExists(name);
}

bool CreateTblReportTemp(const QString& name) {
    try {
        if (!gConn)
            throw AppError(AppError::InvalidCall, QStringLiteral("The database is not open"));
        gConn->Execute(gConn->ScratchDdl(createStatement(name)));
        return true;
    } catch (const AppError& e) {
        logFailure(QStringLiteral("CreateTblReportTemp"), e);
        return false;
    }
}

void PrepareRptTmp() {
    if (!TableExists(kReportTable))
        gConn->Execute(gConn->ScratchDdl(createStatement(kReportTable)));
    if (!gConn->EmptyScratchTable(kReportTable))
        gConn->Execute(QStringLiteral("DELETE FROM tblReportTemp"));
}

bool InitRptTmp() {
    try {
        if (!TableExists(kReportTable) && !CreateTblReportTemp(kReportTable))
            return false;
        if (!gConn->EmptyScratchTable(kReportTable))
            gConn->Execute(QStringLiteral("DELETE FROM tblReportTemp"));
        return true;
    } catch (const AppError& e) {
        logFailure(QStringLiteral("InitRptTmp"), e);
        return false;
    }
}

QStringList ScratchTableNames() {
    return {kReportTable, QStringLiteral("tblXXXException"), QStringLiteral("tblXXXPatrol"),
            QStringLiteral("tblTempIncident"), QStringLiteral("tblCustom")};
}

QString ScratchFilePath(const QString& dbPath) {
    return QFileInfo(dbPath).dir().filePath(QStringLiteral("scratch.mdb"));
}

std::unique_ptr<DbConnection> OpenProgramDatabase(const QString& dbPath, const QString& key) {
    auto connection = std::make_unique<DbConnection>();
    connection->Open(dbPath, key);
    const QString scratch = ScratchFilePath(dbPath);
    connection->OnScratchLost([scratch, dbPath](const QString& why) {
        LogError(
            QStringLiteral("The report scratch database %1 could not be renewed (%2); the "
                           "reports keep their tables in %3 until it can be attached again")
                .arg(QDir::toNativeSeparators(scratch), why, QDir::toNativeSeparators(dbPath)));
    });
    try {
        connection->AttachScratch(scratch, key);
        // An unqualified name finds the main file's table first: none may be left there.
        for (const QString& table : ScratchTableNames())
            connection->Execute(
                QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(DbQuotedName(table)));
    } catch (const AppError& e) {
        try {
            connection->DetachScratch();
        } catch (const AppError&) {
        }
        LogError(QStringLiteral("The report scratch database %1 cannot be used (Error %2: %3); "
                                "the reports keep their tables in %4")
                     .arg(QDir::toNativeSeparators(scratch))
                     .arg(e.number)
                     .arg(e.description, QDir::toNativeSeparators(dbPath)));
    }
    return connection;
}
