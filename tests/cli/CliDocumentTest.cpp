#include "CliTestFixture.h"

#include <QFile>

namespace {

class CliDocument : public CliTestFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("5260250274")}).exitCode, 0);
        completeDefaultSeller();
    }

    QString writeJson(const QByteArray &json) const
    {
        const QString path = dir.filePath(QStringLiteral("doc%1.json").arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        return path;
    }

    CliRun document(QStringList args) const { return cli(QStringList{QStringLiteral("document")} + args); }

    CliRun create(const QByteArray &json) const
    {
        return document({QStringLiteral("create"), QStringLiteral("--json"), writeJson(json)});
    }

    static QString str(const QJsonValue &value) { return value.toString(); }

    mutable int m_files = 0;
};

const QByteArray kInvoice = R"({"kind": 1, "issueDate": "2024-05-10", "sellDate": "2024-05-09",
    "dueDate": "2024-05-24", "currency": "PLN", "paymentType": "Przelew", "remarks": "Dziękujemy",
    "purchaser": {"name": "ACME sp. z o.o.", "nip": "5260250274", "address": "ul. Długa 1, Gdańsk"},
    "items": [{"name": "Usługa", "quantity": "2", "netPrice": "100", "vatRate": "23%", "unitName": "godz."},
              {"name": "Książka", "grossPrice": "10.50", "vatRate": "5%", "discount": "10%"}]})";

} // namespace

TEST_F(CliDocument, CreateShowsTheDocumentWithItsAmounts)
{
    const CliRun created = create(kInvoice);
    ASSERT_EQ(created.exitCode, 0) << created.out.toStdString() << created.err.toStdString();
    const QJsonObject doc = created.object();
    EXPECT_TRUE(str(doc[QStringLiteral("ref")]).startsWith(QStringLiteral("Document/p")));
    EXPECT_EQ(str(doc[QStringLiteral("status")]), QStringLiteral("DRAFT"));
    EXPECT_EQ(doc[QStringLiteral("kind")].toInt(), 1);
    EXPECT_EQ(str(doc[QStringLiteral("issueDate")]), QStringLiteral("2024-05-10"));
    EXPECT_EQ(str(doc[QStringLiteral("sellDate")]), QStringLiteral("2024-05-09"));
    EXPECT_EQ(str(doc[QStringLiteral("dueDate")]), QStringLiteral("2024-05-24"));
    EXPECT_EQ(str(doc[QStringLiteral("purchaser")][QStringLiteral("name")]), QStringLiteral("ACME sp. z o.o."));
    const QJsonArray items = doc[QStringLiteral("items")].toArray();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(str(items[0][QStringLiteral("netValue")]), QStringLiteral("200"));
    EXPECT_EQ(str(items[0][QStringLiteral("grossValue")]), QStringLiteral("246"));
    EXPECT_EQ(str(items[1][QStringLiteral("discount")]), QStringLiteral("0.1"));
    EXPECT_TRUE(items[1][QStringLiteral("grossBasedValues")].toBool());
    EXPECT_EQ(doc[QStringLiteral("vatSummary")].toArray().size(), 2);
    EXPECT_EQ(str(doc[QStringLiteral("totalNetValue")]), QStringLiteral("209"));

    const CliRun shown = document({QStringLiteral("show"), str(doc[QStringLiteral("ref")])});
    ASSERT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.object(), doc); // what was saved is what was printed
}

TEST_F(CliDocument, IssueDeriveMarkAndDeleteRoundTrip)
{
    const QString invoice = str(create(kInvoice).object()[QStringLiteral("ref")]);
    const CliRun issued = document({QStringLiteral("issue"), invoice});
    ASSERT_EQ(issued.exitCode, 0) << issued.out.toStdString();
    EXPECT_EQ(str(issued.object()[QStringLiteral("status")]), QStringLiteral("ISSUED"));

    const CliRun correction = document({QStringLiteral("derive"), invoice, QStringLiteral("--as"), QStringLiteral("corrective")});
    ASSERT_EQ(correction.exitCode, 0) << correction.out.toStdString();
    const QJsonObject corrective = correction.object();
    EXPECT_EQ(corrective[QStringLiteral("kind")].toInt(), 4);
    EXPECT_EQ(str(corrective[QStringLiteral("parentRef")]), invoice);
    EXPECT_EQ(corrective[QStringLiteral("items")].toArray().size(), 6); // was / should be / difference per line
    EXPECT_EQ(str(corrective[QStringLiteral("originalTotalNetValue")]), QStringLiteral("209"));
    const QString correctiveRef = str(corrective[QStringLiteral("ref")]);

    const CliRun paid = document({QStringLiteral("mark"), invoice, QStringLiteral("paid")});
    ASSERT_EQ(paid.exitCode, 0);
    EXPECT_EQ(str(paid.object()[QStringLiteral("status")]), QStringLiteral("PAID"));
    EXPECT_FALSE(str(paid.object()[QStringLiteral("paidAt")]).isEmpty());
    EXPECT_EQ(str(document({QStringLiteral("mark"), invoice, QStringLiteral("canceled")}).object()[QStringLiteral("status")]),
              QStringLiteral("CANCELED"));
    EXPECT_EQ(str(document({QStringLiteral("mark"), invoice, QStringLiteral("restored")}).object()[QStringLiteral("status")]),
              QStringLiteral("PAID"));
    EXPECT_EQ(str(document({QStringLiteral("mark"), invoice, QStringLiteral("unpaid")}).object()[QStringLiteral("status")]),
              QStringLiteral("ISSUED"));

    const CliRun drafts = document({QStringLiteral("list"), QStringLiteral("--drafts")});
    ASSERT_EQ(drafts.exitCode, 0);
    ASSERT_EQ(drafts.json.toArray().size(), 1);
    EXPECT_EQ(str(drafts.json.toArray()[0][QStringLiteral("ref")]), correctiveRef);
    const CliRun may = document({QStringLiteral("list"), QStringLiteral("--year"), QStringLiteral("2024"),
                                 QStringLiteral("--month"), QStringLiteral("5")});
    ASSERT_EQ(may.json.toArray().size(), 1);
    EXPECT_EQ(str(may.json.toArray()[0][QStringLiteral("ref")]), invoice);

    // Deleting the invoice takes its draft correction along.
    const CliRun deleted = document({QStringLiteral("delete"), invoice});
    ASSERT_EQ(deleted.exitCode, 0) << deleted.out.toStdString();
    EXPECT_EQ(document({QStringLiteral("show"), invoice}).exitCode, 1);
    EXPECT_EQ(document({QStringLiteral("show"), correctiveRef}).exitCode, 1);
    EXPECT_EQ(document({QStringLiteral("list")}).json.toArray().size(), 0);
}

