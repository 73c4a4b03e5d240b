#include "controls/check_logic.h"

namespace kelva::ctl::check {

std::optional<Picture> pictureFor(Look look, std::int32_t value) {
    if (value < 0 || value > 2) return std::nullopt;
    return static_cast<Picture>(static_cast<int>(look) * 3 + value);
}

bool isEnabled(const Model& m) { return m.enabled == -1; }

namespace {
void show(Model& m, Look look) {
    // A value without a picture keeps whatever was shown.
    if (auto p = pictureFor(look, m.value)) m.shown = p;
}
}  // namespace

void showRestingPicture(Model& m) { show(m, isEnabled(m) ? Look::Idle : Look::Disabled); }

void setValue(Model& m, std::int32_t value) {
    m.value = value;
    showRestingPicture(m);
}

void setEnabled(Model& m, std::int16_t value, bool userMode) {
    m.enabled = value;
    if (value == -1) {
        show(m, Look::Idle);
        m.mouseEnabled = true;
        m.captionColor = m.foreColor;
        m.timerRunning = userMode;
    } else {
        show(m, Look::Disabled);
        m.timerRunning = false;
        m.mouseEnabled = false;
        m.captionColor = m.disabledColor;
    }
}

void setForeColor(Model& m, std::uint32_t color) {
    m.foreColor = color;
    m.captionColor = color;  // also while disabled, as the caption control's colour is set directly
}

Effects pressDown(Model& m, int button) {
    Effects fx;
    if (!m.mouseEnabled) return fx;
    fx.mouseDown = true;
    if (button == 2) return fx;
    m.timerRunning = false;
    show(m, Look::Pushed);
    m.value = (m.value == 0) ? 1 : (m.value == 1 || m.value == 2) ? 0 : m.value;
    return fx;
}

Effects pressUp(Model& m, int button) {
    Effects fx;
    if (!m.mouseEnabled || button == 2) return fx;
    fx.click = true;
    m.timerRunning = true;
    return fx;
}

void tick(Model& m, bool cursorOver) {
    if (!isEnabled(m)) return;
    show(m, cursorOver ? Look::Mouseover : Look::Idle);
}

void writeProperties(rt::PropertyBag& bag, const Persisted& p, std::wstring_view name, const rt::FontDesc& parentFont) {
    bag.write(L"Value", p.value, std::int32_t{0});
    bag.write(L"Caption", p.caption, std::wstring(name));
    bag.write(L"Enabled", p.enabled == -1, true);
    bag.write(L"Font", p.font, parentFont);
    // The caption control shows the disabled colour while the box is disabled; what persists is
    // the enabled colour, written once, so a disabled box reloads with its own ForeColor.
    bag.write(L"Caption", p.caption, std::wstring(L"Check1"));
    bag.write(L"BackColor", static_cast<std::int32_t>(p.backColor), static_cast<std::int32_t>(kDefaultBackColor));
    bag.write(L"ForeColor", static_cast<std::int32_t>(p.foreColor));
    bag.write(L"DisabledColor", static_cast<std::int32_t>(p.disabledColor),
              static_cast<std::int32_t>(kDefaultDisabledColor));
}

Persisted readProperties(const rt::PropertyBag& bag, std::wstring_view name, const rt::FontDesc& parentFont) {
    Persisted p;
    // Each key is read on its own: a bad value leaves that property at its default.
    auto guarded = [](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
        }
    };
    guarded([&] { p.value = bag.readLong(L"Value", 0); });
    guarded([&] { p.caption = bag.readString(L"Caption", name); });
    guarded([&] { p.enabled = bag.readBool(L"Enabled", true) ? -1 : 0; });
    guarded([&] { p.font = bag.readFont(L"Font", parentFont); });
    guarded([&] { p.backColor = static_cast<std::uint32_t>(bag.readLong(L"BackColor", kDefaultBackColor)); });
    guarded([&] { p.foreColor = static_cast<std::uint32_t>(bag.readLong(L"ForeColor", 0)); });
    guarded([&] { p.disabledColor = static_cast<std::uint32_t>(bag.readLong(L"DisabledColor", kDefaultDisabledColor)); });
    return p;
}

}  // namespace kelva::ctl::check
