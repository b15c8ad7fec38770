#pragma once

#include <QString>

enum class StringMatch { Like, Contains, BeginsWith, EndsWith };

// Options of a string match, combinable as flags.
enum StringMatchOption : int {
    MatchExact = 0,
    MatchCaseInsensitive = 1,
    MatchDiacriticInsensitive = 2,
};

// String matching shared by predicates in memory and by the SQL function of the store, so that
// both always agree.
class TextMatcher
{
public:
    // Folds text for comparison: case folding and/or removal of diacritics. Letters that do not
    // decompose in Unicode are mapped too ("Ł" → "L"), so "lodz" and "ŁÓDŹ" both fold like "Łódź".
    static QString fold(const QString &text, int options);

    // LIKE matches the whole text, "*" standing for any run of characters and "?" for one.
    static bool matches(const QString &text, const QString &pattern, StringMatch op, int options);

    static bool wildcardMatch(QStringView text, QStringView pattern);
};
