#pragma once
// Helpers for window tests under Wine: the forms they host controls on, pumping messages, reading
// pixels of what a window shows and saving them as BMP screenshots next to the test program.
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "runtime/form.h"

namespace kelva::testing {

inline void pump(DWORD ms = 0) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms) Sleep(1);
    } while (GetTickCount() < end);
}

// Pumps messages until `done` holds or `limitMs` has passed; answers whether it holds. The limit only keeps a
// broken case from hanging: a loaded machine may take long to deliver what a test waits for.
template <class Done>
bool pumpUntil(Done&& done, DWORD limitMs = 10000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= limitMs) return false;
        pump(10);
    }
    return true;
}

// A DIB's 0x00RRGGBB pixel as a COLORREF (0x00BBGGRR).
inline std::uint32_t colorRefOf(std::uint32_t dibPixel) {
    return ((dibPixel >> 16) & 0xFF) | (dibPixel & 0xFF00) | ((dibPixel & 0xFF) << 16);
}

// Writes a picture as a 24-bit BMP file; `at(x, y)` gives each pixel as a COLORREF (0x00BBGGRR).
template <class PixelAt>
bool writeBmp(const std::wstring& path, int w, int h, PixelAt&& at) {
    const int stride = w * 3 + ((4 - (w * 3) % 4) % 4);
    std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(stride) * h, 0);
    auto put32 = [&](std::size_t offset, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'B', file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    file[26] = 1, file[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = at(x, y);
            auto* d = &file[54 + static_cast<std::size_t>(h - 1 - y) * stride + x * 3];
            d[0] = static_cast<std::uint8_t>(c >> 16), d[1] = static_cast<std::uint8_t>(c >> 8),
            d[2] = static_cast<std::uint8_t>(c);
        }
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, file.data(), static_cast<DWORD>(file.size()), &written, nullptr) &&
                    written == file.size();
    CloseHandle(f);
    return ok;
}

// A top-down 32-bit DIB selected into a memory DC of its own: what GDI draws into it is read back
// as pixels.
class Dib {
public:
    Dib(int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bmp_);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    ~Dib() {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    int width() const { return w_; }
    int height() const { return h_; }
    // COLORREF (0x00BBGGRR) at a pixel; 0xFFFFFFFF outside.
    std::uint32_t at(int x, int y) const {
        if (!bits_ || x < 0 || y < 0 || x >= w_ || y >= h_) return 0xFFFFFFFF;
        GdiFlush();
        return colorRefOf(static_cast<const std::uint32_t*>(bits_)[static_cast<std::size_t>(y) * w_ + x]);
    }
    // Every pixel as the DIB holds it (0x00RRGGBB), row by row from the top.
    std::vector<std::uint32_t> pixels() const {
        if (!bits_) return {};
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits_);
        std::vector<std::uint32_t> out(p, p + static_cast<std::size_t>(w_) * h_);
        for (auto& v : out) v &= 0xFFFFFFu;
        return out;
    }
    // A device-dependent bitmap holding what was drawn, as a picture object holds one.
    HBITMAP copyBitmap() const {
        HBITMAP bmp = CreateCompatibleBitmap(dc_, w_, h_);
        HDC mem = CreateCompatibleDC(dc_);
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w_, h_, dc_, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        return bmp;
    }
    bool save(const std::wstring& path) const {
        const auto p = pixels();
        if (p.empty()) return false;
        return writeBmp(path, w_, h_,
                        [&](int x, int y) { return colorRefOf(p[static_cast<std::size_t>(y) * w_ + x]); });
    }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// What a window's client area shows, read back from its DC.
class Capture {
public:
    explicit Capture(HWND hwnd) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        w_ = rc.right;
        h_ = rc.bottom;
        pixels_.assign(static_cast<std::size_t>(w_) * h_, 0);
        if (w_ <= 0 || h_ <= 0) return;
        // Paint first, so the capture shows the window's latest state.
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Dib dib(w_, h_);
        HDC src = GetDC(hwnd);
        BitBlt(dib.dc(), 0, 0, w_, h_, src, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, src);
        const auto raw = dib.pixels();
        if (raw.size() != pixels_.size()) return;
        for (std::size_t i = 0; i < raw.size(); ++i) pixels_[i] = colorRefOf(raw[i]);
    }
    int width() const { return w_; }
    int height() const { return h_; }
    // COLORREF (0x00BBGGRR) at a client pixel; 0xFFFFFFFF outside.
    std::uint32_t at(int x, int y) const {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0xFFFFFFFF;
        return pixels_[static_cast<std::size_t>(y) * w_ + x];
    }
    // Saves under <program folder>/screenshots/<name>.bmp.
    void save(const std::wstring& name) const {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dir(path);
        dir = dir.substr(0, dir.find_last_of(L"\\/")) + L"\\screenshots";
        CreateDirectoryW(dir.c_str(), nullptr);
        writeBmp(dir + L"\\" + name + L".bmp", w_, h_, [this](int x, int y) { return at(x, y); });
    }

private:
    int w_ = 0, h_ = 0;
    std::vector<std::uint32_t> pixels_;
};

inline LPARAM pointParam(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// A mouse message at client pixel (x, y), sent straight to the window's procedure.
inline LRESULT send(HWND window, UINT msg, int x = 0, int y = 0, WPARAM w = 0) {
    return SendMessageW(window, msg, w, pointParam(x, y));
}

// A borderless form at `rect` (twips) in the programs' own font, 굴림 9.
inline rt::FormLayout testForm(std::wstring caption, rt::TwipsRect rect,
                               std::uint32_t backColor = rt::FormLayout{}.backColor) {
    rt::FormLayout l;
    l.caption = std::move(caption);
    l.rect = rect;
    l.borderless = true;
    l.font = {L"굴림", 9};
    l.backColor = backColor;
    return l;
}

// Makes a top-level window the active foreground one, as the user's click on it would, so that keys
// and the focus go to it, and lets it settle.
inline void activate(HWND window, DWORD settleMs = 20) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    pump(settleMs);
}

inline void showAndActivate(rt::Form& form, DWORD settleMs = 20) {
    form.show();
    activate(form.hwnd(), settleMs);
}

}  // namespace kelva::testing
