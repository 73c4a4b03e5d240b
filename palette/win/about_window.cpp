#include "palette/win/about_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "palette/settings_logic.h"
#include "palette/win/char_window.h"
#include "palette/win/fonts.h"
#include "palette/win/palette_controls.h"
#include "runtime/gdi.h"
#include "runtime/subclass.h"

#ifndef KELVA_VERSION
#define KELVA_VERSION "1.0.0"
#endif

namespace kelva::palette {

namespace {
std::wstring widen(const char* s) { return std::wstring(s, s + std::char_traits<char>::length(s)); }
const std::wstring kVersion = L"버전 " + widen(KELVA_VERSION);
}  // namespace

const wchar_t* const kVersionLine = kVersion.c_str();
const wchar_t* const kHomePage = L"";

AboutWindow::AboutWindow(HWND owner) : owner_(owner) {
    shellOpen = [](const std::wstring& address, int show) {
        ShellExecuteW(nullptr, L"Open", address.c_str(), nullptr, nullptr, show);
    };
}

AboutWindow::~AboutWindow() {
    for (auto* f : {form_.get(), retired_.get()})
        if (f && f->hwnd()) rt::removeWindowSubclass(f->hwnd(), keysProc, 1);
    if (cbExit_ && cbExit_->hwnd()) rt::removeWindowSubclass(cbExit_->hwnd(), keysProc, 1);
}

void AboutWindow::OpenURL(const std::wstring& address, int showCommand) {
    if (address.empty()) return;  // no address: nothing to open
    if (shellOpen) shellOpen(address, showCommand);
}

void AboutWindow::load() {
    retired_.reset();
    rt::FormLayout layout;
    RECT owner;
    GetWindowRect(owner_, &owner);
    layout.rect = {owner.left * rt::twipsPerPixelX() + 900, owner.top * rt::twipsPerPixelY() + 1200, 4500, 2100};
    layout.borderless = true;
    layout.owner = owner_;
    layout.font = rt::FontDesc{substituteFace(kDesignHangulFace), 9, false, false, false, false, 129};
    layout.backColor = 0x80000005;
    form_ = std::make_unique<rt::Form>(layout);
    rt::Form& f = *form_;
    auto& shpRec = f.add<rt::Shape>(L"shpRec", {0, 0, 100, 100});
    auto& title = f.add<DragLabel>(L"lblTitle", {240, 240, 4020, 360});
    title.setColors(0x80000005, 0);
    rt::FontDesc bold = layout.font;
    bold.bold = true;
    bold.size = 11;
    title.setFont(bold);
    title.setText(kTitle);
    auto& version = f.add<DragLabel>(L"lblVersion", {240, 690, 4020, 300});
    version.setColors(0x80000005, 0);
    version.setFont(layout.font);
    version.setText(kVersionLine);
    lblHome_ = &f.add<DragLabel>(L"lblHome", {240, 1050, 4020, 300});
    lblHome_->setColors(0x80000005, 0);
    lblHome_->setFont(layout.font);
    lblHome_->setText(kHomePage);
    cbExit_ = &f.add<ctl::XPButton>(L"cbExit", {3060, 1530, 1200, 375});
    rt::PropertyBag bag;
    bag.write(L"Caption", std::wstring(L"확 인"));
    bag.write(L"FocusRect", false);
    cbExit_->load(bag);
    cbExit_->setFont(std::make_shared<rt::Font>(rt::FontDesc{L"Verdana", 8.25}));

    // Load: top-most, and the outline around the whole window.
    SetTopMost(f.hwnd(), true);
    RECT r;
    GetWindowRect(f.hwnd(), &r);
    shpRec.move({0, 0, (r.right - r.left) * rt::twipsPerPixelX(), (r.bottom - r.top) * rt::twipsPerPixelY()});
    shpRec.sendToBack();

    lblHome_->MouseMove = [this](int, int) { lblHome_->setForeColor(kLinkHoverColor); };
    lblHome_->Click = [this] { OpenURL(lblHome_->text(), SW_SHOWMAXIMIZED); };
    cbExit_->Click = [this] { close(); };
    f.Activate = [this](bool active) {
        if (!active) close();
    };
    f.QueryUnload = [this](rt::UnloadReason) {
        close();
        return true;
    };
    rt::setWindowSubclass(f.hwnd(), keysProc, 1, reinterpret_cast<DWORD_PTR>(this));
    rt::setWindowSubclass(cbExit_->hwnd(), keysProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

// Any key closes the box; the mouse over the window outside the link turns the link black again.
LRESULT CALLBACK AboutWindow::keysProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* me = reinterpret_cast<AboutWindow*>(self);
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
        me->close();
        return 0;
    case WM_MOUSEMOVE:
        if (me->lblHome_ && me->form_ && h == me->form_->hwnd()) me->lblHome_->setForeColor(0);
        break;
    default: break;
    }
    return rt::defSubclassProc(h, msg, wParam, lParam);
}

void AboutWindow::show() {
    if (!visible_) load();
    visible_ = true;
    ShowWindow(form_->hwnd(), SW_SHOW);
    SetForegroundWindow(form_->hwnd());
    SetFocus(form_->hwnd());
}

void AboutWindow::close() {
    if (!form_ || !visible_) return;
    visible_ = false;
    ShowWindow(form_->hwnd(), SW_HIDE);
    retired_ = std::move(form_);  // destroyed at the next load or with this object, never in its own events
}

}  // namespace kelva::palette
