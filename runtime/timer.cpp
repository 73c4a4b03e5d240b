#include "runtime/timer.h"

#include "runtime/services.h"

namespace kelva::rt {

// One hidden window per thread carries every timer; the timer's id is its address.
HWND Timer::host() {
    thread_local HWND window = nullptr;
    if (window && IsWindow(window)) return window;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), L"KelvaTimerHost", &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = hostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KelvaTimerHost";
        RegisterClassExW(&wc);
    }
    window = CreateWindowExW(0, L"KelvaTimerHost", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
    return window;
}

LRESULT CALLBACK Timer::hostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        auto* t = reinterpret_cast<Timer*>(wParam);
        if (t->running_ && t->Tick) return guardMessage(hwnd, [&] { t->Tick(); return LRESULT{0}; }, [] { return LRESULT{0}; });
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

Timer::Timer() = default;

Timer::~Timer() {
    enabled_ = false;
    apply();
}

void Timer::setInterval(unsigned ms) {
    interval_ = ms;
    apply();
}

void Timer::setEnabled(bool on) {
    enabled_ = on;
    apply();
}

void Timer::apply() {
    HWND h = host();
    const bool want = enabled_ && interval_ > 0;
    if (running_) KillTimer(h, reinterpret_cast<UINT_PTR>(this));
    running_ = false;
    if (want && h) running_ = SetTimer(h, reinterpret_cast<UINT_PTR>(this), interval_, nullptr) != 0;
}

}  // namespace kelva::rt
