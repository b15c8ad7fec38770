#include "SettingsStore.h"

#include "AppPaths.h"

#include "Clock.h"
#include "PropertyList.h"
#include "ZTLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>
#include <limits>
#include <memory>

namespace {

struct StandardStore
{
    QString directory;
    std::unique_ptr<SettingsStore> store;
};

StandardStore &standardStore()
{
    static StandardStore state;
    return state;
}

// Equality that also tells 5 from 5.0 and true from 1, so that a write changing only the type
// of a value still counts as a change.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != b.typeId())
        return false;
    switch (a.typeId()) {
    case QMetaType::QVariantList: {
        const QVariantList la = a.toList();
        const QVariantList lb = b.toList();
        if (la.size() != lb.size())
            return false;
        for (qsizetype i = 0; i < la.size(); ++i)
            if (!sameValue(la.at(i), lb.at(i)))
                return false;
        return true;
    }
    case QMetaType::QVariantMap: {
        const QVariantMap ma = a.toMap();
        const QVariantMap mb = b.toMap();
        if (ma.size() != mb.size())
            return false;
        for (auto ia = ma.cbegin(), ib = mb.cbegin(); ia != ma.cend(); ++ia, ++ib)
            if (ia.key() != ib.key() || !sameValue(ia.value(), ib.value()))
                return false;
        return true;
    }
    default:
        return a == b;
    }
}

// Reads a leading whole number the way a number is read from typed text: white space, an
// optional sign, then digits; whatever follows is ignored. No digits give 0.
qlonglong leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    qlonglong result = 0;
    constexpr qlonglong limit = std::numeric_limits<qlonglong>::max();
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        const int digit = text.at(i).unicode() - u'0';
        if (result > (limit - digit) / 10)
            return negative ? std::numeric_limits<qlonglong>::min() : limit;
        result = result * 10 + digit;
    }
    return negative ? -result : result;
}

qlonglong clampedInteger(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2233720368547758e18)
        return std::numeric_limits<qlonglong>::max();
    if (value <= -9.2233720368547758e18)
        return std::numeric_limits<qlonglong>::min();
    return static_cast<qlonglong>(value);
}

} // namespace

SettingsStore::SettingsStore(const QString &filePath) : m_filePath(filePath)
{
    load();
}

SettingsStore::~SettingsStore() = default;

SettingsStore &SettingsStore::standard()
{
    StandardStore &state = standardStore();
    if (!state.store)
        state.store = std::make_unique<SettingsStore>(defaultFilePath());
    return *state.store;
}

bool SettingsStore::useConfigDirectory(const QString &directory)
{
    StandardStore &state = standardStore();
    if (state.store) {
        ZTLOG(QStringLiteral("The settings store is already in use at %1; %2 is not used")
                  .arg(state.store->filePath(), directory));
        return false;
    }
    state.directory = directory;
    return true;
}

QString SettingsStore::fileName()
{
    return QStringLiteral(TOLVANA_APP_IDENTIFIER ".plist");
}

QString SettingsStore::defaultFilePath()
{
    QString directory = standardStore().directory;
    if (directory.isEmpty())
        directory = AppPaths::configFolder();
    return QDir(directory).filePath(fileName());
}

void SettingsStore::registerDefaults(const QVariantMap &defaults)
{
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
        QString error;
        const QVariant normal = PropertyList::normalized(it.value(), &error);
        if (normal.isValid())
            m_factory.insert(it.key(), normal);
        else
            ZTLOG(QStringLiteral("Factory value of %1 not registered: %2").arg(it.key(), error));
    }
}

QVariant SettingsStore::value(const QString &key) const
{
    const auto persistent = m_persistent.constFind(key);
    if (persistent != m_persistent.cend())
        return *persistent;
    return m_factory.value(key);
}

bool SettingsStore::boolValue(const QString &key) const
{
    const QVariant v = value(key);
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::LongLong:
        return v.toLongLong() != 0;
    case QMetaType::Double:
        return v.toDouble() != 0.0;
    case QMetaType::QString: {
        // "YES", "true", "1"…: the first significant character decides, as typed settings do.
        const QString text = v.toString().trimmed();
        qsizetype i = 0;
        if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
            ++i;
        while (i < text.size() && text.at(i) == u'0')
            ++i;
        if (i >= text.size())
            return false;
        const QChar c = text.at(i);
        return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
    }
    default:
        return false;
    }
}

qlonglong SettingsStore::integerValue(const QString &key) const
{
    const QVariant v = value(key);
    switch (v.typeId()) {
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::Double:
        return clampedInteger(v.toDouble());
    case QMetaType::QString:
        return leadingInteger(v.toString());
    default:
        return 0;
    }
}

int SettingsStore::intValue(const QString &key) const
{
    const qlonglong v = integerValue(key);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(v);
}

