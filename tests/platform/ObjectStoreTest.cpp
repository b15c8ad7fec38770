#include "StoreTestModel.h"

#include "platform/SqliteDatabase.h"
#include "platform/SqliteStore.h"
#include "platform/ZTLog.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTimeZone>

namespace {

// Counts hooks and fails validation on request, as an entity class would.
class HookedInvoice : public ManagedObject
{
public:
    static inline int inserts = 0;
    static inline int fetches = 0;
    static inline int faults = 0;

    void awakeFromInsert() override
    {
        ++inserts;
        setPrimitiveValue(QStringLiteral("issueDate"), QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    }
    void awakeFromFetch() override { ++fetches; }
    void willTurnIntoFault() override { ++faults; }
    bool validateForInsert(Error &error) override { return check(error); }
    bool validateForUpdate(Error &error) override { return check(error); }

private:
    bool check(Error &error)
    {
        if (value(QStringLiteral("number")).toString().startsWith(QStringLiteral("BAD"))) {
            error = Error::withMessage(QStringLiteral("bad number ") + value(QStringLiteral("number")).toString());
            return false;
        }
        return true;
    }
};

std::shared_ptr<StoreModel> hookedModel(int version = 2)
{
    auto model = makeStoreTestModel(version);
    model->registerClass<HookedInvoice>(QStringLiteral("Invoice"));
    HookedInvoice::inserts = HookedInvoice::fetches = HookedInvoice::faults = 0;
    return model;
}

QByteArray digestOf(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

qlonglong rawCount(const QString &path, const QString &sql)
{
    SqliteDatabase db;
    Error error;
    EXPECT_TRUE(db.open(path, true, false, error));
    return db.scalar(sql, {}, error).toLongLong();
}

} // namespace

class ObjectStore : public StoreFixture
{
};

TEST_F(ObjectStore, EveryAttributeTypeSurvivesSaveAndReopen)
{
    m_context = openContext();
    const QDateTime issued(QDate(2024, 10, 27), QTime(2, 30, 15, 123), QTimeZone(QByteArrayLiteral("Europe/Warsaw")));
    ManagedObject *invoice = m_context->insertNewObject(QStringLiteral("Invoice"));
    invoice->setValue(QStringLiteral("number"), QStringLiteral("FV 1/2024 Zażółć gęślą jaźń ŁÓDŹ"));
    invoice->setValue(QStringLiteral("total"), dec("12345678901234567890.1234"));
    invoice->setValue(QStringLiteral("issueDate"), issued);
    invoice->setValue(QStringLiteral("paid"), true);
    invoice->setValue(QStringLiteral("kind"), 9007199254740993LL); // not exact as a double
    invoice->setValue(QStringLiteral("ratio"), 0.1);
    ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
    line->setValue(QStringLiteral("price"), QStringLiteral("-0.0001")); // decimal text is taken exactly
    line->setValue(QStringLiteral("name"), QString());                   // empty text is kept apart from none
    saveOrFail();

    reopen();
    const QList<ManagedObject *> invoices = m_context->fetch(FetchRequest(QStringLiteral("Invoice")));
    ASSERT_EQ(invoices.size(), 1);
    ManagedObject *loaded = invoices.first();
    EXPECT_EQ(loaded->value(QStringLiteral("number")).toString(), QStringLiteral("FV 1/2024 Zażółć gęślą jaźń ŁÓDŹ"));
    EXPECT_EQ(loaded->decimalValue(QStringLiteral("total")).toString(), QStringLiteral("12345678901234567890.1234"));
    EXPECT_EQ(loaded->value(QStringLiteral("issueDate")).toDateTime().toMSecsSinceEpoch(), issued.toMSecsSinceEpoch());
    EXPECT_EQ(loaded->value(QStringLiteral("paid")), QVariant(true));
    EXPECT_EQ(loaded->value(QStringLiteral("kind")).toLongLong(), 9007199254740993LL);
    EXPECT_EQ(loaded->value(QStringLiteral("ratio")).toDouble(), 0.1);
    EXPECT_EQ(loaded->value(QStringLiteral("status")).toString(), QStringLiteral("DRAFT")); // default
    const QList<ManagedObject *> lines = m_context->fetch(FetchRequest(QStringLiteral("Line")));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.first()->decimalValue(QStringLiteral("price")).toString(), QStringLiteral("-0.0001"));
    EXPECT_EQ(lines.first()->decimalValue(QStringLiteral("quantity")).toString(), QStringLiteral("1"));
    EXPECT_TRUE(lines.first()->value(QStringLiteral("name")).isValid());
    EXPECT_FALSE(lines.first()->value(QStringLiteral("currency")).isValid());

