#include "setup/cui_patch.h"

#include "setup/text.h"

namespace kelva::setup {

namespace {
constexpr std::wstring_view kOpen = L"<PartialMenuFile>";
constexpr std::wstring_view kClose = L"</PartialMenuFile>";
constexpr std::wstring_view kCommonItemsEnd = L"</CommonItems>";
constexpr size_t kIndentBeforeTag = 6;

// The line ends with CRLF as AutoCAD writes it, whatever the file's own lines end with; the rest of
// the file is left exactly as it was.
constexpr std::wstring_view kLineEnd = L"\r\n";

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
}  // namespace

bool namesPartialMenu(std::wstring_view text, std::wstring_view partialName) {
    std::wstring element(kOpen);
    element += partialName;
    element += kClose;
    return containsNoCase(text, element);
}

std::optional<std::wstring> insertPartialMenu(std::wstring_view text, std::wstring_view partialName) {
    if (namesPartialMenu(text, partialName)) return std::nullopt;
    const size_t tag = text.find(kCommonItemsEnd);
    if (tag == std::wstring_view::npos) return std::nullopt;

    // AutoCAD writes the closing tag on its own line after a line break and four blanks; the line
    // then goes in front of those six characters. Any other layout (LF lines, tabs, other
    // indentation, the tag after other text) gets the line at the start of the tag's own line, so
    // it never lands inside another element; a tag that shares its line with other markup gets the
    // line right in front of it.
    size_t cut;
    bool sixBlanks = tag >= kIndentBeforeTag;
    for (size_t i = 1; sixBlanks && i <= kIndentBeforeTag; ++i) sixBlanks = isBlank(text[tag - i]);
    if (sixBlanks) {
        cut = tag - kIndentBeforeTag;
        // Never between the CR and LF of one line break (five blanks of indentation).
        if (cut > 0 && text[cut] == L'\n' && text[cut - 1] == L'\r') --cut;
    } else {
        const size_t nl = text.rfind(L'\n', tag);
        cut = nl == std::wstring_view::npos ? 0 : nl + 1;
        for (size_t i = cut; i < tag; ++i) {
            if (!isBlank(text[i])) {
                cut = tag;
                break;
            }
        }
    }

    std::wstring out;
    out.reserve(text.size() + 64 + partialName.size());
    out.append(text.substr(0, cut));
    out += L"        ";
    out += kOpen;
    out += partialName;
    out += kClose;
    out += kLineEnd;
    out.append(text.substr(cut));
    return out;
}

}  // namespace kelva::setup
