#include "OutputTestSupport.h"

#include "output/ZTDocumentPrintController.h"
#include "output/ZTPDFExportController.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"


namespace {

// Records what the export tells its delegate.
struct RecordingDelegate : ZTPDFExportingProtocol
{
    void PDFExportControllerDidFinishedExportingDocuments(ZTPDFExportController *, const QList<ZTDocument *> &docs,
                                                          const QStringList &paths) override
    {
        ++finished;
        documents = docs;
        reportedPaths = paths;
        // Every file is on disk by the time the delegate hears of it.
        for (const QString &path : paths)
            existingWhenTold << QFile::exists(path);
    }
    void PDFExportControllerCancelledExportingDocuments(ZTPDFExportController *) override { ++cancelled; }

    int finished = 0;
    int cancelled = 0;
    QList<ZTDocument *> documents;
    QStringList reportedPaths;
    QList<bool> existingWhenTold;
};

class ZTPDFExportControllerTest : public OutputTest
{
protected:
    std::unique_ptr<ZTPDFExportController> controller(const QList<ZTDocument *> &documents, bool overwrite = false)
    {
        auto result = std::make_unique<ZTPDFExportController>(documents, overwrite, source());
        result->setTickInterval(1);
        result->setCloseDelay(1);
        result->setDelegate(&m_delegate);
        return result;
    }

    RecordingDelegate m_delegate;
    QTemporaryDir m_out;
};

TEST_F(ZTPDFExportControllerTest, OneDocumentProposesItsFileNameAndTheCopyOptionMarksIt)
{
    auto export1 = controller({numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/1/2024"))});
    EXPECT_FALSE(export1->usesFolderPanel());
    EXPECT_EQ(export1->panelMessage(), QStringLiteral("Wprowadź nazwę pliku PDF, który powstanie z wybranego dokumentu"));
    EXPECT_EQ(export1->versionOptionTitles(),
              (QStringList{QStringLiteral("Oryginał"), QStringLiteral("Kopia"), QStringLiteral("Oryginał i kopia")}));
    QString name = export1->proposedFileName();
    EXPECT_EQ(name, QStringLiteral("Faktura nr FV-1-2024"));
    name = export1->selectedButton(1, name);
    EXPECT_EQ(name, QStringLiteral("Faktura nr FV-1-2024 kopia"));
    name = export1->selectedButton(1, name);
    EXPECT_EQ(name, QStringLiteral("Faktura nr FV-1-2024 kopia"));
    name = export1->selectedButton(0, name);
    EXPECT_EQ(name, QStringLiteral("Faktura nr FV-1-2024"));
    EXPECT_EQ(export1->selectedVersionTag(), 0u);

    auto several = controller({numbered(ZTDocument::kKindInvoice, QStringLiteral("1")),
                               numbered(ZTDocument::kKindInvoice, QStringLiteral("2"))});
    EXPECT_TRUE(several->usesFolderPanel());
    EXPECT_EQ(several->panelPrompt(), QStringLiteral("Zachowaj"));
    EXPECT_EQ(several->versionOptionTitles(),
              (QStringList{QStringLiteral("Oryginały"), QStringLiteral("Kopie"), QStringLiteral("Oryginały i kopie")}));
    EXPECT_EQ(several->selectedButton(1, QStringLiteral("x")), QStringLiteral("x"));
}

TEST_F(ZTPDFExportControllerTest, EmptyDocumentListIsAConsistencyFailure)
{
    auto none = controller({});
    try {
        none->panelMessage();
        FAIL() << "no failure";
    } catch (const InternalConsistencyError &error) {
        EXPECT_EQ(error.condition(), QStringLiteral("[self.documents count] > 0"));
    }
}

TEST_F(ZTPDFExportControllerTest, SeveralDocumentsGoToTheFolderWithoutReplacingFiles)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/1/2024"));
    ZTDocument *b = numbered(ZTDocument::kKindProForma, QStringLiteral("PF/1"));
    ZTDocument *c = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/2/2024"));
    PdfTest::writeTemp(m_out, "mine", QStringLiteral("Faktura nr FV-1-2024.pdf"));
    auto exporter = controller({a, b, c});
    QStringList progress;
    QObject::connect(exporter.get(), &ZTPDFExportController::progressChanged, [&](const QString &text, int percent) {
        progress << QStringLiteral("%1 %2").arg(text).arg(percent);
    });
    SignalLog hidden(exporter.get(), &ZTPDFExportController::progressHidden);
    exporter->selectedButton(2, QString());
    exporter->panelDidEnd(true, m_out.path(), true); // no margin invoice: the checkbox does not count

    ASSERT_TRUE(spinUntil([&] { return m_delegate.finished == 1 && hidden.count() == 1; }));
    EXPECT_EQ(exporter->whichVersions(), ZTDocumentPrintController::kVersionOriginalAndCopy);
    EXPECT_FALSE(exporter->includeSettlements());
    const QDir out(m_out.path());
    // Paths are reported as planned; the taken one was written under a free name.
    EXPECT_EQ(m_delegate.reportedPaths,
              (QStringList{out.filePath(QStringLiteral("Faktura nr FV-1-2024.pdf")),
                           out.filePath(b->filename() + QStringLiteral(".pdf")),
                           out.filePath(QStringLiteral("Faktura nr FV-2-2024.pdf"))}))
        << m_delegate.reportedPaths.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(m_delegate.documents, (QList<ZTDocument *>{a, b, c}));
    EXPECT_EQ(PdfTest::pageTextsOfFile(out.filePath(QStringLiteral("Faktura nr FV-1-2024-1.pdf"))),
              (QStringList{QStringLiteral("original FV/1/2024 p1"), QStringLiteral("copy FV/1/2024 p1")}));
    EXPECT_EQ(PdfTest::pageTextsOfFile(m_delegate.reportedPaths.at(2)),
              (QStringList{QStringLiteral("original FV/2/2024 p1"), QStringLiteral("copy FV/2/2024 p1")}));
    EXPECT_EQ(m_delegate.existingWhenTold, (QList<bool>{true, true, true}));
    QFile mine(out.filePath(QStringLiteral("Faktura nr FV-1-2024.pdf")));
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), QByteArrayLiteral("mine"));

