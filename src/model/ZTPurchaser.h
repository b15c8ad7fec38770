#pragma once

#include "ZTCustomer.h"

class ZTDocument;

// The purchaser printed on one document ("Purchaser"): a copy of a customer.
class ZTPurchaser : public ZTCustomer
{
public:
    QString classDativeForm() const override { return QStringLiteral("nabywcy"); }

    // ---- register exchange
    // Takes over a customer picked for the document, or with none clears everything but the
    // typed name. The customer's document defaults are the document's business.
    void updateWithCustomer(ZTCustomer *customer);
    // Every value of another purchaser; the caller decides the customer link.
    void copyValuesFromPurchaser(const ZTPurchaser &purchaser);
    // On issue: the customer of the same name (ignoring case and diacritics), else a new one,
    // takes over this purchaser's data and becomes its customer.
    void saveAsCustomer();

    ZTDocument *document() const;
    void setDocument(ZTDocument *object);
    ZTCustomer *baseCustomer() const;
    void setBaseCustomer(ZTCustomer *object);
};
