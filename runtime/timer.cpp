#include "runtime/timer.h"

#include <unordered_map>

#include "runtime/eventscope.h"
#include "runtime/services.h"

namespace kelva::rt {

namespace {
// Timers by id. An id is never reused, so a WM_TIMER still queued for a timer that is gone finds
// nothing and does nothing.
struct Registry {
    std::unordered_map<UINT_PTR, Timer*> timers;
    UINT_PTR next = 1;
};
thread_local Registry registry;
}  // namespace

// One hidden window per thread carries every timer.
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
        EventScope scope;
        auto it = registry.timers.find(static_cast<UINT_PTR>(wParam));
        if (it == registry.timers.end()) return 0;
        Timer* t = it->second;
        if (!t->running_ || !t->Tick) return 0;
        // The handler may switch its own timer off or replace Tick: it runs from a copy.
        auto tick = t->Tick;
        return guardMessage(hwnd, [&] { tick(); return LRESULT{0}; }, [] { return LRESULT{0}; });
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

Timer::Timer() : id_(registry.next++) { registry.timers.emplace(id_, this); }

Timer::~Timer() {
    enabled_ = false;
    apply();
    registry.timers.erase(id_);
}

void Timer::setInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    apply();
}

void Timer::setEnabled(bool on) {
    // Setting the state it already has does not restart the count.
    if (on == enabled_) return;
    enabled_ = on;
    apply();
}

void Timer::apply() {
    const bool want = enabled_ && interval_ > 0;
    if (!want && !running_) return;
    HWND h = host();
    if (running_) KillTimer(h, id_);
    running_ = false;
    if (want && h) running_ = SetTimer(h, id_, interval_, nullptr) != 0;
}

}  // namespace kelva::rt
