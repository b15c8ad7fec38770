#include "Predicate.h"

#include "AttributeValue.h"
#include "KeyPath.h"
#include "ManagedObject.h"
#include "SqlFetchBuilder.h"
#include "ZTLog.h"

namespace {

enum class Kind { True, Comparison, ObjectComparison, In, Match, And, Or, Not };

const char *operatorSql(Predicate::Operator op)
{
    switch (op) {
    case Predicate::Operator::Equal: return "=";
    case Predicate::Operator::NotEqual: return "IS NOT";
    case Predicate::Operator::Less: return "<";
    case Predicate::Operator::LessOrEqual: return "<=";
    case Predicate::Operator::Greater: return ">";
    case Predicate::Operator::GreaterOrEqual: return ">=";
    }
    return "=";
}

const char *operatorText(Predicate::Operator op)
{
    switch (op) {
    case Predicate::Operator::Equal: return "==";
    case Predicate::Operator::NotEqual: return "!=";
    case Predicate::Operator::Less: return "<";
    case Predicate::Operator::LessOrEqual: return "<=";
    case Predicate::Operator::Greater: return ">";
    case Predicate::Operator::GreaterOrEqual: return ">=";
    }
    return "==";
}

bool orderingHolds(Predicate::Operator op, int c)
{
    switch (op) {
    case Predicate::Operator::Equal: return c == 0;
    case Predicate::Operator::NotEqual: return c != 0;
    case Predicate::Operator::Less: return c < 0;
    case Predicate::Operator::LessOrEqual: return c <= 0;
    case Predicate::Operator::Greater: return c > 0;
    case Predicate::Operator::GreaterOrEqual: return c >= 0;
    }
    return false;
}

QVariant canonicalOrFail(AttributeType type, const QVariant &value)
{
    const std::optional<QVariant> v = AttributeValue::canonical(type, value);
    if (!v)
        ZTLOG(QStringLiteral("predicate value %1 does not fit the attribute").arg(value.toString()));
    ZT_PRECONDITION(v.has_value());
    return *v;
}

// Follows the to-one hops of a key path; null when a link on the way is empty.
const ManagedObject *lastObject(const ManagedObject &object, const KeyPath &path)
{
    const ManagedObject *current = &object;
    for (const RelationshipDescription *hop : path.hops) {
        current = current->relatedObject(hop->name);
        if (!current)
            return nullptr;
    }
    return current;
}

} // namespace

struct Predicate::Node
{
    Kind kind = Kind::True;
    QString keyPath;
    Operator op = Operator::Equal;
    QVariant value;
    QVariantList values;
    qint64 objectKey = 0; // 0: no object
    StringMatch match = StringMatch::Like;
    int options = 0;
    QList<Predicate> parts;
};

Predicate::Predicate() : m_node(std::make_shared<Node>())
{
}

Predicate Predicate::compare(const QString &keyPath, Operator op, const QVariant &value)
{
    auto node = std::make_shared<Node>();
    node->kind = Kind::Comparison;
    node->keyPath = keyPath;
    node->op = op;
    node->value = value;
    return Predicate(node);
}

Predicate Predicate::equalObject(const QString &keyPath, const ManagedObject *object)
{
    auto node = std::make_shared<Node>();
    node->kind = Kind::ObjectComparison;
    node->keyPath = keyPath;
    node->op = Operator::Equal;
    node->objectKey = object ? object->primaryKey() : 0;
    return Predicate(node);
}

Predicate Predicate::notEqualObject(const QString &keyPath, const ManagedObject *object)
{
    Predicate p = equalObject(keyPath, object);
    std::const_pointer_cast<Node>(p.m_node)->op = Operator::NotEqual;
    return p;
}

Predicate Predicate::in(const QString &keyPath, const QVariantList &values)
{
    auto node = std::make_shared<Node>();
    node->kind = Kind::In;
    node->keyPath = keyPath;
    node->values = values;
    return Predicate(node);
}

Predicate Predicate::match(const QString &keyPath, StringMatch op, const QString &pattern, int options)
{
    auto node = std::make_shared<Node>();
    node->kind = Kind::Match;
    node->keyPath = keyPath;
    node->match = op;
    node->value = pattern;
    node->options = options;
    return Predicate(node);
}

