#include "runtime/control.h"

#include <commctrl.h>
#include <windowsx.h>

#include "runtime/eventscope.h"
#include "runtime/font.h"
#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/mouse.h"
#include "runtime/scale.h"
#include "runtime/services.h"
#include "runtime/subclass.h"

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
    if (hwnd_) MoveWindow(hwnd_, px.left, px.top, px.right - px.left, px.bottom - px.top + dropHeight(), TRUE);
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
    else if (sameName(name, L"ToolTipText")) setToolTipText(asString(value));
    else return false;
    return true;
}

void Control::setToolTipText(std::wstring_view text) {
    toolTipText_ = text;
    if (form_ && hwnd_) form_->setToolTip(hwnd_, toolTipText_);
}

SIZE Control::clientPixels() const {
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    return {rc.right, rc.bottom};
}

LRESULT Control::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A control that contains intrinsic controls answers for them as the form does.
    if (auto r = StdControl::containerMessage(msg, wParam, lParam)) return *r;
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

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
    EventScope scope;
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

namespace {
constexpr const wchar_t* kStdProp = L"KelvaStdControl";
constexpr UINT_PTR kStdSubclass = 0x4B53;  // "KS"

StdControl* stdControlOf(HWND h) { return h ? static_cast<StdControl*>(GetPropW(h, kStdProp)) : nullptr; }
}  // namespace

StdControl::~StdControl() {
    if (hwnd()) {
        RemovePropW(hwnd(), kStdProp);
        removeWindowSubclass(hwnd(), subclassProc, kStdSubclass);
    }
    if (comboEdit_ && IsWindow(comboEdit_)) removeWindowSubclass(comboEdit_, subclassProc, kStdSubclass);
}

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
    int height = px.bottom - px.top;
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
        height += dropHeight();
        break;
    }
    HWND h = CreateWindowExW(ex, cls, L"", style, px.left, px.top, px.right - px.left, height, parent, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (h) {
        SetPropW(h, kStdProp, this);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        setWindowSubclass(h, subclassProc, kStdSubclass, reinterpret_cast<DWORD_PTR>(this));
        if (kind_ == Kind::ComboBox) {
            // The keys of a combo box go to its edit part.
            comboEdit_ = GetWindow(h, GW_CHILD);
            if (comboEdit_) setWindowSubclass(comboEdit_, subclassProc, kStdSubclass, reinterpret_cast<DWORD_PTR>(this));
        }
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
    auto* self = stdControlOf(control);
    if (!self || (!self->foreColor_ && !self->backColor_)) return 0;
    if (self->foreColor_) SetTextColor(dc, toColorRef(*self->foreColor_));
    if (!self->backColor_) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    SetBkColor(dc, toColorRef(*self->backColor_));
    return reinterpret_cast<LRESULT>(self->brush_.get());
}

std::optional<LRESULT> StdControl::containerMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (LRESULT r = colorMessage(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) return r;
        break;
    case WM_COMMAND:
        if (commandMessage(reinterpret_cast<HWND>(lParam), HIWORD(wParam))) return 0;
        break;
    default: break;
    }
    return std::nullopt;
}

bool StdControl::commandMessage(HWND control, int code) {
    auto* self = stdControlOf(control);
    if (!self) return false;
    switch (self->kind_) {
    case Kind::TextBox:
        if (code == EN_CHANGE && self->Change) self->Change();
        break;
    case Kind::ComboBox:
        if (code == CBN_EDITCHANGE && self->Change) self->Change();
        else if (code == CBN_SELCHANGE && self->Click) self->Click();
        else if (code == CBN_SETFOCUS && self->GotFocus) self->GotFocus();
        else if (code == CBN_KILLFOCUS && self->LostFocus) self->LostFocus();
        break;
    case Kind::OptionButton:
        // Clicked, or reached by an arrow key: the button that ends up chosen raises Click.
        if (code == BN_CLICKED && self->value() == 1) self->chosen();
        break;
    case Kind::CheckBox:
        if (code == BN_CLICKED && self->Click) self->Click();
        break;
    case Kind::Label: break;
    }
    return true;
}

