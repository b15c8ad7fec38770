#include "ZTBackupBundle.h"

#include "app/ZTAppController.h"
#include "app/ZTCoreDataBootstrapper.h"
#include "app/ZTDefaultsManager.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/PropertyList.h"
#include "platform/SettingsStore.h"
#include "platform/Sha1.h"
#include "platform/SqliteBackup.h"
#include "platform/SqliteStore.h"
#include "platform/ZTLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

const QString ZTBackupBundle::kBundleExtension = QStringLiteral("tolvana-backup");
const QString ZTBackupBundle::kMetadataFileName = QStringLiteral("Tolvana Backup.plist");
const QString ZTBackupBundle::kAppSupportName = QStringLiteral("AppSupport");
const QString ZTBackupBundle::kPrefsFolderName = QStringLiteral("Prefs");
const QString ZTBackupBundle::kBundleVersionKey = QStringLiteral("ZTBundleVersion");
const QString ZTBackupBundle::kBuildRevisionKey = QStringLiteral("ZTBuildRevision");
const QString ZTBackupBundle::kModelVersionKey = QStringLiteral("ZTModelVersion");
const QString ZTBackupBundle::kOriginalStorePathKey = QStringLiteral("ZTOriginalStorePath");
const QString ZTBackupBundle::kOriginalPrefsPathKey = QStringLiteral("ZTOriginalPrefsPath");
const QString ZTBackupBundle::kStoreDataDigestKey = QStringLiteral("ZTStoreDataDigest");
const QString ZTBackupBundle::kPrefsDataDigestKey = QStringLiteral("ZTPrefsDataDigest");
const QString ZTBackupBundle::kNipKey = QStringLiteral("ZTNip");

namespace {

QString storeFileName()
{
    return ZTCoreDataBootstrapper::kProductionStoreName + ZTCoreDataBootstrapper::kStoreExtension;
}

Error posixError(int code, const QString &message, const QString &path = {})
{
    QVariantMap info{{Error::kMessageKey, message}, {Error::kLocalizedDescriptionKey, message}};
    if (!path.isEmpty())
        info.insert(QStringLiteral("NSFilePath"), path);
    return Error(Error::posixDomain(), code, info);
}

Error fileError(const QString &what, const QString &path)
{
    const int code = errno ? errno : EIO;
    return posixError(code, QStringLiteral("%1: %2 (%3)").arg(what, path, QString::fromLocal8Bit(std::strerror(code))), path);
}

// Earlier backups kept inside the data folder are never copied into a new one.
bool isExcludedFromBackup(const QString &relativePath)
{
    static const QRegularExpression backupItem(QStringLiteral("/Backup."),
                                               QRegularExpression::CaseInsensitiveOption);
    return backupItem.match(relativePath).hasMatch();
}

// The store's own companions: the copy of the store is complete without them, and a stale log
// beside a restored store must never be replayed into it.
bool isStoreCompanion(const QString &relativePath)
{
    const QString store = QLatin1Char('/') + storeFileName();
    return relativePath == store + QStringLiteral("-wal") || relativePath == store + QStringLiteral("-shm") ||
           relativePath == store + QStringLiteral("-journal");
}

// Copies a folder tree without following or copying symbolic links. Items for which skip()
// answers true are left out with everything below them; copyFile may take over a file.
bool copyTree(const QString &source, const QString &destination, const QString &relative,
              const std::function<bool(const QString &)> &skip,
              const std::function<std::optional<bool>(const QString &, const QString &, const QString &, Error &)> &copyFile,
              Error &error)
{
    if (!QDir().mkpath(destination)) {
        error = fileError(QStringLiteral("Nie można utworzyć katalogu"), destination);
        return false;
    }
    const QFileInfoList entries = QDir(source).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString rel = relative + QLatin1Char('/') + entry.fileName();
        if (entry.isSymLink() || skip(rel))
            continue;
        const QString target = QDir(destination).filePath(entry.fileName());
        if (entry.isDir()) {
            if (!copyTree(entry.filePath(), target, rel, skip, copyFile, error))
                return false;
        } else if (entry.isFile()) {
            if (copyFile) {
                const std::optional<bool> handled = copyFile(rel, entry.filePath(), target, error);
                if (handled.has_value()) {
                    if (!*handled)
                        return false;
                    continue;
                }
            }
            if (!QFile::copy(entry.filePath(), target)) {
                error = fileError(QStringLiteral("Nie można skopiować pliku"), entry.filePath());
                return false;
            }
        }
        // Sockets, pipes and devices are not data.
    }
    return true;
}

