#include "listctl/coollist_props.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/errors.h"

namespace kelva::lst {

namespace {
// A stored value of the wrong kind (a text where a number belongs, a picture or font where a
// colour does) or out of its type's range loads as the property's default: one damaged value
// never keeps the others from loading.
template <class Read, class T>
T orDefault(Read read, T def) {
    try {
        return read();
    } catch (const VbError&) {
        return def;
    }
}
std::int32_t long32(const rt::PropertyBag& bag, const wchar_t* name, std::int32_t def) {
    return orDefault([&] { return bag.readLong(name, def); }, def);
}
bool boolean(const rt::PropertyBag& bag, const wchar_t* name, bool def) {
    return orDefault([&] { return bag.readBool(name, def); }, def);
}
std::int32_t asStored(std::uint32_t c) { return static_cast<std::int32_t>(c); }
std::uint32_t colour(const rt::PropertyBag& bag, const wchar_t* name, std::uint32_t def) {
    return static_cast<std::uint32_t>(long32(bag, name, asStored(def)));
}
std::int16_t short16(const rt::PropertyBag& bag, const wchar_t* name, std::int16_t def) {
    const std::int32_t v = long32(bag, name, def);
    return v < INT16_MIN || v > INT16_MAX ? def : static_cast<std::int16_t>(v);
}
rt::PictureData picture(const rt::PropertyBag& bag, const wchar_t* name) {
    return orDefault([&] { return bag.readPicture(name); }, rt::PictureData{});
}
// Points a font may have: a stored size outside them (or no number at all) would make a font of
// no height or one far taller than any screen.
constexpr double kMinFontSize = 1, kMaxFontSize = 500;
rt::FontDesc font(const rt::PropertyBag& bag, const wchar_t* name, const rt::FontDesc& def) {
    rt::FontDesc f = orDefault([&] { return bag.readFont(name, def); }, def);
    f.size = std::isnan(f.size) ? def.size : std::clamp(f.size, kMinFontSize, kMaxFontSize);
    return f;
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
    p.enabled = boolean(bag, L"Enabled", d.enabled);
    p.scrollBarWidth = short16(bag, L"ScrollBarWidth", d.scrollBarWidth);
    p.font = font(bag, L"Font", ambientFont);
    p.fontNormal = colour(bag, L"FontNormal", d.fontNormal);
    p.fontSelected = colour(bag, L"FontSelected", d.fontSelected);
    p.backNormal = colour(bag, L"BackNormal", d.backNormal);
    p.backSelected = colour(bag, L"BackSelected", d.backSelected);
    p.backSelectedG1 = colour(bag, L"BackSelectedG1", d.backSelectedG1);
    p.backSelectedG2 = colour(bag, L"BackSelectedG2", d.backSelectedG2);
    p.boxBorder = colour(bag, L"BoxBorder", d.boxBorder);
    p.boxOffset = short16(bag, L"BoxOffset", d.boxOffset);
    p.boxRadius = short16(bag, L"BoxRadius", d.boxRadius);
    p.alignment = long32(bag, L"Alignment", d.alignment);
    p.focus = boolean(bag, L"Focus", d.focus);
    p.hoverSelection = boolean(bag, L"HoverSelection", d.hoverSelection);
    p.wordWrap = boolean(bag, L"WordWrap", d.wordWrap);
    p.itemOffset = short16(bag, L"ItemOffset", d.itemOffset);
    p.itemHeightAuto = boolean(bag, L"ItemHeightAuto", d.itemHeightAuto);
    p.itemTextLeft = short16(bag, L"ItemTextLeft", d.itemTextLeft);
    p.orderType = long32(bag, L"OrderType", d.orderType);
    p.selectionPicture = picture(bag, L"SelectionPicture");
    p.selectMode = long32(bag, L"SelectMode", d.selectMode);
    p.selectModeStyle = long32(bag, L"SelectModeStyle", d.selectModeStyle);
    p.mousePointer = short16(bag, L"MousePointer", d.mousePointer);
    p.mouseIcon = picture(bag, L"MouseIcon");
    // Pixels a row may have; the font's line still settles it from below (storedItemHeight).
    p.itemHeight = static_cast<std::int16_t>(std::clamp<std::int32_t>(long32(bag, L"ItemHeight", d.itemHeight), 1, 32767));
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
