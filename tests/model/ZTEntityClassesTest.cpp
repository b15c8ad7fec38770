#include "ZTEntityTestFixture.h"

#include "model/ZTCustomer.h"
#include "model/ZTDocument.h"
#include "numbering/ZTDocumentIDSequencer.h"
#include "model/ZTDocumentItem.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "numbering/ZTDocumentSmartSequencerValues.h"
#include "model/ZTPerson.h"
#include "model/ZTProduct.h"
#include "model/ZTPurchaser.h"
#include "model/ZTSeller.h"
#include "model/ZTSellerTemplate.h"
#include "model/ZTSettlementItem.h"
#include "platform/ZTLog.h"

#include <typeindex>
#include <typeinfo>

namespace {

Decimal dec(const char *text)
{
    return Decimal::parse(QString::fromLatin1(text));
}

} // namespace

using ZTEntityClasses = ZTEntityTest;

TEST_F(ZTEntityClasses, EveryEntityComesBackFromTheStoreAsItsOwnClass)
{
    struct Case
    {
        QString entity;
        std::type_index type;
    };
    const QList<Case> cases = {
        {QStringLiteral("Document"), typeid(ZTDocument)},
        {QStringLiteral("DocumentItem"), typeid(ZTDocumentItem)},
        {QStringLiteral("Product"), typeid(ZTProduct)},
        {QStringLiteral("Person"), typeid(ZTPerson)},
        {QStringLiteral("Customer"), typeid(ZTCustomer)},
        {QStringLiteral("Purchaser"), typeid(ZTPurchaser)},
        {QStringLiteral("Seller"), typeid(ZTSeller)},
        {QStringLiteral("SellerTemplate"), typeid(ZTSellerTemplate)},
        {QStringLiteral("SettlementItem"), typeid(ZTSettlementItem)},
        {QStringLiteral("DocumentIDSequencer"), typeid(ZTDocumentIDSequencer)},
        {QStringLiteral("DocumentSmartSequencer"), typeid(ZTDocumentSmartSequencer)},
        {QStringLiteral("DocumentSmartSequencerValues"), typeid(ZTDocumentSmartSequencerValues)},
    };
    for (const Case &c : cases) {
        ManagedObject *inserted = m_context->insertNewObject(c.entity);
        EXPECT_EQ(std::type_index(typeid(*inserted)), c.type) << c.entity.toStdString();
        // A line outside any document is bound by its checks.
        if (auto *item = dynamic_cast<ZTDocumentItem *>(inserted)) {
            item->setName(QStringLiteral("Usługa"));
            item->setPosition(1);
        }
        // So is a sequencer, which must have a name and a format.
        if (auto *sequencer = dynamic_cast<ZTDocumentSmartSequencer *>(inserted)) {
            sequencer->setName(QStringLiteral("Faktury"));
            sequencer->setFormat(QStringLiteral("%n"));
            sequencer->setDocumentKind(ZTDocument::kKindInvoice);
        }
    }
    save();
    reopen();
    for (const Case &c : cases) {
        const QList<ManagedObject *> fetched = m_context->fetch(FetchRequest(c.entity));
        ASSERT_EQ(fetched.size(), 1) << c.entity.toStdString(); // sub-entities stay out
        EXPECT_EQ(std::type_index(typeid(*fetched.first())), c.type) << c.entity.toStdString();
    }
}

