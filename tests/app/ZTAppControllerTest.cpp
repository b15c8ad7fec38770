#include "AppControllerFixture.h"

#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

namespace {

const QString kVersion = QStringLiteral("ZTLastRunningVersion");
const QString kRevcount = QStringLiteral("ZTLastRunningRevcount");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using AppControllerStart = AppControllerFixture;

} // namespace

TEST_F(AppControllerStart, FirstLaunchWithoutSettings)
{
    const QString nip = QStringLiteral("1234567890");
    // Left behind in the application folder: only the location migration would move it.
    writeFile(QDir(dataDir).filePath(QStringLiteral("stray.txt")), "x");
    {
        // A document without currency: only the currency migration would touch it.
        auto store = openStore(storePath(nip));
        store->insertNewObject(QStringLiteral("Document"))->setValue(QStringLiteral("documentID"), QStringLiteral("1/2026"));
        save(*store);
    }

    ZTAppController &app = launch(nip);

    EXPECT_EQ(settings->integerValue(QStringLiteral("ZTApplicationRunNumber")), 1);
    EXPECT_EQ(settings->dateValue(QStringLiteral("ZTTolvana1_6InstallDate")), localTime(2026, 3, 10, 0, 0));
    EXPECT_EQ(settings->stringValue(kVersion), QStringLiteral("e6ee338"));
    EXPECT_EQ(settings->stringValue(kRevcount), QStringLiteral("1292"));
    EXPECT_EQ(app.currentNip(), nip);
    EXPECT_EQ(settings->stringValue(QStringLiteral("ZTSellerNip")), nip);
    EXPECT_TRUE(app.windowClosed());
    EXPECT_EQ(app.startMonth(), 3);

    EXPECT_TRUE(QFile::exists(QDir(dataDir).filePath(QStringLiteral("stray.txt"))));
    auto store = openStore(storePath(nip));
    EXPECT_EQ(countOf(*store, QStringLiteral("Document"), Predicate::equal(QStringLiteral("currency"), QVariant())), 1);

    // The seller template comes from settings that hold nothing but factory values.
    const QList<ManagedObject *> templates = store->fetch(FetchRequest(QStringLiteral("SellerTemplate")));
    ASSERT_EQ(templates.size(), 1);
    EXPECT_EQ(templates.first()->value(QStringLiteral("nip")).toString(), nip);
    EXPECT_EQ(templates.first()->value(QStringLiteral("order")).toLongLong(), 0);
    EXPECT_FALSE(templates.first()->value(QStringLiteral("name")).isValid());
    EXPECT_EQ(templates.first()->value(QStringLiteral("issuesIn")),
              settings->value(QStringLiteral("ZTDocumentIssuedIn")).isValid()
                  ? QVariant(settings->stringValue(QStringLiteral("ZTDocumentIssuedIn")))
                  : QVariant());

    // The next launch counts on and runs neither of the migrations bounded by 1078.
    launch();
    EXPECT_EQ(settings->integerValue(QStringLiteral("ZTApplicationRunNumber")), 2);
    EXPECT_EQ(controller->currentNip(), nip) << "the last company used is taken again";
    EXPECT_EQ(settings->dateValue(QStringLiteral("ZTTolvana1_6InstallDate")), localTime(2026, 3, 10, 0, 0));
}

TEST_F(AppControllerStart, FirstLaunchKeepsAnExistingSellerTemplate)
{
    const QString nip = QStringLiteral("1234567890");
    {
        auto store = openStore(storePath(nip));
        store->insertNewObject(QStringLiteral("SellerTemplate"))->setValue(QStringLiteral("name"), QStringLiteral("Mój"));
        save(*store);
    }
    settings->setValue(QStringLiteral("ZTPrivateKeySellerName"), QStringLiteral("Ze starych ustawień"));
    settings->synchronize();

    launch(nip);

    auto store = openStore(storePath(nip));
    const QList<ManagedObject *> templates = store->fetch(FetchRequest(QStringLiteral("SellerTemplate")));
    ASSERT_EQ(templates.size(), 1);
    EXPECT_EQ(templates.first()->value(QStringLiteral("name")).toString(), QStringLiteral("Mój"));
}

