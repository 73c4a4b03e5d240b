#include "runtime/mouse.h"

#include <windowsx.h>

namespace kelva::rt {

MouseEvent MouseTracker::track(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MouseEvent e;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        e.kind = MouseEvent::Down;
        e.button = msg == WM_LBUTTONDOWN ? 1 : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) ? 2 : 4;
        if (e.button == 1) pressed_ = true;
        buttonsDown_ |= e.button;
        SetCapture(hwnd);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        e.kind = MouseEvent::Up;
        e.button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
        buttonsDown_ &= ~e.button;
        if (!buttonsDown_ && GetCapture() == hwnd) ReleaseCapture();
        if (e.button == 1 && pressed_) {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            RECT rc;
            e.click = GetClientRect(hwnd, &rc) && PtInRect(&rc, pt);
        }
        if (e.button == 1) pressed_ = false;
        break;
    }
    case WM_LBUTTONDBLCLK:
        e.kind = MouseEvent::DblClick;
        pressed_ = false;
        buttonsDown_ |= 1;
        SetCapture(hwnd);
        break;
    case WM_MOUSEMOVE:
        e.kind = MouseEvent::Move;
        if (wParam & MK_LBUTTON) e.button |= 1;
        if (wParam & MK_RBUTTON) e.button |= 2;
        if (wParam & MK_MBUTTON) e.button |= 4;
        break;
    default: break;
    }
    return e;
}

void raiseMouse(const MouseEvent& e, const MouseArgs& args, const MouseHandlers& h) {
    switch (e.kind) {
    case MouseEvent::Down:
        if (h.down) h.down(args);
        break;
    case MouseEvent::Up:
        if (h.up) h.up(args);
        if (e.click && h.click) h.click();
        break;
    case MouseEvent::DblClick:
        if (h.dblClick) h.dblClick();
        break;
    case MouseEvent::Move:
        if (h.move) h.move(args);
        break;
    case MouseEvent::None: break;
    }
}

}  // namespace kelva::rt
