// Kinds, states, issuing, names, sorting and deletion of a document.
#include "ZTDocument.h"

#include "ZTCustomer.h"
#include "ZTDocumentItem.h"
#include "ZTDocumentManager.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "numbering/ZTDocumentSmartSequencerValues.h"
#include "ZTPartyManagers.h"
#include "ZTProductManager.h"
#include "ZTPurchaser.h"
#include "ZTSeller.h"
#include "ZTSellerTemplate.h"

#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/NamedException.h"
#include "platform/SettingsStore.h"
#include "platform/ZTExtensions.h"
#include "platform/ZTLog.h"

#include <QCollator>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QTimeZone>

#include <algorithm>

const QString ZTDocument::kStatusIssued = QStringLiteral("ISSUED");
const QString ZTDocument::kStatusPaid = QStringLiteral("PAID");
const QString ZTDocument::kStatusCanceled = QStringLiteral("CANCELED");
const QString ZTDocument::kUnknownDocumentKindException = QStringLiteral("ZTUnknownDocumentKindValue");

namespace {

struct KindNames
{
    int code;
    const char16_t *name;
    const char16_t *longName;
    const char16_t *shortName;
    const char16_t *englishName;
};

// In the order in which kinds are offered.
constexpr KindNames kKinds[] = {
    {1, u"Faktura", u"Faktura standardowa", u"docInvoice", u"Invoice"},
    {128, u"Faktura uproszczona", u"Faktura uproszczona", u"docSimplifiedInvoice", u"Simplified invoice"},
    {64, u"Faktura marża", u"Faktura marża", u"docMarginInvoice", u"Margin invoice"},
    {2, u"Pro forma", u"Pro forma", u"docProForma", u"Pro forma invoice"},
    {32, u"Faktura zaliczkowa", u"Faktura zaliczkowa", u"docAdvanceInvoice", u"Prepayment invoice"},
    {4, u"Faktura korygująca", u"Faktura korygująca", u"docCorrectiveInvoice", u"Corrective invoice"},
    {16, u"Rachunek", u"Rachunek", u"docBill", u"Bill"},
};

template <class Field> QMap<int, QString> kindMap(Field field)
{
    QMap<int, QString> map;
    for (const KindNames &kind : kKinds)
        map.insert(kind.code, QString::fromUtf16(kind.*field));
    return map;
}

QDateTime addingWholeDays(const QDateTime &date, int days)
{
    // Whole days of 86400 seconds, not calendar days.
    return date.isValid() ? date.addSecs(qint64(days) * 86400) : date;
}

ZTEntityManager::ContextProvider providerFor(ManagedObject *object)
{
    ManagedObjectContext *context = object->managedObjectContext();
    return [context] { return context; };
}

std::shared_ptr<ZTDocument::IssueHooks> &installedHooks()
{
    static std::shared_ptr<ZTDocument::IssueHooks> hooks = std::make_shared<ZTDocument::IssueHooks>();
    return hooks;
}

} // namespace

// ---- class operations

bool ZTDocument::isValidKind(int kind)
{
    return std::any_of(std::begin(kKinds), std::end(kKinds), [kind](const KindNames &k) { return k.code == kind; });
}

QList<int> ZTDocument::documentKinds()
{
    QList<int> codes;
    for (const KindNames &kind : kKinds)
        codes.append(kind.code);
    return codes;
}

QMap<int, QString> ZTDocument::documentKindsWithNames() { return kindMap(&KindNames::name); }
QMap<int, QString> ZTDocument::documentKindsWithLongNames() { return kindMap(&KindNames::longName); }
QMap<int, QString> ZTDocument::documentKindsWithShortNames() { return kindMap(&KindNames::shortName); }
QMap<int, QString> ZTDocument::documentKindsWithEnglishNames() { return kindMap(&KindNames::englishName); }

QString ZTDocument::shortNameForDocumentKind(int kind)
{
    return documentKindsWithShortNames().value(kind);
}

