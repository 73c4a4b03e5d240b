#include "tabctl/xtab_pictures.h"

namespace kelva::tabctl {

void copyTabImages(std::vector<TabRecord>& tabs, const ImageFetch& fetch) {
    if (!fetch) return;
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        PictureRef image;
        try {
            image = fetch(static_cast<std::int32_t>(i) + 1);
        } catch (...) {
            return;  // no list, too few images: the walk ends here and nothing is reported
        }
        if (!image) return;
        tabs[i].Picture = std::move(image);
    }
}

void removeTabImages(std::vector<TabRecord>& tabs, std::int32_t index, bool removeAll) {
    if (index == -1 && removeAll) {
        for (TabRecord& t : tabs) t.Picture.reset();
        return;
    }
    if (index >= 0 && static_cast<std::size_t>(index) < tabs.size()) tabs[static_cast<std::size_t>(index)].Picture.reset();
}

std::wstring openFileFilter(std::wstring_view filter) {
    if (filter.empty()) return std::wstring(L"All Files (*.*)\0*.*\0\0", 22);
    std::wstring out(filter);
    for (wchar_t& ch : out)
        if (ch == L'|') ch = L'\0';
    // One NUL ends the last entry and one more is the empty entry that ends the list, whether or not
    // the host ended its text with a bar.
    while (!out.empty() && out.back() == L'\0') out.pop_back();
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

std::wstring chosenPath(const wchar_t* buffer, std::size_t chars) {
    std::size_t n = 0;
    while (n < chars && buffer[n] != L'\0') ++n;
    while (n > 0 && buffer[n - 1] == L' ') --n;
    return std::wstring(buffer, n);
}

}  // namespace kelva::tabctl
