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

    // A draft whose parties and place of issue pass the issue checks; it still needs lines
    // (and a number) before it can be issued.
    ZTDocument *draft(int kind, const QString &purchaserName = QStringLiteral("ACME"))
    {
        ZTDocument *document = ZTDocument::newDraftOfKind(*m_context, kind);
        document->setCurrency(QStringLiteral("PLN"));
        document->setPaymentType(QStringLiteral("Przelew"));
        document->purchaser()->setName(purchaserName);
        document->purchaser()->setAddress(QStringLiteral("ul. Długa 1, 80-001 Gdańsk"));
        document->purchaser()->setNip(QStringLiteral("5260250274"));
        fillSeller(document);
        return document;
    }

    // The company's own data as a seller template would give it.
    static void fillSeller(ZTDocument *document)
    {
        ZTSeller *seller = document->seller();
        seller->setName(QStringLiteral("Moja Firma"));
        seller->setAddress(QStringLiteral("ul. Krótka 2, 00-001 Warszawa"));
        seller->setNip(QStringLiteral("1234563218"));
        seller->setIssuesIn(QStringLiteral("Warszawa"));
        document->setIssuedIn(seller->issuesIn());
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

    // Issues under the given number with the hooks in force (by default: checked, and numbered
    // by nothing since the number is the user's).
    ZTDocument *issued(ZTDocument *document, const QString &number)
    {
        // Derived drafts take the seller and the place of issue from the default seller
        // template, which these tests do not keep.
        if (document->seller() && document->seller()->name().isEmpty())
            fillSeller(document);
        if (document->issuedIn().isEmpty())
            document->setIssuedIn(QStringLiteral("Warszawa"));
        document->setUseCustomDocumentID(true);
        document->setDocumentID(number);
        Error error;
        EXPECT_TRUE(document->issueDocument(error)) << error.messages().join(QStringLiteral("; ")).toStdString();
        return document;
    }

    static QString text(const std::optional<Decimal> &value) { return value ? value->toString() : QStringLiteral("<none>"); }
};
