#include "../app/AppControllerFixture.h"

#include "integrations/ZTURLHandler.h"
#include "model/ZTDocument.h"

namespace {

TEST(ZTURLHandler, TheNumberIsTheTextAfterTheSchemeUpToAFurtherSeparator)
{
    const struct
    {
        const char16_t *url;
        const char16_t *number; // null: ignored
    } cases[] = {
        {u"faktura://FV/12/2024", u"FV/12/2024"},
        {u"faktura://FV%2012", u"FV%2012"}, // handed on as it is, not decoded
        {u"faktura://A/1://B", u"A/1"},
        {u"faktura://", nullptr},
        {u"faktura:FV/12/2024", nullptr},
        {u"FV/12/2024", nullptr},
        {u"https://FV/12/2024", nullptr},
        {u"Faktura://FV/12/2024", nullptr},
        {u"", nullptr},
    };
    for (const auto &c : cases) {
        const QString url = QString::fromUtf16(c.url);
        SCOPED_TRACE(url.toStdString());
        const QString number = ZTURLHandler::documentIDFromURL(url);
        if (c.number)
            EXPECT_EQ(number, QString::fromUtf16(c.number));
        else
            EXPECT_TRUE(number.isNull());
    }
}

TEST(ZTURLHandler, ANumberMakesALinkOnlyWhenItIsValidURLText)
{
    const struct
    {
        const char16_t *number;
        bool link;
    } cases[] = {
        {u"FV/12/2024", true},  {u"1-2_3.4~(5)", true},  {u"A%20B", true},
        {u"FV 12/2024", false}, {u"FV/12/2024 ", false}, {u"FVż/1", false},
        {u"A%2", false},        {u"A%G1", false},        {u"A#1#2", false},
        {u"A\"1", false},       {u"", false},
    };
    for (const auto &c : cases) {
        const QString number = QString::fromUtf16(c.number);
        SCOPED_TRACE(number.toStdString());
        const QString link = ZTURLHandler::documentLink(number);
        if (c.link) {
            EXPECT_EQ(link, QStringLiteral("faktura://") + number);
            EXPECT_EQ(ZTURLHandler::documentIDFromURL(link), number); // the handler answers it
        } else {
            EXPECT_TRUE(link.isNull());
        }
    }
}

class ZTURLHandlerPreview : public AppControllerFixture
{
protected:
    void SetUp() override
    {
        AppControllerFixture::SetUp();
        ZTAppController &app = launch(QStringLiteral("1234567890"));
        ManagedObjectContext *context = app.managedObjectContext();
        ASSERT_TRUE(context);
        for (const char *number : {"FV/11/2024", "FV/12/2024"}) {
            ManagedObject *document = context->insertNewObject(QStringLiteral("Document"));
            document->setValue(QStringLiteral("documentKind"), 1);
            document->setValue(QStringLiteral("status"), QStringLiteral("ISSUED"));
            document->setValue(QStringLiteral("documentID"), QString::fromLatin1(number));
        }
        app.saveCoreDataContext(false, false, true);
        app.setPreviewHandler([this](const QString &documentID, ZTDocument *document) {
            requested.append(documentID);
            shown.append(document ? document->documentID() : QStringLiteral("<none>"));
        });
    }

    QStringList requested;
    QStringList shown;
};

TEST_F(ZTURLHandlerPreview, ALinkBringsUpItsDocumentAndAnEmptyOneNothing)
{
    ZTURLHandler(QStringLiteral("faktura://FV/12/2024")).performDefaultImplementation(*controller);
    EXPECT_EQ(shown, QStringList{QStringLiteral("FV/12/2024")});

    ZTURLHandler(QStringLiteral("faktura://")).performDefaultImplementation(*controller);
    ZTURLHandler(QStringLiteral("mailto://FV/12/2024")).performDefaultImplementation(*controller);
    EXPECT_EQ(requested.size(), 1);

    // An unknown number still reaches the window, which then opens without a preview.
    ZTURLHandler(QStringLiteral("faktura://FV/99/2024")).performDefaultImplementation(*controller);
    EXPECT_EQ(requested.last(), QStringLiteral("FV/99/2024"));
    EXPECT_EQ(shown.last(), QStringLiteral("<none>"));
}

} // namespace
