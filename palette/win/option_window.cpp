#include "palette/win/option_window.h"

#include "palette/win/char_window.h"
#include "runtime/gdi.h"
#include "palette/win/fonts.h"

namespace kelva::palette {

namespace {
struct CheckSpec {
    const wchar_t* name;
    const wchar_t* caption;
    double top;
};
// Design order, top to bottom.
constexpr CheckSpec kChecks[] = {{L"chkTop", L" 프로그램을 항상 최상위로 실행", 420},
                                 {L"chkAcad", L" AutoCAD에 문자 쓰기 기능 사용", 750},
                                 {L"chkCopy", L" 특수문자를 더블 클릭시 클립보드에 복사", 1080},
                                 {L"chkPreview", L" 특수문자 확대창 사용", 1410}};
}  // namespace

OptionWindow::OptionWindow(CharWindow& palette, SettingsStore& store) : palette_(palette), store_(store) {}

OptionWindow::~OptionWindow() = default;

ctl::Check& OptionWindow::check(std::wstring_view name) {
    for (auto* c : checks_)
        if (c->name() == name) return *c;
    throw std::out_of_range("no such check box");
}

ctl::XPButton& OptionWindow::button(std::wstring_view name) {
    for (auto* b : buttons_)
        if (b->name() == name) return *b;
    throw std::out_of_range("no such button");
}

void OptionWindow::load() {
    retired_.reset();
    checks_.clear();
    buttons_.clear();
    rt::FormLayout layout;
    RECT owner;
    GetWindowRect(palette_.form().hwnd(), &owner);
    layout.rect = {owner.left * rt::twipsPerPixelX() + 600, owner.top * rt::twipsPerPixelY() + 900, 5100, 2985};
    layout.owner = palette_.form().hwnd();
    layout.font = rt::FontDesc{substituteFace(kDesignHangulFace), 9, false, false, false, false, 129};
    form_ = std::make_unique<rt::Form>(layout);
    rt::Form& f = *form_;
    auto& frame = f.add<ctl::XFrame>(L"xFrame1", {120, 120, 4740, 1860});
    {
        rt::PropertyBag bag;
        bag.write(L"Caption", std::wstring(L"옵션설정"));
        bag.write(L"Font", layout.font);
        frame.load(bag);
    }
    for (const auto& spec : kChecks) {
        auto& c = f.add<ctl::Check>(spec.name, {240, spec.top, 4380, 255}, &frame);
        rt::PropertyBag bag;
        bag.write(L"Caption", std::wstring(spec.caption));
        c.load(bag);
        checks_.push_back(&c);
    }
    auto addButton = [&](const wchar_t* name, const wchar_t* caption, double left) {
        auto& b = f.add<ctl::XPButton>(name, {left, 2100, 1200, 375});
        rt::PropertyBag bag;
        bag.write(L"Caption", std::wstring(caption));
        b.load(bag);
        b.setFont(std::make_shared<rt::Font>(rt::FontDesc{L"Verdana", 8.25}));
        buttons_.push_back(&b);
    };
    addButton(L"cbOK", L"확 인", 2340);
    addButton(L"cbExit", L"취 소", 3660);
    button(L"cbOK").Click = [this] { cbOK_Click(); };
    button(L"cbExit").Click = [this] { cbExit_Click(); };
    f.QueryUnload = [this](rt::UnloadReason) {
        close();
        return true;  // the window goes through close(), outside its own message handling
    };

    // Load: the four boxes from the store (1 when missing), in this order.
    const OptionValues v = readOptions(store_);
    check(L"chkPreview").setValue(v.preview);
    check(L"chkCopy").setValue(v.copy);
    check(L"chkAcad").setValue(v.acad);
    check(L"chkTop").setValue(v.onTop);
    if (check(L"chkTop").Value() == 1) SetTopMost(f.hwnd(), true);
    SetWindowTextW(f.hwnd(), (std::wstring(kTitle) + L" 옵션").c_str());
}

void OptionWindow::show() {
    if (!visible_) load();
    visible_ = true;
    ShowWindow(form_->hwnd(), SW_SHOW);
    SetForegroundWindow(form_->hwnd());
}

void OptionWindow::close() {
    if (!form_ || !visible_) return;
    visible_ = false;
    ShowWindow(form_->hwnd(), SW_HIDE);
    retired_ = std::move(form_);  // destroyed at the next load or with this object
}

void OptionWindow::cbOK_Click() {
    OptionValues v;
    v.preview = check(L"chkPreview").Value();
    v.copy = check(L"chkCopy").Value();
    v.acad = check(L"chkAcad").Value();
    v.onTop = check(L"chkTop").Value();
    applyOptions(v, store_, palette_);
    close();
}

void OptionWindow::cbExit_Click() { close(); }

}  // namespace kelva::palette
