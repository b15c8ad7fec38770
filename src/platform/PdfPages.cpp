#include "PdfPages.h"

#include "ZTLog.h"

#include <QList>

// qpdf's smart-pointer transition: use std::shared_ptr throughout.
#ifndef POINTERHOLDER_TRANSITION
#define POINTERHOLDER_TRANSITION 4
#endif
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <vector>

namespace {

// The source documents of appended pages must outlive the stack: qpdf copies foreign stream
// data only when the stack is written.
struct Source
{
    QByteArray bytes;
    std::shared_ptr<QPDF> pdf;
};

std::shared_ptr<QPDF> readPdf(const QByteArray &bytes)
{
    auto pdf = std::make_shared<QPDF>();
    pdf->setSuppressWarnings(true);
    pdf->processMemoryFile("data", bytes.constData(), static_cast<size_t>(bytes.size()));
    return pdf;
}

} // namespace

struct PdfDocument::Private
{
    QPDF pdf;
    std::vector<Source> sources;

    Private()
    {
        pdf.emptyPDF();
        pdf.setSuppressWarnings(true);
    }

    void appendPages(QPDF &from, unsigned times)
    {
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(from).getAllPages();
        QPDFPageDocumentHelper target(pdf);
        // A page met again is added as a shallow copy sharing its content streams.
        for (unsigned round = 0; round < times; ++round)
            for (QPDFPageObjectHelper &page : pages)
                target.addPage(page, false);
    }
};

PdfDocument::PdfDocument() : d(std::make_unique<Private>()) {}
PdfDocument::~PdfDocument() = default;
PdfDocument::PdfDocument(PdfDocument &&) noexcept = default;
PdfDocument &PdfDocument::operator=(PdfDocument &&) noexcept = default;

bool PdfDocument::appendPdfData(const QByteArray &data, unsigned times)
{
    if (data.isEmpty()) {
        ZTLOG(QStringLiteral("no PDF data to append"));
        return false;
    }
    try {
        Source source{data, readPdf(data)};
        if (times > 0)
            d->appendPages(*source.pdf, times);
        d->sources.push_back(std::move(source));
        return true;
    } catch (const std::exception &e) {
        ZTLOG(QStringLiteral("unreadable PDF data not appended: %1").arg(QString::fromLocal8Bit(e.what())));
        return false;
    }
}

void PdfDocument::appendDocument(const PdfDocument &other, unsigned times)
{
    if (times == 0 || other.pageCount() == 0)
        return;
    // The other stack is read back from its data so that both stay independent.
    appendPdfData(other.data(), times);
}

int PdfDocument::pageCount() const
{
    return static_cast<int>(QPDFPageDocumentHelper(d->pdf).getAllPages().size());
}

QByteArray PdfDocument::data() const
{
    try {
        QPDFWriter writer(d->pdf);
        writer.setOutputMemory();
        writer.setStaticID(false);
        writer.setCompressStreams(true);
        writer.write();
        std::unique_ptr<Buffer> buffer(writer.getBuffer());
        return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()),
                          static_cast<qsizetype>(buffer->getSize()));
    } catch (const std::exception &e) {
        ZTLOG(QStringLiteral("joined PDF could not be written: %1").arg(QString::fromLocal8Bit(e.what())));
        return {};
    }
}

int PdfDocument::pageCount(const QByteArray &data)
{
    if (data.isEmpty())
        return -1;
    try {
        std::shared_ptr<QPDF> pdf = readPdf(data);
        return static_cast<int>(QPDFPageDocumentHelper(*pdf).getAllPages().size());
    } catch (const std::exception &) {
        return -1;
    }
}

QByteArray PdfDocument::joined(const QList<QByteArray> &parts, unsigned times)
{
    PdfDocument document;
    for (const QByteArray &part : parts)
        document.appendPdfData(part, times);
    return document.data();
}

QByteArray PdfDocument::repeated(const QByteArray &data, unsigned times)
{
    PdfDocument document;
    document.appendPdfData(data, times);
    return document.data();
}
