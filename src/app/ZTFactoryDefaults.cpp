#include "ZTFactoryDefaults.h"

#include "platform/PropertyList.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QFileInfo>

namespace {

QString &fixedLanguage()
{
    static QString language;
    return language;
}

QString languageWithFactoryFile(const QString &name)
{
    const QString language = name.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
    if (language == u"pl" || language == u"en")
        return language;
    return {};
}

} // namespace

QString factoryDefaultsLanguage()
{
    // The interface speaks Polish whatever the system locale, so its factory values are the
    // Polish ones unless a language is fixed on purpose.
    if (!fixedLanguage().isEmpty())
        return fixedLanguage();
    return QStringLiteral("pl");
}

void setFactoryDefaultsLanguage(const QString &language)
{
    fixedLanguage() = languageWithFactoryFile(language);
}

QString factoryDefaultsPath(const QString &language)
{
    if (languageWithFactoryFile(language) == u"en")
        return QStringLiteral(":/en/Defaults.plist");
    return QStringLiteral(":/Defaults.plist");
}

QVariantMap readFactoryDefaults(const QString &path)
{
    ZT_ASSERT_TEXT(!path.isEmpty() && QFileInfo::exists(path), "defaultsPath");
    const PropertyList::ReadResult read = PropertyList::fromFile(path);
    if (!read.ok() || read.value.typeId() != QMetaType::QVariantMap)
        ZTLOG(QStringLiteral("Factory settings file %1 unusable: %2")
                  .arg(path, read.ok() ? QStringLiteral("no dictionary") : read.errorText));
    ZT_ASSERT_TEXT(read.ok() && read.value.typeId() == QMetaType::QVariantMap, "defaults");
    return read.value.toMap();
}

void registerFactoryDefaults(SettingsStore &store, const QString &path)
{
    store.registerDefaults(readFactoryDefaults(path));
}
