#pragma once
// A window timer owned by an object: ticks on the user-interface thread while enabled.
#include <windows.h>

#include <functional>

namespace kelva::rt {

class Timer {
public:
    Timer();
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void setInterval(unsigned ms);
    unsigned interval() const { return interval_; }
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    // Whether the system timer is set (enabled with an interval).
    bool running() const { return running_; }
    // The system timer's id; never reused for another timer.
    UINT_PTR id() const { return id_; }

    std::function<void()> Tick;

private:
    static LRESULT CALLBACK hostProc(HWND, UINT, WPARAM, LPARAM);
    static HWND host();
    void apply();
    UINT_PTR id_;
    unsigned interval_ = 0;
    bool enabled_ = false;
    bool running_ = false;
};

}  // namespace kelva::rt
