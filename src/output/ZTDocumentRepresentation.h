#pragma once

#include "ZTDocumentAttributesRepresentation.h"

#include "model/ZTDocumentVatRateSummary.h"

class ZTDocument;

// One sales document in one version: 0 plain (mail attachments), 1 copy, 2 original,
// 3 duplicate with its date. The attributes are read when the representation is made; later
// changes of the document are not seen.
class ZTDocumentRepresentation : public ZTDocumentAttributesRepresentation
{
public:
    static constexpr int kVersionPlain = 0;
    static constexpr int kVersionCopy = 1;
    static constexpr int kVersionOriginal = 2;
    static constexpr int kVersionDuplicate = 3;

    ZTDocumentRepresentation(ZTDocument *document, int version);
    // A duplicate (version 3) dated duplicateDate.
    ZTDocumentRepresentation(ZTDocument *document, const QDateTime &duplicateDate);

    ZTDocument *representedDocument() const { return m_document; }
    int documentVersion() const { return m_version; }
    QDateTime duplicateDate() const { return m_duplicateDate; }
    void setDuplicateDate(const QDateTime &date) { m_duplicateDate = date; }

    // The summary's rows in its own order: rate (with its label), ratePercent, net, VAT and gross
    // values as decimals.
    static QVariantList copyVatSummaryIntoDictionaries(const ZTDocumentVatRateSummary &summary);

private:
    void copyDocumentAttributesFromDocument(ZTDocument *document, int version);
    void copyItemsFromDocument(ZTDocument *document);
    void copyPurchaserFromDocument(ZTDocument *document);
    void copySellerFromDocument(ZTDocument *document);
    void copyFormerAdvancesFromDocument(ZTDocument *document);

    ZTDocument *m_document = nullptr;
    int m_version = 0;
    QDateTime m_duplicateDate;
};
