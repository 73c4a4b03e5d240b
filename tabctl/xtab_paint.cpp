#include "tabctl/xtab_paint.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "core/values.h"
#include "tabctl/xtab_geometry.h"
#include "tabctl/xtab_theme.h"

namespace kelva::tabctl {

namespace {

// Anything this far off the surface is invisible; clamping keeps the canvas arithmetic in range
// whatever heights and widths the properties hold.
constexpr std::int64_t kFar = std::int64_t{1} << 28;
int ci(std::int64_t v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); }

std::int64_t round2(double v) { return static_cast<std::int64_t>(roundHalfEven(v)); }

Rect rectOf(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) { return {ci(l), ci(t), ci(r), ci(b)}; }

constexpr unsigned kMeasureFlags = kDtCalcRect | kDtSingleLine | kDtEndEllipsis;  // &H8420
constexpr unsigned kDialogTextFlags = kDtCenter | kDtSingleLine;                  // 33
constexpr unsigned kPagesTextFlags = kDtCenter | kDtVCenter | kDtSingleLine;      // &H25

// A line as the edge tables give it: from, to, and which colour.
enum Ink : std::uint8_t { Outer, TLInner, BRInner, EdgeE };
struct Edge {
    std::int8_t x1, y1;  // offsets; which corner they count from is in the anchors
    std::int8_t x2, y2;
    std::uint8_t ax1, ay1, ax2, ay2;  // 0: from L (or T), 1: from R (or B)
    Ink ink;
};
constexpr std::uint8_t L_ = 0, R_ = 1, T_ = 0, B_ = 1;

// The tabbed-dialog theme-0 edges of the active tab (E: the tab's end colour, or the disabled back
// colour): lines 13 to 15 open the body's top edge below the tab.
constexpr std::array<Edge, 18> kDialogActiveEdges{{
    {0, 4, 4, 0, L_, T_, L_, T_, Outer},       {1, 4, 4, 1, L_, T_, L_, T_, TLInner},
    {2, 4, 4, 2, L_, T_, L_, T_, TLInner},     {4, 0, -4, 0, L_, T_, R_, T_, Outer},
    {4, 1, -4, 1, L_, T_, R_, T_, TLInner},    {4, 2, -4, 2, L_, T_, R_, T_, TLInner},
    {-4, 0, 0, 4, R_, T_, R_, T_, Outer},      {-4, 1, -1, 4, R_, T_, R_, T_, BRInner},
    {-4, 2, -2, 4, R_, T_, R_, T_, BRInner},   {0, 4, 0, 1, R_, T_, R_, B_, Outer},
    {-1, 4, -1, 2, R_, T_, R_, B_, BRInner},   {-2, 4, -2, 3, R_, T_, R_, B_, BRInner},
    {3, 1, -2, 1, L_, B_, R_, B_, EdgeE},      {3, 2, -2, 2, L_, B_, R_, B_, EdgeE},
    {3, 3, -2, 3, L_, B_, R_, B_, EdgeE},      {0, 4, 0, 1, L_, T_, L_, B_, Outer},
    {1, 4, 1, 2, L_, T_, L_, B_, TLInner},     {2, 4, 2, 3, L_, T_, L_, B_, TLInner},
}};
// The theme-0 edges of any other tab: lines 9 to 11 are the body's top edge below it.
constexpr std::array<Edge, 13> kDialogInactiveEdges{{
    {0, 4, 4, 0, L_, T_, L_, T_, Outer},      {1, 4, 4, 1, L_, T_, L_, T_, TLInner},
    {4, 0, -4, 0, L_, T_, R_, T_, Outer},     {4, 1, -4, 1, L_, T_, R_, T_, TLInner},
    {-4, 0, 0, 4, R_, T_, R_, T_, Outer},     {-4, 1, -1, 4, R_, T_, R_, T_, BRInner},
    {0, 4, 0, 1, R_, T_, R_, B_, Outer},      {-1, 4, -1, 1, R_, T_, R_, B_, BRInner},
    {0, 1, 1, 1, L_, B_, R_, B_, Outer},      {-1, 2, 1, 2, L_, B_, R_, B_, TLInner},
    {-2, 3, 2, 3, L_, B_, R_, B_, TLInner},   {0, 4, 0, 1, L_, T_, L_, B_, Outer},
    {1, 4, 1, 1, L_, T_, L_, B_, TLInner},
}};

// Property pages, theme 0 (themes 1 and 4 draw the same shapes in the outer colour and without the
// bottom-right inner edge, their bottom line one pixel longer).
struct PageEdges {
    std::vector<Edge> active, leftTall, leftShort, rightTall, rightShort, other;
};
const PageEdges& pageEdges() {
    static const PageEdges e{
        {{0, 2, 3, -1, L_, T_, L_, T_, TLInner}, {2, 0, -2, 0, L_, T_, R_, T_, TLInner},
         {-2, 1, 0, 3, R_, T_, R_, T_, Outer}, {-1, 2, -1, 1, R_, T_, R_, B_, Outer},
         {-2, 2, -2, 1, R_, T_, R_, B_, BRInner}, {0, 2, 0, 1, L_, T_, L_, B_, TLInner}},
        {{0, 2, 3, -1, L_, T_, L_, T_, TLInner}, {2, 0, -2, 0, L_, T_, R_, T_, TLInner},
         {-2, 1, 0, 3, R_, T_, R_, T_, Outer}, {-1, 2, -1, 1, R_, T_, R_, B_, Outer},
         {-2, 2, -2, 1, R_, T_, R_, B_, BRInner}, {0, 0, 0, 0, L_, B_, R_, B_, TLInner},
         {0, 2, 0, 1, L_, T_, L_, B_, TLInner}},
        {{0, 2, 3, -1, L_, T_, L_, T_, TLInner}, {2, 0, 0, 0, L_, T_, R_, T_, TLInner},
         {0, 0, 0, 0, L_, B_, R_, B_, TLInner}, {0, 2, 0, 1, L_, T_, L_, B_, TLInner}},
        {{0, 2, 3, -1, L_, T_, L_, T_, TLInner}, {2, 0, -2, 0, L_, T_, R_, T_, TLInner},
         {0, 2, 0, 1, L_, T_, L_, B_, TLInner}, {-2, 1, 0, 3, R_, T_, R_, T_, Outer},
         {-1, 2, -1, 0, R_, T_, R_, B_, Outer}, {-2, 2, -2, 0, R_, T_, R_, B_, BRInner},
         {0, 0, 0, 0, L_, B_, R_, B_, TLInner}},
        {{0, 0, -2, 0, L_, T_, R_, T_, TLInner}, {-2, 1, 0, 3, R_, T_, R_, T_, Outer},
         {-1, 2, -1, 0, R_, T_, R_, B_, Outer}, {-2, 2, -2, 0, R_, T_, R_, B_, BRInner},
         {0, 0, 0, 0, L_, B_, R_, B_, TLInner}},
        {{0, 2, 3, -1, L_, T_, L_, T_, TLInner}, {2, 0, -2, 0, L_, T_, R_, T_, TLInner},
         {-2, 1, 0, 3, R_, T_, R_, T_, Outer}, {-1, 2, -1, 0, R_, T_, R_, B_, Outer},
         {-2, 2, -2, 0, R_, T_, R_, B_, BRInner}, {0, 0, 0, 0, L_, B_, R_, B_, TLInner},
         {0, 2, 0, 1, L_, T_, L_, B_, TLInner}},
    };
    return e;
}

// Single pixels of an exclusive-or overlay: a pixel named twice keeps the later value, and each
// pixel is combined once, so a second identical pass takes every one of them away again.
class XorPixels {
public:
    void set(std::int64_t x, std::int64_t y, Rgb v) {
        for (auto& p : px_)
            if (p.x == x && p.y == y) {
                p.v = v;
                return;
            }
        px_.push_back({x, y, v});
    }
    void emit(Canvas& c) const {
        for (const auto& p : px_) c.xorPixel(ci(p.x), ci(p.y), p.v);
    }

private:
    struct P {
        std::int64_t x, y;
        Rgb v;
    };
    std::vector<P> px_;
};

}  // namespace

