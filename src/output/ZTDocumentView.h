#pragma once

#include <QByteArray>
#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWebEnginePage;
class QPainter;
class QRectF;

// One merged document laid out by the web engine as A4 pages. After the page has loaded, the
// page scripts ("jQuery", then "PrintingPageJavaScript") run in it; the PDF then gets the page
// header (document number, page n of m) and the footer (logo, program and version) stamped
// onto every page.
//
// Needs a QGuiApplication created with Qt::AA_ShareOpenGLContexts, on the main thread.
class ZTDocumentView : public QObject
{
    Q_OBJECT
public:
    static const QString kShowHeaderKey; // "ZTRepresentationShowHeader"

    explicit ZTDocumentView(QObject *parent = nullptr);
    ~ZTDocumentView() override;

    // A view from the pool of views kept between documents (a new one when none is idle), and
    // back into the pool once its PDF has been handed over.
    static ZTDocumentView *takeReusable();
    void recycle();

    QString documentTitle() const { return m_titles.value(0); }
    void setDocumentTitle(const QString &title) { m_titles = QStringList{title}; }

    // Loads the merged HTML; relative links resolve against baseUrl (a folder URL).
    void loadHtml(const QString &html, const QUrl &baseUrl);
    // Loads several merged documents of the same page frame (ZTDocumentBatch::canJoin) as one
    // page, each beginning on a sheet of its own; they are printed together and handed back
    // one by one (producePdfDocuments).
    void loadDocuments(const QStringList &htmls, const QStringList &titles, const QUrl &baseUrl);
    bool isLoading() const { return m_loading; }
    bool loadSucceeded() const { return m_loadOk; }

    // A4 portrait, 23 pt left, right and top; the bottom margin leaves room for the footer.
    static QPageLayout printInfo();

    // The laid-out pages as PDF data, handed to the completion on the main thread once the
    // page has loaded and its scripts have run; empty data when laying out or writing failed.
    void producePdfData(std::function<void(const QByteArray &)> completion);
    // The PDF of each loaded document, in order; an empty list when laying out, writing or
    // telling the documents apart failed.
    void producePdfDocuments(std::function<void(const QList<QByteArray> &)> completion);
    // The same, waiting in a local event loop (for the command line and tests).
    QByteArray pdfData();

    // "%@ - strona %ld z %lu"
    static QString pageHeader(const QString &title, int page, int pageCount);
    // The program and its version; with custom templates on also the active company's NIP.
    static QString pageFooter();

    // Draws the header and footer of every page of the PDF data onto those pages.
    static QByteArray stampHeaderAndFooter(const QByteArray &pdf, const QString &title, bool withHeader);

    // The temporary PDF files live in "Tolvana/Previews" under the temporary folder.
    static QString previewFilesDirectory();
    QString previewFilePath() const { return m_previewFilePath; }

signals:
    void loadFinished(bool ok);

private:
    void pageLoaded(bool ok);
    void runPageScripts(int index);
    void startPrinting();
    void printingFinished(const QString &filePath, bool success);
    void finish(const QList<QByteArray> &data);
    bool preparePreviewFile();
    void removePreviewFile();

    QWebEnginePage *m_page = nullptr;
    QStringList m_titles;
    QString m_previewFilePath;
    bool m_loading = false;
    bool m_loadOk = false;
    bool m_scriptsDone = false;
    bool m_printing = false;
    std::function<void(const QList<QByteArray> &)> m_completion;
};
