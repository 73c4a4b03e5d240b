#include "palette/win/fonts.h"

#include <cwchar>

namespace kelva::palette {

const wchar_t* const kDesignHangulFace = L"굴림";

namespace {
int CALLBACK foundProc(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// EnumFontProc: adds the family's name (cut at its first NUL) to the combo box and goes on.
int CALLBACK EnumFontProc(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM combo) {
    const std::size_t length = wcsnlen(font->lfFaceName, LF_FACESIZE);
    const std::wstring name(font->lfFaceName, length);
    SendMessageW(reinterpret_cast<HWND>(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    return 1;
}
}  // namespace

bool fontInstalled(const std::wstring& face) {
    HDC dc = GetDC(nullptr);
    LOGFONTW want{};
    want.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(want.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &want, foundProc, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

std::wstring substituteFace(const std::wstring& face) {
    if (face != kDesignHangulFace) return face;
    // Asked once: the installed fonts do not change while the palette runs.
    static const std::wstring chosen = [&] {
        if (fontInstalled(face)) return face;
        for (const wchar_t* candidate : {L"NanumGothic", L"나눔고딕", L"Malgun Gothic", L"맑은 고딕", L"Gulim"})
            if (fontInstalled(candidate)) return std::wstring(candidate);
        return face;
    }();
    return chosen;
}

void FillFontList(HWND comboBox) {
    SendMessageW(comboBox, CB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(comboBox);
    EnumFontFamiliesW(dc, nullptr, EnumFontProc, reinterpret_cast<LPARAM>(comboBox));
    ReleaseDC(comboBox, dc);
}

}  // namespace kelva::palette
