#include "preview/dwgpreview.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "core/errors.h"

namespace kelva::preview {

void MemorySource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) raise(err::InputPastEnd);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
}

namespace {

// Where the image section's address is kept in every drawing file.
constexpr std::int64_t kSectionAddressAt = 0x0D;
// Within the section: 16 bytes of sentinel and 4 of section size come before the entry count.
constexpr std::int64_t kEntryCountAt = 20;
constexpr std::int64_t kDirectoryAt = 21;
constexpr std::int64_t kEntrySize = 9;

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }
void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Reads ranges of the file after checking them against its length: a position before the start
// is a bad record number, anything reaching past the end is input past end of file. Nothing is
// sized or sought from an unchecked value.
class CheckedReader {
public:
    explicit CheckedReader(ByteSource& source) : source_(source), size_(source.size()) {}

    void read(std::int64_t offset, std::span<std::uint8_t> out) {
        check(offset, out.size());
        source_.read(static_cast<std::uint64_t>(offset), out);
    }
    std::vector<std::uint8_t> read(std::int64_t offset, std::uint64_t count) {
        check(offset, count);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
        source_.read(static_cast<std::uint64_t>(offset), bytes);
        return bytes;
    }
    template <std::size_t N>
    std::array<std::uint8_t, N> read(std::int64_t offset) {
        std::array<std::uint8_t, N> bytes{};
        read(offset, bytes);
        return bytes;
    }

    void check(std::int64_t offset, std::uint64_t count) const {
        if (offset < 0) raise(err::BadRecordNumber);
        const auto at = static_cast<std::uint64_t>(offset);
        if (at > size_ || count > size_ - at) raise(err::InputPastEnd);
    }

private:
    ByteSource& source_;
    std::uint64_t size_;
};

struct InfoHeader {
    std::uint32_t size;
    std::int32_t width;
    std::int32_t height;
    std::uint16_t planes;
    std::uint16_t bitsPerPixel;
    std::uint32_t compression;
    std::uint32_t sizeImage;
    std::uint32_t colorsUsed;

    static InfoHeader parse(const std::array<std::uint8_t, kInfoHeaderSize>& b) {
        return {u32(&b[0]), i32(&b[4]), i32(&b[8]), u16(&b[12]), u16(&b[14]), u32(&b[16]), u32(&b[20]), u32(&b[32])};
    }
};

// Whether a bitmap entry's header describes something GDI can be given after normalising.
// Anything else yields no picture from that entry, as an entry of an unknown depth does.
bool showable(const InfoHeader& h) {
    constexpr std::uint32_t kUncompressed = 0;
    if (h.size != kInfoHeaderSize || h.compression != kUncompressed) return false;
    if (h.bitsPerPixel != 8 && h.bitsPerPixel != 24 && h.bitsPerPixel != 32) return false;
    if (h.colorsUsed > kPaletteEntries) return false;
    if (h.width <= 0 || h.width > kMaxPreviewDimension) return false;
    if (h.height == 0 || h.height < -kMaxPreviewDimension || h.height > kMaxPreviewDimension) return false;
    return true;
}

// The control shows previews on its own background, so the pure black and pure white of the
// colour table trade places; other colours and the reserved bytes stay.
void swapBlackAndWhite(std::uint8_t* palette) {
    for (std::size_t i = 0; i < kPaletteEntries; ++i) {
        std::uint8_t* e = palette + 4 * i;
        const bool black = e[0] == 0 && e[1] == 0 && e[2] == 0;
        const bool white = e[0] == 0xFF && e[1] == 0xFF && e[2] == 0xFF;
        if (black) std::fill_n(e, 3, std::uint8_t{0xFF});
        if (white) std::fill_n(e, 3, std::uint8_t{0});
    }
}

std::vector<std::uint8_t> normalisedHeader(std::int32_t width, std::int32_t height, std::uint16_t bpp,
                                           std::size_t imageSize, std::size_t paletteBytes) {
    std::vector<std::uint8_t> info(kInfoHeaderSize + paletteBytes, 0);
    put32(&info[0], kInfoHeaderSize);
    put32(&info[4], static_cast<std::uint32_t>(width));
    put32(&info[8], static_cast<std::uint32_t>(height));
    put16(&info[12], 1);
    put16(&info[14], bpp);
    put32(&info[16], 0);
    put32(&info[20], static_cast<std::uint32_t>(imageSize));
    put32(&info[32], static_cast<std::uint32_t>(paletteBytes / 4));
    return info;
}

// Rows of a top-down bitmap are turned over, so GDI is only ever given a bottom-up one.
void makeBottomUp(std::vector<std::uint8_t>& bits, std::size_t stride, std::size_t rows) {
    for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(bits.begin() + static_cast<std::ptrdiff_t>(top * stride),
                         bits.begin() + static_cast<std::ptrdiff_t>((top + 1) * stride),
                         bits.begin() + static_cast<std::ptrdiff_t>(bottom * stride));
}

// An 8-bit entry at `start`: header, then always 256 colour-table entries, then the rows. The
// header's image size is not trusted: exactly stride x rows bytes are read, whatever it says.
Dib readBitmap8(CheckedReader& in, std::int64_t start, const InfoHeader& h) {
    const std::int64_t rows = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
    const std::size_t stride = Dib::rowStride(h.width, 8);
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(rows);

    Dib dib;
    dib.width = h.width;
    dib.height = static_cast<std::int32_t>(rows);
    dib.bitsPerPixel = 8;
    dib.info = normalisedHeader(dib.width, dib.height, 8, pixelBytes, kPaletteSize);
    in.read(start + static_cast<std::int64_t>(kInfoHeaderSize),
            std::span<std::uint8_t>(dib.info.data() + kInfoHeaderSize, kPaletteSize));
    dib.bits = in.read(start + static_cast<std::int64_t>(kInfoHeaderSize + kPaletteSize), pixelBytes);
    swapBlackAndWhite(dib.info.data() + kInfoHeaderSize);
    if (h.height < 0) makeBottomUp(dib.bits, stride, static_cast<std::size_t>(rows));
    return dib;
}