int ZTDocument::defaultDueDays()
{
    const QVariant value = SettingsStore::standard().value(QStringLiteral("ZTDueDateIntervalValue"));
    return value.isValid() ? SettingsStore::standard().intValue(QStringLiteral("ZTDueDateIntervalValue")) : 14;
}

// ---- kind

void ZTDocument::setValidDocumentKind(int kind)
{
    if (!isValidKind(kind))
        throw NamedException(kUnknownDocumentKindException,
                             QStringLiteral("-[ZTDocument setDocumentKind:] called with bogus value"));
    setDocumentKind(kind);
}

QString ZTDocument::documentKindName() const
{
    const int kind = documentKind().value_or(0);
    if (kind == kKindInvoice) {
        // Invoices issued before version 1.6 kept their former title.
        const QDateTime installed = SettingsStore::standard().dateValue(QStringLiteral("ZTTolvana1_6InstallDate"));
        if (installed.isValid() && issueDate().isValid() && issueDate() < startOfDay(installed))
            return QStringLiteral("Faktura VAT");
    }
    return documentKindsWithNames().value(kind);
}

QString ZTDocument::documentKindShortName() const
{
    return shortNameForDocumentKind(documentKind().value_or(0));
}

QString ZTDocument::documentKindNameForSecondLanguage() const
{
    switch (documentSecondLanguage().value_or(0)) {
    case 0:
        return documentKindName();
    case 1:
        return documentKindsWithEnglishNames().value(documentKind().value_or(0));
    default:
        return {};
    }
}

QString ZTDocument::titelizeDocumentKind() const
{
    return isValidKind(documentKind().value_or(0)) ? documentKindName() : QStringLiteral("Brak tytułu");
}

// ---- chains

bool ZTDocument::isFinalInvoice() const
{
    const ZTDocument *parent = parentDocument();
    return documentKind() == kKindInvoice && parent && parent->isAdvanceInvoice();
}

bool ZTDocument::hasFormerProformaInvoice() const
{
    const ZTDocument *parent = parentDocument();
    return documentKind() == kKindInvoice && parent && parent->isProformaInvoice();
}

bool ZTDocument::hasFormerAdvances() const
{
    const ZTDocument *parent = parentDocument();
    return parent && parent->isAdvanceInvoice();
}

QList<ZTDocument *> ZTDocument::formerAdvances() const
{
    QList<ZTDocument *> ancestors;
    for (ZTDocument *d = parentDocument(); d && !ancestors.contains(d); d = d->parentDocument())
        ancestors.append(d);
    return ancestors;
}

ZTDocument *ZTDocument::finalInvoice() const
{
    if (!isAdvanceInvoice())
        return nullptr;
    QList<const ZTDocument *> seen{this};
    for (ZTDocument *d = childDocument(); d && !seen.contains(d); d = d->childDocument()) {
        if (d->documentKind() == kKindInvoice)
            return d;
        seen.append(d);
    }
    return nullptr;
}

ZTDocument *ZTDocument::finalCorrectedDocument()
{
    ZTDocument *last = this;
    QList<ZTDocument *> seen{this};
    while (ZTDocument *next = last->childDocument()) {
        if (seen.contains(next))
            break;
        seen.append(next);
        last = next;
    }
    return last;
}

QString ZTDocument::referencedDocumentID() const
{
    const ZTDocument *parent = parentDocument();
    return parent ? parent->documentID() : QString();
}

QString ZTDocument::referencingDocumentID() const
{
    const ZTDocument *child = childDocument();
    return child ? child->documentID() : QString();
}

bool ZTDocument::recipientPresent() const
{
    const ZTPurchaser *p = purchaser();
    return p && !p->recipient().isEmpty();
}

bool ZTDocument::recipientAddressPresent() const
{
    const ZTPurchaser *p = purchaser();
    return p && !p->recipientAddress().isEmpty();
}

bool ZTDocument::discountsPresent() const
{
    const QList<ZTDocumentItem *> lines = availableItems();
    return std::any_of(lines.begin(), lines.end(),
                       [](const ZTDocumentItem *item) { return item->discount().value_or(Decimal()) > Decimal(); });
}

