#include "ZTMailSender.h"

#include "model/ZTDocument.h"
#include "model/ZTPurchaser.h"
#include "platform/ZTLog.h"

ZTMailSender &ZTMailSender::sharedMailSender()
{
    static ZTMailSender sender;
    return sender;
}

ZTMailSender::ZTMailSender()
    : m_source(ZTDocumentPdfSource::standard())
    , m_composerFactory([] { return std::make_unique<MailComposer>(); })
{
    renewMailService();
}

ZTMailSender::~ZTMailSender() = default;

void ZTMailSender::setComposerFactory(std::function<std::unique_ptr<MailComposer>()> factory)
{
    m_composerFactory = std::move(factory);
    renewMailService();
}

void ZTMailSender::renewMailService()
{
    m_mailService = m_composerFactory();
}

void ZTMailSender::sendDocumentsToPurchasers(const QList<ZTDocument *> &documents)
{
    if (documents.isEmpty())
        return;
    // Lives until its export has ended (detach).
    auto *controller = new ZTPDFExportController(documents, true, m_source.isValid() ? m_source
                                                                                        : ZTDocumentPdfSource::standard());
    controller->setTickInterval(m_tickInterval);
    controller->setCloseDelay(0);
    controller->setDelegate(this);
    controller->savePDFsSilently();
}

QList<QList<ZTDocumentWithFilepath>> ZTMailSender::groupedByPurchaser(const QList<ZTDocument *> &documents,
                                                                      const QStringList &paths)
{
    QList<QList<ZTDocumentWithFilepath>> groups;
    QStringList names;
    for (qsizetype i = 0; i < documents.size(); ++i) {
        ZTDocument *document = documents.at(i);
        const QString name = document->purchaser() ? document->purchaser()->name() : QString();
        if (name.isEmpty())
            continue;
        qsizetype group = names.indexOf(name);
        if (group < 0) {
            names << name;
            groups.append(QList<ZTDocumentWithFilepath>());
            group = groups.size() - 1;
        }
        groups[group].append(ZTDocumentWithFilepath{document, paths.value(i)});
    }
    return groups;
}

QString ZTMailSender::recipientForDocument(const ZTDocument *document)
{
    const ZTPurchaser *purchaser = document->purchaser();
    if (!purchaser)
        return {};
    if (const ZTCustomer *customer = purchaser->baseCustomer(); customer && !customer->email().isEmpty())
        return customer->email();
    return purchaser->email();
}

MailMessage ZTMailSender::messageForGroup(const QList<ZTDocumentWithFilepath> &group)
{
    MailMessage message;
    QStringList subjects;
    for (const ZTDocumentWithFilepath &entry : group) {
        subjects << QStringLiteral("%1 nr %2").arg(entry.document->documentKindName(), entry.document->documentID());
        message.attachments << entry.filepath;
    }
    message.subject = subjects.join(QStringLiteral(", "));
    if (!group.isEmpty())
        message.recipient = recipientForDocument(group.last().document);
    return message;
}

void ZTMailSender::PDFExportControllerDidFinishedExportingDocuments(ZTPDFExportController *controller,
                                                                    const QList<ZTDocument *> &documents,
                                                                    const QStringList &paths)
{
    for (const QList<ZTDocumentWithFilepath> &group : groupedByPurchaser(documents, paths)) {
        Error error;
        if (m_mailService->compose(messageForGroup(group), error) == MailComposer::Outcome::Failed)
            ZTLOG(QStringLiteral("message not opened: %1").arg(error.message()));
        renewMailService();
    }
    detach(controller);
}

void ZTMailSender::PDFExportControllerCancelledExportingDocuments(ZTPDFExportController *controller)
{
    renewMailService();
    detach(controller);
}

void ZTMailSender::detach(ZTPDFExportController *controller)
{
    controller->setDelegate(nullptr);
    controller->deleteLater();
}
