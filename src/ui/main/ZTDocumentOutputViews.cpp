#include "ZTDocumentOutputViews.h"

#include "ZTPDFExportPanel.h"
#include "ZTPDFExportProgressSheet.h"
#include "ZTPDFPrinter.h"
#include "ZTPreviewWindow.h"
#include "ZTPrintPanel.h"

#include "output/ZTDocumentPrintController.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QWidget>

ZTDocumentOutputViews::ZTDocumentOutputViews(QWidget *window, ZTDocumentPdfSource source)
    : QObject(window)
    , m_window(window)
    , m_source(std::move(source))
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
}

ZTDocumentOutputViews::~ZTDocumentOutputViews()
{
    discardExport();
    // A dialogue still open reports to nobody once we are gone.
    delete m_printDialog;
    delete m_previewWindow;
}

ZTDocumentPrintController *ZTDocumentOutputViews::printController()
{
    if (!m_printController) {
        m_printController = new ZTDocumentPrintController(m_source, this);
        connect(m_printController, &ZTDocumentPrintController::previewReady, this, &ZTDocumentOutputViews::showPreview);
        connect(m_printController, &ZTDocumentPrintController::printContentReady, this,
                [this](const QByteArray &pdf) { emit printed(printContent(pdf)); });
    }
    return m_printController;
}

void ZTDocumentOutputViews::previewDocuments(const QList<ZTDocument *> &documents)
{
    printController()->previewDocuments(documents);
}

void ZTDocumentOutputViews::showPreview(const QByteArray &pdf, const QString &title)
{
    if (!m_previewWindow)
        m_previewWindow = new ZTPreviewWindow(m_window);
    m_previewWindow->showPdf(pdf, title);
}

void ZTDocumentOutputViews::printDocuments(const QList<ZTDocument *> &documents)
{
    printController()->printDocuments(documents);
    m_printDialog = ZTPrintPanel::beginPrintSheet(printController(), m_printer.get(), m_window);
}

void ZTDocumentOutputViews::printDuplicatesOfDocuments(const QList<ZTDocument *> &documents)
{
    printController()->printDuplicatesOfDocuments(documents);
    m_printDialog = ZTPrintPanel::beginDuplicatePrintSheet(printController(), m_printer.get(), m_window);
}

bool ZTDocumentOutputViews::printContent(const QByteArray &pdf)
{
    QProgressDialog progress(QStringLiteral("Drukowanie dokumentów…"), QStringLiteral("Anuluj"), 0, 0, m_window);
    progress.setWindowTitle(QStringLiteral("Drukowanie"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    return ZTPDFPrinter::printPdf(pdf, m_printer.get(), [&progress](int printed, int total) {
        progress.setMaximum(total);
        progress.setValue(printed);
        return !progress.wasCanceled();
    });
}

void ZTDocumentOutputViews::exportDocuments(const QList<ZTDocument *> &documents)
{
    // One export at a time is kept, until the next starts.
    discardExport();
    m_exportController = new ZTPDFExportController(documents, false, m_source, this);
    m_exportController->setTickInterval(m_exportTick);
    m_exportController->setCloseDelay(m_exportCloseDelay);
    m_exportController->setDelegate(this);
    m_progressSheet = new ZTPDFExportProgressSheet(m_exportController, m_window);
    m_exportPanel = new ZTPDFExportPanel(m_exportController, m_window);
    m_exportPanel->begin();
}

void ZTDocumentOutputViews::discardExport()
{
    delete m_exportPanel;
    delete m_progressSheet;
    delete m_exportController;
}

void ZTDocumentOutputViews::setExportTiming(int tickMs, int closeDelayMs)
{
    m_exportTick = tickMs;
    m_exportCloseDelay = closeDelayMs;
}

void ZTDocumentOutputViews::PDFExportControllerDidFinishedExportingDocuments(ZTPDFExportController *,
                                                                             const QList<ZTDocument *> &,
                                                                             const QStringList &paths)
{
    emit exportFinished(paths);
}

void ZTDocumentOutputViews::PDFExportControllerCancelledExportingDocuments(ZTPDFExportController *)
{
    emit exportCancelled();
}
