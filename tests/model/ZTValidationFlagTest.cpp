#include "ZTEntityTestFixture.h"

#include "model/ZTCustomer.h"
#include "model/ZTDocument.h"
#include "numbering/ZTDocumentIDSequencer.h"
#include "model/ZTDocumentItem.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "model/ZTProduct.h"
#include "model/ZTPurchaser.h"
#include "model/ZTSeller.h"
#include "model/ZTSellerTemplate.h"
#include "model/ZTSettlementItem.h"

namespace {

const QString kInconsistent = QStringLiteral("inconsistent");

// A document whose checks fail while its remarks say so, standing in for the real consistency
// checks: the rule under test is only whether a failure stops the save.
class CheckedDocument : public ZTDocument
{
protected:
    bool checkForInsert(Error &error) override { return check(error); }
    bool checkForUpdate(Error &error) override { return check(error); }

private:
    bool check(Error &error)
    {
        if (remarks() != kInconsistent)
            return true;
        error = Error::withMessage(QStringLiteral("document is inconsistent"));
        return false;
    }
};

// The same for a catalogue product, which has no draft state: its checks always bind.
class CheckedProduct : public ZTProduct
{
protected:
    bool checkForInsert(Error &error) override { return check(error); }
    bool checkForUpdate(Error &error) override { return check(error); }

private:
    bool check(Error &error)
    {
        if (name() != kInconsistent)
            return true;
        error = Error::withMessage(QStringLiteral("product is inconsistent"));
        return false;
    }
};

// Lets the store create the checked classes while a test runs; the real ones come back after.
class CheckedClasses
{
public:
    CheckedClasses()
    {
        model().registerClass<CheckedDocument>(QStringLiteral("Document"));
        model().registerClass<CheckedProduct>(QStringLiteral("Product"));
    }
    ~CheckedClasses()
    {
        model().registerClass<ZTDocument>(QStringLiteral("Document"));
        model().registerClass<ZTProduct>(QStringLiteral("Product"));
    }
    CheckedClasses(const CheckedClasses &) = delete;
    CheckedClasses &operator=(const CheckedClasses &) = delete;

private:
    // The shared model was built mutable; only factories change, never the description.
    static StoreModel &model() { return const_cast<StoreModel &>(*ztStoreModel()); }
};

} // namespace

using ZTValidationFlag = ZTEntityTest;

TEST_F(ZTValidationFlag, AfterInsertDraftsAndPartiesSaveFreelyOthersAreBound)
{
    struct Case
    {
        QString entity;
        bool prevents;
    };
    const QList<Case> cases = {
        {QStringLiteral("Document"), false},
        {QStringLiteral("DocumentItem"), true}, // not attached to any document yet
        {QStringLiteral("Product"), true},
        {QStringLiteral("Person"), false},
        {QStringLiteral("Customer"), false},
        {QStringLiteral("Purchaser"), false},
        {QStringLiteral("Seller"), false},
        {QStringLiteral("SellerTemplate"), false},
        {QStringLiteral("SettlementItem"), false}, // no document: answers false
        {QStringLiteral("DocumentIDSequencer"), true},
        {QStringLiteral("DocumentSmartSequencer"), true},
        {QStringLiteral("DocumentSmartSequencerValues"), true},
    };
    for (const Case &c : cases) {
        auto *object = dynamic_cast<ZTManagedObject *>(m_context->insertNewObject(c.entity));
        ASSERT_NE(object, nullptr) << c.entity.toStdString();
        EXPECT_EQ(object->validationPreventsSave(), c.prevents) << c.entity.toStdString();
    }
}

TEST_F(ZTValidationFlag, ItemCopiesTheFlagOfTheDocumentItIsAttachedTo)
{
    ZTDocument *draft = insert<ZTDocument>(QStringLiteral("Document"));
    ZTDocumentItem *item = insert<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    ASSERT_TRUE(item->validationPreventsSave());
    draft->addItem(item); // through the inverse side
    EXPECT_FALSE(item->validationPreventsSave());

    ZTDocument *issued = insert<ZTDocument>(QStringLiteral("Document"));
    issued->setStatus(QStringLiteral("ISSUED"));
    issued->setValidationPreventsSave(true);
    item->setDocument(issued);
    EXPECT_TRUE(item->validationPreventsSave());
    item->setDocument(draft);
    EXPECT_FALSE(item->validationPreventsSave());

    // Losing the document keeps the last flag: there is nothing to copy.
    item->setDocument(nullptr);
    EXPECT_FALSE(item->validationPreventsSave());
}

TEST_F(ZTValidationFlag, SettingItOnADocumentReachesLinesAndPartiesButNotTheCatalogue)
{
    ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
    ZTDocumentItem *first = insert<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    ZTDocumentItem *second = insert<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    document->addItem(first);
    document->addItem(second);
    ZTSettlementItem *settlement = insert<ZTSettlementItem>(QStringLiteral("SettlementItem"));
    settlement->setDocument(document);
    ZTPurchaser *purchaser = insert<ZTPurchaser>(QStringLiteral("Purchaser"));
    ZTCustomer *customer = ZTCustomer::newCustomer(*m_context);
    purchaser->setBaseCustomer(customer);
    document->setPurchaser(purchaser);
    ZTSeller *seller = ZTSeller::newSeller(*m_context);
    document->setSeller(seller);

    for (const bool prevents : {true, false}) {
        SCOPED_TRACE(prevents);
        document->setValidationPreventsSave(prevents);
        EXPECT_EQ(document->validationPreventsSave(), prevents);
        EXPECT_EQ(first->validationPreventsSave(), prevents);
        EXPECT_EQ(second->validationPreventsSave(), prevents);
        EXPECT_EQ(settlement->validationPreventsSave(), prevents);
        EXPECT_EQ(purchaser->validationPreventsSave(), prevents);
        EXPECT_EQ(seller->validationPreventsSave(), prevents);
        EXPECT_FALSE(customer->validationPreventsSave());
    }

    // A settlement line has no flag of its own to set.
    settlement->setValidationPreventsSave(true);
    EXPECT_FALSE(settlement->validationPreventsSave());
}

