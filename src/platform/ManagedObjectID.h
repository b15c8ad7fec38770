#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The stable identity of a stored object: the store's UUID and, within the store, the table of
// the object's entity family and its primary key. Assigned at insert and never reused.
class ManagedObjectID
{
public:
    ManagedObjectID() = default;
    ManagedObjectID(QString storeUUID, QString family, qint64 primaryKey)
        : m_storeUUID(std::move(storeUUID)), m_family(std::move(family)), m_primaryKey(primaryKey)
    {
    }

    bool isNull() const { return m_primaryKey <= 0; }
    QString storeUUID() const { return m_storeUUID; }
    QString family() const { return m_family; }
    qint64 primaryKey() const { return m_primaryKey; }

    // "Document/p42"
    QString objectPart() const;
    // "x-tolvana://<store UUID>/Document/p42"
    QString uriRepresentation() const;
    static std::optional<ManagedObjectID> fromURIRepresentation(const QString &uri);

    bool operator==(const ManagedObjectID &other) const = default;

private:
    QString m_storeUUID;
    QString m_family;
    qint64 m_primaryKey = 0;
};

size_t qHash(const ManagedObjectID &id, size_t seed = 0) noexcept;
