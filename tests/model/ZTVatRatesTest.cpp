#include "model/ZTDocument.h"
#include "model/ZTSeller.h"
#include "model/ZTVatRateWithDescription.h"
#include "model/ZTVatRatesManager.h"
#include "platform/SettingsStore.h"

#include "ZTEntityTestFixture.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

Decimal dec(const char *text)
{
    return Decimal::parse(QString::fromLatin1(text));
}

// Pins the user's locale for one test.
class LocaleScope
{
public:
    explicit LocaleScope(const QString &name) : m_saved(QLocale()) { QLocale::setDefault(QLocale(name)); }
    ~LocaleScope() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

} // namespace

TEST(ZTVatRateWithDescriptionTest, ParsesTypedRateTexts)
{
    struct Case
    {
        const char *text;
        const char *previousLabel;
        bool hidden;
        const char *rate; // as read
        const char *label;
    };
    const Case cases[] = {
        {"23%", "old", false, "0.23", "old"},         // no label part: the old one stays
        {"8 % obniżona", "", false, "0.08", "obniżona"},
        {"zw", "", true, "0", "zw"},
        {"  np \n", "x", true, "0", "np"},
        {"5,5%", "", false, "0.055", ""},
        {"0%", "", false, "0", ""},
        {"12.3456%", "", false, "0.123", ""},         // 3 places, half up
        {"12.3454%", "", false, "0.123", ""},
        {"", "kept", true, "0", "kept"},              // empty text: hidden, label kept
        {"7% stawka\nspecjalna ", "", false, "0.07", "stawka\nspecjalna"},
    };
    for (const Case &c : cases) {
        ZTVatRateWithDescription value(Decimal(0), QString::fromUtf8(c.previousLabel));
        value.setFormattedRateWithDescription(QString::fromUtf8(c.text));
        SCOPED_TRACE(c.text);
        EXPECT_EQ(value.rateIsHidden(), c.hidden);
        EXPECT_EQ(value.rate(), dec(c.rate));
        EXPECT_EQ(value.vatDescription(), QString::fromUtf8(c.label));
        if (c.hidden) {
            EXPECT_EQ(value.storedRate(), Decimal(-1));
        }
    }
}

TEST(ZTVatRateWithDescriptionTest, HiddenRateReadsZeroAndShowsOnlyItsLabel)
{
    LocaleScope locale(QStringLiteral("pl_PL"));
    const ZTVatRateWithDescription hidden(Decimal(-1), QStringLiteral("zw"));
    EXPECT_TRUE(hidden.rateIsHidden());
    EXPECT_EQ(hidden.rate(), Decimal(0));
    EXPECT_EQ(hidden.formattedRate(), QString());
    EXPECT_EQ(hidden.formattedRateWithDescription(), QStringLiteral("zw"));
    EXPECT_TRUE(ZTVatRateWithDescription(std::nullopt, QString()).rateIsHidden());
    EXPECT_EQ(ZTVatRateWithDescription(std::nullopt, QString()).formattedRateWithDescription(), QStringLiteral(""));

    const ZTVatRateWithDescription reduced(dec("0.08"), QStringLiteral("obniżona"));
    EXPECT_EQ(reduced.formattedRate(), QStringLiteral("8%"));
    EXPECT_EQ(reduced.formattedRateWithDescription(), QStringLiteral("8% obniżona"));
    EXPECT_EQ(ZTVatRateWithDescription(dec("0.055"), QString()).formattedRate(), QStringLiteral("5,5%"));
    // Formatting and parsing meet: what a choice shows reads back as the same value.
    EXPECT_EQ(ZTVatRateWithDescription::fromText(reduced.formattedRateWithDescription()), reduced);
}