    // The file holds decimals as exact text and dates as UTC milliseconds.
    m_context.reset();
    SqliteDatabase db;
    Error error;
    ASSERT_TRUE(db.open(m_path, true, false, error));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT typeof(total) || ':' || total FROM Invoice"), {}, error).toString(),
              QStringLiteral("text:12345678901234567890.1234"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT issueDate FROM Invoice"), {}, error).toLongLong(),
              issued.toMSecsSinceEpoch());
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA journal_mode"), {}, error).toString(), QStringLiteral("wal"));
}

TEST_F(ObjectStore, ValuesThatDoNotFitTheAttributeAreRefused)
{
    m_context = openContext();
    ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
    EXPECT_THROW(line->setValue(QStringLiteral("price"), 0.1), InternalConsistencyError); // binary float
    EXPECT_THROW(line->setValue(QStringLiteral("price"), QStringLiteral("abc")), InternalConsistencyError);
    EXPECT_THROW(line->setValue(QStringLiteral("nosuchkey"), 1), InternalConsistencyError);
    EXPECT_THROW(line->relatedSet(QStringLiteral("invoice")), InternalConsistencyError);
}

TEST_F(ObjectStore, IdentityIsPermanentAtInsertStableAcrossReopenAndNeverReused)
{
    m_context = openContext();
    ManagedObject *first = m_context->insertNewObject(QStringLiteral("Buyer"));
    ManagedObject *second = m_context->insertNewObject(QStringLiteral("Seller"));
    const ManagedObjectID id = first->objectID();
    EXPECT_EQ(id.family(), QStringLiteral("Party")); // one numbering for the whole family
    EXPECT_EQ(id.objectPart(), QStringLiteral("Party/p1"));
    EXPECT_EQ(second->objectID().objectPart(), QStringLiteral("Party/p2"));
    EXPECT_EQ(id.storeUUID(), m_context->storeUUID());
    const QString uri = id.uriRepresentation();
    EXPECT_EQ(ManagedObjectID::fromURIRepresentation(uri), id);
    EXPECT_FALSE(ManagedObjectID::fromURIRepresentation(QStringLiteral("x-tolvana://U/Party/42")).has_value());
    first->setValue(QStringLiteral("name"), QStringLiteral("Pierwszy"));
    saveOrFail();
    m_context->deleteObject(second);
    saveOrFail();

    reopen();
    ManagedObject *again = m_context->objectWithID(*ManagedObjectID::fromURIRepresentation(uri));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->entityName(), QStringLiteral("Buyer"));
    EXPECT_EQ(again->value(QStringLiteral("name")).toString(), QStringLiteral("Pierwszy"));
    EXPECT_EQ(again->objectID(), id);
    // The key of the deleted last row is not handed out again.
    EXPECT_EQ(m_context->insertNewObject(QStringLiteral("Client"))->objectID().objectPart(), QStringLiteral("Party/p3"));
    EXPECT_EQ(m_context->objectWithID(ManagedObjectID(m_context->storeUUID(), QStringLiteral("Party"), 2)), nullptr);
    EXPECT_EQ(m_context->objectWithID(ManagedObjectID(QStringLiteral("other"), QStringLiteral("Party"), 1)), nullptr);
}

TEST_F(ObjectStore, FetchReturnsExactEntityOnlyNeverSubEntities)
{
    m_context = openContext();
    for (const char *entity : {"Party", "Client", "Client", "Buyer", "Seller"})
        m_context->insertNewObject(QString::fromLatin1(entity))->setValue(QStringLiteral("name"), QString::fromLatin1(entity));
    // Unsaved and saved objects alike.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(namesOf(m_context->fetch(FetchRequest(QStringLiteral("Client")))),
                  (QStringList{QStringLiteral("Client"), QStringLiteral("Client")}));
        EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Party"))), 1);
        EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Buyer"))), 1);
        saveOrFail();
        reopen();
    }
}

TEST_F(ObjectStore, FetchAndCountMergeUnsavedInsertsChangesAndDeletions)
{
    m_context = openContext();
    for (const char *name : {"Alfa", "Beta", "Gamma", "Delta"}) {
        ManagedObject *c = m_context->insertNewObject(QStringLiteral("Client"));
        c->setValue(QStringLiteral("name"), QString::fromLatin1(name));
        c->setValue(QStringLiteral("discount"), dec(name[0] == 'A' || name[0] == 'B' ? "0.1" : "0"));
    }
    saveOrFail();
    reopen();
    const FetchRequest discounted(QStringLiteral("Client"), Predicate::greater(QStringLiteral("discount"), dec("0.05")),
                                  {{QStringLiteral("name")}});
    const QList<ManagedObject *> before = m_context->fetch(discounted);
    ASSERT_EQ(namesOf(before), (QStringList{QStringLiteral("Alfa"), QStringLiteral("Beta")}));
    before[0]->setValue(QStringLiteral("discount"), dec("0"));   // Alfa no longer matches
    m_context->deleteObject(before[1]);                          // Beta is deleted
    ManagedObject *inserted = m_context->insertNewObject(QStringLiteral("Client"));
    inserted->setValue(QStringLiteral("name"), QStringLiteral("Epsilon"));
    inserted->setValue(QStringLiteral("discount"), dec("0.2"));
    // Gamma is not loaded yet: load it through a fetch and change it so it matches.
    const QList<ManagedObject *> gamma = m_context->fetch(
        FetchRequest(QStringLiteral("Client"), Predicate::equal(QStringLiteral("name"), QStringLiteral("Gamma"))));
    ASSERT_EQ(gamma.size(), 1);
    gamma.first()->setValue(QStringLiteral("discount"), dec("0.5"));

    EXPECT_TRUE(before[1]->isDeleted());
    EXPECT_EQ(namesOf(m_context->fetch(discounted)), (QStringList{QStringLiteral("Epsilon"), QStringLiteral("Gamma")}));
    EXPECT_EQ(m_context->count(discounted), 2);
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Client"))), 4);

    saveOrFail();
    EXPECT_FALSE(before[1]->isDeleted()); // deleted until the save, then gone
    EXPECT_EQ(before[1]->managedObjectContext(), nullptr);
    reopen();
    EXPECT_EQ(namesOf(m_context->fetch(discounted)), (QStringList{QStringLiteral("Epsilon"), QStringLiteral("Gamma")}));
}

