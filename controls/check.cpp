#include "controls/check.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>

#include "runtime/eventscope.h"
#include "runtime/subclass.h"
#include "runtime/form.h"
#include "runtime/gdi.h"

namespace kelva::ctl {

const wchar_t* checkPictureResource(check::Picture p) {
    static const wchar_t* names[check::kPictureCount] = {
        L"CHECK_IDLE_0",      L"CHECK_IDLE_1",      L"CHECK_IDLE_2",      L"CHECK_MOUSEOVER_0",
        L"CHECK_MOUSEOVER_1", L"CHECK_MOUSEOVER_2", L"CHECK_PUSHED_0",    L"CHECK_PUSHED_1",
        L"CHECK_PUSHED_2",    L"CHECK_DISABLED_0",  L"CHECK_DISABLED_1",  L"CHECK_DISABLED_2",
    };
    return names[p];
}

namespace {
constexpr double kBoxTwips = 195;

// The caption check box hands its mouse to the picture's handlers and never toggles itself.
LRESULT CALLBACK captionProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref);
}  // namespace

struct CheckCaptionHook {
    static void down(Check& c, const rt::MouseArgs& a) { c.pressDown(a); }
    static void up(Check& c, const rt::MouseArgs& a) { c.pressUp(a); }
};

namespace {
LRESULT CALLBACK captionProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    rt::EventScope scope;
    auto* self = reinterpret_cast<Check*>(ref);
    auto args = [&](int b) {
        return rt::MouseArgs{b, rt::shiftState(), GET_X_LPARAM(lParam) * rt::twipsPerPixelX(),
                             GET_Y_LPARAM(lParam) * rt::twipsPerPixelY()};
    };
    switch (msg) {
    // A check box knows no double click: its second press is a press like the first, so a quick
    // double click on the caption toggles the value twice, as two single clicks would.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        SetCapture(hwnd);
        CheckCaptionHook::down(*self, args(msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK ? 1 : 2));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (GetCapture() == hwnd) ReleaseCapture();
        CheckCaptionHook::up(*self, args(msg == WM_LBUTTONUP ? 1 : 2));
        return 0;
    case WM_NCDESTROY:
        rt::removeWindowSubclass(hwnd, captionProc, 1);
        break;
    default: break;
    }
    return rt::defSubclassProc(hwnd, msg, wParam, lParam);
}
}  // namespace

Check::Check() : font_(std::make_shared<rt::Font>()) {
    for (int i = 0; i < check::kPictureCount; ++i)
        pictures_[static_cast<std::size_t>(i)] =
            rt::Picture::fromResource(GetModuleHandleW(nullptr), checkPictureResource(static_cast<check::Picture>(i)));
    timer_.setInterval(10);
    timer_.Tick = [this] { onTick(); };
}

Check::~Check() {
    timer_.setEnabled(false);
    terminate();
    if (fontListener_) font_->unlisten(fontListener_);
}

void Check::onCreated() {
    setCanGetFocus(false);
    surface().setBackColor(check1Back_);
    check1_ = std::make_unique<rt::StdControl>(rt::StdControl::Kind::CheckBox);
    check1_->create(*form(), this, L"Check1", {-30, 0, rect().width + 30, kBoxTwips}, true);
    rt::setWindowSubclass(check1_->hwnd(), captionProc, 1, reinterpret_cast<DWORD_PTR>(this));
    // A themed check box draws its text in the theme's colour, whatever WM_CTLCOLORSTATIC says:
    // the caption keeps the classic look so that ForeColor and DisabledColor show.
    SetWindowTheme(check1_->hwnd(), L"", L"");
    picture1_ = std::make_unique<rt::PictureBox>();
    picture1_->create(*form(), this, L"Picture1", {0, 0, kBoxTwips, kBoxTwips}, true);
    picture1_->setAutoRedraw(true);
    picture1_->MouseDown = [this](const rt::MouseArgs& a) { pressDown(a); };
    picture1_->MouseUp = [this](const rt::MouseArgs& a) { pressUp(a); };
    picture1_->DblClick = [this] {
        if (model_.mouseEnabled && DblClick) DblClick();
    };
    fontListener_ = font_->listen([this](const rt::Font&) {
        if (check1_) SendMessageW(check1_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_->handle()), TRUE);
    });
    SendMessageW(check1_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_->handle()), TRUE);
    onResize();
}

HWND Check::pictureWindow() const { return picture1_ ? picture1_->hwnd() : nullptr; }
HWND Check::captionWindow() const { return check1_ ? check1_->hwnd() : nullptr; }

rt::FontDesc Check::parentFont() const { return form() ? form()->font() : rt::FontDesc{}; }

void Check::sync() {
    if (picture1_ && model_.shown != drawn_) {
        drawn_ = model_.shown;
        if (model_.shown) picture1_->setPicture(pictures_[static_cast<std::size_t>(*model_.shown)]);
    }
    // The hover timer calls this every 10 ms: only a change repaints the caption or touches the timer.
    if (check1_ && model_.captionColor != drawnCaptionColor_) {
        drawnCaptionColor_ = model_.captionColor;
        InvalidateRect(check1_->hwnd(), nullptr, TRUE);
    }
    if (timer_.enabled() != model_.timerRunning) timer_.setEnabled(model_.timerRunning);
}

void Check::onTerminate() {
    model_.timerRunning = false;
    timer_.setEnabled(false);
}

// ---- properties ----------------------------------------------------------------------------