XTabPainter::XTabPainter(XTabState& s, Canvas& canvas, PaintEnv env) : s_(s), c_(canvas), env_(std::move(env)) {
    sysCache_.fill(-1);
    if (env_.sysColor) {
        SysColorLookup lookup = std::move(env_.sysColor);
        env_.sysColor = [this, lookup](int i) {
            auto& slot = sysCache_[static_cast<std::size_t>(i)];  // oleToRgb asks only for 0..kLastSysColorIndex
            if (slot < 0) slot = lookup(i);
            return static_cast<Rgb>(slot);
        };
    }
    W_ = s_.scaleWidth;
    H_ = s_.scaleHeight;
    S_ = tabctl::stripHeight(s_.ActiveTabHeight, s_.InActiveTabHeight);
}

Rgb XTabPainter::rgbOf(std::uint32_t ole) const { return toRgb(ole, env_.sysColor); }

const TabRecord& XTabPainter::tab(std::int32_t i) const {
    static const TabRecord none{};
    if (i < 0 || static_cast<std::size_t>(i) >= s_.tabs.size()) return none;
    return s_.tabs[static_cast<std::size_t>(i)];
}

bool XTabPainter::tabEnabled(std::int32_t i) const { return s_.Enabled && tab(i).Enabled; }

// ---- primitives ---------------------------------------------------------------------------------

void XTabPainter::apiLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, std::uint32_t color) {
    c_.line(ci(x1), ci(y1), ci(x2), ci(y2), rgbOf(color));
}

void XTabPainter::apiFillRectByCoords(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                                      std::uint32_t color) {
    c_.fillRect(ci(x), ci(y), ci(w), ci(h), rgbOf(color));
}

void XTabPainter::apiRectangle(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, std::uint32_t color) {
    const Rgb c = rgbOf(color);
    c_.line(ci(x), ci(y), ci(x + w), ci(y), c);
    c_.line(ci(x + w), ci(y), ci(x + w), ci(y + h), c);
    c_.line(ci(x + w), ci(y + h), ci(x), ci(y + h), c);
    c_.line(ci(x), ci(y + h), ci(x), ci(y), c);
}

void XTabPainter::fillCurvedGradient(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                                     std::uint32_t color1, std::uint32_t color2, int radius, bool roundLeft,
                                     bool roundRight) {
    if (bottom < top) return;
    const Rgb c1 = rgbOf(color1), c2 = rgbOf(color2);
    // One row has no distance to blend over: it takes the first colour instead of dividing by zero.
    const double span = static_cast<double>(bottom - top);
    auto step = [&](unsigned a, unsigned b) { return bottom > top ? (static_cast<double>(b) - a) / span : 0.0; };
    const double sr = step(redOf(c1), redOf(c2)), sg = step(greenOf(c1), greenOf(c2)), sb = step(blueOf(c1), blueOf(c2));
    // Only rows on the surface are drawn, so no height can keep the control busy for long.
    const std::int64_t first = std::max<std::int64_t>(top, 0);
    const std::int64_t last = std::min<std::int64_t>(bottom, std::max(c_.height(), 0));
    std::int64_t k = radius;
    const std::int64_t skipped = first - top;
    if (k > 0) k = std::max<std::int64_t>(k - skipped, 0);
    double r = redOf(c1) + sr * static_cast<double>(skipped);
    double g = greenOf(c1) + sg * static_cast<double>(skipped);
    double b = blueOf(c1) + sb * static_cast<double>(skipped);
    for (std::int64_t y = first; y <= last; ++y) {
        const Rgb row = y == bottom && bottom > top
                            ? c2
                            : rgb(static_cast<unsigned>(std::clamp(roundHalfEven(r), 0.0, 255.0)),
                                  static_cast<unsigned>(std::clamp(roundHalfEven(g), 0.0, 255.0)),
                                  static_cast<unsigned>(std::clamp(roundHalfEven(b), 0.0, 255.0)));
        std::int64_t x1 = left, x2 = right;
        if (radius != -1) {
            if (roundLeft && roundRight) x1 = left + k + 1, x2 = right - k;
            else if (roundLeft) x1 = left + k + 1;
            else x2 = right - k;
        }
        c_.line(ci(x1), ci(y), ci(x2), ci(y), row);
        r += sr, g += sg, b += sb;
        if (k > 0) --k;
    }
}

