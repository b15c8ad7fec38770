#pragma once

#include "ZTSellerData.h"

#include <QMap>

class ZTDocument;

// The seller printed on one document ("Seller"): a copy of a seller template.
class ZTSeller : public ZTSellerData
{
public:
    static ZTSeller *newSeller(ManagedObjectContext &context);


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
