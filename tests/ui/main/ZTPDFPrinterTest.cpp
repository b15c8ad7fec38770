#include "UiTestSupport.h"

#include "ui/main/ZTPDFPrinter.h"

#include <QImage>
#include <QPdfDocument>
#include <QPrinter>

namespace {

class ZTPDFPrinterTest : public UiTest
{
protected:
    std::unique_ptr<QPrinter> pdfPrinter(const QString &path, int dpi = 100)
    {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        printer->setResolution(dpi);
        return printer;
    }

    static const inline QSizeF kA4{595, 842};
    static const inline QSizeF kA5Landscape{595, 420};
};

TEST_F(ZTPDFPrinterTest, EveryPageIsPrintedOnASheetOfItsOwnSize)
{
    const QByteArray pdf = UiPdf::pdfWithPageSizes({kA4, kA5Landscape, kA4});
    const QString source = PdfTest::writeTemp(m_out, pdf, QStringLiteral("source.pdf"));
    ASSERT_EQ(UiPdf::pageSizesOfFile(source), QStringLiteral("595x842 595x420 595x842"));

    const QString path = m_out.filePath(QStringLiteral("printed.pdf"));
    auto printer = pdfPrinter(path);
    QList<QPair<int, int>> progress;
    ASSERT_TRUE(ZTPDFPrinter::printPdf(pdf, printer.get(), [&](int printed, int total) {
        progress << qMakePair(printed, total);
        return true;
    }));
    EXPECT_EQ(UiPdf::pageSizesOfFile(path), QStringLiteral("595x842 595x420 595x842"));
    EXPECT_EQ(PdfTest::qpdfCheckOfFile(path), 0);
    EXPECT_EQ(progress, (QList<QPair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));

    // The page's drawing lands where it was, on white paper: the bar at (40,40)-(240,100) in
    // points is dark, the rest of the sheet is white.
    QPdfDocument printed;
    ASSERT_EQ(printed.load(path), QPdfDocument::Error::None);
    ASSERT_EQ(printed.pageCount(), 3);
    for (int page = 0; page < 3; ++page) {
        const QSizeF points = printed.pagePointSize(page);
        const QImage image = printed.render(page, points.toSize());
        const auto isDark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 60 && qAlpha(image.pixel(x, y)) > 200; };
        const auto isWhite = [&](int x, int y) { return qGray(image.pixel(x, y)) > 240 && qAlpha(image.pixel(x, y)) > 200; };
        EXPECT_TRUE(isDark(140, 70)) << page;
        EXPECT_TRUE(isDark(45, 45)) << page;
        EXPECT_TRUE(isWhite(20, 20)) << page;
        EXPECT_TRUE(isWhite(300, 70)) << page;
        EXPECT_TRUE(isWhite(static_cast<int>(points.width()) - 10, static_cast<int>(points.height()) - 10)) << page;
    }
}

TEST_F(ZTPDFPrinterTest, PageRangeAndCopiesChosenInTheDialogue)
{
    const QByteArray pdf = UiPdf::pdfWithPageSizes({kA4, kA5Landscape, kA4});
    struct Case {
        const char *name;
        int from, to, copies;
        bool collate;
        QString sizes;
    };
    const QList<Case> cases{
        {"all", 0, 0, 1, true, QStringLiteral("595x842 595x420 595x842")},
        {"pages 2-3", 2, 3, 1, true, QStringLiteral("595x420 595x842")},
        {"range past the end", 3, 9, 1, true, QStringLiteral("595x842")},
        {"two collated copies of 1-2", 1, 2, 2, true, QStringLiteral("595x842 595x420 595x842 595x420")},
        {"two uncollated copies of 1-2", 1, 2, 2, false, QStringLiteral("595x842 595x842 595x420 595x420")},
    };
    for (const Case &c : cases) {
        const QString path = m_out.filePath(QString::fromLatin1(c.name) + QStringLiteral(".pdf"));
        auto printer = pdfPrinter(path, 36);
        if (c.from > 0) {
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(c.from, c.to);
        }
        printer->setCopyCount(c.copies);
        printer->setCollateCopies(c.collate);
        EXPECT_TRUE(ZTPDFPrinter::printPdf(pdf, printer.get())) << c.name;
        EXPECT_EQ(UiPdf::pageSizesOfFile(path), c.sizes) << c.name;
    }
}

TEST_F(ZTPDFPrinterTest, NothingPrintedFromUnreadableOrEmptyDataOrWhenStopped)
{
    for (const QByteArray &data : {QByteArray(), QByteArrayLiteral("not a pdf")}) {
        const QString path = m_out.filePath(QStringLiteral("nothing.pdf"));
        auto printer = pdfPrinter(path);
        EXPECT_FALSE(ZTPDFPrinter::printPdf(data, printer.get())) << data.constData();
        EXPECT_FALSE(QFile::exists(path));
    }

    const QString path = m_out.filePath(QStringLiteral("stopped.pdf"));
    auto printer = pdfPrinter(path);
    int calls = 0;
    EXPECT_FALSE(ZTPDFPrinter::printPdf(UiPdf::pdfWithPageSizes({kA4, kA4, kA4}), printer.get(),
                                        [&](int, int) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    // A PDF file cannot be taken back; it ends with the pages printed before the stop.
    EXPECT_EQ(UiPdf::pageCountOfFile(path), 2);
}

} // namespace
