#pragma once

#include "ZTPDFExportPanel.h"
#include "ZTPDFExportProgressSheet.h"
#include "ZTPreviewWindow.h"

#include "output/ZTDocumentPdfSource.h"
#include "output/ZTPDFExportController.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QPrintDialog>

#include <memory>

class QPrinter;
class QWidget;
class ZTDocument;
class ZTDocumentPrintController;

// What a window needs to preview, print and save documents as PDF: it keeps one print
// controller (made on first use) with its preview window and the shared printer settings, and
// the export of the moment with its dialogue and progress sheet. Dialogues are sheets on the
// window; printing follows when the print controller has the content ready.
class ZTDocumentOutputViews : public QObject, public ZTPDFExportingProtocol
{
    Q_OBJECT
public:
    explicit ZTDocumentOutputViews(QWidget *window, ZTDocumentPdfSource source = ZTDocumentPdfSource::standard());
    ~ZTDocumentOutputViews() override;

    QWidget *window() const { return m_window; }
    ZTDocumentPrintController *printController();

    void previewDocument(ZTDocument *document) { previewDocuments({document}); }
    void previewDocuments(const QList<ZTDocument *> &documents);
    void printDocuments(const QList<ZTDocument *> &documents);
    void printDuplicatesOfDocuments(const QList<ZTDocument *> &documents);
    // The user's export: the file dialogue, then the timed writing under its progress sheet.
    void exportDocuments(const QList<ZTDocument *> &documents);

    // Prints joined PDF content with the shared printer settings; false when nothing printed.
    bool printContent(const QByteArray &pdf);

    // The print settings every print dialogue starts from and leaves its choices in.
    QPrinter *printer() const { return m_printer.get(); }
    ZTPreviewWindow *previewWindow() const { return m_previewWindow; }
    QPrintDialog *printDialog() const { return m_printDialog; }
    ZTPDFExportController *exportController() const { return m_exportController; }
    ZTPDFExportPanel *exportPanel() const { return m_exportPanel; }
    ZTPDFExportProgressSheet *progressSheet() const { return m_progressSheet; }

    // The export's pace (0.5 s between documents, the sheet closing 0.7 s after the last);
    // applied to exports started afterwards.
    void setExportTiming(int tickMs, int closeDelayMs);

    void PDFExportControllerDidFinishedExportingDocuments(ZTPDFExportController *controller,
                                                          const QList<ZTDocument *> &documents,
                                                          const QStringList &paths) override;
    void PDFExportControllerCancelledExportingDocuments(ZTPDFExportController *controller) override;

signals:
    void printed(bool ok);
    void exportFinished(const QStringList &paths);
    void exportCancelled();

private:
    void showPreview(const QByteArray &pdf, const QString &title);
    void discardExport();

    QPointer<QWidget> m_window;
    ZTDocumentPdfSource m_source;
    ZTDocumentPrintController *m_printController = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    QPointer<ZTPreviewWindow> m_previewWindow;
    QPointer<QPrintDialog> m_printDialog;
    QPointer<ZTPDFExportController> m_exportController;
    QPointer<ZTPDFExportPanel> m_exportPanel;
    QPointer<ZTPDFExportProgressSheet> m_progressSheet;
    int m_exportTick = 500;
    int m_exportCloseDelay = 700;
};
