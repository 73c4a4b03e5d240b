// The test environment itself: Korean fonts are visible to Wine, the ANSI code page is 949, and a
// window paints Hangul with real pixels on the display the test runs on (Wine's null driver, or the
// private Xvfb for tests that need a real display).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
int CALLBACK collectFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM param) {
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(lf->lfFaceName);
    return 1;
}

std::vector<std::wstring> hangulFaces() {
    std::vector<std::wstring> faces;
    HDC dc = GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = HANGUL_CHARSET;
    EnumFontFamiliesExW(dc, &lf, collectFace, reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, dc);
    return faces;
}

// Dark pixels in a 32-bit top-down capture of the window's client area.
int inkAfterPainting(const wchar_t* text, const std::wstring& face) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 200, 60, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!wnd) return -1;
    HDC dc = GetDC(wnd);
    RECT rc{0, 0, 200, 60};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HFONT font = CreateFontW(-32, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGUL_CHARSET, 0, 0, 0, 0, face.c_str());
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 4, 4, text, static_cast<int>(wcslen(text)));
    SelectObject(dc, old);
    DeleteObject(font);

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 200;
    bi.bmiHeader.biHeight = -60;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, 200, 60, dc, 0, 0, SRCCOPY);
    int ink = 0;
    const auto* px = static_cast<const unsigned*>(bits);
    for (int i = 0; i < 200 * 60; ++i)
        if ((px[i] & 0xFF) < 0x80) ++ink;
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(wnd, dc);
    DestroyWindow(wnd);
    return ink;
}
}  // namespace

TEST(Environment, AnsiCodePageIsKorean) { EXPECT_EQ(GetACP(), 949u); }

TEST(Environment, HangulFontsArePresent) {
    const auto faces = hangulFaces();
    ASSERT_FALSE(faces.empty());
    bool nanum = false;
    for (const auto& f : faces) nanum = nanum || f.find(L"Nanum") != std::wstring::npos || f.find(L"나눔") != std::wstring::npos;
    EXPECT_TRUE(nanum);
}

TEST(Environment, HangulPaintsRealPixels) {
    const auto faces = hangulFaces();
    ASSERT_FALSE(faces.empty());
    EXPECT_GT(inkAfterPainting(L"한글", faces.front()), 50);
    EXPECT_EQ(inkAfterPainting(L"", faces.front()), 0);
}

TEST(Environment, DisplayMatchesTheTestKind) {
    wchar_t display[64] = {};
    const bool hasDisplay = GetEnvironmentVariableW(L"DISPLAY", display, 64) > 0;
    wchar_t xvfb[8] = {};
    const bool wantsX = GetEnvironmentVariableW(L"KELVA_XVFB", xvfb, 8) > 0;
    EXPECT_EQ(hasDisplay, wantsX);
}
