#pragma once

#include "../app/AppControllerFixture.h"

#include "backup/ZTBackupBundle.h"
#include "backup/ZTBackupController.h"
#include "platform/NamedException.h"
#include "platform/PropertyList.h"

#include <QFile>
#include <QThread>

// Companies with data in a private application folder, a private temporary folder for the
// restore marker and a folder for bundles.
class BackupFixture : public AppControllerFixture
{
protected:
    void SetUp() override
    {
        AppControllerFixture::SetUp();
        tmpDir = dir.filePath(QStringLiteral("tmp"));
        outDir = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(tmpDir);
        QDir().mkpath(outDir);
        qputenv("TMPDIR", tmpDir.toLocal8Bit());
        launch();
        controller->setErrorPresenter([this](const Error &e) { presented.append(e); });
    }
    void TearDown() override
    {
        qunsetenv("TMPDIR");
        AppControllerFixture::TearDown();
    }

    QString companyFolder(const QString &nip) const { return QDir(dataDir).filePath(nip); }

    // A company whose store holds `customers` customers and whose data folder holds notes.txt.
    void addCompany(const QString &nip, int customers, const QByteArray &notes = "notes")
    {
        Error error;
        ASSERT_TRUE(controller->addCompany(nip, error)) << error.localizedDescription().toStdString();
        addCustomers(nip, customers);
        writeFile(QDir(companyFolder(nip)).filePath(QStringLiteral("notes.txt")), notes);
    }
    void addCustomers(const QString &nip, int customers)
    {
        auto context = openStore(storePath(nip));
        for (int i = 0; i < customers; ++i)
            context->insertNewObject(QStringLiteral("Customer"))->setValue(QStringLiteral("name"), QStringLiteral("c%1").arg(i));
        save(*context);
    }
    qsizetype customers(const QString &nip)
    {
        auto context = openStore(storePath(nip));
        return context ? countOf(*context, QStringLiteral("Customer")) : -1;
    }

    QString writeBundle(const QString &nip, const QString &folder = {})
    {
        ZTBackupBundle bundle(*controller, folder.isEmpty() ? outDir : folder, nip);
        Error error;
        EXPECT_TRUE(bundle.performBackup(error)) << error.localizedDescription().toStdString();
        return bundle.fullBundlePath();
    }

    bool consistent(const QString &bundlePath, QString *reason = nullptr)
    {
        ZTBackupBundle bundle(*controller, bundlePath);
        return bundle.bundleConsistent(reason);
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString tmpDir;
    QString outDir;
    QList<Error> presented;
};
