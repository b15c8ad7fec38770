#include "SqliteFunctions.h"

#include "AttributeValue.h"
#include "TextMatcher.h"

#include <sqlite3.h>

namespace {

QString textArgument(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void matchFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 4 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    const auto op = static_cast<StringMatch>(sqlite3_value_int(argv[2]));
    const int options = sqlite3_value_int(argv[3]);
    sqlite3_result_int(context, TextMatcher::matches(textArgument(argv[0]), textArgument(argv[1]), op, options) ? 1 : 0);
}

QString collationText(int length, const void *data)
{
    return QString::fromUtf8(static_cast<const char *>(data), length);
}

int decimalCollation(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    Decimal da;
    Decimal db;
    const bool okA = Decimal::tryParse(collationText(lengthA, a), &da);
    const bool okB = Decimal::tryParse(collationText(lengthB, b), &db);
    if (!okA || !okB) // text that is no number sorts after numbers, by its characters
        return okA != okB ? (okA ? -1 : 1) : AttributeValue::compareStrings(collationText(lengthA, a), collationText(lengthB, b), false);
    const auto c = da <=> db;
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int caseInsensitiveCollation(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return AttributeValue::compareStrings(collationText(lengthA, a), collationText(lengthB, b), true);
}

} // namespace

bool SqliteFunctions::registerAll(sqlite3 *db)
{
    return sqlite3_create_function_v2(db, "zt_match", 4, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, matchFunction,
                                      nullptr, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_collation_v2(db, AttributeValue::decimalCollation(), SQLITE_UTF8, nullptr, decimalCollation,
                                       nullptr) == SQLITE_OK &&
           sqlite3_create_collation_v2(db, AttributeValue::caseInsensitiveCollation(), SQLITE_UTF8, nullptr,
                                       caseInsensitiveCollation, nullptr) == SQLITE_OK;
}
