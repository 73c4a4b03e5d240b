// The point and text sorts of the toolbox on cached keys: 10,000 texts scattered over a table.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "drawlib/pointsort.h"
#include "drawlib/sorts.h"

using namespace kelva::draw;

namespace {

std::vector<PlanePoint> tableTexts(std::size_t n) {
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> col(0, 99), row(0, 99);
    std::uniform_real_distribution<double> jitter(-0.2, 0.2);
    std::vector<PlanePoint> v(n);
    for (auto& p : v) p = {col(rng) * 10 + jitter(rng), row(rng) * 5 + jitter(rng)};
    return v;
}

void BM_SortTextTable(benchmark::State& state) {
    const auto keys = tableTexts(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(pointOrder(keys, PointRule::Table, 1.0));
}
BENCHMARK(BM_SortTextTable)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SortSelZ(benchmark::State& state) {
    const auto keys = tableTexts(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(pointOrder(keys, PointRule::ZOrder, 1.0));
}
BENCHMARK(BM_SortSelZ)->Arg(10000)->Unit(benchmark::kMillisecond);

// Texts on exact grid points with tolerance 0: every row ties, so the exchange loops run in full.
void BM_SortSelZ_Ties(benchmark::State& state) {
    auto keys = tableTexts(static_cast<std::size_t>(state.range(0)));
    for (auto& k : keys) k = {std::round(k.x), std::round(k.y)};
    for (auto _ : state) benchmark::DoNotOptimize(pointOrder(keys, PointRule::ZOrder, 0.0));
}
BENCHMARK(BM_SortSelZ_Ties)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AlphanumSort(benchmark::State& state) {
    std::vector<std::wstring> texts;
    std::mt19937 rng(2);
    for (int k = 0; k < state.range(0); ++k) texts.push_back(L"A" + std::to_wstring(rng() % 100000) + L"-" + std::to_wstring(k % 7));
    for (auto _ : state) benchmark::DoNotOptimize(alphanumOrder(texts));
}
BENCHMARK(BM_AlphanumSort)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SwapSort(benchmark::State& state) {
    std::vector<std::wstring> texts;
    std::mt19937 rng(3);
    for (int k = 0; k < state.range(0); ++k) texts.push_back((k % 2 ? L"a" : L"A") + std::to_wstring(rng() % 50000));
    for (auto _ : state) benchmark::DoNotOptimize(swapSortOrder(texts, true, 1));
}
BENCHMARK(BM_SwapSort)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
