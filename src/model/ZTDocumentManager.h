#pragma once

#include "ZTEntityManager.h"

#include "platform/Decimal.h"

#include <QDateTime>
#include <QMap>
#include <QString>

class ZTCustomer;
class ZTDocument;
class ZTDocumentIDSequencer;

// One month that has documents: its capitalised Polish name ("Marzec") and its number (3).
struct ZTMonthEntry
{
    QString name;
    int number = 0;
    bool operator==(const ZTMonthEntry &other) const { return name == other.name && number == other.number; }
};

// Totals of a customer's documents (any status): how many, the sums of those in the default
// currency, and how many are in another currency.
struct ZTCustomerTotals
{
    qsizetype documentCount = 0;
    Decimal totalNetValue;
    Decimal totalGrossValue;
    Decimal totalVatValue;
    qsizetype otherCurrencyCount = 0;
};

// The named queries over documents. The sidebar and the document list call some of them by
// name ("findDrafts", "documentsIssuedInYear", "documentsIssuedInYear:month",
// "documentsIssuedInMonthNumber"): see callQueryNamed.
class ZTDocumentManager : public ZTEntityManager
{
public:
    explicit ZTDocumentManager(ContextProvider context);

    QList<ZTDocument *> findDrafts() const;
    QList<ZTDocument *> findDraftDocumentsOrderedBy(const QString &key, bool orderDescending) const;
    qsizetype draftsCount() const;
    QList<ZTDocument *> allIssuedDocumentsOfKind(int kind) const;
    QList<ZTDocument *> findDraftChildrenForDocument(const ZTDocument *document) const;
    // Issued (not paid, not draft) documents due before today 00:00 local time.
    qsizetype overdueDocumentCount() const;
    QList<ZTDocument *> documentsForCustomer(const ZTCustomer *customer) const;
    QList<ZTDocument *> documentsIssuedForCustomer(const ZTCustomer *customer) const;
    QList<ZTDocument *> documentDraftsForCustomer(const ZTCustomer *customer) const;
    QList<ZTDocument *> documentsForSequencer(const ZTDocumentIDSequencer *sequencer) const;
    // The first non-draft document whose number matches, ignoring case; null when none.
    ZTDocument *documentWithDocumentID(const QString &documentID) const;
    ZTCustomerTotals totalsForCustomer(const ZTCustomer *customer, const QString &defaultCurrencyCode) const;

    // Non-draft documents issued in [from, to), by issue date.
    QList<ZTDocument *> documentsIssuedBetween(const QDateTime &from, const QDateTime &to) const;
    QList<ZTDocument *> documentsIssuedInYear(int year) const;
    QList<ZTDocument *> documentsIssuedInYear(int year, int month) const;
    QList<ZTDocument *> documentsIssuedInMonthNumber(int month) const;

    // Months of the year (0: this year) with non-draft documents, by month number.
    QList<ZTMonthEntry> monthsWithDocumentsIssuedForYear(int year, bool ascending) const;
    QList<ZTMonthEntry> monthsWithDocumentsIssuedThisYear(bool ascending) const;
    // Every year with documents (issuedOnly: non-drafts only) mapped to its month entries.
    // archivedOnly and includingCurrentYear do not narrow the result: the sidebar sets the
    // current year apart itself.
    QMap<int, QList<ZTMonthEntry>> yearsWithDocuments(bool archivedOnly, bool issuedOnly, bool includingCurrentYear,
                                                      bool sortAscending) const;
    QMap<int, QList<ZTMonthEntry>> yearsWithArchivedDocuments() const;
    QMap<int, QList<ZTMonthEntry>> yearsWithIssuedDocuments() const;

    // The document reached by following parentDocument to the top.
    static ZTDocument *rootDocumentWithDocument(ZTDocument *document);

    // Runs a query stored by name with its arguments (the sidebar's folders); empty for an
    // unknown name.
    QList<ZTDocument *> callQueryNamed(const QString &name, const QVariantList &arguments) const;

    // The capitalised Polish stand-alone name of a month ("Styczeń").
    static QString monthName(int month);

private:
    QList<ZTDocument *> fetchDocuments(const Predicate &predicate,
                                       const std::optional<SortDescriptor> &sortedBy = std::nullopt) const;
    QList<int> yearsWithDocuments(bool issuedOnly) const;
};
