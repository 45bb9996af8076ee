#include "mDbUtil.h"

#include "mErrorHandler.h"
#include "mGlobals.h"

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
        gConn->Execute(createStatement(name));
        return true;
    } catch (const AppError& e) {
        logFailure(QStringLiteral("CreateTblReportTemp"), e);
        return false;
    }
}

void PrepareRptTmp() {
    if (!TableExists(kReportTable))
        gConn->Execute(createStatement(kReportTable));
    gConn->Execute(QStringLiteral("DELETE FROM tblReportTemp"));
}

bool InitRptTmp() {
    try {
        if (!TableExists(kReportTable) && !CreateTblReportTemp(kReportTable))
            return false;
        gConn->Execute(QStringLiteral("DELETE FROM tblReportTemp"));
        return true;
    } catch (const AppError& e) {
        logFailure(QStringLiteral("InitRptTmp"), e);
        return false;
    }
}
