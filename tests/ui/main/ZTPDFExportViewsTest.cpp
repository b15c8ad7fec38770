#include "UiTestSupport.h"

#include "ui/main/ZTDocumentOutputViews.h"
#include "ui/main/ZTPDFExportPanel.h"
#include "ui/main/ZTPDFExportProgressSheet.h"

#include "output/ZTDocumentPrintController.h"
#include "output/ZTPDFExportController.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class ZTPDFExportViewsTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        SettingsStore::standard().setValue(ZTPDFExportController::kLastPDFExportDirectoryKey, m_out.path());
    }

    // The views with a quick export; the sheet lingers a little so that it can be seen.
    std::unique_ptr<ZTDocumentOutputViews> views(int tickMs = 1)
    {
        auto result = std::make_unique<ZTDocumentOutputViews>(&m_window, source());
        result->setExportTiming(tickMs, 20);
        return result;
    }

    QStringList writtenFiles() const { return QDir(m_out.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files); }
};

TEST_F(ZTPDFExportViewsTest, OneDocumentSaveDialogueNamesTheFileAndTheCopyOptionMarksIt)
{
    ZTDocument *document = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/1/2024"));
    auto output = views();
    SignalLog finished(output.get(), &ZTDocumentOutputViews::exportFinished);
    output->exportDocuments({document});

    ZTPDFExportPanel *panel = output->exportPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    EXPECT_EQ(panel->parentWidget(), &m_window);
    EXPECT_EQ(panel->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(QDir(panel->directory()).absolutePath(), QDir(m_out.path()).absolutePath());
    EXPECT_EQ(panel->messageLabel()->text(), QStringLiteral("Wprowadź nazwę pliku PDF, który powstanie z wybranego dokumentu"));
    EXPECT_TRUE(panel->messageLabel()->isVisible());
    ASSERT_NE(panel->nameField(), nullptr);
    EXPECT_EQ(panel->nameField()->text(), QStringLiteral("Faktura nr FV-1-2024"));
    ASSERT_EQ(panel->versionButtons().size(), 3);
    QStringList titles;
    for (QRadioButton *button : panel->versionButtons())
        titles << button->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Oryginał"), QStringLiteral("Kopia"), QStringLiteral("Oryginał i kopia")}));
    EXPECT_TRUE(panel->versionButtons().at(0)->isChecked());
    EXPECT_TRUE(panel->accessoryView()->isVisible());
    EXPECT_FALSE(panel->includeSettlementsButton()->isVisible());

    QTest::mouseClick(panel->versionButtons().at(1), Qt::LeftButton);
    EXPECT_EQ(panel->nameField()->text(), QStringLiteral("Faktura nr FV-1-2024 kopia"));
    QTest::mouseClick(panel->versionButtons().at(0), Qt::LeftButton);
    EXPECT_EQ(panel->nameField()->text(), QStringLiteral("Faktura nr FV-1-2024"));
    QTest::mouseClick(panel->versionButtons().at(1), Qt::LeftButton);
    EXPECT_EQ(panel->nameField()->text(), QStringLiteral("Faktura nr FV-1-2024 kopia"));
    shot(panel, QStringLiteral("export-dialogue"));

    confirm(panel);
    ASSERT_TRUE(spinUntil([&] { return finished.count() == 1; }));
    const QString expected = QDir(m_out.path()).filePath(QStringLiteral("Faktura nr FV-1-2024 kopia.pdf"));
    EXPECT_EQ(finished.first().first().toStringList(), QStringList{expected});
    EXPECT_EQ(PdfTest::pageTextsOfFile(expected), QStringList{QStringLiteral("copy FV/1/2024 p1")});
    // The dialogue is gone once it has reported.
    EXPECT_TRUE(spinUntil([&] { return output->exportPanel() == nullptr; }));
}

TEST_F(ZTPDFExportViewsTest, SeveralDocumentsGoToTheChosenFolderWithTheSettlementsChecked)
{
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("M/1"));
    ZTDocument *invoice = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/2"));
    const QString folder = QDir(m_out.path()).filePath(QStringLiteral("wybrany"));
    ASSERT_TRUE(QDir().mkpath(folder));
    auto output = views();
    SignalLog finished(output.get(), &ZTDocumentOutputViews::exportFinished);
    output->exportDocuments({margin, invoice});

    ZTPDFExportPanel *panel = output->exportPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->fileMode(), QFileDialog::Directory);
    EXPECT_EQ(panel->labelText(QFileDialog::Accept), QStringLiteral("Zachowaj"));
    EXPECT_EQ(panel->messageLabel()->text(),
              QStringLiteral("Wybierz katalog, w którym zaznaczone dokumenty zostaną zapisane jako pliki PDF"));
    EXPECT_EQ(panel->versionButtons().at(2)->text(), QStringLiteral("Oryginały i kopie"));
    ASSERT_TRUE(panel->includeSettlementsButton()->isVisible());
    EXPECT_EQ(panel->includeSettlementsButton()->text(), QStringLiteral("Dołącz rozliczenie faktury marża"));

    QTest::mouseClick(panel->versionButtons().at(2), Qt::LeftButton);
    QTest::mouseClick(panel->includeSettlementsButton(), Qt::LeftButton);
    shot(panel, QStringLiteral("export-folder-dialogue"));
    panel->setDirectory(folder);
    confirm(panel);
    ASSERT_TRUE(spinUntil([&] { return finished.count() == 1; }));

    const QDir out(folder);
    EXPECT_EQ(PdfTest::pageTextsOfFile(out.filePath(margin->filename() + QStringLiteral(".pdf"))),
              (QStringList{QStringLiteral("original M/1 p1"), QStringLiteral("copy M/1 p1"),
                           QStringLiteral("settlements M/1")}))
        << out.entryList().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(PdfTest::pageTextsOfFile(out.filePath(invoice->filename() + QStringLiteral(".pdf"))),
              (QStringList{QStringLiteral("original FV/2 p1"), QStringLiteral("copy FV/2 p1")}));
    EXPECT_EQ(ZTPDFExportController::lastPDFExportDirectory(), out.absolutePath());
}

