#include "TextMatcher.h"

namespace {

// Letters with a stroke or similar have no canonical decomposition.
QChar baseLetter(QChar c)
{
    switch (c.unicode()) {
    case 0x0141: return QLatin1Char('L'); // Ł
    case 0x0142: return QLatin1Char('l'); // ł
    case 0x0110: return QLatin1Char('D'); // Đ
    case 0x0111: return QLatin1Char('d'); // đ
    case 0x00D8: return QLatin1Char('O'); // Ø
    case 0x00F8: return QLatin1Char('o'); // ø
    default: return c;
    }
}

} // namespace

QString TextMatcher::fold(const QString &text, int options)
{
    // One normal form, so that a precomposed "ó" and "o" + combining acute compare equal.
    QString result = text.normalized(QString::NormalizationForm_C);
    if (options & MatchDiacriticInsensitive) {
        const QString decomposed = text.normalized(QString::NormalizationForm_D);
        result.clear();
        result.reserve(decomposed.size());
        for (QChar c : decomposed) {
            if (c.category() == QChar::Mark_NonSpacing)
                continue;
            result.append(baseLetter(c));
        }
    }
    if (options & MatchCaseInsensitive)
        result = result.toCaseFolded();
    return result;
}

bool TextMatcher::wildcardMatch(QStringView text, QStringView pattern)
{
    // Iterative matching with one backtrack point for the last "*": linear in practice.
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starT = t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

bool TextMatcher::matches(const QString &text, const QString &pattern, StringMatch op, int options)
{
    const QString t = fold(text, options);
    const QString p = fold(pattern, options);
    switch (op) {
    case StringMatch::Like:
        return wildcardMatch(t, p);
    case StringMatch::Contains:
        return t.contains(p);
    case StringMatch::BeginsWith:
        return t.startsWith(p);
    case StringMatch::EndsWith:
        return t.endsWith(p);
    }
    return false;
}
