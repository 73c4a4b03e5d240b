#pragma once
// The mouse of a window the way the original runtime's controls report it: MouseDown and MouseUp
// with their button (1 left, 2 right, 4 middle), Click after a left press that is released inside,
// DblClick for the left button only (a quick second press of another button is a press), and
// MouseMove with the buttons held. The window keeps the capture while a button is down.
#include <windows.h>

#include <functional>

namespace kelva::rt {

// Button: 1 left, 2 right, 4 middle. Shift: 1 Shift, 2 Ctrl, 4 Alt. X and Y in scale units.
struct MouseArgs {
    int button = 0;
    int shift = 0;
    double x = 0, y = 0;
};

// The Shift argument of key and mouse events, from the keys held now.
int shiftState();

struct MouseEvent {
    enum Kind { None, Down, Up, DblClick, Move };
    Kind kind = None;
    int button = 0;      // Down and Up: the button; Move: the buttons held
    bool click = false;  // Up: Click follows
};

class MouseTracker {
public:
    // What msg stands for (None for any other message); takes or releases the capture.
    MouseEvent track(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    bool pressed_ = false;
    int buttonsDown_ = 0;
};

// Raises an event on the handlers of a window that reports the mouse by events; args are the
// event's arguments in the window's units.
struct MouseHandlers {
    const std::function<void(const MouseArgs&)>& down;
    const std::function<void(const MouseArgs&)>& up;
    const std::function<void(const MouseArgs&)>& move;
    const std::function<void()>& click;
    const std::function<void()>& dblClick;
};
void raiseMouse(const MouseEvent& e, const MouseArgs& args, const MouseHandlers& h);

}  // namespace kelva::rt
