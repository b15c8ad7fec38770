#include "ManagedObjectID.h"

#include <QHashFunctions>
#include <QStringList>

namespace {
const QString kScheme = QStringLiteral("x-tolvana://");
}

QString ManagedObjectID::objectPart() const
{
    return m_family + QStringLiteral("/p") + QString::number(m_primaryKey);
}

QString ManagedObjectID::uriRepresentation() const
{
    return kScheme + m_storeUUID + QLatin1Char('/') + objectPart();
}

std::optional<ManagedObjectID> ManagedObjectID::fromURIRepresentation(const QString &uri)
{
    if (!uri.startsWith(kScheme))
        return std::nullopt;
    const QStringList parts = uri.mid(kScheme.size()).split(QLatin1Char('/'));
    if (parts.size() != 3 || parts[0].isEmpty() || parts[1].isEmpty() || !parts[2].startsWith(QLatin1Char('p')))
        return std::nullopt;
    bool ok = false;
    const qint64 pk = parts[2].mid(1).toLongLong(&ok);
    if (!ok || pk <= 0)
        return std::nullopt;
    return ManagedObjectID(parts[0], parts[1], pk);
}

size_t qHash(const ManagedObjectID &id, size_t seed) noexcept
{
    return qHashMulti(seed, id.storeUUID(), id.family(), id.primaryKey());
}
