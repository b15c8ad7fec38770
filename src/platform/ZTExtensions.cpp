#include "ZTExtensions.h"

#include "Clock.h"
#include "ZTLog.h"

#include <QTimeZone>

bool isBlank(const QString &text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

QString stringWithStrippedNewlines(const QString &text)
{
    QString result = text;
    result.remove(QLatin1Char('\n'));
    result.remove(QLatin1Char('\r'));
    return result;
}

QString stringWithNewlinesReplacedBySpaces(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('\n'), QLatin1Char(' '));
    result.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return result;
}

QString stringWithCapitalizedFirstLetter(const QString &text)
{
    if (text.size() < 2) {
        // Each word capitalised; with fewer than two characters that is the text upper-cased.
        return text.toUpper();
    }
    return text.left(1).toUpper() + text.mid(1);
}

QString stringByStrippingCharactersOtherThan(const QString &text, const QString &allowed)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (allowed.contains(c))
            result.append(c);
    }
    return result;
}

QString longestMatchFrom(const QString &prefix, const QStringList &candidates)
{
    QString match;
    for (const QString &candidate : candidates) {
        if (candidate.size() >= prefix.size() && QStringView(candidate).left(prefix.size()) == prefix)
            match = candidate;
    }
    return match;
}

QString polishNumeralDeclination(unsigned long long value, const QString &one,
                                 const QString &lessThanFive, const QString &other)
{
    if (value == 1)
        return one;
    const unsigned long long lastDigit = value % 10;
    const unsigned long long lastTwo = value % 100;
    if (lastDigit >= 2 && lastDigit <= 4 && !(lastTwo >= 12 && lastTwo <= 14))
        return lessThanFive;
    return other;
}

QString dativeCaseMonthNameWithInteger(int month)
{
    ZT_ASSERT_TEXT(month > 0 && month < 13, "month > 0 && month < 13");
    static const char *const names[] = {"styczniu", "lutym",    "marcu",    "kwietniu",
                                        "maju",     "czerwcu",  "lipcu",    "sierpniu",
                                        "wrześniu", "październiku", "listopadzie", "grudniu"};
    return QString::fromUtf8(names[month - 1]);
}

QVariant nullMarker()
{
    return QVariant::fromValue(nullptr);
}

bool isNullMarker(const QVariant &value)
{
    return value.metaType().id() == QMetaType::Nullptr;
}

QVariant nullForNil(const QVariant &value)
{
    if (!value.isValid())
        return nullMarker();
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value.toString().isNull() ? nullMarker() : value;
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? value : nullMarker();
    case QMetaType::QDate:
        return value.toDate().isValid() ? value : nullMarker();
    default:
        return value;
    }
}

int currentMonth()
{
    return Clock::now().date().month();
}

int currentYear()
{
    return Clock::now().date().year();
}

GregorianComponents gregorianComponents(const QDateTime &date)
{
    const QDate d = date.toLocalTime().date();
    return {d.year(), d.month(), d.day()};
}

bool isSameDay(const QDateTime &a, const QDateTime &b)
{
    return a.toLocalTime().date() == b.toLocalTime().date();
}

int seconds(const QDateTime &date) { return date.toLocalTime().time().second(); }
int minutes(const QDateTime &date) { return date.toLocalTime().time().minute(); }
int hours(const QDateTime &date) { return date.toLocalTime().time().hour(); }
int day(const QDateTime &date) { return date.toLocalTime().date().day(); }
int month(const QDateTime &date) { return date.toLocalTime().date().month(); }
int year(const QDateTime &date) { return date.toLocalTime().date().year(); }

int weekday(const QDateTime &date)
{
    // Qt counts Monday 1 … Sunday 7; the calendar convention here is Sunday 1 … Saturday 7.
    return date.toLocalTime().date().dayOfWeek() % 7 + 1;
}

int weekdayOrdinal(const QDateTime &date)
{
    return (day(date) - 1) / 7 + 1;
}

int era(const QDateTime &date)
{
    return year(date) > 0 ? 1 : 0;
}

QDateTime dateWithYear(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime);
}

QDateTime startOfDay(const QDateTime &date)
{
    return date.toLocalTime().date().startOfDay(Qt::LocalTime);
}

QDateTime startOfMonth(const QDateTime &date)
{
    const QDate d = date.toLocalTime().date();
    return QDate(d.year(), d.month(), 1).startOfDay(Qt::LocalTime);
}

QDateTime startOfYear(const QDateTime &date)
{
    return QDate(date.toLocalTime().date().year(), 1, 1).startOfDay(Qt::LocalTime);
}

QDateTime addingDays(const QDateTime &date, int days)
{
    // Calendar days: the wall-clock time stays across a daylight-saving change.
    return date.toLocalTime().addDays(days);
}

QDateTime addingMonths(const QDateTime &date, int months)
{
    return date.toLocalTime().addMonths(months);
}

QDateTime addingYears(const QDateTime &date, int years)
{
    return date.toLocalTime().addYears(years);
}
