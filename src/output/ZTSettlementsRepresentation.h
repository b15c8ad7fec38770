#pragma once

#include "ZTDocumentAttributesRepresentation.h"

class ZTDocument;

// The settlement sheet of a margin invoice: the purchases that make up the margin, the margin
// and the VAT it contains.
class ZTSettlementsRepresentation : public ZTDocumentAttributesRepresentation
{
public:
    // The folder of the compiled-in templates, against which the sheet's links resolve.
    static QString resourceFolder() { return QStringLiteral(":/templates"); }

    // Only for a margin invoice; any other kind is an internal consistency failure.
    explicit ZTSettlementsRepresentation(ZTDocument *document);

    ZTDocument *representedDocument() const { return m_document; }

    // The VAT contained in a gross margin at the rate (a fraction): margin − margin / (1 + rate),
    // to two places. A rate below zero (none) counts as zero.
    static Decimal marginVatValue(const Decimal &margin, const std::optional<Decimal> &rate);

    // A settlement sheet has no kind of its own.
    QVariant documentKindAsHtmlId() const override { return QVariant(); }

private:
    void copyDocumentAttributes(ZTDocument *document);
    void copySettlementItems(ZTDocument *document);

    ZTDocument *m_document = nullptr;
};
