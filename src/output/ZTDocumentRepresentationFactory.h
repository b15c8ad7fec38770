#pragma once

#include "ZTDocumentRepresentation.h"

#include <memory>

class ZTDocument;

// Makes document representations; nothing for a document of an unknown kind (logged).
class ZTDocumentRepresentationFactory
{
public:
    static std::unique_ptr<ZTDocumentRepresentation> representationOfDocument(ZTDocument *document, int version);
    static std::unique_ptr<ZTDocumentRepresentation> originalRepresentationForDocument(ZTDocument *document);
    static std::unique_ptr<ZTDocumentRepresentation> copyRepresentationForDocument(ZTDocument *document);
    static std::unique_ptr<ZTDocumentRepresentation> duplicateRepresentationForDocument(ZTDocument *document,
                                                                                         const QDateTime &issueDate);
    // Version 0, without a label: what mail attaches.
    static std::unique_ptr<ZTDocumentRepresentation> plainRepresentationForDocument(ZTDocument *document);
};