TEST_F(ZTEntityClasses, TypedAccessorsAndLinksSurviveSaveAndReopen)
{
    ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
    document->setDocumentKind(3);
    // A typed number: a draft would otherwise show its sequencer's proposal when loaded.
    document->setUseCustomDocumentID(true);
    document->setDocumentID(QStringLiteral("FV 1/05/2024"));
    // In the hour that repeats when summer time ends.
    const QDateTime paidAt(QDate(2024, 10, 27), QTime(2, 30), QTimeZone(QByteArrayLiteral("Europe/Warsaw")));
    document->setPaidAt(paidAt);
    document->setHideAccountData(true);
    document->setRemarks(QStringLiteral("Zażółć gęślą jaźń"));

    ZTDocument *parent = insert<ZTDocument>(QStringLiteral("Document"));
    parent->setUseCustomDocumentID(true);
    parent->setDocumentID(QStringLiteral("PRO 7"));
    document->setParentDocument(parent);

    ZTProduct *product = ZTProduct::newProduct(*m_context);
    product->setName(QStringLiteral("Usługa"));
    ZTDocumentItem *item = insert<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    item->setName(QStringLiteral("Usługa"));
    item->setQuantity(dec("2.5"));
    item->setSubPosition(50);
    item->setBaseProduct(product);
    document->addItem(item);
    ZTSettlementItem *settlement = insert<ZTSettlementItem>(QStringLiteral("SettlementItem"));
    settlement->setPurchaseInvoice(QStringLiteral("FZ 9"));
    settlement->setDocument(document);

    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    customer->setName(QStringLiteral("Kowalski"));
    customer->setDefaultDueDays(14);
    ZTPurchaser *purchaser = insert<ZTPurchaser>(QStringLiteral("Purchaser"));
    purchaser->setName(QStringLiteral("Kowalski"));
    purchaser->setBaseCustomer(customer);
    document->setPurchaser(purchaser);
    ZTSeller *seller = ZTSeller::newSeller(*m_context);
    seller->setBankAccountNumber(QStringLiteral("PL61 1090 1014 0000 0712 1981 2874"));
    seller->addDocument(document);

    ZTDocumentSmartSequencer *sequencer =
        insert<ZTDocumentSmartSequencer>(QStringLiteral("DocumentSmartSequencer"));
    sequencer->setName(QStringLiteral("Faktury"));
    sequencer->setFormat(QStringLiteral("FV %n/%m/%Y"));
    ZTDocumentSmartSequencerValues *values =
        insert<ZTDocumentSmartSequencerValues>(QStringLiteral("DocumentSmartSequencerValues"));
    values->setLastValue(41);
    sequencer->addValue(values);
    values->setLastDocument(document);
    document->setDocIDSequencer(sequencer);
    ZTDocumentIDSequencer *oldSequencer =
        insert<ZTDocumentIDSequencer>(QStringLiteral("DocumentIDSequencer"));
    oldSequencer->addDocument(document);
    // Set last: adding lines recomputes the totals.
    document->setTotalNetValue(dec("1234.5678"));
    document->setTotalGrossValue(dec("-0.01"));
    save();
    reopen();

    const QList<ZTDocument *> documents = m_context->fetchAs<ZTDocument>(
        FetchRequest(QStringLiteral("Document"), Predicate::equal(QStringLiteral("documentKind"), 3)));
    ASSERT_EQ(documents.size(), 1);
    ZTDocument *loaded = documents.first();
    EXPECT_EQ(loaded->documentKind(), 3);
    EXPECT_EQ(loaded->documentID(), QStringLiteral("FV 1/05/2024"));
    EXPECT_EQ(loaded->totalNetValue(), dec("1234.5678"));
    EXPECT_EQ(loaded->totalGrossValue(), dec("-0.01"));
    EXPECT_FALSE(loaded->prepaidAmount().has_value()); // never set: empty, not 0
    EXPECT_EQ(loaded->paidAt().toMSecsSinceEpoch(), paidAt.toMSecsSinceEpoch());
    EXPECT_TRUE(loaded->hideAccountData());
    EXPECT_FALSE(loaded->shortSellDate());
    EXPECT_FALSE(loaded->hasValue(QStringLiteral("shortSellDate")));
    EXPECT_EQ(loaded->remarks(), QStringLiteral("Zażółć gęślą jaźń"));
    EXPECT_TRUE(loaded->label().isNull());
    ASSERT_NE(loaded->parentDocument(), nullptr);
    EXPECT_EQ(loaded->parentDocument()->documentID(), QStringLiteral("PRO 7"));
    EXPECT_EQ(loaded->childDocument(), nullptr);

    ASSERT_EQ(loaded->items().size(), 1);
    ZTDocumentItem *loadedItem = loaded->items().first();
    EXPECT_EQ(loadedItem->quantity(), dec("2.5"));
    EXPECT_EQ(loadedItem->subPosition(), 50);
    EXPECT_FALSE(loadedItem->position().has_value());
    EXPECT_EQ(loadedItem->document(), loaded);
    ASSERT_NE(loadedItem->baseProduct(), nullptr);
    EXPECT_EQ(loadedItem->baseProduct()->name(), QStringLiteral("Usługa"));
    ASSERT_EQ(loaded->settlementItems().size(), 1);
    EXPECT_EQ(loaded->settlementItems().first()->purchaseInvoice(), QStringLiteral("FZ 9"));

    ASSERT_NE(loaded->purchaser(), nullptr);
    EXPECT_EQ(loaded->purchaser()->document(), loaded);
    ASSERT_NE(loaded->purchaser()->baseCustomer(), nullptr);
    EXPECT_EQ(loaded->purchaser()->baseCustomer()->defaultDueDays(), 14);
    EXPECT_FALSE(loaded->purchaser()->baseCustomer()->defaultDocumentSecondLanguage().has_value());
    ASSERT_NE(loaded->seller(), nullptr);
    EXPECT_EQ(loaded->seller()->bankAccountNumber(), QStringLiteral("PL61 1090 1014 0000 0712 1981 2874"));
    EXPECT_EQ(loaded->seller()->documents(), QList<ZTDocument *>{loaded});

    ASSERT_NE(loaded->docIDSequencer(), nullptr);
    EXPECT_EQ(loaded->docIDSequencer()->format(), QStringLiteral("FV %n/%m/%Y"));
    ASSERT_EQ(loaded->docIDSequencer()->values().size(), 1);
    ZTDocumentSmartSequencerValues *loadedValues = loaded->docIDSequencer()->values().first();
    EXPECT_EQ(loadedValues->lastValue(), 41);
    EXPECT_EQ(loadedValues->lastDocument(), loaded);
    EXPECT_EQ(loadedValues->sequencer(), loaded->docIDSequencer());
    ASSERT_NE(loaded->documentIDSequencer(), nullptr);
    EXPECT_EQ(loaded->documentIDSequencer()->documents(), QList<ZTDocument *>{loaded});
}

