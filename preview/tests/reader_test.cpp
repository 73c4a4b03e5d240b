#include <gtest/gtest.h>

#include <functional>

#include "core/errors.h"
#include "preview/dwgpreview.h"
#include "preview/tests/fixture.h"

using namespace kelva::preview;
using namespace kelva::preview::fixture;

namespace {

PreviewResult parse(const Bytes& file) {
    MemorySource src(file);
    return readPreview(src);
}

const Dib& picture(const PreviewResult& r) {
    static const Dib none;
    if (auto* d = std::get_if<Dib>(&r)) return *d;
    ADD_FAILURE() << "expected a picture, got " << (std::holds_alternative<NoPicture>(r) ? "no picture" : "an error");
    return none;
}

std::int32_t errorOf(const PreviewResult& r) {
    if (auto* e = std::get_if<ReadError>(&r)) return e->number;
    return 0;
}

std::uint32_t u32at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void expectNormalisedHeader(const Dib& d) {
    ASSERT_EQ(d.info.size(), kInfoHeaderSize + kPaletteSize);
    EXPECT_EQ(u32at(d.info, 0), 40u);
    EXPECT_EQ(static_cast<std::int32_t>(u32at(d.info, 4)), d.width);
    EXPECT_EQ(static_cast<std::int32_t>(u32at(d.info, 8)), d.height);
    EXPECT_GT(d.height, 0);
    EXPECT_EQ(d.info[12] | (d.info[13] << 8), 1);
    EXPECT_EQ(d.info[14] | (d.info[15] << 8), 8);
    EXPECT_EQ(u32at(d.info, 16), 0u);
    EXPECT_EQ(u32at(d.info, 20), d.stride() * static_cast<std::size_t>(d.height));
    EXPECT_EQ(u32at(d.info, 32), 256u);
    EXPECT_EQ(d.bits.size(), d.stride() * static_cast<std::size_t>(d.height));
}

const Bytes kHeaderEntry(80, 0x11);

}  // namespace

TEST(PreviewReader, ShowsTheBitmapOfAHeaderBitmapAndMetafileDirectory) {
    const auto r = parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry({})}, {3, Bytes(50, 3)}}}));
    const Dib& d = picture(r);
    EXPECT_EQ(d.width, 4);
    EXPECT_EQ(d.height, 3);
    expectNormalisedHeader(d);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(d.indexAt(x, y), x + 16 * y) << x << "," << y;
}

TEST(PreviewReader, SwapsPureBlackAndPureWhiteOnlyAndKeepsReservedBytes) {
    const Dib d = picture(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry({})}}})));
    ASSERT_EQ(d.info.size(), kInfoHeaderSize + kPaletteSize);
    auto entry = [&](int i) { auto e = d.paletteEntry(i); return std::array<int, 4>{e[0], e[1], e[2], e[3]}; };
    EXPECT_EQ(entry(0), (std::array<int, 4>{255, 255, 255, 0}));  // black shown white
    EXPECT_EQ(entry(1), (std::array<int, 4>{0, 0, 0, 7}));        // white shown black, reserved kept
    EXPECT_EQ(entry(2), (std::array<int, 4>{0, 0, 255, 0}));
    EXPECT_EQ(entry(3), (std::array<int, 4>{255, 0, 0, 0}));
    EXPECT_EQ(entry(4), (std::array<int, 4>{64, 64, 64, 0}));
    EXPECT_EQ(entry(255), (std::array<int, 4>{250, 251, 252, 0}));
}

TEST(PreviewReader, FewerThanTwoEntriesIsNoPicture) {
    EXPECT_TRUE(std::holds_alternative<NoPicture>(parse(drawingFile({{{2, bitmapEntry({})}}}))));
    EXPECT_TRUE(std::holds_alternative<NoPicture>(parse(drawingFile({}))));
    // The count byte rules, even when the directory behind it would hold a bitmap.
    Drawing d{{{1, kHeaderEntry}, {2, bitmapEntry({})}}, 1};
    EXPECT_TRUE(std::holds_alternative<NoPicture>(parse(drawingFile(d))));
}