TEST_F(ObjectStore, OnlyWhatIsFetchedIsLoadedAndCountLoadsNothing)
{
    m_context = openContext();
    for (int i = 0; i < 50; ++i)
        m_context->insertNewObject(QStringLiteral("Product"))->setValue(QStringLiteral("name"), QStringLiteral("P%1").arg(i));
    saveOrFail();
    reopen();
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Product"))), 50);
    EXPECT_EQ(m_context->registeredObjectCount(), 0);
    const auto found = m_context->fetch(
        FetchRequest(QStringLiteral("Product"), Predicate::beginsWith(QStringLiteral("name"), QStringLiteral("P4"))));
    EXPECT_EQ(found.size(), 11);
    EXPECT_EQ(m_context->registeredObjectCount(), 11);
    // The identity map hands out the same object for the same row.
    const auto again = m_context->fetch(
        FetchRequest(QStringLiteral("Product"), Predicate::equal(QStringLiteral("name"), QStringLiteral("P4"))));
    ASSERT_EQ(again.size(), 1);
    EXPECT_TRUE(found.contains(again.first()));
}

TEST_F(ObjectStore, SortsCaseInsensitivelyNumericallyAcrossRelationshipsAndLimits)
{
    m_context = openContext();
    const QList<std::pair<const char *, const char *>> data = {
        {"beta", "10"}, {"Alfa", "9"}, {"alfa", "9.5"}, {"Gamma", "-1"}, {"delta", "100"}};
    for (const auto &[name, price] : data) {
        ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
        line->setValue(QStringLiteral("name"), QString::fromLatin1(name));
        line->setValue(QStringLiteral("price"), dec(price));
    }
    saveOrFail();
    reopen();
    auto names = [this](QList<SortDescriptor> sort, int limit = 0) {
        return namesOf(m_context->fetch(FetchRequest(QStringLiteral("Line"), Predicate(), sort, limit)));
    };
    const QStringList byPrice = {QStringLiteral("Gamma"), QStringLiteral("Alfa"), QStringLiteral("alfa"),
                                 QStringLiteral("beta"), QStringLiteral("delta")};
    for (int pass = 0; pass < 2; ++pass) { // from SQL, then merged with an unsaved change
        EXPECT_EQ(names({{QStringLiteral("price")}}), byPrice); // numeric, not text order
        EXPECT_EQ(names({{QStringLiteral("name"), true, false}}),
                  (QStringList{QStringLiteral("Alfa"), QStringLiteral("Gamma"), QStringLiteral("alfa"),
                               QStringLiteral("beta"), QStringLiteral("delta")}));
        EXPECT_EQ(names({{QStringLiteral("name"), false, true}, {QStringLiteral("price"), false}}),
                  (QStringList{QStringLiteral("Gamma"), QStringLiteral("delta"), QStringLiteral("beta"),
                               QStringLiteral("alfa"), QStringLiteral("Alfa")}));
        EXPECT_EQ(names({{QStringLiteral("price"), false}}, 1), QStringList{QStringLiteral("delta")});
        // Touch an object without changing its order.
        m_context->fetch(FetchRequest(QStringLiteral("Line"), Predicate::equal(QStringLiteral("name"), QStringLiteral("beta"))))
            .first()
            ->setValue(QStringLiteral("currency"), QStringLiteral("PLN"));
    }
    // An unsaved insert wins the first place of a limited fetch.
    ManagedObject *cheapest = m_context->insertNewObject(QStringLiteral("Line"));
    cheapest->setValue(QStringLiteral("name"), QStringLiteral("zeta"));
    cheapest->setValue(QStringLiteral("price"), dec("-5"));
    EXPECT_EQ(names({{QStringLiteral("price")}}, 1), QStringList{QStringLiteral("zeta")});
    EXPECT_EQ(names({{QStringLiteral("price"), false}}, 2), (QStringList{QStringLiteral("delta"), QStringLiteral("beta")}));
}

