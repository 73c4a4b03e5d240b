#include "runtime/control.h"

#include "runtime/font.h"
#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/scale.h"
#include "runtime/services.h"

namespace kelva::rt {

Control::~Control() {
    if (container_) std::erase(container_->contained_, this);
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Control::create(Form& form, Control* container, std::wstring name, TwipsRect rect, bool constituent) {
    constituent_ = constituent;
    form_ = &form;
    container_ = container;
    name_ = std::move(name);
    rect_ = rect;
    HWND parent = container ? container->hwnd() : form.hwnd();
    hwnd_ = createWindow(parent, pixelRect(rect));
    if (!hwnd_) throw std::runtime_error("the window of a control could not be created");
    if (container) container->contained_.push_back(this);
    onCreated();
}

std::vector<Control*> Control::contained() const {
    std::vector<Control*> out;
    for (auto* c : contained_)
        if (!c->constituent_) out.push_back(c);
    return out;
}

RECT Control::pixelRect(const TwipsRect& r) const {
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    const int left = roundPixel(r.left / tx), top = roundPixel(r.top / ty);
    return {left, top, left + roundPixel(r.width / tx), top + roundPixel(r.height / ty)};
}

void Control::move(TwipsRect r) {
    rect_ = r;
    const RECT px = pixelRect(r);
    if (hwnd_) MoveWindow(hwnd_, px.left, px.top, px.right - px.left, px.bottom - px.top, TRUE);
}

void Control::bringToFront() {
    if (hwnd_) SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
void Control::sendToBack() {
    if (hwnd_) SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Control::enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }
void Control::setEnabled(bool v) {
    if (hwnd_) EnableWindow(hwnd_, v);
}
bool Control::visible() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE); }
void Control::setVisible(bool v) {
    if (hwnd_) ShowWindow(hwnd_, v ? SW_SHOWNA : SW_HIDE);
}

bool Control::setProperty(std::wstring_view name, const PropValue& value) {
    if (sameName(name, L"Left")) setLeft(asDouble(value));
    else if (sameName(name, L"Top")) setTop(asDouble(value));
    else if (sameName(name, L"Width")) setWidth(asDouble(value));
    else if (sameName(name, L"Height")) setHeight(asDouble(value));
    else if (sameName(name, L"Visible")) setVisible(asBool(value));
    else if (sameName(name, L"Enabled")) setEnabled(asBool(value));
    else return false;
    return true;
}

SIZE Control::clientPixels() const {
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    return {rc.right, rc.bottom};
}

LRESULT Control::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) { return DefWindowProcW(hwnd_, msg, wParam, lParam); }

