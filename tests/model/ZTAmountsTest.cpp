#include "model/ZTDecimalHelpers.h"
#include "model/ZTDocument.h"
#include "model/ZTDocumentItem.h"
#include "model/ZTDocumentVatRateSummary.h"
#include "model/ZTProduct.h"
#include "model/ZTPurchaser.h"
#include "platform/SettingsStore.h"

#include "ZTEntityTestFixture.h"

#include <map>
#include <random>

namespace {

Decimal dec(const char *text)
{
    return Decimal::parse(QString::fromLatin1(text));
}

constexpr int kInvoice = 1;
constexpr int kCorrective = 4;
constexpr int kBill = 16;
constexpr int kMargin = 64;
constexpr int kSimplified = 128;

const QString kInstallDateKey = QStringLiteral("ZTTolvana1_6InstallDate");
const QString kFromUnitPriceKey = QStringLiteral("ZTDiscountCalculationFromUnitPrice");

} // namespace

class ZTAmountsTest : public ZTEntityTest
{
protected:
    void SetUp() override
    {
        ZTEntityTest::SetUp();
        setInstallDate(QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
        setFromUnitPrice(false);
    }

    void TearDown() override
    {
        SettingsStore::standard().removeValue(kInstallDateKey);
        SettingsStore::standard().removeValue(kFromUnitPriceKey);
        ZTEntityTest::TearDown();
    }

    static void setInstallDate(const QDateTime &date)
    {
        if (date.isValid())
            SettingsStore::standard().setValue(kInstallDateKey, date);
        else
            SettingsStore::standard().removeValue(kInstallDateKey);
    }
    static void setFromUnitPrice(bool on) { SettingsStore::standard().setValue(kFromUnitPriceKey, on); }

    ZTDocument *newDocument(int kind)
    {
        auto *document = insert<ZTDocument>(QStringLiteral("Document"));
        document->setDocumentKind(kind);
        return document;
    }

    // A line as the item table makes it: the rate picked as text, then the price typed.
    static ZTDocumentItem *addLine(ZTDocument *document, const char *rate, bool grossBased, const char *price,
                                   const char *quantity, const char *discount = "0")
    {
        ZTDocumentItem *line = ZTDocumentItem::newItemForDocument(document);
        line->setVatRateWithDescriptionString(QString::fromUtf8(rate));
        line->setQuantity(dec(quantity));
        line->setDiscount(dec(discount));
        if (grossBased)
            line->setGrossPriceWithGrossBaseMarker({dec(price), true});
        else
            line->setNetPriceWithGrossBaseMarker({dec(price), true});
        return line;
    }
};

TEST(ZTDecimalHelpersTest, EachStepRoundsToFourPlaces)
{
    EXPECT_EQ(netFromGrossUsingTaxRate(Decimal(10), dec("0.08")), dec("9.2593"));
    EXPECT_EQ(taxFromGrossUsingTaxRate(Decimal(10), dec("0.08")), dec("0.7407"));
    EXPECT_EQ(grossFromNetUsingTaxRate(dec("0.01"), dec("0.23")), dec("0.0123"));
    EXPECT_EQ(taxFromNetUsingTaxRate(dec("0.0001"), dec("0.5")), dec("0.0001")); // 0.00005 half away from zero
    EXPECT_EQ(taxFromNetUsingTaxRate(dec("-0.0001"), dec("0.5")), dec("-0.0001"));
    // The discount is two operations: 2.31 × 0.333 = 0.76923 -> 0.7692, then 2.31 − 0.7692.
    EXPECT_EQ(valueByApplyingDiscount(dec("2.31"), dec("0.333")), dec("1.5408"));
    EXPECT_EQ(valueByApplyingDiscount(dec("2.31"), std::nullopt), dec("2.31"));
}

// Each row is one line on its own document; the figures are worked out by hand.
TEST_F(ZTAmountsTest, LineValuesFollowDirectionDiscountMethodAndKind)
{
    struct Case
    {
        const char *what;
        int kind;
        const char *rate;
        bool grossBased;
        const char *price;
        const char *quantity;
        const char *discount;
        bool beforeInstallDate;
        bool fromUnitPrice;
        const char *net;
        const char *vat;
        const char *gross;
        const char *derivedUnitPrice; // the stored price of the other direction
    };
    const Case cases[] = {
        {"net, value method", kInvoice, "23%", false, "100", "3", "0.1", false, false, "270", "62.1", "332.1", "123"},
        {"gross 123", kInvoice, "23%", true, "123", "1", "0", false, false, "100", "23", "123", "100"},
        {"gross 10 at 8%", kInvoice, "8%", true, "10", "1", "0", false, false, "9.2593", "0.7407", "10", "9.2593"},
        {"10.99 value method", kInvoice, "23%", false, "10.99", "3", "0.15", false, false, "28.0245", "6.4456",
         "34.4701", "13.5177"},
        {"10.99 from unit price", kInvoice, "23%", false, "10.99", "3", "0.15", false, true, "28.0245", "6.4456",
         "34.4701", "13.5177"},
        {"0.33 value method", kInvoice, "0%", false, "0.33", "7", "0.333", false, false, "1.5408", "0", "1.5408",
         "0.33"},
        {"0.33 from unit price", kInvoice, "0%", false, "0.33", "7", "0.333", false, true, "1.5407", "0", "1.5407",
         "0.33"},
        {"0.33 before install date", kInvoice, "0%", false, "0.33", "7", "0.333", true, false, "1.5407", "0",
         "1.5407", "0.33"},
        // Gross-based lines ignore the unit-price setting: only the issue date picks the method.
        {"gross, value method", kInvoice, "0%", true, "0.33", "7", "0.333", false, true, "1.5408", "0", "1.5408",
         "0.33"},
        {"gross, before install date", kInvoice, "0%", true, "0.33", "7", "0.333", true, false, "1.5407", "0",
         "1.5407", "0.33"},
        {"exemption computes as 0", kInvoice, "zw", false, "100", "2", "0", false, false, "200", "0", "200", "100"},
        {"margin is gross-based", kMargin, "23%", false, "123", "1", "0", false, false, "100", "23", "123", "100"},
        {"simplified is gross-based", kSimplified, "8%", false, "10", "1", "0", false, false, "9.2593", "0.7407", "10",
         "9.2593"},
        {"quantity to 3 places", kInvoice, "0%", false, "1", "2.00051", "0", false, false, "2.0010", "0", "2.001",
         "1"},
        {"negative deduction line", kInvoice, "23%", false, "-50", "1", "0", false, false, "-50", "-11.5", "-61.5",
         "-61.5"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        setFromUnitPrice(c.fromUnitPrice);
        ZTDocument *document = newDocument(c.kind);
        if (c.beforeInstallDate)
            document->setIssueDate(QDateTime(QDate(2019, 12, 31), QTime(23, 59)));
        ZTDocumentItem *line = addLine(document, c.rate, c.grossBased, c.price, c.quantity, c.discount);
        // The price is typed on the side the line is not computing from, for the margin and
        // simplified cases: they compute gross-based whatever the flag says.
        if ((c.kind == kMargin || c.kind == kSimplified) && !c.grossBased)
            line->setGrossPrice(dec(c.price));
        EXPECT_EQ(line->netValue(), dec(c.net));
        EXPECT_EQ(line->vatValue(), dec(c.vat));
        EXPECT_EQ(line->grossValue(), dec(c.gross));
        const bool computesGross = line->grossBasedValues();
        EXPECT_EQ(computesGross ? line->storedNetPrice() : line->storedGrossPrice(), dec(c.derivedUnitPrice));
        EXPECT_EQ(document->totalNetValue(), dec(c.net));
        EXPECT_EQ(document->totalGrossValue(), dec(c.gross));
    }
}

TEST_F(ZTAmountsTest, WithoutInstallDateEveryDocumentUsesUnitPriceMethod)
{
    setInstallDate(QDateTime());
    ZTDocument *document = newDocument(kInvoice);
    ZTDocumentItem *line = addLine(document, "0%", false, "0.33", "7", "0.333");
    EXPECT_EQ(line->netValue(), dec("1.5407"));
    // The issue date on or after the install date turns the value method on; an empty one too.
    setInstallDate(kNow);
    line->recalculate();
    EXPECT_EQ(line->netValue(), dec("1.5408"));
    document->setIssueDate(QDateTime());
    line->recalculate();
    EXPECT_EQ(line->netValue(), dec("1.5408"));
}

TEST_F(ZTAmountsTest, BillLineReadsBillPriceAndNoVat)
{
    ZTDocument *bill = newDocument(kBill);
    ZTDocumentItem *line = ZTDocumentItem::newItemForDocument(bill);
    line->setGrossBasedValues(true);
    line->setVatRate(dec("0.23"));
    line->setNetPrice(Decimal(999));
    line->setBillPrice(Decimal(50));
    line->setQuantity(Decimal(2));
    EXPECT_FALSE(line->grossBasedValues());
    EXPECT_EQ(line->vatRate(), Decimal(0));
    EXPECT_EQ(line->netPrice(), Decimal(50));
    EXPECT_EQ(line->billValue(), Decimal(100));
    EXPECT_EQ(line->vatValue(), Decimal(0));
    EXPECT_EQ(line->grossValue(), Decimal(100));

    ZTDocumentItem *second = ZTDocumentItem::newItemForDocument(bill);
    second->setVatRate(dec("0.08"));
    second->setBillPrice(Decimal(5));
    const ZTDocumentVatRateSummary summary = bill->vatSummary();
    ASSERT_EQ(summary.items().size(), 1); // every bill line reads rate 0
    EXPECT_EQ(summary.totalGrossValue(), Decimal(105));
    EXPECT_EQ(summary.totalVatValue(), Decimal(0));
}

TEST_F(ZTAmountsTest, LineRecalculatesWhenAnInputChanges)
{
    ZTDocument *document = newDocument(kInvoice);
    ZTDocumentItem *line = addLine(document, "23%", false, "100", "1");
    ASSERT_EQ(document->totalGrossValue(), Decimal(123));
    line->setQuantity(Decimal(2));
    EXPECT_EQ(document->totalGrossValue(), Decimal(246));
    line->setDiscount(dec("0.5"));
    EXPECT_EQ(line->netValue(), Decimal(100));
    line->setVatRateWithDescriptionString(QStringLiteral("8%"));
    EXPECT_EQ(document->totalVatValue(), Decimal(8));
    // Switching to gross-based computes from the gross unit price worked out so far (108).
    line->setGrossPriceWithGrossBaseMarker({Decimal(216), true});
    EXPECT_TRUE(line->grossBasedValues());
    EXPECT_EQ(line->storedNetPrice(), Decimal(200));
    EXPECT_EQ(line->grossValue(), Decimal(216));
    EXPECT_EQ(document->totalNetValue(), Decimal(200));
    // Without a discount a line only recalculates the document.
    line->setDiscount(std::nullopt);
    line->setQuantity(Decimal(5));
    EXPECT_EQ(line->grossValue(), Decimal(216));
}

TEST_F(ZTAmountsTest, SummaryRowsByRateAndLabel)
{
    ZTDocument *document = newDocument(kInvoice);
    ZTDocumentItem *labelled = addLine(document, "23%", false, "10", "1");
    labelled->setVatDescription(QStringLiteral("23%"));
    addLine(document, "23%", false, "20", "1");
    addLine(document, "23%", false, "30", "1");
    addLine(document, "zw", false, "5", "1");
    addLine(document, "zw", false, "7", "1");
    addLine(document, "0%", false, "1", "1");
    const ZTDocumentVatRateSummary summary = document->vatSummary();
    ASSERT_EQ(summary.items().size(), 4);
    EXPECT_EQ(summary.items()[0].vatRateWithDescription().vatDescription(), QStringLiteral("23%"));
    EXPECT_EQ(summary.items()[0].netValue(), Decimal(10));
    EXPECT_EQ(summary.items()[1].netValue(), Decimal(50));
    EXPECT_EQ(summary.items()[1].vatValue(), dec("11.5"));
    EXPECT_TRUE(summary.items()[2].vatRateWithDescription().rateIsHidden());
    EXPECT_EQ(summary.items()[2].grossValue(), Decimal(12));
    // A hidden rate reads 0 like the 0% rate, but its label keeps the rows apart.
    EXPECT_EQ(summary.items()[3].grossValue(), Decimal(1));
    EXPECT_EQ(document->totalGrossValue(), dec("86.8"));
}

TEST_F(ZTAmountsTest, GrossBasedSummaryDerivesNetFromGrossSum)
{
    ZTDocument *document = newDocument(kInvoice);
    // Three lines at 10 gross, 8%: each line's net is 9.2593, three of them 27.7779; the row
    // works from the gross sum 30: 27.7778.
    for (int i = 0; i < 3; ++i)
        addLine(document, "8%", true, "10", "1");
    EXPECT_TRUE(document->grossBasedSummary());
    EXPECT_FALSE(document->hasMixedCalculationDirections());
    const ZTDocumentVatRateSummary summary = document->vatSummary();
    ASSERT_EQ(summary.items().size(), 1);
    EXPECT_EQ(summary.items()[0].netValue(), dec("27.7778"));
    EXPECT_EQ(summary.items()[0].vatValue(), dec("2.2222"));
    EXPECT_EQ(document->totalNetValue(), dec("27.7778"));

    // One net-based line makes the directions mixed; the summary stays gross-based.
    addLine(document, "8%", false, "100", "1");
    EXPECT_TRUE(document->grossBasedSummary());
    EXPECT_TRUE(document->hasMixedCalculationDirections());
    EXPECT_EQ(document->totalGrossValue(), dec("138"));
    EXPECT_EQ(document->totalNetValue(), dec("127.7778"));
}

TEST_F(ZTAmountsTest, NewLineTakesDiscountRatePositionFromDocument)
{
    ZTDocument *document = newDocument(kInvoice);
    auto *purchaser = insert<ZTPurchaser>(QStringLiteral("Purchaser"));
    purchaser->setDefaultDiscount(dec("0.05"));
    document->setPurchaser(purchaser);
    ZTDocumentItem *first = ZTDocumentItem::newItemForDocument(document);
    ZTDocumentItem *second = ZTDocumentItem::newItemForDocument(document);
    EXPECT_EQ(first->position(), 1);
    EXPECT_EQ(second->position(), 2);
    EXPECT_EQ(first->discount(), dec("0.05"));
    EXPECT_EQ(first->storedVatRate(), dec("0.23")); // the factory default entry

    ZTDocument *margin = newDocument(kMargin);
    margin->setMarginInvoiceProcedure(QStringLiteral("biuropodrozy"));
    ZTDocumentItem *travel = ZTDocumentItem::newItemForDocument(margin);
    EXPECT_EQ(travel->storedVatRate(), dec("0.08"));
    EXPECT_TRUE(travel->vatDescription().isEmpty());
}

TEST_F(ZTAmountsTest, ProductTakeOverAndPriceSlots)
{
    ZTDocument *document = newDocument(kInvoice);
    document->setCurrency(QStringLiteral("EUR"));
    ZTProduct *product = ZTProduct::newProduct(*m_context);
    product->setName(QStringLiteral("Usługa"));
    product->setGrossBasedValues(true);
    product->setVatRate(dec("0.08"));
    product->setVatDescription(QStringLiteral("obniżona"));
    product->setGrossPrice(Decimal(108));
    product->setBillPrice(std::nullopt);
    product->setCurrency1(QStringLiteral("PLN"));
    product->setNetPrice1(Decimal(100));
    product->setGrossPrice1(Decimal(108));
    product->setCurrency2(QStringLiteral("EUR"));
    product->setNetPrice2(Decimal(25)); // a slot without its gross price is cleared
    product->setGrossPrice2(std::nullopt);

    ZTDocumentItem *line = document->addNewProduct(product);
    EXPECT_EQ(line->baseProduct(), product);
    EXPECT_EQ(line->name(), QStringLiteral("Usługa"));
    EXPECT_TRUE(line->grossBasedValues());
    EXPECT_EQ(line->netPrice1(), Decimal(100));
    EXPECT_EQ(line->netPrice2(), Decimal(0));
    EXPECT_EQ(line->grossPrice2(), Decimal(0));
    EXPECT_EQ(line->storedNetPrice(), Decimal(0));
    EXPECT_EQ(line->storedBillPrice(), Decimal(108)); // the gross price without a bill price
    EXPECT_EQ(line->selectedCurrency(), QStringLiteral("EUR"));
    EXPECT_EQ(line->vatRateWithDescription(), ZTVatRateWithDescription(dec("0.08"), QStringLiteral("obniżona")));

    // The prices typed for the selected currency go back to its slot, for the catalogue to learn.
    line->setGrossPriceWithGrossBaseMarker({Decimal(27), true});
    line->setPricesAccordingToSelectedCurrency();
    EXPECT_EQ(line->grossPrice2(), Decimal(27));
    EXPECT_EQ(line->netPrice2(), Decimal(25));
    EXPECT_EQ(line->grossPrice1(), Decimal(108));
    line->setSelectedCurrency(QStringLiteral("USD"));
    line->setGrossPriceWithGrossBaseMarker({Decimal(54), true});
    line->setPricesAccordingToSelectedCurrency();
    EXPECT_EQ(line->grossPrice2(), Decimal(27));

    // Without a document currency the line takes the default currency's code.
    ZTDocumentItem *plain = newDocument(kInvoice)->addNewProduct(product);
    EXPECT_EQ(plain->selectedCurrency(), QStringLiteral("PLN"));
}

TEST_F(ZTAmountsTest, DeletingAndRenumberingLines)
{
    ZTDocument *document = newDocument(kInvoice);
    ZTDocumentItem *a = addLine(document, "23%", false, "1", "1");
    ZTDocumentItem *b = addLine(document, "23%", false, "2", "1");
    ZTDocumentItem *c = addLine(document, "23%", false, "3", "1");
    a->setName(QStringLiteral("c"));
    b->setName(QStringLiteral("a"));
    c->setName(QStringLiteral("b"));
    document->renumerateDocumentItemsWithSortDescriptors({{QStringLiteral("name"), true, false}});
    EXPECT_EQ(b->position(), 1);
    EXPECT_EQ(c->position(), 2);
    EXPECT_EQ(a->position(), 3);
    EXPECT_EQ(document->availableItems(), (QList<ZTDocumentItem *>{b, c, a}));

    document->deleteItem(c);
    EXPECT_EQ(document->availableItems().size(), 2);
    EXPECT_EQ(document->totalNetValue(), Decimal(3));
}

class ZTCorrectiveAmountsTest : public ZTAmountsTest
{
protected:
    // An invoice with one line (100 net × 2 at 23%) and its corrective draft.
    void makeCorrection()
    {
        m_source = newDocument(kInvoice);
        m_sourceLine = addLine(m_source, "23%", false, "100", "2");
        m_sourceLine->setName(QStringLiteral("Towar"));
        m_draft = newDocument(kCorrective);
        m_draft->setOriginalTotalNetValue(m_source->totalNetValue());
        m_draft->setOriginalTotalVatValue(m_source->totalVatValue());
        m_draft->setOriginalTotalGrossValue(m_source->totalGrossValue());
        for (ZTDocumentItem *line : m_source->availableItems())
            line->createCorrectiveItemsForDocument(m_draft);
    }

    ZTDocument *m_source = nullptr;
    ZTDocumentItem *m_sourceLine = nullptr;
    ZTDocument *m_draft = nullptr;
};

TEST_F(ZTCorrectiveAmountsTest, CorrectionLinesShareThePositionAndSortAsTriple)
{
    makeCorrection();
    const QList<ZTDocumentItem *> lines = m_draft->positionedItems();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0]->subPositionDescription(), QStringLiteral("BYŁO"));
    EXPECT_EQ(lines[1]->subPositionDescription(), QStringLiteral("WINNO BYĆ"));
    EXPECT_EQ(lines[2]->subPositionDescription(), QStringLiteral("RÓŻNICA"));
    EXPECT_EQ(lines[0]->sortPosition(), 140);
    EXPECT_EQ(lines[2]->sortPosition(), 160);
    EXPECT_EQ(lines[1]->netValue(), Decimal(200));
    EXPECT_EQ(lines[2]->netValue(), Decimal(0));
    EXPECT_EQ(m_draft->availableItems(), QList<ZTDocumentItem *>{lines[1]});
    EXPECT_EQ(m_draft->totalGrossValue(), dec("246"));
    EXPECT_FALSE(m_draft->isOriginalItemCorrected(lines[0]));
    EXPECT_FALSE(lines[0]->hasCorrectedName());
}

