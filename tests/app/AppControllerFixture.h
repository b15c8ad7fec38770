#pragma once

#include "app/ZTAppController.h"
#include "app/ZTDefaultsManager.h"
#include "app/ZTFactoryDefaults.h"
#include "model/ZTStoreModel.h"
#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A data folder and a config folder of its own for every test; the clock fixed at
// 2026-03-10 10:00 Warsaw time.
class AppControllerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        dataDir = dir.filePath(QStringLiteral("data"));
        configDir = dir.filePath(QStringLiteral("config"));
        QDir().mkpath(dataDir);
        QDir().mkpath(configDir);
        qputenv("TOLVANA_DATA_DIR", dataDir.toLocal8Bit());
        qputenv("TOLVANA_CONFIG_DIR", configDir.toLocal8Bit());
        Clock::setFixedNow(localTime(2026, 3, 10, 10, 0));
        ZTLog::setSink([this](const QString &line) { log.append(line); });
        reopenSettings();
    }
    void TearDown() override
    {
        controller.reset();
        ZTLog::setSink({});
        Clock::reset();
        qunsetenv("TOLVANA_DATA_DIR");
        qunsetenv("TOLVANA_CONFIG_DIR");
    }

    static QDateTime localTime(int y, int m, int d, int h, int min)
    {
        return QDateTime(QDate(y, m, d), QTime(h, min), Qt::LocalTime);
    }

    // What the next launch reads: a fresh store over the same file.
    void reopenSettings()
    {
        controller.reset();
        defaults.reset();
        settings = std::make_unique<SettingsStore>(QDir(configDir).filePath(SettingsStore::fileName()));
        registerFactoryDefaults(*settings, factoryDefaultsPath());
        defaults = std::make_unique<ZTDefaultsManager>(*settings, factoryDefaultsPath());
    }

    // One launch of the program: a new controller over the settings as saved.
    ZTAppController &launch(const QString &nip = {})
    {
        reopenSettings();
        controller = std::make_unique<ZTAppController>(*settings, *defaults);
        controller->start(nip);
        return *controller;
    }

    QString storePath(const QString &nip) const
    {
        return QDir(dataDir).filePath((nip.isEmpty() ? QStringLiteral("_bez_NIP") : nip) +
                                      QStringLiteral("/Tolvana.store"));
    }

    // A context of its own over a store file, to prepare data or read back what was committed.
    static std::unique_ptr<ManagedObjectContext> openStore(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        Error error;
        auto context = ManagedObjectContext::open(path, ztStoreModel(), StoreOpenOptions(), error);
        EXPECT_TRUE(context) << error.localizedDescription().toStdString();
        return context;
    }

    static void save(ManagedObjectContext &context)
    {
        Error error;
        ASSERT_TRUE(context.save(error)) << error.localizedDescription().toStdString();
    }

    static qsizetype countOf(ManagedObjectContext &context, const QString &entity,
                             const Predicate &predicate = Predicate())
    {
        return context.count(FetchRequest(entity, predicate));
    }

    QTemporaryDir dir;
    QString dataDir;
    QString configDir;
    QStringList log;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ZTDefaultsManager> defaults;
    std::unique_ptr<ZTAppController> controller;
};
