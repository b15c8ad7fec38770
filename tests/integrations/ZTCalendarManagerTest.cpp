#include "CalendarTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QSemaphore>
#include <QThread>

namespace {

using ZTCalendarManagerTest = ZTCalendarTest;

TEST_F(ZTCalendarManagerTest, EachKindFollowsItsSettingAndCorrectiveInvoicesNever)
{
    const struct
    {
        int kind;
        const char16_t *prefix; // null: never an event
    } kinds[] = {
        {1, u"Termin płatności faktury"},
        {2, u"Termin płatności faktury pro forma"},
        {16, u"Termin płatności rachunku"},
        {32, u"Termin płatności faktury zaliczkowej"},
        {64, u"Termin płatności faktury VAT marża"},
        {128, u"Termin płatności faktury uproszczonej"},
        {4, nullptr},
    };
    for (const auto &c : kinds) {
        SCOPED_TRACE(c.kind);
        const QString number = QStringLiteral("D/%1/2024").arg(c.kind);

        // Switched off: no event.
        const QString key = ZTCalendarManager::eventsSettingKeyForDocumentKind(c.kind);
        if (!key.isNull())
            settings->setValue(key, false);
        ZTDocument *off = numbered(c.kind, number);
        manager->createEventWithDocument(off);
        EXPECT_TRUE(off->documentDueCalendarEventUid().isEmpty());

        // Switched on (a corrective invoice has no setting at all).
        if (!key.isNull())
            settings->setValue(key, true);
        ZTDocument *on = numbered(c.kind, number);
        log.clear();
        manager->createEventWithDocument(on);
        if (!c.prefix) {
            EXPECT_TRUE(on->documentDueCalendarEventUid().isEmpty());
            EXPECT_TRUE(log.join(QLatin1Char('\n')).contains(QStringLiteral("can't create event for unknown document type")));
            continue;
        }
        ASSERT_FALSE(on->documentDueCalendarEventUid().isEmpty());
        const std::optional<CalendarEvent> event = manager->eventStore().eventWithIdentifier(on->documentDueCalendarEventUid());
        ASSERT_TRUE(event);
        EXPECT_EQ(event->title, QString::fromUtf16(c.prefix) + QLatin1Char(' ') + number);
    }
    EXPECT_EQ(events().size(), 6);
    EXPECT_TRUE(presented.isEmpty());
}

TEST_F(ZTCalendarManagerTest, WithoutAChosenCalendarNothingIsMade)
{
    settings->removeValue(ZTCalendarManager::kCalendarKey);
    ZTDocument *bill = numbered(ZTDocument::kKindBill, QStringLiteral("R/1/2024"));
    EXPECT_TRUE(settings->boolValue(QStringLiteral("ZTCalendarEventsForBills")));
    EXPECT_FALSE(manager->createEventsforBills());
    manager->createEventWithDocument(bill);
    EXPECT_TRUE(bill->documentDueCalendarEventUid().isEmpty());

    // A chosen calendar that is gone counts as none, without an error.
    settings->setValue(ZTCalendarManager::kCalendarKey, QStringLiteral("Usunięty"));
    EXPECT_TRUE(manager->createEventsforBills());
    manager->createEventWithDocument(bill);
    EXPECT_TRUE(bill->documentDueCalendarEventUid().isEmpty());
    EXPECT_TRUE(events().isEmpty());
    EXPECT_TRUE(presented.isEmpty());
}

TEST_F(ZTCalendarManagerTest, TheEventIsAllDayOnTheDueDateWithNotesAndLink)
{
    ZTDocument *invoice = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/12/2024"), QStringLiteral("biuro@acme.pl"));
    manager->createEventWithDocument(invoice);
    const std::optional<CalendarEvent> event = manager->eventStore().eventWithIdentifier(invoice->documentDueCalendarEventUid());
    ASSERT_TRUE(event);
    EXPECT_EQ(event->calendarIdentifier, QStringLiteral("Firma"));
    EXPECT_EQ(event->title, QStringLiteral("Termin płatności faktury FV/12/2024"));
    EXPECT_TRUE(event->allDay);
    EXPECT_EQ(event->start.date(), QDate(2024, 5, 31));
    EXPECT_EQ(event->end.date(), QDate(2024, 5, 31));
    EXPECT_EQ(event->notes, QStringLiteral("Dokument wystawiony dla: ACME\nbiuro@acme.pl"));
    EXPECT_EQ(event->url, QStringLiteral("faktura://FV/12/2024"));

    // No e-mail address: one line. A blank in the number: no link, the event all the same.
    ZTDocument *plain = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV 13/2024"));
    manager->createEventWithDocument(plain);
    const std::optional<CalendarEvent> second = manager->eventStore().eventWithIdentifier(plain->documentDueCalendarEventUid());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->notes, QStringLiteral("Dokument wystawiony dla: ACME"));
    EXPECT_TRUE(second->url.isEmpty());
    EXPECT_EQ(second->title, QStringLiteral("Termin płatności faktury FV 13/2024"));

    EXPECT_EQ(ZTCalendarManager::eventNotesWithPurchaser(nullptr), QStringLiteral("Dokument wystawiony dla: "));
}

