#include "BackupFixture.h"

#include <QDirIterator>

namespace {

class BackupControllerTest : public BackupFixture
{
protected:
    std::unique_ptr<ZTBackupController> makeBackup()
    {
        auto backup = std::make_unique<ZTBackupController>(*controller);
        backup->setBackupFolderChooser([this] { return std::optional<QString>(outDir); });
        backup->setRelauncher([this] {
            ++relaunches;
            return true;
        });
        backup->progressWindowController().setQuitHandler([this] { ++quits; });
        return backup;
    }

    // A start of the program with the backup controller installed, as the window does it.
    void startWithBackup()
    {
        reopenSettings();
        controller = std::make_unique<ZTAppController>(*settings, *defaults);
        controller->setErrorPresenter([this](const Error &e) { presented.append(e); });
        controller->setBackupController(makeBackup());
        controller->start();
    }

    static QStringList bundlesUnder(const QString &folder)
    {
        QStringList found;
        QDirIterator it(folder, {QStringLiteral("*.tolvana-backup")}, QDir::Dirs, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(QDir(folder).relativeFilePath(it.next()));
        found.sort();
        return found;
    }

    int relaunches = 0;
    int quits = 0;
};

TEST_F(BackupControllerTest, BackupWritesOneBundlePerCompanyInTheOrderTheyWereAdded)
{
    for (const char *nip : {"3333333333", "1111111111", "2222222222"}) {
        addCompany(QString::fromLatin1(nip), 1);
        QThread::msleep(20);
    }
    auto backup = makeBackup();
    const QStringList written = backup->backupDataInDestination(std::nullopt);
    QStringList nips;
    for (const QString &path : written) {
        EXPECT_TRUE(consistent(path));
        nips.append(QFileInfo(path).fileName().section(QLatin1Char(' '), 1, 1));
    }
    QStringList added{QStringLiteral("3333333333"), QStringLiteral("1111111111"), QStringLiteral("2222222222")};
    if (!QFileInfo(companyFolder(QStringLiteral("1111111111"))).birthTime().isValid())
        added.sort(); // a file system without creation times falls back to the NIPs' order
    EXPECT_EQ(nips, added);
    EXPECT_EQ(bundlesUnder(outDir).size(), 3);
    const auto &progress = backup->progressWindowController();
    EXPECT_EQ(progress.statusText(), QStringLiteral("Kopia zapasowa została utworzona."));
    EXPECT_TRUE(progress.okEnabled());
    EXPECT_FALSE(progress.willTerminate());
}

TEST_F(BackupControllerTest, CancelledDialoguesDoNothing)
{
    addCompany(QStringLiteral("1111111111"), 1);
    auto backup = makeBackup();
    backup->setBackupFolderChooser([] { return std::nullopt; });
    backup->setBackupSourceChooser([] { return std::nullopt; });
    EXPECT_TRUE(backup->backupDataInDestination(std::nullopt).isEmpty());
    backup->restoreData();
    EXPECT_FALSE(backup->progressWindowController().isVisible());
    EXPECT_TRUE(presented.isEmpty());
    EXPECT_EQ(relaunches, 0);
    EXPECT_TRUE(bundlesUnder(dir.path()).isEmpty());
}

TEST_F(BackupControllerTest, DamagedBundleIsRefusedBeforeAnythingChanges)
{
    addCompany(QStringLiteral("1111111111"), 2);
    const QString path = writeBundle(QStringLiteral("1111111111"));
    QFile::remove(ZTBackupBundle(*controller, path).backedupPrefsPath());
    const QByteArray store = readFile(storePath(QStringLiteral("1111111111")));

    auto backup = makeBackup();
    backup->setBackupSourceChooser([path] { return std::optional<QString>(path); });
    backup->restoreData();

    ASSERT_EQ(presented.size(), 1);
    EXPECT_EQ(presented[0].code(), 2);
    EXPECT_EQ(presented[0].domain(), Error::applicationDomain());
    EXPECT_EQ(presented[0].localizedDescription(),
              QStringLiteral("Kopia zapasowa wygląda na uszkodzoną, dane nie zostaną odtworzone."));
    EXPECT_EQ(relaunches, 0);
    EXPECT_FALSE(QFileInfo::exists(ZTBackupController::restoreMarkerPath()));
    EXPECT_FALSE(QFileInfo::exists(ZTBackupController::safetyBackupFolder()));
    EXPECT_EQ(readFile(storePath(QStringLiteral("1111111111"))), store);
}

TEST_F(BackupControllerTest, RestoreTakesASafetyBackupRelaunchesAndTheNextStartDeploys)
{
    addCompany(QStringLiteral("1111111111"), 2, "at backup");
    addCompany(QStringLiteral("2222222222"), 1);
    const QString path = writeBundle(QStringLiteral("1111111111"));
    addCustomers(QStringLiteral("1111111111"), 4);
    writeFile(QDir(companyFolder(QStringLiteral("1111111111"))).filePath(QStringLiteral("notes.txt")), "later");

    auto backup = makeBackup();
    backup->setBackupSourceChooser([path] { return std::optional<QString>(path); });
    backup->restoreData();
    EXPECT_TRUE(presented.isEmpty());
    EXPECT_EQ(relaunches, 1);
    EXPECT_EQ(ZTBackupController::safetyBackupFolder(), dir.filePath(QStringLiteral("Tolvana.old")));
    EXPECT_EQ(bundlesUnder(ZTBackupController::safetyBackupFolder()).size(), 2);
    EXPECT_EQ(readFile(ZTBackupController::restoreMarkerPath()), path.toUtf8());
    auto &progress = backup->progressWindowController();
    EXPECT_EQ(progress.statusText(), QStringLiteral("Tolvana zostanie uruchomiona ponownie"));
    EXPECT_TRUE(progress.willTerminate());
    progress.closeProgressView();
    EXPECT_EQ(quits, 1);
    // Nothing was restored yet: that is the next start's work.
    EXPECT_EQ(customers(QStringLiteral("1111111111")), 6);

    startWithBackup();
    EXPECT_TRUE(presented.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(ZTBackupController::restoreMarkerPath()));
    EXPECT_EQ(customers(QStringLiteral("1111111111")), 2);
    EXPECT_EQ(readFile(QDir(companyFolder(QStringLiteral("1111111111"))).filePath(QStringLiteral("notes.txt"))), "at backup");
    EXPECT_EQ(customers(QStringLiteral("2222222222")), 1);
    EXPECT_TRUE(controller->managedObjectContext());
}

TEST_F(BackupControllerTest, MarkerOfADeletedBundleIsConsumedAndTheOldDataStays)
{
    addCompany(QStringLiteral("1111111111"), 3);
    const QString path = writeBundle(QStringLiteral("1111111111"));
    auto backup = makeBackup();
    ASSERT_TRUE(backup->createTemporaryFileForSource(path));
    QDir(path).removeRecursively();
    addCustomers(QStringLiteral("1111111111"), 1);

    startWithBackup();
    ASSERT_EQ(presented.size(), 1);
    EXPECT_EQ(presented[0].code(), 2);
    EXPECT_EQ(presented[0].localizedDescription(),
              QStringLiteral("Kopia zapasowa wygląda na uszkodzoną, odtwarzanie danych zostanie przerwane."));
    EXPECT_FALSE(QFileInfo::exists(ZTBackupController::restoreMarkerPath()));
    EXPECT_EQ(customers(QStringLiteral("1111111111")), 4);

    // The marker is gone: the next start restores nothing and says nothing.
    presented.clear();
    startWithBackup();
    EXPECT_TRUE(presented.isEmpty());
}

TEST_F(BackupControllerTest, MarkerThatIsAFolderIsNotARestore)
{
    auto backup = makeBackup();
    QDir().mkpath(ZTBackupController::restoreMarkerPath());
    EXPECT_FALSE(backup->needsRestore());
    QDir(ZTBackupController::restoreMarkerPath()).removeRecursively();
    EXPECT_FALSE(backup->needsRestore());
    ASSERT_TRUE(backup->createTemporaryFileForSource(QStringLiteral("/x")));
    EXPECT_TRUE(backup->needsRestore());
}

TEST_F(BackupControllerTest, FirstStartOfANewReleaseBacksUpEveryCompanyOnce)
{
    addCompany(QStringLiteral("1111111111"), 1);
    addCompany(QStringLiteral("2222222222"), 1);
    writeFile(QDir(companyFolder(QStringLiteral("1111111111"))).filePath(QStringLiteral("Backup-r0ld/x.txt")), "old");
    writeFile(QDir(companyFolder(QStringLiteral("1111111111"))).filePath(QStringLiteral("backup-rlower/y.txt")), "old");
    settings->setValue(ZTBackupController::kLastRunningVersionKey, QStringLiteral("abc1234"));
    settings->synchronize();

    startWithBackup();
    for (const QString &nip : {QStringLiteral("1111111111"), QStringLiteral("2222222222")}) {
        SCOPED_TRACE(nip.toStdString());
        const QStringList found = bundlesUnder(ZTBackupController::backupsFolderFor(nip));
        ASSERT_EQ(found.size(), 1);
        EXPECT_TRUE(found[0].startsWith(QStringLiteral("Backup-rabc1234/Tolvana ") + nip));
        EXPECT_TRUE(consistent(QDir(ZTBackupController::backupsFolderFor(nip)).filePath(found[0])));
    }
    const QDir backups1(ZTBackupController::backupsFolderFor(QStringLiteral("1111111111")));
    EXPECT_EQ(readFile(backups1.filePath(QStringLiteral("Backup-r0ld/x.txt"))), "old");
    EXPECT_EQ(readFile(backups1.filePath(QStringLiteral("backup-rlower/y.txt"))), "old");
    EXPECT_FALSE(QFileInfo::exists(QDir(companyFolder(QStringLiteral("1111111111"))).filePath(QStringLiteral("Backup-r0ld"))));

    Clock::setFixedNow(localTime(2026, 3, 10, 11, 0));
    startWithBackup();
    EXPECT_EQ(bundlesUnder(ZTBackupController::backupsFolderFor(QStringLiteral("1111111111"))).size(), 1);
}

TEST_F(BackupControllerTest, VersionFolderWithoutALastVersionIsAnError)
{
    auto backup = makeBackup();
    settings->removeValue(ZTBackupController::kLastRunningVersionKey);
    EXPECT_FALSE(backup->requiresBackup());
    try {
        backup->versionBackupFolderFor(QStringLiteral("1111111111"));
        FAIL() << "no exception";
    } catch (const NamedException &e) {
        EXPECT_EQ(e.name(), QStringLiteral("ZTBackupImpossibleException"));
        EXPECT_EQ(e.reason(), QStringLiteral("backup requested, but no lastRunningVersion key"));
    }
    settings->setValue(ZTBackupController::kLastRunningVersionKey, 1292);
    EXPECT_TRUE(backup->requiresBackup());
    settings->setValue(ZTBackupController::kLastRunningVersionKey, ZTAppController::kBuildVersion);
    EXPECT_FALSE(backup->requiresBackup());
}

TEST(BackupProgressControllerTest, EachPhaseShowsItsTextButtonAndBar)
{
    using P = ZTBackupProgressController;
    const struct
    {
        const char *name;
        void (P::*step)();
        P::Presentation presentation;
        QString status;
        bool okEnabled;
        bool indeterminate;
        bool willTerminate;
    } steps[] = {
        {"backup", &P::showBackupProgress, P::Presentation::Sheet, P::kBackupStartText, false, true, false},
        {"backup done", &P::updateBackupProgress, P::Presentation::Window,
         QStringLiteral("Kopia zapasowa została utworzona."), true, false, false},
        {"safety backup", &P::showPreRestoreBackupProgress, P::Presentation::Sheet,
         QStringLiteral("Przygotowuję Tolvanę do odtworzenia danych..."), false, true, false},
        {"safety backup done", &P::updatePreRestoreBackupProgress, P::Presentation::Sheet,
         QStringLiteral("Tolvana zostanie uruchomiona ponownie"), true, false, true},
        {"restore", &P::showRestoreProgress, P::Presentation::Window, QStringLiteral("Trwa odtwarzanie danych..."),
         false, true, false},
        {"restore done", &P::updateRestoreProgress, P::Presentation::Window, QStringLiteral("Dane zostały odtworzone"),
         true, false, false},
    };
    P progress;
    int changes = 0;
    int quits = 0;
    progress.setChangeHandler([&changes] { ++changes; });
    progress.setQuitHandler([&quits] { ++quits; });
    for (const auto &s : steps) {
        SCOPED_TRACE(s.name);
        const int before = changes;
        (progress.*s.step)();
        EXPECT_GT(changes, before);
        EXPECT_EQ(progress.presentation(), s.presentation);
        EXPECT_EQ(progress.statusText(), s.status);
        EXPECT_EQ(progress.okEnabled(), s.okEnabled);
        EXPECT_EQ(progress.okIsDefault(), s.okEnabled);
        EXPECT_EQ(progress.progressIndeterminate(), s.indeterminate);
        EXPECT_EQ(progress.progressValue(), s.indeterminate ? 0.0 : 1.0);
        EXPECT_EQ(progress.willTerminate(), s.willTerminate);
    }
    progress.closeProgressView();
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(quits, 0);
    progress.showPreRestoreBackupProgress();
    progress.updatePreRestoreBackupProgress();
    progress.closeProgressView();
    EXPECT_EQ(quits, 1);
}

} // namespace