TEST(PreviewReader, TheLastShowableBitmapWinsAndOtherDepthsGiveNoPicture) {
    Bitmap wide;
    wide.width = 9;
    Bitmap sixteen;
    sixteen.bitsPerPixel = 16;
    Bitmap four;
    four.bitsPerPixel = 4;
    EXPECT_EQ(picture(parse(drawingFile({{{2, bitmapEntry({})}, {2, bitmapEntry(wide)}}}))).width, 9);
    // A later entry that cannot be shown leaves the earlier picture.
    EXPECT_EQ(picture(parse(drawingFile({{{2, bitmapEntry(wide)}, {2, bitmapEntry(sixteen)}, {7, Bytes(5, 0)}}}))).width, 9);
    EXPECT_TRUE(std::holds_alternative<NoPicture>(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(sixteen)}}}))));
    EXPECT_TRUE(std::holds_alternative<NoPicture>(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(four)}}}))));
}

TEST(PreviewReader, OddWidthsArePaddedRowsAndPaddingIsNotShown) {
    for (int width : {1, 2, 3, 5, 13, 255}) {
        Bitmap b;
        b.width = width;
        b.height = 4;
        b.pixel = [](int x, int y) { return static_cast<std::uint32_t>((x * 7 + y) & 0xFF); };
        const Dib d = picture(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(b)}}})));
        ASSERT_EQ(d.width, width);
        EXPECT_EQ(d.stride() % 4, 0u);
        EXPECT_EQ(d.stride(), strideOf(width, 8));
        expectNormalisedHeader(d);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < width; ++x) ASSERT_EQ(d.indexAt(x, y), (x * 7 + y) & 0xFF) << width << ":" << x << "," << y;
    }
}

TEST(PreviewReader, ImageSizeFieldIsNotTrusted) {
    for (std::uint32_t sizeImage : {0u, 1u, 11u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Bitmap b;
        b.width = 5;
        b.sizeImage = sizeImage;
        const Dib d = picture(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(b)}}})));
        EXPECT_EQ(d.width, 5) << sizeImage;
        EXPECT_EQ(d.bits.size(), 8u * 3) << sizeImage;
        expectNormalisedHeader(d);
        EXPECT_EQ(d.indexAt(4, 2), 4 + 32);
    }
}

TEST(PreviewReader, TopDownRowsAreTurnedOverIntoANormalisedBottomUpBitmap) {
    Bitmap b;
    b.height = -5;
    const Dib d = picture(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(b)}}})));
    EXPECT_EQ(d.height, 5);
    expectNormalisedHeader(d);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(d.indexAt(x, y), x + 16 * y);
}

TEST(PreviewReader, HeadersGdiMustNotSeeAreRejectedNotPassedThrough) {
    auto shows = [](Bitmap b) {
        return std::holds_alternative<Dib>(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(b)}}})));
    };
    Bitmap b;
    EXPECT_TRUE(shows(b));
    b = {};
    b.compression = 1;  // run-length encoded
    EXPECT_FALSE(shows(b));
    b = {};
    b.colorsUsed = 257;
    EXPECT_FALSE(shows(b));
    b = {};
    b.headerSize = 108;
    EXPECT_FALSE(shows(b));
    b = {};
    b.headerSize = 12;
    EXPECT_FALSE(shows(b));
    b = {};
    b.width = 0;
    EXPECT_FALSE(shows(b));
    b = {};
    b.width = -4;
    EXPECT_FALSE(shows(b));
    b = {};
    b.height = 0;
    EXPECT_FALSE(shows(b));
    // A few used colours still means the full table of 256 stands before the rows.
    b = {};
    b.colorsUsed = 16;
    EXPECT_TRUE(shows(b));
    b = {};
    b.planes = 3;
    EXPECT_TRUE(shows(b));
}