void XTabPainter::fillCurvedSolid(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                                  std::uint32_t color, int radius, bool roundLeft, bool roundRight) {
    fillCurvedGradient(left, top, right, bottom, color, color, radius, roundLeft, roundRight);
}

// ---- the paint cycle ----------------------------------------------------------------------------

void XTabPainter::drawMe() {
    c_.clear(rgbOf(s_.BackColor));
    s_.focusDrawn = false;
    drawBackground();
    drawTabs();
}

void XTabPainter::drawBackground() {
    const std::int32_t theme = s_.TabTheme;
    if (theme < 0 || theme > 4) return;
    if (theme == 3 && !s_.theme3BackgroundDrawn) {
        s_.theme3BackgroundDrawn = true;
        return;
    }
    if (s_.TabStyle == 0) drawBackgroundTabbedDialog();
    else if (s_.TabStyle == 1) drawBackgroundPropertyPages();
}

void XTabPainter::drawTabs() {
    const std::int32_t theme = s_.TabTheme;
    if (theme >= 0 && theme <= 4) {
        if (s_.TabStyle == 0) drawTabsTabbedDialog();
        else if (s_.TabStyle == 1) drawTabsPropertyPages();
        if (theme == 3) {
            s_.theme3BackgroundDrawn = true;
            drawBackground();
        }
    }
    if (s_.UseControlBox) drawControlBox(0, -1);
}

void XTabPainter::setTabFont(std::int32_t i) {
    const bool active = i == s_.ActiveTab;
    c_.setFont(active ? FontRole::Active : FontRole::Inactive);
    if (!tabEnabled(i)) setForeColor(s_.DisabledTabForeColor);
    else setForeColor(active ? s_.ActiveTabForeColor : s_.InActiveTabForeColor);
}

std::pair<std::uint32_t, std::uint32_t> XTabPainter::faceColors(std::int32_t i) const {
    if (!tabEnabled(i)) return {s_.DisabledTabBackColor, s_.DisabledTabBackColor};
    if (i == s_.ActiveTab) return {s_.ActiveTabBackStartColor, s_.ActiveTabBackEndColor};
    return {s_.InActiveTabBackStartColor, s_.InActiveTabBackEndColor};
}

// Theme 3's tabs in both styles: a rounded outline down to the bottom row, filled in the face's
// start colour; the body painted after the tabs covers all but their tops.
void XTabPainter::roundedTab(std::int32_t i) {
    const Rect& r = tab(i).TabRect;
    setForeColor(s_.OuterBorderColor);
    c_.roundRect(rectOf(r.left, r.top, r.right, std::int64_t{H_} - 1), ci(s_.XRadius), ci(s_.YRadius),
                 rgbOf(s_.ForeColor), rgbOf(faceColors(i).first));
}

void XTabPainter::storeShapes(bool pages) {
    LayoutInput in;
    in.style = pages ? 1 : 0;
    in.theme = s_.TabTheme;
    in.width = W_;
    in.tabCount = static_cast<std::int32_t>(s_.tabs.size());
    in.activeTab = s_.ActiveTab;
    in.activeHeight = s_.ActiveTabHeight;
    in.inactiveHeight = s_.InActiveTabHeight;
    in.pictureSize = s_.iconSize;
    in.useControlBox = s_.UseControlBox;
    if (pages) {
        c_.setFont(FontRole::Active);
        for (const TabRecord& t : s_.tabs) {
            in.textWidths.push_back(c_.textWidth(measuredCaption(t.Caption)));
            in.hasPicture.push_back(t.Picture != nullptr);
        }
    }
    const auto shapes = pages ? layoutPropertyPages(in) : layoutTabbedDialog(in);
    for (std::size_t i = 0; i < shapes.size() && i < s_.tabs.size(); ++i) {
        s_.tabs[i].TabRect = shapes[i].tab;
        s_.tabs[i].BoxRect = shapes[i].box;
    }
}

void XTabPainter::drawPicture(const TabRecord& t, std::int64_t x, std::int64_t y, std::int64_t size) {
    if (!t.Picture) return;
    const bool masked = s_.UseMaskColor && t.Picture->type() == kPictureBitmap;
    c_.drawPicture(*t.Picture, ci(x), ci(y), ci(size), ci(size), masked, rgbOf(s_.PictureMaskColor));
}

Rect XTabPainter::measure(const std::wstring& text, const Rect& r) { return c_.measureText(text, r, kMeasureFlags); }

// ---- tabbed dialog ------------------------------------------------------------------------------

void XTabPainter::drawBackgroundTabbedDialog() {
    const std::int32_t theme = s_.TabTheme;
    if (theme == 2) return drawBackgroundPropertyPages();
    if (theme < 0 || theme > 4) return;
    const std::int64_t W = W_, H = H_, S = S_;
    const bool activeEnabled = tabEnabled(s_.ActiveTab);
    if (theme == 3) {
        const std::uint32_t fill = activeEnabled ? s_.ActiveTabBackStartColor : s_.DisabledTabBackColor;
        apiFillRectByCoords(0, S + 1, W - 1, H - S - 2, fill);
        apiRectangle(0, S + 1, W - 1, H - S - 2, s_.OuterBorderColor);
        const Rect& a = tab(s_.ActiveTab).TabRect;
        apiLine(std::int64_t{a.left} + 1, std::int64_t{a.bottom} - 1, std::int64_t{a.right} - 1,
                std::int64_t{a.bottom} - 1, fill);
        return;
    }
    s_.BackColor = activeEnabled ? s_.ActiveTabBackEndColor : s_.DisabledTabBackColor;
    c_.clear(rgbOf(s_.BackColor));
    const std::uint32_t outer = s_.OuterBorderColor, tl = s_.TopLeftInnerBorderColor,
                        br = s_.BottomRightInnerBorderColor;
    if (theme == 0) {
        apiLine(0, S + 1, 0, H - 1, outer);
        apiLine(1, S + 2, 1, H - 2, tl);
        apiLine(2, S + 3, 2, H - 3, tl);
        apiLine(W - 1, S + 1, W - 1, H - 1, outer);
        apiLine(W - 2, S + 2, W - 2, H - 2, br);
        apiLine(W - 3, S + 3, W - 3, H - 3, br);
        apiLine(0, H - 1, W, H - 1, outer);
        apiLine(1, H - 2, W - 1, H - 2, br);
        apiLine(2, H - 3, W - 2, H - 3, br);
    } else {  // themes 1 and 4
        apiLine(0, S, 0, H - 1, outer);
        apiLine(W - 1, S, W - 1, H - 1, outer);
        apiLine(0, H - 1, W, H - 1, outer);
    }
}

