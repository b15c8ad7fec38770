#include "platform/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Equal in type as well as value, all the way down: QVariant's own == takes 5 and 5.0 as equal.
::testing::AssertionResult sameTree(const QVariant &a, const QVariant &b, const QString &path = u"/"_s)
{
    if (a.typeId() != b.typeId())
        return ::testing::AssertionFailure() << path.toStdString() << ": type " << a.typeName() << " vs "
                                             << (b.typeName() ? b.typeName() : "invalid");
    if (a.typeId() == QMetaType::QVariantMap) {
        const QVariantMap ma = a.toMap(), mb = b.toMap();
        if (ma.keys() != mb.keys())
            return ::testing::AssertionFailure() << path.toStdString() << ": keys differ";
        for (auto it = ma.cbegin(); it != ma.cend(); ++it)
            if (auto r = sameTree(it.value(), mb.value(it.key()), path + it.key() + u'/'); !r)
                return r;
        return ::testing::AssertionSuccess();
    }
    if (a.typeId() == QMetaType::QVariantList) {
        const QVariantList la = a.toList(), lb = b.toList();
        if (la.size() != lb.size())
            return ::testing::AssertionFailure() << path.toStdString() << ": lengths differ";
        for (qsizetype i = 0; i < la.size(); ++i)
            if (auto r = sameTree(la.at(i), lb.at(i), path + QString::number(i) + u'/'); !r)
                return r;
        return ::testing::AssertionSuccess();
    }
    if (a.typeId() == QMetaType::QDateTime) {
        const QDateTime da = a.toDateTime(), db = b.toDateTime();
        if (da != db || db.timeSpec() != Qt::UTC)
            return ::testing::AssertionFailure()
                   << path.toStdString() << ": " << da.toString(Qt::ISODateWithMs).toStdString() << " vs "
                   << db.toString(Qt::ISODateWithMs).toStdString();
        return ::testing::AssertionSuccess();
    }
    if (a != b)
        return ::testing::AssertionFailure() << path.toStdString() << ": " << a.toString().toStdString()
                                             << " vs " << b.toString().toStdString();
    return ::testing::AssertionSuccess();
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// A tree with every kind of value, nested containers, and text that needs escaping or UTF-8.
QVariantMap everyKind()
{
    const QVariantMap inner{
        {u"rate"_s, u"23%"_s},
        {u"isDefault"_s, true},
        {u"empty"_s, QVariantMap()},
    };
    return QVariantMap{
        {u"text"_s, u"Zażółć gęślą jaźń — ĄĘŁŃÓŚŹŻ"_s},
        {u"markup"_s, u"a & b < c > d \"q\" 'a' ]]>"_s},
        {u"empty text"_s, QString(u""_s)},
        {u"klucz ł&<"_s, u"non-ASCII key"_s},
        {u"zero"_s, qlonglong(0)},
        {u"small"_s, qlonglong(255)},
        {u"mid"_s, qlonglong(4294967296LL)},
        {u"minusOne"_s, qlonglong(-1)},
        {u"minusFive"_s, qlonglong(-5)},
        {u"min"_s, std::numeric_limits<qlonglong>::min()},
        {u"max"_s, std::numeric_limits<qlonglong>::max()},
        {u"real"_s, 0.1},
        {u"negativeReal"_s, -2.5},
        {u"wholeReal"_s, 450.0},
        {u"hugeReal"_s, 1e300},
        {u"yes"_s, true},
        {u"no"_s, false},
        {u"summer"_s, utc(2026, 7, 1, 10, 0, 0)},
        {u"beforeEpoch"_s, utc(1990, 3, 4, 5, 6, 7)},
        {u"data"_s, QByteArray("\x00\x01\xff binary", 10)},
        {u"emptyData"_s, QByteArray("")},
        {u"list"_s, QVariantList{qlonglong(1), u"two"_s, inner, QVariantList{}, QVariantList{false}}},
        {u"dict"_s, inner},
    };
}

} // namespace

class PropertyListFormat : public ::testing::TestWithParam<PropertyList::Format>
{
};

