#include "ManagedObjectContext.h"

#include "KeyPath.h"
#include "SqlFetchBuilder.h"
#include "StoreTransaction.h"
#include "ZTLog.h"

#include <algorithm>

namespace {

// A fixed order for sets of objects, so that validation errors and notifications do not depend
// on hashing.
QList<ManagedObject *> ordered(const QSet<ManagedObject *> &set)
{
    QList<ManagedObject *> list(set.begin(), set.end());
    std::sort(list.begin(), list.end(), [](const ManagedObject *a, const ManagedObject *b) {
        const QString ra = a->entity().root()->name();
        const QString rb = b->entity().root()->name();
        return ra != rb ? ra < rb : a->primaryKey() < b->primaryKey();
    });
    return list;
}

QString entityList(const QList<const EntityDescription *> &entities, SqlFetchBuilder *builder, QVariantList *bindings)
{
    QStringList placeholders;
    for (const EntityDescription *e : entities) {
        if (builder)
            placeholders.append(builder->bind(e->name()));
        else {
            bindings->append(e->name());
            placeholders.append(QStringLiteral("?"));
        }
    }
    return QLatin1Char('(') + placeholders.join(QLatin1Char(',')) + QLatin1Char(')');
}

// Sort descriptors, then identity: the order SQL gives and the order the merge keeps.
bool sortsBefore(const ManagedObject *a, const ManagedObject *b, const QList<SortDescriptor> &sort)
{
    for (const SortDescriptor &d : sort) {
        const KeyPath path = KeyPath::resolve(a->entity(), d.keyPath);
        ZT_PRECONDITION(path.attribute);
        const AttributeType type = path.attribute->type;
        int c = AttributeValue::sortCompare(type, a->valueForKeyPath(d.keyPath), b->valueForKeyPath(d.keyPath),
                                            d.caseInsensitive && type == AttributeType::String);
        if (!d.ascending)
            c = -c;
        if (c != 0)
            return c < 0;
    }
    return a->primaryKey() < b->primaryKey();
}

} // namespace

std::unique_ptr<ManagedObjectContext> ManagedObjectContext::open(const QString &path,
                                                                 std::shared_ptr<const StoreModel> model,
                                                                 const StoreOpenOptions &options, Error &error)
{
    std::unique_ptr<SqliteStore> store = SqliteStore::open(path, std::move(model), options, error);
    if (!store)
        return nullptr;
    return std::make_unique<ManagedObjectContext>(std::move(store));
}

ManagedObjectContext::ManagedObjectContext(std::unique_ptr<SqliteStore> store)
    : m_store(std::move(store)), m_observers(std::make_shared<ObserverRegistry<const ContextChanges &>>())
{
}

ManagedObjectContext::~ManagedObjectContext()
{
    // Every object hears it is released before any is destroyed, so hooks may still look at others.
    for (auto &entry : m_objects)
        entry.second->willTurnIntoFault();
    for (auto &entry : m_objects)
        entry.second->m_context = nullptr;
}

ManagedObject *ManagedObjectContext::insertNewObject(const QString &entityName)
{
    const EntityDescription *entity = model().entity(entityName);
    if (!entity) {
        ZTLOG(QStringLiteral("no entity %1").arg(entityName));
        ZT_PRECONDITION(entity);
    }
    std::unique_ptr<ManagedObject> object = model().createObject(entityName);
    ManagedObject *raw = object.get();
    const EntityDescription *root = entity->root();
    const qint64 key = m_store->allocatePrimaryKey(*root);
    raw->m_entity = entity;
    raw->m_objectID = ManagedObjectID(storeUUID(), root->name(), key);
    raw->m_inserted = true;
    for (const AttributeDescription &a : entity->attributes()) {
        const std::optional<QVariant> value = AttributeValue::canonical(a.type, a.defaultValue);
        if (value && value->isValid())
            raw->m_values.insert(a.name, *value);
    }
    m_objects.emplace(Key{root, key}, std::move(object));
    raw->m_context = this;
    m_inserted.insert(raw);
    m_pendingInserted.insert(raw);
    raw->awakeFromInsert();
    return raw;
}

ManagedObject *ManagedObjectContext::registeredObject(const EntityDescription &root, qint64 primaryKey) const
{
    const auto it = m_objects.find(Key{&root, primaryKey});
    return it == m_objects.end() ? nullptr : it->second.get();
}

