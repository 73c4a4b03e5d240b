#pragma once
// Fonts of the palette: the font list of the panel and the suite's own substitute for the Hangul
// face its windows are designed with, for systems that lack that face.
#include <windows.h>

#include <string>
#include <vector>

namespace kelva::palette {

// "굴림", the Hangul face of the design.
extern const wchar_t* const kDesignHangulFace;

// The face to create for `face`: the face itself when the system has it; for the design's Hangul
// face on a system without it, a Hangul face that is there (NanumGothic first). The system's own
// font settings are never touched: the substitution lives in the palette only.
std::wstring substituteFace(const std::wstring& face);
bool fontInstalled(const std::wstring& face);

// Every font family of the display, one name each, in enumeration order (FillFontList).
void FillFontList(HWND comboBox);

}  // namespace kelva::palette