TEST_F(ObjectStore, SortsAndFiltersThroughToOneKeyPaths)
{
    m_context = openContext();
    for (const char *number : {"B/2", "A/1", "C/3"}) {
        ManagedObject *invoice = m_context->insertNewObject(QStringLiteral("Invoice"));
        invoice->setValue(QStringLiteral("number"), QString::fromLatin1(number));
        ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
        line->setValue(QStringLiteral("name"), QString(QStringLiteral("line of ") + QString::fromLatin1(number)));
        line->setRelatedObject(QStringLiteral("invoice"), invoice);
    }
    m_context->insertNewObject(QStringLiteral("Line"))->setValue(QStringLiteral("name"), QStringLiteral("orphan"));
    saveOrFail();
    reopen();
    const auto lines = m_context->fetch(FetchRequest(QStringLiteral("Line"), Predicate(),
                                                     {{QStringLiteral("invoice.number"), false}}));
    EXPECT_EQ(namesOf(lines), (QStringList{QStringLiteral("line of C/3"), QStringLiteral("line of B/2"),
                                           QStringLiteral("line of A/1"), QStringLiteral("orphan")}));
    const auto filtered = m_context->fetch(FetchRequest(
        QStringLiteral("Line"), Predicate::lessOrEqual(QStringLiteral("invoice.number"), QStringLiteral("B/2"))));
    EXPECT_EQ(filtered.size(), 2);
    ManagedObject *invoiceA = lines[2]->relatedObject(QStringLiteral("invoice"));
    EXPECT_EQ(namesOf(m_context->fetch(FetchRequest(QStringLiteral("Line"),
                                                    Predicate::equalObject(QStringLiteral("invoice"), invoiceA)))),
              QStringList{QStringLiteral("line of A/1")});
    EXPECT_EQ(namesOf(m_context->fetch(FetchRequest(QStringLiteral("Line"),
                                                    Predicate::equalObject(QStringLiteral("invoice"), nullptr)))),
              QStringList{QStringLiteral("orphan")});
}

TEST_F(ObjectStore, RelationshipsKeepTheirInversesInStep)
{
    m_context = openContext();
    ManagedObject *invoice = m_context->insertNewObject(QStringLiteral("Invoice"));
    ManagedObject *other = m_context->insertNewObject(QStringLiteral("Invoice"));
    ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
    ManagedObject *buyer = m_context->insertNewObject(QStringLiteral("Buyer"));

    line->setRelatedObject(QStringLiteral("invoice"), invoice);
    EXPECT_EQ(invoice->relatedSet(QStringLiteral("lines")), QList<ManagedObject *>{line});
    other->addRelatedObject(QStringLiteral("lines"), line); // moves the line
    EXPECT_TRUE(invoice->relatedSet(QStringLiteral("lines")).isEmpty());
    EXPECT_EQ(line->relatedObject(QStringLiteral("invoice")), other);
    other->removeRelatedObject(QStringLiteral("lines"), line);
    EXPECT_EQ(line->relatedObject(QStringLiteral("invoice")), nullptr);
    line->setRelatedObject(QStringLiteral("invoice"), invoice);

    // One-to-one: both sides hold the link; taking the buyer away from one invoice clears it there.
    invoice->setRelatedObject(QStringLiteral("buyer"), buyer);
    EXPECT_EQ(buyer->relatedObject(QStringLiteral("invoice")), invoice);
    buyer->setRelatedObject(QStringLiteral("invoice"), other);
    EXPECT_EQ(invoice->relatedObject(QStringLiteral("buyer")), nullptr);
    EXPECT_EQ(other->relatedObject(QStringLiteral("buyer")), buyer);
    saveOrFail();

    reopen();
    const auto invoices = m_context->fetch(FetchRequest(QStringLiteral("Invoice")));
    ASSERT_EQ(invoices.size(), 2);
    ManagedObject *first = invoices[0];
    ManagedObject *second = invoices[1];
    EXPECT_EQ(second->relatedObject(QStringLiteral("buyer"))->relatedObject(QStringLiteral("invoice")), second);
    // An unloaded set is derived from saved rows merged with unsaved changes to the other side.
    ManagedObject *newLine = m_context->insertNewObject(QStringLiteral("Line"));
    newLine->setRelatedObject(QStringLiteral("invoice"), first);
    EXPECT_EQ(first->relatedSet(QStringLiteral("lines")).size(), 2);
    const ManagedObject *savedLine = m_context->fetch(FetchRequest(
        QStringLiteral("Line"), Predicate::notEqualObject(QStringLiteral("invoice"), nullptr)))[0];
    EXPECT_EQ(savedLine->relatedObject(QStringLiteral("invoice")), first);
}

