#include "app/ZTDefaultsManager.h"
#include "app/ZTFactoryDefaults.h"
#include "platform/PropertyList.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kPerNip = u"ZTSettingsPerNip"_s;

// A small factory file: two keys that are not in the fixed per-company list, one that is
// shared in the table's sense only when the file lacks it (the currency), one bool.
QVariantMap smallFactory()
{
    return {
        {u"ZTDueDateIntervalValue"_s, 14},
        {u"ZTPaymentMethods"_s, QStringList{u"Przelew"_s, u"Gotówka"_s}},
        {u"ZTGrossCalculationsEnabled"_s, false},
        {u"ZTCurrencyDefaultISO4217"_s, u"PLN"_s},
    };
}

class ZTDefaultsManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        settingsPath = dir.filePath(u"pl.tolvana.Tolvana.plist"_s);
        factoryPath = dir.filePath(u"Defaults.plist"_s);
        ASSERT_TRUE(PropertyList::toFile(smallFactory(), factoryPath));
        store = std::make_unique<SettingsStore>(settingsPath);
        registerFactoryDefaults(*store, factoryPath);
        manager = std::make_unique<ZTDefaultsManager>(*store, factoryPath);
        ZTLog::setSink([this](const QString &line) { log.append(line); });
    }
    void TearDown() override { ZTLog::setSink({}); }

    // What a later run would see.
    QVariantMap onDisk() const { return SettingsStore(settingsPath).persistentDictionary(); }
    QVariantMap savedFor(const QString &nip) const
    {
        return onDisk().value(kPerNip).toMap().value(nip).toMap();
    }

    QTemporaryDir dir;
    QString settingsPath;
    QString factoryPath;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<ZTDefaultsManager> manager;
    QStringList log;
};

} // namespace

TEST_F(ZTDefaultsManagerTest, PerCompanyKeysAreTheFactoryKeysAndTheFixedList)
{
    const QStringList factoryKeys = manager->keysPerNipWithFactoryValues();
    EXPECT_EQ(QSet<QString>(factoryKeys.cbegin(), factoryKeys.cend()),
              (QSet<QString>{u"ZTDueDateIntervalValue"_s, u"ZTPaymentMethods"_s,
                             u"ZTGrossCalculationsEnabled"_s, u"ZTCurrencyDefaultISO4217"_s}));

    const QStringList fixed = ZTDefaultsManager::keysPerNipWithoutFactoryValues();
    const QStringList all = manager->keysPerNip();
    const QSet<QString> allSet(all.cbegin(), all.cend());
    EXPECT_EQ(allSet.size(), all.size()) << "no key is listed twice";
    EXPECT_EQ(all.size(), factoryKeys.size() + fixed.size());
    for (const QString &key : factoryKeys + fixed)
        EXPECT_TRUE(allSet.contains(key)) << key.toStdString();
    EXPECT_FALSE(allSet.contains(kPerNip));
    EXPECT_FALSE(allSet.contains(u"ZTApplicationRunNumber"_s));

    // A fixed key that the factory file also holds is still one key.
    ASSERT_TRUE(PropertyList::toFile(QVariantMap{{u"ZTSellerNip"_s, u""_s}}, factoryPath));
    ZTDefaultsManager other(*store, factoryPath);
    EXPECT_EQ(other.keysPerNip().size(), fixed.size());
}

TEST_F(ZTDefaultsManagerTest, AKeyIsPerCompanyExactlyWhileTheFactoryFileHoldsIt)
{
    const QString currency = u"ZTCurrencyDefaultISO4217"_s;
    store->setValue(currency, u"EUR"_s);
    store->setValue(u"ZTApplicationRunNumber"_s, 4);
    ASSERT_TRUE(store->synchronize());

    EXPECT_FALSE(manager->sharedSettings().contains(currency));
    manager->replaceSharedSettingsWithSettings({{currency, u"USD"_s}});
    EXPECT_EQ(store->stringValue(currency), u"EUR"_s);
    manager->saveCurrentSettingsForNip(u"111"_s);
    EXPECT_EQ(savedFor(u"111"_s).value(currency).toString(), u"EUR"_s);

    // The same key without a factory value is shared by all companies.
    QVariantMap withoutCurrency = smallFactory();
    withoutCurrency.remove(currency);
    const QString otherFactory = dir.filePath(u"OtherDefaults.plist"_s);
    ASSERT_TRUE(PropertyList::toFile(withoutCurrency, otherFactory));
    ZTDefaultsManager other(*store, otherFactory);
    EXPECT_EQ(other.sharedSettings().value(currency).toString(), u"EUR"_s);
    other.replaceSharedSettingsWithSettings({{currency, u"USD"_s}});
    EXPECT_EQ(store->stringValue(currency), u"USD"_s);
    other.saveCurrentSettingsForNip(u"222"_s);
    EXPECT_TRUE(savedFor(u"222"_s).contains(u"ZTDueDateIntervalValue"_s));
    EXPECT_FALSE(savedFor(u"222"_s).contains(currency));
}

