#pragma once

#include "ZTDocumentPdfSource.h"

#include "platform/PdfPages.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ZTDocument;
class ZTDuplicatePrintPreferencesController;
class ZTPrintPreferencesController;

// Previews and prints documents as stacks of originals, copies, settlement sheets and dated
// duplicates, and writes a document's PDF to a file for export. The windows and dialogues are
// the views' business: this controller says what to show (previewReady) and what to print
// (printContentReady), and views report back when a dialogue ends.
//
// Rendering never runs inside the closing of a dialogue or a menu action: such work is queued
// for the next turn of the main loop (avoidFooterQuirkBySchedulingAndPerformingBlockOnMainLoop).
class ZTDocumentPrintController : public QObject
{
    Q_OBJECT
public:
    // Printed versions; the export also takes 4, an original followed by a copy.
    static constexpr int kVersionPlain = 0;
    static constexpr int kVersionCopy = 1;
    static constexpr int kVersionOriginal = 2;
    static constexpr int kVersionDuplicate = 3;
    static constexpr int kVersionOriginalAndCopy = 4;
    static constexpr double kPreviewZoom = 1.3;

    explicit ZTDocumentPrintController(ZTDocumentPdfSource source = ZTDocumentPdfSource::standard(),
                                       QObject *parent = nullptr);
    ~ZTDocumentPrintController() override;

    QList<ZTDocument *> documents() const { return m_documents; }

    // ---- preview
    void previewDocument(ZTDocument *document) { previewDocuments({document}); }
    // Scheduled; previewReady follows with the joined PDF and the window title.
    void previewDocuments(const QList<ZTDocument *> &documents);
    // Each document's original, and a margin invoice's settlement sheet whatever the accessory says.
    PdfDocument previewContent(const QList<ZTDocument *> &documents);
    static QString previewTitle(const QList<ZTDocument *> &documents);

    // ---- originals and copies
    // Keeps the documents and prepares the accessory; the view then opens the dialogue.
    void printDocuments(const QList<ZTDocument *> &documents);
    // Dialogue completion: on confirmation (return code 1) the content is assembled with the
    // accessory's choices and handed to printContentReady.
    void printPanelDidEnd(int returnCode);
    PdfDocument assemblePrintContent(unsigned originalsCount, unsigned copiesCount, bool withSettlements);

    // ---- duplicates
    void printDuplicatesOfDocuments(const QList<ZTDocument *> &documents);
    void duplicatePrintPanelDidEnd(int returnCode);
    PdfDocument assemblePrintContentForDuplicate(const QDateTime &date, unsigned count = 1);

    // ---- files
    // Writes the document's PDF at the path (or, when overwriting is not allowed and the path
    // is taken, at the first free base-n name), as deferred work. Returns the path written to.
    QString printDocumentToFile(ZTDocument *document, const QString &path, int version, bool includeSettlements,
                                bool overwriteExisting = true);
    // The same, at once; false when the file could not be written.
    bool writeDocument(ZTDocument *document, const QString &path, int version, bool includeSettlements);
    // The PDF of one version, with the settlement sheet after it when asked for and the document
    // is a margin invoice; version 4 is an original followed by a copy.
    PdfDocument contentForDocument(ZTDocument *document, int version, bool includeSettlements);

    QByteArray PDFDataWithDocument(ZTDocument *document);
    QByteArray PDFDataWithSettlements(ZTDocument *marginInvoice);
    static bool containsMarginInvoice(const QList<ZTDocument *> &documents);

    // ---- accessories, made on first use and kept with their values
    ZTPrintPreferencesController *printPrefsController();
    ZTDuplicatePrintPreferencesController *duplicatePrintPrefsController();

    // Runs the work on the next turn of the main loop.
    void avoidFooterQuirkBySchedulingAndPerformingBlockOnMainLoop(std::function<void()> work);

signals:
    void previewReady(const QByteArray &pdf, const QString &title);
    void printContentReady(const QByteArray &pdf);
    void documentWritten(const QString &path, bool ok);

private:
    void appendOriginalsAndCopies(PdfDocument &stack, ZTDocument *document, unsigned originals, unsigned copies,
                                  bool withSettlements);

    ZTDocumentPdfSource m_source;
    QList<ZTDocument *> m_documents;
    ZTPrintPreferencesController *m_printPrefs = nullptr;
    ZTDuplicatePrintPreferencesController *m_duplicatePrefs = nullptr;
};