    EXPECT_EQ(progress, (QStringList{QStringLiteral("0 z 3 0"), QStringLiteral("1 z 3 33"), QStringLiteral("2 z 3 66"),
                                     QStringLiteral("3 z 3 100"), QStringLiteral("3 z 3 100")}));
    EXPECT_EQ(SettingsStore::standard().stringValue(ZTPDFExportController::kLastPDFExportDirectoryKey),
              out.absolutePath());
    EXPECT_EQ(ZTPDFExportController::lastPDFExportDirectory(), out.absolutePath());
}

TEST_F(ZTPDFExportControllerTest, OneDocumentTakesTheTypedNameCleanedWithSettlementsOfAMarginInvoice)
{
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("M/1"));
    auto exporter = controller({margin});
    EXPECT_TRUE(exporter->containsMarginInvoice());
    exporter->selectedButton(1, QString());
    exporter->panelDidEnd(true, m_out.filePath(QStringLiteral("moja: faktura?")), true);
    ASSERT_TRUE(spinUntil([&] { return m_delegate.finished == 1; }));
    const QString expected = m_out.filePath(QStringLiteral("moja- faktura-.pdf"));
    EXPECT_EQ(m_delegate.reportedPaths, QStringList{expected});
    EXPECT_EQ(PdfTest::pageTextsOfFile(expected),
              (QStringList{QStringLiteral("copy M/1 p1"), QStringLiteral("settlements M/1")}));
}

TEST_F(ZTPDFExportControllerTest, CancelledDialogueDoesNothing)
{
    auto exporter = controller({numbered(ZTDocument::kKindInvoice, QStringLiteral("A"))});
    SignalLog shown(exporter.get(), &ZTPDFExportController::progressShown);
    exporter->panelDidEnd(false, m_out.filePath(QStringLiteral("a")), false);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.count(), 0);
    EXPECT_TRUE(QDir(m_out.path()).isEmpty());
}

TEST_F(ZTPDFExportControllerTest, CancellingStopsFurtherDocumentsAndTellsTheDelegate)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocument *b = numbered(ZTDocument::kKindInvoice, QStringLiteral("B"));
    auto exporter = controller({a, b});
    exporter->setTickInterval(50);
    SignalLog hidden(exporter.get(), &ZTPDFExportController::progressHidden);
    QObject::connect(exporter->printController(), &ZTDocumentPrintController::documentWritten, exporter.get(),
                     [&] { exporter->cancelPDFExport(); });
    exporter->panelDidEnd(true, m_out.path(), false);
    ASSERT_TRUE(spinUntil([&] { return m_delegate.cancelled == 1; }));
    // Long enough for any further tick to have run.
    spinUntil([] { return false; }, 300);
    EXPECT_TRUE(exporter->isCancelled());
    EXPECT_EQ(m_delegate.finished, 0);
    EXPECT_EQ(hidden.count(), 1);
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList{QStringLiteral("Faktura nr A.pdf")});
}

TEST_F(ZTPDFExportControllerTest, SilentExportWritesUnlabelledFilesIntoTheTemporaryFolderReplacingThem)
{
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("TMP/%1").arg(QCoreApplication::applicationPid()));
    const QString expected = QDir(QDir::tempPath()).filePath(margin->filename() + QStringLiteral(".pdf"));
    {
        QFile stale(expected);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
    }
    auto exporter = controller({margin}, true);
    exporter->savePDFsSilently();
    ASSERT_TRUE(spinUntil([&] { return m_delegate.finished == 1; }));
    EXPECT_EQ(m_delegate.reportedPaths, QStringList{expected});
    EXPECT_EQ(PdfTest::pageTextsOfFile(expected), QStringList{QStringLiteral("plain ") + margin->documentID() + QStringLiteral(" p1")});
    QFile::remove(expected);
}

} // namespace
