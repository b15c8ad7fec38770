#include "CliTestFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class CliBackupTest : public CliTestFixture
{
protected:
    void SetUp() override
    {
        // The restore marker lives in the temporary folder, which the child process inherits.
        tmp = dir.filePath(QStringLiteral("tmp"));
        QDir().mkpath(tmp);
        qputenv("TMPDIR", tmp.toLocal8Bit());
    }
    void TearDown() override { qunsetenv("TMPDIR"); }

    QString notesPath(const QString &nip) const { return dataDir() + QLatin1Char('/') + nip + QStringLiteral("/notes.txt"); }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString tmp;
};

TEST_F(CliBackupTest, BackupVerifyAndRestore)
{
    for (const QString &nip : {QStringLiteral("1111111111"), QStringLiteral("2222222222")}) {
        ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), nip}).exitCode, 0);
        write(notesPath(nip), "backed up");
    }
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliRun backup = cli({QStringLiteral("backup"), QStringLiteral("--to"), out});
    ASSERT_EQ(backup.exitCode, 0) << backup.out.toStdString() << backup.err.toStdString();
    const QJsonArray bundles = backup.object()[QStringLiteral("bundles")].toArray();
    ASSERT_EQ(bundles.size(), 2);
    for (const QJsonValue &b : bundles) {
        EXPECT_TRUE(QFileInfo(b.toString()).isDir());
        EXPECT_TRUE(b.toString().endsWith(QStringLiteral(".tolvana-backup")));
    }
    const QString first = bundles[0].toString();
    const QString nip = QFileInfo(first).fileName().section(QLatin1Char(' '), 1, 1);

    const CliRun verified = cli({QStringLiteral("backup"), QStringLiteral("verify"), first});
    EXPECT_EQ(verified.exitCode, 0);
    EXPECT_TRUE(verified.object()[QStringLiteral("consistent")].toBool());
    EXPECT_EQ(verified.object()[QStringLiteral("nip")].toString(), nip);

    write(notesPath(nip), "changed later");
    const CliRun restored = cli({QStringLiteral("restore"), first});
    ASSERT_EQ(restored.exitCode, 0) << restored.out.toStdString();
    EXPECT_EQ(restored.object()[QStringLiteral("restored")].toString(), nip);
    EXPECT_EQ(read(notesPath(nip)), "backed up");
    EXPECT_EQ(restored.object()[QStringLiteral("safetyBackups")].toArray().size(), 2);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("Tolvana.old"))).isDir());
    EXPECT_FALSE(QFileInfo::exists(tmp + QStringLiteral("/tolvana-restore-from.tmp")));
}

TEST_F(CliBackupTest, DamagedBundleIsReportedAndNeverRestored)
{
    ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("1111111111")}).exitCode, 0);
    write(notesPath(QStringLiteral("1111111111")), "live");
    const QString out = dir.filePath(QStringLiteral("out"));
    const CliRun backup = cli({QStringLiteral("backup"), QStringLiteral("--to"), out});
    const QString bundle = backup.object()[QStringLiteral("bundles")].toArray()[0].toString();
    write(bundle + QStringLiteral("/Prefs/pl.tolvana.Tolvana.plist"), "<plist/>");

    const CliRun verified = cli({QStringLiteral("backup"), QStringLiteral("verify"), bundle});
    EXPECT_EQ(verified.exitCode, 1);
    EXPECT_EQ(verified.json[QStringLiteral("error")][QStringLiteral("code")].toInt(), 2);
    EXPECT_TRUE(verified.firstMessage().contains(QStringLiteral("settings file does not match"))) << verified.out.toStdString();

    write(notesPath(QStringLiteral("1111111111")), "after");
    const CliRun restored = cli({QStringLiteral("restore"), bundle});
    EXPECT_EQ(restored.exitCode, 1);
    EXPECT_EQ(restored.firstMessage(), QStringLiteral("Kopia zapasowa wygląda na uszkodzoną, dane nie zostaną odtworzone."));
    EXPECT_EQ(read(notesPath(QStringLiteral("1111111111"))), "after");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Tolvana.old"))));

    EXPECT_EQ(cli({QStringLiteral("backup")}).exitCode, 2);
}

} // namespace
