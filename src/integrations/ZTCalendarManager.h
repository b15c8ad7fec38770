#pragma once

#include "platform/CalendarStore.h"
#include "platform/Error.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class SettingsStore;
class ZTDocument;
class ZTPurchaser;

// Due dates of issued documents as all-day events in the calendar the user chose, taken away
// again when a document is paid or deleted.
//
// Threads: the calendar store answers an access request on a thread of its own. The callers'
// flows (the *CalendarEvent* operations below) hand that answer back to the manager's thread,
// the main thread, before any document is read or written; the event operations themselves
// run on the thread that calls them and must be called on the main thread too.
class ZTCalendarManager : public QObject
{
    Q_OBJECT

public:
    static const QString kCalendarKey;      // "ZTCalendarStoreTitle": the chosen calendar's identifier
    static const QString kStoreRootKey;     // "ZTCalendarStoreRoot": the folder of the calendars
    static const QString kDefaultRootName;  // "Tolvana Calendars", inside the user's data folder

    ZTCalendarManager(SettingsStore &settings, std::unique_ptr<CalendarStore> store, QObject *parent = nullptr);
    ~ZTCalendarManager() override;

    // The one for the program, made on first use over the standard settings.
    static ZTCalendarManager &sharedCalendarManager();
    // The setting ZTCalendarStoreRoot when it is not empty, else $XDG_DATA_HOME/Tolvana Calendars.
    static QString calendarStoreRoot(const SettingsStore &settings);

    CalendarStore &eventStore() const { return *m_store; }
    CalendarStore::AuthorizationStatus authStatus() const { return m_store->authorizationStatus(); }
    // The work runs when the store answers, on the store's thread.
    void requestAccessWithCompletion(CalendarStore::AccessCompletion work);

    // A calendar is chosen and the kind's setting is on.
    bool createEventsForRegularDocuments() const;
    bool createEventsForProformaDocuments() const;
    bool createEventsForAdvanceDocuments() const;
    bool createEventsforBills() const;
    bool createEventsForMarginDocuments() const;
    bool createEventsForSimplifiedDocuments() const;

    // The settings of a kind that gets events; null for any other kind (corrective invoices).
    static QString eventsSettingKeyForDocumentKind(int kind);
    static QString labelPrefixKeyForDocumentKind(int kind);

    // The kind's test, then newEventWithDocument when it passes.
    void createEventWithDocument(ZTDocument *document);
    // A new event for the document in the chosen calendar, replacing the one it had. The
    // document's event identifier is set on success; a failed save is presented.
    void newEventWithDocument(ZTDocument *document, int kind);
    void removeEventWithDocument(ZTDocument *document);
    // Removes the event when it exists (a missing one is skipped); a failure is presented.
    void deleteEventWithUid(const QString &uid);

    // The calendars whose events can be changed.
    QList<CalendarInfo> availableCalendars() const;
    std::optional<CalendarInfo> calendarWithIdentifier(const QString &identifier) const;
    // The kind's title prefix setting; null for other kinds.
    QString eventTitleWithDocumentKind(int kind) const;
    // "Dokument wystawiony dla: <name>", and the e-mail address on a second line when there is one.
    static QString eventNotesWithPurchaser(const ZTPurchaser *purchaser);

    // ---- the callers' flows
    // Asks for access; when granted, runs the work on this manager's thread, unless the owner
    // has gone by then (it holds what the work touches: the documents' context).
    void whenAccessGranted(QObject *owner, std::function<void()> work);
    // A document has been issued and saved: its event is made anew.
    void updateCalendarEventForIssuedDocument(QObject *owner, ZTDocument *document);
    // Documents have been marked paid (events removed) or unpaid (events made).
    void updateCalendarEventsForDocuments(QObject *owner, const QList<ZTDocument *> &documents, bool markedAsPaid);
    // Documents are about to be deleted: their events are removed.
    void removeCalendarEventsForDocuments(QObject *owner, const QList<ZTDocument *> &documents);

    // Access requests asked through whenAccessGranted whose answer has not been handled yet.
    int pendingAccessRequests() const { return m_pending; }
    // Runs the event loop until every pending answer has been handled; false on time-out. For a
    // process that must not end before its calendar work is done (the CLI).
    bool waitForAccessAnswers(int timeoutMs = 30000);

    // Shows calendar errors to the user; by default the application controller's presenter,
    // else the log.
    using ErrorPresenter = std::function<void(const Error &error)>;
    void setErrorPresenter(ErrorPresenter presenter);

signals:
    void accessAnswered();

private:
    bool createEventsForKind(int kind) const;
    void presentError(const Error &error) const;

    SettingsStore &m_settings;
    std::unique_ptr<CalendarStore> m_store;
    ErrorPresenter m_presenter;
    int m_pending = 0;
};
