#pragma once

#include "PdfFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// qpdf's smart-pointer transition: use std::shared_ptr throughout.
#ifndef POINTERHOLDER_TRANSITION
#define POINTERHOLDER_TRANSITION 4
#endif
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>

// Small PDFs with one line of text per page, and reading PDFs back through poppler and qpdf,
// so that joined pages can be told apart by their text.
namespace PdfTest {

inline QByteArray pdfWithPages(const QStringList &pageTexts)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle font = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"));
    QPDFPageDocumentHelper pages(pdf);
    for (const QString &text : pageTexts) {
        const std::string content = "BT /F1 18 Tf 72 720 Td (" + text.toStdString() + ") Tj ET";
        QPDFObjectHandle page = pdf.makeIndirectObject(
            QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 595 842] >>"));
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/F1", font);
        resources.replaceKey("/Font", fonts);
        page.replaceKey("/Resources", resources);
        pages.addPage(QPDFPageObjectHelper(page), false);
    }
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.write();
    std::unique_ptr<Buffer> buffer(writer.getBuffer());
    return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}

inline QString writeTemp(const QTemporaryDir &dir, const QByteArray &data, const QString &name = QStringLiteral("t.pdf"))
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(data);
    return path;
}

// The text of each page, trimmed, as pdftotext reads it.
inline QStringList pageTextsOfFile(const QString &path) { return PdfFiles::pages(path); }

inline QStringList pageTexts(const QByteArray &pdf)
{
    QTemporaryDir dir;
    return pageTextsOfFile(writeTemp(dir, pdf));
}

// qpdf --check's verdict: 0 clean, 3 warnings, 2 errors.
inline int qpdfCheckOfFile(const QString &path) { return PdfFiles::qpdfCheck(path); }

inline int qpdfCheck(const QByteArray &pdf)
{
    QTemporaryDir dir;
    return qpdfCheckOfFile(writeTemp(dir, pdf));
}

} // namespace PdfTest
