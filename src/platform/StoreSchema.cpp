#include "StoreSchema.h"

#include "AttributeValue.h"
#include "SqliteDatabase.h"

#include <QSet>

namespace {

QSet<QString> existingColumns(SqliteDatabase &db, const QString &table, Error &error)
{
    QSet<QString> columns;
    SqliteStatement statement =
        db.prepare(QStringLiteral("PRAGMA table_info(") + SqliteDatabase::quoted(table) + QLatin1Char(')'), error);
    while (statement.next())
        columns.insert(statement.column(1).toString());
    if (statement.error())
        error = statement.error();
    return columns;
}

bool createIndex(SqliteDatabase &db, const QString &table, const QString &column, Error &error)
{
    const QString name = table + QLatin1Char('_') + column;
    return db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS ") + SqliteDatabase::quoted(name) + QStringLiteral(" ON ") +
                       SqliteDatabase::quoted(table) + QLatin1Char('(') + SqliteDatabase::quoted(column) + QLatin1Char(')'),
                   error);
}

// An index led by the entity column: every fetch names its entity, so the planner can use
// the other columns for ranges within one entity of a shared table.
bool createEntityIndex(SqliteDatabase &db, const QString &table, const QStringList &columns, Error &error)
{
    QStringList quoted{QStringLiteral("_entity")};
    for (const QString &c : columns)
        quoted.append(SqliteDatabase::quoted(c));
    const QString name = table + QStringLiteral("__entity_") + columns.join(QLatin1Char('_'));
    return db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS ") + SqliteDatabase::quoted(name) + QStringLiteral(" ON ") +
                       SqliteDatabase::quoted(table) + QLatin1Char('(') + quoted.join(QLatin1Char(',')) + QLatin1Char(')'),
                   error);
}

struct ColumnPlan
{
    QString name;
    QString type;
    bool indexed = false;
    // Entities whose rows take the default when the column is added to an existing table.
    QStringList entitiesWithDefault;
    QVariant storedDefault;
};

QList<ColumnPlan> plannedColumns(const StoreModel &model, const EntityDescription *root)
{
    QList<ColumnPlan> plans;
    QHash<QString, int> byName;
    auto plan = [&](const QString &name, const QString &type, bool indexed) -> ColumnPlan & {
        auto it = byName.constFind(name);
        if (it != byName.constEnd())
            return plans[*it];
        byName.insert(name, int(plans.size()));
        plans.append({name, type, indexed, {}, {}});
        return plans.last();
    };
    for (const EntityDescription *entity : model.family(root)) {
        for (const AttributeDescription &a : entity->attributes()) {
            ColumnPlan &p = plan(a.name, StoreSchema::columnType(a.type), a.type == AttributeType::Date);
            const std::optional<QVariant> value = AttributeValue::canonical(a.type, a.defaultValue);
            if (value && value->isValid()) {
                p.entitiesWithDefault.append(entity->name());
                p.storedDefault = AttributeValue::toStorage(a.type, *value);
            }
        }
        for (const RelationshipDescription &r : entity->toOneRelationships())
            plan(r.columnName(), QStringLiteral("INTEGER"), true);
    }
    return plans;
}

} // namespace

QString StoreSchema::columnType(AttributeType type)
{
    switch (type) {
    case AttributeType::String:
    case AttributeType::Decimal: // exact text, never REAL
        return QStringLiteral("TEXT");
    case AttributeType::Integer:
    case AttributeType::Boolean:
    case AttributeType::Date: // UTC milliseconds
        return QStringLiteral("INTEGER");
    case AttributeType::Double:
        return QStringLiteral("REAL");
    }
    return QStringLiteral("TEXT");
}

bool StoreSchema::update(SqliteDatabase &db, const StoreModel &model, Error &error)
{
    for (const EntityDescription *root : model.rootEntities()) {
        const QString table = root->name();
        const QString quotedTable = SqliteDatabase::quoted(table);
        const QList<ColumnPlan> plans = plannedColumns(model, root);
        QSet<QString> columns = existingColumns(db, table, error);
        if (error)
            return false;
        if (columns.isEmpty()) {
            QStringList definitions{QStringLiteral("_pk INTEGER PRIMARY KEY AUTOINCREMENT"),
                                    QStringLiteral("_entity TEXT NOT NULL")};
            for (const ColumnPlan &p : plans)
                definitions.append(SqliteDatabase::quoted(p.name) + QLatin1Char(' ') + p.type);
            if (!db.exec(QStringLiteral("CREATE TABLE ") + quotedTable + QStringLiteral(" (") +
                             definitions.join(QStringLiteral(", ")) + QLatin1Char(')'),
                         error))
                return false;
        } else {
            for (const ColumnPlan &p : plans) {
                if (columns.contains(p.name))
                    continue;
                if (!db.exec(QStringLiteral("ALTER TABLE ") + quotedTable + QStringLiteral(" ADD COLUMN ") +
                                 SqliteDatabase::quoted(p.name) + QLatin1Char(' ') + p.type,
                             error))
                    return false;
                if (!p.entitiesWithDefault.isEmpty()) {
                    QVariantList bindings{p.storedDefault};
                    QStringList placeholders;
                    for (const QString &entity : p.entitiesWithDefault) {
                        bindings.append(entity);
                        placeholders.append(QStringLiteral("?"));
                    }
                    if (!db.run(QStringLiteral("UPDATE ") + quotedTable + QStringLiteral(" SET ") +
                                    SqliteDatabase::quoted(p.name) + QStringLiteral(" = ? WHERE _entity IN (") +
                                    placeholders.join(QLatin1Char(',')) + QLatin1Char(')'),
                                bindings, error))
                        return false;
                }
            }
        }
        if (!createIndex(db, table, QStringLiteral("_entity"), error))
            return false;
        for (const ColumnPlan &p : plans) {
            if (p.indexed && !createIndex(db, table, p.name, error))
                return false;
            if (p.type == QStringLiteral("INTEGER") && p.indexed && !p.name.endsWith(QStringLiteral("_id")) &&
                !createEntityIndex(db, table, {p.name}, error))
                return false;
        }
        for (const EntityDescription *entity : model.family(root)) {
            for (const QStringList &index : entity->indexes()) {
                if (!createEntityIndex(db, table, index, error))
                    return false;
            }
        }
    }
    return true;
}
