#include "SqliteBackup.h"

#include "SqliteDatabase.h"

#include <QFile>

#include <sqlite3.h>

namespace {

Error sqliteError(sqlite3 *db, int code, const QString &context)
{
    const QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    return Error::withMessage(SqliteDatabase::errorDomain(), code, context + QStringLiteral(": ") + text);
}

} // namespace

bool sqliteCopyDatabase(const QString &sourcePath, const QString &destinationPath, Error &error)
{
    if (QFile::exists(destinationPath)) {
        error = Error::withMessage(Error::posixDomain(), EEXIST, destinationPath);
        return false;
    }
    SqliteDatabase source;
    if (!source.open(sourcePath, true, false, error))
        return false;
    SqliteDatabase destination;
    if (!destination.open(destinationPath, false, true, error))
        return false;
    // The copy is checked by its digest afterwards; its own journal would only slow it down.
    Error ignored;
    destination.exec(QStringLiteral("PRAGMA journal_mode=OFF"), ignored);
    destination.exec(QStringLiteral("PRAGMA synchronous=OFF"), ignored);
    sqlite3_busy_timeout(source.handle(), 10000);

    sqlite3_backup *backup = sqlite3_backup_init(destination.handle(), "main", source.handle(), "main");
    if (!backup) {
        error = sqliteError(destination.handle(), sqlite3_errcode(destination.handle()), QStringLiteral("backup"));
        destination.close();
        QFile::remove(destinationPath);
        return false;
    }
    int rc;
    do {
        // All pages in one step: the read transaction sees one consistent state of the store.
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(20);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    const int finish = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE || finish != SQLITE_OK) {
        error = sqliteError(destination.handle(), rc != SQLITE_DONE ? rc : finish, QStringLiteral("backup"));
        destination.close();
        QFile::remove(destinationPath);
        return false;
    }
    destination.close();
    // A copy of a WAL store leaves no log of its own, but never keep a stray one beside it.
    QFile::remove(destinationPath + QStringLiteral("-wal"));
    QFile::remove(destinationPath + QStringLiteral("-shm"));
    return true;
}
