#include "AttributeValue.h"

#include <QDateTime>

namespace {

template <class T> int threeWay(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool isEmptyValue(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

} // namespace

std::optional<QVariant> AttributeValue::canonical(AttributeType type, const QVariant &value)
{
    if (!value.isValid() || (value.isNull() && value.metaType().id() != QMetaType::QString))
        return QVariant();
    const int id = value.metaType().id();
    bool ok = true;
    switch (type) {
    case AttributeType::String:
        if (id != QMetaType::QString && !value.canConvert<QString>())
            return std::nullopt;
        return QVariant(value.toString());
    case AttributeType::Integer: {
        if (value.metaType() == QMetaType::fromType<Decimal>()) {
            const Decimal d = value.value<Decimal>();
            if (!d.isInteger())
                return std::nullopt;
            return QVariant(d.toLongLong());
        }
        if (id == QMetaType::Double || id == QMetaType::Float) {
            const double v = value.toDouble();
            if (v != static_cast<double>(static_cast<qlonglong>(v)))
                return std::nullopt;
        }
        const qlonglong v = value.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return QVariant(v);
    }
    case AttributeType::Boolean:
        if (id == QMetaType::Bool)
            return value;
        if (id == QMetaType::QString)
            return std::nullopt;
        return QVariant(value.toLongLong(&ok) != 0);
    case AttributeType::Decimal: {
        if (value.metaType() == QMetaType::fromType<Decimal>())
            return value;
        if (id == QMetaType::Double || id == QMetaType::Float)
            return std::nullopt; // binary floats would bring their rounding error with them
        if (id == QMetaType::QString) {
            Decimal d;
            if (!Decimal::tryParse(value.toString(), &d))
                return std::nullopt;
            return QVariant::fromValue(d);
        }
        const qlonglong v = value.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return QVariant::fromValue(Decimal(v));
    }
    case AttributeType::Date: {
        if (id == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            if (!dt.isValid())
                return QVariant();
            return QVariant(dt.toLocalTime());
        }
        if (id == QMetaType::QDate) {
            const QDate d = value.toDate();
            return d.isValid() ? QVariant(d.startOfDay()) : QVariant();
        }
        return std::nullopt;
    }
    case AttributeType::Double:
        if (value.metaType() == QMetaType::fromType<Decimal>())
            return QVariant(value.value<Decimal>().toDouble());
        {
            const double v = value.toDouble(&ok);
            if (!ok)
                return std::nullopt;
            return QVariant(v);
        }
    }
    return std::nullopt;
}

QVariant AttributeValue::toStorage(AttributeType type, const QVariant &v)
{
    if (isEmptyValue(v) && !(type == AttributeType::String && v.metaType().id() == QMetaType::QString))
        return QVariant();
    switch (type) {
    case AttributeType::String:
        return QVariant(v.toString());
    case AttributeType::Integer:
        return QVariant(v.toLongLong());
    case AttributeType::Boolean:
        return QVariant(qlonglong(v.toBool() ? 1 : 0));
    case AttributeType::Decimal:
        return QVariant(v.value<Decimal>().toString());
    case AttributeType::Date:
        return QVariant(qlonglong(v.toDateTime().toMSecsSinceEpoch()));
    case AttributeType::Double:
        return QVariant(v.toDouble());
    }
    return QVariant();
}

QVariant AttributeValue::fromStorage(AttributeType type, const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull())
        return QVariant();
    switch (type) {
    case AttributeType::String:
        return QVariant(stored.toString());
    case AttributeType::Integer:
        return QVariant(stored.toLongLong());
    case AttributeType::Boolean:
        return QVariant(stored.toLongLong() != 0);
    case AttributeType::Decimal: {
        Decimal d;
        if (!Decimal::tryParse(stored.toString(), &d))
            return QVariant();
        return QVariant::fromValue(d);
    }
    case AttributeType::Date:
        return QVariant(QDateTime::fromMSecsSinceEpoch(stored.toLongLong()).toLocalTime());
    case AttributeType::Double:
        return QVariant(stored.toDouble());
    }
    return QVariant();
}

int AttributeValue::compareStrings(const QString &a, const QString &b, bool caseInsensitive)
{
    const int c = QString::compare(a, b, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::optional<int> AttributeValue::compare(AttributeType type, const QVariant &a, const QVariant &b,
                                           bool caseInsensitive)
{
    if (isEmptyValue(a) || isEmptyValue(b)) {
        // An empty text is still a value; only a missing one has no order.
        if (!(type == AttributeType::String && a.isValid() && b.isValid()))
            return std::nullopt;
    }
    switch (type) {
    case AttributeType::String:
        return compareStrings(a.toString(), b.toString(), caseInsensitive);
    case AttributeType::Integer:
        return threeWay(a.toLongLong(), b.toLongLong());
    case AttributeType::Boolean:
        return threeWay(int(a.toBool()), int(b.toBool()));
    case AttributeType::Decimal: {
        const auto c = a.value<Decimal>() <=> b.value<Decimal>();
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case AttributeType::Date:
        return threeWay(a.toDateTime().toMSecsSinceEpoch(), b.toDateTime().toMSecsSinceEpoch());
    case AttributeType::Double:
        return threeWay(a.toDouble(), b.toDouble());
    }
    return std::nullopt;
}

int AttributeValue::sortCompare(AttributeType type, const QVariant &a, const QVariant &b, bool caseInsensitive)
{
    const bool aEmpty = !a.isValid();
    const bool bEmpty = !b.isValid();
    if (aEmpty || bEmpty)
        return aEmpty == bEmpty ? 0 : (aEmpty ? -1 : 1);
    return compare(type, a, b, caseInsensitive).value_or(0);
}

Decimal AttributeValue::toDecimal(const QVariant &v)
{
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return v.value<Decimal>();
    if (!v.isValid())
        return Decimal();
    return Decimal(v.toLongLong());
}

const char *AttributeValue::decimalCollation()
{
    return "ZTDECIMAL";
}

const char *AttributeValue::caseInsensitiveCollation()
{
    return "ZTNOCASE";
}
