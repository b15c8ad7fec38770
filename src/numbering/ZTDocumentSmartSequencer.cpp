#include "ZTDocumentSmartSequencer.h"

#include "ZTDocumentSmartSequencerValues.h"

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
