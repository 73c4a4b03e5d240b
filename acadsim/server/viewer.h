#pragma once
// The stand-in's window: its title is the application's Caption (a client activates AutoCAD by it) and
// it lists what the drawing holds, so a demo shows text arriving.
#include <windows.h>

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
    // Asks for a refresh; several changes in a row repaint once.
    void invalidate();

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void refresh();

    sim::Session& session_;
    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    HFONT font_ = nullptr;
    bool pending_ = false;
};

}  // namespace kelva::acad::server