TEST_F(ZTEntityClasses, EmptyingThroughSettersStoresNoValue)
{
    ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
    document->setUseCustomDocumentID(true);
    document->setDocumentID(QStringLiteral("FV 1"));
    document->setDocumentID(QString());
    document->setDueDate(QDateTime());
    document->setDocumentSecondLanguage(std::nullopt);
    document->setTotalNetValue(dec("5"));
    document->setTotalNetValue(std::nullopt);
    save();
    reopen();
    ZTDocument *loaded = fetchOne<ZTDocument>(QStringLiteral("Document"));
    ASSERT_NE(loaded, nullptr);
    // No number reads as an empty text that callers can compare and append to.
    EXPECT_FALSE(loaded->documentID().isNull());
    EXPECT_TRUE(loaded->documentID().isEmpty());
    EXPECT_FALSE(loaded->hasValue(QStringLiteral("documentID")));
    EXPECT_FALSE(loaded->dueDate().isValid());
    EXPECT_FALSE(loaded->documentSecondLanguage().has_value());
    EXPECT_FALSE(loaded->totalNetValue().has_value());
}

TEST_F(ZTEntityClasses, FetchOfAParentEntityNeverReturnsItsSubEntities)
{
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    ZTPurchaser *purchaser = insert<ZTPurchaser>(QStringLiteral("Purchaser"));
    purchaser->setBaseCustomer(customer);
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    ZTDocumentItem *item = insert<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    item->setBaseProduct(product);
    item->setName(QStringLiteral("Usługa")); // a line outside any document is bound by its checks
    item->setPosition(1);
    ZTSeller::newSeller(*m_context);
    insert<ZTSellerTemplate>(QStringLiteral("SellerTemplate"));

    // Unsaved and saved objects alike.
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "before save" : "after reopen");
        const QList<ZTCustomer *> customers = fetchAll<ZTCustomer>(QStringLiteral("Customer"));
        ASSERT_EQ(customers.size(), 1);
        EXPECT_EQ(typeid(*customers.first()), typeid(ZTCustomer));
        const QList<ZTProduct *> products = fetchAll<ZTProduct>(QStringLiteral("Product"));
        ASSERT_EQ(products.size(), 1);
        EXPECT_EQ(typeid(*products.first()), typeid(ZTProduct));
        EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Person"))), 0);
        EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Purchaser"))), 1);
        EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("DocumentItem"))), 1);
        if (pass == 0) {
            save();
            reopen();
        }
    }
}

