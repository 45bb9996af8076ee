#include "cTourReportRows.h"

#include "mErrorHandler.h"

const char* const cTourReportRows::TableName = "tblXXXException";

const char* const cTourReportRows::CreateStatement =
    "CREATE TABLE tblXXXException (tItem VARCHAR NULL, tTourTime VARCHAR NULL, "
    "txtTourTimeRange VARCHAR NULL, tLocationName VARCHAR NULL, "
    "tLocationDesc VARCHAR NULL, tSiteName VARCHAR NULL, "
    "tStatus VARCHAR NULL, tSeparator VARCHAR NULL, "
    "txtEventTime VARCHAR NULL, txtEventStatus VARCHAR NULL, "
    "txtEventDetails VARCHAR NULL)";

cTourReportRows::cTourReportRows(DbConnection& conn) : connection(conn) {}

cTourReportRows::~cTourReportRows() {
    DropTable();
}

bool cTourReportRows::ResetTempTourTable() {
    try {
        insert.reset();
        transaction.reset();
        transaction = std::make_unique<DbTransaction>(connection);
        try {
            connection.Execute(QStringLiteral("DROP TABLE IF EXISTS tblXXXException"));
        } catch (const AppError&) {
            // A table that cannot be dropped makes the CREATE fail, which is reported.
        }
        connection.Execute(connection.ScratchDdl(QString::fromLatin1(CreateStatement)));
        QStringList columns, marks;
        for (const char* name : TourRow::ColumnNames) {
            columns << QString::fromLatin1(name);
            marks << QStringLiteral("?");
        }
        insert = std::make_unique<DbStatement>(
            connection,
            QStringLiteral("INSERT INTO tblXXXException (%1) VALUES (%2)")
                .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
        return true;
    } catch (const AppError& e) {
        insert.reset();
        transaction.reset();
        if (e.number > 0)
            HandleError(QStringLiteral("ResetTempTourTable of Form frmRptTour"), e, false);
        return false;
    }
}

void cTourReportRows::Write(const TourRows& rows) {
    if (!insert)
        throw AppError(AppError::InvalidCall, QStringLiteral("The report table is not ready"));
    QVariantList values;
    values.reserve(TourRow::ColumnCount);
    for (const TourRow& row : rows) {
        values.clear();
        for (const QVariant& v : row.values)
            values << v;
        insert->Execute(values);
    }
}

void cTourReportRows::Commit() {
    insert.reset();
    if (!transaction)
        throw AppError(AppError::InvalidCall, QStringLiteral("The report table is not ready"));
    transaction->Commit();
    transaction.reset();
}

void cTourReportRows::DropTable() {
    insert.reset();
    transaction.reset(); // rolls back rows that were never committed
    try {
        connection.Execute(QStringLiteral("DROP TABLE IF EXISTS tblXXXException"));
    } catch (const AppError&) {
        // The next build drops it first.
    }
}
