// Recalculating a document of 100 lines: every line's values from its prices, then the VAT
// summary and totals once; and the cost of one edited line, which recomputes that line and the
// whole summary. Both directions, mixed rates with and without labels.
#include "app/ZTFactoryDefaults.h"
#include "model/ZTDocument.h"
#include "model/ZTDocumentItem.h"
#include "model/ZTStoreModel.h"

#include "platform/ManagedObjectContext.h"
#include "platform/ProcessSetup.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

namespace {

constexpr int kLines = 100;

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<ManagedObjectContext> context;
    ZTDocument *document = nullptr;
};

Fixture &fixture(bool grossBased)
{
    static Fixture net;
    static Fixture gross;
    Fixture &f = grossBased ? gross : net;
    if (f.context)
        return f;
    Error error;
    f.context = ManagedObjectContext::open(f.dir.filePath(QStringLiteral("Tolvana.sqlite")), ztStoreModel(), {}, error);
    if (!f.context) {
        std::fprintf(stderr, "cannot open store: %s\n", qPrintable(error.localizedDescription()));
        std::abort();
    }
    f.document = f.context->insertNewObject<ZTDocument>(QStringLiteral("Document"));
    f.document->setDocumentKind(1);
    const char *rates[] = {"23%", "8%", "5%", "0%", "zw", "23% budowlana"};
    std::mt19937 random(11);
    for (int i = 0; i < kLines; ++i) {
        ZTDocumentItem *line = f.document->addNewDocumentItem();
        line->setVatRateWithDescriptionString(QString::fromUtf8(rates[random() % 6]));
        line->setQuantity(Decimal::fromParts(1 + random() % 99999, 3));
        line->setDiscount(Decimal::fromParts(random() % 300, 3));
        const Decimal price = Decimal::fromParts(1 + random() % 100000000, 2);
        if (grossBased)
            line->setGrossPriceWithGrossBaseMarker({price, true});
        else
            line->setNetPriceWithGrossBaseMarker({price, true});
    }
    return f;
}

void BM_RecalculateAllLines(benchmark::State &state)
{
    Fixture &f = fixture(state.range(0) == 1);
    for (auto _ : state) {
        f.document->recalculateAllItems();
        benchmark::DoNotOptimize(f.document->totalGrossValue());
    }
    state.SetLabel(state.range(0) == 1 ? "gross-based" : "net-based");
}
BENCHMARK(BM_RecalculateAllLines)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_EditOneLine(benchmark::State &state)
{
    Fixture &f = fixture(false);
    ZTDocumentItem *line = f.document->availableItems().value(kLines / 2);
    int step = 0;
    for (auto _ : state) {
        line->setQuantity(Decimal(1 + (++step % 7)));
        benchmark::DoNotOptimize(f.document->totalGrossValue());
    }
}
BENCHMARK(BM_EditOneLine)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    prepareProcessEnvironment();
    QCoreApplication app(argc, argv);
    static QTemporaryDir configDir;
    SettingsStore::useConfigDirectory(configDir.path());
    registerFactoryDefaults(SettingsStore::standard());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
