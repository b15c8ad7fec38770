#pragma once

#include <QString>

// The bank of a Polish account number, from the bank table resource "accountMap": the first
// three digits of the sort code (after the two check digits) name the bank.
class ZTIBANMatcher
{
public:
    // Only the digits of the text count. Fewer than 5 digits give an empty name; a prefix the
    // table does not know gives a null one.
    static QString nameForIBANPrefix(const QString &accountNumber);
};
