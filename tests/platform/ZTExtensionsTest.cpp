#include "platform/Clock.h"
#include "platform/ZTExtensions.h"
#include "platform/ZTLog.h"

#include <gtest/gtest.h>

TEST(ZTExtensions, PolishNumeralDeclination)
{
    const QString one = QStringLiteral("dokument"), few = QStringLiteral("dokumenty"),
                  many = QStringLiteral("dokumentów");
    const struct { unsigned long long n; const QString &expected; } cases[] = {
        {0, many},  {1, one},   {2, few},   {3, few},   {4, few},   {5, many},  {11, many},
        {12, many}, {13, many}, {14, many}, {15, many}, {21, many}, {22, few},  {24, few},
        {25, many}, {31, many}, {101, many}, {102, few}, {104, few}, {111, many}, {112, many},
        {114, many}, {122, few}, {1000, many}, {1002, few}, {1012, many},
    };
    for (const auto &c : cases)
        EXPECT_EQ(polishNumeralDeclination(c.n, one, few, many), c.expected) << c.n;
}

TEST(ZTExtensions, DativeMonthNames)
{
    EXPECT_EQ(dativeCaseMonthNameWithInteger(1), QStringLiteral("styczniu"));
    EXPECT_EQ(dativeCaseMonthNameWithInteger(2), QStringLiteral("lutym"));
    EXPECT_EQ(dativeCaseMonthNameWithInteger(9), QStringLiteral("wrześniu"));
    EXPECT_EQ(dativeCaseMonthNameWithInteger(10), QStringLiteral("październiku"));
    EXPECT_EQ(dativeCaseMonthNameWithInteger(11), QStringLiteral("listopadzie"));
    EXPECT_EQ(dativeCaseMonthNameWithInteger(12), QStringLiteral("grudniu"));
    QStringList log;
    ZTLog::setSink([&](const QString &line) { log << line; });
    for (int bad : {0, 13, -1})
        EXPECT_THROW(dativeCaseMonthNameWithInteger(bad), InternalConsistencyError) << bad;
    ZTLog::setSink({});
    ASSERT_EQ(log.size(), 3);
    EXPECT_TRUE(log.first().endsWith(QStringLiteral("ASSERT [month > 0 && month < 13]")));
}

TEST(ZTExtensions, StringHelpers)
{
    EXPECT_TRUE(isBlank(QString()));
    EXPECT_TRUE(isBlank(QStringLiteral(" \t\n")));
    EXPECT_FALSE(isBlank(QStringLiteral(" x ")));
    EXPECT_EQ(stringWithStrippedNewlines(QStringLiteral("a\r\nb\nc\r")), QStringLiteral("abc"));
    EXPECT_EQ(stringWithNewlinesReplacedBySpaces(QStringLiteral("a\r\nb")), QStringLiteral("a  b"));
    EXPECT_EQ(stringWithCapitalizedFirstLetter(QStringLiteral("łódź sp. z o.o.")),
              QStringLiteral("Łódź sp. z o.o."));
    EXPECT_EQ(stringWithCapitalizedFirstLetter(QStringLiteral("a")), QStringLiteral("A"));
    EXPECT_EQ(stringWithCapitalizedFirstLetter(QString()), QString());
    EXPECT_EQ(stringByStrippingCharactersOtherThan(QStringLiteral("PL 123-456-32-18"), QStringLiteral("0123456789")),
              QStringLiteral("1234563218"));

    const QStringList titles = {QStringLiteral("23% "), QStringLiteral("8% obniżona"), QStringLiteral("8% x"),
                                QStringLiteral("zw")};
    EXPECT_EQ(longestMatchFrom(QStringLiteral("8"), titles), QStringLiteral("8% x")); // the last match
    EXPECT_EQ(longestMatchFrom(QStringLiteral("z"), titles), QStringLiteral("zw"));
    EXPECT_TRUE(longestMatchFrom(QStringLiteral("Z"), titles).isNull()); // case-sensitive
    EXPECT_TRUE(longestMatchFrom(QStringLiteral("zwx"), titles).isNull());
}

TEST(ZTExtensions, NullForNil)
{
    EXPECT_TRUE(isNullMarker(nullForNil(QVariant())));
    EXPECT_TRUE(isNullMarker(nullForNil(QVariant(QString()))));
    EXPECT_TRUE(isNullMarker(nullForNil(QVariant(QDateTime()))));
    EXPECT_EQ(nullForNil(QVariant(QStringLiteral(""))), QVariant(QStringLiteral("")));
    EXPECT_EQ(nullForNil(QVariant(0)), QVariant(0));
    EXPECT_FALSE(isNullMarker(QVariant(false)));
}

TEST(ZTExtensions, CalendarHelpersUseTheLocalDay)
{
    // Late evening UTC on 31 December is already 1 January in Warsaw.
    const QDateTime utc(QDate(2025, 12, 31), QTime(23, 30), Qt::UTC);
    const GregorianComponents c = gregorianComponents(utc);
    EXPECT_EQ(c.year, 2026);
    EXPECT_EQ(c.month, 1);
    EXPECT_EQ(c.day, 1);
    EXPECT_TRUE(isSameDay(utc, dateWithYear(2026, 1, 1, 12)));
    EXPECT_FALSE(isSameDay(utc, dateWithYear(2025, 12, 31, 12)));

    const QDateTime d = dateWithYear(2026, 3, 29, 14, 5, 9); // a Sunday, the day clocks go forward
    EXPECT_EQ(weekday(d), 1);
    EXPECT_EQ(weekdayOrdinal(d), 5);
    EXPECT_EQ(hours(d), 14);
    EXPECT_EQ(minutes(d), 5);
    EXPECT_EQ(seconds(d), 9);
    EXPECT_EQ(era(d), 1);
    EXPECT_EQ(startOfDay(d), dateWithYear(2026, 3, 29));
    EXPECT_EQ(startOfMonth(d), dateWithYear(2026, 3, 1));
    EXPECT_EQ(startOfYear(d), dateWithYear(2026, 1, 1));
    EXPECT_EQ(addingDays(dateWithYear(2026, 3, 28, 12), 1), dateWithYear(2026, 3, 29, 12)); // 23 hours later
    EXPECT_EQ(addingMonths(dateWithYear(2026, 1, 31), 1), dateWithYear(2026, 2, 28));
    EXPECT_EQ(addingYears(dateWithYear(2024, 2, 29), 1), dateWithYear(2025, 2, 28));

    Clock::setFixedNow(QDateTime(QDate(2026, 12, 31), QTime(23, 30), Qt::UTC));
    EXPECT_EQ(currentYear(), 2027);
    EXPECT_EQ(currentMonth(), 1);
    Clock::reset();
    EXPECT_FALSE(Clock::isFixed());
}
