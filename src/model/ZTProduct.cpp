#include "ZTProduct.h"

#include "ZTCurrencyManager.h"
#include "ZTDocument.h"
#include "ZTDocumentItem.h"
#include "ZTProductManager.h"

#include "platform/ManagedObjectContext.h"
#include "platform/ZTLog.h"

namespace {

QString slotKey(const char *name, int slot)
{
    return QString::fromLatin1(name) + QString::number(slot);
}

bool isZeroOrEmpty(const std::optional<Decimal> &value)
{
    return !value || value->isZero();
}

ZTProductManager managerFor(ManagedObjectContext &context)
{
    return ZTProductManager([&context] { return &context; });
}

} // namespace

ZTProduct *ZTProduct::newProduct(ManagedObjectContext &context)
{
    return context.insertNewObject<ZTProduct>(QStringLiteral("Product"));
}

// ---- prices by currency

QString ZTProduct::slotCurrency(int slot) const
{
    ZT_ASSERT(slot >= 1 && slot <= kSlotCount);
    return stringAttribute(slotKey("currency", slot));
}

std::optional<Decimal> ZTProduct::slotNetPrice(int slot) const
{
    ZT_ASSERT(slot >= 1 && slot <= kSlotCount);
    return decimalAttribute(slotKey("netPrice", slot));
}

std::optional<Decimal> ZTProduct::slotGrossPrice(int slot) const
{
    ZT_ASSERT(slot >= 1 && slot <= kSlotCount);
    return decimalAttribute(slotKey("grossPrice", slot));
}

void ZTProduct::setSlot(int slot, const QString &currency, const std::optional<Decimal> &net,
                        const std::optional<Decimal> &gross)
{
    ZT_ASSERT(slot >= 1 && slot <= kSlotCount);
    setStringAttribute(slotKey("currency", slot), currency);
    setDecimalAttribute(slotKey("netPrice", slot), net);
    setDecimalAttribute(slotKey("grossPrice", slot), gross);
}

int ZTProduct::slotForCurrency(const QString &currency) const
{
    // An empty code names no currency, so it matches no slot, not even an empty one.
    if (currency.isEmpty())
        return -1;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (slotCurrency(slot) == currency)
            return slot;
    }
    return -1;
}

int ZTProduct::defaultCurrencyIndex() const
{
    return slotForCurrency(ZTCurrencyManager::sharedInstance().defaultCurrencyCode());
}

std::optional<Decimal> ZTProduct::defaultCurrencyValueForKey(const QString &key) const
{
    const int slot = defaultCurrencyIndex();
    if (slot < 0)
        return Decimal(0);
    return decimalAttribute(key + QString::number(slot));
}

// ---- the catalogue learning from issued lines

void ZTProduct::updateWithDocumentItem(const ZTDocumentItem &item)
{
    setName(item.name());
    setNetPrice(item.storedNetPrice());
    setGrossPrice(item.storedGrossPrice());
    int slot = slotForCurrency(item.selectedCurrency());
    if (slot < 0) {
        for (int candidate = 1; candidate <= kSlotCount && slot < 0; ++candidate) {
            if (isZeroOrEmpty(slotNetPrice(candidate)) && isZeroOrEmpty(slotGrossPrice(candidate)))
                slot = candidate;
        }
    }
    if (slot > 0)
        setSlot(slot, item.selectedCurrency(), item.storedNetPrice(), item.storedGrossPrice());
    if (const ZTDocument *document = item.document(); document && document->isBill())
        setBillPrice(item.storedBillPrice());
    // The direction the line was computed in; the rate as stored, so that a rate without a
    // percentage keeps its marker beside its label.
    setGrossBasedValues(item.grossBasedValues());
    setVatRate(item.storedVatRate());
    setVatDescription(item.vatDescription());
    setUnitName(item.unitName());
    setPkwiu(item.pkwiu());
}

// ---- labels

void ZTProduct::addLabel(const QString &name)
{
    const QString list = label();
    if (list.isEmpty()) {
        setLabel(name);
        return;
    }
    if (!list.split(QLatin1Char(',')).contains(name))
        setLabel(QStringLiteral("%1,%2").arg(list, name));
}

void ZTProduct::removeLabel(const QString &name)
{
    QStringList labels = label().split(QLatin1Char(','), Qt::SkipEmptyParts);
    labels.removeAll(name);
    setLabel(labels.isEmpty() ? QString() : labels.join(QLatin1Char(',')));
}

QString ZTProduct::commaSeparatedLabels() const
{
    QString text = label();
    return text.replace(QLatin1Char(','), QStringLiteral(", "));
}

// ---- gross-based prices

void ZTProduct::convertAllProductCalculationsToNetBased(ManagedObjectContext &context)
{
    for (ZTProduct *product : grossBasedCalculationProducts(context))
        product->convertToNetBasedCalculations();
}

bool ZTProduct::grossBasedCalculationProductsExist(ManagedObjectContext &context)
{
    return !grossBasedCalculationProducts(context).isEmpty();
}

QList<ZTProduct *> ZTProduct::grossBasedCalculationProducts(ManagedObjectContext &context)
{
    return managerFor(context).findAllWithGrossBasedValues();
}