ManagedObject *ManagedObjectContext::objectForKey(const EntityDescription &root, qint64 primaryKey)
{
    if (ManagedObject *object = registeredObject(root, primaryKey))
        return object;
    Error error;
    const std::optional<StoredRow> row = m_store->readRow(root, primaryKey, error);
    if (!row) {
        ZTLOG(QStringLiteral("no row %1/p%2 %3").arg(root.name()).arg(primaryKey).arg(error.localizedDescription()));
        return nullptr;
    }
    return registerRow(*row);
}

ManagedObject *ManagedObjectContext::registerRow(const StoredRow &row)
{
    const EntityDescription *entity = model().entity(row.entity);
    ZT_ASSERT(entity);
    const Key key{entity->root(), row.primaryKey};
    if (ManagedObject *existing = registeredObject(*key.first, key.second))
        return existing; // the identity map keeps the in-memory state
    std::unique_ptr<ManagedObject> object = model().createObject(row.entity);
    ManagedObject *raw = object.get();
    raw->m_entity = entity;
    raw->m_objectID = ManagedObjectID(storeUUID(), key.first->name(), row.primaryKey);
    // Rows carry only the values they have; both maps share the row's data until a change.
    raw->m_values = row.values;
    raw->m_values.removeIf([](const auto &entry) { return !entry.value().isValid(); });
    raw->m_committed = raw->m_values;
    m_objects.emplace(key, std::move(object));
    raw->m_context = this;
    raw->awakeFromFetch();
    return raw;
}

ManagedObject *ManagedObjectContext::objectWithID(const ManagedObjectID &id)
{
    const EntityDescription *root = model().entity(id.family());
    if (id.isNull() || id.storeUUID() != storeUUID() || !root || root->parent())
        return nullptr;
    return objectForKey(*root, id.primaryKey());
}

QList<ManagedObject *> ManagedObjectContext::changedObjectsOfFamily(const EntityDescription *root) const
{
    QSet<ManagedObject *> all = m_inserted;
    all.unite(m_deleted);
    all.unite(m_touched);
    QSet<ManagedObject *> family;
    for (ManagedObject *o : std::as_const(all)) {
        if (o->entity().root() == root)
            family.insert(o);
    }
    return ordered(family);
}

