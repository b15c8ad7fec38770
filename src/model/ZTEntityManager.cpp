#include "ZTEntityManager.h"

#include "platform/ManagedObjectContext.h"
#include "platform/NamedException.h"
#include "platform/ZTLog.h"

ZTEntityManager::ZTEntityManager(ContextProvider context, const QString &entityName)
    : m_context(std::move(context)), m_entityName(entityName)
{
    if (!this->context().model().entity(entityName)) {
        throw NamedException(QStringLiteral("ZTFailedToRetrieveEntityException"), QStringLiteral("entity is nil"),
                             {{QStringLiteral("entityName"), entityName}});
    }
}

ManagedObjectContext &ZTEntityManager::context() const
{
    ManagedObjectContext *ctx = m_context ? m_context() : nullptr;
    if (!ctx) {
        throw NamedException(QStringLiteral("ZTManagedObjectContextIsNilException"),
                             QStringLiteral("delegate returned nil"));
    }
    return *ctx;
}

QList<ManagedObject *> ZTEntityManager::findAll() const
{
    return context().fetch(primaryFetchRequest());
}

QList<ManagedObject *> ZTEntityManager::findAllSortedByKeyPath(const QString &keyPath, bool caseSensitive) const
{
    return findAllWithPredicate(Predicate::truePredicate(), SortDescriptor{keyPath, true, !caseSensitive});
}

QList<ManagedObject *> ZTEntityManager::findAllWithPredicate(const Predicate &predicate,
                                                             const std::optional<SortDescriptor> &sortedBy) const
{
    FetchRequest request(m_entityName, predicate);
    if (sortedBy)
        request.sortDescriptors.append(*sortedBy);
    Error error;
    QList<ManagedObject *> result = context().fetch(request, &error);
    if (error) {
        ZTLOG(QStringLiteral("result nil, no objects found matching with %1, this shouldn't happen\n")
                  .arg(predicate.description()));
        return {};
    }
    return result;
}

qsizetype ZTEntityManager::countWithPredicate(const Predicate &predicate) const
{
    Error error;
    const qsizetype n = context().count(FetchRequest(m_entityName, predicate), &error);
    if (n < 0) {
        ZTLOG(QStringLiteral("count failed for %1: %2").arg(predicate.description(), error.localizedDescription()));
        return 0;
    }
    return n;
}
