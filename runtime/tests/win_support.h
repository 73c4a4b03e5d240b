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
        HDC src = GetDC(hwnd);
        HDC mem = CreateCompatibleDC(src);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w_;
        bi.bmiHeader.biHeight = -h_;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w_, h_, src, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            const std::uint32_t v = p[i];  // 0x00RRGGBB in the DIB
            pixels_[i] = ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
        }
        SelectObject(mem, old);
        DeleteObject(dib);
        DeleteDC(mem);
        ReleaseDC(hwnd, src);
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
        const int stride = w_ * 3 + ((4 - (w_ * 3) % 4) % 4);
        std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(stride) * h_, 0);
        auto put32 = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        file[0] = 'B', file[1] = 'M';
        put32(2, static_cast<std::uint32_t>(file.size()));
        put32(10, 54);
        put32(14, 40);
        put32(18, static_cast<std::uint32_t>(w_));
        put32(22, static_cast<std::uint32_t>(h_));
        file[26] = 1, file[28] = 24;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const std::uint32_t c = at(x, y);
                auto* d = &file[54 + static_cast<std::size_t>(h_ - 1 - y) * stride + x * 3];
                d[0] = static_cast<std::uint8_t>(c >> 16), d[1] = static_cast<std::uint8_t>(c >> 8),
                d[2] = static_cast<std::uint8_t>(c);
            }
        HANDLE f = CreateFileW((dir + L"\\" + name + L".bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(f, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
        CloseHandle(f);
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
