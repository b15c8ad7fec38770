#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

// Small string, date and calendar helpers shared by the whole system. Calendar arithmetic is
// Gregorian in the local time zone.

// --- blank tests and line breaks
bool isBlank(const QString &text);     // empty or only white space
inline bool isNotBlank(const QString &text) { return !isBlank(text); }
QString stringWithStrippedNewlines(const QString &text);           // every LF and CR removed
QString stringWithNewlinesReplacedBySpaces(const QString &text);   // every LF and CR becomes one space
QString stringWithCapitalizedFirstLetter(const QString &text);
QString stringByStrippingCharactersOtherThan(const QString &text, const QString &allowed);
// The last text of the list whose beginning equals `prefix` (case-sensitive); a null string
// when none does.
QString longestMatchFrom(const QString &prefix, const QStringList &candidates);

// --- Polish grammar
// The word form that goes with a count: `one` for 1; `lessThanFive` when the last digit is 2,
// 3 or 4 and the last two digits are not 12, 13 or 14 ("2 dokumenty", "22 dokumenty");
// `other` otherwise ("5 dokumentów", "12 dokumentów", "21 dokumentów").
QString polishNumeralDeclination(unsigned long long value, const QString &one,
                                 const QString &lessThanFive, const QString &other);
// The month's name as used after "w": 1 → "styczniu" … 12 → "grudniu". Any other number is an
// internal consistency failure.
QString dativeCaseMonthNameWithInteger(int month);

// --- the null marker: stands for a missing value in template data and is never left out
QVariant nullMarker();
bool isNullMarker(const QVariant &value);
// The value, or the null marker when there is none (invalid, a null string, an invalid date).
QVariant nullForNil(const QVariant &value);

// --- calendar and dates
struct GregorianComponents
{
    int year = 0;
    int month = 0;
    int day = 0;
};

int currentMonth(); // 1–12, today in the local time zone (the clock may be fixed)
int currentYear();
GregorianComponents gregorianComponents(const QDateTime &date);
bool isSameDay(const QDateTime &a, const QDateTime &b);

int seconds(const QDateTime &date);
int minutes(const QDateTime &date);
int hours(const QDateTime &date);
int day(const QDateTime &date);
int weekday(const QDateTime &date);        // 1 Sunday … 7 Saturday
int weekdayOrdinal(const QDateTime &date); // which occurrence of its weekday in the month, from 1
int month(const QDateTime &date);
int year(const QDateTime &date);
int era(const QDateTime &date);            // 1 for years of the common era, 0 before

QDateTime dateWithYear(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
QDateTime startOfDay(const QDateTime &date);
QDateTime startOfMonth(const QDateTime &date);
QDateTime startOfYear(const QDateTime &date);
QDateTime addingDays(const QDateTime &date, int days);
QDateTime addingMonths(const QDateTime &date, int months);
QDateTime addingYears(const QDateTime &date, int years);
