#pragma once

#include "ZTDocumentVatRateSummaryItem.h"

#include <QList>

class ZTDocument;
class ZTDocumentItem;

// A document's VAT summary: one row per rate and label, in order of first appearance.
class ZTDocumentVatRateSummary
{
public:
    explicit ZTDocumentVatRateSummary(bool grossBased = false) : m_grossBased(grossBased) {}

    // Every line not marked deleted, in the order given.
    static ZTDocumentVatRateSummary summaryForDocumentItems(const QList<ZTDocumentItem *> &items,
                                                            bool grossBased);
    // The document's available lines and its grossBasedSummary.
    static ZTDocumentVatRateSummary summaryForDocument(const ZTDocument &document);

    void addDocumentItem(const ZTDocumentItem &item);
    void appendItem(const ZTDocumentVatRateSummaryItem &item) { m_items.append(item); }

    const QList<ZTDocumentVatRateSummaryItem> &items() const { return m_items; }
    bool grossBased() const { return m_grossBased; }
    Decimal totalNetValue() const;
    Decimal totalVatValue() const;
    Decimal totalGrossValue() const;

    // This summary as the original against newSummary: per original row the difference to the
    // matching new row, then the new rows matching none of those, as they are.
    ZTDocumentVatRateSummary compareWithNewSummary(const ZTDocumentVatRateSummary &newSummary) const;

private:
    QList<ZTDocumentVatRateSummaryItem> m_items;
    bool m_grossBased = false;
};
