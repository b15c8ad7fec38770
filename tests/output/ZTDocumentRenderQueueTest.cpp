// Many documents laid out through the queue: joined pages, several in flight, documents that
// may not join laid out alone, and a page whose documents cannot be told apart laid out again
// one by one.
#include "PdfTestSupport.h"

#include "output/ZTDocumentRenderQueue.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QString document(const QString &name, const QString &extra = QString())
{
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body>%2<p>dokument %1</p></body></html>")
        .arg(name, extra);
}

class DocumentRenderQueue : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir configDir;
        SettingsStore::useConfigDirectory(configDir.path());
    }

    struct Added
    {
        QString html;
        QString name;
        bool joinable = true;
    };

    // Lays out the documents through a queue fed one document per call; the PDFs in the order
    // they were handed over, with the names they belong to.
    static QList<QPair<QString, QByteArray>> layOut(const QList<Added> &documents, int batchSize, int inFlight)
    {
        ZTDocumentRenderQueue queue(batchSize, inFlight);
        QList<QPair<QString, QByteArray>> handed;
        qsizetype next = 0;
        queue.setFeeder([&]() -> bool {
            if (next == documents.size())
                return false;
            const Added &added = documents.at(next++);
            const QString name = added.name;
            queue.add(added.html, QUrl::fromLocalFile(QDir::tempPath()), name, added.joinable,
                      [&handed, name](const QByteArray &pdf) { handed.append({name, pdf}); });
            return true;
        });
        queue.run();
        return handed;
    }

    static void expectOwnPages(const QList<QPair<QString, QByteArray>> &handed, const QStringList &names)
    {
        ASSERT_EQ(handed.size(), names.size());
        QStringList seen;
        for (const auto &[name, pdf] : handed) {
            seen << name;
            const QStringList pages = PdfTest::pageTexts(pdf);
            ASSERT_EQ(pages.size(), 1) << name.toStdString();
            for (const QString &other : names)
                EXPECT_EQ(pages[0].contains(QStringLiteral("dokument ") + other), other == name)
                    << name.toStdString() << " / " << other.toStdString() << ": " << pages[0].toStdString();
        }
        seen.sort();
        QStringList expected = names;
        expected.sort();
        EXPECT_EQ(seen, expected);
    }
};

TEST_F(DocumentRenderQueue, EveryDocumentIsHandedItsOwnPdfWhateverTheMix)
{
    QList<Added> documents;
    QStringList names;
    for (int i = 1; i <= 7; ++i) {
        const QString name = QStringLiteral("D%1").arg(i);
        names << name;
        // Every third one is the user's own page, which is laid out alone.
        documents.append({document(name), name, i % 3 != 0});
    }
    // A different frame between joinable neighbours ends their page.
    documents[4].html.replace(QStringLiteral("<head>"), QStringLiteral("<head><style>p { color: red; }</style>"));
    expectOwnPages(layOut(documents, 3, 2), names);
}

TEST_F(DocumentRenderQueue, APageThatCannotBeCutIsLaidOutAgainOneByOne)
{
    // The second document hides every link of the page it shares, the markers among them; the
    // three are then laid out alone and still each get their own PDF.
    const QList<Added> documents{
        {document(QStringLiteral("A")), QStringLiteral("A")},
        {document(QStringLiteral("B"), QStringLiteral("<style>a { display: none !important; }</style>")), QStringLiteral("B")},
        {document(QStringLiteral("C")), QStringLiteral("C")},
    };
    expectOwnPages(layOut(documents, 10, 1), {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
}

} // namespace
