#include "ZTDocumentRepresentationFactory.h"

#include "model/ZTDocument.h"
#include "platform/ZTLog.h"

namespace {

bool isRepresentable(const ZTDocument *document)
{
    if (!document)
        return false;
    const int kind = document->documentKind().value_or(0);
    if (ZTDocument::isValidKind(kind))
        return true;
    ZTLOG(QStringLiteral("document representation for document kind %1 not supported.").arg(kind));
    return false;
}

} // namespace

std::unique_ptr<ZTDocumentRepresentation>
ZTDocumentRepresentationFactory::representationOfDocument(ZTDocument *document, int version)
{
    if (!isRepresentable(document))
        return nullptr;
    return std::make_unique<ZTDocumentRepresentation>(document, version);
}

std::unique_ptr<ZTDocumentRepresentation> ZTDocumentRepresentationFactory::originalRepresentationForDocument(ZTDocument *document)
{
    return representationOfDocument(document, ZTDocumentRepresentation::kVersionOriginal);
}

std::unique_ptr<ZTDocumentRepresentation> ZTDocumentRepresentationFactory::copyRepresentationForDocument(ZTDocument *document)
{
    return representationOfDocument(document, ZTDocumentRepresentation::kVersionCopy);
}

std::unique_ptr<ZTDocumentRepresentation>
ZTDocumentRepresentationFactory::duplicateRepresentationForDocument(ZTDocument *document, const QDateTime &issueDate)
{
    if (!isRepresentable(document))
        return nullptr;
    return std::make_unique<ZTDocumentRepresentation>(document, issueDate);
}

std::unique_ptr<ZTDocumentRepresentation> ZTDocumentRepresentationFactory::plainRepresentationForDocument(ZTDocument *document)
{
    return representationOfDocument(document, ZTDocumentRepresentation::kVersionPlain);
}
