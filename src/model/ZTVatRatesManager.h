#pragma once

#include "ZTVatRateWithDescription.h"

#include <QVariantList>
#include <QVariantMap>

class SettingsStore;

// The list of VAT rates the user may pick, kept in the setting ZTVatRates: entries
// {"rate": "23%", "description": text, "isDefault": bool}.
class ZTVatRatesManager
{
public:
    // The manager of the process-wide settings.
    static ZTVatRatesManager &sharedInstance();
    explicit ZTVatRatesManager(SettingsStore &settings) : m_settings(settings) {}

    static QString rateKey() { return QStringLiteral("rate"); }
    static QString descriptionKey() { return QStringLiteral("description"); }
    static QString defaultKey() { return QStringLiteral("isDefault"); }

    // The stored list; a list from before defaults were marked gets them (first entry) and is
    // written back.
    QVariantList availableRates();
    // The first entry marked default, else the first entry.
    QVariantMap defaultRate();
    // The default entry as a value for a new line: rate from numberFromRate, label from the entry.
    ZTVatRateWithDescription defaultVatRateWithDescription();
    void replaceRatesWith(const QVariantList &rates);

    static QVariantMap emptyNewRate();
    static Decimal numberFromRate(const QVariantMap &entry);
    // 0.23 -> "23%"
    static QString descriptionFromRate(const Decimal &rate);
    // "23%" -> 0.23; a leading whole number of percent, 0 when there is none.
    static Decimal rateFromDescription(const QString &text);

private:
    SettingsStore &m_settings;
};
