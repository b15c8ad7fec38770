#include "ZTVatRateWithDescription.h"

#include "platform/LocaleInfo.h"

ZTVatRateWithDescription ZTVatRateWithDescription::fromText(const QString &text)
{
    ZTVatRateWithDescription value;
    value.setFormattedRateWithDescription(text);
    return value;
}

bool ZTVatRateWithDescription::rateIsHidden() const
{
    return !m_rate || *m_rate == hiddenRateValue();
}

Decimal ZTVatRateWithDescription::rate() const
{
    if (rateIsHidden())
        return Decimal(0);
    return m_rate->rounded(Rounding::rate());
}

QString ZTVatRateWithDescription::formattedRate() const
{
    if (rateIsHidden())
        return QString();
    return LocaleInfo::formatPercent(rate(), 2);
}

QString ZTVatRateWithDescription::formattedRateWithDescription() const
{
    const QString formatted = formattedRate();
    if (!m_description.isEmpty() && !rateIsHidden())
        return QStringLiteral("%1 %2").arg(formatted, m_description);
    if (!formatted.isEmpty())
        return formatted;
    if (!m_description.isEmpty())
        return m_description;
    return QStringLiteral("");
}

void ZTVatRateWithDescription::setFormattedRateWithDescription(const QString &text)
{
    const bool hasDigit = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if (!hasDigit) {
        // A label alone, such as "zw": an exemption without a rate.
        const QString label = text.trimmed();
        if (!label.isEmpty())
            m_description = label;
        m_rate = hiddenRateValue();
        return;
    }
    QString number;
    QString label;
    for (const QChar c : text) {
        if (c == QLatin1Char('%'))
            continue;
        if (c.isDigit() || c == QLatin1Char('.'))
            number.append(c);
        else if (c == QLatin1Char(','))
            number.append(QLatin1Char('.'));
        else
            label.append(c);
    }
    if (number.isEmpty()) {
        m_rate = hiddenRateValue();
    } else {
        Decimal percent;
        // Text the number reader refuses ("1.2.3") gives rate 0, as an unreadable rate does
        // everywhere else.
        m_rate = Decimal::tryParse(number, &percent) ? percent.divide(Decimal(100), Rounding::rate()) : Decimal(0);
    }
    label = label.trimmed();
    if (!label.isEmpty())
        m_description = label;
}

bool ZTVatRateWithDescription::isEqualToVatRateWithDescription(const ZTVatRateWithDescription &other) const
{
    return rateIsHidden() == other.rateIsHidden() && rate() == other.rate()
        && m_description == other.m_description;
}
