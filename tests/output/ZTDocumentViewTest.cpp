#include "PdfTestSupport.h"

#include "output/ZTDocumentView.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Three A4 pages: the first two end in a forced break, each holds rows of its own.
QString threePageHtml()
{
    QString body;
    for (int page = 1; page <= 3; ++page) {
        body += QStringLiteral("<div style=\"%1\">").arg(page < 3 ? QStringLiteral("break-after: page") : QString());
        for (int row = 1; row <= 10; ++row)
            body += QStringLiteral("<p>arkusz %1 wiersz %2</p>").arg(page).arg(row);
        body += QStringLiteral("</div>");
    }
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>%1</body></html>").arg(body);
}

QString pdfInfo(const QByteArray &pdf)
{
    QTemporaryDir dir;
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {PdfTest::writeTemp(dir, pdf)});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

class DocumentView : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir configDir;
        SettingsStore::useConfigDirectory(configDir.path());
    }
    void TearDown() override { SettingsStore::standard().removeValue(ZTDocumentView::kShowHeaderKey); }

    static QByteArray render(const QString &html, const QString &title = QStringLiteral("FV/1/2024"))
    {
        ZTDocumentView view;
        view.setDocumentTitle(title);
        view.loadHtml(html, QUrl::fromLocalFile(QDir::tempPath()));
        return view.pdfData();
    }
};

TEST_F(DocumentView, EveryPageCarriesHeaderWithPageOfPagesAndFooter)
{
    SettingsStore::standard().setValue(ZTDocumentView::kShowHeaderKey, true);
    const QByteArray pdf = render(threePageHtml());
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(PdfTest::qpdfCheck(pdf), 0);
    const QStringList pages = PdfTest::pageTexts(pdf);
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("FV/1/2024 - strona %1 z 3").arg(i + 1))) << pages[i].toStdString();
        EXPECT_TRUE(pages[i].contains(ZTDocumentView::pageFooter())) << pages[i].toStdString();
    }
    // The document's own content is still there, under the stamped header and footer.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pages[i].contains(QStringLiteral("arkusz %1 wiersz 10").arg(i + 1))) << pages[i].toStdString();
    // A4 (595.2 x 841.8 points, as the engine rounds it).
    EXPECT_TRUE(pdfInfo(pdf).contains(QRegularExpression(QStringLiteral("Page size: +59[45]\\.\\d+ x 84[12]\\.\\d+ pts \\(A4\\)"))))
        << pdfInfo(pdf).toStdString();
}

TEST_F(DocumentView, WithoutTheHeaderSettingPagesCarryOnlyTheFooter)
{
    SettingsStore::standard().setValue(ZTDocumentView::kShowHeaderKey, false);
    const QStringList pages = PdfTest::pageTexts(render(threePageHtml()));
    ASSERT_EQ(pages.size(), 3);
    for (const QString &page : pages) {
        EXPECT_FALSE(page.contains(QStringLiteral("strona"))) << page.toStdString();
        EXPECT_TRUE(page.contains(ZTDocumentView::pageFooter())) << page.toStdString();
    }
}

TEST_F(DocumentView, PageScriptsRunBeforeThePageIsPrinted)
{
    // jQuery runs first; the printing script then drops optional rows whose values are empty.
    const QString html = QStringLiteral(
        "<html><body><table>"
        "<tr class=\"zt-optional\"><td>Etykieta pusta</td><td class=\"zt-value\"> </td></tr>"
        "<tr class=\"zt-optional\"><td>Etykieta pelna</td><td class=\"zt-value\">Warszawa</td></tr>"
        "</table></body></html>");
    ZTDocumentView view;
    view.loadHtml(html, QUrl::fromLocalFile(QDir::tempPath()));
    const QString text = PdfTest::pageTexts(view.pdfData()).join(QLatin1Char('\n'));
    EXPECT_FALSE(text.contains(QStringLiteral("Etykieta pusta"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Etykieta pelna"))) << text.toStdString();
}

TEST_F(DocumentView, PreviewFileIsRemovedAndAsynchronousCallsComplete)
{
    const QDir previews(ZTDocumentView::previewFilesDirectory());
    EXPECT_TRUE(previews.path().endsWith(QStringLiteral("Tolvana/Previews")));
    const QStringList before = previews.entryList(QDir::Files);

    // Two views in flight at once, in the same second: each gets its own file and its own PDF.
    ZTDocumentView first;
    ZTDocumentView second;
    first.loadHtml(QStringLiteral("<p>pierwszy</p>"), QUrl::fromLocalFile(QDir::tempPath()));
    second.loadHtml(QStringLiteral("<p>drugi</p>"), QUrl::fromLocalFile(QDir::tempPath()));
    QByteArray a;
    QByteArray b;
    QEventLoop loop;
    int done = 0;
    const auto finished = [&] {
        if (++done == 2)
            loop.quit();
    };
    first.producePdfData([&](const QByteArray &data) { a = data; finished(); });
    second.producePdfData([&](const QByteArray &data) { b = data; finished(); });
    if (done < 2)
        loop.exec();
    EXPECT_TRUE(PdfTest::pageTexts(a).value(0).contains(QStringLiteral("pierwszy")));
    EXPECT_TRUE(PdfTest::pageTexts(b).value(0).contains(QStringLiteral("drugi")));
    EXPECT_EQ(previews.entryList(QDir::Files), before);
}

TEST_F(DocumentView, StampingKeepsEachPageAndRejectsNothingValid)
{
    const QByteArray plain = PdfTest::pdfWithPages({QStringLiteral("one"), QStringLiteral("two")});
    const QByteArray stamped = ZTDocumentView::stampHeaderAndFooter(plain, QStringLiteral("R/7"), true);
    EXPECT_EQ(PdfTest::qpdfCheck(stamped), 0);
    const QStringList pages = PdfTest::pageTexts(stamped);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("one")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("R/7 - strona 2 z 2")));
    // Data that is no PDF gives no data rather than a broken file.
    EXPECT_TRUE(ZTDocumentView::stampHeaderAndFooter("not a pdf", QStringLiteral("x"), true).isEmpty());
}

TEST_F(DocumentView, FooterNamesTheCompanyOnlyWithCustomTemplates)
{
    SettingsStore &settings = SettingsStore::standard();
    settings.setValue(QStringLiteral("ZTActiveCompanyNip"), QStringLiteral("5260250274"));
    settings.setValue(QStringLiteral("ZTCustomTemplatesEnabled"), false);
    const QString plain = ZTDocumentView::pageFooter();
    settings.setValue(QStringLiteral("ZTCustomTemplatesEnabled"), true);
    const QString withNip = ZTDocumentView::pageFooter();
    settings.removeValue(QStringLiteral("ZTCustomTemplatesEnabled"));
    settings.removeValue(QStringLiteral("ZTActiveCompanyNip"));
    EXPECT_TRUE(plain.contains(QStringLiteral(TOLVANA_VERSION)));
    EXPECT_FALSE(plain.contains(QStringLiteral("5260250274")));
    EXPECT_TRUE(withNip.contains(QStringLiteral(TOLVANA_VERSION)));
    EXPECT_TRUE(withNip.contains(QStringLiteral("5260250274")));
}

} // namespace
