#pragma once

#include "AttributeValue.h"
#include "Decimal.h"
#include "Error.h"
#include "ManagedObjectID.h"
#include "Observation.h"
#include "StoreModel.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class ManagedObjectContext;

// An object of the store. Entity classes derive from it and override the hooks; the context owns
// every object and creates it through the model's factories.
//
// Attribute values are canonical (see AttributeValue): QString, qlonglong, bool, Decimal, QDateTime,
// double, or an invalid QVariant for "empty". To-one links are read through relatedObject(); in
// changedValues() and committedValues() they appear as the related object's primary key.
class ManagedObject
{
public:
    using ObserverCallback = std::function<void(ManagedObject &object, const QString &key)>;

    ManagedObject();
    virtual ~ManagedObject();
    ManagedObject(const ManagedObject &) = delete;
    ManagedObject &operator=(const ManagedObject &) = delete;

    // Null once the object has left its context (deleted and saved, or an insert rolled back).
    ManagedObjectContext *managedObjectContext() const { return m_context; }
    const EntityDescription &entity() const { return *m_entity; }
    QString entityName() const { return m_entity->name(); }
    ManagedObjectID objectID() const { return m_objectID; }
    qint64 primaryKey() const { return m_objectID.primaryKey(); }

    bool isInserted() const { return m_inserted && !m_deleted; }
    bool isDeleted() const { return m_deleted; }
    bool isUpdated() const;
    bool hasChanges() const { return m_inserted || m_deleted || isUpdated(); }

    // Attributes. setValue converts to the attribute's type (a value that does not fit fails a
    // precondition) and notifies the key's observers when the value changes.
    QVariant value(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    Decimal decimalValue(const QString &key) const { return AttributeValue::toDecimal(value(key)); }
    // The stored value without notification, for entity classes that set derived values.
    QVariant primitiveValue(const QString &key) const;
    void setPrimitiveValue(const QString &key, const QVariant &value);
    // Follows to-one relationships: "document.seller.name".
    QVariant valueForKeyPath(const QString &keyPath) const;

    // To-one relationships; setting one keeps its inverse (to-one or to-many) in step and notifies
    // observers on both sides.
    ManagedObject *relatedObject(const QString &key) const;
    template <class T> T *relatedObjectAs(const QString &key) const { return dynamic_cast<T *>(relatedObject(key)); }
    qint64 relatedPrimaryKey(const QString &key) const; // 0: none; never loads the related object
    void setRelatedObject(const QString &key, ManagedObject *object);

    // To-many relationships: unordered sets, loaded on first access, without deleted members.
    QList<ManagedObject *> relatedSet(const QString &key) const;
    void addRelatedObject(const QString &key, ManagedObject *object);
    void removeRelatedObject(const QString &key, ManagedObject *object);

    // Aggregates of one attribute over a to-many relationship; empty values are skipped.
    Decimal sumOf(const QString &relationship, const QString &attribute) const;
    QVariant maxOf(const QString &relationship, const QString &attribute) const;      // empty when none
    QVariant averageOf(const QString &relationship, const QString &attribute) const;  // Decimal, empty when none
    QVariantList distinctValuesOf(const QString &relationship, const QString &attribute) const;

    QVariantMap changedValues() const;   // key → current value, for keys differing from the saved state
    QVariantMap committedValues() const; // the last saved values (empty for an inserted object)

    // Calls back synchronously whenever the key changes: on setValue, on relationship changes, on
    // rollback, and when notifyValueChanged names it (derived keys).
    [[nodiscard]] Observation observe(const QString &key, ObserverCallback callback);
    void notifyValueChanged(const QString &key);

    // Hooks. awakeFromInsert runs at insert, after defaults are set; awakeFromFetch after the
    // object's values are loaded; willTurnIntoFault when the context releases the object.
    virtual void awakeFromInsert() {}
    virtual void awakeFromFetch() {}
    virtual void willTurnIntoFault() {}
    // Checks at save; a failing one fills error and returns false. The base delete check refuses
    // while a relationship with the deny rule still has members.
    virtual bool validateForInsert(Error &error);
    virtual bool validateForUpdate(Error &error);
    virtual bool validateForDelete(Error &error);

private:
    friend class ManagedObjectContext;

    const RelationshipDescription &toOne(const QString &key) const;
    const RelationshipDescription &toMany(const QString &key) const;
    // Changes a to-one key and the loaded to-many set of the other side, without touching a
    // to-one inverse; returns the previous related key.
    qint64 setToOneKey(const RelationshipDescription &relationship, qint64 key);
    void setValueSilently(const QString &key, const QVariant &value);
    void memberAdded(const QString &key, ManagedObject *member);
    void memberRemoved(const QString &key, ManagedObject *member);

    ManagedObjectContext *m_context = nullptr;
    const EntityDescription *m_entity = nullptr;
    ManagedObjectID m_objectID;
    bool m_inserted = false;
    bool m_deleted = false;
    QHash<QString, QVariant> m_values;    // attributes and to-one keys
    QHash<QString, QVariant> m_committed; // the same as last saved
    mutable QHash<QString, QSet<ManagedObject *>> m_sets; // loaded to-many sets
    std::shared_ptr<ObserverRegistry<ManagedObject &, const QString &>> m_observers;
};
