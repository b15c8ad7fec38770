#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

class ZTAppController;

// One company's backup: a folder "Tolvana <NIP> <yyyy-MM-dd HHmmss>.tolvana-backup" holding
//
//   Tolvana Backup.plist            metadata (XML plist) with SHA-1 digests of the two below
//   AppSupport/                     copy of the company's data folder, without "/Backup…" items
//   AppSupport/Tolvana.store        the store, copied whole through SQLite's online backup
//   Prefs/pl.tolvana.Tolvana.plist  shared settings merged with the company's (XML plist)
//
// A bundle object serves one write, one check or one deploy. A bundle comes from outside when
// it is read: its NIP must be a plain folder name, symbolic links in it are refused and files
// outside the layout are ignored.
class ZTBackupBundle
{
public:
    static const QString kBundleExtension;   // "tolvana-backup"
    static const QString kMetadataFileName;  // "Tolvana Backup.plist"
    static const QString kAppSupportName;    // "AppSupport"
    static const QString kPrefsFolderName;   // "Prefs"

    // Metadata keys.
    static const QString kBundleVersionKey;     // "ZTBundleVersion"
    static const QString kBuildRevisionKey;     // "ZTBuildRevision"
    static const QString kModelVersionKey;      // "ZTModelVersion"
    static const QString kOriginalStorePathKey; // "ZTOriginalStorePath"
    static const QString kOriginalPrefsPathKey; // "ZTOriginalPrefsPath"
    static const QString kStoreDataDigestKey;   // "ZTStoreDataDigest"
    static const QString kPrefsDataDigestKey;   // "ZTPrefsDataDigest"
    static const QString kNipKey;               // "ZTNip"

    // The steps of deploy(), in order; a test may make any of them fail.
    enum class DeployStep { StageCopy, Swap, RemoveReplaced, SharedSettings, CompanySettings };
    using FailurePoint = std::function<bool(DeployStep)>;

    // A bundle to be written into the folder for the company, named from the current time.
    ZTBackupBundle(ZTAppController &app, const QString &destinationFolder, const QString &nip);
    // A bundle to be read from its path.
    ZTBackupBundle(ZTAppController &app, const QString &bundlePath);

    QString bundleParentFolder() const { return m_parentFolder; }
    QString fullBundlePath() const { return m_fullBundlePath; }
    QString bundleName() const { return m_bundleName; }
    QString nip() const { return m_nip; }
    QString description() const;

    // ---- writing
    bool performBackup(Error &error);
    QVariantMap settingsForBackup() const;

    // ---- checking. reason, when given, says why a bundle is not consistent.
    bool bundleConsistent(QString *reason = nullptr);
    // The metadata dictionary, or nothing when it is missing, a link or not a dictionary.
    std::optional<QVariantMap> readMetadata() const;
    bool verifyDigestsWithMetadata(const QVariantMap &metadata, QString *reason = nullptr) const;
    // A NIP that can name a data folder: not empty, no path separators, not "." or "..".
    static bool isPlainFolderName(const QString &nip);

    // ---- deploying: the data folder is replaced whole or not at all.
    bool deploy(Error &error);
    void setFailurePoint(FailurePoint point) { m_failurePoint = std::move(point); }

    // ---- digests
    static std::optional<QByteArray> SHA1DigestWithPath(const QString &path, Error &error);
    static std::optional<QByteArray> SHA1DigestWithPlist(const QVariantMap &plist, Error &error);

    // ---- paths
    QString dataPath() const; // the company's live data folder
    QString prefsPath() const;
    static QString plistName();
    QString metadataPath() const;
    QString backedupAppSupportPath() const;
    QString backedupStorePath() const;
    QString backedupPrefsFolderPath() const;
    QString backedupPrefsPath() const;

    // ---- steps of writing
    bool prepareBackupBundleInFolderAtPath(const QString &path, Error &error);
    bool prepareBackupMetadataWithPreferencesPlist(const QVariantMap &prefs, Error &error);
    std::optional<QVariantMap> backupMetadataDictionaryWithPreferencesPlist(const QVariantMap &prefs, Error &error);
    void cleanupFailedBackup();

private:
    void setupBundleName();
    bool copyDataFolder(Error &error);
    bool failAt(DeployStep step) const { return m_failurePoint && m_failurePoint(step); }

    ZTAppController &m_app;
    QString m_parentFolder;
    QString m_fullBundlePath;
    QString m_bundleName;
    QString m_nip;
    FailurePoint m_failurePoint;
};
