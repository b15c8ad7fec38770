#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>

class ManagedObject;

enum class AttributeType { String, Integer, Boolean, Decimal, Date, Double };

enum class DeleteRule {
    Nullify, // the related objects lose their link to the deleted one
    Cascade, // the related objects are deleted too
    Deny,    // the delete fails validation while related objects exist
};

struct AttributeDescription
{
    QString name;
    AttributeType type = AttributeType::String;
    QVariant defaultValue; // set on insert, and on existing rows when a migration adds the column
};

struct RelationshipDescription
{
    QString name;
    QString destination; // entity name
    bool toMany = false;
    QString inverse; // empty: no inverse
    DeleteRule deleteRule = DeleteRule::Nullify;

    bool hasInverse() const { return !inverse.isEmpty(); }
    // The column that holds the foreign key of a to-one relationship.
    QString columnName() const { return name + QStringLiteral("_id"); }
};

class StoreModel;

// One entity: its own attributes and relationships plus everything inherited from its parent.
// Built through StoreModel::addEntity and the add… members, then frozen by StoreModel::finalize.
class EntityDescription
{
public:
    EntityDescription(StoreModel *model, QString name, QString parentName);

    EntityDescription &addAttribute(const QString &name, AttributeType type, const QVariant &defaultValue = {});
    EntityDescription &addToOne(const QString &name, const QString &destination, const QString &inverse = {},
                                DeleteRule rule = DeleteRule::Nullify);
    EntityDescription &addToMany(const QString &name, const QString &destination, const QString &inverse,
                                 DeleteRule rule = DeleteRule::Nullify);

    // An index over several attributes of the entity's table (led by the entity column), for
    // queries that filter on them together.
    EntityDescription &addIndex(const QStringList &attributeNames);
    QList<QStringList> indexes() const { return m_indexes; }

    QString name() const { return m_name; }
    QString parentName() const { return m_parentName; }
    const EntityDescription *parent() const { return m_parent; }
    // The topmost ancestor; its name is the table of the whole family.
    const EntityDescription *root() const;
    bool isKindOf(const EntityDescription *other) const;

    // Lookups include inherited properties; null when there is no such property.
    const AttributeDescription *attribute(const QString &name) const;
    const RelationshipDescription *relationship(const QString &name) const;
    // Parent's properties first, then the entity's own, each in the order they were added.
    QList<AttributeDescription> attributes() const;
    QList<RelationshipDescription> relationships() const;
    QList<RelationshipDescription> toOneRelationships() const;
    const EntityDescription *destination(const RelationshipDescription &relationship) const;

    const StoreModel &model() const { return *m_model; }

private:
    friend class StoreModel;
    StoreModel *m_model;
    QString m_name;
    QString m_parentName;
    const EntityDescription *m_parent = nullptr;
    QList<AttributeDescription> m_attributes;
    QList<RelationshipDescription> m_relationships;
    QList<QStringList> m_indexes;
};

// The description of every stored entity, with a version number recorded in each store.
// Entity classes register a factory so that a context creates objects of the right class.
class StoreModel
{
public:
    using Factory = std::function<std::unique_ptr<ManagedObject>()>;

    explicit StoreModel(int version);
    StoreModel(const StoreModel &) = delete;
    StoreModel &operator=(const StoreModel &) = delete;

    int version() const { return m_version; }

    EntityDescription &addEntity(const QString &name, const QString &parentName = {});
    // Resolves parents and checks that names, destinations and inverses fit together; a
    // description that does not is a programming error and fails a precondition.
    void finalize();
    bool isFinalized() const { return m_finalized; }

    const EntityDescription *entity(const QString &name) const;
    QList<const EntityDescription *> entities() const; // in the order they were added
    QList<const EntityDescription *> rootEntities() const;
    // The root and every entity below it.
    QList<const EntityDescription *> family(const EntityDescription *root) const;

    void registerFactory(const QString &entityName, Factory factory);
    template <class T> void registerClass(const QString &entityName)
    {
        registerFactory(entityName, [] { return std::unique_ptr<ManagedObject>(new T()); });
    }
    // The registered factory's object, or a plain ManagedObject when none is registered.
    std::unique_ptr<ManagedObject> createObject(const QString &entityName) const;

private:
    int m_version;
    bool m_finalized = false;
    QList<EntityDescription *> m_order;
    std::map<QString, std::unique_ptr<EntityDescription>> m_entities;
    QHash<QString, Factory> m_factories;
};
