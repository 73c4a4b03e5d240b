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
        set32(f, at + 5, e.size.value_or(static_cast<std::uint32_t>(e.data.size())));
        f.insert(f.end(), e.data.begin(), e.data.end());
    }
    set32(f, sizeAt, static_cast<std::uint32_t>(f.size() - sizeAt - 4));
    f.resize(f.size() + d.fillerAfter, 0);
    return f;
}

namespace {
std::uint32_t crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}
void putBig32(Bytes& b, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
std::uint32_t big32(std::span<const std::uint8_t> b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) | (static_cast<std::uint32_t>(b[at + 1]) << 16) |
           (static_cast<std::uint32_t>(b[at + 2]) << 8) | b[at + 3];
}
void chunk(Bytes& png, const char* type, const Bytes& data) {
    putBig32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t from = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBig32(png, crc32(png.data() + from, png.size() - from));
}
}  // namespace

Bytes pngImage(int width, int height, const std::function<std::uint32_t(int x, int y)>& rgb) {
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgb(x, y);
            raw.insert(raw.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)});
        }
    }
    Bytes z = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.insert(z.end(), {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                           static_cast<std::uint8_t>(~n), static_cast<std::uint8_t>(~n >> 8)});
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(z, (b << 16) | a);

    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    putBig32(ihdr, static_cast<std::uint32_t>(width));
    putBig32(ihdr, static_cast<std::uint32_t>(height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

std::optional<DecodedImage> decodeStoredPng(std::span<const std::uint8_t> png) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (png.size() < 8 || !std::equal(kSignature, kSignature + 8, png.begin())) return std::nullopt;
    std::uint32_t width = 0, height = 0;
    Bytes z;
    bool ended = false;
    for (std::size_t at = 8; !ended;) {
        if (png.size() - at < 12) return std::nullopt;
        const std::uint32_t length = big32(png, at);
        if (length > png.size() - at - 12) return std::nullopt;
        const auto type = png.subspan(at + 4, 4);
        const auto data = png.subspan(at + 8, length);
        if (crc32(type.data(), 4 + std::size_t{length}) != big32(png, at + 8 + length)) return std::nullopt;
        const std::string name(type.begin(), type.end());
        if (name == "IHDR") {
            if (length != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) return std::nullopt;
            width = big32(data, 0);
            height = big32(data, 4);
        } else if (name == "IDAT") {
            z.insert(z.end(), data.begin(), data.end());
        } else if (name == "IEND") {
            ended = true;
        }
        at += 12 + std::size_t{length};
    }
    if (width == 0 || height == 0 || std::uint64_t{width} * height > (1u << 20)) return std::nullopt;
    Bytes raw;
    std::size_t at = 2;
    if (z.size() < 2 || z[0] != 0x78) return std::nullopt;
    for (bool final = false; !final;) {
        if (z.size() - at < 5 || (z[at] & 0x06) != 0) return std::nullopt;  // stored blocks only
        final = (z[at] & 1) != 0;
        const std::size_t n = z[at + 1] | (z[at + 2] << 8);
        if (static_cast<std::size_t>((z[at + 3] | (z[at + 4] << 8)) ^ 0xFFFF) != n || n > z.size() - at - 5) return std::nullopt;
        raw.insert(raw.end(), z.begin() + static_cast<std::ptrdiff_t>(at + 5), z.begin() + static_cast<std::ptrdiff_t>(at + 5 + n));
        at += 5 + n;
    }
    const std::size_t rowBytes = 1 + 3 * std::size_t{width};
    if (raw.size() != rowBytes * height) return std::nullopt;
    DecodedImage image;
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    image.bgrx.reserve(std::size_t{width} * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = raw.data() + y * rowBytes;
        if (row[0] != 0) return std::nullopt;
        for (std::uint32_t x = 0; x < width; ++x)
            image.bgrx.insert(image.bgrx.end(), {row[1 + 3 * x + 2], row[1 + 3 * x + 1], row[1 + 3 * x], 0});
    }
    return image;
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
    const auto pngPixel = [](int x, int y) -> std::uint32_t { return y == 0 ? 0 : x == 0 ? 0xFFFFFF : 0x3366CC; };
    s.push_back({"png", drawingFile({{{1, header}, {2, bitmapEntry({})}, {6, pngImage(6, 4, pngPixel)}}})});
    Bytes corrupt = pngImage(6, 4, pngPixel);
    corrupt[40] ^= 0x55;
    s.push_back({"png_corrupt", drawingFile({{{1, header}, {6, corrupt}}})});
    const std::string text = "This is not a drawing, only a short text file.\r\n";
    s.push_back({"not_a_drawing", Bytes(text.begin(), text.end())});
    return s;
}

}  // namespace kelva::preview::fixture
