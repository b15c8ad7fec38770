#include "DocumentTestSupport.h"

#include "model/ZTCustomer.h"
#include "model/ZTDocumentManager.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "model/ZTProduct.h"
#include "model/ZTSellerTemplate.h"
#include "platform/NamedException.h"
#include "platform/ZTLog.h"

using ZTDocumentKinds = ZTDocumentTest;

TEST(ZTDocumentKindTable, CodesNamesAndValidity)
{
    EXPECT_EQ(ZTDocument::documentKinds(), (QList<int>{1, 128, 64, 2, 32, 4, 16}));
    const struct
    {
        int code;
        bool valid;
        const char16_t *name;
        const char16_t *shortName;
    } cases[] = {
        {1, true, u"Faktura", u"docInvoice"},
        {2, true, u"Pro forma", u"docProForma"},
        {4, true, u"Faktura korygująca", u"docCorrectiveInvoice"},
        {8, false, u"", u""},
        {16, true, u"Rachunek", u"docBill"},
        {32, true, u"Faktura zaliczkowa", u"docAdvanceInvoice"},
        {64, true, u"Faktura marża", u"docMarginInvoice"},
        {128, true, u"Faktura uproszczona", u"docSimplifiedInvoice"},
        {0, false, u"", u""},
        {3, false, u"", u""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ZTDocument::isValidKind(c.code), c.valid);
        EXPECT_EQ(ZTDocument::documentKindsWithNames().value(c.code), QString::fromUtf16(c.name));
        EXPECT_EQ(ZTDocument::shortNameForDocumentKind(c.code), QString::fromUtf16(c.shortName));
    }
    EXPECT_EQ(ZTDocument::documentKindsWithLongNames().value(1), QStringLiteral("Faktura standardowa"));
}

TEST_F(ZTDocumentKinds, AnInvalidKindIsRefusedAndTheStoredKindStays)
{
    ZTDocument *document = draft(2);
    try {
        document->setValidDocumentKind(8);
        FAIL() << "no exception";
    } catch (const NamedException &e) {
        EXPECT_EQ(e.name(), QStringLiteral("ZTUnknownDocumentKindValue"));
        EXPECT_EQ(e.reason(), QStringLiteral("-[ZTDocument setDocumentKind:] called with bogus value"));
    }
    EXPECT_EQ(document->documentKind(), 2);
    document->setDocumentKind(8); // raw stored value, as old data may hold
    EXPECT_EQ(document->titelizeDocumentKind(), QStringLiteral("Brak tytułu"));
}

TEST_F(ZTDocumentKinds, InvoicesIssuedBeforeTheOneSixInstallDateAreFakturaVat)
{
    SettingsStore::standard().setValue(QStringLiteral("ZTTolvana1_6InstallDate"),
                                       QDateTime(QDate(2024, 3, 1), QTime(15, 0)));
    ZTDocument *invoice = draft(1);
    invoice->setIssueDate(QDateTime(QDate(2024, 2, 29), QTime(23, 0)));
    EXPECT_EQ(invoice->documentKindName(), QStringLiteral("Faktura VAT"));
    invoice->setIssueDate(QDateTime(QDate(2024, 3, 1), QTime(8, 0)));
    EXPECT_EQ(invoice->documentKindName(), QStringLiteral("Faktura"));
    // Only the plain invoice had the former title.
    ZTDocument *bill = draft(16);
    bill->setIssueDate(QDateTime(QDate(2020, 1, 1), QTime(8, 0)));
    EXPECT_EQ(bill->documentKindName(), QStringLiteral("Rachunek"));
    SettingsStore::standard().removeValue(QStringLiteral("ZTTolvana1_6InstallDate"));

    bill->setDocumentSecondLanguage(1);
    EXPECT_EQ(bill->documentKindNameForSecondLanguage(), QStringLiteral("Bill"));
    bill->setDocumentSecondLanguage(2);
    EXPECT_TRUE(bill->documentKindNameForSecondLanguage().isNull());
    bill->setDocumentSecondLanguage(0);
    EXPECT_EQ(bill->documentKindNameForSecondLanguage(), QStringLiteral("Rachunek"));
}