TEST_F(ZTCalendarManagerTest, PaidRemovesTheEventAndUnpaidMakesANewOne)
{
    QObject owner;
    ZTDocument *invoice = issuedInvoice(QStringLiteral("FV/1/2024"));
    manager->updateCalendarEventForIssuedDocument(&owner, invoice);
    ASSERT_TRUE(manager->waitForAccessAnswers());
    const QString first = invoice->documentDueCalendarEventUid();
    ASSERT_FALSE(first.isEmpty());
    ASSERT_EQ(events().size(), 1);

    invoice->markPaid();
    manager->updateCalendarEventsForDocuments(&owner, {invoice}, true);
    ASSERT_TRUE(manager->waitForAccessAnswers());
    EXPECT_TRUE(events().isEmpty());
    EXPECT_EQ(invoice->documentDueCalendarEventUid(), first); // left as it was

    invoice->unmarkPaid();
    manager->updateCalendarEventsForDocuments(&owner, {invoice}, false);
    ASSERT_TRUE(manager->waitForAccessAnswers());
    const QString second = invoice->documentDueCalendarEventUid();
    EXPECT_NE(second, first);
    ASSERT_EQ(events().size(), 1);
    EXPECT_EQ(events().first().identifier, second);

    // Marked unpaid again (no removal first): the event is replaced, not doubled.
    manager->updateCalendarEventsForDocuments(&owner, {invoice}, false);
    ASSERT_TRUE(manager->waitForAccessAnswers());
    ASSERT_EQ(events().size(), 1);
    EXPECT_EQ(events().first().identifier, invoice->documentDueCalendarEventUid());
    EXPECT_NE(invoice->documentDueCalendarEventUid(), second);
    EXPECT_TRUE(presented.isEmpty());
}

TEST_F(ZTCalendarManagerTest, IssuingAgainReplacesTheEventAndDeletingRemovesIt)
{
    QObject owner;
    ZTDocument *invoice = issuedInvoice(QStringLiteral("FV/1/2024"));
    manager->updateCalendarEventForIssuedDocument(&owner, invoice);
    ASSERT_TRUE(manager->waitForAccessAnswers());
    const QString first = invoice->documentDueCalendarEventUid();
    invoice->setDueDate(QDateTime(QDate(2024, 6, 14), QTime(12, 0)));
    manager->updateCalendarEventForIssuedDocument(&owner, invoice);
    ASSERT_TRUE(manager->waitForAccessAnswers());
    ASSERT_EQ(events().size(), 1);
    EXPECT_NE(invoice->documentDueCalendarEventUid(), first);
    EXPECT_EQ(events().first().start.date(), QDate(2024, 6, 14));
    save();

    // The identifier is read when the deletion is asked for; the answer comes after the delete.
    manager->removeCalendarEventsForDocuments(&owner, {invoice});
    invoice->deleteDocument();
    save();
    ASSERT_TRUE(manager->waitForAccessAnswers());
    EXPECT_TRUE(events().isEmpty());
}

TEST_F(ZTCalendarManagerTest, WithoutAccessNothingHappensAndNothingIsShown)
{
    const QString plainFile = m_calendarDir.filePath(QStringLiteral("not-a-folder"));
    {
        QFile file(plainFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    std::unique_ptr<ZTCalendarManager> denied = makeManager(plainFile);
    EXPECT_EQ(denied->authStatus(), CalendarStore::AuthorizationStatus::Denied);
    QObject owner;
    ZTDocument *invoice = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/1/2024"));
    invoice->setDocumentDueCalendarEventUid(QStringLiteral("earlier"));
    denied->updateCalendarEventForIssuedDocument(&owner, invoice);
    denied->updateCalendarEventsForDocuments(&owner, {invoice}, false);
    bool ran = false;
    denied->whenAccessGranted(&owner, [&ran] { ran = true; });
    ASSERT_TRUE(denied->waitForAccessAnswers());
    EXPECT_FALSE(ran);
    EXPECT_EQ(invoice->documentDueCalendarEventUid(), QStringLiteral("earlier"));
    EXPECT_TRUE(presented.isEmpty());
}

TEST_F(ZTCalendarManagerTest, TheAnswerIsHandedToTheMainThreadUnlessTheOwnerIsGone)
{
    QThread *answeredOn = nullptr;
    QSemaphore answered;
    manager->requestAccessWithCompletion([&](bool, const Error &) {
        answeredOn = QThread::currentThread();
        answered.release();
    });

    QThread *workedOn = nullptr;
    QObject owner;
    manager->whenAccessGranted(&owner, [&] { workedOn = QThread::currentThread(); });
    bool ranForGoneOwner = false;
    auto *gone = new QObject;
    manager->whenAccessGranted(gone, [&] { ranForGoneOwner = true; });
    delete gone;
    EXPECT_EQ(manager->pendingAccessRequests(), 2);
    EXPECT_EQ(workedOn, nullptr); // nothing before the event loop hands the answer over

    ASSERT_TRUE(manager->waitForAccessAnswers());
    EXPECT_EQ(manager->pendingAccessRequests(), 0);
    EXPECT_EQ(workedOn, QThread::currentThread());
    EXPECT_FALSE(ranForGoneOwner);
    ASSERT_TRUE(answered.tryAcquire(1, 10000));
    EXPECT_NE(answeredOn, QThread::currentThread());
}

TEST_F(ZTCalendarManagerTest, AFailedSaveIsPresentedAndTheDocumentKeepsItsIdentifier)
{
    ZTDocument *undated = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/1/2024"));
    undated->setDueDate(QDateTime());
    undated->setDocumentDueCalendarEventUid(QStringLiteral("earlier"));
    manager->createEventWithDocument(undated);
    ASSERT_EQ(presented.size(), 1);
    EXPECT_FALSE(presented.first().localizedDescription().isEmpty());
    EXPECT_EQ(undated->documentDueCalendarEventUid(), QStringLiteral("earlier"));
    EXPECT_TRUE(events().isEmpty());
}

} // namespace
