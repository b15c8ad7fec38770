#pragma once

#include "ZTManagedObject.h"

class ManagedObjectContext;

// A product or service of the catalogue ("Product"); document lines derive from it.
class ZTProduct : public ZTManagedObject
{
public:
    // A new catalogue product in the context.
    static ZTProduct *newProduct(ManagedObjectContext &context);

    // ---- prices by currency: three slots of currency code, net and gross price
    static constexpr int kSlotCount = 3;
    // The first slot (1 to 3) holding the default currency's code; −1 when none does.
    int defaultCurrencyIndex() const;
    // The key's value in that slot ("netPrice" reads netPrice2 for slot 2); zero when no slot
    // holds the default currency.
    std::optional<Decimal> defaultCurrencyValueForKey(const QString &key) const;
    std::optional<Decimal> netPrice() const { return defaultCurrencyValueForKey(QStringLiteral("netPrice")); }
    std::optional<Decimal> grossPrice() const { return defaultCurrencyValueForKey(QStringLiteral("grossPrice")); }
    // Slot n (1 to 3).
    QString slotCurrency(int slot) const;
    std::optional<Decimal> slotNetPrice(int slot) const;
    std::optional<Decimal> slotGrossPrice(int slot) const;
    void setSlot(int slot, const QString &currency, const std::optional<Decimal> &net,
                 const std::optional<Decimal> &gross);
    // The first slot holding the currency; −1 when none does.
    int slotForCurrency(const QString &currency) const;

    // ---- the catalogue learning from issued lines
    // Name, stored prices, the slot of the line's currency (or the first slot without prices;
    // with none, no slot changes), a bill's price, the calculation direction, rate and unit.
    void updateWithDocumentItem(const class ZTDocumentItem &item);

    // ---- labels, kept joined by ","
    void addLabel(const QString &name);
    // Removes every entry equal to the name; the last one removed clears the list.
    void removeLabel(const QString &name);
    QString commaSeparatedLabels() const;

    // ---- gross-based prices, which the preferences can switch off for the whole catalogue
    void convertToNetBasedCalculations() { setGrossBasedValues(false); }
    static void convertAllProductCalculationsToNetBased(ManagedObjectContext &context);
    static bool grossBasedCalculationProductsExist(ManagedObjectContext &context);
    static QList<ZTProduct *> grossBasedCalculationProducts(ManagedObjectContext &context);

    QString name() const { return stringAttribute(QStringLiteral("name")); }
    void setName(const QString &text) { setStringAttribute(QStringLiteral("name"), text); }
    QString label() const { return stringAttribute(QStringLiteral("label")); }
    void setLabel(const QString &text) { setStringAttribute(QStringLiteral("label"), text); }
    QString pkwiu() const { return stringAttribute(QStringLiteral("pkwiu")); }
    void setPkwiu(const QString &text) { setStringAttribute(QStringLiteral("pkwiu"), text); }
    QString unitName() const { return stringAttribute(QStringLiteral("unitName")); }
    void setUnitName(const QString &text) { setStringAttribute(QStringLiteral("unitName"), text); }
    std::optional<Decimal> vatRate() const { return decimalAttribute(QStringLiteral("vatRate")); }
    void setVatRate(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("vatRate"), number);
    }
    QString vatDescription() const { return stringAttribute(QStringLiteral("vatDescription")); }
    void setVatDescription(const QString &text)
    {
        setStringAttribute(QStringLiteral("vatDescription"), text);
    }
    // The stored unit prices. netPrice() and grossPrice() read the default currency's slot.
    std::optional<Decimal> storedNetPrice() const { return decimalAttribute(QStringLiteral("netPrice")); }
    void setNetPrice(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("netPrice"), number);
    }
    std::optional<Decimal> storedGrossPrice() const { return decimalAttribute(QStringLiteral("grossPrice")); }
    void setGrossPrice(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("grossPrice"), number);
    }
    std::optional<Decimal> billPrice() const { return decimalAttribute(QStringLiteral("billPrice")); }
    void setBillPrice(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("billPrice"), number);
    }
    bool grossBasedValues() const { return boolAttribute(QStringLiteral("grossBasedValues")); }
    void setGrossBasedValues(bool flag) { setBoolAttribute(QStringLiteral("grossBasedValues"), flag); }
    QString currency1() const { return stringAttribute(QStringLiteral("currency1")); }
    void setCurrency1(const QString &text) { setStringAttribute(QStringLiteral("currency1"), text); }
    QString currency2() const { return stringAttribute(QStringLiteral("currency2")); }
    void setCurrency2(const QString &text) { setStringAttribute(QStringLiteral("currency2"), text); }
    QString currency3() const { return stringAttribute(QStringLiteral("currency3")); }
    void setCurrency3(const QString &text) { setStringAttribute(QStringLiteral("currency3"), text); }
    std::optional<Decimal> netPrice1() const { return decimalAttribute(QStringLiteral("netPrice1")); }
    void setNetPrice1(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("netPrice1"), number);
    }
    std::optional<Decimal> grossPrice1() const { return decimalAttribute(QStringLiteral("grossPrice1")); }
    void setGrossPrice1(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("grossPrice1"), number);
    }
    std::optional<Decimal> netPrice2() const { return decimalAttribute(QStringLiteral("netPrice2")); }
    void setNetPrice2(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("netPrice2"), number);
    }
    std::optional<Decimal> grossPrice2() const { return decimalAttribute(QStringLiteral("grossPrice2")); }
    void setGrossPrice2(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("grossPrice2"), number);
    }
    std::optional<Decimal> netPrice3() const { return decimalAttribute(QStringLiteral("netPrice3")); }
    void setNetPrice3(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("netPrice3"), number);
    }
    std::optional<Decimal> grossPrice3() const { return decimalAttribute(QStringLiteral("grossPrice3")); }
    void setGrossPrice3(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("grossPrice3"), number);
    }
    bool doNotAutocomplete() const { return boolAttribute(QStringLiteral("doNotAutocomplete")); }
    void setDoNotAutocomplete(bool flag) { setBoolAttribute(QStringLiteral("doNotAutocomplete"), flag); }
    QDateTime createdAt() const { return dateAttribute(QStringLiteral("createdAt")); }
    void setCreatedAt(const QDateTime &date) { setDateAttribute(QStringLiteral("createdAt"), date); }
};
