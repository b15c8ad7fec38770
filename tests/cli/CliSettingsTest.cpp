#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "CliTestFixture.h"

#include <gtest/gtest.h>

namespace {

using CliSettings = CliTestFixture;

} // namespace

TEST_F(CliSettings, FactoryValuesUserValuesAndRemoval)
{
    CliRun r = cli({QStringLiteral("settings"), QStringLiteral("get"), QStringLiteral("ZTDefaultPaymentMethod")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.object().value(QStringLiteral("value")).toString(), QStringLiteral("Przelew"));

    r = cli({QStringLiteral("settings"), QStringLiteral("get"), QStringLiteral("ZTVatRates")});
    const QJsonArray rates = r.object().value(QStringLiteral("value")).toArray();
    ASSERT_FALSE(rates.isEmpty());
    EXPECT_EQ(rates.first().toObject().value(QStringLiteral("rate")).toString(), QStringLiteral("23%"));
    EXPECT_TRUE(rates.first().toObject().value(QStringLiteral("isDefault")).toBool());

    r = cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("ZTDueDateIntervalValue"),
             QStringLiteral("30")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.object().value(QStringLiteral("value")).toInt(), 30);
    ASSERT_TRUE(QFile::exists(settingsFile()));

    r = cli({QStringLiteral("settings"), QStringLiteral("get"), QStringLiteral("ZTDueDateIntervalValue")});
    EXPECT_EQ(r.object().value(QStringLiteral("value")).toInt(), 30);

    // null removes the user's value: the factory value shows again.
    r = cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("ZTDueDateIntervalValue"),
             QStringLiteral("null")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.object().value(QStringLiteral("value")).toInt(), 14);

    // Structured values and Polish text survive the file.
    r = cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("ZTUnitNames2"),
             QStringLiteral("[\"szt.\", \"usł.\"]")});
    ASSERT_EQ(r.exitCode, 0);
    r = cli({QStringLiteral("settings"), QStringLiteral("get"), QStringLiteral("ZTUnitNames2")});
    EXPECT_EQ(r.object().value(QStringLiteral("value")).toArray(),
              (QJsonArray{QStringLiteral("szt."), QStringLiteral("usł.")}));

    // A key nobody set reads as null.
    r = cli({QStringLiteral("settings"), QStringLiteral("get"), QStringLiteral("ZTNoSuchKey")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.object().value(QStringLiteral("value")).isNull());
}

TEST_F(CliSettings, FailuresAndBadUsage)
{
    CliRun r = cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("ZTPrintCopiesCount"),
                 QStringLiteral("{oops")});
    EXPECT_EQ(r.exitCode, 1);
    const QJsonObject error = r.object().value(QStringLiteral("error")).toObject();
    EXPECT_EQ(error.value(QStringLiteral("domain")).toString(), QStringLiteral("pl.tolvana.Tolvana.ErrorDomain"));
    ASSERT_EQ(error.value(QStringLiteral("messages")).toArray().size(), 1);
    EXPECT_FALSE(QFile::exists(settingsFile())) << "a refused value must not be written";

    for (const QStringList &bad : {QStringList{QStringLiteral("frobnicate")},
                                   QStringList{QStringLiteral("settings"), QStringLiteral("get")},
                                   QStringList{QStringLiteral("--now"), QStringLiteral("yesterday"),
                                               QStringLiteral("settings"), QStringLiteral("get"),
                                               QStringLiteral("X")},
                                   QStringList{}}) {
        r = cli(bad);
        EXPECT_EQ(r.exitCode, 2) << bad.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains("usage: tolvana-cli")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }

    r = cli({QStringLiteral("--version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.object().value(QStringLiteral("name")).toString(), QStringLiteral("Tolvana"));
}

TEST_F(CliSettings, UnreadableSettingsFileIsKeptAsideNotOverwritten)
{
    QDir().mkpath(configDir());
    QFile broken(settingsFile());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<?xml version=\"1.0\"?><plist><dict><key>ZTPrint");
    broken.close();

    CliRun r = cli({QStringLiteral("settings"), QStringLiteral("get"), QStringLiteral("ZTPrintOriginalsCount")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.object().value(QStringLiteral("value")).toInt(), 1); // the factory value

    const QStringList aside = QDir(configDir()).entryList(QDir::Files).filter(QStringLiteral("unreadable"));
    ASSERT_EQ(aside.size(), 1);
    QFile kept(QDir(configDir()).filePath(aside.first()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("<?xml version=\"1.0\"?><plist><dict><key>ZTPrint"));
}
