#include "ZTDocumentView.h"

#include "app/ZTAppController.h"
#include "output/ZTTemplateLibrary.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

// The current qpdf interface (shared pointers), without the old one's warnings.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <set>

const QString ZTDocumentView::kShowHeaderKey = QStringLiteral("ZTRepresentationShowHeader");

namespace {

constexpr qreal kSideMargin = 23.0;
constexpr qreal kTopMargin = 23.0;
// Room under the content for the footer's 25 pt logo.
constexpr qreal kBottomMargin = 40.0;
constexpr qreal kHeaderHeight = 18.0;
constexpr qreal kLogoHeight = 25.0;
const QColor kGrey(0x80, 0x80, 0x80);

// One off-the-record profile for all documents: nothing of a page is kept on disk.
QWebEngineProfile *renderingProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        profile = new QWebEngineProfile(QCoreApplication::instance());
        QWebEngineSettings *settings = profile->settings();
        settings->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
        settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
        // Pictures (seller logo, facsimile) are local files; nothing is fetched from outside.
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    }
    return profile;
}

QString pageScript(const QString &name)
{
    QFile file(QStringLiteral(":/scripts/%1.js").arg(name));
    if (!file.open(QIODevice::ReadOnly)) {
        ZTLOG(QStringLiteral("page script %1 missing").arg(name));
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

const QStringList &pageScriptNames()
{
    static const QStringList names{QStringLiteral("jQuery"), QStringLiteral("PrintingPageJavaScript")};
    return names;
}

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
QByteArray headerFooterPages(const std::vector<PageSize> &sizes, const QString &title, bool withHeader)
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
    const QString footer = ZTDocumentView::pageFooter();
    const int count = int(sizes.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            writer.setPageSize(QPageSize(QSizeF(sizes[size_t(i)].width, sizes[size_t(i)].height), QPageSize::Point));
            writer.newPage();
        }
        const qreal w = sizes[size_t(i)].width;
        const qreal h = sizes[size_t(i)].height;
        const qreal textWidth = w - 2 * kSideMargin;
        if (withHeader) {
            // In the top margin, right-aligned, just above the content.
            const QRectF headerRect(kSideMargin, kTopMargin - kHeaderHeight - 2, textWidth, kHeaderHeight);
            writeText(painter, ZTDocumentView::pageHeader(title, i + 1, count), headerFont, headerRect,
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

} // namespace

ZTDocumentView::ZTDocumentView(QObject *parent) : QObject(parent)
{
    m_page = new QWebEnginePage(renderingProfile(), this);
    connect(m_page, &QWebEnginePage::loadFinished, this, &ZTDocumentView::pageLoaded);
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, this, &ZTDocumentView::printingFinished);
}

ZTDocumentView::~ZTDocumentView() { removePreviewFile(); }

void ZTDocumentView::loadHtml(const QString &html, const QUrl &baseUrl)
{
    m_loading = true;
    m_loadOk = false;
    m_scriptsDone = false;
    QUrl base = baseUrl;
    if (base.isLocalFile() && !base.path().endsWith(QLatin1Char('/')))
        base.setPath(base.path() + QLatin1Char('/'));
    m_page->setHtml(html, base);
}

QPageLayout ZTDocumentView::printInfo()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kSideMargin, kTopMargin, kSideMargin, kBottomMargin), QPageLayout::Point);
}

void ZTDocumentView::pageLoaded(bool ok)
{
    // The page scripts run once, after the first completed load.
    if (!m_loading)
        return;
    m_loadOk = ok;
    runPageScripts(0);
}

void ZTDocumentView::runPageScripts(int index)
{
    if (index >= pageScriptNames().size()) {
        m_loading = false;
        m_scriptsDone = true;
        emit loadFinished(m_loadOk);
        if (m_completion && !m_printing)
            startPrinting();
        return;
    }
    const QString script = pageScript(pageScriptNames().at(index));
    QPointer<ZTDocumentView> self(this);
    m_page->runJavaScript(script, [self, index](const QVariant &) {
        if (self)
            self->runPageScripts(index + 1);
    });
}

void ZTDocumentView::producePdfData(std::function<void(const QByteArray &)> completion)
{
    if (m_completion) {
        ZTLOG(QStringLiteral("PDF data already being produced"));
        completion({});
        return;
    }
    m_completion = std::move(completion);
    // While the page is loading, printing waits for it and its scripts.
    if (m_scriptsDone)
        startPrinting();
}

QByteArray ZTDocumentView::pdfData()
{
    QByteArray result;
    bool done = false;
    QEventLoop loop;
    producePdfData([&](const QByteArray &data) {
        result = data;
        done = true;
        loop.quit();
    });
    if (!done)
        loop.exec();
    return result;
}

