#pragma once

#include "ZTProduct.h"
#include "ZTVatRateWithDescription.h"

#include "platform/Observation.h"

#include <QList>

#include <vector>

class ZTDocument;

// One line of a document ("DocumentItem"), with its own copy of the product's fields.
//
// The getters vatRate, netPrice, grossPrice, billPrice, quantity and grossBasedValues return
// what the line reads for its calculations (a bill reads its bill price, a margin invoice is
// always gross-based, ...); the stored values are under stored*.
class ZTDocumentItem : public ZTProduct
{
public:
    static constexpr int kSubPositionOriginal = 40;
    static constexpr int kSubPositionCorrected = 50;
    static constexpr int kSubPositionDifference = 60;

    // A new line of the document: purchaser's discount, default (or margin) rate, next position,
    // values computed.
    static ZTDocumentItem *newItemForDocument(ZTDocument *document);

    std::optional<int> position() const { return intAttribute(QStringLiteral("position")); }
    void setPosition(std::optional<int> number) { setIntAttribute(QStringLiteral("position"), number); }
    std::optional<int> subPosition() const { return intAttribute(QStringLiteral("subPosition")); }
    void setSubPosition(std::optional<int> number) { setIntAttribute(QStringLiteral("subPosition"), number); }
    std::optional<Decimal> storedQuantity() const { return decimalAttribute(QStringLiteral("quantity")); }
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

    // ---- what the line reads
    std::optional<Decimal> storedVatRate() const { return ZTProduct::vatRate(); }
    std::optional<Decimal> storedBillPrice() const { return ZTProduct::billPrice(); }
    bool storedGrossBasedValues() const { return ZTProduct::grossBasedValues(); }

    // 0 on a bill and for a rate without a percentage, else the stored rate to 3 places.
    std::optional<Decimal> vatRate() const;
    std::optional<Decimal> netPrice() const;   // bill price on a bill
    std::optional<Decimal> grossPrice() const; // bill price on a bill
    std::optional<Decimal> billPrice() const;  // net price except on a bill
    // The stored quantity to ZTQuantityDecimalPrecision places (read once per line).
    std::optional<Decimal> quantity() const;
    // Never on a bill, always on margin and simplified invoices, else the stored flag.
    bool grossBasedValues() const;
    std::optional<Decimal> billValue() const { return netValue(); }
    std::optional<Decimal> netPriceAfterDiscount() const;
    bool fixedNetPrice() const { return !grossBasedValues(); }
    bool fixedGrossPrice() const { return grossBasedValues(); }
    int sortPosition() const;
    bool isOriginal() const { return subPosition() == kSubPositionOriginal; }
    bool isCorrected() const { return subPosition() == kSubPositionCorrected; }
    bool isDifference() const { return subPosition() == kSubPositionDifference; }
    QString subPositionDescription() const; // "BYŁO", "WINNO BYĆ", "RÓŻNICA" or empty
    bool hasNegativePrice() const;
    bool isFormerAdvanceItem() const { return hasNegativePrice(); }

    // ---- editing pairs of the item table
    struct PriceWithGrossBaseMarker
    {
        std::optional<Decimal> price;
        bool fixed = false; // this price is the one the line computes from
    };
    PriceWithGrossBaseMarker netPriceWithGrossBaseMarker() const { return {netPrice(), fixedNetPrice()}; }
    void setNetPriceWithGrossBaseMarker(const PriceWithGrossBaseMarker &pair);
    PriceWithGrossBaseMarker grossPriceWithGrossBaseMarker() const { return {grossPrice(), fixedGrossPrice()}; }
    void setGrossPriceWithGrossBaseMarker(const PriceWithGrossBaseMarker &pair);
    ZTVatRateWithDescription vatRateWithDescription() const;
    // Stores −1 for a rate without a percentage, and the label.
    void setVatRateWithDescription(const ZTVatRateWithDescription &rate);
    QString vatRateWithDescriptionString() const;
    void setVatRateWithDescriptionString(const QString &text);

    // ---- calculation
    // Computes the line's values from its prices, then the document. Runs by itself when one of
    // the line's inputs changes.
    void recalculate();
    // The line's own values only, without recalculating the document.
    void recalculateValues();
    // Takes over a catalogue product (price slots, rate, unit, name); nullptr only links nothing.
    void copyFromProduct(ZTProduct *product);
    // Every stored value of another line but subPosition and advancePart, without notifications.
    void copyValuesFromItem(const ZTDocumentItem &other);
    void setPricesAccordingToSelectedCurrency();

    // ---- product exchange
    // A name typed in the line: takes over the catalogue product of that name (ignoring case
    // and diacritics), or unlinks the line when there is none, and keeps the typed text.
    void setProductInheritedName(const QString &text);
    QString productInheritedName() const { return name(); }
    // On issue: the catalogue product of the line's name, else a new one, learns the line and
    // becomes its product.
    void saveAsProduct();

    // ---- corrections
    // Adds to the corrective draft the original, corrected and difference lines of this line.
    void createCorrectiveItemsForDocument(ZTDocument *correctiveDocument) const;
    // On a difference line: each value corrected − original, rate −1.
    void calculateDifferenceForCorrectedItem(const ZTDocumentItem &corrected, const ZTDocumentItem &original);
    // On an original line: whether the corrected line differs in anything printed.
    bool isDifferentFromCorrectedItem(const ZTDocumentItem &corrected) const;
    // On an original line: the corrected line's name when it differs, else null.
    QString correctedName() const;
    bool hasCorrectedName() const { return !correctedName().isNull(); }

    // ---- checks (see ZTDocumentValidation.cpp)
    bool validateName(const QVariant &value, Error &error) const;
    bool validatePosition(const QVariant &value, Error &error) const;
    bool validateDiscount(const QVariant &value, Error &error) const;
    bool validateVatRate(const QVariant &value, Error &error) const;
    const ZTPropertyChecks &propertyChecks() const override;
    // ---- end of checks

    ZTDocument *document() const;
    void setDocument(ZTDocument *object);
    ZTProduct *baseProduct() const;
    void setBaseProduct(ZTProduct *object);

    void awakeFromInsert() override;
    void awakeFromFetch() override;
    void willTurnIntoFault() override;

protected:
    // A difference line of a correction is worked out, not typed: it is not checked.
    bool checkForInsert(Error &error) override;
    bool checkForUpdate(Error &error) override;
    // Runs after every insert and fetch: the line observes its own inputs to recalculate.
    virtual void startObserving();

private:
    void followDocument();
    void documentDidChange();
    void inputDidChange();
    // Sets the stored value, notifying only when it changes.
    void setDerivedDecimal(const QString &key, const std::optional<Decimal> &number);

    Observation m_documentObservation;
    std::vector<Observation> m_inputObservations;
    mutable std::optional<int> m_quantityPrecision;
    bool m_recalculating = false;
};
