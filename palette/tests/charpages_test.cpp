#include <gtest/gtest.h>

#include "core/textcodec.h"
#include "palette/charpages.h"

using namespace kelva::palette;

namespace {
std::wstring charOf(std::uint16_t code) {
    const char b[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    return kelva::decodeLenient(kelva::Codec::Cp949, std::string_view(b, 2));
}
}  // namespace

TEST(CharPages, PageZeroRunsAndBlanks) {
    EXPECT_EQ(pickedCode(0, 1), 0xA1A1);
    EXPECT_EQ(pickedCode(0, 94), 0xA1FE);
    EXPECT_EQ(cellChar(0, 95), L"");
    EXPECT_EQ(pickedCode(0, 96), 0xA2A1);
    EXPECT_EQ(cellChar(0, 96), charOf(0xA2A1));
    EXPECT_FALSE(cellChar(0, 96).empty());
    EXPECT_EQ(pickedCode(0, 164), 0xA2E5);
    for (int cell = 165; cell <= 190; ++cell) EXPECT_EQ(cellChar(0, cell), L"") << cell;
    EXPECT_EQ(cellChar(0, 0), L"");
    EXPECT_EQ(cellChar(0, -3), L"");
}

TEST(CharPages, PageThreeStartsItsSecondRunAtA9A2AndHasUnassignedCells) {
    EXPECT_EQ(pickedCode(3, 96), 0xA9A2);
    EXPECT_EQ(cellChar(3, 96), charOf(0xA9A2));
    for (int cell : {5, 7, 16}) {
        EXPECT_NE(pickedCode(3, cell), 0) << cell;  // a code exists...
        EXPECT_EQ(cellChar(3, cell), L"") << cell;  // ...but has no character
    }
    EXPECT_EQ(cellChar(3, 1), L"\x00C6");  // AE ligature
    EXPECT_EQ(cellChar(3, 17), L"\x3260");  // A8B1: circled Hangul kiyeok
}

TEST(CharPages, PageFiveBands) {
    EXPECT_EQ(pickedCode(5, 10), 0xA5AA);
    EXPECT_EQ(pickedCode(5, 11), 0xA5B0);
    EXPECT_EQ(cellChar(5, 10), charOf(0xA5AA));
    EXPECT_EQ(cellChar(5, 11), charOf(0xA5B0));
    EXPECT_EQ(cellChar(5, 1), L"\x2170");   // small roman numeral one
    EXPECT_EQ(cellChar(5, 11), L"\x2160");  // capital roman numeral one
    EXPECT_EQ(pickedCode(5, 21), 0xA5BA);   // picked from an unassigned code...
    for (int cell = 21; cell <= 38; ++cell) EXPECT_EQ(cellChar(5, cell), L"") << cell;  // ...so blank
    EXPECT_EQ(cellChar(5, 39), L"\x0391");  // Greek capital Alpha
    EXPECT_EQ(cellChar(5, 77), L"\x03B1");  // Greek small alpha
    EXPECT_EQ(cellChar(5, 115), L"\x0410"); // Cyrillic capital A
    EXPECT_EQ(cellChar(5, 147), L"\x042F"); // Cyrillic capital Ya, the band's 33rd
    EXPECT_EQ(cellChar(5, 148), L"");
    EXPECT_EQ(cellChar(5, 153), L"\x0430");
    EXPECT_EQ(cellChar(5, 185), L"\x044F");
    EXPECT_EQ(cellChar(5, 190), L"");
    EXPECT_EQ(cellChar(5, 191), L"");
}

// Every cell, on every page: what is drawn and what is picked are the same text, and every code that
// is drawn converts to exactly one character or to nothing.
TEST(CharPages, DrawnAndPickedAgreeOnAllCells) {
    int nonBlank = 0;
    for (int page = 0; page < kPageCount; ++page) {
        for (int cell = 1; cell <= kCellCount; ++cell) {
            const std::wstring drawn = codeText(drawnCode(page, cell));
            const std::wstring picked = cellChar(page, cell);
            EXPECT_EQ(drawn, picked) << "page " << page << " cell " << cell;
            EXPECT_LE(picked.size(), 1u) << "page " << page << " cell " << cell;
            if (!picked.empty()) ++nonBlank;
        }
    }
    // Codes placed: pages 0-4 hold 163+187+147+187+169 codes, page 5 holds 20+24+24+33+33;
    // A8A5, A8A7, A8B0 and the other unassigned codes of row A8/A9 drop out.
    EXPECT_GT(nonBlank, 900);
    EXPECT_LT(nonBlank, 987);
}
