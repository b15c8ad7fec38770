#include "ZTBackupController.h"

#include "ZTBackupBundle.h"

#include "app/ZTAppController.h"
#include "platform/AppPaths.h"
#include "platform/ManagedObjectContext.h"
#include "platform/NamedException.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <limits>

const QString ZTBackupController::kSafetyBackupFolderName = QStringLiteral("Tolvana.old");
const QString ZTBackupController::kRestoreMarkerName = QStringLiteral("tolvana-restore-from.tmp");
const QString ZTBackupController::kBackupsFolderName = QStringLiteral("Backups");
const QString ZTBackupController::kLastRunningVersionKey = QStringLiteral("ZTLastRunningVersion");

namespace {

Error appError(int code, const QString &text)
{
    return Error::withLocalizedDescription(Error::applicationDomain(), code, text);
}

} // namespace

ZTBackupController::ZTBackupController(ZTAppController &app) : m_app(app)
{
    m_relaunch = [this] { return m_app.relaunch(); };
}

// ---------------------------------------------------------------- backup

QStringList ZTBackupController::companiesInOrder() const
{
    // The settings keep no order of companies; the creation time of each data folder is when the
    // company was added. Equal or unknown times keep the NIP order.
    QStringList nips = m_app.knownCompanyNips();
    auto created = [](const QString &nip) {
        const QDateTime birth = QFileInfo(ZTAppController::applicationSupportFolderForNip(nip)).birthTime();
        return birth.isValid() ? birth.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    };
    std::stable_sort(nips.begin(), nips.end(),
                     [&created](const QString &a, const QString &b) { return created(a) < created(b); });
    return nips;
}

bool ZTBackupController::savePendingChanges()
{
    if (!m_app.coreData())
        return true; // no store open in this process: nothing can be pending
    ManagedObjectContext *context = m_app.managedObjectContext();
    if (!context)
        return true;
    Error error;
    if (context->save(error))
        return true;
    if (error.hasUserInfo())
        ZTLOG(QStringLiteral("prebackup store save failed, error description: %1 userInfo: %2")
                  .arg(error.localizedDescription(), error.messages().join(QStringLiteral("; "))));
    else
        ZTLOG(QStringLiteral("prebackup store save failed, error description: %1").arg(error.localizedDescription()));
    return false;
}

void ZTBackupController::backupData()
{
    backupDataInDestination(std::nullopt);
}

QStringList ZTBackupController::backupDataInDestination(const std::optional<QString> &destination)
{
    QStringList written;
    if (!savePendingChanges())
        return written;
    QString folder;
    if (destination) {
        folder = *destination;
        showPreRestoreBackupProgress();
    } else {
        const std::optional<QString> chosen = m_chooseFolder ? m_chooseFolder() : std::nullopt;
        if (!chosen)
            return written;
        folder = *chosen;
        showBackupProgress();
    }
    for (const QString &nip : companiesInOrder()) {
        QString path;
        if (performBackupWithDestinationFolder(folder, nip, destination.has_value(), &path))
            written.append(path);
    }
    if (destination)
        closePreRestoreBackupProgress();
    else
        closeBackupProgress();
    return written;
}

bool ZTBackupController::performBackupWithDestinationFolder(const QString &folder, const QString &nip, bool automatic,
                                                            QString *bundlePath, Error *errorOut)
{
    Q_UNUSED(automatic); // the bundle is the same; only the caller's presentation differs
    ZTBackupBundle bundle(m_app, folder, nip);
    ZTLOG(QStringLiteral("bb == %1").arg(bundle.description()));
    Error error;
    const bool ok = bundle.performBackup(error);
    if (bundlePath)
        *bundlePath = bundle.fullBundlePath();
    if (!ok) {
        if (errorOut)
            *errorOut = error;
        if (error)
            presentBackupError(error);
    }
    return ok;
}

void ZTBackupController::presentBackupError(const Error &error)
{
    ZTLOG(QStringLiteral("error == %1").arg(error.localizedDescription()));
    m_app.presentError(error);
    // The presenter returns once the user has dismissed the error.
    if (m_progress.isVisible())
        m_progress.closeProgressView();
}

// ---------------------------------------------------------------- restore

QString ZTBackupController::safetyBackupFolder()
{
    const QFileInfo support(ZTAppController::applicationSupportFolder());
    return QDir(support.absolutePath()).filePath(kSafetyBackupFolderName);
}

QString ZTBackupController::restoreMarkerPath()
{
    return QDir(AppPaths::temporaryFolder()).filePath(kRestoreMarkerName);
}

QStringList ZTBackupController::performPreRestoreBackup()
{
    return backupDataInDestination(safetyBackupFolder());
}

