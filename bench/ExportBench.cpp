// PDF export of 100 issued invoices (12 lines each, one page) into a folder in one run of
// `tolvana-cli export pdf`, against the same 100 merged HTML files laid out by weasyprint and by
// wkhtmltopdf, one process per file as those programs are used. Targets: at least 30 documents
// per second for Tolvana, at least 15 times weasyprint's rate and 8 times wkhtmltopdf's.
//
// The company and its invoices are made once, through the CLI, in a temporary folder; the
// merged HTML comes from `tolvana-cli document html`. TOLVANA_BENCH_DOCS changes the count.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>

namespace {

QString g_cli;
std::map<std::string, double> g_rates;

int documentCount()
{
    const int n = qEnvironmentVariableIntValue("TOLVANA_BENCH_DOCS");
    return n > 0 ? n : 100;
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString &program, const QStringList &args, int timeoutMs = 600000)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(timeoutMs);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

// A company with the invoices issued, and their merged HTML; made on first use.
class Fixture
{
public:
    static Fixture &instance()
    {
        static Fixture fixture;
        return fixture;
    }

    bool ok = false;
    QTemporaryDir dir;
    QStringList htmlFiles;

    Run cli(const QStringList &args) const
    {
        return run(g_cli, QStringList{QStringLiteral("--data-dir"), dir.filePath(QStringLiteral("data")),
                                      QStringLiteral("--config-dir"), dir.filePath(QStringLiteral("config"))} +
                              args);
    }

private:
    Fixture()
    {
        if (cli({QStringLiteral("company"), QStringLiteral("add"), QStringLiteral("5260250274")}).exitCode != 0)
            return;
        const QJsonArray sellers =
            QJsonDocument::fromJson(cli({QStringLiteral("seller"), QStringLiteral("list")}).out).array();
        const QString seller = dir.filePath(QStringLiteral("seller.json"));
        write(seller, R"({"name": "Moja Firma sp. z o.o.", "address": "ul. Krótka 3\n31-001 Kraków",
                          "issuesIn": "Kraków", "nip": "5260250274"})");
        cli({QStringLiteral("seller"), QStringLiteral("set"), sellers.at(0)[QStringLiteral("ref")].toString(),
             QStringLiteral("--json"), seller});

        QJsonArray items;
        for (int line = 1; line <= 12; ++line)
            items.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("Usługa serwisowa nr %1").arg(line)},
                                     {QStringLiteral("quantity"), QString::number(line)},
                                     {QStringLiteral("netPrice"), QStringLiteral("%1.25").arg(10 * line)},
                                     {QStringLiteral("vatRate"), line % 3 ? QStringLiteral("23%") : QStringLiteral("8%")},
                                     {QStringLiteral("unitName"), QStringLiteral("szt.")}});
        const QJsonObject invoice{{QStringLiteral("kind"), 1},
                                  {QStringLiteral("issueDate"), QStringLiteral("2024-05-10")},
                                  {QStringLiteral("sellDate"), QStringLiteral("2024-05-10")},
                                  {QStringLiteral("currency"), QStringLiteral("PLN")},
                                  {QStringLiteral("paymentType"), QStringLiteral("Przelew")},
                                  {QStringLiteral("purchaser"),
                                   QJsonObject{{QStringLiteral("name"), QStringLiteral("ACME sp. z o.o.")},
                                               {QStringLiteral("nip"), QStringLiteral("1234563218")},
                                               {QStringLiteral("address"), QStringLiteral("ul. Długa 1, 80-001 Gdańsk")}}},
                                  {QStringLiteral("items"), items}};
        const QString json = dir.filePath(QStringLiteral("invoice.json"));
        write(json, QJsonDocument(invoice).toJson());
        const QDir html(dir.filePath(QStringLiteral("html")));
        QDir().mkpath(html.path());
        for (int i = 0; i < documentCount(); ++i) {
            const Run created = cli({QStringLiteral("document"), QStringLiteral("create"), QStringLiteral("--json"), json});
            const QString ref = QJsonDocument::fromJson(created.out).object()[QStringLiteral("ref")].toString();
            const Run issued = cli({QStringLiteral("document"), QStringLiteral("issue"), ref});
            if (issued.exitCode != 0) {
                std::fprintf(stderr, "issue failed: %s\n", issued.out.constData());
                return;
            }
            const QString path = html.filePath(QStringLiteral("%1.html").arg(i));
            if (cli({QStringLiteral("document"), QStringLiteral("html"), ref, QStringLiteral("--version"),
                     QStringLiteral("original"), QStringLiteral("-o"), path})
                    .exitCode != 0)
                return;
            htmlFiles << path;
        }
        ok = true;
    }

    static void write(const QString &path, const QByteArray &data)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(data);
    }
};

