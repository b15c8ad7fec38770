#pragma once

#include "Error.h"
#include "SqliteDatabase.h"
#include "StoreModel.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// A custom step of a migration, from one model version to the next. Before it runs, the schema
// already holds every table and column of the current model (added columns carry their defaults).
struct MigrationStep
{
    int fromVersion = 0;
    std::function<bool(SqliteDatabase &db, Error &error)> run;
};

struct StoreOpenOptions
{
    bool migrateAutomatically = true;     // an older store is brought to the model's version
    bool inferMappingAutomatically = true; // new attributes and entities become new columns and tables
    QList<MigrationStep> migrationSteps;
};

// One row as read from a family table: the entity, the primary key and the values of the
// entity's properties (attributes in canonical form, to-one links as primary keys).
struct StoredRow
{
    QString entity;
    qint64 primaryKey = 0;
    QHash<QString, QVariant> values;
};

// The SQLite file of one store: opening, validation, migration, metadata, and reading and writing
// rows. Knows tables and rows, not objects.
class SqliteStore
{
public:
    enum ErrorCode {
        NotAStore = 259,      // not a SQLite file, or one without store metadata
        Damaged = 11,         // truncated or failing its integrity check
        NewerModel = 134100,  // written by a newer model version
        NeedsMigration = 134110,
        MigrationFailed = 134130,
        CannotOpen = 260,
    };
    static QString errorDomain();
    static const QString kVersionKey; // "NSStoreModelVersionHashesVersion"
    static const QString kUUIDKey;    // "NSStoreUUID"

    static std::unique_ptr<SqliteStore> open(const QString &path, std::shared_ptr<const StoreModel> model,
                                             const StoreOpenOptions &options, Error &error);
    // Reads the model version recorded in a store file without opening a context; nullopt with
    // an error for a file that is missing or is not a store.
    static std::optional<int> readStoreModelVersion(const QString &path, Error &error);

    ~SqliteStore();

    QString path() const { return m_path; }
    QString storeUUID() const { return m_uuid; }
    const StoreModel &model() const { return *m_model; }
    std::shared_ptr<const StoreModel> sharedModel() const { return m_model; }
    SqliteDatabase &database() { return m_db; }

    // A fresh primary key for a row of the family: never one used before in this store.
    qint64 allocatePrimaryKey(const EntityDescription &root);

    // Runs a SELECT whose result has the columns of one family table (t0.*), decoding each row.
    bool queryRows(const QString &sql, const QVariantList &bindings, QList<StoredRow> &rows, Error &error);
    bool queryKeys(const QString &sql, const QVariantList &bindings, QList<qint64> &keys, Error &error);
    std::optional<StoredRow> readRow(const EntityDescription &root, qint64 primaryKey, Error &error);

    bool insertRow(const EntityDescription &entity, qint64 primaryKey, const QHash<QString, QVariant> &values,
                   Error &error);
    bool updateRow(const EntityDescription &entity, qint64 primaryKey, const QHash<QString, QVariant> &values,
                   Error &error);
    bool deleteRow(const EntityDescription &root, qint64 primaryKey, Error &error);

private:
    void refreshStatistics();
    SqliteStore(QString path, std::shared_ptr<const StoreModel> model);
    bool initialize(bool created, int storedVersion, const StoreOpenOptions &options, Error &error);
    bool writeMetadata(const QString &key, const QVariant &value, Error &error);
    QString columnFor(const EntityDescription &entity, const QString &key) const;
    QVariant storageValue(const EntityDescription &entity, const QString &key, const QVariant &value) const;

    QString m_path;
    std::shared_ptr<const StoreModel> m_model;
    SqliteDatabase m_db;
    QString m_uuid;
    QHash<QString, qint64> m_lastKeys; // per family table
};