std::wstring StdControl::text() const {
    int n = GetWindowTextLengthW(hwnd());
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd(), s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

void StdControl::setText(std::wstring_view text) {
    SetWindowTextW(hwnd(), std::wstring(text).c_str());
    // A combo box tells nobody of a text set from code; a text box does (EN_CHANGE).
    if (kind_ == Kind::ComboBox && Change) Change();
}

int StdControl::value() const {
    if (kind_ != Kind::CheckBox && kind_ != Kind::OptionButton) return 0;
    const LRESULT r = SendMessageW(hwnd(), BM_GETCHECK, 0, 0);
    return r == BST_CHECKED ? 1 : r == BST_INDETERMINATE ? 2 : 0;
}

void StdControl::setValue(int v) {
    if (kind_ == Kind::CheckBox) {
        SendMessageW(hwnd(), BM_SETCHECK, v == 1 ? BST_CHECKED : v == 2 ? BST_INDETERMINATE : BST_UNCHECKED, 0);
    } else if (kind_ == Kind::OptionButton) {
        SendMessageW(hwnd(), BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
        if (v) chosen();
    }
}

void StdControl::chosen() {
    // The option buttons of one container form one group: only one of them is chosen.
    if (form()) {
        for (const auto& c : form()->controls()) {
            auto* o = dynamic_cast<StdControl*>(c.get());
            if (o && o != this && o->kind_ == Kind::OptionButton && o->container() == container() && o->hwnd())
                SendMessageW(o->hwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    if (Click) Click();
}

void StdControl::addItem(std::wstring_view item) {
    if (kind_ == Kind::ComboBox) SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::wstring(item).c_str()));
}
void StdControl::clear() {
    if (kind_ == Kind::ComboBox) SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
    else setText(L"");
}
int StdControl::listCount() const {
    return kind_ == Kind::ComboBox ? static_cast<int>(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0)) : 0;
}
std::wstring StdControl::list(int index) const {
    if (kind_ != Kind::ComboBox || index < 0 || index >= listCount()) return {};
    const auto n = SendMessageW(hwnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n < 0) return {};
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    SendMessageW(hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(n));
    return s;
}
int StdControl::listIndex() const {
    return kind_ == Kind::ComboBox ? static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0)) : -1;
}
void StdControl::setListIndex(int index) {
    if (kind_ != Kind::ComboBox) return;
    SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (Click) Click();
}

MouseArgs StdControl::mouseArgs(int button, LPARAM lParam) const {
    return {button, shiftState(), GET_X_LPARAM(lParam) * twipsPerPixelX(), GET_Y_LPARAM(lParam) * twipsPerPixelY()};
}

LRESULT CALLBACK StdControl::subclassProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    EventScope scope;
    if (msg == WM_NCDESTROY) {
        removeWindowSubclass(h, subclassProc, kStdSubclass);
        return defSubclassProc(h, msg, wParam, lParam);
    }
    return guardMessage(h, [&] { return reinterpret_cast<StdControl*>(ref)->message(h, msg, wParam, lParam); },
                        [&] { return defSubclassProc(h, msg, wParam, lParam); });
}

LRESULT StdControl::message(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    Form* f = form();
    switch (msg) {
    case WM_KEYDOWN: {
        int key = static_cast<int>(wParam);
        const int shift = shiftState();
        if (f) key = f->previewKeyDown(key, shift);
        if (key == VK_TAB && !(shift & 6)) {
            if (f) f->moveFocus(!(shift & 1));
            key = 0;
        }
        if (key && KeyDown) KeyDown(key, shift);
        lastKeyTaken_ = key == 0;
        if (!key) return 0;
        return defSubclassProc(h, msg, static_cast<WPARAM>(key), lParam);
    }
    case WM_KEYUP: {
        int key = static_cast<int>(wParam);
        if (f) key = f->previewKeyUp(key, shiftState());
        if (!key) return 0;
        return defSubclassProc(h, msg, static_cast<WPARAM>(key), lParam);
    }
    case WM_CHAR: {
        // The character of a key that was taken (Tab, or one the form dropped) goes with it.
        if (lastKeyTaken_) {
            lastKeyTaken_ = false;
            return 0;
        }
        int ascii = static_cast<int>(wParam);
        if (f) ascii = f->previewKeyPress(ascii);
        if (ascii && KeyPress) KeyPress(ascii);
        if (!ascii) return 0;
        return defSubclassProc(h, msg, static_cast<WPARAM>(ascii), lParam);
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT r = defSubclassProc(h, msg, wParam, lParam);
        if (kind_ != Kind::ComboBox) {  // a combo box reports its focus by notification
            if (msg == WM_SETFOCUS && GotFocus) GotFocus();
            if (msg == WM_KILLFOCUS && LostFocus) LostFocus();
        }
        return r;
    }
    default: break;
    }
    if (kind_ == Kind::Label) {
        if (const MouseEvent e = mouse_.track(h, msg, wParam, lParam); e.kind != MouseEvent::None) {
            raiseMouse(e, mouseArgs(e.button, lParam), {MouseDown, MouseUp, MouseMove, Click, DblClick});
            return 0;
        }
    }
    return defSubclassProc(h, msg, wParam, lParam);
}

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
    if ((kind_ == Kind::CheckBox || kind_ == Kind::OptionButton) && sameName(name, L"Value")) {
        setValue(kind_ == Kind::OptionButton ? (asBool(value) ? 1 : 0) : asLong(value));
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
