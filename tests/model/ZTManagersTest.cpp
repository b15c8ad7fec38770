#include "model/ZTCustomer.h"
#include "model/ZTDocument.h"
#include "model/ZTDocumentManager.h"
#include "model/ZTPartyManagers.h"
#include "model/ZTProduct.h"
#include "model/ZTProductManager.h"
#include "model/ZTPurchaser.h"
#include "model/ZTSeller.h"
#include "model/ZTSellerTemplate.h"
#include "model/ZTStoreModel.h"

#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/NamedException.h"
#include "platform/ZTExtensions.h"
#include "platform/ZTLog.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ZTManagers : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    std::unique_ptr<ManagedObjectContext> ctx;
    ZTEntityManager::ContextProvider provider = [this] { return ctx.get(); };

    void SetUp() override
    {
        Clock::setFixedNow(dateWithYear(2026, 12, 11, 10));
        Error error;
        ctx = ManagedObjectContext::open(dir.filePath(QStringLiteral("Tolvana.store")), ztStoreModel(), {}, error);
        ASSERT_TRUE(ctx) << error.localizedDescription().toStdString();
    }
    void TearDown() override { Clock::reset(); }

    ZTCustomer *customer(const QString &name)
    {
        auto *c = ctx->insertNewObject<ZTCustomer>(QStringLiteral("Customer"));
        c->setValue(QStringLiteral("name"), name);
        return c;
    }

    ZTDocument *document(const QString &status, const QDateTime &issue, const QString &number = {},
                         ZTCustomer *buyer = nullptr, const QString &currency = QStringLiteral("PLN"),
                         const char *gross = "0")
    {
        auto *d = ctx->insertNewObject<ZTDocument>(QStringLiteral("Document"));
        d->setValue(QStringLiteral("documentKind"), 1);
        d->setValue(QStringLiteral("status"), status);
        d->setValue(QStringLiteral("issueDate"), issue);
        d->setValue(QStringLiteral("dueDate"), issue);
        d->setValue(QStringLiteral("documentID"), number);
        d->setValue(QStringLiteral("currency"), currency);
        d->setValue(QStringLiteral("totalGrossValue"), QVariant::fromValue(Decimal::parse(QString::fromLatin1(gross))));
        d->setValue(QStringLiteral("totalNetValue"), QVariant::fromValue(Decimal::parse(QString::fromLatin1(gross))));
        if (buyer) {
            auto *p = ctx->insertNewObject<ZTPurchaser>(QStringLiteral("Purchaser"));
            p->setValue(QStringLiteral("name"), buyer->value(QStringLiteral("name")));
            p->setRelatedObject(QStringLiteral("baseCustomer"), buyer);
            d->setRelatedObject(QStringLiteral("purchaser"), p);
        }
        return d;
    }

    void save()
    {
        Error error;
        ASSERT_TRUE(ctx->save(error)) << error.messages().join(QLatin1Char('\n')).toStdString();
    }
};

} // namespace

TEST_F(ZTManagers, CustomerNameLookupsIgnoreCaseAndPolishDiacritics)
{
    customer(QStringLiteral("Łódź Sp. z o.o."));
    customer(QStringLiteral("Łódzka Hurtownia"));
    save();
    ZTCustomerManager customers(provider);
    for (const char *query : {"łódź sp. z o.o.", "LODZ SP. Z O.O.", "lodz sp. z o.o."}) {
        const ZTCustomer *found = customers.findWithName(QString::fromUtf8(query));
        ASSERT_NE(found, nullptr) << query;
        EXPECT_EQ(found->value(QStringLiteral("name")).toString(), QStringLiteral("Łódź Sp. z o.o."));
    }
    EXPECT_EQ(customers.findWithName(QStringLiteral("lodz")), nullptr);       // LIKE is the whole name
    EXPECT_NE(customers.findWithName(QStringLiteral("lodz*")), nullptr);      // "*" is a wildcard
    EXPECT_EQ(customers.findWithNameMatching(QStringLiteral("ODZ")).size(), 2);

    // Purchaser snapshots are customers too, but never come back from the customer register.
    document(QStringLiteral("ISSUED"), dateWithYear(2026, 3, 1), QStringLiteral("FV/1"),
             customers.findWithName(QStringLiteral("lodz sp. z o.o.")));
    EXPECT_EQ(customers.findAll().size(), 2);
    EXPECT_EQ(ZTPurchaserManager(provider).findAll().size(), 1);
}

