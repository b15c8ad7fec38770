#include "ZTDocumentRepresentation.h"

#include "app/ZTAppController.h"
#include "model/ZTCurrencyManager.h"
#include "model/ZTDocument.h"
#include "model/ZTDocumentItem.h"
#include "model/ZTPurchaser.h"
#include "model/ZTSeller.h"
#include "platform/SettingsStore.h"

#include <QFileInfo>
#include <QTimeZone>

namespace {

bool notEmpty(const QString &text)
{
    return !text.isEmpty();
}

bool isReadableFile(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() && info.isReadable();
}

} // namespace

ZTDocumentRepresentation::ZTDocumentRepresentation(ZTDocument *document, int version)
{
    copyDocumentAttributesFromDocument(document, version);
    setBaseDirectory(ZTAppController::customTemplatesFolder());
    m_document = document;
}

ZTDocumentRepresentation::ZTDocumentRepresentation(ZTDocument *document, const QDateTime &duplicateDate)
{
    m_duplicateDate = duplicateDate;
    copyDocumentAttributesFromDocument(document, kVersionDuplicate);
    setBaseDirectory(ZTAppController::customTemplatesFolder());
    m_document = document;
}

QVariantList ZTDocumentRepresentation::copyVatSummaryIntoDictionaries(const ZTDocumentVatRateSummary &summary)
{
    QVariantList rows;
    for (const ZTDocumentVatRateSummaryItem &item : summary.items()) {
        QVariantMap row;
        row.insert(QStringLiteral("rate"), nullForNil(item.vatRateWithDescription().formattedRateWithDescription()));
        row.insert(QStringLiteral("ratePercent"), QVariant::fromValue(item.rate()));
        row.insert(QStringLiteral("netValue"), QVariant::fromValue(item.netValue()));
        row.insert(QStringLiteral("vatValue"), QVariant::fromValue(item.vatValue()));
        row.insert(QStringLiteral("grossValue"), QVariant::fromValue(item.grossValue()));
        rows.append(row);
    }
    return rows;
}

