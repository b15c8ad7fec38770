#pragma once

#include "app/ZTFactoryDefaults.h"
#include "model/ZTStoreModel.h"
#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

// A company store of the real model in a temporary folder, the process-wide settings pointed at
// a temporary config folder with the factory values registered, and a fixed "now".
class ZTEntityTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir configDir;
        // Only the first suite to get here can point the settings; later ones find them set.
        SettingsStore::useConfigDirectory(configDir.path());
        registerFactoryDefaults(SettingsStore::standard());
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Tolvana.sqlite"));
        Clock::setFixedNow(kNow);
        reopen();
    }

    void TearDown() override
    {
        m_context.reset();
        Clock::reset();
    }

    void reopen()
    {
        m_context.reset();
        Error error;
        m_context = ManagedObjectContext::open(m_path, ztStoreModel(), {}, error);
        ASSERT_TRUE(m_context) << error.localizedDescription().toStdString();
    }

    void save()
    {
        Error error;
        ASSERT_TRUE(m_context->save(error)) << error.messages().join(QStringLiteral("; ")).toStdString();
    }

    template <class T> T *insert(const QString &entity)
    {
        T *object = m_context->insertNewObject<T>(entity);
        EXPECT_NE(object, nullptr) << entity.toStdString();
        return object;
    }

    template <class T> QList<T *> fetchAll(const QString &entity)
    {
        return m_context->fetchAs<T>(FetchRequest(entity));
    }

    template <class T> T *fetchOne(const QString &entity)
    {
        const QList<T *> all = fetchAll<T>(entity);
        EXPECT_EQ(all.size(), 1) << entity.toStdString();
        return all.isEmpty() ? nullptr : all.first();
    }

    static inline const QDateTime kNow{QDate(2024, 5, 17), QTime(9, 30),
                                       QTimeZone(QByteArrayLiteral("Europe/Warsaw"))};

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<ManagedObjectContext> m_context;
};
