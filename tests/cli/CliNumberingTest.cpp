#include "CliTestFixture.h"

#include <QFile>
#include <QJsonArray>

namespace {

class CliNumbering : public CliTestFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("5260250274")}).exitCode, 0);
    }

    QString writeJson(const QByteArray &json) const
    {
        const QString path = dir.filePath(QStringLiteral("n%1.json").arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        return path;
    }

    CliRun numbering(QStringList args) const
    {
        return cli(QStringList{QStringLiteral("--now"), QStringLiteral("2026-03-09T10:00:00+01:00"),
                               QStringLiteral("numbering")} +
                   args);
    }

    mutable int m_files = 0;
};

} // namespace

TEST_F(CliNumbering, EveryKindStartsWithItsDefaultSequencer)
{
    const CliRun all = numbering({QStringLiteral("list")});
    ASSERT_EQ(all.exitCode, 0) << all.out.toStdString();
    const QJsonArray sequencers = all.json.toArray();
    ASSERT_EQ(sequencers.size(), 7);
    QList<int> kinds;
    for (const QJsonValue &s : sequencers) {
        kinds.append(s[QStringLiteral("documentKind")].toInt());
        EXPECT_EQ(s[QStringLiteral("name")].toString(), QStringLiteral("Domyślna numeracja"));
        EXPECT_EQ(s[QStringLiteral("format")].toString(), QStringLiteral("%n"));
        EXPECT_EQ(s[QStringLiteral("nextValue")].toInt(), 1);
    }
    EXPECT_EQ(kinds, (QList<int>{1, 128, 64, 2, 32, 4, 16}));
    // Listing again creates nothing new.
    EXPECT_EQ(numbering({QStringLiteral("list")}).json.toArray().size(), 7);
}

