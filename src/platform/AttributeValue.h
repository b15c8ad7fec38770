#pragma once

#include "Decimal.h"
#include "StoreModel.h"

#include <QMetaType>
#include <QVariant>

#include <optional>


// Conversions of attribute values between the forms callers use, the one canonical form kept
// in objects, and the form stored in SQLite; and the one ordering used both in memory and in SQL.
class AttributeValue
{
public:
    // The canonical form of a value: QString, qlonglong, bool, Decimal, QDateTime (local time)
    // or double; an invalid QVariant stands for "empty". Returns nullopt when the value cannot
    // be taken as that type (e.g. "abc" for a decimal). Decimals are accepted as Decimal, as
    // integers and as decimal text, never as binary floating point.
    static std::optional<QVariant> canonical(AttributeType type, const QVariant &value);

    // Stored form: text for strings and decimals, integers for integers, booleans (0/1) and
    // dates (UTC milliseconds), real numbers for doubles, null for empty.
    static QVariant toStorage(AttributeType type, const QVariant &canonicalValue);
    static QVariant fromStorage(AttributeType type, const QVariant &stored);

    // Ordering of two canonical values of one type; nullopt when either is empty.
    static std::optional<int> compare(AttributeType type, const QVariant &a, const QVariant &b,
                                      bool caseInsensitive = false);
    // Sort order: empty values before every other value, then compare().
    static int sortCompare(AttributeType type, const QVariant &a, const QVariant &b, bool caseInsensitive);

    static Decimal toDecimal(const QVariant &canonicalValue); // 0 for empty

    // Collation names registered on every store connection, used by generated SQL.
    static const char *decimalCollation();   // orders decimal text numerically
    static const char *caseInsensitiveCollation(); // orders text ignoring case
    static int compareStrings(const QString &a, const QString &b, bool caseInsensitive);
};
