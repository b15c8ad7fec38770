#pragma once

#include "ZTEntityTestFixture.h"

#include "model/ZTDocument.h"
#include "model/ZTDocumentItem.h"
#include "model/ZTPurchaser.h"
#include "model/ZTSeller.h"
#include "model/ZTVatRateWithDescription.h"

// Documents of the real model built the way the form builds them.
class ZTDocumentTest : public ZTEntityTest
{
protected:
    void TearDown() override
    {
        ZTDocument::setIssueHooks(nullptr);
        ZTEntityTest::TearDown();
    }

    ZTDocument *draft(int kind, const QString &purchaserName = QStringLiteral("ACME"))
    {
        ZTDocument *document = ZTDocument::newDraftOfKind(*m_context, kind);
        document->setCurrency(QStringLiteral("PLN"));
        document->setPaymentType(QStringLiteral("Przelew"));
        document->purchaser()->setName(purchaserName);
        return document;
    }

    ZTDocumentItem *addLine(ZTDocument *document, const QString &name, const QString &netPrice,
                            const QString &rate = QStringLiteral("23%"), const QString &quantity = QStringLiteral("1"))
    {
        ZTDocumentItem *item = document->addNewDocumentItem();
        item->setName(name);
        item->setQuantity(Decimal::parse(quantity));
        item->setVatRateWithDescription(ZTVatRateWithDescription::fromText(rate));
        item->setNetPriceWithGrossBaseMarker({Decimal::parse(netPrice), true});
        document->recalculateAllItems();
        return item;
    }

    // Issues with the default hooks (no checks, no numbering) under the given number.
    ZTDocument *issued(ZTDocument *document, const QString &number)
    {
        document->setUseCustomDocumentID(true);
        document->setDocumentID(number);
        Error error;
        EXPECT_TRUE(document->issueDocument(error)) << error.localizedDescription().toStdString();
        return document;
    }

    static QString text(const std::optional<Decimal> &value) { return value ? value->toString() : QStringLiteral("<none>"); }
};
