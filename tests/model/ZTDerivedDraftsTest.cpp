#include "DocumentTestSupport.h"

#include "model/ZTCustomer.h"
#include "model/ZTProduct.h"
#include "model/ZTSellerTemplate.h"

using ZTDerivedDrafts = ZTDocumentTest;

TEST_F(ZTDerivedDrafts, ANewDraftTakesTheDefaultSellerTemplateAndTheDueInterval)
{
    auto *sellerTemplate = insert<ZTSellerTemplate>(QStringLiteral("SellerTemplate"));
    sellerTemplate->setName(QStringLiteral("Moja Firma"));
    sellerTemplate->setIssuesIn(QStringLiteral("Kraków"));
    sellerTemplate->setOrder(0);
    ZTDocument *invoice = ZTDocument::newDraftOfKind(*m_context, 1);
    EXPECT_TRUE(invoice->isDraft());
    EXPECT_EQ(invoice->seller()->name(), QStringLiteral("Moja Firma"));
    EXPECT_EQ(invoice->issuedIn(), QStringLiteral("Kraków"));
    EXPECT_EQ(invoice->dueDate(), kNow.addSecs(qint64(ZTDocument::defaultDueDays()) * 86400));
    // A margin invoice needs a template with a margin procedure; this one has none.
    ZTDocument *margin = ZTDocument::newDraftOfKind(*m_context, 64);
    EXPECT_TRUE(margin->seller()->name().isEmpty());
    save();
}

TEST_F(ZTDerivedDrafts, ACopyKeepsLinesPartiesAndTheDueOffsetButNoLink)
{
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    customer->setName(QStringLiteral("ACME")); // issuing keeps the purchaser in the customer of its name
    ZTDocument *source = draft(2);
    source->purchaser()->setBaseCustomer(customer);
    source->purchaser()->setNip(QStringLiteral("5260250274"));
    source->setRemarks(QStringLiteral("Uwagi"));
    source->setCurrency(QStringLiteral("EUR"));
    source->setIssueDate(kNow.addDays(-30));
    source->setDueDate(kNow.addDays(-23));
    addLine(source, QStringLiteral("Usługa"), QStringLiteral("100"), QStringLiteral("8%"), QStringLiteral("3"));
    issued(source, QStringLiteral("PF 1"));

    ZTDocument *copy = ZTDocument::newDraftForCopyOfDocument(source);
    EXPECT_EQ(copy->documentKind(), 2);
    EXPECT_EQ(copy->parentDocument(), nullptr);
    EXPECT_FALSE(copy->useCustomDocumentID());
    EXPECT_EQ(copy->remarks(), QStringLiteral("Uwagi"));
    EXPECT_EQ(copy->currency(), QStringLiteral("EUR"));
    EXPECT_EQ(copy->dueDate(), kNow.addDays(7));
    EXPECT_EQ(copy->purchaser()->nip(), QStringLiteral("5260250274"));
    EXPECT_EQ(copy->purchaser()->baseCustomer(), customer);
    ASSERT_EQ(copy->availableItems().size(), 1);
    const ZTDocumentItem *line = copy->availableItems().first();
    EXPECT_EQ(line->name(), QStringLiteral("Usługa"));
    EXPECT_EQ(text(line->quantity()), QStringLiteral("3"));
    EXPECT_EQ(text(copy->totalNetValue()), QStringLiteral("300"));
    EXPECT_EQ(text(copy->totalGrossValue()), QStringLiteral("324"));
    save();
}

