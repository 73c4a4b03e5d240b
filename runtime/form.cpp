#include "runtime/form.h"

#include <cwctype>

#include "runtime/gdi.h"
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
}  // namespace

Form::Form(const FormLayout& layout) : font_(layout.font), backColor_(layout.backColor) {
    registerFormClass(staticProc);
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    const DWORD style = layout.borderless ? WS_POPUP | WS_CLIPCHILDREN
                                          : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, layout.caption.c_str(), style,
                            roundPixel(layout.rect.left / tx), roundPixel(layout.rect.top / ty),
                            roundPixel(layout.rect.width / tx), roundPixel(layout.rect.height / ty), layout.owner,
                            nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("the form's window could not be created");
}

Form::~Form() {
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

void Form::show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}
void Form::hide() { ShowWindow(hwnd_, SW_HIDE); }

void Form::setTopMost(bool on) {
    SetWindowPos(hwnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form::moveFocus(bool forward) {
    HWND next = GetNextDlgTabItem(hwnd_, GetFocus(), forward ? FALSE : TRUE);
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

bool Form::unload() {
    if (!hwnd_) return true;
    if (queryUnload(UnloadReason::FormCode)) return false;
    unloading_ = true;
    if (Unload) Unload();
    hide();
    return true;
}

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
    for (const auto& c : controls_) {
        auto* uc = dynamic_cast<UserControl*>(c.get());
        if (!uc) continue;
        if (const auto* node = findNode(form, uc->name())) uc->load(node->props);
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

LRESULT CALLBACK Form::staticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<Form*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return guardMessage(hwnd, [&] { return self->wndProc(msg, wParam, lParam); },
                        [&] { return DefWindowProcW(hwnd, msg, wParam, lParam); });
}

LRESULT Form::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
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
        if (LRESULT r = StdControl::colorMessage(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) return r;
        break;
    case WM_ACTIVATE:
        if (Activate) Activate(LOWORD(wParam) != WA_INACTIVE);
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
            if (queryUnload(UnloadReason::FormControlMenu)) return 0;
            if (Unload) Unload();
            hide();
            return 0;
        }
        break;
    case WM_SYSCHAR:
        if (dispatchAccessKey(static_cast<wchar_t>(wParam))) return 0;
        break;
    case WM_CLOSE:
        if (queryUnload(UnloadReason::FormCode)) return 0;
        if (Unload) Unload();
        hide();
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace kelva::rt
