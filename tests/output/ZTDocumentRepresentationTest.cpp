#include "../model/DocumentTestSupport.h"

#include "app/ZTAppController.h"
#include "model/ZTCompanyFolder.h"
#include "model/ZTSettlementItem.h"
#include "output/ZTDocumentRepresentationFactory.h"
#include "output/ZTSettlementsRepresentation.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QFile>
#include <QTimeZone>

// The values a template prints, read from documents of the real model.
class RepresentationTest : public ZTDocumentTest
{
protected:
    void SetUp() override
    {
        ZTDocumentTest::SetUp();
        ZTLog::setSink([this](const QString &line) { m_log.append(line); });
    }

    void TearDown() override
    {
        for (const QString &key : std::as_const(m_changedSettings))
            SettingsStore::standard().removeValue(key);
        ZTLog::setSink({});
        qunsetenv("TOLVANA_DATA_DIR");
        ZTDocumentTest::TearDown();
    }

    void setSetting(const QString &key, const QVariant &value)
    {
        m_changedSettings.append(key);
        SettingsStore::standard().setValue(key, value);
    }

    static QDateTime localDate(int y, int m, int d, int h = 12)
    {
        return QDateTime(QDate(y, m, d), QTime(h, 0), QTimeZone(QByteArrayLiteral("Europe/Warsaw")));
    }

    // The template data of a fresh representation of the document in the version.
    static QVariantMap dataOf(ZTDocument *document, int version = ZTDocumentRepresentation::kVersionOriginal)
    {
        auto representation = ZTDocumentRepresentationFactory::representationOfDocument(document, version);
        EXPECT_NE(representation, nullptr);
        return representation ? representation->templateData() : QVariantMap();
    }

    // An invoice of three lines at 23 %, 5 % and 8 % (the last with a 5 % discount).
    ZTDocument *threeLineInvoice()
    {
        ZTDocument *invoice = draft(ZTDocument::kKindInvoice);
        addLine(invoice, QStringLiteral("Usługa projektowa"), QStringLiteral("1000"), QStringLiteral("23%"),
                QStringLiteral("1.5"));
        ZTDocumentItem *book = addLine(invoice, QStringLiteral("Książka"), QStringLiteral("100"), QStringLiteral("5%"),
                                       QStringLiteral("2"));
        book->setUnitName(QStringLiteral("szt."));
        ZTDocumentItem *bread = addLine(invoice, QStringLiteral("Chleb"), QStringLiteral("10"), QStringLiteral("8%"));
        bread->setDiscount(Decimal::parse(QStringLiteral("0.05")));
        invoice->recalculateAllItems();
        invoice->setIssueDate(localDate(2024, 5, 17));
        invoice->setSellDate(localDate(2024, 5, 16));
        invoice->setDueDate(localDate(2024, 5, 31));
        return issued(invoice, QStringLiteral("FV/1/2024"));
    }

    QStringList m_log;
    QStringList m_changedSettings;
};

