#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class DbConnection;
class DbCursor;
class DbStatement;

// Where a pass over the rows starts: the row's key (its rowid) and its place in the report's
// order (0 for the first row).
struct ReportRowStart {
    qint64 key = 0;
    qint64 ordinal = 0;
};

// A forward pass over a report's rows, one row at a time. Values are read by the index of
// the column in the list the pass was opened with.
class ReportRows {
public:
    virtual ~ReportRows() = default;
    // Steps to the next row; false after the last.
    virtual bool Next() = 0;
    virtual qint64 Key() const = 0;
    virtual QVariant Value(int column) const = 0;
};

// The rows of a report. The engine never holds them: it reads them front to back once to lay
// out the pages (keeping where each page starts), then again from a page's first row each
// time a page is painted. Every statement a pass opens is finished when the pass goes, so a
// scratch table can be dropped as soon as the report is closed.
class ReportRowSource {
public:
    virtual ~ReportRowSource() = default;
    // The names of the columns a row has.
    virtual QStringList Columns() = 0;
    // The number of rows, or -1 when it is not known before a pass (progress only).
    virtual qint64 CountHint() = 0;
    // Opens a pass from `start` (or from the first row when `start` is null) reading the
    // given columns.
    virtual std::unique_ptr<ReportRows> Open(const ReportRowStart* start,
                                             const QStringList& columns) = 0;
};

// The rows of a table in the order they were written (by rowid), read by rowid ranges: a
// page remembers the rowid of its first row, never a position, since the rowids of a table
// emptied and filled again go on growing.
class ReportTableSource : public ReportRowSource {
public:
    ReportTableSource(DbConnection& connection, const QString& table);
    QStringList Columns() override;
    qint64 CountHint() override;
    std::unique_ptr<ReportRows> Open(const ReportRowStart* start,
                                     const QStringList& columns) override;

private:
    DbConnection& connection;
    QString table;
};

// The rows of a query in its own order. The first pass keeps only each row's key (the
// query's first column, e.g. tblEvents.ID); a page is painted by fetching its rows one by
// one by key through `rowSql`, the same select restricted to one key ("... WHERE ID = ?").
class ReportQuerySource : public ReportRowSource {
public:
    ReportQuerySource(DbConnection& connection, const QString& orderedSql,
                      const QVariantList& params, const QString& rowSql);
    ~ReportQuerySource() override;
    QStringList Columns() override;
    qint64 CountHint() override;
    std::unique_ptr<ReportRows> Open(const ReportRowStart* start,
                                     const QStringList& columns) override;

private:
    friend class QueryRows;
    DbConnection& connection;
    QString orderedSql;
    QVariantList params;
    QString rowSql;
    std::vector<qint64> keys;
    bool keysComplete = false;
};