TEST_F(ZTPDFExportViewsTest, CancelledDialogueWritesNothingAndShowsNoProgress)
{
    ZTDocument *document = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    auto output = views();
    output->exportDocuments({document});
    ASSERT_NE(output->exportPanel(), nullptr);
    SignalLog shown(output->exportController(), &ZTPDFExportController::progressShown);
    output->exportPanel()->reject();
    spinUntil([] { return false; }, 100);
    EXPECT_EQ(shown.count(), 0);
    EXPECT_FALSE(output->progressSheet()->isVisible());
    EXPECT_TRUE(writtenFiles().isEmpty());
}

TEST_F(ZTPDFExportViewsTest, ProgressSheetFollowsTheWritingAndClosesAfterTheLastFile)
{
    QList<ZTDocument *> documents;
    for (int i = 1; i <= 3; ++i)
        documents << numbered(ZTDocument::kKindInvoice, QStringLiteral("P%1").arg(i));
    auto output = views(20);
    SignalLog finished(output.get(), &ZTDocumentOutputViews::exportFinished);
    output->exportDocuments(documents);
    ZTPDFExportProgressSheet *sheet = output->progressSheet();
    ASSERT_NE(sheet, nullptr);

    // What the sheet shows each time a file is handed over.
    QStringList seen;
    QObject::connect(output->exportController()->printController(), &ZTDocumentPrintController::documentWritten, sheet,
                     [&] {
                         seen << QStringLiteral("%1 %2 %3")
                                     .arg(sheet->isVisible())
                                     .arg(sheet->progressCountLabel()->text())
                                     .arg(sheet->progressIndicator()->value());
                         if (seen.size() == 2)
                             shot(sheet, QStringLiteral("export-progress"));
                     });
    confirm(output->exportPanel());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->parentWidget(), &m_window);

    ASSERT_TRUE(spinUntil([&] { return finished.count() == 1; }));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("1 1 z 3 33"), QStringLiteral("1 2 z 3 66"), QStringLiteral("1 3 z 3 100")}));
    EXPECT_EQ(sheet->progressCountLabel()->text(), QStringLiteral("3 z 3"));
    EXPECT_EQ(sheet->progressIndicator()->value(), 100);
    EXPECT_FALSE(sheet->cancelButton()->isEnabled());
    ASSERT_TRUE(spinUntil([&] { return !sheet->isVisible(); }));
    EXPECT_EQ(writtenFiles().size(), 3);
}

TEST_F(ZTPDFExportViewsTest, CancelInTheProgressSheetStopsTheExport)
{
    // The button and Escape both cancel.
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "button");
        QTemporaryDir out;
        SettingsStore::standard().setValue(ZTPDFExportController::kLastPDFExportDirectoryKey, out.path());
        QList<ZTDocument *> documents;
        for (int i = 1; i <= 4; ++i)
            documents << numbered(ZTDocument::kKindInvoice, QStringLiteral("C%1-%2").arg(escape).arg(i));
        auto output = views(30);
        SignalLog finished(output.get(), &ZTDocumentOutputViews::exportFinished);
        SignalLog cancelled(output.get(), &ZTDocumentOutputViews::exportCancelled);
        output->exportDocuments(documents);
        ZTPDFExportProgressSheet *sheet = output->progressSheet();
        ASSERT_NE(sheet, nullptr);
        // Cancel as a person would, once the first file is on its way.
        QObject::connect(output->exportController()->printController(), &ZTDocumentPrintController::documentWritten,
                         sheet, [&] {
                             if (!sheet->isVisible())
                                 return;
                             if (escape)
                                 QTest::keyClick(sheet, Qt::Key_Escape);
                             else
                                 QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
                         });
        confirm(output->exportPanel());
        ASSERT_TRUE(spinUntil([&] { return cancelled.count() == 1; }));
        EXPECT_FALSE(sheet->isVisible());
        // Long enough for several more ticks, had the timer gone on.
        spinUntil([] { return false; }, 300);
        EXPECT_EQ(finished.count(), 0);
        EXPECT_EQ(cancelled.count(), 1);
        EXPECT_TRUE(output->exportController()->isCancelled());
        const QStringList written = QDir(out.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        EXPECT_GE(written.size(), 1);
        EXPECT_LT(written.size(), documents.size());
    }
}

} // namespace