void ZTDocumentRepresentation::copyDocumentAttributesFromDocument(ZTDocument *document, int version)
{
    m_version = version;
    const SettingsStore &settings = SettingsStore::standard();

    const std::optional<ZTCurrency> currency = ZTCurrencyManager::sharedInstance().currencyWithCode(document->currency());

    setAttribute(QStringLiteral("hasSecondLanguage"), document->hasSecondLanguage());
    setAttribute(QStringLiteral("secondLanguage"), document->documentSecondLanguage().value_or(0));

    const Decimal grossDifference = document->grossCorrectiveDifference();
    setAttribute(QStringLiteral("grossCorrectiveDifferenceSpelledOut"), grandTotalSpelledOut(grossDifference, false));
    setAttribute(QStringLiteral("grossCorrectiveDifferenceSpelledOutSecondLanguage"),
                 grandTotalSpelledOut(grossDifference, true));
    setAttribute(QStringLiteral("totalGrossValueSpelledOut"), grandTotalSpelledOut(document->totalGrossValue(), false));
    setAttribute(QStringLiteral("totalGrossValueSpelledOutSecondLanguage"),
                 grandTotalSpelledOut(document->totalGrossValue(), true));
    setAttribute(QStringLiteral("totalGrossValue"), decimalValue(document->totalGrossValue()));
    setAttribute(QStringLiteral("grossCorrectiveDifference"), QVariant::fromValue(grossDifference));

    setAttribute(QStringLiteral("isCorrectiveInvoice"), document->isCorrectiveInvoice());
    setAttribute(QStringLiteral("isBill"), document->isBill());
    setAttribute(QStringLiteral("isProformaInvoice"), document->isProformaInvoice());
    setAttribute(QStringLiteral("isAdvanceInvoice"), document->isAdvanceInvoice());
    setAttribute(QStringLiteral("isFinalInvoice"), document->isFinalInvoice());
    setAttribute(QStringLiteral("isMarginInvoice"), document->isMarginInvoice());
    setAttribute(QStringLiteral("isSimplifiedInvoice"), document->isSimplifiedInvoice());
    setAttribute(QStringLiteral("documentStatus"), document->status().toLower());
    setAttribute(QStringLiteral("marginInvoiceProcedure"), ZTSeller::marginProcedureNameForDocument(document));
    setAttribute(QStringLiteral("marginInvoiceProcedureSecondLanguage"),
                 ZTSeller::marginProcedureSecondLanguageNameForDocument(document));
    setAttribute(QStringLiteral("documentID"), document->documentID());
    setAttribute(QStringLiteral("documentKind"), document->documentKind() ? QVariant(*document->documentKind()) : QVariant());
    setAttribute(QStringLiteral("formattedDocumentKind"), document->titelizeDocumentKind().toUpper());
    setAttribute(QStringLiteral("formattedDocumentKindSecondLanguage"), document->documentKindNameForSecondLanguage());
    setAttribute(QStringLiteral("remarks"), document->remarks());
    setAttribute(QStringLiteral("documentVersion"), version);
    setAttribute(QStringLiteral("displayPkwiu"), document->pkwiuPresent());
    setAttribute(QStringLiteral("displayDiscount"), document->discountsPresent());
    setAttribute(QStringLiteral("displayRecipientAddress"), document->recipientAddressPresent());
    setAttribute(QStringLiteral("hasFormerAdvances"), document->hasFormerAdvances());

    setAttribute(QStringLiteral("issueDate"), document->issueDate());
    setAttribute(QStringLiteral("shortSellDate"), document->shortSellDate());
    setAttribute(QStringLiteral("sellDate"), document->sellDate());
    setAttribute(QStringLiteral("dueDate"), document->dueDate());
    setAttribute(QStringLiteral("issuedIn"), document->issuedIn());
    setAttribute(QStringLiteral("issueReason"), document->issueReason());
    setAttribute(QStringLiteral("issueReasonSecondLanguage"), issueReasonInSecondLanguage());
    setAttribute(QStringLiteral("originalIssueDate"), document->originalIssueDate());
    setAttribute(QStringLiteral("originalSellDate"), document->sellDate());
    setAttribute(QStringLiteral("originalDocumentID"), document->originalDocumentID());

    setAttribute(QStringLiteral("originalTotalGrossValue"), decimalValue(document->originalTotalGrossValue()));
    setAttribute(QStringLiteral("originalTotalNetValue"), decimalValue(document->originalTotalNetValue()));
    setAttribute(QStringLiteral("originalTotalVatValue"), decimalValue(document->originalTotalVatValue()));
    setAttribute(QStringLiteral("netCorrectiveDifference"), QVariant::fromValue(document->netCorrectiveDifference()));
    setAttribute(QStringLiteral("vatCorrectiveDifference"), QVariant::fromValue(document->vatCorrectiveDifference()));
    setAttribute(QStringLiteral("totalNetValue"), decimalValue(document->totalNetValue()));
    setAttribute(QStringLiteral("totalVatValue"), decimalValue(document->totalVatValue()));
    setAttribute(QStringLiteral("paymentType"), document->paymentType());
    setAttribute(QStringLiteral("paymentTypeSecondLanguage"), paymentTypeInSecondLanguage());
    setAttribute(QStringLiteral("advancePaymentValue"), decimalValue(document->downpaymentValue()));
    setAttribute(QStringLiteral("showAdvancePayment"), settings.boolValue(QStringLiteral("ZTAdvanceDownpayment")));

    const ZTSeller *seller = document->seller();
    setAttribute(QStringLiteral("displaySellerBankAccountDetails"), seller && notEmpty(seller->bankAccountNumber()));
    setAttribute(QStringLiteral("displaySellerBankName"), seller && notEmpty(seller->bankName()));
    setAttribute(QStringLiteral("displaySellerBankSwift"), seller && notEmpty(seller->bankSwift()));

    setAttribute(QStringLiteral("draftDocument"), document->isDraft());
    setAttribute(QStringLiteral("duplicateDocument"), version == kVersionDuplicate);
    setAttribute(QStringLiteral("greenTemplate"),
                 version == kVersionCopy && settings.boolValue(QStringLiteral("ZTRepresentationGreenCopies")));
    static const QDateTime firstOf2013(QDate(2013, 1, 1), QTime(0, 0), QTimeZone::utc());
    setAttribute(QStringLiteral("isPre2013Document"), document->issueDate().isValid() && document->issueDate() < firstOf2013);
    setAttribute(QStringLiteral("vatSummaries"), copyVatSummaryIntoDictionaries(document->vatSummary()));
    setAttribute(QStringLiteral("originalVatSummaries"), copyVatSummaryIntoDictionaries(document->originalVatSummary()));
    setAttribute(QStringLiteral("correctiveDifferenceVatSummaries"),
                 copyVatSummaryIntoDictionaries(document->correctiveDifferenceVatSummary()));
    setAttribute(QStringLiteral("duplicateIssueDate"), version == kVersionDuplicate ? m_duplicateDate : QDateTime());
    setAttribute(QStringLiteral("currencySymbol"), currency ? QVariant(currency->symbol()) : QVariant());
    setAttribute(QStringLiteral("currencyCode"), currency ? QVariant(currency->code()) : QVariant());

    copyItemsFromDocument(document);
    copyPurchaserFromDocument(document);
    copySellerFromDocument(document);
    copyFormerAdvancesFromDocument(document);
}

