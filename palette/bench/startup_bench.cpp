// Start-up of the palette to its first full paint, beside the bare cost of making a window of the same
// size and drawing the six pages once with the same glyph-and-copy method. Runs under Wine, on one
// processor with a wineserver of its own (the bench target starts it so); prints milliseconds (median
// of several runs) and the ratio.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "palette/charpages.h"
#include "palette/win/char_window.h"
#include "palette/win/fonts.h"
#include "runtime/form.h"
#include "runtime/picturebox.h"

using namespace kelva;
using Clock = std::chrono::steady_clock;

namespace {

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void paintNow(HWND h) { RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

double ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// The palette: construction (load step included), show, first full paint.
double paletteToFirstPaint() {
    palette::MemoryStore store;
    const auto start = Clock::now();
    auto window = std::make_unique<palette::CharWindow>(store);
    window->findAcad = [] { return com::ComPtr<IDispatch>(); };
    window->show();
    paintNow(window->form().hwnd());
    const double t = ms(start);
    window.reset();
    pump();
    return t;
}

// The bare cost: a borderless window of the palette's size, six page boxes and a scratch box, every
// cell of every page drawn once into the scratch box and copied into its page, then one full paint.
double bareWindowAndPages() {
    const auto start = Clock::now();
    rt::FormLayout layout;
    layout.rect = {0, 0, 6690, 5490};
    layout.borderless = true;
    rt::Form form(layout);
    rt::FontDesc font{palette::substituteFace(palette::kDesignHangulFace), 9};
    font.charset = 129;
    auto& scratch = form.add<rt::PictureBox>(L"picTemp", {0, 0, 345, 330});
    scratch.setVisible(false);
    scratch.setAutoRedraw(true);
    scratch.surface().setFont(std::make_shared<rt::Font>(font));
    std::vector<rt::PictureBox*> pages;
    for (int p = 0; p < palette::kPageCount; ++p) {
        auto& box = form.add<rt::PictureBox>(L"picMap" + std::to_wstring(p), {60, 900, 6315, 3195});
        box.setAutoRedraw(true);
        box.setVisible(p == 0);
        pages.push_back(&box);
    }
    rt::Surface& s = scratch.surface();
    for (int p = 0; p < palette::kPageCount; ++p) {
        for (int cell = 1; cell <= palette::kCellCount; ++cell) {
            const std::wstring text = palette::codeText(palette::drawnCode(p, cell));
            s.setBackColor(0x80000005);
            s.currentX = 100;
            s.currentY = 60;
            s.print(text);
            s.line(0, 0, 330, 0, 0xC0C0C0);
            s.line(330, 0, 330, 315, 0xC0C0C0);
            BitBlt(pages[static_cast<std::size_t>(p)]->surface().hdc(), ((cell - 1) % 19) * 22, ((cell - 1) / 19) * 21,
                   23, 22, s.hdc(), 0, 0, SRCCOPY);
        }
        pages[static_cast<std::size_t>(p)]->refresh();
    }
    form.show();
    paintNow(form.hwnd());
    const double t = ms(start);
    return t;
}

// The program itself: from CreateProcess until its window is on screen (Wine's process start included).
double processToVisibleWindow() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe(path);
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"KelvaChar.exe";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const auto start = Clock::now();
    if (!CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    HWND window = nullptr;
    while (ms(start) < 30000) {
        window = FindWindowW(nullptr, L"Kelva 특수문자");
        if (window && IsWindowVisible(window)) break;
        Sleep(1);
    }
    const double t = ms(start);
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return window ? t : -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    constexpr int kRuns = 7;
    paletteToFirstPaint();  // warm: fonts, classes, the code page table
    bareWindowAndPages();
    std::vector<double> palette, bare;
    for (int i = 0; i < kRuns; ++i) {
        palette.push_back(paletteToFirstPaint());
        bare.push_back(bareWindowAndPages());
    }
    const double p = median(palette), b = median(bare);
    std::printf("palette start to first full paint: %.1f ms (median of %d)\n", p, kRuns);
    std::printf("bare window and six pages drawn once: %.1f ms (median of %d)\n", b, kRuns);
    std::printf("ratio: %.2f (aim <= 4)\n", p / b);
    std::vector<double> process;
    for (int i = 0; i < 3; ++i) process.push_back(processToVisibleWindow());
    std::printf("KelvaChar.exe process start to its window on screen: %.1f ms (median of 3, Wine's process start included)\n",
                median(process));
    CoUninitialize();
    return 0;
}
