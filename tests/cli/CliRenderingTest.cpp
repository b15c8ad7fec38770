#include "CliTestFixture.h"
#include "PdfFiles.h"

#include <QFile>

namespace {

// pdftotext's pages of a written PDF, with their white space made single.
QStringList pagesOf(const QString &path)
{
    QStringList pages = PdfFiles::pages(path);
    for (QString &page : pages)
        page = page.simplified();
    return pages;
}

int qpdfCheck(const QString &path) { return PdfFiles::qpdfCheck(path); }

class CliRendering : public CliTestFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("1234563218")}).exitCode, 0);
        completeDefaultSeller();
    }

    // An issued invoice FV/1/2024 with `lines` lines for the given purchaser.
    QString issuedInvoice(int lines, const QString &purchaser = QStringLiteral("ACME sp. z o.o."))
    {
        QJsonArray items;
        for (int i = 1; i <= lines; ++i)
            items.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("Pozycja %1").arg(i)},
                                     {QStringLiteral("quantity"), QStringLiteral("1")},
                                     {QStringLiteral("netPrice"), QStringLiteral("100")},
                                     {QStringLiteral("vatRate"), QStringLiteral("23%")}});
        const QJsonObject description{
            {QStringLiteral("kind"), 1},
            {QStringLiteral("issueDate"), QStringLiteral("2024-05-10")},
            {QStringLiteral("sellDate"), QStringLiteral("2024-05-10")},
            {QStringLiteral("documentID"), QStringLiteral("FV/1/2024")},
            {QStringLiteral("useCustomDocumentID"), true},
            {QStringLiteral("paymentType"), QStringLiteral("Przelew")},
            {QStringLiteral("purchaser"), QJsonObject{{QStringLiteral("name"), purchaser},
                                                      {QStringLiteral("nip"), QStringLiteral("5260250274")},
                                                      {QStringLiteral("address"), QStringLiteral("ul. Długa 1, Gdańsk")}}},
            {QStringLiteral("items"), items}};
        const QString path = dir.filePath(QStringLiteral("invoice.json"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(description).toJson());
        file.close();
        const CliRun created = cli({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"), path});
        EXPECT_EQ(created.exitCode, 0) << created.out.toStdString() << created.err.toStdString();
        const QString ref = created.object()[QStringLiteral("ref")].toString();
        const CliRun issued = cli({QStringLiteral("document"), QStringLiteral("issue"), ref});
        EXPECT_EQ(issued.exitCode, 0) << issued.out.toStdString();
        return ref;
    }

    CliRun pdf(const QString &ref, QStringList options, const QString &name = QStringLiteral("out.pdf"))
    {
        return cli(QStringList{QStringLiteral("document"), QStringLiteral("pdf"), ref} + options +
                   QStringList{QStringLiteral("-o"), dir.filePath(name)});
    }
};

TEST_F(CliRendering, LongInvoiceNumbersItsPagesInTheHeader)
{
    const QString ref = issuedInvoice(90);
    const CliRun run = pdf(ref, {QStringLiteral("--version"), QStringLiteral("original")});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QString path = dir.filePath(QStringLiteral("out.pdf"));
    EXPECT_EQ(qpdfCheck(path), 0);
    const QStringList pages = pagesOf(path);
    EXPECT_EQ(run.object()[QStringLiteral("pages")].toInt(), pages.size());
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pages[i].contains(QStringLiteral("FV/1/2024 - strona %1 z 3").arg(i + 1))) << pages[i].toStdString();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Pozycja 1 ")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("11 070,00"))) << pages[2].toStdString(); // 90 × 123,00
}

