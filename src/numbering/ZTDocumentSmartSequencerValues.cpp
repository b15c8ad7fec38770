#include "ZTDocumentSmartSequencerValues.h"

#include "model/ZTDocument.h"
#include "ZTDocumentSmartSequencer.h"

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
