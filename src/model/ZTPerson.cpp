#include "ZTPerson.h"

#include "platform/ManagedObjectContext.h"

ZTPerson *ZTPerson::newPerson(ManagedObjectContext &context)
{
    return context.insertNewObject<ZTPerson>(QStringLiteral("Person"));
}

void ZTPerson::awakeFromInsert()
{
    ZTManagedObject::awakeFromInsert();
    setOwnValidationPreventsSave(false);
}

void ZTPerson::awakeFromFetch()
{
    ZTManagedObject::awakeFromFetch();
    setOwnValidationPreventsSave(false);
}
