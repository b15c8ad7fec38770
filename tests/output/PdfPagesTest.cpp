#include "PdfTestSupport.h"

#include "platform/PdfPages.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kTwoPages = PdfTest::pdfWithPages({QStringLiteral("A1"), QStringLiteral("A2")});
const QByteArray kOnePage = PdfTest::pdfWithPages({QStringLiteral("B1")});

TEST(PdfPagesTest, AppendsWholeDocumentsInOrderAndRepeatsThem)
{
    PdfDocument stack;
    EXPECT_TRUE(stack.appendPdfData(kTwoPages, 2));
    EXPECT_TRUE(stack.appendPdfData(kOnePage, 1));
    EXPECT_TRUE(stack.appendPdfData(kTwoPages, 1));
    EXPECT_EQ(stack.pageCount(), 7);

    const QByteArray data = stack.data();
    EXPECT_EQ(PdfTest::qpdfCheck(data), 0);
    EXPECT_EQ(PdfDocument::pageCount(data), 7);
    EXPECT_EQ(PdfTest::pageTexts(data), (QStringList{QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A1"),
                                                     QStringLiteral("A2"), QStringLiteral("B1"), QStringLiteral("A1"),
                                                     QStringLiteral("A2")}));
}

TEST(PdfPagesTest, RepeatedPagesShareTheirContent)
{
    // A document appended fifty times must not grow fifty-fold: the pages share one content stream.
    const QByteArray once = PdfDocument::repeated(kOnePage, 1);
    const QByteArray fifty = PdfDocument::repeated(kOnePage, 50);
    EXPECT_EQ(PdfDocument::pageCount(fifty), 50);
    EXPECT_LT(fifty.size(), once.size() * 20);
    EXPECT_EQ(PdfTest::qpdfCheck(fifty), 0);
}

TEST(PdfPagesTest, NothingToAppendLeavesAValidEmptyDocument)
{
    struct Case
    {
        const char *name;
        QByteArray data;
        unsigned times;
        bool readable;
    };
    const Case cases[] = {
        {"zero times", kTwoPages, 0, true},
        {"no data", QByteArray(), 3, false},
        {"not a PDF", QByteArrayLiteral("<html>not a pdf</html>"), 1, false},
        {"cut short", kTwoPages.left(40), 1, false},
    };
    for (const Case &c : cases) {
        PdfDocument stack;
        EXPECT_EQ(stack.appendPdfData(c.data, c.times), c.readable) << c.name;
        EXPECT_EQ(stack.pageCount(), 0) << c.name;
        const QByteArray data = stack.data();
        EXPECT_EQ(PdfDocument::pageCount(data), 0) << c.name;
        EXPECT_EQ(PdfTest::qpdfCheck(data), 0) << c.name;
    }
    EXPECT_EQ(PdfDocument::pageCount(QByteArrayLiteral("garbage")), -1);
}

TEST(PdfPagesTest, AppendsAnotherStackAndJoinsParts)
{
    PdfDocument inner;
    inner.appendPdfData(kOnePage);
    inner.appendPdfData(kTwoPages);
    PdfDocument outer;
    outer.appendDocument(inner, 2);
    outer.appendDocument(PdfDocument(), 5);
    EXPECT_EQ(PdfTest::pageTexts(outer.data()),
              (QStringList{QStringLiteral("B1"), QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("B1"),
                           QStringLiteral("A1"), QStringLiteral("A2")}));

    const QByteArray joined = PdfDocument::joined({kOnePage, QByteArrayLiteral("x"), kTwoPages});
    EXPECT_EQ(PdfTest::pageTexts(joined), (QStringList{QStringLiteral("B1"), QStringLiteral("A1"), QStringLiteral("A2")}));
}

} // namespace
