#pragma once

#include "output/ZTDocumentPdfSource.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QObject;
class ZTDocumentAttributesRepresentation;
class ZTDocumentView;

// Turns a representation into merged HTML and PDF data: the template is chosen (the document's
// custom or built-in template, the settlement sheet, or the text of the generic form), merged
// with the template data, laid out by a ZTDocumentView and printed to A4 PDF.
//
// Rendering needs a QGuiApplication (with Qt::AA_ShareOpenGLContexts) and the main thread.
class ZTDocumentRendering
{
public:
    // The template text for the representation.
    static QString templateText(const ZTDocumentAttributesRepresentation &representation);

    // The merged HTML; "" for a template that cannot be parsed (logged; *parsingFailed set).
    static QString mergedHtml(ZTDocumentAttributesRepresentation &representation, bool *parsingFailed = nullptr);

    // True for the built-in templates and the settlement sheet, whose pages can be laid out
    // together with others (ZTDocumentRenderQueue); false for custom templates.
    static bool usesBuiltInTemplate(const ZTDocumentAttributesRepresentation &representation);

    // The folder URL against which the merged HTML's relative links resolve.
    static QUrl baseUrl(const ZTDocumentAttributesRepresentation &representation);

    // The document number, which heads every page of the document.
    static QString documentTitle(const ZTDocumentAttributesRepresentation &representation);

    // A new view with the merged HTML loaded and the document number as its title.
    static std::unique_ptr<ZTDocumentView> printableView(ZTDocumentAttributesRepresentation &representation,
                                                         QObject *parent = nullptr);

    // PDF data of the representation; empty when it could not be laid out or written.
    static QByteArray pdfData(ZTDocumentAttributesRepresentation &representation);
    // The same without waiting: the completion runs on the main thread when the PDF is ready.
    static void producePdfData(ZTDocumentAttributesRepresentation &representation,
                               std::function<void(const QByteArray &)> completion);

    // Printing, export and mail get their PDF data from here.
    static ZTDocumentPdfSource pdfSource();
    static void installAsStandardPdfSource() { ZTDocumentPdfSource::setStandard(pdfSource()); }
};
