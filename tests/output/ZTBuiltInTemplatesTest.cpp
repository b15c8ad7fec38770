#include "../model/DocumentTestSupport.h"
#include "PdfTestSupport.h"

#include "model/ZTSettlementItem.h"
#include "output/ZTDocumentRendering.h"
#include "output/ZTDocumentRepresentationFactory.h"
#include "output/ZTSettlementsRepresentation.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

QDateTime localDate(int year, int month, int day) { return QDateTime(QDate(year, month, day), QTime(0, 0)); }

// pdftotext wraps long texts and may keep no-break spaces; compare on single plain spaces.
QString flat(QString text)
{
    text.replace(QChar(0x00A0), QLatin1Char(' ')).replace(QChar(0x202F), QLatin1Char(' '));
    return text.simplified();
}

// Every document kind, in both language variants, rendered through its built-in template and
// read back from the PDF.
class BuiltInTemplates : public ZTDocumentTest
{
protected:
    // One line of 1003,66 net at 23 % (or 1 234,50 gross): 230,84 VAT, 1 234,50 gross.
    ZTDocument *documentOfKind(int kind, int secondLanguage, const QString &number)
    {
        ZTDocument *document = draft(kind);
        document->setDocumentSecondLanguage(secondLanguage);
        document->setIssueDate(localDate(2024, 5, 2));
        if (kind == ZTDocument::kKindMarginInvoice) {
            document->setMarginInvoiceProcedure(QStringLiteral("towaryuzywane"));
            document->setMarginInvoiceVatRate(Decimal::parse(QStringLiteral("0.23")));
            document->setMarginInvoiceVatRateDescription(QStringLiteral("23%"));
        }
        ZTDocumentItem *line = addLine(document, QStringLiteral("Usługa projektowa"), QStringLiteral("1003.66"), QStringLiteral("23%"));
        // A bill has one price without VAT; margin invoices are priced gross; a simplified
        // invoice may not exceed 450 zł, so it sells for 123,45 gross.
        if (kind == ZTDocument::kKindBill) {
            line->setBillPrice(Decimal::parse(QStringLiteral("1234.50")));
        } else if (kind == ZTDocument::kKindMarginInvoice) {
            line->setGrossPriceWithGrossBaseMarker({Decimal::parse(QStringLiteral("1234.50")), true});
        } else if (kind == ZTDocument::kKindSimplifiedInvoice) {
            line->setGrossPriceWithGrossBaseMarker({Decimal::parse(QStringLiteral("123.45")), true});
        }
        document->recalculateAllItems();
        if (kind == ZTDocument::kKindMarginInvoice) {
            ZTSettlementItem *purchase = document->addNewSettlementItem();
            purchase->setName(QStringLiteral("Zakup"));
            purchase->setGrossValue(Decimal(1000));
            purchase->setPurchaseInvoice(QStringLiteral("FZ/9"));
        }
        if (kind == ZTDocument::kKindCorrectiveInvoice)
            return nullptr;
        return issued(document, number);
    }

    ZTDocument *correctionOf(int secondLanguage)
    {
        ZTDocument *invoice = documentOfKind(ZTDocument::kKindInvoice, secondLanguage, QStringLiteral("FV/7/2024"));
        ZTDocument *correction = ZTDocument::newDraftForCorrectiveInvoiceOfDocument(invoice);
        correction->setDocumentSecondLanguage(secondLanguage);
        correction->correctedDocumentItems().first()->setNetPriceWithGrossBaseMarker({Decimal(800), true});
        correction->setIssueReason(QStringLiteral("Rabat"));
        correction->recalculate();
        return issued(correction, QStringLiteral("FK/1/2024"));
    }

    static QByteArray render(ZTDocument *document)
    {
        auto representation = ZTDocumentRepresentationFactory::originalRepresentationForDocument(document);
        EXPECT_TRUE(representation);
        if (!representation)
            return {};
        return ZTDocumentRendering::pdfData(*representation);
    }

    // With TOLVANA_TEST_OUTPUT_DIR set, the PDFs are kept there to be looked at.
    static void keep(const QByteArray &pdf, const QString &name)
    {
        const QString folder = qEnvironmentVariable("TOLVANA_TEST_OUTPUT_DIR");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        QFile file(QDir(folder).filePath(name + QStringLiteral(".pdf")));
        if (file.open(QIODevice::WriteOnly))
            file.write(pdf);
    }
};