TEST_F(AppControllerStart, NumericVersionRunWithRevcount600)
{
    const QString nip = QStringLiteral("1234567890");
    settings->setValue(kVersion, 1000);
    settings->setValue(kRevcount, QStringLiteral("600"));
    settings->setValue(QStringLiteral("ZTApplicationRunNumber"), 7);
    settings->setValue(QStringLiteral("ZTPrivateKeySellerNip"), nip);
    settings->setValue(QStringLiteral("ZTPrivateKeySellerName"), QStringLiteral("Stara Firma"));
    settings->setValue(QStringLiteral("ZTDueDateIntervalValue"), QStringLiteral("7 dni"));
    settings->synchronize();

    // The layout of an early version: the store and pictures directly in the application folder.
    const QString oldStore = QDir(dataDir).filePath(QStringLiteral("Tolvana.store"));
    {
        auto store = openStore(oldStore);
        store->insertNewObject(QStringLiteral("Document"))->setValue(QStringLiteral("documentID"), QStringLiteral("1/2012"));
        ManagedObject *euro = store->insertNewObject(QStringLiteral("Document"));
        euro->setValue(QStringLiteral("currency"), QStringLiteral("EUR"));
        ManagedObject *chair = store->insertNewObject(QStringLiteral("Product"));
        chair->setValue(QStringLiteral("name"), QStringLiteral("krzesło"));
        chair->setValue(QStringLiteral("netPrice"), QVariant::fromValue(Decimal::fromParts(10050, 2)));
        chair->setValue(QStringLiteral("grossPrice"), QVariant::fromValue(Decimal::fromParts(12362, 2)));
        chair->setValue(QStringLiteral("grossPrice1"), 50);
        ManagedObject *desk = store->insertNewObject(QStringLiteral("Product"));
        desk->setValue(QStringLiteral("name"), QStringLiteral("biurko"));
        desk->setValue(QStringLiteral("netPrice"), 200);
        desk->setValue(QStringLiteral("grossPrice"), 246);
        desk->setValue(QStringLiteral("netPrice1"), 0);
        save(*store);
    }
    writeFile(QDir(dataDir).filePath(QStringLiteral("logo.png")), "PNG");
    writeFile(QDir(dataDir).filePath(QStringLiteral("zdjecia/klient.jpg")), "JPG");
    // Its path contains the company folder's path: it stays where it is.
    const QString lookalike = QDir(dataDir).filePath(nip + QStringLiteral("-notatki.txt"));
    writeFile(lookalike, "notes");

    launch();

    const QString company = QDir(dataDir).filePath(nip);
    EXPECT_EQ(controller->currentNip(), nip) << "the NIP of the older key decides the company";
    EXPECT_EQ(settings->stringValue(QStringLiteral("ZTSellerNip")), nip);
    EXPECT_FALSE(settings->value(QStringLiteral("ZTPrivateKeySellerNip")).isValid());
    EXPECT_EQ(settings->integerValue(QStringLiteral("ZTApplicationRunNumber")), 8);
    EXPECT_FALSE(QFile::exists(oldStore));
    EXPECT_TRUE(QFile::exists(storePath(nip)));
    EXPECT_EQ(readFile(QDir(company).filePath(QStringLiteral("logo.png"))), QByteArray("PNG"));
    EXPECT_EQ(readFile(QDir(company).filePath(QStringLiteral("zdjecia/klient.jpg"))), QByteArray("JPG"));
    EXPECT_FALSE(QFile::exists(QDir(dataDir).filePath(QStringLiteral("zdjecia"))));
    EXPECT_EQ(readFile(lookalike), QByteArray("notes"));
    EXPECT_FALSE(QFile::exists(QDir(company).filePath(nip + QStringLiteral("-notatki.txt"))));
    // The move ends by saving the company's settings.
    EXPECT_EQ(defaults->settingsForNip(nip).value_or(QVariantMap()).value(QStringLiteral("ZTSellerNip")).toString(), nip);

    // Due dates: the interval's name became its days.
    EXPECT_EQ(settings->integerValue(QStringLiteral("ZTDueDateIntervalValue")), 7);

    auto store = openStore(storePath(nip));
    EXPECT_EQ(countOf(*store, QStringLiteral("Document"), Predicate::equal(QStringLiteral("currency"), QStringLiteral("PLN"))), 1);
    EXPECT_EQ(countOf(*store, QStringLiteral("Document"), Predicate::equal(QStringLiteral("currency"), QStringLiteral("EUR"))), 1);
    const auto product = [&](const QString &name) {
        const QList<ManagedObject *> found =
            store->fetch(FetchRequest(QStringLiteral("Product"), Predicate::equal(QStringLiteral("name"), name)));
        return found.size() == 1 ? found.first() : nullptr;
    };
    ManagedObject *chair = product(QStringLiteral("krzesło"));
    ManagedObject *desk = product(QStringLiteral("biurko"));
    ASSERT_TRUE(chair && desk);
    EXPECT_EQ(chair->decimalValue(QStringLiteral("netPrice1")), Decimal::fromParts(10050, 2));
    EXPECT_EQ(chair->decimalValue(QStringLiteral("grossPrice1")), Decimal(50)) << "a price already set stays";
    EXPECT_EQ(chair->value(QStringLiteral("currency1")).toString(), QStringLiteral("PLN"));
    EXPECT_EQ(desk->decimalValue(QStringLiteral("netPrice1")), Decimal(200));
    EXPECT_EQ(desk->decimalValue(QStringLiteral("grossPrice1")), Decimal(246));
    EXPECT_EQ(desk->value(QStringLiteral("currency1")).toString(), QStringLiteral("PLN"));

    const QList<ManagedObject *> templates = store->fetch(FetchRequest(QStringLiteral("SellerTemplate")));
    ASSERT_EQ(templates.size(), 1);
    EXPECT_EQ(templates.first()->value(QStringLiteral("name")).toString(), QStringLiteral("Stara Firma"));
}

