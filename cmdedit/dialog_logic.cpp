#include "cmdedit/dialog_logic.h"

#include "cmdedit/names.h"

namespace kelva::cmd {

std::wstring filterApiForm(std::wstring_view filter) {
    std::wstring out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t bar = filter.find(L'|', pos);
        out.append(filter.substr(pos, bar == std::wstring_view::npos ? std::wstring_view::npos : bar - pos));
        out.push_back(L'\0');
        if (bar == std::wstring_view::npos) break;
        pos = bar + 1;
    }
    out.push_back(L'\0');
    return out;
}

std::wstring takeUntilDoubleNul(std::wstring_view buffer, std::size_t from) {
    if (from > buffer.size()) from = buffer.size();
    std::size_t end = buffer.find(std::wstring_view(L"\0\0", 2), from);
    return std::wstring(buffer.substr(0, end));
}

std::vector<std::wstring> parseFileNames(std::wstring_view fileName) {
    std::vector<std::wstring> pieces;
    std::size_t pos = 0;
    for (;;) {
        std::size_t nul = fileName.find(L'\0', pos);
        pieces.emplace_back(fileName.substr(pos, nul == std::wstring_view::npos ? std::wstring_view::npos : nul - pos));
        if (nul == std::wstring_view::npos) break;
        pos = nul + 1;
    }
    if (pieces.size() == 1) return {std::wstring(fileName)};
    std::vector<std::wstring> paths;
    const std::wstring& folder = pieces[0];
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        if (pieces[i].empty()) {
            paths.push_back(folder);
            break;
        }
        paths.push_back(replaceText(folder + L"\\" + pieces[i], L":\\\\", L":\\"));
    }
    return paths;
}

}  // namespace kelva::cmd
