#include "ZTSeller.h"

#include "ZTCompanyFolder.h"
#include "ZTDocument.h"
#include "ZTSellerTemplate.h"

#include "platform/ManagedObjectContext.h"
#include "platform/SettingsStore.h"

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

// ---- register exchange

void ZTSeller::updateWithSellerTemplate(const ZTSellerTemplate &sellerTemplate)
{
    setName(sellerTemplate.name());
    setAddress(sellerTemplate.address());
    setNip(sellerTemplate.nip());
    setContactData(sellerTemplate.contactData());
    setBankName(sellerTemplate.bankName());
    setBankAccountNumber(sellerTemplate.bankAccountNumber());
    setBankSwift(sellerTemplate.bankSwift());
    setSignature(sellerTemplate.signature());
    setIssuesIn(sellerTemplate.issuesIn());
    setCashBasisMethod(sellerTemplate.cashBasisMethod());
    setMarginInvoiceProcedure(sellerTemplate.marginInvoiceProcedure());
    const SettingsStore &settings = SettingsStore::standard();
    setLogoPath(settings.boolValue(QStringLiteral("ZTSellerLogoImageEnabled"))
                    ? settings.stringValue(QStringLiteral("ZTSellerLogoImagePath"))
                    : QString());
    setFacsimilePath(settings.boolValue(QStringLiteral("ZTSellerFacsimileImageEnabled"))
                         ? settings.stringValue(QStringLiteral("ZTSellerFacsimileImagePath"))
                         : QString());
}

void ZTSeller::copyValuesFromSeller(const ZTSeller &seller)
{
    setAddress(seller.address());
    setContactData(seller.contactData());
    setName(seller.name());
    setNip(seller.nip());
    setRegon(seller.regon());
    setRemarks(seller.remarks());
    setSignature(seller.signature());
    setLogoPath(seller.storedLogoPath());
    setIssuesIn(seller.issuesIn());
    setFacsimilePath(seller.storedFacsimilePath());
    setBankSwift(seller.bankSwift());
    setBankName(seller.bankName());
    setBankAccountNumber(seller.bankAccountNumber());
}

QString ZTSeller::logoPath() const
{
    return ZTCompanyFolder::pathInFolder(ZTCompanyFolder::currentPath(), storedLogoPath());
}

QString ZTSeller::facsimilePath() const
{
    return ZTCompanyFolder::pathInFolder(ZTCompanyFolder::currentPath(), storedFacsimilePath());
}
