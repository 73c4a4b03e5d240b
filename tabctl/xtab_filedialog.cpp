#include "tabctl/xtab_filedialog.h"

#include <commdlg.h>

#include <vector>

#include "tabctl/xtab_pictures.h"

namespace kelva::tabctl {

std::wstring showFileOpenDialog(HWND owner, const std::wstring& initDir, const std::wstring& filter) {
    const std::wstring list = openFileFilter(filter);
    // One more character than announced, so a full buffer still ends in a NUL.
    std::vector<wchar_t> file(kFileBufferChars + 1, L'\0'), title(kFileBufferChars + 1, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = list.c_str();
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(kFileBufferChars);
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(kFileBufferChars);
    ofn.lpstrInitialDir = initDir.empty() ? nullptr : initDir.c_str();
    ofn.lpstrTitle = kOpenFileTitle;
    ofn.Flags = 0;
    if (!GetOpenFileNameW(&ofn)) return {};
    return chosenPath(file.data(), kFileBufferChars);
}

}  // namespace kelva::tabctl