void XTabPainter::drawTabsTabbedDialog() {
    const std::int32_t theme = s_.TabTheme;
    if (theme == 2) return drawTabsPropertyPages();
    if (theme < 0 || theme > 4) return;
    storeShapes(false);
    const std::int64_t W = W_, S = S_;
    apiFillRectByCoords(0, 0, W, S, s_.TabStripBackColor);
    if (theme == 3) setForeColor(s_.OuterBorderColor);
    const auto count = static_cast<std::int32_t>(s_.tabs.size());
    for (std::int32_t i = 0; i < count; ++i) {
        if (theme == 0) dialogTheme0Tab(i);
        else if (theme == 3) roundedTab(i);
        else dialogTheme14Tab(i);
        setTabFont(i);
        dialogCaption(i);
    }
    apiLine(0, S + 1, 0, S + 4, s_.OuterBorderColor);
    apiLine(W - 1, S + 1, W - 1, S + 4, s_.OuterBorderColor);
    if (theme == 0) {
        apiLine(W - 2, S + 2, W - 2, S + 4, s_.BottomRightInnerBorderColor);
        apiLine(W - 3, S + 3, W - 3, S + 4, s_.BottomRightInnerBorderColor);
    } else if (theme == 1 || theme == 4) {
        // The band on the active tab is the active tab's own: it neither takes the hover
        // rectangle nor looks at which tab the mouse was over.
        overlay(tab(s_.ActiveTab).TabRect, s_.ActiveTab);
    }
}

void XTabPainter::dialogTheme0Tab(std::int32_t i) {
    const TabRecord& t = tab(i);
    const bool active = i == s_.ActiveTab, enabled = tabEnabled(i);
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    const auto [top, bottom] = faceColors(i);
    fillCurvedGradient(L + 1, T, R, B, top, bottom, 4, true, true);
    const std::uint32_t e = enabled ? s_.ActiveTabBackEndColor : s_.DisabledTabBackColor;
    auto ink = [&](Ink k) {
        switch (k) {
        case Outer: return s_.OuterBorderColor;
        case TLInner: return s_.TopLeftInnerBorderColor;
        case BRInner: return s_.BottomRightInnerBorderColor;
        default: return e;
        }
    };
    auto draw = [&](const Edge& d) {
        apiLine((d.ax1 ? R : L) + d.x1, (d.ay1 ? B : T) + d.y1, (d.ax2 ? R : L) + d.x2, (d.ay2 ? B : T) + d.y2, ink(d.ink));
    };
    if (active)
        for (const Edge& d : kDialogActiveEdges) draw(d);
    else
        for (const Edge& d : kDialogInactiveEdges) draw(d);
}

void XTabPainter::dialogTheme14Tab(std::int32_t i) {
    const TabRecord& t = tab(i);
    const bool active = i == s_.ActiveTab, enabled = tabEnabled(i);
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    const auto [top, bottom] = faceColors(i);
    if (env_.schemeName == L"Metallic") {
        fillCurvedGradient(L, T, R, B, 0xFFFFFF, 0xF0F0F0, 4, true, true);
        fillCurvedGradient(L, round2(static_cast<double>(B - T) * 0.45), R, B, top, bottom, 4, true, true);
    } else {
        fillCurvedGradient(L, T, R, B, top, bottom, 4, true, true);
    }
    const std::uint32_t outer = s_.OuterBorderColor;
    apiLine(L, T + 4, L + 4, T, outer);
    apiLine(L + 4, T, R - 4, T, outer);
    apiLine(R - 4, T, R, T + 4, outer);
    apiLine(R, T + 4, R, B + 1, outer);
    if (active) apiLine(L + 1, B + 1, R, B + 1, enabled ? s_.ActiveTabBackEndColor : s_.DisabledTabBackColor);
    else apiLine(L, B + 1, R + 1, B + 1, outer);
    apiLine(L, T + 4, L, B + 1, outer);
}

Rect XTabPainter::dialogCaptionRect(std::int32_t i, Rect c) {
    const TabRecord& t = tab(i);
    const Rect m = measure(t.Caption, c);
    const std::int64_t tw = std::int64_t{m.right} - m.left, th = std::int64_t{m.bottom} - m.top;
    const std::int64_t x0 = round2(m.left - 1.0 + t.TabRect.right / 2.0 - m.right / 2.0);
    const std::int64_t y0 = round2(m.top + t.TabRect.bottom / 2.0 - m.bottom / 2.0);
    return rectOf(x0, y0, x0 + tw + 2, y0 + th + 1);
}

void XTabPainter::dialogCaption(std::int32_t i) {
    const TabRecord& t = tab(i);
    const bool theme3 = s_.TabTheme == 3, active = i == s_.ActiveTab;
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    const Rect c0 = theme3 ? rectOf(L, T, R - 1, B) : rectOf(L + 3, T + 3, R - 2, B);
    const std::int64_t k = theme3 ? 4 : 0;
    std::int64_t P = 0, Y = 0, limit = 0;
    int later = -1;  // the alignment whose picture waits for the caption's place
    if (t.Picture) {
        P = s_.iconSize;
        if (P + c0.top > std::int64_t{c0.bottom} + 1)
            P = theme3 ? std::int64_t{c0.bottom} - 4 - c0.top : std::int64_t{c0.bottom} + 1 - c0.top;
        Y = c0.top + round2((std::int64_t{c0.bottom} - c0.top - P) / 2.0);
        switch (s_.PictureAlign) {
        case 0:
        case 1: {
            std::int64_t x = s_.PictureAlign == 0 ? c0.left + k : c0.right - P - k, y = Y;
            if (active) {
                x += s_.PictureAlign == 0 ? 1 : -1;
                y = std::max<std::int64_t>(Y - 1, c0.top);
            }
            drawPicture(t, x, y, P);
            break;
        }
        case 2: later = 2, limit = c0.left; break;
        case 3: later = 3, limit = c0.right; break;
        default: break;
        }
    }
    const Rect c = dialogCaptionRect(i, c0);
    if (later == 2) drawPicture(t, std::max<std::int64_t>(c.left - P - 1, limit), Y, P);
    if (later == 3) {
        std::int64_t x = std::int64_t{c.right} + 1;
        if (x + P > limit) x = limit - P;
        drawPicture(t, x, Y, P);
    }
    c_.drawText(t.Caption, c, kDialogTextFlags, rgbOf(s_.ForeColor));
    if (env_.userMode && s_.ShowFocusRect && s_.IsFocused && active) {
        c_.focusRect(c);
        s_.focusDrawn = true;
    }
}

