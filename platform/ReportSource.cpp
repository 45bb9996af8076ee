#include "ReportSource.h"

#include "Database.h"

namespace {

AppError noColumn(const QString& column) {
    return AppError(AppError::InvalidCall,
                    QStringLiteral("The report's rows have no column named %1").arg(column));
}

// Rows of a table, read by rowid from a start on.
class TableRows : public ReportRows {
public:
    TableRows(DbConnection& connection, const QString& sql, const QVariantList& params)
        : cursor(connection, sql, params) {}
    bool Next() override { return cursor.Next(); }
    qint64 Key() const override { return cursor.value(0).toLongLong(); }
    QVariant Value(int column) const override { return cursor.value(column + 1); }

private:
    DbCursor cursor;
};

} // namespace

ReportTableSource::ReportTableSource(DbConnection& db, const QString& tableName)
    : connection(db), table(tableName) {}

QStringList ReportTableSource::Columns() {
    DbCursor probe(connection, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(DbQuotedName(table)));
    return probe.columnNames();
}

qint64 ReportTableSource::CountHint() {
    return connection.Query(QStringLiteral("SELECT count(*) AS n FROM %1").arg(DbQuotedName(table)))
        .first()
        .integer(QStringLiteral("n"));
}

std::unique_ptr<ReportRows> ReportTableSource::Open(const ReportRowStart* start,
                                                    const QStringList& columns) {
    const QStringList known = Columns();
    QStringList selected{QStringLiteral("rowid")};
    for (const QString& c : columns) {
        if (!known.contains(c, Qt::CaseInsensitive))
            throw noColumn(c);
        selected << DbQuotedName(c);
    }
    QString sql = QStringLiteral("SELECT %1 FROM %2")
                      .arg(selected.join(QStringLiteral(", ")), DbQuotedName(table));
    QVariantList params;
    if (start) {
        sql += QStringLiteral(" WHERE rowid >= ?");
        params << start->key;
    }
    sql += QStringLiteral(" ORDER BY rowid");
    return std::make_unique<TableRows>(connection, sql, params);
}

// The first pass runs the ordered query and notes every key; later passes fetch by key.
class QueryRows : public ReportRows {
public:
    QueryRows(ReportQuerySource& query, const ReportRowStart* start, const QStringList& names)
        : source(query), columns(names) {
        if (start) {
            if (!source.keysComplete || start->ordinal < 0 ||
                start->ordinal >= qint64(source.keys.size()) ||
                source.keys[size_t(start->ordinal)] != start->key)
                throw AppError(
                    AppError::InvalidCall,
                    QStringLiteral("The report's rows changed after they were laid out"));
            next = size_t(start->ordinal);
            return;
        }
        source.keys.clear();
        source.keysComplete = false;
        full = std::make_unique<DbCursor>(source.connection, source.orderedSql, source.params);
        indexes = indexesIn(*full);
    }

    bool Next() override {
        if (full) {
            if (!full->Next()) {
                source.keysComplete = true;
                full.reset();
                next = source.keys.size(); // this pass is over
                return false;
            }
            key = full->value(0).toLongLong();
            source.keys.push_back(key);
            return true;
        }
        while (next < source.keys.size()) {
            key = source.keys[next++];
            one = std::make_unique<DbCursor>(source.connection, source.rowSql, QVariantList{key});
            if (indexes.empty())
                indexes = indexesIn(*one);
            if (one->Next())
                return true;
            // A row removed since the layout: nothing to print for it.
        }
        one.reset();
        return false;
    }

    qint64 Key() const override { return key; }

    QVariant Value(int column) const override {
        const DbCursor& cursor = full ? *full : *one;
        return cursor.value(indexes.at(size_t(column)));
    }

private:
    std::vector<int> indexesIn(const DbCursor& cursor) const {
        std::vector<int> found;
        for (const QString& c : columns) {
            const int i = cursor.indexOf(c);
            if (i < 0)
                throw noColumn(c);
            found.push_back(i);
        }
        return found;
    }

    ReportQuerySource& source;
    QStringList columns;
    std::unique_ptr<DbCursor> full;
    std::unique_ptr<DbCursor> one;
    std::vector<int> indexes;
    size_t next = 0;
    qint64 key = 0;
};

ReportQuerySource::ReportQuerySource(DbConnection& db, const QString& ordered,
                                     const QVariantList& values, const QString& oneRow)
    : connection(db), orderedSql(ordered), params(values), rowSql(oneRow) {}

ReportQuerySource::~ReportQuerySource() = default;

QStringList ReportQuerySource::Columns() {
    DbCursor probe(connection, orderedSql, params);
    return probe.columnNames();
}

qint64 ReportQuerySource::CountHint() {
    return keysComplete ? qint64(keys.size()) : -1;
}

std::unique_ptr<ReportRows> ReportQuerySource::Open(const ReportRowStart* start,
                                                    const QStringList& columns) {
    return std::make_unique<QueryRows>(*this, start, columns);
}
