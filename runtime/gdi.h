#pragma once
// Ownership of GDI and window handles, and OLE colour translation for drawing.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace kelva::rt {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ h) const noexcept {
        if (h) DeleteObject(h);
    }
};
template <class H>
using GdiPtr = std::unique_ptr<std::remove_pointer_t<H>, GdiObjectDeleter>;
using FontPtr = GdiPtr<HFONT>;
using BitmapPtr = GdiPtr<HBITMAP>;
using BrushPtr = GdiPtr<HBRUSH>;
using PenPtr = GdiPtr<HPEN>;
using RegionPtr = GdiPtr<HRGN>;

struct DcDeleter {
    void operator()(HDC dc) const noexcept {
        if (dc) DeleteDC(dc);
    }
};
using MemoryDcPtr = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// Selects an object into a DC for a scope and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~ScopedSelect() {
        if (old_) SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window's DC from GetDC, released at scope end.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// The RGB an OLE colour stands for (system colours through GetSysColor); black for a value that is
// no colour.
COLORREF toColorRef(std::uint32_t oleColor);

// The screen's pixels per inch, and its twips per pixel (15 at 96 dots per inch).
int screenDpiX();
int screenDpiY();
double twipsPerPixelX();
double twipsPerPixelY();

std::wstring windowClassName(HWND hwnd);

}  // namespace kelva::rt
