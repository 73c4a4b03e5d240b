#pragma once
// The tab control's painters: the paint steps of both styles and five themes, the close boxes, the
// focus rectangle and the hover highlight, and the primitives they share. They read the control's
// state, write the tab and close-box rectangles (and the surface colours the painting sets) back
// into it, and draw through a Canvas.
#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "core/color.h"
#include "tabctl/xtab_canvas.h"
#include "tabctl/xtab_logic.h"

namespace kelva::tabctl {

struct PaintEnv {
    SysColorLookup sysColor;  // translates the system colours the properties may hold
    bool userMode = true;     // run time: the focus rectangle is drawn only then
    std::wstring schemeName;  // the visual-style scheme (GetThemeInfo), read by themes 1 and 4
};

class XTabPainter {
public:
    XTabPainter(XTabState& s, Canvas& canvas, PaintEnv env);

    // The paint cycle's steps: clear, background, tabs (with the close boxes).
    void drawMe();
    void drawBackground();
    void drawTabs();

    void drawBackgroundTabbedDialog();
    void drawTabsTabbedDialog();
    void drawBackgroundPropertyPages();
    void drawTabsPropertyPages();

    // state 0 normal, 1 mouse over, 2 pressed or disabled; tab -1 draws every box.
    void drawControlBox(int state, std::int32_t tab);
    // Toggles the focus rectangle of the active tab (exclusive or).
    void showHideFocus();
    // Starts the hover highlight on HoverTab: HoverShown, HoverRect and the highlight. The caller
    // starts the hover timer.
    void drawOnMouseOver();
    // Toggles the hover highlight on HoverRect for HoverTab.
    void drawOverXOred();

    // ---- primitives: colours are OLE colours, translated here (never written back) ----
    void apiLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, std::uint32_t color);
    void apiFillRectByCoords(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, std::uint32_t color);
    void apiRectangle(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, std::uint32_t color);
    // Row by row from Top to Bottom inclusive, Color1 on the top row and Color2 on the bottom one;
    // the top corners cut by Radius on the flagged sides (Radius -1: plain rows). A rectangle of one
    // row takes Color1; rows outside the surface are not drawn.
    void fillCurvedGradient(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                            std::uint32_t color1, std::uint32_t color2, int radius, bool roundLeft, bool roundRight);
    void fillCurvedSolid(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                         std::uint32_t color, int radius, bool roundLeft, bool roundRight);

    Rgb rgbOf(std::uint32_t ole) const;

private:
    struct Rect64 {
        std::int64_t l, t, r, b;
    };
    const TabRecord& tab(std::int32_t i) const;
    bool tabEnabled(std::int32_t i) const;
    // Start and end colours of a tab's face: its own pair, or the disabled colour for both.
    std::pair<std::uint32_t, std::uint32_t> faceColors(std::int32_t i) const;
    void roundedTab(std::int32_t i);
    void setForeColor(std::uint32_t c) { s_.ForeColor = c; }
    void setTabFont(std::int32_t i);
    void storeShapes(bool pages);
    void drawPicture(const TabRecord& t, std::int64_t x, std::int64_t y, std::int64_t size);
    Rect measure(const std::wstring& text, const Rect& r);

    // Tabbed dialog.
    Rect dialogCaptionRect(std::int32_t i, Rect c);
    void dialogCaption(std::int32_t i);
    void dialogTheme0Tab(std::int32_t i);
    void dialogTheme14Tab(std::int32_t i);
    void showHideFocusTabbedDialog();
    void overlayTabbed(const Rect& r, std::int32_t hoveredTab);

    // Property pages.
    void pagesTheme0Tab(std::int32_t i);
    void pagesTheme14Tab(std::int32_t i);
    void pagesTheme2Tab(std::int32_t i);
    void pagesCaption(std::int32_t i);
    Rect pagesTheme3Caption(std::int32_t i, bool draw);
    void showHideFocusPropertyPages();
    void overlayProperty(const Rect& r, std::int32_t hoveredTab);

    void overlay(const Rect& r, std::int32_t hoveredTab);
    void drawOneBox(const Rect& box, std::uint32_t start, std::uint32_t end);

    XTabState& s_;
    Canvas& c_;
    PaintEnv env_;
    // System colours asked once per paint: a paint translates the same few many times.
    mutable std::array<std::int64_t, kLastSysColorIndex + 1> sysCache_;
    std::int32_t W_ = 0, H_ = 0, S_ = 0;
};

}  // namespace kelva::tabctl