TEST_F(RepresentationTest, InvoiceTemplateDataFormatsAmountsDatesLinesAndSummary)
{
    ZTDocument *invoice = threeLineInvoice();
    const QVariantMap data = dataOf(invoice);

    EXPECT_EQ(data.value(QStringLiteral("documentID")).toString(), QStringLiteral("FV/1/2024"));
    EXPECT_EQ(data.value(QStringLiteral("formattedDocumentKind")).toString(), QStringLiteral("FAKTURA"));
    EXPECT_EQ(data.value(QStringLiteral("documentKindCode")).toString(), QStringLiteral("documentKindRegularVatInvoice"));
    EXPECT_EQ(data.value(QStringLiteral("documentStatus")).toString(), QStringLiteral("issued"));
    EXPECT_EQ(data.value(QStringLiteral("documentVersion")).toInt(), 2);
    EXPECT_EQ(data.value(QStringLiteral("issueDate")).toString(), QStringLiteral("2024-05-17"));
    EXPECT_EQ(data.value(QStringLiteral("sellDate")).toString(), QStringLiteral("2024-05-16"));
    EXPECT_EQ(data.value(QStringLiteral("dueDate")).toString(), QStringLiteral("2024-05-31"));
    EXPECT_EQ(data.value(QStringLiteral("currencyCode")).toString(), QStringLiteral("PLN"));

    // 1500 + 200 + 9.50 net; 345 + 10 + 0.76 VAT.
    EXPECT_EQ(data.value(QStringLiteral("totalNetValue")).toString(), QStringLiteral("1 709,50"));
    EXPECT_EQ(data.value(QStringLiteral("totalVatValue")).toString(), QStringLiteral("355,76"));
    EXPECT_EQ(data.value(QStringLiteral("totalGrossValue")).toString(), QStringLiteral("2 065,26"));
    EXPECT_EQ(data.value(QStringLiteral("totalGrossValueSpelledOut")).toString(),
              QStringLiteral("dwa tysiące sześćdziesiąt pięć 26/100"));
    EXPECT_TRUE(data.value(QStringLiteral("displayDiscount")).toBool());
    EXPECT_FALSE(data.value(QStringLiteral("displayPkwiu")).toBool());

    const QVariantList items = data.value(QStringLiteral("items")).toList();
    ASSERT_EQ(items.size(), 3);
    const QVariantMap first = items[0].toMap(), second = items[1].toMap(), third = items[2].toMap();
    EXPECT_EQ(first.value(QStringLiteral("name")).toString(), QStringLiteral("Usługa projektowa"));
    EXPECT_EQ(first.value(QStringLiteral("position")).toInt(), 1);
    EXPECT_EQ(first.value(QStringLiteral("quantity")).toString(), QStringLiteral("1,5"));
    EXPECT_EQ(first.value(QStringLiteral("netPrice")).toString(), QStringLiteral("1 000,00"));
    EXPECT_EQ(first.value(QStringLiteral("netValue")).toString(), QStringLiteral("1 500,00"));
    EXPECT_EQ(first.value(QStringLiteral("grossValue")).toString(), QStringLiteral("1 845,00"));
    EXPECT_EQ(second.value(QStringLiteral("quantity")).toString(), QStringLiteral("2"));
    EXPECT_EQ(second.value(QStringLiteral("unitName")).toString(), QStringLiteral("szt."));
    EXPECT_EQ(third.value(QStringLiteral("discountRate")).toString(), QStringLiteral("5%"));
    EXPECT_EQ(third.value(QStringLiteral("discountedNetPrice")).toString(), QStringLiteral("9,50"));
    EXPECT_FALSE(third.value(QStringLiteral("isCorrectedItem")).toBool());

    // Highest rate first, the first row marked.
    const QVariantList summary = data.value(QStringLiteral("vatSummaries")).toList();
    ASSERT_EQ(summary.size(), 3);
    QStringList rates, firsts, vat;
    for (const QVariant &row : summary) {
        rates << row.toMap().value(QStringLiteral("ratePercent")).toString();
        firsts << (row.toMap().value(QStringLiteral("isFirstItem")).toBool() ? QStringLiteral("1") : QStringLiteral("0"));
        vat << row.toMap().value(QStringLiteral("vatValue")).toString();
    }
    EXPECT_EQ(rates, (QStringList{QStringLiteral("0.23"), QStringLiteral("0.08"), QStringLiteral("0.05")}));
    EXPECT_EQ(firsts, (QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_EQ(vat, (QStringList{QStringLiteral("345,00"), QStringLiteral("0,76"), QStringLiteral("10,00")}));

    // Not a correction: the correction's lists do not reach the template.
    EXPECT_TRUE(data.contains(QStringLiteral("originalVatSummaries")));
    EXPECT_FALSE(data.value(QStringLiteral("originalVatSummaries")).isValid());
    EXPECT_FALSE(data.value(QStringLiteral("correctiveDifferenceVatSummaries")).isValid());
}

TEST_F(RepresentationTest, EveryKeyIsPresentEvenWhenItsValueIsMissing)
{
    ZTDocument *document = draft(ZTDocument::kKindInvoice);
    const QVariantMap data = dataOf(document);
    const QStringList keys = {
        QStringLiteral("hasSecondLanguage"), QStringLiteral("secondLanguage"), QStringLiteral("totalGrossValueSpelledOut"),
        QStringLiteral("totalGrossValueSpelledOutSecondLanguage"), QStringLiteral("grossCorrectiveDifferenceSpelledOut"),
        QStringLiteral("grossCorrectiveDifferenceSpelledOutSecondLanguage"), QStringLiteral("totalGrossValue"),
        QStringLiteral("grossCorrectiveDifference"), QStringLiteral("documentStatus"), QStringLiteral("marginInvoiceProcedure"),
        QStringLiteral("marginInvoiceProcedureSecondLanguage"), QStringLiteral("documentID"),
        QStringLiteral("formattedDocumentKind"), QStringLiteral("formattedDocumentKindSecondLanguage"),
        QStringLiteral("remarks"), QStringLiteral("documentVersion"), QStringLiteral("displayPkwiu"),
        QStringLiteral("displayDiscount"), QStringLiteral("displayRecipientAddress"), QStringLiteral("hasFormerAdvances"),
        QStringLiteral("issueDate"), QStringLiteral("sellDate"), QStringLiteral("dueDate"), QStringLiteral("issuedIn"),
        QStringLiteral("issueReason"), QStringLiteral("issueReasonSecondLanguage"), QStringLiteral("originalIssueDate"),
        QStringLiteral("originalSellDate"), QStringLiteral("originalDocumentID"), QStringLiteral("originalTotalGrossValue"),
        QStringLiteral("originalTotalNetValue"), QStringLiteral("originalTotalVatValue"),
        QStringLiteral("netCorrectiveDifference"), QStringLiteral("vatCorrectiveDifference"), QStringLiteral("totalNetValue"),
        QStringLiteral("totalVatValue"), QStringLiteral("paymentType"), QStringLiteral("paymentTypeSecondLanguage"),
        QStringLiteral("advancePaymentValue"), QStringLiteral("showAdvancePayment"), QStringLiteral("displaySellerBankSwift"),
        QStringLiteral("draftDocument"), QStringLiteral("duplicateDocument"), QStringLiteral("greenTemplate"),
        QStringLiteral("isPre2013Document"), QStringLiteral("vatSummaries"), QStringLiteral("originalVatSummaries"),
        QStringLiteral("correctiveDifferenceVatSummaries"), QStringLiteral("duplicateIssueDate"),
        QStringLiteral("currencySymbol"), QStringLiteral("currencyCode"), QStringLiteral("items"), QStringLiteral("purchaser"),
        QStringLiteral("displayPurchaserRecipient"), QStringLiteral("seller"), QStringLiteral("displaySellerSignature"),
        QStringLiteral("displaySellerLogo"), QStringLiteral("displaySellerFacsimile"), QStringLiteral("formerAdvancesItems"),
        QStringLiteral("formerAdvanceDocumentsTotalGrossValue"), QStringLiteral("documentKindCode"),
        QStringLiteral("documentVersionLabel"), QStringLiteral("paymentReceived"), QStringLiteral("marginDocumentVatRate"),
        QStringLiteral("totalMarginGrossValue"), QStringLiteral("totalMarginProfitValue"),
        QStringLiteral("totalMarginVatValue")};
    for (const QString &key : keys)
        EXPECT_TRUE(data.contains(key)) << key.toStdString();
    // A draft without a number, remarks or reason: the null marker, not a guessed text.
    EXPECT_FALSE(data.value(QStringLiteral("remarks")).isValid());
    EXPECT_FALSE(data.value(QStringLiteral("issueReason")).isValid());
    EXPECT_FALSE(data.value(QStringLiteral("totalMarginVatValue")).isValid());
    EXPECT_FALSE(data.value(QStringLiteral("duplicateIssueDate")).isValid());
    EXPECT_TRUE(data.value(QStringLiteral("draftDocument")).toBool());
    // Only the types the merge knows reach the template.
    for (auto it = data.cbegin(); it != data.cend(); ++it) {
        const QMetaType type = it.value().metaType();
        EXPECT_TRUE(!it.value().isValid() || type == QMetaType::fromType<QString>() ||
                    type == QMetaType::fromType<bool>() || type == QMetaType::fromType<int>() ||
                    type == QMetaType::fromType<QVariantMap>() || type == QMetaType::fromType<QVariantList>())
            << it.key().toStdString() << " " << type.name();
    }
}

TEST_F(RepresentationTest, VersionLabelsFollowTheIssueDateAndTheSetting)
{
    ZTDocument *invoice = threeLineInvoice();
    const struct
    {
        QDateTime issueDate;
        bool settingOn;
        int version;
        const char *label;
    } cases[] = {
        {localDate(2012, 12, 31), false, 2, "ORYGINAŁ"}, {localDate(2012, 12, 31), false, 1, "KOPIA"},
        {localDate(2012, 12, 31), false, 3, "ORYGINAŁ"}, {localDate(2012, 12, 31), false, 0, ""},
        {localDate(2013, 1, 1), false, 2, ""},           {localDate(2013, 1, 1), false, 1, ""},
        {localDate(2013, 1, 1), true, 2, "ORYGINAŁ"},    {localDate(2013, 1, 1), true, 1, "KOPIA"},
        {localDate(2013, 1, 1), true, 3, "ORYGINAŁ"},    {localDate(2013, 1, 1), true, 0, ""},
    };
    for (const auto &c : cases) {
        invoice->setIssueDate(c.issueDate);
        setSetting(QStringLiteral("ZTShowOriginalAndCopyOnPrints"), c.settingOn);
        auto representation =
            c.version == 3 ? ZTDocumentRepresentationFactory::duplicateRepresentationForDocument(invoice, localDate(2024, 6, 1))
                           : ZTDocumentRepresentationFactory::representationOfDocument(invoice, c.version);
        ASSERT_NE(representation, nullptr);
        EXPECT_EQ(representation->templateData().value(QStringLiteral("documentVersionLabel")).toString(),
                  QString::fromUtf8(c.label))
            << c.issueDate.toString(Qt::ISODate).toStdString() << " setting " << c.settingOn << " version " << c.version;
    }
}

TEST_F(RepresentationTest, DuplicatesCopiesAndGreenCopies)
{
    ZTDocument *invoice = threeLineInvoice();
    auto duplicate = ZTDocumentRepresentationFactory::duplicateRepresentationForDocument(invoice, localDate(2024, 7, 3, 0));
    ASSERT_NE(duplicate, nullptr);
    EXPECT_EQ(duplicate->documentVersion(), 3);
    EXPECT_EQ(duplicate->representedDocument(), invoice);
    EXPECT_TRUE(duplicate->templateData().value(QStringLiteral("duplicateDocument")).toBool());
    // Midnight in Warsaw is the day before in UTC; the printed day is the local one.
    EXPECT_EQ(duplicate->templateData().value(QStringLiteral("duplicateIssueDate")).toString(), QStringLiteral("2024-07-03"));

    for (bool green : {false, true}) {
        setSetting(QStringLiteral("ZTRepresentationGreenCopies"), green);
        for (int version : {0, 1, 2}) {
            const QVariantMap data = dataOf(invoice, version);
            EXPECT_FALSE(data.value(QStringLiteral("duplicateDocument")).toBool()) << version;
            EXPECT_FALSE(data.value(QStringLiteral("duplicateIssueDate")).isValid()) << version;
            EXPECT_EQ(data.value(QStringLiteral("greenTemplate")).toBool(), green && version == 1)
                << "green " << green << " version " << version;
        }
    }
}

TEST_F(RepresentationTest, AmountsInWords)
{
    ZTDocumentRepresentation polish(draft(ZTDocument::kKindInvoice), 2);
    ZTDocument *englishDocument = draft(ZTDocument::kKindInvoice);
    englishDocument->setDocumentSecondLanguage(1);
    ZTDocumentRepresentation english(englishDocument, 2);

    const struct
    {
        const ZTDocumentRepresentation &representation;
        std::optional<Decimal> amount;
        bool secondLanguage;
        const char *words;
    } cases[] = {
        {english, Decimal::parse(QStringLiteral("1234.56")), true, "one thousand two hundred thirty-four 56/100"},
        {english, Decimal::parse(QStringLiteral("1234.56")), false, "tysiąc dwieście trzydzieści cztery 56/100"},
        // Without a second language the "second-language" words are Polish.
        {polish, Decimal::parse(QStringLiteral("1234.56")), true, "tysiąc dwieście trzydzieści cztery 56/100"},
        {polish, Decimal::parse(QStringLiteral("0.05")), false, "zero 5/100"},
        {english, Decimal::parse(QStringLiteral("0.05")), true, "zero 5/100"},
        {polish, Decimal::parse(QStringLiteral("7.05")), false, "siedem 5/100"},
        {polish, Decimal(200), false, "dwieście 0/100"},
        {polish, Decimal::parse(QStringLiteral("-12.34")), false, "minus dwanaście -34/100"},
        {polish, std::nullopt, false, "zero 0/100"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.representation.grandTotalSpelledOut(c.amount, c.secondLanguage), QString::fromUtf8(c.words))
            << c.words;

    // The document's own words in both languages.
    addLine(englishDocument, QStringLiteral("Usługa"), QStringLiteral("100"));
    const QVariantMap data = dataOf(englishDocument);
    EXPECT_EQ(data.value(QStringLiteral("totalGrossValueSpelledOut")).toString(), QStringLiteral("sto dwadzieścia trzy 0/100"));
    EXPECT_EQ(data.value(QStringLiteral("totalGrossValueSpelledOutSecondLanguage")).toString(),
              QStringLiteral("one hundred twenty-three 0/100"));
    EXPECT_EQ(data.value(QStringLiteral("formattedDocumentKindSecondLanguage")).toString(), QStringLiteral("Invoice"));
}

TEST_F(RepresentationTest, SecondLanguageTextsComeFromTheEnglishFactoryListAtTheSamePosition)
{
    ZTDocument *document = draft(ZTDocument::kKindCorrectiveInvoice);
    document->setDocumentSecondLanguage(1);
    const struct
    {
        const char *paymentType;
        const char *issueReason;
        const char *englishPayment;
        const char *englishReason;
    } cases[] = {
        {"Gotówka", "Rabat", "Cash", "Discount"},
        {"Zapłacono przelewem", "Pomyłka w danych nabywcy", "Paid by bank transfer", "Error in the buyer&#39;s details"},
        // Texts the user typed have no translation.
        {"Wymiana usług", "Inny powód", "", ""},
    };
    for (const auto &c : cases) {
        document->setPaymentType(QString::fromUtf8(c.paymentType));
        document->setIssueReason(QString::fromUtf8(c.issueReason));
        const QVariantMap data = dataOf(document);
        EXPECT_EQ(data.value(QStringLiteral("paymentTypeSecondLanguage")).toString(), QString::fromUtf8(c.englishPayment));
        EXPECT_EQ(data.value(QStringLiteral("issueReasonSecondLanguage")).toString(), QString::fromUtf8(c.englishReason));
    }

    // The user's list reordered: the position no longer matches the English one.
    setSetting(QStringLiteral("ZTPaymentMethods"), QStringList{QStringLiteral("Gotówka"), QStringLiteral("Przelew")});
    document->setPaymentType(QStringLiteral("Gotówka"));
    EXPECT_EQ(dataOf(document).value(QStringLiteral("paymentTypeSecondLanguage")).toString(), QStringLiteral("Bank transfer"));

    // No second language: nothing, whatever the text.
    document->setDocumentSecondLanguage(0);
    EXPECT_EQ(dataOf(document).value(QStringLiteral("paymentTypeSecondLanguage")).toString(), QStringLiteral(""));
}

TEST_F(RepresentationTest, PaymentReceivedNeedsTheSettingAndAPaidPaymentType)
{
    ZTDocument *document = draft(ZTDocument::kKindInvoice);
    const struct
    {
        bool settingOn;
        const char *paymentType;
        bool received;
    } cases[] = {
        {true, "Zapłacono gotówką", true},   {true, "ZAPŁACONO kartą", true}, {true, "Już zapłacono przelewem", true},
        {true, "Przelew", false},            {false, "Zapłacono gotówką", false},
    };
    for (const auto &c : cases) {
        setSetting(QStringLiteral("ZTPaymentZeroValueWhenAlreadyPaid"), c.settingOn);
        document->setPaymentType(QString::fromUtf8(c.paymentType));
        EXPECT_EQ(dataOf(document).value(QStringLiteral("paymentReceived")).toBool(), c.received)
            << c.paymentType << " setting " << c.settingOn;
    }
}

TEST_F(RepresentationTest, SellAndDueDateForms)
{
    ZTDocument *invoice = threeLineInvoice();
    invoice->setShortSellDate(true);
    setSetting(QStringLiteral("ZTDueDateAsContracted"), true);
    const QVariantMap data = dataOf(invoice);
    EXPECT_EQ(data.value(QStringLiteral("sellDate")).toString(), QStringLiteral("2024-05"));
    EXPECT_EQ(data.value(QStringLiteral("originalSellDate")).toString(), QStringLiteral("2024-05-16"));
    EXPECT_EQ(data.value(QStringLiteral("dueDate")).toString(), QStringLiteral("Zgodnie z umową"));
}

TEST_F(RepresentationTest, UserTextsAreEscapedAndLineFeedsBecomeBreaks)
{
    ZTDocument *document = draft(ZTDocument::kKindInvoice, QStringLiteral("<b>Zakład \"Żuraw\" & Syn</b>"));
    document->purchaser()->setAddress(QStringLiteral("ul. <img src=x onerror=alert(1)>\nGdańsk"));
    document->setRemarks(QStringLiteral("Pierwsza\r\nDruga\nTrzecia 'x'"));
    document->seller()->setName(QStringLiteral("Sklep <script>"));
    addLine(document, QStringLiteral("Śruba <M8>"), QStringLiteral("1"));
    const QVariantMap data = dataOf(document);

    const QVariantMap purchaser = data.value(QStringLiteral("purchaser")).toMap();
    EXPECT_EQ(purchaser.value(QStringLiteral("name")).toString(),
              QStringLiteral("&lt;b&gt;Zakład &quot;Żuraw&quot; &amp; Syn&lt;/b&gt;"));
    EXPECT_EQ(purchaser.value(QStringLiteral("address")).toString(),
              QStringLiteral("ul. &lt;img src=x onerror=alert(1)&gt;<br/>Gdańsk"));
    // The carriage return stays in front of the break.
    EXPECT_EQ(data.value(QStringLiteral("remarks")).toString(), QStringLiteral("Pierwsza\r<br/>Druga<br/>Trzecia &#39;x&#39;"));
    EXPECT_EQ(data.value(QStringLiteral("seller")).toMap().value(QStringLiteral("name")).toString(),
              QStringLiteral("Sklep &lt;script&gt;"));
    EXPECT_EQ(data.value(QStringLiteral("items")).toList().first().toMap().value(QStringLiteral("name")).toString(),
              QStringLiteral("Śruba &lt;M8&gt;"));
    // The attributes keep the texts as typed.
    auto representation = ZTDocumentRepresentationFactory::originalRepresentationForDocument(document);
    EXPECT_EQ(representation->documentAttributes().value(QStringLiteral("purchaser")).toMap().value(QStringLiteral("name")).toString(),
              QStringLiteral("<b>Zakład \"Żuraw\" & Syn</b>"));

    // Nothing, the null marker and an empty text come back as they are.
    EXPECT_FALSE(ZTDocumentAttributesRepresentation::changeNewLinesForHTMLBreaks(QVariant()).isValid());
    EXPECT_EQ(ZTDocumentAttributesRepresentation::changeNewLinesForHTMLBreaks(QStringLiteral("")).toString(), QStringLiteral(""));
}

TEST_F(RepresentationTest, PartiesWithTheirFlagsAndWithout)
{
    // Pictures are read from the company's folder by their file names.
    QTemporaryDir dataDir;
    qputenv("TOLVANA_DATA_DIR", dataDir.path().toLocal8Bit());
    const QString companyFolder = ZTCompanyFolder::currentPath();
    ASSERT_TRUE(QDir().mkpath(companyFolder));
    const QString logo = QDir(companyFolder).filePath(QStringLiteral("logo.png"));
    QFile file(logo);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("png");
    file.close();

    ZTDocument *document = draft(ZTDocument::kKindInvoice);
    ZTSeller *seller = document->seller();
    seller->setBankName(QStringLiteral("Bank Polski"));
    seller->setBankAccountNumber(QStringLiteral("PL61109010140000071219812874"));
    seller->setBankSwift(QStringLiteral("WBKPPLPP"));
    seller->setSignature(QStringLiteral("Jan Kowalski"));
    seller->setLogoPath(logo);
    seller->setFacsimilePath(QDir(companyFolder).filePath(QStringLiteral("missing.png")));
    seller->setContactData(QStringLiteral("tel. 1\nfax 2"));
    seller->setCashBasisMethod(true);
    document->purchaser()->setRecipient(QStringLiteral("Odbiorca"));
    document->purchaser()->setRecipientAddress(QStringLiteral("ul. Boczna 3\nKraków"));
    document->purchaser()->setContactData(QStringLiteral("biuro@acme.pl"));

    QVariantMap data = dataOf(document);
    QVariantMap sellerData = data.value(QStringLiteral("seller")).toMap();
    EXPECT_EQ(sellerData.value(QStringLiteral("nip")).toString(), QStringLiteral("1234563218"));
    EXPECT_EQ(sellerData.value(QStringLiteral("sellerContactData")).toString(), QStringLiteral("tel. 1<br/>fax 2"));
    EXPECT_TRUE(sellerData.value(QStringLiteral("cashBasisMethod")).toBool());
    EXPECT_TRUE(data.value(QStringLiteral("displaySellerBankName")).toBool());
    EXPECT_TRUE(data.value(QStringLiteral("displaySellerBankAccountDetails")).toBool());
    EXPECT_TRUE(data.value(QStringLiteral("displaySellerBankSwift")).toBool());
    EXPECT_TRUE(data.value(QStringLiteral("displaySellerSignature")).toBool());
    EXPECT_TRUE(data.value(QStringLiteral("displaySellerLogo")).toBool());
    EXPECT_FALSE(data.value(QStringLiteral("displaySellerFacsimile")).toBool());
    const QVariantMap purchaserData = data.value(QStringLiteral("purchaser")).toMap();
    EXPECT_EQ(purchaserData.value(QStringLiteral("nip")).toString(), QStringLiteral("5260250274"));
    EXPECT_EQ(purchaserData.value(QStringLiteral("recipientAddress")).toString(), QStringLiteral("ul. Boczna 3<br/>Kraków"));
    EXPECT_TRUE(data.value(QStringLiteral("displayPurchaserRecipient")).toBool());
    EXPECT_TRUE(data.value(QStringLiteral("displayRecipientAddress")).toBool());
    // Contact data prints only with its setting.
    EXPECT_EQ(purchaserData.value(QStringLiteral("purchaserContactData")).toString(), QStringLiteral(""));
    setSetting(QStringLiteral("ZTPrintPurchaserContactData"), true);
    EXPECT_EQ(dataOf(document).value(QStringLiteral("purchaser")).toMap().value(QStringLiteral("purchaserContactData")).toString(),
              QStringLiteral("biuro@acme.pl"));

    // Hidden account data hides the bank, not the SWIFT code.
    document->setHideAccountData(true);
    data = dataOf(document);
    EXPECT_FALSE(data.value(QStringLiteral("displaySellerBankName")).toBool());
    EXPECT_FALSE(data.value(QStringLiteral("displaySellerBankAccountDetails")).toBool());
    EXPECT_TRUE(data.value(QStringLiteral("displaySellerBankSwift")).toBool());

    // Without parties: empty texts, false flags, no NIPs.
    document->setSeller(nullptr);
    document->setPurchaser(nullptr);
    data = dataOf(document);
    sellerData = data.value(QStringLiteral("seller")).toMap();
    for (const QString &key : {QStringLiteral("address"), QStringLiteral("name"), QStringLiteral("bankAccountNumber"),
                               QStringLiteral("bankName"), QStringLiteral("logoPath"), QStringLiteral("facsimilePath"),
                               QStringLiteral("signature"), QStringLiteral("sellerContactData")})
        EXPECT_EQ(sellerData.value(key).toString(), QStringLiteral("")) << key.toStdString();
    EXPECT_TRUE(sellerData.contains(QStringLiteral("nip")));
    EXPECT_FALSE(sellerData.value(QStringLiteral("nip")).isValid());
    EXPECT_FALSE(sellerData.value(QStringLiteral("bankSwift")).isValid());
    EXPECT_FALSE(sellerData.value(QStringLiteral("cashBasisMethod")).toBool());
    for (const QString &key : {QStringLiteral("displaySellerBankName"), QStringLiteral("displaySellerBankAccountDetails"),
                               QStringLiteral("displaySellerBankSwift"), QStringLiteral("displaySellerSignature"),
                               QStringLiteral("displaySellerLogo"), QStringLiteral("displaySellerFacsimile")})
        EXPECT_FALSE(data.value(key).toBool()) << key.toStdString();
    const QVariantMap noPurchaser = data.value(QStringLiteral("purchaser")).toMap();
    for (const QString &key : {QStringLiteral("nip"), QStringLiteral("name"), QStringLiteral("address"),
                               QStringLiteral("recipient"), QStringLiteral("recipientAddress"),
                               QStringLiteral("purchaserContactData")})
        EXPECT_EQ(noPurchaser.value(key).toString(), QStringLiteral("")) << key.toStdString();
    EXPECT_FALSE(data.value(QStringLiteral("displayPurchaserRecipient")).isValid());
    EXPECT_FALSE(data.value(QStringLiteral("displayRecipientAddress")).toBool());
}

TEST_F(RepresentationTest, CorrectiveInvoiceCarriesTheCorrectedAndCorrectingFigures)
{
    ZTDocument *invoice = draft(ZTDocument::kKindInvoice);
    addLine(invoice, QStringLiteral("Usługa"), QStringLiteral("100"));
    invoice->setIssueDate(localDate(2024, 5, 2));
    issued(invoice, QStringLiteral("FV/7/2024"));
    ZTDocument *correction = ZTDocument::newDraftForCorrectiveInvoiceOfDocument(invoice);
    correction->correctedDocumentItems().first()->setNetPriceWithGrossBaseMarker({Decimal(80), true});
    correction->setIssueReason(QStringLiteral("Rabat"));
    correction->recalculate();
    issued(correction, QStringLiteral("FK/1/2024"));

    const QVariantMap data = dataOf(correction);
    EXPECT_EQ(data.value(QStringLiteral("documentKindCode")).toString(), QStringLiteral("documentKindCorrectiveInvoice"));
    EXPECT_EQ(data.value(QStringLiteral("formattedDocumentKind")).toString(), QStringLiteral("FAKTURA KORYGUJĄCA"));
    EXPECT_EQ(data.value(QStringLiteral("originalDocumentID")).toString(), QStringLiteral("FV/7/2024"));
    EXPECT_EQ(data.value(QStringLiteral("originalIssueDate")).toString(), QStringLiteral("2024-05-02"));
    EXPECT_EQ(data.value(QStringLiteral("originalTotalGrossValue")).toString(), QStringLiteral("123,00"));
    EXPECT_EQ(data.value(QStringLiteral("totalGrossValue")).toString(), QStringLiteral("98,40"));
    EXPECT_EQ(data.value(QStringLiteral("grossCorrectiveDifference")).toString(), QStringLiteral("-24,60"));
    EXPECT_EQ(data.value(QStringLiteral("netCorrectiveDifference")).toString(), QStringLiteral("-20,00"));
    EXPECT_EQ(data.value(QStringLiteral("grossCorrectiveDifferenceSpelledOut")).toString(),
              QStringLiteral("minus dwadzieścia cztery -60/100"));

    const QVariantList original = data.value(QStringLiteral("originalVatSummaries")).toList();
    const QVariantList difference = data.value(QStringLiteral("correctiveDifferenceVatSummaries")).toList();
    ASSERT_EQ(original.size(), 1);
    ASSERT_EQ(difference.size(), 1);
    EXPECT_EQ(original.first().toMap().value(QStringLiteral("grossValue")).toString(), QStringLiteral("123,00"));
    EXPECT_EQ(difference.first().toMap().value(QStringLiteral("grossValue")).toString(), QStringLiteral("-24,60"));

    // Original, corrected and difference line, the first marked as the corrected one.
    QStringList descriptions;
    int correctedItems = 0;
    for (const QVariant &row : data.value(QStringLiteral("items")).toList()) {
        descriptions << row.toMap().value(QStringLiteral("subPositionDescription")).toString();
        correctedItems += row.toMap().value(QStringLiteral("isCorrectedItem")).toBool() ? 1 : 0;
    }
    EXPECT_EQ(descriptions, (QStringList{QStringLiteral("BYŁO"), QStringLiteral("WINNO BYĆ"), QStringLiteral("RÓŻNICA")}));
    EXPECT_EQ(correctedItems, 1);
}

TEST_F(RepresentationTest, FinalInvoiceListsItsAdvances)
{
    ZTDocument *first = draft(ZTDocument::kKindAdvanceInvoice);
    addLine(first, QStringLiteral("Usługa"), QStringLiteral("100"));
    first->setIssueDate(localDate(2024, 5, 10));
    first->setSellDate(localDate(2024, 5, 10));
    issued(first, QStringLiteral("FZ 1/2024"));
    ZTDocument *second = ZTDocument::newDraftForAdvanceInvoiceOfDocument(first);
    second->setIssueDate(localDate(2024, 5, 15));
    second->setSellDate(localDate(2024, 5, 15));
    issued(second, QStringLiteral("FZ 2/2024"));
    ZTDocument *finalInvoice = ZTDocument::newDraftForFinalInvoiceOfDocument(second);
    issued(finalInvoice, QStringLiteral("FV 3/2024"));

    const QVariantMap data = dataOf(finalInvoice);
    EXPECT_TRUE(data.value(QStringLiteral("hasFormerAdvances")).toBool());
    EXPECT_TRUE(data.value(QStringLiteral("isFinalInvoice")).toBool());
    EXPECT_FALSE(data.value(QStringLiteral("isAdvanceInvoice")).toBool());
    EXPECT_TRUE(dataOf(first).value(QStringLiteral("isAdvanceInvoice")).toBool());
    EXPECT_EQ(data.value(QStringLiteral("documentKindCode")).toString(), QStringLiteral("documentKindRegularVatInvoice"));
    const QVariantList advances = data.value(QStringLiteral("formerAdvancesItems")).toList();
    ASSERT_EQ(advances.size(), 2);
    // Nearest first.
    EXPECT_EQ(advances[0].toMap().value(QStringLiteral("formerAdvanceDocumentID")).toString(), QStringLiteral("FZ 2/2024"));
    EXPECT_EQ(advances[0].toMap().value(QStringLiteral("formerAdvanceIssueDate")).toString(), QStringLiteral("2024-05-15"));
    EXPECT_EQ(advances[1].toMap().value(QStringLiteral("formerAdvanceDocumentID")).toString(), QStringLiteral("FZ 1/2024"));
    const Decimal total = *first->totalGrossValue() + *second->totalGrossValue();
    EXPECT_EQ(data.value(QStringLiteral("formerAdvanceDocumentsTotalGrossValue")).toString(),
              ZTDocumentAttributesRepresentation::formatMoney(total));
    EXPECT_EQ(ZTDocumentAttributesRepresentation::formatMoney(*first->totalGrossValue()), QStringLiteral("123,00"));
}

TEST_F(RepresentationTest, Formatters)
{
    const struct
    {
        const char *value;
        const char *money;
        const char *quantity;
    } cases[] = {
        {"1234.5", "1 234,50", "1 234,5"},    {"2", "2,00", "2"},           {"0.125", "0,13", "0,125"},
        {"-1234567.891", "-1 234 567,89", "-1 234 567,891"}, {"-0.001", "0,00", "-0,001"},
        {"999.995", "1 000,00", "999,995"},  {"1.23456", "1,23", "1,235"},
    };
    for (const auto &c : cases) {
        const Decimal value = Decimal::parse(QString::fromLatin1(c.value));
        EXPECT_EQ(ZTDocumentAttributesRepresentation::formatMoney(value), QString::fromUtf8(c.money)) << c.value;
        EXPECT_EQ(ZTDocumentAttributesRepresentation::formatQuantity(value), QString::fromUtf8(c.quantity)) << c.value;
    }
    EXPECT_EQ(ZTDocumentAttributesRepresentation::percentStyle(QVariant::fromValue(Decimal::parse(QStringLiteral("0.125"))))
                  .toString(),
              QStringLiteral("12,5%"));
    // A formatter given nothing, or a value of another kind, gives the null marker.
    EXPECT_FALSE(ZTDocumentAttributesRepresentation::moneyStyle(QVariant()).isValid());
    EXPECT_FALSE(ZTDocumentAttributesRepresentation::moneyStyle(QStringLiteral("12")).isValid());
    EXPECT_FALSE(ZTDocumentAttributesRepresentation::dateStyle(QDateTime()).isValid());
}

TEST_F(RepresentationTest, SettlementSheetOfAMarginInvoice)
{
    const struct
    {
        const char *margin;
        const char *rate;
        const char *vat;
    } cases[] = {{"123.00", "0.23", "23.00"}, {"100.00", "0.23", "18.70"}, {"108.00", "0.08", "8.00"},
                 {"100.00", "-1", "0.00"},   {"-50.00", "0.23", "-9.35"}};
    for (const auto &c : cases)
        EXPECT_EQ(ZTSettlementsRepresentation::marginVatValue(Decimal::parse(QString::fromLatin1(c.margin)),
                                                              Decimal::parse(QString::fromLatin1(c.rate)))
                      .toString(2),
                  QString::fromLatin1(c.vat))
            << c.margin << " at " << c.rate;

    ZTDocument *margin = draft(ZTDocument::kKindMarginInvoice);
    margin->setMarginInvoiceProcedure(QStringLiteral("towaryuzywane"));
    addLine(margin, QStringLiteral("Rower"), QStringLiteral("1000"), QStringLiteral("23%"));
    margin->setMarginInvoiceVatRate(Decimal::parse(QStringLiteral("0.23")));
    margin->setMarginInvoiceVatRateDescription(QStringLiteral("23%"));
    margin->setDocumentID(QStringLiteral("VM/1/2024"));
    ZTSettlementItem *later = margin->addNewSettlementItem();
    later->setName(QStringLiteral("Rama & koła"));
    later->setGrossValue(Decimal(600));
    later->setPurchaseInvoice(QStringLiteral("FZ/9"));
    ZTSettlementItem *earlier = margin->addNewSettlementItem();
    earlier->setName(QStringLiteral("Siodełko"));
    earlier->setGrossValue(Decimal::parse(QStringLiteral("777.00")));
    earlier->setPosition(0);

    margin->setTotalGrossValue(Decimal(1500));

    ZTSettlementsRepresentation sheet(margin);
    EXPECT_EQ(sheet.baseDirectory(), ZTSettlementsRepresentation::resourceFolder());
    const QVariantMap data = sheet.templateData();
    EXPECT_EQ(data.value(QStringLiteral("documentID")).toString(), QStringLiteral("VM/1/2024"));
    EXPECT_EQ(data.value(QStringLiteral("totalGrossValue")).toString(), QStringLiteral("1 500,00"));
    EXPECT_EQ(data.value(QStringLiteral("totalMarginGrossValue")).toString(), QStringLiteral("1 377,00"));
    EXPECT_EQ(data.value(QStringLiteral("totalMarginProfitValue")).toString(), QStringLiteral("123,00"));
    EXPECT_EQ(data.value(QStringLiteral("totalMarginVatValue")).toString(), QStringLiteral("23,00"));
    EXPECT_EQ(data.value(QStringLiteral("marginDocumentVatRate")).toString(), QStringLiteral("23%"));
    // What a sheet lacks reads as null.
    EXPECT_TRUE(data.contains(QStringLiteral("documentKindCode")));
    EXPECT_FALSE(data.value(QStringLiteral("documentKindCode")).isValid());
    EXPECT_FALSE(data.value(QStringLiteral("purchaser")).isValid());
    EXPECT_FALSE(data.value(QStringLiteral("totalNetValue")).isValid());
    const QVariantList items = data.value(QStringLiteral("items")).toList();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].toMap().value(QStringLiteral("name")).toString(), QStringLiteral("Siodełko"));
    EXPECT_EQ(items[0].toMap().value(QStringLiteral("grossValue")).toString(), QStringLiteral("777,00"));
    EXPECT_EQ(items[1].toMap().value(QStringLiteral("name")).toString(), QStringLiteral("Rama &amp; koła"));
    EXPECT_EQ(items[1].toMap().value(QStringLiteral("purchaseInvoice")).toString(), QStringLiteral("FZ/9"));

    // The margin invoice itself names its procedure.
    const QVariantMap invoiceData = dataOf(margin);
    EXPECT_EQ(invoiceData.value(QStringLiteral("documentKindCode")).toString(), QStringLiteral("documentKindMarginInvoice"));
    EXPECT_FALSE(invoiceData.value(QStringLiteral("marginInvoiceProcedure")).toString().isEmpty());

    EXPECT_THROW(ZTSettlementsRepresentation(draft(ZTDocument::kKindInvoice)), InternalConsistencyError);
}

TEST_F(RepresentationTest, FactoryRefusesUnknownKindsAndFreezesTheAttributes)
{
    ZTDocument *invoice = threeLineInvoice();
    auto original = ZTDocumentRepresentationFactory::originalRepresentationForDocument(invoice);
    auto copy = ZTDocumentRepresentationFactory::copyRepresentationForDocument(invoice);
    auto plain = ZTDocumentRepresentationFactory::plainRepresentationForDocument(invoice);
    ASSERT_TRUE(original && copy && plain);
    EXPECT_EQ(original->documentVersion(), 2);
    EXPECT_EQ(copy->documentVersion(), 1);
    EXPECT_EQ(plain->documentVersion(), 0);
    EXPECT_EQ(original->baseDirectory(), ZTAppController::customTemplatesFolder());

    // Made once: a later change of the document is not seen.
    invoice->setDocumentID(QStringLiteral("FV/99/2024"));
    EXPECT_EQ(original->templateData().value(QStringLiteral("documentID")).toString(), QStringLiteral("FV/1/2024"));

    invoice->setDocumentKind(3);
    m_log.clear();
    EXPECT_EQ(ZTDocumentRepresentationFactory::originalRepresentationForDocument(invoice), nullptr);
    EXPECT_EQ(ZTDocumentRepresentationFactory::duplicateRepresentationForDocument(invoice, localDate(2024, 6, 1)), nullptr);
    ASSERT_EQ(m_log.size(), 2);
    EXPECT_TRUE(m_log.first().endsWith(QStringLiteral("document representation for document kind 3 not supported.")))
        << m_log.first().toStdString();

    // The generic form has no kind of its own: the identifier is null, and the log says why.
    ZTDocumentAttributesRepresentation generic(QVariantMap{{QStringLiteral("documentKind"), 8}}, QStringLiteral("<p>{{x}}</p>"));
    EXPECT_EQ(generic.documentTemplate(), QStringLiteral("<p>{{x}}</p>"));
    m_log.clear();
    EXPECT_FALSE(generic.templateData().value(QStringLiteral("documentKindCode")).isValid());
    ASSERT_EQ(m_log.size(), 1);
    EXPECT_TRUE(m_log.first().endsWith(QStringLiteral("unknown kind value? 8"))) << m_log.first().toStdString();
}