TEST_F(CliNumbering, AddListOneKindAndSetTheNextNumber)
{
    const CliRun added = numbering({QStringLiteral("add"), QStringLiteral("--json"),
                                    writeJson(R"({"name": "Miesięczne", "format": "FV/%n/%2m/%Y",
                                                  "documentKind": 1, "monthlyReset": true})")});
    ASSERT_EQ(added.exitCode, 0) << added.out.toStdString();
    const QString ref = added.object()[QStringLiteral("ref")].toString();
    EXPECT_EQ(added.object()[QStringLiteral("exampleNextID")].toString(), QStringLiteral("FV/1/03/2026"));
    EXPECT_TRUE(added.object()[QStringLiteral("monthlyReset")].toBool());

    const QJsonArray invoices = numbering({QStringLiteral("list"), QStringLiteral("1")}).json.toArray();
    ASSERT_EQ(invoices.size(), 2);
    EXPECT_EQ(invoices[1][QStringLiteral("ref")].toString(), ref);

    const CliRun set = numbering({QStringLiteral("set-next"), ref, QStringLiteral("100")});
    ASSERT_EQ(set.exitCode, 0) << set.out.toStdString();
    EXPECT_EQ(set.object()[QStringLiteral("nextValue")].toInt(), 100);
    EXPECT_EQ(numbering({QStringLiteral("list"), QStringLiteral("1")}).json[1][QStringLiteral("exampleNextID")].toString(),
              QStringLiteral("FV/100/03/2026"));
}

TEST_F(CliNumbering, RefusalsCarryTheirMessages)
{
    const QString ref = numbering({QStringLiteral("list"), QStringLiteral("1")}).json[0][QStringLiteral("ref")].toString();
    const struct
    {
        QStringList args;
        QStringList messages;
    } cases[] = {
        {{QStringLiteral("set-next"), ref, QStringLiteral("0")}, {QStringLiteral("Następny numer musi być większy od zera")}},
        {{QStringLiteral("set-next"), ref, QStringLiteral("1a")}, {QStringLiteral("Numer jest nieprawidłowy")}},
        {{QStringLiteral("set-next"), QStringLiteral("DocumentSmartSequencer/p999"), QStringLiteral("5")},
         {QStringLiteral("Nie ma numeracji DocumentSmartSequencer/p999.")}},
        {{QStringLiteral("add"), QStringLiteral("--json"), writeJson(R"({"name": " ", "format": "", "documentKind": 1})")},
         {QStringLiteral("Numeracja musi nosić nazwę"), QStringLiteral("Format nie może być pusty")}},
        {{QStringLiteral("add"), QStringLiteral("--json"), writeJson(R"({"name": "X", "format": "%n", "documentKind": 3})")},
         {QStringLiteral("Nieznany rodzaj dokumentu 3.")}},
        {{QStringLiteral("list"), QStringLiteral("5")}, {QStringLiteral("Nieznany rodzaj dokumentu 5.")}},
    };
    for (const auto &c : cases) {
        const CliRun run = numbering(c.args);
        EXPECT_EQ(run.exitCode, 1) << c.args.join(QLatin1Char(' ')).toStdString();
        QStringList messages;
        for (const QJsonValue &m : run.json[QStringLiteral("error")][QStringLiteral("messages")].toArray())
            messages.append(m.toString());
        EXPECT_EQ(messages, c.messages) << c.args.join(QLatin1Char(' ')).toStdString();
    }
    // Nothing was added and the counter kept its value.
    const QJsonArray invoices = numbering({QStringLiteral("list"), QStringLiteral("1")}).json.toArray();
    ASSERT_EQ(invoices.size(), 1);
    EXPECT_EQ(invoices[0][QStringLiteral("nextValue")].toInt(), 1);
    EXPECT_EQ(numbering({QStringLiteral("set-next")}).exitCode, 2);
}

TEST_F(CliNumbering, IssuingChecksNumbersAndFillsTheRegisters)
{
    completeDefaultSeller();
    const auto run = [this](QStringList args) {
        return cli(QStringList{QStringLiteral("--now"), QStringLiteral("2026-03-09T10:00:00+01:00")} + args);
    };
    const auto messages = [](const CliRun &r) {
        QStringList list;
        for (const QJsonValue &m : r.json[QStringLiteral("error")][QStringLiteral("messages")].toArray())
            list.append(m.toString());
        return list;
    };
    const QString sequencer =
        run({QStringLiteral("numbering"), QStringLiteral("add"), QStringLiteral("--json"),
             writeJson(R"({"name": "Faktury", "format": "FV/%n/%m/%Y", "documentKind": 1})")})
            .object()[QStringLiteral("ref")]
            .toString();

    const CliRun created = run({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"),
                                writeJson(R"({"kind": 1, "issueDate": "2026-03-09", "sellDate": "2026-03-09",
                                              "docIDSequencer": ")" + sequencer.toUtf8() + R"("})")});
    ASSERT_EQ(created.exitCode, 0) << created.out.toStdString();
    const QString ref = created.object()[QStringLiteral("ref")].toString();
    EXPECT_EQ(created.object()[QStringLiteral("documentID")].toString(), QStringLiteral("FV/1/3/2026"));

    const CliRun refused = run({QStringLiteral("document"), QStringLiteral("issue"), ref});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(messages(refused),
              (QStringList{QStringLiteral("Nie wybrano nabywcy"), QStringLiteral("Dokument nie zawiera produktów")}))
        << refused.out.toStdString();
    const auto nextValue = [&] {
        for (const QJsonValue &s : run({QStringLiteral("numbering"), QStringLiteral("list"), QStringLiteral("1")}).json.toArray()) {
            if (s[QStringLiteral("ref")].toString() == sequencer)
                return s[QStringLiteral("nextValue")].toInt();
        }
        return -1;
    };
    EXPECT_EQ(nextValue(), 1);

    const CliRun fixed = run({QStringLiteral("document"), QStringLiteral("set"), ref, QStringLiteral("--json"),
                              writeJson(R"({"purchaser": {"name": "Zakład Żuraw", "address": "ul. Polna 5\n00-950 Warszawa",
                                                          "nip": "PL 123-456-32-18"},
                                            "items": [{"name": "Regał dębowy", "quantity": "2", "netPrice": "450",
                                                       "vatRate": "23%", "unitName": "szt."}]})")});
    ASSERT_EQ(fixed.exitCode, 0) << fixed.out.toStdString();
    const CliRun issued = run({QStringLiteral("document"), QStringLiteral("issue"), ref});
    ASSERT_EQ(issued.exitCode, 0) << issued.out.toStdString();
    EXPECT_EQ(issued.object()[QStringLiteral("status")].toString(), QStringLiteral("ISSUED"));
    EXPECT_EQ(issued.object()[QStringLiteral("documentID")].toString(), QStringLiteral("FV/1/3/2026"));

    const QJsonArray customers = run({QStringLiteral("customer"), QStringLiteral("list")}).json.toArray();
    ASSERT_EQ(customers.size(), 1);
    EXPECT_EQ(customers[0][QStringLiteral("name")].toString(), QStringLiteral("Zakład Żuraw"));
    EXPECT_EQ(customers[0][QStringLiteral("nip")].toString(), QStringLiteral("PL 123-456-32-18"));
    const QJsonArray products = run({QStringLiteral("product"), QStringLiteral("list")}).json.toArray();
    ASSERT_EQ(products.size(), 1);
    EXPECT_EQ(products[0][QStringLiteral("name")].toString(), QStringLiteral("Regał dębowy"));
    EXPECT_EQ(products[0][QStringLiteral("unitName")].toString(), QStringLiteral("szt."));

    // The next invoice takes the next number; deleting it gives the number back.
    const QByteArray second = R"({"kind": 1, "issueDate": "2026-03-09", "sellDate": "2026-03-09",
        "docIDSequencer": ")" + sequencer.toUtf8() + R"(", "customer": "Zakład Żuraw",
        "items": [{"name": "Regał dębowy", "quantity": "1"}]})";
    const CliRun secondCreated =
        run({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"), writeJson(second)});
    ASSERT_EQ(secondCreated.exitCode, 0) << secondCreated.out.toStdString();
    const QString secondRef = secondCreated.object()[QStringLiteral("ref")].toString();
    const CliRun secondIssued = run({QStringLiteral("document"), QStringLiteral("issue"), secondRef});
    ASSERT_EQ(secondIssued.exitCode, 0) << secondIssued.out.toStdString();
    EXPECT_EQ(secondIssued.object()[QStringLiteral("documentID")].toString(), QStringLiteral("FV/2/3/2026"));
    ASSERT_EQ(run({QStringLiteral("document"), QStringLiteral("delete"), secondRef}).exitCode, 0);
    const QString thirdRef = run({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"),
                                  writeJson(second)})
                                 .object()[QStringLiteral("ref")]
                                 .toString();
    EXPECT_EQ(run({QStringLiteral("document"), QStringLiteral("issue"), thirdRef})
                  .object()[QStringLiteral("documentID")]
                  .toString(),
              QStringLiteral("FV/2/3/2026"));

    // A number typed by hand that is taken only warns.
    const CliRun typed = run({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"),
                              writeJson(second.chopped(1) + R"(, "documentID": "FV/1/3/2026"})")});
    const CliRun typedIssued =
        run({QStringLiteral("document"), QStringLiteral("issue"), typed.object()[QStringLiteral("ref")].toString()});
    ASSERT_EQ(typedIssued.exitCode, 0) << typedIssued.out.toStdString();
    EXPECT_EQ(typedIssued.object()[QStringLiteral("documentID")].toString(), QStringLiteral("FV/1/3/2026"));
    EXPECT_TRUE(QString::fromUtf8(typedIssued.err)
                    .contains(QStringLiteral("Dokument o numerze FV/1/3/2026 został już wystawiony.")))
        << typedIssued.err.toStdString();
    EXPECT_EQ(nextValue(), 3);
}
