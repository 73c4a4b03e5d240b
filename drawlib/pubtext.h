#pragma once
// Text rules of the drawing-access class: letter case is ignored wherever it compares names or keys,
// and comma lists are split as the macros write them. Kept local to the drawing-access code until a
// shared case rule exists.
#include <string>
#include <string_view>
#include <vector>

namespace kelva::pub {

// The lower-case form of a character for comparisons: Latin (ASCII, Latin-1, Latin Extended-A),
// full-width Latin, Greek, Cyrillic, Roman numerals and circled letters, the letters the suite's
// drawings carry. Other characters (Hangul, digits, symbols) are their own fold.
wchar_t foldWideCase(wchar_t c) noexcept;  // the rule for characters beyond ASCII
inline wchar_t foldCase(wchar_t c) noexcept {
    if (c < 0x80) return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    return foldWideCase(c);
}
std::wstring foldCase(std::wstring_view text);
void foldCaseInPlace(std::wstring& text) noexcept;
bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept;

// Splits at every separator, keeping blanks and empty items; an empty text gives no items.
std::vector<std::wstring> splitList(std::wstring_view text, wchar_t separator = L',');

}  // namespace kelva::pub
