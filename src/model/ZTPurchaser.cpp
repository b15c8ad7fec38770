#include "ZTPurchaser.h"

#include "ZTDocument.h"
#include "ZTPartyManagers.h"

#include "platform/ManagedObjectContext.h"

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

// ---- register exchange

void ZTPurchaser::updateWithCustomer(ZTCustomer *customer)
{
    if (customer) {
        setAddress(customer->address());
        setRecipientAddress(customer->recipientAddress());
        setName(customer->name());
        setNip(customer->nip());
        setRegon(customer->regon());
        setRemarks(customer->remarks());
        setDefaultDiscount(customer->defaultDiscount());
        setDefaultDocumentSecondLanguage(customer->defaultDocumentSecondLanguage());
        setEmail(customer->email());
        setLabel(customer->label());
        setPesel(customer->pesel());
        setPicturePath(customer->storedPicturePath());
        setRecipient(customer->recipient());
        setBaseCustomer(customer);
        setContactData(customer->contactData());
        return;
    }
    // The name holds what the user typed and stays.
    const QString empty = QStringLiteral("");
    setAddress(empty);
    setRecipientAddress(empty);
    setNip(empty);
    setRegon(empty);
    setRemarks(empty);
    setEmail(empty);
    setLabel(empty);
    setPesel(empty);
    setRecipient(empty);
    setPicturePath(empty);
    setContactData(empty);
    setDefaultDiscount(Decimal(0));
    setDefaultDocumentSecondLanguage(0);
    setBaseCustomer(nullptr);
}

void ZTPurchaser::copyValuesFromPurchaser(const ZTPurchaser &purchaser)
{
    setAddress(purchaser.address());
    setContactData(purchaser.contactData());
    setName(purchaser.name());
    setNip(purchaser.nip());
    setRegon(purchaser.regon());
    setRemarks(purchaser.remarks());
    setDefaultDiscount(purchaser.defaultDiscount());
    setDefaultDocumentSecondLanguage(purchaser.defaultDocumentSecondLanguage());
    setEmail(purchaser.email());
    setLabel(purchaser.label());
    setPesel(purchaser.pesel());
    setPicturePath(purchaser.storedPicturePath());
    setRecipient(purchaser.recipient());
    setRecipientAddress(purchaser.recipientAddress());
}

void ZTPurchaser::saveAsCustomer()
{
    ManagedObjectContext *context = managedObjectContext();
    ZTCustomerManager customers([context] { return context; });
    ZTCustomer *customer = customers.findWithName(name());
    if (!customer)
        customer = ZTCustomer::newCustomer(*context);
    customer->updateWithPurchaser(*this);
    setBaseCustomer(customer);
}
