#include "PartiesTestSupport.h"

#include "model/ZTProduct.h"
#include "model/ZTProductManager.h"

namespace {

using ZTProducts = ZTPartiesTest;

std::string s(const QString &text)
{
    return text.toStdString();
}

std::string d(const std::optional<Decimal> &value)
{
    return value ? value->toString().toStdString() : std::string("<none>");
}

std::optional<Decimal> dec(const char *text)
{
    if (!text)
        return std::nullopt;
    return Decimal::parse(QString::fromLatin1(text));
}

struct Slot
{
    const char *currency;
    const char *net;
    const char *gross;
};

void fillSlots(ZTProduct *product, const std::vector<Slot> &priceSlots)
{
    for (size_t i = 0; i < priceSlots.size(); ++i) {
        const Slot &slot = priceSlots.at(i);
        product->setSlot(int(i) + 1, slot.currency ? QString::fromLatin1(slot.currency) : QString(), dec(slot.net),
                         dec(slot.gross));
    }
}

void expectSlots(const ZTProduct *product, const std::vector<Slot> &priceSlots)
{
    for (size_t i = 0; i < priceSlots.size(); ++i) {
        const int n = int(i) + 1;
        SCOPED_TRACE("slot " + std::to_string(n));
        const Slot &slot = priceSlots.at(i);
        EXPECT_EQ(s(product->slotCurrency(n)), slot.currency ? slot.currency : "");
        EXPECT_EQ(d(product->slotNetPrice(n)), slot.net ? slot.net : "<none>");
        EXPECT_EQ(d(product->slotGrossPrice(n)), slot.gross ? slot.gross : "<none>");
    }
}

} // namespace

// ---- prices by the default currency

TEST_F(ZTProducts, PricesAreReadFromTheSlotOfTheDefaultCurrency)
{
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    fillSlots(product, {{"PLN", "100", "123"}, {"EUR", "25", "30.75"}, {nullptr, nullptr, nullptr}});
    product->setNetPrice(Decimal(99)); // stored, but not what the getters read
    product->setGrossPrice(Decimal(120));
    const struct
    {
        const char *defaultCurrency;
        int index;
        const char *net;
        const char *gross;
    } cases[] = {{"PLN", 1, "100", "123"}, {"EUR", 2, "25", "30.75"}, {"USD", -1, "0", "0"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.defaultCurrency);
        setSetting(QStringLiteral("ZTCurrencyDefaultISO4217"), QString::fromLatin1(c.defaultCurrency));
        EXPECT_EQ(product->defaultCurrencyIndex(), c.index);
        EXPECT_EQ(d(product->netPrice()), c.net);
        EXPECT_EQ(d(product->grossPrice()), c.gross);
        EXPECT_EQ(d(product->defaultCurrencyValueForKey(QStringLiteral("grossPrice"))), c.gross);
    }
    EXPECT_EQ(d(product->storedNetPrice()), "99");
    EXPECT_EQ(d(product->storedGrossPrice()), "120");
}

TEST_F(ZTProducts, TheFirstSlotOfTheCurrencyCountsAndAnEmptyCodeMatchesNone)
{
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    fillSlots(product, {{nullptr, nullptr, nullptr}, {"PLN", "1", "1.23"}, {"PLN", "2", "2.46"}});
    EXPECT_EQ(product->defaultCurrencyIndex(), 2);
    EXPECT_EQ(d(product->netPrice()), "1");
    EXPECT_EQ(product->slotForCurrency(QString()), -1);
}

// ---- lines into the catalogue on issue

TEST_F(ZTProducts, IssuingALineTeachesTheSlotOfItsCurrency)
{
    const struct
    {
        const char *label;
        const char *lineCurrency;
        std::vector<Slot> before;
        std::vector<Slot> after;
    } cases[] = {
        {"USD fills the empty third slot", "USD",
         {{"PLN", "100", "123"}, {"EUR", "25", "30.75"}, {nullptr, nullptr, nullptr}},
         {{"PLN", "100", "123"}, {"EUR", "25", "30.75"}, {"USD", "40", "49.2"}}},
        {"all three priceSlots priced: nothing changes", "USD",
         {{"PLN", "100", "123"}, {"EUR", "25", "30.75"}, {"GBP", "20", "24.6"}},
         {{"PLN", "100", "123"}, {"EUR", "25", "30.75"}, {"GBP", "20", "24.6"}}},
        {"the slot of the currency is updated", "EUR",
         {{"PLN", "100", "123"}, {"EUR", "25", "30.75"}, {nullptr, nullptr, nullptr}},
         {{"PLN", "100", "123"}, {"EUR", "40", "49.2"}, {nullptr, nullptr, nullptr}}},
        {"a slot with zero prices is taken whatever its code", "USD",
         {{"PLN", "100", "123"}, {"CHF", "0", "0"}, {nullptr, nullptr, nullptr}},
         {{"PLN", "100", "123"}, {"USD", "40", "49.2"}, {nullptr, nullptr, nullptr}}},
    };
    int number = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ZTProduct *product = ZTProduct::newProduct(*m_context);
        const QString name = QStringLiteral("Towar %1").arg(++number);
        product->setName(name);
        fillSlots(product, c.before);
        ZTDocument *invoice = draft(1);
        invoice->setCurrency(QString::fromLatin1(c.lineCurrency));
        ZTDocumentItem *line = addLine(invoice, name.toUpper(), QStringLiteral("40"));
        line->setSelectedCurrency(QString::fromLatin1(c.lineCurrency));
        issued(invoice, QStringLiteral("FV %1").arg(number));
        EXPECT_EQ(line->baseProduct(), product);
        expectSlots(product, c.after);
        // The stored prices and the name always follow the line.
        EXPECT_EQ(d(product->storedNetPrice()), "40");
        EXPECT_EQ(d(product->storedGrossPrice()), "49.2");
        EXPECT_EQ(s(product->name()), s(name.toUpper()));
    }
    EXPECT_EQ(fetchAll<ZTProduct>(QStringLiteral("Product")).size(), 4);
    save();
}

