#include "Database.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

QString quoteLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// The device and inode of a file, or zeros when there is none: another connection may have
// put a scratch file of its own where ours was, and that one is not ours to remove.
QPair<quint64, quint64> fileIdentity(const QString& file) {
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0)
        return {0, 0};
    return {quint64(info.st_dev), quint64(info.st_ino)};
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
        // Temporary tables, sorts and a VACUUM's copy live in files: the page cache still holds
        // the small ones, but a year of touches sorted or copied never fills the memory.
        ExecuteScript(QStringLiteral("PRAGMA temp_store = FILE;"));
    } catch (...) {
        Close();
        throw;
    }
}

void DbConnection::Close() {
    if (db) {
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
        sqlite3_close_v2(db);
        db = nullptr;
    }
    if (HasScratch()) {
        if (fileIdentity(scratchPath) == scratchIdentity) {
            try {
                removeScratchFiles();
            } catch (const AppError&) {
                // The next start removes it.
            }
        }
        scratchPath.clear();
        scratchKey.clear();
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
        const QVariant v = DbStoredValue(params.at(i));
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

QVariant DbStoredValue(const QVariant& value) {
    if (value.isNull())
        return value;
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        return moment.isValid() ? QVariant(moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                : QVariant();
    }
    case QMetaType::QDate: {
        const QDate day = value.toDate();
        return day.isValid() ? QVariant(day.toString(QStringLiteral("yyyy-MM-dd"))) : QVariant();
    }
    case QMetaType::QTime: {
        const QTime time = value.toTime();
        return time.isValid() ? QVariant(time.toString(QStringLiteral("HH:mm:ss"))) : QVariant();
    }
    default:
        return value;
    }
}

QString DbQuotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

sqlite3_stmt* DbConnection::prepare(const QString& sql) {
    if (!db)
        throw AppError(SQLITE_MISUSE, QStringLiteral("The database is not open"));
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), utf8.size(), &stmt, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(rc, sql);
    }
    if (!onlyBlanksOrSemicolons(tail)) {
        sqlite3_finalize(stmt);
        throw AppError(SQLITE_MISUSE, QStringLiteral("One statement at a time: %1").arg(sql));
    }
    return stmt;
}

DbRows DbConnection::Query(const QString& sql, const QVariantList& params) {
    DbCursor cursor(*this, sql, params);
    DbRows result;
    result.columns = std::make_shared<const QStringList>(cursor.columnNames());
    while (cursor.Next()) {
        QVariantList values;
        values.reserve(cursor.columnCount());
        for (int i = 0; i < cursor.columnCount(); ++i)
            values << cursor.value(i);
        result.rows.append(DbRow(result.columns, std::move(values)));
    }
    return result;
}

int DbConnection::Execute(const QString& sql, const QVariantList& params) {
    DbStatement statement(*this, sql);
    return statement.Execute(params);
}

qint64 DbConnection::Insert(const QString& sql, const QVariantList& params) {
    DbStatement statement(*this, sql);
    return statement.Insert(params);
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
    return !Query(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                                 "AND name = ? COLLATE NOCASE"),
                  {name})
                .isEmpty() ||
           InScratch(name);
}

namespace {

const QString kScratch = QStringLiteral("scratch");

} // namespace

void DbConnection::removeScratchFiles() const {
    for (const QString& file : {scratchPath, scratchPath + QStringLiteral("-journal")}) {
        if (QFileInfo::exists(file) && !QFile::remove(file))
            throw AppError(AppError::PermissionDenied,
                           QStringLiteral("Cannot remove the scratch file %1").arg(file));
    }
}

