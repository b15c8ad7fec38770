#include "OutputTestSupport.h"

#include "output/ZTDocumentPrintController.h"
#include "output/ZTDuplicatePrintPreferencesController.h"
#include "output/ZTPrintPreferencesController.h"
#include "platform/SettingsStore.h"


namespace {

QStringList pages(const PdfDocument &stack)
{
    return PdfTest::pageTexts(stack.data());
}

class ZTDocumentPrintControllerTest : public OutputTest
{
protected:
    void SetUp() override
    {
        OutputTest::SetUp();
        SettingsStore::standard().removeValue(ZTPrintPreferencesController::kOriginalsCountKey);
        SettingsStore::standard().removeValue(ZTPrintPreferencesController::kCopiesCountKey);
    }
};

TEST_F(ZTDocumentPrintControllerTest, OriginalsThenCopiesOfEachDocumentInTurnEachRenderedOnce)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocument *b = numbered(ZTDocument::kKindInvoice, QStringLiteral("B"));
    m_pages[QStringLiteral("A")] = 2;
    ZTDocumentPrintController controller(source());
    controller.printDocuments({a, b});

    const PdfDocument content = controller.assemblePrintContent(2, 1, false);
    EXPECT_EQ(pages(content), (QStringList{
                                  QStringLiteral("original A p1"), QStringLiteral("original A p2"),
                                  QStringLiteral("original A p1"), QStringLiteral("original A p2"),
                                  QStringLiteral("copy A p1"), QStringLiteral("copy A p2"),
                                  QStringLiteral("original B p1"), QStringLiteral("original B p1"),
                                  QStringLiteral("copy B p1"),
                              }));
    EXPECT_EQ(PdfTest::qpdfCheck(content.data()), 0);
    for (const QString &number : {QStringLiteral("A"), QStringLiteral("B")}) {
        EXPECT_EQ(m_renderings.value({number, ZTDocumentPrintController::kVersionOriginal}), 1) << number.toStdString();
        EXPECT_EQ(m_renderings.value({number, ZTDocumentPrintController::kVersionCopy}), 1) << number.toStdString();
    }
}

TEST_F(ZTDocumentPrintControllerTest, SettlementSheetOfMarginInvoicesFollowsTheirCopiesOnlyWhenAskedFor)
{
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("M"));
    ZTDocument *plain = numbered(ZTDocument::kKindInvoice, QStringLiteral("F"));
    ZTDocumentPrintController controller(source());
    controller.printDocuments({margin, plain});
    EXPECT_TRUE(controller.printPrefsController()->containsMarginInvoice());

    EXPECT_EQ(pages(controller.assemblePrintContent(1, 1, true)),
              (QStringList{QStringLiteral("original M p1"), QStringLiteral("copy M p1"), QStringLiteral("settlements M"),
                           QStringLiteral("original F p1"), QStringLiteral("copy F p1")}));
    EXPECT_EQ(pages(controller.assemblePrintContent(1, 1, false)),
              (QStringList{QStringLiteral("original M p1"), QStringLiteral("copy M p1"), QStringLiteral("original F p1"),
                           QStringLiteral("copy F p1")}));
    // The preview always shows the sheet, and only originals.
    EXPECT_EQ(pages(controller.previewContent({plain, margin})),
              (QStringList{QStringLiteral("original F p1"), QStringLiteral("original M p1"),
                           QStringLiteral("settlements M")}));

    controller.printDocuments({plain});
    EXPECT_FALSE(controller.printPrefsController()->containsMarginInvoice());
}

TEST_F(ZTDocumentPrintControllerTest, ZeroCountsAndUnrenderableDocumentsGiveNoPages)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocument *broken = numbered(ZTDocument::kKindInvoice, QStringLiteral("X"));
    m_unrenderable << QStringLiteral("X");
    ZTDocumentPrintController controller(source());
    controller.printDocuments({a, broken});

    EXPECT_EQ(controller.assemblePrintContent(0, 0, true).pageCount(), 0);
    EXPECT_EQ(m_renderings.value({QStringLiteral("A"), ZTDocumentPrintController::kVersionOriginal}), 0);
    EXPECT_EQ(pages(controller.assemblePrintContent(0, 1, false)), QStringList{QStringLiteral("copy A p1")});
}

