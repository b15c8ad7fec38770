#include "platform/CalendarStore.h"
#include "platform/ZTLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class CalendarStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ZTLog::setSink([this](const QString &line) { log.append(line); });
    }
    void TearDown() override { ZTLog::setSink({}); }

    QString root() const { return dir.filePath(QStringLiteral("Calendars")); }

    CalendarInfo create(CalendarStore &store, const QString &title, const QString &color = QStringLiteral("#FF8800"))
    {
        Error error;
        const std::optional<CalendarInfo> calendar = store.createCalendar(title, color, error);
        EXPECT_TRUE(calendar) << error.localizedDescription().toStdString();
        return calendar.value_or(CalendarInfo{});
    }

    static CalendarEvent dueEvent(const QString &calendar, const QDate &day, const QString &title)
    {
        CalendarEvent event;
        event.calendarIdentifier = calendar;
        event.title = title;
        event.start = QDateTime(day, QTime(12, 0));
        event.end = event.start;
        event.allDay = true;
        event.notes = QStringLiteral("Dokument wystawiony dla: ACME\nbiuro@acme.pl");
        event.url = QStringLiteral("faktura://FV/1/2024");
        return event;
    }

    static void writeFile(const QString &path, const QByteArray &data)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QStringList log;
};

TEST_F(CalendarStoreTest, CalendarsAreFoldersWithTitleAndColour)
{
    CalendarStore store(root());
    EXPECT_TRUE(store.calendars().isEmpty()); // no root yet, and none is made by looking

    const CalendarInfo work = create(store, QStringLiteral("Firma"), QStringLiteral("#1E88E5"));
    const CalendarInfo again = create(store, QStringLiteral("Firma"), QString());
    EXPECT_EQ(work.identifier, QStringLiteral("Firma"));
    EXPECT_EQ(again.identifier, QStringLiteral("Firma 2")); // the folder name is taken
    EXPECT_EQ(readFile(QDir(work.path).filePath(QStringLiteral("displayname"))), QByteArray("Firma\n"));
    EXPECT_EQ(readFile(QDir(work.path).filePath(QStringLiteral("color"))), QByteArray("#1E88E5\n"));

    // A folder made by another program, without displayname or colour, is a calendar too.
    ASSERT_TRUE(QDir(root()).mkdir(QStringLiteral("personal")));

    const QList<CalendarInfo> all = store.calendars();
    ASSERT_EQ(all.size(), 3);
    const std::optional<CalendarInfo> found = store.calendarWithIdentifier(QStringLiteral("Firma"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->title, QStringLiteral("Firma"));
    EXPECT_EQ(found->color, QStringLiteral("#1E88E5"));
    EXPECT_TRUE(found->allowsContentModifications);
    const std::optional<CalendarInfo> foreign = store.calendarWithIdentifier(QStringLiteral("personal"));
    ASSERT_TRUE(foreign);
    EXPECT_EQ(foreign->title, QStringLiteral("personal"));
    EXPECT_TRUE(foreign->color.isEmpty());
    EXPECT_EQ(store.writableCalendars().size(), 3);

    EXPECT_FALSE(store.calendarWithIdentifier(QStringLiteral("nope")));
    EXPECT_FALSE(store.calendarWithIdentifier(QStringLiteral("../Calendars"))); // never outside the root
    EXPECT_FALSE(store.calendarWithIdentifier(QString()));
}

TEST_F(CalendarStoreTest, CreatingACalendarRefusesBadInput)
{
    CalendarStore store(root());
    const struct
    {
        const char *label;
        QString title;
        QString color;
    } refused[] = {
        {"blank title", QStringLiteral("  "), QString()},
        {"colour without #", QStringLiteral("A"), QStringLiteral("FF8800")},
        {"colour name", QStringLiteral("A"), QStringLiteral("red")},
        {"short colour", QStringLiteral("A"), QStringLiteral("#F80")},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.label);
        Error error;
        EXPECT_FALSE(store.createCalendar(c.title, c.color, error));
        EXPECT_FALSE(error.localizedDescription().isEmpty());
    }
    EXPECT_TRUE(store.calendars().isEmpty());

    // A title that is no plain file name still makes a folder inside the root.
    const CalendarInfo odd = create(store, QStringLiteral("../Faktury/2024"));
    EXPECT_EQ(QFileInfo(odd.path).absolutePath(), QFileInfo(root()).absoluteFilePath());
    EXPECT_EQ(odd.title, QStringLiteral("../Faktury/2024"));
}

