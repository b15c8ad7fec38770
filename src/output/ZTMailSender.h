#pragma once

#include "ZTDocumentPdfSource.h"
#include "ZTPDFExportController.h"

#include "platform/MailComposer.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class ZTDocument;

// A document with the path of its exported file.
struct ZTDocumentWithFilepath
{
    ZTDocument *document = nullptr;
    QString filepath;
};

// Mails documents to their purchasers: exports them unlabelled into the temporary folder,
// then opens one new message per purchaser with that purchaser's files attached.
class ZTMailSender : public ZTPDFExportingProtocol
{
public:
    static ZTMailSender &sharedMailSender();

    ZTMailSender();
    ~ZTMailSender() override;

    void sendDocumentsToPurchasers(const QList<ZTDocument *> &documents);

    // What renders the files; the standard source unless set.
    void setPdfSource(ZTDocumentPdfSource source) { m_source = std::move(source); }
    // Makes the composer for each message (a fresh one per message); the platform's by default.
    void setComposerFactory(std::function<std::unique_ptr<MailComposer>()> factory);
    // The export's pace; tests shorten it.
    void setTickInterval(int ms) { m_tickInterval = ms; }
    MailComposer *mailService() const { return m_mailService.get(); }

    // One message per purchaser name (documents without one are left out), in the order the
    // names first appear; the documents keep their order inside a group.
    static QList<QList<ZTDocumentWithFilepath>> groupedByPurchaser(const QList<ZTDocument *> &documents,
                                                                   const QStringList &paths);
    static MailMessage messageForGroup(const QList<ZTDocumentWithFilepath> &group);
    // The customer record's address, else the purchaser's own, else none.
    static QString recipientForDocument(const ZTDocument *document);

    void PDFExportControllerDidFinishedExportingDocuments(ZTPDFExportController *controller,
                                                          const QList<ZTDocument *> &documents,
                                                          const QStringList &paths) override;
    void PDFExportControllerCancelledExportingDocuments(ZTPDFExportController *controller) override;

private:
    void renewMailService();
    void detach(ZTPDFExportController *controller);

    ZTDocumentPdfSource m_source;
    std::function<std::unique_ptr<MailComposer>()> m_composerFactory;
    std::unique_ptr<MailComposer> m_mailService;
    int m_tickInterval = 500;
};