TEST_F(ObjectStore, AggregatesOverAToManyRelationship)
{
    m_context = openContext();
    ManagedObject *invoice = m_context->insertNewObject(QStringLiteral("Invoice"));
    const QList<std::tuple<const char *, bool, const char *>> lines = {
        {"10.10", false, "PLN"}, {"0.005", true, "EUR"}, {"20", false, "PLN"}};
    for (const auto &[price, canceled, currency] : lines) {
        ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
        line->setValue(QStringLiteral("price"), dec(price));
        line->setValue(QStringLiteral("canceled"), canceled);
        line->setValue(QStringLiteral("currency"), QString::fromLatin1(currency));
        line->setRelatedObject(QStringLiteral("invoice"), invoice);
    }
    ManagedObject *empty = m_context->insertNewObject(QStringLiteral("Line")); // no price: skipped
    empty->setRelatedObject(QStringLiteral("invoice"), invoice);
    saveOrFail();
    reopen();
    ManagedObject *loaded = m_context->fetch(FetchRequest(QStringLiteral("Invoice"))).first();
    EXPECT_EQ(loaded->sumOf(QStringLiteral("lines"), QStringLiteral("price")).toString(), QStringLiteral("30.105"));
    EXPECT_EQ(loaded->maxOf(QStringLiteral("lines"), QStringLiteral("canceled")), QVariant(true));
    EXPECT_EQ(loaded->averageOf(QStringLiteral("lines"), QStringLiteral("price")).value<Decimal>().toString(),
              QStringLiteral("10.035"));
    EXPECT_EQ(loaded->maxOf(QStringLiteral("lines"), QStringLiteral("price")).value<Decimal>().toString(), QStringLiteral("20"));
    QStringList currencies;
    for (const QVariant &v : loaded->distinctValuesOf(QStringLiteral("lines"), QStringLiteral("currency")))
        currencies.append(v.toString());
    currencies.sort();
    EXPECT_EQ(currencies, (QStringList{QStringLiteral("EUR"), QStringLiteral("PLN")}));
    // Deleted members no longer count, before the save already.
    m_context->deleteObject(loaded->relatedSet(QStringLiteral("lines")).at(2));
    EXPECT_EQ(loaded->sumOf(QStringLiteral("lines"), QStringLiteral("price")).toString(), QStringLiteral("10.105"));
}

TEST_F(ObjectStore, DeleteRulesCascadeNullifyAndDeny)
{
    m_context = openContext();
    ManagedObject *seller = m_context->insertNewObject(QStringLiteral("Seller"));
    ManagedObject *invoice = m_context->insertNewObject(QStringLiteral("Invoice"));
    ManagedObject *buyer = m_context->insertNewObject(QStringLiteral("Buyer"));
    ManagedObject *product = m_context->insertNewObject(QStringLiteral("Product"));
    ManagedObject *category = m_context->insertNewObject(QStringLiteral("Category"));
    invoice->setRelatedObject(QStringLiteral("seller"), seller);
    invoice->setRelatedObject(QStringLiteral("buyer"), buyer);
    product->setRelatedObject(QStringLiteral("category"), category);
    for (int i = 0; i < 3; ++i) {
        ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
        line->setRelatedObject(QStringLiteral("invoice"), invoice);
        line->setRelatedObject(QStringLiteral("product"), product);
    }
    ManagedObject *keptLine = m_context->insertNewObject(QStringLiteral("Line"));
    keptLine->setValue(QStringLiteral("name"), QStringLiteral("kept"));
    keptLine->setRelatedObject(QStringLiteral("product"), product);
    saveOrFail();
    reopen();

    // Deleting a product leaves the lines copied from it, without the link, loaded or not.
    ManagedObject *loadedProduct = m_context->fetch(FetchRequest(QStringLiteral("Product"))).first();
    ManagedObject *loadedCategory = loadedProduct->relatedObject(QStringLiteral("category"));
    m_context->deleteObject(loadedProduct);
    m_context->processPendingChanges();
    EXPECT_TRUE(loadedCategory->relatedSet(QStringLiteral("products")).isEmpty());
    saveOrFail();
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Line"),
                                            Predicate::notEqualObject(QStringLiteral("product"), nullptr))),
              0);
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Line"))), 4);

    // Deleting the invoice takes its lines and buyer with it and releases the seller.
    ManagedObject *loadedInvoice = m_context->fetch(FetchRequest(QStringLiteral("Invoice"))).first();
    ManagedObject *loadedSeller = loadedInvoice->relatedObject(QStringLiteral("seller"));
    ASSERT_EQ(loadedSeller->relatedSet(QStringLiteral("invoices")).size(), 1);
    m_context->deleteObject(loadedInvoice);
    m_context->processPendingChanges();
    EXPECT_EQ(m_context->deletedObjects().size(), 5); // invoice, 3 lines, buyer
    EXPECT_TRUE(loadedSeller->relatedSet(QStringLiteral("invoices")).isEmpty());
    saveOrFail();
    reopen();
    EXPECT_EQ(namesOf(m_context->fetch(FetchRequest(QStringLiteral("Line")))), QStringList{QStringLiteral("kept")});
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Buyer"))), 0);
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Seller"))), 1);

    // A category with products cannot be deleted; without them it can.
    ManagedObject *cat = m_context->fetch(FetchRequest(QStringLiteral("Category"))).first();
    ManagedObject *p2 = m_context->insertNewObject(QStringLiteral("Product"));
    p2->setRelatedObject(QStringLiteral("category"), cat);
    saveOrFail();
    m_context->deleteObject(cat);
    Error error;
    EXPECT_FALSE(m_context->save(error));
    EXPECT_EQ(error.code(), 1600);
    m_context->rollback();
    m_context->deleteObject(p2);
    m_context->deleteObject(cat);
    saveOrFail();
    EXPECT_EQ(rawCount(m_path, QStringLiteral("SELECT count(*) FROM Category")), 0);
}

