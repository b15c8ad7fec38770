#include "platform/Decimal.h"

#include <gtest/gtest.h>

namespace {

Decimal D(const char *text)
{
    return Decimal::parse(QString::fromLatin1(text));
}

struct BinaryCase
{
    const char *a;
    char op;
    const char *b;
    const char *expected;
};

Decimal apply(const BinaryCase &c)
{
    const Decimal a = D(c.a), b = D(c.b);
    switch (c.op) {
    case '+': return a + b;
    case '-': return a - b;
    case '*': return a * b;
    default: return a / b;
    }
}

} // namespace

TEST(Decimal, StandardRoundingIsFourPlacesHalfAwayFromZero)
{
    const BinaryCase cases[] = {
        {"2.00005", '+', "0", "2.0001"},
        {"-2.00005", '+', "0", "-2.0001"},
        {"2.00004999", '+', "0", "2"},
        {"10", '/', "1.08", "9.2593"},
        {"1", '/', "3", "0.3333"},
        {"2", '/', "3", "0.6667"},
        {"-2", '/', "3", "-0.6667"},
        {"0.00005", '*', "1", "0.0001"},
        {"0.00004", '*', "1", "0"},
        {"-0.00005", '*', "1", "-0.0001"},
        {"123.45", '*', "0.23", "28.3935"},
        {"100", '*', "1.23", "123"},
        {"0.1", '+', "0.2", "0.3"},
        {"1", '-', "1.0001", "-0.0001"},
        {"99999999999.9999", '+', "0.0001", "100000000000"},
        {"1.5", '*', "-1.5", "-2.25"},
        {"7", '/', "-2", "-3.5"},
        {"0.0001", '/', "2", "0.0001"},   // 0.00005 rounds away from zero
        {"-0.0001", '/', "2", "-0.0001"},
        {"1000000", '/', "7", "142857.1429"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.op + " " + c.b);
        EXPECT_EQ(apply(c).toString(), QString::fromLatin1(c.expected));
    }
}

TEST(Decimal, NamedRoundings)
{
    struct Case { const char *value; Rounding rounding; const char *expected; } cases[] = {
        {"2.345", Rounding::money(), "2.35"},
        {"-2.345", Rounding::money(), "-2.35"},
        {"2.3449", Rounding::money(), "2.34"},
        {"0.0555", Rounding::rate(), "0.056"},
        {"2.345", {2, RoundingMode::HalfEven}, "2.34"},
        {"2.355", {2, RoundingMode::HalfEven}, "2.36"},
        {"2.3451", {2, RoundingMode::HalfEven}, "2.35"},
        {"2.341", {2, RoundingMode::Up}, "2.35"},
        {"-2.341", {2, RoundingMode::Up}, "-2.34"},
        {"2.349", {2, RoundingMode::Down}, "2.34"},
        {"-2.341", {2, RoundingMode::Down}, "-2.35"},
        {"-2.349", {2, RoundingMode::TowardZero}, "-2.34"},
        {"1.5", {0, RoundingMode::HalfAwayFromZero}, "2"},
        {"-1.5", {0, RoundingMode::HalfAwayFromZero}, "-2"},
        {"12.5", {2, RoundingMode::HalfAwayFromZero}, "12.5"}, // never gains places
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(D(c.value).rounded(c.rounding).toString(), QString::fromLatin1(c.expected));
    }
    // A named rounding also applies to arithmetic results.
    EXPECT_EQ(D("10").divide(D("3"), Rounding::money()).toString(), QStringLiteral("3.33"));
    EXPECT_EQ(D("0.055").multiply(D("1"), Rounding::rate()).toString(), QStringLiteral("0.055"));
    EXPECT_EQ(D("5.5").divide(D("100"), Rounding::rate()).toString(), QStringLiteral("0.055"));
}

