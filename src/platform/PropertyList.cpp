#include "PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <plist/plist.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <memory>

namespace {

// Milliseconds from the Unix epoch to 2001-01-01 00:00:00 UTC, the property list epoch.
constexpr qint64 kPlistEpochMSecs = 978307200000LL;

// libplist reads and writes reals with strtod and printf, which follow the C locale of the
// calling thread: under a Polish locale "2.25" would read as 2. Every libplist call therefore
// runs with the "C" locale for this thread only.
class CNumericLocale
{
public:
    CNumericLocale()
    {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        if (cLocale)
            m_previous = uselocale(cLocale);
    }
    ~CNumericLocale()
    {
        if (m_previous)
            uselocale(m_previous);
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    locale_t m_previous = locale_t(nullptr);
};

struct PlistDeleter
{
    void operator()(void *node) const
    {
        if (node)
            plist_free(node);
    }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

bool isIntegerType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isUnsignedType(int typeId)
{
    return typeId == QMetaType::UInt || typeId == QMetaType::ULong || typeId == QMetaType::ULongLong ||
           typeId == QMetaType::UShort || typeId == QMetaType::UChar;
}

// --- reading ---------------------------------------------------------------------------------

QVariant fromNode(plist_t node, QString &error);

QVariant fromDict(plist_t node, QString &error)
{
    QVariantMap map;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    if (!it) {
        error = QStringLiteral("dictionary cannot be walked");
        return {};
    }
    for (;;) {
        char *key = nullptr;
        plist_t child = nullptr;
        plist_dict_next_item(node, it, &key, &child);
        if (!child) {
            std::free(key);
            break;
        }
        const QString keyText = key ? QString::fromUtf8(key) : QString();
        std::free(key);
        QVariant value = fromNode(child, error);
        if (!value.isValid()) {
            std::free(it);
            return {};
        }
        map.insert(keyText, value);
    }
    std::free(it);
    return map;
}

QVariant fromNode(plist_t node, QString &error)
{
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return fromDict(node, error);
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        list.reserve(static_cast<qsizetype>(count));
        for (uint32_t i = 0; i < count; ++i) {
            QVariant value = fromNode(plist_array_get_item(node, i), error);
            if (!value.isValid())
                return {};
            list.append(value);
        }
        return list;
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        return QString::fromUtf8(text ? text : "", text ? static_cast<qsizetype>(length) : 0);
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value != 0;
    }
    case PLIST_UINT: {
        // libplist keeps every integer in an unsigned 64-bit field; negative numbers are stored
        // in two's complement, so the signed reading gives them back.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return static_cast<qlonglong>(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_DATE: {
        // libplist hands a date out as seconds truncated toward zero plus the magnitude of the
        // fraction, so before the epoch the fraction's sign must be put back. In the one second
        // before the epoch the truncated seconds are 0 and only a comparison with the negative
        // reading tells the two apart.
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        bool negative = seconds < 0;
        if (seconds == 0 && microseconds != 0) {
            PlistPtr probe(plist_new_date(0, -microseconds));
            negative = plist_compare_node_value(node, probe.get()) != 0;
        }
        const qint64 usecs =
            static_cast<qint64>(seconds) * 1000000 + (negative ? -microseconds : microseconds);
        const qint64 msecs = static_cast<qint64>(std::llround(static_cast<double>(usecs) / 1000.0));
        return QDateTime::fromMSecsSinceEpoch(kPlistEpochMSecs + msecs, Qt::UTC);
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char *bytes = plist_get_data_ptr(node, &length);
        return bytes ? QByteArray(bytes, static_cast<qsizetype>(length)) : QByteArray("");
    }
    case PLIST_UID: {
        // Keyed-archive references; shown the way the XML form of such archives writes them.
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return QVariantMap{{QStringLiteral("CF$UID"), static_cast<qlonglong>(value)}};
    }
    default:
        error = QStringLiteral("unknown node type");
        return {};
    }
}

// --- writing ---------------------------------------------------------------------------------

PlistPtr toNode(const QVariant &value, bool wholeSeconds, QString &error);

PlistPtr dateNode(const QDateTime &dateTime, bool wholeSeconds, QString &error)
{
    if (!dateTime.isValid()) {
        error = QStringLiteral("invalid date");
        return nullptr;
    }
    const qint64 msecs = dateTime.toMSecsSinceEpoch() - kPlistEpochMSecs;
    // Floor division keeps the microsecond part non-negative before the epoch too.
    qint64 seconds = msecs / 1000;
    qint64 restMsecs = msecs % 1000;
    if (restMsecs < 0) {
        seconds -= 1;
        restMsecs += 1000;
    }
    if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max()) {
        error = QStringLiteral("date %1 is outside the range of a property list date")
                    .arg(dateTime.toUTC().toString(Qt::ISODate));
        return nullptr;
    }
    // The XML form has whole seconds; dropping the fraction here makes that a floor on both
    // sides of the epoch rather than libplist's truncation toward zero.
    const int32_t microseconds = wholeSeconds ? 0 : static_cast<int32_t>(restMsecs * 1000);
    return PlistPtr(plist_new_date(static_cast<int32_t>(seconds), microseconds));
}

