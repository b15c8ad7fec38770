// A company with 100 000 documents of 10 lines each (10 years, every status): opening the store
// and the queries the window runs at start, against the same queries written directly in SQL
// on the same file.
#include "model/ZTCustomer.h"
#include "model/ZTDocument.h"
#include "model/ZTDocumentManager.h"
#include "model/ZTPartyManagers.h"
#include "model/ZTStoreModel.h"

#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/ProcessSetup.h"
#include "platform/ZTExtensions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <random>

namespace {

constexpr int kDocuments = 100000;
constexpr int kLines = 10;
constexpr int kCustomers = 500;

QString storePath()
{
    return QDir::tempPath() + QStringLiteral("/tolvana-bench-100k/Tolvana.store");
}

const QDateTime &benchNow()
{
    static const QDateTime now = dateWithYear(2026, 12, 11, 12);
    return now;
}

std::unique_ptr<ManagedObjectContext> openContext()
{
    Error error;
    auto ctx = ManagedObjectContext::open(storePath(), ztStoreModel(), {}, error);
    if (!ctx) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(storePath()), qPrintable(error.localizedDescription()));
        std::abort();
    }
    return ctx;
}

void generateStore()
{
    if (QFile::exists(storePath()))
        return;
    QDir().mkpath(QDir::tempPath() + QStringLiteral("/tolvana-bench-100k"));
    std::fprintf(stderr, "generating %d documents in %s …\n", kDocuments, qPrintable(storePath()));
    std::mt19937 rng(7);
    const QStringList statuses = {QStringLiteral("DRAFT"), QStringLiteral("ISSUED"), QStringLiteral("PAID"),
                                  QStringLiteral("CANCELED")};
    std::discrete_distribution<int> statusDist({5, 30, 60, 5});
    std::uniform_int_distribution<int> dayDist(0, 3650 - 1);
    std::uniform_int_distribution<int> customerDist(0, kCustomers - 1);
    const QDateTime start = dateWithYear(2017, 1, 1, 9);
    const Decimal rate = Decimal::parse(QStringLiteral("0.23"));

    auto ctx = openContext();
    for (int c = 0; c < kCustomers; ++c) {
        auto *customer = ctx->insertNewObject(QStringLiteral("Customer"));
        customer->setValue(QStringLiteral("name"), QStringLiteral("Klient %1 Sp. z o.o.").arg(c));
        customer->setValue(QStringLiteral("nip"), QStringLiteral("52602502%1").arg(c % 100, 2, 10, QLatin1Char('0')));
    }
    Error error;
    if (!ctx->save(error))
        std::abort();
    const int batch = 2000;
    for (int first = 0; first < kDocuments; first += batch) {
        ctx = openContext(); // a fresh identity map per batch keeps memory flat
        const QList<ManagedObject *> customers = ctx->fetch(FetchRequest(QStringLiteral("Customer")));
        for (int n = first; n < first + batch; ++n) {
            auto *d = ctx->insertNewObject(QStringLiteral("Document"));
            const QDateTime issue = addingDays(start, dayDist(rng));
            d->setValue(QStringLiteral("documentKind"), 1);
            d->setValue(QStringLiteral("status"), statuses[statusDist(rng)]);
            d->setValue(QStringLiteral("documentID"), QStringLiteral("FV/%1/%2").arg(n + 1).arg(year(issue)));
            d->setValue(QStringLiteral("issueDate"), issue);
            d->setValue(QStringLiteral("sellDate"), issue);
            d->setValue(QStringLiteral("dueDate"), addingDays(issue, 14));
            d->setValue(QStringLiteral("currency"), QStringLiteral("PLN"));
            ManagedObject *base = customers[customerDist(rng)];
            auto *p = ctx->insertNewObject(QStringLiteral("Purchaser"));
            p->setValue(QStringLiteral("name"), base->value(QStringLiteral("name")));
            p->setRelatedObject(QStringLiteral("baseCustomer"), base);
            d->setRelatedObject(QStringLiteral("purchaser"), p);
            Decimal net;
            for (int l = 0; l < kLines; ++l) {
                auto *item = ctx->insertNewObject(QStringLiteral("DocumentItem"));
                const Decimal price = Decimal::fromParts(100 + (n * 7 + l * 13) % 100000, 2);
                item->setValue(QStringLiteral("name"), QStringLiteral("Usługa %1").arg(l));
                item->setValue(QStringLiteral("position"), l + 1);
                item->setValue(QStringLiteral("quantity"), QVariant::fromValue(Decimal(1 + l % 3)));
                item->setValue(QStringLiteral("netPrice"), QVariant::fromValue(price));
                item->setValue(QStringLiteral("vatRate"), QVariant::fromValue(rate));
                const Decimal value = price * Decimal(1 + l % 3);
                item->setValue(QStringLiteral("netValue"), QVariant::fromValue(value));
                item->setValue(QStringLiteral("vatValue"), QVariant::fromValue(value * rate));
                item->setValue(QStringLiteral("grossValue"), QVariant::fromValue(value + value * rate));
                item->setRelatedObject(QStringLiteral("document"), d);
                net += value;
            }
            d->setValue(QStringLiteral("totalNetValue"), QVariant::fromValue(net));
            d->setValue(QStringLiteral("totalVatValue"), QVariant::fromValue(net * rate));
            d->setValue(QStringLiteral("totalGrossValue"), QVariant::fromValue(net + net * rate));
        }
        if (!ctx->save(error)) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(error.localizedDescription()));
            std::abort();
        }
    }
}

long maxRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

ManagedObject *someCustomer(ManagedObjectContext &ctx)
{
    return ctx.fetch(FetchRequest(QStringLiteral("Customer"),
                                  Predicate::equal(QStringLiteral("name"), QStringLiteral("Klient 7 Sp. z o.o."))))
        .value(0);
}

// --- Tolvana's side

void BM_OpenAndStartQueries(benchmark::State &state)
{
    generateStore();
    Clock::setFixedNow(benchNow());
    for (auto _ : state) {
        auto ctx = openContext();
        ZTDocumentManager documents([&] { return ctx.get(); });
        benchmark::DoNotOptimize(documents.overdueDocumentCount());
        benchmark::DoNotOptimize(documents.documentsIssuedInYear(2026, 12).size());
        benchmark::DoNotOptimize(documents.yearsWithIssuedDocuments().size());
        benchmark::DoNotOptimize(documents.documentsForCustomer(dynamic_cast<ZTCustomer *>(someCustomer(*ctx))).size());
    }
    state.counters["maxrss_MB"] = static_cast<double>(maxRssMegabytes());
}

template <typename Work> void runOnFreshContext(benchmark::State &state, Work work)
{
    generateStore();
    Clock::setFixedNow(benchNow());
    for (auto _ : state) {
        state.PauseTiming();
        auto ctx = openContext();
        ZTDocumentManager documents([&] { return ctx.get(); });
        ManagedObject *customer = someCustomer(*ctx);
        state.ResumeTiming();
        benchmark::DoNotOptimize(work(documents, customer));
    }
}

void BM_Tolvana_OpenStore(benchmark::State &state)
{
    generateStore();
    for (auto _ : state)
        benchmark::DoNotOptimize(openContext());
}
void BM_Tolvana_OverdueCount(benchmark::State &s)
{
    runOnFreshContext(s, [](ZTDocumentManager &d, ManagedObject *) { return d.overdueDocumentCount(); });
}
void BM_Tolvana_CurrentMonth(benchmark::State &s)
{
    runOnFreshContext(s, [](ZTDocumentManager &d, ManagedObject *) { return d.documentsIssuedInYear(2026, 12).size(); });
}
void BM_Tolvana_YearsMap(benchmark::State &s)
{
    runOnFreshContext(s, [](ZTDocumentManager &d, ManagedObject *) { return d.yearsWithIssuedDocuments().size(); });
}
void BM_Tolvana_CustomerDocuments(benchmark::State &s)
{
    runOnFreshContext(s, [](ZTDocumentManager &d, ManagedObject *c) {
        return d.documentsForCustomer(dynamic_cast<ZTCustomer *>(c)).size();
    });
}

