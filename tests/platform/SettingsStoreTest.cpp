#include "platform/SettingsStore.h"
#include "platform/Clock.h"
#include "platform/PropertyList.h"
#include "platform/ZTLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(u"pl.tolvana.Tolvana.plist"_s);
        ZTLog::setSink([this](const QString &line) { log.append(line); });
    }
    void TearDown() override
    {
        ZTLog::setSink({});
        Clock::reset();
    }

    QVariantMap fileContents() const
    {
        const auto read = PropertyList::fromFile(path);
        EXPECT_TRUE(read.ok()) << read.errorText.toStdString();
        return read.value.toMap();
    }

    QTemporaryDir dir;
    QString path;
    QStringList log;
};

} // namespace

TEST_F(SettingsStoreTest, PersistentValueWinsAndRemovingItShowsTheFactoryValueAgain)
{
    SettingsStore store(path);
    store.registerDefaults({{u"ZTDueDateIntervalValue"_s, 14}, {u"ZTDefaultPaymentMethod"_s, u"Przelew"_s}});

    EXPECT_EQ(store.value(u"ZTDueDateIntervalValue"_s), QVariant(qlonglong(14)));
    EXPECT_FALSE(store.value(u"ZTNothing"_s).isValid());
    EXPECT_FALSE(store.contains(u"ZTNothing"_s));

    ASSERT_TRUE(store.setValue(u"ZTDueDateIntervalValue"_s, 30));
    EXPECT_EQ(store.intValue(u"ZTDueDateIntervalValue"_s), 30);
    EXPECT_EQ(store.registeredDefaults().value(u"ZTDueDateIntervalValue"_s).toInt(), 14);

    store.removeValue(u"ZTDueDateIntervalValue"_s);
    EXPECT_EQ(store.intValue(u"ZTDueDateIntervalValue"_s), 14);

    // Writing no value removes the persistent one as well.
    store.setValue(u"ZTDefaultPaymentMethod"_s, u"Gotówka"_s);
    store.setValue(u"ZTDefaultPaymentMethod"_s, QVariant());
    EXPECT_EQ(store.stringValue(u"ZTDefaultPaymentMethod"_s), u"Przelew"_s);
    EXPECT_FALSE(store.persistentDictionary().contains(u"ZTDefaultPaymentMethod"_s));

    // Neither the factory layer nor merged reads leak into what is written.
    ASSERT_TRUE(store.setValue(u"ZTShared"_s, true));
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(fileContents(), (QVariantMap{{u"ZTShared"_s, true}}));
    EXPECT_EQ(store.dictionaryRepresentation().size(), 3);
}

TEST_F(SettingsStoreTest, TypedReads)
{
    SettingsStore store(path);
    store.setValue(u"bool"_s, true);
    store.setValue(u"int"_s, 42);
    store.setValue(u"negative"_s, -7);
    store.setValue(u"real"_s, 450.75);
    store.setValue(u"numericText"_s, u"  12 dni"_s);
    store.setValue(u"yesText"_s, u"YES"_s);
    store.setValue(u"wordText"_s, u"Przelew"_s);
    store.setValue(u"list"_s, QStringList{u"szt."_s, u"kg"_s});
    store.setValue(u"mixedList"_s, QVariantList{u"a"_s, 1});
    store.setValue(u"dict"_s, QVariantMap{{u"a"_s, 1}});
    store.setValue(u"huge"_s, qlonglong(1) << 40);

    struct Case
    {
        const char *key;
        bool asBool;
        qlonglong asInteger;
        double asDouble;
        QString asString;
    };
    const Case cases[] = {
        {"bool", true, 1, 1.0, u"1"_s},
        {"int", true, 42, 42.0, u"42"_s},
        {"negative", true, -7, -7.0, u"-7"_s},
        {"real", true, 450, 450.75, u"450.75"_s},
        {"numericText", true, 12, 0.0, u"  12 dni"_s},
        {"yesText", true, 0, 0.0, u"YES"_s},
        {"wordText", false, 0, 0.0, u"Przelew"_s},
        {"list", false, 0, 0.0, QString()},
        {"dict", false, 0, 0.0, QString()},
        {"missing", false, 0, 0.0, QString()},
    };
    for (const Case &c : cases) {
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(store.boolValue(key), c.asBool) << c.key;
        EXPECT_EQ(store.integerValue(key), c.asInteger) << c.key;
        EXPECT_EQ(store.doubleValue(key), c.asDouble) << c.key;
        EXPECT_EQ(store.stringValue(key), c.asString) << c.key;
        EXPECT_EQ(store.stringValue(key).isNull(), c.asString.isNull()) << c.key;
    }
    EXPECT_EQ(store.intValue(u"huge"_s), 0); // out of int range is no value, not a wrapped one
    EXPECT_EQ(store.integerValue(u"huge"_s), qlonglong(1) << 40);

    EXPECT_EQ(store.stringArrayValue(u"list"_s), (QStringList{u"szt."_s, u"kg"_s}));
    EXPECT_TRUE(store.stringArrayValue(u"mixedList"_s).isEmpty());
    EXPECT_EQ(store.arrayValue(u"mixedList"_s).size(), 2);
    EXPECT_TRUE(store.arrayValue(u"dict"_s).isEmpty());
    EXPECT_EQ(store.dictionaryValue(u"dict"_s).value(u"a"_s).toLongLong(), 1);
    EXPECT_TRUE(store.dictionaryValue(u"list"_s).isEmpty());
    EXPECT_FALSE(store.dateValue(u"int"_s).isValid());
}