// Exchanges two folders in one step where the system allows it, so that no moment exists in
// which the data folder is missing.
bool exchangeFolders(const QString &a, const QString &b)
{
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    if (::renameat2(AT_FDCWD, QFile::encodeName(a).constData(), AT_FDCWD, QFile::encodeName(b).constData(),
                    RENAME_EXCHANGE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
#endif
    // Two renames, undone when the second fails.
    // A hidden name, so that a folder left here by a crash is never taken for a company.
    const QFileInfo target(b);
    const QString aside = QDir(target.absolutePath()).filePath(QLatin1Char('.') + target.fileName() + QStringLiteral(".swap"));
    if (::rename(QFile::encodeName(b).constData(), QFile::encodeName(aside).constData()) != 0)
        return false;
    if (::rename(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()) != 0) {
        const int saved = errno;
        ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(b).constData());
        errno = saved;
        return false;
    }
    return ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(a).constData()) == 0;
}

bool isRegularFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isSymLink() && info.isFile();
}

} // namespace

// ---------------------------------------------------------------- construction

ZTBackupBundle::ZTBackupBundle(ZTAppController &app, const QString &destinationFolder, const QString &nip)
    : m_app(app), m_parentFolder(destinationFolder), m_nip(nip)
{
    setupBundleName();
}

ZTBackupBundle::ZTBackupBundle(ZTAppController &app, const QString &bundlePath) : m_app(app)
{
    const QFileInfo info(QDir::cleanPath(bundlePath));
    m_parentFolder = info.absolutePath();
    m_bundleName = info.fileName();
    m_fullBundlePath = info.absoluteFilePath();
}

void ZTBackupBundle::setupBundleName()
{
    const QString stamp = Clock::now().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
    m_bundleName = QStringLiteral("Tolvana %1 %2.%3").arg(m_nip, stamp, kBundleExtension);
    m_fullBundlePath = QDir(m_parentFolder).filePath(m_bundleName);
}

QString ZTBackupBundle::description() const
{
    return QStringLiteral("<ZTBackupBundle name: %1, parent folder: %2, full path: %3>")
        .arg(m_bundleName, m_parentFolder, m_fullBundlePath);
}

// ---------------------------------------------------------------- paths

QString ZTBackupBundle::dataPath() const
{
    return ZTAppController::applicationSupportFolderForNip(m_nip);
}

QString ZTBackupBundle::prefsPath() const
{
    return m_app.settings().filePath();
}

QString ZTBackupBundle::plistName()
{
    return AppPaths::applicationIdentifier() + QStringLiteral(".plist");
}

QString ZTBackupBundle::metadataPath() const
{
    return QDir(m_fullBundlePath).filePath(kMetadataFileName);
}

QString ZTBackupBundle::backedupAppSupportPath() const
{
    return QDir(m_fullBundlePath).filePath(kAppSupportName);
}

QString ZTBackupBundle::backedupStorePath() const
{
    return QDir(backedupAppSupportPath()).filePath(storeFileName());
}

QString ZTBackupBundle::backedupPrefsFolderPath() const
{
    return QDir(m_fullBundlePath).filePath(kPrefsFolderName);
}

QString ZTBackupBundle::backedupPrefsPath() const
{
    return QDir(backedupPrefsFolderPath()).filePath(plistName());
}

// ---------------------------------------------------------------- digests

std::optional<QByteArray> ZTBackupBundle::SHA1DigestWithPath(const QString &path, Error &error)
{
    return Sha1::ofFile(path, error);
}

std::optional<QByteArray> ZTBackupBundle::SHA1DigestWithPlist(const QVariantMap &plist, Error &error)
{
    const std::optional<QByteArray> bytes = PropertyList::toData(plist, PropertyList::Format::Xml);
    if (!bytes) {
        error = Error::withLocalizedDescription(Error::applicationDomain(), 0,
                                                QStringLiteral("Nie można załadować danych."));
        return std::nullopt;
    }
    return Sha1::ofData(*bytes);
}

// ---------------------------------------------------------------- writing

QVariantMap ZTBackupBundle::settingsForBackup() const
{
    QVariantMap settings = m_app.defaultsManager().sharedSettings();
    if (const std::optional<QVariantMap> own = m_app.defaultsManager().settingsForNip(m_nip)) {
        for (auto it = own->cbegin(); it != own->cend(); ++it)
            settings.insert(it.key(), it.value());
    }
    return settings;
}