TEST_F(CliRendering, BothGivesTheOriginalsPagesThenTheCopys)
{
    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("ZTShowOriginalAndCopyOnPrints"),
                   QStringLiteral("true")})
                  .exitCode,
              0);
    const QString ref = issuedInvoice(2);
    ASSERT_EQ(pdf(ref, {QStringLiteral("--version"), QStringLiteral("both")}).exitCode, 0);
    QStringList pages = pagesOf(dir.filePath(QStringLiteral("out.pdf")));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("ORYGINAŁ")) && !pages[0].contains(QStringLiteral("KOPIA")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("KOPIA")) && !pages[1].contains(QStringLiteral("ORYGINAŁ")));

    // A duplicate re-issues the original with its date.
    ASSERT_EQ(pdf(ref, {QStringLiteral("--version"), QStringLiteral("original"), QStringLiteral("--duplicate-date"),
                        QStringLiteral("2024-06-01")})
                  .exitCode,
              0);
    pages = pagesOf(dir.filePath(QStringLiteral("out.pdf")));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("DUPLIKAT z dnia 2024-06-01"))) << pages[0].toStdString();

    // Plain: no label at all (what mail attaches).
    ASSERT_EQ(pdf(ref, {QStringLiteral("--version"), QStringLiteral("plain")}).exitCode, 0);
    pages = pagesOf(dir.filePath(QStringLiteral("out.pdf")));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_FALSE(pages[0].contains(QStringLiteral("ORYGINAŁ")) || pages[0].contains(QStringLiteral("KOPIA")));
}

TEST_F(CliRendering, HtmlCarriesThePurchasersTextEscaped)
{
    const QString ref = issuedInvoice(1, QStringLiteral("<b>Zakład \"Żuraw\" & Syn</b>"));
    const CliRun run = cli({QStringLiteral("document"), QStringLiteral("html"), ref, QStringLiteral("--version"),
                            QStringLiteral("original")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString html = run.object()[QStringLiteral("html")].toString();
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;b&gt;Zakład &quot;Żuraw&quot; &amp; Syn&lt;/b&gt;")));
    EXPECT_FALSE(html.contains(QStringLiteral("<b>Zakład")));
    EXPECT_TRUE(html.contains(QStringLiteral("FV/1/2024")));

    // Printed, the same name reads literally.
    ASSERT_EQ(pdf(ref, {QStringLiteral("--version"), QStringLiteral("copy")}).exitCode, 0);
    EXPECT_TRUE(pagesOf(dir.filePath(QStringLiteral("out.pdf"))).value(0).contains(
        QStringLiteral("<b>Zakład \"Żuraw\" & Syn</b>")));
}

TEST_F(CliRendering, RefusesWrongRequests)
{
    const QString ref = issuedInvoice(1);
    const struct
    {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{QStringLiteral("document"), QStringLiteral("pdf"), ref, QStringLiteral("-o"), dir.filePath(QStringLiteral("x.pdf"))}, 2},
        {{QStringLiteral("document"), QStringLiteral("pdf"), ref, QStringLiteral("--version"), QStringLiteral("triple"),
          QStringLiteral("-o"), dir.filePath(QStringLiteral("x.pdf"))}, 2},
        {{QStringLiteral("document"), QStringLiteral("pdf"), ref, QStringLiteral("--version"), QStringLiteral("copy")}, 2},
        {{QStringLiteral("document"), QStringLiteral("pdf"), ref, QStringLiteral("--version"), QStringLiteral("copy"),
          QStringLiteral("--duplicate-date"), QStringLiteral("2024-06-01"), QStringLiteral("-o"), dir.filePath(QStringLiteral("x.pdf"))}, 2},
        // Only a margin invoice has a settlement sheet.
        {{QStringLiteral("document"), QStringLiteral("pdf"), ref, QStringLiteral("--version"), QStringLiteral("original"),
          QStringLiteral("--settlements"), QStringLiteral("-o"), dir.filePath(QStringLiteral("x.pdf"))}, 1},
        {{QStringLiteral("document"), QStringLiteral("html"), QStringLiteral("NO/SUCH/1"), QStringLiteral("--version"),
          QStringLiteral("original")}, 1},
    };
    for (const auto &c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(QLatin1Char(' ')).toStdString() << "\n" << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));
}

} // namespace
