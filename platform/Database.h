#pragma once

#include "AppError.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

struct sqlite3;

// One row of a static snapshot; column names are matched without regard to case.
class DbRow {
public:
    DbRow(std::shared_ptr<const QStringList> columns, QVariantList values)
        : columns(std::move(columns)), values(std::move(values)) {}

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
    int State() const { return IsOpen() ? 1 : 0; }
    QString Path() const { return path; }

    DbRows Query(const QString& sql, const QVariantList& params = {});
    // Runs one statement; returns the number of rows it changed.
    int Execute(const QString& sql, const QVariantList& params = {});
    // Runs one INSERT; returns the new row's ID.
    qint64 Insert(const QString& sql, const QVariantList& params = {});
    // Runs several statements without parameters (schema scripts).
    void ExecuteScript(const QString& sql);
    bool TableExists(const QString& name);

    sqlite3* handle() const { return db; }

private:
    void openWithFlags(const QString& path, const QString& key, int flags);
    [[noreturn]] void fail(int code, const QString& context) const;

    sqlite3* db = nullptr;
    QString path;
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
