#include "StoreModel.h"

#include "ManagedObject.h"
#include "ZTLog.h"

#include <QSet>

EntityDescription::EntityDescription(StoreModel *model, QString name, QString parentName)
    : m_model(model), m_name(std::move(name)), m_parentName(std::move(parentName))
{
}

EntityDescription &EntityDescription::addAttribute(const QString &name, AttributeType type,
                                                   const QVariant &defaultValue)
{
    ZT_PRECONDITION(!m_model->isFinalized());
    m_attributes.append({name, type, defaultValue});
    return *this;
}

EntityDescription &EntityDescription::addToOne(const QString &name, const QString &destination,
                                               const QString &inverse, DeleteRule rule)
{
    ZT_PRECONDITION(!m_model->isFinalized());
    m_relationships.append({name, destination, false, inverse, rule});
    return *this;
}

EntityDescription &EntityDescription::addToMany(const QString &name, const QString &destination,
                                                const QString &inverse, DeleteRule rule)
{
    ZT_PRECONDITION(!m_model->isFinalized());
    m_relationships.append({name, destination, true, inverse, rule});
    return *this;
}

const EntityDescription *EntityDescription::root() const
{
    const EntityDescription *e = this;
    while (e->m_parent)
        e = e->m_parent;
    return e;
}

bool EntityDescription::isKindOf(const EntityDescription *other) const
{
    for (const EntityDescription *e = this; e; e = e->m_parent) {
        if (e == other)
            return true;
    }
    return false;
}

const AttributeDescription *EntityDescription::attribute(const QString &name) const
{
    for (const EntityDescription *e = this; e; e = e->m_parent) {
        for (const AttributeDescription &a : e->m_attributes) {
            if (a.name == name)
                return &a;
        }
    }
    return nullptr;
}

const RelationshipDescription *EntityDescription::relationship(const QString &name) const
{
    for (const EntityDescription *e = this; e; e = e->m_parent) {
        for (const RelationshipDescription &r : e->m_relationships) {
            if (r.name == name)
                return &r;
        }
    }
    return nullptr;
}

QList<AttributeDescription> EntityDescription::attributes() const
{
    QList<AttributeDescription> list = m_parent ? m_parent->attributes() : QList<AttributeDescription>();
    list += m_attributes;
    return list;
}

QList<RelationshipDescription> EntityDescription::relationships() const
{
    QList<RelationshipDescription> list =
        m_parent ? m_parent->relationships() : QList<RelationshipDescription>();
    list += m_relationships;
    return list;
}

QList<RelationshipDescription> EntityDescription::toOneRelationships() const
{
    QList<RelationshipDescription> list;
    for (const RelationshipDescription &r : relationships()) {
        if (!r.toMany)
            list.append(r);
    }
    return list;
}

const EntityDescription *EntityDescription::destination(const RelationshipDescription &relationship) const
{
    return m_model->entity(relationship.destination);
}

StoreModel::StoreModel(int version) : m_version(version)
{
}

EntityDescription &StoreModel::addEntity(const QString &name, const QString &parentName)
{
    ZT_PRECONDITION(!m_finalized);
    ZT_PRECONDITION(!name.isEmpty() && m_entities.find(name) == m_entities.end());
    auto entity = std::make_unique<EntityDescription>(this, name, parentName);
    EntityDescription *raw = entity.get();
    m_entities.emplace(name, std::move(entity));
    m_order.append(raw);
    return *raw;
}

void StoreModel::finalize()
{
    ZT_PRECONDITION(!m_finalized);
    for (EntityDescription *e : std::as_const(m_order)) {
        if (!e->m_parentName.isEmpty()) {
            const EntityDescription *parent = entity(e->m_parentName);
            ZT_ASSERT_TEXT(parent, "parent entity exists");
            e->m_parent = parent;
        }
    }
    for (const EntityDescription *e : std::as_const(m_order)) {
        // The entity column and the primary key are the engine's own; property names starting with
        // "_" and relationship names whose key column shadows an attribute would clash with them.
        QSet<QString> names;
        for (const AttributeDescription &a : e->attributes()) {
            ZT_ASSERT_TEXT(!a.name.isEmpty() && !a.name.startsWith(QLatin1Char('_')), "valid attribute name");
            ZT_ASSERT_TEXT(!names.contains(a.name), "unique property names");
            names.insert(a.name);
        }
        for (const RelationshipDescription &r : e->relationships()) {
            ZT_ASSERT_TEXT(!r.name.isEmpty() && !r.name.startsWith(QLatin1Char('_')), "valid relationship name");
            ZT_ASSERT_TEXT(!names.contains(r.name) && !names.contains(r.columnName()), "unique property names");
            names.insert(r.name);
            const EntityDescription *target = entity(r.destination);
            ZT_ASSERT_TEXT(target, "relationship destination exists");
            if (r.toMany) // a to-many side is read through the key of its to-one inverse
                ZT_ASSERT_TEXT(r.hasInverse(), "to-many relationship has an inverse");
            if (r.hasInverse()) {
                const RelationshipDescription *inverse = target->relationship(r.inverse);
                ZT_ASSERT_TEXT(inverse && inverse->inverse == r.name, "inverse relationships name each other");
                ZT_ASSERT_TEXT(!(r.toMany && inverse->toMany), "no many-to-many relationships");
                ZT_ASSERT_TEXT(e->isKindOf(entity(inverse->destination)), "inverse points back to the entity");
            }
        }
    }
    m_finalized = true;
}

const EntityDescription *StoreModel::entity(const QString &name) const
{
    auto it = m_entities.find(name);
    return it == m_entities.end() ? nullptr : it->second.get();
}

QList<const EntityDescription *> StoreModel::entities() const
{
    QList<const EntityDescription *> list;
    for (const EntityDescription *e : m_order)
        list.append(e);
    return list;
}

QList<const EntityDescription *> StoreModel::rootEntities() const
{
    QList<const EntityDescription *> list;
    for (const EntityDescription *e : m_order) {
        if (e->m_parentName.isEmpty())
            list.append(e);
    }
    return list;
}

QList<const EntityDescription *> StoreModel::family(const EntityDescription *root) const
{
    QList<const EntityDescription *> list;
    for (const EntityDescription *e : m_order) {
        if (e->root() == root)
            list.append(e);
    }
    return list;
}

void StoreModel::registerFactory(const QString &entityName, Factory factory)
{
    m_factories.insert(entityName, std::move(factory));
}

std::unique_ptr<ManagedObject> StoreModel::createObject(const QString &entityName) const
{
    auto it = m_factories.constFind(entityName);
    if (it != m_factories.constEnd())
        return (*it)();
    return std::make_unique<ManagedObject>();
}

EntityDescription &EntityDescription::addIndex(const QStringList &attributeNames)
{
    m_indexes.append(attributeNames);
    return *this;
}
