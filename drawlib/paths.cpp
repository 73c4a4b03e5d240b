#include "paths.h"

namespace kelva::draw {

namespace {
bool isLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool isSep(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring trimBlanks(std::wstring_view s) {
    const size_t b = s.find_first_not_of(L' ');
    if (b == std::wstring_view::npos) return {};
    const size_t e = s.find_last_not_of(L' ');
    return std::wstring(s.substr(b, e - b + 1));
}

bool startsWith(std::wstring_view s, std::wstring_view p) { return s.substr(0, p.size()) == p; }
}  // namespace

std::wstring cutAtNull(std::wstring_view text) {
    const size_t at = text.find(L'\0');
    return std::wstring(at == std::wstring_view::npos ? text : text.substr(0, at));
}

std::wstring driveName(std::wstring_view path) {
    if (path.size() >= 2 && isLetter(path[0]) && path[1] == L':') return std::wstring(path.substr(0, 2));
    if (path.size() >= 2 && isSep(path[0]) && isSep(path[1])) {
        // Server and share: up to (not including) the separator after the share name.
        size_t k = 2;
        while (k < path.size() && !isSep(path[k])) ++k;
        if (k >= path.size() || k == 2) return {};
        ++k;
        while (k < path.size() && !isSep(path[k])) ++k;
        return std::wstring(path.substr(0, k));
    }
    return {};
}

std::wstring absolutePath(std::wstring_view basePath, std::wstring_view convertPath) {
    const std::wstring drive = driveName(basePath);
    const std::wstring base = trimBlanks(basePath);
    std::wstring conv = trimBlanks(convertPath);

    if (startsWith(conv, L"\\") && !startsWith(conv, L"\\\\")) return drive + conv;
    if (startsWith(conv, L".\\")) {
        // One separator between the folder and the rest, also when the folder already ends with one.
        const bool baseEnds = !base.empty() && base.back() == L'\\';
        return (baseEnds ? base.substr(0, base.size() - 1) : base) + conv.substr(1);
    }

    std::wstring r;
    size_t a = base.size();  // the part of base still climbable: base[0 .. a)
    while (startsWith(conv, L"..\\")) {
        // The last separator before position a - 1, so a trailing separator is no level of its own.
        // Once the levels run out the result stays at the topmost folder found.
        if (a >= 2) {
            const size_t at = base.rfind(L'\\', a - 2);
            if (at != std::wstring::npos) {
                a = at + 1;
                r = base.substr(0, a);
            } else {
                a = 0;
            }
        }
        conv.erase(0, 3);
    }
    if (startsWith(conv, L".\\")) conv.erase(0, 2);
    if (conv.find(L'\\') == std::wstring::npos && r.empty())
        r = (!base.empty() && base.back() == L'\\') ? base : base + L"\\";
    return r + conv;
}

}  // namespace kelva::draw
