// Issuing 10 000 invoices in a row, each the way the form issues one: a new draft with its
// proposed number, a purchaser and a line, the issue checks, the number taken from the
// sequencer, the purchaser and the line kept in the registers, then the save. Afterwards the
// numbers must run 1..10 000 with no gap and no duplicate.
#include "app/ZTFactoryDefaults.h"
#include "model/ZTDocument.h"
#include "model/ZTDocumentItem.h"
#include "model/ZTPurchaser.h"
#include "model/ZTSeller.h"
#include "model/ZTStoreModel.h"
#include "model/ZTVatRateWithDescription.h"
#include "numbering/ZTDocumentSmartSequencer.h"

#include "platform/Clock.h"
#include "platform/ManagedObjectContext.h"
#include "platform/ProcessSetup.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QSet>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kDocuments = 10000;

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "IssueBench: %s\n", what.toUtf8().constData());
    std::exit(1);
}

ZTDocument *validDraft(ManagedObjectContext &context, int n)
{
    ZTDocument *document = ZTDocument::newDraftOfKind(context, ZTDocument::kKindInvoice);
    document->setIssuedIn(QStringLiteral("Gdańsk"));
    document->setPaymentType(QStringLiteral("Przelew"));
    document->setCurrency(QStringLiteral("PLN"));
    ZTSeller *seller = document->seller();
    seller->setName(QStringLiteral("Tolvana sp. z o.o."));
    seller->setAddress(QStringLiteral("ul. Długa 1\n80-001 Gdańsk"));
    seller->setNip(QStringLiteral("5260250274"));
    seller->setIssuesIn(QStringLiteral("Gdańsk"));
    ZTPurchaser *purchaser = document->purchaser();
    // A few hundred customers, as in a real register.
    purchaser->setName(QStringLiteral("Klient %1 sp. z o.o.").arg(n % 300));
    purchaser->setAddress(QStringLiteral("ul. Polna %1\n00-950 Warszawa").arg(n % 300 + 1));
    purchaser->setNip(QStringLiteral("1234563218"));
    ZTDocumentItem *line = document->addNewDocumentItem();
    line->setName(QStringLiteral("Usługa %1").arg(n % 50));
    line->setQuantity(Decimal(2));
    line->setVatRateWithDescription(ZTVatRateWithDescription::fromText(QStringLiteral("23%")));
    line->setNetPriceWithGrossBaseMarker({Decimal::fromParts(12345, 2), true});
    document->recalculateAllItems();
    return document;
}

void BM_Issue10000InARow(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        Error error;
        std::unique_ptr<ManagedObjectContext> context =
            ManagedObjectContext::open(dir.filePath(QStringLiteral("Tolvana.store")), ztStoreModel(), {}, error);
        if (!context)
            fail(error.localizedDescription());
        ZTDocumentSmartSequencer::createInitialSequencers(*context);
        if (!context->save(error))
            fail(error.localizedDescription());
        state.ResumeTiming();

        for (int n = 0; n < kDocuments; ++n) {
            ZTDocument *document = validDraft(*context, n);
            if (!document->issueDocument(error))
                fail(error.messages().join(QStringLiteral("; ")));
            if (!context->save(error))
                fail(error.messages().join(QStringLiteral("; ")));
        }

        state.PauseTiming();
        QSet<QString> numbers;
        for (const ZTDocument *document : context->fetchAs<ZTDocument>(FetchRequest(QStringLiteral("Document"))))
            numbers.insert(document->documentID());
        for (int n = 1; n <= kDocuments; ++n) {
            if (!numbers.contains(QString::number(n)))
                fail(QStringLiteral("number %1 is missing").arg(n));
        }
        if (numbers.size() != kDocuments)
            fail(QStringLiteral("%1 distinct numbers for %2 documents").arg(numbers.size()).arg(kDocuments));
        context.reset();
        state.ResumeTiming();
    }
    state.counters[QStringLiteral("issues_per_second").toStdString()] =
        benchmark::Counter(double(kDocuments) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Issue10000InARow)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

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
