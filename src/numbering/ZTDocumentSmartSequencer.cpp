#include "ZTDocumentSmartSequencer.h"

#include "ZTDocumentIDSequencer.h"
#include "ZTDocumentIDSequencerManager.h"
#include "ZTDocumentSmartSequencerValues.h"
#include "ZTSequencerFormat.h"

#include "model/ZTDocument.h"
#include "model/ZTDocumentManager.h"

#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/ZTExtensions.h"
#include "platform/ZTLog.h"

const QString ZTDocumentSmartSequencer::kDefaultName = QStringLiteral("Domyślna numeracja");
const QString ZTDocumentSmartSequencer::kNewNameFormat = QStringLiteral("Nowa numeracja #%1");
const QString ZTDocumentSmartSequencer::kDefaultFormat = QStringLiteral("%n");

namespace {

const QString kEntity = QStringLiteral("DocumentSmartSequencer");
const QString kValuesEntity = QStringLiteral("DocumentSmartSequencerValues");

// Removed sequencers are never listed or counted; older rows may hold no flag at all.
Predicate notRemoved()
{
    return Predicate::equal(QStringLiteral("removed"), false) || Predicate::equal(QStringLiteral("removed"), QVariant());
}

Predicate ofKind(int kind)
{
    return Predicate::equal(QStringLiteral("documentKind"), kind) && notRemoved();
}

} // namespace

QList<ZTDocumentSmartSequencerValues *> ZTDocumentSmartSequencer::values() const
{
    return relatedSetAs<ZTDocumentSmartSequencerValues>(QStringLiteral("values"));
}

void ZTDocumentSmartSequencer::addValue(ZTDocumentSmartSequencerValues *object)
{
    addRelatedObject(QStringLiteral("values"), object);
}

void ZTDocumentSmartSequencer::removeValue(ZTDocumentSmartSequencerValues *object)
{
    removeRelatedObject(QStringLiteral("values"), object);
}

void ZTDocumentSmartSequencer::awakeFromInsert()
{
    ZTManagedObject::awakeFromInsert();
    setPrimitiveValue(QStringLiteral("removed"), false);
    setPrimitiveValue(QStringLiteral("monthlyReset"), false);
}

// ---- creating and finding sequencers

ZTDocumentSmartSequencer *ZTDocumentSmartSequencer::createWithFormat(ManagedObjectContext &context,
                                                                     const QString &format, const QString &name,
                                                                     int documentKind, bool monthlyReset)
{
    auto *sequencer = dynamic_cast<ZTDocumentSmartSequencer *>(context.insertNewObject(kEntity));
    ZT_ASSERT(sequencer);
    sequencer->setFormat(format);
    sequencer->setName(name);
    sequencer->setDocumentKind(documentKind);
    sequencer->setMonthlyReset(monthlyReset);
    sequencer->setRemoved(false);
    return sequencer;
}

ZTDocumentSmartSequencer *ZTDocumentSmartSequencer::createDefaultForDocumentKind(ManagedObjectContext &context,
                                                                                 int documentKind)
{
    return createWithFormat(context, kDefaultFormat, kDefaultName, documentKind, false);
}

ZTDocumentSmartSequencer *ZTDocumentSmartSequencer::createNewForDocumentKind(ManagedObjectContext &context,
                                                                             int documentKind)
{
    const qsizetype existing = countSequencersOfKind(context, documentKind);
    return createWithFormat(context, kDefaultFormat, kNewNameFormat.arg(existing + 1), documentKind, false);
}

QList<ZTDocumentSmartSequencer *> ZTDocumentSmartSequencer::findAllForDocumentKind(ManagedObjectContext &context,
                                                                                   int documentKind)
{
    // Creation order, so the default sequencer made first stays the kind's default.
    QList<ZTDocumentSmartSequencer *> found = context.fetchAs<ZTDocumentSmartSequencer>(
        FetchRequest(kEntity, ofKind(documentKind), {SortDescriptor{QStringLiteral("createdAt"), true, false}}));
    if (found.isEmpty())
        found.append(createDefaultForDocumentKind(context, documentKind));
    return found;
}

