#pragma once

#include "AppError.h"

#include <QByteArrayView>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <initializer_list>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;
class DbConnection;

// One row of a static snapshot; column names are matched without regard to case.
class DbRow {
public:
    DbRow(std::shared_ptr<const QStringList> names, QVariantList row)
        : columns(std::move(names)), values(std::move(row)) {}

    bool has(const QString& column) const { return indexOf(column) >= 0; }
    QVariant value(const QString& column) const;
    // A null value reads as an empty text.
    QString text(const QString& column) const;
    qint64 integer(const QString& column, qint64 nullValue = 0) const;
    bool isNull(const QString& column) const;

private:
    int indexOf(const QString& column) const;

    std::shared_ptr<const QStringList> columns;
    QVariantList values;
};

// A static snapshot of the rows a query returned, read front to back.
class DbRows {
public:
    int count() const { return static_cast<int>(rows.size()); }
    bool isEmpty() const { return rows.isEmpty(); }
    const DbRow& at(int i) const { return rows.at(i); }
    const DbRow& first() const { return rows.first(); }
    QVector<DbRow>::const_iterator begin() const { return rows.begin(); }
    QVector<DbRow>::const_iterator end() const { return rows.end(); }
    QStringList columnNames() const { return columns ? *columns : QStringList(); }

private:
    friend class DbConnection;
    std::shared_ptr<const QStringList> columns;
    QVector<DbRow> rows;
};

// A connection to a password-protected database file. Failures throw AppError with the
// SQLite result code. Values always travel as bound parameters.
class DbConnection {
public:
    DbConnection() = default;
    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    // Opens an existing file for reading and writing (never creates one), sets the key and
    // proves the key by reading the schema.
    void Open(const QString& path, const QString& key);
    // Creates a new keyed file; fails when the file exists. Only the database maker and
    // tests create databases.
    void Create(const QString& path, const QString& key);
    void Close();
    bool IsOpen() const { return db != nullptr; }
    enum ConnectionState { StateClosed = 0, StateOpen = 1 };
    ConnectionState State() const { return IsOpen() ? StateOpen : StateClosed; }
    QString Path() const { return path; }

    // A static snapshot: for small reads only; large ones go through DbCursor.
    DbRows Query(const QString& sql, const QVariantList& params = {});
    // Runs one statement; returns the number of rows it changed.
    int Execute(const QString& sql, const QVariantList& params = {});
    // Runs one INSERT; returns the new row's ID.
    qint64 Insert(const QString& sql, const QVariantList& params = {});
    // Runs several statements without parameters (schema scripts).
    void ExecuteScript(const QString& sql);
    // Compares names without regard to case, as SQLite resolves them; looks in the scratch
    // database too.
    bool TableExists(const QString& name);

    // The scratch database: a keyed file of its own, attached as "scratch", for the tables
    // that come and go with a report, so that the main file neither grows nor fragments.
    // A leftover file (after a crash) is removed first; the file goes again when the
    // connection closes. Throws on failure and then leaves nothing attached.
    void AttachScratch(const QString& path, const QString& key);
    void DetachScratch();
    bool HasScratch() const { return !scratchPath.isEmpty(); }
    QString ScratchPath() const { return scratchPath; }
    // A CREATE TABLE statement turned to create its table in the scratch database when one
    // is attached (unqualified names find it there while the main file has no such table).
    // A scratch database that could not be renewed is attached again here first.
    QString ScratchDdl(const QString& createTable);
    // Whether the table lives in the scratch database.
    bool InScratch(const QString& table);
    // Empties the scratch table at no cost by replacing the scratch file with a fresh one
    // that holds the same (empty) tables and counters. Done only when every other scratch
    // table is empty; false, with nothing changed, when it is not, when the table is not in
    // the scratch database, inside a transaction or while a statement reads the scratch
    // database: the caller then empties it in SQL.
    bool EmptyScratchTable(const QString& table);
    // Told once each time the connection falls back to keeping report tables in the main file.
    void OnScratchLost(std::function<void(const QString& why)> handler) {
        scratchLost = std::move(handler);
    }

    sqlite3* handle() const { return db; }

private:
    friend class DbCursor;
    friend class DbStatement;
    friend class DbProgress;
    void openWithFlags(const QString& path, const QString& key, int flags);
    [[noreturn]] void fail(int code, const QString& context) const;
    // Prepares exactly one statement; the caller owns (and finalizes) it.
    sqlite3_stmt* prepare(const QString& sql);

