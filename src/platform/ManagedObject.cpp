#include "ManagedObject.h"

#include "KeyPath.h"
#include "ManagedObjectContext.h"
#include "SqliteStore.h"
#include "ZTLog.h"

#include <algorithm>

namespace {

constexpr int kDeniedDeleteCode = 1600;

QList<ManagedObject *> sortedByKey(const QSet<ManagedObject *> &set)
{
    QList<ManagedObject *> list(set.begin(), set.end());
    std::sort(list.begin(), list.end(),
              [](const ManagedObject *a, const ManagedObject *b) { return a->primaryKey() < b->primaryKey(); });
    return list;
}

} // namespace

ManagedObject::ManagedObject() : m_observers(std::make_shared<ObserverRegistry<ManagedObject &, const QString &>>())
{
}

ManagedObject::~ManagedObject() = default;

bool ManagedObject::isUpdated() const
{
    if (m_inserted || m_deleted)
        return false;
    // Empty values are absent from both maps, so equal maps mean no change.
    return m_values != m_committed;
}

QVariant ManagedObject::value(const QString &key) const
{
    if (!m_entity->attribute(key)) {
        ZTLOG(QStringLiteral("%1 has no attribute %2").arg(entityName(), key));
        ZT_PRECONDITION(m_entity->attribute(key));
    }
    return m_values.value(key);
}

QVariant ManagedObject::primitiveValue(const QString &key) const
{
    return value(key);
}

void ManagedObject::setValue(const QString &key, const QVariant &newValue)
{
    const QVariant before = value(key);
    setPrimitiveValue(key, newValue);
    if (m_values.value(key) != before)
        notifyValueChanged(key);
}

void ManagedObject::setPrimitiveValue(const QString &key, const QVariant &newValue)
{
    const AttributeDescription *attribute = m_entity->attribute(key);
    if (!attribute) {
        ZTLOG(QStringLiteral("%1 has no attribute %2").arg(entityName(), key));
        ZT_PRECONDITION(attribute);
    }
    const std::optional<QVariant> converted = AttributeValue::canonical(attribute->type, newValue);
    if (!converted) {
        ZTLOG(QStringLiteral("value %1 does not fit %2.%3").arg(newValue.toString(), entityName(), key));
        ZT_PRECONDITION(converted.has_value());
    }
    setValueSilently(key, *converted);
}

void ManagedObject::setValueSilently(const QString &key, const QVariant &newValue)
{
    const auto it = m_values.constFind(key);
    if (it != m_values.constEnd() && *it == newValue && it->isValid() == newValue.isValid())
        return;
    if (newValue.isValid())
        m_values.insert(key, newValue);
    else
        m_values.remove(key);
    if (m_context)
        m_context->objectDidChange(this);
}

QVariant ManagedObject::valueForKeyPath(const QString &keyPath) const
{
    const KeyPath path = KeyPath::resolve(*m_entity, keyPath);
    const ManagedObject *current = this;
    for (const RelationshipDescription *hop : path.hops) {
        current = current->relatedObject(hop->name);
        if (!current)
            return {};
    }
    if (path.attribute)
        return current->value(path.attribute->name);
    const qint64 key = current->relatedPrimaryKey(path.relationship->name);
    return key ? QVariant(key) : QVariant();
}

const RelationshipDescription &ManagedObject::toOne(const QString &key) const
{
    const RelationshipDescription *r = m_entity->relationship(key);
    if (!r || r->toMany) {
        ZTLOG(QStringLiteral("%1 has no to-one relationship %2").arg(entityName(), key));
        ZT_PRECONDITION(r && !r->toMany);
    }
    return *r;
}

const RelationshipDescription &ManagedObject::toMany(const QString &key) const
{
    const RelationshipDescription *r = m_entity->relationship(key);
    if (!r || !r->toMany) {
        ZTLOG(QStringLiteral("%1 has no to-many relationship %2").arg(entityName(), key));
        ZT_PRECONDITION(r && r->toMany);
    }
    return *r;
}

