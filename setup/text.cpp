#include "setup/text.h"

#include "setup/registry_store.h"

namespace kelva::setup {

namespace {
wchar_t lowerChar(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 32);
    return c;
}
}  // namespace

std::wstring lowerText(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out) c = lowerChar(c);
    return out;
}

bool equalsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i])) return false;
    return true;
}

bool containsNoCase(std::wstring_view haystack, std::wstring_view needle) {
    return lowerText(haystack).find(lowerText(needle)) != std::wstring::npos;
}

bool startsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

std::vector<std::wstring> keyPathParts(std::wstring_view path) {
    std::vector<std::wstring> parts;
    size_t i = 0;
    while (i <= path.size()) {
        const size_t j = path.find(L'\\', i);
        const size_t end = j == std::wstring_view::npos ? path.size() : j;
        if (end > i) parts.emplace_back(path.substr(i, end - i));
        if (j == std::wstring_view::npos) break;
        i = j + 1;
    }
    return parts;
}

std::wstring normalizeKeyPath(std::wstring_view path) {
    std::wstring out;
    for (const auto& p : keyPathParts(path)) {
        if (!out.empty()) out += L'\\';
        out += p;
    }
    return out;
}

std::vector<std::uint8_t> utf16Bytes(std::wstring_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2);
    auto put = [&](unsigned unit) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
    };
    for (wchar_t c : text) {
        const auto cp = static_cast<unsigned long>(c);
        if (cp > 0xFFFF) {
            const unsigned long v = cp - 0x10000;
            put(static_cast<unsigned>(0xD800 + (v >> 10)));
            put(static_cast<unsigned>(0xDC00 + (v & 0x3FF)));
        } else {
            put(static_cast<unsigned>(cp));
        }
    }
    return out;
}

std::wstring fromUtf16Bytes(const std::uint8_t* data, std::size_t size) {
    std::wstring out;
    const size_t units = size / 2;  // an odd last byte is no character
    out.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        const unsigned u = data[2 * i] | (static_cast<unsigned>(data[2 * i + 1]) << 8);
        if constexpr (sizeof(wchar_t) == 4) {
            if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
                const unsigned lo = data[2 * i + 2] | (static_cast<unsigned>(data[2 * i + 3]) << 8);
                if (lo >= 0xDC00 && lo < 0xE000) {
                    out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                    ++i;
                    continue;
                }
            }
        }
        out += static_cast<wchar_t>(u);
    }
    return out;
}

}  // namespace kelva::setup
