#include "ZTSettlementsRepresentation.h"

#include "model/ZTCurrencyManager.h"
#include "model/ZTDocument.h"
#include "model/ZTSettlementItem.h"
#include "platform/ZTLog.h"

ZTSettlementsRepresentation::ZTSettlementsRepresentation(ZTDocument *document)
{
    ZT_ASSERT_TEXT(document && document->documentKind() == ZTDocument::kKindMarginInvoice,
                   "document.documentKind == ZTDocumentKindMarginVatInvoice");
    copyDocumentAttributes(document);
    copySettlementItems(document);
    setBaseDirectory(resourceFolder());
    m_document = document;
}

Decimal ZTSettlementsRepresentation::marginVatValue(const Decimal &margin, const std::optional<Decimal> &rate)
{
    const Decimal fraction = rate && !rate->isNegative() ? *rate : Decimal(0);
    return margin.subtract(margin.divide(Decimal(1) + fraction)).rounded(Rounding::money());
}

void ZTSettlementsRepresentation::copyDocumentAttributes(ZTDocument *document)
{
    Decimal purchases(0);
    for (const ZTSettlementItem *item : document->positionedSettlementItems())
        purchases += item->grossValue().value_or(Decimal(0));
    const Decimal margin = document->totalGrossValue().value_or(Decimal(0)) - purchases;

    const std::optional<ZTCurrency> currency = ZTCurrencyManager::sharedInstance().currencyWithCode(document->currency());

    setAttribute(QStringLiteral("documentID"), document->documentID());
    setAttribute(QStringLiteral("issueDate"), document->issueDate());
    setAttribute(QStringLiteral("totalGrossValue"), decimalValue(document->totalGrossValue()));
    setAttribute(QStringLiteral("marginDocumentVatRate"), document->marginInvoiceVatRateDescription());
    setAttribute(QStringLiteral("totalMarginGrossValue"), QVariant::fromValue(purchases));
    setAttribute(QStringLiteral("totalMarginProfitValue"), QVariant::fromValue(margin));
    setAttribute(QStringLiteral("totalMarginVatValue"),
                 QVariant::fromValue(marginVatValue(margin, document->marginInvoiceVatRate())));
    setAttribute(QStringLiteral("currencySymbol"), currency ? QVariant(currency->symbol()) : QVariant());
    setAttribute(QStringLiteral("currencyCode"), currency ? QVariant(currency->code()) : QVariant());
}

void ZTSettlementsRepresentation::copySettlementItems(ZTDocument *document)
{
    QVariantList rows;
    for (const ZTSettlementItem *item : document->positionedSettlementItems()) {
        QVariantMap row;
        row.insert(QStringLiteral("name"), nullForNil(item->name()));
        row.insert(QStringLiteral("position"), item->position() ? QVariant(*item->position()) : QVariant());
        row.insert(QStringLiteral("grossValue"), decimalValue(item->grossValue()));
        row.insert(QStringLiteral("description"), nullForNil(item->itemDescription()));
        row.insert(QStringLiteral("purchaseInvoice"), nullForNil(item->purchaseInvoice()));
        rows.append(row);
    }
    setAttribute(QStringLiteral("items"), rows);
}
