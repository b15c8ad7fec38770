#include "UiTestSupport.h"

#include "ui/main/ZTDocumentOutputViews.h"
#include "ui/main/ZTDuplicatePrintPreferencesView.h"
#include "ui/main/ZTPrintPreferencesView.h"

#include "output/ZTDocumentPrintController.h"
#include "output/ZTDuplicatePrintPreferencesController.h"
#include "output/ZTPrintPreferencesController.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

class ZTPrintAccessoriesTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        SettingsStore &settings = SettingsStore::standard();
        settings.setValue(ZTPrintPreferencesController::kOriginalsCountKey, 1);
        settings.setValue(ZTPrintPreferencesController::kCopiesCountKey, 1);
        settings.setValue(ZTPrintPreferencesController::kGreenCopiesKey, false);
    }

    // The views print into a PDF file, at a low resolution to keep the pictures small.
    QString printIntoFile(ZTDocumentOutputViews &views)
    {
        const QString path = m_out.filePath(QStringLiteral("printed.pdf"));
        views.printer()->setOutputFormat(QPrinter::PdfFormat);
        views.printer()->setOutputFileName(path);
        views.printer()->setResolution(72);
        return path;
    }
};

TEST_F(ZTPrintAccessoriesTest, CountFieldsWriteTheSettingsAndShowWhatIsStored)
{
    SettingsStore::standard().setValue(ZTPrintPreferencesController::kOriginalsCountKey, 2);
    SettingsStore::standard().setValue(ZTPrintPreferencesController::kCopiesCountKey, 3);
    ZTPrintPreferencesController prefs;
    ZTPrintPreferencesView view(&prefs);
    EXPECT_EQ(view.originalsField()->value(), 2);
    EXPECT_EQ(view.copiesField()->value(), 3);

    view.originalsField()->setValue(4);
    view.copiesField()->setValue(0);
    EXPECT_EQ(SettingsStore::standard().intValue(ZTPrintPreferencesController::kOriginalsCountKey), 4);
    EXPECT_EQ(SettingsStore::standard().intValue(ZTPrintPreferencesController::kCopiesCountKey), 0);
    EXPECT_EQ(prefs.originalsCount(), 4u);
    EXPECT_EQ(prefs.copiesCount(), 0u);

    // Typed and stepped, as a person does.
    view.show();
    QTest::keyClick(view.copiesField(), Qt::Key_Up);
    EXPECT_EQ(SettingsStore::standard().intValue(ZTPrintPreferencesController::kCopiesCountKey), 1);

    // A view made later for the same controller (the next dialogue) shows the kept values.
    ZTPrintPreferencesView next(&prefs);
    EXPECT_EQ(next.originalsField()->value(), 4);
    EXPECT_EQ(next.copiesField()->value(), 1);
    // A change through the controller shows in the open view.
    prefs.setOriginalsCount(7);
    EXPECT_EQ(next.originalsField()->value(), 7);
}

TEST_F(ZTPrintAccessoriesTest, SettlementsCheckboxOnlyWithAMarginInvoice)
{
    ZTPrintPreferencesController prefs;
    ZTPrintPreferencesView view(&prefs);
    view.show();
    EXPECT_FALSE(view.includeSettlementsButton()->isVisible());

    prefs.setContainsMarginInvoice(true);
    EXPECT_TRUE(view.includeSettlementsButton()->isVisible());
    EXPECT_EQ(view.includeSettlementsButton()->text(), QStringLiteral("Dołącz rozliczenie faktury marża"));
    EXPECT_FALSE(prefs.includeSettlements());
    QTest::mouseClick(view.includeSettlementsButton(), Qt::LeftButton);
    EXPECT_TRUE(prefs.includeSettlements());

    prefs.setContainsMarginInvoice(false);
    EXPECT_FALSE(view.includeSettlementsButton()->isVisible());
    // The next dialogue's view starts from the kept choice.
    prefs.setContainsMarginInvoice(true);
    ZTPrintPreferencesView next(&prefs);
    EXPECT_TRUE(next.includeSettlementsButton()->isChecked());
}

