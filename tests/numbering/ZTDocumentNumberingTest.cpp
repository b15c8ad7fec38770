// Numbers given to documents by stored sequencers: periods, proposals, allocation saved with
// the document, numbers given back, next values, typed numbers and taken numbers.
#include "../model/DocumentTestSupport.h"

#include "numbering/ZTDocumentSmartSequencer.h"
#include "numbering/ZTDocumentSmartSequencerValues.h"

namespace {

QDateTime at(int year, int month, int day, int hour = 12, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone(QByteArrayLiteral("Europe/Warsaw")));
}

} // namespace

class ZTDocumentNumberingTest : public ZTDocumentTest
{
protected:
    ZTDocumentSmartSequencer *sequencer(const QString &format, bool monthly = false, int kind = ZTDocument::kKindInvoice)
    {
        return ZTDocumentSmartSequencer::createWithFormat(*m_context, format, QStringLiteral("Faktury"), kind, monthly);
    }

    ZTDocument *draftOn(const QDateTime &issueDate, ZTDocumentSmartSequencer *numbering,
                        int kind = ZTDocument::kKindInvoice)
    {
        ZTDocument *document = draft(kind);
        addLine(document, QStringLiteral("Usługa"), QStringLiteral("100"));
        document->setDocIDSequencer(numbering);
        document->setIssueDate(issueDate);
        document->setSellDate(issueDate);
        document->setDueDate(issueDate.addDays(14));
        return document;
    }

    // Issues and saves, as the form does.
    QString issue(ZTDocument *document)
    {
        Error error;
        EXPECT_TRUE(document->issueDocument(error)) << error.messages().join(QStringLiteral("; ")).toStdString();
        save();
        return document->documentID();
    }

    QString issueOn(const QDateTime &issueDate, ZTDocumentSmartSequencer *numbering)
    {
        return issue(draftOn(issueDate, numbering));
    }

    qsizetype counterRecords() { return m_context->count(FetchRequest(QStringLiteral("DocumentSmartSequencerValues"))); }
};

TEST_F(ZTDocumentNumberingTest, YearlyCountersRestartEachYearAndKeepTheOldYear)
{
    ZTDocumentSmartSequencer *fv = sequencer(QStringLiteral("FV/%n/%m/%Y"));
    EXPECT_EQ(issueOn(at(2026, 12, 30), fv), QStringLiteral("FV/1/12/2026"));
    EXPECT_EQ(issueOn(at(2026, 12, 31, 23, 59, 59), fv), QStringLiteral("FV/2/12/2026"));
    // Midnight of 1 January belongs to the new year alone.
    EXPECT_EQ(issueOn(at(2027, 1, 1, 0, 0, 0), fv), QStringLiteral("FV/1/1/2027"));
    EXPECT_EQ(issueOn(at(2027, 1, 2), fv), QStringLiteral("FV/2/1/2027"));
    // A back-dated document takes its own year's counter, which kept its count.
    EXPECT_EQ(issueOn(at(2026, 12, 31), fv), QStringLiteral("FV/3/12/2026"));
    EXPECT_EQ(fv->getNextValueForDate(at(2026, 6, 1)), 4);
    EXPECT_EQ(fv->getNextValueForDate(at(2027, 6, 1)), 3);
    EXPECT_EQ(fv->getNextValueForDate(at(2025, 6, 1)), 1);
}

