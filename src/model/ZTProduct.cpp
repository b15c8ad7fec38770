#include "ZTProduct.h"

#include "platform/ManagedObjectContext.h"

ZTProduct *ZTProduct::newProduct(ManagedObjectContext &context)
{
    return context.insertNewObject<ZTProduct>(QStringLiteral("Product"));
}