TEST_F(ZTDocumentPrintControllerTest, DuplicatesCarryTheChosenDateAndCount)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("M"));
    ZTDocumentPrintController controller(source());
    controller.printDuplicatesOfDocuments({a, margin});
    ZTDuplicatePrintPreferencesController *prefs = controller.duplicatePrintPrefsController();
    EXPECT_EQ(prefs->issueDate(), kNow);
    prefs->setIssueDate(QDateTime(QDate(2024, 6, 3), QTime(12, 0)));
    prefs->setCount(2);

    SignalLog printed(&controller, &ZTDocumentPrintController::printContentReady);
    controller.duplicatePrintPanelDidEnd(0);
    controller.duplicatePrintPanelDidEnd(1);
    ASSERT_TRUE(spinUntil([&] { return printed.count() > 0; }));
    QCoreApplication::processEvents();
    ASSERT_EQ(printed.count(), 1); // the cancelled dialogue left nothing behind
    // No settlement sheet with duplicates.
    EXPECT_EQ(PdfTest::pageTexts(printed.first().first().toByteArray()),
              (QStringList{QStringLiteral("duplicate A 2024-06-03 p1"), QStringLiteral("duplicate A 2024-06-03 p1"),
                           QStringLiteral("duplicate M 2024-06-03 p1"), QStringLiteral("duplicate M 2024-06-03 p1")}));
}

TEST_F(ZTDocumentPrintControllerTest, DuplicateCountNeverGoesBelowOne)
{
    SettingsStore::standard().setValue(ZTPrintPreferencesController::kOriginalsCountKey, 0);
    ZTDuplicatePrintPreferencesController prefs;
    EXPECT_EQ(prefs.count(), 1u);
    SignalLog shown(&prefs, &ZTDuplicatePrintPreferencesController::countChanged);
    for (int typed : {3, 0, -4}) {
        prefs.setCount(typed);
        EXPECT_EQ(prefs.count(), static_cast<unsigned>(qMax(1, typed))) << typed;
        EXPECT_EQ(shown.last().first().toUInt(), prefs.count()) << typed;
    }
}

TEST_F(ZTDocumentPrintControllerTest, ConfirmedPrintDialogueUsesTheAccessoryCountsKeptInTheSettings)
{
    SettingsStore::standard().setValue(ZTPrintPreferencesController::kOriginalsCountKey, 2);
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocumentPrintController controller(source());
    controller.printDocuments({a});
    ZTPrintPreferencesController *prefs = controller.printPrefsController();
    EXPECT_EQ(prefs->originalsCount(), 2u);
    EXPECT_EQ(prefs->copiesCount(), 1u); // factory value
    prefs->setCopiesCount(0);
    EXPECT_EQ(SettingsStore::standard().intValue(ZTPrintPreferencesController::kCopiesCountKey), 0);

    SignalLog printed(&controller, &ZTDocumentPrintController::printContentReady);
    controller.printPanelDidEnd(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(printed.count(), 0);
    controller.printPanelDidEnd(1);
    EXPECT_EQ(printed.count(), 0); // deferred to the next turn of the loop
    ASSERT_TRUE(spinUntil([&] { return printed.count() == 1; }));
    EXPECT_EQ(PdfTest::pageTexts(printed.first().first().toByteArray()),
              (QStringList{QStringLiteral("original A p1"), QStringLiteral("original A p1")}));

    // A new accessory reads what the last one wrote.
    ZTPrintPreferencesController again;
    EXPECT_EQ(again.originalsCount(), 2u);
    EXPECT_EQ(again.copiesCount(), 0u);
}

TEST_F(ZTDocumentPrintControllerTest, GreeneryFlipsTheSettingWithItsImageAndCaption)
{
    SettingsStore::standard().setValue(ZTPrintPreferencesController::kGreenCopiesKey, false);
    ZTPrintPreferencesController prefs;
    EXPECT_EQ(prefs.greeneryImageName(), QStringLiteral("ThinkGreenOff"));
    prefs.toggleGreenery();
    EXPECT_TRUE(SettingsStore::standard().boolValue(ZTPrintPreferencesController::kGreenCopiesKey));
    EXPECT_EQ(prefs.greeneryImageName(), QStringLiteral("ThinkGreen"));
    EXPECT_EQ(prefs.greeneryCaption(), QStringLiteral("Tryb oszczędnego wydruku kopii jest włączony"));
    prefs.toggleGreenery();
    EXPECT_EQ(prefs.greeneryCaption(), QStringLiteral("Tryb oszczędnego wydruku kopii jest wyłączony"));
}

TEST_F(ZTDocumentPrintControllerTest, PreviewTitleNamesOneDocumentByNumber)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/1/2024"));
    ZTDocument *unnumbered = numbered(ZTDocument::kKindInvoice, QString());
    EXPECT_EQ(ZTDocumentPrintController::previewTitle({a}), QStringLiteral("Podgląd dokumentu FV/1/2024"));
    EXPECT_EQ(ZTDocumentPrintController::previewTitle({unnumbered}), QStringLiteral("Podgląd dokumentu"));
    EXPECT_EQ(ZTDocumentPrintController::previewTitle({a, unnumbered}), QStringLiteral("Podgląd dokumentów"));

    ZTDocumentPrintController controller(source());
    SignalLog ready(&controller, &ZTDocumentPrintController::previewReady);
    controller.previewDocument(a);
    ASSERT_TRUE(spinUntil([&] { return ready.count() == 1; }));
    EXPECT_EQ(ready.first().at(1).toString(), QStringLiteral("Podgląd dokumentu FV/1/2024"));
    EXPECT_EQ(PdfTest::pageTexts(ready.first().first().toByteArray()), QStringList{QStringLiteral("original FV/1/2024 p1")});
}

