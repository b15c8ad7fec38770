#include "model/ZTPerson.h"

#include <gtest/gtest.h>

namespace {

struct Outcome
{
    bool valid;
    QString message; // empty: no error handed back
};

Outcome nipString(const QString &nip, bool hard)
{
    Error error;
    const bool valid = ZTPerson::checkNipString(nip, error, hard);
    return {valid, error.message()};
}

const QString kWrong = QStringLiteral("NIP firmy jest błędny");
const QString kMalformed = QStringLiteral("NIP firmy jest nieprawidłowy");

} // namespace

// 123-456-32-18: the weighted sum of the first nine digits is 184, and 184 mod 11 = 8.
TEST(ZTNipCheck, FormsOfTheNumberAndTheCheckDigitSoftAndHard)
{
    const struct
    {
        const char16_t *nip;
        bool softValid;
        const QString softMessage;
        bool hardValid;
        const QString hardMessage;
    } cases[] = {
        {u"1234563218", true, {}, true, {}},
        {u"123-456-32-18", true, {}, true, {}},
        {u"123-45-63-218", true, {}, true, {}},
        {u"PL1234563218", true, {}, true, {}},
        {u"PL 1234563218", true, {}, true, {}},
        {u"PL 123-456-32-18", true, {}, true, {}},
        // A wrong check digit only warns unless the check is hard.
        {u"1234563217", true, kWrong, false, kWrong},
        {u"PL 123-45-63-219", true, kWrong, false, kWrong},
        // Not of the Polish form.
        {u"12345678", false, kMalformed, false, kMalformed},
        {u"123 456 32 18", false, kMalformed, false, kMalformed},
        {u"123-4563-218", false, kMalformed, false, kMalformed},
        {u"PL123456789", false, kMalformed, false, kMalformed},
        {u"pl1234563218", false, kMalformed, false, kMalformed},
        {u"PL  1234563218", false, kMalformed, false, kMalformed},
        {u"", false, kMalformed, false, kMalformed},
        // Two capital letters other than PL and 5 to 15 more characters: another country's.
        {u"DE123456789", true, {}, true, {}},
        {u"CZ12345", true, {}, true, {}},
        {u"CZ1234", false, kMalformed, false, kMalformed},
        {u"GB1234567890123456", false, kMalformed, false, kMalformed},
    };
    for (const auto &c : cases) {
        const QString nip = QString::fromUtf16(c.nip);
        SCOPED_TRACE(nip.toStdString());
        const Outcome soft = nipString(nip, false);
        EXPECT_EQ(soft.valid, c.softValid);
        EXPECT_EQ(soft.message, c.softMessage);
        const Outcome hard = nipString(nip, true);
        EXPECT_EQ(hard.valid, c.hardValid);
        EXPECT_EQ(hard.message, c.hardMessage);
    }
}

// 1,0,0,0,0,0,0,1,6 weigh 6 + 6 + 42 = 54, and 54 mod 11 = 10: no tenth digit can match.
TEST(ZTNipCheck, ARemainderOfTenIsAlwaysWrong)
{
    for (int last = 0; last <= 9; ++last) {
        const QString nip = QStringLiteral("100000016%1").arg(last);
        SCOPED_TRACE(nip.toStdString());
        EXPECT_EQ(nipString(nip, false).message, kWrong);
        EXPECT_FALSE(nipString(nip, true).valid);
    }
}

TEST(ZTNipCheck, EmptyNumberWarnsUnderTheSoftCheckAndFailsTheHardOne)
{
    for (const QVariant &empty : {QVariant(), QVariant(QStringLiteral(""))}) {
        Error soft;
        EXPECT_TRUE(ZTPerson::checkNip(empty, soft));
        EXPECT_EQ(soft.message(), QStringLiteral("NIP firmy nie powinien być pusty"));
        Error hard;
        EXPECT_FALSE(ZTPerson::checkNipHard(empty, hard));
        EXPECT_EQ(hard.message(), kMalformed);
    }
    // Otherwise the two are the text checks.
    Error soft;
    EXPECT_TRUE(ZTPerson::checkNip(QStringLiteral("1234563217"), soft));
    EXPECT_EQ(soft.message(), kWrong);
    Error hard;
    EXPECT_FALSE(ZTPerson::checkNipHard(QStringLiteral("1234563217"), hard));
    EXPECT_EQ(hard.domain(), Error::applicationDomain());
    EXPECT_EQ(hard.code(), 0);
}
