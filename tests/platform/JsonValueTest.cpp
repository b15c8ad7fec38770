#include "platform/JsonValue.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

TEST(JsonValue, PropertyListValuesBecomeJson)
{
    // The tests run in Europe/Warsaw: winter is +01:00, summer +02:00.
    const QDateTime winter(QDate(2026, 12, 11), QTime(7, 30), QTimeZone::utc());
    const QDateTime summerWithMillis(QDate(2026, 7, 1), QTime(10, 0, 0, 250), QTimeZone::utc());
    const QVariantMap tree{
        {u"name"_s, u"Zażółć"_s},
        {u"count"_s, qlonglong(-12)},
        {u"big"_s, std::numeric_limits<qlonglong>::max()},
        {u"limit"_s, 450.5},
        {u"enabled"_s, true},
        {u"issued"_s, winter},
        {u"paid"_s, summerWithMillis},
        {u"logo"_s, QByteArray("\x00\xff\x10"
                               "abc",
                               6)},
        {u"nothing"_s, QVariant()},
        {u"list"_s, QVariantList{qlonglong(1), QVariantMap{{u"k"_s, false}}}},
    };

    const QJsonObject json = JsonValue::fromVariant(tree).toObject();
    EXPECT_EQ(json.value(u"name"_s).toString(), u"Zażółć"_s);
    EXPECT_EQ(json.value(u"count"_s).toInteger(), -12);
    EXPECT_EQ(json.value(u"big"_s).toInteger(), std::numeric_limits<qlonglong>::max());
    EXPECT_EQ(json.value(u"limit"_s).toDouble(), 450.5);
    EXPECT_EQ(json.value(u"enabled"_s), QJsonValue(true));
    EXPECT_EQ(json.value(u"issued"_s).toString(), u"2026-12-11T08:30:00+01:00"_s);
    EXPECT_EQ(json.value(u"paid"_s).toString(), u"2026-07-01T12:00:00.250+02:00"_s);
    EXPECT_EQ(json.value(u"logo"_s).toString(), u"AP8QYWJj"_s);
    EXPECT_TRUE(json.value(u"nothing"_s).isNull());
    EXPECT_EQ(json.value(u"list"_s).toArray(), (QJsonArray{1, QJsonObject{{u"k"_s, false}}}));

    // The offset text names the same instant.
    EXPECT_EQ(QDateTime::fromString(json.value(u"issued"_s).toString(), Qt::ISODate), winter);
    EXPECT_EQ(QDateTime::fromString(json.value(u"paid"_s).toString(), Qt::ISODateWithMs), summerWithMillis);
}

TEST(JsonValue, JsonBecomesPropertyListValues)
{
    const QByteArray text = R"({"a": 1, "b": -2, "c": 2.5, "d": 1e3, "e": 3.0, "f": true, "g": null,
                                "h": [1, "x", [], {}], "i": {"j": 9007199254740993}, "k": "2026-12-11T08:30:00+01:00"})";
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QVariantMap map = JsonValue::toVariant(document.object()).toMap();

    struct Case
    {
        const char *key;
        int type;
        QVariant value;
    };
    const Case cases[] = {
        {"a", QMetaType::LongLong, qlonglong(1)},
        {"b", QMetaType::LongLong, qlonglong(-2)},
        {"c", QMetaType::Double, 2.5},
        {"d", QMetaType::LongLong, qlonglong(1000)},
        {"e", QMetaType::LongLong, qlonglong(3)},
        {"f", QMetaType::Bool, true},
        {"k", QMetaType::QString, u"2026-12-11T08:30:00+01:00"_s},
    };
    for (const Case &c : cases) {
        const QVariant value = map.value(QString::fromLatin1(c.key));
        EXPECT_EQ(value.typeId(), c.type) << c.key;
        EXPECT_EQ(value, c.value) << c.key;
    }
    EXPECT_TRUE(map.contains(u"g"_s));
    EXPECT_FALSE(map.value(u"g"_s).isValid());
    const QVariantList list = map.value(u"h"_s).toList();
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list.at(2).typeId(), QMetaType::QVariantList);
    EXPECT_EQ(list.at(3).typeId(), QMetaType::QVariantMap);
    // Whole numbers beyond a double's exact range keep every digit.
    EXPECT_EQ(map.value(u"i"_s).toMap().value(u"j"_s), QVariant(qlonglong(9007199254740993LL)));
}

TEST(JsonValue, RoundTripOfWhatJsonCanHold)
{
    const QVariantMap tree{
        {u"ZTVatRates"_s, QVariantList{QVariantMap{{u"rate"_s, u"23%"_s}, {u"isDefault"_s, true}}}},
        {u"ZTLimitForSimplifiedInvoicePLN"_s, 450.25},
        {u"ZTDueDateIntervalValue"_s, qlonglong(14)},
        {u"ZTDocumentFormHiddenColumns"_s, QVariantList()},
    };
    const QVariant back = JsonValue::toVariant(JsonValue::fromVariant(tree));
    EXPECT_EQ(back, QVariant(tree));
    EXPECT_EQ(back.toMap().value(u"ZTDueDateIntervalValue"_s).typeId(), QMetaType::LongLong);
}