PlistPtr toNode(const QVariant &value, bool wholeSeconds, QString &error)
{
    const int typeId = value.typeId();
    if (!value.isValid()) {
        error = QStringLiteral("a property list cannot hold an empty value");
        return nullptr;
    }
    if (isIntegerType(typeId)) {
        if (isUnsignedType(typeId)) {
            const qulonglong number = value.toULongLong();
            if (number > static_cast<qulonglong>(std::numeric_limits<qlonglong>::max())) {
                error = QStringLiteral("integer %1 is beyond the signed 64-bit range").arg(number);
                return nullptr;
            }
            return PlistPtr(plist_new_uint(number));
        }
        return PlistPtr(plist_new_uint(static_cast<uint64_t>(value.toLongLong())));
    }
    switch (typeId) {
    case QMetaType::Bool:
        return PlistPtr(plist_new_bool(value.toBool() ? 1 : 0));
    case QMetaType::Double:
    case QMetaType::Float:
        return PlistPtr(plist_new_real(value.toDouble()));
    case QMetaType::QString:
        return PlistPtr(plist_new_string(value.toString().toUtf8().constData()));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return PlistPtr(plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size())));
    }
    case QMetaType::QDateTime:
        return dateNode(value.toDateTime(), wholeSeconds, error);
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        PlistPtr array(plist_new_array());
        const QVariantList list = value.toList();
        for (const QVariant &item : list) {
            PlistPtr child = toNode(item, wholeSeconds, error);
            if (!child)
                return nullptr;
            plist_array_append_item(array.get(), child.release());
        }
        return array;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        PlistPtr dict(plist_new_dict());
        const QVariantMap map = typeId == QMetaType::QVariantMap ? value.toMap() : [&] {
            QVariantMap sorted;
            const QVariantHash hash = value.toHash();
            for (auto it = hash.cbegin(); it != hash.cend(); ++it)
                sorted.insert(it.key(), it.value());
            return sorted;
        }();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            PlistPtr child = toNode(it.value(), wholeSeconds, error);
            if (!child) {
                error = QStringLiteral("%1 (key \"%2\")").arg(error, it.key());
                return nullptr;
            }
            plist_dict_set_item(dict.get(), it.key().toUtf8().constData(), child.release());
        }
        return dict;
    }
    default:
        error = QStringLiteral("a property list cannot hold a value of type %1")
                    .arg(QString::fromLatin1(value.typeName() ? value.typeName() : "unknown"));
        return nullptr;
    }
}

} // namespace

PropertyList::ReadResult PropertyList::fromData(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {{}, QStringLiteral("no data")};
    if (bytes.size() > static_cast<qsizetype>(std::numeric_limits<uint32_t>::max()))
        return {{}, QStringLiteral("data too large for a property list")};

    const auto length = static_cast<uint32_t>(bytes.size());
    plist_t root = nullptr;
    {
        CNumericLocale cLocale;
        if (plist_is_binary(bytes.constData(), length))
            plist_from_bin(bytes.constData(), length, &root);
        else
            plist_from_xml(bytes.constData(), length, &root);
    }
    PlistPtr owner(root);
    if (!root)
        return {{}, QStringLiteral("not a property list")};

    QString error;
    QVariant value = fromNode(root, error);
    if (!value.isValid())
        return {{}, error.isEmpty() ? QStringLiteral("not a property list") : error};
    return {value, {}};
}

