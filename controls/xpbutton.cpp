#include "controls/xpbutton.h"

#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/scale.h"
#include "runtime/services.h"

namespace kelva::ctl {

using namespace button;

const rt::FontDesc& XPButton::defaultFont() {
    static const rt::FontDesc f{L"Verdana", 8.25};
    return f;
}

XPButton::XPButton() : font_(std::make_shared<rt::Font>(defaultFont())) {}

XPButton::~XPButton() {
    terminate();
    if (font_ && fontListener_) font_->unlisten(fontListener_);
}

void XPButton::onCreated() {
    ownWindow_ = hwnd();
    setAutoRedraw(true);
    surface().scale().setMode(rt::ScaleMode::Pixels);
    fontListener_ = font_->listen([this](const rt::Font&) { fontChanged(); });
    surface().setFont(font_);
}

// ---- properties ----------------------------------------------------------------------------

void XPButton::setCaption(std::wstring caption) {
    caption_ = std::move(caption);
    setAccessKeys(getAccessKey(caption_));
    drawButton(model_.state);
    propertyChanged(L"Caption");
}

void XPButton::setEnabled(bool v) {
    rt::Control::setEnabled(v);
    apply(button::setEnabled(model_, v));
    propertyChanged(L"Enabled");
}

void XPButton::setFont(std::shared_ptr<rt::Font> font) {
    if (!font) return;
    if (font_ && fontListener_) font_->unlisten(fontListener_);
    font_ = std::move(font);
    fontListener_ = font_->listen([this](const rt::Font&) { fontChanged(); });
    fontChanged();
}

void XPButton::fontChanged() {
    surface().setFont(font_);
    drawButton(model_.state);
    propertyChanged(L"Font");
}

void XPButton::setForeColor(std::uint32_t c) {
    foreColor_ = c;
    surface().setForeColor(c);
    drawButton(model_.state);
    propertyChanged(L"ForeColor");
}

void XPButton::setFocusRect(bool v) {
    focusRect_ = v;
    if (model_.hasFocus) drawButton(model_.state);
    propertyChanged(L"FocusRect");
}

bool XPButton::setProperty(std::wstring_view name, const rt::PropValue& value) {
    if (rt::sameName(name, L"Caption")) setCaption(rt::asString(value));
    else if (rt::sameName(name, L"Enabled")) setEnabled(rt::asBool(value));
    else if (rt::sameName(name, L"ForeColor")) setForeColor(static_cast<std::uint32_t>(rt::asLong(value)));
    else if (rt::sameName(name, L"FocusRect")) setFocusRect(rt::asBool(value));
    else return rt::Control::setProperty(name, value);
    return true;
}

void XPButton::SnapMouseTo() {
    POINT pt{0, 0};
    if (!ClientToScreen(ownWindow_, &pt)) return;
    const SIZE sz = clientPixels();
    // Half an odd size ends in .5: the point rounds half to even, as every coordinate does.
    SetCursorPos(rt::roundPixel(pt.x + sz.cx / 2.0), rt::roundPixel(pt.y + sz.cy / 2.0));
}

// ---- life cycle ----------------------------------------------------------------------------

void XPButton::initProperties() {
    std::vector<std::wstring> captions;
    if (form())
        for (const auto& c : form()->controls())
            if (auto* b = dynamic_cast<XPButton*>(c.get()); b && b != this) captions.push_back(b->caption_);
    setCaption(defaultCaption(captions, name()));
    setForeColor(0);
    setEnabled(true);
    setFocusRect(true);
}

void XPButton::readProperties(const rt::PropertyBag& bag) {
    parentWindow_ = form() ? form()->hwnd() : GetParent(ownWindow_);
    auto guarded = [](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
        }
    };
    guarded([&] { setCaption(bag.readString(L"Caption", L"&OK")); });
    guarded([&] { setForeColor(static_cast<std::uint32_t>(bag.readLong(L"ForeColor", 0))); });
    guarded([&] {
        if (bag.contains(L"Font")) setFont(std::make_shared<rt::Font>(bag.readFont(L"Font", font_->desc())));
    });
    guarded([&] { setFocusRect(bag.readBool(L"FocusRect", true)); });
    guarded([&] { setEnabled(bag.readBool(L"Enabled", true)); });
    if (ambient().userMode) {
        // Our form is never an MDI child: the form's activation is WM_ACTIVATE.
        engine_.start(ownWindow_);
        engine_.addMsg(ownWindow_, WM_MOUSELEAVE, WhenAfter);
        engine_.start(parentWindow_);
        engine_.addMsg(parentWindow_, WM_ACTIVATE, WhenAfter);
        subclassed_ = true;
        // A form that is already active when the button arrives counts as active.
        model_.formActive = GetActiveWindow() == parentWindow_;
    }
    model_.paintSuppressed = false;
    drawButton(model_.state);
}

void XPButton::writeProperties(rt::PropertyBag& bag) {
    bag.write(L"Caption", caption_, std::wstring(L"&OK"));
    bag.write(L"Enabled", model_.enabled, true);
    bag.write(L"ForeColor", static_cast<std::int32_t>(foreColor_), std::int32_t{0});
    // Always stored: compared with a default, a font equal to it by name would lose its size and style.
    bag.write(L"Font", font_->desc());
    bag.write(L"FocusRect", focusRect_, true);
}