TEST_F(ZTDefaultsManagerTest, SavingKeepsTheEarlierValueOfAKeyWithoutCurrentValue)
{
    manager->saveSettings({{u"ZTSellerNip"_s, u"111"_s},
                           {u"ZTCalendarStoreTitle"_s, u"Praca"_s},
                           {u"ZTMarginInvoiceLastProcedure"_s, u"dzielasztuki"_s}},
                          u"111"_s);
    store->setValue(u"ZTSellerNip"_s, u"111"_s);
    store->setValue(u"ZTMarginInvoiceLastProcedure"_s, u"uzywane"_s);
    store->setValue(u"ZTDueDateIntervalValue"_s, 30);
    store->setValue(u"ZTApplicationRunNumber"_s, 8);

    manager->saveCurrentSettingsForNip(u"111"_s);

    const QVariantMap saved = savedFor(u"111"_s);
    EXPECT_EQ(saved.value(u"ZTCalendarStoreTitle"_s).toString(), u"Praca"_s); // kept
    EXPECT_EQ(saved.value(u"ZTMarginInvoiceLastProcedure"_s).toString(), u"uzywane"_s);
    EXPECT_EQ(saved.value(u"ZTDueDateIntervalValue"_s).toLongLong(), 30);
    // A factory key without a value of its own is saved with the value it reads as.
    EXPECT_EQ(saved.value(u"ZTPaymentMethods"_s).toStringList(), (QStringList{u"Przelew"_s, u"Gotówka"_s}));
    EXPECT_FALSE(saved.contains(u"ZTApplicationRunNumber"_s));
    EXPECT_FALSE(saved.contains(u"ZTPrintPurchaserContactData"_s)); // no value anywhere
}

TEST_F(ZTDefaultsManagerTest, SavingACompanySeenForTheFirstTimeCreatesItsEntry)
{
    EXPECT_FALSE(manager->settingsForNip(u"222"_s));
    store->setValue(u"ZTSellerNip"_s, u"222"_s);
    manager->saveCurrentSettingsForNip(u"222"_s);
    ASSERT_TRUE(manager->settingsForNip(u"222"_s));
    EXPECT_EQ(manager->settingsForNip(u"222"_s)->value(u"ZTSellerNip"_s).toString(), u"222"_s);
    EXPECT_EQ(savedFor(u"222"_s).value(u"ZTSellerNip"_s).toString(), u"222"_s);
}

TEST_F(ZTDefaultsManagerTest, LoadingMakesTheSavedSettingsCurrent)
{
    store->setValue(u"ZTCalendarStoreTitle"_s, u"Stary"_s);
    store->setValue(u"ZTDueDateIntervalValue"_s, 30);
    store->setValue(u"ZTApplicationRunNumber"_s, 5);
    manager->saveSettings({{u"ZTSellerNip"_s, u"111"_s}, {u"ZTMarginInvoiceLastProcedure"_s, u"uzywane"_s}},
                          u"111"_s);

    manager->loadSettingsForNip(u"111"_s);

    EXPECT_EQ(store->stringValue(u"ZTSellerNip"_s), u"111"_s);
    EXPECT_EQ(store->stringValue(u"ZTMarginInvoiceLastProcedure"_s), u"uzywane"_s);
    // Keys the entry lacks lose their current value; a factory value shows where there is one.
    EXPECT_FALSE(store->contains(u"ZTCalendarStoreTitle"_s));
    EXPECT_FALSE(store->persistentDictionary().contains(u"ZTDueDateIntervalValue"_s));
    EXPECT_EQ(store->intValue(u"ZTDueDateIntervalValue"_s), 14);
    EXPECT_EQ(store->intValue(u"ZTApplicationRunNumber"_s), 5);

    const QVariantMap disk = onDisk();
    EXPECT_EQ(disk.value(u"ZTSellerNip"_s).toString(), u"111"_s);
    EXPECT_FALSE(disk.contains(u"ZTCalendarStoreTitle"_s));
}