void XTabPainter::showHideFocusTabbedDialog() {
    const std::int32_t theme = s_.TabTheme;
    if (theme == 2) return showHideFocusPropertyPages();
    if (theme < 0 || theme > 4 || !env_.userMode || !s_.ShowFocusRect) return;
    const std::int32_t a = s_.ActiveTab;
    const TabRecord& t = tab(a);
    setForeColor(tabEnabled(a) ? s_.ActiveTabForeColor : s_.DisabledTabForeColor);
    c_.setFont(FontRole::Active);
    // Every theme toggles the very rectangle the paint drew around the caption, so a toggle after a
    // paint always takes that one away instead of adding a second.
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    const Rect c0 = theme == 3 ? rectOf(L, T, R - 1, B) : rectOf(L + 3, T + 3, R - 2, B);
    c_.focusRect(dialogCaptionRect(a, c0));
    s_.focusDrawn = !s_.focusDrawn;
}

void XTabPainter::overlayTabbed(const Rect& hr, std::int32_t hoveredTab) {
    c_.setDrawMode(kDrawXorPen);
    const bool focused = hoveredTab == s_.ActiveTab && s_.UseFocusedColor;
    const Rgb activeStart = rgbOf(s_.ActiveTabBackStartColor), inactiveStart = rgbOf(s_.InActiveTabBackStartColor);
    Rgb K, G;
    std::int64_t d;
    bool skip;
    if (focused) {
        K = rgbOf(s_.FocusedColor), G = activeStart, d = 4;
        skip = K == G;
    } else {
        K = rgbOf(s_.HoverColor), G = hoveredTab == s_.ActiveTab ? activeStart : inactiveStart, d = 3;
        skip = K == activeStart || K == inactiveStart;
    }
    if (!skip) {
        const std::int64_t XL = hr.left, XT = hr.top, XR = hr.right;
        const Rgb X = K ^ G, outer = rgbOf(s_.OuterBorderColor), Q = rgbOf(s_.TabStripBackColor);
        auto shade = [&](Rgb c, int o) { return offsetColor(c, o, env_.sysColor); };
        fillCurvedSolid(XL, XT + 1, XR, XT + d, X, 3, true, true);
        c_.line(ci(XL + 6), ci(XT), ci(XR - 5), ci(XT), outer ^ shade(K, -21));
        XorPixels px;
        for (auto [x, y] : {std::pair{XL + 6, XT + 1}, {XL + 5, XT + 1}, {XL + 4, XT + 2}, {XL + 3, XT + 3},
                            {XR - 6, XT + 1}, {XR - 5, XT + 1}, {XR - 4, XT + 2}, {XR - 3, XT + 3}})
            px.set(x, y, shade(X, -8) ^ X);
        c_.line(ci(XL), ci(XT + d), ci(XR), ci(XT + d), shade(X, +21) ^ X);
        for (auto [x, y] : {std::pair{XL + 5, XT}, {XR - 5, XT}}) px.set(x, y, outer ^ shade(K, -2));
        for (auto [x, y] : {std::pair{XL + 3, XT + 1}, {XL + 2, XT + 2}, {XR - 3, XT + 1}, {XR - 2, XT + 2}})
            px.set(x, y, outer ^ shade(K, -21));
        for (auto [x, y] : {std::pair{XL + 1, XT + 3}, {XR - 1, XT + 3}}) px.set(x, y, outer ^ shade(K, -32));
        for (auto [x, y] : {std::pair{XL + 4, XT}, {XR - 4, XT}})
            px.set(x, y, outer ^ alphaBlend(shade(K, +512), outer, 64));
        for (auto [x, y] : {std::pair{XL + 3, XT}, {XL + 2, XT + 1}, {XL + 1, XT + 2}, {XR - 3, XT}, {XR - 2, XT + 1},
                            {XR - 1, XT + 2}})
            px.set(x, y, Q ^ alphaBlend(shade(K, -32), Q, 50));
        px.emit(c_);
    }
    c_.setDrawMode(kDrawCopyPen);
}

// ---- property pages -----------------------------------------------------------------------------

void XTabPainter::drawBackgroundPropertyPages() {
    const std::int32_t theme = s_.TabTheme;
    if (theme == 1 || theme == 3 || theme == 4) return drawBackgroundTabbedDialog();
    if (theme != 0 && theme != 2) return;
    const std::int64_t H = S_, SW = W_, SH = H_;
    s_.BackColor = tabEnabled(s_.ActiveTab) ? s_.ActiveTabBackEndColor : s_.DisabledTabBackColor;
    c_.clear(rgbOf(s_.BackColor));
    const std::uint32_t outer = s_.OuterBorderColor;
    if (theme == 0) {
        apiLine(0, H + 1, 0, SH - 1, s_.TopLeftInnerBorderColor);
        apiLine(SW - 1, H + 1, SW - 1, SH - 1, outer);
        apiLine(SW - 2, H + 1, SW - 2, SH - 2, s_.BottomRightInnerBorderColor);
        apiLine(0, SH - 1, SW, SH - 1, outer);
        apiLine(1, SH - 2, SW - 1, SH - 2, s_.BottomRightInnerBorderColor);
    } else {
        apiLine(0, H, 0, SH - 1, outer);
        apiLine(SW - 1, H, SW - 1, SH - 1, outer);
        apiLine(0, SH - 1, SW, SH - 1, outer);
    }
}