TEST_F(CalendarStoreTest, AnAllDayEventIsWrittenAsICalendarAndReadBack)
{
    CalendarStore store(root());
    create(store, QStringLiteral("Firma"));
    CalendarEvent event = dueEvent(QStringLiteral("Firma"), QDate(2024, 5, 24), QStringLiteral("Termin płatności faktury FV/1/2024"));
    Error error;
    ASSERT_TRUE(store.saveEvent(event, error)) << error.localizedDescription().toStdString();
    ASSERT_FALSE(event.identifier.isEmpty());

    const QString path = QDir(root()).filePath(QStringLiteral("Firma/%1.ics").arg(event.identifier));
    const QByteArray text = readFile(path);
    // The end of an all-day event is exclusive in iCalendar: the day after.
    EXPECT_TRUE(text.contains("DTSTART;VALUE=DATE:20240524")) << text.toStdString();
    EXPECT_TRUE(text.contains("DTEND;VALUE=DATE:20240525")) << text.toStdString();
    EXPECT_TRUE(text.contains(QByteArray(QByteArray("UID:") + event.identifier.toUtf8())));

    const std::optional<CalendarEvent> back = store.eventWithIdentifier(event.identifier);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->calendarIdentifier, QStringLiteral("Firma"));
    EXPECT_EQ(back->title, QStringLiteral("Termin płatności faktury FV/1/2024"));
    EXPECT_TRUE(back->allDay);
    EXPECT_EQ(back->start.date(), QDate(2024, 5, 24));
    EXPECT_EQ(back->end.date(), QDate(2024, 5, 24));
    EXPECT_EQ(back->notes, QStringLiteral("Dokument wystawiony dla: ACME\nbiuro@acme.pl"));
    EXPECT_EQ(back->url, QStringLiteral("faktura://FV/1/2024"));

    // Saving it again changes it in place: still one file.
    event.title = QStringLiteral("Zmienione");
    event.url.clear();
    ASSERT_TRUE(store.saveEvent(event, error));
    EXPECT_EQ(QDir(root() + QStringLiteral("/Firma")).entryList({QStringLiteral("*.ics")}, QDir::Files).size(), 1);
    EXPECT_EQ(store.eventWithIdentifier(event.identifier)->title, QStringLiteral("Zmienione"));
    EXPECT_TRUE(store.eventWithIdentifier(event.identifier)->url.isEmpty());
    EXPECT_FALSE(readFile(path).contains("URL:"));
}

TEST_F(CalendarStoreTest, SavingNeedsACalendarAndAStart)
{
    CalendarStore store(root());
    create(store, QStringLiteral("Firma"));
    Error error;
    CalendarEvent orphan = dueEvent(QStringLiteral("Gone"), QDate(2024, 5, 24), QStringLiteral("x"));
    EXPECT_FALSE(store.saveEvent(orphan, error));
    EXPECT_TRUE(error.localizedDescription().contains(QStringLiteral("Gone")));

    CalendarEvent undated = dueEvent(QStringLiteral("Firma"), QDate(), QStringLiteral("x"));
    undated.start = QDateTime();
    error = Error();
    EXPECT_FALSE(store.saveEvent(undated, error));
    EXPECT_FALSE(error.localizedDescription().isEmpty());
    EXPECT_TRUE(store.events(QStringLiteral("Firma")).isEmpty());
}

