#include "ZTDocumentPrintController.h"

#include "ZTDuplicatePrintPreferencesController.h"
#include "ZTPrintPreferencesController.h"

#include "model/ZTDocument.h"
#include "platform/FreeFileName.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>

ZTDocumentPrintController::ZTDocumentPrintController(ZTDocumentPdfSource source, QObject *parent)
    : QObject(parent)
    , m_source(source.isValid() ? std::move(source) : ZTDocumentPdfSource::standard())
{
}

ZTDocumentPrintController::~ZTDocumentPrintController() = default;

void ZTDocumentPrintController::avoidFooterQuirkBySchedulingAndPerformingBlockOnMainLoop(std::function<void()> work)
{
    QTimer::singleShot(0, this, std::move(work));
}

// ---- preview

void ZTDocumentPrintController::previewDocuments(const QList<ZTDocument *> &documents)
{
    m_documents = documents;
    avoidFooterQuirkBySchedulingAndPerformingBlockOnMainLoop([this, documents] {
        const PdfDocument content = previewContent(documents);
        emit previewReady(content.data(), previewTitle(documents));
    });
}

PdfDocument ZTDocumentPrintController::previewContent(const QList<ZTDocument *> &documents)
{
    PdfDocument stack;
    for (ZTDocument *document : documents) {
        stack.appendPdfData(PDFDataWithDocument(document));
        if (document->isMarginInvoice())
            stack.appendPdfData(PDFDataWithSettlements(document));
    }
    return stack;
}

QString ZTDocumentPrintController::previewTitle(const QList<ZTDocument *> &documents)
{
    if (documents.size() != 1)
        return QStringLiteral("Podgląd dokumentów");
    QString title = QStringLiteral("Podgląd dokumentu");
    const QString number = documents.first()->documentID();
    if (!number.isEmpty())
        title += QStringLiteral(" %1").arg(number);
    return title;
}

// ---- originals and copies

void ZTDocumentPrintController::printDocuments(const QList<ZTDocument *> &documents)
{
    m_documents = documents;
    printPrefsController()->setContainsMarginInvoice(containsMarginInvoice(documents));
}

void ZTDocumentPrintController::printPanelDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    avoidFooterQuirkBySchedulingAndPerformingBlockOnMainLoop([this] {
        ZTPrintPreferencesController *prefs = printPrefsController();
        const PdfDocument content =
            assemblePrintContent(prefs->originalsCount(), prefs->copiesCount(), prefs->includeSettlements());
        emit printContentReady(content.data());
    });
}

void ZTDocumentPrintController::appendOriginalsAndCopies(PdfDocument &stack, ZTDocument *document, unsigned originals,
                                                         unsigned copies, bool withSettlements)
{
    // Each version is rendered once; its pages are repeated.
    if (originals > 0)
        stack.appendPdfData(m_source.documentPdf(document, kVersionOriginal, {}), originals);
    if (copies > 0)
        stack.appendPdfData(m_source.documentPdf(document, kVersionCopy, {}), copies);
    if (withSettlements && document->isMarginInvoice())
        stack.appendPdfData(PDFDataWithSettlements(document));
}

PdfDocument ZTDocumentPrintController::assemblePrintContent(unsigned originalsCount, unsigned copiesCount,
                                                            bool withSettlements)
{
    PdfDocument stack;
    for (ZTDocument *document : std::as_const(m_documents))
        appendOriginalsAndCopies(stack, document, originalsCount, copiesCount, withSettlements);
    return stack;
}

// ---- duplicates

void ZTDocumentPrintController::printDuplicatesOfDocuments(const QList<ZTDocument *> &documents)
{
    m_documents = documents;
    duplicatePrintPrefsController();
}

void ZTDocumentPrintController::duplicatePrintPanelDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    avoidFooterQuirkBySchedulingAndPerformingBlockOnMainLoop([this] {
        ZTDuplicatePrintPreferencesController *prefs = duplicatePrintPrefsController();
        const PdfDocument content = assemblePrintContentForDuplicate(prefs->issueDate(), prefs->count());
        emit printContentReady(content.data());
    });
}

PdfDocument ZTDocumentPrintController::assemblePrintContentForDuplicate(const QDateTime &date, unsigned count)
{
    PdfDocument stack;
    if (count == 0)
        return stack;
    for (ZTDocument *document : std::as_const(m_documents))
        stack.appendPdfData(m_source.documentPdf(document, kVersionDuplicate, date), count);
    return stack;
}

// ---- files

PdfDocument ZTDocumentPrintController::contentForDocument(ZTDocument *document, int version, bool includeSettlements)
{
    PdfDocument stack;
    if (version == kVersionOriginalAndCopy) {
        appendOriginalsAndCopies(stack, document, 1, 1, includeSettlements);
        return stack;
    }
    stack.appendPdfData(m_source.documentPdf(document, version, {}));
    if (includeSettlements && document->isMarginInvoice())
        stack.appendPdfData(PDFDataWithSettlements(document));
    return stack;
}

bool ZTDocumentPrintController::writeDocument(ZTDocument *document, const QString &path, int version,
                                              bool includeSettlements)
{
    QByteArray data;
    if (version != kVersionOriginalAndCopy && !(includeSettlements && document->isMarginInvoice())) {
        // One rendered version is a whole PDF already: written as it is, not re-assembled.
        data = m_source.documentPdf(document, version, {});
    } else {
        const PdfDocument content = contentForDocument(document, version, includeSettlements);
        if (!content.isEmpty())
            data = content.data();
    }
    if (data.isEmpty()) {
        // Nothing could be rendered: better no file than an empty one under the document's name.
        ZTLOG(QStringLiteral("PDF not written to %1: the document has no pages").arg(path));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        ZTLOG(QStringLiteral("PDF not written to %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

QString ZTDocumentPrintController::printDocumentToFile(ZTDocument *document, const QString &path, int version,
                                                       bool includeSettlements, bool overwriteExisting)
{
    const QString target = overwriteExisting ? path : FreeFileName::freePath(path);
    avoidFooterQuirkBySchedulingAndPerformingBlockOnMainLoop([this, document, target, version, includeSettlements] {
        const bool ok = writeDocument(document, target, version, includeSettlements);
        emit documentWritten(target, ok);
    });
    return target;
}

QByteArray ZTDocumentPrintController::PDFDataWithDocument(ZTDocument *document)
{
    return m_source.documentPdf(document, kVersionOriginal, {});
}

QByteArray ZTDocumentPrintController::PDFDataWithSettlements(ZTDocument *marginInvoice)
{
    return m_source.settlementsPdf(marginInvoice);
}

bool ZTDocumentPrintController::containsMarginInvoice(const QList<ZTDocument *> &documents)
{
    return std::any_of(documents.begin(), documents.end(),
                       [](const ZTDocument *document) { return document->isMarginInvoice(); });
}

ZTPrintPreferencesController *ZTDocumentPrintController::printPrefsController()
{
    if (!m_printPrefs)
        m_printPrefs = new ZTPrintPreferencesController(this);
    return m_printPrefs;
}

ZTDuplicatePrintPreferencesController *ZTDocumentPrintController::duplicatePrintPrefsController()
{
    if (!m_duplicatePrefs)
        m_duplicatePrefs = new ZTDuplicatePrintPreferencesController(this);
    return m_duplicatePrefs;
}
