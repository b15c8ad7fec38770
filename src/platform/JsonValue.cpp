#include "JsonValue.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <cmath>
#include <limits>

namespace JsonValue {

QJsonValue fromVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QJsonValue(QJsonValue::Null);
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            object.insert(it.key(), fromVariant(it.value()));
        return object;
    }
    case QMetaType::QVariantHash: {
        QJsonObject object;
        const QVariantHash hash = value.toHash();
        for (auto it = hash.cbegin(); it != hash.cend(); ++it)
            object.insert(it.key(), fromVariant(it.value()));
        return object;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray array;
        const QVariantList list = value.toList();
        for (const QVariant &item : list)
            array.append(fromVariant(item));
        return array;
    }
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return QJsonValue(static_cast<qint64>(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar: {
        const qulonglong number = value.toULongLong();
        if (number > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            return static_cast<double>(number);
        return QJsonValue(static_cast<qint64>(number));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        if (!dateTime.isValid())
            return QJsonValue(QJsonValue::Null);
        const QDateTime local = dateTime.toLocalTime();
        // A fixed offset makes the text carry "+01:00" rather than depend on the time spec.
        const QDateTime withOffset = local.toOffsetFromUtc(local.offsetFromUtc());
        return withOffset.toString(withOffset.time().msec() != 0 ? Qt::ISODateWithMs : Qt::ISODate);
    }
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toBase64());
    default:
        return QJsonValue::fromVariant(value);
    }
}

QVariant toVariant(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        return {};
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double: {
        // JSON has one kind of number; whole numbers are taken as integers.
        const QVariant number = value.toVariant();
        if (number.typeId() == QMetaType::LongLong)
            return number;
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && d >= -9.2233720368547758e18 &&
            d < 9.2233720368547758e18)
            return static_cast<qlonglong>(d);
        return d;
    }
    case QJsonValue::Array: {
        QVariantList list;
        const QJsonArray array = value.toArray();
        list.reserve(array.size());
        for (const QJsonValue &item : array)
            list.append(toVariant(item));
        return list;
    }
    case QJsonValue::Object: {
        QVariantMap map;
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            map.insert(it.key(), toVariant(it.value()));
        return map;
    }
    }
    return {};
}

} // namespace JsonValue
