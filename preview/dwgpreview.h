#pragma once
// Reads the preview image a drawing file carries in its image section. Portable: it works on any
// bounded random-access byte source and reads only the bytes it needs (section address, directory,
// bitmap header, colour table, pixel rows), so the size of the drawing does not matter.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace kelva::preview {

// Random access to the bytes of one file, bounded by its length.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills `out` from `offset`. The reader has checked offset + out.size() <= size(); a source
    // that still fails (an I/O error, a file cut short meanwhile) throws VbError.
    virtual void read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

// A source over bytes already in memory (tests, the fuzz target).
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    void read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::span<const std::uint8_t> bytes_;
};

// Counts what a reader takes from another source.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(ByteSource& inner) : inner_(inner) {}
    std::uint64_t size() const override { return inner_.size(); }
    void read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        inner_.read(offset, out);
        bytesRead_ += out.size();
        ++reads_;
    }
    std::uint64_t bytesRead() const { return bytesRead_; }
    std::uint64_t reads() const { return reads_; }

private:
    ByteSource& inner_;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t reads_ = 0;
};

// Directory codes of the image section.
inline constexpr std::uint8_t kCodeBitmap = 2;
inline constexpr std::uint8_t kCodePng = 6;  // drawings saved by newer releases carry only this

// No preview image is this large; an entry claiming more is refused before anything is read.
inline constexpr std::uint32_t kMaxPngBytes = 64u << 20;

// Previews are thumbnails; anything wider or taller than this is not one, and is refused before
// any buffer is sized from it.
inline constexpr std::int32_t kMaxPreviewDimension = 4096;

inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::size_t kPaletteEntries = 256;
inline constexpr std::size_t kPaletteSize = kPaletteEntries * 4;

// A device-independent bitmap ready for GDI: `info` is a BITMAPINFO laid out byte for byte
// (40-byte header, then the colour table), `bits` the rows bottom-up, each padded to 4 bytes.
// The header is always normalised: size 40, one plane, uncompressed, positive width and height,
// image size = stride x height, and either 8 bits with 256 colours (8-bit previews) or 32 bits
// without a colour table (deeper bitmaps and PNG previews). Pure black and pure white of the
// preview have traded places in both.
struct Dib {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 8;
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;

    std::size_t stride() const { return rowStride(width, bitsPerPixel); }
    static std::size_t rowStride(std::int32_t width, std::uint16_t bitsPerPixel) {
        return ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4;
    }
    // Colour-table entry i as stored (blue, green, red, reserved).
    std::span<const std::uint8_t, 4> paletteEntry(std::size_t i) const {
        return std::span<const std::uint8_t, 4>(info.data() + kInfoHeaderSize + 4 * i, 4);
    }
    // Palette index (8-bit) of pixel (x, y), y counted from the top row.
    std::uint8_t indexAt(std::int32_t x, std::int32_t y) const {
        return bits[static_cast<std::size_t>(height - 1 - y) * stride() + static_cast<std::size_t>(x)];
    }
    // Colour 0x00RRGGBB of pixel (x, y) of a 32-bit bitmap, y counted from the top row.
    std::uint32_t rgbAt(std::int32_t x, std::int32_t y) const {
        const std::uint8_t* p = bits.data() + static_cast<std::size_t>(height - 1 - y) * stride() + 4 * static_cast<std::size_t>(x);
        return (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    }
    bool operator==(const Dib&) const = default;
};

struct NoPicture {
    bool operator==(const NoPicture&) const = default;
};
// A run-time error number (file errors, reads past the end, bad positions).
struct ReadError {
    std::int32_t number = 0;
    bool operator==(const ReadError&) const = default;
};

using PreviewResult = std::variant<NoPicture, Dib, ReadError>;

// A decoded PNG: rows top-down, 4 bytes per pixel (blue, green, red, unused).
struct DecodedImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bgrx;
};
// Decodes the bytes of a PNG entry; nothing when they do not decode. The platform supplies it
// (the imaging component on Windows); without one, PNG entries are not shown.
using PngDecoder = std::function<std::optional<DecodedImage>(std::span<const std::uint8_t> png)>;

// The preview of the drawing behind `source`: the last entry of the image directory that can be
// shown (8-, 24- and 32-bit uncompressed bitmaps, and PNG images when a decoder is given), "no
// picture" when the directory holds fewer than two entries or nothing showable, or the error
// number of the first read that fails (every offset and size read from the file is checked
// against its length before it is used; a PNG that does not decode is an invalid picture).
PreviewResult readPreview(ByteSource& source, const PngDecoder& decodePng = {});

}  // namespace kelva::preview
