#pragma once

#include "Error.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// One calendar of the store: a folder directly under the root.
struct CalendarInfo
{
    QString identifier; // the folder's name; stable while the folder keeps its name
    QString title;      // the "displayname" file, else the folder's name
    QString color;      // the "color" file ("#RRGGBB" or "#RRGGBBAA"), empty without one
    QString path;       // the folder
    bool allowsContentModifications = false; // events can be written and removed there
};

// One event. An all-day event covers the local days from start to end, both included; a timed
// one runs from start to end.
struct CalendarEvent
{
    QString identifier; // empty until saved; saving gives a new one
    QString calendarIdentifier;
    QString title;
    QDateTime start;
    QDateTime end;
    bool allDay = true;
    QString notes;
    QString url; // empty: no link
};

// Local calendars kept as iCalendar files in vdir layout, so that khal, vdirsyncer and CalDAV
// sync tools see the same events: every folder under the root is a calendar holding
// "displayname", "color" and one ".ics" file per event.
//
// Every operation works on the files as they are now; nothing is cached, so the store may be
// used from any thread. Event files are replaced atomically. A file that is not iCalendar is
// skipped with a log line; the other events and calendars keep working.
class CalendarStore
{
public:
    enum class AuthorizationStatus { Authorized, Denied };

    explicit CalendarStore(QString rootPath);

    QString rootPath() const { return m_root; }

    // Access is granted when the root can be read and written, or, while it does not exist yet,
    // when it can be created (it is made only with the first calendar).
    AuthorizationStatus authorizationStatus() const;
    // Checks access on a thread of the pool and answers there.
    using AccessCompletion = std::function<void(bool granted, const Error &error)>;
    void requestAccess(AccessCompletion completion) const;

    // Every calendar, by title; none while the root does not exist.
    QList<CalendarInfo> calendars() const;
    // The calendars whose events can be changed.
    QList<CalendarInfo> writableCalendars() const;
    std::optional<CalendarInfo> calendarWithIdentifier(const QString &identifier) const;
    // A new calendar (and the root, when missing). The folder is named after the title; a title
    // already used as a folder name gets a number.
    std::optional<CalendarInfo> createCalendar(const QString &title, const QString &color, Error &error);

    // The events of one calendar, by start and title.
    QList<CalendarEvent> events(const QString &calendarIdentifier) const;
    std::optional<CalendarEvent> eventWithIdentifier(const QString &identifier) const;
    // Writes the event into its calendar; an event without an identifier gets a new one, which
    // is set in `event`. An event saved into another calendar leaves the one it was in.
    bool saveEvent(CalendarEvent &event, Error &error);
    // Removes the event; one that does not exist is an error.
    bool removeEvent(const QString &identifier, Error &error);

    // The event of iCalendar text, or nothing when the text holds no event.
    static std::optional<CalendarEvent> parseEvent(const QByteArray &text);
    static QByteArray serializeEvent(const CalendarEvent &event);

private:
    struct Located
    {
        CalendarEvent event;
        QString filePath;
    };
    std::optional<Located> locate(const QString &identifier) const;
    QList<Located> readCalendar(const CalendarInfo &calendar) const;
    CalendarInfo infoForFolder(const QString &folderPath) const;

    QString m_root;
};