void ZTDocumentRepresentation::copyItemsFromDocument(ZTDocument *document)
{
    QVariantList rows;
    for (const ZTDocumentItem *item : document->positionedItems()) {
        QVariantMap row;
        row.insert(QStringLiteral("name"), nullForNil(item->name()));
        row.insert(QStringLiteral("position"), item->position() ? QVariant(*item->position()) : QVariant());
        row.insert(QStringLiteral("unitName"), nullForNil(item->unitName()));
        row.insert(QStringLiteral("quantity"), decimalValue(item->quantity()));
        row.insert(QStringLiteral("pkwiu"), nullForNil(item->pkwiu()));
        row.insert(QStringLiteral("netPrice"), decimalValue(item->netPrice()));
        row.insert(QStringLiteral("vatRate"), nullForNil(item->vatRateWithDescriptionString()));
        row.insert(QStringLiteral("grossPrice"), decimalValue(item->grossPrice()));
        row.insert(QStringLiteral("netValue"), decimalValue(item->netValue()));
        row.insert(QStringLiteral("vatValue"), decimalValue(item->vatValue()));
        row.insert(QStringLiteral("grossValue"), decimalValue(item->grossValue()));
        row.insert(QStringLiteral("discountRate"), decimalValue(item->discount()));
        row.insert(QStringLiteral("discountedNetPrice"), decimalValue(item->netPriceAfterDiscount()));
        row.insert(QStringLiteral("subPositionDescription"), nullForNil(item->subPositionDescription()));
        row.insert(QStringLiteral("isCorrectedItem"), item->isOriginal());
        row.insert(QStringLiteral("hasCorrectedName"), item->hasCorrectedName());
        row.insert(QStringLiteral("correctedName"), nullForNil(item->correctedName()));
        rows.append(row);
    }
    setAttribute(QStringLiteral("items"), rows);
}

void ZTDocumentRepresentation::copyPurchaserFromDocument(ZTDocument *document)
{
    QVariantMap purchaser;
    const ZTPurchaser *source = document->purchaser();
    if (source) {
        purchaser.insert(QStringLiteral("nip"), nullForNil(source->nip()));
        purchaser.insert(QStringLiteral("name"), nullForNil(source->name()));
        purchaser.insert(QStringLiteral("address"), nullForNil(source->address()));
        purchaser.insert(QStringLiteral("recipient"), nullForNil(source->recipient()));
        purchaser.insert(QStringLiteral("recipientAddress"), nullForNil(source->recipientAddress()));
        const bool printContact = SettingsStore::standard().boolValue(QStringLiteral("ZTPrintPurchaserContactData"));
        purchaser.insert(QStringLiteral("purchaserContactData"),
                         printContact ? nullForNil(source->contactData()) : QVariant(QStringLiteral("")));
        setAttribute(QStringLiteral("displayPurchaserRecipient"), document->recipientPresent());
        setAttribute(QStringLiteral("displayRecipientAddress"), document->recipientAddressPresent());
    } else {
        for (const QString &key : {QStringLiteral("nip"), QStringLiteral("address"), QStringLiteral("name"),
                                   QStringLiteral("recipient"), QStringLiteral("recipientAddress"),
                                   QStringLiteral("purchaserContactData")})
            purchaser.insert(key, QStringLiteral(""));
    }
    setAttribute(QStringLiteral("purchaser"), purchaser);
}

