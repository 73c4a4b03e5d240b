#pragma once
// Where the tabs and their close boxes lie: the measurements that the painters store in the tab
// records and that hit-testing reads. Both styles are here; which one lays out a control is
// `usesPropertyPagesLayout`. All values are pixels of the control surface.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tabctl/xtab_canvas.h"

namespace kelva::tabctl {

// Right and bottom edges outside (the platform's point-in-rectangle rule): close-box tests.
constexpr bool ptInRect(const Rect& r, std::int32_t x, std::int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
// All four edges inside: the tab tests of the mouse handlers and the hover timer.
constexpr bool insideInclusive(const Rect& r, std::int32_t x, std::int32_t y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

// The strip height: the larger of the two tab heights.
constexpr std::int32_t stripHeight(std::int32_t activeHeight, std::int32_t inactiveHeight) {
    return activeHeight > inactiveHeight ? activeHeight : inactiveHeight;
}

// Theme 2 is drawn by the property-pages painters in both styles; any other style than 0 or 1 and
// any theme outside 0..4 draws (and measures) nothing.
constexpr bool drawsAnything(std::int32_t style, std::int32_t theme) {
    return (style == 0 || style == 1) && theme >= 0 && theme <= 4;
}
constexpr bool usesPropertyPagesLayout(std::int32_t style, std::int32_t theme) { return style == 1 || theme == 2; }

struct TabShape {
    Rect tab;  // TabRect
    Rect box;  // BoxRect, stored whether or not close boxes are shown
    bool operator==(const TabShape&) const = default;
};

struct LayoutInput {
    std::int32_t style = 0;
    std::int32_t theme = 0;
    std::int32_t width = 0;  // ScaleWidth in pixels
    std::int32_t tabCount = 1;
    std::int32_t activeTab = 0;
    std::int32_t activeHeight = 20;
    std::int32_t inactiveHeight = 18;
    std::int32_t pictureSize = 16;  // the cached picture side
    bool useControlBox = false;
    // Property pages only: the width of each tab's measured caption in the active tab's font, and
    // whether the tab has a picture.
    std::vector<std::int32_t> textWidths;
    std::vector<bool> hasPicture;
};

// The caption as the property-pages layout measures it: "&&" becomes "&", and when an "&" is still
// left the last character is dropped.
std::wstring measuredCaption(std::wstring_view caption);

// The rectangles of every tab for the style and theme of the input; empty when nothing is drawn.
// A coordinate beyond the 32-bit range raises error 6 (overflow).
std::vector<TabShape> layoutTabs(const LayoutInput& in);
std::vector<TabShape> layoutTabbedDialog(const LayoutInput& in);
std::vector<TabShape> layoutPropertyPages(const LayoutInput& in);

// The first tab whose rectangle (all edges inside) holds the point; -1 for none.
std::int32_t tabAt(const std::vector<TabShape>& shapes, std::int32_t x, std::int32_t y);

}  // namespace kelva::tabctl
