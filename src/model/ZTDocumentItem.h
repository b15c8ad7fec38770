#pragma once

#include "ZTProduct.h"

#include "platform/Observation.h"

class ZTDocument;

// One line of a document ("DocumentItem"), with its own copy of the product's fields.
class ZTDocumentItem : public ZTProduct
{
public:
    std::optional<int> position() const { return intAttribute(QStringLiteral("position")); }
    void setPosition(std::optional<int> number) { setIntAttribute(QStringLiteral("position"), number); }
    std::optional<int> subPosition() const { return intAttribute(QStringLiteral("subPosition")); }
    void setSubPosition(std::optional<int> number) { setIntAttribute(QStringLiteral("subPosition"), number); }
    std::optional<Decimal> quantity() const { return decimalAttribute(QStringLiteral("quantity")); }
    void setQuantity(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("quantity"), number);
    }
    std::optional<Decimal> discount() const { return decimalAttribute(QStringLiteral("discount")); }
    void setDiscount(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("discount"), number);
    }
    std::optional<Decimal> netValue() const { return decimalAttribute(QStringLiteral("netValue")); }
    void setNetValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("netValue"), number);
    }
    std::optional<Decimal> vatValue() const { return decimalAttribute(QStringLiteral("vatValue")); }
    void setVatValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("vatValue"), number);
    }
    std::optional<Decimal> grossValue() const { return decimalAttribute(QStringLiteral("grossValue")); }
    void setGrossValue(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("grossValue"), number);
    }
    bool advancePart() const { return boolAttribute(QStringLiteral("advancePart")); }
    void setAdvancePart(bool flag) { setBoolAttribute(QStringLiteral("advancePart"), flag); }
    QString selectedCurrency() const { return stringAttribute(QStringLiteral("selectedCurrency")); }
    void setSelectedCurrency(const QString &text)
    {
        setStringAttribute(QStringLiteral("selectedCurrency"), text);
    }

    ZTDocument *document() const;
    void setDocument(ZTDocument *object);
    ZTProduct *baseProduct() const;
    void setBaseProduct(ZTProduct *object);

    void awakeFromInsert() override;
    void awakeFromFetch() override;
    void willTurnIntoFault() override;

protected:
    // Runs after every insert and fetch: where the line starts observing its own values for
    // recalculation. Nothing observes yet.
    virtual void startObserving() {}

private:
    void followDocument();
    void documentDidChange();

    Observation m_documentObservation;
};
