#include "tabctl/xtab_logic.h"

#include <cwctype>

namespace kelva::tabctl {

std::size_t keyPosition(std::wstring_view caption) {
    // "&&" shows one "&" and marks nothing: blank those pairs out before looking for the marker.
    std::wstring c(caption);
    for (std::size_t i = 0; i + 1 < c.size(); ++i) {
        if (c[i] == L'&' && c[i + 1] == L'&') {
            c[i] = c[i + 1] = L'\x01';
            ++i;
        }
    }
    auto p = c.rfind(L'&');
    return p == std::wstring::npos ? 0 : p + 1;
}

}  // namespace kelva::tabctl