bool ZTDocument::pkwiuPresent() const
{
    const QList<ZTDocumentItem *> lines = availableItems();
    return std::any_of(lines.begin(), lines.end(), [](const ZTDocumentItem *item) { return !item->pkwiu().isEmpty(); });
}

bool ZTDocument::isOverdue() const
{
    if (isPaid())
        return false;
    const QDateTime now = Clock::now();
    const QDateTime due = dueDate();
    return due.isValid() && due < now && !isSameDay(due, now);
}

// ---- states

bool ZTDocument::hasAlreadyPaidPaymentType() const
{
    static const QRegularExpression paid(QRegularExpression::anchoredPattern(QStringLiteral("Zapłacono.*")),
                                         QRegularExpression::DotMatchesEverythingOption);
    return paid.match(paymentType()).hasMatch();
}

void ZTDocument::markPaid()
{
    if (isFinalInvoice()) {
        for (ZTDocument *advance : formerAdvances())
            advance->markPaid();
    }
    const QDateTime now = Clock::now();
    setPaidAt(now);
    setStatus(kStatusPaid);
    setStatusUpdatedAt(now);
}

void ZTDocument::unmarkPaid()
{
    setPaidAt(QDateTime());
    setStatus(kStatusIssued);
    setStatusUpdatedAt(Clock::now());
}

void ZTDocument::markCanceled()
{
    setStatus(kStatusCanceled);
    setStatusUpdatedAt(Clock::now());
}

void ZTDocument::unmarkCanceled()
{
    setStatus(paidAt().isValid() ? kStatusPaid : kStatusIssued);
    setStatusUpdatedAt(Clock::now());
}

// ---- defaults

void ZTDocument::setDefaultDueDays()
{
    const ZTPurchaser *p = purchaser();
    const ZTCustomer *customer = p ? p->baseCustomer() : nullptr;
    const std::optional<int> days = customer ? customer->defaultDueDays() : std::nullopt;
    setDueDate(addingWholeDays(issueDate(), days.value_or(defaultDueDays())));
}

void ZTDocument::updateWithCustomerDefaults(const ZTCustomer *customer)
{
    if (!customer)
        return;
    if (!customer->defaultDocumentRemarks().isEmpty())
        setRemarks(customer->defaultDocumentRemarks());
    if (!customer->defaultPaymentType().isEmpty())
        setPaymentType(customer->defaultPaymentType());
    if (const std::optional<int> days = customer->defaultDueDays())
        setDueDate(addingWholeDays(issueDate(), *days));
    else
        setDefaultDueDays();
    setDocumentSecondLanguage(customer->defaultDocumentSecondLanguage().value_or(0));
}

void ZTDocument::updateWithSellerTemplate(const ZTSellerTemplate *sellerTemplate)
{
    setDefaultDueDays();
    ZTSeller *s = seller();
    if (!sellerTemplate || !s)
        return;
    s->updateWithSellerTemplate(*sellerTemplate);
    setIssuedIn(s->issuesIn());
    setCashBasisMethod(s->cashBasisMethod());
    const ZTPurchaser *p = purchaser();
    if (!p || !p->baseCustomer())
        setDocumentSecondLanguage(sellerTemplate->defaultDocumentSecondLanguage().value_or(0));
    if (isMarginInvoice()) {
        setMarginInvoiceProcedure(s->marginInvoiceProcedure());
        setMarginInvoiceVatRate(ZTSeller::validVatRateForMarginProcedure(s->marginInvoiceProcedure()));
    }
}

// ---- numbering and issuing

ZTDocumentSmartSequencer *ZTDocument::IssueHooks::sequencerForDocument(ZTDocument &document)
{
    return document.managedObjectContext() ? ZTDocumentSmartSequencer::findSequencerForDocument(document) : nullptr;
}

