// calendar list / create / events, open-url: the local calendars that receive due-date events,
// and the "faktura://" links those events carry.
#include "CliCalendar.h"
#include "CliSession.h"

#include "integrations/ZTCalendarManager.h"
#include "integrations/ZTURLHandler.h"
#include "model/ZTDocument.h"
#include "platform/SettingsStore.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

ZTCalendarManager &cliCalendarManager()
{
    ZTCalendarManager &manager = ZTCalendarManager::sharedCalendarManager();
    manager.setErrorPresenter([](const Error &error) {
        std::fprintf(stderr, "Ostrzeżenie: %s\n", error.localizedDescription().toUtf8().constData());
    });
    return manager;
}

void cliWaitForCalendar()
{
    ZTCalendarManager::sharedCalendarManager().waitForAccessAnswers();
}

namespace {

QJsonValue textJson(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonObject calendarJson(const CalendarInfo &calendar)
{
    return {{QStringLiteral("identifier"), calendar.identifier},
            {QStringLiteral("title"), calendar.title},
            {QStringLiteral("color"), textJson(calendar.color)},
            {QStringLiteral("path"), calendar.path},
            {QStringLiteral("writable"), calendar.allowsContentModifications},
            {QStringLiteral("chosen"),
             SettingsStore::standard().stringValue(ZTCalendarManager::kCalendarKey) == calendar.identifier}};
}

QJsonValue momentJson(const QDateTime &moment, bool allDay)
{
    if (!moment.isValid())
        return QJsonValue();
    const QDateTime local = moment.toLocalTime();
    return allDay ? local.date().toString(Qt::ISODate)
                  : local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonObject eventJson(const CalendarEvent &event)
{
    return {{QStringLiteral("identifier"), event.identifier},
            {QStringLiteral("title"), event.title},
            {QStringLiteral("allDay"), event.allDay},
            {QStringLiteral("start"), momentJson(event.start, event.allDay)},
            {QStringLiteral("end"), momentJson(event.end, event.allDay)},
            {QStringLiteral("notes"), textJson(event.notes)},
            {QStringLiteral("url"), textJson(event.url)}};
}

Error accessError(const ZTCalendarManager &manager)
{
    return Error::withMessage(Error::applicationDomain(), 20,
                              QStringLiteral("Brak dostępu do kalendarzy w folderze %1.")
                                  .arg(manager.eventStore().rootPath()));
}

CliResult list(const QStringList &args)
{
    if (!args.isEmpty())
        return CliResult::badUsage();
    ZTCalendarManager &manager = cliCalendarManager();
    if (manager.authStatus() != CalendarStore::AuthorizationStatus::Authorized)
        return CliResult::failed(accessError(manager));
    QJsonArray out;
    for (const CalendarInfo &calendar : manager.eventStore().calendars())
        out.append(calendarJson(calendar));
    return CliResult::ok(out);
}

CliResult create(const QStringList &arguments)
{
    QStringList args = arguments;
    QString color;
    if (const qsizetype at = args.indexOf(QStringLiteral("--color")); at >= 0) {
        if (at + 1 >= args.size())
            return CliResult::badUsage(QStringLiteral("--color needs a value"));
        color = args.at(at + 1);
        args.remove(at, 2);
    }
    if (args.size() != 1)
        return CliResult::badUsage();
    ZTCalendarManager &manager = cliCalendarManager();
    if (manager.authStatus() != CalendarStore::AuthorizationStatus::Authorized)
        return CliResult::failed(accessError(manager));
    Error error;
    const std::optional<CalendarInfo> calendar = manager.eventStore().createCalendar(args.first(), color, error);
    if (!calendar)
        return CliResult::failed(Error::withMessage(Error::applicationDomain(), 20, error.localizedDescription()));
    return CliResult::ok(calendarJson(*calendar));
}

CliResult events(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    ZTCalendarManager &manager = cliCalendarManager();
    if (!manager.calendarWithIdentifier(args.first()))
        return CliResult::failed(cliInputError(QStringLiteral("Nie ma kalendarza %1.").arg(args.first())));
    QJsonArray out;
    for (const CalendarEvent &event : manager.eventStore().events(args.first()))
        out.append(eventJson(event));
    return CliResult::ok(out);
}

CliResult openURL(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    return cliGuarded([&] {
        CliSession session;
        // Stands in for the window: the document the link selects is printed, not previewed.
        QJsonValue shown;
        session.controller().setPreviewHandler([&shown](const QString &documentID, ZTDocument *document) {
            if (!document)
                return;
            shown = QJsonObject{
                {QStringLiteral("ref"), document->objectID().objectPart()},
                {QStringLiteral("documentID"), document->documentID()},
                {QStringLiteral("requestedDocumentID"), documentID},
                {QStringLiteral("kind"), document->documentKind() ? QJsonValue(*document->documentKind()) : QJsonValue()},
                {QStringLiteral("status"), document->status()}};
        });
        ZTURLHandler(args.first()).performDefaultImplementation(session.controller());
        return CliResult::ok(shown);
    });
}

const CliCommandRegistration registration{
    {{QStringLiteral("calendar"), QStringLiteral("list")}, QString(),
     QStringLiteral("lists the calendars that can receive due-date events"), list},
    {{QStringLiteral("calendar"), QStringLiteral("create")}, QStringLiteral("NAME [--color #RRGGBB]"),
     QStringLiteral("creates a calendar and prints it"), create},
    {{QStringLiteral("calendar"), QStringLiteral("events")}, QStringLiteral("IDENTIFIER"),
     QStringLiteral("lists the events of a calendar"), events},
    {{QStringLiteral("open-url")}, QStringLiteral("URL"),
     QStringLiteral("prints the document a faktura:// link selects, or null"), openURL},
};

} // namespace
