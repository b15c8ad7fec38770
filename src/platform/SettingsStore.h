#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

// The user's settings: a flat key-value store of property-list values in two layers.
//
// - The persistent layer is kept in an XML property list file and written by synchronize().
// - The factory layer is registered at start (registerDefaults) and never written anywhere.
//
// A read gives the persistent value, else the factory value, else nothing. Writing sets the
// persistent value; writing no value (an invalid QVariant) removes it, so that the factory value
// shows again. Values are held in their property-list shape (see PropertyList::normalized).
//
// A settings file that cannot be read is moved aside under a dated name and logged; the store then
// starts empty (factory values apply) and the next synchronize() writes a fresh file.
//
// Used from the main thread only.
class SettingsStore
{
public:
    explicit SettingsStore(const QString &filePath);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // The process-wide store, created on first use at defaultFilePath().
    static SettingsStore &standard();
    // Points the process-wide store at a config folder. Only before its first use; returns false
    // (and changes nothing) once standard() has been called.
    static bool useConfigDirectory(const QString &directory);
    // <config folder>/pl.tolvana.Tolvana.plist, where the config folder is the one given to
    // useConfigDirectory, else $TOLVANA_CONFIG_DIR, else the user's generic config location.
    static QString defaultFilePath();
    static QString fileName(); // "pl.tolvana.Tolvana.plist"

    QString filePath() const { return m_filePath; }

    // --- factory layer
    // Adds the given values to the factory layer (a key registered again takes the new value).
    void registerDefaults(const QVariantMap &defaults);
    QVariantMap registeredDefaults() const { return m_factory; }

    // --- reading
    QVariant value(const QString &key) const; // invalid when neither layer holds the key
    bool contains(const QString &key) const { return value(key).isValid(); }
    // Typed reads. Numbers and numeric text convert; anything else gives the stated empty result.
    bool boolValue(const QString &key) const;               // false when missing
    qlonglong integerValue(const QString &key) const;       // 0 when missing
    int intValue(const QString &key) const;                 // 0 when missing or out of int range
    double doubleValue(const QString &key) const;           // 0 when missing
    QString stringValue(const QString &key) const;          // null when missing or not text/number
    QVariantList arrayValue(const QString &key) const;      // empty when missing or not an array
    QStringList stringArrayValue(const QString &key) const; // empty unless an array of texts
    QVariantMap dictionaryValue(const QString &key) const;  // empty when missing or not a dict
    QDateTime dateValue(const QString &key) const;          // invalid when missing or not a date
    QByteArray dataValue(const QString &key) const;         // empty when missing or not data

    // --- writing the persistent layer
    // Sets the persistent value; an invalid value removes it. A value a property list cannot
    // hold is refused (logged, returns false) and the stored value stays.
    bool setValue(const QString &key, const QVariant &value);
    void removeValue(const QString &key);

    QVariantMap persistentDictionary() const { return m_persistent; }
    // Both layers merged, persistent values winning.
    QVariantMap dictionaryRepresentation() const;

    // Writes the persistent layer to the file atomically, only when it changed since the last
    // load or write. Returns false (and logs) when the file could not be written.
    bool synchronize();
    bool hasUnsavedChanges() const { return m_dirty; }

    // Discards the in-memory persistent layer, unsaved changes included, and reads the file
    // again. The factory layer stays.
    void reload();

private:
    void load();
    QString moveAside(); // the new path, or empty when the file could not be moved

    QString m_filePath;
    QVariantMap m_persistent;
    QVariantMap m_factory;
    bool m_dirty = false;
    // Set when an unreadable file could not be moved aside: it must not be overwritten.
    bool m_writeBlocked = false;
};
