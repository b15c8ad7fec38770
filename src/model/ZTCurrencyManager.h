#pragma once

#include "ZTCurrency.h"

#include <QList>

#include <optional>

class SettingsStore;

// The currencies of ZTCurrencyAvailable (or all common ISO codes), named for a locale, and the
// default currency of ZTCurrencyDefaultISO4217.
class ZTCurrencyManager
{
public:
    static QString currencyDidChangeNotification() { return QStringLiteral("ZTCurrencyDidChangeNotification"); }

    // The manager of the process-wide settings and the user's locale.
    static ZTCurrencyManager &sharedInstance();
    // An empty locale name means the user's locale.
    explicit ZTCurrencyManager(SettingsStore &settings, const QString &localeName = QString());

    // Built on first use and kept: a change of ZTCurrencyAvailable counts at the next start.
    const QList<ZTCurrency> &availableCurrencies();
    std::optional<ZTCurrency> currencyWithCode(const QString &code);
    // Null when no available currency has the code.
    QString symbolWithCode(const QString &code);
    // Read from the settings at every call; falls back to the first available currency.
    ZTCurrency defaultCurrency();
    QString defaultCurrencyCode() { return defaultCurrency().code(); }
    void setDefaultCurrencyWithCode(const QString &code);

private:
    QList<ZTCurrency> currenciesForCodes(const QStringList &codes) const;

    SettingsStore &m_settings;
    QString m_localeName;
    std::optional<QList<ZTCurrency>> m_currencies;
};
