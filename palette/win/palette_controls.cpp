#include "palette/win/palette_controls.h"

#include <windowsx.h>

#include "palette/charmap_logic.h"
#include "runtime/font.h"
#include "runtime/form.h"

namespace kelva::palette {

// ----- KeyPictureBox

HWND KeyPictureBox::createWindow(HWND parent, const RECT& px) {
    const DWORD border = bordered_ ? WS_BORDER : 0;
    return createSurfaceWindow(L"KelvaPictureBox", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | border, 0, parent, px);
}

LRESULT KeyPictureBox::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN: {
        const int keyCode = static_cast<int>(wParam);
        const int shift = rt::shiftState();
        if (keyCode == VK_TAB && !(shift & key::CtrlBit)) {
            if (form()) form()->moveFocus(!(shift & key::ShiftBit));
            return 0;
        }
        if (KeyDown) KeyDown(keyCode, shift);
        return 0;
    }
    case WM_CHAR:
        if (wParam != L'\t' && KeyPress) KeyPress();
        return 0;
    case WM_KILLFOCUS:
        if (LostFocus) LostFocus();
        break;
    default: break;
    }
    return rt::PictureBox::wndProc(msg, wParam, lParam);
}

// ----- DragLabel

HWND DragLabel::createWindow(HWND parent, const RECT& px) {
    registerWindowClass(L"KelvaPaletteLabel", 0);
    return createOwnWindow(L"KelvaPaletteLabel", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, parent, px);
}

void DragLabel::setColors(std::uint32_t back, std::uint32_t fore) {
    back_ = back;
    fore_ = fore;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void DragLabel::setForeColor(std::uint32_t c) {
    if (c == fore_) return;
    fore_ = c;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void DragLabel::setFont(const rt::FontDesc& f) {
    font_ = rt::createFont(f);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void DragLabel::setText(std::wstring text) {
    text_ = std::move(text);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT DragLabel::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT rc;
        GetClientRect(hwnd(), &rc);
        rt::BrushPtr brush(CreateSolidBrush(rt::toColorRef(back_)));
        FillRect(dc, &rc, brush.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, rt::toColorRef(fore_));
        HGDIOBJ old = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &rc,
                  (centered_ ? DT_CENTER : DT_LEFT) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, old);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (MouseDown) MouseDown();
        if (msg == WM_LBUTTONDOWN && Click) Click();
        return 0;
    case WM_MOUSEMOVE:
        if (MouseMove) MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    default: return Control::wndProc(msg, wParam, lParam);
    }
}

// ----- GlyphImage

HWND GlyphImage::createWindow(HWND parent, const RECT& px) {
    registerWindowClass(L"KelvaPaletteImage", 0);
    return createOwnWindow(L"KelvaPaletteImage", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, parent, px);
}

void GlyphImage::paint(HDC dc, const RECT& rc) const {
    const int w = rc.right, h = rc.bottom;
    switch (kind_) {
    case Kind::Icon: {  // a small character cell: the palette's own sign
        rt::BrushPtr back(CreateSolidBrush(RGB(0x40, 0x40, 0x40)));
        FillRect(dc, &rc, back.get());
        rt::BrushPtr cell(CreateSolidBrush(RGB(0xF0, 0xC0, 0x40)));
        RECT inner{1, 1, w - 1, h - 1};
        FillRect(dc, &inner, cell.get());
        rt::PenPtr pen(CreatePen(PS_SOLID, 1, RGB(0x40, 0x40, 0x40)));
        HGDIOBJ old = SelectObject(dc, pen.get());
        MoveToEx(dc, w / 2, 3, nullptr);
        LineTo(dc, w / 2, h - 3);
        MoveToEx(dc, 3, h / 2, nullptr);
        LineTo(dc, w - 3, h / 2);
        SelectObject(dc, old);
        break;
    }
    case Kind::Minimize: {  // a button face with a bar at the bottom
        rt::BrushPtr back(CreateSolidBrush(RGB(0x40, 0x40, 0x40)));
        FillRect(dc, &rc, back.get());
        rt::PenPtr frame(CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0)));
        HGDIOBJ old = SelectObject(dc, frame.get());
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, 0, 0, w, h);
        RECT bar{4, h - 6, w - 4, h - 4};
        FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectObject(dc, old);
        break;
    }
    case Kind::GetText: {  // a "T" over an arrow: take from a picked text
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        rt::PenPtr pen(CreatePen(PS_SOLID, 2, RGB(0x20, 0x40, 0x90)));
        HGDIOBJ old = SelectObject(dc, pen.get());
        MoveToEx(dc, 3, 3, nullptr);
        LineTo(dc, w - 4, 3);
        MoveToEx(dc, w / 2, 3, nullptr);
        LineTo(dc, w / 2, h - 3);
        MoveToEx(dc, w / 2 - 4, h - 7, nullptr);
        LineTo(dc, w / 2, h - 3);
        LineTo(dc, w / 2 + 4, h - 7);
        SelectObject(dc, old);
        break;
    }
    }
}

LRESULT GlyphImage::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT rc;
        GetClientRect(hwnd(), &rc);
        paint(dc, rc);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetCapture(hwnd());
        if (MouseDown) MouseDown();
        return 0;
    case WM_LBUTTONUP: {
        const bool captured = GetCapture() == hwnd();
        if (captured) ReleaseCapture();
        if (MouseUp) MouseUp();
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT rc;
        GetClientRect(hwnd(), &rc);
        if (PtInRect(&rc, p) && Click) Click();
        return 0;
    }
    default: return Control::wndProc(msg, wParam, lParam);
    }
}

}  // namespace kelva::palette
