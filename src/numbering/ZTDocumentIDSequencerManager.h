#pragma once

#include "model/ZTEntityManager.h"

class ZTDocumentIDSequencer;

// Queries over the simple sequencers of older data, and the start-up repairs that prepare
// them for the one-time import. Sorted queries follow "position".
class ZTDocumentIDSequencerManager : public ZTEntityManager
{
public:
    explicit ZTDocumentIDSequencerManager(ContextProvider context);

    QList<ZTDocumentIDSequencer *> findActiveSequencersForDocumentKind(int kind) const;
    QList<ZTDocumentIDSequencer *> findActiveSequencersForDocumentKind(int kind, const QString &format) const;
    QList<ZTDocumentIDSequencer *> findInactiveSequencersForDocumentKind(int kind) const;
    QList<ZTDocumentIDSequencer *> findInactiveSequencersForDocumentKind(int kind, const QString &format) const;
    QList<ZTDocumentIDSequencer *> findSequencersForDocumentKind(int kind) const;
    QList<ZTDocumentIDSequencer *> findSequencersForDocumentKind(int kind, const QString &format) const;
    qsizetype sequencersCount() const;

    // A sequencer of a version that did not store its last issue date gets the latest issue
    // date of its documents, or now when it numbered none.
    void fixThatVersionThatDidNotSaveLastDateIssued();
    // Only sequencers used in the current year (month when monthly) stay active; every kind
    // ends up with an active one.
    void cleanupSequencers();

private:
    QList<ZTDocumentIDSequencer *> find(const Predicate &predicate, bool sorted) const;
};
