#include "ZTDocumentManager.h"

#include "ZTCustomer.h"
#include "ZTDocument.h"
#include "numbering/ZTDocumentIDSequencer.h"

#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/ZTExtensions.h"

#include <QLocale>

#include <algorithm>

namespace {

const QString kDraft = QStringLiteral("DRAFT");
const QString kIssued = QStringLiteral("ISSUED");
const QString kPaid = QStringLiteral("PAID");
const QString kStatus = QStringLiteral("status");
const QString kIssueDate = QStringLiteral("issueDate");

Predicate notDraft()
{
    return Predicate::notEqual(kStatus, kDraft);
}

Predicate issuedIn(const QDateTime &from, const QDateTime &to)
{
    return Predicate::greaterOrEqual(kIssueDate, from) && Predicate::less(kIssueDate, to);
}

} // namespace

ZTDocumentManager::ZTDocumentManager(ContextProvider context)
    : ZTEntityManager(std::move(context), QStringLiteral("Document"))
{
}

QList<ZTDocument *> ZTDocumentManager::fetchDocuments(const Predicate &predicate,
                                                      const std::optional<SortDescriptor> &sortedBy) const
{
    return as<ZTDocument>(findAllWithPredicate(predicate, sortedBy));
}

QList<ZTDocument *> ZTDocumentManager::findDrafts() const
{
    return fetchDocuments(Predicate::equal(kStatus, kDraft), SortDescriptor{QStringLiteral("documentID"), false});
}

QList<ZTDocument *> ZTDocumentManager::findDraftDocumentsOrderedBy(const QString &key, bool orderDescending) const
{
    if (key.isEmpty())
        return fetchDocuments(Predicate::equal(kStatus, kDraft));
    return fetchDocuments(Predicate::equal(kStatus, kDraft), SortDescriptor{key, !orderDescending});
}

qsizetype ZTDocumentManager::draftsCount() const
{
    return countWithPredicate(Predicate::equal(kStatus, kDraft));
}

QList<ZTDocument *> ZTDocumentManager::allIssuedDocumentsOfKind(int kind) const
{
    return fetchDocuments(Predicate::in(kStatus, {kIssued, kPaid})
                          && Predicate::equal(QStringLiteral("documentKind"), kind));
}

QList<ZTDocument *> ZTDocumentManager::findDraftChildrenForDocument(const ZTDocument *document) const
{
    return fetchDocuments(Predicate::equal(kStatus, kDraft)
                          && Predicate::equalObject(QStringLiteral("parentDocument"), document));
}

qsizetype ZTDocumentManager::overdueDocumentCount() const
{
    const QDateTime today = startOfDay(Clock::now());
    return countWithPredicate(Predicate::equal(kStatus, kIssued) && Predicate::less(QStringLiteral("dueDate"), today));
}

QList<ZTDocument *> ZTDocumentManager::documentsForCustomer(const ZTCustomer *customer) const
{
    return fetchDocuments(Predicate::equalObject(QStringLiteral("purchaser.baseCustomer"), customer));
}

QList<ZTDocument *> ZTDocumentManager::documentsIssuedForCustomer(const ZTCustomer *customer) const
{
    return fetchDocuments(Predicate::equalObject(QStringLiteral("purchaser.baseCustomer"), customer) && notDraft());
}

QList<ZTDocument *> ZTDocumentManager::documentDraftsForCustomer(const ZTCustomer *customer) const
{
    return fetchDocuments(Predicate::equalObject(QStringLiteral("purchaser.baseCustomer"), customer)
                          && Predicate::equal(kStatus, kDraft));
}

QList<ZTDocument *> ZTDocumentManager::documentsForSequencer(const ZTDocumentIDSequencer *sequencer) const
{
    return fetchDocuments(Predicate::equalObject(QStringLiteral("documentIDSequencer"), sequencer));
}

ZTDocument *ZTDocumentManager::documentWithDocumentID(const QString &documentID) const
{
    const QList<ZTDocument *> found =
        fetchDocuments(Predicate::like(QStringLiteral("documentID"), documentID, MatchCaseInsensitive) && notDraft());
    return found.isEmpty() ? nullptr : found.first();
}

ZTCustomerTotals ZTDocumentManager::totalsForCustomer(const ZTCustomer *customer,
                                                      const QString &defaultCurrencyCode) const
{
    ZTCustomerTotals totals;
    for (const ZTDocument *d : documentsForCustomer(customer)) {
        ++totals.documentCount;
        if (d->value(QStringLiteral("currency")).toString() == defaultCurrencyCode) {
            totals.totalNetValue += d->decimalValue(QStringLiteral("totalNetValue"));
            totals.totalGrossValue += d->decimalValue(QStringLiteral("totalGrossValue"));
            totals.totalVatValue += d->decimalValue(QStringLiteral("totalVatValue"));
        } else {
            ++totals.otherCurrencyCount;
        }
    }
    return totals;
}

