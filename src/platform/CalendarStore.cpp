#include "CalendarStore.h"

#include "Clock.h"
#include "ZTLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThreadPool>
#include <QTimeZone>
#include <QUuid>

#include <libical/ical.h>

#include <algorithm>
#include <memory>

namespace {

const QString kDisplayNameFile = QStringLiteral("displayname");
const QString kColorFile = QStringLiteral("color");
const QString kEventSuffix = QStringLiteral(".ics");

Error storeError(const QString &description)
{
    return Error::withLocalizedDescription(Error::applicationDomain(), 0, description);
}

struct ComponentDeleter
{
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentDeleter>;

QString textOf(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

QString readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(4096)).trimmed();
}

bool writeFileAtomically(const QString &path, const QByteArray &data, Error &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        error = storeError(QStringLiteral("Nie można zapisać pliku %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

// A name that is one plain path component.
QString safeFileName(const QString &text)
{
    QString name = text;
    static const QRegularExpression unsafe(QStringLiteral("[/\\\\\\x00-\\x1f]"));
    name.replace(unsafe, QStringLiteral("_"));
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.trimmed();
}

bool canWriteDirectory(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isWritable() && info.isExecutable();
}

icaltimetype icalDate(const QDate &date)
{
    icaltimetype t = icaltime_null_date();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    return t;
}

icaltimetype icalInstant(const QDateTime &instant)
{
    return icaltime_from_timet_with_zone(static_cast<time_t>(instant.toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

// The moment of a DTSTART/DTEND value; a date is the start of that local day, a floating
// time is local time.
QDateTime qtTime(const icaltimetype &t)
{
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
        return {};
    if (t.is_date)
        return QDateTime(QDate(t.year, t.month, t.day), QTime(0, 0), Qt::LocalTime);
    const icaltimezone *zone = icaltime_get_timezone(t);
    if (!zone && !icaltime_is_utc(t))
        return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), Qt::LocalTime);
    return QDateTime::fromSecsSinceEpoch(
        static_cast<qint64>(icaltime_as_timet_with_zone(t, zone ? zone : icaltimezone_get_utc_timezone())));
}

} // namespace

CalendarStore::CalendarStore(QString rootPath) : m_root(QDir::cleanPath(std::move(rootPath))) {}

CalendarStore::AuthorizationStatus CalendarStore::authorizationStatus() const
{
    if (m_root.isEmpty())
        return AuthorizationStatus::Denied;
    QFileInfo info(m_root);
    if (info.exists())
        return canWriteDirectory(m_root) ? AuthorizationStatus::Authorized : AuthorizationStatus::Denied;
    // Not there yet: the nearest folder that exists must let us make it.
    QString parent = info.absolutePath();
    while (!QFileInfo::exists(parent) && parent != QDir::rootPath())
        parent = QFileInfo(parent).absolutePath();
    return canWriteDirectory(parent) ? AuthorizationStatus::Authorized : AuthorizationStatus::Denied;
}

void CalendarStore::requestAccess(AccessCompletion completion) const
{
    // A copy of the store travels with the work, so the answer never depends on this object.
    const CalendarStore store(m_root);
    QThreadPool::globalInstance()->start([store, completion = std::move(completion)] {
        const bool granted = store.authorizationStatus() == AuthorizationStatus::Authorized;
        const Error error = granted ? Error()
                                    : storeError(QStringLiteral("Brak dostępu do kalendarzy w folderze %1.")
                                                     .arg(store.rootPath()));
        completion(granted, error);
    });
}

CalendarInfo CalendarStore::infoForFolder(const QString &folderPath) const
{
    CalendarInfo info;
    info.path = folderPath;
    info.identifier = QFileInfo(folderPath).fileName();
    info.title = readSmallFile(QDir(folderPath).filePath(kDisplayNameFile));
    if (info.title.isEmpty())
        info.title = info.identifier;
    info.color = readSmallFile(QDir(folderPath).filePath(kColorFile));
    info.allowsContentModifications = canWriteDirectory(folderPath);
    return info;
}

QList<CalendarInfo> CalendarStore::calendars() const
{
    QList<CalendarInfo> found;
    const QDir root(m_root);
    if (m_root.isEmpty() || !root.exists())
        return found;
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        found.append(infoForFolder(root.filePath(name)));
    std::stable_sort(found.begin(), found.end(), [](const CalendarInfo &a, const CalendarInfo &b) {
        return QString::localeAwareCompare(a.title, b.title) < 0;
    });
    return found;
}

QList<CalendarInfo> CalendarStore::writableCalendars() const
{
    QList<CalendarInfo> found = calendars();
    found.removeIf([](const CalendarInfo &c) { return !c.allowsContentModifications; });
    return found;
}

std::optional<CalendarInfo> CalendarStore::calendarWithIdentifier(const QString &identifier) const
{
    if (m_root.isEmpty() || identifier.isEmpty() || safeFileName(identifier) != identifier)
        return std::nullopt;
    const QString path = QDir(m_root).filePath(identifier);
    if (!QFileInfo(path).isDir())
        return std::nullopt;
    return infoForFolder(path);
}

std::optional<CalendarInfo> CalendarStore::createCalendar(const QString &title, const QString &color, Error &error)
{
    static const QRegularExpression colorPattern(QStringLiteral("^#[0-9A-Fa-f]{6}([0-9A-Fa-f]{2})?$"));
    if (title.trimmed().isEmpty()) {
        error = storeError(QStringLiteral("Kalendarz musi mieć nazwę."));
        return std::nullopt;
    }
    if (!color.isEmpty() && !colorPattern.match(color).hasMatch()) {
        error = storeError(QStringLiteral("Kolor kalendarza musi mieć postać #RRGGBB, a nie „%1”.").arg(color));
        return std::nullopt;
    }
    if (m_root.isEmpty() || !QDir().mkpath(m_root)) {
        error = storeError(QStringLiteral("Nie można utworzyć folderu kalendarzy %1.").arg(m_root));
        return std::nullopt;
    }
    QString base = safeFileName(title);
    if (base.isEmpty())
        base = QStringLiteral("kalendarz");
    const QDir root(m_root);
    QString name = base;
    for (int n = 2; root.exists(name); ++n)
        name = QStringLiteral("%1 %2").arg(base).arg(n);
    if (!root.mkdir(name)) {
        error = storeError(QStringLiteral("Nie można utworzyć folderu kalendarza %1.").arg(root.filePath(name)));
        return std::nullopt;
    }
    const QDir folder(root.filePath(name));
    if (!writeFileAtomically(folder.filePath(kDisplayNameFile), title.trimmed().toUtf8() + '\n', error))
        return std::nullopt;
    if (!color.isEmpty() && !writeFileAtomically(folder.filePath(kColorFile), color.toUtf8() + '\n', error))
        return std::nullopt;
    return infoForFolder(folder.path());
}

QList<CalendarStore::Located> CalendarStore::readCalendar(const CalendarInfo &calendar) const
{
    QList<Located> found;
    const QDir folder(calendar.path);
    for (const QString &name : folder.entryList({QStringLiteral("*") + kEventSuffix}, QDir::Files, QDir::Name)) {
        const QString path = folder.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ZTLOG(QStringLiteral("skipping unreadable event file %1: %2").arg(path, file.errorString()));
            continue;
        }
        std::optional<CalendarEvent> event = parseEvent(file.readAll());
        if (!event) {
            ZTLOG(QStringLiteral("skipping event file that is not iCalendar: %1").arg(path));
            continue;
        }
        event->calendarIdentifier = calendar.identifier;
        found.append({*event, path});
    }
    return found;
}

QList<CalendarEvent> CalendarStore::events(const QString &calendarIdentifier) const
{
    QList<CalendarEvent> list;
    const std::optional<CalendarInfo> calendar = calendarWithIdentifier(calendarIdentifier);
    if (!calendar)
        return list;
    for (const Located &located : readCalendar(*calendar))
        list.append(located.event);
    std::stable_sort(list.begin(), list.end(), [](const CalendarEvent &a, const CalendarEvent &b) {
        return a.start != b.start ? a.start < b.start : a.title < b.title;
    });
    return list;
}

std::optional<CalendarStore::Located> CalendarStore::locate(const QString &identifier) const
{
    if (identifier.isEmpty())
        return std::nullopt;
    const QList<CalendarInfo> all = calendars();
    // Our own files are named after the identifier; look there first and read everything only
    // for events written by other programs.
    const QString ownName = safeFileName(identifier) + kEventSuffix;
    for (const CalendarInfo &calendar : all) {
        const QString path = QDir(calendar.path).filePath(ownName);
        if (!QFileInfo::exists(path))
            continue;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            std::optional<CalendarEvent> event = parseEvent(file.readAll());
            if (event && event->identifier == identifier) {
                event->calendarIdentifier = calendar.identifier;
                return Located{*event, path};
            }
        }
    }
    for (const CalendarInfo &calendar : all) {
        for (const Located &located : readCalendar(calendar)) {
            if (located.event.identifier == identifier)
                return located;
        }
    }
    return std::nullopt;
}

std::optional<CalendarEvent> CalendarStore::eventWithIdentifier(const QString &identifier) const
{
    const std::optional<Located> located = locate(identifier);
    return located ? std::optional<CalendarEvent>(located->event) : std::nullopt;
}

bool CalendarStore::saveEvent(CalendarEvent &event, Error &error)
{
    const std::optional<CalendarInfo> calendar = calendarWithIdentifier(event.calendarIdentifier);
    if (!calendar) {
        error = storeError(QStringLiteral("Kalendarz %1 nie istnieje.").arg(event.calendarIdentifier));
        return false;
    }
    if (!calendar->allowsContentModifications) {
        error = storeError(QStringLiteral("Kalendarza %1 nie można zmieniać.").arg(calendar->title));
        return false;
    }
    if (!event.start.isValid()) {
        error = storeError(QStringLiteral("Wydarzenie nie ma daty początku."));
        return false;
    }
    if (event.end.isValid() && event.end < event.start) {
        error = storeError(QStringLiteral("Wydarzenie kończy się przed swoim początkiem."));
        return false;
    }

    std::optional<Located> previous;
    if (event.identifier.isEmpty())
        event.identifier = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    else
        previous = locate(event.identifier);

    const bool sameCalendar = previous && previous->event.calendarIdentifier == calendar->identifier;
    const QString path = sameCalendar ? previous->filePath
                                      : QDir(calendar->path).filePath(safeFileName(event.identifier) + kEventSuffix);
    if (!writeFileAtomically(path, serializeEvent(event), error))
        return false;
    if (previous && !sameCalendar && !QFile::remove(previous->filePath))
        ZTLOG(QStringLiteral("the moved event stays in its former calendar too: %1").arg(previous->filePath));
    return true;
}

bool CalendarStore::removeEvent(const QString &identifier, Error &error)
{
    const std::optional<Located> located = locate(identifier);
    if (!located) {
        error = storeError(QStringLiteral("Nie ma wydarzenia %1.").arg(identifier));
        return false;
    }
    QFile file(located->filePath);
    if (!file.remove()) {
        error = storeError(QStringLiteral("Nie można usunąć wydarzenia %1: %2").arg(located->filePath, file.errorString()));
        return false;
    }
    return true;
}

QByteArray CalendarStore::serializeEvent(const CalendarEvent &event)
{
    ComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Tolvana//Tolvana//PL"));

    icalcomponent *vevent = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(vevent, icalproperty_new_uid(event.identifier.toUtf8().constData()));
    icalcomponent_add_property(vevent, icalproperty_new_dtstamp(icalInstant(Clock::now())));
    const QDateTime end = event.end.isValid() ? event.end : event.start;
    if (event.allDay) {
        const QDate first = event.start.toLocalTime().date();
        const QDate last = std::max(first, end.toLocalTime().date());
        icalcomponent_add_property(vevent, icalproperty_new_dtstart(icalDate(first)));
        // The end of an all-day event is the day after its last day.
        icalcomponent_add_property(vevent, icalproperty_new_dtend(icalDate(last.addDays(1))));
    } else {
        icalcomponent_add_property(vevent, icalproperty_new_dtstart(icalInstant(event.start)));
        icalcomponent_add_property(vevent, icalproperty_new_dtend(icalInstant(end)));
    }
    icalcomponent_add_property(vevent, icalproperty_new_summary(event.title.toUtf8().constData()));
    if (!event.notes.isEmpty())
        icalcomponent_add_property(vevent, icalproperty_new_description(event.notes.toUtf8().constData()));
    if (!event.url.isEmpty())
        icalcomponent_add_property(vevent, icalproperty_new_url(event.url.toUtf8().constData()));
    icalcomponent_add_component(calendar.get(), vevent);

    char *text = icalcomponent_as_ical_string_r(calendar.get());
    const QByteArray data(text);
    icalmemory_free_buffer(text);
    return data;
}

std::optional<CalendarEvent> CalendarStore::parseEvent(const QByteArray &text)
{
    ComponentPtr root(icalparser_parse_string(text.constData()));
    if (!root)
        return std::nullopt;
    icalcomponent *vevent = icalcomponent_isa(root.get()) == ICAL_VEVENT_COMPONENT
                                ? root.get()
                                : icalcomponent_get_first_component(root.get(), ICAL_VEVENT_COMPONENT);
    if (!vevent)
        return std::nullopt;
    CalendarEvent event;
    event.identifier = textOf(icalcomponent_get_uid(vevent));
    if (event.identifier.isEmpty())
        return std::nullopt;
    const icaltimetype start = icalcomponent_get_dtstart(vevent);
    event.allDay = start.is_date != 0;
    event.start = qtTime(start);
    if (icalcomponent_get_first_property(vevent, ICAL_DTEND_PROPERTY)) {
        const icaltimetype end = icalcomponent_get_dtend(vevent);
        event.end = qtTime(end);
        if (event.allDay && end.is_date && event.end.isValid())
            event.end = event.end.addDays(-1); // back to the last day it covers
    }
    if (!event.end.isValid() || event.end < event.start)
        event.end = event.start;
    event.title = textOf(icalcomponent_get_summary(vevent));
    event.notes = textOf(icalcomponent_get_description(vevent));
    if (icalproperty *url = icalcomponent_get_first_property(vevent, ICAL_URL_PROPERTY))
        event.url = textOf(icalproperty_get_url(url));
    return event;
}
