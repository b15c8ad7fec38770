#include "ZTPDFExportController.h"

#include "ZTDocumentPrintController.h"

#include "model/ZTDocument.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

const QString ZTPDFExportController::kLastPDFExportDirectoryKey = QStringLiteral("ZTLastPDFExportDirectory");

namespace {

const QString kCopySuffix = QStringLiteral(" kopia");

QString withPdfExtension(const QString &name)
{
    // A name typed with its extension keeps just the one.
    if (name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return name;
    return name + QStringLiteral(".pdf");
}

} // namespace

ZTPDFExportController::ZTPDFExportController(const QList<ZTDocument *> &documents, bool shouldOverwriteExisting,
                                             ZTDocumentPdfSource source, QObject *parent)
    : QObject(parent)
    , m_documents(documents)
    , m_printController(new ZTDocumentPrintController(std::move(source), this))
    , m_shouldOverwrite(shouldOverwriteExisting)
{
    connect(m_printController, &ZTDocumentPrintController::documentWritten, this, [this] { --m_pendingWrites; });
}

ZTPDFExportController::~ZTPDFExportController() = default;

// ---- the file dialogue

bool ZTPDFExportController::usesFolderPanel() const
{
    if (m_documents.isEmpty())
        ztConsistencyFailure("PRECONDITION", "[self.documents count] > 0", __FILE__,
                             static_cast<const char *>(__func__), __LINE__);
    return m_documents.size() > 1;
}

QString ZTPDFExportController::panelMessage() const
{
    return usesFolderPanel()
        ? QStringLiteral("Wybierz katalog, w którym zaznaczone dokumenty zostaną zapisane jako pliki PDF")
        : QStringLiteral("Wprowadź nazwę pliku PDF, który powstanie z wybranego dokumentu");
}

QString ZTPDFExportController::panelPrompt() const
{
    return usesFolderPanel() ? QStringLiteral("Zachowaj") : QString();
}

QString ZTPDFExportController::proposedFileName() const
{
    return usesFolderPanel() ? QString() : m_documents.first()->filename();
}

QString ZTPDFExportController::panelDirectory() const
{
    return lastPDFExportDirectory();
}

QStringList ZTPDFExportController::versionOptionTitles() const
{
    if (usesFolderPanel())
        return {QStringLiteral("Oryginały"), QStringLiteral("Kopie"), QStringLiteral("Oryginały i kopie")};
    return {QStringLiteral("Oryginał"), QStringLiteral("Kopia"), QStringLiteral("Oryginał i kopia")};
}

bool ZTPDFExportController::containsMarginInvoice() const
{
    return ZTDocumentPrintController::containsMarginInvoice(m_documents);
}

QString ZTPDFExportController::selectedButton(int tag, const QString &nameFieldText)
{
    m_selectedTag = static_cast<unsigned>(qBound(0, tag, 2));
    if (usesFolderPanel())
        return nameFieldText;
    return nameForVersionTag(nameFieldText, tag);
}

QString ZTPDFExportController::nameForVersionTag(const QString &name, int tag)
{
    QString result = name;
    result.remove(kCopySuffix);
    if (tag == 1)
        result += kCopySuffix;
    return result;
}

int ZTPDFExportController::versionForTag(unsigned tag)
{
    switch (tag) {
    case 1:
        return ZTDocumentPrintController::kVersionCopy;
    case 2:
        return ZTDocumentPrintController::kVersionOriginalAndCopy;
    default:
        return ZTDocumentPrintController::kVersionOriginal;
    }
}

QString ZTPDFExportController::sanitizedFileName(const QString &name)
{
    static const QRegularExpression unfit(QStringLiteral("[/\\\\?<>:*|\"]"));
    QString result = name;
    return result.replace(unfit, QStringLiteral("-"));
}

QString ZTPDFExportController::lastPDFExportDirectory()
{
    const QString stored = SettingsStore::standard().stringValue(kLastPDFExportDirectoryKey);
    if (!stored.isEmpty())
        return stored;
    return QDir::home().filePath(QStringLiteral("Documents"));
}

void ZTPDFExportController::panelDidEnd(bool confirmed, const QString &chosenPath, bool settlementsChecked)
{
    if (!confirmed || chosenPath.isEmpty())
        return;
    m_whichVersions = versionForTag(m_selectedTag);
    m_includeSettlements = containsMarginInvoice() && settlementsChecked;
    m_whichFilenames.clear();
    if (usesFolderPanel()) {
        const QDir folder(chosenPath);
        SettingsStore::standard().setValue(kLastPDFExportDirectoryKey, folder.absolutePath());
        for (ZTDocument *document : std::as_const(m_documents))
            m_whichFilenames << folder.filePath(withPdfExtension(document->filename()));
    } else {
        // The name was typed by the user: only the file name part is cleaned.
        const QFileInfo chosen(chosenPath);
        const QDir folder = chosen.absoluteDir();
        SettingsStore::standard().setValue(kLastPDFExportDirectoryKey, folder.absolutePath());
        m_whichFilenames << folder.filePath(withPdfExtension(sanitizedFileName(chosen.fileName())));
    }
    startDocumentExport();
}

// ---- writing

void ZTPDFExportController::savePDFsSilently()
{
    m_whichVersions = ZTDocumentPrintController::kVersionPlain;
    m_includeSettlements = false;
    m_whichFilenames.clear();
    const QDir folder(QDir::tempPath());
    for (ZTDocument *document : std::as_const(m_documents))
        m_whichFilenames << folder.filePath(withPdfExtension(document->filename()));
    startDocumentExport();
}

void ZTPDFExportController::startDocumentExport()
{
    m_cancelled = false;
    m_docExportIndex = 1;
    m_pendingWrites = 0;
    emit progressShown();
    emit progressChanged(QStringLiteral("%1 z %2").arg(0).arg(m_documents.size()), 0);
    if (!m_timer) {
        m_timer = new QTimer(this);
        connect(m_timer, &QTimer::timeout, this, &ZTPDFExportController::exportDocument);
    }
    m_timer->start(m_tickInterval);
}

void ZTPDFExportController::exportDocument()
{
    if (m_cancelled)
        return;
    const int count = static_cast<int>(m_documents.size());
    if (m_docExportIndex > count) {
        // The last file is written by deferred work; report only once it is done.
        if (m_pendingWrites <= 0)
            finishExport();
        return;
    }
    emit progressChanged(QStringLiteral("%1 z %2").arg(m_docExportIndex).arg(count), m_docExportIndex * 100 / count);
    const int index = m_docExportIndex - 1;
    ++m_pendingWrites;
    m_printController->printDocumentToFile(m_documents.at(index), m_whichFilenames.value(index), m_whichVersions,
                                           m_includeSettlements, m_shouldOverwrite);
    ++m_docExportIndex;
}

void ZTPDFExportController::finishExport()
{
    m_timer->stop();
    const int count = static_cast<int>(m_documents.size());
    emit progressChanged(QStringLiteral("%1 z %2").arg(count).arg(count), 100);
    emit progressFinished();
    QTimer::singleShot(m_closeDelay, this, &ZTPDFExportController::hideExportProgress);
    if (m_delegate)
        m_delegate->PDFExportControllerDidFinishedExportingDocuments(this, m_documents, m_whichFilenames);
}

void ZTPDFExportController::cancelPDFExport()
{
    m_cancelled = true;
    if (m_timer)
        m_timer->stop();
    if (m_delegate)
        m_delegate->PDFExportControllerCancelledExportingDocuments(this);
    hideExportProgress();
}

void ZTPDFExportController::hideExportProgress()
{
    emit progressHidden();
}