TEST_F(ObjectStore, FailedValidationWritesNothingCombinesErrorsAndKeepsChanges)
{
    m_context = openContext(hookedModel());
    ManagedObject *good = m_context->insertNewObject(QStringLiteral("Invoice"));
    good->setValue(QStringLiteral("number"), QStringLiteral("FV 1"));
    saveOrFail();

    good->setValue(QStringLiteral("number"), QStringLiteral("BAD 1"));
    ManagedObject *fresh = m_context->insertNewObject(QStringLiteral("Invoice"));
    fresh->setValue(QStringLiteral("number"), QStringLiteral("BAD 2"));
    ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
    Error error;
    EXPECT_FALSE(m_context->save(error));
    EXPECT_EQ(error.code(), Error::kMultipleErrorsCode);
    // Inserted objects are checked first, then changed ones, then deleted ones.
    EXPECT_EQ(error.messages(), (QStringList{QStringLiteral("bad number BAD 2"), QStringLiteral("bad number BAD 1")}));
    EXPECT_EQ(rawCount(m_path, QStringLiteral("SELECT count(*) FROM Invoice")), 1);
    EXPECT_EQ(rawCount(m_path, QStringLiteral("SELECT count(*) FROM Line")), 0);
    EXPECT_TRUE(m_context->hasChanges());
    EXPECT_TRUE(good->isUpdated());
    EXPECT_TRUE(fresh->isInserted());
    EXPECT_TRUE(line->isInserted());

    // One failing object gives its own error, not a list.
    fresh->setValue(QStringLiteral("number"), QStringLiteral("FV 2"));
    EXPECT_FALSE(m_context->save(error));
    EXPECT_EQ(error.message(), QStringLiteral("bad number BAD 1"));

    good->setValue(QStringLiteral("number"), QStringLiteral("FV 1 poprawiona"));
    saveOrFail();
    EXPECT_FALSE(m_context->hasChanges());
    EXPECT_EQ(rawCount(m_path, QStringLiteral("SELECT count(*) FROM Invoice")), 2);
}

TEST_F(ObjectStore, RollbackRestoresTheLastSavedState)
{
    m_context = openContext();
    ManagedObject *invoice = m_context->insertNewObject(QStringLiteral("Invoice"));
    invoice->setValue(QStringLiteral("number"), QStringLiteral("FV 1"));
    ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
    line->setRelatedObject(QStringLiteral("invoice"), invoice);
    saveOrFail();

    QStringList heard;
    Observation watch = invoice->observe(QStringLiteral("number"),
                                         [&](ManagedObject &, const QString &key) { heard.append(key); });
    invoice->setValue(QStringLiteral("number"), QStringLiteral("FV 2"));
    invoice->setValue(QStringLiteral("total"), dec("5"));
    ManagedObject *extra = m_context->insertNewObject(QStringLiteral("Line"));
    extra->setRelatedObject(QStringLiteral("invoice"), invoice);
    line->setRelatedObject(QStringLiteral("invoice"), nullptr);
    m_context->deleteObject(invoice);
    EXPECT_EQ(invoice->changedValues().value(QStringLiteral("number")).toString(), QStringLiteral("FV 2"));
    EXPECT_EQ(invoice->committedValues().value(QStringLiteral("number")).toString(), QStringLiteral("FV 1"));

    m_context->rollback();
    EXPECT_FALSE(m_context->hasChanges());
    EXPECT_FALSE(invoice->isDeleted());
    EXPECT_FALSE(invoice->isUpdated());
    EXPECT_EQ(invoice->value(QStringLiteral("number")).toString(), QStringLiteral("FV 1"));
    EXPECT_FALSE(invoice->value(QStringLiteral("total")).isValid());
    EXPECT_EQ(extra->managedObjectContext(), nullptr);
    EXPECT_EQ(invoice->relatedSet(QStringLiteral("lines")), QList<ManagedObject *>{line});
    EXPECT_EQ(heard, (QStringList{QStringLiteral("number"), QStringLiteral("number")}));
    EXPECT_EQ(m_context->count(FetchRequest(QStringLiteral("Line"))), 1);
}

TEST_F(ObjectStore, SavesInARowWriteOnlyTheirOwnChanges)
{
    m_context = openContext();
    ManagedObject *client = m_context->insertNewObject(QStringLiteral("Client"));
    client->setValue(QStringLiteral("name"), QStringLiteral("Pierwsza"));
    client->setValue(QStringLiteral("email"), QStringLiteral("a@b.pl"));
    saveOrFail();
    EXPECT_FALSE(client->isInserted());
    client->setValue(QStringLiteral("name"), QStringLiteral("Druga"));
    EXPECT_EQ(client->changedValues().keys(), QStringList{QStringLiteral("name")});
    saveOrFail();
    EXPECT_FALSE(client->isUpdated());
    Error error;
    EXPECT_TRUE(m_context->save(error)); // nothing to do
    reopen();
    ManagedObject *loaded = m_context->fetch(FetchRequest(QStringLiteral("Client"))).first();
    EXPECT_EQ(loaded->value(QStringLiteral("name")).toString(), QStringLiteral("Druga"));
    EXPECT_EQ(loaded->value(QStringLiteral("email")).toString(), QStringLiteral("a@b.pl"));
    EXPECT_EQ(loaded->value(QStringLiteral("dueDays")).toInt(), 14);
}

