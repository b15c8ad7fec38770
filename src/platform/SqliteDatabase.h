#pragma once

#include "Error.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement; finalized when it goes out of scope.
class SqliteStatement
{
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3 *db, sqlite3_stmt *stmt) : m_db(db), m_stmt(stmt) {}
    ~SqliteStatement();
    SqliteStatement(SqliteStatement &&other) noexcept;
    SqliteStatement &operator=(SqliteStatement &&other) noexcept;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    // Binds qlonglong/int/bool as integers, double as real, everything else as text; an
    // invalid or null QVariant as NULL. Positions start at 1.
    void bind(int position, const QVariant &value);
    void bindAll(const QVariantList &values);

    // Advances to the next row: true while a row is there; false at the end or on failure,
    // told apart by error().
    bool next();
    Error error() const { return m_error; }

    int columnCount() const;
    QString columnName(int column) const;
    QVariant column(int column) const; // qlonglong, double, QString or null QVariant

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    Error m_error;
};

// One connection to a SQLite file.
class SqliteDatabase
{
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    bool open(const QString &path, bool readOnly, bool create, Error &error);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }

    bool exec(const QString &sql, Error &error);
    SqliteStatement prepare(const QString &sql, Error &error);
    // Runs a statement with the bindings to completion.
    bool run(const QString &sql, const QVariantList &bindings, Error &error);
    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &bindings, Error &error);

    Error lastError(const QString &context) const;

    static QString quoted(const QString &identifier); // "name" with inner quotes doubled
    static QString errorDomain();

private:
    sqlite3 *m_db = nullptr;
};