TEST_P(PropertyListFormat, EveryKindOfValueRoundTrips)
{
    const QVariantMap tree = everyKind();
    QString error;
    const std::optional<QByteArray> bytes = PropertyList::toData(tree, GetParam(), &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    const PropertyList::ReadResult read = PropertyList::fromData(*bytes);
    ASSERT_TRUE(read.ok()) << read.errorText.toStdString();
    EXPECT_TRUE(read.errorText.isEmpty());
    EXPECT_TRUE(sameTree(tree, read.value));
}

TEST_P(PropertyListFormat, ScalarAndArrayRootsRoundTrip)
{
    const QVariant roots[] = {QVariant(u"just text"_s), QVariant(qlonglong(-42)), QVariant(true),
                              QVariant(utc(2026, 12, 11, 7, 30, 0)),
                              QVariant(QVariantList{u"a"_s, qlonglong(-7)})};
    for (const QVariant &root : roots) {
        const auto bytes = PropertyList::toData(root, GetParam());
        ASSERT_TRUE(bytes);
        const auto read = PropertyList::fromData(*bytes);
        ASSERT_TRUE(read.ok()) << read.errorText.toStdString();
        EXPECT_TRUE(sameTree(root, read.value));
    }
}

TEST_P(PropertyListFormat, EveryTruncationIsRefused)
{
    // A file cut short by a crash or a full disk must fail as a whole, never yield a partial
    // dictionary that would silently lose the rest of the settings. For XML, cuts after the
    // root's closing tag only lose the trailing </plist> and may still read.
    const auto bytes = PropertyList::toData(everyKind(), GetParam());
    ASSERT_TRUE(bytes);
    qsizetype lastCut = bytes->size();
    if (GetParam() == PropertyList::Format::Xml)
        lastCut = bytes->lastIndexOf("</dict>") + 6;
    for (qsizetype cut = 0; cut < lastCut; ++cut) {
        const auto read = PropertyList::fromData(bytes->left(cut));
        ASSERT_FALSE(read.ok()) << "prefix of " << cut << " bytes was accepted";
        ASSERT_FALSE(read.errorText.isEmpty());
    }
}

static std::string formatName(const ::testing::TestParamInfo<PropertyList::Format> &format)
{
    return format.param == PropertyList::Format::Xml ? "Xml" : "Binary";
}

INSTANTIATE_TEST_SUITE_P(Formats, PropertyListFormat,
                         ::testing::Values(PropertyList::Format::Xml, PropertyList::Format::Binary),
                         formatName);

TEST(PropertyList, NegativeIntegersAreSignedInXmlBothWays)
{
    const auto bytes = PropertyList::toData(QVariantMap{{u"n"_s, qlonglong(-5)}});
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->contains("<integer>-5</integer>")) << bytes->toStdString();

    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                           "<key>a</key><integer>-42</integer>"
                           "<key>b</key><integer>-9223372036854775808</integer>"
                           "<key>c</key><integer>9223372036854775807</integer>"
                           "</dict></plist>";
    const auto read = PropertyList::fromData(xml);
    ASSERT_TRUE(read.ok()) << read.errorText.toStdString();
    EXPECT_TRUE(sameTree(QVariantMap{{u"a"_s, qlonglong(-42)},
                                     {u"b"_s, std::numeric_limits<qlonglong>::min()},
                                     {u"c"_s, std::numeric_limits<qlonglong>::max()}},
                         read.value));
}

TEST(PropertyList, DatesAreInstantsInUtc)
{
    // Runs in Europe/Warsaw: a local-time slip would show as a one- or two-hour shift.
    const QByteArray xml = "<plist version=\"1.0\"><array>"
                           "<date>2026-12-11T07:30:00Z</date>"
                           "<date>2026-07-01T22:15:00Z</date>"
                           "<date>2001-01-01T00:00:00Z</date>"
                           "</array></plist>";
    const auto read = PropertyList::fromData(xml);
    ASSERT_TRUE(read.ok()) << read.errorText.toStdString();
    EXPECT_TRUE(sameTree(
        QVariantList{utc(2026, 12, 11, 7, 30, 0), utc(2026, 7, 1, 22, 15, 0), utc(2001, 1, 1, 0, 0, 0)},
        read.value));

    // A local time is written as the same instant in UTC.
    const QDateTime warsawNoon(QDate(2026, 7, 1), QTime(12, 0), QTimeZone("Europe/Warsaw"));
    const auto bytes = PropertyList::toData(QVariantList{warsawNoon});
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->contains("<date>2026-07-01T10:00:00Z</date>")) << bytes->toStdString();
}

