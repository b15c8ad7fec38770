#pragma once

#include "ZTManagedObject.h"

class ManagedObjectContext;

// A product or service of the catalogue ("Product"); document lines derive from it.
class ZTProduct : public ZTManagedObject
{
public:
    // A new catalogue product in the context.
    static ZTProduct *newProduct(ManagedObjectContext &context);

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
    std::optional<Decimal> netPrice() const { return decimalAttribute(QStringLiteral("netPrice")); }
    void setNetPrice(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("netPrice"), number);
    }
    std::optional<Decimal> grossPrice() const { return decimalAttribute(QStringLiteral("grossPrice")); }
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