TEST_F(ZTEntityClasses, NewDocumentGetsItsDefaults)
{
    ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
    EXPECT_EQ(document->status(), QStringLiteral("DRAFT"));
    EXPECT_TRUE(document->isDraft());
    EXPECT_EQ(document->sellDate(), kNow);
    EXPECT_EQ(document->issueDate(), kNow);
    EXPECT_EQ(document->dueDate(), kNow);
    EXPECT_EQ(document->createdAt(), kNow);
    EXPECT_EQ(document->paymentType(), QStringLiteral("Przelew")); // the factory value
    EXPECT_TRUE(document->hasValue(QStringLiteral("grossBasedSummary")));
    EXPECT_FALSE(document->grossBasedSummary());
    EXPECT_EQ(document->documentSecondLanguage(), 0);
    EXPECT_FALSE(document->hasMixedCalculationDirections());
    EXPECT_EQ(document->grossCorrectiveDifference(), Decimal(0));
    EXPECT_EQ(document->netCorrectiveDifference(), Decimal(0));
    EXPECT_EQ(document->vatCorrectiveDifference(), Decimal(0));
    EXPECT_FALSE(document->totalGrossValue().has_value());
    EXPECT_FALSE(document->documentKind().has_value());
    EXPECT_EQ(document->documentID(), QStringLiteral(""));

    // The payment method follows the user's setting.
    SettingsStore::standard().setValue(QStringLiteral("ZTDefaultPaymentMethod"), QStringLiteral("Gotówka"));
    ZTDocument *second = insert<ZTDocument>(QStringLiteral("Document"));
    SettingsStore::standard().removeValue(QStringLiteral("ZTDefaultPaymentMethod"));
    EXPECT_EQ(second->paymentType(), QStringLiteral("Gotówka"));
}

TEST_F(ZTEntityClasses, NewDocumentItemTakesGrossCalculationsFromTheSetting)
{
    for (const bool gross : {false, true}) {
        SCOPED_TRACE(gross);
        SettingsStore::standard().setValue(QStringLiteral("ZTGrossCalculationsEnabled"), gross);
        ZTDocumentItem *item = insert<ZTDocumentItem>(QStringLiteral("DocumentItem"));
        EXPECT_EQ(item->grossBasedValues(), gross);
        EXPECT_EQ(item->grossPrice(), Decimal(0));
        EXPECT_EQ(item->netPrice(), Decimal(0));
        EXPECT_EQ(item->billPrice(), Decimal(0));
        EXPECT_EQ(item->quantity(), Decimal(1));
        EXPECT_EQ(item->discount(), Decimal(0));
        EXPECT_EQ(item->createdAt(), kNow);
        EXPECT_FALSE(item->netValue().has_value());
        EXPECT_FALSE(item->subPosition().has_value());
    }
    SettingsStore::standard().removeValue(QStringLiteral("ZTGrossCalculationsEnabled"));

    // A catalogue product has no such defaults.
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    EXPECT_FALSE(product->storedNetPrice().has_value());
    EXPECT_FALSE(product->hasValue(QStringLiteral("grossBasedValues")));
    EXPECT_EQ(product->createdAt(), kNow);
}

TEST_F(ZTEntityClasses, NewSettlementItemAndSequencersGetTheirDefaults)
{
    ZTSettlementItem *settlement = insert<ZTSettlementItem>(QStringLiteral("SettlementItem"));
    for (const QString &text :
         {settlement->name(), settlement->purchaseInvoice(), settlement->itemDescription()}) {
        EXPECT_FALSE(text.isNull()); // an empty text, not no value
        EXPECT_TRUE(text.isEmpty());
    }
    EXPECT_EQ(settlement->grossValue(), Decimal(0));
    EXPECT_EQ(settlement->position(), 0);

    ZTDocumentIDSequencer *sequencer = insert<ZTDocumentIDSequencer>(QStringLiteral("DocumentIDSequencer"));
    EXPECT_EQ(sequencer->name(), QStringLiteral("Nowa numeracja"));
    EXPECT_EQ(sequencer->format(), QStringLiteral("%n"));
    EXPECT_TRUE(sequencer->hasValue(QStringLiteral("archived")));
    EXPECT_FALSE(sequencer->archived());
    EXPECT_EQ(sequencer->position(), 0);
    EXPECT_EQ(sequencer->lastValue(), 0);
    EXPECT_EQ(sequencer->lastDateIssued(), kNow);
    EXPECT_EQ(sequencer->createdAt(), kNow);
    EXPECT_FALSE(sequencer->documentKind().has_value());

    // Every entity with a creation moment gets it; the smart sequencer has no other defaults.
    ZTDocumentSmartSequencer *smart =
        insert<ZTDocumentSmartSequencer>(QStringLiteral("DocumentSmartSequencer"));
    EXPECT_EQ(smart->createdAt(), kNow);
    EXPECT_TRUE(smart->name().isNull());
    EXPECT_EQ(
        insert<ZTDocumentSmartSequencerValues>(QStringLiteral("DocumentSmartSequencerValues"))->createdAt(),
        kNow);
    EXPECT_EQ(insert<ZTSellerTemplate>(QStringLiteral("SellerTemplate"))->createdAt(), kNow);
    EXPECT_EQ(ZTPerson::newPerson(*m_context)->createdAt(), kNow);
}