TEST_F(ZTCorrectiveAmountsTest, QuantityCorrectionShowsNegativeDifferences)
{
    makeCorrection();
    ZTDocumentItem *corrected = m_draft->correctedDocumentItems().value(0);
    ASSERT_NE(corrected, nullptr);
    corrected->setQuantity(Decimal(1));

    ZTDocumentItem *difference = m_draft->differenceItemForCorrectedItem(corrected);
    ASSERT_NE(difference, nullptr);
    EXPECT_EQ(difference->quantity(), Decimal(-1));
    EXPECT_EQ(difference->netValue(), Decimal(-100));
    EXPECT_EQ(difference->vatValue(), Decimal(-23));
    EXPECT_EQ(difference->grossValue(), Decimal(-123));
    EXPECT_EQ(difference->storedVatRate(), Decimal(-1));
    EXPECT_EQ(m_draft->netCorrectiveDifference(), Decimal(-100));
    EXPECT_EQ(m_draft->vatCorrectiveDifference(), Decimal(-23));
    EXPECT_EQ(m_draft->grossCorrectiveDifference(), Decimal(-123));

    // The original line keeps its values when its own inputs are touched.
    ZTDocumentItem *original = m_draft->originalItemForCorrectedItem(corrected);
    original->setDiscount(dec("0.5"));
    EXPECT_EQ(original->netValue(), Decimal(200));
    EXPECT_TRUE(m_draft->isOriginalItemCorrected(original));

    const ZTDocumentVatRateSummary difference23 = m_draft->correctiveDifferenceVatSummary();
    ASSERT_EQ(difference23.items().size(), 1);
    EXPECT_EQ(difference23.items()[0].netValue(), Decimal(-100));
    EXPECT_EQ(difference23.items()[0].grossValue(), Decimal(-123));
}

