#include "CliTestFixture.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

// A company whose calendars live in the test's folder, with the calendar "Firma" and events
// for invoices and bills switched on; most tests choose the calendar first.
class CliCalendar : public CliTestFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("5260250274")}).exitCode, 0);
        setting(QStringLiteral("ZTCalendarStoreRoot"), QStringLiteral("\"%1\"").arg(calendarRoot()));
        // A complete default seller, so that documents may be issued.
        const QString seller = cli({QStringLiteral("seller"), QStringLiteral("list")}).json[0][QStringLiteral("ref")].toString();
        const CliRun filled = cli({QStringLiteral("seller"), QStringLiteral("set"), seller, QStringLiteral("--json"),
                                   writeJson(R"({"name": "Moja Firma", "address": "ul. Krótka 3\n31-001 Kraków",
                                       "nip": "5260250274", "issuesIn": "Kraków"})")});
        ASSERT_EQ(filled.exitCode, 0) << filled.out.toStdString();
        const CliRun created = cli({QStringLiteral("calendar"), QStringLiteral("create"), QStringLiteral("Firma"),
                                    QStringLiteral("--color"), QStringLiteral("#1E88E5")});
        ASSERT_EQ(created.exitCode, 0) << created.out.toStdString() << created.err.toStdString();
        for (const char *key : {"ZTCalendarEventsForRegularVatDocuments", "ZTCalendarEventsForBills"})
            setting(QString::fromLatin1(key), QStringLiteral("true"));
    }

    void chooseCalendar() const { setting(QStringLiteral("ZTCalendarStoreTitle"), QStringLiteral("\"Firma\"")); }

    QString calendarRoot() const { return dir.filePath(QStringLiteral("Calendars")); }

    void setting(const QString &key, const QString &json) const
    {
        const CliRun r = cli({QStringLiteral("settings"), QStringLiteral("set"), key, json});
        ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    }

    QString writeJson(const QByteArray &json) const
    {
        const QString path = dir.filePath(QStringLiteral("doc%1.json").arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        return path;
    }

    // A draft of the kind numbered by hand, due on 24 May 2024; its ref.
    QString draft(int kind, const QString &number, const QString &purchaserEmail = QString()) const
    {
        const QString email = purchaserEmail.isEmpty() ? QString() : QStringLiteral(R"(, "email": "%1")").arg(purchaserEmail);
        const QByteArray json = QStringLiteral(R"({"kind": %1, "issueDate": "2024-05-10", "sellDate": "2024-05-10",
            "dueDate": "2024-05-24", "documentID": "%2", "currency": "PLN", "paymentType": "Przelew",
            "purchaser": {"name": "ACME sp. z o.o.", "nip": "5260250274", "address": "ul. Długa 1, Gdańsk"%3},
            "items": [{"name": "Usługa", "netPrice": "100", "vatRate": "23%"}]})")
                                    .arg(kind)
                                    .arg(number, email)
                                    .toUtf8();
        const CliRun created = cli({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"), writeJson(json)});
        EXPECT_EQ(created.exitCode, 0) << created.out.toStdString();
        return created.object()[QStringLiteral("ref")].toString();
    }

    QJsonObject document(const QStringList &args) const
    {
        const CliRun r = cli(QStringList{QStringLiteral("document")} + args);
        EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
        return r.object();
    }

    QJsonObject issue(const QString &ref) const { return document({QStringLiteral("issue"), ref}); }

    QJsonArray events() const
    {
        const CliRun r = cli({QStringLiteral("calendar"), QStringLiteral("events"), QStringLiteral("Firma")});
        EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
        return r.json.toArray();
    }

    static QString uid(const QJsonObject &document)
    {
        return document[QStringLiteral("documentDueCalendarEventUid")].toString();
    }

    // What khal, configured on the calendar folder, lists for May 2024.
    QString khalMay2024() const
    {
        const QString khal = QStandardPaths::findExecutable(QStringLiteral("khal"));
        EXPECT_FALSE(khal.isEmpty()) << "khal is not installed (scripts/setup installs it)";
        const QString home = dir.filePath(QStringLiteral("khal-home"));
        QDir().mkpath(home);
        const QString config = dir.filePath(QStringLiteral("khal.conf"));
        QFile file(config);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[calendars]\n[[tolvana]]\npath = %1/*\ntype = discover\n"
                                  "[sqlite]\npath = %2/khal.db\n"
                                  "[locale]\ndateformat = %Y-%m-%d\nlongdateformat = %Y-%m-%d\n"
                                  "datetimeformat = %Y-%m-%d %H:%M\nlongdatetimeformat = %Y-%m-%d %H:%M\n"
                                  "timeformat = %H:%M\n")
                       .arg(calendarRoot(), home)
                       .toUtf8());
        file.close();
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home);
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home);
        p.setProcessEnvironment(env);
        p.start(khal, {QStringLiteral("-c"), config, QStringLiteral("list"), QStringLiteral("2024-05-01"),
                       QStringLiteral("2024-05-31")});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    mutable int m_files = 0;
};

TEST_F(CliCalendar, KhalSeesTheDueDateOfAnIssuedInvoiceUntilItIsPaid)
{
    chooseCalendar();
    const QString ref = draft(1, QStringLiteral("FV/1/2024"), QStringLiteral("biuro@acme.pl"));
    EXPECT_FALSE(khalMay2024().contains(QStringLiteral("FV/1/2024")));

    const QJsonObject issued = issue(ref);
    ASSERT_EQ(issued[QStringLiteral("status")].toString(), QStringLiteral("ISSUED"));
    ASSERT_FALSE(uid(issued).isEmpty());
    const QString listed = khalMay2024();
    EXPECT_TRUE(listed.contains(QStringLiteral("2024-05-24\n Termin płatności faktury FV/1/2024"))) << listed.toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("Dokument wystawiony dla: ACME sp. z o.o."))) << listed.toStdString();

    const QJsonObject paid = document({QStringLiteral("mark"), ref, QStringLiteral("paid")});
    EXPECT_EQ(paid[QStringLiteral("status")].toString(), QStringLiteral("PAID"));
    const QString afterPaying = khalMay2024();
    EXPECT_FALSE(afterPaying.contains(QStringLiteral("FV/1/2024"))) << afterPaying.toStdString();
}

TEST_F(CliCalendar, PaidThenUnpaidMakesANewEventAndDeletingRemovesIt)
{
    chooseCalendar();
    const QString ref = draft(1, QStringLiteral("FV/2/2024"), QStringLiteral("biuro@acme.pl"));
    const QString first = uid(issue(ref));
    ASSERT_FALSE(first.isEmpty());
    QJsonArray listed = events();
    ASSERT_EQ(listed.size(), 1);
    const QJsonObject event = listed[0].toObject();
    EXPECT_EQ(event[QStringLiteral("identifier")].toString(), first);
    EXPECT_EQ(event[QStringLiteral("title")].toString(), QStringLiteral("Termin płatności faktury FV/2/2024"));
    EXPECT_EQ(event[QStringLiteral("start")].toString(), QStringLiteral("2024-05-24"));
    EXPECT_EQ(event[QStringLiteral("end")].toString(), QStringLiteral("2024-05-24"));
    EXPECT_TRUE(event[QStringLiteral("allDay")].toBool());
    EXPECT_EQ(event[QStringLiteral("notes")].toString(), QStringLiteral("Dokument wystawiony dla: ACME sp. z o.o.\nbiuro@acme.pl"));
    EXPECT_EQ(event[QStringLiteral("url")].toString(), QStringLiteral("faktura://FV/2/2024"));

    document({QStringLiteral("mark"), ref, QStringLiteral("paid")});
    EXPECT_TRUE(events().isEmpty());
    const QString second = uid(document({QStringLiteral("mark"), ref, QStringLiteral("unpaid")}));
    EXPECT_FALSE(second.isEmpty());
    EXPECT_NE(second, first);
    listed = events();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0][QStringLiteral("identifier")].toString(), second);

    // Cancelling touches no event; deleting removes it.
    document({QStringLiteral("mark"), ref, QStringLiteral("canceled")});
    EXPECT_EQ(events().size(), 1);
    document({QStringLiteral("delete"), ref});
    EXPECT_TRUE(events().isEmpty());
}

TEST_F(CliCalendar, WithoutAChosenCalendarABillGetsNoEvent)
{
    const QJsonObject bill = issue(draft(16, QStringLiteral("R/1/2024")));
    ASSERT_EQ(bill[QStringLiteral("status")].toString(), QStringLiteral("ISSUED"));
    EXPECT_TRUE(bill[QStringLiteral("documentDueCalendarEventUid")].isNull());
    EXPECT_TRUE(events().isEmpty());

    chooseCalendar();
    const QJsonObject next = issue(draft(16, QStringLiteral("R/2/2024")));
    EXPECT_FALSE(uid(next).isEmpty());
    ASSERT_EQ(events().size(), 1);
    EXPECT_EQ(events()[0][QStringLiteral("title")].toString(), QStringLiteral("Termin płatności rachunku R/2/2024"));
}

TEST_F(CliCalendar, ACorrectiveInvoiceNeverGetsAnEvent)
{
    chooseCalendar();
    const QString invoice = draft(1, QStringLiteral("FV/3/2024"));
    issue(invoice);
    const CliRun derived = cli({QStringLiteral("document"), QStringLiteral("derive"), invoice, QStringLiteral("--as"),
                                QStringLiteral("corrective")});
    ASSERT_EQ(derived.exitCode, 0) << derived.out.toStdString();
    const QString corrective = derived.object()[QStringLiteral("ref")].toString();
    const CliRun set = cli({QStringLiteral("document"), QStringLiteral("set"), corrective, QStringLiteral("--json"),
                            writeJson(R"({"documentID": "KOR/1/2024", "dueDate": "2024-05-27"})")});
    ASSERT_EQ(set.exitCode, 0) << set.out.toStdString();
    const QJsonObject issuedCorrection = issue(corrective);
    ASSERT_EQ(issuedCorrection[QStringLiteral("status")].toString(), QStringLiteral("ISSUED"));
    EXPECT_TRUE(issuedCorrection[QStringLiteral("documentDueCalendarEventUid")].isNull());
    ASSERT_EQ(events().size(), 1); // the invoice's only
    EXPECT_EQ(events()[0][QStringLiteral("title")].toString(), QStringLiteral("Termin płatności faktury FV/3/2024"));
}

TEST_F(CliCalendar, ANumberWithABlankGivesAnEventWithoutALinkAndNotesOfOneLine)
{
    chooseCalendar();
    issue(draft(1, QStringLiteral("FV 4/2024")));
    const QJsonArray listed = events();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0][QStringLiteral("title")].toString(), QStringLiteral("Termin płatności faktury FV 4/2024"));
    EXPECT_TRUE(listed[0][QStringLiteral("url")].isNull());
    EXPECT_EQ(listed[0][QStringLiteral("notes")].toString(), QStringLiteral("Dokument wystawiony dla: ACME sp. z o.o."));
}

TEST_F(CliCalendar, OpenURLPrintsTheDocumentALinkSelects)
{
    issue(draft(1, QStringLiteral("FV/12/2024")));
    const CliRun opened = cli({QStringLiteral("open-url"), QStringLiteral("faktura://FV/12/2024")});
    ASSERT_EQ(opened.exitCode, 0) << opened.out.toStdString();
    EXPECT_EQ(opened.object()[QStringLiteral("documentID")].toString(), QStringLiteral("FV/12/2024"));
    EXPECT_EQ(opened.object()[QStringLiteral("status")].toString(), QStringLiteral("ISSUED"));

    for (const char *url : {"faktura://", "faktura://FV/99/2024", "https://FV/12/2024"}) {
        SCOPED_TRACE(url);
        const CliRun nothing = cli({QStringLiteral("open-url"), QString::fromLatin1(url)});
        EXPECT_EQ(nothing.exitCode, 0);
        EXPECT_EQ(nothing.out.trimmed(), QByteArray("null"));
    }
}

TEST_F(CliCalendar, ADamagedEventFileIsSkippedAndTheRestGoesOn)
{
    chooseCalendar();
    issue(draft(1, QStringLiteral("FV/5/2024")));
    {
        QFile damaged(calendarRoot() + QStringLiteral("/Firma/damaged.ics"));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write("PK\x03\x04 not a calendar at all");
    }
    qputenv("TOLVANA_LOG_STDERR", "1");
    const CliRun listed = cli({QStringLiteral("calendar"), QStringLiteral("events"), QStringLiteral("Firma")});
    qunsetenv("TOLVANA_LOG_STDERR");
    ASSERT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.json.toArray().size(), 1);
    EXPECT_TRUE(listed.err.contains("damaged.ics")) << listed.err.toStdString();

    // Issuing, paying and the calendar list go on around it.
    const QString ref = draft(1, QStringLiteral("FV/6/2024"));
    EXPECT_FALSE(uid(issue(ref)).isEmpty());
    EXPECT_EQ(events().size(), 2);
    document({QStringLiteral("mark"), ref, QStringLiteral("paid")});
    EXPECT_EQ(events().size(), 1);
    const CliRun calendars = cli({QStringLiteral("calendar"), QStringLiteral("list")});
    ASSERT_EQ(calendars.exitCode, 0);
    ASSERT_EQ(calendars.json.toArray().size(), 1);
    EXPECT_EQ(calendars.json[0][QStringLiteral("title")].toString(), QStringLiteral("Firma"));
    EXPECT_EQ(calendars.json[0][QStringLiteral("color")].toString(), QStringLiteral("#1E88E5"));
    EXPECT_TRUE(calendars.json[0][QStringLiteral("chosen")].toBool());
}

} // namespace