TEST(AppControllerMigrations, RunConditionsFollowTheLastRunsVersionAndRevcount)
{
    struct Case
    {
        QVariant version;
        QVariant revcount;
        bool location, dueDatesAndSeller, currencies;
    };
    const QVariant none;
    const Case cases[] = {
        {none, none, false, true, false},                                             // first run
        {1000, QStringLiteral("600"), true, true, true},                              // numeric version
        {1079, QStringLiteral("1079"), true, false, true},                            // numeric, past 1078
        {QStringLiteral("1078"), QStringLiteral("1078"), true, true, true},           // digits as text
        {QStringLiteral("e6ee338"), QStringLiteral("1292"), false, false, false},     // this build
        {QStringLiteral("abc1234"), QStringLiteral("650"), true, false, false},       // revcount bound
        {QStringLiteral("abc1234"), QStringLiteral("651"), false, false, false},
        {QStringLiteral("abc1234"), QStringLiteral("255 beta"), true, false, true},   // leading integer
        {QStringLiteral("abc1234"), none, true, false, true},                         // no revcount: 0
        {QStringLiteral("12abc"), QStringLiteral("900"), false, true, false},         // int(V) = 12
        {0, QStringLiteral("900"), true, false, true},                                // numeric 0
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString(QStringLiteral("V=") + c.version.toString() + QStringLiteral(" R=") + c.revcount.toString()).toStdString());
        EXPECT_EQ(ZTAppController::shouldMigrateStoreDataFileLocation(c.version, c.revcount), c.location);
        EXPECT_EQ(ZTAppController::shouldMigrateDueDatesAndSeller(c.version), c.dueDatesAndSeller);
        EXPECT_EQ(ZTAppController::shouldMigrateCurrencies(c.version, c.revcount), c.currencies);
    }
}

TEST_F(AppControllerStart, StalePersonObjectsAreDeletedAndSubEntitiesStay)
{
    const QString nip = QStringLiteral("1234567890");
    {
        auto store = openStore(storePath(nip));
        store->insertNewObject(QStringLiteral("Person"))->setValue(QStringLiteral("name"), QStringLiteral("stary"));
        store->insertNewObject(QStringLiteral("Person"))->setValue(QStringLiteral("name"), QStringLiteral("drugi"));
        store->insertNewObject(QStringLiteral("Customer"))->setValue(QStringLiteral("name"), QStringLiteral("klient"));
        store->insertNewObject(QStringLiteral("Purchaser"))->setValue(QStringLiteral("name"), QStringLiteral("nabywca"));
        store->insertNewObject(QStringLiteral("SellerTemplate"))->setValue(QStringLiteral("name"), QStringLiteral("ja"));
        save(*store);
    }

    launch(nip);

    auto store = openStore(storePath(nip));
    EXPECT_EQ(countOf(*store, QStringLiteral("Person")), 0);
    EXPECT_EQ(countOf(*store, QStringLiteral("Customer")), 1);
    EXPECT_EQ(countOf(*store, QStringLiteral("Purchaser")), 1);
    EXPECT_EQ(countOf(*store, QStringLiteral("SellerTemplate")), 1);
}

