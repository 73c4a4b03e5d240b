#include "runtime/gdi.h"

#include "core/color.h"

namespace kelva::rt {

COLORREF toColorRef(std::uint32_t oleColor) {
    auto rgb = oleToRgb(oleColor, [](int index) { return static_cast<Rgb>(GetSysColor(index)); });
    return rgb ? static_cast<COLORREF>(*rgb) : RGB(0, 0, 0);
}

namespace {
int askScreenDpi(int axis) {
    HDC dc = GetDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, axis) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

// The screen's pixels per inch are fixed for the life of a process that is not per-monitor aware,
// so they are asked for once: every layout step converts twips, and under Wine each question costs
// a round trip to the server.
int screenDpiX() {
    static const int dpi = askScreenDpi(LOGPIXELSX);
    return dpi;
}
int screenDpiY() {
    static const int dpi = askScreenDpi(LOGPIXELSY);
    return dpi;
}

double twipsPerPixelX() { return 1440.0 / screenDpiX(); }
double twipsPerPixelY() { return 1440.0 / screenDpiY(); }

std::wstring windowClassName(HWND hwnd) {
    wchar_t buf[128] = {};
    GetClassNameW(hwnd, buf, 128);
    return buf;
}

}  // namespace kelva::rt