double SettingsStore::doubleValue(const QString &key) const
{
    const QVariant v = value(key);
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::LongLong:
        return v.toDouble();
    case QMetaType::Bool:
        return v.toBool() ? 1.0 : 0.0;
    case QMetaType::QString: {
        bool ok = false;
        const double d = QLocale::c().toDouble(v.toString().trimmed(), &ok);
        return ok ? d : 0.0;
    }
    default:
        return 0.0;
    }
}

QString SettingsStore::stringValue(const QString &key) const
{
    const QVariant v = value(key);
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString();
    case QMetaType::LongLong:
        return QString::number(v.toLongLong());
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return {};
    }
}

QVariantList SettingsStore::arrayValue(const QString &key) const
{
    const QVariant v = value(key);
    return v.typeId() == QMetaType::QVariantList ? v.toList() : QVariantList();
}

QStringList SettingsStore::stringArrayValue(const QString &key) const
{
    QStringList result;
    const QVariantList list = arrayValue(key);
    for (const QVariant &item : list) {
        if (item.typeId() != QMetaType::QString)
            return {};
        result.append(item.toString());
    }
    return result;
}

QVariantMap SettingsStore::dictionaryValue(const QString &key) const
{
    const QVariant v = value(key);
    return v.typeId() == QMetaType::QVariantMap ? v.toMap() : QVariantMap();
}

QDateTime SettingsStore::dateValue(const QString &key) const
{
    const QVariant v = value(key);
    return v.typeId() == QMetaType::QDateTime ? v.toDateTime() : QDateTime();
}

QByteArray SettingsStore::dataValue(const QString &key) const
{
    const QVariant v = value(key);
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : QByteArray();
}

bool SettingsStore::setValue(const QString &key, const QVariant &newValue)
{
    if (!newValue.isValid()) {
        removeValue(key);
        return true;
    }
    QString error;
    const QVariant normal = PropertyList::normalized(newValue, &error);
    if (!normal.isValid()) {
        ZTLOG(QStringLiteral("Setting %1 not written: %2").arg(key, error));
        return false;
    }
    const auto existing = m_persistent.constFind(key);
    if (existing != m_persistent.cend() && sameValue(*existing, normal))
        return true;
    m_persistent.insert(key, normal);
    m_dirty = true;
    return true;
}

void SettingsStore::removeValue(const QString &key)
{
    if (m_persistent.remove(key) > 0)
        m_dirty = true;
}

QVariantMap SettingsStore::dictionaryRepresentation() const
{
    QVariantMap merged = m_factory;
    for (auto it = m_persistent.cbegin(); it != m_persistent.cend(); ++it)
        merged.insert(it.key(), it.value());
    return merged;
}

bool SettingsStore::synchronize()
{
    if (!m_dirty)
        return true;
    if (m_writeBlocked) {
        // The unreadable file is still where ours would go; try once more to keep it.
        if (QFileInfo::exists(m_filePath) && moveAside().isEmpty()) {
            ZTLOG(
                QStringLiteral("Settings not written: the unreadable file %1 is in the way").arg(m_filePath));
            return false;
        }
        m_writeBlocked = false;
    }
    const QString directory = QFileInfo(m_filePath).absolutePath();
    if (!QDir().mkpath(directory)) {
        ZTLOG(QStringLiteral("Settings not written: cannot create %1").arg(directory));
        return false;
    }
    QString error;
    if (!PropertyList::toFile(m_persistent, m_filePath, PropertyList::Format::Xml, &error)) {
        ZTLOG(QStringLiteral("Settings not written: %1").arg(error));
        return false;
    }
    m_dirty = false;
    return true;
}

void SettingsStore::reload()
{
    load();
}

void SettingsStore::load()
{
    m_persistent.clear();
    m_dirty = false;
    m_writeBlocked = false;

    if (!QFileInfo::exists(m_filePath))
        return; // first run: only factory values

    const PropertyList::ReadResult read = PropertyList::fromFile(m_filePath);
    QString reason;
    if (!read.ok())
        reason = read.errorText;
    else if (read.value.typeId() != QMetaType::QVariantMap)
        reason = QStringLiteral("%1 holds no dictionary").arg(m_filePath);
    else {
        m_persistent = read.value.toMap();
        return;
    }

    // The user's settings must neither stop the program nor vanish: keep the file for a person
    // to look at and go on with factory values.
    const QString aside = moveAside();
    if (aside.isEmpty()) {
        m_writeBlocked = true;
        ZTLOG(QStringLiteral("Settings file unreadable (%1) and could not be moved aside; it is "
                             "left in place and not written over; factory values are used")
                  .arg(reason));
    } else {
        ZTLOG(QStringLiteral("Settings file unreadable (%1); moved aside to %2; factory values are used")
                  .arg(reason, aside));
    }
}

QString SettingsStore::moveAside()
{
    const QString stamp = Clock::now().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    const QString base = m_filePath + QStringLiteral(".unreadable-") + stamp;
    QString target = base;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = base + u'-' + QString::number(n);
    if (!QFile::rename(m_filePath, target))
        return {};
    return target;
}
