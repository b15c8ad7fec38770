#include "../model/ZTEntityTestFixture.h"

#include "app/ZTAppController.h"
#include "model/ZTDocument.h"
#include "output/ZTTemplateLibrary.h"
#include "output/ZTTemplateMerge.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QVariantMap attributes(std::initializer_list<const char *> trueTests, int kind = 1)
{
    QVariantMap map;
    for (const char *key : {"isCorrectiveInvoice", "isBill", "isAdvanceInvoice", "isProformaInvoice",
                            "isMarginInvoice", "isSimplifiedInvoice", "isFinalInvoice", "hasSecondLanguage"})
        map.insert(QString::fromLatin1(key), false);
    for (const char *key : trueTests)
        map.insert(QString::fromLatin1(key), true);
    map.insert(QStringLiteral("documentKind"), kind);
    return map;
}

TEST(TemplateLibrary, ChoosesTheBuiltInTemplateByTheFirstTrueKindTest)
{
    const struct
    {
        std::initializer_list<const char *> tests;
        const char *expected;
    } cases[] = {
        {{}, "docInvoice"},
        {{"isFinalInvoice"}, "docInvoice"},
        {{"isCorrectiveInvoice"}, "docCorrectiveInvoice"},
        {{"isBill"}, "docBill"},
        {{"isAdvanceInvoice"}, "docAdvanceInvoice"},
        {{"isProformaInvoice"}, "docProForma"},
        {{"isMarginInvoice"}, "docMarginInvoice"},
        {{"isSimplifiedInvoice"}, "docSimplifiedInvoice"},
        // The order of the tests decides when more than one holds.
        {{"isBill", "isCorrectiveInvoice"}, "docCorrectiveInvoice"},
        {{"isProformaInvoice", "isAdvanceInvoice"}, "docAdvanceInvoice"},
        {{"isSimplifiedInvoice", "isMarginInvoice"}, "docMarginInvoice"},
        {{"isCorrectiveInvoice", "hasSecondLanguage"}, "docCorrectiveInvoiceBilingual"},
        {{"isBill", "hasSecondLanguage"}, "docBillBilingual"},
        {{"isFinalInvoice", "hasSecondLanguage"}, "docInvoiceBilingual"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZTTemplateLibrary::builtInTemplateName(attributes(c.tests)), QString::fromLatin1(c.expected))
            << c.expected;
}

TEST(TemplateLibrary, FourteenBuiltInTemplatesAndTheSettlementSheetParse)
{
    QStringList names;
    for (const char *base : {"docInvoice", "docProForma", "docCorrectiveInvoice", "docBill", "docAdvanceInvoice",
                             "docMarginInvoice", "docSimplifiedInvoice"}) {
        names << QString::fromLatin1(base) << QString::fromLatin1(base) + QStringLiteral("Bilingual");
    }
    ASSERT_EQ(names.size(), 14);
    names << QStringLiteral("docSettlements");
    for (const QString &name : names) {
        const QString text = ZTTemplateLibrary::builtInTemplateText(name);
        ASSERT_FALSE(text.isEmpty()) << name.toStdString();
        // The program carries them enciphered: the resource itself is not the template's text.
        QFile resource(QStringLiteral(":/templates/%1.html").arg(name));
        ASSERT_TRUE(resource.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_FALSE(resource.readAll().contains("{{")) << name.toStdString();
        ZTTemplateMerge merge;
        EXPECT_TRUE(merge.parse(text)) << name.toStdString() << ": " << merge.errorMessage().toStdString();
        // Rendered with no data at all the template still makes a whole page, partials included.
        const QString html = merge.render({});
        EXPECT_TRUE(html.contains(QStringLiteral("</html>"))) << name.toStdString();
        EXPECT_TRUE(html.contains(QStringLiteral("<style>"))) << name.toStdString();
    }
    EXPECT_EQ(ZTTemplateLibrary::settlementsTemplateText(), ZTTemplateLibrary::builtInTemplateText(QStringLiteral("docSettlements")));
}

// The custom templates folder lives in a private data folder for each test.
class CustomTemplates : public ZTEntityTest
{
protected:
    QTemporaryDir dataDir;

    void SetUp() override
    {
        ZTEntityTest::SetUp();
        qputenv("TOLVANA_DATA_DIR", dataDir.path().toUtf8());
        QDir().mkpath(folder());
        SettingsStore::standard().setValue(ZTTemplateLibrary::kCustomTemplatesEnabledKey, true);
    }
    void TearDown() override
    {
        SettingsStore::standard().setValue(ZTTemplateLibrary::kCustomTemplatesEnabledKey, false);
        qunsetenv("TOLVANA_DATA_DIR");
        ZTEntityTest::TearDown();
    }
    static QString folder() { return ZTAppController::customTemplatesFolder(); }
    static void write(int kind, const QByteArray &content)
    {
        QFile file(QDir(folder()).filePath(ZTDocument::shortNameForDocumentKind(kind) + QStringLiteral(".html")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static void writeAll()
    {
        for (int kind : ZTTemplateLibrary::customTemplateKinds())
            write(kind, "custom " + QByteArray::number(kind) + " {{documentID}}");
    }
};

TEST_F(CustomTemplates, AllSevenFilesMakeEveryKindUseItsOwnFile)
{
    writeAll();
    EXPECT_TRUE(ZTTemplateLibrary::areCustomTemplatesValid());
    EXPECT_TRUE(ZTTemplateLibrary::useCustomTemplates());
    EXPECT_EQ(ZTTemplateLibrary::documentTemplateText(attributes({"isBill", "hasSecondLanguage"}, 16)),
              QStringLiteral("custom 16 {{documentID}}"));
    // A final invoice is a kind-1 document: docInvoice.html.
    EXPECT_EQ(ZTTemplateLibrary::documentTemplateText(attributes({"isFinalInvoice"}, 1)),
              QStringLiteral("custom 1 {{documentID}}"));
    EXPECT_EQ(ZTTemplateLibrary::documentBaseDirectory(), folder());
}

TEST_F(CustomTemplates, OneMissingOrEmptyFileOrTheSettingOffMeansBuiltInTemplates)
{
    const QString builtInBill = ZTTemplateLibrary::builtInTemplateText(QStringLiteral("docBill"));
    writeAll();
    write(64, ""); // empty
    EXPECT_FALSE(ZTTemplateLibrary::areCustomTemplatesValid());
    EXPECT_EQ(ZTTemplateLibrary::documentTemplateText(attributes({"isBill"}, 16)), builtInBill);

    writeAll();
    ASSERT_TRUE(QFile::remove(QDir(folder()).filePath(QStringLiteral("docCorrectiveInvoice.html"))));
    EXPECT_FALSE(ZTTemplateLibrary::areCustomTemplatesValid());
    EXPECT_EQ(ZTTemplateLibrary::documentTemplateText(attributes({"isBill"}, 16)), builtInBill);

    writeAll();
    SettingsStore::standard().setValue(ZTTemplateLibrary::kCustomTemplatesEnabledKey, false);
    EXPECT_TRUE(ZTTemplateLibrary::areCustomTemplatesValid());
    EXPECT_FALSE(ZTTemplateLibrary::useCustomTemplates());
    EXPECT_EQ(ZTTemplateLibrary::documentTemplateText(attributes({"isBill"}, 16)), builtInBill);
}

} // namespace
