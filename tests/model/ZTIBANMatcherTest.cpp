#include "model/ZTIBANMatcher.h"

#include <gtest/gtest.h>

TEST(ZTIBANMatcher, TheSortCodeAfterTheCheckDigitsNamesTheBank)
{
    const struct
    {
        const char *account;
        const char16_t *bank;
        bool isNull;
    } cases[] = {
        {"PL61 1090 1014 0000 0712 1981 2874", u"Santander Bank Polska", false},
        {"12 1020 1026 0000 0002 0313 0706", u"PKO Bank Polski", false},
        {"27114020040000300201355387", u"mBank", false},
        {"76 1050-1025-1000-0090-3011-2345", u"ING Bank Śląski", false},
        {"85 1240 2034 1111 0010 1234 5678", u"Bank Pekao", false},
        {"41 1160 2202 0000 0000 1234 5678", u"Bank Millennium", false},
        {"12 1020", u"PKO Bank Polski", false}, // five digits are enough
        {"61 999", u"", true},                  // no bank of that code
        {"61 10", u"", false},                  // too short to tell
        {"", u"", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.account);
        const QString name = ZTIBANMatcher::nameForIBANPrefix(QString::fromUtf8(c.account));
        EXPECT_EQ(name, QString::fromUtf16(c.bank));
        EXPECT_EQ(name.isNull(), c.isNull);
    }
}
