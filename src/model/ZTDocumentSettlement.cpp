// The settlement lines of a margin invoice, as the settlement sheet edits them.
#include "ZTDocument.h"

#include "ZTSettlementItem.h"

#include "platform/ManagedObjectContext.h"

#include <algorithm>

namespace {

// A settlement is an unordered set: lines of equal position keep the order they were made in.
QList<ZTSettlementItem *> inCreationOrder(QList<ZTSettlementItem *> lines)
{
    std::sort(lines.begin(), lines.end(),
              [](const ZTSettlementItem *a, const ZTSettlementItem *b) { return a->primaryKey() < b->primaryKey(); });
    return lines;
}

} // namespace

ZTSettlementItem *ZTDocument::addNewSettlementItem()
{
    ZTSettlementItem *item = ZTSettlementItem::newItemForDocument(this);
    managedObjectContext()->processPendingChanges();
    return item;
}

void ZTDocument::deleteSettlementItem(ZTSettlementItem *item)
{
    // The settlement is not part of the totals, and the sheet renumbers what is left.
    ManagedObjectContext *context = managedObjectContext();
    context->deleteObject(item);
    context->processPendingChanges();
}

QList<ZTSettlementItem *> ZTDocument::sortedSettlementItems() const
{
    QList<ZTSettlementItem *> lines = inCreationOrder(settlementItems());
    std::stable_sort(lines.begin(), lines.end(),
                     [](const ZTSettlementItem *a, const ZTSettlementItem *b) { return a->comparePositions(b) < 0; });
    return lines;
}

QList<ZTSettlementItem *> ZTDocument::positionedSettlementItems() const
{
    // comparePositions orders by position alone, so both orders are the same.
    return sortedSettlementItems();
}
