#include "ZTDocumentVatRateSummary.h"

#include "ZTDocument.h"
#include "ZTDocumentItem.h"

namespace {
constexpr int kBillKind = 16;
}

ZTDocumentVatRateSummary ZTDocumentVatRateSummary::summaryForDocumentItems(const QList<ZTDocumentItem *> &items,
                                                                           bool grossBased)
{
    ZTDocumentVatRateSummary summary(grossBased);
    for (const ZTDocumentItem *item : items) {
        if (item && !item->isDeleted())
            summary.addDocumentItem(*item);
    }
    return summary;
}

ZTDocumentVatRateSummary ZTDocumentVatRateSummary::summaryForDocument(const ZTDocument &document)
{
    return summaryForDocumentItems(document.availableItems(), document.grossBasedSummary());
}

void ZTDocumentVatRateSummary::addDocumentItem(const ZTDocumentItem &item)
{
    for (ZTDocumentVatRateSummaryItem &row : m_items) {
        if (row.doesDocumentItemQualify(item)) {
            row.addDocumentItem(item);
            return;
        }
    }
    // A row computes in the document's direction; a line without a document (only in the
    // making) follows the summary's.
    const ZTDocument *document = item.document();
    const bool rowGrossBased = document ? document->grossBasedSummary() : m_grossBased;
    // A bill reads every rate as 0, so its row is made with the rate the line reads: otherwise
    // no later bill line would qualify for it.
    const bool onBill = document && document->documentKind() == kBillKind;
    const std::optional<Decimal> rate = onBill ? std::optional<Decimal>(Decimal(0)) : item.storedVatRate();
    ZTDocumentVatRateSummaryItem row(rate, item.vatDescription(), rowGrossBased);
    row.addDocumentItem(item);
    m_items.append(row);
}

Decimal ZTDocumentVatRateSummary::totalNetValue() const
{
    Decimal total(0);
    for (const ZTDocumentVatRateSummaryItem &row : m_items)
        total = total.add(row.netValue());
    return total;
}

Decimal ZTDocumentVatRateSummary::totalVatValue() const
{
    Decimal total(0);
    for (const ZTDocumentVatRateSummaryItem &row : m_items)
        total = total.add(row.vatValue());
    return total;
}

Decimal ZTDocumentVatRateSummary::totalGrossValue() const
{
    Decimal total(0);
    for (const ZTDocumentVatRateSummaryItem &row : m_items)
        total = total.add(row.grossValue());
    return total;
}

ZTDocumentVatRateSummary ZTDocumentVatRateSummary::compareWithNewSummary(const ZTDocumentVatRateSummary &newSummary) const
{
    ZTDocumentVatRateSummary difference(m_grossBased);
    for (const ZTDocumentVatRateSummaryItem &original : m_items) {
        const ZTDocumentVatRateSummaryItem *match = nullptr;
        for (const ZTDocumentVatRateSummaryItem &candidate : newSummary.m_items) {
            if (candidate.hasSameRateAs(original)) {
                match = &candidate;
                break;
            }
        }
        difference.appendItem(original.compareWithNewItem(match));
    }
    for (const ZTDocumentVatRateSummaryItem &candidate : newSummary.m_items) {
        const bool matched = std::any_of(difference.m_items.cbegin(), difference.m_items.cend(),
                                         [&](const ZTDocumentVatRateSummaryItem &row) { return row.hasSameRateAs(candidate); });
        if (!matched)
            difference.appendItem(candidate);
    }
    return difference;
}