void XPButton::onTerminate() {
    if (subclassed_) {
        engine_.stop(ownWindow_);
        engine_.stop(parentWindow_);
        subclassed_ = false;
    }
}

void XPButton::onResize() {
    // A button below 100 twips either way is brought up to it. The correction need not change the
    // window's pixel size (99 and 100 twips are both 7 pixels), so no resize of its own may follow:
    // the button paints here in every case.
    if (rect().height < 100) setHeight(100);
    if (rect().width < 100) setWidth(100);
    drawButton(model_.state);
}

// ---- input -----------------------------------------------------------------------------------

void XPButton::apply(const Effects& fx) {
    if (fx.paint) drawButton(*fx.paint);
    if (fx.trackLeave) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, ownWindow_, 0};
        TrackMouseEvent(&tme);
    }
    if (fx.doEvents) rt::doEvents();
    if (fx.tabMove && form()) form()->moveFocus(fx.tabMove > 0);
    if (fx.click && Click) Click();
    if (fx.dblClick && DblClick) DblClick();
    if (fx.formActivate && FormActivate) FormActivate(*fx.formActivate);
}

void XPButton::onMouseMove(const rt::MouseArgs& a) {
    const SIZE sz = clientPixels();
    auto fx = button::mouseMove(model_, a.x, a.y, sz.cx, sz.cy);
    const bool raise = fx.mouseMove;
    fx.mouseMove = false;
    apply(fx);
    if (raise && MouseMove) MouseMove(a);
}

void XPButton::onMouseDown(const rt::MouseArgs& a) { apply(button::mouseDown(model_, a.button)); }
void XPButton::onMouseUp(const rt::MouseArgs& a) { apply(button::mouseUp(model_, a.button)); }
void XPButton::onDblClick() { apply(button::dblClick(model_)); }
void XPButton::onKeyDown(int key, int) { apply(button::keyDown(model_, key)); }
void XPButton::onKeyUp(int key, int) { apply(button::keyUp(model_, key)); }
// Enter and Space press the button, the arrows move the focus; every other key is the form's.
bool XPButton::usesKey(int key, int) const {
    return key == VK_RETURN || key == VK_SPACE || (key >= VK_LEFT && key <= VK_DOWN);
}
void XPButton::onGotFocus() { apply(button::gotFocus(model_)); }
void XPButton::onLostFocus() { apply(button::lostFocus(model_)); }
void XPButton::onAccessKeyPress(wchar_t) { apply(button::accessKeyPress(model_)); }
void XPButton::onAmbientChanged(std::wstring_view name) {
    apply(button::ambientChanged(model_, name, ambient().displayAsDefault));
}

void XPButton::zSubclass_Proc(bool, bool&, LRESULT&, HWND& hWnd, UINT& uMsg, WPARAM& wParam, LPARAM&) {
    if (uMsg == WM_MOUSELEAVE && hWnd == ownWindow_) apply(button::mouseLeave(model_));
    else if ((uMsg == WM_ACTIVATE || uMsg == WM_NCACTIVATE) && hWnd == parentWindow_)
        apply(button::formActivation(model_, activationOf(uMsg, wParam)));
}

// ---- painting --------------------------------------------------------------------------------

void XPButton::drawButton(int state) {
    if (model_.paintSuppressed || !ownWindow_) return;
    model_.state = state;
    auto& s = surface();
    HDC dc = s.hdc();
    s.cls();
    const SIZE sz = clientPixels();
    PaintInput in{state, static_cast<int>(sz.cx), static_cast<int>(sz.cy), model_.enabled, model_.hasFocus,
                  focusRect_, foreColor_};
    model_.paintSuppressed = true;  // the caption step must not paint again
    for (const auto& op : paintPlan(in)) {
        switch (op.kind) {
        case Op::Line: {
            rt::PenPtr pen(CreatePen(PS_SOLID, 1, op.color));
            rt::ScopedSelect sel(dc, pen.get());
            MoveToEx(dc, op.x1, op.y1, nullptr);
            LineTo(dc, op.x2, op.y2);
            break;
        }
        case Op::Fill: {
            RECT r{op.x1, op.y1, op.x2, op.y2};
            rt::BrushPtr b(CreateSolidBrush(op.color));
            FillRect(dc, &r, b.get());
            break;
        }
        case Op::Pixel: SetPixel(dc, op.x1, op.y1, op.color); break;
        case Op::Caption: {
            RECT r{op.x1, op.y1, op.x2, op.y2};
            rt::ScopedSelect sel(dc, font_->handle());
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, rt::toColorRef(op.color));
            DrawTextW(dc, caption_.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            break;
        }
        case Op::FocusRect: {
            RECT r{op.x1, op.y1, op.x2, op.y2};
            SetTextColor(dc, 0);
            SetBkColor(dc, RGB(255, 255, 255));
            DrawFocusRect(dc, &r);
            break;
        }
        }
    }
    SetWindowRgn(ownWindow_, CreateRoundRectRgn(0, 0, sz.cx + 1, sz.cy + 1, 3, 3), TRUE);
    model_.paintSuppressed = false;
    refresh();
}

}  // namespace kelva::ctl