void ZTDocumentView::startPrinting()
{
    m_printing = true;
    if (!m_loadOk || !preparePreviewFile()) {
        finish({});
        return;
    }
    m_page->printToPdf(m_previewFilePath, printInfo());
}

void ZTDocumentView::printingFinished(const QString &filePath, bool success)
{
    if (!m_printing || filePath != m_previewFilePath)
        return;
    QByteArray data;
    if (success) {
        QFile file(filePath);
        if (file.open(QIODevice::ReadOnly))
            data = file.readAll();
    }
    removePreviewFile();
    if (!data.isEmpty()) {
        const bool withHeader = SettingsStore::standard().boolValue(kShowHeaderKey);
        data = stampHeaderAndFooter(data, m_documentTitle, withHeader);
    }
    finish(data);
}

void ZTDocumentView::finish(const QByteArray &data)
{
    m_printing = false;
    auto completion = std::move(m_completion);
    m_completion = nullptr;
    if (completion)
        completion(data);
}

QString ZTDocumentView::pageHeader(const QString &title, int page, int pageCount)
{
    return QStringLiteral("%1 - strona %2 z %3").arg(title).arg(page).arg(pageCount);
}

QString ZTDocumentView::pageFooter()
{
    const QString version = QStringLiteral(TOLVANA_VERSION);
    if (SettingsStore::standard().boolValue(ZTTemplateLibrary::kCustomTemplatesEnabledKey)) {
        const QString nip = SettingsStore::standard().stringValue(ZTAppController::kActiveCompanyNipKey);
        return QStringLiteral("Dokument wystawiony w programie Tolvana %1 dla NIP %2").arg(version, nip);
    }
    return QStringLiteral("Dokument wystawiony w programie Tolvana %1").arg(version);
}

QString ZTDocumentView::previewFilesDirectory()
{
    return QDir(QDir::tempPath()).filePath(QStringLiteral("Tolvana/Previews"));
}

bool ZTDocumentView::preparePreviewFile()
{
    // Seeded once from the clock; each file takes the next number, so documents rendered in
    // the same second (several may be in flight) never share a file.
    static QRandomGenerator generator(quint32(QDateTime::currentSecsSinceEpoch()));
    const QDir folder(previewFilesDirectory());
    if (!folder.mkpath(QStringLiteral(".")))
        return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path = folder.filePath(QString::number(generator.generate()));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_previewFilePath = path;
            return true;
        }
    }
    return false;
}

void ZTDocumentView::removePreviewFile()
{
    if (!m_previewFilePath.isEmpty())
        QFile::remove(m_previewFilePath);
    m_previewFilePath.clear();
}

QByteArray ZTDocumentView::stampHeaderAndFooter(const QByteArray &pdf, const QString &title, bool withHeader)
{
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("document", pdf.constData(), size_t(pdf.size()));
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document).getAllPages();
        if (pages.empty())
            return pdf;
        std::vector<PageSize> sizes;
        for (QPDFPageObjectHelper &page : pages) {
            const QPDFObjectHandle::Rectangle box = page.getMediaBox().getArrayAsRectangle();
            sizes.push_back({box.urx - box.llx, box.ury - box.lly});
        }
        const QByteArray overlayBytes = headerFooterPages(sizes, title, withHeader);
        QPDF overlay;
        overlay.setSuppressWarnings(true);
        overlay.processMemoryFile("overlay", overlayBytes.constData(), size_t(overlayBytes.size()));
        std::vector<QPDFPageObjectHelper> overlayPages = QPDFPageDocumentHelper(overlay).getAllPages();
        for (size_t i = 0; i < pages.size() && i < overlayPages.size(); ++i) {
            QPDFPageObjectHelper &page = pages[i];
            QPDFObjectHandle form = document.copyForeignObject(overlayPages[i].getFormXObjectForPage());
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
            const std::string placement =
                page.placeFormXObject(form, name, page.getMediaBox().getArrayAsRectangle());
            // The page's own drawing is wrapped so that its state cannot leak into ours.
            page.addPageContents(QPDFObjectHandle::newStream(&document, "q\n"), true);
            page.addPageContents(QPDFObjectHandle::newStream(&document, "\nQ\nq\n" + placement + "\nQ\n"), false);
        }
        QPDFWriter writer(document);
        writer.setOutputMemory();
        writer.setStaticID(false);
        writer.write();
        std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), qsizetype(buffer->getSize()));
    } catch (const std::exception &e) {
        ZTLOG(QStringLiteral("header and footer could not be added: %1").arg(QString::fromUtf8(e.what())));
        return {};
    }
}