TEST_F(ZTEntityClasses, DeletingADocumentTakesItsLinesAndPartiesOnly)
{
    auto makeDocument = [this](const QString &id) {
        ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
        document->setUseCustomDocumentID(true);
        document->setDocumentID(id);
        for (int i = 0; i < 2; ++i)
            document->addItem(insert<ZTDocumentItem>(QStringLiteral("DocumentItem")));
        document->addSettlementItem(insert<ZTSettlementItem>(QStringLiteral("SettlementItem")));
        document->setPurchaser(insert<ZTPurchaser>(QStringLiteral("Purchaser")));
        document->setSeller(ZTSeller::newSeller(*m_context));
        return document;
    };
    ZTDocument *doomed = makeDocument(QStringLiteral("FV 1"));
    makeDocument(QStringLiteral("FV 2"));
    ZTDocumentIDSequencer *sequencer = insert<ZTDocumentIDSequencer>(QStringLiteral("DocumentIDSequencer"));
    doomed->setDocumentIDSequencer(sequencer);
    save();

    m_context->deleteObject(doomed);
    save();
    reopen();
    const QList<ZTDocument *> left = fetchAll<ZTDocument>(QStringLiteral("Document"));
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left.first()->documentID(), QStringLiteral("FV 2"));
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("DocumentItem"))), 2);
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("SettlementItem"))), 1);
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Purchaser"))), 1);
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Seller"))), 1);
    EXPECT_EQ(left.first()->items().size(), 2);
    EXPECT_NE(left.first()->purchaser(), nullptr);
    // The sequencer is shared by many documents and stays.
    ZTDocumentIDSequencer *kept = fetchOne<ZTDocumentIDSequencer>(QStringLiteral("DocumentIDSequencer"));
    ASSERT_NE(kept, nullptr);
    EXPECT_TRUE(kept->documents().isEmpty());
}

TEST_F(ZTEntityClasses, DeletingACatalogueEntryLeavesItsCopiesWithoutTheLink)
{
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
    ZTDocumentItem *item = insert<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    item->setName(QStringLiteral("Kawa"));
    item->setBaseProduct(product);
    document->addItem(item);
    ZTPurchaser *purchaser = insert<ZTPurchaser>(QStringLiteral("Purchaser"));
    purchaser->setName(QStringLiteral("Nowak"));
    purchaser->setBaseCustomer(customer);
    document->setPurchaser(purchaser);
    save();
    reopen();

    m_context->deleteObject(fetchOne<ZTProduct>(QStringLiteral("Product")));
    m_context->deleteObject(fetchOne<ZTCustomer>(QStringLiteral("Customer")));
    save();
    reopen();
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Product"))), 0);
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Customer"))), 0);
    ZTDocumentItem *keptItem = fetchOne<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    ASSERT_NE(keptItem, nullptr);
    EXPECT_EQ(keptItem->name(), QStringLiteral("Kawa"));
    EXPECT_EQ(keptItem->baseProduct(), nullptr);
    EXPECT_EQ(keptItem->relatedPrimaryKey(QStringLiteral("baseProduct")), 0);
    ZTPurchaser *keptPurchaser = fetchOne<ZTPurchaser>(QStringLiteral("Purchaser"));
    ASSERT_NE(keptPurchaser, nullptr);
    EXPECT_EQ(keptPurchaser->name(), QStringLiteral("Nowak"));
    EXPECT_EQ(keptPurchaser->relatedPrimaryKey(QStringLiteral("baseCustomer")), 0);
    EXPECT_NE(keptPurchaser->document(), nullptr);
}