ZTDocumentSmartSequencer *ZTDocumentSmartSequencer::findSequencerForDocument(ZTDocument &document)
{
    if (ZTDocumentSmartSequencer *own = document.docIDSequencer())
        return own;
    ManagedObjectContext *context = document.managedObjectContext();
    ZT_ASSERT(context);
    return findAllForDocumentKind(*context, document.documentKind().value_or(0)).constFirst();
}

qsizetype ZTDocumentSmartSequencer::countAllSequencers(ManagedObjectContext &context)
{
    return context.count(FetchRequest(kEntity, notRemoved()));
}

qsizetype ZTDocumentSmartSequencer::countSequencersOfKind(ManagedObjectContext &context, int documentKind)
{
    return context.count(FetchRequest(kEntity, ofKind(documentKind)));
}

void ZTDocumentSmartSequencer::createInitialSequencers(ManagedObjectContext &context)
{
    for (int kind : ZTDocument::documentKinds()) {
        if (countSequencersOfKind(context, kind) == 0)
            createDefaultForDocumentKind(context, kind);
    }
}

void ZTDocumentSmartSequencer::importFromOldSequencerSystem(ManagedObjectContext &context)
{
    if (countAllSequencers(context) > 0)
        return;
    ZTDocumentIDSequencerManager legacy([&context] { return &context; });
    ZTDocumentManager documents([&context] { return &context; });
    for (int kind : ZTDocument::documentKinds()) {
        for (ZTDocumentIDSequencer *old : legacy.findActiveSequencersForDocumentKind(kind)) {
            const QString format = old->format().isEmpty() ? kDefaultFormat : old->format();
            const QString name = isBlank(old->name()) ? kDefaultName : old->name();
            ZTDocumentSmartSequencer *sequencer =
                createWithFormat(context, format, name, kind, old->monthlyReset());
            sequencer->setNextValue(std::max(1, old->nextValue()));
            const QList<ZTDocument *> numbered = documents.documentsForSequencer(old);
            for (ZTDocument *document : numbered)
                document->setDocIDSequencer(sequencer);
            ZTLOG(QStringLiteral("Importing sequencer %1 to %2 documents modified %3")
                      .arg(old->description(), sequencer->description())
                      .arg(numbered.size()));
        }
    }
}

// ---- counters and numbers

ZTDocumentSmartSequencerValues *ZTDocumentSmartSequencer::existingSequencerForDate(const QDateTime &date) const
{
    const QDateTime when = date.isValid() ? date : Clock::now();
    const ZTSequencerPeriod period = ZTSequencerPeriod::containing(when, monthlyReset());
    // The period's end is the first instant of the next one and belongs to it: a document
    // issued at midnight of 1 January counts in the new year only.
    const Predicate inPeriod = Predicate::greaterOrEqual(QStringLiteral("lastIssuedDate"), period.start) &&
                               Predicate::less(QStringLiteral("lastIssuedDate"), period.end) &&
                               Predicate::equalObject(QStringLiteral("sequencer"), this);
    const QList<ZTDocumentSmartSequencerValues *> found =
        managedObjectContext()->fetchAs<ZTDocumentSmartSequencerValues>(
            FetchRequest(kValuesEntity, inPeriod, {SortDescriptor{QStringLiteral("lastIssuedDate"), false, false}}, 1));
    return found.isEmpty() ? nullptr : found.constFirst();
}

ZTDocumentSmartSequencerValues *ZTDocumentSmartSequencer::getNextSequencerForDate(const QDateTime &date)
{
    const QDateTime when = date.isValid() ? date : Clock::now();
    if (ZTDocumentSmartSequencerValues *record = existingSequencerForDate(when))
        return record;
    return ZTDocumentSmartSequencerValues::createNewWithDate(when, *this);
}

int ZTDocumentSmartSequencer::getNextValueForDate(const QDateTime &date) const
{
    const ZTDocumentSmartSequencerValues *record = existingSequencerForDate(date);
    return (record ? record->valueLastValue() : 0) + 1;
}