void report(benchmark::State &state, const char *name, int documents, double seconds)
{
    const double rate = seconds > 0 ? documents / seconds : 0;
    g_rates[name] = rate;
    state.counters["documents"] = documents;
    state.counters["documents_per_second"] = rate;
}

void BM_TolvanaExport(benchmark::State &state)
{
    Fixture &fixture = Fixture::instance();
    if (!fixture.ok) {
        state.SkipWithError("the invoices could not be made");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        const QString folder = fixture.dir.filePath(QStringLiteral("export%1").arg(++round));
        QElapsedTimer timer;
        timer.start();
        const Run exported = fixture.cli({QStringLiteral("export"), QStringLiteral("pdf"), QStringLiteral("--folder"),
                                          folder, QStringLiteral("--year"), QStringLiteral("2024")});
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        const int written = static_cast<int>(QDir(folder).entryList({QStringLiteral("*.pdf")}).size());
        if (exported.exitCode != 0 || written != documentCount()) {
            state.SkipWithError("export failed");
            return;
        }
        report(state, "tolvana", written, seconds);
    }
}

// One process per file, as the tool is used from a script.
void htmlToPdf(benchmark::State &state, const char *name, const QString &program, const QStringList &options)
{
    Fixture &fixture = Fixture::instance();
    if (!fixture.ok || QStandardPaths::findExecutable(program).isEmpty()) {
        state.SkipWithError("not available");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        const QDir folder(fixture.dir.filePath(QStringLiteral("%1-%2").arg(QString::fromLatin1(name)).arg(++round)));
        QDir().mkpath(folder.path());
        QElapsedTimer timer;
        timer.start();
        int written = 0;
        for (const QString &html : std::as_const(fixture.htmlFiles)) {
            const QString pdf = folder.filePath(QFileInfo(html).completeBaseName() + QStringLiteral(".pdf"));
            if (run(program, options + QStringList{html, pdf}).exitCode == 0)
                ++written;
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        report(state, name, written, seconds);
    }
}

void BM_Weasyprint(benchmark::State &state)
{
    htmlToPdf(state, "weasyprint", QStringLiteral("weasyprint"), {QStringLiteral("-q")});
}

void BM_Wkhtmltopdf(benchmark::State &state)
{
    htmlToPdf(state, "wkhtmltopdf", QStringLiteral("wkhtmltopdf"),
              {QStringLiteral("-q"), QStringLiteral("--enable-local-file-access"), QStringLiteral("-s"), QStringLiteral("A4")});
}

BENCHMARK(BM_TolvanaExport)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_Weasyprint)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_Wkhtmltopdf)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    // The CLI beside this program's build folder, unless named.
    g_cli = qEnvironmentVariable("TOLVANA_CLI");
    if (g_cli.isEmpty())
        g_cli = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteDir().filePath(QStringLiteral("../src/tolvana-cli"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double tolvana = g_rates["tolvana"];
    std::printf("\nTolvana %.1f documents/s (target 30)", tolvana);
    for (const auto &[name, target] : {std::pair<std::string, double>{"weasyprint", 15}, {"wkhtmltopdf", 8}}) {
        const double rate = g_rates[name];
        if (rate > 0)
            std::printf("; %s %.2f documents/s, Tolvana %.1f times as fast (target %.0f)", name.c_str(), rate,
                        tolvana / rate, target);
    }
    std::printf("\n");
    return 0;
}
