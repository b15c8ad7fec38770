#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// What one run of tolvana-cli gave back.
struct CliRun
{
    int exitCode = -1;
    QJsonValue json; // the object or array printed on stdout
    QByteArray out;
    QByteArray err;

    QJsonObject object() const { return json.toObject(); }
    QString firstMessage() const { return json[QStringLiteral("error")][QStringLiteral("messages")][0].toString(); }
};

// Runs tolvana-cli with a private data folder and config folder per test.
class CliTestFixture : public ::testing::Test
{
protected:
    QTemporaryDir dir;

    QString dataDir() const { return dir.filePath(QStringLiteral("data")); }
    QString configDir() const { return dir.filePath(QStringLiteral("config")); }
    QString settingsFile() const { return configDir() + QStringLiteral("/pl.tolvana.Tolvana.plist"); }

    CliRun cli(QStringList args) const
    {
        args = QStringList{QStringLiteral("--data-dir"), dataDir(), QStringLiteral("--config-dir"), configDir()} + args;
        QProcess p;
        p.start(QStringLiteral(TOLVANA_CLI_PATH), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        CliRun r;
        r.exitCode = p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        const QJsonDocument doc = QJsonDocument::fromJson(r.out);
        r.json = doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
        return r;
    }

    // Completes the active company's default seller template (name, address, place of issue),
    // so that its new documents can be issued.
    void completeDefaultSeller() const
    {
        const CliRun sellers = cli({QStringLiteral("seller"), QStringLiteral("list")});
        ASSERT_EQ(sellers.exitCode, 0) << sellers.out.toStdString();
        const QString ref = sellers.json[0][QStringLiteral("ref")].toString();
        ASSERT_FALSE(ref.isEmpty()) << sellers.out.toStdString();
        const QString path = dir.filePath(QStringLiteral("seller.json"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"name": "Moja Firma", "address": "ul. Krótka 3\n31-001 Kraków", "issuesIn": "Kraków"})");
        file.close();
        const CliRun set = cli({QStringLiteral("seller"), QStringLiteral("set"), ref, QStringLiteral("--json"), path});
        ASSERT_EQ(set.exitCode, 0) << set.out.toStdString();
    }
};