TEST_F(ZTPrintAccessoriesTest, EconomicalCopySwitchFlipsTheSettingImageAndCaption)
{
    ZTPrintPreferencesController prefs;
    ZTPrintPreferencesView view(&prefs);
    view.show();
    EXPECT_EQ(view.greenTitle()->text(), QStringLiteral("Tryb oszczędnego wydruku kopii jest wyłączony"));
    EXPECT_EQ(view.greenLogo()->property("imageName").toString(), QStringLiteral("ThinkGreenOff"));
    const QImage off = view.greenLogo()->icon().pixmap(48).toImage();

    QTest::mouseClick(view.greenLogo(), Qt::LeftButton);
    EXPECT_TRUE(SettingsStore::standard().boolValue(ZTPrintPreferencesController::kGreenCopiesKey));
    EXPECT_EQ(view.greenTitle()->text(), QStringLiteral("Tryb oszczędnego wydruku kopii jest włączony"));
    EXPECT_EQ(view.greenLogo()->property("imageName").toString(), QStringLiteral("ThinkGreen"));
    EXPECT_NE(view.greenLogo()->icon().pixmap(48).toImage(), off);

    QTest::mouseClick(view.greenLogo(), Qt::LeftButton);
    EXPECT_FALSE(SettingsStore::standard().boolValue(ZTPrintPreferencesController::kGreenCopiesKey));
    EXPECT_EQ(view.greenTitle()->text(), QStringLiteral("Tryb oszczędnego wydruku kopii jest wyłączony"));
}

TEST_F(ZTPrintAccessoriesTest, DuplicateAccessorySetsTheDayAndNeverShowsFewerThanOne)
{
    SettingsStore::standard().setValue(ZTPrintPreferencesController::kOriginalsCountKey, 2);
    ZTDuplicatePrintPreferencesController prefs;
    ZTDuplicatePrintPreferencesView view(&prefs);
    EXPECT_EQ(view.issueDateField()->date(), kNow.date());
    EXPECT_EQ(view.countField()->value(), 2);

    view.issueDateField()->setDate(QDate(2024, 6, 3));
    EXPECT_EQ(prefs.issueDate().date(), QDate(2024, 6, 3));
    EXPECT_EQ(prefs.issueDate().time(), kNow.time());

    view.countField()->setValue(5);
    EXPECT_EQ(prefs.count(), 5u);
    prefs.setCount(0);
    EXPECT_EQ(view.countField()->value(), 1);
    EXPECT_EQ(prefs.count(), 1u);
}

