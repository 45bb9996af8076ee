#include "Database.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {

// Releases a prepared statement on every path.
struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

QString quoteLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool onlyBlanksOrSemicolons(const char* tail) {
    for (; tail && *tail; ++tail) {
        const char c = *tail;
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ';')
            return false;
    }
    return true;
}

} // namespace

QVariant DbRow::value(const QString& column) const {
    const int i = indexOf(column);
    if (i < 0)
        throw AppError(AppError::InvalidCall, QStringLiteral("No column named %1").arg(column));
    return values.at(i);
}

QString DbRow::text(const QString& column) const {
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString();
}

qint64 DbRow::integer(const QString& column, qint64 nullValue) const {
    const QVariant v = value(column);
    return v.isNull() ? nullValue : v.toLongLong();
}

bool DbRow::isNull(const QString& column) const {
    return value(column).isNull();
}

int DbRow::indexOf(const QString& column) const {
    for (int i = 0; i < columns->size(); ++i)
        if (columns->at(i).compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

DbConnection::~DbConnection() {
    Close();
}

void DbConnection::Open(const QString& filePath, const QString& key) {
    openWithFlags(filePath, key, SQLITE_OPEN_READWRITE);
}

void DbConnection::Create(const QString& filePath, const QString& key) {
    if (QFileInfo::exists(filePath))
        throw AppError(AppError::FileExists,
                       QStringLiteral("File already exists: %1").arg(filePath));
    openWithFlags(filePath, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void DbConnection::openWithFlags(const QString& filePath, const QString& key, int flags) {
    Close();
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(filePath.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                                       : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(handle);
        throw AppError(rc, QStringLiteral("%1: %2").arg(message, filePath));
    }
    db = handle;
    path = filePath;
    try {
        sqlite3_busy_timeout(db, 2000);
        ExecuteScript(QStringLiteral("PRAGMA key = %1;").arg(quoteLiteral(key)));
        // The key is only proven by reading: a wrong key or a plain file fails here.
        Query(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (sqlite3_db_readonly(db, "main") == 1)
            throw AppError(SQLITE_READONLY,
                           QStringLiteral("The database file is read-only: %1").arg(filePath));
        ExecuteScript(QStringLiteral("PRAGMA temp_store = MEMORY;"));
    } catch (...) {
        Close();
        throw;
    }
}

void DbConnection::Close() {
    if (db) {
        sqlite3_close_v2(db);
        db = nullptr;
    }
}

void DbConnection::fail(int code, const QString& context) const {
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("not open");
    throw AppError(code, context.isEmpty()
                             ? message
                             : message + QStringLiteral(" [") + context + QLatin1Char(']'));
}

namespace {

void bindAll(sqlite3* db, sqlite3_stmt* stmt, const QVariantList& params) {
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        const int n = i + 1;
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(stmt, n);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::UChar:
            case QMetaType::Char:
            case QMetaType::SChar:
                rc = sqlite3_bind_int64(stmt, n, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(stmt, n, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = v.toByteArray();
                rc = sqlite3_bind_blob(stmt, n, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray text = v.toString().toUtf8();
                rc = sqlite3_bind_text(stmt, n, text.constData(), text.size(), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            throw AppError(rc, QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

QVariant columnValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)),
                                   sqlite3_column_bytes(stmt, i)));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                              sqlite3_column_bytes(stmt, i)));
    }
}

} // namespace

DbRows DbConnection::Query(const QString& sql, const QVariantList& params) {
    if (!db)
        throw AppError(SQLITE_MISUSE, QStringLiteral("The database is not open"));
    Statement s;
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, utf8.constData(), utf8.size(), &s.stmt, &tail);
    if (rc != SQLITE_OK)
        fail(rc, sql);
    if (!onlyBlanksOrSemicolons(tail))
        throw AppError(SQLITE_MISUSE, QStringLiteral("One statement at a time: %1").arg(sql));
    if (!s.stmt) // blank statement
        return DbRows();
    bindAll(db, s.stmt, params);

    DbRows result;
    const int columnCount = sqlite3_column_count(s.stmt);
    QStringList names;
    for (int i = 0; i < columnCount; ++i)
        names << QString::fromUtf8(sqlite3_column_name(s.stmt, i));
    result.columns = std::make_shared<const QStringList>(names);
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        QVariantList values;
        values.reserve(columnCount);
        for (int i = 0; i < columnCount; ++i)
            values << columnValue(s.stmt, i);
        result.rows.append(DbRow(result.columns, std::move(values)));
    }
    if (rc != SQLITE_DONE)
        fail(rc, sql);
    return result;
}

int DbConnection::Execute(const QString& sql, const QVariantList& params) {
    Query(sql, params);
    return sqlite3_changes(db);
}

qint64 DbConnection::Insert(const QString& sql, const QVariantList& params) {
    Query(sql, params);
    return sqlite3_last_insert_rowid(db);
}

void DbConnection::ExecuteScript(const QString& sql) {
    if (!db)
        throw AppError(SQLITE_MISUSE, QStringLiteral("The database is not open"));
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message =
            error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(error);
        throw AppError(rc, message);
    }
}

bool DbConnection::TableExists(const QString& name) {
    return !Query(QStringLiteral(
                      "SELECT name FROM sqlite_master WHERE type IN ('table','view') AND name = ?"),
                  {name})
                .isEmpty();
}

DbTransaction::DbTransaction(DbConnection& connection) : connection(connection) {
    connection.ExecuteScript(QStringLiteral("BEGIN IMMEDIATE;"));
}

DbTransaction::~DbTransaction() {
    if (!done) {
        try {
            connection.ExecuteScript(QStringLiteral("ROLLBACK;"));
        } catch (const AppError&) {
            // The connection already rolled back (closed or failed): nothing is left to undo.
        }
    }
}

void DbTransaction::Commit() {
    connection.ExecuteScript(QStringLiteral("COMMIT;"));
    done = true;
}