int ZTDocumentSmartSequencer::nextValue() const
{
    return getNextValueForDate(Clock::now());
}

QString ZTDocumentSmartSequencer::exampleNextID() const
{
    return buildDocumentIDForIssueDate(Clock::now(), nextValue());
}

QString ZTDocumentSmartSequencer::availableDocumentIDForDocument(const ZTDocument &document) const
{
    return buildDocumentIDForDocument(document, getNextValueForDate(document.issueDate()));
}

QString ZTDocumentSmartSequencer::allocateDocumentIDForDocument(ZTDocument &document)
{
    ZTDocumentSmartSequencerValues *record = getNextSequencerForDate(document.issueDate());
    const int value = record->valueLastValue() + 1;
    record->saveNextValue(value, &document);
    return buildDocumentIDForDocument(document, value);
}

void ZTDocumentSmartSequencer::setNextValue(int n, const QDateTime &date, ZTDocument *document)
{
    getNextSequencerForDate(date)->saveNextValue(n - 1, document);
}

QString ZTDocumentSmartSequencer::buildDocumentIDForDocument(const ZTDocument &document, int value) const
{
    return buildDocumentIDForIssueDate(document.issueDate(), value);
}

QString ZTDocumentSmartSequencer::buildDocumentIDForIssueDate(const QDateTime &issueDate, int value) const
{
    return ZTSequencerFormat(format()).buildNumber(issueDate.isValid() ? issueDate : Clock::now(), value);
}

// ---- checks

bool ZTDocumentSmartSequencer::validateName(const QVariant &value, Error &error)
{
    return ZTSequencerFormat::validateName(value.toString(), error);
}

bool ZTDocumentSmartSequencer::validateFormat(const QVariant &value, Error &error)
{
    return ZTSequencerFormat::validateFormat(value.toString(), error);
}

bool ZTDocumentSmartSequencer::validateNextValue(const QVariant &value, Error &error)
{
    return ZTSequencerFormat::validateNextValue(value.toString(), error);
}

bool ZTDocumentSmartSequencer::checkForInsert(Error &error)
{
    return checkForUpdate(error);
}

bool ZTDocumentSmartSequencer::checkForUpdate(Error &error)
{
    Error nameError;
    Error formatError;
    const bool nameValid = validateName(name(), nameError);
    const bool formatValid = validateFormat(format(), formatError);
    if (!nameValid)
        error = nameError;
    if (!formatValid)
        error = nameValid ? formatError : Error::combined(error, formatError);
    return nameValid && formatValid;
}

// ---- typed numbers that are taken

ZTDocument *ZTDocumentSmartSequencer::documentWithSameDocumentID(ZTDocument &document)
{
    ManagedObjectContext *context = document.managedObjectContext();
    ZT_ASSERT(context);
    const QDateTime issued = document.issueDate().isValid() ? document.issueDate() : Clock::now();
    const ZTDocumentSmartSequencer *sequencer = document.docIDSequencer();
    const ZTSequencerPeriod period = ZTSequencerPeriod::containing(issued, sequencer && sequencer->monthlyReset());
    // Only the issue period's documents can clash, so only they are loaded.
    const Predicate candidates =
        Predicate::in(QStringLiteral("status"), {ZTDocument::kStatusIssued, ZTDocument::kStatusPaid}) &&
        Predicate::equal(QStringLiteral("documentKind"), document.documentKind().value_or(0)) &&
        Predicate::greaterOrEqual(QStringLiteral("issueDate"), period.start) &&
        Predicate::less(QStringLiteral("issueDate"), period.end);
    const QString number = document.documentID().trimmed();
    for (ZTDocument *other : context->fetchAs<ZTDocument>(FetchRequest(QStringLiteral("Document"), candidates))) {
        if (other != &document && other->documentID().trimmed() == number)
            return other;
    }
    return nullptr;
}

QString ZTDocumentSmartSequencer::duplicateDocumentIDQuestion(const QString &documentID)
{
    return QStringLiteral("Dokument o numerze %1 został już wystawiony. Czy na pewno chcesz wystawić dokument o "
                          "takim samym numerze?")
        .arg(documentID);
}
