#pragma once

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
};