TEST_F(ZTDerivedDrafts, ACorrectionOfACorrectedInvoiceCorrectsTheLastCorrection)
{
    ZTDocument *invoice = draft(1);
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 1"));
    ZTDocument *first = ZTDocument::newDraftForCorrectiveInvoiceOfDocument(invoice);
    ASSERT_EQ(first->parentDocument(), invoice);
    first->correctedDocumentItems().first()->setNetPriceWithGrossBaseMarker({Decimal(80), true});
    first->recalculate();
    issued(first, QStringLiteral("FK 1"));
    ZTDocument *second = ZTDocument::newDraftForCorrectiveInvoiceOfDocument(invoice);
    ASSERT_EQ(second->parentDocument(), first);
    second->correctedDocumentItems().first()->setNetPriceWithGrossBaseMarker({Decimal(60), true});
    second->recalculate();
    issued(second, QStringLiteral("FK 2"));
    save();

    invoice->setCurrency(QStringLiteral("EUR")); // the given document's currency wins
    ZTDocument *third = ZTDocument::newDraftForCorrectiveInvoiceOfDocument(invoice);
    EXPECT_EQ(third->parentDocument(), second);
    EXPECT_EQ(third->originalDocumentID(), QStringLiteral("FK 2"));
    EXPECT_EQ(text(third->originalTotalNetValue()), text(second->totalNetValue()));
    EXPECT_EQ(third->currency(), QStringLiteral("EUR"));
    // Original, corrected and difference line of the one line that counts on the second correction.
    ASSERT_EQ(third->originalDocumentItems().size(), 1);
    EXPECT_EQ(text(third->originalDocumentItems().first()->netPrice()), QStringLiteral("60"));
    EXPECT_EQ(third->correctedDocumentItems().size(), 1);
    EXPECT_EQ(third->differenceDocumentItems().size(), 1);
    EXPECT_EQ(second->childDocument(), nullptr); // linked only when the new correction is issued
    save();
}

namespace {

QStringList namesOf(const QList<ZTDocumentItem *> &lines)
{
    QStringList names;
    for (const ZTDocumentItem *line : lines)
        names.append(line->name());
    return names;
}

} // namespace

