// New drafts: of a kind, and derived from an existing document (copy, correction, advance,
// final invoice, regular invoice from a pro forma).
#include "ZTDocument.h"

#include "ZTDocumentItem.h"
#include "ZTDocumentManager.h"
#include "ZTPartyManagers.h"
#include "ZTProduct.h"
#include "ZTProductManager.h"
#include "ZTPurchaser.h"
#include "ZTSeller.h"
#include "ZTSellerTemplate.h"

#include "platform/ManagedObjectContext.h"
#include "platform/SettingsStore.h"

#include <algorithm>

namespace {

ZTEntityManager::ContextProvider providerFor(ManagedObjectContext *context)
{
    return [context] { return context; };
}

// The draft's purchaser takes over the source's values; with the customer link when the draft
// stays with the same customer.
void copyPurchaser(const ZTDocument *source, ZTDocument *draft, bool withBaseCustomer)
{
    const ZTPurchaser *from = source->purchaser();
    ZTPurchaser *to = draft->purchaser();
    if (!from || !to)
        return;
    to->copyValuesFromPurchaser(*from);
    if (withBaseCustomer)
        to->setBaseCustomer(from->baseCustomer());
}

void copySeller(const ZTDocument *source, ZTDocument *draft)
{
    if (const ZTSeller *from = source->seller())
        draft->seller()->copyValuesFromSeller(*from);
}

void copyItems(const ZTDocument *source, ZTDocument *draft)
{
    for (const ZTDocumentItem *item : source->availableItems()) {
        ZTDocumentItem *line = ZTDocumentItem::newItemForDocument(draft);
        line->copyValuesFromItem(*item);
    }
}

void copyTotals(const ZTDocument *source, ZTDocument *draft)
{
    draft->setTotalNetValue(source->totalNetValue());
    draft->setTotalVatValue(source->totalVatValue());
    draft->setTotalGrossValue(source->totalGrossValue());
}

void keepDueOffset(const ZTDocument *source, ZTDocument *draft)
{
    if (!source->issueDate().isValid() || !source->dueDate().isValid())
        return;
    draft->setDueDate(draft->issueDate().addMSecs(source->issueDate().msecsTo(source->dueDate())));
}

void copyLanguageAndCurrency(const ZTDocument *source, ZTDocument *draft)
{
    draft->setCurrency(source->currency());
    draft->setDocumentSecondLanguage(source->documentSecondLanguage());
}

// Seller data of the default template, the margin one for a margin invoice.
void fillSellerFromDefaultTemplate(ZTDocument *draft, int kind)
{
    ZTSellerTemplateManager templates(providerFor(draft->managedObjectContext()));
    ZTSellerTemplate *sellerTemplate = nullptr;
    if (kind == ZTDocument::kKindMarginInvoice) {
        if (templates.hasSellerTemplatesWithMarginProcedure())
            sellerTemplate = templates.defaultSellerTemplateWithMarginProcedure();
    } else if (templates.hasSellerTemplates()) {
        sellerTemplate = templates.defaultSellerTemplate();
    }
    if (!sellerTemplate)
        return;
    ZTSeller *seller = draft->seller();
    seller->updateWithSellerTemplate(*sellerTemplate);
    draft->setIssuedIn(seller->issuesIn());
}

// 0 − value, empty staying empty.
std::optional<Decimal> negated(const std::optional<Decimal> &value)
{
    return value ? std::optional<Decimal>(Decimal(0) - *value) : std::nullopt;
}

std::optional<Decimal> sumOfLines(const QList<ZTDocumentItem *> &lines,
                             std::optional<Decimal> (ZTProduct::*getter)() const)
{
    Decimal sum(0);
    for (const ZTDocumentItem *line : lines)
        sum += (line->*getter)().value_or(Decimal(0));
    return sum;
}

} // namespace

ZTDocument *ZTDocument::newDraftOfKind(ManagedObjectContext &context, int kind)
{
    auto *draft = context.insertNewObject<ZTDocument>(QStringLiteral("Document"));
    auto *seller = context.insertNewObject<ZTSeller>(QStringLiteral("Seller"));
    draft->setValidDocumentKind(kind);
    draft->setSeller(seller);
    fillSellerFromDefaultTemplate(draft, kind);
    auto *purchaser = context.insertNewObject<ZTPurchaser>(QStringLiteral("Purchaser"));
    draft->setPurchaser(purchaser);
    const int days = purchaser->defaultDueDays().value_or(defaultDueDays());
    draft->setDueDate(draft->issueDate().addSecs(qint64(days) * 86400));
    draft->setInitialDocumentID();
    return draft;
}