TEST_F(ZTDefaultsManagerTest, LoadingACompanyWithoutSavedSettingsChangesNothing)
{
    store->setValue(u"ZTSellerNip"_s, u"111"_s);
    store->setValue(u"ZTDueDateIntervalValue"_s, 30);
    ASSERT_TRUE(store->synchronize());
    const QVariantMap before = store->persistentDictionary();

    manager->loadSettingsForNip(u"999"_s);

    EXPECT_EQ(store->persistentDictionary(), before);
    EXPECT_EQ(onDisk(), before);
}

TEST_F(ZTDefaultsManagerTest, SwitchingCompaniesKeepsEachCompanysSettings)
{
    // Company A is active and has settings of its own.
    store->setValue(u"ZTSellerNip"_s, u"A"_s);
    store->setValue(u"ZTDueDateIntervalValue"_s, 30);
    store->setValue(u"ZTCalendarStoreTitle"_s, u"A-calendar"_s);
    store->setValue(u"ZTApplicationRunNumber"_s, 2);
    manager->saveCurrentSettingsForNip(u"A"_s);

    // Company B is seen for the first time while A is active.
    manager->saveSettings({{u"ZTSellerNip"_s, u"B"_s}}, u"B"_s);
    manager->loadFactorySettingsForNip(u"B"_s);
    manager->loadSettingsForNip(u"B"_s);
    EXPECT_EQ(store->stringValue(u"ZTSellerNip"_s), u"B"_s);
    EXPECT_EQ(store->intValue(u"ZTDueDateIntervalValue"_s), 14);
    EXPECT_FALSE(store->contains(u"ZTCalendarStoreTitle"_s));
    EXPECT_EQ(store->intValue(u"ZTApplicationRunNumber"_s), 2);

    store->setValue(u"ZTPaymentMethods"_s, QStringList{u"Barter"_s});
    manager->saveCurrentSettingsForNip(u"B"_s);

    // Back to A: A's settings return, B's change stays with B.
    manager->loadSettingsForNip(u"A"_s);
    EXPECT_EQ(store->stringValue(u"ZTSellerNip"_s), u"A"_s);
    EXPECT_EQ(store->intValue(u"ZTDueDateIntervalValue"_s), 30);
    EXPECT_EQ(store->stringValue(u"ZTCalendarStoreTitle"_s), u"A-calendar"_s);
    EXPECT_EQ(store->stringArrayValue(u"ZTPaymentMethods"_s), (QStringList{u"Przelew"_s, u"Gotówka"_s}));

    manager->loadSettingsForNip(u"B"_s);
    EXPECT_EQ(store->stringArrayValue(u"ZTPaymentMethods"_s), QStringList{u"Barter"_s});
}

TEST_F(ZTDefaultsManagerTest, LoadingFactorySettingsResetsOnlyTheFactoryKeys)
{
    manager->saveSettings({{u"ZTSellerNip"_s, u"1"_s},
                           {u"ZTDueDateIntervalValue"_s, 60},
                           {u"ZTGrossCalculationsEnabled"_s, true},
                           {u"ZTCalendarStoreTitle"_s, u"x"_s}},
                          u"1"_s);
    manager->loadFactorySettingsForNip(u"1"_s);

    QVariantMap expected = PropertyList::normalized(smallFactory()).toMap();
    expected.insert(u"ZTSellerNip"_s, u"1"_s);
    expected.insert(u"ZTCalendarStoreTitle"_s, u"x"_s);
    EXPECT_EQ(savedFor(u"1"_s), expected);
}

TEST_F(ZTDefaultsManagerTest, SharedSettingsHoldOnlySharedPersistentKeys)
{
    store->setValue(kPerNip, QVariantMap{{u"1"_s, QVariantMap{{u"ZTSellerNip"_s, u"1"_s}}}});
    store->setValue(u"ZTSellerNip"_s, u"1"_s);             // company
    store->setValue(u"ZTDueDateIntervalValue"_s, 30);      // factory-bound, in the file
    store->setValue(u"ZTApplicationRunNumber"_s, 3);       // global
    store->setValue(u"ZTLastRunningVersion"_s, u"1.7"_s);  // global
    store->registerDefaults({{u"ZTFactoryOnly"_s, true}}); // factory layer only: not persistent

    EXPECT_EQ(manager->sharedSettings(), (QVariantMap{{u"ZTApplicationRunNumber"_s, qlonglong(3)},
                                                      {u"ZTLastRunningVersion"_s, u"1.7"_s}}));
}

