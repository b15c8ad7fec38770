#include "SqliteDatabase.h"

#include <sqlite3.h>

#include <QFile>

SqliteStatement::~SqliteStatement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement &&other) noexcept
    : m_db(other.m_db), m_stmt(other.m_stmt), m_error(std::move(other.m_error))
{
    other.m_stmt = nullptr;
}

SqliteStatement &SqliteStatement::operator=(SqliteStatement &&other) noexcept
{
    if (this != &other) {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_db = other.m_db;
        m_stmt = other.m_stmt;
        m_error = std::move(other.m_error);
        other.m_stmt = nullptr;
    }
    return *this;
}

void SqliteStatement::bind(int position, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(m_stmt, position);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
        sqlite3_bind_int64(m_stmt, position, value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(m_stmt, position, value.toDouble());
        return;
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(m_stmt, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

void SqliteStatement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

bool SqliteStatement::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        m_error = Error::withLocalizedDescription(SqliteDatabase::errorDomain(), rc,
                                                  QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    return false;
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QVariant SqliteStatement::column(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_NULL:
        return QVariant();
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)));
    }
    }
}

SqliteDatabase::~SqliteDatabase()
{
    close();
}

bool SqliteDatabase::open(const QString &path, bool readOnly, bool create, Error &error)
{
    close();
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        error = lastError(QStringLiteral("open"));
        close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 5000);
    return true;
}

void SqliteDatabase::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool SqliteDatabase::exec(const QString &sql, Error &error)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        error = Error::withLocalizedDescription(errorDomain(), rc,
                                                QString::fromUtf8(message ? message : sqlite3_errstr(rc)) +
                                                    QStringLiteral(" [") + sql + QStringLiteral("]"));
        sqlite3_free(message);
        return false;
    }
    return true;
}

SqliteStatement SqliteDatabase::prepare(const QString &sql, Error &error)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        error = lastError(sql);
        return {};
    }
    return SqliteStatement(m_db, stmt);
}

bool SqliteDatabase::run(const QString &sql, const QVariantList &bindings, Error &error)
{
    SqliteStatement statement = prepare(sql, error);
    if (!statement.isValid())
        return false;
    statement.bindAll(bindings);
    while (statement.next()) {
    }
    if (statement.error()) {
        error = statement.error();
        return false;
    }
    return true;
}

QVariant SqliteDatabase::scalar(const QString &sql, const QVariantList &bindings, Error &error)
{
    SqliteStatement statement = prepare(sql, error);
    if (!statement.isValid())
        return {};
    statement.bindAll(bindings);
    if (statement.next())
        return statement.column(0);
    if (statement.error())
        error = statement.error();
    return {};
}

Error SqliteDatabase::lastError(const QString &context) const
{
    const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
    const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(code));
    return Error::withLocalizedDescription(errorDomain(), code,
                                           message + QStringLiteral(" [") + context + QStringLiteral("]"));
}

QString SqliteDatabase::quoted(const QString &identifier)
{
    QString inner = identifier;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString SqliteDatabase::errorDomain()
{
    return QStringLiteral("SQLiteErrorDomain");
}