ZTDocument *ZTDocument::newDraftForCopyOfDocument(ZTDocument *source)
{
    if (!source)
        return nullptr;
    ManagedObjectContext &context = *source->managedObjectContext();
    ZTDocument *draft = newDraftOfKind(context, source->documentKind().value_or(kKindInvoice));
    draft->setRemarks(source->remarks());
    draft->setPaymentType(source->paymentType());
    copySeller(source, draft);
    draft->setUseCustomDocumentID(false);
    if (source->documentIDSequencer())
        draft->setDocumentIDSequencer(source->documentIDSequencer());
    if (source->docIDSequencer())
        draft->setDocIDSequencer(source->docIDSequencer());
    copyItems(source, draft);
    copyTotals(source, draft);
    copyPurchaser(source, draft, true);
    keepDueOffset(source, draft);
    copyLanguageAndCurrency(source, draft);
    draft->updateDocumentID();
    return draft;
}

ZTDocument *ZTDocument::newDraftForCorrectiveInvoiceOfDocument(ZTDocument *source)
{
    if (!source)
        return nullptr;
    // A correction always corrects the newest document of the chain.
    ZTDocument *corrected = source->finalCorrectedDocument();
    ManagedObjectContext &context = *source->managedObjectContext();
    ZTDocument *draft = newDraftOfKind(context, kKindCorrectiveInvoice);
    draft->setParentDocument(corrected);
    copySeller(corrected, draft);
    draft->setPaymentType(corrected->paymentType());
    copyTotals(corrected, draft);
    draft->setOriginalTotalNetValue(corrected->totalNetValue());
    draft->setOriginalTotalVatValue(corrected->totalVatValue());
    draft->setOriginalTotalGrossValue(corrected->totalGrossValue());
    draft->setOriginalDocumentID(corrected->documentID());
    draft->setOriginalIssueDate(corrected->issueDate());
    draft->setOriginalGrossBasedSummary(corrected->grossBasedSummary());
    draft->setSellDate(corrected->sellDate());
    copyPurchaser(corrected, draft, false);
    for (const ZTDocumentItem *item : corrected->availableItems())
        item->createCorrectiveItemsForDocument(draft);
    copyLanguageAndCurrency(source, draft);
    return draft;
}

ZTDocument *ZTDocument::newDraftForAdvanceInvoiceWithProforma(ZTDocument *source)
{
    if (!source || !source->isProformaInvoice())
        return nullptr;
    ZTDocument *draft = newDraftOfKind(*source->managedObjectContext(), kKindAdvanceInvoice);
    copySeller(source, draft);
    draft->setRemarks(source->remarks());
    draft->setPaymentType(source->paymentType());
    draft->setUseCustomDocumentID(false);
    copyItems(source, draft);
    copyTotals(source, draft);
    copyPurchaser(source, draft, true);
    keepDueOffset(source, draft);
    copyLanguageAndCurrency(source, draft);
    return draft;
}

ZTDocument *ZTDocument::newDraftForAdvanceInvoiceOfDocument(ZTDocument *source)
{
    if (!source)
        return nullptr;
    ZTDocument *draft = newDraftOfKind(*source->managedObjectContext(), kKindAdvanceInvoice);
    draft->setParentDocument(source);
    draft->setPaymentType(source->paymentType());
    draft->setSellDate(source->sellDate());
    copyItems(source, draft);
    copyTotals(source, draft);
    draft->setDownpaymentValue(source->downpaymentValue());
    copySeller(source, draft);
    copyPurchaser(source, draft, true);
    keepDueOffset(source, draft);
    copyLanguageAndCurrency(source, draft);
    return draft;
}

ZTDocument *ZTDocument::newDraftForFinalInvoiceOfDocument(ZTDocument *source)
{
    if (!source)
        return nullptr;
    ZTDocument *draft = newDraftOfKind(*source->managedObjectContext(), kKindInvoice);
    draft->setParentDocument(source);
    draft->setPaymentType(source->paymentType());
    copyPurchaser(source, draft, true);
    // The currency first: the catalogue prices of the gathered lines are picked by it.
    copyLanguageAndCurrency(source, draft);
    injectFinalInvoiceItemsWithDocument(draft, gatherAdvanceItemsWithFinalDocument(draft));
    if (SettingsStore::standard().boolValue(QStringLiteral("ZTFinalInvoiceDueDateFromLastAdvance")))
        draft->setDueDate(source->dueDate());
    return draft;
}

ZTDocument *ZTDocument::newRegularInvoiceDraftForProformaDocument(ZTDocument *source)
{
    if (!source)
        return nullptr;
    ZTDocument *draft = newDraftOfKind(*source->managedObjectContext(), kKindInvoice);
    draft->setParentDocument(source);
    draft->setRemarks(source->remarks());
    draft->setPaymentType(source->paymentType());
    draft->setDueDate(source->dueDate());
    copyItems(source, draft);
    copyTotals(source, draft);
    draft->setCurrency(source->currency());
    if (source->isPaid()) {
        draft->setPaidAt(source->paidAt());
        static const QMap<QString, QString> paidTypes{
            {QStringLiteral("Przelew"), QStringLiteral("Zapłacono przelewem")},
            {QStringLiteral("Gotówka"), QStringLiteral("Zapłacono gotówką")},
            {QStringLiteral("Płatność kartą"), QStringLiteral("Zapłacono kartą")},
        };
        draft->setPaymentType(paidTypes.value(draft->paymentType(), draft->paymentType()));
    }
    copyPurchaser(source, draft, true);
    draft->setInitialDocumentID();
    draft->setDocumentSecondLanguage(source->documentSecondLanguage());
    return draft;
}

