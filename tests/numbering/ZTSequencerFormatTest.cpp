#include "numbering/ZTFormatToken.h"
#include "numbering/ZTSequencerFormat.h"
#include "platform/Clock.h"
#include "platform/ZTLog.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QDate kMarch9 = QDate(2026, 3, 9);

struct BuildCase
{
    const char *format;
    qint64 value;
    QDate date;
    const char *expected;
};

} // namespace

TEST(ZTSequencerFormatTest, BuildsNumbersFromTokensAndLiteralText)
{
    const BuildCase cases[] = {
        {"%n", 12, kMarch9, "12"},
        {"FV/%n/%m/%Y", 12, kMarch9, "FV/12/3/2026"},
        {"%3n/%2m/%y", 12, kMarch9, "012/03/26"},
        {"%d.%2d", 12, kMarch9, "9.09"},
        {"%n%n-%Y%y", 12, kMarch9, "1212-202626"},
        {"%Yn", 12, kMarch9, "2026n"},
        // Width: one digit pads; 0 and 1 print plainly; padding never cuts digits off.
        {"%0n", 7, kMarch9, "7"},
        {"%1n", 12, kMarch9, "12"},
        {"%9n", 12, kMarch9, "000000012"},
        {"%2n", 123, kMarch9, "123"},
        {"%3n", 0, kMarch9, "000"},
        {"%5y", 12, kMarch9, "00026"},
        {"%2y", 1, QDate(2005, 1, 2), "05"},
        {"%y", 1, QDate(2005, 1, 2), "5"},
        {"%y", 1, QDate(2100, 1, 2), "0"},
        // Two width digits: the token stays as written, and the rest is still expanded.
        {"%12n", 12, kMarch9, "%12n"},
        {"A%12nB%n", 12, kMarch9, "A%12nB12"},
        {"%123n", 12, kMarch9, "%123n"},
        // A "%" that starts no token is literal.
        {"%%n", 5, kMarch9, "%5"},
        {"%x/%n", 5, kMarch9, "%x/5"},
        {"100%", 5, kMarch9, "100%"},
        {"%", 5, kMarch9, "%"},
        {"%N", 5, kMarch9, "%N"},
        // Without tokens every number is the same.
        {"FAKTURA", 5, kMarch9, "FAKTURA"},
        {"", 5, kMarch9, ""},
        {"Zażółć %n", 3, kMarch9, "Zażółć 3"},
        // The sequence value is printed as a 32-bit integer.
        {"%n", (qint64(1) << 32) + 13, kMarch9, "13"},
    };
    for (const BuildCase &c : cases) {
        const QString format = QString::fromUtf8(c.format);
        SCOPED_TRACE(c.format);
        EXPECT_EQ(ZTSequencerFormat(format).buildNumber(c.date, c.value), QString::fromUtf8(c.expected));
    }
}

TEST(ZTSequencerFormatTest, ReadsTheIssueInstantOnTheLocalCalendarDay)
{
    // 23:30 UTC on New Year's Eve is already the next year in Warsaw.
    const QDateTime instant(QDate(2026, 12, 31), QTime(23, 30), QTimeZone::utc());
    EXPECT_EQ(ZTSequencerFormat(QStringLiteral("%n/%2d/%2m/%Y")).buildNumber(instant, 1),
              QStringLiteral("1/01/01/2027"));
}

TEST(ZTSequencerFormatTest, TokenTextOfSingleTokens)
{
    EXPECT_EQ(ZTSequencerFormat::tokenText(QStringLiteral("%4n"), kMarch9, 42), QStringLiteral("0042"));
    EXPECT_EQ(ZTSequencerFormat::tokenText(QStringLiteral("%Y"), kMarch9, 42), QStringLiteral("2026"));
    EXPECT_EQ(ZTSequencerFormat::tokenText(QStringLiteral("%12n"), kMarch9, 42), QStringLiteral("%12n"));

    QStringList lines;
    ZTLog::setSink([&lines](const QString &line) { lines.append(line); });
    const QString text = ZTSequencerFormat::tokenText(QStringLiteral("n"), kMarch9, 42);
    ZTLog::setSink(nullptr);
    EXPECT_TRUE(text.isEmpty());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("Wrong sequencer format n"))) << lines.first().toStdString();
}

TEST(ZTSequencerFormatTest, LeadingTokenPatternOnlyMatchesAtTheStart)
{
    EXPECT_TRUE(ZTSequencerFormat::leadingTokenPattern().match(QStringLiteral("%3n/FV")).hasMatch());
    EXPECT_FALSE(ZTSequencerFormat::leadingTokenPattern().match(QStringLiteral("FV/%3n")).hasMatch());
    EXPECT_FALSE(ZTSequencerFormat::leadingTokenPattern().match(QStringLiteral("%%n")).hasMatch());
}

