#include "ZTSeller.h"

#include "ZTDocument.h"

#include "platform/ManagedObjectContext.h"

ZTSeller *ZTSeller::newSeller(ManagedObjectContext &context)
{
    return context.insertNewObject<ZTSeller>(QStringLiteral("Seller"));
}

QList<ZTDocument *> ZTSeller::documents() const
{
    return relatedSetAs<ZTDocument>(QStringLiteral("documents"));
}

void ZTSeller::addDocument(ZTDocument *object)
{
    addRelatedObject(QStringLiteral("documents"), object);
}

void ZTSeller::removeDocument(ZTDocument *object)
{
    removeRelatedObject(QStringLiteral("documents"), object);
}