TEST_F(CalendarStoreTest, RemovingAnEventDeletesItsFileAndOnlyIt)
{
    CalendarStore store(root());
    create(store, QStringLiteral("Firma"));
    CalendarEvent first = dueEvent(QStringLiteral("Firma"), QDate(2024, 5, 24), QStringLiteral("A"));
    CalendarEvent second = dueEvent(QStringLiteral("Firma"), QDate(2024, 5, 20), QStringLiteral("B"));
    Error error;
    ASSERT_TRUE(store.saveEvent(first, error));
    ASSERT_TRUE(store.saveEvent(second, error));
    EXPECT_NE(first.identifier, second.identifier);
    ASSERT_EQ(store.events(QStringLiteral("Firma")).size(), 2);
    EXPECT_EQ(store.events(QStringLiteral("Firma")).first().title, QStringLiteral("B")); // by start

    ASSERT_TRUE(store.removeEvent(first.identifier, error));
    EXPECT_FALSE(store.eventWithIdentifier(first.identifier));
    EXPECT_TRUE(store.eventWithIdentifier(second.identifier));

    error = Error();
    EXPECT_FALSE(store.removeEvent(first.identifier, error)); // gone already
    EXPECT_FALSE(error.isNull());
}

TEST_F(CalendarStoreTest, EventsOfOtherProgramsAreFoundByTheirUid)
{
    CalendarStore store(root());
    const CalendarInfo personal = create(store, QStringLiteral("Osobisty"));
    // Named otherwise than our files, timed, with a time zone.
    writeFile(QDir(personal.path).filePath(QStringLiteral("meeting-1.ics")),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VEVENT\r\n"
              "UID:meeting@example.org\r\nDTSTAMP:20240501T080000Z\r\n"
              "DTSTART:20240515T080000Z\r\nDTEND:20240515T093000Z\r\nSUMMARY:Spotkanie\r\n"
              "END:VEVENT\r\nEND:VCALENDAR\r\n");
    const std::optional<CalendarEvent> meeting = store.eventWithIdentifier(QStringLiteral("meeting@example.org"));
    ASSERT_TRUE(meeting);
    EXPECT_FALSE(meeting->allDay);
    EXPECT_EQ(meeting->start, QDateTime(QDate(2024, 5, 15), QTime(8, 0), Qt::UTC));
    EXPECT_EQ(meeting->end, QDateTime(QDate(2024, 5, 15), QTime(9, 30), Qt::UTC));
    EXPECT_EQ(meeting->title, QStringLiteral("Spotkanie"));

    Error error;
    ASSERT_TRUE(store.removeEvent(QStringLiteral("meeting@example.org"), error));
    EXPECT_FALSE(QFile::exists(QDir(personal.path).filePath(QStringLiteral("meeting-1.ics"))));
}

TEST_F(CalendarStoreTest, AnEventSavedIntoAnotherCalendarMoves)
{
    CalendarStore store(root());
    create(store, QStringLiteral("A"));
    create(store, QStringLiteral("B"));
    CalendarEvent event = dueEvent(QStringLiteral("A"), QDate(2024, 5, 24), QStringLiteral("x"));
    Error error;
    ASSERT_TRUE(store.saveEvent(event, error));
    event.calendarIdentifier = QStringLiteral("B");
    ASSERT_TRUE(store.saveEvent(event, error));
    EXPECT_TRUE(store.events(QStringLiteral("A")).isEmpty());
    ASSERT_EQ(store.events(QStringLiteral("B")).size(), 1);
    EXPECT_EQ(store.eventWithIdentifier(event.identifier)->calendarIdentifier, QStringLiteral("B"));
}