std::int32_t Check::Value() {
    check::showRestingPicture(model_);
    sync();
    return model_.value;
}

void Check::setValue(std::int32_t v) {
    check::setValue(model_, v);
    sync();
}

void Check::setFont(std::shared_ptr<rt::Font> f) {
    if (!f) return;
    if (fontListener_) font_->unlisten(fontListener_);
    font_ = std::move(f);
    fontListener_ = font_->listen([this](const rt::Font&) {
        if (check1_) SendMessageW(check1_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_->handle()), TRUE);
    });
    if (check1_) SendMessageW(check1_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_->handle()), TRUE);
}

void Check::setEnabledValue(std::int16_t v) {
    check::setEnabled(model_, v, ambient().userMode);
    sync();
}

std::wstring Check::Caption() const { return check1_ ? check1_->text() : std::wstring(); }

void Check::setCaption(std::wstring_view c) {
    if (check1_) check1_->setText(c);
    propertyChanged(L"Caption");
}

void Check::setBackColor(std::uint32_t c) {
    check1Back_ = c;
    backBrush_.reset();
    surface().setBackColor(c);
    refresh();
    if (check1_) InvalidateRect(check1_->hwnd(), nullptr, TRUE);
    sync();
    propertyChanged(L"BackColor");
}

void Check::setForeColor(std::uint32_t c) {
    check::setForeColor(model_, c);
    propertyChanged(L"ForeColor");
    sync();
}

void Check::setDisabledColor(std::uint32_t c) {
    model_.disabledColor = c;
    propertyChanged(L"DisabledColor");
}

bool Check::setProperty(std::wstring_view name, const rt::PropValue& value) {
    if (rt::sameName(name, L"Value")) setValue(rt::asLong(value));
    else if (rt::sameName(name, L"Enabled")) setEnabledValue(rt::asBool(value) ? -1 : 0);
    else if (rt::sameName(name, L"Caption")) setCaption(rt::asString(value));
    else if (rt::sameName(name, L"BackColor")) setBackColor(static_cast<std::uint32_t>(rt::asLong(value)));
    else if (rt::sameName(name, L"ForeColor")) setForeColor(static_cast<std::uint32_t>(rt::asLong(value)));
    else if (rt::sameName(name, L"DisabledColor")) setDisabledColor(static_cast<std::uint32_t>(rt::asLong(value)));
    else return rt::Control::setProperty(name, value);
    return true;
}

// ---- life cycle ------------------------------------------------------------------------------

void Check::initProperties() {
    setValue(0);
    setCaption(name());
    model_.foreColor = 0;
    setEnabledValue(-1);
    setFont(std::make_shared<rt::Font>(parentFont()));
    model_.disabledColor = check::kDefaultDisabledColor;
    onResize();
}

void Check::readProperties(const rt::PropertyBag& bag) {
    const auto p = check::readProperties(bag, name(), parentFont());
    model_.foreColor = p.foreColor;
    model_.disabledColor = p.disabledColor;
    setValue(p.value);
    if (check1_) check1_->setText(p.caption);
    setFont(std::make_shared<rt::Font>(p.font));
    check1Back_ = p.backColor;
    backBrush_.reset();
    if (check1_) InvalidateRect(check1_->hwnd(), nullptr, TRUE);
    setEnabledValue(p.enabled);
    onResize();
}

void Check::writeProperties(rt::PropertyBag& bag) {
    check::Persisted p;
    p.value = model_.value;
    p.caption = Caption();
    p.enabled = model_.enabled;
    p.font = font_->desc();
    p.foreColor = model_.foreColor;
    p.backColor = check1Back_;
    p.disabledColor = model_.disabledColor;
    check::writeProperties(bag, p, name(), parentFont());
}

void Check::onShow() {
    model_.timerRunning = check::isEnabled(model_) && ambient().userMode;
    sync();
}

void Check::onResize() {
    if (!picture1_ || !check1_) return;
    const double h = rect().height;
    picture1_->setTop((h - kBoxTwips) / 2);
    surface().setBackColor(check1Back_);
    model_.captionColor = check::isEnabled(model_) ? model_.foreColor : model_.disabledColor;
    check1_->move({check1_->rect().left, 0, rect().width - check1_->rect().left, h});
    picture1_->bringToFront();
    sync();
}

// ---- input -----------------------------------------------------------------------------------

void Check::pressDown(const rt::MouseArgs& a) {
    if (!model_.mouseEnabled) return;
    if (MouseDown) MouseDown(a);  // the host sees the value as it was before the press
    check::pressDown(model_, a.button);
    sync();
}

void Check::pressUp(const rt::MouseArgs& a) {
    const auto fx = check::pressUp(model_, a.button);
    if (fx.click && Click) Click();
    sync();
}

void Check::onTick() {
    POINT pt;
    if (!GetCursorPos(&pt)) return;
    HWND under = WindowFromPoint(pt);
    check::tick(model_, under && (under == pictureWindow() || under == captionWindow()));
    sync();
}

LRESULT Check::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, rt::toColorRef(model_.captionColor));
        SetBkColor(dc, rt::toColorRef(check1Back_));
        if (!backBrush_) backBrush_.reset(CreateSolidBrush(rt::toColorRef(check1Back_)));
        return reinterpret_cast<LRESULT>(backBrush_.get());
    }
    return rt::UserControl::wndProc(msg, wParam, lParam);
}

}  // namespace kelva::ctl
