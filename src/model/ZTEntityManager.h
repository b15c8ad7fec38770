#pragma once

#include "platform/FetchRequest.h"

#include <QList>

#include <functional>
#include <optional>

class EntityDescription;
class ManagedObject;
class ManagedObjectContext;

// Queries over one entity family of the main context. A manager holds no results: every call
// fetches anew, so answers include the context's unsaved changes. Sub-entities are never
// returned (the customer manager never returns purchaser snapshots).
class ZTEntityManager
{
public:
    using ContextProvider = std::function<ManagedObjectContext *()>;

    // Throws NamedException "ZTFailedToRetrieveEntityException" ("entity is nil", with the
    // name under "entityName") for an unknown entity, and "ZTManagedObjectContextIsNilException"
    // when there is no context.
    ZTEntityManager(ContextProvider context, const QString &entityName);
    virtual ~ZTEntityManager() = default;

    QString entityName() const { return m_entityName; }
    // The context, or NamedException "ZTManagedObjectContextIsNilException" ("delegate returned nil").
    ManagedObjectContext &context() const;
    FetchRequest primaryFetchRequest() const { return FetchRequest(m_entityName); }

    QList<ManagedObject *> findAll() const;
    QList<ManagedObject *> findAllSortedByKeyPath(const QString &keyPath, bool caseSensitive = true) const;
    QList<ManagedObject *> findAllWithPredicate(const Predicate &predicate,
                                                const std::optional<SortDescriptor> &sortedBy = std::nullopt) const;
    qsizetype countWithPredicate(const Predicate &predicate) const;

    template <class T> static QList<T *> as(const QList<ManagedObject *> &objects)
    {
        QList<T *> list;
        list.reserve(objects.size());
        for (ManagedObject *o : objects)
            list.append(dynamic_cast<T *>(o));
        return list;
    }

private:
    ContextProvider m_context;
    QString m_entityName;
};
