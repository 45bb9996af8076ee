#pragma once

#include "Database.h"
#include "mTourRows.h"

#include <memory>

// The scratch table tblXXXException that the report layout reads. It is created in a
// transaction with its rows and committed before the preview opens; whatever happens, the
// table is dropped when this object goes, with no statement left open on it.
class cTourReportRows {
public:
    explicit cTourReportRows(DbConnection& connection);
    ~cTourReportRows();
    cTourReportRows(const cTourReportRows&) = delete;
    cTourReportRows& operator=(const cTourReportRows&) = delete;

    // Drops the table and creates it empty; false (and a line in the error log) on failure.
    bool ResetTempTourTable();
    // Appends the rows in their order. Throws AppError.
    void Write(const TourRows& rows);
    // Makes the rows visible to the layout. Throws AppError.
    void Commit();
    // Drops the table; every failure is ignored.
    void DropTable();

    static const char* const CreateStatement;
    static const char* const TableName;

private:
    DbConnection& connection;
    std::unique_ptr<DbTransaction> transaction;
    std::unique_ptr<DbStatement> insert;
};