bool ZTBackupBundle::prepareBackupBundleInFolderAtPath(const QString &path, Error &error)
{
    m_fullBundlePath = QDir(path).filePath(m_bundleName);
    if (QFileInfo::exists(m_fullBundlePath) || QFileInfo::exists(backedupPrefsFolderPath()) ||
        QFileInfo(m_fullBundlePath).isSymLink()) {
        error = posixError(EEXIST, QStringLiteral("Plik o tej nazwie już istnieje"), m_fullBundlePath);
        return false;
    }
    if (!QDir().mkpath(backedupPrefsFolderPath())) {
        error = fileError(QStringLiteral("Nie można utworzyć katalogu"), backedupPrefsFolderPath());
        return false;
    }
    return true;
}

std::optional<QVariantMap> ZTBackupBundle::backupMetadataDictionaryWithPreferencesPlist(const QVariantMap &prefs,
                                                                                      Error &error)
{
    // The copy, not the live file: with a write-ahead log the live file alone is not the store.
    const std::optional<QByteArray> storeDigest = SHA1DigestWithPath(backedupStorePath(), error);
    if (!storeDigest)
        return std::nullopt;
    const std::optional<QByteArray> prefsDigest = SHA1DigestWithPlist(prefs, error);
    if (!prefsDigest)
        return std::nullopt;
    Error versionError;
    const std::optional<int> modelVersion =
        SqliteStore::readStoreModelVersion(ZTCoreDataBootstrapper::fullProductionStorePathForNip(m_nip), versionError);
    QVariantMap metadata{
        {kBundleVersionKey, QStringLiteral(TOLVANA_VERSION)},
        {kBuildRevisionKey, ZTAppController::kBuildVersion},
        {kModelVersionKey, qlonglong(modelVersion.value_or(0))},
        {kOriginalStorePathKey, ZTCoreDataBootstrapper::fullProductionStorePathForNip(m_nip)},
        {kOriginalPrefsPathKey, prefsPath()},
        {kStoreDataDigestKey, *storeDigest},
        {kPrefsDataDigestKey, *prefsDigest},
    };
    if (!m_nip.isEmpty())
        metadata.insert(kNipKey, m_nip);
    return metadata;
}

bool ZTBackupBundle::prepareBackupMetadataWithPreferencesPlist(const QVariantMap &prefs, Error &error)
{
    if (!QFileInfo(m_fullBundlePath).isDir()) {
        error = posixError(ENOENT, QStringLiteral("Nie można stworzyć kopii zapasowej - wybrany folder nie istnieje."),
                           m_fullBundlePath);
        return false;
    }
    if (QFileInfo::exists(metadataPath())) {
        error = posixError(EEXIST,
                           QStringLiteral("Nie można stworzyć kopii zapasowej - kopia już istnieje w wybranym folderze."),
                           metadataPath());
        return false;
    }
    const std::optional<QVariantMap> metadata = backupMetadataDictionaryWithPreferencesPlist(prefs, error);
    if (!metadata)
        return false;
    const std::optional<QByteArray> bytes = PropertyList::toData(*metadata, PropertyList::Format::Xml);
    if (!bytes) {
        error = Error::withLocalizedDescription(
            Error::applicationDomain(), 0,
            QStringLiteral("Nie można utworzyć metadanych - kopia zapasowa nie zostanie utworzona."));
        return false;
    }
    QSaveFile file(metadataPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        error = fileError(QStringLiteral("Nie można zapisać pliku"), metadataPath());
        return false;
    }
    return true;
}

bool ZTBackupBundle::copyDataFolder(Error &error)
{
    const QString store = QLatin1Char('/') + storeFileName();
    return copyTree(
        dataPath(), backedupAppSupportPath(), QString(),
        [](const QString &rel) { return isExcludedFromBackup(rel) || isStoreCompanion(rel); },
        [&store](const QString &rel, const QString &from, const QString &to, Error &e) -> std::optional<bool> {
            if (rel != store)
                return std::nullopt;
            return sqliteCopyDatabase(from, to, e);
        },
        error);
}