TEST_F(ZTDerivedDrafts, AFinalInvoiceSumsTheAdvancesAndDeductsEachOne)
{
    ZTDocument *first = draft(32);
    addLine(first, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(first, QStringLiteral("FZ 1/2024"));
    ZTDocument *second = ZTDocument::newDraftForAdvanceInvoiceOfDocument(first);
    EXPECT_EQ(second->parentDocument(), first);
    second->availableItems().first()->setNetPriceWithGrossBaseMarker({Decimal(250), true});
    second->recalculate();
    issued(second, QStringLiteral("FZ 2/2024"));

    ZTDocument *finalInvoice = ZTDocument::newDraftForFinalInvoiceOfDocument(second);
    EXPECT_TRUE(finalInvoice->isFinalInvoice());
    EXPECT_EQ(finalInvoice->parentDocument(), second);
    const QList<ZTDocumentItem *> lines = finalInvoice->availableItems();
    ASSERT_EQ(namesOf(lines), (QStringList{QStringLiteral("Usługa"), QStringLiteral("Usługa (zaliczka nr FZ 1/2024)"),
                                           QStringLiteral("Usługa (zaliczka nr FZ 2/2024)")}));
    // No catalogue product: the whole is the sum of the advances.
    EXPECT_EQ(text(lines[0]->netPrice()), QStringLiteral("350"));
    EXPECT_FALSE(lines[0]->advancePart());
    EXPECT_EQ(text(lines[1]->netPrice()), QStringLiteral("-100"));
    EXPECT_EQ(text(lines[2]->netPrice()), QStringLiteral("-250"));
    EXPECT_TRUE(lines[1]->advancePart());
    EXPECT_TRUE(lines[2]->isFormerAdvanceItem());
    EXPECT_EQ(text(finalInvoice->totalNetValue()), QStringLiteral("0"));
    save();
}

TEST_F(ZTDerivedDrafts, AFinalInvoiceTakesTheCatalogueProductPriceOfItsCurrency)
{
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    product->setName(QStringLiteral("Usługa"));
    product->setVatRate(Decimal::parse(QStringLiteral("0.23")));
    product->setCurrency1(QStringLiteral("EUR"));
    product->setNetPrice1(Decimal(90));
    product->setGrossPrice1(Decimal::parse(QStringLiteral("110.7")));
    product->setCurrency2(QStringLiteral("PLN"));
    product->setNetPrice2(Decimal(400));
    product->setGrossPrice2(Decimal(492));
    save();

    ZTDocument *first = draft(32);
    addLine(first, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(first, QStringLiteral("FZ 1"));
    ZTDocument *second = ZTDocument::newDraftForAdvanceInvoiceOfDocument(first);
    issued(second, QStringLiteral("FZ 2"));
    ZTDocument *finalInvoice = ZTDocument::newDraftForFinalInvoiceOfDocument(second);
    const QList<ZTDocumentItem *> lines = finalInvoice->availableItems();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(text(lines[0]->netPrice()), QStringLiteral("400"));
    EXPECT_EQ(lines[0]->selectedCurrency(), QStringLiteral("PLN"));
    EXPECT_EQ(lines[1]->name(), QStringLiteral("Usługa (zaliczka nr FZ 1)"));
    EXPECT_EQ(text(lines[1]->netPrice()), QStringLiteral("-100"));
    EXPECT_EQ(text(lines[2]->netPrice()), QStringLiteral("-100"));
}

TEST_F(ZTDerivedDrafts, ARegularInvoiceFromAPaidProFormaIsPaidAlready)
{
    ZTDocument *proforma = draft(2);
    proforma->setPaymentType(QStringLiteral("Gotówka"));
    proforma->setDueDate(kNow.addDays(5));
    addLine(proforma, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(proforma, QStringLiteral("PF 1"));
    const QDateTime paidMoment = kNow.addSecs(600);
    Clock::setFixedNow(paidMoment);
    proforma->markPaid();
    save();

    Clock::setFixedNow(kNow.addDays(1));
    ZTDocument *invoice = ZTDocument::newRegularInvoiceDraftForProformaDocument(proforma);
    EXPECT_TRUE(invoice->hasFormerProformaInvoice());
    EXPECT_EQ(invoice->paymentType(), QStringLiteral("Zapłacono gotówką"));
    EXPECT_EQ(invoice->paidAt(), paidMoment);
    EXPECT_EQ(invoice->dueDate(), kNow.addDays(5)); // the date itself, not an offset
    EXPECT_EQ(proforma->childDocument(), nullptr);

    issued(invoice, QStringLiteral("FV 7"));
    EXPECT_TRUE(invoice->isPaid());
    EXPECT_EQ(invoice->paidAt(), kNow.addDays(1));
    EXPECT_EQ(proforma->childDocument(), invoice);
    EXPECT_FALSE(proforma->isProformaWithoutInvoice());
    save();
}

TEST_F(ZTDerivedDrafts, PaymentTypesOfAPaidProFormaBecomeTheirPaidForms)
{
    const struct
    {
        const char16_t *before;
        const char16_t *after;
    } cases[] = {
        {u"Przelew", u"Zapłacono przelewem"},
        {u"Płatność kartą", u"Zapłacono kartą"},
        {u"Kompensata", u"Kompensata"},
    };
    for (const auto &c : cases) {
        ZTDocument *proforma = draft(2);
        proforma->setPaymentType(QString::fromUtf16(c.before));
        addLine(proforma, QStringLiteral("Usługa"), QStringLiteral("100"));
        issued(proforma, QStringLiteral("PF 1"));
        proforma->markPaid();
        EXPECT_EQ(ZTDocument::newRegularInvoiceDraftForProformaDocument(proforma)->paymentType(),
                  QString::fromUtf16(c.after));
    }
    // Unpaid: the type stays.
    ZTDocument *unpaid = draft(2);
    addLine(unpaid, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(unpaid, QStringLiteral("PF 2"));
    EXPECT_EQ(ZTDocument::newRegularInvoiceDraftForProformaDocument(unpaid)->paymentType(), QStringLiteral("Przelew"));
}

TEST_F(ZTDerivedDrafts, AnAdvanceFromAProFormaNeedsAProForma)
{
    ZTDocument *invoice = draft(1);
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    issued(invoice, QStringLiteral("FV 1"));
    EXPECT_EQ(ZTDocument::newDraftForAdvanceInvoiceWithProforma(invoice), nullptr);
    EXPECT_EQ(ZTDocument::newDraftForAdvanceInvoiceWithProforma(nullptr), nullptr);

    ZTDocument *proforma = draft(2);
    addLine(proforma, QStringLiteral("Meble"), QStringLiteral("1000"));
    issued(proforma, QStringLiteral("PF 1"));
    ZTDocument *advance = ZTDocument::newDraftForAdvanceInvoiceWithProforma(proforma);
    ASSERT_NE(advance, nullptr);
    EXPECT_TRUE(advance->isAdvanceInvoice());
    EXPECT_EQ(advance->parentDocument(), nullptr);
    EXPECT_EQ(namesOf(advance->availableItems()), QStringList{QStringLiteral("Meble")});
    save();
}
