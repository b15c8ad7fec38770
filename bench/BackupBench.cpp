// Backup and verify of one company whose store holds 100 000 documents, against a verified copy
// done with the system's tools: `cp -a` of the data folder plus `sha1sum` of the store on both
// sides. Both do one copy and two full digests. Target: Tolvana within 1.5 times the tools.
//
// The store is the one StoreQueriesBench generates ($TMPDIR/tolvana-bench-100k/Tolvana.store);
// run that benchmark once first.
#include "app/ZTAppController.h"
#include "backup/ZTBackupBundle.h"
#include "platform/Clock.h"
#include "platform/ProcessSetup.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {

const QString kNip = QStringLiteral("1111111111");

QString sourceStore()
{
    return QDir::tempPath() + QStringLiteral("/tolvana-bench-100k/Tolvana.store");
}

struct Setup
{
    QTemporaryDir dir;
    QString companyFolder;
    QString outFolder;
    bool ok = false;
};

Setup &setup()
{
    static Setup s = [] {
        Setup r;
        r.companyFolder = r.dir.filePath(QStringLiteral("data/") + kNip);
        r.outFolder = r.dir.filePath(QStringLiteral("out"));
        QDir().mkpath(r.companyFolder);
        QDir().mkpath(r.outFolder);
        r.ok = QFile::exists(sourceStore()) &&
               QFile::copy(sourceStore(), r.companyFolder + QStringLiteral("/Tolvana.store"));
        qputenv("TOLVANA_DATA_DIR", r.dir.filePath(QStringLiteral("data")).toUtf8());
        qputenv("TOLVANA_CONFIG_DIR", r.dir.filePath(QStringLiteral("config")).toUtf8());
        return r;
    }();
    return s;
}

void BM_Tolvana_BackupAndVerify(benchmark::State &state)
{
    Setup &s = setup();
    if (!s.ok) {
        state.SkipWithError("no 100k store: run StoreQueriesBench first");
        return;
    }
    ZTAppController app;
    qint64 second = 0;
    for (auto _ : state) {
        // A new second for every bundle, so names never collide.
        Clock::setFixedNow(QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addSecs(++second));
        ZTBackupBundle bundle(app, s.outFolder, kNip);
        Error error;
        if (!bundle.performBackup(error)) {
            state.SkipWithError(qPrintable(error.localizedDescription()));
            return;
        }
        ZTBackupBundle reader(app, bundle.fullBundlePath());
        if (!reader.bundleConsistent()) {
            state.SkipWithError("bundle not consistent");
            return;
        }
        state.PauseTiming();
        QDir(bundle.fullBundlePath()).removeRecursively();
        state.ResumeTiming();
    }
    Clock::reset();
}

void BM_CpAndSha1sum(benchmark::State &state)
{
    Setup &s = setup();
    if (!s.ok) {
        state.SkipWithError("no 100k store: run StoreQueriesBench first");
        return;
    }
    const QString target = s.outFolder + QStringLiteral("/cp-copy");
    for (auto _ : state) {
        QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), s.companyFolder, target});
        QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"),
                                                 QStringLiteral("sha1sum \"$0\" \"$1\" > /dev/null"),
                                                 s.companyFolder + QStringLiteral("/Tolvana.store"),
                                                 target + QStringLiteral("/Tolvana.store")});
        state.PauseTiming();
        QDir(target).removeRecursively();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_Tolvana_BackupAndVerify)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CpAndSha1sum)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    prepareProcessEnvironment();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