// The same black and white rule for direct colours: each pure black pixel becomes white and
// each pure white one black.
void swapBlackAndWhitePixel(std::uint8_t* bgrx) {
    const bool black = bgrx[0] == 0 && bgrx[1] == 0 && bgrx[2] == 0;
    const bool white = bgrx[0] == 0xFF && bgrx[1] == 0xFF && bgrx[2] == 0xFF;
    if (black) std::fill_n(bgrx, 3, std::uint8_t{0xFF});
    if (white) std::fill_n(bgrx, 3, std::uint8_t{0});
    bgrx[3] = 0;
}

// A 32-bit bottom-up bitmap from rows of `srcBpp` bits (24 or 32), `topDown` as stored.
Dib directColourDib(std::int32_t width, std::int32_t rows, std::uint16_t srcBpp, bool topDown,
                    std::span<const std::uint8_t> src, std::size_t srcStride) {
    Dib dib;
    dib.width = width;
    dib.height = rows;
    dib.bitsPerPixel = 32;
    const std::size_t stride = Dib::rowStride(width, 32);
    dib.bits.assign(stride * static_cast<std::size_t>(rows), 0);
    dib.info = normalisedHeader(width, rows, 32, dib.bits.size(), 0);
    const std::size_t step = srcBpp / 8;
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::size_t from = static_cast<std::size_t>(topDown ? rows - 1 - r : r) * srcStride;
        std::uint8_t* to = dib.bits.data() + static_cast<std::size_t>(r) * stride;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = src.data() + from + step * static_cast<std::size_t>(x);
            std::uint8_t* q = to + 4 * static_cast<std::size_t>(x);
            q[0] = p[0];
            q[1] = p[1];
            q[2] = p[2];
            swapBlackAndWhitePixel(q);
        }
    }
    return dib;
}

// A 24- or 32-bit entry: header, the colour table the header announces (none, usually), rows.
Dib readBitmapDeep(CheckedReader& in, std::int64_t start, const InfoHeader& h) {
    const std::int64_t rows = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
    const std::size_t srcStride = Dib::rowStride(h.width, h.bitsPerPixel);
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(srcStride) * static_cast<std::uint64_t>(rows);
    const std::int64_t pixelsAt = start + static_cast<std::int64_t>(kInfoHeaderSize) + 4 * static_cast<std::int64_t>(h.colorsUsed);
    const std::vector<std::uint8_t> src = in.read(pixelsAt, pixelBytes);
    return directColourDib(h.width, static_cast<std::int32_t>(rows), h.bitsPerPixel, h.height < 0, src, srcStride);
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

// A PNG entry: its size is checked against the file before anything is read, its signature and
// header before it is decoded, and the decoder's result against that header afterwards.
std::optional<Dib> readPng(CheckedReader& in, std::int64_t start, std::uint32_t size, const PngDecoder& decode) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    static constexpr std::uint8_t kHeaderChunk[8] = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    constexpr std::size_t kHeaderEnd = 24;  // signature, chunk length and type, width, height
    in.check(start, size);
    if (size > kMaxPngBytes || size < kHeaderEnd) raise(err::InvalidPicture);
    const std::vector<std::uint8_t> png = in.read(start, size);
    if (!std::equal(std::begin(kSignature), std::end(kSignature), png.begin()) ||
        !std::equal(std::begin(kHeaderChunk), std::end(kHeaderChunk), png.begin() + 8))
        raise(err::InvalidPicture);
    const std::uint32_t width = bigEndian32(&png[16]);
    const std::uint32_t height = bigEndian32(&png[20]);
    if (width == 0 || height == 0 || width > kMaxPreviewDimension || height > kMaxPreviewDimension) return std::nullopt;
    const std::optional<DecodedImage> image = decode(png);
    if (!image || image->width != static_cast<std::int32_t>(width) || image->height != static_cast<std::int32_t>(height) ||
        image->bgrx.size() != std::size_t{width} * height * 4)
        raise(err::InvalidPicture);
    return directColourDib(image->width, image->height, 32, true, image->bgrx, std::size_t{width} * 4);
}

}  // namespace

PreviewResult readPreview(ByteSource& source, const PngDecoder& decodePng) {
    try {
        CheckedReader in(source);
        const std::int64_t section = i32(in.read<4>(kSectionAddressAt).data());
        const int count = in.read<1>(section + kEntryCountAt)[0];
        if (count <= 1) return NoPicture{};

        std::optional<Dib> shown;
        for (int i = 0; i < count; ++i) {
            const auto entry = in.read<kEntrySize>(section + kDirectoryAt + kEntrySize * i);
            const std::int64_t start = i32(&entry[1]);
            if (entry[0] == kCodePng) {
                if (!decodePng) continue;
                if (auto dib = readPng(in, start, u32(&entry[5]), decodePng)) shown = std::move(dib);
                continue;
            }
            if (entry[0] != kCodeBitmap) continue;
            const InfoHeader header = InfoHeader::parse(in.read<kInfoHeaderSize>(start));
            if (!showable(header)) continue;
            if (header.bitsPerPixel == 8)
                shown = readBitmap8(in, start, header);
            else
                shown = readBitmapDeep(in, start, header);
        }
        if (shown) return std::move(*shown);
        return NoPicture{};
    } catch (const VbError& e) {
        return ReadError{e.number()};
    }
}

}  // namespace kelva::preview
