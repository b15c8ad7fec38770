#pragma once

#include "platform/Decimal.h"
#include "platform/ManagedObject.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <optional>
#include <type_traits>

class ZTManagedObject;

// The property checks of one entity class: property name -> check, in the order in which they
// run at save. A class starts from its parent's table and adds or replaces entries; the checks
// are members of the class, so an override in a subclass keeps the parent's entry working.
//
// A check takes the proposed value and returns whether it is valid; a valid value with the
// error filled in is a warning, which is shown but never stops a save.
class ZTPropertyChecks
{
public:
    using Check = std::function<bool(const ZTManagedObject &object, const QVariant &value, Error &error)>;

    ZTPropertyChecks() = default;

    template <class T>
    ZTPropertyChecks &add(const QString &key, bool (T::*check)(const QVariant &, Error &) const)
    {
        static_assert(std::is_base_of_v<ZTManagedObject, T>);
        // Only ever called on objects whose class returned this table, so T is theirs or a base.
        set(key, [check](const ZTManagedObject &object, const QVariant &value, Error &error) {
            return (static_cast<const T &>(object).*check)(value, error);
        });
        return *this;
    }

    const Check *find(const QString &key) const;
    const QStringList &keys() const { return m_keys; }

private:
    void set(const QString &key, Check check);

    QStringList m_keys;
    QHash<QString, Check> m_checks;
};

// Base of every entity class.
//
// Accessor conventions, shared by all entity classes:
// - text:     QString; a null QString means empty. An empty but non-null text ("") is stored
//             as such, so `isNull()` tells "none" from "typed nothing".
// - decimal:  std::optional<Decimal>; std::nullopt means empty. Setters take the same type,
//             so a plain Decimal (or int) converts implicitly and std::nullopt empties.
// - integer:  std::optional<int>, as decimals.
// - date:     QDateTime; an invalid QDateTime means empty (both ways).
// - boolean:  bool; empty reads as false. hasValue() tells an empty one apart where needed.
// - to-one:   typed pointer, null when empty; setX(nullptr) empties it.
// - to-many:  QList of typed pointers (unordered set, deleted members left out), addX/removeX.
class ZTManagedObject : public ManagedObject
{
public:
    ZTManagedObject() = default;

    // Whether failing checks of this object stop a save. Transient.
    virtual bool validationPreventsSave() const { return m_validationPreventsSave; }
    virtual void setValidationPreventsSave(bool prevents) { m_validationPreventsSave = prevents; }

    // Sheets that can be cancelled record the edited properties first and write them back on
    // cancel. Only non-empty recorded values are written back.
    void snapshotProperties();
    void rollbackProperties();
    bool hasSnapshot() const { return m_snapshot.has_value(); }
    // The properties recorded by snapshotProperties: every attribute and relationship unless a
    // class narrows it.
    virtual QStringList propertiesToSnapshot() const;

    // Whether the attribute holds a value (for booleans, whose getters read empty as false).
    bool hasValue(const QString &key) const { return value(key).isValid(); }

    // Entity name and identity, for log lines.
    QString description() const;

    // ---- property checks
    // The checks of this object's class; none by default.
    virtual const ZTPropertyChecks &propertyChecks() const;
    // The check of one property for a proposed value, as a form field asks it: true (and the
    // error untouched) when the class has no check for the key.
    bool validateValue(const QString &key, const QVariant &value, Error &error) const;
    // Every property check that has a stored attribute of that name, each with the current
    // value; the failures combined in table order. Warnings are dropped.
    bool validatePropertyValues(Error &error) const;

    void awakeFromInsert() override;
    void awakeFromFetch() override;
    // A failing check counts only while validationPreventsSave is true.
    bool validateForInsert(Error &error) final;
    bool validateForUpdate(Error &error) final;

protected:
    // The place for a class's own checks; the default runs the property checks. They run only
    // while validationPreventsSave is true.
    virtual bool checkForInsert(Error &error);
    virtual bool checkForUpdate(Error &error);

    // Sets the flag of this object alone, without what an overridden setter passes on.
    void setOwnValidationPreventsSave(bool prevents) { m_validationPreventsSave = prevents; }

    QString stringAttribute(const QString &key) const;
    void setStringAttribute(const QString &key, const QString &text);
    std::optional<Decimal> decimalAttribute(const QString &key) const;
    void setDecimalAttribute(const QString &key, const std::optional<Decimal> &number);
    std::optional<int> intAttribute(const QString &key) const;
    void setIntAttribute(const QString &key, std::optional<int> number);
    bool boolAttribute(const QString &key) const { return value(key).toBool(); }
    void setBoolAttribute(const QString &key, bool flag) { setValue(key, flag); }
    QDateTime dateAttribute(const QString &key) const { return value(key).toDateTime(); }
    void setDateAttribute(const QString &key, const QDateTime &date);

    template <class T> T *relatedAs(const QString &key) const { return relatedObjectAs<T>(key); }
    template <class T> QList<T *> relatedSetAs(const QString &key) const
    {
        QList<T *> list;
        for (ManagedObject *member : relatedSet(key)) {
            if (T *typed = dynamic_cast<T *>(member))
                list.append(typed);
        }
        return list;
    }

private:
    struct Snapshot
    {
        QVariantMap attributes;
        QHash<QString, QList<ManagedObject *>> relationships; // to-one as a list of at most one
    };

    bool m_validationPreventsSave = true;
    std::optional<Snapshot> m_snapshot;
};
