#include "pubtext.h"

namespace kelva::pub {

wchar_t foldWideCase(wchar_t c) noexcept {
    const unsigned u = static_cast<unsigned>(c);
    if (u < 0x80) return (u >= 'A' && u <= 'Z') ? static_cast<wchar_t>(u + 32) : c;
    auto shifted = [](unsigned v) { return static_cast<wchar_t>(v); };
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return shifted(u + 32);
    // Latin Extended-A pairs capital/small as even/odd, except the stretch 0x139..0x148 and
    // 0x179..0x17E, which pair odd/even; 0x130, 0x131, 0x138 and 0x149 stand alone.
    if ((u >= 0x100 && u <= 0x12F) || (u >= 0x132 && u <= 0x137) || (u >= 0x14A && u <= 0x177))
        return (u % 2 == 0) ? shifted(u + 1) : c;
    if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E)) return (u % 2 == 1) ? shifted(u + 1) : c;
    if (u == 0x178) return shifted(0xFF);
    if (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) return shifted(u + 32);
    if (u >= 0x410 && u <= 0x42F) return shifted(u + 32);
    if (u >= 0x400 && u <= 0x40F) return shifted(u + 80);
    if (u >= 0x2160 && u <= 0x216F) return shifted(u + 16);
    if (u >= 0x24B6 && u <= 0x24CF) return shifted(u + 26);
    if (u >= 0xFF21 && u <= 0xFF3A) return shifted(u + 32);
    return c;
}

void foldCaseInPlace(std::wstring& text) noexcept {
    for (wchar_t& c : text) c = foldCase(c);
}

std::wstring foldCase(std::wstring_view text) {
    std::wstring out(text);
    foldCaseInPlace(out);
    return out;
}

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

std::vector<std::wstring> splitList(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring> items;
    if (text.empty()) return items;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        if (at == std::wstring_view::npos) {
            items.emplace_back(text.substr(start));
            return items;
        }
        items.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
}

}  // namespace kelva::pub
