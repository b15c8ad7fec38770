// Several documents laid out as one page and cut back into their own PDFs.
#include "PdfTestSupport.h"

#include "output/ZTDocumentBatch.h"
#include "output/ZTDocumentView.h"
#include "output/ZTPdfPageStamper.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString kFrame = QStringLiteral(
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
    "<style>.green p { color: #3f8a4d; } p { margin: 0 0 4pt 0; }</style></head>");

// A document of the shared frame whose body holds `rows` lines of its own.
QString document(const QString &name, int rows, const QString &bodyAttributes = QString())
{
    QString body;
    for (int row = 1; row <= rows; ++row)
        body += QStringLiteral("<p>%1 wiersz %2</p>").arg(name).arg(row);
    return kFrame.arg(name) + QStringLiteral("<body%1>%2</body></html>").arg(bodyAttributes, body);
}

// Whether any marker link is left in the PDF (its objects decompressed so the text shows).
bool hasMarkerLinks(const QByteArray &pdf)
{
    QTemporaryDir dir;
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"),
                                         PdfTest::writeTemp(dir, pdf), QStringLiteral("-")});
    qpdf.waitForFinished(30000);
    return qpdf.readAllStandardOutput().contains("tolvana.invalid");
}

class DocumentBatch : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir configDir;
        SettingsStore::useConfigDirectory(configDir.path());
    }
    void SetUp() override { SettingsStore::standard().setValue(ZTDocumentView::kShowHeaderKey, true); }
    void TearDown() override { SettingsStore::standard().removeValue(ZTDocumentView::kShowHeaderKey); }

    static QList<QByteArray> layOut(const QStringList &htmls, const QStringList &titles)
    {
        ZTDocumentView view;
        view.loadDocuments(htmls, titles, QUrl::fromLocalFile(QDir::tempPath()));
        QList<QByteArray> result;
        bool done = false;
        QEventLoop loop;
        view.producePdfDocuments([&](const QList<QByteArray> &documents) {
            result = documents;
            done = true;
            loop.quit();
        });
        if (!done)
            loop.exec();
        return result;
    }
};

TEST_F(DocumentBatch, OnlyPagesOfTheSameFrameJoin)
{
    EXPECT_TRUE(ZTDocumentBatch::canJoin(document(QStringLiteral("A"), 1), document(QStringLiteral("B"), 3)));
    QString otherStyle = document(QStringLiteral("B"), 1);
    otherStyle.replace(QStringLiteral("#3f8a4d"), QStringLiteral("#000"));
    EXPECT_FALSE(ZTDocumentBatch::canJoin(document(QStringLiteral("A"), 1), otherStyle));
    EXPECT_FALSE(ZTDocumentBatch::canJoin(document(QStringLiteral("A"), 1), QStringLiteral("<p>no body tag</p>")));
    EXPECT_EQ(ZTDocumentBatch::joinedHtml({document(QStringLiteral("A"), 1)}), document(QStringLiteral("A"), 1));
}

TEST_F(DocumentBatch, EachDocumentComesBackWithItsOwnPagesHeaderAndNoMarker)
{
    // The middle document runs over two sheets; the others fit on one.
    const QList<QByteArray> pdfs =
        layOut({document(QStringLiteral("Alfa"), 5), document(QStringLiteral("Beta"), 60, QStringLiteral(" class=\"green\"")),
                document(QStringLiteral("Gamma"), 5)},
               {QStringLiteral("FV/1/2024"), QStringLiteral("FV/2/2024"), QStringLiteral("FV/3/2024")});
    ASSERT_EQ(pdfs.size(), 3);
    const QStringList names{QStringLiteral("Alfa"), QStringLiteral("Beta"), QStringLiteral("Gamma")};
    for (int d = 0; d < 3; ++d) {
        EXPECT_EQ(PdfTest::qpdfCheck(pdfs[d]), 0) << d;
        EXPECT_FALSE(hasMarkerLinks(pdfs[d])) << d;
        const QStringList pages = PdfTest::pageTexts(pdfs[d]);
        ASSERT_EQ(pages.size(), d == 1 ? 2 : 1) << d;
        for (int p = 0; p < pages.size(); ++p) {
            const QString header =
                QStringLiteral("FV/%1/2024 - strona %2 z %3").arg(d + 1).arg(p + 1).arg(pages.size());
            EXPECT_TRUE(pages[p].contains(header)) << pages[p].toStdString();
            EXPECT_TRUE(pages[p].contains(ZTPdfPageStamper::pageFooter())) << pages[p].toStdString();
            // Nothing of the other documents is on this one's pages.
            for (int other = 0; other < 3; ++other)
                EXPECT_EQ(pages[p].contains(names[other] + QStringLiteral(" wiersz")), other == d)
                    << d << " " << other;
        }
    }
    EXPECT_TRUE(PdfTest::pageTexts(pdfs[1]).last().contains(QStringLiteral("Beta wiersz 60")));
}

TEST_F(DocumentBatch, MarkersThatDoNotMatchTheTitlesGiveNothing)
{
    // A plain PDF has no markers: as two documents it cannot be cut, as one it is stamped.
    const QByteArray plain = PdfTest::pdfWithPages({QStringLiteral("one"), QStringLiteral("two")});
    EXPECT_TRUE(ZTPdfPageStamper::stampedDocuments(plain, {QStringLiteral("A"), QStringLiteral("B")}, true).isEmpty());
    EXPECT_EQ(ZTPdfPageStamper::stampedDocuments(plain, {QStringLiteral("A")}, true).size(), 1);

    // A page that hides the links loses the markers: the documents cannot be told apart.
    QString hiding = document(QStringLiteral("B"), 1);
    hiding.replace(QStringLiteral("<p>"), QStringLiteral("<style>a { display: none !important; }</style><p>"));
    EXPECT_TRUE(layOut({document(QStringLiteral("A"), 1), hiding}, {QStringLiteral("1"), QStringLiteral("2")}).isEmpty());
}

} // namespace
