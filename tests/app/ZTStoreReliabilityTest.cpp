#include "AppControllerFixture.h"

#include "platform/SqliteDatabase.h"
#include "platform/SqliteStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using StoreReliability = AppControllerFixture;

const QString kCrashStoreEnv = QStringLiteral("TOLVANA_CRASH_STORE");
const char *const kReady = "TOLVANA-CRASH-CHILD-READY";
constexpr int kKeptGenerations = 20;

int linesOf(qlonglong generation)
{
    return 1 + int(generation % 7);
}

ManagedObject *counterOf(ManagedObjectContext &context)
{
    const QList<ManagedObject *> found = context.fetch(FetchRequest(QStringLiteral("DocumentIDSequencer")));
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

TEST_F(StoreReliability, AFileThatIsNotAStoreIsRefusedAndLeftAlone)
{
    const QString nip = QStringLiteral("1234567890");
    // A valid store with data, then damaged in its first page.
    const QString damagedPath = dir.filePath(QStringLiteral("damaged/Tolvana.store"));
    {
        auto store = openStore(damagedPath);
        for (int i = 0; i < 200; ++i)
            store->insertNewObject(QStringLiteral("Customer"))->setValue(QStringLiteral("name"), QString(200, QLatin1Char('k')));
        save(*store);
    }
    {
        // Checkpointed and closed: the whole store is in the main file now.
        Error e;
        SqliteDatabase db;
        ASSERT_TRUE(db.open(damagedPath, false, false, e));
        ASSERT_TRUE(db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), e));
    }
    QByteArray damaged = readFile(damagedPath);
    ASSERT_GT(damaged.size(), 8192);
    for (int i = 100; i < 4000; ++i)
        damaged[i] = char(0x5A);

    const struct
    {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"text", QByteArray("To nie jest magazyn danych, tylko notatka.\n")},
        {"truncated SQLite header", QByteArray("SQLite format 3").append('\0').append(QByteArray(40, '\x01'))},
        {"damaged store", damaged},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = storePath(nip);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile::remove(path);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        log.clear();
        QStringList presented;
        ZTCoreDataBootstrapper bootstrapper(QStringLiteral("Tolvana"), QFileInfo(path).absolutePath());
        bootstrapper.setErrorPresenter([&](const Error &e) { presented.append(e.localizedDescription()); });

        EXPECT_EQ(bootstrapper.managedObjectContext(), nullptr);
        EXPECT_EQ(bootstrapper.managedObjectContext(), nullptr) << "no second attempt";
        const Error error = bootstrapper.openError();
        EXPECT_EQ(error.domain(), SqliteStore::errorDomain());
        EXPECT_TRUE(error.code() == SqliteStore::NotAStore || error.code() == SqliteStore::Damaged) << error.code();
        EXPECT_TRUE(error.localizedDescription().contains(path)) << error.localizedDescription().toStdString();
        EXPECT_EQ(presented.size(), 1);
        EXPECT_EQ(log.filter(QStringLiteral("Migration error = ")).size(), 1);
        EXPECT_EQ(readFile(path), c.bytes) << "the file is left byte for byte as it was";
        EXPECT_THROW(bootstrapper.storeCurrentModelVersion(), InternalConsistencyError);
    }
}

TEST_F(StoreReliability, StoreWithoutNameIsAPreconditionFailure)
{
    ZTCoreDataBootstrapper bootstrapper(QString(), dataDir);
    try {
        bootstrapper.managedObjectContext();
        FAIL() << "no failure raised";
    } catch (const InternalConsistencyError &e) {
        EXPECT_EQ(e.description(), QStringLiteral("PRECONDITION [storeName != nil]"));
    }
}