void XTabPainter::drawTabsPropertyPages() {
    const std::int32_t theme = s_.TabTheme;
    if (theme < 0 || theme > 4) return;
    storeShapes(true);
    const std::int64_t H = S_, SW = W_;
    apiFillRectByCoords(0, 0, SW, H, s_.TabStripBackColor);
    const auto count = static_cast<std::int32_t>(s_.tabs.size());
    for (std::int32_t i = 0; i < count; ++i) {
        const TabRecord& t = tab(i);
        switch (theme) {
        case 0: pagesTheme0Tab(i); break;
        case 2: pagesTheme2Tab(i); break;
        case 3: roundedTab(i); break;
        default: pagesTheme14Tab(i); break;
        }
        setTabFont(i);
        if (i == 0 && theme != 2 && theme != 3)
            apiLine(std::int64_t{t.TabRect.left} - 2, t.TabRect.bottom, t.TabRect.left, t.TabRect.bottom,
                    theme == 0 ? s_.TopLeftInnerBorderColor : s_.OuterBorderColor);
        if (theme == 3) pagesTheme3Caption(i, true);
        else pagesCaption(i);
    }
    if (count == 0) return;
    const Rect& last = tab(count - 1).TabRect;
    if (theme == 0) apiLine(last.right, last.bottom, SW, last.bottom, s_.TopLeftInnerBorderColor);
    if (theme == 1 || theme == 4) {
        apiLine(last.right, last.bottom, SW, last.bottom, s_.OuterBorderColor);
        overlay(tab(s_.ActiveTab).TabRect, s_.ActiveTab);
    }
    if (theme == 2) {
        apiLine(0, H + 1, 0, H + 4, s_.OuterBorderColor);
        apiLine(SW - 1, H + 1, SW - 1, H + 4, s_.OuterBorderColor);
        apiLine(last.right, std::int64_t{last.bottom} + 1, SW, std::int64_t{last.bottom} + 1, s_.OuterBorderColor);
    }
}

namespace {
enum class Place { Active, LeftNeighbour, RightNeighbour, Other };
}

void XTabPainter::pagesTheme0Tab(std::int32_t i) { pagesTheme14Tab(i); }

void XTabPainter::pagesTheme14Tab(std::int32_t i) {
    const TabRecord& t = tab(i);
    const std::int32_t theme = s_.TabTheme;
    const bool enabled = tabEnabled(i);
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    const bool tall = std::int64_t{s_.InActiveTabHeight} + 2 > s_.ActiveTabHeight;
    const Place place = i == s_.ActiveTab           ? Place::Active
                        : i == s_.ActiveTab - 1     ? Place::LeftNeighbour
                        : i == s_.ActiveTab + 1     ? Place::RightNeighbour
                                                    : Place::Other;
    const auto [top, bottom] = faceColors(i);
    // Fill rectangle and rounded corners by the tab's place.
    std::int64_t fr = R - 1;
    bool rl = true, rr = true;
    if (place == Place::LeftNeighbour) fr = R, rr = tall;
    if (place == Place::RightNeighbour) rl = tall;
    if (theme != 0 && place == Place::Active) fr = R;  // themes 1 and 4 fill the active tab's own rectangle
    if (theme == 0) {
        fillCurvedGradient(L, T, fr, B, top, bottom, 2, rl, rr);
    } else if (env_.schemeName == L"Metallic") {
        const std::int64_t y = round2(static_cast<double>(B - T) * 0.45);
        if (enabled) fillCurvedGradient(L, T, fr, B, 0xFFFFFF, 0xF0F0F0, 2, rl, rr);
        fillCurvedGradient(L, y, fr, B, top, bottom, 2, rl, rr);
    } else {
        fillCurvedGradient(L, T, fr, B, top, bottom, 2, rl, rr);
    }
    const PageEdges& e = pageEdges();
    const std::vector<Edge>* list = &e.other;
    switch (place) {
    case Place::Active: list = &e.active; break;
    case Place::LeftNeighbour: list = tall ? &e.leftTall : &e.leftShort; break;
    case Place::RightNeighbour: list = tall ? &e.rightTall : &e.rightShort; break;
    case Place::Other: break;
    }
    for (const Edge& d : *list) {
        std::int64_t x2 = (d.ax2 ? R : L) + d.x2;
        const bool bottomLine = d.ay1 == B_ && d.ay2 == B_;
        if (theme != 0) {
            if (d.ink == BRInner) continue;       // no inner edges in themes 1 and 4
            if (bottomLine) x2 += 1;              // their bottom line reaches one pixel further
        }
        std::uint32_t color = s_.OuterBorderColor;
        if (theme == 0) color = d.ink == TLInner ? s_.TopLeftInnerBorderColor
                                : d.ink == BRInner ? s_.BottomRightInnerBorderColor
                                                   : s_.OuterBorderColor;
        apiLine((d.ax1 ? R : L) + d.x1, (d.ay1 ? B : T) + d.y1, x2, (d.ay2 ? B : T) + d.y2, color);
    }
}

void XTabPainter::pagesTheme2Tab(std::int32_t i) {
    const TabRecord& t = tab(i);
    const bool enabled = tabEnabled(i);
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    const std::uint32_t outer = s_.OuterBorderColor;
    if (i == s_.ActiveTab) {
        fillCurvedGradient(L, T, R, B, enabled ? s_.ActiveTabBackStartColor : s_.DisabledTabBackColor,
                           enabled ? s_.ActiveTabBackEndColor : s_.DisabledTabBackColor, -1, false, false);
        apiLine(L, T, R, T, outer);
        apiLine(R, T, R, B + 2, s_.BottomRightInnerBorderColor);
        apiLine(L, B + 1, R, B + 1, enabled ? s_.ActiveTabBackEndColor : s_.DisabledTabBackColor);
        apiLine(L, T, L, B + 2, outer);
        return;
    }
    const std::int64_t fl = i == s_.ActiveTab + 1 ? L + 1 : L;
    fillCurvedGradient(fl, T, R, B, enabled ? s_.InActiveTabBackStartColor : s_.DisabledTabBackColor,
                       enabled ? s_.InActiveTabBackEndColor : s_.DisabledTabBackColor, -1, false, false);
    if (i != s_.ActiveTab - 1) apiLine(R - 1, T + 2, R - 1, B - 2, s_.InActiveTabForeColor);
    apiLine(L, B + 1, R + 1, B + 1, outer);
}