TEST_F(AppControllerStart, OverdueCountTakesIssuedDocumentsDueBeforeToday)
{
    QList<qlonglong> posted;
    ScopedObserver observer(NotificationCenter::defaultCenter(), ZTAppController::kOverdueCountChangedNotification,
                            [&](const Notification &n) { posted.append(n.object.toLongLong()); });

    ZTAppController &app = launch(QStringLiteral("1234567890"));
    EXPECT_EQ(app.overdueDocumentCount(), 0);
    EXPECT_EQ(posted, QList<qlonglong>{0});
    EXPECT_TRUE(app.overdueTimerActive());

    ManagedObjectContext *context = app.managedObjectContext();
    ASSERT_TRUE(context);
    const auto add = [&](const char *status, const QDateTime &due) {
        ManagedObject *d = context->insertNewObject(QStringLiteral("Document"));
        d->setValue(QStringLiteral("status"), QString::fromLatin1(status));
        d->setValue(QStringLiteral("dueDate"), due);
    };
    add("ISSUED", localTime(2026, 3, 9, 23, 59));  // yesterday: overdue
    add("ISSUED", localTime(2026, 3, 10, 0, 0));   // today's start: not yet
    add("ISSUED", localTime(2026, 3, 10, 18, 0));  // later today
    add("ISSUED", QDateTime());                    // no due date
    add("PAID", localTime(2026, 2, 1, 12, 0));
    add("DRAFT", localTime(2026, 3, 1, 12, 0));
    app.saveCoreDataContext(false, false, true);

    app.updateOverdueDocumentCount();
    EXPECT_EQ(app.overdueDocumentCount(), 1);

    // The next day both of today's documents are overdue; an unchanged count posts nothing.
    Clock::setFixedNow(localTime(2026, 3, 11, 8, 0));
    app.updateOverdueDocumentCount();
    app.updateOverdueDocumentCount();
    EXPECT_EQ(app.overdueDocumentCount(), 3);
    EXPECT_EQ(posted, (QList<qlonglong>{0, 1, 3}));
}

TEST_F(AppControllerStart, CompaniesKeepTheirSettingsAndStoresApart)
{
    const QString first = QStringLiteral("1111111111");
    const QString second = QStringLiteral("2222222222");
    const QString days = QStringLiteral("ZTDueDateIntervalValue");
    settings->setValue(days, 21); // set before any company existed
    settings->synchronize();

    launch(first);
    EXPECT_EQ(settings->integerValue(days), 21) << "the first company inherits the settings in place";
    settings->setValue(days, 30);
    settings->synchronize();
    controller->managedObjectContext()->insertNewObject(QStringLiteral("Customer"));
    controller->saveCoreDataContext(false, false, true);

    launch(second);
    EXPECT_EQ(settings->integerValue(days), 14) << "a further company starts from factory settings";
    EXPECT_EQ(settings->stringValue(QStringLiteral("ZTSellerNip")), second);
    EXPECT_EQ(countOf(*controller->managedObjectContext(), QStringLiteral("Customer")), 0);
    settings->setValue(days, 45);
    settings->synchronize();

    launch(first);
    EXPECT_EQ(settings->integerValue(days), 30);
    EXPECT_EQ(settings->stringValue(QStringLiteral("ZTSellerNip")), first);
    EXPECT_EQ(countOf(*controller->managedObjectContext(), QStringLiteral("Customer")), 1);

    launch(second);
    EXPECT_EQ(settings->integerValue(days), 45);

    launch(); // no NIP asked for: the last one used
    EXPECT_EQ(controller->currentNip(), second);
    EXPECT_EQ(controller->knownCompanyNips(), (QStringList{first, second}));
    // Shared settings are not per company.
    EXPECT_EQ(settings->integerValue(QStringLiteral("ZTApplicationRunNumber")), 5);
}

TEST_F(AppControllerStart, WithoutAnyNipTheDataGoesToTheNoNipFolder)
{
    ZTAppController &app = launch();
    EXPECT_TRUE(app.currentNip().isEmpty());
    EXPECT_EQ(app.applicationSupportFolderForCurrentNip(), QDir(dataDir).filePath(QStringLiteral("_bez_NIP")));
    EXPECT_TRUE(QFile::exists(storePath(QString())));
    EXPECT_EQ(ZTAppController::customTemplatePathForDocumentKind(QStringLiteral("FV")),
              QDir(dataDir).filePath(QStringLiteral("CustomTemplates/FV.html")));
}

TEST_F(AppControllerStart, ContextBeforeBootstrapIsAConsistencyFailure)
{
    ZTAppController app(*settings, *defaults);
    try {
        app.managedObjectContext();
        FAIL() << "no failure raised";
    } catch (const InternalConsistencyError &e) {
        EXPECT_EQ(e.description(), QStringLiteral("ASSERT [self.coreData != nil]"));
    }
}
