#include "CalendarTestSupport.h"

#include "integrations/ZTCalendarPreferencesController.h"
#include "numbering/ZTDocumentSmartSequencer.h"

namespace {

class ZTCalendarPreferencesTest : public ZTCalendarTest
{
protected:
    void SetUp() override
    {
        ZTCalendarTest::SetUp();
        Error error;
        ASSERT_TRUE(manager->eventStore().createCalendar(QStringLiteral("Domowy"), QStringLiteral("#43A047"), error));
        ZTDocumentSmartSequencer::createWithFormat(*m_context, QStringLiteral("FV/%n/%Y"), QStringLiteral("Faktury"),
                                                   ZTDocument::kKindInvoice, false);
        ZTDocumentSmartSequencer::createWithFormat(*m_context, QStringLiteral("R/%n"), QStringLiteral("Rachunki"),
                                                   ZTDocument::kKindBill, false);
        save();
        pane = std::make_unique<ZTCalendarPreferencesController>(*manager, *settings,
                                                                 [this] { return m_context.get(); });
    }

    void TearDown() override
    {
        pane.reset();
        ZTCalendarTest::TearDown();
    }

    void awake()
    {
        pane->awakeFromNib();
        ASSERT_TRUE(manager->waitForAccessAnswers());
    }

    // The row of a calendar in the table.
    int rowOf(const QString &identifier) const
    {
        for (qsizetype row = 0; row < pane->calendarRows().size(); ++row) {
            if (pane->calendarRows().at(row).calendar.identifier == identifier)
                return int(row);
        }
        return -1;
    }

