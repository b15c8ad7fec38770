#pragma once

struct sqlite3;

// The SQL functions and collations generated queries rely on, registered on every connection:
// zt_match(text, pattern, op, options) with TextMatcher, the collation that orders decimal text
// numerically, and the case-insensitive text collation. Each agrees with its in-memory twin.
class SqliteFunctions
{
public:
    static bool registerAll(sqlite3 *db);
};
