#include "ZTStoreModel.h"

#include "ZTEntityClasses.h"

namespace {

using T = AttributeType;

void addDocument(StoreModel &m)
{
    m.addEntity(QStringLiteral("Document"))
        .addAttribute(QStringLiteral("documentKind"), T::Integer)
        .addAttribute(QStringLiteral("status"), T::String)
        .addAttribute(QStringLiteral("statusUpdatedAt"), T::Date)
        .addAttribute(QStringLiteral("createdAt"), T::Date)
        .addAttribute(QStringLiteral("documentID"), T::String)
        .addAttribute(QStringLiteral("useCustomDocumentID"), T::Boolean)
        .addAttribute(QStringLiteral("originalDocumentID"), T::String)
        .addAttribute(QStringLiteral("issueDate"), T::Date)
        .addAttribute(QStringLiteral("originalIssueDate"), T::Date)
        .addAttribute(QStringLiteral("sellDate"), T::Date)
        .addAttribute(QStringLiteral("shortSellDate"), T::Boolean)
        .addAttribute(QStringLiteral("dueDate"), T::Date)
        .addAttribute(QStringLiteral("paidAt"), T::Date)
        .addAttribute(QStringLiteral("issuedIn"), T::String)
        .addAttribute(QStringLiteral("paymentType"), T::String)
        .addAttribute(QStringLiteral("currency"), T::String)
        .addAttribute(QStringLiteral("documentSecondLanguage"), T::Integer)
        .addAttribute(QStringLiteral("remarks"), T::String)
        .addAttribute(QStringLiteral("label"), T::String)
        .addAttribute(QStringLiteral("templateName"), T::String)
        .addAttribute(QStringLiteral("issueReason"), T::String)
        .addAttribute(QStringLiteral("correctiveTextBefore"), T::String)
        .addAttribute(QStringLiteral("correctiveTextAfter"), T::String)
        .addAttribute(QStringLiteral("hideAccountData"), T::Boolean)
        .addAttribute(QStringLiteral("prepaidAmount"), T::Decimal)
        .addAttribute(QStringLiteral("downpaymentValue"), T::Decimal)
        .addAttribute(QStringLiteral("cashBasisMethod"), T::Boolean)
        .addAttribute(QStringLiteral("grossBasedSummary"), T::Boolean)
        .addAttribute(QStringLiteral("originalGrossBasedSummary"), T::Boolean)
        .addAttribute(QStringLiteral("totalNetValue"), T::Decimal)
        .addAttribute(QStringLiteral("totalVatValue"), T::Decimal)
        .addAttribute(QStringLiteral("totalGrossValue"), T::Decimal)
        .addAttribute(QStringLiteral("originalTotalNetValue"), T::Decimal)
        .addAttribute(QStringLiteral("originalTotalVatValue"), T::Decimal)
        .addAttribute(QStringLiteral("originalTotalGrossValue"), T::Decimal)
        .addAttribute(QStringLiteral("marginInvoiceProcedure"), T::String)
        .addAttribute(QStringLiteral("marginInvoiceVatRate"), T::Decimal)
        .addAttribute(QStringLiteral("marginInvoiceVatRateDescription"), T::String)
        .addAttribute(QStringLiteral("documentDueCalendarEventUid"), T::String)
        // A document is deleted only as a whole: its lines, settlement lines and party
        // snapshots go with it.
        .addToMany(QStringLiteral("items"), QStringLiteral("DocumentItem"), QStringLiteral("document"),
                   DeleteRule::Cascade)
        .addToMany(QStringLiteral("settlementItems"), QStringLiteral("SettlementItem"), QStringLiteral("document"),
                   DeleteRule::Cascade)
        .addToOne(QStringLiteral("purchaser"), QStringLiteral("Purchaser"), QStringLiteral("document"),
                  DeleteRule::Cascade)
        .addToOne(QStringLiteral("seller"), QStringLiteral("Seller"), QStringLiteral("documents"),
                  DeleteRule::Cascade)
        // Two independent links, not inverses of each other.
        .addToOne(QStringLiteral("parentDocument"), QStringLiteral("Document"))
        .addToOne(QStringLiteral("childDocument"), QStringLiteral("Document"))
        .addToOne(QStringLiteral("documentIDSequencer"), QStringLiteral("DocumentIDSequencer"),
                  QStringLiteral("documents"))
        .addToOne(QStringLiteral("docIDSequencer"), QStringLiteral("DocumentSmartSequencer"))
        // The overdue count and the month and year folders filter on these together.
        .addIndex({QStringLiteral("status"), QStringLiteral("dueDate")})
        .addIndex({QStringLiteral("issueDate"), QStringLiteral("status")});
}

EntityDescription &addProductAttributes(EntityDescription &e)
{
    return e.addAttribute(QStringLiteral("name"), T::String)
        .addAttribute(QStringLiteral("label"), T::String)
        .addAttribute(QStringLiteral("pkwiu"), T::String)
        .addAttribute(QStringLiteral("unitName"), T::String)
        .addAttribute(QStringLiteral("vatRate"), T::Decimal)
        .addAttribute(QStringLiteral("vatDescription"), T::String)
        .addAttribute(QStringLiteral("netPrice"), T::Decimal)
        .addAttribute(QStringLiteral("grossPrice"), T::Decimal)
        .addAttribute(QStringLiteral("billPrice"), T::Decimal)
        .addAttribute(QStringLiteral("grossBasedValues"), T::Boolean)
        .addAttribute(QStringLiteral("currency1"), T::String)
        .addAttribute(QStringLiteral("currency2"), T::String)
        .addAttribute(QStringLiteral("currency3"), T::String)
        .addAttribute(QStringLiteral("netPrice1"), T::Decimal)
        .addAttribute(QStringLiteral("grossPrice1"), T::Decimal)
        .addAttribute(QStringLiteral("netPrice2"), T::Decimal)
        .addAttribute(QStringLiteral("grossPrice2"), T::Decimal)
        .addAttribute(QStringLiteral("netPrice3"), T::Decimal)
        .addAttribute(QStringLiteral("grossPrice3"), T::Decimal)
        .addAttribute(QStringLiteral("doNotAutocomplete"), T::Boolean)
        .addAttribute(QStringLiteral("createdAt"), T::Date);
}

void addProducts(StoreModel &m)
{
    addProductAttributes(m.addEntity(QStringLiteral("Product")));
    m.addEntity(QStringLiteral("DocumentItem"), QStringLiteral("Product"))
        .addAttribute(QStringLiteral("position"), T::Integer)
        .addAttribute(QStringLiteral("subPosition"), T::Integer)
        .addAttribute(QStringLiteral("quantity"), T::Decimal)
        .addAttribute(QStringLiteral("discount"), T::Decimal)
        .addAttribute(QStringLiteral("netValue"), T::Decimal)
        .addAttribute(QStringLiteral("vatValue"), T::Decimal)
        .addAttribute(QStringLiteral("grossValue"), T::Decimal)
        .addAttribute(QStringLiteral("advancePart"), T::Boolean)
        .addAttribute(QStringLiteral("selectedCurrency"), T::String)
        .addToOne(QStringLiteral("document"), QStringLiteral("Document"), QStringLiteral("items"))
        // Deleting the catalogue product leaves the line, with its link emptied.
        .addToOne(QStringLiteral("baseProduct"), QStringLiteral("Product"));
}

EntityDescription &addSellerAttributes(EntityDescription &e)
{
    return e.addAttribute(QStringLiteral("bankName"), T::String)
        .addAttribute(QStringLiteral("bankAccountNumber"), T::String)
        .addAttribute(QStringLiteral("bankSwift"), T::String)
        .addAttribute(QStringLiteral("logoPath"), T::String)
        .addAttribute(QStringLiteral("facsimilePath"), T::String)
        .addAttribute(QStringLiteral("signature"), T::String)
        .addAttribute(QStringLiteral("issuesIn"), T::String)
        .addAttribute(QStringLiteral("cashBasisMethod"), T::Boolean)
        .addAttribute(QStringLiteral("marginInvoiceProcedure"), T::String);
}

void addParties(StoreModel &m)
{
    m.addEntity(QStringLiteral("Person"))
        .addAttribute(QStringLiteral("name"), T::String)
        .addAttribute(QStringLiteral("address"), T::String)
        .addAttribute(QStringLiteral("nip"), T::String)
        .addAttribute(QStringLiteral("regon"), T::String)
        .addAttribute(QStringLiteral("remarks"), T::String)
        .addAttribute(QStringLiteral("contactData"), T::String)
        .addAttribute(QStringLiteral("createdAt"), T::Date);
    m.addEntity(QStringLiteral("Customer"), QStringLiteral("Person"))
        .addAttribute(QStringLiteral("label"), T::String)
        .addAttribute(QStringLiteral("email"), T::String)
        .addAttribute(QStringLiteral("pesel"), T::String)
        .addAttribute(QStringLiteral("recipient"), T::String)
        .addAttribute(QStringLiteral("recipientAddress"), T::String)
        .addAttribute(QStringLiteral("picturePath"), T::String)
        .addAttribute(QStringLiteral("defaultDiscount"), T::Decimal)
        .addAttribute(QStringLiteral("defaultDueDays"), T::Integer)
        .addAttribute(QStringLiteral("defaultPaymentType"), T::String)
        .addAttribute(QStringLiteral("defaultDocumentSecondLanguage"), T::Integer)
        .addAttribute(QStringLiteral("defaultDocumentRemarks"), T::String);
    m.addEntity(QStringLiteral("Purchaser"), QStringLiteral("Customer"))
        .addToOne(QStringLiteral("document"), QStringLiteral("Document"), QStringLiteral("purchaser"))
        // Deleting the customer leaves the purchaser snapshot, with its link emptied.
        .addToOne(QStringLiteral("baseCustomer"), QStringLiteral("Customer"));
    addSellerAttributes(m.addEntity(QStringLiteral("Seller"), QStringLiteral("Person")))
        .addToMany(QStringLiteral("documents"), QStringLiteral("Document"), QStringLiteral("seller"));
    addSellerAttributes(m.addEntity(QStringLiteral("SellerTemplate"), QStringLiteral("Person")))
        .addAttribute(QStringLiteral("templateName"), T::String)
        .addAttribute(QStringLiteral("order"), T::Integer)
        .addAttribute(QStringLiteral("defaultDocumentSecondLanguage"), T::Integer);
}

void addSettlementsAndSequencers(StoreModel &m)
{
    m.addEntity(QStringLiteral("SettlementItem"))
        .addAttribute(QStringLiteral("name"), T::String)
        .addAttribute(QStringLiteral("itemDescription"), T::String)
        .addAttribute(QStringLiteral("purchaseInvoice"), T::String)
        .addAttribute(QStringLiteral("grossValue"), T::Decimal)
        .addAttribute(QStringLiteral("position"), T::Integer)
        .addToOne(QStringLiteral("document"), QStringLiteral("Document"), QStringLiteral("settlementItems"));
    m.addEntity(QStringLiteral("DocumentIDSequencer"))
        .addAttribute(QStringLiteral("name"), T::String)
        .addAttribute(QStringLiteral("format"), T::String)
        .addAttribute(QStringLiteral("documentKind"), T::Integer)
        .addAttribute(QStringLiteral("lastValue"), T::Integer)
        .addAttribute(QStringLiteral("lastDateIssued"), T::Date)
        .addAttribute(QStringLiteral("position"), T::Integer)
        .addAttribute(QStringLiteral("archived"), T::Boolean)
        .addAttribute(QStringLiteral("monthlyReset"), T::Boolean)
        .addAttribute(QStringLiteral("createdAt"), T::Date)
        .addToMany(QStringLiteral("documents"), QStringLiteral("Document"), QStringLiteral("documentIDSequencer"));
    m.addEntity(QStringLiteral("DocumentSmartSequencer"))
        .addAttribute(QStringLiteral("name"), T::String)
        .addAttribute(QStringLiteral("format"), T::String)
        .addAttribute(QStringLiteral("documentKind"), T::Integer)
        .addAttribute(QStringLiteral("monthlyReset"), T::Boolean)
        .addAttribute(QStringLiteral("removed"), T::Boolean)
        .addAttribute(QStringLiteral("createdAt"), T::Date)
        .addToMany(QStringLiteral("values"), QStringLiteral("DocumentSmartSequencerValues"),
                   QStringLiteral("sequencer"), DeleteRule::Cascade);
    m.addEntity(QStringLiteral("DocumentSmartSequencerValues"))
        .addAttribute(QStringLiteral("lastValue"), T::Integer)
        .addAttribute(QStringLiteral("lastIssuedDate"), T::Date)
        .addAttribute(QStringLiteral("createdAt"), T::Date)
        .addToOne(QStringLiteral("sequencer"), QStringLiteral("DocumentSmartSequencer"), QStringLiteral("values"))
        .addToOne(QStringLiteral("lastDocument"), QStringLiteral("Document"));
}

std::shared_ptr<StoreModel> build()
{
    auto model = std::make_shared<StoreModel>(kZTStoreModelVersion);
    addDocument(*model);
    addProducts(*model);
    addParties(*model);
    addSettlementsAndSequencers(*model);
    registerZTEntityClasses(*model);
    model->finalize();
    return model;
}

} // namespace

std::shared_ptr<const StoreModel> ztStoreModel()
{
    static const std::shared_ptr<const StoreModel> model = build();
    return model;
}
