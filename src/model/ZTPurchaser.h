#pragma once

#include "ZTCustomer.h"

class ZTDocument;

// The purchaser printed on one document ("Purchaser"): a copy of a customer.
class ZTPurchaser : public ZTCustomer
{
public:
    ZTDocument *document() const;
    void setDocument(ZTDocument *object);
    ZTCustomer *baseCustomer() const;
    void setBaseCustomer(ZTCustomer *object);
};
