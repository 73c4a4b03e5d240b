#include "runtime/picturebox.h"

#include <windowsx.h>

namespace kelva::rt {

int shiftState() {
    int s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= 1;
    if (GetKeyState(VK_CONTROL) < 0) s |= 2;
    if (GetKeyState(VK_MENU) < 0) s |= 4;
    return s;
}

HWND SurfaceControl::createSurfaceWindow(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                                         const RECT& px) {
    registerWindowClass(className, CS_DBLCLKS);
    HWND h = createOwnWindow(className, style, exStyle, parent, px);
    if (h) {
        RECT rc;
        GetClientRect(h, &rc);
        surface_.resize(rc.right, rc.bottom);
        surface_.cls();
    }
    return h;
}

void SurfaceControl::refresh() {
    if (hwnd()) {
        InvalidateRect(hwnd(), nullptr, FALSE);
        UpdateWindow(hwnd());
    }
}

MouseArgs SurfaceControl::mouseArgs(int button, LPARAM lParam) const {
    const auto& sc = surface_.scale();
    return {button, shiftState(), sc.fromPixelX(GET_X_LPARAM(lParam)), sc.fromPixelY(GET_Y_LPARAM(lParam))};
}

LRESULT SurfaceControl::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (const MouseEvent e = mouse_.track(hwnd(), msg, wParam, lParam); e.kind != MouseEvent::None) {
        const MouseArgs a = mouseArgs(e.button, lParam);
        switch (e.kind) {
        case MouseEvent::Down: onMouseDown(a); break;
        case MouseEvent::Up:
            onMouseUp(a);
            if (e.click) onClick();
            break;
        case MouseEvent::DblClick: onDblClick(); break;
        default: onMouseMove(a); break;
        }
        return 0;
    }
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        if (!autoRedraw_) onPaint();
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        surface_.blitTo(dc, ps.rcPaint);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT rc{0, 0, surface_.pixelWidth(), surface_.pixelHeight()};
        surface_.blitTo(reinterpret_cast<HDC>(wParam), rc);
        return 0;
    }
    case WM_SIZE:
        surface_.resize(LOWORD(lParam), HIWORD(lParam));
        resized();
        if (!autoRedraw_) InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    default: return Control::wndProc(msg, wParam, lParam);
    }
}

HWND PictureBox::createWindow(HWND parent, const RECT& px) {
    return createSurfaceWindow(L"KelvaPictureBox", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, parent, px);
}

void PictureBox::setBorderStyle(int style) {
    LONG s = GetWindowLongW(hwnd(), GWL_STYLE);
    SetWindowLongW(hwnd(), GWL_STYLE, style ? (s | WS_BORDER) : (s & ~WS_BORDER));
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

bool PictureBox::setProperty(std::wstring_view name, const PropValue& value) {
    if (sameName(name, L"BorderStyle")) {
        setBorderStyle(asLong(value));
        return true;
    }
    if (sameName(name, L"Appearance")) return true;  // flat and 3-D look alike here
    return Control::setProperty(name, value);
}

void PictureBox::onPaint() {
    if (Paint) Paint();
}
void PictureBox::onResize() {
    if (Resize) Resize();
}
void PictureBox::onMouseDown(const MouseArgs& a) {
    if (MouseDown) MouseDown(a);
}
void PictureBox::onMouseUp(const MouseArgs& a) {
    if (MouseUp) MouseUp(a);
}
void PictureBox::onMouseMove(const MouseArgs& a) {
    if (MouseMove) MouseMove(a);
}
void PictureBox::onClick() {
    if (Click) Click();
}
void PictureBox::onDblClick() {
    if (DblClick) DblClick();
}

}  // namespace kelva::rt

namespace kelva::rt {

void Image::setImage(std::shared_ptr<Picture> p) {
    image_ = std::move(p);
    show();
}

void Image::setStretch(bool v) {
    stretch_ = v;
    show();
}

void Image::onResize() {
    show();
    PictureBox::onResize();
}

void Image::show() {
    setAutoRedraw(true);
    auto& s = surface();
    s.cls();
    if (image_) {
        const SIZE sz = clientPixels();
        image_->draw(s.hdc(), 0, 0, stretch_ ? sz.cx : image_->width(), stretch_ ? sz.cy : image_->height());
    }
    refresh();
}

}  // namespace kelva::rt