// --- the same queries in plain SQL, reading every column of the rows as the store does

struct Sql
{
    sqlite3 *db = nullptr;
    Sql()
    {
        generateStore();
        reopen();
    }
    ~Sql() { sqlite3_close(db); }
    // A fresh connection with an empty page cache, as the store has after opening.
    void reopen()
    {
        if (db)
            sqlite3_close(db);
        sqlite3_open_v2(storePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    }
    // Runs the statement and reads every column of every row; returns the row count.
    long long run(const char *sql, std::initializer_list<long long> bindings)
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        int i = 1;
        for (long long b : bindings)
            sqlite3_bind_int64(st, i++, b);
        long long rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            ++rows;
        }
        sqlite3_finalize(st);
        return rows;
    }
};

long long ms(const QDateTime &d)
{
    return d.toMSecsSinceEpoch();
}

void BM_Sql_OpenStore(benchmark::State &state)
{
    generateStore();
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(storePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; SELECT * FROM sqlite_master;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}
void BM_Sql_OverdueCount(benchmark::State &state)
{
    Sql sql;
    for (auto _ : state) {
        state.PauseTiming();
        sql.reopen();
        state.ResumeTiming();
        sql.run("SELECT COUNT(*) FROM Document WHERE _entity = 'Document' AND status = 'ISSUED' AND dueDate < ?",
                {ms(startOfDay(benchNow()))});
    }
}
void BM_Sql_CurrentMonth(benchmark::State &state)
{
    Sql sql;
    for (auto _ : state) {
        state.PauseTiming();
        sql.reopen();
        state.ResumeTiming();
        sql.run("SELECT * FROM Document WHERE _entity = 'Document' AND issueDate >= ? AND issueDate < ? "
                "AND status <> 'DRAFT' ORDER BY issueDate",
                {ms(dateWithYear(2026, 12, 1)), ms(dateWithYear(2027, 1, 1))});
    }
}
void BM_Sql_YearsMap(benchmark::State &state)
{
    Sql sql;
    for (auto _ : state) {
        state.PauseTiming();
        sql.reopen();
        state.ResumeTiming();
        sql.run("SELECT DISTINCT strftime('%Y-%m', issueDate / 1000, 'unixepoch', 'localtime') FROM Document "
                "WHERE _entity = 'Document' AND status <> 'DRAFT'",
                {});
    }
}
void BM_Sql_CustomerDocuments(benchmark::State &state)
{
    Sql sql;
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(sql.db, "SELECT _pk FROM Person WHERE _entity = 'Customer' AND name = 'Klient 7 Sp. z o.o.'", -1,
                       &st, nullptr);
    sqlite3_step(st);
    const long long customer = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    for (auto _ : state) {
        state.PauseTiming();
        sql.reopen();
        state.ResumeTiming();
        sql.run("SELECT * FROM Document WHERE _entity = 'Document' AND purchaser_id IN "
                "(SELECT _pk FROM Person WHERE _entity = 'Purchaser' AND baseCustomer_id = ?)",
                {customer});
    }
}

} // namespace

BENCHMARK(BM_OpenAndStartQueries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tolvana_OpenStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sql_OpenStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tolvana_OverdueCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sql_OverdueCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tolvana_CurrentMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sql_CurrentMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tolvana_YearsMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sql_YearsMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tolvana_CustomerDocuments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sql_CustomerDocuments)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    prepareProcessEnvironment();
    QCoreApplication app(argc, argv);
    // The benchmark never touches the user's own settings.
    qputenv("TOLVANA_CONFIG_DIR", (QDir::tempPath() + QStringLiteral("/tolvana-bench-config")).toUtf8());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
