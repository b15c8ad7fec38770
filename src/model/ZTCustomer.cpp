#include "ZTCustomer.h"

#include "platform/ManagedObjectContext.h"

ZTCustomer *ZTCustomer::newCustomer(ManagedObjectContext &context)
{
    return context.insertNewObject<ZTCustomer>(QStringLiteral("Customer"));
}