TEST(ZTSequencerValidationTest, NameAndFormatMustNotBeBlank)
{
    struct Check
    {
        bool (*validate)(const QString &, Error &);
        const char *message;
    };
    const Check checks[] = {
        {&ZTSequencerFormat::validateName, "Numeracja musi nosić nazwę"},
        {&ZTSequencerFormat::validateFormat, "Format nie może być pusty"},
    };
    for (const Check &check : checks) {
        SCOPED_TRACE(check.message);
        for (const QString &blank : {QString(), QStringLiteral("   "), QStringLiteral("\t\n ")}) {
            Error error;
            EXPECT_FALSE(check.validate(blank, error));
            EXPECT_EQ(error.message(), QString::fromUtf8(check.message));
            EXPECT_EQ(error.domain(), Error::applicationDomain());
            EXPECT_EQ(error.code(), 0);
        }
        Error error;
        EXPECT_TRUE(check.validate(QStringLiteral(" FV/%n "), error));
        EXPECT_TRUE(error.isNull());
    }
}

TEST(ZTSequencerValidationTest, NextValueMustBeDigitsAndNotZero)
{
    const QString invalid = QStringLiteral("Numer jest nieprawidłowy");
    const QString zero = QStringLiteral("Następny numer musi być większy od zera");
    const struct
    {
        const char *text;
        QString message; // empty: accepted
    } cases[] = {
        {"1", {}},
        {"100", {}},
        {"007", {}},
        {"99999999999999999999999999", {}}, // too long for any integer, still not zero
        {"0", zero},
        {"000", zero},
        {"1a", invalid},
        {"", invalid},
        {"-1", invalid},
        {"1.5", invalid},
        {" 1", invalid},
        {"1 2", invalid},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        Error error;
        const bool valid = ZTSequencerFormat::validateNextValue(QString::fromUtf8(c.text), error);
        EXPECT_EQ(valid, c.message.isEmpty());
        EXPECT_EQ(error.message(), c.message);
        if (!valid) {
            EXPECT_EQ(error.domain(), Error::applicationDomain());
            EXPECT_EQ(error.code(), 0);
        }
    }
}

TEST(ZTSequencerPeriodTest, YearlyAndMonthlyPeriodsInLocalTime)
{
    const QDateTime midMarch(kMarch9, QTime(12, 0));
    const struct
    {
        QDateTime date;
        bool monthly;
        QDateTime start;
        QDateTime end;
    } cases[] = {
        {midMarch, false, QDateTime(QDate(2026, 1, 1), QTime(0, 0)), QDateTime(QDate(2027, 1, 1), QTime(0, 0))},
        {midMarch, true, QDateTime(QDate(2026, 3, 1), QTime(0, 0)), QDateTime(QDate(2026, 4, 1), QTime(0, 0))},
        {QDateTime(QDate(2026, 12, 31), QTime(23, 59)), true, QDateTime(QDate(2026, 12, 1), QTime(0, 0)),
         QDateTime(QDate(2027, 1, 1), QTime(0, 0))},
        // In UTC still 2026, in Warsaw already 2027.
        {QDateTime(QDate(2026, 12, 31), QTime(23, 30), QTimeZone::utc()), false,
         QDateTime(QDate(2027, 1, 1), QTime(0, 0)), QDateTime(QDate(2028, 1, 1), QTime(0, 0))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString() + (c.monthly ? " monthly" : " yearly"));
        const ZTSequencerPeriod period = ZTSequencerPeriod::containing(c.date, c.monthly);
        EXPECT_EQ(period.start, c.start);
        EXPECT_EQ(period.end, c.end);
        EXPECT_TRUE(period.contains(c.date));
        EXPECT_TRUE(period.contains(c.start));
        EXPECT_FALSE(period.contains(c.end));
        EXPECT_FALSE(period.contains(c.start.addMSecs(-1)));
    }
}

class ZTSequencerTokenTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setFixedNow(QDateTime(kMarch9, QTime(10, 0))); }
    void TearDown() override { Clock::reset(); }
};

TEST_F(ZTSequencerTokenTest, EachLetterHasItsTokenWithTodaysExample)
{
    const struct
    {
        const char *symbol;
        const char *displayName;
        qint64 currentValue;
        QList<int> paddings;
    } cases[] = {
        {"n", "Numer kolejny", 1, {2, 3, 4, 5}},
        {"d", "Dzień", 9, {2}},
        {"m", "Miesiąc", 3, {2}},
        {"y", "Rok", 26, {2}},
        {"Y", "Pełny rok", 2026, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.symbol);
        const std::unique_ptr<ZTFormatToken> token = ZTFormatToken::newForSymbol(QString::fromUtf8(c.symbol));
        ASSERT_TRUE(token);
        EXPECT_EQ(token->symbol(), QString::fromUtf8(c.symbol));
        EXPECT_EQ(token->displayName(), QString::fromUtf8(c.displayName));
        EXPECT_EQ(token->currentValue(), c.currentValue);
        EXPECT_EQ(token->availablePaddings(), c.paddings);
        EXPECT_EQ(token->fixedLength(), 0);
        EXPECT_FALSE(token->menuEnabled());
    }
    for (const QString &other : {QStringLiteral("x"), QStringLiteral("N"), QStringLiteral("2"), QString()})
        EXPECT_FALSE(ZTFormatToken::newForSymbol(other)) << other.toStdString();
}