TEST_F(ZTManagers, OverdueCountsIssuedDocumentsDueBeforeToday)
{
    const QDateTime yesterday = dateWithYear(2026, 12, 10, 23, 59, 59);
    const QDateTime today = dateWithYear(2026, 12, 11);
    document(QStringLiteral("ISSUED"), yesterday);
    document(QStringLiteral("ISSUED"), today);
    document(QStringLiteral("PAID"), yesterday);
    document(QStringLiteral("DRAFT"), yesterday);
    document(QStringLiteral("CANCELED"), yesterday);
    ZTDocumentManager documents(provider);
    EXPECT_EQ(documents.overdueDocumentCount(), 1); // unsaved documents count too
    save();
    EXPECT_EQ(documents.overdueDocumentCount(), 1);
}

TEST_F(ZTManagers, MonthsAndYearsWithIssuedDocuments)
{
    document(QStringLiteral("ISSUED"), dateWithYear(2025, 3, 31, 23, 30));
    document(QStringLiteral("PAID"), dateWithYear(2025, 11, 1));
    document(QStringLiteral("DRAFT"), dateWithYear(2025, 6, 1)); // drafts have no month
    document(QStringLiteral("ISSUED"), dateWithYear(2023, 1, 15));
    document(QStringLiteral("ISSUED"), dateWithYear(2026, 12, 1));
    save();
    ZTDocumentManager documents(provider);
    const QList<ZTMonthEntry> ascending = documents.monthsWithDocumentsIssuedForYear(2025, true);
    EXPECT_EQ(ascending, (QList<ZTMonthEntry>{{QStringLiteral("Marzec"), 3}, {QStringLiteral("Listopad"), 11}}));
    const QList<ZTMonthEntry> descending = documents.monthsWithDocumentsIssuedForYear(2025, false);
    EXPECT_EQ(descending, (QList<ZTMonthEntry>{{QStringLiteral("Listopad"), 11}, {QStringLiteral("Marzec"), 3}}));
    EXPECT_EQ(documents.monthsWithDocumentsIssuedThisYear(true),
              (QList<ZTMonthEntry>{{QStringLiteral("Grudzień"), 12}}));

    const auto years = documents.yearsWithIssuedDocuments();
    EXPECT_EQ(years.keys(), (QList<int>{2023, 2025, 2026}));
    EXPECT_EQ(years.value(2023), (QList<ZTMonthEntry>{{QStringLiteral("Styczeń"), 1}}));

    EXPECT_EQ(documents.documentsIssuedInYear(2025).size(), 2);
    EXPECT_EQ(documents.documentsIssuedInYear(2025, 3).size(), 1);
    EXPECT_EQ(documents.callQueryNamed(QStringLiteral("documentsIssuedInMonthNumber"), {12}).size(), 1);
    EXPECT_EQ(documents.callQueryNamed(QStringLiteral("findDrafts"), {}).size(), 1);
    EXPECT_TRUE(documents.callQueryNamed(QStringLiteral("noSuchQuery"), {}).isEmpty());
}

