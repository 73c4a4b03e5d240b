#pragma once
// cDialog: the system's open and save dialogs and its folder browser, with one field per property.
// Wide functions throughout, so names are never squeezed through the ANSI code page.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kelva::cmd {

class cDialog {
public:
    cDialog() { setMaxFileSize(10240); }

    std::wstring InitDir, DialogTitle, DefaultExt;
    std::int32_t Flags = 0;
    std::int16_t FilterIndex = 0;
    HWND Owner = nullptr;

    const std::wstring& Filter() const { return filter_; }
    void setFilter(std::wstring filter) { filter_ = std::move(filter); }
    const std::wstring& FileName() const { return fileName_; }
    void setFileName(std::wstring name) { fileName_ = std::move(name); }
    const std::wstring& FileTitle() const { return fileTitle_; }
    const std::wstring& Path() const { return path_; }
    std::int16_t MaxFileSize() const { return maxFileSize_; }
    // Also empties FileName to that many NULs, the buffer the dialog fills.
    void setMaxFileSize(std::int16_t size);
    std::int32_t LastError() const { return lastError_; }

    // Nonzero when a file was chosen; 0 when cancelled or failed (LastError tells which).
    std::int32_t ShowOpen() { return show(false); }
    std::int32_t ShowSave() { return show(true); }
    // The folder browser: nonzero when a folder was chosen (then in Path).
    std::intptr_t Browse();
    // The chosen folder ending in "\", or empty when cancelled.
    std::wstring BrowsePath();
    std::vector<std::wstring> ParseFileNames() const;

private:
    std::int32_t show(bool save);
    std::wstring filter_, fileName_, fileTitle_, path_;
    std::int16_t maxFileSize_ = 0;
    std::int32_t lastError_ = 0;
};

}  // namespace kelva::cmd
