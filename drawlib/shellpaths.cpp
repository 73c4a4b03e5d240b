#include "shellpaths.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "paths.h"

namespace kelva::draw {

std::wstring relativePath(std::wstring_view from, std::wstring_view target) {
    const std::wstring f(from), t(target);
    wchar_t buffer[MAX_PATH] = {};
    if (!PathRelativePathToW(buffer, f.c_str(), FILE_ATTRIBUTE_DIRECTORY, t.c_str(), 0)) return t;
    return cutAtNull(std::wstring_view(buffer, MAX_PATH));
}

std::wstring findFile(std::wstring_view fileName, std::wstring_view searchPath) {
    const std::wstring name(fileName), path(searchPath);
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD n = SearchPathW(path.empty() ? nullptr : path.c_str(), name.c_str(), nullptr,
                          static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n >= buffer.size()) {
        // A long path: the function said how much room it needs.
        buffer.resize(n + 1);
        n = SearchPathW(path.empty() ? nullptr : path.c_str(), name.c_str(), nullptr,
                        static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    }
    if (n == 0 || n >= buffer.size()) return L"Err";
    return std::wstring(buffer.data(), n);
}

void launchBrowser(std::wstring_view url, int showState) {
    const std::wstring u(url);
    ShellExecuteW(nullptr, L"open", u.c_str(), nullptr, nullptr, showState);
}

int compareTextLocale(const std::wstring& a, const std::wstring& b) {
    const int r = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH,
                                 a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    return r == CSTR_LESS_THAN ? -1 : (r == CSTR_GREATER_THAN ? 1 : 0);
}

}  // namespace kelva::draw
