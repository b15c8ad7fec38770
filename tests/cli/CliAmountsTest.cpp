// The worked examples of the amount rules, through the command-line tool: what a script sees
// is what the unit tests compute.
#include "CliTestFixture.h"

#include <QFile>

namespace {

class CliAmounts : public CliTestFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("5260250274")}).exitCode, 0);
    }

    CliRun withJson(const QString &verb, const QString &ref, const QByteArray &json) const
    {
        const QString path = dir.filePath(QStringLiteral("d%1.json").arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        file.close();
        QStringList args{QStringLiteral("document"), verb};
        if (!ref.isEmpty())
            args << ref;
        return cli(args << QStringLiteral("--json") << path);
    }

    QJsonObject create(const QByteArray &kindAndItems) const
    {
        // Issued today, after the program's install date: the discount method follows the setting.
        const QByteArray json = "{\"purchaser\": {\"name\": \"Nabywca\", \"address\": \"ul. Długa 1, 80-001 Gdańsk\"}, " +
                                kindAndItems + "}";
        const CliRun r = withJson(QStringLiteral("create"), {}, json);
        EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
        return r.object();
    }

    mutable int m_files = 0;
};

QString text(const QJsonValue &v)
{
    return v.toString();
}

} // namespace

TEST_F(CliAmounts, LineValuesOfTheWorkedExamples)
{
    const struct
    {
        const char *json;
        const char *net, *vat, *gross;
    } cases[] = {
        {R"("kind": 1, "items": [{"name": "a", "netPrice": "100", "quantity": "3", "discount": "0.1", "vatRate": "23%"}])",
         "270", "62.1", "332.1"},
        {R"("kind": 1, "items": [{"name": "a", "grossPrice": "123", "vatRate": "23%"}])", "100", "23", "123"},
        {R"("kind": 1, "items": [{"name": "a", "grossPrice": "10", "vatRate": "8%"}])", "9.2593", "0.7407", "10"},
        {R"("kind": 1, "items": [{"name": "a", "netPrice": "10.99", "quantity": "3", "discount": "0.15", "vatRate": "0%"}])",
         "28.0245", "0", "28.0245"},
        {R"("kind": 1, "items": [{"name": "a", "netPrice": "0.33", "quantity": "7", "discount": "0.333", "vatRate": "0%"}])",
         "1.5408", "0", "1.5408"},
        {R"("kind": 16, "items": [{"name": "a", "netPrice": "50", "quantity": "2", "vatRate": "23%"}])", "100", "0", "100"},
        {R"("kind": 1, "items": [{"name": "a", "netPrice": "100", "vatRate": "zw"}])", "100", "0", "100"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.json);
        const QJsonObject doc = create(QByteArray(c.json));
        const QJsonObject item = doc.value(QStringLiteral("items")).toArray().first().toObject();
        EXPECT_EQ(text(item.value(QStringLiteral("netValue"))), QString::fromLatin1(c.net));
        EXPECT_EQ(text(item.value(QStringLiteral("vatValue"))), QString::fromLatin1(c.vat));
        EXPECT_EQ(text(item.value(QStringLiteral("grossValue"))), QString::fromLatin1(c.gross));
        EXPECT_EQ(text(doc.value(QStringLiteral("totalGrossValue"))), QString::fromLatin1(c.gross));
    }

    // The unit-price discount method gives 1.5407 where the value method gives 1.5408; a document
    // issued before the install date always takes the unit-price method.
    const CliRun early = withJson(QStringLiteral("create"), {}, R"({"kind": 1, "issueDate": "2020-03-02", "items": [
        {"name": "a", "netPrice": "0.33", "quantity": "7", "discount": "0.333", "vatRate": "0%"}]})");
    EXPECT_EQ(text(early.object().value(QStringLiteral("items")).toArray().first()[QStringLiteral("netValue")]),
              QStringLiteral("1.5407"));
    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("ZTDiscountCalculationFromUnitPrice"),
                   QStringLiteral("true")})
                  .exitCode,
              0);
    const QJsonObject unitPrice = create(
        R"("kind": 1, "items": [{"name": "a", "netPrice": "0.33", "quantity": "7", "discount": "0.333", "vatRate": "0%"}])");
    EXPECT_EQ(text(unitPrice.value(QStringLiteral("items")).toArray().first()[QStringLiteral("netValue")]),
              QStringLiteral("1.5407"));
}