    void attachScratchFile();
    void removeScratchFiles() const;
    void giveUpScratch(const QString& why);

    sqlite3* db = nullptr;
    QString path;
    QString scratchPath;
    QString scratchKey; // for the fresh file that empties the scratch tables
    QPair<quint64, quint64> scratchIdentity;
    // Kept while the scratch database is given up, so that the next report attaches it again.
    QString lostScratchPath;
    QString lostScratchKey;
    std::function<void(const QString&)> scratchLost;
};

// BEGIN IMMEDIATE on construction; ROLLBACK on destruction unless committed.
class DbTransaction {
public:
    explicit DbTransaction(DbConnection& connection);
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;
    void Commit();

private:
    DbConnection& connection;
    bool done = false;
};

// A forward cursor over a query: one row at a time, so memory does not grow with the rows.
// The statement is finished when the cursor goes (or on Close), before a table it reads may
// be dropped.
class DbCursor {
public:
    DbCursor(DbConnection& connection, const QString& sql, const QVariantList& params = {});
    ~DbCursor();
    DbCursor(const DbCursor&) = delete;
    DbCursor& operator=(const DbCursor&) = delete;

    // Steps to the next row; false after the last.
    bool Next();
    void Close();

    int columnCount() const { return columns ? columns->size() : 0; }
    QStringList columnNames() const { return columns ? *columns : QStringList(); }
    // -1 when the query has no such column.
    int indexOf(const QString& column) const;

    // The current row's values.
    QVariant value(int i) const;
    QVariant value(const QString& column) const;
    // A null value reads as an empty text.
    QString text(const QString& column) const;
    qint64 integer(const QString& column, qint64 nullValue = 0) const;
    bool isNull(const QString& column) const;
    // The current row's value as UTF-8 text, without a detour through QString (exports);
    // empty for null.
    QByteArray utf8(int i) const;
    // The same bytes without a copy: valid only until the cursor moves or closes.
    QByteArrayView utf8View(int i) const;
    // The current row's value as an integer, as SQLite converts it; 0 for null.
    qint64 int64(int i) const;
    // A copy of the current row.
    DbRow row() const;

private:
    int checkedIndex(const QString& column) const;

    DbConnection& connection;
    sqlite3_stmt* stmt = nullptr;
    QString sql;
    std::shared_ptr<const QStringList> columns;
    bool onRow = false;
};

// One statement prepared once and run once per row, for bulk writes.
class DbStatement {
public:
    DbStatement(DbConnection& connection, const QString& sql);
    ~DbStatement();
    DbStatement(const DbStatement&) = delete;
    DbStatement& operator=(const DbStatement&) = delete;

    // Binds the values and runs the statement to its end; returns the rows it changed.
    int Execute(const QVariantList& params = {});
    // Runs an INSERT; returns the new row's ID.
    qint64 Insert(const QVariantList& params = {});
    // Binds UTF-8 texts as they are (an empty one stays an empty text, never null) and runs
    // the statement, for bulk writes that need no detour through QString; the texts need to
    // live only during the call.
    int ExecuteTexts(std::initializer_list<QByteArrayView> texts);
    void Close();

private:
    // Steps the bound statement to its end and resets it; returns the rows it changed.
    int run();

    DbConnection& connection;
    sqlite3_stmt* stmt = nullptr;
    QString sql;
};

// Calls `handler` now and then while a statement of the connection runs (a long DELETE, VACUUM
// or export), so that the windows stay painted; the statement stops with SQLITE_INTERRUPT (9)
// when the handler returns false. Removed again when it goes. The handler must not use the
// connection.
class DbProgress {
public:
    DbProgress(DbConnection& connection, std::function<bool()> handler);
    ~DbProgress();
    DbProgress(const DbProgress&) = delete;
    DbProgress& operator=(const DbProgress&) = delete;
    bool Call();

private:
    DbConnection& connection;
    sqlite3* db = nullptr;
    std::function<bool()> handler;
};

// The stored text of a value as the database layer binds it: a QDateTime as
// "yyyy-MM-dd HH:mm:ss", a QDate as "yyyy-MM-dd", a QTime as "HH:mm:ss" (the texts every
// stored date and time compares with); anything else as Qt converts it.
QVariant DbStoredValue(const QVariant& value);

// A table or column name as an SQL identifier: in double quotes, a quote inside doubled. For
// the names that cannot be bound as values.
QString DbQuotedName(const QString& name);