TEST(PropertyList, DatePrecisionAndRange)
{
    const QDateTime withMillis = utc(2026, 3, 29, 1, 59, 59, 250);

    // Binary keeps the fraction; XML has whole seconds.
    const auto binary =
        PropertyList::fromData(*PropertyList::toData(withMillis, PropertyList::Format::Binary));
    ASSERT_TRUE(binary.ok());
    EXPECT_EQ(binary.value.toDateTime(), withMillis);
    const auto xml = PropertyList::fromData(*PropertyList::toData(withMillis, PropertyList::Format::Xml));
    ASSERT_TRUE(xml.ok());
    EXPECT_EQ(xml.value.toDateTime(), utc(2026, 3, 29, 1, 59, 59));

    // Before the epoch (2001-01-01) a fraction must neither flip its sign nor move the second;
    // in XML the fraction is dropped, which keeps the second it falls in.
    const std::pair<QDateTime, QDateTime> beforeEpoch[] = {
        {utc(2000, 12, 31, 23, 59, 59, 500), utc(2000, 12, 31, 23, 59, 59)},
        {utc(2000, 12, 31, 23, 59, 58, 250), utc(2000, 12, 31, 23, 59, 58)},
        {utc(1990, 3, 4, 5, 6, 7, 125), utc(1990, 3, 4, 5, 6, 7)},
        {utc(2001, 1, 1, 0, 0, 0, 500), utc(2001, 1, 1, 0, 0, 0)},
    };
    for (const auto &[instant, wholeSecond] : beforeEpoch) {
        const auto fromBinary =
            PropertyList::fromData(*PropertyList::toData(instant, PropertyList::Format::Binary));
        EXPECT_EQ(fromBinary.value.toDateTime(), instant)
            << instant.toString(Qt::ISODateWithMs).toStdString();
        const auto fromXml =
            PropertyList::fromData(*PropertyList::toData(instant, PropertyList::Format::Xml));
        EXPECT_EQ(fromXml.value.toDateTime(), wholeSecond)
            << instant.toString(Qt::ISODateWithMs).toStdString();
    }

    // Beyond the 32-bit seconds range the value is refused, not wrapped to another date.
    for (const QDateTime &outside : {utc(2100, 1, 1, 0, 0, 0), utc(1900, 1, 1, 0, 0, 0)}) {
        QString error;
        EXPECT_FALSE(PropertyList::toData(QVariantMap{{u"d"_s, outside}}, PropertyList::Format::Xml, &error));
        EXPECT_TRUE(error.contains(u"range"_s)) << error.toStdString();
    }
}

TEST(PropertyList, RealsIgnoreACommaDecimalLocale)
{
    // The program runs with the user's C locale (Qt sets it from the environment); under a
    // Polish one, C's number reading takes "2.25" for 2.
    const char *commaLocales[] = {"pl_PL.UTF-8", "pl_PL.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"};
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char *chosen = nullptr;
    for (const char *name : commaLocales)
        if (std::setlocale(LC_NUMERIC, name)) {
            chosen = name;
            break;
        }
    if (!chosen)
        GTEST_SKIP() << "no locale with a decimal comma is installed";

    const auto read = PropertyList::fromData("<plist version=\"1.0\"><real>2.25</real></plist>");
    const auto bytes = PropertyList::toData(QVariant(0.5));
    std::setlocale(LC_NUMERIC, previous.c_str());

    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value.toDouble(), 2.25) << "under " << chosen;
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->contains("<real>0.5</real>")) << bytes->toStdString();
}

