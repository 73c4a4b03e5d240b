#include "controls/xframe_logic.h"

#include <cmath>

#include "core/values.h"

namespace kelva::ctl::xframe {

namespace {
const std::array<ColorSet, 4> kSchemes{{
    {0x000000, 0xAFAFAF, 0xCFCFCF, 0x000000, 0xEFEFEF, 0xFFFFFF, 0xCFCFCF, 0xF8F8F8},
    {0xBB6132, 0xFFFFFF, 0xCF9365, 0xFFFFFF, 0xEBC2A5, 0xFFFFFF, 0xC06E40, 0xF8E9DE},
    {0x447864, 0x74AA9B, 0x74AA9B, 0x447864, 0xE3EFEC, 0xFFFFFF, 0x79B1A2, 0xE3EFEC},
    {0x7E6666, 0xBBA9A8, 0xBBA9A8, 0x7E6666, 0xF2EBEC, 0xFFFFFF, 0xD7C3C6, 0xF5F0F0},
}};
const ColorSet kDisabled{0x759797, 0xCFCFCF, 0x80A7BF, 0x759797, 0xF8FAFA, 0xFFFFFF, 0x90ABAB, 0xE0E7E7};

template <class F>
void guarded(F&& step) {
    try {
        step();
    } catch (const std::exception&) {
        // a stored value that does not fit leaves the property as it was
    }
}
}  // namespace

const ColorSet& disabledColors() { return kDisabled; }

const ColorSet* schemeColors(std::int32_t scheme) {
    if (scheme < 0 || scheme > 3) return nullptr;
    return &kSchemes[static_cast<std::size_t>(scheme)];
}

Model newInstance(std::wstring_view name) {
    Model m;
    m.fontSize = 8;
    m.colorScheme = 1;
    m.colors = kSchemes[1];
    m.colors.headerGradientBottom = 0xC06E40;
    m.currentButtonColor = m.colors.buttonColor;
    m.caption = name;
    return m;
}

void applyColorScheme(Model& m) {
    if (!m.enabled) m.colors = kDisabled;
    else if (const auto* set = schemeColors(m.colorScheme)) m.colors = *set;
    m.currentButtonColor = m.colors.buttonColor;
}

bool inPinBand(double x, double w) { return x >= w - 450 && x <= w - 300; }

bool headerMouseMove(Model& m, double x, double w) {
    const bool outside = !inPinBand(x, w);
    if (m.overExpandZone && outside) return false;
    if (m.button) {
        m.overExpandZone = outside;
        m.overPinZone = !outside;
    } else {
        m.overExpandZone = false;
        m.overPinZone = true;
    }
    m.timerEnabled = true;
    m.headerDrawn = false;
    return true;
}

ClickResult headerClick(Model& m, std::int32_t height) {
    ClickResult r;
    if (m.overExpandZone && m.button) {
        if (!m.framePinned) {
            if (height == m.expandedHeight) {
                r.newHeight = kCollapsedHeight;
                m.expanded = false;
            } else if (m.expandedHeight != 0) {
                // With no height known yet there is nothing to expand to: the frame keeps its header
                // rather than shrinking to nothing.
                r.newHeight = m.expandedHeight;
                m.expanded = true;
            }
        }
        m.headerDrawn = false;
        r.repaintHeader = true;
    } else if (m.overPinZone && m.buttonPin) {
        m.framePinned = !m.framePinned;
    }
    return r;
}

std::optional<std::int32_t> setExpanded(Model& m, bool value, std::int32_t height) {
    m.expanded = value;
    m.headerDrawn = false;
    if (m.framePinned) return std::nullopt;
    if (!value) return kCollapsedHeight;
    if (m.expandedHeight == 0) return std::nullopt;
    return m.expandedHeight;
}

std::int32_t wholeTwips(double height) { return toInt32(height); }

void layoutStep(Model& m, double height) {
    if (m.enableGradient) m.bodyGradientBuilt = false;
    if (height != kCollapsedHeight) m.expandedHeight = wholeTwips(height);
}

void applyHeaderFont(Model& m) {
    m.font.bold = m.fontBold;
    m.font.italic = m.fontItalic;
    if (m.fontSize != 0) m.font.size = m.fontSize;
    else m.fontSize = 8;  // this paint keeps the header's size; later paints use 8
    m.font.strikethrough = m.fontStrikethrough;
    m.font.underline = m.fontUnderline;
}

bool hoverTick(Model& m, bool over) {
    const std::uint32_t wanted = over ? m.colors.buttonHighlightColor : m.colors.buttonColor;
    if (m.currentButtonColor == wanted) return false;
    m.currentButtonColor = wanted;
    m.headerDrawn = false;
    return true;
}

void writeProperties(rt::PropertyBag& bag, const Model& m, std::wstring_view name, const rt::FontDesc& ambientFont) {
    auto col = [](std::uint32_t c) { return static_cast<std::int32_t>(c); };
    bag.write(L"BackColor", col(m.backColor), col(kDefaultBackColor));
    bag.write(L"BorderColor", col(m.colors.borderColor), col(0xCF9365));
    bag.write(L"Button", m.button, false);
    bag.write(L"ButtonColor", col(m.colors.buttonColor), col(0xBB6132));
    bag.write(L"ButtonHighlightColor", col(m.colors.buttonHighlightColor), col(0xFFFFFF));
    bag.write(L"ButtonPin", m.buttonPin, false);
    bag.write(L"ColorScheme", m.colorScheme, std::int32_t{1});
    bag.write(L"Caption", m.caption, std::wstring(name));
    bag.write(L"DisplayPicture", m.displayPicture, false);
    bag.write(L"Enabled", m.enabled, false);
    bag.write(L"EnableGradient", m.enableGradient, false);
    bag.write(L"Expanded", m.expanded, true);
    // A frame stored shut keeps the height it opens to: the form holds it at its header's height.
    if (!m.expanded) bag.write(L"ExpandedHeight", m.expandedHeight, std::int32_t{0});
    bag.write(L"Font", m.font, ambientFont);
    bag.write(L"FontBold", m.fontBold);
    bag.write(L"ForeColor", col(m.colors.foreColor), col(0xFFFFFF));
    bag.write(L"FontItalic", m.fontItalic);
    bag.write(L"FontSize", static_cast<double>(static_cast<float>(m.font.size)));
    bag.write(L"FontStrikethru", m.fontStrikethrough);
    bag.write(L"FontUnderline", m.fontUnderline);
    bag.write(L"FramePinned", m.framePinned, false);
    bag.write(L"GradientBottom", col(m.colors.gradientBottom), col(0xEBC2A5));
    bag.write(L"GradientTop", col(m.colors.gradientTop), col(0xFFFFFF));
    bag.write(L"HeaderGradientBottom", col(m.colors.headerGradientBottom), col(0xC27345));
    bag.write(L"HeaderGradientTop", col(m.colors.headerGradientTop), col(0xF8E9DE));
    bag.write(L"Picture", m.picture, rt::PictureData{});
}

void readProperties(const rt::PropertyBag& bag, Model& m, std::wstring_view name, const rt::FontDesc& ambientFont) {
    auto colour = [&](std::wstring_view key, std::uint32_t def, std::uint32_t& field) {
        guarded([&] { field = static_cast<std::uint32_t>(bag.readLong(key, static_cast<std::int32_t>(def))); });
    };
    guarded([&] {
        m.colorScheme = bag.readLong(L"ColorScheme", 1);
        applyColorScheme(m);
    });
    colour(L"BackColor", kDefaultBackColor, m.backColor);
    colour(L"BorderColor", 0xCF9365, m.colors.borderColor);
    guarded([&] { m.button = bag.readBool(L"Button", false); });
    colour(L"ButtonColor", 0xBB6132, m.colors.buttonColor);
    colour(L"ButtonHighlightColor", 0xFFFFFF, m.colors.buttonHighlightColor);
    guarded([&] { m.buttonPin = bag.readBool(L"ButtonPin", false); });
    guarded([&] { m.colorScheme = bag.readLong(L"ColorScheme", 1); });
    guarded([&] { m.caption = bag.readString(L"Caption", name); });
    guarded([&] { m.displayPicture = bag.readBool(L"DisplayPicture", false); });
    guarded([&] {
        m.enabled = bag.readBool(L"Enabled", false);
        if (!m.enabled) applyColorScheme(m);
    });
    guarded([&] { m.enableGradient = bag.readBool(L"EnableGradient", false); });
    guarded([&] { m.expanded = bag.readBool(L"Expanded", true); });
    guarded([&] {
        // Only a real height counts; the layout step replaces it when the frame stands open.
        const std::int32_t h = bag.readLong(L"ExpandedHeight", 0);
        if (h > 0 && h != kCollapsedHeight) m.expandedHeight = h;
    });
    guarded([&] { m.font.name = bag.readFont(L"Font", ambientFont).name; });
    // A missing attribute key leaves its field False (or the size 0, painted as 8).
    m.fontBold = m.fontItalic = m.fontStrikethrough = m.fontUnderline = false;
    m.fontSize = 0;
    guarded([&] { m.fontBold = bag.readBool(L"FontBold", false); });
    guarded([&] { m.fontItalic = bag.readBool(L"FontItalic", false); });
    guarded([&] { m.fontSize = bag.readDouble(L"FontSize", 0); });
    guarded([&] { m.fontStrikethrough = bag.readBool(L"FontStrikeThru", false); });
    guarded([&] { m.fontUnderline = bag.readBool(L"FontUnderline", false); });
    colour(L"ForeColor", 0xFFFFFF, m.colors.foreColor);
    guarded([&] { m.framePinned = bag.readBool(L"FramePinned", false); });
    colour(L"GradientBottom", 0xEBC2A5, m.colors.gradientBottom);
    colour(L"GradientTop", 0xFFFFFF, m.colors.gradientTop);
    colour(L"HeaderGradientBottom", 0xC27345, m.colors.headerGradientBottom);
    colour(L"HeaderGradientTop", 0xF8E9DE, m.colors.headerGradientTop);
    guarded([&] { m.picture = bag.readPicture(L"Picture"); });
    m.currentButtonColor = m.colors.buttonColor;
}

std::vector<Segment> glyphPlan(const Model& m, double w, bool chevronsUp) {
    std::vector<Segment> out;
    if (m.buttonPin) {
        const std::uint32_t c = m.overPinZone ? m.currentButtonColor : m.colors.buttonColor;
        const double dx = m.button ? 0 : 180;  // without the chevrons the pin moves right
        auto seg = [&](double x1, double y1, double x2, double y2) {
            out.push_back({w - x1 + dx, y1, w - x2 + dx, y2, c});
        };
        if (!m.framePinned) {
            seg(435, 135, 390, 135);
            seg(390, 90, 390, 195);
            seg(390, 105, 315, 105);
            seg(390, 155, 315, 155);
            seg(390, 170, 315, 170);
            seg(315, 105, 315, 180);
        } else {
            seg(390, 75, 330, 75);
            seg(390, 75, 390, 150);
            seg(345, 75, 345, 150);
            seg(330, 75, 330, 150);
            seg(415, 150, 280, 150);
            seg(360, 150, 360, 210);
        }
    }
    if (m.button) {
        const std::uint32_t c = m.overExpandZone ? m.currentButtonColor : m.colors.buttonColor;
        auto row = [&](double y, double a, double b) { out.push_back({w - a, y, w - b, y, c}); };
        for (double y0 : {75.0, 135.0}) {
            // Rows from the tip of the chevron outwards; up-pointing chevrons start at the top.
            const double tip[4][4] = {{195, 180, 0, 0}, {210, 165, 0, 0}, {225, 195, 180, 150}, {240, 210, 165, 135}};
            for (int r = 0; r < 4; ++r) {
                const double y = chevronsUp ? y0 + 15 * r : y0 + 15 * (3 - r);
                row(y, tip[r][0], tip[r][1]);
                if (tip[r][2] != 0) row(y, tip[r][2], tip[r][3]);
            }
        }
    }
    return out;
}

std::vector<Segment> borderPlan(double w, double h, std::uint32_t c) {
    return {{0, 0, w, 0, c}, {0, h - 15, w, h - 15, c}, {0, 0, 0, h, c}, {w - 15, 0, w - 15, h, c}};
}

}  // namespace kelva::ctl::xframe