TEST(ZTVatRateWithDescriptionTest, EqualityComparesReadRatesAndLabels)
{
    const ZTVatRateWithDescription a(dec("0.23"), QStringLiteral("x"));
    EXPECT_EQ(a, ZTVatRateWithDescription(dec("0.2300"), QStringLiteral("x")));
    EXPECT_EQ(a, ZTVatRateWithDescription(dec("0.2304"), QStringLiteral("x"))); // read to 3 places
    EXPECT_FALSE(a == ZTVatRateWithDescription(dec("0.2305"), QStringLiteral("x")));
    EXPECT_FALSE(a == ZTVatRateWithDescription(dec("0.23"), QStringLiteral("y")));
    // A hidden rate reads 0 but is not the visible rate 0.
    EXPECT_FALSE(ZTVatRateWithDescription(Decimal(0), QStringLiteral("zw"))
                 == ZTVatRateWithDescription(Decimal(-1), QStringLiteral("zw")));
    EXPECT_EQ(ZTVatRateWithDescription(std::nullopt, QStringLiteral("zw")),
              ZTVatRateWithDescription(Decimal(-1), QStringLiteral("zw")));
}

class ZTVatRatesManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<SettingsStore>(m_dir.filePath(QStringLiteral("settings.plist")));
    }

    static QVariantMap entry(const QString &rate, const QString &description)
    {
        return {{QStringLiteral("rate"), rate}, {QStringLiteral("description"), description}};
    }

    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_settings;
};

TEST_F(ZTVatRatesManagerTest, OldListGetsDefaultsMarkedAndWrittenBack)
{
    m_settings->setValue(QStringLiteral("ZTVatRates"),
                         QVariantList{entry(QStringLiteral("8%"), QString()), entry(QStringLiteral("23%"), QString()),
                                      entry(QString(), QStringLiteral("zw"))});
    ZTVatRatesManager manager(*m_settings);
    const QVariantList rates = manager.availableRates();
    ASSERT_EQ(rates.size(), 3);
    EXPECT_TRUE(rates[0].toMap().value(QStringLiteral("isDefault")).toBool());
    EXPECT_FALSE(rates[1].toMap().value(QStringLiteral("isDefault")).toBool());
    EXPECT_FALSE(rates[2].toMap().value(QStringLiteral("isDefault")).toBool());

    // Written to the file, not only returned.
    SettingsStore reread(m_dir.filePath(QStringLiteral("settings.plist")));
    const QVariantList stored = reread.arrayValue(QStringLiteral("ZTVatRates"));
    ASSERT_EQ(stored.size(), 3);
    EXPECT_EQ(stored[0].toMap().value(QStringLiteral("isDefault")), QVariant(true));
    EXPECT_EQ(stored[2].toMap().value(QStringLiteral("isDefault")), QVariant(false));
    EXPECT_EQ(manager.numberFromRate(manager.defaultRate()), dec("0.08"));
}

TEST_F(ZTVatRatesManagerTest, DefaultRateIsTheMarkedEntryElseTheFirst)
{
    QVariantMap first = entry(QStringLiteral("23%"), QString());
    first.insert(QStringLiteral("isDefault"), false);
    QVariantMap second = entry(QStringLiteral(" 8% "), QStringLiteral("obniżona"));
    second.insert(QStringLiteral("isDefault"), true);
    m_settings->setValue(QStringLiteral("ZTVatRates"), QVariantList{first, second});
    ZTVatRatesManager manager(*m_settings);
    const ZTVatRateWithDescription marked = manager.defaultVatRateWithDescription();
    EXPECT_EQ(marked.rate(), dec("0.08"));
    EXPECT_EQ(marked.vatDescription(), QStringLiteral("obniżona"));

    second.insert(QStringLiteral("isDefault"), false);
    manager.replaceRatesWith({first, second});
    EXPECT_EQ(manager.defaultRate().value(QStringLiteral("rate")), QVariant(QStringLiteral("23%")));
}

