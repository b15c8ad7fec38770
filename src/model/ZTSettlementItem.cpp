#include "ZTSettlementItem.h"

#include "ZTCheckSupport.h"
#include "ZTDocument.h"

#include "platform/ManagedObjectContext.h"

ZTSettlementItem *ZTSettlementItem::newItemForDocument(ZTDocument *document)
{
    auto *item = document->managedObjectContext()->insertNewObject<ZTSettlementItem>(QStringLiteral("SettlementItem"));
    item->setDocument(document);
    // The inverse is kept in step, so the count includes the new line.
    item->setPosition(int(document->settlementItems().size()));
    return item;
}

int ZTSettlementItem::comparePositions(const ZTSettlementItem *other) const
{
    const int mine = position().value_or(0);
    const int theirs = other->position().value_or(0);
    return mine < theirs ? -1 : (mine > theirs ? 1 : 0);
}

ZTDocument *ZTSettlementItem::document() const
{
    return relatedAs<ZTDocument>(QStringLiteral("document"));
}

void ZTSettlementItem::setDocument(ZTDocument *object)
{
    setRelatedObject(QStringLiteral("document"), object);
}
bool ZTSettlementItem::validationPreventsSave() const
{
    const ZTDocument *d = document();
    return d && d->validationPreventsSave();
}

QStringList ZTSettlementItem::propertiesToSnapshot() const
{
    return {QStringLiteral("purchaseInvoice"), QStringLiteral("grossValue"),
            QStringLiteral("itemDescription"), QStringLiteral("position"), QStringLiteral("name")};
}

void ZTSettlementItem::awakeFromInsert()
{
    ZTManagedObject::awakeFromInsert();
    setPrimitiveValue(QStringLiteral("name"), QStringLiteral(""));
    setPrimitiveValue(QStringLiteral("purchaseInvoice"), QStringLiteral(""));
    setPrimitiveValue(QStringLiteral("itemDescription"), QStringLiteral(""));
    setPrimitiveValue(QStringLiteral("grossValue"), QVariant::fromValue(Decimal(0)));
    setPrimitiveValue(QStringLiteral("position"), 0);
}

// ---- checks

namespace {

QString positionText(const ZTSettlementItem &item)
{
    const std::optional<int> position = item.position();
    return position ? QString::number(*position) : QString();
}

} // namespace

const ZTPropertyChecks &ZTSettlementItem::propertyChecks() const
{
    static const ZTPropertyChecks checks =
        ZTPropertyChecks(ZTManagedObject::propertyChecks())
            .add(QStringLiteral("name"), &ZTSettlementItem::validateName)
            .add(QStringLiteral("purchaseInvoice"), &ZTSettlementItem::validatePurchaseInvoice)
            .add(QStringLiteral("position"), &ZTSettlementItem::validatePosition);
    return checks;
}

bool ZTSettlementItem::validateName(const QVariant &value, Error &error) const
{
    if (ztcheck::isEmptyText(value))
        return ztcheck::fail(error,
                             QStringLiteral("Towar w rozliczeniu w pozycji %1. nie ma nazwy").arg(positionText(*this)));
    return true;
}

bool ZTSettlementItem::validatePurchaseInvoice(const QVariant &value, Error &error) const
{
    if (ztcheck::isEmptyText(value))
        return ztcheck::fail(error, QStringLiteral("Niepoprawny numer faktury zakupu w rozliczeniu w pozycji %1")
                                        .arg(positionText(*this)));
    return true;
}

bool ZTSettlementItem::validatePosition(const QVariant &value, Error &error) const
{
    const std::optional<qlonglong> position = ztcheck::integer(value);
    if (!position || *position <= 0)
        return ztcheck::failSilently(error);
    return true;
}