TEST(PropertyList, WhatIsNotAPropertyListFailsCleanly)
{
    QRandomGenerator random(20261211);
    auto noise = [&](qsizetype size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &c : bytes)
            c = static_cast<char>(random.bounded(256));
        return bytes;
    };
    const std::pair<const char *, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"plain text", "Faktura VAT nr 1/2026"},
        {"random bytes", noise(512)},
        {"binary header only", "bplist00"},
        {"binary header then noise", QByteArray("bplist00") + noise(300)},
        {"XML header then noise", QByteArray("<?xml version=\"1.0\"?><plist>") + noise(300)},
        {"mismatched tags", "<plist version=\"1.0\"><dict><key>a</key><string>x</dict></string></plist>"},
        {"unknown element", "<plist version=\"1.0\"><dict><key>a</key><colour>red</colour></dict></plist>"},
        {"JSON", "{\"ZTVatRates\": []}"},
    };
    for (const auto &[name, bytes] : cases) {
        const auto read = PropertyList::fromData(bytes);
        EXPECT_FALSE(read.ok()) << name;
        EXPECT_FALSE(read.value.isValid()) << name;
        EXPECT_FALSE(read.errorText.isEmpty()) << name;
    }
}

TEST(PropertyList, FilesAreReadAndWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"values.plist"_s);

    QString error;
    ASSERT_TRUE(PropertyList::toFile(everyKind(), path, PropertyList::Format::Xml, &error))
        << error.toStdString();
    const auto read = PropertyList::fromFile(path);
    ASSERT_TRUE(read.ok()) << read.errorText.toStdString();
    EXPECT_TRUE(sameTree(everyKind(), read.value));

    ASSERT_TRUE(PropertyList::toFile(everyKind(), path, PropertyList::Format::Binary));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(8) == "bplist00");
    EXPECT_TRUE(sameTree(everyKind(), PropertyList::fromFile(path).value));

    // A value that cannot be written leaves the file as it was.
    EXPECT_FALSE(PropertyList::toFile(QVariantList{QVariant()}, path));
    EXPECT_TRUE(sameTree(everyKind(), PropertyList::fromFile(path).value));

    const auto missing = PropertyList::fromFile(dir.filePath(u"missing.plist"_s));
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.errorText.contains(u"missing.plist"_s)) << missing.errorText.toStdString();
}

TEST(PropertyList, ValuesAPropertyListCannotHoldAreRefused)
{
    const std::pair<const char *, QVariant> cases[] = {
        {"null at the root", QVariant()},
        {"null in an array", QVariantList{qlonglong(1), QVariant()}},
        {"null in a dictionary", QVariantMap{{u"a"_s, QVariantMap{{u"b"_s, QVariant()}}}}},
        {"a date without time", QVariant(QDate(2026, 1, 1))},
        {"an invalid date", QVariant(QDateTime())},
        {"beyond 64-bit signed", QVariant(std::numeric_limits<qulonglong>::max())},
    };
    for (const auto &[name, value] : cases) {
        QString writeError, normalError;
        EXPECT_FALSE(PropertyList::toData(value, PropertyList::Format::Xml, &writeError)) << name;
        EXPECT_FALSE(writeError.isEmpty()) << name;
        EXPECT_FALSE(PropertyList::normalized(value, &normalError).isValid()) << name;
        EXPECT_FALSE(normalError.isEmpty()) << name;
    }
}

TEST(PropertyList, NormalizedGivesTheShapeThatReadingBackGives)
{
    QVariantHash hash;
    hash.insert(u"n"_s, 7);
    const QDateTime warsaw(QDate(2026, 12, 11), QTime(8, 30), QTimeZone("Europe/Warsaw"));
    const QVariant inputs[] = {
        QVariant(7),
        QVariant(7u),
        QVariant(static_cast<short>(-3)),
        QVariant(1.5f),
        QVariant(QStringList{u"a"_s, u"b"_s}),
        QVariant(hash),
        QVariant(warsaw),
        QVariant(QVariantList{QVariant(3), QVariant(QStringList{u"x"_s})}),
    };
    for (const QVariant &input : inputs) {
        const QVariant normal = PropertyList::normalized(input);
        ASSERT_TRUE(normal.isValid()) << input.typeName();
        const auto bytes = PropertyList::toData(input, PropertyList::Format::Binary);
        ASSERT_TRUE(bytes) << input.typeName();
        EXPECT_TRUE(sameTree(PropertyList::fromData(*bytes).value, normal)) << input.typeName();
    }
    EXPECT_EQ(PropertyList::normalized(QVariant(7)).typeId(), QMetaType::LongLong);
    EXPECT_EQ(PropertyList::normalized(QVariant(warsaw)).toDateTime().timeSpec(), Qt::UTC);
}