TEST_F(SettingsStoreTest, ValuesSurviveSynchroniseWithTheirTypes)
{
    const QDateTime installDate(QDate(2026, 3, 29), QTime(0, 0), QTimeZone("Europe/Warsaw"));
    const QVariantMap perNip{
        {u"5261040828"_s, QVariantMap{{u"ZTSellerNip"_s, u"526-104-08-28"_s},
                                      {u"ZTFolderSidebarView"_s, QVariantList{QVariantList{0, 2}}}}}};
    {
        SettingsStore store(path);
        store.setValue(u"ZTTolvana1_6InstallDate"_s, installDate);
        store.setValue(u"ZTSettingsPerNip"_s, perNip);
        store.setValue(u"ZTApplicationRunNumber"_s, 3);
        store.setValue(u"ZTLimitForSimplifiedInvoicePLN"_s, 450.0);
        ASSERT_TRUE(store.synchronize());
    }
    SettingsStore again(path);
    EXPECT_EQ(again.dateValue(u"ZTTolvana1_6InstallDate"_s), installDate);
    EXPECT_EQ(again.value(u"ZTApplicationRunNumber"_s).typeId(), QMetaType::LongLong);
    EXPECT_EQ(again.value(u"ZTLimitForSimplifiedInvoicePLN"_s).typeId(), QMetaType::Double);
    EXPECT_EQ(again.dictionaryValue(u"ZTSettingsPerNip"_s), PropertyList::normalized(perNip).toMap());
}

TEST_F(SettingsStoreTest, SynchroniseWritesOnlyWhenSomethingChanged)
{
    SettingsStore store(path);
    EXPECT_FALSE(store.hasUnsavedChanges());
    store.setValue(u"ZTApplicationRunNumber"_s, 5);
    EXPECT_TRUE(store.hasUnsavedChanges());
    ASSERT_TRUE(store.synchronize());
    EXPECT_FALSE(store.hasUnsavedChanges());

    // With the file gone, an unchanged store does not write it again...
    ASSERT_TRUE(QFile::remove(path));
    store.setValue(u"ZTApplicationRunNumber"_s, 5);
    store.removeValue(u"ZTNeverSet"_s);
    EXPECT_FALSE(store.hasUnsavedChanges());
    EXPECT_TRUE(store.synchronize());
    EXPECT_FALSE(QFile::exists(path));

    // ...but a change of type alone is a change.
    store.setValue(u"ZTApplicationRunNumber"_s, 5.0);
    EXPECT_TRUE(store.hasUnsavedChanges());
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(fileContents().value(u"ZTApplicationRunNumber"_s).typeId(), QMetaType::Double);
}

TEST_F(SettingsStoreTest, SynchroniseReplacesTheFileWholeInsteadOfRewritingIt)
{
    SettingsStore store(path);
    store.setValue(u"ZTDefaultPaymentMethod"_s, u"Przelew"_s);
    ASSERT_TRUE(store.synchronize());
    const QByteArray before = readAll(path);

    // A second name for the same file keeps the old bytes only if the new file is written
    // elsewhere and renamed over it, which is what keeps a crash from leaving half a file.
    const QString otherName = dir.filePath(u"before.plist"_s);
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(otherName).constData()), 0);

    store.setValue(u"ZTDefaultPaymentMethod"_s, u"Gotówka"_s);
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(readAll(otherName), before);
    EXPECT_EQ(fileContents().value(u"ZTDefaultPaymentMethod"_s).toString(), u"Gotówka"_s);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "a temporary file was left";
}

