#pragma once

#include "Decimal.h"

#include <QString>
#include <QStringList>

// Locale data from ICU that Qt does not give for an arbitrary locale. A locale name is in the
// form "pl_PL"; an empty one means the user's locale (userLocaleName).
namespace LocaleInfo {

QString userLocaleName();
// The currency's display name ("złoty polski") and symbol ("zł"); empty when the locale data
// has none.
QString currencyDisplayName(const QString &isoCode, const QString &localeName = QString());
QString currencySymbol(const QString &isoCode, const QString &localeName = QString());
// The common, non-deprecated ISO 4217 codes known to ICU, sorted.
QStringList commonCurrencyCodes();
// A fraction in the locale's percent style (0.23 -> "23%" or "23 %"), at most maxFractionDigits
// digits after the separator. Formatted from the decimal text, never through binary floating point.
QString formatPercent(const Decimal &fraction, int maxFractionDigits, const QString &localeName = QString());
// A whole number in words by the locale's standard spell-out rules (1234 in pl_PL: "tysiąc
// dwieście trzydzieści cztery"); negative numbers get the locale's word for minus.
QString spellOut(long long value, const QString &localeName = QString());

} // namespace LocaleInfo