TEST_F(ZTDefaultsManagerTest, ReplacingSharedSettingsNeverChangesCompanyKeys)
{
    const QVariantMap companies{{u"1"_s, QVariantMap{{u"ZTSellerNip"_s, u"1"_s}}}};
    store->setValue(kPerNip, companies);
    store->setValue(u"ZTSellerNip"_s, u"1"_s);
    store->setValue(u"ZTDueDateIntervalValue"_s, 30);
    store->setValue(u"ZTApplicationRunNumber"_s, 3);
    store->setValue(u"ZTLastRunningVersion"_s, u"1.7"_s);
    ASSERT_TRUE(store->synchronize());

    // Written by someone else meanwhile: the store is re-read before the shared part is taken.
    {
        SettingsStore other(settingsPath);
        other.setValue(u"ZTWrittenElsewhere"_s, true);
        ASSERT_TRUE(other.synchronize());
    }

    manager->replaceSharedSettingsWithSettings({{u"ZTSellerNip"_s, u"2"_s},
                                                {u"ZTDueDateIntervalValue"_s, 90},
                                                {u"ZTCalendarStoreTitle"_s, u"restored"_s},
                                                {kPerNip, QVariantMap()},
                                                {u"ZTApplicationRunNumber"_s, 7},
                                                {u"ZTNewShared"_s, u"x"_s}});

    EXPECT_EQ(store->stringValue(u"ZTSellerNip"_s), u"1"_s);
    EXPECT_EQ(store->intValue(u"ZTDueDateIntervalValue"_s), 30);
    EXPECT_FALSE(store->contains(u"ZTCalendarStoreTitle"_s));
    EXPECT_EQ(store->dictionaryValue(kPerNip), PropertyList::normalized(companies).toMap());
    EXPECT_EQ(store->intValue(u"ZTApplicationRunNumber"_s), 7);
    EXPECT_EQ(store->stringValue(u"ZTNewShared"_s), u"x"_s);
    EXPECT_EQ(store->stringValue(u"ZTLastRunningVersion"_s), u"1.7"_s); // absent keys stay
    EXPECT_TRUE(store->boolValue(u"ZTWrittenElsewhere"_s));
    EXPECT_EQ(onDisk(), store->persistentDictionary());
}

TEST_F(ZTDefaultsManagerTest, ReplacingSharedSettingsKeepsAWriteNotYetSynchronised)
{
    store->setValue(u"ZTLastPDFExportDirectory"_s, u"/home/anna/Faktury"_s);
    manager->replaceSharedSettingsWithSettings({{u"ZTApplicationRunNumber"_s, 7}});
    EXPECT_EQ(store->stringValue(u"ZTLastPDFExportDirectory"_s), u"/home/anna/Faktury"_s);
}

TEST_F(ZTDefaultsManagerTest, AddingCompanySettingsWithANipReplacesThatCompanysEntryOnly)
{
    manager->saveSettings({{u"ZTCalendarStoreTitle"_s, u"old"_s}}, u"1"_s);
    manager->saveSettings({{u"ZTCalendarStoreTitle"_s, u"other"_s}}, u"2"_s);
    store->setValue(u"ZTSellerNip"_s, u"current"_s);
    ASSERT_TRUE(store->synchronize());
    const QVariantMap currentBefore = store->persistentDictionary();

    manager->addPerNipSettingsFromSettings(
        {{u"ZTSellerNip"_s, u"1"_s}, {u"ZTDueDateIntervalValue"_s, 21}, {u"ZTApplicationRunNumber"_s, 9}},
        u"1"_s);

    EXPECT_EQ(savedFor(u"1"_s),
              (QVariantMap{{u"ZTSellerNip"_s, u"1"_s}, {u"ZTDueDateIntervalValue"_s, qlonglong(21)}}));
    EXPECT_EQ(savedFor(u"2"_s).value(u"ZTCalendarStoreTitle"_s).toString(), u"other"_s);
    QVariantMap currentAfter = store->persistentDictionary();
    currentAfter.remove(kPerNip);
    QVariantMap expectedCurrent = currentBefore;
    expectedCurrent.remove(kPerNip);
    EXPECT_EQ(currentAfter, expectedCurrent);
}

