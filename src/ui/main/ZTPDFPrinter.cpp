#include "ZTPDFPrinter.h"

#include "platform/ZTLog.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPageSize>
#include <QPdfDocument>
#include <QPrinter>

namespace {

// The pages in print order: the dialogue's page range, and copies where the printer leaves
// them to the program.
QList<int> printOrder(const QPrinter *printer, int pageCount)
{
    int first = 0;
    int last = pageCount - 1;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = qMax(0, printer->fromPage() - 1);
        last = qMin(last, qMax(first, printer->toPage() - 1));
    }
    QList<int> pages;
    for (int page = first; page <= last; ++page)
        pages << page;

    const int copies = printer->supportsMultipleCopies() ? 1 : qMax(1, printer->copyCount());
    QList<int> order;
    if (printer->collateCopies()) {
        for (int copy = 0; copy < copies; ++copy)
            order << pages;
    } else {
        for (int page : std::as_const(pages))
            for (int copy = 0; copy < copies; ++copy)
                order << page;
    }
    return order;
}

// The page as an opaque picture: pages are drawn on transparent ground, and paper is white.
// Laid on white in place, since a second picture of a page at print resolution would double
// the memory it takes.
QImage renderedPage(QPdfDocument &document, int page, const QSize &size)
{
    QImage image = document.render(page, size);
    if (image.isNull())
        return image;
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto *pixel = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x, ++pixel) {
            const int clear = 255 - qAlpha(*pixel);
            if (clear != 0)
                *pixel = qRgb(qRed(*pixel) + clear, qGreen(*pixel) + clear, qBlue(*pixel) + clear);
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

void drawPage(QPainter &painter, QPrinter *printer, QPdfDocument &document, int page)
{
    const QSizeF points = document.pagePointSize(page);
    if (points.isEmpty())
        return;
    // Where the sheet is not of the page's size (a printer with fixed paper), the page is
    // scaled to fit and centred across.
    const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
    const qreal deviceScale = qMin(paper.width() / points.width(), paper.height() / points.height());
    const QSizeF target = points * deviceScale;
    const QRectF targetRect(paper.left() + (paper.width() - target.width()) / 2, paper.top(), target.width(),
                            target.height());

    const int dpi = qMin(printer->resolution(), ZTPDFPrinter::kMaxRenderDpi);
    const qreal renderScale = qMin<qreal>(deviceScale, dpi / 72.0);
    const QSize pixels = (points * renderScale).toSize().expandedTo(QSize(1, 1));
    painter.drawImage(targetRect, renderedPage(document, page, pixels));
}

} // namespace

QPageLayout ZTPDFPrinter::layoutForPageSize(const QSizeF &points)
{
    const bool landscape = points.width() > points.height();
    const QSizeF portrait = landscape ? points.transposed() : points;
    return QPageLayout(QPageSize(portrait, QPageSize::Point), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

bool ZTPDFPrinter::printPdf(const QByteArray &pdf, QPrinter *printer, const Progress &progress)
{
    QByteArray data = pdf;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    if (document.status() != QPdfDocument::Status::Ready || document.pageCount() == 0) {
        ZTLOG(QStringLiteral("nothing to print: %1 pages, status %2")
                  .arg(document.pageCount())
                  .arg(static_cast<int>(document.status())));
        return false;
    }

    const QList<int> order = printOrder(printer, document.pageCount());
    if (order.isEmpty())
        return false;
    printer->setFullPage(true);
    printer->setPageLayout(layoutForPageSize(document.pagePointSize(order.first())));
    QPainter painter;
    if (!painter.begin(printer)) {
        ZTLOG(QStringLiteral("the printer would not start"));
        return false;
    }
    for (qsizetype i = 0; i < order.size(); ++i) {
        const int page = order.at(i);
        if (i > 0) {
            printer->setPageLayout(layoutForPageSize(document.pagePointSize(page)));
            if (!printer->newPage()) {
                ZTLOG(QStringLiteral("the printer took no page %1 of %2").arg(i + 1).arg(order.size()));
                painter.end();
                return false;
            }
        }
        drawPage(painter, printer, document, page);
        if (progress && !progress(static_cast<int>(i + 1), static_cast<int>(order.size()))) {
            printer->abort();
            painter.end();
            return false;
        }
    }
    document.close();
    return painter.end();
}