TEST_F(CliDocument, SetChangesADraftAndReplacesItsLines)
{
    const QString ref = str(create(kInvoice).object()[QStringLiteral("ref")]);
    const CliRun changed = document({QStringLiteral("set"), ref, QStringLiteral("--json"),
                                     writeJson(R"({"paymentType": "Gotówka",
                                                  "items": [{"name": "Projekt", "netPrice": "1000", "vatRate": "8%"}]})")});
    ASSERT_EQ(changed.exitCode, 0) << changed.out.toStdString();
    EXPECT_EQ(str(changed.object()[QStringLiteral("paymentType")]), QStringLiteral("Gotówka"));
    const QJsonArray items = document({QStringLiteral("show"), ref}).object()[QStringLiteral("items")].toArray();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(str(items[0][QStringLiteral("name")]), QStringLiteral("Projekt"));
    EXPECT_EQ(str(document({QStringLiteral("show"), ref}).object()[QStringLiteral("totalGrossValue")]), QStringLiteral("1080"));
}

TEST_F(CliDocument, BadInputFailsWithAPolishMessageAndBadUsageWithTwo)
{
    const struct
    {
        const char *label;
        QByteArray json;
        const char16_t *message;
    } refused[] = {
        {"unknown kind", R"({"kind": 8})", u"Nieznany rodzaj dokumentu 8."},
        {"not JSON", "{kind", u"Opis dokumentu nie jest poprawnym obiektem JSON"},
        {"bad date", R"({"issueDate": "10.05.2024"})", u"Pole „issueDate” nie zawiera daty w postaci RRRR-MM-DD."},
        {"two prices", R"({"items": [{"name": "A", "netPrice": "1", "grossPrice": "2"}]})",
         u"Pozycja 1 musi mieć albo cenę netto, albo cenę brutto."},
        {"bad number", R"({"items": [{"name": "A", "netPrice": "sto"}]})", u"Pole „netPrice” nie zawiera liczby."},
        {"unknown customer", R"({"customer": "Nikt"})", u"Nie ma kontrahenta o nazwie „Nikt”."},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.label);
        const CliRun r = create(c.json);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.firstMessage().startsWith(QString::fromUtf16(c.message))) << r.out.toStdString();
    }
    EXPECT_EQ(document({QStringLiteral("list")}).json.toArray().size(), 0); // nothing half-made was saved

    const QString draft = str(create(kInvoice).object()[QStringLiteral("ref")]);
    EXPECT_EQ(document({QStringLiteral("mark"), draft, QStringLiteral("paid")}).exitCode, 1);
    EXPECT_EQ(document({QStringLiteral("derive"), draft, QStringLiteral("--as"), QStringLiteral("final")}).exitCode, 1);
    EXPECT_EQ(document({QStringLiteral("show"), QStringLiteral("Document/p999")}).exitCode, 1);

    EXPECT_EQ(document({QStringLiteral("mark"), draft, QStringLiteral("lost")}).exitCode, 2);
    EXPECT_EQ(document({QStringLiteral("derive"), draft, QStringLiteral("--as"), QStringLiteral("twin")}).exitCode, 2);
    EXPECT_EQ(document({QStringLiteral("create")}).exitCode, 2);
    EXPECT_EQ(document({QStringLiteral("list"), QStringLiteral("--month"), QStringLiteral("5")}).exitCode, 2);
}

TEST_F(CliDocument, AFailedIssueListsEveryMessageInOrderAndLeavesTheDraft)
{
    const QString ref = str(create(R"({"kind": 1, "purchaser": {"name": "ACME"}})").object()[QStringLiteral("ref")]);
    const CliRun refused = document({QStringLiteral("issue"), ref});
    EXPECT_EQ(refused.exitCode, 1);
    const QJsonObject error = refused.object()[QStringLiteral("error")].toObject();
    EXPECT_EQ(error[QStringLiteral("code")].toInt(), 1560);
    EXPECT_EQ(error[QStringLiteral("messages")].toArray(),
              (QJsonArray{QStringLiteral("Brak adresu nabywcy"), QStringLiteral("Dokument nie zawiera produktów")}))
        << refused.out.toStdString();
    EXPECT_EQ(str(document({QStringLiteral("show"), ref}).object()[QStringLiteral("status")]), QStringLiteral("DRAFT"));
}
