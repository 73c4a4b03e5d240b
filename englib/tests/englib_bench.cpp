#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "englib/biff2.h"
#include "englib/calculator.h"

using namespace kelva::eng;

// One million numeric cells, 1000 rows of 1000... BIFF2 has 256 columns, so 4000 rows of 250.
static void Biff2MillionNumbers(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "kelva-bench-cells.xls";
    const auto attrs = biff2::cellAttributes(0, 0, 2, 0);
    for (auto _ : state) {
        ExcelFile f;
        f.createFile(path);
        for (long r = 1; r <= 4000; ++r)
            for (long c = 1; c <= 250; ++c) f.writeNumber(r, c, attrs, static_cast<double>(r) * 0.5 + c);
        f.closeFile();
    }
    state.counters["cells/s"] = benchmark::Counter(1e6 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::remove(path);
}
BENCHMARK(Biff2MillionNumbers)->Unit(benchmark::kMillisecond)->UseRealTime();

// 40 tokens: 20 operands (numbers, two bracket groups, a function) and 20 operators.
static void EvaluatorFortyTokens(benchmark::State& state) {
    const std::wstring expr = L"1+2*3-4/5+6^2-7*8+9-10/2+11*12-13+14/7-15+16*2-17+18/3-19+Sin30*2+21";
    for (auto _ : state) benchmark::DoNotOptimize(calculate(expr));
    state.counters["evaluations/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(EvaluatorFortyTokens);