class PrintToFileTest : public ZTDocumentPrintControllerTest
{
protected:
    QString write(ZTDocumentPrintController &controller, ZTDocument *document, const QString &path, int version,
                  bool settlements, bool overwrite)
    {
        SignalLog written(&controller, &ZTDocumentPrintController::documentWritten);
        const QString target = controller.printDocumentToFile(document, path, version, settlements, overwrite);
        EXPECT_TRUE(spinUntil([&] { return written.count() == 1; }));
        EXPECT_EQ(written.value(0).value(0).toString(), target);
        return target;
    }

    QTemporaryDir m_out;
};

TEST_F(PrintToFileTest, FreeNameSearchSkipsTakenNamesUnlessOverwriting)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocumentPrintController controller(source());
    const QString path = m_out.filePath(QStringLiteral("faktura.pdf"));
    PdfTest::writeTemp(m_out, "old", QStringLiteral("faktura.pdf"));
    PdfTest::writeTemp(m_out, "old", QStringLiteral("faktura-1.pdf"));

    const QString target = write(controller, a, path, ZTDocumentPrintController::kVersionOriginal, false, false);
    EXPECT_EQ(target, m_out.filePath(QStringLiteral("faktura-2.pdf")));
    EXPECT_EQ(PdfTest::pageTextsOfFile(target), QStringList{QStringLiteral("original A p1")});
    EXPECT_EQ(PdfTest::qpdfCheckOfFile(target), 0);
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArrayLiteral("old"));
    old.close();

    EXPECT_EQ(write(controller, a, path, ZTDocumentPrintController::kVersionCopy, false, true), path);
    EXPECT_EQ(PdfTest::pageTextsOfFile(path), QStringList{QStringLiteral("copy A p1")});
}

TEST_F(PrintToFileTest, EachVersionWritesItsPagesWithTheSheetWhenAskedFor)
{
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("M"));
    ZTDocument *invoice = numbered(ZTDocument::kKindInvoice, QStringLiteral("F"));
    m_pages[QStringLiteral("M")] = 2;
    struct Case
    {
        ZTDocument *document;
        int version;
        bool settlements;
        QStringList expected;
    };
    const Case cases[] = {
        {margin, ZTDocumentPrintController::kVersionOriginalAndCopy, false,
         {QStringLiteral("original M p1"), QStringLiteral("original M p2"), QStringLiteral("copy M p1"),
          QStringLiteral("copy M p2")}},
        {margin, ZTDocumentPrintController::kVersionOriginalAndCopy, true,
         {QStringLiteral("original M p1"), QStringLiteral("original M p2"), QStringLiteral("copy M p1"),
          QStringLiteral("copy M p2"), QStringLiteral("settlements M")}},
        {margin, ZTDocumentPrintController::kVersionPlain, true,
         {QStringLiteral("plain M p1"), QStringLiteral("plain M p2"), QStringLiteral("settlements M")}},
        {invoice, ZTDocumentPrintController::kVersionCopy, true, {QStringLiteral("copy F p1")}},
    };
    ZTDocumentPrintController controller(source());
    int n = 0;
    for (const Case &c : cases) {
        const QString path = m_out.filePath(QStringLiteral("case%1.pdf").arg(++n));
        write(controller, c.document, path, c.version, c.settlements, true);
        EXPECT_EQ(PdfTest::pageTextsOfFile(path), c.expected) << n;
        EXPECT_EQ(PdfTest::qpdfCheckOfFile(path), 0) << n;
    }
}

TEST_F(PrintToFileTest, DocumentWithoutPagesLeavesNoFile)
{
    ZTDocument *broken = numbered(ZTDocument::kKindInvoice, QStringLiteral("X"));
    m_unrenderable << QStringLiteral("X");
    ZTDocumentPrintController controller(source());
    const QString path = m_out.filePath(QStringLiteral("x.pdf"));
    EXPECT_FALSE(controller.writeDocument(broken, path, ZTDocumentPrintController::kVersionOriginal, false));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
