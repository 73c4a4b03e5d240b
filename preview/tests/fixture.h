#pragma once
// Writes drawing files with an image section, laid out as drawings carry them: the section address
// at 0x0D, at that address 16 bytes of sentinel, 4 of section size, the entry count, 9-byte
// directory entries (code, start, size) and the entries' data. Used by the native and Wine tests,
// the seed corpus of the fuzz target and the benchmark.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <span>
#include <vector>

#include "preview/dwgpreview.h"

namespace kelva::preview::fixture {

using Bytes = std::vector<std::uint8_t>;

struct Bgr {
    std::uint8_t b = 0, g = 0, r = 0, reserved = 0;
};

// A bitmap entry (information header, colour table, rows), with every field of the header
// settable so that tests can write the awkward ones.
struct Bitmap {
    std::int32_t width = 4;
    std::int32_t height = 3;           // negative: rows stored top-down
    std::uint16_t bitsPerPixel = 8;
    std::uint16_t planes = 1;
    std::uint32_t headerSize = 40;
    std::uint32_t compression = 0;
    std::optional<std::uint32_t> sizeImage;  // default: stride x rows
    std::uint32_t colorsUsed = 256;
    std::vector<Bgr> palette;           // written as 256 entries (8-bit) or not at all (deeper)
    // Pixel value at (x, y), y counted from the top row; for 8 bits a palette index, for 24 and
    // 32 bits 0x00RRGGBB.
    std::function<std::uint32_t(int x, int y)> pixel = [](int x, int y) { return static_cast<std::uint32_t>(x + 16 * y); };
    std::size_t rowsToWrite = SIZE_MAX;  // fewer rows than the header announces: a cut entry
};

// A palette where entry i is (i, i, i) except entry 0 black, 1 white, 2 red, 3 blue, 4 dark grey.
std::vector<Bgr> testPalette();

// Stride of a row in bytes, padded to 4.
std::size_t strideOf(std::int32_t width, int bitsPerPixel);

Bytes bitmapEntry(const Bitmap& bitmap);

struct Entry {
    std::uint8_t code = 2;
    Bytes data;
    std::optional<std::int32_t> start;  // override the entry's start (past the end, negative, ...)
    std::optional<std::uint32_t> size;  // override the entry's size (PNG entries are read by it)
};

struct Drawing {
    std::vector<Entry> entries;
    std::optional<std::uint8_t> count;        // override the entry count byte
    std::optional<std::int32_t> sectionAddress;  // override the address kept at 0x0D
    std::size_t fillerBeforeSection = 0x40;   // bytes of file between the header and the section
    std::size_t fillerAfter = 0;              // bytes of file after the section (sparse for big files)
};

Bytes drawingFile(const Drawing& drawing);

// Offset of the image section in a file drawingFile wrote (what 0x0D holds unless overridden).
std::size_t sectionOffset(const Drawing& drawing);

// A PNG image (8-bit RGB, no filtering, stored deflate blocks) of `rgb(x, y)` = 0x00RRGGBB.
Bytes pngImage(int width, int height, const std::function<std::uint32_t(int x, int y)>& rgb);

// Decodes exactly the kind of PNG pngImage writes (checking chunk bounds, CRCs and block
// lengths) and nothing else: the stand-in for the platform's decoder in the native tests and
// the fuzz target. Images above 2^20 pixels are refused.
std::optional<DecodedImage> decodeStoredPng(std::span<const std::uint8_t> png);

// Named sample files covering the layouts the reader meets: the seed corpus of the fuzz target
// and the inputs of the truncation test.
struct Sample {
    std::string name;
    Bytes bytes;
};
std::vector<Sample> samples();

}  // namespace kelva::preview::fixture