Predicate Predicate::andOf(const QList<Predicate> &parts)
{
    auto node = std::make_shared<Node>();
    node->kind = Kind::And;
    for (const Predicate &p : parts) {
        if (!p.isTrue())
            node->parts.append(p);
    }
    if (node->parts.isEmpty())
        return Predicate();
    if (node->parts.size() == 1)
        return node->parts.first();
    return Predicate(node);
}

Predicate Predicate::orOf(const QList<Predicate> &parts)
{
    for (const Predicate &p : parts) {
        if (p.isTrue())
            return Predicate();
    }
    auto node = std::make_shared<Node>();
    node->kind = Kind::Or;
    node->parts = parts;
    if (parts.size() == 1)
        return parts.first();
    return Predicate(node);
}

Predicate Predicate::notOf(const Predicate &part)
{
    auto node = std::make_shared<Node>();
    node->kind = Kind::Not;
    node->parts = {part};
    return Predicate(node);
}

bool Predicate::isTrue() const
{
    return m_node->kind == Kind::True;
}

bool Predicate::evaluate(const ManagedObject &object) const
{
    const Node &n = *m_node;
    switch (n.kind) {
    case Kind::True:
        return true;
    case Kind::And:
        for (const Predicate &p : n.parts) {
            if (!p.evaluate(object))
                return false;
        }
        return true;
    case Kind::Or:
        for (const Predicate &p : n.parts) {
            if (p.evaluate(object))
                return true;
        }
        return false;
    case Kind::Not:
        return !n.parts.first().evaluate(object);
    default:
        break;
    }

    const KeyPath path = KeyPath::resolve(object.entity(), n.keyPath);
    const ManagedObject *holder = lastObject(object, path);
    if (n.kind == Kind::ObjectComparison) {
        ZT_PRECONDITION(path.relationship);
        const qint64 key = holder ? holder->relatedPrimaryKey(path.relationship->name) : 0;
        return (key == n.objectKey) == (n.op == Operator::Equal);
    }
    ZT_PRECONDITION(path.attribute);
    const AttributeType type = path.attribute->type;
    const QVariant actual = holder ? holder->value(path.attribute->name) : QVariant();
    switch (n.kind) {
    case Kind::Comparison: {
        const QVariant expected = canonicalOrFail(type, n.value);
        if (!expected.isValid() || !actual.isValid()) {
            const bool same = expected.isValid() == actual.isValid();
            if (n.op == Operator::Equal)
                return same;
            if (n.op == Operator::NotEqual)
                return !same;
            return false;
        }
        return orderingHolds(n.op, AttributeValue::compare(type, actual, expected).value_or(1));
    }
    case Kind::In:
        for (const QVariant &v : n.values) {
            const QVariant expected = canonicalOrFail(type, v);
            if (AttributeValue::compare(type, actual, expected) == 0)
                return true;
        }
        return false;
    case Kind::Match:
        if (!actual.isValid())
            return false;
        return TextMatcher::matches(actual.toString(), n.value.toString(), n.match, n.options);
    default:
        return false;
    }
}

