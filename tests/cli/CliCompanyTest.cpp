#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "CliTestFixture.h"

#include <gtest/gtest.h>

namespace {

class CliCompany : public CliTestFixture
{
protected:
    CliRun company(const char *verb, const QString &nip = {}) const
    {
        QStringList args{QStringLiteral("company"), QString::fromLatin1(verb)};
        if (!nip.isNull())
            args.append(nip);
        return cli(args);
    }
    QString setting(const char *key) const
    {
        return cli({QStringLiteral("settings"), QStringLiteral("get"), QString::fromLatin1(key)})
            .json[QStringLiteral("value")]
            .toVariant()
            .toString();
    }
    static QString firstMessage(const CliRun &r) { return r.firstMessage(); }
};

} // namespace

TEST_F(CliCompany, AddListAndUse)
{
    const QString a = QStringLiteral("1111111111");
    const QString b = QStringLiteral("2222222222");
    CliRun r = company("list");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.json.toArray(), QJsonArray());

    // The first company takes over the settings in place and becomes active.
    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("ZTDueDateIntervalValue"),
                   QStringLiteral("21")}).exitCode, 0);
    r = company("add", a);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.json[QStringLiteral("nip")].toString(), a);
    EXPECT_TRUE(r.json[QStringLiteral("active")].toBool());
    EXPECT_EQ(r.json[QStringLiteral("storePath")].toString(), QDir(dataDir()).filePath(a + QStringLiteral("/Tolvana.store")));
    EXPECT_TRUE(QFile::exists(r.json[QStringLiteral("storePath")].toString()));

    // A further one starts from factory settings and leaves the active company alone.
    r = company("add", b);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.json[QStringLiteral("active")].toBool());
    EXPECT_EQ(setting("ZTSellerNip"), a);

    r = company("list");
    const QJsonArray listed = r.json.toArray();
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0][QStringLiteral("nip")].toString(), a);
    EXPECT_TRUE(listed[0][QStringLiteral("active")].toBool());
    EXPECT_EQ(listed[1][QStringLiteral("nip")].toString(), b);
    EXPECT_FALSE(listed[1][QStringLiteral("active")].toBool());

    ASSERT_EQ(company("use", b).exitCode, 0);
    EXPECT_EQ(setting("ZTSellerNip"), b);
    EXPECT_EQ(setting("ZTDueDateIntervalValue"), QStringLiteral("14"));
    r = company("list");
    EXPECT_FALSE(r.json[0][QStringLiteral("active")].toBool());
    EXPECT_TRUE(r.json[1][QStringLiteral("active")].toBool());

    ASSERT_EQ(company("use", a).exitCode, 0);
    EXPECT_EQ(setting("ZTDueDateIntervalValue"), QStringLiteral("21"));
}

TEST_F(CliCompany, RefusalsAreInPolish)
{
    const QString a = QStringLiteral("1111111111");
    ASSERT_EQ(company("add", a).exitCode, 0);

    const struct
    {
        const char *verb;
        QString nip;
        QString message;
    } cases[] = {
        {"add", a, QStringLiteral("Firma o numerze NIP 1111111111 już istnieje.")},
        {"use", QStringLiteral("999"), QStringLiteral("Nie ma firmy o numerze NIP 999. Dodaj ją poleceniem „company add”.")},
        {"add", QStringLiteral("../x"), QStringLiteral("Numer NIP „../x” nie może być nazwą katalogu danych firmy.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.nip.toStdString());
        const CliRun r = company(c.verb, c.nip);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(firstMessage(r), c.message);
    }
    EXPECT_EQ(company("add").exitCode, 2) << "a NIP is required";
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x"))));
}
