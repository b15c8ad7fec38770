#include "ZTManagedObject.h"

#include "platform/Clock.h"
#include "platform/ZTLog.h"

namespace {

const QString kCreatedAt = QStringLiteral("createdAt");

} // namespace

void ZTManagedObject::awakeFromInsert()
{
    ManagedObject::awakeFromInsert();
    m_validationPreventsSave = true;
    if (entity().attribute(kCreatedAt))
        setPrimitiveValue(kCreatedAt, Clock::now());
}

void ZTManagedObject::awakeFromFetch()
{
    ManagedObject::awakeFromFetch();
    m_validationPreventsSave = true;
}

bool ZTManagedObject::validateForInsert(Error &error)
{
    // Unbound objects pass whatever their checks find, so the checks need not run.
    if (!validationPreventsSave())
        return true;
    Error found;
    if (checkForInsert(found))
        return true;
    error = found;
    return false;
}

bool ZTManagedObject::validateForUpdate(Error &error)
{
    // Unbound objects pass whatever their checks find, so the checks need not run.
    if (!validationPreventsSave())
        return true;
    Error found;
    if (checkForUpdate(found))
        return true;
    error = found;
    return false;
}

namespace {

// The store's own check, then every property check; the failures of both kept in that order.
bool withPropertyValues(const ZTManagedObject &object, bool storedValid, Error found, Error &error)
{
    const bool valid = object.validatePropertyValues(found) && storedValid;
    if (!valid)
        error = found;
    return valid;
}

} // namespace

bool ZTManagedObject::checkForInsert(Error &error)
{
    Error found;
    const bool stored = ManagedObject::validateForInsert(found);
    return withPropertyValues(*this, stored, found, error);
}

bool ZTManagedObject::checkForUpdate(Error &error)
{
    Error found;
    const bool stored = ManagedObject::validateForUpdate(found);
    return withPropertyValues(*this, stored, found, error);
}

// ---- property checks

const ZTPropertyChecks::Check *ZTPropertyChecks::find(const QString &key) const
{
    const auto it = m_checks.constFind(key);
    return it == m_checks.constEnd() ? nullptr : &it.value();
}

void ZTPropertyChecks::set(const QString &key, Check check)
{
    if (!m_checks.contains(key))
        m_keys.append(key);
    m_checks.insert(key, std::move(check));
}

const ZTPropertyChecks &ZTManagedObject::propertyChecks() const
{
    static const ZTPropertyChecks none;
    return none;
}

bool ZTManagedObject::validateValue(const QString &key, const QVariant &value, Error &error) const
{
    const ZTPropertyChecks::Check *check = propertyChecks().find(key);
    return check ? (*check)(*this, value, error) : true;
}

bool ZTManagedObject::validatePropertyValues(Error &error) const
{
    const ZTPropertyChecks &checks = propertyChecks();
    bool valid = true;
    for (const QString &key : checks.keys()) {
        // A check named after something the entity does not store belongs to a form field only.
        if (!entity().attribute(key))
            continue;
        Error found;
        if (!(*checks.find(key))(*this, value(key), found)) {
            valid = false;
            error = Error::combined(error, found);
        }
    }
    return valid;
}

QStringList ZTManagedObject::propertiesToSnapshot() const
{
    QStringList names;
    for (const AttributeDescription &a : entity().attributes())
        names.append(a.name);
    for (const RelationshipDescription &r : entity().relationships())
        names.append(r.name);
    return names;
}

void ZTManagedObject::snapshotProperties()
{
    Snapshot snapshot;
    for (const QString &name : propertiesToSnapshot()) {
        if (const RelationshipDescription *r = entity().relationship(name)) {
            if (r->toMany) {
                snapshot.relationships.insert(name, relatedSet(name));
            } else {
                ManagedObject *related = relatedObject(name);
                snapshot.relationships.insert(name, related ? QList<ManagedObject *>{related}
                                                            : QList<ManagedObject *>{});
            }
        } else {
            snapshot.attributes.insert(name, value(name));
        }
    }
    m_snapshot = std::move(snapshot);
}

void ZTManagedObject::rollbackProperties()
{
    if (!m_snapshot) {
        ZTLOG(QStringLiteral("tried to rollback without earlier snapshot: %1").arg(description()));
        return;
    }
    // An empty recorded value leaves the current one: what was typed into an empty field stays.
    for (auto it = m_snapshot->attributes.constBegin(); it != m_snapshot->attributes.constEnd(); ++it) {
        if (it.value().isValid())
            setValue(it.key(), it.value());
    }
    for (auto it = m_snapshot->relationships.constBegin(); it != m_snapshot->relationships.constEnd(); ++it) {
        QList<ManagedObject *> recorded;
        // Objects deleted since the snapshot cannot come back.
        for (ManagedObject *o : it.value()) {
            if (o->managedObjectContext() == managedObjectContext() && !o->isDeleted())
                recorded.append(o);
        }
        if (recorded.isEmpty())
            continue;
        const RelationshipDescription *r = entity().relationship(it.key());
        if (!r->toMany) {
            setRelatedObject(it.key(), recorded.first());
            continue;
        }
        for (ManagedObject *member : relatedSet(it.key())) {
            if (!recorded.contains(member))
                removeRelatedObject(it.key(), member);
        }
        for (ManagedObject *member : recorded)
            addRelatedObject(it.key(), member);
    }
}

QString ZTManagedObject::description() const
{
    return QStringLiteral("<%1 %2>").arg(entityName(), objectID().uriRepresentation());
}

QString ZTManagedObject::stringAttribute(const QString &key) const
{
    const QVariant v = value(key);
    return v.isValid() ? v.toString() : QString();
}

void ZTManagedObject::setStringAttribute(const QString &key, const QString &text)
{
    setValue(key, text.isNull() ? QVariant() : QVariant(text));
}

std::optional<Decimal> ZTManagedObject::decimalAttribute(const QString &key) const
{
    const QVariant v = value(key);
    if (!v.isValid())
        return std::nullopt;
    return AttributeValue::toDecimal(v);
}

void ZTManagedObject::setDecimalAttribute(const QString &key, const std::optional<Decimal> &number)
{
    setValue(key, number ? QVariant::fromValue(*number) : QVariant());
}

std::optional<int> ZTManagedObject::intAttribute(const QString &key) const
{
    const QVariant v = value(key);
    if (!v.isValid())
        return std::nullopt;
    return int(v.toLongLong());
}

void ZTManagedObject::setIntAttribute(const QString &key, std::optional<int> number)
{
    setValue(key, number ? QVariant(qlonglong(*number)) : QVariant());
}

void ZTManagedObject::setDateAttribute(const QString &key, const QDateTime &date)
{
    setValue(key, date.isValid() ? QVariant(date) : QVariant());
}
