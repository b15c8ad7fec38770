#include "ZTPdfPageStamper.h"

#include "app/ZTAppController.h"
#include "output/ZTDocumentBatch.h"
#include "output/ZTTemplateLibrary.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

// The current qpdf interface (shared pointers), without the old one's warnings.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <vector>

namespace ZTPdfPageStamper {

namespace {

// The page margins the layout leaves (see ZTDocumentView::printInfo).
constexpr qreal kSideMargin = 23.0;
constexpr qreal kTopMargin = 23.0;
constexpr qreal kBottomMargin = 40.0;
constexpr qreal kHeaderHeight = 18.0;
constexpr qreal kLogoHeight = 25.0;
const QColor kGrey(0x80, 0x80, 0x80);

// The maker's grey mark: a rounded square with a "V", drawn as vectors so it stays sharp.
void drawLogo(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xa0, 0xa0, 0xa0));
    painter.drawRoundedRect(rect, rect.height() * 0.2, rect.height() * 0.2);
    QPainterPath v;
    const qreal w = rect.width();
    const qreal h = rect.height();
    v.moveTo(rect.left() + w * 0.22, rect.top() + h * 0.25);
    v.lineTo(rect.left() + w * 0.5, rect.top() + h * 0.78);
    v.lineTo(rect.left() + w * 0.78, rect.top() + h * 0.25);
    painter.setPen(QPen(Qt::white, h * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(v);
    painter.restore();
}

// Text laid out from the rectangle's origin, with the painter's state kept.
void writeText(QPainter &painter, const QString &text, const QFont &font, const QRectF &rect, Qt::Alignment alignment)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(kGrey);
    painter.drawText(rect, int(alignment | Qt::TextSingleLine), text);
    painter.restore();
}

struct PageSize
{
    qreal width;
    qreal height;
};

// A PDF of the same page count and sizes holding only the header and footer.
QByteArray headerFooterPages(const std::vector<PageSize> &sizes, const QStringList &headers)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72); // painter units are points
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("Tolvana"));
    writer.setPageSize(QPageSize(QSizeF(sizes.front().width, sizes.front().height), QPageSize::Point));
    QPainter painter;
    if (!painter.begin(&writer))
        return {};
    QFont headerFont(QStringLiteral("Helvetica"));
    headerFont.setPointSizeF(9);
    QFont footerFont(QStringLiteral("Helvetica"));
    footerFont.setPointSizeF(7);
    footerFont.setBold(true);
    const QString footer = pageFooter();
    const int count = int(sizes.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            writer.setPageSize(QPageSize(QSizeF(sizes[size_t(i)].width, sizes[size_t(i)].height), QPageSize::Point));
            writer.newPage();
        }
        const qreal w = sizes[size_t(i)].width;
        const qreal h = sizes[size_t(i)].height;
        const qreal textWidth = w - 2 * kSideMargin;
        if (!headers.value(i).isEmpty()) {
            // In the top margin, right-aligned, just above the content.
            const QRectF headerRect(kSideMargin, kTopMargin - kHeaderHeight - 2, textWidth, kHeaderHeight);
            writeText(painter, headers.value(i), headerFont, headerRect,
                      Qt::AlignRight | Qt::AlignBottom);
        }
        // The footer sits in the bottom margin: the logo, then the text beside it.
        const qreal footerTop = h - kBottomMargin + (kBottomMargin - kLogoHeight) / 2;
        const QRectF logoRect(kSideMargin, footerTop, kLogoHeight, kLogoHeight);
        drawLogo(painter, logoRect);
        const QRectF textRect(logoRect.right() + 5, footerTop, textWidth - kLogoHeight - 5, kLogoHeight);
        writeText(painter, footer, footerFont, textRect, Qt::AlignLeft | Qt::AlignVCenter);
    }
    painter.end();
    return bytes;
}

QByteArray written(QPDF &document)
{
    QPDFWriter writer(document);
    writer.setOutputMemory();
    writer.setStaticID(false);
    writer.write();
    std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), qsizetype(buffer->getSize()));
}

// Removes the marker links from the page; the index of the document whose marker it held, or -1.
int takeMarker(QPDFPageObjectHelper &page)
{
    QPDFObjectHandle annotations = page.getObjectHandle().getKey("/Annots");
    if (!annotations.isArray())
        return -1;
    const std::string prefix = ZTDocumentBatch::markerPrefix().toStdString();
    int marker = -1;
    for (int i = annotations.getArrayNItems() - 1; i >= 0; --i) {
        QPDFObjectHandle action = annotations.getArrayItem(i).getKey("/A");
        if (!action.isDictionary() || !action.getKey("/URI").isString())
            continue;
        const std::string uri = action.getKey("/URI").getStringValue();
        if (uri.compare(0, prefix.size(), prefix) != 0)
            continue;
        bool ok = false;
        const int index = QString::fromStdString(uri.substr(prefix.size())).toInt(&ok);
        // Two markers on one page would mean a document of no pages: not a layout we made.
        marker = ok && marker < 0 ? index : -2;
        annotations.eraseItem(i);
    }
    if (annotations.getArrayNItems() == 0)
        page.getObjectHandle().removeKey("/Annots");
    return marker;
}