qint64 ManagedObject::relatedPrimaryKey(const QString &key) const
{
    return m_values.value(toOne(key).name).toLongLong();
}

ManagedObject *ManagedObject::relatedObject(const QString &key) const
{
    const RelationshipDescription &r = toOne(key);
    const qint64 related = m_values.value(r.name).toLongLong();
    if (!related || !m_context)
        return nullptr;
    return m_context->objectForKey(*m_entity->destination(r)->root(), related);
}

qint64 ManagedObject::setToOneKey(const RelationshipDescription &relationship, qint64 key)
{
    const qint64 previous = m_values.value(relationship.name).toLongLong();
    if (previous == key)
        return previous;
    setValueSilently(relationship.name, key ? QVariant(key) : QVariant());
    if (relationship.hasInverse() && m_context) {
        const EntityDescription *destination = m_entity->destination(relationship);
        const RelationshipDescription *inverse = destination->relationship(relationship.inverse);
        if (inverse->toMany) {
            // Owners that are not loaded have no set to keep in step.
            if (ManagedObject *old = previous ? m_context->registeredObject(*destination->root(), previous) : nullptr)
                old->memberRemoved(inverse->name, this);
            if (ManagedObject *owner = key ? m_context->registeredObject(*destination->root(), key) : nullptr)
                owner->memberAdded(inverse->name, this);
        }
    }
    return previous;
}

void ManagedObject::memberAdded(const QString &key, ManagedObject *member)
{
    auto it = m_sets.find(key);
    if (it != m_sets.end())
        it->insert(member);
    notifyValueChanged(key);
}

void ManagedObject::memberRemoved(const QString &key, ManagedObject *member)
{
    auto it = m_sets.find(key);
    if (it != m_sets.end())
        it->remove(member);
    notifyValueChanged(key);
}

void ManagedObject::setRelatedObject(const QString &key, ManagedObject *object)
{
    const RelationshipDescription &r = toOne(key);
    const EntityDescription *destination = m_entity->destination(r);
    if (object) {
        ZT_PRECONDITION(object->m_context == m_context && m_context);
        ZT_PRECONDITION(object->entity().isKindOf(destination));
    }
    const qint64 newKey = object ? object->primaryKey() : 0;
    if (relatedPrimaryKey(key) == newKey)
        return;
    const RelationshipDescription *inverse = r.hasInverse() ? destination->relationship(r.inverse) : nullptr;
    if (inverse && !inverse->toMany) {
        // One-to-one: both sides hold a key; release the old partners of both first.
        if (ManagedObject *old = relatedObject(key)) {
            old->setToOneKey(*inverse, 0);
            old->notifyValueChanged(inverse->name);
        }
        if (object) {
            if (ManagedObject *previousOwner = object->relatedObject(inverse->name); previousOwner && previousOwner != this) {
                previousOwner->setToOneKey(r, 0);
                previousOwner->notifyValueChanged(r.name);
            }
            object->setToOneKey(*inverse, primaryKey());
            object->notifyValueChanged(inverse->name);
        }
    }
    setToOneKey(r, newKey);
    notifyValueChanged(key);
}

QList<ManagedObject *> ManagedObject::relatedSet(const QString &key) const
{
    const RelationshipDescription &r = toMany(key);
    auto it = m_sets.find(r.name);
    if (it == m_sets.end()) {
        QSet<ManagedObject *> loaded = m_context ? m_context->loadSet(*this, r) : QSet<ManagedObject *>();
        it = m_sets.insert(r.name, loaded);
    }
    QSet<ManagedObject *> members;
    for (ManagedObject *m : std::as_const(*it)) {
        if (!m->isDeleted())
            members.insert(m);
    }
    return sortedByKey(members);
}

void ManagedObject::addRelatedObject(const QString &key, ManagedObject *object)
{
    ZT_PRECONDITION(object);
    object->setRelatedObject(toMany(key).inverse, this);
}

