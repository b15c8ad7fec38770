#include "ZTDocumentIDSequencer.h"

#include "model/ZTDocument.h"

#include "platform/Clock.h"

const QString ZTDocumentIDSequencer::kDefaultName = QStringLiteral("Nowa numeracja");
const QString ZTDocumentIDSequencer::kDefaultFormat = QStringLiteral("%n");

QList<ZTDocument *> ZTDocumentIDSequencer::documents() const
{
    return relatedSetAs<ZTDocument>(QStringLiteral("documents"));
}

void ZTDocumentIDSequencer::addDocument(ZTDocument *object)
{
    addRelatedObject(QStringLiteral("documents"), object);
}

void ZTDocumentIDSequencer::removeDocument(ZTDocument *object)
{
    removeRelatedObject(QStringLiteral("documents"), object);
}
void ZTDocumentIDSequencer::awakeFromInsert()
{
    ZTManagedObject::awakeFromInsert();
    setPrimitiveValue(QStringLiteral("name"), kDefaultName);
    setPrimitiveValue(QStringLiteral("format"), kDefaultFormat);
    setPrimitiveValue(QStringLiteral("archived"), false);
    setPrimitiveValue(QStringLiteral("position"), 0);
    setPrimitiveValue(QStringLiteral("lastValue"), 0);
    setPrimitiveValue(QStringLiteral("lastDateIssued"), Clock::now());
}
