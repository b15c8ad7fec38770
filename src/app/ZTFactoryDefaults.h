#pragma once

#include <QString>
#include <QVariantMap>

class SettingsStore;

// The factory settings file: a property-list dictionary from settings key to factory value,
// shipped as a resource once per user-interface language. Polish is the base language.

// "pl" or "en": the language set with setFactoryDefaultsLanguage, else "pl" (the language of
// the interface).
QString factoryDefaultsLanguage();
// Fixes the language (empty text: back to Polish).
void setFactoryDefaultsLanguage(const QString &language);

// ":/en/Defaults.plist" for "en"; ":/Defaults.plist" for "pl" and any other language.
QString factoryDefaultsPath(const QString &language);
inline QString factoryDefaultsPath()
{
    return factoryDefaultsPath(factoryDefaultsLanguage());
}

// Reads a factory settings file. A missing file is the consistency failure
// "ASSERT [defaultsPath]", one that is not a dictionary "ASSERT [defaults]"; both throw
// InternalConsistencyError, abandoning the caller's operation.
QVariantMap readFactoryDefaults(const QString &path);

// Registers the whole factory file as the store's factory layer; before anything reads a
// setting. A missing file throws as above and registers nothing.
void registerFactoryDefaults(SettingsStore &store, const QString &path);
inline void registerFactoryDefaults(SettingsStore &store)
{
    registerFactoryDefaults(store, factoryDefaultsPath());
}