TEST_F(ObjectStore, HooksRunAtInsertFetchAndRelease)
{
    m_context = openContext(hookedModel());
    ManagedObject *invoice = m_context->insertNewObject(QStringLiteral("Invoice"));
    EXPECT_EQ(HookedInvoice::inserts, 1);
    EXPECT_NE(dynamic_cast<HookedInvoice *>(invoice), nullptr);
    EXPECT_EQ(invoice->value(QStringLiteral("issueDate")).toDateTime().date(), QDate(2024, 3, 1));
    m_context->insertNewObject(QStringLiteral("Invoice"));
    m_context->rollback(); // inserted objects are released
    EXPECT_EQ(HookedInvoice::faults, 2);
    m_context->insertNewObject(QStringLiteral("Invoice"));
    saveOrFail();
    m_context.reset();
    EXPECT_EQ(HookedInvoice::faults, 3);
    m_context = openContext(hookedModel());
    EXPECT_EQ(HookedInvoice::fetches, 0);
    const auto invoices = m_context->fetchAs<HookedInvoice>(FetchRequest(QStringLiteral("Invoice")));
    ASSERT_EQ(invoices.size(), 1);
    EXPECT_NE(invoices.first(), nullptr);
    EXPECT_EQ(HookedInvoice::fetches, 1);
    EXPECT_EQ(HookedInvoice::inserts, 0);
}

TEST_F(ObjectStore, ObserversHearChangesAndTheContextReportsOncePerSave)
{
    m_context = openContext();
    ManagedObject *invoice = m_context->insertNewObject(QStringLiteral("Invoice"));
    ManagedObject *line = m_context->insertNewObject(QStringLiteral("Line"));
    QStringList heard;
    auto record = [&](ManagedObject &o, const QString &key) { heard.append(o.entityName() + QLatin1Char('.') + key); };
    Observation price = line->observe(QStringLiteral("price"), record);
    Observation lines = invoice->observe(QStringLiteral("lines"), record);
    Observation total = invoice->observe(QStringLiteral("total"), record);
    line->setValue(QStringLiteral("price"), dec("2"));
    line->setValue(QStringLiteral("price"), dec("2.00")); // same value: silent
    line->setPrimitiveValue(QStringLiteral("price"), dec("3"));
    line->setRelatedObject(QStringLiteral("invoice"), invoice);
    invoice->notifyValueChanged(QStringLiteral("total"));
    price.reset();
    line->setValue(QStringLiteral("price"), dec("4"));
    EXPECT_EQ(heard, (QStringList{QStringLiteral("Line.price"), QStringLiteral("Invoice.lines"),
                                  QStringLiteral("Invoice.total")}));

    QList<ContextChanges> reports;
    Observation changes = m_context->observeChanges([&](const ContextChanges &c) { reports.append(c); });
    saveOrFail();
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports[0].kind, ContextChanges::Kind::ObjectsDidChange);
    EXPECT_EQ(reports[1].kind, ContextChanges::Kind::DidSave);
    EXPECT_EQ(reports[1].inserted.size(), 2);
    reports.clear();
    line->setValue(QStringLiteral("price"), dec("5"));
    line->setValue(QStringLiteral("name"), QStringLiteral("x"));
    m_context->deleteObject(invoice); // cascades to the line
    saveOrFail();
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports[1].updated.isEmpty());
    EXPECT_EQ(reports[1].deleted.size(), 2);
    changes.reset();
    m_context->insertNewObject(QStringLiteral("Line"));
    saveOrFail();
    EXPECT_EQ(reports.size(), 2);
}

TEST_F(ObjectStore, OlderStoreIsMigratedForwardKeepingItsData)
{
    m_context = openContext(makeStoreTestModel(1));
    ManagedObject *client = m_context->insertNewObject(QStringLiteral("Client"));
    client->setValue(QStringLiteral("name"), QStringLiteral("Stary klient"));
    client->setValue(QStringLiteral("discount"), dec("0.15"));
    m_context->insertNewObject(QStringLiteral("Seller"))->setValue(QStringLiteral("name"), QStringLiteral("Sprzedawca"));
    m_context->insertNewObject(QStringLiteral("Invoice"))->setValue(QStringLiteral("number"), QStringLiteral("FV 1"));
    saveOrFail();
    const QString uuid = m_context->storeUUID();
    m_context.reset();

    Error error;
    EXPECT_EQ(SqliteStore::readStoreModelVersion(m_path, error), 1);
    // Without automatic migration the older store is refused and left alone.
    StoreOpenOptions manual;
    manual.migrateAutomatically = false;
    auto model = makeStoreTestModel(2);
    model->finalize();
    EXPECT_EQ(ManagedObjectContext::open(m_path, model, manual, error), nullptr);
    EXPECT_EQ(error.code(), SqliteStore::NeedsMigration);
    EXPECT_EQ(SqliteStore::readStoreModelVersion(m_path, error), 1);

    int stepRuns = 0;
    StoreOpenOptions options;
    options.migrationSteps.append({1, [&stepRuns](SqliteDatabase &db, Error &e) {
                                       ++stepRuns; // the new column is already there
                                       return db.exec(QStringLiteral("UPDATE Invoice SET note = 'migrated'"), e);
                                   }});
    m_context = openContext(makeStoreTestModel(2), options);
    ASSERT_TRUE(m_context);
    EXPECT_EQ(stepRuns, 1);
    EXPECT_EQ(m_context->storeUUID(), uuid);
    ManagedObject *loaded = m_context->fetch(FetchRequest(QStringLiteral("Client"))).first();
    EXPECT_EQ(loaded->value(QStringLiteral("name")).toString(), QStringLiteral("Stary klient"));
    EXPECT_EQ(loaded->decimalValue(QStringLiteral("discount")).toString(), QStringLiteral("0.15"));
    EXPECT_EQ(loaded->value(QStringLiteral("dueDays")).toInt(), 14); // default filled in for old rows
    EXPECT_EQ(m_context->fetch(FetchRequest(QStringLiteral("Invoice"))).first()->value(QStringLiteral("note")).toString(),
              QStringLiteral("migrated"));
    ManagedObject *category = m_context->insertNewObject(QStringLiteral("Category")); // new entity, new table
    category->setValue(QStringLiteral("name"), QStringLiteral("Nowa"));
    saveOrFail();
    m_context.reset();
    EXPECT_EQ(SqliteStore::readStoreModelVersion(m_path, error), 2);
    // The seller row took no client default.
    EXPECT_EQ(rawCount(m_path, QStringLiteral("SELECT count(*) FROM Party WHERE dueDays IS NULL")), 1);

    // A store of a newer version than the program is refused.
    auto older = makeStoreTestModel(1);
    older->finalize();
    EXPECT_EQ(ManagedObjectContext::open(m_path, older, {}, error), nullptr);
    EXPECT_EQ(error.code(), SqliteStore::NewerModel);
}

