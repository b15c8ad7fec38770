#include "ZTDocumentItem.h"

#include "ZTDocument.h"

#include "platform/SettingsStore.h"

ZTDocument *ZTDocumentItem::document() const
{
    return relatedAs<ZTDocument>(QStringLiteral("document"));
}

void ZTDocumentItem::setDocument(ZTDocument *object)
{
    setRelatedObject(QStringLiteral("document"), object);
}

ZTProduct *ZTDocumentItem::baseProduct() const
{
    return relatedAs<ZTProduct>(QStringLiteral("baseProduct"));
}

void ZTDocumentItem::setBaseProduct(ZTProduct *object)
{
    setRelatedObject(QStringLiteral("baseProduct"), object);
}
void ZTDocumentItem::awakeFromInsert()
{
    ZTProduct::awakeFromInsert();
    setPrimitiveValue(QStringLiteral("grossBasedValues"),
                      SettingsStore::standard().boolValue(QStringLiteral("ZTGrossCalculationsEnabled")));
    setPrimitiveValue(QStringLiteral("grossPrice"), QVariant::fromValue(Decimal(0)));
    setPrimitiveValue(QStringLiteral("netPrice"), QVariant::fromValue(Decimal(0)));
    setPrimitiveValue(QStringLiteral("billPrice"), QVariant::fromValue(Decimal(0)));
    setPrimitiveValue(QStringLiteral("quantity"), QVariant::fromValue(Decimal(1)));
    setPrimitiveValue(QStringLiteral("discount"), QVariant::fromValue(Decimal(0)));
    startObserving();
    followDocument();
    if (ZTDocument *d = document(); d && d->isDraft())
        setOwnValidationPreventsSave(false);
}

void ZTDocumentItem::awakeFromFetch()
{
    ZTProduct::awakeFromFetch();
    startObserving();
    followDocument();
    if (ZTDocument *d = document(); d && d->isDraft())
        setOwnValidationPreventsSave(false);
}

void ZTDocumentItem::willTurnIntoFault()
{
    m_documentObservation.reset();
    ZTProduct::willTurnIntoFault();
}

void ZTDocumentItem::followDocument()
{
    m_documentObservation = observe(QStringLiteral("document"),
                                    [this](ManagedObject &, const QString &) { documentDidChange(); });
}

void ZTDocumentItem::documentDidChange()
{
    // A line moved to another document is bound exactly as that document is.
    if (ZTDocument *d = document())
        setValidationPreventsSave(d->validationPreventsSave());
}