void DbConnection::attachScratchFile() {
    removeScratchFiles();
    // The connection opens files without creating them: an empty file is an empty database.
    QFile fresh(scratchPath);
    if (!fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw AppError(AppError::PathError, QStringLiteral("Cannot create the scratch file %1: %2")
                                                .arg(scratchPath, fresh.errorString()));
    fresh.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    fresh.close();
    scratchIdentity = fileIdentity(scratchPath);
    Execute(QStringLiteral("ATTACH DATABASE ? AS scratch KEY ?"), {scratchPath, scratchKey});
    try {
        // Larger pages: fewer to encrypt and sign for a year of rows. Nothing in it has to
        // outlive a crash: the next start removes it anyway.
        ExecuteScript(QStringLiteral("PRAGMA scratch.cipher_page_size = 8192;"));
        ExecuteScript(QStringLiteral("PRAGMA scratch.synchronous = OFF;"));
        Query(QStringLiteral("SELECT count(*) FROM scratch.sqlite_master"));
    } catch (...) {
        try {
            ExecuteScript(QStringLiteral("DETACH DATABASE scratch;"));
        } catch (const AppError&) {
        }
        throw;
    }
}

void DbConnection::AttachScratch(const QString& file, const QString& key) {
    if (!db)
        throw AppError(SQLITE_MISUSE, QStringLiteral("The database is not open"));
    DetachScratch();
    lostScratchPath.clear();
    lostScratchKey.clear();
    scratchPath = file;
    scratchKey = key;
    try {
        attachScratchFile();
    } catch (...) {
        try {
            removeScratchFiles();
        } catch (const AppError&) {
        }
        scratchPath.clear();
        scratchKey.clear();
        throw;
    }
}

void DbConnection::DetachScratch() {
    if (!HasScratch())
        return;
    if (db)
        ExecuteScript(QStringLiteral("DETACH DATABASE scratch;"));
    removeScratchFiles();
    scratchPath.clear();
    scratchKey.clear();
}

QString DbConnection::ScratchDdl(const QString& createTable) {
    if (!HasScratch() && !lostScratchPath.isEmpty() && db && sqlite3_get_autocommit(db)) {
        scratchPath = lostScratchPath;
        scratchKey = lostScratchKey;
        try {
            attachScratchFile();
            lostScratchPath.clear();
            lostScratchKey.clear();
        } catch (const AppError&) {
            scratchPath.clear();
            scratchKey.clear();
        }
    }
    if (!HasScratch())
        return createTable;
    static const QRegularExpression head(
        QStringLiteral("^\\s*CREATE\\s+TABLE\\s+(IF\\s+NOT\\s+EXISTS\\s+)?"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = head.match(createTable);
    if (!match.hasMatch())
        throw AppError(AppError::InvalidCall,
                       QStringLiteral("Not a CREATE TABLE statement: %1").arg(createTable));
    return createTable.left(match.capturedEnd()) + kScratch + QLatin1Char('.') +
           createTable.mid(match.capturedEnd());
}

bool DbConnection::InScratch(const QString& table) {
    return HasScratch() &&
           !Query(QStringLiteral("SELECT name FROM scratch.sqlite_master WHERE type = 'table' "
                                 "AND name = ? COLLATE NOCASE"),
                  {table})
                .isEmpty();
}

bool DbConnection::EmptyScratchTable(const QString& table) {
    if (!db || !InScratch(table) || !sqlite3_get_autocommit(db) ||
        Query(QStringLiteral("PRAGMA query_only")).first().integer(QStringLiteral("query_only")))
        return false;
    const DbRows tables =
        Query(QStringLiteral("SELECT name, sql FROM scratch.sqlite_master WHERE type = 'table' "
                             "AND sql IS NOT NULL AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                             "ORDER BY rowid"));
    for (const DbRow& t : tables) {
        const QString name = t.text(QStringLiteral("name"));
        if (name.compare(table, Qt::CaseInsensitive) != 0 &&
            !Query(QStringLiteral("SELECT 1 FROM scratch.%1 LIMIT 1").arg(DbQuotedName(name)))
                 .isEmpty())
            return false; // another report's rows: they stay
    }
    DbRows counters;
    if (!Query(QStringLiteral("SELECT name FROM scratch.sqlite_master WHERE name = "
                              "'sqlite_sequence'"))
             .isEmpty())
        counters = Query(QStringLiteral("SELECT name, seq FROM scratch.sqlite_sequence"));
    try {
        // Fails while a statement still reads it; then nothing has changed.
        ExecuteScript(QStringLiteral("DETACH DATABASE scratch;"));
    } catch (const AppError&) {
        return false;
    }
    try {
        attachScratchFile();
        // A deferred transaction locks only the file it writes: another program's lock on the
        // main file does not stand in the way.
        ExecuteScript(QStringLiteral("BEGIN;"));
        try {
            for (const DbRow& t : tables)
                Execute(ScratchDdl(t.text(QStringLiteral("sql"))));
            for (const DbRow& c : counters)
                Execute(
                    QStringLiteral("INSERT INTO scratch.sqlite_sequence (name, seq) VALUES (?, ?)"),
                    {c.value(QStringLiteral("name")), c.value(QStringLiteral("seq"))});
            ExecuteScript(QStringLiteral("COMMIT;"));
        } catch (...) {
            try {
                ExecuteScript(QStringLiteral("ROLLBACK;"));
            } catch (const AppError&) {
            }
            throw;
        }
    } catch (const AppError& e) {
        // Once more with a fresh file and its empty tables, outside any transaction; the
        // counters start again, which no report relies on.
        try {
            if (db && sqlite3_get_autocommit(db)) {
                try {
                    ExecuteScript(QStringLiteral("DETACH DATABASE scratch;"));
                } catch (const AppError&) {
                }
                attachScratchFile();
                for (const DbRow& t : tables)
                    Execute(ScratchDdl(t.text(QStringLiteral("sql"))));
                return true;
            }
        } catch (const AppError&) {
        }
        giveUpScratch(e.description);
        throw;
    }
    return true;
}

void DbConnection::giveUpScratch(const QString& why) {
    lostScratchPath = scratchPath;
    lostScratchKey = scratchKey;
    try {
        DetachScratch();
    } catch (const AppError&) {
        scratchPath.clear();
        scratchKey.clear();
    }
    if (scratchLost)
        scratchLost(why);
}

DbTransaction::DbTransaction(DbConnection& conn) : connection(conn) {
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

DbCursor::DbCursor(DbConnection& conn, const QString& query, const QVariantList& params)
    : connection(conn), sql(query) {
    stmt = connection.prepare(sql);
    QStringList names;
    if (stmt) {
        try {
            bindAll(connection.db, stmt, params);
        } catch (...) {
            Close();
            throw;
        }
        const int count = sqlite3_column_count(stmt);
        for (int i = 0; i < count; ++i)
            names << QString::fromUtf8(sqlite3_column_name(stmt, i));
    }
    columns = std::make_shared<const QStringList>(names);
}

DbCursor::~DbCursor() {
    Close();
}

void DbCursor::Close() {
    sqlite3_finalize(stmt);
    stmt = nullptr;
    onRow = false;
}

bool DbCursor::Next() {
    if (!stmt) // a blank statement, or the end was reached
        return false;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        onRow = true;
        return true;
    }
    onRow = false;
    if (rc == SQLITE_DONE) {
        Close();
        return false;
    }
    // The message belongs to the connection until the statement is reset or finalized.
    try {
        connection.fail(rc, sql);
    } catch (...) {
        Close();
        throw;
    }
}

int DbCursor::indexOf(const QString& column) const {
    for (int i = 0; i < columnCount(); ++i)
        if (columns->at(i).compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DbCursor::checkedIndex(const QString& column) const {
    const int i = indexOf(column);
    if (i < 0)
        throw AppError(AppError::InvalidCall, QStringLiteral("No column named %1").arg(column));
    return i;
}

QVariant DbCursor::value(int i) const {
    if (!onRow || i < 0 || i >= columnCount())
        throw AppError(AppError::InvalidCall, QStringLiteral("No current row or column %1").arg(i));
    return columnValue(stmt, i);
}

QByteArray DbCursor::utf8(int i) const {
    if (!onRow || i < 0 || i >= columnCount())
        throw AppError(AppError::InvalidCall, QStringLiteral("No current row or column %1").arg(i));
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return text ? QByteArray(text, sqlite3_column_bytes(stmt, i)) : QByteArray();
}

QByteArrayView DbCursor::utf8View(int i) const {
    if (!onRow || i < 0 || i >= columnCount())
        throw AppError(AppError::InvalidCall, QStringLiteral("No current row or column %1").arg(i));
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return text ? QByteArrayView(text, sqlite3_column_bytes(stmt, i)) : QByteArrayView();
}

qint64 DbCursor::int64(int i) const {
    if (!onRow || i < 0 || i >= columnCount())
        throw AppError(AppError::InvalidCall, QStringLiteral("No current row or column %1").arg(i));
    return sqlite3_column_int64(stmt, i);
}

QVariant DbCursor::value(const QString& column) const {
    return value(checkedIndex(column));
}

QString DbCursor::text(const QString& column) const {
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString();
}

qint64 DbCursor::integer(const QString& column, qint64 nullValue) const {
    const QVariant v = value(column);
    return v.isNull() ? nullValue : v.toLongLong();
}

bool DbCursor::isNull(const QString& column) const {
    return value(column).isNull();
}

DbRow DbCursor::row() const {
    QVariantList values;
    values.reserve(columnCount());
    for (int i = 0; i < columnCount(); ++i)
        values << value(i);
    return DbRow(columns, std::move(values));
}

DbStatement::DbStatement(DbConnection& conn, const QString& query) : connection(conn), sql(query) {
    stmt = connection.prepare(sql);
}

DbStatement::~DbStatement() {
    Close();
}

void DbStatement::Close() {
    sqlite3_finalize(stmt);
    stmt = nullptr;
}

int DbStatement::Execute(const QVariantList& params) {
    if (!stmt) {
        if (!connection.IsOpen())
            throw AppError(SQLITE_MISUSE, QStringLiteral("The database is not open"));
        return 0; // a blank statement
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    bindAll(connection.db, stmt, params);
    return run();
}

int DbStatement::ExecuteTexts(std::initializer_list<QByteArrayView> texts) {
    if (!stmt) {
        if (!connection.IsOpen())
            throw AppError(SQLITE_MISUSE, QStringLiteral("The database is not open"));
        return 0; // a blank statement
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    int n = 0;
    for (const QByteArrayView& text : texts) {
        // A null pointer would bind null: an empty text points at a literal instead.
        const char* bytes = text.isEmpty() ? "" : text.data();
        const int rc = sqlite3_bind_text(stmt, ++n, bytes, int(text.size()), SQLITE_STATIC);
        if (rc != SQLITE_OK) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(connection.db));
            sqlite3_clear_bindings(stmt);
            throw AppError(rc, message);
        }
    }
    const int changed = run();
    // The texts go with the call: nothing may point at them afterwards.
    sqlite3_clear_bindings(stmt);
    return changed;
}

int DbStatement::run() {
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(connection.db));
        sqlite3_reset(stmt);
        throw AppError(rc, message + QStringLiteral(" [") + sql + QLatin1Char(']'));
    }
    const int changed = sqlite3_changes(connection.db);
    sqlite3_reset(stmt);
    return changed;
}

qint64 DbStatement::Insert(const QVariantList& params) {
    Execute(params);
    return sqlite3_last_insert_rowid(connection.db);
}

namespace {

int progressCallback(void* context) {
    return static_cast<DbProgress*>(context)->Call() ? 0 : 1;
}

} // namespace

DbProgress::DbProgress(DbConnection& conn, std::function<bool()> onProgress)
    : connection(conn), handler(std::move(onProgress)) {
    if (!connection.db)
        throw AppError(SQLITE_MISUSE, QStringLiteral("The database is not open"));
    db = connection.db;
    // About a thousand virtual machine steps: far below a millisecond of work.
    sqlite3_progress_handler(db, 1000, &progressCallback, this);
}

DbProgress::~DbProgress() {
    if (connection.db == db && db)
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
}

bool DbProgress::Call() {
    if (!handler)
        return true;
    try {
        return handler();
    } catch (...) {
        return false; // nothing may leave the database engine by an exception
    }
}