TEST_F(ZTProducts, IssuingANewLineMakesAProductOfIt)
{
    ZTDocument *invoice = draft(1);
    invoice->setCurrency(QStringLiteral("EUR"));
    ZTDocumentItem *line = addLine(invoice, QStringLiteral("Doradztwo"), QStringLiteral("80"), QStringLiteral("zw"));
    line->setSelectedCurrency(QStringLiteral("EUR"));
    line->setUnitName(QStringLiteral("godz."));
    line->setPkwiu(QStringLiteral("70.22"));
    line->setLabel(QStringLiteral("usługi")); // a line's label is not the catalogue's
    issued(invoice, QStringLiteral("FV 9"));

    const QList<ZTProduct *> products = fetchAll<ZTProduct>(QStringLiteral("Product"));
    ASSERT_EQ(products.size(), 1);
    ZTProduct *product = products.first();
    EXPECT_EQ(line->baseProduct(), product);
    EXPECT_EQ(s(product->name()), "Doradztwo");
    expectSlots(product, {{"EUR", "80", "80"}, {nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr}});
    EXPECT_EQ(d(product->vatRate()), "-1"); // the exemption keeps its marker
    EXPECT_EQ(s(product->vatDescription()), "zw");
    EXPECT_EQ(s(product->unitName()), "godz.");
    EXPECT_EQ(s(product->pkwiu()), "70.22");
    EXPECT_FALSE(product->grossBasedValues());
    EXPECT_TRUE(product->label().isNull());
    EXPECT_FALSE(product->billPrice().has_value()); // not a bill
    save();
}

TEST_F(ZTProducts, ABillTeachesTheBillPriceAndGrossLinesTheirDirection)
{
    ZTDocument *bill = draft(16);
    ZTDocumentItem *line = bill->addNewDocumentItem();
    line->setName(QStringLiteral("Korepetycje"));
    line->setBillPrice(Decimal(60));
    issued(bill, QStringLiteral("R 1"));
    ASSERT_NE(line->baseProduct(), nullptr);
    EXPECT_EQ(d(line->baseProduct()->billPrice()), "60");

    ZTDocument *simplified = draft(128);
    ZTDocumentItem *gross = simplified->addNewDocumentItem();
    gross->setName(QStringLiteral("Kawa"));
    gross->setGrossPrice(Decimal(12));
    // Stored net-based, yet a simplified invoice computes from the gross price: the product
    // learns the direction the line was computed in.
    gross->setGrossBasedValues(false);
    issued(simplified, QStringLiteral("FU 1"));
    ASSERT_NE(gross->baseProduct(), nullptr);
    EXPECT_TRUE(gross->baseProduct()->grossBasedValues());
    EXPECT_FALSE(gross->baseProduct()->billPrice().has_value());
    save();
}

// ---- the catalogue into lines

