#include "ZTDocument.h"

#include "numbering/ZTDocumentIDSequencer.h"
#include "ZTDocumentItem.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "ZTPurchaser.h"
#include "ZTSeller.h"
#include "ZTSettlementItem.h"

#include "platform/Clock.h"
#include "platform/SettingsStore.h"

const QString ZTDocument::kStatusDraft = QStringLiteral("DRAFT");

QString ZTDocument::documentID() const
{
    const QString id = stringAttribute(QStringLiteral("documentID"));
    return id.isNull() ? QStringLiteral("") : id;
}

QList<ZTDocumentItem *> ZTDocument::items() const
{
    return relatedSetAs<ZTDocumentItem>(QStringLiteral("items"));
}

void ZTDocument::addItem(ZTDocumentItem *object)
{
    addRelatedObject(QStringLiteral("items"), object);
}

void ZTDocument::removeItem(ZTDocumentItem *object)
{
    removeRelatedObject(QStringLiteral("items"), object);
}

QList<ZTSettlementItem *> ZTDocument::settlementItems() const
{
    return relatedSetAs<ZTSettlementItem>(QStringLiteral("settlementItems"));
}

void ZTDocument::addSettlementItem(ZTSettlementItem *object)
{
    addRelatedObject(QStringLiteral("settlementItems"), object);
}

void ZTDocument::removeSettlementItem(ZTSettlementItem *object)
{
    removeRelatedObject(QStringLiteral("settlementItems"), object);
}

ZTPurchaser *ZTDocument::purchaser() const
{
    return relatedAs<ZTPurchaser>(QStringLiteral("purchaser"));
}

void ZTDocument::setPurchaser(ZTPurchaser *object)
{
    setRelatedObject(QStringLiteral("purchaser"), object);
}

ZTSeller *ZTDocument::seller() const
{
    return relatedAs<ZTSeller>(QStringLiteral("seller"));
}

void ZTDocument::setSeller(ZTSeller *object)
{
    setRelatedObject(QStringLiteral("seller"), object);
}

ZTDocument *ZTDocument::parentDocument() const
{
    return relatedAs<ZTDocument>(QStringLiteral("parentDocument"));
}

void ZTDocument::setParentDocument(ZTDocument *object)
{
    setRelatedObject(QStringLiteral("parentDocument"), object);
}

ZTDocument *ZTDocument::childDocument() const
{
    return relatedAs<ZTDocument>(QStringLiteral("childDocument"));
}

void ZTDocument::setChildDocument(ZTDocument *object)
{
    setRelatedObject(QStringLiteral("childDocument"), object);
}

ZTDocumentIDSequencer *ZTDocument::documentIDSequencer() const
{
    return relatedAs<ZTDocumentIDSequencer>(QStringLiteral("documentIDSequencer"));
}

void ZTDocument::setDocumentIDSequencer(ZTDocumentIDSequencer *object)
{
    setRelatedObject(QStringLiteral("documentIDSequencer"), object);
}

ZTDocumentSmartSequencer *ZTDocument::docIDSequencer() const
{
    return relatedAs<ZTDocumentSmartSequencer>(QStringLiteral("docIDSequencer"));
}

void ZTDocument::setDocIDSequencer(ZTDocumentSmartSequencer *object)
{
    setRelatedObject(QStringLiteral("docIDSequencer"), object);
}
void ZTDocument::setValidationPreventsSave(bool prevents)
{
    setOwnValidationPreventsSave(prevents);
    for (ZTDocumentItem *item : items())
        item->setValidationPreventsSave(prevents);
    if (ZTPurchaser *p = purchaser())
        p->setValidationPreventsSave(prevents);
    if (ZTSeller *s = seller())
        s->setValidationPreventsSave(prevents);
}

void ZTDocument::awakeFromInsert()
{
    ZTManagedObject::awakeFromInsert();
    const QDateTime now = Clock::now();
    setPrimitiveValue(QStringLiteral("status"), kStatusDraft);
    setPrimitiveValue(QStringLiteral("sellDate"), now);
    setPrimitiveValue(QStringLiteral("issueDate"), now);
    setPrimitiveValue(QStringLiteral("dueDate"), now);
    const QString payment = SettingsStore::standard().stringValue(QStringLiteral("ZTDefaultPaymentMethod"));
    setPrimitiveValue(QStringLiteral("paymentType"), payment.isNull() ? QVariant() : QVariant(payment));
    setPrimitiveValue(QStringLiteral("grossBasedSummary"), false);
    setPrimitiveValue(QStringLiteral("documentSecondLanguage"), 0);
    m_hasMixedCalculationDirections = false;
    m_grossCorrectiveDifference = Decimal();
    m_netCorrectiveDifference = Decimal();
    m_vatCorrectiveDifference = Decimal();
    // A new document is a draft; nothing of it binds yet.
    setOwnValidationPreventsSave(false);
    startObserving();
}

void ZTDocument::awakeFromFetch()
{
    ZTManagedObject::awakeFromFetch();
    // Only the document's own flag: its lines and parties work out the same answer when they
    // are loaded, and a list of documents must not load every line.
    if (isDraft())
        setOwnValidationPreventsSave(false);
    recomputeAfterFetch();
    startObserving();
}

void ZTDocument::recomputeAfterFetch()
{
    // Only drafts read their lines here: a list of issued documents must not load every line.
    if (isDraft()) {
        updateCalculationDirections();
        updateDocumentID();
    }
    // The differences are transient, so a fetched corrective invoice works them out again.
    if (isCorrectiveInvoice()) {
        updateGrossCorrectiveDifference();
        updateNetCorrectiveDifference();
        updateVatCorrectiveDifference();
    }
}
