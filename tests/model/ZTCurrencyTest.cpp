#include "model/ZTCurrency.h"
#include "model/ZTCurrencyManager.h"
#include "platform/LocaleInfo.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

class ZTCurrencyManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<SettingsStore>(m_dir.filePath(QStringLiteral("settings.plist")));
    }

    ZTCurrencyManager polishManager() { return ZTCurrencyManager(*m_settings, QStringLiteral("pl_PL")); }

    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_settings;
};

TEST_F(ZTCurrencyManagerTest, ListsConfiguredCodesInOrderNamedForTheLocale)
{
    m_settings->setValue(QStringLiteral("ZTCurrencyAvailable"),
                         QStringList{QStringLiteral("EUR"), QStringLiteral("PLN"), QStringLiteral("XQQ"),
                                     QStringLiteral("USD")});
    ZTCurrencyManager manager = polishManager();
    const QList<ZTCurrency> &currencies = manager.availableCurrencies();
    QStringList codes;
    for (const ZTCurrency &c : currencies)
        codes.append(c.code());
    // An unknown code gets no name from the locale and is left out.
    EXPECT_EQ(codes, (QStringList{QStringLiteral("EUR"), QStringLiteral("PLN"), QStringLiteral("USD")}));

    const std::optional<ZTCurrency> pln = manager.currencyWithCode(QStringLiteral("PLN"));
    ASSERT_TRUE(pln);
    EXPECT_EQ(pln->name(), QStringLiteral("złoty polski"));
    EXPECT_EQ(pln->symbol(), QStringLiteral("zł"));
    EXPECT_EQ(manager.symbolWithCode(QStringLiteral("PLN")), QStringLiteral("zł"));
    EXPECT_TRUE(manager.symbolWithCode(QStringLiteral("GBP")).isNull());
    EXPECT_FALSE(manager.currencyWithCode(QStringLiteral("GBP")));

    // The list is built once per run: a later change of the setting does not count.
    m_settings->setValue(QStringLiteral("ZTCurrencyAvailable"), QStringList{QStringLiteral("GBP")});
    EXPECT_EQ(manager.availableCurrencies().size(), 3);
}

TEST_F(ZTCurrencyManagerTest, WithoutSettingOrUsableCodesFallsBackToCommonCodes)
{
    const qsizetype common = LocaleInfo::commonCurrencyCodes().size();
    ASSERT_GT(common, 100);
    ZTCurrencyManager unset = polishManager();
    EXPECT_GT(unset.availableCurrencies().size(), 100);
    EXPECT_TRUE(unset.currencyWithCode(QStringLiteral("CHF")));

    m_settings->setValue(QStringLiteral("ZTCurrencyAvailable"), QStringList{QStringLiteral("XQQ")});
    ZTCurrencyManager unusable = polishManager();
    EXPECT_EQ(unusable.availableCurrencies().size(), unset.availableCurrencies().size());
}

TEST_F(ZTCurrencyManagerTest, DefaultCurrencyFallsBackToFirstListed)
{
    m_settings->setValue(QStringLiteral("ZTCurrencyAvailable"),
                         QStringList{QStringLiteral("EUR"), QStringLiteral("PLN")});
    ZTCurrencyManager manager = polishManager();
    EXPECT_EQ(manager.defaultCurrencyCode(), QStringLiteral("EUR")); // no setting

    manager.setDefaultCurrencyWithCode(QStringLiteral("PLN"));
    EXPECT_EQ(m_settings->stringValue(QStringLiteral("ZTCurrencyDefaultISO4217")), QStringLiteral("PLN"));
    EXPECT_EQ(manager.defaultCurrency().name(), QStringLiteral("złoty polski"));

    manager.setDefaultCurrencyWithCode(QStringLiteral("USD")); // not available
    EXPECT_EQ(manager.defaultCurrencyCode(), QStringLiteral("EUR"));
}

TEST(ZTCurrencyTest, EveryPartIsRequired)
{
    const auto failure = [](const QString &name, const QString &code, const QString &symbol) {
        try {
            ZTCurrency currency(name, code, symbol);
        } catch (const InternalConsistencyError &error) {
            return error.description();
        }
        return QString();
    };
    EXPECT_EQ(failure(QString(), QStringLiteral("PLN"), QStringLiteral("zł")), QStringLiteral("ASSERT [n]"));
    EXPECT_EQ(failure(QStringLiteral("złoty"), QString(), QStringLiteral("zł")), QStringLiteral("ASSERT [c]"));
    EXPECT_EQ(failure(QStringLiteral("złoty"), QStringLiteral("PLN"), QString()), QStringLiteral("ASSERT [s]"));
    EXPECT_EQ(failure(QStringLiteral("złoty"), QStringLiteral("PLN"), QStringLiteral("zł")), QString());
}
