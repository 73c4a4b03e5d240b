#include "setup/win/win_ini.h"

#include <windows.h>

namespace kelva::setup {

std::wstring WinIni::read(std::wstring_view file, std::wstring_view section, std::wstring_view key) {
    const std::wstring f(file), s(section), k(key);
    // The whole value: the caller decides what a long value means.
    std::wstring buffer(512, L'\0');
    for (;;) {
        const DWORD n = GetPrivateProfileStringW(s.c_str(), k.c_str(), L"", buffer.data(), static_cast<DWORD>(buffer.size()),
                                                 f.c_str());
        if (n + 1 < buffer.size()) return buffer.substr(0, n);
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

}  // namespace kelva::setup
