#include "ZTDocumentIDSequencerManager.h"

#include "ZTDocumentIDSequencer.h"
#include "ZTSequencerFormat.h"

#include "model/ZTDocument.h"
#include "model/ZTDocumentManager.h"

#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"

#include <algorithm>

namespace {

const QString kKind = QStringLiteral("documentKind");
const QString kArchived = QStringLiteral("archived");
const QString kFormat = QStringLiteral("format");

Predicate archived(bool flag)
{
    // Rows of old versions may hold no flag; they count as active.
    return flag ? Predicate::equal(kArchived, true)
                : (Predicate::equal(kArchived, false) || Predicate::equal(kArchived, QVariant()));
}

} // namespace

ZTDocumentIDSequencerManager::ZTDocumentIDSequencerManager(ContextProvider context)
    : ZTEntityManager(std::move(context), QStringLiteral("DocumentIDSequencer"))
{
}

QList<ZTDocumentIDSequencer *> ZTDocumentIDSequencerManager::find(const Predicate &predicate, bool sorted) const
{
    return as<ZTDocumentIDSequencer>(findAllWithPredicate(
        predicate, sorted ? std::optional<SortDescriptor>(SortDescriptor{QStringLiteral("position"), true, false})
                          : std::nullopt));
}

QList<ZTDocumentIDSequencer *> ZTDocumentIDSequencerManager::findActiveSequencersForDocumentKind(int kind) const
{
    return find(Predicate::equal(kKind, kind) && archived(false), true);
}

QList<ZTDocumentIDSequencer *> ZTDocumentIDSequencerManager::findActiveSequencersForDocumentKind(
    int kind, const QString &format) const
{
    return find(Predicate::equal(kKind, kind) && archived(false) && Predicate::equal(kFormat, format), false);
}

QList<ZTDocumentIDSequencer *> ZTDocumentIDSequencerManager::findInactiveSequencersForDocumentKind(int kind) const
{
    return find(Predicate::equal(kKind, kind) && archived(true), true);
}

QList<ZTDocumentIDSequencer *> ZTDocumentIDSequencerManager::findInactiveSequencersForDocumentKind(
    int kind, const QString &format) const
{
    return find(Predicate::equal(kKind, kind) && archived(true) && Predicate::equal(kFormat, format), false);
}

QList<ZTDocumentIDSequencer *> ZTDocumentIDSequencerManager::findSequencersForDocumentKind(int kind) const
{
    return find(Predicate::equal(kKind, kind), true);
}

QList<ZTDocumentIDSequencer *> ZTDocumentIDSequencerManager::findSequencersForDocumentKind(int kind,
                                                                                        const QString &format) const
{
    return find(Predicate::equal(kKind, kind) && Predicate::equal(kFormat, format), true);
}

qsizetype ZTDocumentIDSequencerManager::sequencersCount() const
{
    return countWithPredicate(Predicate::truePredicate());
}

void ZTDocumentIDSequencerManager::fixThatVersionThatDidNotSaveLastDateIssued()
{
    ManagedObjectContext *ctx = &context();
    ZTDocumentManager documents([ctx] { return ctx; });
    for (ZTDocumentIDSequencer *sequencer :
         find(Predicate::equal(QStringLiteral("lastDateIssued"), QVariant()), false)) {
        QDateTime latest;
        for (const ZTDocument *document : documents.documentsForSequencer(sequencer)) {
            if (document->issueDate().isValid() && (!latest.isValid() || document->issueDate() > latest))
                latest = document->issueDate();
        }
        sequencer->setLastDateIssued(latest.isValid() ? latest : Clock::now());
    }
}

void ZTDocumentIDSequencerManager::cleanupSequencers()
{
    const QDateTime now = Clock::now();
    for (ZTDocumentIDSequencer *sequencer : as<ZTDocumentIDSequencer>(findAll())) {
        const bool current = sequencer->lastDateIssued().isValid() &&
                             ZTSequencerPeriod::containing(now, sequencer->monthlyReset())
                                 .contains(sequencer->lastDateIssued());
        sequencer->setArchived(!current);
    }
    for (int kind : ZTDocument::documentKinds()) {
        const QList<ZTDocumentIDSequencer *> all = findSequencersForDocumentKind(kind);
        if (!findActiveSequencersForDocumentKind(kind).isEmpty())
            continue;
        auto *fresh = dynamic_cast<ZTDocumentIDSequencer *>(context().insertNewObject(entityName()));
        fresh->setDocumentKind(kind);
        if (!all.isEmpty()) {
            // The kind's last sequencer by position lends its name and format.
            const ZTDocumentIDSequencer *last = *std::max_element(
                all.cbegin(), all.cend(), [](const ZTDocumentIDSequencer *a, const ZTDocumentIDSequencer *b) {
                    return a->position().value_or(0) < b->position().value_or(0);
                });
            fresh->setName(last->name());
            fresh->setFormat(last->format());
            fresh->setPosition(last->position().value_or(0) + 1);
        }
    }
}
