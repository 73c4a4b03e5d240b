#include "charpages.h"

#include <string>

#include "core/textcodec.h"

namespace kelva::palette {

const std::array<const wchar_t*, kPageCount> kTabCaptions{
    L"기호", L"영문/한글자모", L"선/단위", L"원/괄호/기타", L"일어", L"그리스/러시아"};

namespace {
struct Band {
    int firstCell;        // 1, 39, 77, 115, 153
    std::uint16_t start;  // code of the band's first cell
    int count;            // cells of the band that hold a code
};
constexpr std::array<Band, 5> kBands{{
    {1, 0xA5A1, 20},  // Roman numerals, A5AB..A5AF skipped after the tenth
    {39, 0xA5C1, 24},
    {77, 0xA5E1, 24},
    {115, 0xACA1, 33},
    {153, 0xACD1, 33},
}};
constexpr int kBandCells = 38;

// Band 1 skips the five codes A5AB..A5AF after its tenth cell.
std::uint16_t bandCode(int band, int position) {
    const Band& b = kBands[static_cast<size_t>(band)];
    if (band == 0 && position >= 10) return static_cast<std::uint16_t>(0xA5A6 + position);
    return static_cast<std::uint16_t>(b.start + position);
}
}  // namespace

std::uint16_t pickedCode(int page, int cell) {
    if (page < 0 || page >= kPageCount || cell <= 0) return 0;
    if (page < 5) {
        const PageRuns& r = kPageRuns[static_cast<size_t>(page)];
        if (cell >= kSecondRunFirstCell) {
            const int offset = cell - kSecondRunFirstCell;
            return offset < r.count2 ? static_cast<std::uint16_t>(r.start2 + offset) : 0;
        }
        const int offset = cell - 1;
        return offset < r.count1 ? static_cast<std::uint16_t>(r.start1 + offset) : 0;
    }
    if (cell > kCellCount) return 0;
    const int band = (cell - 1) / kBandCells;
    const int position = cell - kBands[static_cast<size_t>(band)].firstCell;
    // Picking reads one position further in band 1 than is drawn: cell 21 is the unassigned A5BA,
    // which converts to nothing, so it picks as empty like the blank it is drawn as.
    const int lastPosition = band == 0 ? 20 : band <= 2 ? 23 : 32;
    return position <= lastPosition ? bandCode(band, position) : 0;
}

std::uint16_t drawnCode(int page, int cell) {
    if (page < 5) return pickedCode(page, cell);
    if (page != 5 || cell <= 0 || cell > kCellCount) return 0;
    const int band = (cell - 1) / kBandCells;
    const int k = cell - kBands[static_cast<size_t>(band)].firstCell + 1;  // 1..38 within the band
    return k <= kBands[static_cast<size_t>(band)].count ? bandCode(band, k - 1) : 0;
}

std::wstring codeText(std::uint16_t code) {
    if (code == 0) return {};
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::wstring text = decodeLenient(Codec::Cp949, std::string_view(bytes, 2));
    if (text == L"?") return {};
    return text;
}

std::wstring cellChar(int page, int cell) { return codeText(pickedCode(page, cell)); }

}  // namespace kelva::palette