TEST_F(BuiltInTemplates, EveryKindInBothLanguagesPrintsWhatTheLawAsksFor)
{
    const struct
    {
        int kind;
        const char *name;
        const char *number;
        const char *title;
    } kinds[] = {
        {ZTDocument::kKindInvoice, "invoice", "FV/1/2024", "FAKTURA"},
        {ZTDocument::kKindProForma, "proforma", "PF/1/2024", "PRO FORMA"},
        {ZTDocument::kKindBill, "bill", "R/1/2024", "RACHUNEK"},
        {ZTDocument::kKindAdvanceInvoice, "advance", "FZ/1/2024", "FAKTURA ZALICZKOWA"},
        {ZTDocument::kKindMarginInvoice, "margin", "FM/1/2024", "FAKTURA MARŻA"},
        {ZTDocument::kKindSimplifiedInvoice, "simplified", "FU/1/2024", "FAKTURA UPROSZCZONA"},
        {ZTDocument::kKindCorrectiveInvoice, "corrective", "FK/1/2024", "FAKTURA KORYGUJĄCA"},
    };
    for (int secondLanguage : {0, 1}) {
        for (const auto &k : kinds) {
            const std::string what = std::string(k.name) + (secondLanguage ? " bilingual" : "");
            ZTDocument *document = k.kind == ZTDocument::kKindCorrectiveInvoice
                                       ? correctionOf(secondLanguage)
                                       : documentOfKind(k.kind, secondLanguage, QString::fromLatin1(k.number));
            ASSERT_TRUE(document) << what;
            const QByteArray pdf = render(document);
            keep(pdf, QString::fromStdString(what).replace(QLatin1Char(' '), QLatin1Char('-')));
            ASSERT_FALSE(pdf.isEmpty()) << what;
            EXPECT_EQ(PdfTest::qpdfCheck(pdf), 0) << what;
            const QStringList pages = PdfTest::pageTexts(pdf);
            EXPECT_EQ(pages.size(), 1) << what;
            const QString text = flat(pages.join(QLatin1Char(' ')));
            const auto expect = [&](const QString &needle) {
                EXPECT_TRUE(text.contains(needle)) << what << ": no \"" << needle.toStdString() << "\" in\n"
                                                   << text.toStdString();
            };
            expect(QString::fromUtf8(k.title));
            expect(QString::fromLatin1(k.number));
            expect(QStringLiteral("1234563218")); // seller NIP
            expect(QStringLiteral("5260250274")); // purchaser NIP
            expect(QStringLiteral("Usługa projektowa"));
            expect(QStringLiteral("2024-05-02"));
            if (k.kind == ZTDocument::kKindCorrectiveInvoice) {
                expect(QStringLiteral("FV/7/2024"));        // the corrected invoice
                expect(QStringLiteral("1 234,50"));         // its gross total
                expect(QStringLiteral("984,00"));           // the gross total after correction
                expect(QStringLiteral("-250,50"));          // the difference
                expect(QStringLiteral("Rabat"));
                expect(QStringLiteral("minus dwieście pięćdziesiąt -50/100"));
                expect(QStringLiteral("BYŁO"));
                expect(QStringLiteral("WINNO BYĆ"));
            } else if (k.kind == ZTDocument::kKindSimplifiedInvoice) {
                expect(QStringLiteral("123,45"));
                expect(QStringLiteral("100,37")); // net
                expect(QStringLiteral("23,08"));  // VAT
                expect(QStringLiteral("sto dwadzieścia trzy 45/100"));
            } else {
                expect(QStringLiteral("1 234,50"));
                expect(QStringLiteral("tysiąc dwieście trzydzieści cztery 50/100"));
            }
            if (k.kind == ZTDocument::kKindInvoice || k.kind == ZTDocument::kKindProForma ||
                k.kind == ZTDocument::kKindAdvanceInvoice) {
                expect(QStringLiteral("1 003,66")); // net
                expect(QStringLiteral("230,84"));   // VAT
            }
            if (k.kind == ZTDocument::kKindMarginInvoice)
                expect(QStringLiteral("procedura marży"));
            if (secondLanguage) {
                expect(QStringLiteral("Seller"));
                expect(QStringLiteral("Buyer"));
                if (k.kind == ZTDocument::kKindSimplifiedInvoice)
                    expect(QStringLiteral("one hundred twenty-three 45/100"));
                else if (k.kind != ZTDocument::kKindCorrectiveInvoice)
                    expect(QStringLiteral("one thousand two hundred thirty-four 50/100"));
            } else {
                EXPECT_FALSE(text.contains(QStringLiteral("Seller"))) << what;
            }
        }
    }
}

