#pragma once
// The list's look as stored with its form, and the geometry of its rows, apart from any window.
#include <cstdint>

#include "runtime/propbag.h"

namespace kelva::lst {

struct ListProps {
    std::int32_t alignment = 0;  // 0 left, 1 centre, 2 right
    std::int16_t appearance = 1;
    std::uint32_t backNormal = 0x80000005;
    std::uint32_t backSelected = 0x8000000D;
    std::uint32_t backSelectedG1 = 0x8000000D;
    std::uint32_t backSelectedG2 = 0x80000005;
    std::int16_t borderStyle = 1;
    std::uint32_t boxBorder = 0x8000000E;
    std::int16_t boxOffset = 1;
    std::int16_t boxRadius = 0;
    bool enabled = true;
    bool focus = true;
    rt::FontDesc font;
    std::uint32_t fontNormal = 0x80000008;
    std::uint32_t fontSelected = 0x8000000E;
    bool hoverSelection = false;
    std::int16_t itemHeight = 0;
    bool itemHeightAuto = true;
    std::int16_t itemOffset = 0;
    std::int16_t itemTextLeft = 2;
    rt::PictureData mouseIcon;
    std::int16_t mousePointer = 0;
    std::int32_t orderType = 0;
    std::int16_t scrollBarWidth = 13;
    rt::PictureData selectionPicture;
    std::int32_t selectMode = 0;
    std::int32_t selectModeStyle = 0;
    bool wordWrap = true;
};

// A newly placed control: the ambient font, and the item height of that font's line.
ListProps newControlProps(const rt::FontDesc& ambientFont, std::int16_t lineHeight);
// Reads the stored set (missing values take their defaults). The item height is settled later,
// once the font's line height is known: see storedItemHeight.
ListProps readProps(const rt::PropertyBag& bag, const rt::FontDesc& ambientFont);
// An item height equal to the font's line is what a control without a stored height gets, so it
// is not stored (a new control stores nothing).
void writeProps(rt::PropertyBag& bag, const ListProps& p, const rt::FontDesc& ambientFont, std::int16_t lineHeight = 0);
std::int16_t storedItemHeight(std::int16_t stored, std::int16_t lineHeight);

// ---- geometry (pixels) ----
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

std::int16_t rowHeightFor(bool itemHeightAuto, std::int16_t itemHeight, int lineHeight);
// Whole rows that fit, at least one: a control lower than a row grows to one row.
std::int16_t visibleRowsFor(int innerHeight, int rowHeight);
// The scroll bar width as the setter stores it: 8 or less becomes 9, above half the inner width
// becomes that half.
std::int16_t clampScrollBarWidth(int value, int innerWidth);

struct RowGeometry {
    int width = 0;        // the list's inner width
    int rowHeight = 1;
    int itemOffset = 0;
    int itemTextLeft = 2;
    int barWidth = 0;     // while the scroll bar shows, else 0
};
Rect rowRect(const RowGeometry& g, int row);
Rect textRect(const RowGeometry& g, int row);

// The edit box laid over the text of a row; lineHeight is one line of the list's font.
Rect editBoxRect(const RowGeometry& g, int row, bool wordWrap, int lineHeight);

// Accepted values of the checked setters. A negative offset would push the row's box or text out
// of the row.
inline bool boxOffsetAccepted(int value, int rowHeight) { return value >= 0 && value <= rowHeight / 2; }
inline bool itemOffsetAccepted(int value, int rowHeight) { return value >= 0 && value <= rowHeight; }
inline bool alignmentAccepted(int value) { return value >= 0 && value <= 2; }
inline bool selectModeStyleAccepted(int value) { return value >= 0 && value <= 6; }
inline bool mousePointerAccepted(int value) { return (value >= 0 && value <= 15) || value == 99; }

// A stored set as a damaged or hostile form file may hold it, made to pass the setters' checks:
// the item height settled against the font's line, the scroll bar width clamped to the list's
// inner width, and every value a setter would refuse replaced by its default (or the nearest
// value the row allows).
void checkStoredProps(ListProps& p, int lineHeight, int innerWidth);

// The channels of a gradient vertex from an RGB value (0x00BBGGRR): each byte times 256.
struct Vertex16 {
    std::uint16_t red = 0, green = 0, blue = 0;
};
Vertex16 splitColor(std::uint32_t rgb);

}  // namespace kelva::lst