TEST_F(SettingsStoreTest, AFailedSynchroniseKeepsTheChangesAndSays)
{
    // The config folder cannot be made because a plain file has its name.
    ASSERT_TRUE(writeAll(dir.filePath(u"config"_s), "not a folder"));
    SettingsStore store(dir.filePath(u"config/pl.tolvana.Tolvana.plist"_s));
    store.setValue(u"ZTApplicationRunNumber"_s, 1);
    EXPECT_FALSE(store.synchronize());
    EXPECT_TRUE(store.hasUnsavedChanges());
    EXPECT_EQ(store.intValue(u"ZTApplicationRunNumber"_s), 1);
    EXPECT_FALSE(log.isEmpty());
}

TEST_F(SettingsStoreTest, CreatesTheConfigFolderWhenMissing)
{
    const QString nested = dir.filePath(u"a/b/pl.tolvana.Tolvana.plist"_s);
    SettingsStore store(nested);
    store.setValue(u"ZTApplicationRunNumber"_s, 1);
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(SettingsStore(nested).intValue(u"ZTApplicationRunNumber"_s), 1);
}

TEST_F(SettingsStoreTest, AValueAPropertyListCannotHoldIsRefused)
{
    SettingsStore store(path);
    store.setValue(u"ZTSellerNip"_s, u"5261040828"_s);
    EXPECT_FALSE(store.setValue(u"ZTSellerNip"_s, QVariantList{QVariant()}));
    EXPECT_FALSE(store.setValue(u"ZTSellerNip"_s, QDate(2026, 1, 1)));
    EXPECT_EQ(store.stringValue(u"ZTSellerNip"_s), u"5261040828"_s);
    EXPECT_EQ(log.size(), 2);
}

TEST_F(SettingsStoreTest, ReloadDiscardsMemoryAndReadsTheFileAgain)
{
    SettingsStore store(path);
    store.registerDefaults({{u"ZTPrintCopiesCount"_s, 1}});
    store.setValue(u"ZTApplicationRunNumber"_s, 1);
    ASSERT_TRUE(store.synchronize());

    {
        SettingsStore other(path);
        other.setValue(u"ZTApplicationRunNumber"_s, 2);
        ASSERT_TRUE(other.synchronize());
    }
    store.setValue(u"ZTUnsaved"_s, true);
    EXPECT_EQ(store.intValue(u"ZTApplicationRunNumber"_s), 1);

    store.reload();
    EXPECT_EQ(store.intValue(u"ZTApplicationRunNumber"_s), 2);
    EXPECT_FALSE(store.contains(u"ZTUnsaved"_s));
    EXPECT_FALSE(store.hasUnsavedChanges());
    EXPECT_EQ(store.intValue(u"ZTPrintCopiesCount"_s), 1);
}

// --- a settings file that cannot be read

namespace {
QByteArray goodSettingsFile()
{
    return *PropertyList::toData(QVariantMap{{u"ZTApplicationRunNumber"_s, 12},
                                             {u"ZTSettingsPerNip"_s, QVariantMap{{u"123"_s, QVariantMap()}}},
                                             {u"ZTVatRates"_s, QVariantList{u"23%"_s, u"8%"_s}}});
}
} // namespace

TEST_F(SettingsStoreTest, AnUnreadableFileIsMovedAsideAndFactoryValuesApply)
{
    const QByteArray good = goodSettingsFile();
    const std::pair<const char *, QByteArray> cases[] = {
        {"truncated", good.left(good.size() / 2)},
        {"empty", QByteArray()},
        {"random bytes", QByteArray("\x93\x1f\xc2\x00\x17garbage\xff\xfe", 14)},
        {"binary header only", "bplist00"},
        {"a list, not a dictionary", *PropertyList::toData(QVariantList{u"x"_s})},
    };
    for (const auto &[name, bytes] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir caseDir;
        const QString file = caseDir.filePath(u"pl.tolvana.Tolvana.plist"_s);
        ASSERT_TRUE(writeAll(file, bytes));
        log.clear();
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 11), QTime(8, 30, 0), QTimeZone("Europe/Warsaw")));

        SettingsStore store(file);
        store.registerDefaults({{u"ZTApplicationRunNumber"_s, 0}, {u"ZTPrintCopiesCount"_s, 1}});

        const QString aside = file + u".unreadable-2026-12-11-083000"_s;
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_EQ(readAll(aside), bytes) << "the unreadable file must be kept byte for byte";
        ASSERT_EQ(log.size(), 1);
        EXPECT_TRUE(log.first().contains(aside)) << log.first().toStdString();

        EXPECT_TRUE(store.persistentDictionary().isEmpty());
        EXPECT_EQ(store.intValue(u"ZTApplicationRunNumber"_s), 0);
        EXPECT_EQ(store.intValue(u"ZTPrintCopiesCount"_s), 1);

        // The program goes on and its next synchronise leaves a good file.
        store.setValue(u"ZTApplicationRunNumber"_s, 1);
        ASSERT_TRUE(store.synchronize());
        const auto read = PropertyList::fromFile(file);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.value.toMap(), (QVariantMap{{u"ZTApplicationRunNumber"_s, qlonglong(1)}}));
        EXPECT_EQ(readAll(aside), bytes);
    }
}