TEST_F(BuiltInTemplates, UserTextsPrintLiterally)
{
    ZTDocument *document = documentOfKind(ZTDocument::kKindInvoice, 0, QStringLiteral("FV/2/2024"));
    ASSERT_TRUE(document);
    document->purchaser()->setName(QStringLiteral("<b>Zakład \"Żuraw\" & Syn</b>"));
    // Were the picture's handler run, the page would read "pwned" (written only in base64 here).
    document->setRemarks(QStringLiteral("<img src=x onerror=\"document.body.innerHTML=atob('cHduZWQ=')\">\ndruga linia"));
    const QByteArray pdf = render(document);
    const QString text = flat(PdfTest::pageTexts(pdf).join(QLatin1Char(' ')));
    EXPECT_TRUE(text.contains(QStringLiteral("<b>Zakład \"Żuraw\" & Syn</b>"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("<img src=x onerror="))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("pwned"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("FV/2/2024"))) << text.toStdString();
}

TEST_F(BuiltInTemplates, VersionMarksAndCashBasis)
{
    SettingsStore::standard().setValue(QStringLiteral("ZTShowOriginalAndCopyOnPrints"), true);
    ZTDocument *document = documentOfKind(ZTDocument::kKindInvoice, 0, QStringLiteral("FV/3/2024"));
    ASSERT_TRUE(document);
    document->seller()->setCashBasisMethod(true);
    const auto textOf = [](std::unique_ptr<ZTDocumentRepresentation> representation) {
        return flat(PdfTest::pageTexts(ZTDocumentRendering::pdfData(*representation)).join(QLatin1Char(' ')));
    };
    const QString original = textOf(ZTDocumentRepresentationFactory::originalRepresentationForDocument(document));
    const QString copy = textOf(ZTDocumentRepresentationFactory::copyRepresentationForDocument(document));
    const QString duplicate = textOf(
        ZTDocumentRepresentationFactory::duplicateRepresentationForDocument(document, localDate(2024, 6, 10)));
    SettingsStore::standard().removeValue(QStringLiteral("ZTShowOriginalAndCopyOnPrints"));
    EXPECT_TRUE(original.contains(QStringLiteral("ORYGINAŁ"))) << original.toStdString();
    EXPECT_FALSE(original.contains(QStringLiteral("KOPIA")));
    EXPECT_TRUE(original.contains(QStringLiteral("metoda kasowa"))) << original.toStdString();
    EXPECT_TRUE(copy.contains(QStringLiteral("KOPIA"))) << copy.toStdString();
    EXPECT_TRUE(duplicate.contains(QStringLiteral("DUPLIKAT z dnia 2024-06-10"))) << duplicate.toStdString();
    EXPECT_FALSE(original.contains(QStringLiteral("DUPLIKAT")));
}

TEST_F(BuiltInTemplates, SettlementSheetOfAMarginInvoice)
{
    ZTDocument *margin = documentOfKind(ZTDocument::kKindMarginInvoice, 0, QStringLiteral("FM/2/2024"));
    ASSERT_TRUE(margin);
    ZTSettlementsRepresentation sheet(margin);
    const QByteArray pdf = ZTDocumentRendering::pdfData(sheet);
    keep(pdf, QStringLiteral("settlements"));
    EXPECT_EQ(PdfTest::qpdfCheck(pdf), 0);
    const QString text = flat(PdfTest::pageTexts(pdf).join(QLatin1Char(' ')));
    for (const QString &needle : {QStringLiteral("ROZLICZENIE MARŻY"), QStringLiteral("FM/2/2024"), QStringLiteral("FZ/9"),
                                  QStringLiteral("1 000,00"), QStringLiteral("1 234,50"), QStringLiteral("234,50"),
                                  QStringLiteral("43,85")})
        EXPECT_TRUE(text.contains(needle)) << needle.toStdString() << " in " << text.toStdString();
}

TEST_F(BuiltInTemplates, GenericFormWithAnUnparsableTemplateGivesAnEmptyPage)
{
    ZTDocumentAttributesRepresentation representation({{QStringLiteral("documentID"), QStringLiteral("X/1")}},
                                                      QStringLiteral("{{#open}} never closed"));
    bool failed = false;
    EXPECT_EQ(ZTDocumentRendering::mergedHtml(representation, &failed), QString());
    EXPECT_TRUE(failed);
    ZTDocumentAttributesRepresentation good({{QStringLiteral("documentID"), QStringLiteral("X/1")}},
                                            QStringLiteral("<p>nr {{documentID}}</p>"));
    EXPECT_EQ(ZTDocumentRendering::mergedHtml(good, &failed), QStringLiteral("<p>nr X/1</p>"));
    EXPECT_FALSE(failed);
}

} // namespace
