#include "runtime/gdi.h"

#include "core/color.h"

namespace kelva::rt {

COLORREF toColorRef(std::uint32_t oleColor) {
    auto rgb = oleToRgb(oleColor, [](int index) { return static_cast<Rgb>(GetSysColor(index)); });
    return rgb ? static_cast<COLORREF>(*rgb) : RGB(0, 0, 0);
}

namespace {
int screenDpi(int axis) {
    HDC dc = GetDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, axis) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

double twipsPerPixelX() { return 1440.0 / screenDpi(LOGPIXELSX); }
double twipsPerPixelY() { return 1440.0 / screenDpi(LOGPIXELSY); }

std::wstring windowClassName(HWND hwnd) {
    wchar_t buf[128] = {};
    GetClassNameW(hwnd, buf, 128);
    return buf;
}

}  // namespace kelva::rt