TEST_F(SettingsStoreTest, ASecondUnreadableFileInTheSameSecondDoesNotReplaceTheFirst)
{
    Clock::setFixedNow(QDateTime(QDate(2026, 12, 11), QTime(8, 30, 0), QTimeZone("Europe/Warsaw")));
    ASSERT_TRUE(writeAll(path, "first"));
    SettingsStore store(path);
    ASSERT_TRUE(writeAll(path, "second"));
    store.reload();

    EXPECT_EQ(readAll(path + u".unreadable-2026-12-11-083000"_s), QByteArray("first"));
    EXPECT_EQ(readAll(path + u".unreadable-2026-12-11-083000-2"_s), QByteArray("second"));
}

TEST_F(SettingsStoreTest, AnUnreadableFileThatCannotBeMovedIsNeverWrittenOver)
{
    // A name so long that the dated name would exceed the file system's limit: the move fails
    // even with every permission.
    const QString longPath = dir.filePath(QString(240, u'x') + u".plist"_s);
    ASSERT_TRUE(writeAll(longPath, "<plist><dict><key>cut"));
    SettingsStore store(longPath);
    EXPECT_TRUE(QFile::exists(longPath));
    EXPECT_EQ(log.size(), 1);

    store.setValue(u"ZTApplicationRunNumber"_s, 1);
    EXPECT_FALSE(store.synchronize());
    EXPECT_EQ(readAll(longPath), QByteArray("<plist><dict><key>cut"));
    EXPECT_EQ(store.intValue(u"ZTApplicationRunNumber"_s), 1);

    // Once the file is gone the store may write again.
    ASSERT_TRUE(QFile::remove(longPath));
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(SettingsStore(longPath).intValue(u"ZTApplicationRunNumber"_s), 1);
}

TEST_F(SettingsStoreTest, AMissingFileIsAFirstRunNotAnError)
{
    SettingsStore store(path);
    EXPECT_TRUE(store.persistentDictionary().isEmpty());
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(SettingsStoreTest, TheProcessWideStoreLivesInTheConfigFolder)
{
    const QByteArray previous = qgetenv("TOLVANA_CONFIG_DIR");
    qputenv("TOLVANA_CONFIG_DIR", QFile::encodeName(dir.filePath(u"fromEnvironment"_s)));
    EXPECT_EQ(SettingsStore::defaultFilePath(), dir.filePath(u"fromEnvironment/pl.tolvana.Tolvana.plist"_s));
    qunsetenv("TOLVANA_CONFIG_DIR");
    EXPECT_TRUE(SettingsStore::defaultFilePath().endsWith(u"/pl.tolvana.Tolvana.plist"_s));
    EXPECT_FALSE(SettingsStore::defaultFilePath().contains(u"fromEnvironment"_s));

    // A folder given by the program wins over the environment; once the store is in use it
    // stays where it is.
    qputenv("TOLVANA_CONFIG_DIR", QFile::encodeName(dir.filePath(u"fromEnvironment"_s)));
    ASSERT_TRUE(SettingsStore::useConfigDirectory(dir.filePath(u"given"_s)));
    SettingsStore &standard = SettingsStore::standard();
    EXPECT_EQ(standard.filePath(), dir.filePath(u"given/pl.tolvana.Tolvana.plist"_s));
    EXPECT_EQ(&standard, &SettingsStore::standard());
    EXPECT_FALSE(SettingsStore::useConfigDirectory(dir.filePath(u"later"_s)));
    EXPECT_EQ(SettingsStore::standard().filePath(), dir.filePath(u"given/pl.tolvana.Tolvana.plist"_s));

    if (previous.isNull())
        qunsetenv("TOLVANA_CONFIG_DIR");
    else
        qputenv("TOLVANA_CONFIG_DIR", previous);
}
