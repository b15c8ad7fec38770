#include "CliTestFixture.h"

#include <QFile>

namespace {

class CliParties : public CliTestFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("5260250274")}).exitCode, 0);
    }

    QString writeJson(const QByteArray &json) const
    {
        const QString path = dir.filePath(QStringLiteral("fields%1.json").arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        return path;
    }

    CliRun run(const QString &group, const QString &command, QStringList args = {}) const
    {
        return cli(QStringList{group, command} + args);
    }

    CliRun add(const QString &group, const QByteArray &json) const
    {
        return run(group, QStringLiteral("add"), {QStringLiteral("--json"), writeJson(json)});
    }

    CliRun set(const QString &group, const QString &ref, const QByteArray &json) const
    {
        return run(group, QStringLiteral("set"), {ref, QStringLiteral("--json"), writeJson(json)});
    }

    static QString vcard(const char *name)
    {
        return QStringLiteral(TOLVANA_FIXTURES_DIR "/vcards/") + QString::fromUtf8(name);
    }

    static std::string str(const QJsonValue &value) { return value.toString().toStdString(); }

    mutable int m_files = 0;
};

const QString kCustomer = QStringLiteral("customer");
const QString kProduct = QStringLiteral("product");
const QString kSeller = QStringLiteral("seller");

} // namespace

TEST_F(CliParties, CustomersAreAddedChangedAndListedByName)
{
    const CliRun added = add(kCustomer, R"({"name": "Zakład Stolarski", "nip": "5260250274",
        "address": "ul. Leśna 1\n00-001 Warszawa", "defaultDueDays": 21, "defaultDiscount": "5%"})");
    ASSERT_EQ(added.exitCode, 0) << added.out.toStdString();
    const QJsonObject customer = added.object();
    EXPECT_EQ(str(customer[QStringLiteral("name")]), "Zakład Stolarski");
    EXPECT_EQ(customer[QStringLiteral("defaultDueDays")].toInt(), 21);
    EXPECT_EQ(str(customer[QStringLiteral("defaultDiscount")]), "0.05");
    EXPECT_TRUE(customer[QStringLiteral("email")].isNull());
    EXPECT_EQ(customer[QStringLiteral("documentCount")].toInt(), 0);
    const QString ref = customer[QStringLiteral("ref")].toString();
    ASSERT_FALSE(ref.isEmpty());
    ASSERT_EQ(add(kCustomer, R"({"name": "Apteka"})").exitCode, 0);

    const CliRun changed = set(kCustomer, ref, R"({"email": "biuro@stolarz.pl", "defaultDueDays": null})");
    ASSERT_EQ(changed.exitCode, 0) << changed.out.toStdString();
    EXPECT_EQ(str(changed.object()[QStringLiteral("email")]), "biuro@stolarz.pl");
    EXPECT_TRUE(changed.object()[QStringLiteral("defaultDueDays")].isNull());
    EXPECT_EQ(str(changed.object()[QStringLiteral("name")]), "Zakład Stolarski"); // untouched

    const CliRun listed = run(kCustomer, QStringLiteral("list"));
    ASSERT_EQ(listed.exitCode, 0);
    const QJsonArray all = listed.json.toArray();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(str(all[0][QStringLiteral("name")]), "Apteka");
    EXPECT_EQ(str(all[1][QStringLiteral("name")]), "Zakład Stolarski");
    EXPECT_EQ(str(all[1][QStringLiteral("email")]), "biuro@stolarz.pl");
    EXPECT_EQ(all[1][QStringLiteral("ref")].toString(), ref);
}

TEST_F(CliParties, BadFieldsAndReferencesAreRefusedAndNothingChanges)
{
    const QString ref = add(kCustomer, R"({"name": "Apteka"})").object()[QStringLiteral("ref")].toString();
    const struct
    {
        QStringList args;
        QByteArray json;
        const char *message;
    } cases[] = {
        {{}, R"({"name": "X", "colour": "red"})", "Nieznane pole „colour”."},
        {{}, R"({"name": 12})", "Pole „name” musi być tekstem."},
        {{}, R"({"defaultDueDays": "soon"})", "Pole „defaultDueDays” musi być liczbą całkowitą."},
        {{}, R"({"defaultDiscount": "dużo"})", "Pole „defaultDiscount” nie zawiera liczby."},
        {{}, R"({"createdAt": "2024-01-01"})", "Nieznane pole „createdAt”."},
        {{}, R"([1, 2])", "Opis nie jest poprawnym obiektem JSON"},
        {{QStringLiteral("Person/p999")}, R"({"name": "X"})", "Nie ma obiektu Person/p999."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        const CliRun r = set(kCustomer, c.args.isEmpty() ? ref : c.args.first(), c.json);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.firstMessage().startsWith(QString::fromUtf8(c.message))) << r.firstMessage().toStdString();
    }
    const QJsonArray all = run(kCustomer, QStringLiteral("list")).json.toArray();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(str(all[0][QStringLiteral("name")]), "Apteka");

    // A product's reference is no customer's.
    const QString productRef = add(kProduct, R"({"name": "Usługa"})").object()[QStringLiteral("ref")].toString();
    EXPECT_EQ(set(kCustomer, productRef, R"({"name": "X"})").exitCode, 1);
    EXPECT_EQ(run(kCustomer, QStringLiteral("set"), {ref}).exitCode, 2); // no --json
}