TEST(PreviewReader, DimensionsAreCappedBeforeAnythingIsSized) {
    for (auto [w, h] : {std::pair{kMaxPreviewDimension + 1, 1}, std::pair{1, kMaxPreviewDimension + 1},
                        std::pair{1, -kMaxPreviewDimension - 1}, std::pair{0x7FFFFFFF, 0x7FFFFFFF},
                        std::pair{1, static_cast<std::int32_t>(0x80000000u)}}) {
        Bitmap b;
        b.width = w;
        b.height = h;
        b.rowsToWrite = 0;
        const Bytes file = drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(b)}}});
        MemorySource src(file);
        CountingSource counted(src);
        EXPECT_TRUE(std::holds_alternative<NoPicture>(readPreview(counted))) << w << "x" << h;
        EXPECT_LT(counted.bytesRead(), 100u);
    }
    Bitmap largest;
    largest.width = kMaxPreviewDimension;
    largest.height = 2;
    EXPECT_EQ(picture(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(largest)}}}))).width, kMaxPreviewDimension);
}

TEST(PreviewReader, OffsetsOutsideTheFileAreReadErrorsNotSeeks) {
    using kelva::err::BadRecordNumber;
    using kelva::err::InputPastEnd;
    const Bytes bm = bitmapEntry({});
    EXPECT_EQ(errorOf(parse(drawingFile({{{1, kHeaderEntry}, {2, bm, 0x7FFFFFF0}}}))), InputPastEnd);
    EXPECT_EQ(errorOf(parse(drawingFile({{{1, kHeaderEntry}, {2, bm, -8}}}))), BadRecordNumber);
    EXPECT_EQ(errorOf(parse(drawingFile({{{1, kHeaderEntry}, {2, bm, static_cast<std::int32_t>(0x80000000u)}}}))), BadRecordNumber);
    Drawing d{{{1, kHeaderEntry}, {2, bm}}};
    d.sectionAddress = -21;
    EXPECT_EQ(errorOf(parse(drawingFile(d))), BadRecordNumber);
    d.sectionAddress = 0x7FFFFFFF;
    EXPECT_EQ(errorOf(parse(drawingFile(d))), InputPastEnd);
    // A count larger than the directory the file holds runs past the end.
    Drawing many{{{1, kHeaderEntry}, {2, bm}}, 255};
    many.entries[1].data.clear();
    EXPECT_EQ(errorOf(parse(drawingFile(many))), InputPastEnd);
    // Rows cut short: the entry announces more than the file holds.
    Bitmap cut;
    cut.rowsToWrite = 2;
    EXPECT_EQ(errorOf(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(cut)}}}))), InputPastEnd);
    // An entry whose start lies inside the file but whose header does not fit.
    const Bytes whole = drawingFile({{{1, kHeaderEntry}, {2, bm}}});
    Drawing late{{{1, kHeaderEntry}, {2, bm, static_cast<std::int32_t>(whole.size() - 10)}}};
    EXPECT_EQ(errorOf(parse(drawingFile(late))), InputPastEnd);
}

TEST(PreviewReader, AFileThatIsNotADrawingGivesAReadErrorOrNothing) {
    EXPECT_EQ(errorOf(parse(Bytes{})), kelva::err::InputPastEnd);
    EXPECT_EQ(errorOf(parse(Bytes(0x10, 'x'))), kelva::err::InputPastEnd);
    const std::string text = "This is not a drawing, only a short text file.\r\n";
    const auto r = parse(Bytes(text.begin(), text.end()));
    EXPECT_FALSE(std::holds_alternative<Dib>(r));
    EXPECT_NE(errorOf(r), 0);
}

TEST(PreviewReader, ReadsOnlyWhatItNeedsWhateverTheFileSize) {
    Bitmap b;
    b.width = 13;
    b.height = 7;
    const std::uint64_t expected = 4 + 1 + 3 * 9 + 40 + 1024 + strideOf(13, 8) * 7;
    for (std::size_t filler : {std::size_t{0}, std::size_t{1} << 20}) {
        Drawing d{{{1, kHeaderEntry}, {2, bitmapEntry(b)}, {3, Bytes(500, 1)}}};
        d.fillerBeforeSection = filler;
        d.fillerAfter = filler;
        const Bytes file = drawingFile(d);
        MemorySource src(file);
        CountingSource counted(src);
        EXPECT_TRUE(std::holds_alternative<Dib>(readPreview(counted)));
        EXPECT_EQ(counted.bytesRead(), expected) << file.size();
    }
}