TEST_F(CliAmounts, MixedDirectionsAndMarginLines)
{
    const QJsonObject mixed = create(R"("kind": 1, "items": [{"name": "a", "netPrice": "100", "vatRate": "23%"},
                                                              {"name": "b", "grossPrice": "123", "vatRate": "23%"}])");
    EXPECT_TRUE(mixed.value(QStringLiteral("grossBasedSummary")).toBool());
    EXPECT_TRUE(mixed.value(QStringLiteral("hasMixedCalculationDirections")).toBool());

    const QJsonObject margin = create(R"("kind": 64, "items": [{"name": "a", "netPrice": "100", "vatRate": "23%"}])");
    EXPECT_TRUE(margin.value(QStringLiteral("items")).toArray().first()[QStringLiteral("grossBasedValues")].toBool());
}

TEST_F(CliAmounts, CorrectionOfAQuantityShowsTheDifference)
{
    completeDefaultSeller(); // before the draft, which takes the seller over
    const QJsonObject invoice = create(R"("kind": 1, "items": [{"name": "Usługa", "netPrice": "100", "quantity": "2", "vatRate": "23%"}])");
    const QString ref = text(invoice.value(QStringLiteral("ref")));
    const CliRun issued = cli({QStringLiteral("document"), QStringLiteral("issue"), ref});
    ASSERT_EQ(issued.exitCode, 0) << issued.out.toStdString();
    const CliRun derived = cli({QStringLiteral("document"), QStringLiteral("derive"), ref, QStringLiteral("--as"),
                                QStringLiteral("corrective")});
    ASSERT_EQ(derived.exitCode, 0) << derived.out.toStdString();
    const QString correction = text(derived.object().value(QStringLiteral("ref")));

    const CliRun changed =
        withJson(QStringLiteral("set"), correction, R"({"items": [{"position": 1, "quantity": "1"}]})");
    ASSERT_EQ(changed.exitCode, 0) << changed.out.toStdString();
    const QJsonObject doc = changed.object();
    QJsonObject difference;
    for (const QJsonValue &item : doc.value(QStringLiteral("items")).toArray()) {
        if (item[QStringLiteral("subPosition")].toInt() == 60)
            difference = item.toObject();
    }
    ASSERT_FALSE(difference.isEmpty()) << changed.out.toStdString();
    EXPECT_EQ(text(difference.value(QStringLiteral("quantity"))), QStringLiteral("-1"));
    EXPECT_EQ(text(difference.value(QStringLiteral("netValue"))), QStringLiteral("-100"));
    EXPECT_EQ(text(difference.value(QStringLiteral("vatValue"))), QStringLiteral("-23"));
    EXPECT_EQ(text(difference.value(QStringLiteral("grossValue"))), QStringLiteral("-123"));
    EXPECT_EQ(text(doc.value(QStringLiteral("netCorrectiveDifference"))), QStringLiteral("-100"));
    EXPECT_EQ(text(doc.value(QStringLiteral("vatCorrectiveDifference"))), QStringLiteral("-23"));
    EXPECT_EQ(text(doc.value(QStringLiteral("grossCorrectiveDifference"))), QStringLiteral("-123"));

    const CliRun wrong = withJson(QStringLiteral("set"), correction, R"({"items": [{"position": 9, "quantity": "1"}]})");
    EXPECT_EQ(wrong.exitCode, 1);
}