bool ZTBackupBundle::performBackup(Error &error)
{
    const QVariantMap prefs = settingsForBackup();
    if (!prepareBackupBundleInFolderAtPath(m_parentFolder, error))
        return false;

    // The metadata comes last: it records the digests of what was really written, and a bundle
    // without it never passes the check.
    bool written = copyDataFolder(error);
    if (written) {
        const std::optional<QByteArray> bytes = PropertyList::toData(prefs, PropertyList::Format::Xml);
        if (!bytes) {
            error = Error::withLocalizedDescription(Error::applicationDomain(), 0,
                                                    QStringLiteral("Nie można załadować danych."));
            written = false;
        } else {
            QSaveFile file(backedupPrefsPath());
            written = file.open(QIODevice::WriteOnly) && file.write(*bytes) == bytes->size() && file.commit();
            if (!written)
                error = fileError(QStringLiteral("Nie można zapisać pliku"), backedupPrefsPath());
        }
    }
    if (written) {
        const bool bundleVanished = !QFileInfo(m_fullBundlePath).isDir();
        const bool metadataPresent = QFileInfo::exists(metadataPath());
        if (prepareBackupMetadataWithPreferencesPlist(prefs, error))
            return true;
        if (bundleVanished || metadataPresent)
            return false; // not ours to remove
    }
    ZTLOG(QStringLiteral("backup failed: %1").arg(error.localizedDescription()));
    cleanupFailedBackup();
    return false;
}

void ZTBackupBundle::cleanupFailedBackup()
{
    if (QFileInfo(m_fullBundlePath).isDir()) {
        ZTLOG(QStringLiteral("removing failed backup at: %1").arg(m_fullBundlePath));
        QDir(m_fullBundlePath).removeRecursively();
    }
}

// ---------------------------------------------------------------- checking

bool ZTBackupBundle::isPlainFolderName(const QString &nip)
{
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\\\x00-\\x1f]"));
    return !nip.trimmed().isEmpty() && !nip.contains(QStringLiteral("..")) && !nip.startsWith(QLatin1Char('.')) &&
           nip != ZTCoreDataBootstrapper::kNoNipFolderName && nip != ZTAppController::kCustomTemplatesFolderName &&
           !unsafe.match(nip).hasMatch();
}

std::optional<QVariantMap> ZTBackupBundle::readMetadata() const
{
    if (!isRegularFile(metadataPath()))
        return std::nullopt;
    const PropertyList::ReadResult read = PropertyList::fromFile(metadataPath());
    if (!read.ok() || read.value.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return read.value.toMap();
}

bool ZTBackupBundle::verifyDigestsWithMetadata(const QVariantMap &metadata, QString *reason) const
{
    auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QVariant storeRecorded = metadata.value(kStoreDataDigestKey);
    const QVariant prefsRecorded = metadata.value(kPrefsDataDigestKey);
    if (storeRecorded.typeId() != QMetaType::QByteArray || prefsRecorded.typeId() != QMetaType::QByteArray)
        return fail(QStringLiteral("the metadata lacks a digest"));
    if (!isRegularFile(backedupStorePath()))
        return fail(QStringLiteral("the store copy is missing"));
    if (!isRegularFile(backedupPrefsPath()))
        return fail(QStringLiteral("the settings file is missing"));
    Error error;
    const std::optional<QByteArray> store = SHA1DigestWithPath(backedupStorePath(), error);
    if (!store)
        return fail(QStringLiteral("the store copy cannot be read"));
    const std::optional<QByteArray> prefs = SHA1DigestWithPath(backedupPrefsPath(), error);
    if (!prefs)
        return fail(QStringLiteral("the settings file cannot be read"));
    if (*store != storeRecorded.toByteArray())
        return fail(QStringLiteral("the store copy does not match its digest"));
    if (*prefs != prefsRecorded.toByteArray())
        return fail(QStringLiteral("the settings file does not match its digest"));
    return true;
}

bool ZTBackupBundle::bundleConsistent(QString *reason)
{
    auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QFileInfo bundle(m_fullBundlePath);
    if (!bundle.isDir() || !bundle.isReadable())
        return fail(QStringLiteral("the bundle is not a readable folder"));

    // Every item must be readable, and none may be a link: a link could point anywhere.
    std::function<std::optional<QString>(const QString &)> walk = [&walk](const QString &folder) -> std::optional<QString> {
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QFileInfo &entry : entries) {
            if (entry.isSymLink())
                return QStringLiteral("the bundle holds a symbolic link: %1").arg(entry.filePath());
            if (!entry.isReadable())
                return QStringLiteral("an item cannot be read: %1").arg(entry.filePath());
            if (entry.isDir()) {
                if (std::optional<QString> found = walk(entry.filePath()))
                    return found;
            }
        }
        return std::nullopt;
    };
    if (const std::optional<QString> problem = walk(m_fullBundlePath))
        return fail(*problem);

    const std::optional<QVariantMap> metadata = readMetadata();
    if (!metadata)
        return fail(QStringLiteral("the metadata is missing or not a property list"));
    const QVariant nip = metadata->value(kNipKey);
    if (nip.typeId() != QMetaType::QString || !isPlainFolderName(nip.toString()))
        return fail(QStringLiteral("the metadata names no usable NIP"));
    if (!verifyDigestsWithMetadata(*metadata, reason))
        return false;
    m_nip = nip.toString();
    return true;
}

