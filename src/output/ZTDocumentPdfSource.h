#pragma once

#include <QByteArray>
#include <QDateTime>

#include <functional>

class ZTDocument;

// Where printing, export and mail get the PDF of one document: the rendered data of one
// version of it, and the settlement sheet of a margin invoice. Empty data means the document
// has no such representation; it then contributes no pages.
struct ZTDocumentPdfSource
{
    // version: 0 no label (mail), 1 copy, 2 original, 3 duplicate dated `duplicateDate`.
    std::function<QByteArray(ZTDocument *document, int version, const QDateTime &duplicateDate)> documentPdf;
    std::function<QByteArray(ZTDocument *marginInvoice)> settlementsPdf;

    bool isValid() const { return documentPdf && settlementsPdf; }

    // The source used when none is given: the program's renderer once it is set at start
    // (setStandard), else one that renders nothing.
    static ZTDocumentPdfSource standard();
    static void setStandard(ZTDocumentPdfSource source);
};
