#include "ZTDocument.h"
#include "ZTDocumentItem.h"

#include "platform/ManagedObjectContext.h"

#include <algorithm>

namespace {

constexpr int kCorrectiveKind = 4;

bool isCorrective(const ZTDocument &document)
{
    return document.documentKind() == kCorrectiveKind;
}

void sortBySortPosition(QList<ZTDocumentItem *> &lines)
{
    // Lines of one position (ordinary lines without positions) keep the order of creation.
    std::stable_sort(lines.begin(), lines.end(), [](const ZTDocumentItem *a, const ZTDocumentItem *b) {
        const int left = a->sortPosition();
        const int right = b->sortPosition();
        if (left != right)
            return left < right;
        return a->objectID().primaryKey() < b->objectID().primaryKey();
    });
}

QList<ZTDocumentItem *> withSubPosition(const QList<ZTDocumentItem *> &lines, int subPosition)
{
    QList<ZTDocumentItem *> found;
    for (ZTDocumentItem *line : lines) {
        if (line->subPosition() == subPosition)
            found.append(line);
    }
    return found;
}

ZTDocumentItem *partnerOf(const ZTDocument &document, const ZTDocumentItem *line, int subPosition)
{
    if (!line)
        return nullptr;
    for (ZTDocumentItem *candidate : document.notDeletedItems()) {
        if (candidate->subPosition() == subPosition && candidate->position() == line->position())
            return candidate;
    }
    return nullptr;
}

// Orders two attribute values for renumbering; empty values first.
int compareValues(const QVariant &left, const QVariant &right, bool caseInsensitive)
{
    if (!left.isValid() || !right.isValid())
        return int(left.isValid()) - int(right.isValid());
    if (left.userType() == qMetaTypeId<Decimal>() || right.userType() == qMetaTypeId<Decimal>()) {
        const Decimal a = left.value<Decimal>();
        const Decimal b = right.value<Decimal>();
        return a < b ? -1 : (b < a ? 1 : 0);
    }
    if (left.userType() == QMetaType::QDateTime) {
        const QDateTime a = left.toDateTime();
        const QDateTime b = right.toDateTime();
        return a < b ? -1 : (b < a ? 1 : 0);
    }
    if (left.userType() == QMetaType::QString)
        return QString::compare(left.toString(), right.toString(),
                                caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    const QPartialOrdering order = QVariant::compare(left, right);
    return order == QPartialOrdering::Less ? -1 : (order == QPartialOrdering::Greater ? 1 : 0);
}

void setIfChanged(ZTDocument &document, void (ZTDocument::*setter)(const std::optional<Decimal> &),
                  const std::optional<Decimal> &current, const Decimal &value)
{
    if (current != value)
        (document.*setter)(value);
}

void applyCalculationDirections(ZTDocument &document, const QList<ZTDocumentItem *> &lines)
{
    bool someGross = false;
    bool someNet = false;
    for (const ZTDocumentItem *line : lines) {
        if (line->grossBasedValues())
            someGross = true;
        else
            someNet = true;
    }
    if (document.grossBasedSummary() != someGross || !document.hasValue(QStringLiteral("grossBasedSummary")))
        document.setGrossBasedSummary(someGross);
    document.setHasMixedCalculationDirections(someGross && someNet);
}

} // namespace

QList<ZTDocumentItem *> ZTDocument::notDeletedItems() const
{
    QList<ZTDocumentItem *> lines;
    for (ZTDocumentItem *line : items()) {
        if (!line->isDeleted())
            lines.append(line);
    }
    sortBySortPosition(lines);
    return lines;
}

QList<ZTDocumentItem *> ZTDocument::availableItems() const
{
    const QList<ZTDocumentItem *> lines = notDeletedItems();
    return isCorrective(*this) ? withSubPosition(lines, ZTDocumentItem::kSubPositionCorrected) : lines;
}

QList<ZTDocumentItem *> ZTDocument::originalDocumentItems() const
{
    return withSubPosition(notDeletedItems(), ZTDocumentItem::kSubPositionOriginal);
}

QList<ZTDocumentItem *> ZTDocument::correctedDocumentItems() const
{
    return withSubPosition(notDeletedItems(), ZTDocumentItem::kSubPositionCorrected);
}

QList<ZTDocumentItem *> ZTDocument::differenceDocumentItems() const
{
    return withSubPosition(notDeletedItems(), ZTDocumentItem::kSubPositionDifference);
}

QList<ZTDocumentItem *> ZTDocument::positionedItems() const
{
    QList<ZTDocumentItem *> lines = items();
    sortBySortPosition(lines);
    return lines;
}

ZTDocumentItem *ZTDocument::correctedItemForOriginalItem(const ZTDocumentItem *original) const
{
    return partnerOf(*this, original, ZTDocumentItem::kSubPositionCorrected);
}

ZTDocumentItem *ZTDocument::originalItemForCorrectedItem(const ZTDocumentItem *corrected) const
{
    return partnerOf(*this, corrected, ZTDocumentItem::kSubPositionOriginal);
}

ZTDocumentItem *ZTDocument::differenceItemForCorrectedItem(const ZTDocumentItem *corrected) const
{
    return partnerOf(*this, corrected, ZTDocumentItem::kSubPositionDifference);
}

bool ZTDocument::isOriginalItemCorrected(const ZTDocumentItem *original) const
{
    const ZTDocumentItem *corrected = correctedItemForOriginalItem(original);
    return corrected && original->isDifferentFromCorrectedItem(*corrected);
}

ZTDocumentItem *ZTDocument::addNewDocumentItem()
{
    ZTDocumentItem *line = ZTDocumentItem::newItemForDocument(this);
    managedObjectContext()->processPendingChanges();
    line->setValidationPreventsSave(validationPreventsSave());
    return line;
}

ZTDocumentItem *ZTDocument::addNewProduct(ZTProduct *product)
{
    ZTDocumentItem *line = addNewDocumentItem();
    line->copyFromProduct(product);
    return line;
}

void ZTDocument::deleteItem(ZTDocumentItem *item)
{
    ManagedObjectContext *context = managedObjectContext();
    context->deleteObject(item);
    context->processPendingChanges();
    recalculate();
}

void ZTDocument::renumerateDocumentItemsWithSortDescriptors(const QList<SortDescriptor> &sort)
{
    const QList<SortDescriptor> keys = sort.isEmpty() ? QList<SortDescriptor>{{QStringLiteral("createdAt"), true, false}}
                                                      : sort;
    QList<ZTDocumentItem *> lines = availableItems();
    std::stable_sort(lines.begin(), lines.end(), [&keys](const ZTDocumentItem *a, const ZTDocumentItem *b) {
        for (const SortDescriptor &key : keys) {
            const int order = compareValues(a->valueForKeyPath(key.keyPath), b->valueForKeyPath(key.keyPath),
                                            key.caseInsensitive);
            if (order != 0)
                return key.ascending ? order < 0 : order > 0;
        }
        return false;
    });
    for (qsizetype i = 0; i < lines.size(); ++i)
        lines.at(i)->setPosition(static_cast<int>(i + 1));
}

void ZTDocument::recalculate()
{
    // The lines are gathered once: every edit of a line comes through here.
    const QList<ZTDocumentItem *> lines = availableItems();
    applyCalculationDirections(*this, lines);
    const bool corrective = isCorrective(*this);
    if (corrective)
        recalculateDifferences();
    const ZTDocumentVatRateSummary summary =
        ZTDocumentVatRateSummary::summaryForDocumentItems(lines, grossBasedSummary());
    setIfChanged(*this, &ZTDocument::setTotalGrossValue, totalGrossValue(), summary.totalGrossValue());
    setIfChanged(*this, &ZTDocument::setTotalNetValue, totalNetValue(), summary.totalNetValue());
    setIfChanged(*this, &ZTDocument::setTotalVatValue, totalVatValue(), summary.totalVatValue());
    if (corrective) {
        updateGrossCorrectiveDifference();
        updateNetCorrectiveDifference();
        updateVatCorrectiveDifference();
    }
}

void ZTDocument::recalculateAllItems()
{
    for (ZTDocumentItem *line : availableItems())
        line->recalculateValues();
    recalculate();
}

void ZTDocument::updateCalculationDirections()
{
    applyCalculationDirections(*this, availableItems());
}

void ZTDocument::recalculateDifferences()
{
    for (ZTDocumentItem *corrected : availableItems()) {
        const ZTDocumentItem *original = originalItemForCorrectedItem(corrected);
        ZTDocumentItem *difference = differenceItemForCorrectedItem(corrected);
        if (original && difference)
            difference->calculateDifferenceForCorrectedItem(*corrected, *original);
    }
}

ZTDocumentVatRateSummary ZTDocument::vatSummary() const
{
    return ZTDocumentVatRateSummary::summaryForDocumentItems(availableItems(), grossBasedSummary());
}

ZTDocumentVatRateSummary ZTDocument::originalVatSummary() const
{
    return ZTDocumentVatRateSummary::summaryForDocumentItems(originalDocumentItems(), grossBasedSummary());
}

ZTDocumentVatRateSummary ZTDocument::correctiveDifferenceVatSummary() const
{
    return originalVatSummary().compareWithNewSummary(vatSummary());
}

void ZTDocument::updateGrossCorrectiveDifference()
{
    setGrossCorrectiveDifference(
        totalGrossValue().value_or(Decimal(0)).subtract(originalTotalGrossValue().value_or(Decimal(0))));
}

void ZTDocument::updateNetCorrectiveDifference()
{
    setNetCorrectiveDifference(
        totalNetValue().value_or(Decimal(0)).subtract(originalTotalNetValue().value_or(Decimal(0))));
}

void ZTDocument::updateVatCorrectiveDifference()
{
    setVatCorrectiveDifference(
        totalVatValue().value_or(Decimal(0)).subtract(originalTotalVatValue().value_or(Decimal(0))));
}
