#include "runtime/usercontrol.h"

#include "runtime/form.h"

namespace kelva::rt {

UserControl::~UserControl() {
    // A derived control runs its own teardown first (terminate() from its destructor); this
    // catches one that did not.
}

void UserControl::initNew() {
    initProperties();
    afterProperties();
}

void UserControl::load(const PropertyBag& bag) {
    readProperties(bag);
    afterProperties();
}

void UserControl::afterProperties() {
    if (!propertiesIn_) {
        propertiesIn_ = true;
        onResize();
    }
    if (!shown_) {
        shown_ = true;
        onShow();
    }
}

void UserControl::save(PropertyBag& bag) { writeProperties(bag); }

void UserControl::terminate() {
    if (terminated_) return;
    terminated_ = true;
    onTerminate();
}

Ambient UserControl::ambient() const { return form() ? form()->ambientFor(this) : Ambient{}; }

void UserControl::ambientChanged(std::wstring_view name) { onAmbientChanged(name); }

void UserControl::propertyChanged(std::wstring_view name) {
    changed_.emplace_back(name);
    if (PropertyChangedHandler) PropertyChangedHandler(name);
}

HWND UserControl::createWindow(HWND parent, const RECT& px) {
    return createSurfaceWindow(L"KelvaUserControl",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP, 0, parent, px);
}

void UserControl::setCanGetFocus(bool v) {
    canGetFocus_ = v;
    if (!hwnd()) return;
    LONG style = GetWindowLongW(hwnd(), GWL_STYLE), ex = GetWindowLongW(hwnd(), GWL_EXSTYLE);
    SetWindowLongW(hwnd(), GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    SetWindowLongW(hwnd(), GWL_EXSTYLE, v ? (ex & ~WS_EX_CONTROLPARENT) : (ex | WS_EX_CONTROLPARENT));
}

LRESULT UserControl::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (canGetFocus_ && GetFocus() != hwnd()) SetFocus(hwnd());
        break;
    case WM_SETFOCUS: onGotFocus(); return 0;
    case WM_KILLFOCUS: onLostFocus(); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        const bool down = msg == WM_KEYDOWN;
        const int shift = shiftState();
        Form* f = form();
        int key = static_cast<int>(wParam);
        if (f) key = down ? f->previewKeyDown(key, shift) : f->previewKeyUp(key, shift);
        if (down) lastKeyTaken_ = true;
        if (!key) return 0;
        const bool used = usesKey(key, shift);
        if (down && key == VK_TAB && !(shift & 6) && !used) {
            if (f) f->moveFocus(!(shift & 1));
            return 0;
        }
        if (down) onKeyDown(key, shift);
        else onKeyUp(key, shift);
        if (used) return 0;
        if (down) lastKeyTaken_ = false;
        // With KeyPreview on, the form has seen the key already.
        if (f && !f->keyPreview()) {
            if (down) f->controlKeyDown(key, shift);
            else f->controlKeyUp(key, shift);
        }
        return 0;
    }
    case WM_CHAR: {
        if (lastKeyTaken_) {
            lastKeyTaken_ = false;
            return 0;
        }
        Form* f = form();
        if (!f) return 0;
        int ascii = f->previewKeyPress(static_cast<int>(wParam));
        if (ascii && !f->keyPreview()) f->controlKeyPress(ascii);
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default: break;
    }
    return SurfaceControl::wndProc(msg, wParam, lParam);
}

}  // namespace kelva::rt