class ZTSnapshot : public ZTEntityTest
{
protected:
    void SetUp() override
    {
        ZTEntityTest::SetUp();
        ZTLog::setSink([this](const QString &line) { m_log.append(line); });
    }
    void TearDown() override
    {
        ZTLog::setSink({});
        ZTEntityTest::TearDown();
    }
    QStringList m_log;
};

TEST_F(ZTSnapshot, RollbackRestoresRecordedValuesAndKeepsWhatWasTypedIntoEmptyOnes)
{
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    customer->setName(QStringLiteral("Firma A"));
    customer->setDefaultDiscount(dec("0.1"));
    save();

    customer->snapshotProperties();
    customer->setEmail(QStringLiteral("biuro@firma.pl"));
    customer->setName(QStringLiteral("Firma B"));
    customer->setDefaultDiscount(dec("0.25"));
    customer->setDefaultDueDays(30);
    customer->rollbackProperties();

    EXPECT_EQ(customer->name(), QStringLiteral("Firma A"));
    EXPECT_EQ(customer->defaultDiscount(), dec("0.1"));
    EXPECT_EQ(customer->email(), QStringLiteral("biuro@firma.pl"));
    EXPECT_EQ(customer->defaultDueDays(), 30);
    EXPECT_TRUE(m_log.isEmpty());
}

TEST_F(ZTSnapshot, RollbackRestoresRelationships)
{
    ZTCustomer *first = ZTCustomer::newCustomer(*m_context);
    ZTCustomer *second = ZTCustomer::newCustomer(*m_context);
    ZTPurchaser *purchaser = insert<ZTPurchaser>(QStringLiteral("Purchaser"));
    purchaser->setBaseCustomer(first);
    ZTSeller *seller = ZTSeller::newSeller(*m_context);
    ZTDocument *kept = insert<ZTDocument>(QStringLiteral("Document"));
    seller->addDocument(kept);

    purchaser->snapshotProperties();
    seller->snapshotProperties();
    purchaser->setBaseCustomer(second);
    seller->removeDocument(kept);
    seller->addDocument(insert<ZTDocument>(QStringLiteral("Document")));
    purchaser->rollbackProperties();
    seller->rollbackProperties();

    EXPECT_EQ(purchaser->baseCustomer(), first);
    EXPECT_EQ(seller->documents(), QList<ZTDocument *>{kept});
}

TEST_F(ZTSnapshot, SettlementItemRecordsOnlyItsOwnFields)
{
    ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
    ZTSettlementItem *settlement = insert<ZTSettlementItem>(QStringLiteral("SettlementItem"));
    EXPECT_EQ(
        settlement->propertiesToSnapshot(),
        (QStringList{QStringLiteral("purchaseInvoice"), QStringLiteral("grossValue"),
                     QStringLiteral("itemDescription"), QStringLiteral("position"), QStringLiteral("name")}));
    settlement->setName(QStringLiteral("Obraz"));
    settlement->setGrossValue(dec("1500"));
    settlement->setPosition(2);
    settlement->snapshotProperties();

    settlement->setName(QStringLiteral("Rzeźba"));
    settlement->setGrossValue(dec("99"));
    settlement->setPosition(7);
    settlement->setDocument(document); // not recorded: stays after rollback
    settlement->rollbackProperties();

    EXPECT_EQ(settlement->name(), QStringLiteral("Obraz"));
    EXPECT_EQ(settlement->grossValue(), dec("1500"));
    EXPECT_EQ(settlement->position(), 2);
    EXPECT_EQ(settlement->document(), document);
}

TEST_F(ZTSnapshot, RollbackWithoutSnapshotChangesNothingAndLogs)
{
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    product->setName(QStringLiteral("Herbata"));
    EXPECT_FALSE(product->hasSnapshot());
    product->rollbackProperties();
    EXPECT_EQ(product->name(), QStringLiteral("Herbata"));
    ASSERT_EQ(m_log.size(), 1);
    EXPECT_TRUE(
        m_log.first().contains(QStringLiteral("tried to rollback without earlier snapshot: <Product x-")))
        << m_log.first().toStdString();
}
