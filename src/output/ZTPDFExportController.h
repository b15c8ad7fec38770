#pragma once

#include "ZTDocumentPdfSource.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QTimer;
class ZTDocument;
class ZTDocumentPrintController;
class ZTPDFExportController;

// Told of the result of an export.
class ZTPDFExportingProtocol
{
public:
    virtual ~ZTPDFExportingProtocol() = default;
    // The documents and their planned paths, in the same order (a file that could not be
    // written is simply missing).
    virtual void PDFExportControllerDidFinishedExportingDocuments(ZTPDFExportController *controller,
                                                                  const QList<ZTDocument *> &documents,
                                                                  const QStringList &paths) = 0;
    virtual void PDFExportControllerCancelledExportingDocuments(ZTPDFExportController *controller) = 0;
};

// Saves documents as PDF files, one per document: where the user chose (savePDFs, through the
// file dialogue that a view opens and reports back with panelDidEnd) or into the temporary
// folder for mail (savePDFsSilently). Files are written one per timer tick so that the
// progress sheet stays responsive while each document is laid out; the sheet can cancel.
//
// The view binds to the signals: the progress sheet shows while progressShown..progressHidden,
// with progressChanged giving its text and bar.
class ZTPDFExportController : public QObject
{
    Q_OBJECT
public:
    static const QString kLastPDFExportDirectoryKey; // "ZTLastPDFExportDirectory"

    ZTPDFExportController(const QList<ZTDocument *> &documents, bool shouldOverwriteExisting,
                          ZTDocumentPdfSource source = ZTDocumentPdfSource::standard(), QObject *parent = nullptr);
    ~ZTPDFExportController() override;

    QList<ZTDocument *> documents() const { return m_documents; }
    void setDelegate(ZTPDFExportingProtocol *delegate) { m_delegate = delegate; }
    ZTPDFExportingProtocol *delegate() const { return m_delegate; }
    ZTDocumentPrintController *printController() const { return m_printController; }

    // ---- the file dialogue (savePDFs); an empty document list is a consistency failure
    bool usesFolderPanel() const;   // several documents: choose a folder
    QString panelMessage() const;
    QString panelPrompt() const;     // the confirm button's title; empty: the dialogue's own
    QString proposedFileName() const; // one document: its file name
    QString panelDirectory() const;  // where the dialogue opens
    QStringList versionOptionTitles() const;
    bool containsMarginInvoice() const;
    // A version option was chosen; with one document, returns the name field's new text.
    QString selectedButton(int tag, const QString &nameFieldText);
    unsigned selectedVersionTag() const { return m_selectedTag; }
    // The dialogue ended. chosenPath: the file (one document) or folder (several) chosen;
    // settlementsChecked: the checkbox's state. Nothing happens unless confirmed.
    void panelDidEnd(bool confirmed, const QString &chosenPath, bool settlementsChecked);

    // ---- writing
    void savePDFsSilently();
    void startDocumentExport();
    void cancelPDFExport();
    bool isCancelled() const { return m_cancelled; }

    int whichVersions() const { return m_whichVersions; }
    bool includeSettlements() const { return m_includeSettlements; }
    QStringList whichFilenames() const { return m_whichFilenames; }

    // 0.5 s between documents; tests may shorten it.
    void setTickInterval(int ms) { m_tickInterval = ms; }
    void setCloseDelay(int ms) { m_closeDelay = ms; }

    // The user's last folder, else "Documents" in the home folder.
    static QString lastPDFExportDirectory();
    // The nine characters unfit for file names (/ \ ? < > : * | ") replaced by "-".
    static QString sanitizedFileName(const QString &name);
    // With " kopia" added for the copy option, and removed for the others.
    static QString nameForVersionTag(const QString &name, int tag);
    static int versionForTag(unsigned tag); // 0→2, 1→1, 2→4

signals:
    void progressShown();
    void progressChanged(const QString &text, int percent);
    void progressFinished(); // the bar stops; the sheet closes shortly after
    void progressHidden();

private:
    void exportDocument();
    void finishExport();
    void hideExportProgress();

    QList<ZTDocument *> m_documents;
    ZTDocumentPrintController *m_printController;
    ZTPDFExportingProtocol *m_delegate = nullptr;
    QTimer *m_timer = nullptr;
    unsigned m_selectedTag = 0;
    bool m_cancelled = false;
    bool m_shouldOverwrite;
    bool m_includeSettlements = false;
    int m_whichVersions = 0;
    QStringList m_whichFilenames;
    int m_docExportIndex = 1;
    int m_pendingWrites = 0;
    int m_tickInterval = 500;
    int m_closeDelay = 700;
};