TEST_F(ZTCorrectiveAmountsTest, FetchedCorrectionWorksOutItsDifferencesAgain)
{
    makeCorrection();
    m_draft->correctedDocumentItems().value(0)->setQuantity(Decimal(3));
    save();
    reopen();
    const QList<ZTDocument *> drafts = m_context->fetchAs<ZTDocument>(
        FetchRequest(QStringLiteral("Document"), Predicate::equal(QStringLiteral("documentKind"), kCorrective)));
    ASSERT_EQ(drafts.size(), 1);
    EXPECT_EQ(drafts[0]->grossCorrectiveDifference(), Decimal(123));
    EXPECT_EQ(drafts[0]->netCorrectiveDifference(), Decimal(100));
    EXPECT_EQ(drafts[0]->vatCorrectiveDifference(), Decimal(23));
    EXPECT_FALSE(drafts[0]->grossBasedSummary());
    EXPECT_EQ(drafts[0]->differenceDocumentItems().value(0)->quantity(), Decimal(1));
}

TEST_F(ZTCorrectiveAmountsTest, RateChangeSplitsTheDifferenceSummary)
{
    makeCorrection();
    ZTDocumentItem *corrected = m_draft->correctedDocumentItems().value(0);
    ZTDocumentItem *original = m_draft->originalItemForCorrectedItem(corrected);
    corrected->setVatRateWithDescriptionString(QStringLiteral("8%"));
    corrected->setName(QStringLiteral("Towar poprawiony"));
    EXPECT_EQ(original->correctedName(), QStringLiteral("Towar poprawiony"));

    // The 23% row drops to nothing and the 8% row appears as it is.
    const ZTDocumentVatRateSummary summary = m_draft->correctiveDifferenceVatSummary();
    ASSERT_EQ(summary.items().size(), 2);
    EXPECT_EQ(summary.items()[0].rate(), dec("0.23"));
    EXPECT_EQ(summary.items()[0].vatValue(), Decimal(-46));
    EXPECT_EQ(summary.items()[0].grossValue(), Decimal(-246));
    EXPECT_EQ(summary.items()[1].rate(), dec("0.08"));
    EXPECT_EQ(summary.items()[1].grossValue(), Decimal(216));
    EXPECT_EQ(summary.totalGrossValue(), m_draft->grossCorrectiveDifference());
    EXPECT_EQ(m_draft->grossCorrectiveDifference(), Decimal(-30));
}