TEST_F(ZTSequencerTokenTest, TokenFromFormatReadsWidthAndWritesItBack)
{
    const struct
    {
        const char *text;
        const char *symbol;
        int fixedLength;
        bool menu;
        const char *written;     // symbolWithPadding
        const char *displayName; // displayNameWithFixedLength
        const char *example;     // valueWithPadding
    } cases[] = {
        {"%n", "n", 0, true, "%n", "Numer kolejny", "1"},
        {"%3n", "n", 3, true, "%3n", "Numer kolejny (3c)", "001"},
        {"%1n", "n", 1, true, "%n", "Numer kolejny", "1"},
        {"%2d", "d", 2, true, "%2d", "Dzień (2c)", "09"},
        {"%m", "m", 0, true, "%m", "Miesiąc", "3"},
        {"%5y", "y", 5, true, "%5y", "Rok (5c)", "00026"},
        {"%Y", "Y", 0, false, "%Y", "Pełny rok", "2026"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const std::unique_ptr<ZTFormatToken> token = ZTFormatToken::tokenFromFormat(QString::fromUtf8(c.text));
        ASSERT_TRUE(token);
        EXPECT_EQ(token->symbol(), QString::fromUtf8(c.symbol));
        EXPECT_EQ(token->fixedLength(), c.fixedLength);
        EXPECT_EQ(token->menuEnabled(), c.menu);
        EXPECT_EQ(token->symbolWithPadding(), QString::fromUtf8(c.written));
        EXPECT_EQ(token->displayNameWithFixedLength(), QString::fromUtf8(c.displayName));
        EXPECT_EQ(token->valueWithPadding(), QString::fromUtf8(c.example));
    }
    // What the number builder leaves literal is no token either.
    for (const char *text : {"%12n", "%x", "n", "%", "", "3n"})
        EXPECT_FALSE(ZTFormatToken::tokenFromFormat(QString::fromUtf8(text))) << text;
}

TEST_F(ZTSequencerTokenTest, PaddingOfTheExampleValue)
{
    const std::unique_ptr<ZTFormatToken> day = ZTFormatToken::newForSymbol(QStringLiteral("d"));
    ASSERT_TRUE(day);
    EXPECT_EQ(day->valueWithPadding(0), QStringLiteral("9"));
    EXPECT_EQ(day->valueWithPadding(1), QStringLiteral("9"));
    EXPECT_EQ(day->valueWithPadding(2), QStringLiteral("09"));
    EXPECT_EQ(day->valueWithPadding(4), QStringLiteral("0009"));
    day->setFixedLength(2);
    EXPECT_EQ(day->valueWithPadding(), QStringLiteral("09"));
    EXPECT_EQ(day->symbolWithPadding(), QStringLiteral("%2d"));
    EXPECT_EQ(ZTFormatToken::zeroedPaddingFormatValue(3), QStringLiteral("%03d"));
    EXPECT_EQ(ZTFormatToken::zeroedPaddingFormatValue(12), QStringLiteral("%012d"));
}

TEST_F(ZTSequencerTokenTest, FixedLengthMenuOnlyForTokensWithPaddings)
{
    const std::unique_ptr<ZTFormatToken> number = ZTFormatToken::tokenFromFormat(QStringLiteral("%n"));
    ASSERT_TRUE(number);
    const QList<ZTFormatTokenMenuEntry> expected = {
        {QStringLiteral("Stała ilość cyfr:"), 0, false},
        {QStringLiteral("brak"), 0, true},
        {QStringLiteral("2 cyfry"), 2, true},
        {QStringLiteral("3 cyfry"), 3, true},
        {QStringLiteral("4 cyfry"), 4, true},
        {QStringLiteral("5 cyfr"), 5, true},
    };
    EXPECT_EQ(number->menuEntries(), expected);

    // Created but not enabled, no menu.
    EXPECT_TRUE(ZTFormatToken::newForSymbol(QStringLiteral("n"))->menuEntries().isEmpty());
    // Without paddings enabling changes nothing.
    const std::unique_ptr<ZTFormatToken> fullYear = ZTFormatToken::tokenFromFormat(QStringLiteral("%Y"));
    ASSERT_TRUE(fullYear);
    EXPECT_TRUE(fullYear->menuEntries().isEmpty());

    const std::unique_ptr<ZTFormatToken> plain =
        ZTFormatToken::newWithDisplayName(QStringLiteral("Własny"), QStringLiteral("q"), 7);
    plain->enableMenu();
    EXPECT_FALSE(plain->menuEnabled());
    EXPECT_TRUE(plain->menuEntries().isEmpty());
    EXPECT_EQ(plain->displayName(), QStringLiteral("Własny"));
    EXPECT_EQ(plain->symbolWithPadding(), QStringLiteral("%q"));
    EXPECT_EQ(plain->valueWithPadding(3), QStringLiteral("007"));
}