QString Predicate::toSql(SqlFetchBuilder &builder) const
{
    const Node &n = *m_node;
    switch (n.kind) {
    case Kind::True:
        return QStringLiteral("1");
    case Kind::And:
    case Kind::Or: {
        QStringList parts;
        for (const Predicate &p : n.parts)
            parts.append(p.toSql(builder));
        if (parts.isEmpty())
            return n.kind == Kind::And ? QStringLiteral("1") : QStringLiteral("0");
        return QLatin1Char('(') + parts.join(n.kind == Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ")) +
               QLatin1Char(')');
    }
    case Kind::Not:
        // SQL's NOT of an unknown stays unknown; in memory an unknown counts as false, so its
        // negation is true.
        return QStringLiteral("(NOT COALESCE(") + n.parts.first().toSql(builder) + QStringLiteral(", 0))");
    default:
        break;
    }

    const SqlFetchBuilder::Column column = builder.column(n.keyPath);
    if (n.kind == Kind::ObjectComparison) {
        ZT_PRECONDITION(column.keyPath.relationship);
        if (n.objectKey == 0)
            return column.sql + (n.op == Operator::Equal ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"));
        return QLatin1Char('(') + column.sql + QLatin1Char(' ') + QLatin1String(operatorSql(n.op)) +
               QLatin1Char(' ') + builder.bind(n.objectKey) + QLatin1Char(')');
    }
    ZT_PRECONDITION(column.keyPath.attribute);
    const AttributeType type = column.keyPath.attribute->type;
    QString lhs = column.sql;
    if (type == AttributeType::Decimal)
        lhs += QStringLiteral(" COLLATE ") + QLatin1String(AttributeValue::decimalCollation());

    switch (n.kind) {
    case Kind::Comparison: {
        const QVariant expected = canonicalOrFail(type, n.value);
        if (!expected.isValid()) {
            if (n.op == Operator::Equal)
                return column.sql + QStringLiteral(" IS NULL");
            if (n.op == Operator::NotEqual)
                return column.sql + QStringLiteral(" IS NOT NULL");
            return QStringLiteral("0");
        }
        return QLatin1Char('(') + lhs + QLatin1Char(' ') + QLatin1String(operatorSql(n.op)) + QLatin1Char(' ') +
               builder.bind(AttributeValue::toStorage(type, expected)) + QLatin1Char(')');
    }
    case Kind::In: {
        QStringList placeholders;
        for (const QVariant &v : n.values) {
            const QVariant expected = canonicalOrFail(type, v);
            if (expected.isValid())
                placeholders.append(builder.bind(AttributeValue::toStorage(type, expected)));
        }
        if (placeholders.isEmpty())
            return QStringLiteral("0");
        return QLatin1Char('(') + lhs + QStringLiteral(" IN (") + placeholders.join(QLatin1Char(',')) +
               QStringLiteral("))");
    }
    case Kind::Match: {
        // The store registers zt_match with the same TextMatcher used in memory.
        const QString pattern = builder.bind(n.value.toString());
        return QStringLiteral("zt_match(") + column.sql + QStringLiteral(", ") + pattern + QStringLiteral(", ") +
               QString::number(int(n.match)) + QStringLiteral(", ") + QString::number(n.options) +
               QLatin1Char(')');
    }
    default:
        return QStringLiteral("0");
    }
}

QStringList Predicate::keyPaths() const
{
    QStringList result;
    if (!m_node->keyPath.isEmpty())
        result.append(m_node->keyPath);
    for (const Predicate &p : m_node->parts)
        result += p.keyPaths();
    return result;
}

QString Predicate::description() const
{
    const Node &n = *m_node;
    switch (n.kind) {
    case Kind::True:
        return QStringLiteral("TRUEPREDICATE");
    case Kind::Comparison:
        return n.keyPath + QLatin1Char(' ') + QLatin1String(operatorText(n.op)) + QLatin1Char(' ') +
               (n.value.isValid() ? n.value.toString() : QStringLiteral("nil"));
    case Kind::ObjectComparison:
        return n.keyPath + QLatin1Char(' ') + QLatin1String(operatorText(n.op)) + QStringLiteral(" object ") +
               QString::number(n.objectKey);
    case Kind::In: {
        QStringList values;
        for (const QVariant &v : n.values)
            values.append(v.toString());
        return n.keyPath + QStringLiteral(" IN {") + values.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    case Kind::Match: {
        static const char *names[] = {"LIKE", "CONTAINS", "BEGINSWITH", "ENDSWITH"};
        QString flags;
        if (n.options & MatchCaseInsensitive)
            flags += QLatin1Char('c');
        if (n.options & MatchDiacriticInsensitive)
            flags += QLatin1Char('d');
        return n.keyPath + QLatin1Char(' ') + QLatin1String(names[int(n.match)]) +
               (flags.isEmpty() ? QString() : QLatin1Char('[') + flags + QLatin1Char(']')) + QStringLiteral(" \"") +
               n.value.toString() + QLatin1Char('"');
    }
    case Kind::And:
    case Kind::Or: {
        QStringList parts;
        for (const Predicate &p : n.parts)
            parts.append(QLatin1Char('(') + p.description() + QLatin1Char(')'));
        return parts.join(n.kind == Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
    }
    case Kind::Not:
        return QStringLiteral("NOT (") + n.parts.first().description() + QLatin1Char(')');
    }
    return {};
}