// Random documents: a row's values come from its own lines in the document's direction, and the
// totals from the rows.
TEST_F(ZTAmountsTest, RandomDocumentsSummariesAddUp)
{
    const char *rates[] = {"23%", "8%", "5%", "0% 0%", "zw", "np", "oo"};
    std::mt19937 random(20240517);
    const auto between = [&random](long long low, long long high) {
        return std::uniform_int_distribution<long long>(low, high)(random);
    };
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        setFromUnitPrice(between(0, 1) == 1);
        setInstallDate(between(0, 1) == 1 ? QDateTime(QDate(2020, 1, 1), QTime(0, 0)) : QDateTime());
        ZTDocument *document = newDocument(kInvoice);
        const int direction = int(between(0, 2)); // net-based, gross-based, mixed
        const int count = int(between(1, 12));
        for (int i = 0; i < count; ++i) {
            const bool grossBased = direction == 2 ? between(0, 1) == 1 : direction == 1;
            const QString price = Decimal::fromParts(between(1, 100000000000LL), 4).toString(); // up to 10^7
            const QString quantity = Decimal::fromParts(between(1, 999999), 3).toString();
            const QString discount = Decimal::fromParts(between(0, 500), 3).toString();
            addLine(document, rates[between(0, 6)], grossBased, price.toLatin1().constData(),
                    quantity.toLatin1().constData(), discount.toLatin1().constData());
        }

        struct Row
        {
            Decimal net, vat, gross;
        };
        std::map<std::pair<QString, QString>, Row> expected;
        bool anyGross = false;
        for (const ZTDocumentItem *line : document->availableItems()) {
            anyGross = anyGross || line->grossBasedValues();
            // A line's net and VAT make its gross to within one rounding step.
            EXPECT_LE((line->netValue()->add(*line->vatValue()).subtract(*line->grossValue())).abs(), dec("0.0001"));
            Row &row = expected[{line->vatRate()->normalized().toString(), line->vatDescription()}];
            row.net += *line->netValue();
            row.vat += *line->vatValue();
            row.gross += *line->grossValue();
        }
        ASSERT_EQ(document->grossBasedSummary(), anyGross);
        const ZTDocumentVatRateSummary summary = document->vatSummary();
        ASSERT_EQ(summary.items().size(), qsizetype(expected.size()));
        Decimal net, vat, gross;
        for (const ZTDocumentVatRateSummaryItem &item : summary.items()) {
            const auto found = expected.find({item.rate().normalized().toString(),
                                              item.vatRateWithDescription().vatDescription()});
            ASSERT_NE(found, expected.end()) << item.description().toStdString();
            const Row &lines = found->second;
            EXPECT_EQ(item.grossValue(), lines.gross);
            if (anyGross) {
                // Worked out from the row's gross sum: net ÷ (1 + r), VAT the rest, exactly.
                EXPECT_EQ(item.netValue().add(item.vatValue()), item.grossValue());
                EXPECT_EQ(item.netValue(), item.grossValue().divide(item.rate().add(Decimal(1))));
            } else {
                EXPECT_EQ(item.netValue(), lines.net);
                EXPECT_EQ(item.vatValue(), lines.vat);
            }
            net += item.netValue();
            vat += item.vatValue();
            gross += item.grossValue();
        }
        EXPECT_EQ(document->totalNetValue(), net);
        EXPECT_EQ(document->totalVatValue(), vat);
        EXPECT_EQ(document->totalGrossValue(), gross);
    }
}
