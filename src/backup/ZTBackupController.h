#pragma once

#include "ZTBackupProgressController.h"

#include "app/ZTStartupHooks.h"
#include "platform/Error.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ZTAppController;

// Backup, restore and the automatic backup before a new release, for every company, one
// bundle each. Dialogues, error sheets and the restart are handlers, so the flows run headless;
// the window sets them.
class ZTBackupController : public ZTBackupControlling
{
public:
    static const QString kSafetyBackupFolderName; // "Tolvana.old"
    static const QString kRestoreMarkerName;      // "tolvana-restore-from.tmp"
    static const QString kBackupsFolderName;      // "Backups"
    static const QString kLastRunningVersionKey;  // "ZTLastRunningVersion"

    explicit ZTBackupController(ZTAppController &app);

    // A folder or a bundle chosen by the user; nothing when cancelled.
    using Chooser = std::function<std::optional<QString>()>;
    void setBackupFolderChooser(Chooser chooser) { m_chooseFolder = std::move(chooser); }
    void setBackupSourceChooser(Chooser chooser) { m_chooseSource = std::move(chooser); }
    // Restarts the program; the default is the application controller's relaunch().
    void setRelauncher(std::function<bool()> relauncher) { m_relaunch = std::move(relauncher); }

    ZTBackupProgressController &progressWindowController() { return m_progress; }
    QString sourceBundlePath() const { return m_sourceBundlePath; }

    // ---- backup
    void backupData();
    // With a destination: the safety backup before a restore. Without: the user's backup into a
    // chosen folder. Gives the bundles written.
    QStringList backupDataInDestination(const std::optional<QString> &destination);
    // One company's bundle; the path written goes to bundlePath. Failures are presented.
    bool performBackupWithDestinationFolder(const QString &folder, const QString &nip, bool automatic,
                                            QString *bundlePath = nullptr, Error *error = nullptr);
    // Known companies in the order they were added (their data folders' creation times).
    QStringList companiesInOrder() const;

    // ---- restore
    void restoreData();
    QStringList performPreRestoreBackup();
    static QString safetyBackupFolder();
    static QString restoreMarkerPath();
    bool createTemporaryFileForSource(const QString &bundlePath);
    bool needsRestore() override;
    std::optional<QString> sourceBundlePathFromTemporaryFileSource();
    void deployDataFromBackup() override;
    // The outcome of the last deployDataFromBackup().
    bool lastDeploySucceeded() const { return m_lastDeployOk; }

    // ---- before a new release
    bool requiresBackup() override;
    void backupFormerVersionData() override;
    static QString backupsFolderFor(const QString &nip);
    QString versionBackupFolderFor(const QString &nip) const;
    void cleanupFormerBackupsFor(const QString &nip);

    void presentBackupError(const Error &error);
    void showBackupProgress() { m_progress.showBackupProgress(); }
    void closeBackupProgress() { m_progress.updateBackupProgress(); }
    void showPreRestoreBackupProgress() { m_progress.showPreRestoreBackupProgress(); }
    void closePreRestoreBackupProgress() { m_progress.updatePreRestoreBackupProgress(); }
    void showRestoreProgress() { m_progress.showRestoreProgress(); }
    void closeRestoreProgress();

private:
    bool savePendingChanges();

    ZTAppController &m_app;
    ZTBackupProgressController m_progress;
    QString m_sourceBundlePath;
    Chooser m_chooseFolder;
    Chooser m_chooseSource;
    std::function<bool()> m_relaunch;
    bool m_lastDeployOk = false;
};
