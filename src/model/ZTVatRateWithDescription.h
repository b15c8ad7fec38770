#pragma once

#include "platform/Decimal.h"

#include <QString>

#include <optional>

// A VAT rate together with its label, as a line or a product carries it. The rate is a fraction
// (0.23); the stored rate −1 (or none) marks a label without a rate, such as an exemption
// ("zw"), called hidden.
class ZTVatRateWithDescription
{
public:
    static Decimal hiddenRateValue() { return Decimal(-1); }

    ZTVatRateWithDescription() : m_rate(Decimal(0)) {}
    ZTVatRateWithDescription(const std::optional<Decimal> &rate, const QString &description)
        : m_rate(rate), m_description(description)
    {
    }
    // Parses a typed or picked text ("23%", "8 % obniżona", "zw").
    static ZTVatRateWithDescription fromText(const QString &text);

    // 0 when hidden, else the stored rate rounded to 3 places.
    Decimal rate() const;
    // As stored: may be empty or −1.
    std::optional<Decimal> storedRate() const { return m_rate; }
    void setRate(const std::optional<Decimal> &rate) { m_rate = rate; }
    QString vatDescription() const { return m_description; }
    void setVatDescription(const QString &text) { m_description = text; }
    bool rateIsHidden() const;

    // "23 %" in the user's locale, at most 2 fraction digits; empty when hidden.
    QString formattedRate() const;
    // "23 % obniżona", or whichever of the two parts is not empty.
    QString formattedRateWithDescription() const;
    void setFormattedRateWithDescription(const QString &text);

    bool isEqualToVatRateWithDescription(const ZTVatRateWithDescription &other) const;
    bool operator==(const ZTVatRateWithDescription &other) const
    {
        return isEqualToVatRateWithDescription(other);
    }

private:
    std::optional<Decimal> m_rate;
    QString m_description;
};
