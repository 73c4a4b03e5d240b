#include "controls/xpbutton_logic.h"

#include <cwctype>

#include "core/values.h"

namespace kelva::ctl::button {

void paint(Model& m, Effects& fx, int s) {
    if (m.paintSuppressed) return;
    m.state = s;
    fx.paint = s;
}

void paintUnless(Model& m, Effects& fx, int s) {
    if (m.state != s) paint(m, fx, s);
}

Effects mouseMove(Model& m, double x, double y, double cw, double ch) {
    Effects fx;
    bool inside = x >= 0 && x <= cw && y >= 0 && y <= ch;
    m.mouseInside = inside;
    fx.trackLeave = inside;
    if (m.formActive && !m.spaceHeld) {
        if (inside && m.armed) paintUnless(m, fx, Pressed);
        else if (inside) paintUnless(m, fx, Hot);
        else if (m.hasFocus) paintUnless(m, fx, Focused);
        else paintUnless(m, fx, Normal);
        fx.mouseMove = true;
    }
    return fx;
}

Effects mouseDown(Model& m, int button) {
    Effects fx;
    m.lastMouseButton = button;
    if (button == kMouseLeft) {
        m.hasFocus = m.armed = m.leftHeld = true;
        paintUnless(m, fx, Pressed);
    }
    return fx;
}

Effects mouseUp(Model& m, int button) {
    Effects fx;
    if (button != kMouseLeft) return fx;
    if (m.formActive) {
        if (m.mouseInside) paintUnless(m, fx, Hot);
        else if (m.hasFocus) paint(m, fx, Focused);
        fx.click = m.mouseInside && m.hasFocus && m.armed;
    }
    m.armed = m.leftHeld = false;
    return fx;
}

Effects dblClick(Model& m) {
    Effects fx;
    if (m.lastMouseButton == kMouseLeft) {
        paint(m, fx, Pressed);
        fx.dblClick = true;
    }
    return fx;
}

Effects keyDown(Model& m, int key) {
    Effects fx;
    switch (key) {
    case 13: fx.click = true; break;
    case 32:
        if (!m.leftHeld) {
            m.spaceHeld = m.armed = true;
            paintUnless(m, fx, Pressed);
        }
        break;
    case 37:
    case 38: fx.tabMove = -1; break;
    case 39:
    case 40: fx.tabMove = 1; break;
    default: break;
    }
    return fx;
}

Effects keyUp(Model& m, int key) {
    Effects fx;
    if (key != 32 || m.leftHeld) return fx;
    if (!m.mouseInside) paint(m, fx, Focused);
    else paintUnless(m, fx, Hot);
    fx.click = m.armed;
    m.spaceHeld = m.armed = false;
    return fx;
}

Effects accessKeyPress(Model& m) {
    Effects fx;
    if (!m.enabled) return fx;
    if (m.spaceHeld) {
        m.spaceHeld = m.armed = false;
        if (!m.mouseInside) paint(m, fx, Focused);
        else paintUnless(m, fx, Hot);
        return fx;
    }
    fx.doEvents = true;
    fx.click = true;
    return fx;
}

Effects gotFocus(Model& m) {
    Effects fx;
    m.hasFocus = true;
    if (m.mouseInside) {
        if (m.state != Hot && m.state != Pressed) paint(m, fx, Hot);
    } else if (!m.armed) {
        paint(m, fx, Focused);
    }
    return fx;
}

Effects lostFocus(Model& m) {
    Effects fx;
    m.hasFocus = m.armed = m.spaceHeld = false;
    if (!m.enabled) return fx;
    if (!m.formActive) paintUnless(m, fx, Normal);
    else if (m.mouseInside) paintUnless(m, fx, Hot);
    else if (m.isDefault) paint(m, fx, Focused);
    else paintUnless(m, fx, Normal);
    return fx;
}

Effects ambientChanged(Model& m, std::wstring_view name, bool displayAsDefault) {
    Effects fx;
    m.isDefault = displayAsDefault;
    if (m.enabled && !m.mouseInside && name == L"DisplayAsDefault") {
        if (m.isDefault) paint(m, fx, Focused);
        else paintUnless(m, fx, Normal);
    }
    return fx;
}

Effects formActivation(Model& m, bool active) {
    Effects fx;
    if (active) {
        m.formActive = true;
        if (m.enabled) {
            if (m.mouseInside) paintUnless(m, fx, Hot);
            else if (m.hasFocus || m.isDefault) paint(m, fx, Focused);
        }
        fx.formActivate = 1;
    } else {
        m.formActive = m.armed = m.leftHeld = m.spaceHeld = false;
        if (m.enabled) paintUnless(m, fx, Normal);
        fx.formActivate = 0;
    }
    return fx;
}

Effects mouseLeave(Model& m) {
    Effects fx;
    m.mouseInside = false;
    if (m.spaceHeld || m.state == Disabled) return fx;
    if (!m.hasFocus && !m.isDefault) {
        paintUnless(m, fx, Normal);
    } else if (m.state == Pressed) {
        paint(m, fx, m.armed ? Focused : Normal);
    } else if (m.state != Focused && m.formActive) {
        paint(m, fx, Focused);
    }
    return fx;
}

Effects setEnabled(Model& m, bool value) {
    Effects fx;
    m.enabled = value;
    m.paintSuppressed = false;
    if (m.mouseInside && value) paint(m, fx, Hot);
    else if (m.isDefault && value) paint(m, fx, Focused);
    else paintUnless(m, fx, value ? Normal : Disabled);
    return fx;
}

bool activationOf(unsigned msg, std::uintptr_t wParam) {
    constexpr unsigned kActivate = 6;  // WM_ACTIVATE
    if (msg == kActivate) return (wParam & 0xFFFF) != 0;  // WA_INACTIVE is 0
    return wParam != 0;
}

std::wstring getAccessKey(std::wstring_view caption) {
    const std::size_t len = caption.size();
    if (len == 0) return {};
    std::size_t a = 1;  // 1-based search start
    // Searching goes on while an ampersand and a character after it still fit: "&X" has its key.
    while (a < len) {
        auto found = caption.find(L'&', a - 1);
        if (found == std::wstring_view::npos) return {};
        std::size_t p = found + 1;
        if (p == len) return {};
        wchar_t next = caption[p];  // the character after the ampersand
        if (next != L'&') return std::wstring(1, static_cast<wchar_t>(std::towlower(next)));
        a = p + 2;
    }
    return {};
}

std::wstring defaultCaption(const std::vector<std::wstring>& captions, std::wstring_view name) {
    std::wstring all = L"|";
    for (const auto& c : captions) all += c + L"|";
    for (const wchar_t* candidate : {L"&OK", L"&Cancel", L"&Apply"}) {
        if (all.find(L"|" + std::wstring(candidate) + L"|") == std::wstring::npos) return candidate;
    }
    return std::wstring(name);
}

const Colors& stateColors() {
    static const Colors colors{
        {{
            {0xBAC7C9, 0x743C00, 0x743C00, 0x743C00, 0x743C00},
            {0xEFF7F7, 0xFFFFFF, 0xFFE7CE, 0xCEF3FF, 0xDEE3E7},
            {0xEFF7F7, 0xFEFEFE, 0xF7D7BD, 0x8CDBFF, 0xDEE3E7},
            {0, 0xD6DFE2, 0xE7AE8C, 0x31B2FF, 0xCAC7BF},
            {0, 0xC5D0D6, 0xEF826B, 0x0096E6, 0},
            {0x8CB1C4, 0x845521, 0x845521, 0x845521, 0x845521},
            {0xBDC7CE, 0xAD967B, 0xAD967B, 0xAD967B, 0xAD967B},
            {0x8CB1C4, 0xA57D52, 0xA57D52, 0xA57D52, 0xA57D52},
        }},
        {0xFBFCFC, 0xF7D3BD, 0x9CDFE1},
        {0xE6EBEC, 0xE7AE8C, 0x30B6FF},
    };
    return colors;
}

void gradientOps(std::vector<Op>& ops, int left, int top, int right, int bottom, std::uint32_t topColor,
                 std::uint32_t bottomColor) {
    const int n = bottom - top;
    if (n <= 0) return;  // no rows between the two colours: nothing to shade
    auto channel = [](std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    float step[3];
    for (int k = 0; k < 3; ++k)
        step[k] = static_cast<float>(channel(topColor, 8 * k) - channel(bottomColor, 8 * k)) / static_cast<float>(n);
    for (int i = 0; i <= n; ++i) {
        std::uint32_t c = 0;
        for (int k = 0; k < 3; ++k) {
            double v = channel(bottomColor, 8 * k) + static_cast<double>(i * step[k]);
            auto part = static_cast<std::uint32_t>(toInt32(v)) & 0xFF;
            c |= part << (8 * k);
        }
        ops.push_back({Op::Line, left, top + n - i, right, top + n - i, c});
    }
}

std::vector<Op> paintPlan(const PaintInput& in) {
    std::vector<Op> ops;
    const auto& col = stateColors();
    const int s = in.state, W = in.width, H = in.height;
    auto role = [&](int r) { return col.role[static_cast<std::size_t>(r)][static_cast<std::size_t>(s)]; };
    auto line = [&](int x1, int y1, int x2, int y2, std::uint32_t c) { ops.push_back({Op::Line, x1, y1, x2, y2, c}); };

    line(3, 0, W - 3, 0, role(0));
    line(0, 3, 0, H - 3, role(0));
    line(3, H - 1, W - 3, H - 1, role(0));
    line(W - 1, 3, W - 1, H - 3, role(0));
    if (s == Disabled || s == Pressed) {
        ops.push_back({Op::Fill, 1, 1, W - 1, H - 1, s == Disabled ? kDisabledFace : kPressedFace});
    } else {
        auto g = static_cast<std::size_t>(s - 1);
        gradientOps(ops, 1, 3, W - 1, H - 2, col.gradientTop[g], col.gradientBottom[g]);
        gradientOps(ops, 3, 3, W - 3, H - 3, kFaceTop, kFaceBottom);
        line(1, 1, W, 1, role(1));
        line(1, 2, W, 2, role(2));
        line(1, H - 3, W, H - 3, role(3));
        line(2, H - 2, W - 1, H - 2, role(4));
    }
    auto px = [&](int x, int y, int r) { ops.push_back({Op::Pixel, x, y, 0, 0, role(r)}); };
    px(0, 1, 6), px(0, 2, 5), px(1, 0, 6), px(1, 1, 7), px(2, 0, 5);
    px(W - 1, 1, 6), px(W - 1, 2, 5), px(W - 2, 0, 6), px(W - 2, 1, 7), px(W - 3, 0, 5);
    px(0, H - 2, 6), px(0, H - 3, 5), px(1, H - 1, 6), px(1, H - 2, 7), px(2, H - 1, 5);
    px(W - 1, H - 2, 6), px(W - 1, H - 3, 5), px(W - 2, H - 1, 6), px(W - 2, H - 2, 7), px(W - 3, H - 1, 5);
    ops.push_back({Op::Caption, 3, 3, W - 3, H - 3, in.enabled ? in.foreColor : kDisabledCaption});
    if (in.hasFocus && in.focusRect && s > Normal) ops.push_back({Op::FocusRect, 3, 3, W - 3, H - 3, 0});
    return ops;
}

}  // namespace kelva::ctl::button
