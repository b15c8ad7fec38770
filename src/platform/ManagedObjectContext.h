#pragma once

#include "Error.h"
#include "FetchRequest.h"
#include "ManagedObject.h"
#include "Observation.h"
#include "SqliteStore.h"

#include <QList>
#include <QSet>

#include <map>
#include <memory>
#include <vector>

// What changed, sent after pending changes are processed (ObjectsDidChange) and after a save
// (DidSave), once for the whole batch.
struct ContextChanges
{
    enum class Kind { ObjectsDidChange, DidSave };
    Kind kind = Kind::ObjectsDidChange;
    QList<ManagedObject *> inserted;
    QList<ManagedObject *> updated;
    QList<ManagedObject *> deleted;
};

// The objects of one store, loaded on demand and kept in an identity map (one object per row),
// with the unsaved changes made to them. Main thread only; no undo.
class ManagedObjectContext
{
public:
    static std::unique_ptr<ManagedObjectContext> open(const QString &path, std::shared_ptr<const StoreModel> model,
                                                      const StoreOpenOptions &options, Error &error);
    explicit ManagedObjectContext(std::unique_ptr<SqliteStore> store);
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext &) = delete;
    ManagedObjectContext &operator=(const ManagedObjectContext &) = delete;

    const StoreModel &model() const { return m_store->model(); }
    SqliteStore &store() const { return *m_store; }
    QString storeUUID() const { return m_store->storeUUID(); }

    // A new object with a permanent identity; defaults are set and awakeFromInsert has run.
    ManagedObject *insertNewObject(const QString &entityName);
    template <class T> T *insertNewObject(const QString &entityName)
    {
        return dynamic_cast<T *>(insertNewObject(entityName));
    }

    // Objects of exactly the request's entity, as the context sees them: saved rows (queried in
    // SQL) merged with unsaved inserts, changes and deletions. Only matching objects are loaded.
    // Key paths across relationships are evaluated on the saved state of rows that the context
    // has not changed itself. On a store failure the list is empty and error (when given) set.
    QList<ManagedObject *> fetch(const FetchRequest &request, Error *error = nullptr);
    template <class T> QList<T *> fetchAs(const FetchRequest &request, Error *error = nullptr)
    {
        QList<T *> list;
        for (ManagedObject *o : fetch(request, error))
            list.append(dynamic_cast<T *>(o));
        return list;
    }
    // The number of matches, without loading objects; -1 on a store failure.
    qsizetype count(const FetchRequest &request, Error *error = nullptr);
    // The object with this identity, loaded when needed; null when there is none.
    ManagedObject *objectWithID(const ManagedObjectID &id);

    // Marks the object deleted; delete rules apply when pending changes are processed.
    void deleteObject(ManagedObject *object);
    // Applies delete rules and tells observers what changed since the last time.
    void processPendingChanges();
    // Validates every inserted, changed and deleted object, then writes all of them in one
    // transaction. On failure nothing is written and the unsaved changes stay.
    bool save(Error &error);
    // Discards every unsaved change: objects return to their saved values, inserted ones leave.
    void rollback();

    bool hasChanges() const;
    QList<ManagedObject *> insertedObjects() const;
    QList<ManagedObject *> updatedObjects() const;
    QList<ManagedObject *> deletedObjects() const;
    qsizetype registeredObjectCount() const { return qsizetype(m_objects.size()); }

    [[nodiscard]] Observation observeChanges(std::function<void(const ContextChanges &)> callback);

private:
    friend class ManagedObject;
    using Key = std::pair<const EntityDescription *, qint64>; // family root, primary key

    ManagedObject *registeredObject(const EntityDescription &root, qint64 primaryKey) const;
    ManagedObject *objectForKey(const EntityDescription &root, qint64 primaryKey);
    ManagedObject *registerRow(const StoredRow &row);
    QSet<ManagedObject *> loadSet(const ManagedObject &owner, const RelationshipDescription &relationship);
    void objectDidChange(ManagedObject *object);
    // Objects of the family root with unsaved state, which override what the store holds.
    QList<ManagedObject *> changedObjectsOfFamily(const EntityDescription *root) const;
    // The shared part of fetch and count: the entity check, pending changes, the query, the log.
    bool runQuery(const FetchRequest &request, bool countOnly, QList<ManagedObject *> &objects, qsizetype &count,
                  Error *error);
    bool queryFetch(const FetchRequest &request, const EntityDescription &entity, bool countOnly,
                    QList<ManagedObject *> &objects, qsizetype &count, Error &error);
    void applyDeleteRules(ManagedObject *object, QSet<ManagedObject *> &visited);
    void nullifyReferencesWithoutInverse(ManagedObject *object);
    void detach(ManagedObject *object);
    bool writeChanges(Error &error);
    void postChanges(ContextChanges::Kind kind, const QList<ManagedObject *> &inserted,
                     const QList<ManagedObject *> &updated, const QList<ManagedObject *> &deleted);

    std::unique_ptr<SqliteStore> m_store;
    std::map<Key, std::unique_ptr<ManagedObject>> m_objects;
    std::vector<std::unique_ptr<ManagedObject>> m_detached; // released objects, kept for callers' pointers
    QSet<ManagedObject *> m_inserted;
    QSet<ManagedObject *> m_deleted;
    QSet<ManagedObject *> m_touched;          // had a value set since the last save or rollback
    QSet<ManagedObject *> m_pendingTouched;   // since the last processPendingChanges
    QSet<ManagedObject *> m_pendingInserted;
    QSet<ManagedObject *> m_pendingDeleted;
    std::shared_ptr<ObserverRegistry<const ContextChanges &>> m_observers;
};