PropertyList::ReadResult PropertyList::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("cannot open %1: %2").arg(path, file.errorString())};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    ReadResult result = fromData(bytes);
    if (!result.ok())
        result.errorText = QStringLiteral("%1: %2").arg(path, result.errorText);
    return result;
}

std::optional<QByteArray> PropertyList::toData(const QVariant &value, Format format, QString *errorText)
{
    QString error;
    PlistPtr root = toNode(value, format == Format::Xml, error);
    if (!root) {
        if (errorText)
            *errorText = error;
        return std::nullopt;
    }

    char *buffer = nullptr;
    uint32_t length = 0;
    {
        CNumericLocale cLocale;
        if (format == Format::Binary)
            plist_to_bin(root.get(), &buffer, &length);
        else
            plist_to_xml(root.get(), &buffer, &length);
    }
    if (!buffer) {
        if (errorText)
            *errorText = QStringLiteral("the property list could not be serialised");
        return std::nullopt;
    }
    QByteArray bytes(buffer, static_cast<qsizetype>(length));
    if (format == Format::Binary)
        plist_to_bin_free(buffer);
    else
        plist_to_xml_free(buffer);
    return bytes;
}

bool PropertyList::toFile(const QVariant &value, const QString &path, Format format, QString *errorText)
{
    const std::optional<QByteArray> bytes = toData(value, format, errorText);
    if (!bytes)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        if (errorText)
            *errorText = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QVariant PropertyList::normalized(const QVariant &value, QString *errorText)
{
    QString error;
    const int typeId = value.typeId();
    if (!value.isValid()) {
        error = QStringLiteral("a property list cannot hold an empty value");
    } else if (isIntegerType(typeId)) {
        if (isUnsignedType(typeId) &&
            value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qlonglong>::max()))
            error = QStringLiteral("integer %1 is beyond the signed 64-bit range").arg(value.toULongLong());
        else
            return value.toLongLong();
    } else {
        switch (typeId) {
        case QMetaType::Bool:
        case QMetaType::QString:
        case QMetaType::QByteArray:
            return value;
        case QMetaType::Double:
        case QMetaType::Float:
            return value.toDouble();
        case QMetaType::QDateTime: {
            const QDateTime dateTime = value.toDateTime();
            PlistPtr probe = dateNode(dateTime, false, error);
            if (probe)
                return dateTime.toUTC();
            break;
        }
        case QMetaType::QVariantList:
        case QMetaType::QStringList: {
            QVariantList list;
            const QVariantList source = value.toList();
            list.reserve(source.size());
            for (const QVariant &item : source) {
                QVariant normal = normalized(item, &error);
                if (!normal.isValid())
                    break;
                list.append(normal);
            }
            if (list.size() == source.size())
                return list;
            break;
        }
        case QMetaType::QVariantMap:
        case QMetaType::QVariantHash: {
            QVariantMap map;
            bool ok = true;
            const auto take = [&](const QString &key, const QVariant &item) {
                QVariant normal = normalized(item, &error);
                if (!normal.isValid()) {
                    error = QStringLiteral("%1 (key \"%2\")").arg(error, key);
                    ok = false;
                    return;
                }
                map.insert(key, normal);
            };
            if (typeId == QMetaType::QVariantMap) {
                const QVariantMap source = value.toMap();
                for (auto it = source.cbegin(); ok && it != source.cend(); ++it)
                    take(it.key(), it.value());
            } else {
                const QVariantHash source = value.toHash();
                for (auto it = source.cbegin(); ok && it != source.cend(); ++it)
                    take(it.key(), it.value());
            }
            if (ok)
                return map;
            break;
        }
        default:
            error = QStringLiteral("a property list cannot hold a value of type %1")
                        .arg(QString::fromLatin1(value.typeName() ? value.typeName() : "unknown"));
            break;
        }
    }
    if (errorText)
        *errorText = error;
    return {};
}
