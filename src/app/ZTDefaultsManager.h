#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class SettingsStore;

// Per-company settings. A company (identified by the seller's NIP) keeps its own copy of the
// per-company keys under ZTSettingsPerNip; the active company's values live directly in the
// store as the current settings, which every other part of the system reads and writes.
//
// Per-company keys are every key of the factory settings file plus a fixed list; the shared
// settings are all other keys except ZTSettingsPerNip itself.
//
// A missing factory file is the consistency failure "ASSERT [defaultsPath]": the operation in
// hand throws InternalConsistencyError and is abandoned at that point.
class ZTDefaultsManager
{
public:
    static const QString kSettingsPerNipKey; // "ZTSettingsPerNip"

    ZTDefaultsManager(SettingsStore &store, const QString &factoryDefaultsPath);

    // The one for the program: the standard store and the current language's factory file.
    static ZTDefaultsManager &sharedInstance();

    // Brings the company's saved settings up to date from the current settings; keys without a
    // current value keep what was saved before.
    void saveCurrentSettingsForNip(const QString &nip);
    // Stores the dictionary as the company's saved settings, replacing any entry.
    void saveSettings(const QVariantMap &settings, const QString &nip);
    // A new empty entry for the company (replacing any), or nothing when ZTSettingsPerNip is
    // not a dictionary.
    std::optional<QVariantMap> createSettingsForNip(const QString &nip);
    // Makes the company's saved settings current; a key the entry lacks is removed from the
    // current settings so its factory value shows. A company without an entry changes nothing.
    void loadSettingsForNip(const QString &nip);
    // Puts every factory value into the company's existing entry; other keys stay.
    void loadFactorySettingsForNip(const QString &nip);
    // A copy of the company's saved settings, or nothing.
    std::optional<QVariantMap> settingsForNip(const QString &nip) const;

    // Every persistent key that is neither per company nor ZTSettingsPerNip.
    QVariantMap sharedSettings();

    QStringList keysPerNip();
    QStringList keysPerNipWithFactoryValues();
    static QStringList keysPerNipWithoutFactoryValues();
    bool isKeyPerNip(const QString &key);

    // Takes the per-company part of a settings dictionary: with a NIP it becomes that
    // company's whole saved settings; with an empty NIP it is written into the current settings.
    void addPerNipSettingsFromSettings(const QVariantMap &settings, const QString &nipOrEmpty);
    // Re-reads the store and takes the shared part of a settings dictionary into the current
    // settings; per-company keys (and ZTSettingsPerNip) are never changed by it.
    void replaceSharedSettingsWithSettings(const QVariantMap &settings);

private:
    // The saved settings of all companies; nothing when present but not a dictionary, an empty
    // dictionary when missing.
    std::optional<QVariantMap> perNipStore() const;
    void writePerNipStore(const QVariantMap &perNip);

    SettingsStore &m_store;
    QString m_factoryDefaultsPath;
    std::optional<QStringList> m_keysWithFactoryValues;
    std::optional<QStringList> m_keysPerNip;
    QSet<QString> m_keysPerNipSet;
};
