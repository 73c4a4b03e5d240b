#include "runtime/form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cwctype>
#include <utility>

#include "runtime/eventscope.h"
#include "runtime/gdi.h"
#include "runtime/mouse.h"
#include "runtime/scale.h"
#include "runtime/services.h"

namespace kelva::rt {

namespace {
constexpr const wchar_t* kFormClass = L"KelvaForm";

void registerFormClass(WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kFormClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
}

// Every live form of the thread, so that an owner that unloads can take the forms it owns along.
thread_local std::vector<Form*> liveForms;
}  // namespace

Form* formOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (!root || windowClassName(root) != kFormClass) return nullptr;
    return reinterpret_cast<Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

Form::Form(const FormLayout& layout)
    : font_(layout.font), backColor_(layout.backColor), keyPreview_(layout.keyPreview) {
    registerFormClass(staticProc);
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    const DWORD style = layout.borderless ? WS_POPUP | WS_CLIPCHILDREN
                                          : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, layout.caption.c_str(), style,
                            roundPixel(layout.rect.left / tx), roundPixel(layout.rect.top / ty),
                            roundPixel(layout.rect.width / tx), roundPixel(layout.rect.height / ty), layout.owner,
                            nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("the form's window could not be created");
    liveForms.push_back(this);
}

Form::~Form() {
    EventScope::withdraw(this);
    std::erase(liveForms, this);
    destroyControls();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Form::destroyControls() {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (auto* uc = dynamic_cast<UserControl*>(it->get())) uc->terminate();
    while (!controls_.empty()) controls_.pop_back();  // contained controls go before their containers
}

Control* Form::control(std::wstring_view name) const {
    for (const auto& c : controls_)
        if (sameName(c->name(), name)) return c.get();
    return nullptr;
}

Ambient Form::ambientFor(const UserControl* c) const {
    Ambient a;
    a.userMode = userMode_;
    a.font = font_;
    a.backColor = backColor_;
    a.displayAsDefault = c && c == defaultControl_;
    return a;
}

void Form::setDefaultControl(UserControl* c) {
    UserControl* old = defaultControl_;
    defaultControl_ = c;
    if (old && old != c) old->ambientChanged(L"DisplayAsDefault");
    if (c && c != old) c->ambientChanged(L"DisplayAsDefault");
}

void Form::setFont(const FontDesc& f) {
    font_ = f;
    for (const auto& c : controls_)
        if (auto* uc = dynamic_cast<UserControl*>(c.get())) uc->ambientChanged(L"Font");
}

// ---- caption and geometry ----------------------------------------------------------------------

std::wstring Form::caption() const {
    if (!hwnd_) return {};
    const int n = GetWindowTextLengthW(hwnd_);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd_, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

void Form::setCaption(std::wstring_view text) {
    if (hwnd_) SetWindowTextW(hwnd_, std::wstring(text).c_str());
}

namespace {
// The bounds the window has when it is not minimised or maximised, in screen pixels.
RECT restoredRect(HWND h) {
    RECT rc{};
    if (!h) return rc;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if ((IsIconic(h) || IsZoomed(h)) && GetWindowPlacement(h, &wp)) return wp.rcNormalPosition;
    GetWindowRect(h, &rc);
    return rc;
}
}  // namespace

double Form::left() const { return restoredRect(hwnd_).left * twipsPerPixelX(); }
double Form::top() const { return restoredRect(hwnd_).top * twipsPerPixelY(); }
double Form::width() const {
    const RECT rc = restoredRect(hwnd_);
    return (rc.right - rc.left) * twipsPerPixelX();
}
double Form::height() const {
    const RECT rc = restoredRect(hwnd_);
    return (rc.bottom - rc.top) * twipsPerPixelY();
}

void Form::setBounds(int x, int y, int w, int h) {
    if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::move(TwipsRect r) {
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    setBounds(roundPixel(r.left / tx), roundPixel(r.top / ty), roundPixel(r.width / tx), roundPixel(r.height / ty));
}
void Form::setLeft(double v) { move({v, top(), width(), height()}); }
void Form::setTop(double v) { move({left(), v, width(), height()}); }
void Form::setWidth(double v) { move({left(), top(), v, height()}); }
void Form::setHeight(double v) { move({left(), top(), width(), v}); }

double Form::scaleWidth() const {
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    return rc.right * twipsPerPixelX();
}
double Form::scaleHeight() const {
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    return rc.bottom * twipsPerPixelY();
}

WindowState Form::windowState() const {
    if (hwnd_ && IsIconic(hwnd_)) return WindowState::Minimized;
    if (hwnd_ && IsZoomed(hwnd_)) return WindowState::Maximized;
    return WindowState::Normal;
}

void Form::setWindowState(WindowState s) {
    if (!hwnd_) return;
    const int cmd = s == WindowState::Minimized ? SW_MINIMIZE : s == WindowState::Maximized ? SW_MAXIMIZE : SW_RESTORE;
    ShowWindow(hwnd_, cmd);
}

// ---- showing -----------------------------------------------------------------------------------

void Form::show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void Form::show(HWND owner) {
    if (!hwnd_) return;
    if (owner != hwnd_) SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    show();
}

void Form::hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Form::setTopMost(bool on) {
    if (hwnd_) SetWindowPos(hwnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool Form::topMost() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOPMOST); }

void Form::moveFocus(bool forward) {
    if (!hwnd_) return;
    // The focus may sit in a part of a control (the edit box of a combo box): start from the
    // control itself, the window whose parent lays out its children for Tab.
    HWND from = GetFocus();
    if (from && !IsChild(hwnd_, from)) from = nullptr;
    while (from) {
        HWND parent = GetParent(from);
        if (!parent || parent == hwnd_ || (GetWindowLongW(parent, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) break;
        from = parent;
    }
    HWND next = GetNextDlgTabItem(hwnd_, from, forward ? FALSE : TRUE);
    if (next) SetFocus(next);
}

bool Form::dispatchAccessKey(wchar_t key) {
    const wchar_t k = static_cast<wchar_t>(std::towlower(key));
    for (const auto& c : controls_) {
        auto* uc = dynamic_cast<UserControl*>(c.get());
        if (!uc || !uc->hwnd() || !IsWindowEnabled(uc->hwnd()) || !IsWindowVisible(uc->hwnd())) continue;
        for (wchar_t a : uc->accessKeys()) {
            if (static_cast<wchar_t>(std::towlower(a)) == k) {
                if (uc->canGetFocus()) SetFocus(uc->hwnd());
                uc->accessKeyPress(key);
                return true;
            }
        }
    }
    return false;
}

void Form::setToolTip(HWND tool, std::wstring_view text) {
    if (!hwnd_ || !tool) return;
    if (!toolTip_) {
        if (text.empty()) return;
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        // The tip window has no owner: an owned top-most popup keeps its owner from becoming top-most. So it
        // does not go with the form's window by itself; the form destroys it.
        toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (!toolTip_) return;
    }
    std::wstring copy(text);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = copy.data();
    SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    if (!copy.empty()) SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---- keys ----------------------------------------------------------------------------------------

void Form::controlKeyDown(int& keyCode, int shift) {
    if (KeyDown && keyCode) KeyDown(keyCode, shift);
}
void Form::controlKeyUp(int& keyCode, int shift) {
    if (KeyUp && keyCode) KeyUp(keyCode, shift);
}
void Form::controlKeyPress(int& keyAscii) {
    if (KeyPress && keyAscii) KeyPress(keyAscii);
}
int Form::previewKeyDown(int keyCode, int shift) {
    if (keyPreview_) controlKeyDown(keyCode, shift);
    return keyCode;
}
int Form::previewKeyUp(int keyCode, int shift) {
    if (keyPreview_) controlKeyUp(keyCode, shift);
    return keyCode;
}
int Form::previewKeyPress(int keyAscii) {
    if (keyPreview_) controlKeyPress(keyAscii);
    return keyAscii;
}

// ---- unloading -----------------------------------------------------------------------------------

int Form::hookQueryUnload(std::function<void(bool, UnloadReason)> hook) {
    unloadHooks_.emplace_back(nextHook_, std::move(hook));
    return nextHook_++;
}

void Form::unhookQueryUnload(int id) {
    std::erase_if(unloadHooks_, [id](const auto& h) { return h.first == id; });
}

bool Form::queryUnload(UnloadReason reason) {
    const bool cancelled = QueryUnload && QueryUnload(reason);
    auto hooks = unloadHooks_;  // a hook may unhook itself
    for (auto& [id, h] : hooks) h(cancelled, reason);
    return cancelled;
}

bool Form::unload() { return unloadFor(UnloadReason::FormCode); }

bool Form::unloadFor(UnloadReason reason) {
    if (!hwnd_ || unloading_) return true;
    if (queryUnload(reason)) return false;
    finishUnload();
    return true;
}

void Form::finishUnload() {
    unloading_ = true;
    if (Unload) {
        auto handler = Unload;  // the handler may replace itself
        handler();
    }
    hide();
    // The event that asked for the unload may be running in a window of this form or in one of its
    // controls (a click on its own button, its deactivation, a key): the windows and the controls'
    // subclassing and timers go only once that event has returned.
    EventScope::defer(this, [this] { teardown(); });
}

void Form::teardown() {
    if (!hwnd_) return;
    // Forms owned by this one would be destroyed with its window: they unload first, in order.
    std::vector<Form*> owned;
    for (Form* f : liveForms)
        if (f != this && f->hwnd_ && GetWindow(f->hwnd_, GW_OWNER) == hwnd_) owned.push_back(f);
    for (Form* f : owned) {
        if (!f->unloading_) {
            f->queryUnload(UnloadReason::FormOwner);  // an owner that goes takes its windows along
            f->unloading_ = true;
            if (f->Unload) {
                auto handler = f->Unload;
                handler();
            }
        }
        EventScope::withdraw(f);
        f->teardown();
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (auto* uc = dynamic_cast<UserControl*>(it->get())) uc->terminate();
    if (toolTip_) DestroyWindow(toolTip_);
    toolTip_ = nullptr;
    if (hwnd_) DestroyWindow(hwnd_);  // the controls' windows go with it; the objects stay
    if (Unloaded) {
        auto handler = Unloaded;  // the last thing the form does: the handler may delete it
        handler();
    }
}

// ---- stored design data ------------------------------------------------------------------------

namespace {
const DesignNode* findNode(const DesignNode& n, std::wstring_view name) {
    for (const auto& c : n.children) {
        if (sameName(c.name, name)) return &c;
        if (const auto* deeper = findNode(c, name)) return deeper;
    }
    return nullptr;
}
}  // namespace

void Form::loadDesign(const DesignNode& form) {
    static const PropertyBag empty;
    for (const auto& c : controls_) {
        auto* uc = dynamic_cast<UserControl*>(c.get());
        if (!uc) continue;
        const auto* node = findNode(form, uc->name());
        if (node) uc->load(node->props);
        else if (userMode_) uc->load(empty);  // run time: nothing stored is a bag of defaults
        else uc->initNew();
    }
}

DesignNode Form::saveDesign(std::wstring_view type, std::wstring_view name) {
    DesignNode root{std::wstring(type), std::wstring(name), {}, {}};
    for (const auto& c : controls_) {
        DesignNode n{c->typeName(), c->name(), {}, {}};
        if (auto* uc = dynamic_cast<UserControl*>(c.get())) uc->save(n.props);
        root.children.push_back(std::move(n));
    }
    return root;
}

// ---- messages ------------------------------------------------------------------------------------

LRESULT CALLBACK Form::staticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    EventScope scope;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<Form*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        if (self->toolTip_) DestroyWindow(std::exchange(self->toolTip_, nullptr));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return guardMessage(hwnd, [&] { return self->wndProc(msg, wParam, lParam); },
                        [&] { return DefWindowProcW(hwnd, msg, wParam, lParam); });
}

MouseArgs Form::mouseArgs(int button, LPARAM lParam) const {
    return {button, shiftState(), GET_X_LPARAM(lParam) * twipsPerPixelX(), GET_Y_LPARAM(lParam) * twipsPerPixelY()};
}

LRESULT Form::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (const MouseEvent e = mouse_.track(hwnd_, msg, wParam, lParam); e.kind != MouseEvent::None) {
        raiseMouse(e, mouseArgs(e.button, lParam), {MouseDown, MouseUp, MouseMove, Click, DblClick});
        return 0;
    }
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        BrushPtr b(CreateSolidBrush(toColorRef(backColor_)));
        FillRect(reinterpret_cast<HDC>(wParam), &rc, b.get());
        return 1;
    }
    case WM_PRINTCLIENT: {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        BrushPtr b(CreateSolidBrush(toColorRef(backColor_)));
        FillRect(reinterpret_cast<HDC>(wParam), &rc, b.get());
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_COMMAND:
        if (auto r = StdControl::containerMessage(msg, wParam, lParam)) return *r;
        break;
    case WM_ACTIVATE:
        if (Activate) Activate(LOWORD(wParam) != WA_INACTIVE);
        if (!hwnd_) return 0;
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND f = GetFocus();
            if (f && IsChild(hwnd_, f)) lastFocus_ = f;
            return 0;
        }
        // Coming back, the control that had the focus gets it again, as in a dialog.
        if (!HIWORD(wParam) && lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // Alt+letter anywhere on the form arrives here from the focused child's default handling.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam > 32 && dispatchAccessKey(static_cast<wchar_t>(lParam))) return 0;
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            unloadFor(UnloadReason::FormControlMenu);
            return 0;
        }
        break;
    case WM_SYSCHAR:
        if (dispatchAccessKey(static_cast<wchar_t>(wParam))) return 0;
        break;
    case WM_CLOSE:
        // The system menu's close arrives as SC_CLOSE above: a bare WM_CLOSE comes from outside.
        unloadFor(UnloadReason::AppTaskManager);
        return 0;
    case WM_QUERYENDSESSION:
        // The logon session ends: the form may refuse, and otherwise is asked nothing more.
        if (unloading_ || !hwnd_) return TRUE;
        return queryUnload(UnloadReason::AppWindows) ? FALSE : TRUE;
    case WM_ENDSESSION:
        // The session really ends: the process goes after this message, so Unload runs now.
        if (wParam && !unloading_) finishUnload();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        // The form itself has the focus (it has no control that takes it).
        const bool ctrlOrAlt = (shiftState() & 6) != 0;
        int key = static_cast<int>(wParam);
        if (msg == WM_KEYDOWN && key == VK_TAB && !ctrlOrAlt) {
            moveFocus(GetKeyState(VK_SHIFT) >= 0);
            return 0;
        }
        if (msg == WM_KEYDOWN) controlKeyDown(key, shiftState());
        else controlKeyUp(key, shiftState());
        return 0;
    }
    case WM_CHAR: {
        int ascii = static_cast<int>(wParam);
        if (ascii != L'\t') controlKeyPress(ascii);
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace kelva::rt
