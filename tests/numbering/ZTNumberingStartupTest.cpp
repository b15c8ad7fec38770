// The numbering steps of start-up on data of older versions: the repair of missing dates, the
// clean-up of simple sequencers, their one-time import and a sequencer for every kind.
#include "../model/ZTEntityTestFixture.h"

#include "model/ZTDocument.h"
#include "numbering/ZTDocumentIDSequencer.h"
#include "numbering/ZTDocumentIDSequencerManager.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "numbering/ZTNumberingManager.h"

namespace {

QDateTime on(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(10, 0), QTimeZone(QByteArrayLiteral("Europe/Warsaw")));
}

} // namespace

class ZTNumberingStartupTest : public ZTEntityTest
{
protected:
    ZTDocumentIDSequencer *legacy(int kind, const QString &name, const QString &format, int lastValue,
                                  const QDateTime &lastDateIssued, int position, bool archived = false)
    {
        auto *s = insert<ZTDocumentIDSequencer>(QStringLiteral("DocumentIDSequencer"));
        s->setDocumentKind(kind);
        s->setName(name);
        s->setFormat(format);
        s->setLastValue(lastValue);
        s->setLastDateIssued(lastDateIssued);
        s->setPosition(position);
        s->setArchived(archived);
        return s;
    }

    ZTDocument *numberedBy(ZTDocumentIDSequencer *sequencer, const QDateTime &issued)
    {
        auto *document = insert<ZTDocument>(QStringLiteral("Document"));
        document->setDocumentKind(sequencer->documentKind());
        document->setStatus(ZTDocument::kStatusIssued);
        document->setIssueDate(issued);
        document->setDocumentIDSequencer(sequencer);
        return document;
    }

    // The order in which the application controller runs the steps.
    void start()
    {
        ManagedObjectContext *context = m_context.get();
        ZTNumberingManager numbering([context] { return context; });
        numbering.fixThatVersionThatDidNotSaveLastDateIssued();
        if (numbering.sequencersCount() > 0)
            numbering.cleanupSequencers();
        numbering.importFromOldSequencerSystem();
        numbering.createInitialSequencers();
        save();
    }

    QList<ZTDocumentSmartSequencer *> ofKind(int kind)
    {
        return ZTDocumentSmartSequencer::findAllForDocumentKind(*m_context, kind);
    }
};

TEST_F(ZTNumberingStartupTest, OldSequencersAreRepairedCleanedUpAndImportedOnce)
{
    ZTDocumentIDSequencer *invoices = legacy(1, QStringLiteral("Faktury"), QStringLiteral("FV/%n/%Y"), 41, on(2024, 3, 1), 0);
    legacy(1, QStringLiteral("Stara"), QStringLiteral("S/%n"), 7, on(2022, 1, 1), 1);
    ZTDocumentIDSequencer *proForma = legacy(2, QStringLiteral("Pro forma"), QStringLiteral("PF/%n"), 3, QDateTime(), 0);
    legacy(128, QStringLiteral("   "), QString(), 0, on(2024, 1, 2), 0);
    ZTDocument *first = numberedBy(invoices, on(2024, 2, 1));
    ZTDocument *second = numberedBy(invoices, on(2024, 3, 1));
    ZTDocument *oldProForma = numberedBy(proForma, on(2023, 6, 1));
    save();

    start();

    // The missing date came from the sequencer's latest document, which then archived it.
    EXPECT_EQ(proForma->lastDateIssued(), on(2023, 6, 1));
    EXPECT_TRUE(proForma->archived());

    const QList<ZTDocumentSmartSequencer *> imported = ofKind(1);
    ASSERT_EQ(imported.size(), 1); // the archived "Stara" is not imported
    EXPECT_EQ(imported[0]->name(), QStringLiteral("Faktury"));
    EXPECT_EQ(imported[0]->format(), QStringLiteral("FV/%n/%Y"));
    EXPECT_EQ(imported[0]->nextValue(), 42);
    EXPECT_EQ(first->docIDSequencer(), imported[0]);
    EXPECT_EQ(second->docIDSequencer(), imported[0]);

    // A kind whose sequencers were all archived got a fresh one named after its last.
    const QList<ZTDocumentSmartSequencer *> proForms = ofKind(2);
    ASSERT_EQ(proForms.size(), 1);
    EXPECT_EQ(proForms[0]->name(), QStringLiteral("Pro forma"));
    EXPECT_EQ(proForms[0]->format(), QStringLiteral("PF/%n"));
    EXPECT_EQ(proForms[0]->nextValue(), 1);
    EXPECT_EQ(oldProForma->docIDSequencer(), nullptr);

    // A blank name and format take the defaults.
    const QList<ZTDocumentSmartSequencer *> simplified = ofKind(128);
    ASSERT_EQ(simplified.size(), 1);
    EXPECT_EQ(simplified[0]->name(), QStringLiteral("Domyślna numeracja"));
    EXPECT_EQ(simplified[0]->format(), QStringLiteral("%n"));

    // Kinds the old data never knew start with the default legacy name.
    const QList<ZTDocumentSmartSequencer *> bills = ofKind(16);
    ASSERT_EQ(bills.size(), 1);
    EXPECT_EQ(bills[0]->name(), QStringLiteral("Nowa numeracja"));

    const qsizetype afterFirst = ZTDocumentSmartSequencer::countAllSequencers(*m_context);
    EXPECT_EQ(afterFirst, 7);
    reopen();
    start();
    EXPECT_EQ(ZTDocumentSmartSequencer::countAllSequencers(*m_context), afterFirst);
}

TEST_F(ZTNumberingStartupTest, NewDataGetsOneDefaultSequencerPerKind)
{
    start();
    EXPECT_EQ(ZTDocumentIDSequencerManager([this] { return m_context.get(); }).sequencersCount(), 0);
    for (int kind : ZTDocument::documentKinds()) {
        const QList<ZTDocumentSmartSequencer *> found = ofKind(kind);
        ASSERT_EQ(found.size(), 1) << kind;
        EXPECT_EQ(found[0]->name(), QStringLiteral("Domyślna numeracja"));
    }
}

TEST_F(ZTNumberingStartupTest, MonthlyOldSequencerStaysActiveOnlyInItsMonth)
{
    ZTDocumentIDSequencer *thisMonth = legacy(1, QStringLiteral("M"), QStringLiteral("%n"), 5, on(2024, 5, 2), 0);
    thisMonth->setMonthlyReset(true);
    ZTDocumentIDSequencer *lastMonth = legacy(1, QStringLiteral("K"), QStringLiteral("%n"), 9, on(2024, 4, 30), 1);
    lastMonth->setMonthlyReset(true);
    thisMonth->setArchived(true); // un-archived by the clean-up
    save();
    ZTDocumentIDSequencerManager manager([this] { return m_context.get(); });
    manager.cleanupSequencers();
    EXPECT_FALSE(thisMonth->archived());
    EXPECT_TRUE(lastMonth->archived());
    EXPECT_EQ(manager.findActiveSequencersForDocumentKind(1), QList<ZTDocumentIDSequencer *>{thisMonth});
    EXPECT_EQ(manager.findSequencersForDocumentKind(1), (QList<ZTDocumentIDSequencer *>{thisMonth, lastMonth}));
    EXPECT_EQ(manager.findInactiveSequencersForDocumentKind(1, QStringLiteral("%n")),
              QList<ZTDocumentIDSequencer *>{lastMonth});
}