void ZTBackupController::restoreData()
{
    const std::optional<QString> chosen = m_chooseSource ? m_chooseSource() : std::nullopt;
    if (!chosen)
        return;
    m_sourceBundlePath = *chosen;
    ZTBackupBundle bundle(m_app, m_sourceBundlePath);
    QString reason;
    if (!bundle.bundleConsistent(&reason)) {
        ZTLOG(QStringLiteral("refused bundle %1: %2").arg(m_sourceBundlePath, reason));
        presentBackupError(
            appError(2, QStringLiteral("Kopia zapasowa wygląda na uszkodzoną, dane nie zostaną odtworzone.")));
        return;
    }
    performPreRestoreBackup();
    if (!createTemporaryFileForSource(m_sourceBundlePath)) {
        presentBackupError(appError(
            1, QStringLiteral("Nie można rozpocząć odtwarzania danych - sprawdź czy masz wolne miejsce na dysku.")));
        return;
    }
    m_relaunch();
}

bool ZTBackupController::createTemporaryFileForSource(const QString &bundlePath)
{
    QSaveFile file(restoreMarkerPath());
    const QByteArray bytes = bundlePath.toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool ZTBackupController::needsRestore()
{
    const QFileInfo marker(restoreMarkerPath());
    return marker.exists() && marker.isFile() && !marker.isDir() && marker.isReadable();
}

std::optional<QString> ZTBackupController::sourceBundlePathFromTemporaryFileSource()
{
    QFile file(restoreMarkerPath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString path = QString::fromUtf8(file.readAll()).trimmed();
    file.close();
    // A marker that cannot be removed would restore again at every start.
    if (!QFile::remove(restoreMarkerPath()) || path.isEmpty())
        return std::nullopt;
    return path;
}

void ZTBackupController::deployDataFromBackup()
{
    m_lastDeployOk = false;
    const std::optional<QString> source = sourceBundlePathFromTemporaryFileSource();
    if (!source) {
        presentBackupError(
            appError(3, QStringLiteral("Nie można rozpocząć odtwarzania danych, plik z kopią nie istnieje.")));
        return;
    }
    m_sourceBundlePath = *source;
    ZTBackupBundle bundle(m_app, m_sourceBundlePath);
    QString reason;
    if (!bundle.bundleConsistent(&reason)) {
        ZTLOG(QStringLiteral("refused bundle %1: %2").arg(m_sourceBundlePath, reason));
        presentBackupError(
            appError(2, QStringLiteral("Kopia zapasowa wygląda na uszkodzoną, odtwarzanie danych zostanie przerwane.")));
        return;
    }
    showRestoreProgress();
    Error error;
    m_lastDeployOk = bundle.deploy(error);
    if (!m_lastDeployOk) {
        presentBackupError(error);
        return;
    }
    closeRestoreProgress();
}

void ZTBackupController::closeRestoreProgress()
{
    m_progress.updateRestoreProgress();
    m_progress.closeProgressView();
}

// ---------------------------------------------------------------- before a new release

bool ZTBackupController::requiresBackup()
{
    const QString last = m_app.settings().stringValue(kLastRunningVersionKey);
    return !last.isEmpty() && last != ZTAppController::kBuildVersion;
}

QString ZTBackupController::backupsFolderFor(const QString &nip)
{
    return QDir(ZTAppController::applicationSupportFolderForNip(nip)).filePath(kBackupsFolderName);
}

QString ZTBackupController::versionBackupFolderFor(const QString &nip) const
{
    const QString last = m_app.settings().stringValue(kLastRunningVersionKey);
    if (last.isEmpty())
        throw NamedException(QStringLiteral("ZTBackupImpossibleException"),
                             QStringLiteral("backup requested, but no lastRunningVersion key"));
    return QDir(backupsFolderFor(nip)).filePath(QStringLiteral("Backup-r") + last);
}

void ZTBackupController::cleanupFormerBackupsFor(const QString &nip)
{
    const QString folder = ZTAppController::applicationSupportFolderForNip(nip);
    QDir dir(folder);
    if (!dir.exists()) {
        ZTLOG(QStringLiteral("Error accessing application support folder for nip %1, %2, %3")
                  .arg(nip, QStringLiteral("no such folder"), folder));
        return;
    }
    static const QRegularExpression former(QStringLiteral("/Backup-r.+$"), QRegularExpression::CaseInsensitiveOption);
    for (const QFileInfo &entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (!former.match(QLatin1Char('/') + entry.fileName()).hasMatch())
            continue;
        QDir().mkpath(backupsFolderFor(nip));
        const QString target = QDir(backupsFolderFor(nip)).filePath(entry.fileName());
        if (!QDir().rename(entry.filePath(), target))
            ZTLOG(QStringLiteral("Error moving former backup folder: %1, %2").arg(entry.filePath(), target));
    }
}

void ZTBackupController::backupFormerVersionData()
{
    for (const QString &nip : companiesInOrder()) {
        cleanupFormerBackupsFor(nip);
        ZTBackupBundle bundle(m_app, versionBackupFolderFor(nip), nip);
        Error error;
        if (!bundle.performBackup(error))
            ZTLOG(QStringLiteral("Backup error: %1").arg(error.localizedDescription()));
    }
}