ZTDocumentSmartSequencer *ZTDocument::IssueHooks::firstSequencerForKind(ZTDocument &document, int kind)
{
    ManagedObjectContext *context = document.managedObjectContext();
    return context ? ZTDocumentSmartSequencer::findAllForDocumentKind(*context, kind).constFirst() : nullptr;
}

QString ZTDocument::IssueHooks::availableDocumentID(ZTDocumentSmartSequencer &sequencer, ZTDocument &document)
{
    return sequencer.availableDocumentIDForDocument(document);
}

QString ZTDocument::IssueHooks::allocateDocumentID(ZTDocumentSmartSequencer &sequencer, ZTDocument &document)
{
    return sequencer.allocateDocumentIDForDocument(document);
}

void ZTDocument::IssueHooks::documentWillBeDeleted(ZTDocument &document)
{
    ZTDocumentSmartSequencerValues::recoverLastValueFromDeletedDocument(document);
}
bool ZTDocument::IssueHooks::validateForIssue(ZTDocument &document, Error &error)
{
    // The document's own update check, now bound since issuing set validationPreventsSave.
    return document.validateForUpdate(error);
}

void ZTDocument::IssueHooks::saveAsCustomer(ZTPurchaser &purchaser)
{
    purchaser.saveAsCustomer();
}

void ZTDocument::IssueHooks::saveAsProduct(ZTDocumentItem &item)
{
    item.saveAsProduct();
}

void ZTDocument::setIssueHooks(std::shared_ptr<IssueHooks> hooks)
{
    installedHooks() = hooks ? std::move(hooks) : std::make_shared<IssueHooks>();
}

ZTDocument::IssueHooks &ZTDocument::issueHooks()
{
    return *installedHooks();
}

void ZTDocument::setInitialDocumentID()
{
    updateDocumentIDSequencer();
    updateDocumentID();
}

void ZTDocument::startObserving()
{
    m_numberingObservations.clear();
    for (const QString &key : {QStringLiteral("issueDate"), QStringLiteral("docIDSequencer"),
                               QStringLiteral("documentIDSequencer"), QStringLiteral("useCustomDocumentID")}) {
        m_numberingObservations.push_back(
            observe(key, [this](ManagedObject &, const QString &changed) { numberingInputDidChange(changed); }));
    }
}

void ZTDocument::numberingInputDidChange(const QString &key)
{
    // Picking a sequencer below changes a watched link; that must not start over.
    if (m_updatingNumber || !isDraft())
        return;
    if (key == QStringLiteral("useCustomDocumentID") && useCustomDocumentID())
        return;
    const QScopedValueRollback<bool> guard(m_updatingNumber, true);
    updateDocumentIDSequencer();
    updateDocumentID();
}

void ZTDocument::updateDocumentIDSequencer()
{
    // Sequencers belong to kinds; a document without a kind yet has none to pick.
    if (!isValidKind(documentKind().value_or(0)))
        return;
    if (ZTDocumentSmartSequencer *sequencer = issueHooks().sequencerForDocument(*this))
        setDocIDSequencer(sequencer);
}

void ZTDocument::updateDocumentID()
{
    if (useCustomDocumentID() || !isDraft() || !isValidKind(documentKind().value_or(0)))
        return;
    if (!docIDSequencer()) {
        if (ZTDocumentSmartSequencer *first = issueHooks().firstSequencerForKind(*this, documentKind().value_or(0)))
            setDocIDSequencer(first);
    }
    if (ZTDocumentSmartSequencer *sequencer = docIDSequencer()) {
        const QString id = issueHooks().availableDocumentID(*sequencer, *this);
        if (!id.isNull())
            setDocumentID(id);
    }
}

