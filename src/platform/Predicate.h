#pragma once

#include "TextMatcher.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class ManagedObject;
class SqlFetchBuilder;

// A condition on objects of one entity, built in code. Every predicate evaluates on an object in
// memory and translates to SQL with the same result, so that a fetch can run in the store and
// then merge the context's unsaved changes. Key paths may cross to-one relationships.
//
// Empty values: "== empty" and "!= empty" test for emptiness; an ordering comparison with an
// empty value on either side is false; "!=" with a value is true for an empty attribute.
class Predicate
{
public:
    enum class Operator { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

    Predicate(); // TRUE
    static Predicate truePredicate() { return Predicate(); }

    // Values: anything AttributeValue::canonical takes for the attribute's type; an invalid QVariant
    // stands for "empty".
    static Predicate compare(const QString &keyPath, Operator op, const QVariant &value);
    static Predicate equal(const QString &keyPath, const QVariant &value) { return compare(keyPath, Operator::Equal, value); }
    static Predicate notEqual(const QString &keyPath, const QVariant &value)
    {
        return compare(keyPath, Operator::NotEqual, value);
    }
    static Predicate less(const QString &keyPath, const QVariant &value) { return compare(keyPath, Operator::Less, value); }
    static Predicate lessOrEqual(const QString &keyPath, const QVariant &value)
    {
        return compare(keyPath, Operator::LessOrEqual, value);
    }
    static Predicate greater(const QString &keyPath, const QVariant &value)
    {
        return compare(keyPath, Operator::Greater, value);
    }
    static Predicate greaterOrEqual(const QString &keyPath, const QVariant &value)
    {
        return compare(keyPath, Operator::GreaterOrEqual, value);
    }
    // Relationship identity: the to-one link at keyPath is (or is not) the object; null for none.
    static Predicate equalObject(const QString &keyPath, const ManagedObject *object);
    static Predicate notEqualObject(const QString &keyPath, const ManagedObject *object);
    static Predicate in(const QString &keyPath, const QVariantList &values);
    // String matching; an empty attribute never matches. options: StringMatchOption flags.
    static Predicate match(const QString &keyPath, StringMatch op, const QString &pattern, int options = MatchExact);
    static Predicate like(const QString &keyPath, const QString &pattern, int options = MatchExact)
    {
        return match(keyPath, StringMatch::Like, pattern, options);
    }
    static Predicate contains(const QString &keyPath, const QString &pattern, int options = MatchExact)
    {
        return match(keyPath, StringMatch::Contains, pattern, options);
    }
    static Predicate beginsWith(const QString &keyPath, const QString &pattern, int options = MatchExact)
    {
        return match(keyPath, StringMatch::BeginsWith, pattern, options);
    }

    static Predicate andOf(const QList<Predicate> &parts);
    static Predicate orOf(const QList<Predicate> &parts);
    static Predicate notOf(const Predicate &part);
    Predicate operator&&(const Predicate &other) const { return andOf({*this, other}); }
    Predicate operator||(const Predicate &other) const { return orOf({*this, other}); }
    Predicate operator!() const { return notOf(*this); }

    bool isTrue() const;
    bool evaluate(const ManagedObject &object) const;
    // The condition as an SQL expression over the builder's tables; values become bindings.
    QString toSql(SqlFetchBuilder &builder) const;
    // Every key path the predicate reads.
    QStringList keyPaths() const;
    QString description() const;

    struct Node;

private:
    explicit Predicate(std::shared_ptr<const Node> node) : m_node(std::move(node)) {}
    std::shared_ptr<const Node> m_node;
};