void XTabPainter::pagesCaption(std::int32_t i) {
    const TabRecord& t = tab(i);
    const std::int32_t theme = s_.TabTheme;
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    std::int64_t cl = L + 2, ct = T + 2, cr = R - 3, cb = B;
    if (theme == 1 || theme == 4) ct = T + 4, cr = R - 2;
    if (theme == 2) cr = R - 1;
    if (s_.UseControlBox) cl -= 2, cr -= 2;
    std::int64_t tl = cl, tr = cr;
    const std::int32_t align = s_.PictureAlign;
    if (t.Picture && align >= 0 && align <= 3) {
        const std::int64_t ps = std::min<std::int64_t>(s_.iconSize, std::int64_t{S_} - (theme == 0 || theme == 2 ? 6 : 2));
        const std::int64_t py = ct + round2((cb - ct - ps) / 2.0);
        if (align == 0 || align == 2) {
            drawPicture(t, cl + 2, py, ps);
            tl = cl + ps + (theme == 0 ? -6 : -1);
        } else {
            drawPicture(t, cr - ps - 2, py, ps);
            tr = cr - ps + (theme == 0 ? 3 : -5);
        }
    }
    c_.drawText(t.Caption, rectOf(tl, ct, tr, cb), kPagesTextFlags, rgbOf(s_.ForeColor));
    if (env_.userMode && s_.ShowFocusRect && s_.IsFocused && i == s_.ActiveTab) {
        const std::int64_t back = s_.UseControlBox ? 2 : 0;
        c_.focusRect(rectOf(cl + back, ct, cr + back, cb));
        s_.focusDrawn = true;
    }
}

Rect XTabPainter::pagesTheme3Caption(std::int32_t i, bool draw) {
    const TabRecord& t = tab(i);
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    const std::int64_t shift = s_.UseControlBox ? -2 : 0;
    Rect c = rectOf(L + shift, T, R - 1 + shift, B);
    const std::int32_t align = s_.PictureAlign;
    const bool pic = t.Picture && align >= 0 && align <= 3;
    std::int64_t ps = 0, py = 0, textStart = 0, limit = 0;
    if (pic) {
        ps = s_.iconSize;
        if (std::int64_t{c.top} + s_.iconSize > std::int64_t{c.bottom} + 1) ps = std::int64_t{c.bottom} - c.top - 4;
        py = c.top + round2((std::int64_t{c.bottom} - c.top - ps) / 2.0);
        if (align == 0 || align == 2) {
            const std::int64_t x = std::int64_t{c.left} + 4;
            if (draw) drawPicture(t, x, py, ps);
            textStart = x + ps + 2;
            c.left = ci(textStart);
        } else {
            limit = c.right;
            c.right = ci(c.right - ps - 2);
        }
    }
    const Rect m = measure(t.Caption, c);
    const std::int64_t tw = std::int64_t{m.right} - m.left + 2, th = std::int64_t{m.bottom} - m.top + 1;
    const std::int64_t left = std::int64_t{m.left} + 7;
    const std::int64_t right = pic ? left + tw - 7 : left + tw;
    const std::int64_t top = round2(B / 2.0 + m.top - m.bottom / 2.0);
    Rect out = rectOf(left, top, right, top + th);
    if (pic && (align == 0 || align == 2)) out.left = ci(textStart);
    if (pic && (align == 1 || align == 3)) out.right = ci(std::int64_t{out.right} + 7);
    if (draw) {
        c_.drawText(t.Caption, out, kDialogTextFlags, rgbOf(s_.ForeColor));
        if (pic && (align == 1 || align == 3)) {
            std::int64_t x = std::int64_t{out.right} + 5;
            if (x + ps > limit) x = limit - ps;
            drawPicture(t, x, py, ps);
        }
    }
    Rect focus = out;
    if (s_.UseControlBox) focus.left = ci(std::int64_t{focus.left} - 2), focus.right = ci(std::int64_t{focus.right} - 2);
    if (draw && env_.userMode && s_.ShowFocusRect && s_.IsFocused && i == s_.ActiveTab) {
        c_.focusRect(focus);
        s_.focusDrawn = true;
    }
    return focus;
}

void XTabPainter::showHideFocusPropertyPages() {
    const std::int32_t theme = s_.TabTheme;
    if (theme < 0 || theme > 4 || !env_.userMode || !s_.ShowFocusRect) return;
    const std::int32_t a = s_.ActiveTab;
    const TabRecord& t = tab(a);
    setForeColor(tabEnabled(a) ? s_.ActiveTabForeColor : s_.DisabledTabForeColor);
    const std::int64_t L = t.TabRect.left, T = t.TabRect.top, R = t.TabRect.right, B = t.TabRect.bottom;
    Rect r;
    switch (theme) {
    case 0: r = rectOf(L + 2, T + 2, R - 3, B); break;
    case 2: r = rectOf(L + 2, T + 2, R - 1, B); break;
    case 3:
        // The rectangle the paint drew, found the way the paint finds it.
        c_.setFont(FontRole::Active);
        r = pagesTheme3Caption(a, false);
        break;
    default: r = rectOf(L + 2, T + 4, R - 2, B); break;
    }
    c_.focusRect(r);
    s_.focusDrawn = !s_.focusDrawn;
}