bool ZTDocument::issueDocument(Error &error)
{
    IssueHooks &hooks = issueHooks();
    if (!isDraft())
        ZTLOG(QStringLiteral("WARNING: non-draft document was about to be issued again!"));
    setValidationPreventsSave(true);
    if (!hooks.validateForIssue(*this, error)) {
        setValidationPreventsSave(false);
        return false;
    }
    recalculate();
    if (isDraft()) {
        if (!useCustomDocumentID()) {
            if (ZTDocumentSmartSequencer *sequencer = docIDSequencer()) {
                const QString id = hooks.allocateDocumentID(*sequencer, *this);
                if (!id.isNull())
                    setDocumentID(id);
            }
        }
        if (ZTDocument *parent = parentDocument())
            parent->setChildDocument(this);
        setStatus(kStatusIssued);
        setStatusUpdatedAt(Clock::now());
    }
    if (ZTPurchaser *p = purchaser())
        hooks.saveAsCustomer(*p);
    if (!isAdvanceInvoice() && !isMarginInvoice()) {
        for (ZTDocumentItem *item : availableItems()) {
            // A deduction of a former advance is no product.
            if (item->isFormerAdvanceItem())
                continue;
            hooks.saveAsProduct(*item);
            item->setPricesAccordingToSelectedCurrency();
        }
    }
    if (hasAlreadyPaidPaymentType())
        markPaid();
    return true;
}

// ---- names and sorting

QString ZTDocument::filename() const
{
    QString name = QStringLiteral("%1 nr %2").arg(documentKindName(), documentID());
    static const QRegularExpression unfit(QStringLiteral("[/\\\\?<>:*|\"]"));
    return name.replace(unfit, QStringLiteral("-"));
}

QString ZTDocument::representationBaseFilename() const
{
    QString name = QStringLiteral("%1_%2_%3").arg(documentKindName(), objectID().storeUUID(), objectID().objectPart());
    return name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char(' '), QLatin1Char('_'));
}

QString ZTDocument::documentIDForSort() const
{
    const QString number = stringAttribute(QStringLiteral("documentID"));
    if (number.isNull())
        ztConsistencyFailure("ASSERT", "[self documentID]", __FILE__, static_cast<const char *>(__func__), __LINE__);
    if (!sellDate().isValid())
        ztConsistencyFailure("ASSERT", "[self sellDate]", __FILE__, static_cast<const char *>(__func__), __LINE__);
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    const double seconds = double(reference.msecsTo(issueDate())) / 1000.0;
    return number + QString::number(seconds, 'f', 6);
}

namespace {

const QCollator &numericCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Polish, QLocale::Poland));
        c.setNumericMode(true);
        // Case-insensitive compares at secondary strength, which also ignores character width.
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

} // namespace

int ZTDocument::numericDocumentIDSort(const ZTDocument *other) const
{
    const QString mine = documentIDForSort();
    const QString theirs = other->documentIDForSort();
    int order = numericCollator().compare(mine, theirs);
    if (order == 0)
        order = mine.compare(theirs); // forced order for texts the collation finds equal
    if (order == 0 && this != other)
        order = primaryKey() < other->primaryKey() ? -1 : 1;
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void ZTDocument::sortNumerically(QList<ZTDocument *> &documents)
{
    std::stable_sort(documents.begin(), documents.end(),
                     [](const ZTDocument *a, const ZTDocument *b) { return a->numericDocumentIDSort(b) < 0; });
}

// ---- deletion

void ZTDocument::nullifyLinksWithRelatedDocuments()
{
    if (ZTDocument *parent = parentDocument()) {
        if (parent->childDocument() == this)
            parent->setChildDocument(nullptr);
    }
    if (ZTDocument *child = childDocument()) {
        if (child->parentDocument() == this)
            child->setParentDocument(nullptr);
        setChildDocument(nullptr);
    }
    ManagedObjectContext *context = managedObjectContext();
    ZTDocumentManager documents(providerFor(this));
    for (ZTDocument *draft : documents.findDraftChildrenForDocument(this)) {
        if (draft != this)
            context->deleteObject(draft);
    }
    context->processPendingChanges();
}

void ZTDocument::deleteDocument()
{
    nullifyLinksWithRelatedDocuments();
    issueHooks().documentWillBeDeleted(*this);
    managedObjectContext()->deleteObject(this);
}