TEST_F(ZTDefaultsManagerTest, AddingCompanySettingsWithANipCreatesTheCompanyStore)
{
    manager->addPerNipSettingsFromSettings({{u"ZTSellerNip"_s, u"1"_s}}, u"1"_s);
    EXPECT_EQ(savedFor(u"1"_s), (QVariantMap{{u"ZTSellerNip"_s, u"1"_s}}));
}

TEST_F(ZTDefaultsManagerTest, AddingCompanySettingsWithoutANipWritesTheCurrentSettings)
{
    manager->addPerNipSettingsFromSettings(
        {{u"ZTSellerNip"_s, u"1"_s}, {u"ZTDueDateIntervalValue"_s, 21}, {u"ZTApplicationRunNumber"_s, 9}},
        QString());

    EXPECT_EQ(store->stringValue(u"ZTSellerNip"_s), u"1"_s);
    EXPECT_EQ(store->intValue(u"ZTDueDateIntervalValue"_s), 21);
    EXPECT_FALSE(store->contains(u"ZTApplicationRunNumber"_s));
    EXPECT_FALSE(store->contains(kPerNip));
    EXPECT_EQ(onDisk().value(u"ZTSellerNip"_s).toString(), u"1"_s);
}

TEST_F(ZTDefaultsManagerTest, ACompanyStoreThatIsNoDictionaryIsLeftAlone)
{
    const QVariant notDictionaries[] = {QVariant(u"broken"_s), QVariant(QVariantList{u"1"_s})};
    for (const QVariant &broken : notDictionaries) {
        SCOPED_TRACE(broken.typeName());
        store->setValue(kPerNip, broken);
        store->setValue(u"ZTSellerNip"_s, u"current"_s);
        ASSERT_TRUE(store->synchronize());
        const QVariantMap before = store->persistentDictionary();

        EXPECT_FALSE(manager->settingsForNip(u"1"_s));
        EXPECT_FALSE(manager->createSettingsForNip(u"1"_s));
        manager->saveSettings({{u"ZTSellerNip"_s, u"1"_s}}, u"1"_s);
        manager->saveCurrentSettingsForNip(u"1"_s);
        manager->loadSettingsForNip(u"1"_s);
        manager->addPerNipSettingsFromSettings({{u"ZTSellerNip"_s, u"1"_s}}, u"1"_s);

        EXPECT_EQ(store->persistentDictionary(), before);
        EXPECT_EQ(onDisk(), before);
    }
}

TEST_F(ZTDefaultsManagerTest, CreatingAnEntryReplacesTheOldOne)
{
    manager->saveSettings({{u"ZTSellerNip"_s, u"1"_s}}, u"1"_s);
    const std::optional<QVariantMap> created = manager->createSettingsForNip(u"1"_s);
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->isEmpty());
    EXPECT_TRUE(onDisk().value(kPerNip).toMap().contains(u"1"_s));
    EXPECT_TRUE(savedFor(u"1"_s).isEmpty());
}

TEST_F(ZTDefaultsManagerTest, TheFactoryKeysAreReadOncePerRun)
{
    const QStringList first = manager->keysPerNip();
    ASSERT_TRUE(PropertyList::toFile(QVariantMap{{u"ZTSomethingElse"_s, 1}}, factoryPath));
    EXPECT_EQ(manager->keysPerNip(), first);
    EXPECT_TRUE(manager->isKeyPerNip(u"ZTDueDateIntervalValue"_s));
    EXPECT_FALSE(manager->isKeyPerNip(u"ZTSomethingElse"_s));
}

