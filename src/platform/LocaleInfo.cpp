#include "LocaleInfo.h"

#include <QLocale>

#include <unicode/ucurr.h>
#include <unicode/uenum.h>
#include <unicode/unum.h>

#include <algorithm>
#include <map>

namespace {

QByteArray localeId(const QString &localeName)
{
    const QString name = localeName.isEmpty() ? LocaleInfo::userLocaleName() : localeName;
    // Qt names the plain POSIX locale "C"; ICU's data for it is under en_US_POSIX, while "C"
    // itself only reaches the root locale, which names no currencies.
    if (name == QStringLiteral("C") || name == QStringLiteral("POSIX"))
        return QByteArrayLiteral("en_US_POSIX");
    return name.toUtf8();
}

// Without locale data ICU answers with the code itself and a warning. For a symbol that is the
// right answer (many currencies are shown by their code); for a name it means the currency is
// unknown, so none is given.
QString currencyName(const QString &isoCode, const QString &localeName, UCurrNameStyle style)
{
    if (isoCode.size() != 3)
        return QString();
    const std::u16string code = isoCode.toUpper().toStdU16String();
    UErrorCode status = U_ZERO_ERROR;
    UBool isChoiceFormat = false;
    int32_t length = 0;
    const UChar *name = ucurr_getName(code.c_str(), localeId(localeName).constData(), style, &isChoiceFormat,
                                      &length, &status);
    if (U_FAILURE(status) || !name || length <= 0)
        return QString();
    if (style == UCURR_LONG_NAME && status == U_USING_DEFAULT_WARNING)
        return QString();
    return QString::fromUtf16(name, length);
}

} // namespace

QString LocaleInfo::userLocaleName()
{
    return QLocale().name();
}

QString LocaleInfo::currencyDisplayName(const QString &isoCode, const QString &localeName)
{
    return currencyName(isoCode, localeName, UCURR_LONG_NAME);
}

QString LocaleInfo::currencySymbol(const QString &isoCode, const QString &localeName)
{
    return currencyName(isoCode, localeName, UCURR_SYMBOL_NAME);
}

QStringList LocaleInfo::commonCurrencyCodes()
{
    QStringList codes;
    UErrorCode status = U_ZERO_ERROR;
    UEnumeration *all = ucurr_openISOCurrencies(UCURR_COMMON | UCURR_NON_DEPRECATED, &status);
    if (U_FAILURE(status) || !all)
        return codes;
    int32_t length = 0;
    while (const char *code = uenum_next(all, &length, &status)) {
        if (U_FAILURE(status))
            break;
        codes.append(QString::fromLatin1(code, length));
    }
    uenum_close(all);
    std::sort(codes.begin(), codes.end());
    return codes;
}

QString LocaleInfo::formatPercent(const Decimal &fraction, int maxFractionDigits, const QString &localeName)
{
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat *format = unum_open(UNUM_PERCENT, nullptr, 0, localeId(localeName).constData(), nullptr, &status);
    if (U_FAILURE(status) || !format)
        return fraction.scaledByPowerOf10(2).toString() + QStringLiteral("%");
    unum_setAttribute(format, UNUM_MAX_FRACTION_DIGITS, maxFractionDigits);
    unum_setAttribute(format, UNUM_ROUNDING_MODE, UNUM_ROUND_HALFUP);
    const QByteArray text = fraction.toString().toLatin1();
    UChar buffer[64];
    const int32_t length = unum_formatDecimal(format, text.constData(), text.size(), buffer, 64, nullptr, &status);
    unum_close(format);
    if (U_FAILURE(status) || length <= 0)
        return fraction.scaledByPowerOf10(2).toString() + QStringLiteral("%");
    return QString::fromUtf16(buffer, length);
}

QString LocaleInfo::spellOut(long long value, const QString &localeName)
{
    // Opening a spell-out format parses its whole rule set: each thread keeps one per locale.
    struct Formats
    {
        std::map<QString, UNumberFormat *> byLocale;
        ~Formats()
        {
            for (auto &entry : byLocale)
                unum_close(entry.second);
        }
    };
    thread_local Formats formats;
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat *&format = formats.byLocale[localeName];
    if (!format) {
        format = unum_open(UNUM_SPELLOUT, nullptr, 0, localeId(localeName).constData(), nullptr, &status);
        if (U_FAILURE(status) || !format) {
            if (format)
                unum_close(format);
            format = nullptr;
            return QString::number(value);
        }
    }
    UChar buffer[512];
    const int32_t length = unum_formatInt64(format, value, buffer, 512, nullptr, &status);
    if (U_FAILURE(status) || length <= 0)
        return QString::number(value);
    return QString::fromUtf16(buffer, length);
}