TEST_F(CalendarStoreTest, ADamagedEventFileIsSkippedWithALogLine)
{
    CalendarStore store(root());
    const CalendarInfo a = create(store, QStringLiteral("A"));
    create(store, QStringLiteral("B"));
    CalendarEvent inA = dueEvent(QStringLiteral("A"), QDate(2024, 5, 24), QStringLiteral("w A"));
    CalendarEvent inB = dueEvent(QStringLiteral("B"), QDate(2024, 5, 25), QStringLiteral("w B"));
    Error error;
    ASSERT_TRUE(store.saveEvent(inA, error));
    ASSERT_TRUE(store.saveEvent(inB, error));

    const QString damaged = QDir(a.path).filePath(QStringLiteral("0-broken.ics"));
    writeFile(damaged, QByteArray("this is not a calendar\0\x01\x02", 25));
    // Cut short in the middle of the event.
    writeFile(QDir(a.path).filePath(QStringLiteral("1-cut.ics")),
              "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:cut\r\nDTSTART;VALUE=DATE:2024");

    log.clear();
    const QList<CalendarEvent> events = store.events(QStringLiteral("A"));
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events.first().identifier, inA.identifier);
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log.first().contains(QStringLiteral("not iCalendar"))) << log.first().toStdString();
    EXPECT_TRUE(log.first().contains(damaged)) << log.first().toStdString();

    // Looking up, saving and removing go on around it, in that calendar and the others.
    EXPECT_TRUE(store.eventWithIdentifier(inB.identifier));
    EXPECT_FALSE(store.eventWithIdentifier(QStringLiteral("cut")));
    CalendarEvent more = dueEvent(QStringLiteral("A"), QDate(2024, 6, 1), QStringLiteral("więcej"));
    ASSERT_TRUE(store.saveEvent(more, error));
    ASSERT_TRUE(store.removeEvent(inA.identifier, error));
    EXPECT_EQ(store.events(QStringLiteral("A")).size(), 1);
    EXPECT_EQ(store.calendars().size(), 2);
    EXPECT_TRUE(QFile::exists(damaged)); // left for the user; nothing of theirs is deleted
}

TEST_F(CalendarStoreTest, AccessNeedsAFolderThatCanBeReadAndWritten)
{
    EXPECT_EQ(CalendarStore(root()).authorizationStatus(), CalendarStore::AuthorizationStatus::Authorized);
    EXPECT_FALSE(QFileInfo::exists(root())); // asking made nothing
    EXPECT_EQ(CalendarStore(dir.filePath(QStringLiteral("a/b/c"))).authorizationStatus(),
              CalendarStore::AuthorizationStatus::Authorized);

    const QString file = dir.filePath(QStringLiteral("plain-file"));
    writeFile(file, "x");
    EXPECT_EQ(CalendarStore(file).authorizationStatus(), CalendarStore::AuthorizationStatus::Denied);
    EXPECT_EQ(CalendarStore(file + QStringLiteral("/below")).authorizationStatus(),
              CalendarStore::AuthorizationStatus::Denied);
    EXPECT_EQ(CalendarStore(QString()).authorizationStatus(), CalendarStore::AuthorizationStatus::Denied);
}

TEST_F(CalendarStoreTest, TheAccessAnswerComesOnAnotherThread)
{
    const QString file = dir.filePath(QStringLiteral("plain-file"));
    writeFile(file, "x");
    const struct
    {
        QString root;
        bool granted;
    } cases[] = {{root(), true}, {file, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.root.toStdString());
        QSemaphore answered;
        bool granted = !c.granted;
        Error error;
        QThread *thread = nullptr;
        CalendarStore(c.root).requestAccess([&](bool g, const Error &e) {
            granted = g;
            error = e;
            thread = QThread::currentThread();
            answered.release();
        });
        ASSERT_TRUE(answered.tryAcquire(1, 10000));
        EXPECT_EQ(granted, c.granted);
        EXPECT_EQ(error.isNull(), c.granted);
        EXPECT_NE(thread, QThread::currentThread());
    }
}

} // namespace