TEST_F(ZTDefaultsManagerTest, AMissingFactoryFileAbandonsTheOperation)
{
    const QString missing = dir.filePath(u"NoDefaults.plist"_s);
    manager->saveSettings({{u"ZTDueDateIntervalValue"_s, 60}}, u"1"_s);
    store->setValue(u"ZTDueDateIntervalValue"_s, 30);
    ASSERT_TRUE(store->synchronize());
    const QVariantMap before = store->persistentDictionary();

    ZTDefaultsManager broken(*store, missing);
    SettingsStore fresh(dir.filePath(u"fresh.plist"_s));
    const std::pair<const char *, std::function<void()>> operations[] = {
        {"keysPerNipWithFactoryValues", [&] { broken.keysPerNipWithFactoryValues(); }},
        {"keysPerNip", [&] { broken.keysPerNip(); }},
        {"loadFactorySettingsForNip", [&] { broken.loadFactorySettingsForNip(u"1"_s); }},
        {"loadSettingsForNip", [&] { broken.loadSettingsForNip(u"1"_s); }},
        {"sharedSettings", [&] { broken.sharedSettings(); }},
        {"addPerNipSettingsFromSettings",
         [&] {
             broken.addPerNipSettingsFromSettings({{u"ZTSellerNip"_s, u"9"_s}}, u"1"_s);
         }},
        {"registerFactoryDefaults", [&] { registerFactoryDefaults(fresh, missing); }},
    };
    for (const auto &[name, operation] : operations) {
        SCOPED_TRACE(name);
        log.clear();
        try {
            operation();
            ADD_FAILURE() << "no consistency failure";
        } catch (const InternalConsistencyError &error) {
            EXPECT_EQ(error.description(), u"ASSERT [defaultsPath]"_s);
        }
        ASSERT_EQ(log.size(), 1);
        EXPECT_TRUE(log.first().endsWith(u"ASSERT [defaultsPath]"_s)) << log.first().toStdString();
        EXPECT_EQ(store->persistentDictionary(), before);
    }
    EXPECT_TRUE(fresh.registeredDefaults().isEmpty());

    // Nothing was cached by the failures: once the file is there the list is made.
    ASSERT_TRUE(PropertyList::toFile(smallFactory(), missing));
    EXPECT_EQ(broken.keysPerNipWithFactoryValues().size(), smallFactory().size());
}

TEST_F(ZTDefaultsManagerTest, AFactoryFileThatIsNoDictionaryIsAConsistencyFailureToo)
{
    ASSERT_TRUE(PropertyList::toFile(QVariantList{u"ZTVatRates"_s}, factoryPath));
    ZTDefaultsManager other(*store, factoryPath);
    EXPECT_THROW(other.keysPerNip(), InternalConsistencyError);
    EXPECT_TRUE(log.last().endsWith(u"ASSERT [defaults]"_s)) << log.last().toStdString();
}

// --- the factory settings files shipped with the program

namespace {

enum class Kind { Bool, Int, Number, String, Array, Dictionary };

// Every key the factory file may hold (the factory-bound keys) with its type.
const std::pair<const char *, Kind> kFactoryBoundKeys[] = {
    {"ZTPrivateKeySellerSignature", Kind::String},
    {"ZTDocumentIssuedIn", Kind::String},
    {"ZTDueDatePredefinedValues", Kind::Array},
    {"ZTDueDateIntervalValue", Kind::Int},
    {"ZTDontShowProformaToAdvanceWarningSheet", Kind::Bool},
    {"ZTDefaultPaymentMethod", Kind::String},
    {"ZTPaymentMethods", Kind::Array},
    {"ZTCorrectiveInvoiceIssueReasons", Kind::Array},
    {"ZTLimitForSimplifiedInvoicePLN", Kind::Number},
    {"ZTLimitForSimplifiedInvoiceEUR", Kind::Number},
    {"ZTGrossCalculationsEnabled", Kind::Bool},
    {"ZTDiscountCalculationFromUnitPrice", Kind::Bool},
    {"ZTQuantityDecimalPrecision", Kind::Int},
    {"ZTVatRates", Kind::Array},
    {"ZTUnitNames2", Kind::Array},
    {"ZTCurrencyAvailable", Kind::Array},
    {"ZTCurrencyDefaultISO4217", Kind::String},
    {"ZTDocumentFormHiddenColumns", Kind::Array},
    {"ZTPrintOriginalsCount", Kind::Int},
    {"ZTPrintCopiesCount", Kind::Int},
    {"ZTRepresentationGreenCopies", Kind::Bool},
    {"ZTRepresentationShowHeader", Kind::Bool},
    {"ZTCustomTemplatesEnabled", Kind::Bool},
    {"ZTCalendarEventsForRegularVatDocumentsLabelPrefix", Kind::String},
    {"ZTCalendarEventsForProformaDocumentsLabelPrefix", Kind::String},
    {"ZTCalendarEventsForAdvanceDocumentsLabelPrefix", Kind::String},
    {"ZTCalendarEventsForBillsLabelPrefix", Kind::String},
    {"ZTCalendarEventsForMarginDocumentsLabelPrefix", Kind::String},
    {"ZTCalendarEventsForSimplifiedDocumentsLabelPrefix", Kind::String},
};

// The keys the system reads without a fallback of its own.
const char *const kRequiredKeys[] = {
    "ZTVatRates",
    "ZTPaymentMethods",
    "ZTCorrectiveInvoiceIssueReasons",
    "ZTUnitNames2",
    "ZTDueDatePredefinedValues",
    "ZTLimitForSimplifiedInvoicePLN",
    "ZTLimitForSimplifiedInvoiceEUR",
    "ZTQuantityDecimalPrecision",
    "ZTDefaultPaymentMethod",
    "ZTPrintOriginalsCount",
    "ZTPrintCopiesCount",
    "ZTCalendarEventsForRegularVatDocumentsLabelPrefix",
    "ZTCalendarEventsForProformaDocumentsLabelPrefix",
    "ZTCalendarEventsForAdvanceDocumentsLabelPrefix",
    "ZTCalendarEventsForBillsLabelPrefix",
    "ZTCalendarEventsForMarginDocumentsLabelPrefix",
    "ZTCalendarEventsForSimplifiedDocumentsLabelPrefix",
};

bool hasKind(const QVariant &value, Kind kind)
{
    switch (kind) {
    case Kind::Bool:
        return value.typeId() == QMetaType::Bool;
    case Kind::Int:
        return value.typeId() == QMetaType::LongLong;
    case Kind::Number:
        return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong;
    case Kind::String:
        return value.typeId() == QMetaType::QString;
    case Kind::Array:
        return value.typeId() == QMetaType::QVariantList;
    case Kind::Dictionary:
        return value.typeId() == QMetaType::QVariantMap;
    }
    return false;
}

bool allTexts(const QVariantList &list)
{
    return std::all_of(list.cbegin(), list.cend(), [](const QVariant &v) {
        return v.typeId() == QMetaType::QString && !v.toString().isEmpty();
    });
}

} // namespace

