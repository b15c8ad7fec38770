#include "BackupFixture.h"

#include "platform/Sha1.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QDirIterator>
#include <QProcess>

#include <unistd.h>

namespace {

class BackupBundleTest : public BackupFixture
{
};

const char *kIndependentReader = R"PY(
import hashlib, json, os, plistlib, sys
b = sys.argv[1]
with open(os.path.join(b, 'Tolvana Backup.plist'), 'rb') as f:
    raw = f.read()
m = plistlib.loads(raw, fmt=plistlib.FMT_XML)
prefs_path = os.path.join(b, 'Prefs', 'pl.tolvana.Tolvana.plist')
with open(prefs_path, 'rb') as f:
    prefs_raw = f.read()
p = plistlib.loads(prefs_raw, fmt=plistlib.FMT_XML)
with open(os.path.join(b, 'AppSupport', 'Tolvana.store'), 'rb') as f:
    store = hashlib.sha1(f.read()).digest()
print(json.dumps({
    'keys': sorted(m.keys()),
    'storeDigestMatches': store == m['ZTStoreDataDigest'],
    'prefsDigestMatches': hashlib.sha1(prefs_raw).digest() == m['ZTPrefsDataDigest'],
    'digestTypes': [type(m['ZTStoreDataDigest']).__name__, len(m['ZTStoreDataDigest'])],
    'modelVersionType': type(m['ZTModelVersion']).__name__,
    'nip': m.get('ZTNip'),
    'sellerNip': p.get('ZTSellerNip'),
    'activeNip': p.get('ZTActiveCompanyNip'),
}))
)PY";

// Python's plistlib and hashlib read what Tolvana wrote, independently of our own reader. The
// store is written through a connection that is still open, so the last commit lives only in
// the write-ahead log: the copy must hold it all the same.
TEST_F(BackupBundleTest, IndependentReaderAgreesWithMetadataAndCopyHoldsUncheckpointedCommits)
{
    addCompany(QStringLiteral("1111111111"), 3);
    addCompany(QStringLiteral("2222222222"), 1);
    auto live = openStore(storePath(QStringLiteral("2222222222")));
    for (int i = 0; i < 40; ++i)
        live->insertNewObject(QStringLiteral("Customer"))->setValue(QStringLiteral("name"), QStringLiteral("wal%1").arg(i));
    save(*live);
    ASSERT_TRUE(QFileInfo(storePath(QStringLiteral("2222222222")) + QStringLiteral("-wal")).size() > 0);

    const QString bundle = writeBundle(QStringLiteral("2222222222"));
    EXPECT_EQ(QFileInfo(bundle).fileName(), QStringLiteral("Tolvana 2222222222 2026-03-10 100000.tolvana-backup"));

    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(kIndependentReader), bundle});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonObject r = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    EXPECT_EQ(r[QStringLiteral("keys")].toVariant().toStringList(),
              (QStringList{QStringLiteral("ZTBuildRevision"), QStringLiteral("ZTBundleVersion"),
                           QStringLiteral("ZTModelVersion"), QStringLiteral("ZTNip"),
                           QStringLiteral("ZTOriginalPrefsPath"), QStringLiteral("ZTOriginalStorePath"),
                           QStringLiteral("ZTPrefsDataDigest"), QStringLiteral("ZTStoreDataDigest")}));
    EXPECT_TRUE(r[QStringLiteral("storeDigestMatches")].toBool());
    EXPECT_TRUE(r[QStringLiteral("prefsDigestMatches")].toBool());
    EXPECT_EQ(r[QStringLiteral("digestTypes")].toVariant().toList(), (QVariantList{QStringLiteral("bytes"), 20}));
    EXPECT_EQ(r[QStringLiteral("modelVersionType")].toString(), QStringLiteral("int"));
    EXPECT_EQ(r[QStringLiteral("nip")].toString(), QStringLiteral("2222222222"));
    // The company's own value, not the active company's, and the shared keys beside it.
    EXPECT_EQ(r[QStringLiteral("sellerNip")].toString(), QStringLiteral("2222222222"));
    EXPECT_EQ(r[QStringLiteral("activeNip")].toString(), QStringLiteral("1111111111"));

    live.reset();
    ZTBackupBundle reader(*controller, bundle);
    EXPECT_FALSE(QFileInfo::exists(reader.backedupStorePath() + QStringLiteral("-wal")));
    auto copy = openStore(reader.backedupStorePath());
    ASSERT_TRUE(copy);
    EXPECT_EQ(countOf(*copy, QStringLiteral("Customer")), 41);
}