TEST_F(CliParties, ImportingAVCardFileAddsACustomerPerCard)
{
    const CliRun imported = run(kCustomer, QStringLiteral("import-vcard"), {vcard("ezvcard-gmail-list.vcf")});
    ASSERT_EQ(imported.exitCode, 0) << imported.out.toStdString();
    const QJsonArray made = imported.object()[QStringLiteral("customers")].toArray();
    ASSERT_EQ(made.size(), 3);
    EXPECT_EQ(str(made[0][QStringLiteral("name")]), "Arnold Smith");
    EXPECT_EQ(str(made[0][QStringLiteral("email")]), "asmithk@gmail.com");
    EXPECT_EQ(str(made[2][QStringLiteral("name")]), "Doug White");
    EXPECT_TRUE(imported.object()[QStringLiteral("problems")].toArray().isEmpty());
    EXPECT_EQ(run(kCustomer, QStringLiteral("list")).json.toArray().size(), 3);
}

TEST_F(CliParties, ImportReportsProblemsAndFailsOnlyWhenNothingCouldBeRead)
{
    const CliRun partly = run(kCustomer, QStringLiteral("import-vcard"), {vcard("ezvcard-John_Doe_ANDROID.vcf")});
    ASSERT_EQ(partly.exitCode, 0) << partly.out.toStdString();
    EXPECT_EQ(partly.object()[QStringLiteral("customers")].toArray().size(), 6);
    const QJsonArray problems = partly.object()[QStringLiteral("problems")].toArray();
    ASSERT_EQ(problems.size(), 2);
    EXPECT_EQ(problems[0][QStringLiteral("card")].toInt(), 5);
    EXPECT_EQ(problems[0][QStringLiteral("line")].toInt(), 52);
    EXPECT_FALSE(problems[0][QStringLiteral("skipped")].toBool());

    // A picture comes with its card into the company's folder.
    const CliRun photo = run(kCustomer, QStringLiteral("import-vcard"), {vcard("khard-photov4.vcf")});
    ASSERT_EQ(photo.exitCode, 0);
    const QString picture = photo.object()[QStringLiteral("customers")][0][QStringLiteral("picture")].toString();
    EXPECT_TRUE(picture.startsWith(dataDir() + QStringLiteral("/5260250274/Customers/customer-logo_")))
        << picture.toStdString();
    EXPECT_TRUE(QFile::exists(picture));

    const CliRun nothing = run(kCustomer, QStringLiteral("import-vcard"), {vcard("khard-unparsable.vcf")});
    EXPECT_EQ(nothing.exitCode, 1);
    const QJsonArray messages = nothing.object()[QStringLiteral("error")][QStringLiteral("messages")].toArray();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].toString().startsWith(QStringLiteral("Z pliku ")));
    EXPECT_EQ(str(messages[1]), "karta 1 (second contact with minimal Vcard), wiersz 1: Karta bez END:VCARD; pominięta");
    EXPECT_EQ(run(kCustomer, QStringLiteral("list")).json.toArray().size(), 7);
}

TEST_F(CliParties, SellerTemplatesStartFromTheDefaultOne)
{
    // A new company starts with one template made from the seller settings.
    const QJsonArray initial = run(kSeller, QStringLiteral("list")).json.toArray();
    ASSERT_EQ(initial.size(), 1);
    const QString defaultRef = initial[0][QStringLiteral("ref")].toString();
    const CliRun filled = set(kSeller, defaultRef, R"({"templateName": "Główna", "name": "Moja Firma",
        "address": "ul. Krótka 3", "issuesIn": "Kraków", "bankAccountNumber": "PL61109010140000071219812874",
        "cashBasisMethod": true})");
    ASSERT_EQ(filled.exitCode, 0) << filled.out.toStdString();
    EXPECT_EQ(str(filled.object()[QStringLiteral("templateNameWithInfo")]), "Główna (Metoda Kasowa)");

    const CliRun added = add(kSeller, R"({"templateName": "Sklep", "marginInvoiceProcedure": "biuropodrozy"})");
    ASSERT_EQ(added.exitCode, 0) << added.out.toStdString();
    const QJsonObject copy = added.object();
    EXPECT_EQ(str(copy[QStringLiteral("name")]), "Moja Firma");
    EXPECT_EQ(str(copy[QStringLiteral("issuesIn")]), "Kraków");
    EXPECT_EQ(str(copy[QStringLiteral("nip")]), "5260250274"); // the company's
    EXPECT_EQ(str(copy[QStringLiteral("templateNameWithInfo")]), "Sklep (Biuro podróży) (Metoda Kasowa)");
    EXPECT_EQ(copy[QStringLiteral("order")].toInt(), 2);

    // Without fields the new template keeps the name the seller pane gives it.
    EXPECT_EQ(str(add(kSeller, "{}").object()[QStringLiteral("templateName")]), "Alternatywne dane sprzedawcy");

    const QString ref = copy[QStringLiteral("ref")].toString();
    ASSERT_EQ(set(kSeller, ref, R"({"cashBasisMethod": false, "defaultDocumentSecondLanguage": 1})").exitCode, 0);
    const QJsonArray all = run(kSeller, QStringLiteral("list")).json.toArray();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0][QStringLiteral("ref")].toString(), defaultRef);
    EXPECT_EQ(str(all[1][QStringLiteral("templateNameWithInfo")]), "Sklep (Biuro podróży) - szablon w jęz. angielskim");
}