TEST_F(ZTProducts, TakingOverAProductCopiesItsSlotsAndLeavesTheLinePricesToTheTable)
{
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    product->setName(QStringLiteral("Krzesło"));
    product->setUnitName(QStringLiteral("szt."));
    product->setPkwiu(QStringLiteral("31.01"));
    product->setVatRate(Decimal::parse(QStringLiteral("0.08")));
    product->setVatDescription(QStringLiteral("obniżona"));
    product->setGrossBasedValues(true);
    // Slot 2 has a net price only: both prices become zero.
    fillSlots(product, {{"PLN", "100", "108"}, {"EUR", "25", nullptr}, {"USD", "27", "29.16"}});

    ZTDocument *invoice = draft(1);
    invoice->setCurrency(QStringLiteral("USD"));
    ZTDocumentItem *line = invoice->addNewDocumentItem();
    line->copyFromProduct(product);
    expectSlots(line, {{"PLN", "100", "108"}, {"EUR", "0", "0"}, {"USD", "27", "29.16"}});
    EXPECT_EQ(d(line->storedNetPrice()), "0");
    EXPECT_EQ(d(line->storedGrossPrice()), "0");
    EXPECT_EQ(s(line->selectedCurrency()), "USD");
    EXPECT_EQ(d(line->storedBillPrice()), "108"); // no bill price: the default currency's gross
    EXPECT_EQ(s(line->name()), "Krzesło");
    EXPECT_EQ(s(line->unitName()), "szt.");
    EXPECT_EQ(s(line->pkwiu()), "31.01");
    EXPECT_EQ(d(line->storedVatRate()), "0.08");
    EXPECT_EQ(s(line->vatDescription()), "obniżona");
    EXPECT_TRUE(line->storedGrossBasedValues());
    EXPECT_EQ(line->baseProduct(), product);

    // A document without a currency takes the default one; a bill price wins over the gross.
    invoice->setCurrency(QString());
    product->setBillPrice(Decimal(90));
    line->copyFromProduct(product);
    EXPECT_EQ(s(line->selectedCurrency()), "PLN");
    EXPECT_EQ(d(line->storedBillPrice()), "90");

    // No product: only the link goes.
    line->copyFromProduct(nullptr);
    EXPECT_EQ(line->baseProduct(), nullptr);
    EXPECT_EQ(s(line->name()), "Krzesło");
    save();
}

TEST_F(ZTProducts, TypingANameTakesOverTheProductOfThatName)
{
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    product->setName(QStringLiteral("Żółta farba"));
    product->setUnitName(QStringLiteral("l"));
    ZTDocument *invoice = draft(1);
    ZTDocumentItem *line = invoice->addNewDocumentItem();

    line->setProductInheritedName(QStringLiteral("zolta FARBA"));
    EXPECT_EQ(line->baseProduct(), product);
    EXPECT_EQ(s(line->unitName()), "l");
    EXPECT_EQ(s(line->productInheritedName()), "zolta FARBA"); // the typed text stays

    line->setProductInheritedName(QStringLiteral("Niebieska farba"));
    EXPECT_EQ(line->baseProduct(), nullptr);
    EXPECT_EQ(s(line->name()), "Niebieska farba");
    EXPECT_EQ(s(line->unitName()), "l"); // nothing else changes without a product
    save();
}

// ---- labels

TEST_F(ZTProducts, LabelsAreKeptOnceAndJoinedByCommas)
{
    const struct
    {
        const char *before;
        const char *add;
        const char *remove;
        const char *after; // nullptr: no labels
    } cases[] = {
        {nullptr, "meble", nullptr, "meble"},
        {"meble", "biuro", nullptr, "meble,biuro"},
        {"meble,biuro", "meble", nullptr, "meble,biuro"}, // a second time changes nothing
        {"meble", nullptr, "meble", nullptr},             // the only label: the list is cleared
        {"meble,biuro,dom", nullptr, "biuro", "meble,dom"},
        {"meble,biuro,meble", nullptr, "meble", "biuro"}, // every equal entry goes
        {"meble", nullptr, "ogród", "meble"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.before ? c.before : "-") + " " + (c.add ? c.add : "-") + " " +
                     (c.remove ? c.remove : "-"));
        ZTProduct *product = ZTProduct::newProduct(*m_context);
        product->setLabel(c.before ? QString::fromUtf8(c.before) : QString());
        if (c.add)
            product->addLabel(QString::fromUtf8(c.add));
        if (c.remove)
            product->removeLabel(QString::fromUtf8(c.remove));
        if (c.after)
            EXPECT_EQ(s(product->label()), c.after);
        else
            EXPECT_TRUE(product->label().isEmpty());
    }
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    product->setLabel(QStringLiteral("meble,biuro,dom"));
    EXPECT_EQ(s(product->commaSeparatedLabels()), "meble, biuro, dom");
}

// ---- gross-based products

TEST_F(ZTProducts, GrossBasedProductsCanAllBeTurnedNetBased)
{
    EXPECT_FALSE(ZTProduct::grossBasedCalculationProductsExist(*m_context));
    ZTProduct *gross = ZTProduct::newProduct(*m_context);
    gross->setGrossBasedValues(true);
    ZTProduct *net = ZTProduct::newProduct(*m_context);
    net->setGrossBasedValues(false);
    ZTDocument *invoice = draft(1);
    ZTDocumentItem *line = invoice->addNewDocumentItem();
    line->setGrossBasedValues(true); // a line is no catalogue product
    save();

    EXPECT_TRUE(ZTProduct::grossBasedCalculationProductsExist(*m_context));
    EXPECT_EQ(ZTProduct::grossBasedCalculationProducts(*m_context), QList<ZTProduct *>{gross});
    ZTProduct::convertAllProductCalculationsToNetBased(*m_context);
    EXPECT_FALSE(gross->grossBasedValues());
    EXPECT_FALSE(ZTProduct::grossBasedCalculationProductsExist(*m_context));
    EXPECT_TRUE(line->storedGrossBasedValues());
    save();
}