TEST(FactoryDefaults, LanguagesFindTheirFiles)
{
    EXPECT_EQ(factoryDefaultsPath(u"pl"_s), u":/Defaults.plist"_s);
    EXPECT_EQ(factoryDefaultsPath(u"en"_s), u":/en/Defaults.plist"_s);
    EXPECT_EQ(factoryDefaultsPath(u"en-GB"_s), u":/en/Defaults.plist"_s);
    EXPECT_EQ(factoryDefaultsPath(u"de"_s), u":/Defaults.plist"_s);
    EXPECT_TRUE(QFile::exists(factoryDefaultsPath(u"pl"_s)));
    EXPECT_TRUE(QFile::exists(factoryDefaultsPath(u"en"_s)));

    setFactoryDefaultsLanguage(u"en"_s);
    EXPECT_EQ(factoryDefaultsPath(), u":/en/Defaults.plist"_s);
    setFactoryDefaultsLanguage(u"pl_PL"_s);
    EXPECT_EQ(factoryDefaultsPath(), u":/Defaults.plist"_s);
    setFactoryDefaultsLanguage(QString());
}

TEST(FactoryDefaults, EachFileHoldsTheFactoryBoundKeysWithTheirTypes)
{
    for (const char *language : {"pl", "en"}) {
        SCOPED_TRACE(language);
        const QVariantMap factory = readFactoryDefaults(factoryDefaultsPath(QString::fromLatin1(language)));

        QSet<QString> allowed;
        for (const auto &[key, kind] : kFactoryBoundKeys) {
            allowed.insert(QString::fromLatin1(key));
            const QVariant value = factory.value(QString::fromLatin1(key));
            if (value.isValid()) {
                EXPECT_TRUE(hasKind(value, kind)) << key << " is " << value.typeName();
            }
        }
        for (const QString &key : factory.keys())
            EXPECT_TRUE(allowed.contains(key)) << key.toStdString() << " is no factory-bound key";
        for (const char *key : kRequiredKeys)
            EXPECT_TRUE(factory.contains(QString::fromLatin1(key))) << key << " has no factory value";

        // No company or global key may hide among the factory keys: that would make it per company.
        for (const QString &key : ZTDefaultsManager::keysPerNipWithoutFactoryValues())
            EXPECT_FALSE(factory.contains(key)) << key.toStdString();

        const QVariantList rates = factory.value(u"ZTVatRates"_s).toList();
        ASSERT_FALSE(rates.isEmpty());
        int defaults = 0;
        for (const QVariant &rate : rates) {
            const QVariantMap entry = rate.toMap();
            EXPECT_EQ(entry.keys(), (QStringList{u"description"_s, u"isDefault"_s, u"rate"_s}));
            EXPECT_EQ(entry.value(u"isDefault"_s).typeId(), QMetaType::Bool);
            defaults += entry.value(u"isDefault"_s).toBool() ? 1 : 0;
        }
        EXPECT_EQ(defaults, 1);

        const QVariantList dueDates = factory.value(u"ZTDueDatePredefinedValues"_s).toList();
        ASSERT_FALSE(dueDates.isEmpty());
        QList<qlonglong> days;
        for (const QVariant &item : dueDates) {
            const QVariantMap entry = item.toMap();
            EXPECT_EQ(entry.value(u"ZTDueDateIntervalName"_s).typeId(), QMetaType::QString);
            EXPECT_EQ(entry.value(u"ZTDueDateIntervalDays"_s).typeId(), QMetaType::LongLong);
            days.append(entry.value(u"ZTDueDateIntervalDays"_s).toLongLong());
        }
        EXPECT_TRUE(days.contains(factory.value(u"ZTDueDateIntervalValue"_s).toLongLong()));

        const QVariantList methods = factory.value(u"ZTPaymentMethods"_s).toList();
        EXPECT_TRUE(allTexts(methods));
        EXPECT_TRUE(methods.contains(factory.value(u"ZTDefaultPaymentMethod"_s)));
        EXPECT_TRUE(allTexts(factory.value(u"ZTCorrectiveInvoiceIssueReasons"_s).toList()));
        EXPECT_TRUE(allTexts(factory.value(u"ZTUnitNames2"_s).toList()));
        const QVariantList currencies = factory.value(u"ZTCurrencyAvailable"_s).toList();
        EXPECT_TRUE(allTexts(currencies));
        EXPECT_TRUE(currencies.contains(factory.value(u"ZTCurrencyDefaultISO4217"_s)));
        EXPECT_GT(factory.value(u"ZTLimitForSimplifiedInvoicePLN"_s).toDouble(), 0.0);
        EXPECT_GT(factory.value(u"ZTLimitForSimplifiedInvoiceEUR"_s).toDouble(), 0.0);
    }
}