// Every prefix of every sample is parsed without a read outside it (the sanitizers watch), and a
// prefix yields a picture only when it is the very picture of the whole file.
TEST(PreviewReader, EveryTruncationOfEverySampleIsSafe) {
    const auto parseWithPng = [](const Bytes& file) {
        MemorySource src(file);
        return readPreview(src, decodeStoredPng);
    };
    for (const Sample& s : samples()) {
        const PreviewResult whole = parseWithPng(s.bytes);
        for (std::size_t len = 0; len <= s.bytes.size(); ++len) {
            const Bytes cut(s.bytes.begin(), s.bytes.begin() + static_cast<std::ptrdiff_t>(len));
            const PreviewResult r = parseWithPng(cut);
            if (const Dib* d = std::get_if<Dib>(&r)) {
                ASSERT_TRUE(std::holds_alternative<Dib>(whole)) << s.name << " at " << len;
                ASSERT_EQ(*d, std::get<Dib>(whole)) << s.name << " at " << len;
            }
        }
    }
}

TEST(PreviewReader, SamplesCoverEachOutcome) {
    int pictures = 0, nothing = 0, errors = 0;
    for (const Sample& s : samples()) {
        MemorySource src(s.bytes);
        const PreviewResult r = readPreview(src, decodeStoredPng);
        pictures += std::holds_alternative<Dib>(r);
        nothing += std::holds_alternative<NoPicture>(r);
        errors += std::holds_alternative<ReadError>(r);
    }
    EXPECT_GE(pictures, 5);
    EXPECT_GE(nothing, 2);
    EXPECT_GE(errors, 2);
}

// ---- deeper bitmaps and PNG previews -------------------------------------------------------------------------------
namespace {
std::uint32_t deepPixel(int x, int y) {
    if (y == 0) return 0x000000;  // black, shown white
    if (y == 1) return 0xFFFFFF;  // white, shown black
    return 0x102030u * static_cast<std::uint32_t>(x + 1) + static_cast<std::uint32_t>(y);
}
std::uint32_t shown(std::uint32_t rgb) { return rgb == 0 ? 0xFFFFFF : rgb == 0xFFFFFF ? 0 : rgb; }

void expectDirectColour(const Dib& d, int width, int height, const std::function<std::uint32_t(int, int)>& rgb) {
    ASSERT_EQ(d.bitsPerPixel, 32);
    ASSERT_EQ(d.width, width);
    ASSERT_EQ(d.height, height);
    ASSERT_EQ(d.info.size(), kInfoHeaderSize);
    EXPECT_EQ(u32at(d.info, 0), 40u);
    EXPECT_EQ(d.info[14], 32);
    EXPECT_EQ(u32at(d.info, 16), 0u);
    EXPECT_EQ(static_cast<std::int32_t>(u32at(d.info, 8)), height);
    EXPECT_EQ(u32at(d.info, 20), d.bits.size());
    ASSERT_EQ(d.bits.size(), static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) ASSERT_EQ(d.rgbAt(x, y), shown(rgb(x, y))) << x << "," << y;
}
}  // namespace

TEST(PreviewReader, TwentyFourAndThirtyTwoBitBitmapsAreShownWithBlackAndWhiteSwapped) {
    for (std::uint16_t bpp : {std::uint16_t{24}, std::uint16_t{32}}) {
        for (std::int32_t height : {5, -5}) {
            Bitmap b;
            b.bitsPerPixel = bpp;
            b.width = 7;  // odd: 24-bit rows are padded
            b.height = height;
            b.colorsUsed = 0;
            b.pixel = deepPixel;
            const Dib d = picture(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(b)}}})));
            expectDirectColour(d, 7, 5, deepPixel);
        }
    }
}

TEST(PreviewReader, DeepBitmapWithAColourTableFindsItsRowsAfterIt) {
    Bitmap b;
    b.bitsPerPixel = 24;
    b.width = 3;
    b.height = 2;
    b.colorsUsed = 0;
    b.pixel = deepPixel;
    Bytes entry = bitmapEntry(b);
    // Announce two colour-table entries and put them between header and rows.
    entry[32] = 2;
    entry.insert(entry.begin() + 40, 8, 0xEE);
    expectDirectColour(picture(parse(drawingFile({{{1, kHeaderEntry}, {2, entry}}}))), 3, 2, deepPixel);
}

