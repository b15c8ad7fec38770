#include "ZTCalendarManager.h"

#include "ZTURLHandler.h"

#include "app/ZTAppController.h"
#include "model/ZTDocument.h"
#include "model/ZTPurchaser.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

const QString ZTCalendarManager::kCalendarKey = QStringLiteral("ZTCalendarStoreTitle");
const QString ZTCalendarManager::kStoreRootKey = QStringLiteral("ZTCalendarStoreRoot");
const QString ZTCalendarManager::kDefaultRootName = QStringLiteral("Tolvana Calendars");

namespace {

struct KindKeys
{
    int kind;
    const char16_t *events;
};

// The kinds that get events and their settings; the prefix key adds "LabelPrefix".
constexpr KindKeys kKindKeys[] = {
    {ZTDocument::kKindInvoice, u"ZTCalendarEventsForRegularVatDocuments"},
    {ZTDocument::kKindProForma, u"ZTCalendarEventsForProformaDocuments"},
    {ZTDocument::kKindAdvanceInvoice, u"ZTCalendarEventsForAdvanceDocuments"},
    {ZTDocument::kKindBill, u"ZTCalendarEventsForBills"},
    {ZTDocument::kKindMarginInvoice, u"ZTCalendarEventsForMarginDocuments"},
    {ZTDocument::kKindSimplifiedInvoice, u"ZTCalendarEventsForSimplifiedDocuments"},
};

} // namespace

ZTCalendarManager::ZTCalendarManager(SettingsStore &settings, std::unique_ptr<CalendarStore> store, QObject *parent)
    : QObject(parent), m_settings(settings), m_store(std::move(store))
{
}

ZTCalendarManager::~ZTCalendarManager() = default;

ZTCalendarManager &ZTCalendarManager::sharedCalendarManager()
{
    static ZTCalendarManager *shared = [] {
        SettingsStore &settings = SettingsStore::standard();
        // Lives as long as the application object, whose thread is the main thread.
        return new ZTCalendarManager(settings, std::make_unique<CalendarStore>(calendarStoreRoot(settings)),
                                     QCoreApplication::instance());
    }();
    return *shared;
}

QString ZTCalendarManager::calendarStoreRoot(const SettingsStore &settings)
{
    const QString configured = settings.stringValue(kStoreRootKey);
    if (!configured.trimmed().isEmpty())
        return configured;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(kDefaultRootName);
}

void ZTCalendarManager::requestAccessWithCompletion(CalendarStore::AccessCompletion work)
{
    m_store->requestAccess(std::move(work));
}

QString ZTCalendarManager::eventsSettingKeyForDocumentKind(int kind)
{
    for (const KindKeys &keys : kKindKeys) {
        if (keys.kind == kind)
            return QString::fromUtf16(keys.events);
    }
    return {};
}

QString ZTCalendarManager::labelPrefixKeyForDocumentKind(int kind)
{
    const QString events = eventsSettingKeyForDocumentKind(kind);
    return events.isNull() ? QString() : events + QStringLiteral("LabelPrefix");
}

bool ZTCalendarManager::createEventsForKind(int kind) const
{
    return m_settings.contains(kCalendarKey) && m_settings.boolValue(eventsSettingKeyForDocumentKind(kind));
}

bool ZTCalendarManager::createEventsForRegularDocuments() const
{
    return createEventsForKind(ZTDocument::kKindInvoice);
}

bool ZTCalendarManager::createEventsForProformaDocuments() const
{
    return createEventsForKind(ZTDocument::kKindProForma);
}

bool ZTCalendarManager::createEventsForAdvanceDocuments() const
{
    return createEventsForKind(ZTDocument::kKindAdvanceInvoice);
}

bool ZTCalendarManager::createEventsforBills() const
{
    return createEventsForKind(ZTDocument::kKindBill);
}

bool ZTCalendarManager::createEventsForMarginDocuments() const
{
    return createEventsForKind(ZTDocument::kKindMarginInvoice);
}

bool ZTCalendarManager::createEventsForSimplifiedDocuments() const
{
    return createEventsForKind(ZTDocument::kKindSimplifiedInvoice);
}

void ZTCalendarManager::createEventWithDocument(ZTDocument *document)
{
    if (!document)
        return;
    const int kind = document->documentKind().value_or(0);
    bool wanted = false;
    switch (kind) {
    case ZTDocument::kKindInvoice:
        wanted = createEventsForRegularDocuments();
        break;
    case ZTDocument::kKindProForma:
        wanted = createEventsForProformaDocuments();
        break;
    case ZTDocument::kKindBill:
        wanted = createEventsforBills();
        break;
    case ZTDocument::kKindAdvanceInvoice:
        wanted = createEventsForAdvanceDocuments();
        break;
    case ZTDocument::kKindMarginInvoice:
        wanted = createEventsForMarginDocuments();
        break;
    case ZTDocument::kKindSimplifiedInvoice:
        wanted = createEventsForSimplifiedDocuments();
        break;
    default:
        ZTLOG(QStringLiteral("can't create event for unknown document type"));
        return;
    }
    if (wanted)
        newEventWithDocument(document, kind);
}

