#pragma once

#include "ZTVatRateWithDescription.h"

class ZTDocumentItem;

// One row of a document's VAT summary: the lines of one rate and label.
class ZTDocumentVatRateSummaryItem
{
public:
    ZTDocumentVatRateSummaryItem(const std::optional<Decimal> &rate, const QString &description,
                                 bool grossBasedSummary);

    const ZTVatRateWithDescription &vatRateWithDescription() const { return m_rate; }
    // 0 for a rate without a percentage, else the stored rate rounded to 3 places.
    Decimal rate() const { return m_rate.rate(); }
    Decimal netValue() const { return m_netValue; }
    Decimal vatValue() const { return m_vatValue; }
    Decimal grossValue() const { return m_grossValue; }
    void setNetValue(const Decimal &value) { m_netValue = value; }
    void setVatValue(const Decimal &value) { m_vatValue = value; }
    void setGrossValue(const Decimal &value) { m_grossValue = value; }
    bool grossBased() const { return m_grossBased; }

    // Same rate as read by the line, and equal labels or both empty.
    bool doesDocumentItemQualify(const ZTDocumentItem &item) const;
    // Gross values add up; a gross-based row derives net and VAT from its gross sum, a net-based
    // row adds the lines' own net and VAT values.
    void addDocumentItem(const ZTDocumentItem &item);
    // This row's rate, label and direction with the values newItem − this (0 − this without one).
    ZTDocumentVatRateSummaryItem compareWithNewItem(const ZTDocumentVatRateSummaryItem *newItem) const;
    // Same rate and label (as for qualifying lines).
    bool hasSameRateAs(const ZTDocumentVatRateSummaryItem &other) const;

    // Diagnostics only: "\"23%\" net 100 vat 23 gross 123".
    QString description() const;

private:
    ZTVatRateWithDescription m_rate;
    Decimal m_netValue;
    Decimal m_vatValue;
    Decimal m_grossValue;
    bool m_grossBased = false;
};