TEST_F(ZTDocumentNumberingTest, MonthlyCountersRestartEachMonth)
{
    ZTDocumentSmartSequencer *monthly = sequencer(QStringLiteral("%n/%2m/%y"), true);
    const struct
    {
        QDateTime date;
        const char *number;
    } cases[] = {
        {at(2026, 1, 5), "1/01/26"},  {at(2026, 1, 31, 23, 59, 59), "2/01/26"}, {at(2026, 2, 1, 0, 0, 0), "1/02/26"},
        {at(2026, 3, 9), "1/03/26"},  {at(2026, 1, 20), "3/01/26"},             {at(2027, 1, 5), "1/01/27"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(issueOn(c.date, monthly), QString::fromUtf8(c.number)) << c.date.toString(Qt::ISODate).toStdString();
}

TEST_F(ZTDocumentNumberingTest, ProposalsChangeNothingAndIssuingGivesConsecutiveNumbers)
{
    ZTDocumentSmartSequencer *fv = sequencer(QStringLiteral("FV/%n/%Y"));
    ZTDocument *first = draftOn(kNow, fv);
    ZTDocument *second = draftOn(kNow, fv);
    EXPECT_EQ(first->documentID(), QStringLiteral("FV/1/2024"));
    EXPECT_EQ(second->documentID(), QStringLiteral("FV/1/2024"));
    EXPECT_EQ(counterRecords(), 0);

    EXPECT_EQ(issue(first), QStringLiteral("FV/1/2024"));
    EXPECT_EQ(issue(second), QStringLiteral("FV/2/2024"));
    // A new draft proposes the next free number; a draft loaded again refreshes its own.
    EXPECT_EQ(draftOn(kNow, fv)->documentID(), QStringLiteral("FV/3/2024"));
    EXPECT_EQ(fv->exampleNextID(), QStringLiteral("FV/3/2024"));
}

TEST_F(ZTDocumentNumberingTest, DraftFollowsItsIssueDateAndSequencer)
{
    ZTDocumentSmartSequencer *fv = sequencer(QStringLiteral("FV/%n/%Y"));
    ZTDocumentSmartSequencer *other = sequencer(QStringLiteral("A-%3n"));
    issueOn(at(2024, 3, 1), fv);
    ZTDocument *document = draftOn(kNow, fv);
    EXPECT_EQ(document->documentID(), QStringLiteral("FV/2/2024"));
    document->setIssueDate(at(2025, 1, 10));
    EXPECT_EQ(document->documentID(), QStringLiteral("FV/1/2025"));
    document->setDocIDSequencer(other);
    EXPECT_EQ(document->documentID(), QStringLiteral("A-001"));

    // A typed number stays until the user gives it up.
    document->setUseCustomDocumentID(true);
    document->setDocumentID(QStringLiteral("X/7"));
    document->setIssueDate(kNow);
    EXPECT_EQ(document->documentID(), QStringLiteral("X/7"));
    document->setUseCustomDocumentID(false);
    EXPECT_EQ(document->documentID(), QStringLiteral("A-001"));
}

TEST_F(ZTDocumentNumberingTest, AllocationIsSavedWithTheDocument)
{
    ZTDocumentSmartSequencer *fv = sequencer(QStringLiteral("%n"));
    issueOn(kNow, fv);
    ZTDocument *unsaved = draftOn(kNow, fv);
    Error error;
    ASSERT_TRUE(unsaved->issueDocument(error));
    EXPECT_EQ(unsaved->documentID(), QStringLiteral("2"));
    // Not saved: the counter and the document vanish together.
    reopen();
    ZTDocumentSmartSequencer *stored = fetchOne<ZTDocumentSmartSequencer>(QStringLiteral("DocumentSmartSequencer"));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->nextValue(), 2);
    ZTDocument *again = draftOn(kNow, stored);
    EXPECT_EQ(issue(again), QStringLiteral("2"));
    reopen();
    stored = fetchOne<ZTDocumentSmartSequencer>(QStringLiteral("DocumentSmartSequencer"));
    EXPECT_EQ(stored->nextValue(), 3);
}

TEST_F(ZTDocumentNumberingTest, OnlyTheLastNumberOfAPeriodComesBack)
{
    ZTDocumentSmartSequencer *fv = sequencer(QStringLiteral("%n/%Y"));
    ZTDocument *first = draftOn(kNow, fv);
    ZTDocument *second = draftOn(kNow, fv);
    ZTDocument *third = draftOn(kNow, fv);
    issue(first);
    issue(second);
    issue(third);

    third->deleteDocument();
    save();
    EXPECT_EQ(issueOn(kNow, fv), QStringLiteral("3/2024"));

    // An earlier number leaves a gap.
    first->deleteDocument();
    save();
    EXPECT_EQ(issueOn(kNow, fv), QStringLiteral("4/2024"));

    // A typed number never took one, so it gives none back.
    ZTDocument *typed = draftOn(kNow, fv);
    typed->setUseCustomDocumentID(true);
    typed->setDocumentID(QStringLiteral("99/2024"));
    issue(typed);
    typed->deleteDocument();
    save();
    EXPECT_EQ(fv->nextValue(), 5);
}

TEST_F(ZTDocumentNumberingTest, NextValueSetByTheUser)
{
    ZTDocumentSmartSequencer *fv = sequencer(QStringLiteral("FV/%n/%Y"));
    fv->setNextValue(100);
    EXPECT_EQ(fv->nextValue(), 100);
    EXPECT_EQ(issueOn(kNow, fv), QStringLiteral("FV/100/2024"));
    // Another period is not touched.
    EXPECT_EQ(fv->getNextValueForDate(at(2023, 5, 1)), 1);

    Error error;
    EXPECT_FALSE(ZTDocumentSmartSequencer::validateNextValue(QStringLiteral("0"), error));
    EXPECT_EQ(error.messages(), QStringList{QStringLiteral("Następny numer musi być większy od zera")});
    EXPECT_FALSE(ZTDocumentSmartSequencer::validateNextValue(QStringLiteral("1a"), error));
    EXPECT_EQ(error.messages(), QStringList{QStringLiteral("Numer jest nieprawidłowy")});
}

TEST_F(ZTDocumentNumberingTest, SequencersOfAKind)
{
    // A kind without sequencers gets its default one on the spot.
    const QList<ZTDocumentSmartSequencer *> bills =
        ZTDocumentSmartSequencer::findAllForDocumentKind(*m_context, ZTDocument::kKindBill);
    ASSERT_EQ(bills.size(), 1);
    EXPECT_EQ(bills.first()->name(), QStringLiteral("Domyślna numeracja"));
    EXPECT_EQ(bills.first()->format(), QStringLiteral("%n"));
    EXPECT_FALSE(bills.first()->monthlyReset());

    Clock::setFixedNow(kNow.addSecs(60));
    ZTDocumentSmartSequencer *second = ZTDocumentSmartSequencer::createNewForDocumentKind(*m_context, ZTDocument::kKindBill);
    EXPECT_EQ(second->name(), QStringLiteral("Nowa numeracja #2"));
    EXPECT_EQ(ZTDocumentSmartSequencer::findAllForDocumentKind(*m_context, ZTDocument::kKindBill),
              (QList<ZTDocumentSmartSequencer *>{bills.first(), second}));

    // A removed sequencer is no longer offered, but its documents keep using it.
    ZTDocument *document = draftOn(kNow, second, ZTDocument::kKindBill);
    issue(document);
    second->setRemoved(true);
    EXPECT_EQ(ZTDocumentSmartSequencer::countSequencersOfKind(*m_context, ZTDocument::kKindBill), 1);
    EXPECT_EQ(ZTDocumentSmartSequencer::findAllForDocumentKind(*m_context, ZTDocument::kKindBill),
              QList<ZTDocumentSmartSequencer *>{bills.first()});
    ZTDocument *copy = draftOn(kNow, second, ZTDocument::kKindBill);
    EXPECT_EQ(copy->documentID(), QStringLiteral("2"));

    ZTDocumentSmartSequencer::createInitialSequencers(*m_context);
    for (int kind : ZTDocument::documentKinds())
        EXPECT_EQ(ZTDocumentSmartSequencer::countSequencersOfKind(*m_context, kind), 1) << kind;
}

TEST_F(ZTDocumentNumberingTest, ASequencerWithoutNameOrFormatIsNotSaved)
{
    ZTDocumentSmartSequencer *bad = sequencer(QStringLiteral("  "));
    bad->setName(QString());
    Error error;
    EXPECT_FALSE(m_context->save(error));
    EXPECT_EQ(error.messages(), (QStringList{QStringLiteral("Numeracja musi nosić nazwę"),
                                             QStringLiteral("Format nie może być pusty")}));
    bad->setName(QStringLiteral("Faktury"));
    bad->setFormat(QStringLiteral("F%n"));
    save();
}

TEST_F(ZTDocumentNumberingTest, TakenNumbersInTheSamePeriodOfTheSameKind)
{
    ZTDocumentSmartSequencer *yearly = sequencer(QStringLiteral("%n"));
    ZTDocumentSmartSequencer *monthly = sequencer(QStringLiteral("M%n"), true);
    issueOn(at(2024, 2, 10), yearly);   // "1"
    issueOn(at(2024, 2, 10), monthly);  // "M1"
    ZTDocument *proForma = draftOn(at(2024, 5, 1), nullptr, ZTDocument::kKindProForma);
    proForma->setUseCustomDocumentID(true);
    proForma->setDocumentID(QStringLiteral("7"));
    issue(proForma);

    const struct
    {
        const char *number;
        QDateTime issued;
        ZTDocumentSmartSequencer *numbering;
        int kind;
        bool taken;
    } cases[] = {
        {" 1 ", at(2024, 11, 3), yearly, ZTDocument::kKindInvoice, true},
        {"1", at(2025, 2, 10), yearly, ZTDocument::kKindInvoice, false},
        {"M1", at(2024, 2, 28), monthly, ZTDocument::kKindInvoice, true},
        {"M1", at(2024, 3, 1), monthly, ZTDocument::kKindInvoice, false},
        {"7", at(2024, 5, 1), yearly, ZTDocument::kKindInvoice, false},
        {"2", at(2024, 2, 10), yearly, ZTDocument::kKindInvoice, false},
    };
    for (const auto &c : cases) {
        ZTDocument *typed = draftOn(c.issued, c.numbering, c.kind);
        typed->setUseCustomDocumentID(true);
        typed->setDocumentID(QString::fromUtf8(c.number));
        EXPECT_EQ(ZTDocumentSmartSequencer::documentWithSameDocumentID(*typed) != nullptr, c.taken) << c.number;
        m_context->deleteObject(typed);
    }
    EXPECT_EQ(ZTDocumentSmartSequencer::duplicateDocumentIDQuestion(QStringLiteral("FV/1")),
              QStringLiteral("Dokument o numerze FV/1 został już wystawiony. Czy na pewno chcesz wystawić "
                             "dokument o takim samym numerze?"));
}