// ---------------------------------------------------------------- deploying

bool ZTBackupBundle::deploy(Error &error)
{
    auto fail = [&error](const QString &message) {
        error = Error::withLocalizedDescription(Error::applicationDomain(), 2, message);
        ZTLOG(QStringLiteral("deploy failed: %1").arg(message));
        return false;
    };
    const std::optional<QVariantMap> metadata = readMetadata();
    if (!metadata)
        return fail(QStringLiteral("Kopia zapasowa nie ma metadanych."));
    const QString nip = metadata->value(kNipKey).toString();
    if (!isPlainFolderName(nip))
        return fail(QStringLiteral("Kopia zapasowa nie wskazuje firmy."));
    if (!isRegularFile(backedupPrefsPath()))
        return fail(QStringLiteral("Kopia zapasowa nie ma ustawień."));
    const PropertyList::ReadResult prefsRead = PropertyList::fromFile(backedupPrefsPath());
    if (!prefsRead.ok() || prefsRead.value.typeId() != QMetaType::QVariantMap)
        return fail(QStringLiteral("Ustawienia w kopii zapasowej są nieczytelne."));
    const QVariantMap prefs = prefsRead.value.toMap();
    m_nip = nip;

    const bool noCompanyYet = m_app.knownCompanyNips().isEmpty();
    const QString target = dataPath();
    const QString parent = QFileInfo(target).absolutePath();
    const QString staging = QDir(parent).filePath(QStringLiteral(".%1.restoring").arg(nip));

    // 1. The bundle's data goes beside the live folder first: until the swap, nothing live changes.
    if (!QDir().mkpath(parent))
        return fail(QStringLiteral("Nie można utworzyć katalogu %1.").arg(parent));
    if (QFileInfo::exists(staging))
        QDir(staging).removeRecursively();
    Error copyError;
    if (failAt(DeployStep::StageCopy) ||
        !copyTree(backedupAppSupportPath(), staging, QString(), [](const QString &rel) { return isStoreCompanion(rel); },
                  nullptr, copyError)) {
        QDir(staging).removeRecursively();
        return fail(QStringLiteral("Nie można skopiować danych z kopii zapasowej: %1").arg(copyError.localizedDescription()));
    }

    // 2. The swap: one exchange of names, so the folder holds either all old or all new data.
    const bool hadData = QFileInfo(target).isDir();
    bool swapped = false;
    if (!failAt(DeployStep::Swap)) {
        swapped = hadData ? exchangeFolders(staging, target)
                          : ::rename(QFile::encodeName(staging).constData(), QFile::encodeName(target).constData()) == 0;
    }
    if (!swapped) {
        QDir(staging).removeRecursively();
        return fail(QStringLiteral("Nie można podmienić danych firmy %1.").arg(nip));
    }

    // 3. The replaced data now sits in the staging name. The automatic backups of former
    // releases are not part of any bundle; keep them with the company.
    if (hadData) {
        const QString oldBackups = QDir(staging).filePath(QStringLiteral("Backups"));
        const QString newBackups = QDir(target).filePath(QStringLiteral("Backups"));
        if (QFileInfo(oldBackups).isDir() && !QFileInfo::exists(newBackups))
            QDir().rename(oldBackups, newBackups);
        if (failAt(DeployStep::RemoveReplaced) || !QDir(staging).removeRecursively())
            ZTLOG(QStringLiteral("replaced data left at: %1").arg(staging));
    }

    // 4. Settings.
    if (noCompanyYet) {
        if (failAt(DeployStep::SharedSettings))
            return fail(QStringLiteral("Nie można odtworzyć ustawień."));
        m_app.defaultsManager().replaceSharedSettingsWithSettings(prefs);
    }
    if (failAt(DeployStep::CompanySettings))
        return fail(QStringLiteral("Nie można odtworzyć ustawień firmy %1.").arg(nip));
    m_app.defaultsManager().addPerNipSettingsFromSettings(prefs, nip);
    return true;
}
