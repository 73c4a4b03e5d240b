#include <gtest/gtest.h>

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
    Bitmap deep;
    deep.bitsPerPixel = 24;
    EXPECT_EQ(picture(parse(drawingFile({{{2, bitmapEntry({})}, {2, bitmapEntry(wide)}}}))).width, 9);
    // A later entry that cannot be shown leaves the earlier picture.
    EXPECT_EQ(picture(parse(drawingFile({{{2, bitmapEntry(wide)}, {2, bitmapEntry(deep)}, {7, Bytes(5, 0)}}}))).width, 9);
    EXPECT_TRUE(std::holds_alternative<NoPicture>(parse(drawingFile({{{1, kHeaderEntry}, {2, bitmapEntry(deep)}}}))));
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
    for (const Sample& s : samples()) {
        const PreviewResult whole = parse(s.bytes);
        for (std::size_t len = 0; len <= s.bytes.size(); ++len) {
            const Bytes cut(s.bytes.begin(), s.bytes.begin() + static_cast<std::ptrdiff_t>(len));
            const PreviewResult r = parse(cut);
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
        const PreviewResult r = parse(s.bytes);
        pictures += std::holds_alternative<Dib>(r);
        nothing += std::holds_alternative<NoPicture>(r);
        errors += std::holds_alternative<ReadError>(r);
    }
    EXPECT_GE(pictures, 5);
    EXPECT_GE(nothing, 2);
    EXPECT_GE(errors, 2);
}
