#include "ZTDocument.h"
#include "ZTSeller.h"

namespace {

const QString kTravelAgency = QStringLiteral("biuropodrozy");
const QString kSecondHandGoods = QStringLiteral("towaryuzywane");
const QString kWorksOfArt = QStringLiteral("dzielasztuki");
const QString kCollectables = QStringLiteral("kolekcjonerskieantyki");

constexpr int kEnglish = 1;

QString nameForCode(const QMap<QString, QString> &procedures, const QString &code)
{
    for (auto it = procedures.cbegin(); it != procedures.cend(); ++it) {
        if (it.value() == code)
            return it.key();
    }
    return QString();
}

QString nameForDocument(const ZTDocument *document, const QMap<QString, QString> &procedures)
{
    const QString code = document ? document->marginInvoiceProcedure() : QString();
    if (code.isEmpty())
        return QStringLiteral("");
    return nameForCode(procedures, code);
}

} // namespace

QMap<QString, QString> ZTSeller::marginProcedures()
{
    return {{QStringLiteral("Biuro podróży"), kTravelAgency},
            {QStringLiteral("Towary używane"), kSecondHandGoods},
            {QStringLiteral("Dzieła sztuki"), kWorksOfArt},
            {QStringLiteral("Przedmioty kolekcjonerskie i antyki"), kCollectables}};
}

QMap<QString, QString> ZTSeller::marginProceduresForSecondLanguage(int language)
{
    if (language != kEnglish)
        return marginProcedures();
    return {{QStringLiteral("Travel agency"), kTravelAgency},
            {QStringLiteral("Second-hand goods"), kSecondHandGoods},
            {QStringLiteral("Works of art"), kWorksOfArt},
            {QStringLiteral("Collectables and antiques"), kCollectables}};
}

QString ZTSeller::marginProcedureNameForDocument(const ZTDocument *document)
{
    return nameForDocument(document, marginProcedures());
}

QString ZTSeller::marginProcedureSecondLanguageNameForDocument(const ZTDocument *document)
{
    const int language = document ? document->documentSecondLanguage().value_or(0) : 0;
    return nameForDocument(document, marginProceduresForSecondLanguage(language));
}

Decimal ZTSeller::validVatRateForMarginProcedure(const QString &code)
{
    if (code == kTravelAgency)
        return Decimal::fromParts(8, 2);
    if (code == kSecondHandGoods || code == kWorksOfArt || code == kCollectables)
        return Decimal::fromParts(23, 2);
    return Decimal(-1);
}
