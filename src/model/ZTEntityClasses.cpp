#include "ZTEntityClasses.h"

#include "ZTCustomer.h"
#include "ZTDocument.h"
#include "numbering/ZTDocumentIDSequencer.h"
#include "ZTDocumentItem.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "numbering/ZTDocumentSmartSequencerValues.h"
#include "ZTPerson.h"
#include "ZTProduct.h"
#include "ZTPurchaser.h"
#include "ZTSeller.h"
#include "ZTSellerTemplate.h"
#include "ZTSettlementItem.h"

#include "platform/StoreModel.h"

void registerZTEntityClasses(StoreModel &model)
{
    model.registerClass<ZTDocument>(QStringLiteral("Document"));
    model.registerClass<ZTDocumentItem>(QStringLiteral("DocumentItem"));
    model.registerClass<ZTProduct>(QStringLiteral("Product"));
    model.registerClass<ZTPerson>(QStringLiteral("Person"));
    model.registerClass<ZTCustomer>(QStringLiteral("Customer"));
    model.registerClass<ZTPurchaser>(QStringLiteral("Purchaser"));
    model.registerClass<ZTSeller>(QStringLiteral("Seller"));
    model.registerClass<ZTSellerTemplate>(QStringLiteral("SellerTemplate"));
    model.registerClass<ZTSettlementItem>(QStringLiteral("SettlementItem"));
    model.registerClass<ZTDocumentIDSequencer>(QStringLiteral("DocumentIDSequencer"));
    model.registerClass<ZTDocumentSmartSequencer>(QStringLiteral("DocumentSmartSequencer"));
    model.registerClass<ZTDocumentSmartSequencerValues>(QStringLiteral("DocumentSmartSequencerValues"));
}