void ZTDocumentRepresentation::copySellerFromDocument(ZTDocument *document)
{
    QVariantMap seller;
    const ZTSeller *source = document->seller();
    if (source) {
        seller.insert(QStringLiteral("nip"), nullForNil(source->nip()));
        seller.insert(QStringLiteral("name"), nullForNil(source->name()));
        seller.insert(QStringLiteral("bankAccountNumber"), nullForNil(source->bankAccountNumber()));
        seller.insert(QStringLiteral("bankName"), nullForNil(source->bankName()));
        seller.insert(QStringLiteral("bankSwift"), nullForNil(source->bankSwift()));
        seller.insert(QStringLiteral("logoPath"), nullForNil(source->logoPath()));
        seller.insert(QStringLiteral("facsimilePath"), nullForNil(source->facsimilePath()));
        seller.insert(QStringLiteral("signature"), nullForNil(source->signature()));
        seller.insert(QStringLiteral("address"), nullForNil(source->address()));
        seller.insert(QStringLiteral("sellerContactData"), nullForNil(source->contactData()));
        seller.insert(QStringLiteral("cashBasisMethod"), source->cashBasisMethod());

        const bool hidden = document->hideAccountData();
        setAttribute(QStringLiteral("displaySellerBankName"), !hidden && notEmpty(source->bankName()));
        setAttribute(QStringLiteral("displaySellerBankAccountDetails"),
                     !hidden && (notEmpty(source->bankName()) || notEmpty(source->bankAccountNumber())));
        setAttribute(QStringLiteral("displaySellerSignature"), notEmpty(source->signature()));
        setAttribute(QStringLiteral("displaySellerLogo"), isReadableFile(source->logoPath()));
        setAttribute(QStringLiteral("displaySellerFacsimile"), isReadableFile(source->facsimilePath()));
    } else {
        for (const QString &key : {QStringLiteral("address"), QStringLiteral("name"), QStringLiteral("bankAccountNumber"),
                                   QStringLiteral("bankName"), QStringLiteral("logoPath"), QStringLiteral("facsimilePath"),
                                   QStringLiteral("signature"), QStringLiteral("sellerContactData")})
            seller.insert(key, QStringLiteral(""));
        seller.insert(QStringLiteral("cashBasisMethod"), false);
        for (const QString &key : {QStringLiteral("displaySellerBankName"), QStringLiteral("displaySellerBankAccountDetails"),
                                   QStringLiteral("displaySellerBankSwift"), QStringLiteral("displaySellerSignature"),
                                   QStringLiteral("displaySellerLogo"), QStringLiteral("displaySellerFacsimile")})
            setAttribute(key, false);
    }
    setAttribute(QStringLiteral("seller"), seller);
}

void ZTDocumentRepresentation::copyFormerAdvancesFromDocument(ZTDocument *document)
{
    QVariantList rows;
    Decimal total(0);
    for (const ZTDocument *advance : document->formerAdvances()) {
        QVariantMap row;
        row.insert(QStringLiteral("formerAdvanceDocumentID"), nullForNil(advance->documentID()));
        row.insert(QStringLiteral("formerAdvanceIssueDate"), nullForNil(advance->issueDate()));
        rows.append(row);
        total += advance->totalGrossValue().value_or(Decimal(0));
    }
    setAttribute(QStringLiteral("formerAdvancesItems"), rows);
    setAttribute(QStringLiteral("formerAdvanceDocumentsTotalGrossValue"), QVariant::fromValue(total));
}
