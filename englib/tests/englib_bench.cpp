#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "englib/biff2.h"
#include "englib/calculator.h"

using namespace kelva::eng;

// One million numeric cells: a worksheet has 256 columns, so 4000 rows of 250.
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

// 39 tokens (an expression always has an odd count, so the nearest to 40): 16 operands, one of them a
// function, 15 operators and two bracket pairs.
static void EvaluatorFortyTokens(benchmark::State& state) {
    const std::wstring expr = L"(1+2)*3-4/5+6^2-7*8+9-10/2+11*12-Sin30*(14-2)+5";
    for (auto _ : state) benchmark::DoNotOptimize(calculate(expr));
    state.counters["evaluations/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(EvaluatorFortyTokens);