TEST_F(ZTValidationFlag, AfterFetchOnlyIssuedDocumentsAndTheirLinesAreBound)
{
    auto makeDocument = [this](const QString &status, const QString &id) {
        ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
        document->setStatus(status);
        document->setDocumentID(id);
        document->addItem(insert<ZTDocumentItem>(QStringLiteral("DocumentItem")));
        document->addSettlementItem(insert<ZTSettlementItem>(QStringLiteral("SettlementItem")));
        document->setPurchaser(insert<ZTPurchaser>(QStringLiteral("Purchaser")));
        document->setSeller(ZTSeller::newSeller(*m_context));
    };
    makeDocument(QStringLiteral("DRAFT"), QStringLiteral("draft"));
    makeDocument(QStringLiteral("ISSUED"), QStringLiteral("issued"));
    makeDocument(QStringLiteral("PAID"), QStringLiteral("paid"));
    ZTProduct::newProduct(*m_context);
    save();

    struct Expected
    {
        QString id;
        bool prevents;
    };
    for (const Expected &e :
         {Expected{QStringLiteral("draft"), false}, Expected{QStringLiteral("issued"), true},
          Expected{QStringLiteral("paid"), true}}) {
        SCOPED_TRACE(e.id.toStdString());
        // Lines are loaded before their document, and the other way round.
        reopen();
        const QList<ZTDocumentItem *> items = m_context->fetchAs<ZTDocumentItem>(FetchRequest(
            QStringLiteral("DocumentItem"), Predicate::equal(QStringLiteral("document.documentID"), e.id)));
        ASSERT_EQ(items.size(), 1);
        EXPECT_EQ(items.first()->validationPreventsSave(), e.prevents);
        ZTDocument *document = items.first()->document();
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->validationPreventsSave(), e.prevents);
        EXPECT_EQ(document->settlementItems().first()->validationPreventsSave(), e.prevents);
        EXPECT_FALSE(document->purchaser()->validationPreventsSave());
        EXPECT_FALSE(document->seller()->validationPreventsSave());

        reopen();
        ZTDocument *first =
            m_context
                ->fetchAs<ZTDocument>(FetchRequest(QStringLiteral("Document"),
                                                   Predicate::equal(QStringLiteral("documentID"), e.id)))
                .value(0);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->validationPreventsSave(), e.prevents);
        EXPECT_EQ(first->items().first()->validationPreventsSave(), e.prevents);
    }
    EXPECT_TRUE(fetchOne<ZTProduct>(QStringLiteral("Product"))->validationPreventsSave());
}

TEST_F(ZTValidationFlag, FailingChecksStopTheSaveOfAnIssuedDocumentButNotOfADraft)
{
    CheckedClasses checked;
    ZTDocument *draft = insert<ZTDocument>(QStringLiteral("Document"));
    draft->setDocumentID(QStringLiteral("draft"));
    ZTDocument *issued = insert<ZTDocument>(QStringLiteral("Document"));
    issued->setDocumentID(QStringLiteral("issued"));
    issued->setStatus(QStringLiteral("ISSUED"));
    save();
    reopen();

    auto byID = [this](const QString &id) {
        return m_context
            ->fetchAs<ZTDocument>(
                FetchRequest(QStringLiteral("Document"), Predicate::equal(QStringLiteral("documentID"), id)))
            .value(0);
    };
    ZTDocument *loadedIssued = byID(QStringLiteral("issued"));
    ASSERT_NE(dynamic_cast<CheckedDocument *>(loadedIssued), nullptr);
    loadedIssued->setRemarks(kInconsistent);
    Error error;
    EXPECT_FALSE(m_context->save(error));
    EXPECT_EQ(error.userInfo().value(Error::kMessageKey).toString(),
              QStringLiteral("document is inconsistent"));
    m_context->rollback();

    ZTDocument *loadedDraft = byID(QStringLiteral("draft"));
    ASSERT_NE(loadedDraft, nullptr);
    loadedDraft->setRemarks(kInconsistent);
    save();
    reopen();
    EXPECT_EQ(byID(QStringLiteral("draft"))->remarks(), kInconsistent);
    EXPECT_TRUE(byID(QStringLiteral("issued"))->remarks().isNull());
}

TEST_F(ZTValidationFlag, TheFlagDecidesForInsertedObjectsToo)
{
    CheckedClasses checked;
    ZTDocument *document = insert<ZTDocument>(QStringLiteral("Document"));
    document->setRemarks(kInconsistent);
    document->setValidationPreventsSave(true); // as while issuing
    Error error;
    EXPECT_FALSE(m_context->save(error));
    document->setValidationPreventsSave(false);
    save();

    // A product is always bound, so its failing check always stops the save.
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    product->setName(kInconsistent);
    Error productError;
    EXPECT_FALSE(m_context->save(productError));
    EXPECT_EQ(productError.userInfo().value(Error::kMessageKey).toString(),
              QStringLiteral("product is inconsistent"));
    product->setName(QStringLiteral("Herbata"));
    save();
}