void ManagedObject::removeRelatedObject(const QString &key, ManagedObject *object)
{
    ZT_PRECONDITION(object);
    const QString inverse = toMany(key).inverse;
    if (object->relatedPrimaryKey(inverse) == primaryKey())
        object->setRelatedObject(inverse, nullptr);
}

Decimal ManagedObject::sumOf(const QString &relationship, const QString &attribute) const
{
    Decimal sum;
    for (const ManagedObject *m : relatedSet(relationship)) {
        const Decimal v = AttributeValue::toDecimal(m->value(attribute));
        // Exact: the sum keeps the larger number of places of its terms.
        sum = sum.add(v, Rounding{std::max(sum.scale(), v.scale()), RoundingMode::HalfAwayFromZero});
    }
    return sum;
}

QVariant ManagedObject::maxOf(const QString &relationship, const QString &attribute) const
{
    QVariant best;
    for (const ManagedObject *m : relatedSet(relationship)) {
        const QVariant v = m->value(attribute);
        const AttributeType type = m->entity().attribute(attribute)->type;
        if (v.isValid() && (!best.isValid() || AttributeValue::compare(type, v, best).value_or(0) > 0))
            best = v;
    }
    return best;
}

QVariant ManagedObject::averageOf(const QString &relationship, const QString &attribute) const
{
    Decimal sum;
    int count = 0;
    for (const ManagedObject *m : relatedSet(relationship)) {
        const QVariant v = m->value(attribute);
        if (!v.isValid())
            continue;
        const Decimal d = AttributeValue::toDecimal(v);
        sum = sum.add(d, Rounding{std::max(sum.scale(), d.scale()), RoundingMode::HalfAwayFromZero});
        ++count;
    }
    if (count == 0)
        return {};
    return QVariant::fromValue(sum.divide(Decimal(count)));
}

QVariantList ManagedObject::distinctValuesOf(const QString &relationship, const QString &attribute) const
{
    QVariantList values;
    for (const ManagedObject *m : relatedSet(relationship)) {
        const QVariant v = m->value(attribute);
        if (v.isValid() && !values.contains(v))
            values.append(v);
    }
    return values;
}

QVariantMap ManagedObject::changedValues() const
{
    QVariantMap changes;
    for (auto it = m_values.constBegin(); it != m_values.constEnd(); ++it) {
        if (m_inserted || it.value() != m_committed.value(it.key()))
            changes.insert(it.key(), it.value());
    }
    if (!m_inserted) {
        for (auto it = m_committed.constBegin(); it != m_committed.constEnd(); ++it) {
            if (!m_values.contains(it.key()))
                changes.insert(it.key(), QVariant());
        }
    }
    return changes;
}

QVariantMap ManagedObject::committedValues() const
{
    QVariantMap values;
    for (auto it = m_committed.constBegin(); it != m_committed.constEnd(); ++it)
        values.insert(it.key(), it.value());
    return values;
}

Observation ManagedObject::observe(const QString &key, ObserverCallback callback)
{
    return ObserverRegistry<ManagedObject &, const QString &>::add(m_observers, key, std::move(callback));
}

void ManagedObject::notifyValueChanged(const QString &key)
{
    auto keep = m_observers; // an observer may release the last other reference
    keep->notify(key, *this, key);
}

bool ManagedObject::validateForInsert(Error &)
{
    return true;
}

bool ManagedObject::validateForUpdate(Error &)
{
    return true;
}

bool ManagedObject::validateForDelete(Error &error)
{
    for (const RelationshipDescription &r : m_entity->relationships()) {
        if (r.deleteRule != DeleteRule::Deny)
            continue;
        const bool inUse = r.toMany ? !relatedSet(r.name).isEmpty() : relatedPrimaryKey(r.name) != 0;
        if (inUse) {
            error = Error::withMessage(SqliteStore::errorDomain(), kDeniedDeleteCode,
                                       QStringLiteral("%1 cannot be deleted while its relationship %2 is not empty.")
                                           .arg(entityName(), r.name));
            return false;
        }
    }
    return true;
}