TEST(Decimal, ParseAndFormatWithoutBinaryFloatingPoint)
{
    struct Case { const char *text; const char *plain; const char *two; } cases[] = {
        {"0", "0", "0.00"},
        {"-0", "0", "0.00"},
        {"1234.5", "1234.5", "1234.50"},
        {"1234,50", "1234.5", "1234.50"},
        {"  -0.0001 ", "-0.0001", "0.00"},
        {"+7", "7", "7.00"},
        {".5", "0.5", "0.50"},
        {"5.", "5", "5.00"},
        {"1e3", "1000", "1000.00"},
        {"2.5E-2", "0.025", "0.03"},
        {"-0.005", "-0.005", "-0.01"},
        {"0.1000000000000000000000000000000000000000000", "0.1", "0.10"},
        {"12345678901234567890123456789012345678", "12345678901234567890123456789012345678",
         "12345678901234567890123456789012345678"},
        {"0.30000000000000000000000000000000000001", "0.30000000000000000000000000000000000001", "0.30"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const Decimal d = D(c.text);
        EXPECT_EQ(d.toString(), QString::fromLatin1(c.plain));
        EXPECT_EQ(d.toString(2), QString::fromLatin1(c.two));
    }
    for (const char *bad : {"", " ", "abc", "1.2.3", "1,2,3", "12a", "--1", "1e", "e5", "1e+",
                            "123456789012345678901234567890123456789" /* 39 digits */}) {
        SCOPED_TRACE(bad);
        Decimal out = D("42");
        EXPECT_FALSE(Decimal::tryParse(QString::fromLatin1(bad), &out));
        EXPECT_EQ(out, D("42")) << "a refused text must leave the target alone";
    }
}

TEST(Decimal, ComparisonIsNumeric)
{
    EXPECT_EQ(D("1.50"), D("1.5"));
    EXPECT_EQ(D("0.000"), D("0"));
    EXPECT_LT(D("-2"), D("-1.9999"));
    EXPECT_GT(D("0.0001"), D("0"));
    EXPECT_LT(D("99999999999999999999"), D("100000000000000000000.0001"));
    EXPECT_EQ(qHash(D("1.50")), qHash(D("1.5")));
    EXPECT_TRUE(D("3.000").isInteger());
    EXPECT_FALSE(D("3.001").isInteger());
    EXPECT_EQ(D("-12.99").toLongLong(), -12);
}

TEST(Decimal, OverflowAndDivisionByZeroAreErrors)
{
    const Decimal big = D("99999999999999999999999999999999999999"); // 38 nines
    auto kindOf = [](auto &&work) {
        try {
            work();
        } catch (const DecimalError &e) {
            return static_cast<int>(e.kind());
        }
        return -1;
    };
    const int overflowKind = static_cast<int>(DecimalError::Kind::Overflow);
    const int byZeroKind = static_cast<int>(DecimalError::Kind::DivisionByZero);
    EXPECT_EQ(kindOf([&] { (void)(big + Decimal(1)); }), overflowKind);
    EXPECT_EQ(kindOf([&] { (void)(big * Decimal(10)); }), overflowKind);
    EXPECT_EQ(kindOf([&] { (void)(D("1e30") * D("1e30")); }), overflowKind);
    EXPECT_EQ(kindOf([&] { (void)(Decimal(1) / D("0.00000000000000000000000000000000000001")); }), overflowKind);
    EXPECT_EQ(kindOf([&] { (void)(Decimal(1) / Decimal(0)); }), byZeroKind);
    EXPECT_EQ(kindOf([&] { (void)(Decimal(0) / D("0.000")); }), byZeroKind);
    // The largest values that fit still compute exactly.
    EXPECT_EQ((big - Decimal(1)).toString(), QStringLiteral("99999999999999999999999999999999999998"));
    EXPECT_EQ((D("1e33") * D("1.0001")).toString(), QStringLiteral("1000100000000000000000000000000000"));
}

TEST(Decimal, WideIntermediatesStayExact)
{
    // Products and aligned sums wider than 128 bits round exactly.
    EXPECT_EQ((D("12345678901234567890.12345678") * D("98765432109.87654321")).toString(),
              QStringLiteral("1219326311370217952249657063334.8575"));
    EXPECT_EQ((D("1234567890123456789012345678.9") + D("0.00000000000000000000000000005")).toString(),
              QStringLiteral("1234567890123456789012345678.9"));
    // Divisors wider than 64 bits take the long-division path.
    EXPECT_EQ((D("1") / D("123456789012345678901.23")).toString(), QStringLiteral("0"));
    EXPECT_EQ((D("1e30") / D("123456789012345678901.23")).toString(), QStringLiteral("8100000072.9"));
    EXPECT_EQ((D("-1e30") / D("123456789012345678901.23")).toString(), QStringLiteral("-8100000072.9"));
}

TEST(Decimal, ScalingByPowersOfTen)
{
    EXPECT_EQ(D("0.23").scaledByPowerOf10(2).toString(), QStringLiteral("23"));
    EXPECT_EQ(D("23").scaledByPowerOf10(-2).toString(), QStringLiteral("0.23"));
    EXPECT_EQ(D("5.5").scaledByPowerOf10(-2).toString(), QStringLiteral("0.055"));
    EXPECT_EQ(D("-1.5").scaledByPowerOf10(3).toString(), QStringLiteral("-1500"));
}
