// How fast a real value is stored into a 16-bit counter: ordinary values,
// exact halves (rounded to even) and values far out of range (saturated).
#include "game/numbers.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<double> ordinary() {
    std::vector<double> v;
    for (int i = 0; i < 1024; ++i)
        v.push_back(i * 0.37 - 190.0);
    return v;
}

std::vector<double> halves() {
    std::vector<double> v;
    for (int i = -512; i < 512; ++i)
        v.push_back(i + 0.5);
    return v;
}

std::vector<double> outofrange() {
    std::vector<double> v;
    for (int i = 0; i < 1024; ++i)
        v.push_back((i % 2 ? 1.0 : -1.0) * (40000.0 + i * 1e3));
    v[0] = std::numeric_limits<double>::infinity();
    v[1] = std::numeric_limits<double>::quiet_NaN();
    return v;
}

void run(benchmark::State& state, const std::vector<double>& values) {
    for (auto _ : state)
        for (double x : values)
            benchmark::DoNotOptimize(ordnix::store16(x));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}

void BM_store16_ordinary(benchmark::State& state) {
    run(state, ordinary());
}
void BM_store16_halves(benchmark::State& state) {
    run(state, halves());
}
void BM_store16_outofrange(benchmark::State& state) {
    run(state, outofrange());
}

} // namespace

BENCHMARK(BM_store16_ordinary);
BENCHMARK(BM_store16_halves);
BENCHMARK(BM_store16_outofrange);

BENCHMARK_MAIN();