TEST_F(ZTDocumentKinds, StateChangesKeepPaidAtAcrossCancellation)
{
    ZTDocument *invoice = draft(1);
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 1/05/2024"));
    ASSERT_TRUE(invoice->isIssued());
    EXPECT_EQ(invoice->statusUpdatedAt(), kNow);

    const QDateTime paidMoment = kNow.addSecs(3600);
    Clock::setFixedNow(paidMoment);
    invoice->markPaid();
    EXPECT_TRUE(invoice->isPaid());
    EXPECT_EQ(invoice->paidAt(), paidMoment);
    EXPECT_EQ(invoice->statusUpdatedAt(), paidMoment);

    invoice->markCanceled();
    EXPECT_TRUE(invoice->isCanceled());
    EXPECT_EQ(invoice->paidAt(), paidMoment);
    invoice->unmarkCanceled();
    EXPECT_TRUE(invoice->isPaid()); // it had been paid

    invoice->unmarkPaid();
    EXPECT_TRUE(invoice->isIssued());
    EXPECT_FALSE(invoice->paidAt().isValid());
    invoice->markCanceled();
    invoice->unmarkCanceled();
    EXPECT_TRUE(invoice->isIssued());
    save();
}

TEST_F(ZTDocumentKinds, IssuingWithAPaidPaymentTypeLeavesItPaid)
{
    ZTDocument *invoice = draft(1);
    invoice->setPaymentType(QStringLiteral("Zapłacono kartą"));
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 2/05/2024"));
    EXPECT_TRUE(invoice->isPaid());
    EXPECT_EQ(invoice->paidAt(), kNow);

    ZTDocument *other = draft(1);
    other->setPaymentType(QStringLiteral("Przelew (zapłacono)"));
    addLine(other, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(other, QStringLiteral("FV 3/05/2024"));
    EXPECT_TRUE(other->isIssued()); // the paid marker must lead the text
}

TEST_F(ZTDocumentKinds, PayingAFinalInvoicePaysEveryAdvanceOfItsChain)
{
    ZTDocument *first = draft(32);
    addLine(first, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(first, QStringLiteral("FZ 1"));
    ZTDocument *second = ZTDocument::newDraftForAdvanceInvoiceOfDocument(first);
    issued(second, QStringLiteral("FZ 2"));
    ZTDocument *finalInvoice = ZTDocument::newDraftForFinalInvoiceOfDocument(second);
    issued(finalInvoice, QStringLiteral("FV 9"));
    ASSERT_TRUE(finalInvoice->isFinalInvoice());
    EXPECT_EQ(finalInvoice->formerAdvances(), (QList<ZTDocument *>{second, first}));
    EXPECT_EQ(first->finalInvoice(), finalInvoice);
    EXPECT_TRUE(second->hasFinalInvoice());

    finalInvoice->markPaid();
    EXPECT_TRUE(first->isPaid());
    EXPECT_TRUE(second->isPaid());
    EXPECT_TRUE(finalInvoice->isPaid());
}

TEST_F(ZTDocumentKinds, OverdueMeansDueBeforeTodayAndNotPaid)
{
    const struct
    {
        const char *label;
        QDateTime due;
        bool paid;
        bool overdue;
    } cases[] = {
        {"yesterday", kNow.addDays(-1), false, true},
        {"earlier today", kNow.addSecs(-3600), false, false},
        {"tomorrow", kNow.addDays(1), false, false},
        {"yesterday but paid", kNow.addDays(-1), true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ZTDocument *invoice = draft(1);
        addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
        issued(invoice, QStringLiteral("FV 1"));
        invoice->setDueDate(c.due);
        if (c.paid)
            invoice->markPaid();
        EXPECT_EQ(invoice->isOverdue(), c.overdue);
    }
}

TEST_F(ZTDocumentKinds, FileNamesReplaceCharactersUnfitForFiles)
{
    ZTDocument *invoice = draft(1);
    invoice->setDocumentID(QStringLiteral("FV 1/05/2024"));
    EXPECT_EQ(invoice->filename(), QStringLiteral("Faktura nr FV 1-05-2024"));
    invoice->setDocumentID(QStringLiteral("a\\b?c<d>e:f*g|h\"i"));
    EXPECT_EQ(invoice->filename(), QStringLiteral("Faktura nr a-b-c-d-e-f-g-h-i"));
    save();
    const QString base = invoice->representationBaseFilename();
    EXPECT_FALSE(base.contains(QLatin1Char('/')));
    EXPECT_FALSE(base.contains(QLatin1Char(' ')));
    EXPECT_TRUE(base.endsWith(QStringLiteral("_Document_p") + QString::number(invoice->primaryKey()))) << base.toStdString();
}

TEST_F(ZTDocumentKinds, NumericSortComparesDigitRunsAsNumbersIgnoringCase)
{
    QList<ZTDocument *> documents;
    for (const QString &number : {QStringLiteral("FV/10"), QStringLiteral("FV/2"), QStringLiteral("fv/3"),
                                  QStringLiteral("FV/1")}) {
        ZTDocument *document = draft(1);
        document->setDocumentID(number);
        documents.append(document);
    }
    ZTDocument::sortNumerically(documents);
    QStringList order;
    for (const ZTDocument *d : documents)
        order.append(d->documentID());
    EXPECT_EQ(order, (QStringList{QStringLiteral("FV/1"), QStringLiteral("FV/2"), QStringLiteral("fv/3"),
                                  QStringLiteral("FV/10")}));
    // The same number twice still has an order.
    documents[1]->setDocumentID(QStringLiteral("FV/1"));
    EXPECT_NE(documents[0]->numericDocumentIDSort(documents[1]), 0);
    EXPECT_EQ(documents[0]->numericDocumentIDSort(documents[1]), -documents[1]->numericDocumentIDSort(documents[0]));

    ZTDocument *unnumbered = draft(1);
    unnumbered->setDocumentID(QString());
    EXPECT_THROW(unnumbered->documentIDForSort(), InternalConsistencyError);
}

TEST_F(ZTDocumentKinds, DeletionClearsLinksAndDeletesDraftChildren)
{
    ZTDocument *advance = draft(32);
    addLine(advance, QStringLiteral("Zaliczka"), QStringLiteral("100"));
    issued(advance, QStringLiteral("FZ 1"));
    ZTDocument *next = issued(ZTDocument::newDraftForAdvanceInvoiceOfDocument(advance), QStringLiteral("FZ 2"));
    ZTDocument *pendingFinal = ZTDocument::newDraftForFinalInvoiceOfDocument(next);
    save();
    ASSERT_EQ(advance->childDocument(), next);
    ASSERT_EQ(pendingFinal->parentDocument(), next);
    ASSERT_EQ(next->childDocument(), nullptr); // a draft does not link its parent to itself

    next->deleteDocument();
    EXPECT_TRUE(pendingFinal->isDeleted());
    save();
    EXPECT_EQ(advance->childDocument(), nullptr);
    reopen();
    EXPECT_EQ(fetchAll<ZTDocument>(QStringLiteral("Document")).size(), 1);
    EXPECT_EQ(fetchOne<ZTDocument>(QStringLiteral("Document"))->childDocument(), nullptr);
}

namespace {

// Numbering and checks as later work will plug them in.
struct RecordingHooks : ZTDocument::IssueHooks
{
    bool refuse = false;
    QStringList calls;
    bool validateForIssue(ZTDocument &, Error &error) override
    {
        calls.append(QStringLiteral("validate"));
        if (refuse)
            error = Error::withMessage(QStringLiteral("Brak nabywcy."));
        return !refuse;
    }
};

} // namespace

TEST_F(ZTDocumentKinds, AFailedIssueChangesNothing)
{
    auto hooks = std::make_shared<RecordingHooks>();
    hooks->refuse = true;
    ZTDocument::setIssueHooks(hooks);
    ZTDocument *invoice = draft(1);
    invoice->setPaymentType(QStringLiteral("Zapłacono gotówką"));
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("10"));
    Error error;
    EXPECT_FALSE(invoice->issueDocument(error));
    EXPECT_EQ(error.localizedDescription(), QStringLiteral("Brak nabywcy."));
    EXPECT_TRUE(invoice->isDraft());
    EXPECT_FALSE(invoice->validationPreventsSave());
    EXPECT_FALSE(invoice->paidAt().isValid());
    EXPECT_EQ(invoice->purchaser()->baseCustomer(), nullptr);
    EXPECT_EQ(hooks->calls, QStringList{QStringLiteral("validate")});
}

TEST_F(ZTDocumentKinds, IssuingKeepsPurchaserAndLinesInTheRegistersButNotAdvanceLines)
{
    ZTDocument *invoice = draft(1, QStringLiteral("Nowy Klient"));
    addLine(invoice, QStringLiteral("Konsultacja"), QStringLiteral("200"));
    ZTDocumentItem *deduction = addLine(invoice, QStringLiteral("Konsultacja (zaliczka nr 1)"), QStringLiteral("-50"));
    issued(invoice, QStringLiteral("FV 5"));
    EXPECT_TRUE(invoice->validationPreventsSave());
    save();
    ASSERT_NE(invoice->purchaser()->baseCustomer(), nullptr);
    EXPECT_EQ(invoice->purchaser()->baseCustomer()->name(), QStringLiteral("Nowy Klient"));
    const QList<ZTProduct *> products = fetchAll<ZTProduct>(QStringLiteral("Product"));
    ASSERT_EQ(products.size(), 1);
    EXPECT_EQ(products.first()->name(), QStringLiteral("Konsultacja"));
    EXPECT_EQ(deduction->baseProduct(), nullptr);

    ZTDocument *advance = draft(32);
    addLine(advance, QStringLiteral("Zaliczka na meble"), QStringLiteral("500"));
    issued(advance, QStringLiteral("FZ 1"));
    EXPECT_EQ(fetchAll<ZTProduct>(QStringLiteral("Product")).size(), 1);
}

TEST_F(ZTDocumentKinds, CustomerDefaultsAndDueDays)
{
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    customer->setDefaultDocumentRemarks(QStringLiteral("Dziękujemy"));
    customer->setDefaultPaymentType(QStringLiteral("Gotówka"));
    customer->setDefaultDueDays(3);
    customer->setDefaultDocumentSecondLanguage(1);
    ZTDocument *invoice = draft(1);
    invoice->updateWithCustomerDefaults(customer);
    EXPECT_EQ(invoice->remarks(), QStringLiteral("Dziękujemy"));
    EXPECT_EQ(invoice->paymentType(), QStringLiteral("Gotówka"));
    EXPECT_EQ(invoice->dueDate(), invoice->issueDate().addDays(3));
    EXPECT_TRUE(invoice->hasSecondLanguage());

    // Without the customer's own values the document keeps its own and takes the general interval.
    ZTCustomer *plain = ZTCustomer::newCustomer(*m_context);
    invoice->updateWithCustomerDefaults(plain);
    EXPECT_EQ(invoice->remarks(), QStringLiteral("Dziękujemy"));
    EXPECT_EQ(invoice->dueDate(), invoice->issueDate().addSecs(qint64(ZTDocument::defaultDueDays()) * 86400));
    EXPECT_FALSE(invoice->hasSecondLanguage());
}

namespace {

// A sequencer that offers "<format>/<month of issue>" and hands out the same on allocation.
struct MonthNumbering : ZTDocument::IssueHooks
{
    ZTDocumentSmartSequencer *sequencer = nullptr;
    int allocations = 0;
    ZTDocumentSmartSequencer *sequencerForDocument(ZTDocument &) override { return sequencer; }
    ZTDocumentSmartSequencer *firstSequencerForKind(ZTDocument &, int) override { return sequencer; }
    QString availableDocumentID(ZTDocumentSmartSequencer &s, ZTDocument &document) override
    {
        return QStringLiteral("%1/%2").arg(s.format()).arg(document.issueDate().date().month());
    }
    QString allocateDocumentID(ZTDocumentSmartSequencer &s, ZTDocument &document) override
    {
        ++allocations;
        return availableDocumentID(s, document) + QStringLiteral("!");
    }
};

} // namespace

TEST_F(ZTDocumentKinds, DraftsShowTheOfferedNumberAndIssuingTakesIt)
{
    auto hooks = std::make_shared<MonthNumbering>();
    hooks->sequencer = insert<ZTDocumentSmartSequencer>(QStringLiteral("DocumentSmartSequencer"));
    hooks->sequencer->setName(QStringLiteral("Faktury"));
    hooks->sequencer->setFormat(QStringLiteral("FV"));
    ZTDocument::setIssueHooks(hooks);

    ZTDocument *invoice = draft(1);
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    EXPECT_EQ(invoice->docIDSequencer(), hooks->sequencer);
    EXPECT_EQ(invoice->documentID(), QStringLiteral("FV/5"));
    invoice->setIssueDate(kNow.addMonths(1));
    invoice->updateDocumentID();
    EXPECT_EQ(invoice->documentID(), QStringLiteral("FV/6"));

    Error error;
    ASSERT_TRUE(invoice->issueDocument(error));
    EXPECT_EQ(invoice->documentID(), QStringLiteral("FV/6!"));
    EXPECT_EQ(hooks->allocations, 1);
    invoice->setIssueDate(kNow); // an issued number is fixed
    invoice->updateDocumentID();
    EXPECT_EQ(invoice->documentID(), QStringLiteral("FV/6!"));

    ZTDocument *custom = draft(1);
    addLine(custom, QStringLiteral("Usługa"), QStringLiteral("100"));
    custom->setUseCustomDocumentID(true);
    custom->setDocumentID(QStringLiteral("WŁASNY 1"));
    ASSERT_TRUE(custom->issueDocument(error));
    EXPECT_EQ(custom->documentID(), QStringLiteral("WŁASNY 1"));
    EXPECT_EQ(hooks->allocations, 1);
    save();
}

TEST_F(ZTDocumentKinds, SellerTemplateDefaults)
{
    auto *sellerTemplate = insert<ZTSellerTemplate>(QStringLiteral("SellerTemplate"));
    sellerTemplate->setName(QStringLiteral("Druga Firma"));
    sellerTemplate->setIssuesIn(QStringLiteral("Poznań"));
    sellerTemplate->setCashBasisMethod(true);
    sellerTemplate->setDefaultDocumentSecondLanguage(1);
    ZTDocument *invoice = draft(1);
    invoice->updateWithSellerTemplate(sellerTemplate);
    EXPECT_EQ(invoice->seller()->name(), QStringLiteral("Druga Firma"));
    EXPECT_EQ(invoice->issuedIn(), QStringLiteral("Poznań"));
    EXPECT_TRUE(invoice->cashBasisMethod());
    EXPECT_EQ(invoice->documentSecondLanguage(), 1);

    // A purchaser from the register keeps its own language choice.
    ZTDocument *other = draft(1);
    other->purchaser()->setBaseCustomer(ZTCustomer::newCustomer(*m_context));
    other->updateWithSellerTemplate(sellerTemplate);
    EXPECT_EQ(other->documentSecondLanguage(), 0);

    // A margin invoice takes the procedure and the rate it requires.
    sellerTemplate->setMarginInvoiceProcedure(QStringLiteral("biuropodrozy"));
    ZTDocument *margin = draft(64);
    margin->updateWithSellerTemplate(sellerTemplate);
    EXPECT_EQ(margin->marginInvoiceProcedure(), QStringLiteral("biuropodrozy"));
    EXPECT_EQ(text(margin->marginInvoiceVatRate()), QStringLiteral("0.08"));
    EXPECT_FALSE(invoice->marginInvoiceVatRate().has_value());
}
