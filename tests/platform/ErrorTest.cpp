#include "platform/Error.h"

#include <gtest/gtest.h>

TEST(Error, MessageErrorsUseTheApplicationDomain)
{
    const Error e = Error::withMessage(QStringLiteral("Nie wybrano nabywcy"));
    EXPECT_EQ(e.domain(), QStringLiteral("pl.tolvana.Tolvana.ErrorDomain"));
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(e.userInfo().value(QStringLiteral("message")).toString(), QStringLiteral("Nie wybrano nabywcy"));
    EXPECT_EQ(e.localizedDescription(), QStringLiteral("Nie wybrano nabywcy"));
    EXPECT_FALSE(Error().operator bool());
    EXPECT_TRUE(e.operator bool());
}

TEST(Error, CombiningKeepsOrderAndFlattens)
{
    const Error a = Error::withMessage(QStringLiteral("a"));
    const Error b = Error::withMessage(QStringLiteral("b"));
    const Error c = Error::withMessage(QStringLiteral("c"));
    const Error d = Error::withMessage(QStringLiteral("d"));

    // A missing side gives the other one back unchanged.
    EXPECT_EQ(Error::combined(Error(), a), a);
    EXPECT_EQ(Error::combined(a, Error()), a);
    EXPECT_TRUE(Error::combined(Error(), Error()).isNull());

    const Error ab = Error::combined(a, b);
    EXPECT_EQ(ab.code(), 1560);
    EXPECT_EQ(ab.flatErrorArray(), (QList<Error>{a, b}));

    // Combined errors nest flat, in the order they were added.
    const Error abcd = Error::combined(ab, Error::combined(c, d));
    EXPECT_EQ(abcd.messages(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                            QStringLiteral("d")}));
    EXPECT_EQ(Error::combined(Error::combined(abcd, a), b).flatErrorArray().size(), 6);

    // A plain error's flat list holds just itself.
    EXPECT_EQ(a.flatErrorArray(), QList<Error>{a});
}

TEST(Error, ErrorsWithoutUserInfoAreLeftOutOfACombination)
{
    const Error bare(Error::applicationDomain(), 7);
    const Error a = Error::withMessage(QStringLiteral("a"));
    const Error combined = Error::combined(bare, a);
    EXPECT_EQ(combined.flatErrorArray(), QList<Error>{a});
    EXPECT_EQ(Error::combined(a, bare).flatErrorArray(), QList<Error>{a});
}