TEST_F(BackupBundleTest, DamagedBundlesFailTheCheckWithAReason)
{
    addCompany(QStringLiteral("1111111111"), 2);
    using Damage = std::function<void(const ZTBackupBundle &)>;
    auto rewriteMetadata = [](const QString &key, const QVariant &value) {
        return [key, value](const ZTBackupBundle &b) {
            QVariantMap m = PropertyList::fromFile(b.metadataPath()).value.toMap();
            if (value.isValid())
                m.insert(key, value);
            else
                m.remove(key);
            ASSERT_TRUE(PropertyList::toFile(m, b.metadataPath()));
        };
    };
    const struct
    {
        const char *name;
        Damage damage;
        const char *reason;
    } cases[] = {
        {"one byte of the store changed",
         [](const ZTBackupBundle &b) {
             QFile f(b.backedupStorePath());
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.seek(f.size() / 2);
             char c = 0;
             f.getChar(&c);
             f.seek(f.size() / 2);
             f.putChar(char(c ^ 0x01));
         },
         "store copy does not match"},
        {"settings re-saved as a binary plist",
         [](const ZTBackupBundle &b) {
             const QVariant prefs = PropertyList::fromFile(b.backedupPrefsPath()).value;
             ASSERT_TRUE(PropertyList::toFile(prefs, b.backedupPrefsPath(), PropertyList::Format::Binary));
         },
         "settings file does not match"},
        {"metadata missing", [](const ZTBackupBundle &b) { QFile::remove(b.metadataPath()); }, "metadata"},
        {"metadata not a plist", [](const ZTBackupBundle &b) { writeFile(b.metadataPath(), "garbage"); }, "metadata"},
        {"store digest missing", rewriteMetadata(ZTBackupBundle::kStoreDataDigestKey, QVariant()), "digest"},
        {"NIP climbing out", rewriteMetadata(ZTBackupBundle::kNipKey, QStringLiteral("../1111111111")), "NIP"},
        {"NIP with a slash", rewriteMetadata(ZTBackupBundle::kNipKey, QStringLiteral("a/b")), "NIP"},
        {"NIP dot-dot", rewriteMetadata(ZTBackupBundle::kNipKey, QStringLiteral("..")), "NIP"},
        {"NIP empty", rewriteMetadata(ZTBackupBundle::kNipKey, QString()), "NIP"},
        {"NIP missing", rewriteMetadata(ZTBackupBundle::kNipKey, QVariant()), "NIP"},
        {"NIP a number", rewriteMetadata(ZTBackupBundle::kNipKey, qlonglong(1111111111)), "NIP"},
        {"a link inside the data copy",
         [](const ZTBackupBundle &b) {
             QFile::link(QStringLiteral("/etc/hostname"), QDir(b.backedupAppSupportPath()).filePath(QStringLiteral("x")));
         },
         "symbolic link"},
        // The link's target has the recorded digest: only refusing links catches it.
        {"settings file replaced by a link to its own bytes",
         [](const ZTBackupBundle &b) {
             const QString elsewhere = b.bundleParentFolder() + QStringLiteral("/elsewhere.plist");
             QFile::remove(elsewhere);
             ASSERT_TRUE(QFile::rename(b.backedupPrefsPath(), elsewhere));
             ASSERT_TRUE(QFile::link(elsewhere, b.backedupPrefsPath()));
         },
         "symbolic link"},
        {"store copy missing", [](const ZTBackupBundle &b) { QFile::remove(b.backedupStorePath()); }, "store copy is missing"},
    };
    int i = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = QDir(outDir).filePath(QString::number(i++));
        const QString path = writeBundle(QStringLiteral("1111111111"), folder);
        ASSERT_TRUE(consistent(path));
        c.damage(ZTBackupBundle(*controller, path));
        QString reason;
        EXPECT_FALSE(consistent(path, &reason));
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.reason))) << reason.toStdString();
    }
}

TEST_F(BackupBundleTest, FilesOutsideTheLayoutAreIgnored)
{
    addCompany(QStringLiteral("1111111111"), 1);
    const QString path = writeBundle(QStringLiteral("1111111111"));
    writeFile(QDir(path).filePath(QStringLiteral("README.txt")), "hello");
    writeFile(QDir(path).filePath(QStringLiteral("Prefs/other.plist")), "x");
    QString reason;
    EXPECT_TRUE(consistent(path, &reason)) << reason.toStdString();
}

