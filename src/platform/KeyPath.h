#pragma once

#include "StoreModel.h"

#include <QList>
#include <QString>

// A dotted key path ("document.seller.name") resolved against an entity: every step but the
// last is a to-one relationship; the last is an attribute or a to-one relationship.
class KeyPath
{
public:
    QString path;
    QList<const RelationshipDescription *> hops;
    const EntityDescription *lastEntity = nullptr; // the entity that holds the last key
    const AttributeDescription *attribute = nullptr;
    const RelationshipDescription *relationship = nullptr; // set when the last key is a to-one link

    // Fails a precondition when the path does not fit the model: such a path is a programming error.
    static KeyPath resolve(const EntityDescription &entity, const QString &path);

    QString lastKey() const;
};
