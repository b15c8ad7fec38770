#include "ZTDocumentVatRateSummaryItem.h"

#include "ZTDecimalHelpers.h"
#include "ZTDocumentItem.h"

ZTDocumentVatRateSummaryItem::ZTDocumentVatRateSummaryItem(const std::optional<Decimal> &rate,
                                                           const QString &description, bool grossBasedSummary)
    : m_rate(rate, description), m_grossBased(grossBasedSummary)
{
}

bool ZTDocumentVatRateSummaryItem::doesDocumentItemQualify(const ZTDocumentItem &item) const
{
    if (item.vatRate().value_or(Decimal(0)) != rate())
        return false;
    const QString label = item.vatDescription();
    return label == m_rate.vatDescription() || (label.isEmpty() && m_rate.vatDescription().isEmpty());
}

bool ZTDocumentVatRateSummaryItem::hasSameRateAs(const ZTDocumentVatRateSummaryItem &other) const
{
    const QString label = other.m_rate.vatDescription();
    return other.rate() == rate()
        && (label == m_rate.vatDescription() || (label.isEmpty() && m_rate.vatDescription().isEmpty()));
}

void ZTDocumentVatRateSummaryItem::addDocumentItem(const ZTDocumentItem &item)
{
    m_grossValue = m_grossValue.add(item.grossValue().value_or(Decimal(0)));
    if (m_grossBased) {
        // Net and VAT of a gross-based row come from the rate's gross sum, not from the lines,
        // so that the printed row adds up however the lines rounded.
        m_netValue = netFromGrossUsingTaxRate(m_grossValue, rate());
        m_vatValue = taxFromGrossUsingTaxRate(m_grossValue, rate());
    } else {
        m_netValue = m_netValue.add(item.netValue().value_or(Decimal(0)));
        m_vatValue = m_vatValue.add(item.vatValue().value_or(Decimal(0)));
    }
}

ZTDocumentVatRateSummaryItem
ZTDocumentVatRateSummaryItem::compareWithNewItem(const ZTDocumentVatRateSummaryItem *newItem) const
{
    ZTDocumentVatRateSummaryItem difference(m_rate.storedRate(), m_rate.vatDescription(), m_grossBased);
    const Decimal newNet = newItem ? newItem->m_netValue : Decimal(0);
    const Decimal newVat = newItem ? newItem->m_vatValue : Decimal(0);
    const Decimal newGross = newItem ? newItem->m_grossValue : Decimal(0);
    difference.m_netValue = newNet.subtract(m_netValue);
    difference.m_vatValue = newVat.subtract(m_vatValue);
    difference.m_grossValue = newGross.subtract(m_grossValue);
    return difference;
}

QString ZTDocumentVatRateSummaryItem::description() const
{
    return QStringLiteral("\"%1\" net %2 vat %3 gross %4")
        .arg(m_rate.formattedRateWithDescription(), m_netValue.toString(), m_vatValue.toString(),
             m_grossValue.toString());
}