    std::unique_ptr<ZTCalendarPreferencesController> pane;
};

TEST_F(ZTCalendarPreferencesTest, LoadingShowsTheCalendarsTheChoiceAndTheKinds)
{
    settings->setValue(QStringLiteral("ZTCalendarEventsForProformaDocuments"), false);
    awake();
    ASSERT_EQ(pane->calendarRows().size(), 2);
    const int firma = rowOf(QStringLiteral("Firma"));
    ASSERT_GE(firma, 0);
    EXPECT_EQ(pane->calendarRows().at(firma).text, QStringLiteral("⚑ Firma"));
    EXPECT_EQ(pane->calendarRows().at(firma).flagColor, QStringLiteral("#1E88E5"));
    EXPECT_EQ(pane->selectedRows(), QList<int>{firma});
    EXPECT_TRUE(pane->fieldsEnabled());
    EXPECT_TRUE(pane->isCheckboxChecked(ZTDocument::kKindInvoice));
    EXPECT_FALSE(pane->isCheckboxChecked(ZTDocument::kKindProForma));
    EXPECT_TRUE(pane->isCheckboxChecked(ZTDocument::kKindBill));

    // The examples: the prefix and the next number of the kind's first numbering scheme.
    EXPECT_EQ(pane->exampleLabel(ZTDocument::kKindInvoice), QStringLiteral("Termin płatności faktury FV/1/2024"));
    EXPECT_EQ(pane->exampleLabel(ZTDocument::kKindBill), QStringLiteral("Termin płatności rachunku R/1"));
    EXPECT_EQ(pane->prefixText(ZTDocument::kKindBill), QStringLiteral("Termin płatności rachunku"));
}

TEST_F(ZTCalendarPreferencesTest, WithoutAChosenCalendarTheFieldsAreDisabledAndTicksRefused)
{
    settings->removeValue(ZTCalendarManager::kCalendarKey);
    awake();
    EXPECT_EQ(pane->calendarRows().size(), 2);
    EXPECT_TRUE(pane->selectedRows().isEmpty());
    EXPECT_FALSE(pane->fieldsEnabled());
    EXPECT_FALSE(pane->isCheckboxChecked(ZTDocument::kKindInvoice));

    settings->setValue(QStringLiteral("ZTCalendarEventsForBills"), true);
    pane->toggleCheckbox(ZTDocument::kKindBill, true);
    EXPECT_FALSE(pane->isCheckboxChecked(ZTDocument::kKindBill));
    EXPECT_FALSE(settings->boolValue(QStringLiteral("ZTCalendarEventsForBills")));
}

TEST_F(ZTCalendarPreferencesTest, SelectingOneCalendarChoosesItAnyOtherSelectionNone)
{
    awake();
    const int domowy = rowOf(QStringLiteral("Domowy"));
    pane->tableViewSelectionDidChange({domowy});
    EXPECT_EQ(settings->stringValue(ZTCalendarManager::kCalendarKey), QStringLiteral("Domowy"));
    EXPECT_TRUE(pane->fieldsEnabled());
    pane->toggleCheckbox(ZTDocument::kKindMarginInvoice, false);
    EXPECT_FALSE(settings->boolValue(QStringLiteral("ZTCalendarEventsForMarginDocuments")));
    pane->toggleCheckbox(ZTDocument::kKindMarginInvoice, true);
    EXPECT_TRUE(settings->boolValue(QStringLiteral("ZTCalendarEventsForMarginDocuments")));

    for (const QList<int> &selection : {QList<int>{}, QList<int>{0, 1}}) {
        pane->tableViewSelectionDidChange(selection);
        EXPECT_FALSE(settings->contains(ZTCalendarManager::kCalendarKey));
        EXPECT_FALSE(pane->fieldsEnabled());
        pane->toggleCheckbox(ZTDocument::kKindSimplifiedInvoice, true);
        EXPECT_FALSE(pane->isCheckboxChecked(ZTDocument::kKindSimplifiedInvoice));
    }
    // What the pane chose is what the manager reads: no calendar, no events.
    EXPECT_FALSE(manager->createEventsForMarginDocuments());
}

TEST_F(ZTCalendarPreferencesTest, EditingAPrefixShowsAndStoresItAnEmptyFieldItsPlaceholder)
{
    awake();
    for (int kind : ZTCalendarPreferencesController::documentKinds()) {
        SCOPED_TRACE(kind);
        const QString key = ZTCalendarManager::labelPrefixKeyForDocumentKind(kind);
        pane->controlTextDidChange(kind, QStringLiteral("Zapłać"));
        EXPECT_EQ(settings->stringValue(key), QStringLiteral("Zapłać"));
        EXPECT_EQ(pane->exampleLabel(kind), QStringLiteral("Zapłać ") + pane->nextDocumentIDFor(kind));

        pane->controlTextDidChange(kind, QString());
        EXPECT_FALSE(pane->placeholder(kind).isEmpty());
        EXPECT_EQ(settings->stringValue(key), pane->placeholder(kind));
        EXPECT_TRUE(pane->prefixText(kind).isEmpty());
        EXPECT_EQ(pane->exampleLabel(kind), pane->placeholder(kind) + QLatin1Char(' ') + pane->nextDocumentIDFor(kind));
    }
    // The stored prefix titles the next event.
    pane->controlTextDidChange(ZTDocument::kKindInvoice, QStringLiteral("Zapłać"));
    ZTDocument *invoice = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/7/2024"));
    manager->createEventWithDocument(invoice);
    ASSERT_EQ(events().size(), 1);
    EXPECT_EQ(events().first().title, QStringLiteral("Zapłać FV/7/2024"));
}

TEST_F(ZTCalendarPreferencesTest, WithoutAStoreTheExampleNumberIsTheFixedOne)
{
    ZTCalendarPreferencesController detached(*manager, *settings, [] { return nullptr; });
    EXPECT_EQ(detached.nextDocumentIDFor(ZTDocument::kKindInvoice), QStringLiteral("DOK/03/2009"));
    detached.loadLabels();
    EXPECT_EQ(detached.exampleLabel(ZTDocument::kKindProForma), QStringLiteral("Termin płatności faktury pro forma DOK/03/2009"));
}

} // namespace
