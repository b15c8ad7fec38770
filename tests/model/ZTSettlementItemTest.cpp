#include "DocumentTestSupport.h"

#include "model/ZTSettlementItem.h"

using ZTSettlementItems = ZTDocumentTest;

namespace {

QList<int> positionsOf(const QList<ZTSettlementItem *> &lines)
{
    QList<int> positions;
    for (const ZTSettlementItem *line : lines)
        positions.append(line->position().value_or(-1));
    return positions;
}

} // namespace

TEST_F(ZTSettlementItems, NewLinesAreNumberedAfterTheOthersAndDeletingOneRenumbersNothing)
{
    ZTDocument *margin = draft(64);
    addLine(margin, QStringLiteral("Wycieczka"), QStringLiteral("1000"), QStringLiteral("8%"));
    const std::optional<Decimal> total = margin->totalGrossValue();
    ZTSettlementItem *first = margin->addNewSettlementItem();
    ZTSettlementItem *second = margin->addNewSettlementItem();
    ZTSettlementItem *third = margin->addNewSettlementItem();
    EXPECT_EQ(third->document(), margin);
    EXPECT_EQ(positionsOf(margin->sortedSettlementItems()), (QList<int>{1, 2, 3}));
    // The defaults of a new line.
    EXPECT_EQ(second->name(), QStringLiteral(""));
    EXPECT_EQ(second->purchaseInvoice(), QStringLiteral(""));
    EXPECT_EQ(second->grossValue(), Decimal(0));

    margin->deleteSettlementItem(second);
    EXPECT_EQ(margin->sortedSettlementItems(), (QList<ZTSettlementItem *>{first, third}));
    EXPECT_EQ(positionsOf(margin->positionedSettlementItems()), (QList<int>{1, 3}));
    EXPECT_EQ(margin->totalGrossValue(), total); // the settlement is not part of the totals
    save();
    reopen();
    const QList<ZTSettlementItem *> kept = fetchOne<ZTDocument>(QStringLiteral("Document"))->sortedSettlementItems();
    EXPECT_EQ(positionsOf(kept), (QList<int>{1, 3}));
}

TEST_F(ZTSettlementItems, OrderIsByPositionWhateverTheOrderOfMaking)
{
    ZTDocument *margin = draft(64);
    ZTSettlementItem *a = margin->addNewSettlementItem();
    ZTSettlementItem *b = margin->addNewSettlementItem();
    ZTSettlementItem *c = margin->addNewSettlementItem();
    a->setPosition(3);
    b->setPosition(1);
    c->setPosition(2);
    EXPECT_EQ(margin->sortedSettlementItems(), (QList<ZTSettlementItem *>{b, c, a}));
    EXPECT_EQ(margin->positionedSettlementItems(), (QList<ZTSettlementItem *>{b, c, a}));
    EXPECT_EQ(a->comparePositions(b), 1);
    EXPECT_EQ(b->comparePositions(a), -1);
    EXPECT_EQ(a->comparePositions(a), 0);
}

TEST_F(ZTSettlementItems, IncompleteLinesFailOnlyWhileTheDocumentIsBound)
{
    ZTDocument *margin = draft(64);
    margin->setMarginInvoiceProcedure(QStringLiteral("biuropodrozy"));
    addLine(margin, QStringLiteral("Wycieczka"), QStringLiteral("1000"), QStringLiteral("8%"));
    margin->setUseCustomDocumentID(true);
    margin->setDocumentID(QStringLiteral("FM 1/2024"));
    // Made first but placed second, so the messages follow the positions.
    ZTSettlementItem *later = margin->addNewSettlementItem();
    ZTSettlementItem *earlier = margin->addNewSettlementItem();
    later->setPosition(2);
    later->setName(QStringLiteral("Bilet"));
    earlier->setPosition(1);
    earlier->setPurchaseInvoice(QStringLiteral("FZ 12/2024"));
    save(); // a draft's settlement is free to be incomplete

    Error error;
    EXPECT_FALSE(margin->issueDocument(error));
    EXPECT_EQ(error.messages(), (QStringList{QStringLiteral("Towar w rozliczeniu w pozycji 1. nie ma nazwy"),
                                             QStringLiteral("Niepoprawny numer faktury zakupu w rozliczeniu w pozycji 2")}));
    EXPECT_FALSE(later->validationPreventsSave());

    const struct
    {
        const char *key;
        QVariant value;
        bool valid;
        const char16_t *message;
    } cases[] = {
        {"position", 0, false, u""},
        {"position", QVariant(), false, u""},
        {"position", 2, true, u""},
        {"name", QStringLiteral("Bilet"), true, u""},
        {"purchaseInvoice", QStringLiteral(""), false, u"Niepoprawny numer faktury zakupu w rozliczeniu w pozycji 2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        Error found;
        EXPECT_EQ(later->validateValue(QString::fromLatin1(c.key), c.value, found), c.valid);
        EXPECT_EQ(found.message(), QString::fromUtf16(c.message));
    }

    earlier->setName(QStringLiteral("Nocleg"));
    later->setPurchaseInvoice(QStringLiteral("FZ 13/2024"));
    Error none;
    EXPECT_TRUE(margin->issueDocument(none)) << none.messages().join(QStringLiteral("; ")).toStdString();
    EXPECT_TRUE(later->validationPreventsSave());
    save();
}
