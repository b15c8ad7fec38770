#pragma once

#include "ZTPerson.h"

// One set of the user's own seller data ("SellerTemplate").
class ZTSellerTemplate : public ZTPerson
{
public:
    QString templateName() const { return stringAttribute(QStringLiteral("templateName")); }
    void setTemplateName(const QString &text) { setStringAttribute(QStringLiteral("templateName"), text); }
    std::optional<int> order() const { return intAttribute(QStringLiteral("order")); }
    void setOrder(std::optional<int> number) { setIntAttribute(QStringLiteral("order"), number); }
    QString bankName() const { return stringAttribute(QStringLiteral("bankName")); }
    void setBankName(const QString &text) { setStringAttribute(QStringLiteral("bankName"), text); }
    QString bankAccountNumber() const { return stringAttribute(QStringLiteral("bankAccountNumber")); }
    void setBankAccountNumber(const QString &text)
    {
        setStringAttribute(QStringLiteral("bankAccountNumber"), text);
    }
    QString bankSwift() const { return stringAttribute(QStringLiteral("bankSwift")); }
    void setBankSwift(const QString &text) { setStringAttribute(QStringLiteral("bankSwift"), text); }
    QString logoPath() const { return stringAttribute(QStringLiteral("logoPath")); }
    void setLogoPath(const QString &text) { setStringAttribute(QStringLiteral("logoPath"), text); }
    QString facsimilePath() const { return stringAttribute(QStringLiteral("facsimilePath")); }
    void setFacsimilePath(const QString &text) { setStringAttribute(QStringLiteral("facsimilePath"), text); }
    QString signature() const { return stringAttribute(QStringLiteral("signature")); }
    void setSignature(const QString &text) { setStringAttribute(QStringLiteral("signature"), text); }
    QString issuesIn() const { return stringAttribute(QStringLiteral("issuesIn")); }
    void setIssuesIn(const QString &text) { setStringAttribute(QStringLiteral("issuesIn"), text); }
    bool cashBasisMethod() const { return boolAttribute(QStringLiteral("cashBasisMethod")); }
    void setCashBasisMethod(bool flag) { setBoolAttribute(QStringLiteral("cashBasisMethod"), flag); }
    QString marginInvoiceProcedure() const
    {
        return stringAttribute(QStringLiteral("marginInvoiceProcedure"));
    }
    void setMarginInvoiceProcedure(const QString &text)
    {
        setStringAttribute(QStringLiteral("marginInvoiceProcedure"), text);
    }
    std::optional<int> defaultDocumentSecondLanguage() const
    {
        return intAttribute(QStringLiteral("defaultDocumentSecondLanguage"));
    }
    void setDefaultDocumentSecondLanguage(std::optional<int> number)
    {
        setIntAttribute(QStringLiteral("defaultDocumentSecondLanguage"), number);
    }
};
