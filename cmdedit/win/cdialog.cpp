#include "cmdedit/win/cdialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include "cmdedit/dialog_logic.h"

namespace kelva::cmd {

void cDialog::setMaxFileSize(std::int16_t size) {
    maxFileSize_ = size > 0 ? size : 1;
    fileName_.assign(static_cast<std::size_t>(maxFileSize_), L'\0');
}

std::int32_t cDialog::show(bool save) {
    const std::size_t size = static_cast<std::size_t>(maxFileSize_);
    std::wstring file = fileName_.substr(0, size);
    file.resize(size + 1, L'\0');  // always room for the ending NUL
    std::wstring title(size + 1, L'\0');
    std::wstring filter = filterApiForm(filter_);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(size);
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(size);
    ofn.lpstrInitialDir = InitDir.empty() ? nullptr : InitDir.c_str();
    ofn.lpstrTitle = DialogTitle.empty() ? nullptr : DialogTitle.c_str();
    ofn.Flags = static_cast<DWORD>(Flags);
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    BOOL result = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!result) {
        lastError_ = static_cast<std::int32_t>(CommDlgExtendedError());
        return 0;
    }
    lastError_ = 0;
    FilterIndex = static_cast<std::int16_t>(ofn.nFilterIndex);
    fileName_ = takeUntilDoubleNul(file, static_cast<std::size_t>(ofn.nFileOffset) + 1);
    fileTitle_ = takeUntilDoubleNul(title, 0);
    path_ = fileName_.substr(0, std::min<std::size_t>(ofn.nFileOffset, fileName_.size()));
    return result;
}

std::intptr_t cDialog::Browse() {
    BROWSEINFOW bi{};
    bi.hwndOwner = Owner;
    bi.lpszTitle = DialogTitle.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&bi);
    if (!item) return 0;
    wchar_t folder[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, folder)) path_ = folder;
    CoTaskMemFree(item);
    return reinterpret_cast<std::intptr_t>(item);
}

std::wstring cDialog::BrowsePath() {
    if (!Browse()) return {};
    if (path_.empty() || path_.back() != L'\\') path_ += L'\\';
    return path_;
}

std::vector<std::wstring> cDialog::ParseFileNames() const { return parseFileNames(fileName_); }

}  // namespace kelva::cmd