TEST_F(CliParties, ProductsKeepSlotsAndLabels)
{
    const CliRun added = add(kProduct, R"({"name": "Krzesło", "vatRate": "8%", "unitName": "szt.",
        "currency1": "PLN", "netPrice1": "100", "grossPrice1": "108",
        "currency2": "EUR", "netPrice2": 25, "grossPrice2": "27", "label": "meble,biuro"})");
    ASSERT_EQ(added.exitCode, 0) << added.out.toStdString();
    const QJsonObject product = added.object();
    EXPECT_EQ(str(product[QStringLiteral("vatRate")]), "0.08");
    EXPECT_EQ(str(product[QStringLiteral("netPrice2")]), "25");
    EXPECT_EQ(str(product[QStringLiteral("commaSeparatedLabels")]), "meble, biuro");
    // The default currency (PLN) reads slot 1.
    EXPECT_EQ(product[QStringLiteral("defaultCurrencySlot")].toInt(), 1);
    EXPECT_EQ(str(product[QStringLiteral("defaultCurrencyNetPrice")]), "100");

    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("ZTCurrencyDefaultISO4217"),
                   QStringLiteral("\"USD\"")})
                  .exitCode,
              0);
    const QJsonArray all = run(kProduct, QStringLiteral("list")).json.toArray();
    ASSERT_EQ(all.size(), 1);
    EXPECT_TRUE(all[0][QStringLiteral("defaultCurrencySlot")].isNull());
    EXPECT_EQ(str(all[0][QStringLiteral("defaultCurrencyNetPrice")]), "0");
}

TEST_F(CliParties, IssuingADocumentUpdatesTheCustomerAndTheCatalogue)
{
    // A complete default seller, so that the document may be issued.
    const QString sellerRef = run(kSeller, QStringLiteral("list")).json[0][QStringLiteral("ref")].toString();
    ASSERT_EQ(set(kSeller, sellerRef, R"({"name": "Moja Firma", "address": "ul. Krótka 3\n31-001 Kraków",
        "nip": "5260250274", "issuesIn": "Kraków", "bankAccountNumber": "PL61109010140000071219812874"})")
                  .exitCode,
              0);
    ASSERT_EQ(add(kCustomer, R"({"name": "ACME sp. z o.o.", "email": "acme@example.com"})").exitCode, 0);
    ASSERT_EQ(add(kProduct, R"({"name": "Usługa", "currency1": "PLN", "netPrice1": "50", "grossPrice1": "61.5"})")
                  .exitCode,
              0);
    const QString docJson = writeJson(R"({"kind": 1, "currency": "PLN", "paymentType": "Przelew",
        "purchaser": {"name": "acme SP. Z O.O.", "address": "ul. Nowa 1", "nip": "5260250274"},
        "items": [{"name": "usługa", "quantity": "2", "netPrice": "100", "vatRate": "23%"}]})");
    const CliRun created = cli({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"), docJson});
    ASSERT_EQ(created.exitCode, 0) << created.out.toStdString();
    const CliRun issued =
        cli({QStringLiteral("document"), QStringLiteral("issue"), created.object()[QStringLiteral("ref")].toString()});
    ASSERT_EQ(issued.exitCode, 0) << issued.out.toStdString();

    const QJsonArray customers = run(kCustomer, QStringLiteral("list")).json.toArray();
    ASSERT_EQ(customers.size(), 1);
    EXPECT_EQ(str(customers[0][QStringLiteral("name")]), "acme SP. Z O.O.");
    EXPECT_EQ(str(customers[0][QStringLiteral("address")]), "ul. Nowa 1");
    EXPECT_EQ(str(customers[0][QStringLiteral("email")]), "acme@example.com");
    EXPECT_EQ(customers[0][QStringLiteral("documentCount")].toInt(), 1);
    EXPECT_EQ(str(customers[0][QStringLiteral("documentsTotalNetValue")]), "200");

    const QJsonArray products = run(kProduct, QStringLiteral("list")).json.toArray();
    ASSERT_EQ(products.size(), 1);
    EXPECT_EQ(str(products[0][QStringLiteral("name")]), "usługa");
    EXPECT_EQ(str(products[0][QStringLiteral("netPrice1")]), "100");
    EXPECT_EQ(str(products[0][QStringLiteral("grossPrice1")]), "123");
}
