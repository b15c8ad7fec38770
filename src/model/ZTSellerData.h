#pragma once

#include "ZTPerson.h"

// The seller's own data that a seller template keeps and a document's seller snapshot copies:
// bank, pictures, signature, place of issue, cash basis and margin procedure. Both entities
// have these attributes under the same names.
class ZTSellerData : public ZTPerson
{
public:
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
};
