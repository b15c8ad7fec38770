#include "ZTSettlementItem.h"

#include "ZTDocument.h"

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