TEST_F(ZTManagers, CustomerDocumentsAndTotals)
{
    ZTCustomer *buyer = customer(QStringLiteral("Kowalski"));
    ZTCustomer *other = customer(QStringLiteral("Nowak"));
    document(QStringLiteral("ISSUED"), dateWithYear(2026, 1, 5), QStringLiteral("FV/1/2026"), buyer,
             QStringLiteral("PLN"), "123.45");
    document(QStringLiteral("DRAFT"), dateWithYear(2026, 1, 6), QString(), buyer, QStringLiteral("PLN"), "10");
    document(QStringLiteral("PAID"), dateWithYear(2026, 1, 7), QStringLiteral("FV/2/2026"), buyer,
             QStringLiteral("EUR"), "1000");
    document(QStringLiteral("ISSUED"), dateWithYear(2026, 1, 8), QStringLiteral("FV/3/2026"), other);
    save();
    ZTDocumentManager documents(provider);
    EXPECT_EQ(documents.documentsForCustomer(buyer).size(), 3);
    EXPECT_EQ(documents.documentsIssuedForCustomer(buyer).size(), 2);
    EXPECT_EQ(documents.documentDraftsForCustomer(buyer).size(), 1);

    const ZTCustomerTotals totals = documents.totalsForCustomer(buyer, QStringLiteral("PLN"));
    EXPECT_EQ(totals.documentCount, 3);
    EXPECT_EQ(totals.totalGrossValue, Decimal::parse(QStringLiteral("133.45"))); // the draft counts
    EXPECT_EQ(totals.otherCurrencyCount, 1); // the EUR document only raises this

    EXPECT_NE(documents.documentWithDocumentID(QStringLiteral("fv/2/2026")), nullptr);
    document(QStringLiteral("DRAFT"), dateWithYear(2026, 2, 1), QStringLiteral("FV/9/2026"));
    EXPECT_EQ(documents.documentWithDocumentID(QStringLiteral("FV/9/2026")), nullptr); // a draft's number
}

TEST_F(ZTManagers, DerivedDraftsAndTheirRoot)
{
    ZTDocument *proforma = document(QStringLiteral("ISSUED"), dateWithYear(2026, 1, 5), QStringLiteral("PRO/1"));
    ZTDocument *advance = document(QStringLiteral("ISSUED"), dateWithYear(2026, 1, 6), QStringLiteral("FZ/1"));
    ZTDocument *final1 = document(QStringLiteral("DRAFT"), dateWithYear(2026, 1, 7));
    ZTDocument *final2 = document(QStringLiteral("DRAFT"), dateWithYear(2026, 1, 8));
    advance->setRelatedObject(QStringLiteral("parentDocument"), proforma);
    final1->setRelatedObject(QStringLiteral("parentDocument"), advance);
    final2->setRelatedObject(QStringLiteral("parentDocument"), advance);
    save();
    ZTDocumentManager documents(provider);
    EXPECT_EQ(documents.findDraftChildrenForDocument(advance).size(), 2);
    EXPECT_TRUE(documents.findDraftChildrenForDocument(proforma).isEmpty()); // its child is issued
    EXPECT_EQ(ZTDocumentManager::rootDocumentWithDocument(final1), proforma);
    EXPECT_EQ(ZTDocumentManager::rootDocumentWithDocument(proforma), proforma);
}