QList<QList<ZTDocumentItem *>> ZTDocument::gatherAdvanceItemsWithFinalDocument(ZTDocument *finalDocument)
{
    QList<QList<ZTDocumentItem *>> groups;
    QList<QPair<QString, QString>> keys;
    ZTDocument *document = ZTDocumentManager::rootDocumentWithDocument(finalDocument);
    QList<ZTDocument *> seen;
    for (; document && !seen.contains(document); document = document->childDocument()) {
        seen.append(document);
        if (document == finalDocument)
            continue;
        for (ZTDocumentItem *item : document->availableItems()) {
            const QPair<QString, QString> key{item->name(), item->vatRateWithDescriptionString()};
            const qsizetype index = keys.indexOf(key);
            if (index < 0) {
                keys.append(key);
                groups.append({item});
            } else {
                groups[index].append(item);
            }
        }
    }
    return groups;
}

void ZTDocument::injectFinalInvoiceItemsWithDocument(ZTDocument *finalDocument,
                                                     const QList<QList<ZTDocumentItem *>> &formerItems)
{
    ZTProductManager products(providerFor(finalDocument->managedObjectContext()));
    const QString currency = finalDocument->currency();
    for (const QList<ZTDocumentItem *> &group : formerItems) {
        if (group.isEmpty())
            continue;
        const ZTDocumentItem *first = group.first();
        ZTDocumentItem *line = ZTDocumentItem::newItemForDocument(finalDocument);
        ZTProduct *product = products.findWithName(first->name(), first->vatRateWithDescription().storedRate().value_or(Decimal(0)));
        if (product) {
            line->copyFromProduct(product);
            const struct
            {
                QString currency;
                std::optional<Decimal> net;
                std::optional<Decimal> gross;
            } priceSlots[] = {{product->currency1(), product->netPrice1(), product->grossPrice1()},
                         {product->currency2(), product->netPrice2(), product->grossPrice2()},
                         {product->currency3(), product->netPrice3(), product->grossPrice3()}};
            for (const auto &slot : priceSlots) {
                if (slot.currency == currency) {
                    line->setNetPrice(slot.net);
                    line->setGrossPrice(slot.gross);
                    line->setSelectedCurrency(currency);
                    break;
                }
            }
        } else {
            line->copyValuesFromItem(*first);
            line->setNetPrice(sumOfLines(group, &ZTProduct::storedNetPrice));
            line->setPosition(int(finalDocument->items().size()));
            line->setNetPrice1(sumOfLines(group, &ZTProduct::netPrice1));
            line->setNetPrice2(sumOfLines(group, &ZTProduct::netPrice2));
            line->setNetPrice3(sumOfLines(group, &ZTProduct::netPrice3));
            line->setGrossPrice1(sumOfLines(group, &ZTProduct::grossPrice1));
            line->setGrossPrice2(sumOfLines(group, &ZTProduct::grossPrice2));
            line->setGrossPrice3(sumOfLines(group, &ZTProduct::grossPrice3));
        }
        for (const ZTDocumentItem *advance : group) {
            ZTDocumentItem *deduction = ZTDocumentItem::newItemForDocument(finalDocument);
            const std::optional<int> position = deduction->position();
            deduction->copyValuesFromItem(*advance);
            deduction->setPosition(position);
            if (advance->grossBasedValues())
                deduction->setGrossPrice(negated(advance->storedGrossPrice()));
            else
                deduction->setNetPrice(negated(advance->storedNetPrice()));
            const ZTDocument *advanceDocument = advance->document();
            deduction->setName(QStringLiteral("%1 (zaliczka nr %2)")
                                   .arg(advance->name(), advanceDocument ? advanceDocument->documentID() : QString()));
            deduction->setAdvancePart(true);
            deduction->setSelectedCurrency(advance->selectedCurrency());
            deduction->setGrossPrice1(negated(advance->grossPrice1()));
            deduction->setGrossPrice2(negated(advance->grossPrice2()));
            deduction->setGrossPrice3(negated(advance->grossPrice3()));
            deduction->setNetPrice1(negated(advance->netPrice1()));
            deduction->setNetPrice2(negated(advance->netPrice2()));
            deduction->setNetPrice3(negated(advance->netPrice3()));
            deduction->setCurrency1(advance->currency1());
            deduction->setCurrency2(advance->currency2());
            deduction->setCurrency3(advance->currency3());
        }
    }
}
