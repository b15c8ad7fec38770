#include "ZTVatRatesManager.h"

#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

namespace {
const QString kSettingKey = QStringLiteral("ZTVatRates");
}

ZTVatRatesManager &ZTVatRatesManager::sharedInstance()
{
    static ZTVatRatesManager manager(SettingsStore::standard());
    return manager;
}

QVariantList ZTVatRatesManager::availableRates()
{
    QVariantList rates = m_settings.arrayValue(kSettingKey);
    ZT_ASSERT_TEXT(!rates.isEmpty(), "[rates count] > 0");
    if (rates.first().toMap().size() <= 2) {
        // A list from before defaults were marked: the first entry becomes the default.
        for (qsizetype i = 0; i < rates.size(); ++i) {
            QVariantMap entry = rates.at(i).toMap();
            entry.insert(defaultKey(), i == 0);
            rates[i] = entry;
        }
        replaceRatesWith(rates);
    }
    return rates;
}

QVariantMap ZTVatRatesManager::defaultRate()
{
    const QVariantList rates = availableRates();
    for (const QVariant &entry : rates) {
        if (entry.toMap().value(defaultKey()).toBool())
            return entry.toMap();
    }
    return rates.first().toMap();
}

ZTVatRateWithDescription ZTVatRatesManager::defaultVatRateWithDescription()
{
    const QVariantMap entry = defaultRate();
    return ZTVatRateWithDescription(numberFromRate(entry), entry.value(descriptionKey()).toString());
}

void ZTVatRatesManager::replaceRatesWith(const QVariantList &rates)
{
    m_settings.setValue(kSettingKey, rates);
    m_settings.synchronize();
}

QVariantMap ZTVatRatesManager::emptyNewRate()
{
    return {{rateKey(), QStringLiteral("0%")}, {descriptionKey(), QStringLiteral("")}, {defaultKey(), false}};
}

Decimal ZTVatRatesManager::numberFromRate(const QVariantMap &entry)
{
    return rateFromDescription(entry.value(rateKey()).toString().trimmed());
}

QString ZTVatRatesManager::descriptionFromRate(const Decimal &rate)
{
    const Decimal percent = rate.multiply(Decimal(100)).rounded(0);
    return QStringLiteral("%1%").arg(percent.toLongLong());
}

Decimal ZTVatRatesManager::rateFromDescription(const QString &text)
{
    if (text.isEmpty())
        return Decimal(0);
    qsizetype end = 0;
    if (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+'))
        end = 1;
    const qsizetype digitsStart = end;
    while (end < text.size() && text.at(end).isDigit())
        ++end;
    if (end == digitsStart)
        return Decimal(0);
    Decimal whole;
    // Localised digits (other scripts) read through their digit values.
    QString ascii;
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text.at(i);
        ascii.append(c.isDigit() ? QChar(u'0' + c.digitValue()) : c);
    }
    if (!Decimal::tryParse(ascii, &whole))
        return Decimal(0);
    return whole.divide(Decimal(100));
}
