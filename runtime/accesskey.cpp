#include "runtime/accesskey.h"

#include <cwctype>

namespace kelva::rt {

std::optional<wchar_t> accessKeyOf(std::wstring_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(std::towlower(caption[i + 1]));
    }
    return std::nullopt;
}

std::wstring captionText(std::wstring_view caption) {
    std::wstring out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) ++i;
        else if (caption[i] == L'&') continue;
        out += caption[i];
    }
    return out;
}

}  // namespace kelva::rt
