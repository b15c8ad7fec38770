#include "ZTDocumentPdfSource.h"

namespace {

ZTDocumentPdfSource &standardSource()
{
    static ZTDocumentPdfSource source;
    return source;
}

} // namespace

ZTDocumentPdfSource ZTDocumentPdfSource::standard()
{
    ZTDocumentPdfSource source = standardSource();
    if (!source.documentPdf)
        source.documentPdf = [](ZTDocument *, int, const QDateTime &) { return QByteArray(); };
    if (!source.settlementsPdf)
        source.settlementsPdf = [](ZTDocument *) { return QByteArray(); };
    return source;
}

void ZTDocumentPdfSource::setStandard(ZTDocumentPdfSource source)
{
    standardSource() = std::move(source);
}
