#include "preview/tests/fixture.h"

#include <algorithm>
#include <cstring>

namespace kelva::preview::fixture {

namespace {
void put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
constexpr std::size_t kHeaderBytes = 0x11;  // version text, padding, the section address at 0x0D
}  // namespace

std::vector<Bgr> testPalette() {
    std::vector<Bgr> p(256);
    for (int i = 0; i < 256; ++i) p[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0};
    p[0] = {0, 0, 0, 0};
    p[1] = {255, 255, 255, 7};  // a reserved byte that must survive
    p[2] = {0, 0, 255, 0};
    p[3] = {255, 0, 0, 0};
    p[4] = {64, 64, 64, 0};
    p[255] = {250, 251, 252, 0};
    return p;
}

std::size_t strideOf(std::int32_t width, int bitsPerPixel) {
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32) * 4;
}

Bytes bitmapEntry(const Bitmap& bm) {
    Bytes b;
    const std::size_t rows = static_cast<std::size_t>(bm.height < 0 ? -static_cast<std::int64_t>(bm.height) : bm.height);
    const std::size_t stride = strideOf(bm.width, bm.bitsPerPixel);
    put32(b, bm.headerSize);
    put32(b, static_cast<std::uint32_t>(bm.width));
    put32(b, static_cast<std::uint32_t>(bm.height));
    put16(b, bm.planes);
    put16(b, bm.bitsPerPixel);
    put32(b, bm.compression);
    put32(b, bm.sizeImage.value_or(static_cast<std::uint32_t>(stride * rows)));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, bm.colorsUsed);
    put32(b, 0);
    while (b.size() < bm.headerSize) b.push_back(0);  // the rest of a larger header
    if (bm.bitsPerPixel <= 8) {
        const auto palette = bm.palette.empty() ? testPalette() : bm.palette;
        for (std::size_t i = 0; i < 256; ++i) {
            const Bgr c = i < palette.size() ? palette[i] : Bgr{};
            b.insert(b.end(), {c.b, c.g, c.r, c.reserved});
        }
    }
    // Nonsense widths get no rows: the header alone is the test.
    const std::size_t written = bm.width > 0 ? std::min(rows, bm.rowsToWrite) : 0;
    for (std::size_t stored = 0; stored < written; ++stored) {
        // Bottom-up files store the bottom row first.
        const int y = bm.height < 0 ? static_cast<int>(stored) : static_cast<int>(rows - 1 - stored);
        Bytes row;
        for (int x = 0; x < bm.width; ++x) {
            const std::uint32_t v = bm.pixel(x, y);
            switch (bm.bitsPerPixel) {
            case 8: row.push_back(static_cast<std::uint8_t>(v)); break;
            case 24: row.insert(row.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16)}); break;
            case 32: row.insert(row.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16), 0}); break;
            default: row.push_back(static_cast<std::uint8_t>(v)); break;
            }
        }
        row.resize(stride, 0xCD);  // padding bytes are never shown
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

std::size_t sectionOffset(const Drawing& d) { return kHeaderBytes + d.fillerBeforeSection; }

Bytes drawingFile(const Drawing& d) {
    const char version[] = "AC1015";
    Bytes f(version, version + 6);
    f.resize(kHeaderBytes, 0);
    f.resize(kHeaderBytes + d.fillerBeforeSection, 0x20);
    const std::size_t section = f.size();
    set32(f, 0x0D, static_cast<std::uint32_t>(d.sectionAddress.value_or(static_cast<std::int32_t>(section))));

    static const std::uint8_t sentinel[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                              0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
    f.insert(f.end(), sentinel, sentinel + 16);
    const std::size_t sizeAt = f.size();
    put32(f, 0);
    f.push_back(d.count.value_or(static_cast<std::uint8_t>(d.entries.size())));
    const std::size_t directory = f.size();
    f.resize(directory + 9 * d.entries.size(), 0);
    for (std::size_t i = 0; i < d.entries.size(); ++i) {
        const Entry& e = d.entries[i];
        const std::size_t at = directory + 9 * i;
        f[at] = e.code;
        set32(f, at + 1, static_cast<std::uint32_t>(e.start.value_or(static_cast<std::int32_t>(f.size()))));
        set32(f, at + 5, static_cast<std::uint32_t>(e.data.size()));
        f.insert(f.end(), e.data.begin(), e.data.end());
    }
    set32(f, sizeAt, static_cast<std::uint32_t>(f.size() - sizeAt - 4));
    f.resize(f.size() + d.fillerAfter, 0);
    return f;
}

std::vector<Sample> samples() {
    const Bytes header(80, 0x11);
    const Bytes wmf(120, 0x22);
    Bitmap odd;
    odd.width = 13;
    odd.height = 7;
    Bitmap topDown;
    topDown.height = -5;
    Bitmap zeroSize;
    zeroSize.sizeImage = 0;
    Bitmap deep24;
    deep24.bitsPerPixel = 24;
    deep24.pixel = [](int x, int y) { return static_cast<std::uint32_t>(0x102030 * (x + 1) + y); };
    Bitmap deep32 = deep24;
    deep32.bitsPerPixel = 32;
    Bitmap rle;
    rle.compression = 1;

    std::vector<Sample> s;
    s.push_back({"single", drawingFile({{{1, header}, {2, bitmapEntry({})}}})});
    s.push_back({"header_bitmap_wmf", drawingFile({{{1, header}, {2, bitmapEntry(odd)}, {3, wmf}}})});
    s.push_back({"two_bitmaps", drawingFile({{{2, bitmapEntry({})}, {2, bitmapEntry(odd)}}})});
    s.push_back({"top_down", drawingFile({{{1, header}, {2, bitmapEntry(topDown)}}})});
    s.push_back({"size_image_zero", drawingFile({{{1, header}, {2, bitmapEntry(zeroSize)}}})});
    s.push_back({"deep_bitmaps", drawingFile({{{2, bitmapEntry(deep24)}, {2, bitmapEntry(deep32)}}})});
    s.push_back({"compressed", drawingFile({{{1, header}, {2, bitmapEntry(rle)}}})});
    s.push_back({"one_entry", drawingFile({{{2, bitmapEntry({})}}})});
    Drawing past;
    past.entries = {{1, header}, {2, bitmapEntry({}), 0x7FFFFFF0}};
    s.push_back({"entry_past_end", drawingFile(past)});
    const std::string text = "This is not a drawing, only a short text file.\r\n";
    s.push_back({"not_a_drawing", Bytes(text.begin(), text.end())});
    return s;
}

}  // namespace kelva::preview::fixture
