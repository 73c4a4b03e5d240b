#pragma once
// The stand-in's window: its title is the application's Caption (a client activates AutoCAD by it) and
// it lists what the drawing holds, so a demo shows text arriving.
#include <windows.h>

#include <cstddef>
#include <string>

#include "acadsim/com/objects.h"

namespace kelva::acad::server {

class Viewer {
public:
    explicit Viewer(sim::Session& session);
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    bool created() const { return hwnd_ != nullptr; }
    HWND hwnd() const { return hwnd_; }
    HWND list() const { return list_; }
    // Told of every change. The caption and the window's state follow at once; the list is refilled
    // once a burst of changes is over, so a call's cost does not grow with the drawing.
    void invalidate();
    // How many times the list has been refilled.
    std::size_t refills() const { return refills_; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void showState();
    void show();
    void onTimer();
    void refill();

    sim::Session& session_;
    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    HFONT font_ = nullptr;
    std::wstring caption_;
    bool visible_ = true;
    int state_ = 1;  // acNorm 1, acMin 2, acMax 3
    bool stale_ = false;          // the list lags behind the drawing
    ULONGLONG firstChange_ = 0;   // of the changes the list has not shown yet
    ULONGLONG lastChange_ = 0;
    std::size_t refills_ = 0;
};

}  // namespace kelva::acad::server