void ZTCalendarManager::newEventWithDocument(ZTDocument *document, int kind)
{
    const QString calendarID = m_settings.stringValue(kCalendarKey);
    if (!document || calendarID.isEmpty() || !calendarWithIdentifier(calendarID))
        return;
    const QString prefix = eventTitleWithDocumentKind(kind);
    if (!document->documentDueCalendarEventUid().isEmpty())
        deleteEventWithUid(document->documentDueCalendarEventUid());

    const QString number = document->documentID();
    CalendarEvent event;
    event.calendarIdentifier = calendarID;
    event.title = QStringLiteral("%1 %2").arg(prefix, number); // a missing prefix reads as ""
    event.start = document->dueDate();
    event.end = document->dueDate();
    event.allDay = true;
    event.notes = eventNotesWithPurchaser(document->purchaser());
    event.url = ZTURLHandler::documentLink(number);

    Error error;
    if (m_store->saveEvent(event, error))
        document->setDocumentDueCalendarEventUid(event.identifier);
    else
        presentError(error);
}

void ZTCalendarManager::removeEventWithDocument(ZTDocument *document)
{
    if (document && !document->documentDueCalendarEventUid().isEmpty())
        deleteEventWithUid(document->documentDueCalendarEventUid());
}

void ZTCalendarManager::deleteEventWithUid(const QString &uid)
{
    if (uid.isEmpty() || !m_store->eventWithIdentifier(uid))
        return;
    Error error;
    if (!m_store->removeEvent(uid, error))
        presentError(error);
}

QList<CalendarInfo> ZTCalendarManager::availableCalendars() const
{
    return m_store->writableCalendars();
}

std::optional<CalendarInfo> ZTCalendarManager::calendarWithIdentifier(const QString &identifier) const
{
    return m_store->calendarWithIdentifier(identifier);
}

QString ZTCalendarManager::eventTitleWithDocumentKind(int kind) const
{
    const QString key = labelPrefixKeyForDocumentKind(kind);
    return key.isNull() ? QString() : m_settings.stringValue(key);
}

QString ZTCalendarManager::eventNotesWithPurchaser(const ZTPurchaser *purchaser)
{
    const QString name = purchaser ? purchaser->name() : QString();
    const QString notes = QStringLiteral("Dokument wystawiony dla: %1").arg(name);
    const QString email = purchaser ? purchaser->email() : QString();
    return email.isEmpty() ? notes : QStringLiteral("%1\n%2").arg(notes, email);
}

void ZTCalendarManager::whenAccessGranted(QObject *owner, std::function<void()> work)
{
    ++m_pending;
    QPointer<ZTCalendarManager> self(this);
    QPointer<QObject> guard(owner);
    m_store->requestAccess([self, guard, work = std::move(work)](bool granted, const Error &) {
        // On the store's thread: only hand the answer over. The application object lives on the
        // main thread and outlives every manager, so the call is always delivered there.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, guard, work, granted] {
                if (!self)
                    return;
                --self->m_pending;
                // Without access nothing happens and nothing is shown.
                if (granted && guard)
                    work();
                emit self->accessAnswered();
            },
            Qt::QueuedConnection);
    });
}

void ZTCalendarManager::updateCalendarEventForIssuedDocument(QObject *owner, ZTDocument *document)
{
    whenAccessGranted(owner, [this, document] {
        removeEventWithDocument(document);
        createEventWithDocument(document);
    });
}

void ZTCalendarManager::updateCalendarEventsForDocuments(QObject *owner, const QList<ZTDocument *> &documents,
                                                         bool markedAsPaid)
{
    whenAccessGranted(owner, [this, documents, markedAsPaid] {
        for (ZTDocument *document : documents) {
            if (markedAsPaid)
                removeEventWithDocument(document);
            else
                createEventWithDocument(document);
        }
    });
}

void ZTCalendarManager::removeCalendarEventsForDocuments(QObject *owner, const QList<ZTDocument *> &documents)
{
    // The documents are deleted before the answer comes, so their identifiers are read now.
    QStringList uids;
    for (const ZTDocument *document : documents) {
        if (document && !document->documentDueCalendarEventUid().isEmpty())
            uids.append(document->documentDueCalendarEventUid());
    }
    whenAccessGranted(owner, [this, uids] {
        for (const QString &uid : uids)
            deleteEventWithUid(uid);
    });
}

bool ZTCalendarManager::waitForAccessAnswers(int timeoutMs)
{
    if (m_pending == 0)
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &ZTCalendarManager::accessAnswered, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    while (m_pending > 0 && timer.isActive())
        loop.exec();
    if (m_pending > 0)
        ZTLOG(QStringLiteral("the calendar store did not answer %1 access request(s) in time").arg(m_pending));
    return m_pending == 0;
}

void ZTCalendarManager::setErrorPresenter(ErrorPresenter presenter)
{
    m_presenter = std::move(presenter);
}

void ZTCalendarManager::presentError(const Error &error) const
{
    if (m_presenter) {
        m_presenter(error);
        return;
    }
    ZTLOG(QStringLiteral("calendar: %1").arg(error.localizedDescription()));
    if (ZTAppController *controller = ZTAppController::instance())
        controller->presentError(error);
}
