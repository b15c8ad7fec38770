#include "ZTDocumentView.h"

#include "output/ZTDocumentBatch.h"
#include "output/ZTPdfPageStamper.h"

#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>


const QString ZTDocumentView::kShowHeaderKey = QStringLiteral("ZTRepresentationShowHeader");

namespace {

// A4 margins in points; the bottom one leaves room for the footer's 25 pt logo, which
// ZTPdfPageStamper draws there.
constexpr qreal kSideMargin = 23.0;
constexpr qreal kTopMargin = 23.0;
constexpr qreal kBottomMargin = 40.0;

// The engine's objects shared by all documents: one off-the-record profile (nothing of a page
// is kept on disk) and the views waiting for their next document. A page that has laid out
// one document lays out the next in the same renderer process; a new page would start a
// process of its own, which costs more than the layout. The pool deletes its views before the
// profile, as the engine wants.
class RenderingPool : public QObject
{
public:
    RenderingPool() : QObject(QCoreApplication::instance())
    {
        profile = new QWebEngineProfile(this);
        QWebEngineSettings *settings = profile->settings();
        settings->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
        settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
        // Pictures (seller logo, facsimile) are local files; nothing is fetched from outside.
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        // The engine tears itself down in a routine run when the application object goes;
        // the views and the profile must be gone before that. Routines run last-added first,
        // and the engine added its own when the profile above was made.
        qAddPostRoutine(&RenderingPool::release);
    }
    static void release()
    {
        delete instanceSlot().data();
    }
    ~RenderingPool() override
    {
        // Idle or still busy, every view made from the pool goes before the profile.
        idle.clear();
        qDeleteAll(findChildren<ZTDocumentView *>(Qt::FindDirectChildrenOnly));
        delete profile;
    }

    static QPointer<RenderingPool> &instanceSlot()
    {
        static QPointer<RenderingPool> pool;
        return pool;
    }
    static RenderingPool &instance()
    {
        QPointer<RenderingPool> &pool = instanceSlot();
        if (!pool)
            pool = new RenderingPool;
        return *pool;
    }

    QWebEngineProfile *profile = nullptr;
    QList<QPointer<ZTDocumentView>> idle;
};

QWebEngineProfile *renderingProfile() { return RenderingPool::instance().profile; }

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

} // namespace

ZTDocumentView::ZTDocumentView(QObject *parent) : QObject(parent)
{
    m_page = new QWebEnginePage(renderingProfile(), this);
    connect(m_page, &QWebEnginePage::loadFinished, this, &ZTDocumentView::pageLoaded);
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, this, &ZTDocumentView::printingFinished);
}

ZTDocumentView::~ZTDocumentView() { removePreviewFile(); }

ZTDocumentView *ZTDocumentView::takeReusable()
{
    RenderingPool &pool = RenderingPool::instance();
    while (!pool.idle.isEmpty()) {
        ZTDocumentView *view = pool.idle.takeLast().data();
        if (view)
            return view;
    }
    return new ZTDocumentView(&pool);
}

void ZTDocumentView::recycle()
{
    // A view still busy with a page is not handed out again.
    if (m_loading || m_printing || m_completion) {
        deleteLater();
        return;
    }
    m_titles.clear();
    RenderingPool &pool = RenderingPool::instance();
    setParent(&pool);
    pool.idle.append(this);
}

void ZTDocumentView::loadDocuments(const QStringList &htmls, const QStringList &titles, const QUrl &baseUrl)
{
    m_titles = titles;
    loadHtml(ZTDocumentBatch::joinedHtml(htmls), baseUrl);
}

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
    producePdfDocuments([completion = std::move(completion)](const QList<QByteArray> &documents) {
        completion(documents.value(0));
    });
}

void ZTDocumentView::producePdfDocuments(std::function<void(const QList<QByteArray> &)> completion)
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
    QList<QByteArray> documents;
    if (!data.isEmpty()) {
        const bool withHeader = SettingsStore::standard().boolValue(kShowHeaderKey);
        documents = ZTPdfPageStamper::stampedDocuments(data, m_titles, withHeader);
    }
    finish(documents);
}

void ZTDocumentView::finish(const QList<QByteArray> &data)
{
    m_printing = false;
    auto completion = std::move(m_completion);
    m_completion = nullptr;
    if (completion)
        completion(data);
}

QString ZTDocumentView::pageHeader(const QString &title, int page, int pageCount)
{
    return ZTPdfPageStamper::pageHeader(title, page, pageCount);
}

QString ZTDocumentView::pageFooter() { return ZTPdfPageStamper::pageFooter(); }

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
    return ZTPdfPageStamper::stampedDocuments(pdf, {title}, withHeader).value(0);
}
