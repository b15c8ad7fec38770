#include "ZTDocumentRendering.h"

#include "model/ZTDocument.h"
#include "output/ZTDocumentRepresentation.h"
#include "output/ZTDocumentRepresentationFactory.h"
#include "output/ZTDocumentView.h"
#include "output/ZTSettlementsRepresentation.h"
#include "output/ZTTemplateLibrary.h"
#include "output/ZTTemplateMerge.h"
#include "platform/ZTLog.h"

#include <QDir>

QString ZTDocumentRendering::templateText(const ZTDocumentAttributesRepresentation &representation)
{
    if (dynamic_cast<const ZTSettlementsRepresentation *>(&representation))
        return ZTTemplateLibrary::settlementsTemplateText();
    if (dynamic_cast<const ZTDocumentRepresentation *>(&representation))
        return ZTTemplateLibrary::documentTemplateText(representation.documentAttributes());
    return representation.documentTemplate();
}

bool ZTDocumentRendering::usesBuiltInTemplate(const ZTDocumentAttributesRepresentation &representation)
{
    if (dynamic_cast<const ZTSettlementsRepresentation *>(&representation))
        return true;
    if (dynamic_cast<const ZTDocumentRepresentation *>(&representation))
        return !ZTTemplateLibrary::useCustomTemplates();
    return false;
}

QString ZTDocumentRendering::mergedHtml(ZTDocumentAttributesRepresentation &representation, bool *parsingFailed)
{
    ZTTemplateMerge merge;
    const bool parsed = merge.parse(templateText(representation));
    if (!parsed)
        ZTLOG(QStringLiteral("exception occured while parsing template: %1").arg(merge.errorMessage()));
    if (parsingFailed)
        *parsingFailed = !parsed;
    return merge.render(representation.templateData());
}

QUrl ZTDocumentRendering::baseUrl(const ZTDocumentAttributesRepresentation &representation)
{
    QString folder = representation.baseDirectory();
    if (folder.isEmpty())
        folder = QDir::tempPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    // Compiled-in folders (":/templates") are reached through the qrc scheme.
    if (folder.startsWith(QStringLiteral(":/")))
        return QUrl(QStringLiteral("qrc") + folder);
    return QUrl::fromLocalFile(folder);
}

QString ZTDocumentRendering::documentTitle(const ZTDocumentAttributesRepresentation &representation)
{
    return representation.documentAttributes().value(QStringLiteral("documentID")).toString();
}

namespace {

template <class View> View *loaded(View *view, ZTDocumentAttributesRepresentation &representation)
{
    view->setDocumentTitle(ZTDocumentRendering::documentTitle(representation));
    view->loadHtml(ZTDocumentRendering::mergedHtml(representation), ZTDocumentRendering::baseUrl(representation));
    return view;
}

} // namespace

std::unique_ptr<ZTDocumentView> ZTDocumentRendering::printableView(ZTDocumentAttributesRepresentation &representation,
                                                                   QObject *parent)
{
    return std::unique_ptr<ZTDocumentView>(loaded(new ZTDocumentView(parent), representation));
}

namespace {

// A view from the pool, loaded; it goes back to the pool once its PDF is handed over.
ZTDocumentView *pooledView(ZTDocumentAttributesRepresentation &representation)
{
    return loaded(ZTDocumentView::takeReusable(), representation);
}

} // namespace

QByteArray ZTDocumentRendering::pdfData(ZTDocumentAttributesRepresentation &representation)
{
    ZTDocumentView *view = pooledView(representation);
    const QByteArray data = view->pdfData();
    view->recycle();
    return data;
}

void ZTDocumentRendering::producePdfData(ZTDocumentAttributesRepresentation &representation,
                                         std::function<void(const QByteArray &)> completion)
{
    // The view goes back to the pool once its PDF is handed over.
    ZTDocumentView *view = pooledView(representation);
    view->producePdfData([view, completion = std::move(completion)](const QByteArray &data) {
        view->recycle();
        completion(data);
    });
}

ZTDocumentPdfSource ZTDocumentRendering::pdfSource()
{
    ZTDocumentPdfSource source;
    source.documentPdf = [](ZTDocument *document, int version, const QDateTime &duplicateDate) -> QByteArray {
        std::unique_ptr<ZTDocumentRepresentation> representation;
        switch (version) {
        case ZTDocumentRepresentation::kVersionDuplicate:
            representation = ZTDocumentRepresentationFactory::duplicateRepresentationForDocument(document, duplicateDate);
            break;
        case ZTDocumentRepresentation::kVersionPlain:
            representation = ZTDocumentRepresentationFactory::plainRepresentationForDocument(document);
            break;
        default:
            representation = ZTDocumentRepresentationFactory::representationOfDocument(document, version);
            break;
        }
        return representation ? pdfData(*representation) : QByteArray();
    };
    source.settlementsPdf = [](ZTDocument *marginInvoice) -> QByteArray {
        if (!marginInvoice || !marginInvoice->isMarginInvoice())
            return {};
        ZTSettlementsRepresentation representation(marginInvoice);
        return pdfData(representation);
    };
    return source;
}