TEST_F(BackupBundleTest, UnreadableFileFailsTheCheck)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    addCompany(QStringLiteral("1111111111"), 1);
    const QString path = writeBundle(QStringLiteral("1111111111"));
    const QString extra = QDir(path).filePath(QStringLiteral("AppSupport/notes.txt"));
    QFile::setPermissions(extra, QFileDevice::Permissions());
    EXPECT_FALSE(consistent(path));
    QFile::setPermissions(extra, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(BackupBundleTest, SecondBackupInTheSameSecondCollidesAndLeavesTheFirst)
{
    addCompany(QStringLiteral("1111111111"), 1);
    const QString first = writeBundle(QStringLiteral("1111111111"));
    const QByteArray metadata = readFile(ZTBackupBundle(*controller, first).metadataPath());

    addCustomers(QStringLiteral("1111111111"), 3);
    ZTBackupBundle second(*controller, outDir, QStringLiteral("1111111111"));
    Error error;
    EXPECT_FALSE(second.performBackup(error));
    EXPECT_EQ(error.domain(), Error::posixDomain());
    EXPECT_EQ(error.code(), 17);
    EXPECT_EQ(error.localizedDescription(), QStringLiteral("Plik o tej nazwie już istnieje"));
    EXPECT_EQ(second.fullBundlePath(), first);
    EXPECT_TRUE(consistent(first));
    EXPECT_EQ(readFile(ZTBackupBundle(*controller, first).metadataPath()), metadata);
}

TEST_F(BackupBundleTest, EarlierBackupsStoreCompanionsAndLinksAreLeftOutOfTheCopy)
{
    const QString nip = QStringLiteral("1111111111");
    addCompany(nip, 1);
    const QDir data(companyFolder(nip));
    writeFile(data.filePath(QStringLiteral("Backups/Backup-rOLD/x.txt")), "old");
    writeFile(data.filePath(QStringLiteral("backupOld.txt")), "old");
    writeFile(data.filePath(QStringLiteral("sub/BackupX/y.txt")), "old");
    writeFile(data.filePath(QStringLiteral("Backup")), "kept: nothing follows the name");
    writeFile(data.filePath(QStringLiteral("sub/kept.txt")), "kept");
    QFile::link(QStringLiteral("/etc"), data.filePath(QStringLiteral("etc-link")));

    ZTBackupBundle bundle(*controller, writeBundle(nip));
    const QDir copy(bundle.backedupAppSupportPath());
    QStringList found;
    QDirIterator it(copy.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(copy.relativeFilePath(it.next()));
    found.sort();
    EXPECT_EQ(found, (QStringList{QStringLiteral("Backup"), QStringLiteral("Tolvana.store"), QStringLiteral("notes.txt"),
                                  QStringLiteral("sub"), QStringLiteral("sub/kept.txt")}));
    EXPECT_TRUE(consistent(bundle.fullBundlePath()));
}

TEST_F(BackupBundleTest, FailedCopyRemovesTheHalfWrittenBundle)
{
    // A company with no store: the store copy cannot be made.
    QDir().mkpath(companyFolder(QStringLiteral("3333333333")));
    writeFile(QDir(companyFolder(QStringLiteral("3333333333"))).filePath(QStringLiteral("Tolvana.store")), "not sqlite");
    ZTBackupBundle bundle(*controller, outDir, QStringLiteral("3333333333"));
    Error error;
    EXPECT_FALSE(bundle.performBackup(error));
    EXPECT_TRUE(error);
    EXPECT_FALSE(QFileInfo::exists(bundle.fullBundlePath()));
    EXPECT_TRUE(log.filter(QStringLiteral("removing failed backup at: ")).size() == 1);
}

// ---------------------------------------------------------------- deploy

struct DeployCase
{
    const char *name;
    std::optional<ZTBackupBundle::DeployStep> failAt;
    bool blockStaging; // a file where the copy must go: a real file-system failure
    bool expectRestored;
};

TEST_F(BackupBundleTest, DeployLeavesEitherTheOldOrTheRestoredDataWhole)
{
    const QString nip = QStringLiteral("1111111111");
    addCompany(nip, 5, "restored");
    writeFile(QDir(companyFolder(nip)).filePath(QStringLiteral("Backups/Backup-r1/keep.txt")), "auto");
    const QString bundlePath = writeBundle(nip);
    const QByteArray restoredStore = readFile(ZTBackupBundle(*controller, bundlePath).backedupStorePath());

    using Step = ZTBackupBundle::DeployStep;
    const DeployCase cases[] = {
        {"no failure", std::nullopt, false, true},
        {"copy beside the folder", Step::StageCopy, false, false},
        {"copy into a path that is a file", std::nullopt, true, false},
        {"swap", Step::Swap, false, false},
        {"removing the replaced data", Step::RemoveReplaced, false, true},
        {"company settings", Step::CompanySettings, false, true},
    };
    for (const DeployCase &c : cases) {
        SCOPED_TRACE(c.name);
        // The live data moves on after the backup: two more customers, other notes.
        QDir(companyFolder(nip)).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(companyFolder(nip)));
        {
            QFile::copy(ZTBackupBundle(*controller, bundlePath).backedupStorePath(), storePath(nip));
        }
        addCustomers(nip, 2);
        writeFile(QDir(companyFolder(nip)).filePath(QStringLiteral("notes.txt")), "live");
        writeFile(QDir(companyFolder(nip)).filePath(QStringLiteral("Backups/Backup-r1/keep.txt")), "auto");
        const QString blocker = QDir(dataDir).filePath(QStringLiteral(".%1.restoring").arg(nip));
        if (c.blockStaging)
            writeFile(blocker, "in the way");

        ZTBackupBundle bundle(*controller, bundlePath);
        ASSERT_TRUE(bundle.bundleConsistent());
        if (c.failAt)
            bundle.setFailurePoint([&c](Step s) { return s == *c.failAt; });
        Error error;
        const bool ok = bundle.deploy(error);
        EXPECT_EQ(ok, !c.blockStaging && (!c.failAt || *c.failAt == Step::RemoveReplaced));
        QFile::remove(blocker);

        const QByteArray notes = readFile(QDir(companyFolder(nip)).filePath(QStringLiteral("notes.txt")));
        if (c.expectRestored) {
            EXPECT_EQ(notes, "restored");
            EXPECT_EQ(readFile(storePath(nip)), restoredStore);
            EXPECT_EQ(customers(nip), 5);
        } else {
            EXPECT_EQ(notes, "live");
            EXPECT_EQ(customers(nip), 7);
        }
        // The automatic backups of former releases stay with the company either way.
        EXPECT_EQ(readFile(QDir(companyFolder(nip)).filePath(QStringLiteral("Backups/Backup-r1/keep.txt"))), "auto");
        EXPECT_EQ(controller->knownCompanyNips(), QStringList{nip});
        if (c.failAt != Step::RemoveReplaced) {
            EXPECT_FALSE(QFileInfo::exists(QDir(dataDir).filePath(QStringLiteral(".%1.restoring").arg(nip))));
        } else {
            QDir(QDir(dataDir).filePath(QStringLiteral(".%1.restoring").arg(nip))).removeRecursively();
        }
    }
}

TEST_F(BackupBundleTest, DeployBringsBackTheCompanySettings)
{
    const QString nip = QStringLiteral("1111111111");
    addCompany(nip, 1);
    addCompany(QStringLiteral("2222222222"), 1);
    QVariantMap own = *defaults->settingsForNip(QStringLiteral("2222222222"));
    own.insert(QStringLiteral("ZTPrivateKeySellerName"), QStringLiteral("Przed"));
    defaults->saveSettings(own, QStringLiteral("2222222222"));
    const QString path = writeBundle(QStringLiteral("2222222222"));
    own.insert(QStringLiteral("ZTPrivateKeySellerName"), QStringLiteral("Po"));
    defaults->saveSettings(own, QStringLiteral("2222222222"));

    ZTBackupBundle bundle(*controller, path);
    ASSERT_TRUE(bundle.bundleConsistent());
    Error error;
    ASSERT_TRUE(bundle.deploy(error)) << error.localizedDescription().toStdString();
    EXPECT_EQ(defaults->settingsForNip(QStringLiteral("2222222222"))->value(QStringLiteral("ZTPrivateKeySellerName")),
              QStringLiteral("Przed"));
    EXPECT_EQ(defaults->settingsForNip(nip)->value(QStringLiteral("ZTSellerNip")), nip);
}

TEST(Sha1Test, MatchesKnownDigestsAndReportsUnreadableFiles)
{
    EXPECT_EQ(Sha1::ofData("abc").toHex(), "a9993e364706816aba3e25717850c26c9cd0d89d");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray block(3 * 1024 * 1024 + 17, 'a'); // more than one read block
    f.write(block);
    f.close();
    Error error;
    EXPECT_EQ(Sha1::ofFile(path, error), Sha1::ofData(block));
    EXPECT_FALSE(Sha1::ofFile(dir.filePath(QStringLiteral("missing")), error));
    EXPECT_EQ(error.domain(), Error::posixDomain());
    EXPECT_EQ(error.code(), ENOENT);
}

} // namespace
