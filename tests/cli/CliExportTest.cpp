#include "CliTestFixture.h"
#include "PdfFiles.h"

#include <QDir>
#include <QFile>

namespace {

QString pdfText(const QString &path) { return PdfFiles::text(path); }

int qpdfCheck(const QString &path) { return PdfFiles::qpdfCheck(path); }

QString err(const CliRun &run)
{
    return QString::fromUtf8(run.err);
}

class CliExport : public CliTestFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("5260250274")}).exitCode, 0);
        completeDefaultSeller();
    }

    // An issued invoice of the given date; its number.
    QString issuedInvoice(const QString &date)
    {
        const QString path = dir.filePath(QStringLiteral("doc%1.json").arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"kind": 1, "issueDate": "%1", "sellDate": "%1", "currency": "PLN",
            "paymentType": "Przelew", "purchaser": {"name": "ACME", "nip": "5260250274", "address": "ul. Długa 1"},
            "items": [{"name": "Usługa", "quantity": "2", "netPrice": "617.25", "vatRate": "23%"}]})")
                       .arg(date)
                       .toUtf8());
        file.close();
        const CliRun created = cli({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"), path});
        const QString ref = created.object()[QStringLiteral("ref")].toString();
        const CliRun issued = cli({QStringLiteral("document"), QStringLiteral("issue"), ref});
        EXPECT_EQ(issued.exitCode, 0) << issued.out.toStdString();
        return issued.object()[QStringLiteral("documentID")].toString();
    }

    QString outDir() const { return dir.filePath(QStringLiteral("out")); }

    int m_files = 0;
};

TEST_F(CliExport, MonthOfDocumentsGoesToTheFolderUnderFreeNamesWithProgress)
{
    const QString first = issuedInvoice(QStringLiteral("2024-05-10"));
    const QString second = issuedInvoice(QStringLiteral("2024-05-20"));
    const QString june = issuedInvoice(QStringLiteral("2024-06-02"));
    ASSERT_FALSE(first.isEmpty());
    ASSERT_TRUE(QDir().mkpath(outDir()));
    const QString taken = QDir(outDir()).filePath(QStringLiteral("Faktura VAT nr %1.pdf").arg(first));
    {
        QFile file(taken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("mine");
    }

    const CliRun run = cli({QStringLiteral("export"), QStringLiteral("pdf"), QStringLiteral("--folder"), outDir(),
                            QStringLiteral("--year"), QStringLiteral("2024"), QStringLiteral("--month"), QStringLiteral("5")});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QJsonArray written = run.json.toArray();
    ASSERT_EQ(written.size(), 2) << run.out.toStdString();
    QStringList numbers;
    for (const QJsonValue &entry : written) {
        const QString path = entry[QStringLiteral("path")].toString();
        numbers << entry[QStringLiteral("documentID")].toString();
        EXPECT_EQ(qpdfCheck(path), 0) << path.toStdString();
        const QString text = pdfText(path);
        EXPECT_TRUE(text.contains(entry[QStringLiteral("documentID")].toString())) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("1 518,44"))) << text.toStdString();
        EXPECT_TRUE(err(run).contains(path)) << path.toStdString();
    }
    EXPECT_EQ(numbers, (QStringList{first, second}));
    EXPECT_FALSE(numbers.contains(june));
    // The file that was there stays; the document went to the next free name.
    EXPECT_EQ(written[0][QStringLiteral("path")].toString(),
              QDir(outDir()).filePath(QStringLiteral("Faktura VAT nr %1-1.pdf").arg(first)));
    QFile mine(taken);
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), QByteArrayLiteral("mine"));
    EXPECT_TRUE(err(run).contains(QStringLiteral("1 z 2 ")));
    EXPECT_TRUE(err(run).contains(QStringLiteral("2 z 2 ")));
}

TEST_F(CliExport, BothVersionsWriteTheOriginalsPagesThenTheCopys)
{
    const QString number = issuedInvoice(QStringLiteral("2024-05-10"));
    const auto pagesOf = [&](const QString &version) {
        const CliRun run = cli({QStringLiteral("export"), QStringLiteral("pdf"), QStringLiteral("--folder"),
                                dir.filePath(version), number, QStringLiteral("--version"), version});
        EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
        const QString path = run.json.toArray().at(0)[QStringLiteral("path")].toString();
        EXPECT_EQ(qpdfCheck(path), 0);
        return pdfText(path).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    };
    const QStringList original = pagesOf(QStringLiteral("original"));
    const QStringList copy = pagesOf(QStringLiteral("copy"));
    ASSERT_FALSE(original.isEmpty());
    EXPECT_EQ(pagesOf(QStringLiteral("both")), original + copy);
}

TEST_F(CliExport, WrongArgumentsAreUsageFaults)
{
    const QStringList bad[] = {
        {QStringLiteral("FV/1")},                                                                  // no folder
        {QStringLiteral("--folder"), outDir()},                                                    // nothing named
        {QStringLiteral("--folder"), outDir(), QStringLiteral("FV/1"), QStringLiteral("--year"), QStringLiteral("2024")},
        {QStringLiteral("--folder"), outDir(), QStringLiteral("--month"), QStringLiteral("5")},
        {QStringLiteral("--folder"), outDir(), QStringLiteral("--year"), QStringLiteral("2024"), QStringLiteral("--month"),
         QStringLiteral("13")},
        {QStringLiteral("--folder"), outDir(), QStringLiteral("FV/1"), QStringLiteral("--version"), QStringLiteral("plain")},
    };
    for (const QStringList &args : bad) {
        const CliRun run = cli(QStringList{QStringLiteral("export"), QStringLiteral("pdf")} + args);
        EXPECT_NE(run.exitCode, 0) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(QDir(outDir()).exists()) << args.join(QLatin1Char(' ')).toStdString();
    }
    const CliRun unknown = cli({QStringLiteral("export"), QStringLiteral("pdf"), QStringLiteral("--folder"), outDir(),
                                QStringLiteral("NO/SUCH")});
    EXPECT_EQ(unknown.exitCode, 1) << unknown.out.toStdString();
}

} // namespace
