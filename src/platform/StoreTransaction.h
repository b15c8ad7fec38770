#pragma once

#include "SqliteDatabase.h"

// One write transaction: rolled back when it goes out of scope without commit().
class StoreTransaction
{
public:
    StoreTransaction(SqliteDatabase &db, Error &error)
        : m_db(db), m_begun(db.exec(QStringLiteral("BEGIN IMMEDIATE"), error))
    {
    }
    ~StoreTransaction()
    {
        if (m_begun && !m_committed) {
            Error ignored;
            m_db.exec(QStringLiteral("ROLLBACK"), ignored);
        }
    }
    StoreTransaction(const StoreTransaction &) = delete;
    StoreTransaction &operator=(const StoreTransaction &) = delete;

    bool isActive() const { return m_begun && !m_committed; }
    bool commit(Error &error)
    {
        if (!isActive())
            return false;
        m_committed = m_db.exec(QStringLiteral("COMMIT"), error);
        return m_committed;
    }

private:
    SqliteDatabase &m_db;
    bool m_begun;
    bool m_committed = false;
};
