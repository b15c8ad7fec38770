#pragma once

#include "ZTManagedObject.h"

class ManagedObjectContext;
class ZTDocumentIDSequencer;
class ZTDocumentItem;
class ZTDocumentSmartSequencer;
class ZTPurchaser;
class ZTSeller;
class ZTSettlementItem;

// A sales document ("Document"). A draft saves whatever its checks find; an issued one is bound
// by them (see validationPreventsSave).
class ZTDocument : public ZTManagedObject
{
public:
    static const QString kStatusDraft; // "DRAFT"

    std::optional<int> documentKind() const { return intAttribute(QStringLiteral("documentKind")); }
    void setDocumentKind(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("documentKind"), number);
    }
    QString status() const { return stringAttribute(QStringLiteral("status")); }
    void setStatus(const QString &text) { setStringAttribute(QStringLiteral("status"), text); }
    QDateTime statusUpdatedAt() const { return dateAttribute(QStringLiteral("statusUpdatedAt")); }
    void setStatusUpdatedAt(const QDateTime &date)
    {
        setDateAttribute(QStringLiteral("statusUpdatedAt"), date);
    }
    QDateTime createdAt() const { return dateAttribute(QStringLiteral("createdAt")); }
    void setCreatedAt(const QDateTime &date) { setDateAttribute(QStringLiteral("createdAt"), date); }
    // Empty text (never null) when no number is stored.
    QString documentID() const;
    void setDocumentID(const QString &text) { setStringAttribute(QStringLiteral("documentID"), text); }
    bool useCustomDocumentID() const { return boolAttribute(QStringLiteral("useCustomDocumentID")); }
    void setUseCustomDocumentID(bool flag) { setBoolAttribute(QStringLiteral("useCustomDocumentID"), flag); }
    QString originalDocumentID() const { return stringAttribute(QStringLiteral("originalDocumentID")); }
    void setOriginalDocumentID(const QString &text)
    {
        setStringAttribute(QStringLiteral("originalDocumentID"), text);
    }
    QDateTime issueDate() const { return dateAttribute(QStringLiteral("issueDate")); }
    void setIssueDate(const QDateTime &date) { setDateAttribute(QStringLiteral("issueDate"), date); }
    QDateTime originalIssueDate() const { return dateAttribute(QStringLiteral("originalIssueDate")); }
    void setOriginalIssueDate(const QDateTime &date)
    {
        setDateAttribute(QStringLiteral("originalIssueDate"), date);
    }
    QDateTime sellDate() const { return dateAttribute(QStringLiteral("sellDate")); }
    void setSellDate(const QDateTime &date) { setDateAttribute(QStringLiteral("sellDate"), date); }
    bool shortSellDate() const { return boolAttribute(QStringLiteral("shortSellDate")); }
    void setShortSellDate(bool flag) { setBoolAttribute(QStringLiteral("shortSellDate"), flag); }
    QDateTime dueDate() const { return dateAttribute(QStringLiteral("dueDate")); }
    void setDueDate(const QDateTime &date) { setDateAttribute(QStringLiteral("dueDate"), date); }
    QDateTime paidAt() const { return dateAttribute(QStringLiteral("paidAt")); }
    void setPaidAt(const QDateTime &date) { setDateAttribute(QStringLiteral("paidAt"), date); }
    QString issuedIn() const { return stringAttribute(QStringLiteral("issuedIn")); }
    void setIssuedIn(const QString &text) { setStringAttribute(QStringLiteral("issuedIn"), text); }
    QString paymentType() const { return stringAttribute(QStringLiteral("paymentType")); }
    void setPaymentType(const QString &text) { setStringAttribute(QStringLiteral("paymentType"), text); }
    QString currency() const { return stringAttribute(QStringLiteral("currency")); }
    void setCurrency(const QString &text) { setStringAttribute(QStringLiteral("currency"), text); }
    std::optional<int> documentSecondLanguage() const
    {
        return intAttribute(QStringLiteral("documentSecondLanguage"));
    }
    void setDocumentSecondLanguage(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("documentSecondLanguage"), number);
    }
    QString remarks() const { return stringAttribute(QStringLiteral("remarks")); }
    void setRemarks(const QString &text) { setStringAttribute(QStringLiteral("remarks"), text); }
    QString label() const { return stringAttribute(QStringLiteral("label")); }
    void setLabel(const QString &text) { setStringAttribute(QStringLiteral("label"), text); }
    QString templateName() const { return stringAttribute(QStringLiteral("templateName")); }
    void setTemplateName(const QString &text) { setStringAttribute(QStringLiteral("templateName"), text); }
    QString issueReason() const { return stringAttribute(QStringLiteral("issueReason")); }
    void setIssueReason(const QString &text) { setStringAttribute(QStringLiteral("issueReason"), text); }
    QString correctiveTextBefore() const { return stringAttribute(QStringLiteral("correctiveTextBefore")); }
    void setCorrectiveTextBefore(const QString &text)
    {
        setStringAttribute(QStringLiteral("correctiveTextBefore"), text);
    }
    QString correctiveTextAfter() const { return stringAttribute(QStringLiteral("correctiveTextAfter")); }
    void setCorrectiveTextAfter(const QString &text)
    {
        setStringAttribute(QStringLiteral("correctiveTextAfter"), text);
    }
    bool hideAccountData() const { return boolAttribute(QStringLiteral("hideAccountData")); }
    void setHideAccountData(bool flag) { setBoolAttribute(QStringLiteral("hideAccountData"), flag); }
    std::optional<Decimal> prepaidAmount() const { return decimalAttribute(QStringLiteral("prepaidAmount")); }
    void setPrepaidAmount(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("prepaidAmount"), number);
    }
    std::optional<Decimal> downpaymentValue() const
    {
        return decimalAttribute(QStringLiteral("downpaymentValue"));
    }
    void setDownpaymentValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("downpaymentValue"), number);
    }
    bool cashBasisMethod() const { return boolAttribute(QStringLiteral("cashBasisMethod")); }
    void setCashBasisMethod(bool flag) { setBoolAttribute(QStringLiteral("cashBasisMethod"), flag); }
    bool grossBasedSummary() const { return boolAttribute(QStringLiteral("grossBasedSummary")); }
    void setGrossBasedSummary(bool flag) { setBoolAttribute(QStringLiteral("grossBasedSummary"), flag); }
    bool originalGrossBasedSummary() const
    {
        return boolAttribute(QStringLiteral("originalGrossBasedSummary"));
    }
    void setOriginalGrossBasedSummary(bool flag)
    {
        setBoolAttribute(QStringLiteral("originalGrossBasedSummary"), flag);
    }
    std::optional<Decimal> totalNetValue() const { return decimalAttribute(QStringLiteral("totalNetValue")); }
    void setTotalNetValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("totalNetValue"), number);
    }
    std::optional<Decimal> totalVatValue() const { return decimalAttribute(QStringLiteral("totalVatValue")); }
    void setTotalVatValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("totalVatValue"), number);
    }
    std::optional<Decimal> totalGrossValue() const
    {
        return decimalAttribute(QStringLiteral("totalGrossValue"));
    }
    void setTotalGrossValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("totalGrossValue"), number);
    }
    std::optional<Decimal> originalTotalNetValue() const
    {
        return decimalAttribute(QStringLiteral("originalTotalNetValue"));
    }
    void setOriginalTotalNetValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("originalTotalNetValue"), number);
    }
    std::optional<Decimal> originalTotalVatValue() const
    {
        return decimalAttribute(QStringLiteral("originalTotalVatValue"));
    }
    void setOriginalTotalVatValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("originalTotalVatValue"), number);
    }
    std::optional<Decimal> originalTotalGrossValue() const
    {
        return decimalAttribute(QStringLiteral("originalTotalGrossValue"));
    }
    void setOriginalTotalGrossValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("originalTotalGrossValue"), number);
    }
    QString marginInvoiceProcedure() const
    {
        return stringAttribute(QStringLiteral("marginInvoiceProcedure"));
    }
    void setMarginInvoiceProcedure(const QString &text)
    {
        setStringAttribute(QStringLiteral("marginInvoiceProcedure"), text);
    }
    std::optional<Decimal> marginInvoiceVatRate() const
    {
        return decimalAttribute(QStringLiteral("marginInvoiceVatRate"));
    }
    void setMarginInvoiceVatRate(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("marginInvoiceVatRate"), number);
    }
    QString marginInvoiceVatRateDescription() const
    {
        return stringAttribute(QStringLiteral("marginInvoiceVatRateDescription"));
    }
    void setMarginInvoiceVatRateDescription(const QString &text)
    {
        setStringAttribute(QStringLiteral("marginInvoiceVatRateDescription"), text);
    }
    QString documentDueCalendarEventUid() const
    {
        return stringAttribute(QStringLiteral("documentDueCalendarEventUid"));
    }
    void setDocumentDueCalendarEventUid(const QString &text)
    {
        setStringAttribute(QStringLiteral("documentDueCalendarEventUid"), text);
    }

    // ---- kinds, states, derived drafts, issuing and deletion
    // (declarations of that work go here; bodies in ZTDocumentKinds.cpp / ZTDocumentDrafts.cpp)
    // ---- end of kinds, states, derived drafts

    // ---- amounts: line recalculation, calculation direction, VAT summary, totals, corrections
    // (declarations of that work go here; bodies in ZTDocumentAmounts.cpp)
    // ---- end of amounts

    QList<ZTDocumentItem *> items() const;
    void addItem(ZTDocumentItem *object);
    void removeItem(ZTDocumentItem *object);
    QList<ZTSettlementItem *> settlementItems() const;
    void addSettlementItem(ZTSettlementItem *object);
    void removeSettlementItem(ZTSettlementItem *object);
    ZTPurchaser *purchaser() const;
    void setPurchaser(ZTPurchaser *object);
    ZTSeller *seller() const;
    void setSeller(ZTSeller *object);
    ZTDocument *parentDocument() const;
    void setParentDocument(ZTDocument *object);
    ZTDocument *childDocument() const;
    void setChildDocument(ZTDocument *object);
    ZTDocumentIDSequencer *documentIDSequencer() const;
    void setDocumentIDSequencer(ZTDocumentIDSequencer *object);
    ZTDocumentSmartSequencer *docIDSequencer() const;
    void setDocIDSequencer(ZTDocumentSmartSequencer *object);

    bool isDraft() const { return status() == kStatusDraft; }

    // Transient values, never stored.
    bool hasMixedCalculationDirections() const { return m_hasMixedCalculationDirections; }
    void setHasMixedCalculationDirections(bool mixed) { m_hasMixedCalculationDirections = mixed; }
    Decimal grossCorrectiveDifference() const { return m_grossCorrectiveDifference; }
    void setGrossCorrectiveDifference(const Decimal &difference) { m_grossCorrectiveDifference = difference; }
    Decimal netCorrectiveDifference() const { return m_netCorrectiveDifference; }
    void setNetCorrectiveDifference(const Decimal &difference) { m_netCorrectiveDifference = difference; }
    Decimal vatCorrectiveDifference() const { return m_vatCorrectiveDifference; }
    void setVatCorrectiveDifference(const Decimal &difference) { m_vatCorrectiveDifference = difference; }

    // Also sets the flag of every line, the purchaser and the seller, so that issuing binds
    // the whole document and a draft frees it.
    void setValidationPreventsSave(bool prevents) override;

    void awakeFromInsert() override;
    void awakeFromFetch() override;

protected:
    // Runs after every insert and fetch, once the flag is set: where the document starts
    // observing its own changes. Nothing observes yet.
    virtual void startObserving() {}
    // Runs after a fetch, before startObserving: where a draft refreshes its number and its
    // calculation directions and a corrective invoice computes its differences. Nothing is
    // recomputed yet.
    virtual void recomputeAfterFetch() {}

private:
    bool m_hasMixedCalculationDirections = false;
    Decimal m_grossCorrectiveDifference;
    Decimal m_netCorrectiveDifference;
    Decimal m_vatCorrectiveDifference;
};