TEST(ZTVatRatesManagerTextTest, ConvertsBetweenRateTextsAndNumbers)
{
    EXPECT_EQ(ZTVatRatesManager::rateFromDescription(QStringLiteral("23%")), dec("0.23"));
    EXPECT_EQ(ZTVatRatesManager::rateFromDescription(QStringLiteral("5,5%")), dec("0.05")); // whole percent only
    EXPECT_EQ(ZTVatRatesManager::rateFromDescription(QStringLiteral("")), Decimal(0));
    EXPECT_EQ(ZTVatRatesManager::rateFromDescription(QStringLiteral("zw")), Decimal(0));
    EXPECT_EQ(ZTVatRatesManager::numberFromRate({{QStringLiteral("rate"), QStringLiteral("\n 8% ")}}), dec("0.08"));
    EXPECT_EQ(ZTVatRatesManager::descriptionFromRate(dec("0.23")), QStringLiteral("23%"));
    EXPECT_EQ(ZTVatRatesManager::descriptionFromRate(dec("0.055")), QStringLiteral("6%"));
    EXPECT_EQ(ZTVatRatesManager::descriptionFromRate(Decimal(0)), QStringLiteral("0%"));
    const QVariantMap fresh = ZTVatRatesManager::emptyNewRate();
    EXPECT_EQ(fresh.value(QStringLiteral("rate")), QVariant(QStringLiteral("0%")));
    EXPECT_EQ(fresh.value(QStringLiteral("isDefault")), QVariant(false));
}

TEST(ZTMarginProceduresTest, NamesAndRatesPerCode)
{
    struct Case
    {
        const char *code;
        const char *polish;
        const char *english;
        const char *rate;
    };
    const Case cases[] = {
        {"biuropodrozy", "Biuro podróży", "Travel agency", "0.08"},
        {"towaryuzywane", "Towary używane", "Second-hand goods", "0.23"},
        {"dzielasztuki", "Dzieła sztuki", "Works of art", "0.23"},
        {"kolekcjonerskieantyki", "Przedmioty kolekcjonerskie i antyki", "Collectables and antiques", "0.23"},
    };
    for (const Case &c : cases) {
        const QString code = QString::fromUtf8(c.code);
        EXPECT_EQ(ZTSeller::marginProcedures().value(QString::fromUtf8(c.polish)), code);
        EXPECT_EQ(ZTSeller::marginProceduresForSecondLanguage(1).value(QString::fromUtf8(c.english)), code);
        EXPECT_EQ(ZTSeller::validVatRateForMarginProcedure(code), dec(c.rate));
    }
    EXPECT_EQ(ZTSeller::marginProceduresForSecondLanguage(2), ZTSeller::marginProcedures());
    EXPECT_EQ(ZTSeller::validVatRateForMarginProcedure(QString()), Decimal(-1));
    EXPECT_EQ(ZTSeller::validVatRateForMarginProcedure(QStringLiteral("Biuropodrozy")), Decimal(-1));
}

class ZTMarginProcedureDocumentTest : public ZTEntityTest
{
};

TEST_F(ZTMarginProcedureDocumentTest, NameForDocumentFollowsItsCodeAndLanguage)
{
    auto *document = insert<ZTDocument>(QStringLiteral("Document"));
    const QString none = ZTSeller::marginProcedureNameForDocument(document);
    EXPECT_TRUE(none.isEmpty());
    EXPECT_FALSE(none.isNull());

    document->setMarginInvoiceProcedure(QStringLiteral("dzielasztuki"));
    EXPECT_EQ(ZTSeller::marginProcedureNameForDocument(document), QStringLiteral("Dzieła sztuki"));
    EXPECT_EQ(ZTSeller::marginProcedureSecondLanguageNameForDocument(document), QStringLiteral("Dzieła sztuki"));
    document->setDocumentSecondLanguage(1);
    EXPECT_EQ(ZTSeller::marginProcedureSecondLanguageNameForDocument(document), QStringLiteral("Works of art"));

    document->setMarginInvoiceProcedure(QStringLiteral("nieznana"));
    EXPECT_TRUE(ZTSeller::marginProcedureNameForDocument(document).isNull());
}
