#pragma once

#include "ZTPerson.h"

// A contractor of the customer register ("Customer").
class ZTCustomer : public ZTPerson
{
public:
    static ZTCustomer *newCustomer(ManagedObjectContext &context);

    QString label() const { return stringAttribute(QStringLiteral("label")); }
    void setLabel(const QString &text) { setStringAttribute(QStringLiteral("label"), text); }
    QString email() const { return stringAttribute(QStringLiteral("email")); }
    void setEmail(const QString &text) { setStringAttribute(QStringLiteral("email"), text); }
    QString pesel() const { return stringAttribute(QStringLiteral("pesel")); }
    void setPesel(const QString &text) { setStringAttribute(QStringLiteral("pesel"), text); }
    QString recipient() const { return stringAttribute(QStringLiteral("recipient")); }
    void setRecipient(const QString &text) { setStringAttribute(QStringLiteral("recipient"), text); }
    QString recipientAddress() const { return stringAttribute(QStringLiteral("recipientAddress")); }
    void setRecipientAddress(const QString &text)
    {
        setStringAttribute(QStringLiteral("recipientAddress"), text);
    }
    QString picturePath() const { return stringAttribute(QStringLiteral("picturePath")); }
    void setPicturePath(const QString &text) { setStringAttribute(QStringLiteral("picturePath"), text); }
    std::optional<Decimal> defaultDiscount() const
    {
        return decimalAttribute(QStringLiteral("defaultDiscount"));
    }
    void setDefaultDiscount(const std::optional<Decimal> &number)
    {
        setDecimalAttribute(QStringLiteral("defaultDiscount"), number);
    }
    std::optional<int> defaultDueDays() const { return intAttribute(QStringLiteral("defaultDueDays")); }
    void setDefaultDueDays(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("defaultDueDays"), number);
    }
    QString defaultPaymentType() const { return stringAttribute(QStringLiteral("defaultPaymentType")); }
    void setDefaultPaymentType(const QString &text)
    {
        setStringAttribute(QStringLiteral("defaultPaymentType"), text);
    }
    std::optional<int> defaultDocumentSecondLanguage() const
    {
        return intAttribute(QStringLiteral("defaultDocumentSecondLanguage"));
    }
    void setDefaultDocumentSecondLanguage(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("defaultDocumentSecondLanguage"), number);
    }
    QString defaultDocumentRemarks() const
    {
        return stringAttribute(QStringLiteral("defaultDocumentRemarks"));
    }
    void setDefaultDocumentRemarks(const QString &text)
    {
        setStringAttribute(QStringLiteral("defaultDocumentRemarks"), text);
    }
};
