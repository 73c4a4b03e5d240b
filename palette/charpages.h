#pragma once
// The six pages of KS X 1001 characters: 19 x 10 cells each, cells numbered 1..190 row by row.
#include <array>
#include <cstdint>
#include <string>

namespace kelva::palette {

inline constexpr int kPageCount = 6;
inline constexpr int kColumns = 19;
inline constexpr int kRows = 10;
inline constexpr int kCellCount = kColumns * kRows;
inline constexpr int kSecondRunFirstCell = 96;  // the first cell of row 5

struct PageRuns {
    std::uint16_t start1, count1, start2, count2;
};

// Pages 0..4 are two runs of codes; page 5 is laid out in bands and its runs are not used for layout.
inline constexpr std::array<PageRuns, kPageCount> kPageRuns{{
    {0xA1A1, 94, 0xA2A1, 69},
    {0xA3A1, 93, 0xA4A1, 94},
    {0xA6A1, 68, 0xA7A1, 79},
    {0xA8A1, 94, 0xA9A2, 93},
    {0xAAA1, 83, 0xABA1, 86},
    {0xA5A1, 68, 0xACA1, 66},
}};

extern const std::array<const wchar_t*, kPageCount> kTabCaptions;

// The code a cell stands for when it is picked (0: no code). Cell 21 of page 5 yields the unassigned
// code A5BA, which converts to nothing.
std::uint16_t pickedCode(int page, int cell);
// The code a cell is drawn with at start-up (0: drawn blank).
std::uint16_t drawnCode(int page, int cell);

// A code's character through code page 949; a code without a character ("?") is the empty text.
std::wstring codeText(std::uint16_t code);

// The character picked from a cell: what the palette inserts; empty for a blank cell.
std::wstring cellChar(int page, int cell);

}  // namespace kelva::palette
