#pragma once

#include "DocumentTestSupport.h"

#include "app/ZTAppController.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QTemporaryDir>

// Documents issued without the issue checks (they are not what these tests are about), with the
// application folder and the active company pointed at a temporary folder for pictures.
class ZTPartiesTest : public ZTDocumentTest
{
protected:
    static inline const QString kNip = QStringLiteral("5260250274");

    struct UncheckedIssue : ZTDocument::IssueHooks
    {
        bool validateForIssue(ZTDocument &, Error &) override { return true; }
    };

    void SetUp() override
    {
        ZTDocumentTest::SetUp();
        ASSERT_TRUE(m_dataDir.isValid());
        m_previousDataDir = qgetenv("TOLVANA_DATA_DIR");
        qputenv("TOLVANA_DATA_DIR", m_dataDir.path().toUtf8());
        setSetting(ZTAppController::kActiveCompanyNipKey, kNip);
        ZTDocument::setIssueHooks(std::make_shared<UncheckedIssue>());
    }

    void TearDown() override
    {
        for (const QString &key : m_touchedSettings)
            SettingsStore::standard().removeValue(key);
        if (m_previousDataDir.isNull())
            qunsetenv("TOLVANA_DATA_DIR");
        else
            qputenv("TOLVANA_DATA_DIR", m_previousDataDir);
        ZTDocumentTest::TearDown();
    }

    // A user value for this test only.
    void setSetting(const QString &key, const QVariant &value)
    {
        SettingsStore::standard().setValue(key, value);
        if (!m_touchedSettings.contains(key))
            m_touchedSettings.append(key);
    }

    QString companyFolder() const { return QDir(m_dataDir.path()).filePath(kNip); }

    QTemporaryDir m_dataDir;
    QByteArray m_previousDataDir;
    QStringList m_touchedSettings;
};
