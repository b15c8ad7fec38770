#pragma once

#include "ZTManagedObject.h"
#include "ZTDocumentVatRateSummary.h"

#include "platform/FetchRequest.h"
#include "platform/Observation.h"

#include <vector>

class ManagedObjectContext;
class ZTDocumentIDSequencer;
class ZTDocumentItem;
class ZTProduct;
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
    static constexpr int kKindInvoice = 1;
    static constexpr int kKindProForma = 2;
    static constexpr int kKindCorrectiveInvoice = 4;
    static constexpr int kKindBill = 16;
    static constexpr int kKindAdvanceInvoice = 32;
    static constexpr int kKindMarginInvoice = 64;
    static constexpr int kKindSimplifiedInvoice = 128;

    static const QString kStatusIssued;   // "ISSUED"
    static const QString kStatusPaid;     // "PAID"
    static const QString kStatusCanceled; // "CANCELED"
    // Thrown (as NamedException) by setValidDocumentKind for a code that is no kind.
    static const QString kUnknownDocumentKindException; // "ZTUnknownDocumentKindValue"

    static bool isValidKind(int kind);
    // In the order in which kinds are offered: 1, 128, 64, 2, 32, 4, 16.
    static QList<int> documentKinds();
    static QMap<int, QString> documentKindsWithNames();
    static QMap<int, QString> documentKindsWithLongNames();
    // The names of the kinds' templates ("docInvoice", …).
    static QMap<int, QString> documentKindsWithShortNames();
    static QMap<int, QString> documentKindsWithEnglishNames();
    static QString shortNameForDocumentKind(int kind);
    // The setting ZTDueDateIntervalValue, 14 when it is missing.
    static int defaultDueDays();

    // Sets the kind, refusing a code that is no kind (the stored kind then stays).
    void setValidDocumentKind(int kind);
    QString documentKindName() const;
    QString documentKindShortName() const;
    // Null when the second language is neither none nor English.
    QString documentKindNameForSecondLanguage() const;
    QString titelizeDocumentKind() const;

    bool isIssued() const { return status() == kStatusIssued; }
    bool isPaid() const { return status() == kStatusPaid; }
    bool isCanceled() const { return status() == kStatusCanceled; }
    bool isProformaInvoice() const { return documentKind() == kKindProForma; }
    bool isCorrectiveInvoice() const { return documentKind() == kKindCorrectiveInvoice; }
    bool isBill() const { return documentKind() == kKindBill; }
    bool isAdvanceInvoice() const { return documentKind() == kKindAdvanceInvoice; }
    bool isMarginInvoice() const { return documentKind() == kKindMarginInvoice; }
    bool isSimplifiedInvoice() const { return documentKind() == kKindSimplifiedInvoice; }
    bool isFinalInvoice() const;
    bool hasFormerProformaInvoice() const;
    bool hasFormerAdvances() const;
    // Parent, its parent and so on, nearest first.
    QList<ZTDocument *> formerAdvances() const;
    bool hasFinalInvoice() const { return finalInvoice() != nullptr; }
    ZTDocument *finalInvoice() const;
    bool isProformaWithoutInvoice() const { return isProformaInvoice() && !childDocument(); }
    // The last document of the chain of children starting here (a new correction corrects it).
    ZTDocument *finalCorrectedDocument();
    QString referencedDocumentID() const;  // null without a parent
    QString referencingDocumentID() const; // null without a child
    bool hasSecondLanguage() const { return documentSecondLanguage().value_or(0) != 0; }
    bool recipientPresent() const;
    bool recipientAddressPresent() const;
    bool discountsPresent() const;
    bool pkwiuPresent() const;
    bool isOverdue() const;

    // The payment type says the document is paid already ("Zapłacono…").
    bool hasAlreadyPaidPaymentType() const;
    // State changes; each stamps statusUpdatedAt. Paying a final invoice pays its advances.
    void markPaid();
    void unmarkPaid();
    void markCanceled();
    void unmarkCanceled();

    void updateWithCustomerDefaults(const class ZTCustomer *customer);
    void updateWithSellerTemplate(const class ZTSellerTemplate *sellerTemplate);
    void setDefaultDueDays();

    // What issuing and draft numbering ask of the numbering, checking and register work. The
    // default implementation is the program's own; tests may replace it to isolate a step.
    class IssueHooks
    {
    public:
        virtual ~IssueHooks() = default;
        // The sequencer that should number the document; null: keep the one it has.
        virtual ZTDocumentSmartSequencer *sequencerForDocument(ZTDocument &document);
        // The first sequencer of a kind; null when none.
        virtual ZTDocumentSmartSequencer *firstSequencerForKind(ZTDocument &document, int kind);
        // The number the document would get now, without using it up; null: leave the number.
        virtual QString availableDocumentID(ZTDocumentSmartSequencer &sequencer, ZTDocument &document);
        // The number, used up; null: leave the number.
        virtual QString allocateDocumentID(ZTDocumentSmartSequencer &sequencer, ZTDocument &document);
        // The checks of an issued document; false with the combined error stops the issue.
        virtual bool validateForIssue(ZTDocument &document, Error &error);
        // Keeps the purchaser in the customer register.
        virtual void saveAsCustomer(ZTPurchaser &purchaser);
        // Keeps a line in the product catalogue with its prices in the line's currency slot.
        virtual void saveAsProduct(ZTDocumentItem &item);
        // Called before the document is deleted, to give its number back.
        virtual void documentWillBeDeleted(ZTDocument &document);
    };
    // Replaces the hooks for the whole process; null restores the default ones.
    static void setIssueHooks(std::shared_ptr<IssueHooks> hooks);
    static IssueHooks &issueHooks();

    // False with the checks' error when the document may not be issued; then nothing changed.
    // On success validationPreventsSave stays true and the caller saves.
    bool issueDocument(Error &error);
    void setInitialDocumentID();
    void updateDocumentIDSequencer();
    void updateDocumentID();

    // "<kind name> nr <number>" with characters unfit for file names replaced by "-".
    QString filename() const;
    // Unique per document: kind name and the parts of the stored identity.
    QString representationBaseFilename() const;
    // Number followed by the issue date in seconds since 2001-01-01 UTC. Requires a number and a
    // sale date.
    QString documentIDForSort() const;
    // Numbers compare as numbers inside texts ("FV/2" before "FV/10"), ignoring case; never 0
    // for two different documents.
    int numericDocumentIDSort(const ZTDocument *other) const;
    static void sortNumerically(QList<ZTDocument *> &documents);

    // Before deletion: breaks the links with parent and child and deletes draft children.
    void nullifyLinksWithRelatedDocuments();
    // nullifyLinksWithRelatedDocuments, the numbering hook, then the delete itself.
    void deleteDocument();

    // Derived drafts, inserted into the source's context and not saved.
    static ZTDocument *newDraftOfKind(ManagedObjectContext &context, int kind);
    static ZTDocument *newDraftForCopyOfDocument(ZTDocument *source);
    static ZTDocument *newDraftForCorrectiveInvoiceOfDocument(ZTDocument *source);
    // Null unless the source is a pro forma.
    static ZTDocument *newDraftForAdvanceInvoiceWithProforma(ZTDocument *source);
    static ZTDocument *newDraftForAdvanceInvoiceOfDocument(ZTDocument *source);
    static ZTDocument *newDraftForFinalInvoiceOfDocument(ZTDocument *source);
    static ZTDocument *newRegularInvoiceDraftForProformaDocument(ZTDocument *source);
    // Every line of every document of the final draft's chain, grouped by name and rate; the
    // lines of a group in chain order, the groups in the order first met.
    static QList<QList<ZTDocumentItem *>> gatherAdvanceItemsWithFinalDocument(ZTDocument *finalDocument);
    // Per group: a line for the whole, then one deduction line per advance line.
    static void injectFinalInvoiceItemsWithDocument(ZTDocument *finalDocument,
                                                    const QList<QList<ZTDocumentItem *>> &formerItems);
    // ---- end of kinds, states, derived drafts

    // ---- amounts: line recalculation, calculation direction, VAT summary, totals, corrections
    // Lines not marked deleted, sorted by sortPosition.
    QList<ZTDocumentItem *> notDeletedItems() const;
    // The lines that count: on a corrective invoice only the corrected ones.
    QList<ZTDocumentItem *> availableItems() const;
    QList<ZTDocumentItem *> originalDocumentItems() const;
    QList<ZTDocumentItem *> correctedDocumentItems() const;
    QList<ZTDocumentItem *> differenceDocumentItems() const;
    // All lines (deleted or not) by sortPosition.
    QList<ZTDocumentItem *> positionedItems() const;
    ZTDocumentItem *correctedItemForOriginalItem(const ZTDocumentItem *original) const;
    ZTDocumentItem *originalItemForCorrectedItem(const ZTDocumentItem *corrected) const;
    ZTDocumentItem *differenceItemForCorrectedItem(const ZTDocumentItem *corrected) const;
    bool isOriginalItemCorrected(const ZTDocumentItem *original) const;

    // A new line (newItemForDocument), bound as the document is.
    ZTDocumentItem *addNewDocumentItem();
    // A new line taking over the product.
    ZTDocumentItem *addNewProduct(ZTProduct *product);
    void deleteItem(ZTDocumentItem *item);
    // Positions 1..n of the available lines in the given order (createdAt without one).
    void renumerateDocumentItemsWithSortDescriptors(const QList<SortDescriptor> &sort = {});

    // Directions, differences (corrective), summary and totals from the lines' values.
    void recalculate();
    // Every available line's values, then the document once.
    void recalculateAllItems();
    void updateCalculationDirections();
    void recalculateDifferences();
    ZTDocumentVatRateSummary vatSummary() const;
    ZTDocumentVatRateSummary originalVatSummary() const;
    ZTDocumentVatRateSummary correctiveDifferenceVatSummary() const;
    void updateGrossCorrectiveDifference();
    void updateNetCorrectiveDifference();
    void updateVatCorrectiveDifference();
    // ---- end of amounts

    // ---- checks (see ZTDocumentValidation.cpp)
    // Property checks: true = valid; valid with the error filled in = a warning.
    bool validateIssueDate(const QVariant &value, Error &error) const;
    bool validateSellDate(const QVariant &value, Error &error) const;
    bool validateDueDate(const QVariant &value, Error &error) const;
    bool validateDocumentID(const QVariant &value, Error &error) const;
    bool validateIssuedIn(const QVariant &value, Error &error) const;
    bool validateIssueReason(const QVariant &value, Error &error) const;
    bool validateTotalGrossValue(const QVariant &value, Error &error) const;
    const ZTPropertyChecks &propertyChecks() const override;
    // Parties, numbering, lines, total and settlement: every step runs and each failure is
    // added to the combined error in that order.
    bool validateConsistencyErrors(Error &error) const;
    // False for a simplified invoice in PLN or EUR whose gross total is over the limit setting.
    bool validateSimplifiedInvoice() const;
    // ---- end of checks

    // ---- settlement lines of a margin invoice
    // A new line at the end (newItemForDocument), then pending changes processed.
    ZTSettlementItem *addNewSettlementItem();
    // Deletes the line; the others keep their positions and the totals stay as they are.
    void deleteSettlementItem(ZTSettlementItem *item);
    // Ordered by comparePositions.
    QList<ZTSettlementItem *> sortedSettlementItems() const;
    // Ordered by position, ascending.
    QList<ZTSettlementItem *> positionedSettlementItems() const;
    // ---- end of settlement lines

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
    // The property checks and the consistency check, both always run.
    bool checkForInsert(Error &error) override;
    bool checkForUpdate(Error &error) override;

    // Runs after every insert and fetch, once the flag is set: a draft keeps its proposed
    // number current when its issue date, its sequencer or the typed-number flag changes.
    virtual void startObserving();
    // Runs after a fetch, before startObserving: where a draft refreshes its number and its
    // calculation directions and a corrective invoice computes its differences.
    virtual void recomputeAfterFetch();

private:
    void numberingInputDidChange(const QString &key);

    std::vector<Observation> m_numberingObservations;
    bool m_updatingNumber = false;
    bool m_hasMixedCalculationDirections = false;
    Decimal m_grossCorrectiveDifference;
    Decimal m_netCorrectiveDifference;
    Decimal m_vatCorrectiveDifference;
};
