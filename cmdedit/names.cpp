#include "cmdedit/names.h"

namespace kelva::cmd {
namespace {
wchar_t up(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
wchar_t low(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
}  // namespace

std::wstring upper(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r) c = up(c);
    return r;
}

std::wstring lower(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r) c = low(c);
    return r;
}

bool equalsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (up(a[i]) != up(b[i])) return false;
    return true;
}

std::size_t findNoCase(std::wstring_view text, std::wstring_view find, std::size_t from) {
    if (find.empty()) return from <= text.size() ? from : std::wstring_view::npos;
    if (find.size() > text.size()) return std::wstring_view::npos;
    for (std::size_t i = from; i + find.size() <= text.size(); ++i)
        if (equalsNoCase(text.substr(i, find.size()), find)) return i;
    return std::wstring_view::npos;
}

bool containsNoCase(std::wstring_view text, std::wstring_view find) {
    return findNoCase(text, find) != std::wstring_view::npos;
}

std::wstring replaceText(std::wstring_view text, std::wstring_view find, std::wstring_view replacement) {
    // An empty pattern would match everywhere and never advance: leave the text as it is.
    if (find.empty()) return std::wstring(text);
    std::wstring out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = findNoCase(text, find, pos)) != std::wstring_view::npos; pos = hit + find.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(replacement);
    }
    out.append(text.substr(pos));
    return out;
}

std::wstring trimBlanks(std::wstring_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == L' ') ++b;
    while (e > b && s[e - 1] == L' ') --e;
    return std::wstring(s.substr(b, e - b));
}

}  // namespace kelva::cmd