QList<ZTDocument *> ZTDocumentManager::documentsIssuedBetween(const QDateTime &from, const QDateTime &to) const
{
    return fetchDocuments(issuedIn(from, to) && notDraft(), SortDescriptor{kIssueDate, true});
}

QList<ZTDocument *> ZTDocumentManager::documentsIssuedInYear(int year) const
{
    const QDateTime from = dateWithYear(year, 1, 1);
    return documentsIssuedBetween(from, addingYears(from, 1));
}

QList<ZTDocument *> ZTDocumentManager::documentsIssuedInYear(int year, int month) const
{
    const QDateTime from = dateWithYear(year, month, 1);
    return documentsIssuedBetween(from, addingMonths(from, 1));
}

QList<ZTDocument *> ZTDocumentManager::documentsIssuedInMonthNumber(int month) const
{
    return documentsIssuedInYear(currentYear(), month);
}

QString ZTDocumentManager::monthName(int month)
{
    static const QLocale polish(QLocale::Polish, QLocale::Poland);
    return stringWithCapitalizedFirstLetter(polish.standaloneMonthName(month, QLocale::LongFormat));
}

QList<ZTMonthEntry> ZTDocumentManager::monthsWithDocumentsIssuedForYear(int year, bool ascending) const
{
    if (year == 0)
        year = currentYear();
    // One count per month over the indexed issue date: no document needs to be loaded.
    QList<ZTMonthEntry> entries;
    for (int month = 1; month <= 12; ++month) {
        const QDateTime from = dateWithYear(year, month, 1);
        if (countWithPredicate(issuedIn(from, addingMonths(from, 1)) && notDraft()) > 0)
            entries.append({monthName(month), month});
    }
    if (!ascending)
        std::reverse(entries.begin(), entries.end());
    return entries;
}

QList<ZTMonthEntry> ZTDocumentManager::monthsWithDocumentsIssuedThisYear(bool ascending) const
{
    return monthsWithDocumentsIssuedForYear(0, ascending);
}

QList<int> ZTDocumentManager::yearsWithDocuments(bool issuedOnly) const
{
    const Predicate base = issuedOnly ? notDraft() : Predicate::truePredicate();
    const Predicate dated = base && Predicate::notEqual(kIssueDate, QVariant());
    // The first and last issue dates bound the years; each year in between is counted.
    const auto edge = [&](bool ascending) -> QDateTime {
        const QList<ManagedObject *> found =
            context().fetch(FetchRequest(entityName(), dated, {SortDescriptor{kIssueDate, ascending}}, 1));
        return found.isEmpty() ? QDateTime() : found.first()->value(kIssueDate).toDateTime();
    };
    const QDateTime first = edge(true);
    const QDateTime last = edge(false);
    QList<int> years;
    if (!first.isValid())
        return years;
    for (int y = year(first); y <= year(last); ++y) {
        const QDateTime from = dateWithYear(y, 1, 1);
        if (countWithPredicate(issuedIn(from, addingYears(from, 1)) && base) > 0)
            years.append(y);
    }
    return years;
}

QMap<int, QList<ZTMonthEntry>> ZTDocumentManager::yearsWithDocuments(bool archivedOnly, bool issuedOnly,
                                                                     bool includingCurrentYear,
                                                                     bool sortAscending) const
{
    Q_UNUSED(archivedOnly)
    Q_UNUSED(includingCurrentYear)
    QMap<int, QList<ZTMonthEntry>> map;
    for (int y : yearsWithDocuments(issuedOnly))
        map.insert(y, monthsWithDocumentsIssuedForYear(y, sortAscending));
    return map;
}

QMap<int, QList<ZTMonthEntry>> ZTDocumentManager::yearsWithArchivedDocuments() const
{
    return yearsWithDocuments(true, true, true, false);
}

QMap<int, QList<ZTMonthEntry>> ZTDocumentManager::yearsWithIssuedDocuments() const
{
    return yearsWithDocuments(false, true, false, true);
}

ZTDocument *ZTDocumentManager::rootDocumentWithDocument(ZTDocument *document)
{
    ZTDocument *current = document;
    int guard = 0;
    while (current && guard++ < 10000) {
        auto *parent = dynamic_cast<ZTDocument *>(current->relatedObject(QStringLiteral("parentDocument")));
        if (!parent)
            break;
        current = parent;
    }
    return current;
}

QList<ZTDocument *> ZTDocumentManager::callQueryNamed(const QString &name, const QVariantList &arguments) const
{
    if (name == QStringLiteral("findDrafts"))
        return findDrafts();
    if (name == QStringLiteral("documentsIssuedInYear") && arguments.size() == 1)
        return documentsIssuedInYear(arguments[0].toInt());
    if (name == QStringLiteral("documentsIssuedInYear:month") && arguments.size() == 2)
        return documentsIssuedInYear(arguments[0].toInt(), arguments[1].toInt());
    if (name == QStringLiteral("documentsIssuedInMonthNumber") && arguments.size() == 1)
        return documentsIssuedInMonthNumber(arguments[0].toInt());
    if (name == QStringLiteral("findAll"))
        return as<ZTDocument>(findAll());
    return {};
}
