#pragma once
// The open-file dialog a host of the tab control can use to pick a picture file.
#include <windows.h>

#include <string>

namespace kelva::tabctl {

inline constexpr const wchar_t* kOpenFileTitle = L"Open File";

// Shows the platform's open-file dialog titled "Open File" over owner, starting in initDir, with
// the host's filter text (descriptions and patterns separated by "|"; empty: all files). Answers
// the chosen full path, or an empty text when the dialog was cancelled or failed.
std::wstring showFileOpenDialog(HWND owner, const std::wstring& initDir, const std::wstring& filter);

}  // namespace kelva::tabctl