TEST_F(ZTPrintAccessoriesTest, PrintDialogueIsASheetWithTheAccessoryAndPrintsTheChosenStack)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocument *b = numbered(ZTDocument::kKindInvoice, QStringLiteral("B"));
    m_pages[QStringLiteral("A")] = 2;
    ZTDocumentOutputViews views(&m_window, source());
    const QString path = printIntoFile(views);
    SignalLog printed(&views, &ZTDocumentOutputViews::printed);

    views.printDocuments({a, b});
    QPrintDialog *dialog = views.printDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->parentWidget(), &m_window);
    auto *accessory = dialog->findChild<ZTPrintPreferencesView *>();
    ASSERT_NE(accessory, nullptr);
    EXPECT_FALSE(accessory->includeSettlementsButton()->isVisibleTo(accessory));
    // The accessory is an options tab named after it.
    auto *tabs = accessory->parentWidget() ? accessory->parentWidget()->parentWidget() : nullptr;
    auto *tabWidget = qobject_cast<QTabWidget *>(tabs);
    ASSERT_NE(tabWidget, nullptr);
    EXPECT_EQ(tabWidget->tabText(tabWidget->indexOf(accessory)), QStringLiteral("Wydruk dokumentów"));
    // Qt's own parts of the dialogue speak Polish too.
    QStringList buttonTexts;
    for (QPushButton *button : dialog->findChildren<QPushButton *>())
        buttonTexts << button->text().remove(QLatin1Char('&'));
    EXPECT_TRUE(buttonTexts.contains(QStringLiteral("Anuluj"))) << buttonTexts.join(QLatin1Char('|')).toStdString();
    if (qEnvironmentVariableIsSet("TOLVANA_UI_SHOTS")) {
        // Show the options part of the dialogue, where the accessory is, for the picture.
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->text().contains(QStringLiteral("Opcje")) && !tabWidget->isVisible())
                button->click();
        tabWidget->setCurrentWidget(accessory);
        shot(dialog, QStringLiteral("print-dialogue"));
    }

    accessory->originalsField()->setValue(2);
    accessory->copiesField()->setValue(1);
    dialog->done(QDialog::Accepted);
    ASSERT_TRUE(spinUntil([&] { return printed.count() == 1; }));
    EXPECT_TRUE(printed.first().first().toBool());
    // Original A twice and its copy (two pages each), then the same for B.
    EXPECT_EQ(UiPdf::pageCountOfFile(path), 6 + 3);
    EXPECT_EQ(m_renderings.value({QStringLiteral("A"), ZTDocumentPrintController::kVersionOriginal}), 1);

    // A cancelled dialogue prints nothing.
    QFile::remove(path);
    views.printDocuments({a});
    ASSERT_NE(views.printDialog(), nullptr);
    views.printDialog()->reject();
    spinUntil([] { return false; }, 200);
    EXPECT_EQ(printed.count(), 1);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ZTPrintAccessoriesTest, PrintDialogueOffersSettlementsForAMarginInvoice)
{
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("M"));
    ZTDocumentOutputViews views(&m_window, source());
    const QString path = printIntoFile(views);
    SignalLog printed(&views, &ZTDocumentOutputViews::printed);

    views.printDocuments({margin});
    auto *accessory = views.printDialog()->findChild<ZTPrintPreferencesView *>();
    ASSERT_NE(accessory, nullptr);
    EXPECT_TRUE(accessory->includeSettlementsButton()->isVisibleTo(accessory));
    accessory->includeSettlementsButton()->setChecked(true);
    views.printDialog()->done(QDialog::Accepted);
    ASSERT_TRUE(spinUntil([&] { return printed.count() == 1; }));
    // One original, one copy and the settlement sheet.
    EXPECT_EQ(UiPdf::pageCountOfFile(path), 3);
}

TEST_F(ZTPrintAccessoriesTest, DuplicateDialoguePrintsTheCountOfEachDocument)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("M"));
    ZTDocumentPdfSource dated = source();
    QList<QDate> dates;
    dated.documentPdf = [&dates, render = dated.documentPdf](ZTDocument *document, int version, const QDateTime &date) {
        if (version == ZTDocumentPrintController::kVersionDuplicate)
            dates << date.date();
        return render(document, version, date);
    };
    ZTDocumentOutputViews views(&m_window, dated);
    const QString path = printIntoFile(views);
    SignalLog printed(&views, &ZTDocumentOutputViews::printed);

    views.printDuplicatesOfDocuments({a, margin});
    QPrintDialog *dialog = views.printDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    auto *accessory = dialog->findChild<ZTDuplicatePrintPreferencesView *>();
    ASSERT_NE(accessory, nullptr);
    EXPECT_EQ(accessory->windowTitle(), QStringLiteral("Wydruk duplikatów"));
    accessory->issueDateField()->setDate(QDate(2024, 6, 3));
    accessory->countField()->setValue(3);
    dialog->done(QDialog::Accepted);
    ASSERT_TRUE(spinUntil([&] { return printed.count() == 1; }));
    // Three duplicates of each, and no settlement sheet.
    EXPECT_EQ(UiPdf::pageCountOfFile(path), 6);
    EXPECT_EQ(dates, (QList<QDate>{QDate(2024, 6, 3), QDate(2024, 6, 3)}));
}

} // namespace