void XTabPainter::overlayProperty(const Rect& hr, std::int32_t hoveredTab) {
    const bool activeHovered = hoveredTab == s_.ActiveTab;
    const Rgb activeStart = rgbOf(s_.ActiveTabBackStartColor), inactiveStart = rgbOf(s_.InActiveTabBackStartColor);
    const Rgb OV = rgbOf(activeHovered && s_.UseFocusedColor ? s_.FocusedColor : s_.HoverColor);
    const Rgb XC = (activeHovered ? activeStart : inactiveStart) ^ OV;
    c_.setDrawMode(kDrawXorPen);
    const bool skip = activeHovered ? rgbOf(s_.FocusedColor) == activeStart
                                    : rgbOf(s_.HoverColor) == activeStart || rgbOf(s_.HoverColor) == inactiveStart;
    if (!skip) {
        const Place place = activeHovered                  ? Place::Active
                            : hoveredTab == s_.ActiveTab - 1 ? Place::LeftNeighbour
                            : hoveredTab == s_.ActiveTab + 1 ? Place::RightNeighbour
                                                             : Place::Other;
        const bool left = place != Place::RightNeighbour, right = place != Place::LeftNeighbour;
        const std::int64_t L = hr.left, T = hr.top, R = hr.right;
        const Rgb outer = rgbOf(s_.OuterBorderColor), Q = rgbOf(s_.TabStripBackColor);
        auto shade = [&](Rgb c, int o) { return offsetColor(c, o, env_.sysColor); };
        fillCurvedSolid(L - 1, T + 1, R, T + 3, XC, 2, left, right);
        XorPixels px;
        if (place == Place::Active) px.set(L, T + 3, XC), px.set(R - 1, T + 3, XC);
        const std::int64_t lineFrom = place == Place::RightNeighbour ? L : L + 4;
        const std::int64_t lineTo = place == Place::LeftNeighbour ? R : R - 4;
        c_.line(ci(lineFrom), ci(T), ci(lineTo), ci(T), shade(OV, -21) ^ outer);
        const Rgb inner = shade(XC, -8) ^ XC;
        if (left) px.set(L + 5, T + 1, inner), px.set(L + 4, T + 1, inner), px.set(L + 3, T + 2, inner);
        if (right) px.set(R - 6, T + 1, inner), px.set(R - 5, T + 1, inner), px.set(R - 4, T + 2, inner);
        c_.line(ci(L + 1), ci(T + 3), ci(R - 1), ci(T + 3), shade(XC, +21) ^ XC);
        if (left) px.set(L + 3, T, shade(OV, -2) ^ outer);
        if (right) px.set(R - 4, T, shade(OV, -2) ^ outer);
        const Rgb s21 = shade(OV, -21) ^ outer;
        if (left) px.set(L + 1, T + 1, s21);
        if (right) px.set(R - 2, T + 1, s21);
        if (place == Place::Active) px.set(L, T + 3, s21), px.set(R - 1, T + 3, s21);
        if (left) px.set(L, T + 2, shade(OV, -32) ^ outer);
        if (right) px.set(R - 1, T + 2, shade(OV, -32) ^ outer);
        const Rgb corner = shade(OV, place == Place::Active ? -34 : -37) ^ outer;
        if (left) px.set(L, T + 3, corner);
        if (right) px.set(R - 1, T + 3, corner);
        const Rgb light = alphaBlend(shade(OV, +512), outer, 128) ^ outer;
        if (left) px.set(L + 2, T, light);
        if (right) px.set(R - 3, T, light);
        const Rgb strip = alphaBlend(shade(OV, -32), Q, 50) ^ Q;
        if (place == Place::Active) {
            px.set(L + 1, T, strip), px.set(L, T + 1, strip), px.set(R - 2, T, strip), px.set(R - 1, T + 1, strip);
        } else {
            if (left) px.set(L + 3, T, strip), px.set(L + 2, T + 1, strip);
            if (right) px.set(R - 4, T, strip), px.set(R - 3, T + 1, strip);
        }
        px.emit(c_);
    }
    c_.setDrawMode(kDrawCopyPen);
}

// ---- overlays and focus, by style ------------------------------------------------------------

void XTabPainter::overlay(const Rect& r, std::int32_t hoveredTab) {
    if (s_.TabStyle == 0) overlayTabbed(r, hoveredTab);
    else if (s_.TabStyle == 1) overlayProperty(r, hoveredTab);
}

void XTabPainter::drawOverXOred() { overlay(s_.HoverRect, s_.HoverTab); }

void XTabPainter::drawOnMouseOver() {
    s_.HoverShown = true;
    s_.HoverRect = tab(s_.HoverTab).TabRect;
    drawOverXOred();
}

void XTabPainter::showHideFocus() {
    if (s_.TabStyle == 0) showHideFocusTabbedDialog();
    else if (s_.TabStyle == 1) showHideFocusPropertyPages();
}

// ---- close boxes -----------------------------------------------------------------------------

void XTabPainter::drawOneBox(const Rect& box, std::uint32_t start, std::uint32_t end) {
    const std::int64_t L = box.left, T = box.top, R = box.right, B = box.bottom;
    c_.roundRect(box, 2, 2, rgbOf(s_.ForeColor), std::nullopt);
    fillCurvedGradient(L + 1, T + 1, R - 1, B - 2, start, end, -1, false, false);
    const std::uint32_t cross = offsetColor(s_.OuterBorderColor, -192, env_.sysColor);
    apiLine(L + 3, B - 4, R - 3, T + 2, cross);
    apiLine(L + 3, T + 3, R - 3, B - 3, cross);
}

void XTabPainter::drawControlBox(int state, std::int32_t tabIndex) {
    const std::int32_t theme = s_.TabTheme;
    if (theme < 0 || theme > 4) return;
    const auto count = static_cast<std::int32_t>(s_.tabs.size());
    auto pair = [&](std::int32_t i) {
        const bool active = i == s_.ActiveTab;
        return std::pair{active ? s_.ActiveTabBackStartColor : s_.InActiveTabBackStartColor,
                         active ? s_.ActiveTabBackEndColor : s_.InActiveTabBackEndColor};
    };
    if (tabIndex == -1) {
        if (theme != 0) setForeColor(s_.OuterBorderColor);
        for (std::int32_t i = 0; i < count; ++i) {
            auto [start, end] = pair(i);
            if (theme == 0) setForeColor(s_.OuterBorderColor);
            else if (!tabEnabled(i)) start = end = offsetColor(end, -48, env_.sysColor);
            drawOneBox(tab(i).BoxRect, start, end);
        }
        return;
    }
    if (theme == 0 || tabIndex < 0 || tabIndex >= count) return;
    auto [start, end] = pair(tabIndex);
    switch (state) {
    case 0: break;
    case 1: end = offsetColor(end, -21, env_.sysColor); break;
    case 2: start = end = offsetColor(end, -48, env_.sysColor); break;
    default: start = end = 0; break;
    }
    drawOneBox(tab(tabIndex).BoxRect, start, end);
}

}  // namespace kelva::tabctl
