// Decimal arithmetic against long double on the same inputs: what exactness costs.
#include "platform/Decimal.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

struct Inputs
{
    std::vector<Decimal> a, b;
    std::vector<long double> fa, fb;
};

// Amount-like values: up to 10^8 with 4 decimals, and rate- or quantity-like divisors.
const Inputs &inputs()
{
    static const Inputs in = [] {
        Inputs r;
        std::mt19937_64 rng(42);
        std::uniform_int_distribution<long long> amount(1, 1000000000000LL);
        std::uniform_int_distribution<long long> factor(1, 1000000);
        for (int i = 0; i < 4096; ++i) {
            const long long x = amount(rng), y = factor(rng);
            r.a.push_back(Decimal::fromParts(x, 4));
            r.b.push_back(Decimal::fromParts(y, 4));
            r.fa.push_back(static_cast<long double>(x) / 10000.0L);
            r.fb.push_back(static_cast<long double>(y) / 10000.0L);
        }
        return r;
    }();
    return in;
}

template <typename Op>
void runDecimal(benchmark::State &state, Op op)
{
    const Inputs &in = inputs();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(op(in.a[i], in.b[i]));
        i = (i + 1) & 4095;
    }
    state.SetItemsProcessed(state.iterations());
}

template <typename Op>
void runLongDouble(benchmark::State &state, Op op)
{
    const Inputs &in = inputs();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(op(in.fa[i], in.fb[i]));
        i = (i + 1) & 4095;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DecimalAdd(benchmark::State &s) { runDecimal(s, [](const Decimal &x, const Decimal &y) { return x + y; }); }
void BM_DecimalMultiply(benchmark::State &s) { runDecimal(s, [](const Decimal &x, const Decimal &y) { return x * y; }); }
void BM_DecimalDivide(benchmark::State &s) { runDecimal(s, [](const Decimal &x, const Decimal &y) { return x / y; }); }
void BM_LongDoubleAdd(benchmark::State &s) { runLongDouble(s, [](long double x, long double y) { return x + y; }); }
void BM_LongDoubleMultiply(benchmark::State &s) { runLongDouble(s, [](long double x, long double y) { return x * y; }); }
void BM_LongDoubleDivide(benchmark::State &s) { runLongDouble(s, [](long double x, long double y) { return x / y; }); }

// A VAT line as the documents compute it: net = price × quantity, vat = net × rate, gross.
void BM_DecimalVatLine(benchmark::State &state)
{
    const Inputs &in = inputs();
    const Decimal rate = Decimal::parse(QStringLiteral("0.23"));
    size_t i = 0;
    for (auto _ : state) {
        const Decimal net = in.a[i] * in.b[i];
        const Decimal vat = net * rate;
        benchmark::DoNotOptimize(net + vat);
        i = (i + 1) & 4095;
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_DecimalAdd);
BENCHMARK(BM_LongDoubleAdd);
BENCHMARK(BM_DecimalMultiply);
BENCHMARK(BM_LongDoubleMultiply);
BENCHMARK(BM_DecimalDivide);
BENCHMARK(BM_LongDoubleDivide);
BENCHMARK(BM_DecimalVatLine);

BENCHMARK_MAIN();