bool ManagedObjectContext::queryFetch(const FetchRequest &request, const EntityDescription &entity, bool countOnly,
                                      QList<ManagedObject *> &objects, qsizetype &count, Error &error)
{
    // Rows the context has changed are judged in memory; the store answers for all the others.
    QList<ManagedObject *> candidates;
    QStringList overridden;
    for (ManagedObject *o : changedObjectsOfFamily(entity.root())) {
        if (!o->m_inserted)
            overridden.append(QString::number(o->primaryKey()));
        if (&o->entity() == &entity && !o->isDeleted() && request.predicate.evaluate(*o))
            candidates.append(o);
    }

    SqlFetchBuilder builder(entity);
    QString where = SqlFetchBuilder::rootAlias() + QStringLiteral("._entity = ") + builder.bind(entity.name());
    if (!request.predicate.isTrue())
        where += QStringLiteral(" AND ") + request.predicate.toSql(builder);
    if (!overridden.isEmpty())
        where += QStringLiteral(" AND ") + SqlFetchBuilder::rootAlias() + QStringLiteral("._pk NOT IN (") +
                 overridden.join(QLatin1Char(',')) + QLatin1Char(')');

    if (countOnly) {
        const QVariant n = m_store->database().scalar(
            QStringLiteral("SELECT count(*) FROM ") + builder.fromClause() + QStringLiteral(" WHERE ") + where,
            builder.bindings(), error);
        if (error)
            return false;
        count = n.toLongLong() + candidates.size();
        return true;
    }

    QStringList orderBy;
    for (const SortDescriptor &d : request.sortDescriptors) {
        const SqlFetchBuilder::Column column = builder.column(d.keyPath);
        ZT_PRECONDITION(column.keyPath.attribute);
        QString term = column.sql;
        if (column.keyPath.attribute->type == AttributeType::Decimal)
            term += QStringLiteral(" COLLATE ") + QLatin1String(AttributeValue::decimalCollation());
        else if (d.caseInsensitive && column.keyPath.attribute->type == AttributeType::String)
            term += QStringLiteral(" COLLATE ") + QLatin1String(AttributeValue::caseInsensitiveCollation());
        orderBy.append(term + (d.ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
    }
    orderBy.append(SqlFetchBuilder::rootAlias() + QStringLiteral("._pk ASC"));
    QString sql = QStringLiteral("SELECT ") + SqlFetchBuilder::rootAlias() + QStringLiteral(".* FROM ") +
                  builder.fromClause() + QStringLiteral(" WHERE ") + where + QStringLiteral(" ORDER BY ") +
                  orderBy.join(QStringLiteral(", "));
    // The context's candidates cannot push a stored row out of the first n unless it is there.
    if (request.fetchLimit > 0)
        sql += QStringLiteral(" LIMIT ") + QString::number(request.fetchLimit);
    QList<StoredRow> rows;
    if (!m_store->queryRows(sql, builder.bindings(), rows, error))
        return false;
    for (const StoredRow &row : std::as_const(rows))
        objects.append(registerRow(row));
    if (!candidates.isEmpty()) {
        objects += candidates;
        std::stable_sort(objects.begin(), objects.end(), [&request](const ManagedObject *a, const ManagedObject *b) {
            return sortsBefore(a, b, request.sortDescriptors);
        });
        if (request.fetchLimit > 0 && objects.size() > request.fetchLimit)
            objects.resize(request.fetchLimit);
    }
    count = objects.size();
    return true;
}

bool ManagedObjectContext::runQuery(const FetchRequest &request, bool countOnly, QList<ManagedObject *> &objects,
                                    qsizetype &count, Error *error)
{
    const EntityDescription *entity = model().entity(request.entityName);
    if (!entity) {
        ZTLOG(QStringLiteral("no entity %1").arg(request.entityName));
        ZT_PRECONDITION(entity);
    }
    processPendingChanges();
    Error failure;
    if (!queryFetch(request, *entity, countOnly, objects, count, failure)) {
        ZTLOG(QStringLiteral("%1 of %2 failed: %3")
                  .arg(countOnly ? QStringLiteral("count") : QStringLiteral("fetch"), request.entityName,
                       failure.localizedDescription()));
        if (error)
            *error = failure;
        return false;
    }
    return true;
}

QList<ManagedObject *> ManagedObjectContext::fetch(const FetchRequest &request, Error *error)
{
    QList<ManagedObject *> objects;
    qsizetype count = 0;
    return runQuery(request, false, objects, count, error) ? objects : QList<ManagedObject *>();
}

qsizetype ManagedObjectContext::count(const FetchRequest &request, Error *error)
{
    QList<ManagedObject *> unused;
    qsizetype count = 0;
    return runQuery(request, true, unused, count, error) ? count : -1;
}

QSet<ManagedObject *> ManagedObjectContext::loadSet(const ManagedObject &owner, const RelationshipDescription &relationship)
{
    const EntityDescription *destination = model().entity(relationship.destination);
    const EntityDescription *root = destination->root();
    const RelationshipDescription *inverse = destination->relationship(relationship.inverse);
    QList<const EntityDescription *> kinds;
    for (const EntityDescription *e : model().family(root)) {
        if (e->isKindOf(destination))
            kinds.append(e);
    }
    QSet<ManagedObject *> members;
    auto consider = [&](ManagedObject *o) {
        if (o->entity().isKindOf(destination) && o->relatedPrimaryKey(inverse->name) == owner.primaryKey())
            members.insert(o);
    };
    if (!owner.m_inserted) {
        QVariantList bindings{owner.primaryKey()};
        const QString sql = QStringLiteral("SELECT * FROM ") + SqliteDatabase::quoted(root->name()) +
                            QStringLiteral(" WHERE ") + SqliteDatabase::quoted(inverse->columnName()) +
                            QStringLiteral(" = ? AND _entity IN ") + entityList(kinds, nullptr, &bindings);
        QList<StoredRow> rows;
        Error error;
        if (!m_store->queryRows(sql, bindings, rows, error))
            ZTLOG(QStringLiteral("loading %1 failed: %2").arg(relationship.name, error.localizedDescription()));
        for (const StoredRow &row : std::as_const(rows))
            consider(registerRow(row));
    }
    for (ManagedObject *o : changedObjectsOfFamily(root))
        consider(o);
    return members;
}

void ManagedObjectContext::objectDidChange(ManagedObject *object)
{
    m_touched.insert(object);
    m_pendingTouched.insert(object);
}

void ManagedObjectContext::deleteObject(ManagedObject *object)
{
    ZT_PRECONDITION(object && object->m_context == this);
    if (object->m_deleted)
        return;
    object->m_deleted = true;
    m_deleted.insert(object);
    m_pendingDeleted.insert(object);
}

void ManagedObjectContext::applyDeleteRules(ManagedObject *object, QSet<ManagedObject *> &visited)
{
    if (visited.contains(object))
        return;
    visited.insert(object);
    for (const RelationshipDescription &r : object->entity().relationships()) {
        if (r.deleteRule == DeleteRule::Deny)
            continue; // checked when saving
        if (r.toMany) {
            for (ManagedObject *member : object->relatedSet(r.name)) {
                if (r.deleteRule == DeleteRule::Cascade)
                    deleteObject(member);
                else if (member->relatedPrimaryKey(r.inverse) == object->primaryKey())
                    member->setRelatedObject(r.inverse, nullptr);
            }
            continue;
        }
        ManagedObject *related = object->relatedObject(r.name);
        if (!related)
            continue;
        if (r.deleteRule == DeleteRule::Cascade)
            deleteObject(related);
        else if (r.hasInverse())
            object->setRelatedObject(r.name, nullptr);
    }
    nullifyReferencesWithoutInverse(object);
}

void ManagedObjectContext::nullifyReferencesWithoutInverse(ManagedObject *object)
{
    // Links without an inverse are not seen from the deleted object; find them by their key column.
    for (const EntityDescription *entity : model().entities()) {
        for (const RelationshipDescription &r : entity->toOneRelationships()) {
            // Only the entity that declares the link asks, so inherited links are looked at once.
            if (r.hasInverse() || !object->entity().isKindOf(entity->destination(r)) ||
                (entity->parent() && entity->parent()->relationship(r.name)))
                continue;
            const EntityDescription *root = entity->root();
            QList<const EntityDescription *> kinds;
            for (const EntityDescription *e : model().family(root)) {
                if (e->isKindOf(entity))
                    kinds.append(e);
            }
            QList<ManagedObject *> referring;
            if (!object->m_inserted) {
                QVariantList bindings{object->primaryKey()};
                QList<qint64> keys;
                Error error;
                m_store->queryKeys(QStringLiteral("SELECT _pk FROM ") + SqliteDatabase::quoted(root->name()) +
                                       QStringLiteral(" WHERE ") + SqliteDatabase::quoted(r.columnName()) +
                                       QStringLiteral(" = ? AND _entity IN ") + entityList(kinds, nullptr, &bindings),
                                   bindings, keys, error);
                for (qint64 key : std::as_const(keys)) {
                    if (ManagedObject *o = objectForKey(*root, key))
                        referring.append(o);
                }
            }
            referring += changedObjectsOfFamily(root);
            for (ManagedObject *o : std::as_const(referring)) {
                if (o->entity().isKindOf(entity) && o->relatedPrimaryKey(r.name) == object->primaryKey())
                    o->setRelatedObject(r.name, nullptr);
            }
        }
    }
}

void ManagedObjectContext::processPendingChanges()
{
    QSet<ManagedObject *> visited;
    for (;;) {
        const QSet<ManagedObject *> toProcess = m_pendingDeleted - visited;
        if (toProcess.isEmpty())
            break;
        for (ManagedObject *o : ordered(toProcess))
            applyDeleteRules(o, visited);
    }
    if (m_pendingInserted.isEmpty() && m_pendingTouched.isEmpty() && m_pendingDeleted.isEmpty())
        return;
    QSet<ManagedObject *> updated = m_pendingTouched - m_pendingInserted - m_pendingDeleted;
    const QList<ManagedObject *> inserted = ordered(m_pendingInserted - m_pendingDeleted);
    const QList<ManagedObject *> deleted = ordered(m_pendingDeleted);
    m_pendingInserted.clear();
    m_pendingTouched.clear();
    m_pendingDeleted.clear();
    postChanges(ContextChanges::Kind::ObjectsDidChange, inserted, ordered(updated), deleted);
}

bool ManagedObjectContext::hasChanges() const
{
    if (!m_inserted.isEmpty() || !m_deleted.isEmpty())
        return true;
    return std::any_of(m_touched.begin(), m_touched.end(), [](const ManagedObject *o) { return o->isUpdated(); });
}

QList<ManagedObject *> ManagedObjectContext::insertedObjects() const
{
    return ordered(m_inserted - m_deleted);
}

QList<ManagedObject *> ManagedObjectContext::updatedObjects() const
{
    QSet<ManagedObject *> updated;
    for (ManagedObject *o : m_touched) {
        if (o->isUpdated())
            updated.insert(o);
    }
    return ordered(updated);
}

QList<ManagedObject *> ManagedObjectContext::deletedObjects() const
{
    return ordered(m_deleted - m_inserted);
}

bool ManagedObjectContext::save(Error &error)
{
    processPendingChanges();
    const QList<ManagedObject *> inserted = insertedObjects();
    const QList<ManagedObject *> updated = updatedObjects();
    const QList<ManagedObject *> deleted = deletedObjects();

    Error failures;
    bool valid = true;
    auto check = [&](bool passed, const Error &e) {
        if (!passed) {
            valid = false;
            failures = Error::combined(failures, e);
        }
    };
    for (ManagedObject *o : inserted) {
        Error e;
        check(o->validateForInsert(e), e);
    }
    for (ManagedObject *o : updated) {
        Error e;
        check(o->validateForUpdate(e), e);
    }
    for (ManagedObject *o : deleted) {
        Error e;
        check(o->validateForDelete(e), e);
    }
    if (!valid) {
        error = failures ? failures
                         : Error::withMessage(SqliteStore::errorDomain(), 1550, QStringLiteral("Validation failed."));
        return false;
    }

    {
        StoreTransaction transaction(m_store->database(), error);
        if (!transaction.isActive())
            return false;
        for (ManagedObject *o : deleted) {
            if (!m_store->deleteRow(*o->entity().root(), o->primaryKey(), error))
                return false;
        }
        for (ManagedObject *o : inserted) {
            if (!m_store->insertRow(o->entity(), o->primaryKey(), o->m_values, error))
                return false;
        }
        for (ManagedObject *o : updated) {
            QHash<QString, QVariant> changes;
            const QVariantMap changed = o->changedValues();
            for (auto it = changed.constBegin(); it != changed.constEnd(); ++it)
                changes.insert(it.key(), it.value());
            if (!m_store->updateRow(o->entity(), o->primaryKey(), changes, error))
                return false;
        }
        if (!transaction.commit(error))
            return false;
    }

    for (ManagedObject *o : inserted) {
        o->m_inserted = false;
        o->m_committed = o->m_values;
    }
    for (ManagedObject *o : updated)
        o->m_committed = o->m_values;
    const QSet<ManagedObject *> leaving = m_deleted;
    for (ManagedObject *o : ordered(leaving))
        detach(o);
    m_inserted.clear();
    m_deleted.clear();
    m_touched.clear();
    m_pendingInserted.clear();
    m_pendingTouched.clear();
    m_pendingDeleted.clear();
    postChanges(ContextChanges::Kind::DidSave, inserted, updated, deleted);
    return true;
}

void ManagedObjectContext::detach(ManagedObject *object)
{
    const auto it = m_objects.find(Key{object->entity().root(), object->primaryKey()});
    ZT_ASSERT(it != m_objects.end());
    std::unique_ptr<ManagedObject> owned = std::move(it->second);
    m_objects.erase(it);
    for (auto &entry : m_objects) {
        for (auto set = entry.second->m_sets.begin(); set != entry.second->m_sets.end(); ++set)
            set->remove(object);
    }
    object->willTurnIntoFault();
    object->m_context = nullptr;
    object->m_deleted = false;
    object->m_inserted = false;
    m_detached.push_back(std::move(owned));
}

void ManagedObjectContext::rollback()
{
    QList<std::pair<ManagedObject *, QStringList>> restored;
    for (ManagedObject *o : ordered(m_touched + m_deleted)) {
        if (o->m_inserted)
            continue;
        QStringList keys;
        for (const QString &key : o->changedValues().keys())
            keys.append(key);
        o->m_values = o->m_committed;
        o->m_deleted = false;
        if (!keys.isEmpty())
            restored.append({o, keys});
    }
    const QList<ManagedObject *> discarded = ordered(m_inserted);
    for (ManagedObject *o : discarded)
        detach(o);
    // Memberships follow the restored keys; sets are derived again on their next access.
    for (auto &entry : m_objects)
        entry.second->m_sets.clear();
    m_inserted.clear();
    m_deleted.clear();
    m_touched.clear();
    m_pendingInserted.clear();
    m_pendingTouched.clear();
    m_pendingDeleted.clear();
    QList<ManagedObject *> updated;
    for (const auto &[object, keys] : restored) {
        updated.append(object);
        for (const QString &key : keys)
            object->notifyValueChanged(key);
    }
    if (!updated.isEmpty() || !discarded.isEmpty())
        postChanges(ContextChanges::Kind::ObjectsDidChange, {}, updated, discarded);
}

Observation ManagedObjectContext::observeChanges(std::function<void(const ContextChanges &)> callback)
{
    return ObserverRegistry<const ContextChanges &>::add(m_observers, QString(), std::move(callback));
}

void ManagedObjectContext::postChanges(ContextChanges::Kind kind, const QList<ManagedObject *> &inserted,
                                       const QList<ManagedObject *> &updated, const QList<ManagedObject *> &deleted)
{
    ContextChanges changes;
    changes.kind = kind;
    changes.inserted = inserted;
    changes.updated = updated;
    changes.deleted = deleted;
    auto keep = m_observers;
    keep->notify(QString(), changes);
}
