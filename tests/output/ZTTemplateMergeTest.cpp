#include "output/ZTTemplateMerge.h"
#include "output/ZTTemplateLibrary.h"

#include <gtest/gtest.h>

namespace {

const QVariantMap kData{
    {QStringLiteral("documentID"), QStringLiteral("FV/1/2024")},
    {QStringLiteral("missing"), QVariant()},
    {QStringLiteral("emptyText"), QString()},
    {QStringLiteral("yes"), true},
    {QStringLiteral("no"), false},
    {QStringLiteral("version"), 2},
    {QStringLiteral("escapedName"), QStringLiteral("&lt;b&gt;Zakład &quot;Żuraw&quot; &amp; Syn&lt;/b&gt;")},
    {QStringLiteral("address"), QStringLiteral("ul. Długa 1<br/>Gdańsk")},
    {QStringLiteral("seller"), QVariantMap{{QStringLiteral("nip"), QStringLiteral("1234563218")},
                                           {QStringLiteral("bankSwift"), QVariant()}}},
    {QStringLiteral("items"), QVariantList{QVariantMap{{QStringLiteral("name"), QStringLiteral("A")},
                                                       {QStringLiteral("pkwiu"), QVariant()}},
                                           QVariantMap{{QStringLiteral("name"), QStringLiteral("B")},
                                                       {QStringLiteral("pkwiu"), QStringLiteral("62.01")}}}},
    {QStringLiteral("noRows"), QVariantList{}},
};

struct MergeCase
{
    const char *what;
    const char *templateText;
    const char *expected;
};

class TemplateMergeCases : public ::testing::TestWithParam<MergeCase>
{
};

TEST_P(TemplateMergeCases, MergesTheTemplateData)
{
    const MergeCase &c = GetParam();
    bool ok = false;
    const QString merged = ZTTemplateMerge::merge(QString::fromUtf8(c.templateText), kData, &ok);
    EXPECT_TRUE(ok) << c.what;
    EXPECT_EQ(merged, QString::fromUtf8(c.expected)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TemplateMergeCases,
    ::testing::Values(
        MergeCase{"a text", "nr {{documentID}}", "nr FV/1/2024"},
        MergeCase{"the null marker prints nothing", "[{{missing}}]", "[]"},
        MergeCase{"the null marker is false", "{{#missing}}x{{/missing}}{{^missing}}none{{/missing}}", "none"},
        MergeCase{"an empty text is false", "{{#emptyText}}x{{/emptyText}}{{^emptyText}}empty{{/emptyText}}", "empty"},
        MergeCase{"booleans", "{{#yes}}Y{{/yes}}{{#no}}N{{/no}}{{^no}}n{{/no}}", "Yn"},
        MergeCase{"a number prints and is true", "{{#version}}v{{version}}{{/version}}", "v2"},
        MergeCase{"the data is HTML source, not escaped again", "{{escapedName}}|{{{address}}}",
                  "&lt;b&gt;Zakład &quot;Żuraw&quot; &amp; Syn&lt;/b&gt;|ul. Długa 1<br/>Gdańsk"},
        MergeCase{"nested keys, a null nested key", "{{seller.nip}}[{{seller.bankSwift}}]", "1234563218[]"},
        MergeCase{"a list, with a null in a row not taken from outside",
                  "{{#items}}{{name}}:{{pkwiu}};{{/items}}", "A:;B:62.01;"},
        MergeCase{"an empty list is false", "{{#noRows}}row{{/noRows}}{{^noRows}}no rows{{/noRows}}", "no rows"},
        MergeCase{"outer keys are seen inside a list", "{{#items}}{{documentID}} {{/items}}", "FV/1/2024 FV/1/2024 "}));

TEST(TemplateMerge, MalformedTemplateFailsAndRendersNothing)
{
    for (const char *text : {"{{#items}}open section", "{{#a}}{{/b}}", "{{unclosed"}) {
        ZTTemplateMerge merge;
        EXPECT_FALSE(merge.parse(QString::fromUtf8(text))) << text;
        EXPECT_FALSE(merge.isValid()) << text;
        EXPECT_FALSE(merge.errorMessage().isEmpty()) << text;
        EXPECT_EQ(merge.render(kData), QString()) << text;
    }
}

TEST(TemplateMerge, ParsedTemplateRendersManyTimes)
{
    ZTTemplateMerge merge;
    ASSERT_TRUE(merge.parse(QStringLiteral("{{documentID}}")));
    EXPECT_EQ(merge.render(kData), QStringLiteral("FV/1/2024"));
    EXPECT_EQ(merge.render({{QStringLiteral("documentID"), QStringLiteral("R/2")}}), QStringLiteral("R/2"));
}

TEST(TemplateMerge, BuiltInPartialsAreIncluded)
{
    const QString merged = ZTTemplateMerge::merge(QStringLiteral("{{> ztStyle}}"), {});
    EXPECT_TRUE(merged.startsWith(QStringLiteral("<style>"))) << merged.left(80).toStdString();
    // An unknown partial is no error and prints nothing.
    EXPECT_EQ(ZTTemplateMerge::merge(QStringLiteral("a{{> noSuchPart}}b"), {}), QStringLiteral("ab"));
}

} // namespace