TEST_F(ZTManagers, SellerTemplates)
{
    ZTSellerTemplateManager templates(provider);
    EXPECT_FALSE(templates.hasSellerTemplates());
    EXPECT_THROW(templates.defaultSellerTemplate(), InternalConsistencyError);

    auto make = [&](const QString &name, int order, const QString &bank) {
        auto *t = ctx->insertNewObject<ZTSellerTemplate>(QStringLiteral("SellerTemplate"));
        t->setValue(QStringLiteral("name"), name);
        t->setValue(QStringLiteral("nip"), QStringLiteral("5260250274"));
        t->setValue(QStringLiteral("order"), order);
        t->setValue(QStringLiteral("bankName"), bank);
        return t;
    };
    ZTSellerTemplate *second = make(QStringLiteral("Firma"), 2, QStringLiteral("mBank"));
    ZTSellerTemplate *first = make(QStringLiteral("Firma"), 1, QStringLiteral("PKO BP"));
    EXPECT_EQ(templates.defaultSellerTemplate(), first);
    EXPECT_EQ(templates.completeSellerTemplatesCount(), 2); // more than one: counted as they are
    EXPECT_FALSE(templates.hasSellerTemplatesWithMarginProcedure());
    second->setValue(QStringLiteral("marginInvoiceProcedure"), QStringLiteral("towaryuzywane"));
    EXPECT_EQ(templates.defaultSellerTemplateWithMarginProcedure(), second);
    // A single template counts only when it is complete.
    EXPECT_EQ(templates.completeSellerTemplatesWithMarginProcedureCount(), 0);
    second->setValue(QStringLiteral("address"), QStringLiteral("ul. Długa 1\n00-001 Warszawa"));
    second->setValue(QStringLiteral("issuesIn"), QStringLiteral("Warszawa"));
    EXPECT_EQ(templates.completeSellerTemplatesWithMarginProcedureCount(), 1);

    auto *seller = ctx->insertNewObject<ZTSeller>(QStringLiteral("Seller"));
    seller->setValue(QStringLiteral("name"), QStringLiteral("Firma"));
    seller->setValue(QStringLiteral("nip"), QStringLiteral("5260250274"));
    seller->setValue(QStringLiteral("bankName"), QStringLiteral("mBank"));
    seller->setValue(QStringLiteral("address"), QStringLiteral("ul. Długa 1\n00-001 Warszawa"));
    seller->setValue(QStringLiteral("issuesIn"), QStringLiteral("Warszawa"));
    EXPECT_EQ(templates.sellerTemplateBestFittingSeller(seller), second); // shares bank, address, place
    seller->setValue(QStringLiteral("bankName"), QStringLiteral("PKO BP"));
    seller->setValue(QStringLiteral("address"), QVariant());
    seller->setValue(QStringLiteral("issuesIn"), QVariant());
    EXPECT_EQ(templates.sellerTemplateBestFittingSeller(seller), first);
    seller->setValue(QStringLiteral("bankName"), QStringLiteral("Inny bank"));
    EXPECT_EQ(templates.sellerTemplateBestFittingSeller(nullptr), nullptr);
    seller->setValue(QStringLiteral("nip"), QStringLiteral("1111111111"));
    EXPECT_EQ(templates.sellerTemplateBestFittingSeller(seller), nullptr);
}

TEST_F(ZTManagers, ProductsForCompletionAndLabels)
{
    auto make = [&](const QString &name, const QVariant &noAutocomplete, const QString &labels) {
        auto *p = ctx->insertNewObject<ZTProduct>(QStringLiteral("Product"));
        p->setValue(QStringLiteral("name"), name);
        p->setValue(QStringLiteral("doNotAutocomplete"), noAutocomplete);
        p->setValue(QStringLiteral("label"), labels);
        p->setValue(QStringLiteral("vatRate"), QVariant::fromValue(Decimal::parse(QStringLiteral("0.23"))));
        return p;
    };
    make(QStringLiteral("Śruba M6"), QVariant(), QStringLiteral("metal,drobne"));
    make(QStringLiteral("śruba M8"), false, QStringLiteral("metal"));
    make(QStringLiteral("Sruba ukryta"), true, QString());
    make(QString(), QVariant(), QStringLiteral("puste"));
    ZTProductManager products(provider);
    const QList<ZTProduct *> offered = products.findWithNameMatching(QStringLiteral("sruba"), true);
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(products.findWithNameMatching(QStringLiteral("SRUBA"), false).size(), 3);
    EXPECT_EQ(products.findAllAutocompletable().size(), 2);
    EXPECT_EQ(products.labelsForAllProducts(),
              (QSet<QString>{QStringLiteral("metal"), QStringLiteral("drobne"), QStringLiteral("puste")}));
    EXPECT_NE(products.findWithName(QStringLiteral("sruba m6"), Decimal::parse(QStringLiteral("0.230"))), nullptr);
    EXPECT_EQ(products.findWithName(QStringLiteral("sruba m6"), Decimal::parse(QStringLiteral("0.08"))), nullptr);
}

TEST_F(ZTManagers, ManagersRefuseUnknownEntitiesAndMissingContexts)
{
    try {
        ZTEntityManager(provider, QStringLiteral("Invoice"));
        FAIL();
    } catch (const NamedException &e) {
        EXPECT_EQ(e.name(), QStringLiteral("ZTFailedToRetrieveEntityException"));
        EXPECT_EQ(e.userInfo().value(QStringLiteral("entityName")).toString(), QStringLiteral("Invoice"));
    }
    EXPECT_THROW(ZTDocumentManager([] { return static_cast<ManagedObjectContext *>(nullptr); }), NamedException);
}
