#include "ZTPurchaser.h"

#include "ZTDocument.h"

ZTDocument *ZTPurchaser::document() const
{
    return relatedAs<ZTDocument>(QStringLiteral("document"));
}

void ZTPurchaser::setDocument(ZTDocument *object)
{
    setRelatedObject(QStringLiteral("document"), object);
}

ZTCustomer *ZTPurchaser::baseCustomer() const
{
    return relatedAs<ZTCustomer>(QStringLiteral("baseCustomer"));
}

void ZTPurchaser::setBaseCustomer(ZTCustomer *object)
{
    setRelatedObject(QStringLiteral("baseCustomer"), object);
}
