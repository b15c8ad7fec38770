#include "ZTDocumentSmartSequencerValues.h"

#include "ZTDocumentSmartSequencer.h"

#include "model/ZTDocument.h"

#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/ZTLog.h"

ZTDocumentSmartSequencer *ZTDocumentSmartSequencerValues::sequencer() const
{
    return relatedAs<ZTDocumentSmartSequencer>(QStringLiteral("sequencer"));
}

void ZTDocumentSmartSequencerValues::setSequencer(ZTDocumentSmartSequencer *object)
{
    setRelatedObject(QStringLiteral("sequencer"), object);
}

ZTDocument *ZTDocumentSmartSequencerValues::lastDocument() const
{
    return relatedAs<ZTDocument>(QStringLiteral("lastDocument"));
}

void ZTDocumentSmartSequencerValues::setLastDocument(ZTDocument *object)
{
    setRelatedObject(QStringLiteral("lastDocument"), object);
}

ZTDocumentSmartSequencerValues *ZTDocumentSmartSequencerValues::createNewWithDate(const QDateTime &date,
                                                                                 ZTDocumentSmartSequencer &sequencer)
{
    ManagedObjectContext *context = sequencer.managedObjectContext();
    ZT_ASSERT(context);
    auto *record = dynamic_cast<ZTDocumentSmartSequencerValues *>(
        context->insertNewObject(QStringLiteral("DocumentSmartSequencerValues")));
    ZT_ASSERT(record);
    record->setLastIssuedDate(date);
    record->setLastValue(0);
    sequencer.addValue(record);
    return record;
}

void ZTDocumentSmartSequencerValues::saveNextValue(int value, ZTDocument *document)
{
    setLastValue(value);
    setLastIssuedDate(document && document->issueDate().isValid() ? document->issueDate() : Clock::now());
    setLastDocument(document);
}

void ZTDocumentSmartSequencerValues::recoverLastValueFromDeletedDocument(ZTDocument &document)
{
    if (document.useCustomDocumentID())
        return;
    ManagedObjectContext *context = document.managedObjectContext();
    if (!context)
        return;
    const QList<ZTDocumentSmartSequencerValues *> found = context->fetchAs<ZTDocumentSmartSequencerValues>(
        FetchRequest(QStringLiteral("DocumentSmartSequencerValues"),
                     Predicate::equalObject(QStringLiteral("lastDocument"), &document), {}, 1));
    if (found.isEmpty())
        return;
    ZTDocumentSmartSequencerValues *record = found.constFirst();
    // The date stays, so the record keeps its period.
    record->setLastValue(std::max(0, record->valueLastValue() - 1));
    record->setLastDocument(nullptr);
}