TEST(FactoryDefaults, TheEnglishFileMatchesThePolishOnePositionForPosition)
{
    const QVariantMap polish = readFactoryDefaults(factoryDefaultsPath(u"pl"_s));
    const QVariantMap english = readFactoryDefaults(factoryDefaultsPath(u"en"_s));
    EXPECT_EQ(polish.keys(), english.keys());

    // Second-language texts are looked up by the position of the Polish text.
    for (const QString &key : {u"ZTPaymentMethods"_s, u"ZTCorrectiveInvoiceIssueReasons"_s}) {
        const QStringList pl = polish.value(key).toStringList();
        const QStringList en = english.value(key).toStringList();
        ASSERT_EQ(pl.size(), en.size()) << key.toStdString();
        // Translated, not copied: at most a word shared by both languages ("Barter").
        int same = 0;
        for (qsizetype i = 0; i < pl.size(); ++i)
            same += pl.at(i) == en.at(i) ? 1 : 0;
        EXPECT_LE(same, 1) << key.toStdString();
    }
    EXPECT_EQ(polish.value(u"ZTPaymentMethods"_s)
                  .toStringList()
                  .indexOf(polish.value(u"ZTDefaultPaymentMethod"_s).toString()),
              english.value(u"ZTPaymentMethods"_s)
                  .toStringList()
                  .indexOf(english.value(u"ZTDefaultPaymentMethod"_s).toString()));
    const QStringList paid = polish.value(u"ZTPaymentMethods"_s).toStringList().filter(u"Zapłacono"_s);
    EXPECT_EQ(paid.size(), 3);
}

TEST(FactoryDefaults, RegistrationPutsTheWholeFileUnderTheStore)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SettingsStore store(dir.filePath(u"settings.plist"_s));
    registerFactoryDefaults(store, factoryDefaultsPath(u"pl"_s));

    EXPECT_EQ(store.registeredDefaults(), readFactoryDefaults(factoryDefaultsPath(u"pl"_s)));
    EXPECT_EQ(store.stringValue(u"ZTDefaultPaymentMethod"_s), u"Przelew"_s);
    EXPECT_EQ(store.intValue(u"ZTDueDateIntervalValue"_s), 14);
    EXPECT_EQ(store.doubleValue(u"ZTLimitForSimplifiedInvoicePLN"_s), 450.0);
    EXPECT_TRUE(store.persistentDictionary().isEmpty());
    EXPECT_TRUE(store.synchronize());
    EXPECT_FALSE(QFile::exists(dir.filePath(u"settings.plist"_s)));
}
