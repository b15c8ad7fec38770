#pragma once

#include <QByteArray>

#include <memory>

// A stack of PDF pages assembled from other PDF data: pages are appended in order, whole
// documents at a time, any number of times over. Repeated pages share their content, so a
// document rendered once and appended n times costs little more than once.
//
// Data that is empty or cannot be read as PDF appends nothing (and is logged). A stack with no
// pages still writes a valid, empty PDF.
class PdfDocument
{
public:
    PdfDocument();
    ~PdfDocument();
    PdfDocument(PdfDocument &&) noexcept;
    PdfDocument &operator=(PdfDocument &&) noexcept;
    PdfDocument(const PdfDocument &) = delete;
    PdfDocument &operator=(const PdfDocument &) = delete;

    // All pages of the data, in order, `times` times over (0 appends nothing). False when the
    // data could not be read (nothing was appended).
    bool appendPdfData(const QByteArray &data, unsigned times = 1);
    // All pages of another stack, in order, `times` times over.
    void appendDocument(const PdfDocument &other, unsigned times = 1);

    int pageCount() const;
    bool isEmpty() const { return pageCount() == 0; }
    // The joined PDF.
    QByteArray data() const;

    // Pages in PDF data; -1 when it cannot be read.
    static int pageCount(const QByteArray &data);
    // The pages of each part in order, each part `times` over; unreadable parts add nothing.
    static QByteArray joined(const QList<QByteArray> &parts, unsigned times = 1);
    static QByteArray repeated(const QByteArray &data, unsigned times);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
