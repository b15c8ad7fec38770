#pragma once

#include "ZTSellerData.h"

#include <QMap>

class ZTDocument;
class ZTSellerTemplate;

// The seller printed on one document ("Seller"): a copy of a seller template.
class ZTSeller : public ZTSellerData
{
public:
    static ZTSeller *newSeller(ManagedObjectContext &context);

    QString classDativeForm() const override { return QStringLiteral("sprzedawcy"); }

    // ---- register exchange
    // Takes over a seller template; the logo and facsimile come from the settings instead,
    // and REGON and remarks are not taken.
    void updateWithSellerTemplate(const ZTSellerTemplate &sellerTemplate);
    // The values a derived draft keeps of its source's seller (not cash basis or margin
    // procedure, which follow the template and the document).
    void copyValuesFromSeller(const ZTSeller &seller);

    // The pictures read back under the current company's folder by their stored file names,
    // so that they survive a move of the data folder; an empty value reads as stored.
    QString logoPath() const;
    QString facsimilePath() const;
    QString storedLogoPath() const { return ZTSellerData::logoPath(); }
    QString storedFacsimilePath() const { return ZTSellerData::facsimilePath(); }

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

    // ---- checks (see ZTPartyValidation.cpp)
    // The seller's own NIP must be Polish: a foreign-looking number fails, the rest is the
    // soft NIP check.
    bool validateNip(const QVariant &value, Error &error) const override;
    // ---- end of checks
};
