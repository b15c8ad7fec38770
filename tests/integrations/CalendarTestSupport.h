#pragma once

#include "../model/DocumentTestSupport.h"

#include "app/ZTFactoryDefaults.h"
#include "integrations/ZTCalendarManager.h"
#include "model/ZTDocument.h"
#include "model/ZTPurchaser.h"
#include "platform/CalendarStore.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

// Documents of the real model, a calendar manager over a calendar root and settings of its own,
// with the calendar "Firma" chosen and every kind's events switched on.
class ZTCalendarTest : public ZTDocumentTest
{
protected:
    void SetUp() override
    {
        ZTDocumentTest::SetUp();
        ASSERT_TRUE(m_calendarDir.isValid());
        ZTLog::setSink([this](const QString &line) { log.append(line); });
        settings = std::make_unique<SettingsStore>(m_calendarDir.filePath(QStringLiteral("settings.plist")));
        registerFactoryDefaults(*settings);
        manager = makeManager(root());
        Error error;
        ASSERT_TRUE(manager->eventStore().createCalendar(QStringLiteral("Firma"), QStringLiteral("#1E88E5"), error));
        settings->setValue(ZTCalendarManager::kCalendarKey, QStringLiteral("Firma"));
        for (int kind : {1, 2, 16, 32, 64, 128})
            settings->setValue(ZTCalendarManager::eventsSettingKeyForDocumentKind(kind), true);
    }

    void TearDown() override
    {
        manager.reset();
        ZTLog::setSink({});
        ZTDocumentTest::TearDown();
    }

    QString root() const { return m_calendarDir.filePath(QStringLiteral("Calendars")); }

    std::unique_ptr<ZTCalendarManager> makeManager(const QString &calendarRoot)
    {
        auto made = std::make_unique<ZTCalendarManager>(*settings, std::make_unique<CalendarStore>(calendarRoot));
        made->setErrorPresenter([this](const Error &error) { presented.append(error); });
        return made;
    }

    // A document of the kind with its number, due on 31 May 2024.
    ZTDocument *numbered(int kind, const QString &number, const QString &email = QString())
    {
        ZTDocument *document = draft(kind);
        document->setDocumentID(number);
        document->setDueDate(QDateTime(QDate(2024, 5, 31), QTime(12, 0)));
        document->purchaser()->setEmail(email);
        return document;
    }

    // An invoice with a line, issued under the number.
    ZTDocument *issuedInvoice(const QString &number)
    {
        ZTDocument *document = numbered(ZTDocument::kKindInvoice, QString());
        addLine(document, QStringLiteral("Usługa"), QStringLiteral("100"));
        return issued(document, number);
    }

    QList<CalendarEvent> events() const { return manager->eventStore().events(QStringLiteral("Firma")); }

    QTemporaryDir m_calendarDir; // first, so that it goes last
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<ZTCalendarManager> manager;
    QList<Error> presented;
    QStringList log;
};
