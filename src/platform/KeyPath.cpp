#include "KeyPath.h"

#include "ZTLog.h"

#include <QStringList>

KeyPath KeyPath::resolve(const EntityDescription &entity, const QString &path)
{
    KeyPath result;
    result.path = path;
    const QStringList keys = path.split(QLatin1Char('.'));
    const EntityDescription *current = &entity;
    for (int i = 0; i < keys.size(); ++i) {
        const QString &key = keys.at(i);
        const bool last = i == keys.size() - 1;
        if (last) {
            result.lastEntity = current;
            result.attribute = current->attribute(key);
            if (!result.attribute) {
                result.relationship = current->relationship(key);
                if (!result.relationship || result.relationship->toMany) {
                    ZTLOG(QStringLiteral("unknown key path %1 of %2").arg(path, entity.name()));
                    ZT_PRECONDITION(!"key path ends in an attribute or a to-one relationship");
                }
            }
            break;
        }
        const RelationshipDescription *hop = current->relationship(key);
        if (!hop || hop->toMany) {
            ZTLOG(QStringLiteral("unknown key path %1 of %2").arg(path, entity.name()));
            ZT_PRECONDITION(!"key path steps through to-one relationships");
        }
        result.hops.append(hop);
        current = current->destination(*hop);
    }
    return result;
}

QString KeyPath::lastKey() const
{
    return attribute ? attribute->name : relationship->name;
}
