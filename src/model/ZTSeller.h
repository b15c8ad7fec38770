#pragma once

#include "ZTPerson.h"

#include <QMap>

class ZTDocument;

// The seller printed on one document ("Seller"): a copy of a seller template.
class ZTSeller : public ZTPerson
{
public:
    static ZTSeller *newSeller(ManagedObjectContext &context);

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

    // Margin-scheme procedures: fixed lists from name to code ("Biuro podróży" ->
    // "biuropodrozy"), in Polish, or in English for second language 1.
    static QMap<QString, QString> marginProcedures();
    static QMap<QString, QString> marginProceduresForSecondLanguage(int language);
    // Empty text without a procedure; null for an unknown code.
    static QString marginProcedureNameForDocument(const ZTDocument *document);
    static QString marginProcedureSecondLanguageNameForDocument(const ZTDocument *document);
    // 0.08 for a travel agency, 0.23 for the other known procedures, −1 for anything else.
    static Decimal validVatRateForMarginProcedure(const QString &code);

    QList<ZTDocument *> documents() const;
    void addDocument(ZTDocument *object);
    void removeDocument(ZTDocument *object);
};
