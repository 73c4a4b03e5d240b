// Time and bytes read per preview for a small and a very large drawing carrying the same preview:
// the reader seeks to what it needs, so both must read exactly the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "preview/dwgpreview.h"
#include "preview/filesource.h"
#include "preview/tests/fixture.h"

using namespace kelva::preview;

namespace {

// A 180 x 120 preview, the usual size of a drawing's thumbnail, behind a header entry and
// followed by a metafile entry.
fixture::Drawing drawingOfSize(std::size_t total) {
    fixture::Bitmap b;
    b.width = 180;
    b.height = 120;
    b.pixel = [](int x, int y) { return static_cast<std::uint32_t>((x ^ y) & 0xFF); };
    fixture::Drawing d{{{1, fixture::Bytes(80, 1)}, {2, fixture::bitmapEntry(b)}, {3, fixture::Bytes(2000, 3)}}};
    const std::size_t bare = fixture::drawingFile(d).size();
    // Most of a drawing lies before its image section; put the bulk there.
    d.fillerBeforeSection = total > bare ? total - bare : 0;
    return d;
}

std::filesystem::path writeDrawing(std::size_t total) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("kelva_bench_" + std::to_string(::getpid()) + "_" + std::to_string(total) + ".dwg");
    const fixture::Bytes bytes = fixture::drawingFile(drawingOfSize(total));
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void previewOfFile(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const auto path = writeDrawing(size);
    std::uint64_t bytesRead = 0, reads = 0;
    for (auto _ : state) {
        auto file = openFileSource(path);
        CountingSource counted(*file);
        PreviewResult r = readPreview(counted);
        if (!std::holds_alternative<Dib>(r)) state.SkipWithError("no picture");
        benchmark::DoNotOptimize(r);
        bytesRead = counted.bytesRead();
        reads = counted.reads();
    }
    // Section address, entry count, three directory entries, header, colour table, rows: the
    // same for every size of drawing.
    constexpr std::uint64_t kNeeded = 4 + 1 + 3 * 9 + 40 + 1024 + 180 * 120;
    if (bytesRead != kNeeded) state.SkipWithError("read more than the preview needs");
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    state.counters["bytes_read"] = static_cast<double>(bytesRead);
    state.counters["reads"] = static_cast<double>(reads);
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(previewOfFile)->Arg(100 * 1000)->Arg(100 * 1000 * 1000)->Unit(benchmark::kMicrosecond);