// Run only as the child of the crash test: saves generations until it is killed. Each save
// inserts one document with its lines, moves the counter and drops the oldest kept
// generation, all in one save.
TEST(DISABLED_StoreCrashChild, SavesUntilKilled)
{
    const QString path = qEnvironmentVariable("TOLVANA_CRASH_STORE");
    if (path.isEmpty())
        GTEST_SKIP() << "only run by the crash test";
    Error error;
    auto context = ManagedObjectContext::open(path, ztStoreModel(), StoreOpenOptions(), error);
    ASSERT_TRUE(context) << error.localizedDescription().toStdString();
    ManagedObject *counter = counterOf(*context);
    if (!counter)
        counter = context->insertNewObject(QStringLiteral("DocumentIDSequencer"));
    qlonglong generation = counter->value(QStringLiteral("lastValue")).toLongLong();
    std::printf("%s\n", kReady);
    std::fflush(stdout);
    for (;;) {
        ++generation;
        const QString tag = QString::number(generation);
        ManagedObject *document = context->insertNewObject(QStringLiteral("Document"));
        document->setValue(QStringLiteral("documentID"), tag);
        for (int i = 0; i < linesOf(generation); ++i) {
            ManagedObject *line = context->insertNewObject(QStringLiteral("DocumentItem"));
            line->setValue(QStringLiteral("name"), tag);
            line->setValue(QStringLiteral("position"), i);
            line->setRelatedObject(QStringLiteral("document"), document);
        }
        counter->setValue(QStringLiteral("lastValue"), generation);
        const QString dropped = QString::number(generation - kKeptGenerations);
        for (ManagedObject *old : context->fetch(
                 FetchRequest(QStringLiteral("Document"), Predicate::equal(QStringLiteral("documentID"), dropped))))
            context->deleteObject(old);
        ASSERT_TRUE(context->save(error)) << error.localizedDescription().toStdString();
    }
}

TEST_F(StoreReliability, KilledWhileSavingTheStoreKeepsWholeGenerations)
{
    const QString path = storePath(QStringLiteral("1234567890"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMs(0, 40);
    SCOPED_TRACE("seed " + std::to_string(seed));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kCrashStoreEnv, path);
    qlonglong last = 0;
    int progressed = 0;
    constexpr int kKills = 200;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=DISABLED_StoreCrashChild.SavesUntilKilled")});
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray output;
        while (!output.contains(kReady)) {
            ASSERT_TRUE(child.waitForReadyRead(10000)) << output.toStdString();
            output += child.readAllStandardOutput();
        }
        QThread::msleep(delayMs(random));
        child.kill(); // SIGKILL: no handler, no cleanup
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the child stopped on its own: "
                                                           << child.readAllStandardOutput().toStdString();

        Error error;
        {
            SqliteDatabase db;
            ASSERT_TRUE(db.open(path, false, false, error));
            ASSERT_EQ(db.scalar(QStringLiteral("PRAGMA integrity_check"), {}, error).toString(), QStringLiteral("ok"))
                << "after kill " << kill;
        }
        auto context = ManagedObjectContext::open(path, ztStoreModel(), StoreOpenOptions(), error);
        ASSERT_TRUE(context) << error.localizedDescription().toStdString();
        ManagedObject *counter = counterOf(*context);
        const qlonglong generation = counter ? counter->value(QStringLiteral("lastValue")).toLongLong() : 0;
        ASSERT_GE(generation, last) << "a committed generation was lost";
        progressed += generation > last ? 1 : 0;
        last = generation;

        // Exactly the last kept generations, each with all of its lines.
        QList<qlonglong> expected;
        for (qlonglong g = std::max<qlonglong>(1, generation - kKeptGenerations + 1); g <= generation; ++g)
            expected.append(g);
        QList<qlonglong> seen;
        for (ManagedObject *document : context->fetch(FetchRequest(QStringLiteral("Document")))) {
            const qlonglong g = document->value(QStringLiteral("documentID")).toLongLong();
            seen.append(g);
            const QList<ManagedObject *> lines = document->relatedSet(QStringLiteral("items"));
            ASSERT_EQ(lines.size(), linesOf(g)) << "generation " << g << " after kill " << kill;
            for (ManagedObject *line : lines)
                ASSERT_EQ(line->value(QStringLiteral("name")).toLongLong(), g);
        }
        std::sort(seen.begin(), seen.end());
        ASSERT_EQ(seen, expected) << "after kill " << kill;
        EXPECT_EQ(context->count(FetchRequest(QStringLiteral("DocumentItem"))),
                  std::accumulate(expected.cbegin(), expected.cend(), qsizetype(0),
                                  [](qsizetype sum, qlonglong g) { return sum + linesOf(g); }))
            << "no line outlives its document";
    }
    // Most kills must land while saves were going on, or the test proved little.
    EXPECT_GT(progressed, kKills / 2) << "generations committed: " << last;
}