void Control::registerWindowClass(const wchar_t* className, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = staticProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

HWND Control::createOwnWindow(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, const RECT& px) {
    return CreateWindowExW(exStyle, className, L"", style, px.left, px.top, px.right - px.left, px.bottom - px.top,
                           parent, nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK Control::staticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Control*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->windowDestroyed();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return guardMessage(hwnd, [&] { return self->wndProc(msg, wParam, lParam); },
                        [&] { return DefWindowProcW(hwnd, msg, wParam, lParam); });
}

// ---------------------------------------------------------------------------------------------

const wchar_t* StdControl::typeName() const {
    switch (kind_) {
    case Kind::Label: return L"Label";
    case Kind::TextBox: return L"TextBox";
    case Kind::CheckBox: return L"CheckBox";
    case Kind::OptionButton: return L"OptionButton";
    case Kind::ComboBox: return L"ComboBox";
    }
    return L"";
}

HWND StdControl::createWindow(HWND parent, const RECT& px) {
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, ex = 0;
    switch (kind_) {
    case Kind::Label: style |= SS_LEFT | SS_NOTIFY; break;
    case Kind::TextBox:
        cls = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL | WS_BORDER;
        break;
    case Kind::CheckBox:
        cls = L"BUTTON";
        style |= WS_TABSTOP | BS_CHECKBOX;
        break;
    case Kind::OptionButton:
        cls = L"BUTTON";
        style |= WS_TABSTOP | BS_AUTORADIOBUTTON;
        break;
    case Kind::ComboBox:
        cls = L"COMBOBOX";
        style |= WS_TABSTOP | CBS_DROPDOWN | WS_VSCROLL | CBS_AUTOHSCROLL;
        break;
    }
    HWND h = CreateWindowExW(ex, cls, L"", style, px.left, px.top, px.right - px.left, px.bottom - px.top, parent,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (h) {
        SetPropW(h, L"KelvaStdControl", this);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    return h;
}

void StdControl::setForeColor(std::uint32_t c) {
    foreColor_ = c;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void StdControl::setBackColor(std::uint32_t c) {
    backColor_ = c;
    brush_.reset(CreateSolidBrush(toColorRef(c)));
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void StdControl::setFont(const FontDesc& f) {
    font_ = createFont(f);
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

LRESULT StdControl::colorMessage(HWND control, HDC dc) {
    auto* self = static_cast<StdControl*>(GetPropW(control, L"KelvaStdControl"));
    if (!self || (!self->foreColor_ && !self->backColor_)) return 0;
    if (self->foreColor_) SetTextColor(dc, toColorRef(*self->foreColor_));
    if (!self->backColor_) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    SetBkColor(dc, toColorRef(*self->backColor_));
    return reinterpret_cast<LRESULT>(self->brush_.get());
}

std::wstring StdControl::text() const {
    int n = GetWindowTextLengthW(hwnd());
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd(), s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

void StdControl::setText(std::wstring_view text) { SetWindowTextW(hwnd(), std::wstring(text).c_str()); }

bool StdControl::setProperty(std::wstring_view name, const PropValue& value) {
    auto setStyle = [&](DWORD bits, bool on, bool extended) {
        const int which = extended ? GWL_EXSTYLE : GWL_STYLE;
        LONG s = GetWindowLongW(hwnd(), which);
        SetWindowLongW(hwnd(), which, on ? (s | static_cast<LONG>(bits)) : (s & ~static_cast<LONG>(bits)));
        SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    };
    if (sameName(name, L"Caption") || sameName(name, L"Text")) {
        setText(asString(value));
        return true;
    }
    if (sameName(name, L"ForeColor")) {
        setForeColor(static_cast<std::uint32_t>(asLong(value)));
        return true;
    }
    if (sameName(name, L"BackColor")) {
        setBackColor(static_cast<std::uint32_t>(asLong(value)));
        return true;
    }
    if (sameName(name, L"Font")) {
        setFont(asFont(value));
        return true;
    }
    if (kind_ == Kind::TextBox && sameName(name, L"BorderStyle")) {
        setStyle(WS_BORDER, asLong(value) != 0, false);
        return true;
    }
    if (kind_ == Kind::TextBox && sameName(name, L"Appearance")) {
        setStyle(WS_EX_CLIENTEDGE, asLong(value) != 0, true);
        return true;
    }
    return Control::setProperty(name, value);
}

// ---------------------------------------------------------------------------------------------

HWND Shape::createWindow(HWND parent, const RECT& px) {
    registerWindowClass(L"KelvaShape", 0);
    HWND h = createOwnWindow(L"KelvaShape", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED, 0, parent, px);
    if (h) SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return h;
}

void Shape::setBorderColor(std::uint32_t c) {
    borderColor_ = c;
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

bool Shape::setProperty(std::wstring_view name, const PropValue& value) {
    // A shape has no Enabled: a host that sets it by name is told so.
    if (sameName(name, L"Enabled")) return false;
    if (sameName(name, L"BorderColor")) {
        setBorderColor(static_cast<std::uint32_t>(asLong(value)));
        return true;
    }
    return Control::setProperty(name, value);
}

LRESULT Shape::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT rc;
        GetClientRect(hwnd(), &rc);
        // The fill is transparent: the container's background shows through.
        HWND parent = GetParent(hwnd());
        POINT origin{0, 0};
        MapWindowPoints(hwnd(), parent, &origin, 1);
        SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        BrushPtr brush(CreateSolidBrush(toColorRef(borderColor_)));
        FrameRect(dc, &rc, brush.get());
        EndPaint(hwnd(), &ps);
        return 0;
    }
    return Control::wndProc(msg, wParam, lParam);
}

}  // namespace kelva::rt
