#pragma once

#include <QByteArray>
#include <QPageLayout>

#include <functional>

class QPrinter;
class QSizeF;

// Prints joined PDF content on a printer (or into the printer's PDF file): page by page, each
// page rendered as a picture at the printer's resolution onto a sheet of the page's own size,
// never rotated.
class ZTPDFPrinter
{
public:
    // Told after each printed page; returning false stops the job.
    using Progress = std::function<bool(int printed, int total)>;

    // False when nothing was printed: unreadable data, no pages, a printer that would not
    // start, or a job stopped through progress (then aborted).
    static bool printPdf(const QByteArray &pdf, QPrinter *printer, const Progress &progress = {});

    // A sheet of the given size in points, its long side down for a portrait page and across
    // for a landscape one, without margins.
    static QPageLayout layoutForPageSize(const QSizeF &points);

    // Pictures are rendered at the printer's resolution up to this limit: an A4 page at
    // 1200 dpi would take half a gigabyte of memory, with no gain on paper.
    static constexpr int kMaxRenderDpi = 600;
};