TEST_F(ObjectStore, FailingMigrationStepLeavesTheStoreAtItsVersion)
{
    m_context = openContext(makeStoreTestModel(1));
    m_context->insertNewObject(QStringLiteral("Invoice"));
    saveOrFail();
    m_context.reset();
    StoreOpenOptions options;
    options.migrationSteps.append({1, [](SqliteDatabase &db, Error &e) {
                                       return db.exec(QStringLiteral("UPDATE NoSuchTable SET x = 1"), e);
                                   }});
    auto model = makeStoreTestModel(2);
    model->finalize();
    Error error;
    EXPECT_EQ(ManagedObjectContext::open(m_path, model, options, error), nullptr);
    EXPECT_EQ(error.code(), SqliteStore::MigrationFailed);
    EXPECT_EQ(SqliteStore::readStoreModelVersion(m_path, error), 1);
    EXPECT_EQ(rawCount(m_path, QStringLiteral("SELECT count(*) FROM pragma_table_info('Invoice') WHERE name = 'note'")), 0);
}

TEST_F(ObjectStore, FilesThatAreNotSoundStoresAreRefusedAndLeftUntouched)
{
    auto model = makeStoreTestModel();
    model->finalize();
    struct Case
    {
        const char *name;
        std::function<QByteArray()> contents;
        int code;
    };
    // A real store, saved and closed, then cut in half.
    m_context = openContext();
    for (int i = 0; i < 400; ++i)
        m_context->insertNewObject(QStringLiteral("Product"))->setValue(QStringLiteral("name"), QStringLiteral("P%1").arg(i).repeated(20));
    saveOrFail();
    m_context.reset();
    QFile storeFile(m_path);
    ASSERT_TRUE(storeFile.open(QIODevice::ReadOnly));
    const QByteArray wholeStore = storeFile.readAll();
    storeFile.close();
    ASSERT_GT(wholeStore.size(), 8192);

    const QList<Case> cases = {
        {"text file", [] { return QByteArray("<plist>not a database</plist>\n"); }, SqliteStore::NotAStore},
        {"empty file", [] { return QByteArray(); }, SqliteStore::NotAStore},
        {"truncated store", [&] { return wholeStore.left(wholeStore.size() / 2); }, SqliteStore::Damaged},
        {"plain SQLite file", [this] {
             const QString other = m_dir.filePath(QStringLiteral("plain.sqlite"));
             SqliteDatabase db;
             Error e;
             db.open(other, false, true, e);
             db.exec(QStringLiteral("CREATE TABLE t (x)"), e);
             db.close();
             QFile f(other);
             f.open(QIODevice::ReadOnly);
             return f.readAll();
         },
         SqliteStore::NotAStore},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = m_dir.filePath(QStringLiteral("case.sqlite"));
        QFile::remove(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.contents());
        file.close();
        const QByteArray before = digestOf(path);
        Error error;
        EXPECT_EQ(ManagedObjectContext::open(path, model, {}, error), nullptr);
        EXPECT_EQ(error.code(), c.code);
        EXPECT_FALSE(error.localizedDescription().isEmpty());
        EXPECT_FALSE(SqliteStore::readStoreModelVersion(path, error).has_value());
        EXPECT_EQ(digestOf(path), before);
    }
    Error error;
    EXPECT_FALSE(SqliteStore::readStoreModelVersion(m_dir.filePath(QStringLiteral("missing.sqlite")), error).has_value());
    EXPECT_FALSE(error.localizedDescription().isEmpty());
}