void stampPage(QPDF &document, QPDFPageObjectHelper &page, QPDFPageObjectHelper &overlayPage)
{
    QPDFObjectHandle form = document.copyForeignObject(overlayPage.getFormXObjectForPage());
    QPDFObjectHandle resources = page.getAttribute("/Resources", true);
    if (!resources.isDictionary()) {
        resources = QPDFObjectHandle::newDictionary();
        page.getObjectHandle().replaceKey("/Resources", resources);
    }
    if (!resources.getKey("/XObject").isDictionary())
        resources.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
    int suffix = 0;
    const std::string name = resources.getUniqueResourceName("/ZTHF", suffix);
    resources.getKey("/XObject").replaceKey(name, form);
    const std::string placement = page.placeFormXObject(form, name, page.getMediaBox().getArrayAsRectangle());
    // The page's own drawing is wrapped so that its state cannot leak into ours.
    page.addPageContents(QPDFObjectHandle::newStream(&document, "q\n"), true);
    page.addPageContents(QPDFObjectHandle::newStream(&document, "\nQ\nq\n" + placement + "\nQ\n"), false);
}

} // namespace

QString pageHeader(const QString &title, int page, int pageCount)
{
    return QStringLiteral("%1 - strona %2 z %3").arg(title).arg(page).arg(pageCount);
}

QString pageFooter()
{
    const QString version = QStringLiteral(TOLVANA_VERSION);
    if (SettingsStore::standard().boolValue(ZTTemplateLibrary::kCustomTemplatesEnabledKey)) {
        const QString nip = SettingsStore::standard().stringValue(ZTAppController::kActiveCompanyNipKey);
        return QStringLiteral("Dokument wystawiony w programie Tolvana %1 dla NIP %2").arg(version, nip);
    }
    return QStringLiteral("Dokument wystawiony w programie Tolvana %1").arg(version);
}

QList<QByteArray> stampedDocuments(const QByteArray &pdf, const QStringList &titles, bool withHeader)
{
    const int documentCount = int(std::max<qsizetype>(1, titles.size()));
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("document", pdf.constData(), size_t(pdf.size()));
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document).getAllPages();
        const int pageCount = int(pages.size());
        if (pageCount == 0)
            return {};

        // Where each document begins: page 0 for a single one, else its marker's page.
        std::vector<int> firstPages(size_t(documentCount), -1);
        firstPages[0] = 0;
        if (documentCount > 1) {
            for (int i = 0; i < pageCount; ++i) {
                const int marker = takeMarker(pages[size_t(i)]);
                if (marker == -1)
                    continue;
                if (marker < 0 || marker >= documentCount || (marker == 0) != (i == 0) ||
                    (marker > 0 && firstPages[size_t(marker)] != -1)) {
                    ZTLOG(QStringLiteral("laid-out documents could not be told apart (page %1)").arg(i + 1));
                    return {};
                }
                firstPages[size_t(marker)] = i;
            }
            for (int d = 1; d < documentCount; ++d) {
                if (firstPages[size_t(d)] <= firstPages[size_t(d - 1)]) {
                    ZTLOG(QStringLiteral("laid-out documents could not be told apart (document %1)").arg(d + 1));
                    return {};
                }
            }
        }
        const auto lastPage = [&](int d) { return d + 1 < documentCount ? firstPages[size_t(d + 1)] : pageCount; };

        std::vector<PageSize> sizes;
        QStringList headers;
        for (int d = 0; d < documentCount; ++d) {
            const int first = firstPages[size_t(d)];
            for (int i = first; i < lastPage(d); ++i) {
                const QPDFObjectHandle::Rectangle box = pages[size_t(i)].getMediaBox().getArrayAsRectangle();
                sizes.push_back({box.urx - box.llx, box.ury - box.lly});
                headers << (withHeader ? pageHeader(titles.value(d), i - first + 1, lastPage(d) - first) : QString());
            }
        }
        const QByteArray overlayBytes = headerFooterPages(sizes, headers);
        QPDF overlay;
        overlay.setSuppressWarnings(true);
        overlay.processMemoryFile("overlay", overlayBytes.constData(), size_t(overlayBytes.size()));
        std::vector<QPDFPageObjectHelper> overlayPages = QPDFPageDocumentHelper(overlay).getAllPages();
        if (overlayPages.size() != pages.size())
            return {};
        for (size_t i = 0; i < pages.size(); ++i)
            stampPage(document, pages[i], overlayPages[i]);

        if (documentCount == 1)
            return {written(document)};
        QList<QByteArray> documents;
        for (int d = 0; d < documentCount; ++d) {
            QPDF part;
            part.emptyPDF();
            QPDFPageDocumentHelper partPages(part);
            for (int i = firstPages[size_t(d)]; i < lastPage(d); ++i)
                partPages.addPage(pages[size_t(i)], false);
            documents << written(part);
        }
        return documents;
    } catch (const std::exception &e) {
        ZTLOG(QStringLiteral("header and footer could not be added: %1").arg(QString::fromUtf8(e.what())));
        return {};
    }
}

} // namespace ZTPdfPageStamper
