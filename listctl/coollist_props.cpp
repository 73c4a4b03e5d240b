#include "listctl/coollist_props.h"

#include <algorithm>

namespace kelva::lst {

namespace {
std::int32_t asStored(std::uint32_t c) { return static_cast<std::int32_t>(c); }
std::uint32_t colour(const rt::PropertyBag& bag, const wchar_t* name, std::uint32_t def) {
    return static_cast<std::uint32_t>(bag.readLong(name, asStored(def)));
}
std::int16_t short16(const rt::PropertyBag& bag, const wchar_t* name, std::int16_t def) {
    return static_cast<std::int16_t>(bag.readLong(name, def));
}
}  // namespace

ListProps newControlProps(const rt::FontDesc& ambientFont, std::int16_t lineHeight) {
    ListProps p;
    p.font = ambientFont;
    p.itemHeight = lineHeight;
    return p;
}

ListProps readProps(const rt::PropertyBag& bag, const rt::FontDesc& ambientFont) {
    const ListProps d;
    ListProps p;
    p.appearance = short16(bag, L"Appearance", d.appearance);
    p.borderStyle = short16(bag, L"BorderStyle", d.borderStyle);
    p.enabled = bag.readBool(L"Enabled", d.enabled);
    p.scrollBarWidth = short16(bag, L"ScrollBarWidth", d.scrollBarWidth);
    p.font = bag.readFont(L"Font", ambientFont);
    p.fontNormal = colour(bag, L"FontNormal", d.fontNormal);
    p.fontSelected = colour(bag, L"FontSelected", d.fontSelected);
    p.backNormal = colour(bag, L"BackNormal", d.backNormal);
    p.backSelected = colour(bag, L"BackSelected", d.backSelected);
    p.backSelectedG1 = colour(bag, L"BackSelectedG1", d.backSelectedG1);
    p.backSelectedG2 = colour(bag, L"BackSelectedG2", d.backSelectedG2);
    p.boxBorder = colour(bag, L"BoxBorder", d.boxBorder);
    p.boxOffset = short16(bag, L"BoxOffset", d.boxOffset);
    p.boxRadius = short16(bag, L"BoxRadius", d.boxRadius);
    p.alignment = bag.readLong(L"Alignment", d.alignment);
    p.focus = bag.readBool(L"Focus", d.focus);
    p.hoverSelection = bag.readBool(L"HoverSelection", d.hoverSelection);
    p.wordWrap = bag.readBool(L"WordWrap", d.wordWrap);
    p.itemOffset = short16(bag, L"ItemOffset", d.itemOffset);
    p.itemHeightAuto = bag.readBool(L"ItemHeightAuto", d.itemHeightAuto);
    p.itemTextLeft = short16(bag, L"ItemTextLeft", d.itemTextLeft);
    p.orderType = bag.readLong(L"OrderType", d.orderType);
    p.selectionPicture = bag.readPicture(L"SelectionPicture");
    p.selectMode = bag.readLong(L"SelectMode", d.selectMode);
    p.selectModeStyle = bag.readLong(L"SelectModeStyle", d.selectModeStyle);
    p.mousePointer = short16(bag, L"MousePointer", d.mousePointer);
    p.mouseIcon = bag.readPicture(L"MouseIcon");
    p.itemHeight = short16(bag, L"ItemHeight", d.itemHeight);
    return p;
}

std::int16_t storedItemHeight(std::int16_t stored, std::int16_t lineHeight) {
    return stored >= lineHeight ? stored : lineHeight;
}

void writeProps(rt::PropertyBag& bag, const ListProps& p, const rt::FontDesc& ambientFont, std::int16_t lineHeight) {
    const ListProps d;
    auto i32 = [](auto v) { return rt::PropValue(static_cast<std::int32_t>(v)); };
    bag.write(L"Appearance", i32(p.appearance), i32(d.appearance));
    bag.write(L"BorderStyle", i32(p.borderStyle), i32(d.borderStyle));
    bag.write(L"Enabled", p.enabled, d.enabled);
    bag.write(L"ScrollBarWidth", i32(p.scrollBarWidth), i32(d.scrollBarWidth));
    bag.write(L"Font", p.font, ambientFont);
    bag.write(L"FontNormal", i32(p.fontNormal), i32(d.fontNormal));
    bag.write(L"FontSelected", i32(p.fontSelected), i32(d.fontSelected));
    bag.write(L"BackNormal", i32(p.backNormal), i32(d.backNormal));
    bag.write(L"BackSelected", i32(p.backSelected), i32(d.backSelected));
    bag.write(L"BackSelectedG1", i32(p.backSelectedG1), i32(d.backSelectedG1));
    bag.write(L"BackSelectedG2", i32(p.backSelectedG2), i32(d.backSelectedG2));
    bag.write(L"BoxBorder", i32(p.boxBorder), i32(d.boxBorder));
    bag.write(L"BoxOffset", i32(p.boxOffset), i32(d.boxOffset));
    bag.write(L"BoxRadius", i32(p.boxRadius), i32(d.boxRadius));
    bag.write(L"Alignment", i32(p.alignment), i32(d.alignment));
    bag.write(L"Focus", p.focus, d.focus);
    bag.write(L"HoverSelection", p.hoverSelection, d.hoverSelection);
    bag.write(L"WordWrap", p.wordWrap, d.wordWrap);
    bag.write(L"ItemHeight", i32(p.itemHeight == lineHeight ? d.itemHeight : p.itemHeight), i32(d.itemHeight));
    bag.write(L"ItemHeightAuto", p.itemHeightAuto, d.itemHeightAuto);
    bag.write(L"ItemOffset", i32(p.itemOffset), i32(d.itemOffset));
    bag.write(L"ItemTextLeft", i32(p.itemTextLeft), i32(d.itemTextLeft));
    bag.write(L"OrderType", i32(p.orderType), i32(d.orderType));
    if (!p.selectionPicture.empty()) bag.write(L"SelectionPicture", p.selectionPicture);
    bag.write(L"SelectMode", i32(p.selectMode), i32(d.selectMode));
    bag.write(L"SelectModeStyle", i32(p.selectModeStyle), i32(d.selectModeStyle));
    bag.write(L"MousePointer", i32(p.mousePointer), i32(d.mousePointer));
    if (!p.mouseIcon.empty()) bag.write(L"MouseIcon", p.mouseIcon);
}

void checkStoredProps(ListProps& p, int lineHeight, int innerWidth) {
    const ListProps d;
    p.itemHeight = storedItemHeight(p.itemHeight, static_cast<std::int16_t>(std::clamp(lineHeight, 1, 32767)));
    p.scrollBarWidth = clampScrollBarWidth(p.scrollBarWidth, innerWidth);
    const int rh = rowHeightFor(p.itemHeightAuto, p.itemHeight, lineHeight);
    if (!boxOffsetAccepted(p.boxOffset, rh)) p.boxOffset = static_cast<std::int16_t>(std::min<int>(d.boxOffset, rh / 2));
    if (!itemOffsetAccepted(p.itemOffset, rh)) p.itemOffset = d.itemOffset;
    if (!alignmentAccepted(p.alignment)) p.alignment = d.alignment;
    if (!selectModeStyleAccepted(p.selectModeStyle)) p.selectModeStyle = d.selectModeStyle;
    if (!mousePointerAccepted(p.mousePointer)) p.mousePointer = d.mousePointer;
    if (p.appearance != 0 && p.appearance != 1) p.appearance = d.appearance;
    if (p.borderStyle != 0 && p.borderStyle != 1) p.borderStyle = d.borderStyle;
}

std::int16_t rowHeightFor(bool itemHeightAuto, std::int16_t itemHeight, int lineHeight) {
    const int h = itemHeightAuto ? lineHeight : std::max<int>(itemHeight, lineHeight);
    return static_cast<std::int16_t>(std::clamp(h, 1, 32767));
}

std::int16_t visibleRowsFor(int innerHeight, int rowHeight) {
    return static_cast<std::int16_t>(std::clamp(innerHeight / std::max(rowHeight, 1), 1, 32767));
}

std::int16_t clampScrollBarWidth(int value, int innerWidth) {
    if (value <= 8) return 9;
    if (value > innerWidth / 2) return static_cast<std::int16_t>(innerWidth / 2);
    return static_cast<std::int16_t>(value);
}

namespace {
// Offsets larger than the row may squeeze a rectangle to nothing, never turn it inside out.
Rect upright(Rect r) {
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}
}  // namespace

Rect rowRect(const RowGeometry& g, int row) {
    return upright({0, row * g.rowHeight, g.width - g.barWidth, (row + 1) * g.rowHeight});
}

Rect textRect(const RowGeometry& g, int row) {
    return upright({g.itemOffset + g.itemTextLeft, row * g.rowHeight + g.itemOffset, g.width - g.itemOffset - g.barWidth,
                    (row + 1) * g.rowHeight - g.itemOffset});
}

Rect editBoxRect(const RowGeometry& g, int row, bool wordWrap, int lineHeight) {
    const Rect r = rowRect(g, row);
    const int left = g.itemTextLeft + g.itemOffset;
    const int width = r.right - g.itemTextLeft - 2 * g.itemOffset;
    if (wordWrap) {
        const int top = g.itemOffset + row * g.rowHeight;
        return upright({left, top, left + width, top + g.rowHeight - 2 * g.itemOffset});
    }
    const int top = row * g.rowHeight + (g.rowHeight - lineHeight) / 2;
    return upright({left, top, left + width, top + lineHeight});
}

Vertex16 splitColor(std::uint32_t rgb) {
    return {static_cast<std::uint16_t>((rgb & 0xFF) * 256), static_cast<std::uint16_t>(((rgb >> 8) & 0xFF) * 256),
            static_cast<std::uint16_t>(((rgb >> 16) & 0xFF) * 256)};
}

}  // namespace kelva::lst