TEST(PreviewReader, PngEntriesAreDecodedAndTheLastShowableEntryWins) {
    const auto rgb = [](int x, int y) -> std::uint32_t { return y == 0 ? 0 : x == 0 ? 0xFFFFFF : 0x3366CC; };
    const Bytes png = pngImage(6, 4, rgb);
    const Bytes drawing = drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry({})}, {6, png}}});
    MemorySource src(drawing);
    const PreviewResult r = readPreview(src, decodeStoredPng);
    expectDirectColour(picture(r), 6, 4, rgb);
    // Without a decoder the PNG is not shown and the bitmap before it stands.
    EXPECT_EQ(picture(parse(drawing)).bitsPerPixel, 8);
    // A bitmap after the PNG wins.
    const Bytes later = drawingFile({{{6, png}, {2, bitmapEntry({})}}});
    MemorySource laterSrc(later);
    EXPECT_EQ(picture(readPreview(laterSrc, decodeStoredPng)).bitsPerPixel, 8);
}

TEST(PreviewReader, PngEntriesAreCheckedBeforeTheyAreDecoded) {
    using kelva::err::InputPastEnd;
    using kelva::err::InvalidPicture;
    const Bytes png = pngImage(6, 4, [](int, int) { return 0x808080u; });
    int decodes = 0;
    const PngDecoder counting = [&](std::span<const std::uint8_t> bytes) {
        ++decodes;
        return decodeStoredPng(bytes);
    };
    auto run = [&](const Bytes& file) {
        MemorySource src(file);
        return readPreview(src, counting);
    };
    // Declared size running past the end of the file: a read error, nothing decoded or allocated.
    EXPECT_EQ(errorOf(run(drawingFile({{{1, kHeaderEntry}, {6, png, std::nullopt, 0x7FFFFFF0u}}}))), InputPastEnd);
    EXPECT_EQ(errorOf(run(drawingFile({{{1, kHeaderEntry}, {6, png, std::nullopt, static_cast<std::uint32_t>(png.size() + 1)}}}))), InputPastEnd);
    EXPECT_EQ(errorOf(run(drawingFile({{{1, kHeaderEntry}, {6, png, -4}}}))), kelva::err::BadRecordNumber);
    EXPECT_EQ(decodes, 0);
    // Not a PNG at all, or too short to be one.
    EXPECT_EQ(errorOf(run(drawingFile({{{1, kHeaderEntry}, {6, Bytes(100, 0x89)}}}))), InvalidPicture);
    EXPECT_EQ(errorOf(run(drawingFile({{{1, kHeaderEntry}, {6, Bytes(png.begin(), png.begin() + 20)}}}))), InvalidPicture);
    EXPECT_EQ(decodes, 0);
    // A header over the dimension cap is not decoded: no picture from that entry.
    Bytes huge = png;
    huge[16] = 0x7F;
    EXPECT_TRUE(std::holds_alternative<NoPicture>(run(drawingFile({{{1, kHeaderEntry}, {6, huge}}}))));
    EXPECT_EQ(decodes, 0);
    // A corrupt PNG that fails to decode is an invalid picture, never a crash.
    Bytes corrupt = png;
    corrupt[45] ^= 0x20;
    EXPECT_EQ(errorOf(run(drawingFile({{{1, kHeaderEntry}, {6, corrupt}}}))), InvalidPicture);
    EXPECT_EQ(decodes, 1);
    // A decoder whose result does not match the header is not trusted.
    const PngDecoder liar = [](std::span<const std::uint8_t>) { return std::optional<DecodedImage>(DecodedImage{5, 4, Bytes(80, 0)}); };
    const Bytes good = drawingFile({{{1, kHeaderEntry}, {6, png}}});
    MemorySource src(good);
    EXPECT_EQ(errorOf(readPreview(src, liar)), InvalidPicture);
}
