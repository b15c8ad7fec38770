#include "SqliteStore.h"

#include "AttributeValue.h"
#include "SqliteFunctions.h"
#include "StoreSchema.h"
#include "StoreTransaction.h"
#include "ZTLog.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <QtEndian>

const QString SqliteStore::kVersionKey = QStringLiteral("NSStoreModelVersionHashesVersion");
const QString SqliteStore::kUUIDKey = QStringLiteral("NSStoreUUID");

namespace {

const QString kMetadataTable = QStringLiteral("_metadata");

Error storeError(int code, const QString &description)
{
    return Error::withLocalizedDescription(SqliteStore::errorDomain(), code, description);
}

// Looks at the file itself before SQLite touches it: a file that is not a SQLite database, or
// whose header promises more pages than the file holds, is refused without being opened.
bool checkFileHeader(const QString &path, Error &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = storeError(SqliteStore::CannotOpen,
                           QStringLiteral("The store file %1 cannot be read: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray header = file.read(100);
    static const QByteArray magic("SQLite format 3\0", 16);
    if (header.size() < 100 || !header.startsWith(magic)) {
        error = storeError(SqliteStore::NotAStore, QStringLiteral("The file %1 is not a data store.").arg(path));
        return false;
    }
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    qint64 pageSize = qFromBigEndian<quint16>(bytes + 16);
    if (pageSize == 1)
        pageSize = 65536;
    const quint32 changeCounter = qFromBigEndian<quint32>(bytes + 24);
    const quint32 pageCount = qFromBigEndian<quint32>(bytes + 28);
    const quint32 validFor = qFromBigEndian<quint32>(bytes + 92);
    // The page count in the header is only meaningful when it was written with the current change counter.
    if (validFor == changeCounter && pageCount > 0 && file.size() < pageSize * qint64(pageCount)) {
        error = storeError(SqliteStore::Damaged,
                           QStringLiteral("The data store %1 is damaged: the file is shorter than its contents.").arg(path));
        return false;
    }
    return true;
}

struct Metadata
{
    int version = 0;
    QString uuid;
};

// Reads the metadata through a read-only connection, after an integrity check when asked.
std::optional<Metadata> readMetadata(const QString &path, bool checkIntegrity, Error &error)
{
    if (!QFileInfo::exists(path)) {
        error = storeError(SqliteStore::CannotOpen, QStringLiteral("The data store %1 does not exist.").arg(path));
        return std::nullopt;
    }
    if (!checkFileHeader(path, error))
        return std::nullopt;
    SqliteDatabase db;
    Error openError;
    if (!db.open(path, true, false, openError)) {
        error = storeError(SqliteStore::CannotOpen, openError.localizedDescription());
        return std::nullopt;
    }
    // A full page check reads the whole file: cheap for an ordinary company, but seconds for a
    // store of a hundred thousand documents. Past that size the header, schema and metadata
    // checks stand, and damage further in is reported when the pages are read.
    constexpr qint64 kFullCheckLimit = 32LL * 1024 * 1024;
    if (checkIntegrity && QFileInfo(path).size() <= kFullCheckLimit) {
        Error checkError;
        const QVariant result = db.scalar(QStringLiteral("PRAGMA quick_check"), {}, checkError);
        if (checkError || result.toString() != QStringLiteral("ok")) {
            error = storeError(SqliteStore::Damaged, QStringLiteral("The data store %1 is damaged: %2")
                                                         .arg(path, checkError ? checkError.localizedDescription()
                                                                               : result.toString()));
            return std::nullopt;
        }
    }
    Error queryError;
    const QVariant hasTable = db.scalar(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"), {kMetadataTable}, queryError);
    if (queryError) {
        error = storeError(SqliteStore::Damaged,
                           QStringLiteral("The data store %1 cannot be read: %2").arg(path, queryError.localizedDescription()));
        return std::nullopt;
    }
    if (hasTable.toInt() == 0) {
        error = storeError(SqliteStore::NotAStore, QStringLiteral("The file %1 is not a data store.").arg(path));
        return std::nullopt;
    }
    Metadata metadata;
    SqliteStatement statement = db.prepare(QStringLiteral("SELECT key, value FROM _metadata"), queryError);
    while (statement.next()) {
        const QString key = statement.column(0).toString();
        if (key == SqliteStore::kVersionKey)
            metadata.version = statement.column(1).toInt();
        else if (key == SqliteStore::kUUIDKey)
            metadata.uuid = statement.column(1).toString();
    }
    if (statement.error() || metadata.version <= 0 || metadata.uuid.isEmpty()) {
        error = storeError(SqliteStore::NotAStore,
                           QStringLiteral("The data store %1 has no valid version record.").arg(path));
        return std::nullopt;
    }
    return metadata;
}

} // namespace

QString SqliteStore::errorDomain()
{
    return QStringLiteral(TOLVANA_APP_IDENTIFIER ".ObjectStoreErrorDomain");
}

SqliteStore::SqliteStore(QString path, std::shared_ptr<const StoreModel> model)
    : m_path(std::move(path)), m_model(std::move(model))
{
}

SqliteStore::~SqliteStore() = default;

std::optional<int> SqliteStore::readStoreModelVersion(const QString &path, Error &error)
{
    const std::optional<Metadata> metadata = readMetadata(path, false, error);
    if (!metadata)
        return std::nullopt;
    return metadata->version;
}

std::unique_ptr<SqliteStore> SqliteStore::open(const QString &path, std::shared_ptr<const StoreModel> model,
                                               const StoreOpenOptions &options, Error &error)
{
    ZT_PRECONDITION(model && model->isFinalized());
    const bool exists = QFileInfo::exists(path);
    int storedVersion = model->version();
    std::unique_ptr<SqliteStore> store(new SqliteStore(path, model));
    if (exists) {
        const std::optional<Metadata> metadata = readMetadata(path, true, error);
        if (!metadata)
            return nullptr;
        storedVersion = metadata->version;
        store->m_uuid = metadata->uuid;
        if (storedVersion > model->version()) {
            error = storeError(NewerModel, QStringLiteral("The data store %1 was written by a newer version (%2) of the "
                                                          "program than this one (%3).")
                                               .arg(path)
                                               .arg(storedVersion)
                                               .arg(model->version()));
            return nullptr;
        }
        if (storedVersion < model->version() && !options.migrateAutomatically) {
            error = storeError(NeedsMigration, QStringLiteral("The data store %1 needs to be migrated.").arg(path));
            return nullptr;
        }
    }
    Error openError;
    if (!store->m_db.open(path, false, !exists, openError)) {
        error = storeError(CannotOpen, QStringLiteral("The data store %1 cannot be opened: %2")
                                           .arg(path, openError.localizedDescription()));
        return nullptr;
    }
    if (!store->initialize(!exists, storedVersion, options, error))
        return nullptr;
    return store;
}

bool SqliteStore::initialize(bool created, int storedVersion, const StoreOpenOptions &options, Error &error)
{
    if (!SqliteFunctions::registerAll(m_db.handle())) {
        error = m_db.lastError(QStringLiteral("register functions"));
        return false;
    }
    // WAL and NORMAL sync: a crash leaves the last committed transaction.
    if (!m_db.exec(QStringLiteral("PRAGMA journal_mode=WAL"), error) ||
        !m_db.exec(QStringLiteral("PRAGMA synchronous=NORMAL"), error))
        return false;

    if (created) {
        m_uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        StoreTransaction transaction(m_db, error);
        if (!transaction.isActive() ||
            !m_db.exec(QStringLiteral("CREATE TABLE _metadata (key TEXT PRIMARY KEY, value TEXT)"), error) ||
            !writeMetadata(kUUIDKey, m_uuid, error) || !writeMetadata(kVersionKey, m_model->version(), error) ||
            !StoreSchema::update(m_db, *m_model, error) || !transaction.commit(error))
            return false;
    }

    // One transaction per version step: an interrupted migration resumes from the last finished step.
    for (int version = storedVersion; version < m_model->version(); ++version) {
        StoreTransaction transaction(m_db, error);
        bool ok = transaction.isActive();
        if (ok && options.inferMappingAutomatically)
            ok = StoreSchema::update(m_db, *m_model, error);
        for (const MigrationStep &step : options.migrationSteps) {
            if (ok && step.fromVersion == version && step.run)
                ok = step.run(m_db, error);
        }
        ok = ok && writeMetadata(kVersionKey, version + 1, error) && transaction.commit(error);
        if (!ok) {
            error = storeError(MigrationFailed, QStringLiteral("The data store %1 could not be migrated from version "
                                                               "%2: %3")
                                                    .arg(m_path)
                                                    .arg(version)
                                                    .arg(error.localizedDescription()));
            return false;
        }
        ZTLOG(QStringLiteral("migrated store %1 to version %2").arg(m_path).arg(version + 1));
    }

    for (const EntityDescription *root : m_model->rootEntities()) {
        const QString table = root->name();
        const QVariant maxKey =
            m_db.scalar(QStringLiteral("SELECT max(_pk) FROM ") + SqliteDatabase::quoted(table), {}, error);
        const QVariant sequence =
            m_db.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), {table}, error);
        if (error)
            return false;
        m_lastKeys.insert(table, qMax(maxKey.toLongLong(), sequence.toLongLong()));
    }
    refreshStatistics();
    return true;
}

bool SqliteStore::writeMetadata(const QString &key, const QVariant &value, Error &error)
{
    return m_db.run(QStringLiteral("INSERT OR REPLACE INTO _metadata (key, value) VALUES (?, ?)"),
                    {key, value.toString()}, error);
}

qint64 SqliteStore::allocatePrimaryKey(const EntityDescription &root)
{
    qint64 &last = m_lastKeys[root.name()];
    return ++last;
}

QString SqliteStore::columnFor(const EntityDescription &entity, const QString &key) const
{
    if (entity.attribute(key))
        return key;
    const RelationshipDescription *r = entity.relationship(key);
    ZT_PRECONDITION(r && !r->toMany);
    return r->columnName();
}

QVariant SqliteStore::storageValue(const EntityDescription &entity, const QString &key, const QVariant &value) const
{
    if (const AttributeDescription *a = entity.attribute(key))
        return AttributeValue::toStorage(a->type, value);
    return value.isValid() && value.toLongLong() > 0 ? QVariant(value.toLongLong()) : QVariant();
}

bool SqliteStore::queryRows(const QString &sql, const QVariantList &bindings, QList<StoredRow> &rows, Error &error)
{
    SqliteStatement statement = m_db.prepare(sql, error);
    if (!statement.isValid())
        return false;
    statement.bindAll(bindings);
    QHash<QString, int> columnIndex;
    while (statement.next()) {
        if (columnIndex.isEmpty()) {
            for (int i = 0; i < statement.columnCount(); ++i)
                columnIndex.insert(statement.columnName(i), i);
        }
        StoredRow row;
        row.primaryKey = statement.column(columnIndex.value(QStringLiteral("_pk"))).toLongLong();
        row.entity = statement.column(columnIndex.value(QStringLiteral("_entity"))).toString();
        const EntityDescription *entity = m_model->entity(row.entity);
        if (!entity) {
            ZTLOG(QStringLiteral("row %1 of unknown entity %2 skipped").arg(row.primaryKey).arg(row.entity));
            continue;
        }
        for (const AttributeDescription &a : entity->attributes()) {
            const auto it = columnIndex.constFind(a.name);
            if (it == columnIndex.constEnd())
                continue;
            // Empty columns are left out: an object holds only the values it has.
            const QVariant stored = statement.column(*it);
            if (stored.isValid())
                row.values.insert(a.name, AttributeValue::fromStorage(a.type, stored));
        }
        for (const RelationshipDescription &r : entity->toOneRelationships()) {
            const auto it = columnIndex.constFind(r.columnName());
            if (it != columnIndex.constEnd()) {
                const QVariant key = statement.column(*it);
                if (key.isValid())
                    row.values.insert(r.name, QVariant(key.toLongLong()));
            }
        }
        rows.append(std::move(row));
    }
    if (statement.error()) {
        error = statement.error();
        return false;
    }
    return true;
}

bool SqliteStore::queryKeys(const QString &sql, const QVariantList &bindings, QList<qint64> &keys, Error &error)
{
    SqliteStatement statement = m_db.prepare(sql, error);
    if (!statement.isValid())
        return false;
    statement.bindAll(bindings);
    while (statement.next())
        keys.append(statement.column(0).toLongLong());
    if (statement.error()) {
        error = statement.error();
        return false;
    }
    return true;
}

std::optional<StoredRow> SqliteStore::readRow(const EntityDescription &root, qint64 primaryKey, Error &error)
{
    QList<StoredRow> rows;
    if (!queryRows(QStringLiteral("SELECT * FROM ") + SqliteDatabase::quoted(root.name()) +
                       QStringLiteral(" WHERE _pk = ?"),
                   {primaryKey}, rows, error) ||
        rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

bool SqliteStore::insertRow(const EntityDescription &entity, qint64 primaryKey, const QHash<QString, QVariant> &values,
                            Error &error)
{
    QStringList columns{QStringLiteral("_pk"), QStringLiteral("_entity")};
    QStringList placeholders{QStringLiteral("?"), QStringLiteral("?")};
    QVariantList bindings{primaryKey, entity.name()};
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        columns.append(SqliteDatabase::quoted(columnFor(entity, it.key())));
        placeholders.append(QStringLiteral("?"));
        bindings.append(storageValue(entity, it.key(), it.value()));
    }
    return m_db.run(QStringLiteral("INSERT INTO ") + SqliteDatabase::quoted(entity.root()->name()) + QStringLiteral(" (") +
                        columns.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                        placeholders.join(QLatin1Char(',')) + QLatin1Char(')'),
                    bindings, error);
}

bool SqliteStore::updateRow(const EntityDescription &entity, qint64 primaryKey, const QHash<QString, QVariant> &values,
                            Error &error)
{
    if (values.isEmpty())
        return true;
    QStringList assignments;
    QVariantList bindings;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        assignments.append(SqliteDatabase::quoted(columnFor(entity, it.key())) + QStringLiteral(" = ?"));
        bindings.append(storageValue(entity, it.key(), it.value()));
    }
    bindings.append(primaryKey);
    return m_db.run(QStringLiteral("UPDATE ") + SqliteDatabase::quoted(entity.root()->name()) + QStringLiteral(" SET ") +
                        assignments.join(QLatin1Char(',')) + QStringLiteral(" WHERE _pk = ?"),
                    bindings, error);
}

bool SqliteStore::deleteRow(const EntityDescription &root, qint64 primaryKey, Error &error)
{
    return m_db.run(QStringLiteral("DELETE FROM ") + SqliteDatabase::quoted(root.name()) + QStringLiteral(" WHERE _pk = ?"),
                    {primaryKey}, error);
}

void SqliteStore::refreshStatistics()
{
    // Without statistics the planner takes "_entity = ?" for a selective condition and walks a
    // whole table by it. A sampled ANALYZE is fast even on large stores; it is taken again for
    // a table that has grown well past the rows its statistics were taken from.
    Error error;
    QHash<QString, qint64> sampledRows;
    const QVariant hasStats = m_db.scalar(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'sqlite_stat1'"), {}, error);
    if (error)
        return;
    if (hasStats.toInt() > 0) {
        SqliteStatement statement = m_db.prepare(QStringLiteral("SELECT tbl, stat FROM sqlite_stat1"), error);
        while (statement.next()) {
            const qint64 rows = statement.column(1).toString().section(QLatin1Char(' '), 0, 0).toLongLong();
            const QString table = statement.column(0).toString();
            sampledRows.insert(table, qMax(sampledRows.value(table), rows));
        }
    }
    QStringList stale;
    for (auto it = m_lastKeys.constBegin(); it != m_lastKeys.constEnd(); ++it) {
        if (it.value() > 2 * sampledRows.value(it.key(), 0) + 100)
            stale.append(it.key());
    }
    if (stale.isEmpty())
        return;
    m_db.exec(QStringLiteral("PRAGMA analysis_limit=1000"), error);
    for (const QString &table : stale)
        m_db.exec(QStringLiteral("ANALYZE ") + SqliteDatabase::quoted(table), error);
    if (error)
        ZTLOG(QStringLiteral("statistics of %1 not taken: %2").arg(m_path, error.localizedDescription()));
}
