#include "ZTCurrencyManager.h"

#include "platform/LocaleInfo.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

ZTCurrencyManager &ZTCurrencyManager::sharedInstance()
{
    static ZTCurrencyManager manager(SettingsStore::standard());
    return manager;
}

ZTCurrencyManager::ZTCurrencyManager(SettingsStore &settings, const QString &localeName)
    : m_settings(settings), m_localeName(localeName)
{
}

QList<ZTCurrency> ZTCurrencyManager::currenciesForCodes(const QStringList &codes) const
{
    QList<ZTCurrency> list;
    for (const QString &code : codes) {
        const QString name = LocaleInfo::currencyDisplayName(code, m_localeName);
        const QString symbol = LocaleInfo::currencySymbol(code, m_localeName);
        if (!name.isEmpty() && !symbol.isEmpty() && !code.isEmpty())
            list.append(ZTCurrency(name, code, symbol));
    }
    return list;
}

const QList<ZTCurrency> &ZTCurrencyManager::availableCurrencies()
{
    if (!m_currencies) {
        const QVariant configured = m_settings.value(QStringLiteral("ZTCurrencyAvailable"));
        QList<ZTCurrency> list = currenciesForCodes(configured.isValid()
                                                        ? m_settings.stringArrayValue(QStringLiteral("ZTCurrencyAvailable"))
                                                        : LocaleInfo::commonCurrencyCodes());
        if (list.isEmpty())
            list = currenciesForCodes(LocaleInfo::commonCurrencyCodes());
        ZT_ASSERT_TEXT(!list.isEmpty(), "[currencies count] > 0");
        m_currencies = list;
    }
    return *m_currencies;
}

std::optional<ZTCurrency> ZTCurrencyManager::currencyWithCode(const QString &code)
{
    for (const ZTCurrency &currency : availableCurrencies()) {
        if (currency.code() == code)
            return currency;
    }
    return std::nullopt;
}

QString ZTCurrencyManager::symbolWithCode(const QString &code)
{
    const std::optional<ZTCurrency> currency = currencyWithCode(code);
    return currency ? currency->symbol() : QString();
}

ZTCurrency ZTCurrencyManager::defaultCurrency()
{
    const QString code = m_settings.stringValue(QStringLiteral("ZTCurrencyDefaultISO4217"));
    if (!code.isEmpty()) {
        if (std::optional<ZTCurrency> currency = currencyWithCode(code))
            return *currency;
    }
    return availableCurrencies().first();
}

void ZTCurrencyManager::setDefaultCurrencyWithCode(const QString &code)
{
    m_settings.setValue(QStringLiteral("ZTCurrencyDefaultISO4217"), code);
}
