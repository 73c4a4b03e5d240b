#include <gtest/gtest.h>

#include "listctl/coollist_props.h"

using namespace kelva;
using namespace kelva::lst;

namespace {
const rt::FontDesc kAmbient{L"굴림", 9};

std::vector<std::wstring> names(const rt::PropertyBag& bag) {
    std::vector<std::wstring> out;
    for (const auto& e : bag.entries()) out.push_back(e.name);
    return out;
}
}  // namespace

TEST(ListProps, NewControlStoresNothing) {
    rt::PropertyBag bag;
    ListProps p = newControlProps(kAmbient, 15);
    EXPECT_EQ(p.itemHeight, 15);
    EXPECT_EQ(p.font, kAmbient);
    writeProps(bag, p, kAmbient, 15);
    EXPECT_TRUE(bag.empty());
    const ListProps back = readProps(bag, kAmbient);
    EXPECT_EQ(back.font, kAmbient);
    EXPECT_EQ(back.backNormal, 0x80000005u);
    EXPECT_EQ(back.scrollBarWidth, 13);
    EXPECT_TRUE(back.wordWrap);
    EXPECT_TRUE(back.itemHeightAuto);
    EXPECT_EQ(back.itemTextLeft, 2);
}

TEST(ListProps, EverythingChangedRoundTripsInTheWritingOrder) {
    ListProps p;
    p.appearance = 0;
    p.borderStyle = 0;
    p.enabled = false;
    p.scrollBarWidth = 20;
    p.font = {L"Verdana", 12, true, true, true, true};
    p.fontNormal = 0x112233;
    p.fontSelected = 0x223344;
    p.backNormal = 0x334455;
    p.backSelected = 0x445566;
    p.backSelectedG1 = 0x556677;
    p.backSelectedG2 = 0x667788;
    p.boxBorder = 0x778899;
    p.boxOffset = 3;
    p.boxRadius = 6;
    p.alignment = 2;
    p.focus = false;
    p.hoverSelection = true;
    p.wordWrap = false;
    p.itemHeight = 30;
    p.itemHeightAuto = false;
    p.itemOffset = 4;
    p.itemTextLeft = 8;
    p.orderType = 1;
    p.selectionPicture.bmp = {'B', 'M', 1, 2};
    p.selectMode = 1;
    p.selectModeStyle = 4;
    p.mousePointer = 99;
    p.mouseIcon.bmp = {'B', 'M', 3};
    rt::PropertyBag bag;
    writeProps(bag, p, kAmbient);
    const std::vector<std::wstring> order{
        L"Appearance", L"BorderStyle", L"Enabled", L"ScrollBarWidth", L"Font", L"FontNormal", L"FontSelected",
        L"BackNormal", L"BackSelected", L"BackSelectedG1", L"BackSelectedG2", L"BoxBorder", L"BoxOffset",
        L"BoxRadius", L"Alignment", L"Focus", L"HoverSelection", L"WordWrap", L"ItemHeight", L"ItemHeightAuto",
        L"ItemOffset", L"ItemTextLeft", L"OrderType", L"SelectionPicture", L"SelectMode", L"SelectModeStyle",
        L"MousePointer", L"MouseIcon"};
    EXPECT_EQ(names(bag), order);
    const ListProps q = readProps(bag, kAmbient);
    rt::PropertyBag again;
    writeProps(again, q, kAmbient);
    ASSERT_EQ(again.entries().size(), bag.entries().size());
    for (std::size_t i = 0; i < bag.entries().size(); ++i)
        EXPECT_TRUE(rt::valuesEqual(again.entries()[i].value, bag.entries()[i].value)) << names(bag)[i];
    EXPECT_EQ(q.font, p.font);
    EXPECT_EQ(q.backSelectedG2, 0x667788u);
    EXPECT_EQ(q.mousePointer, 99);
}

TEST(ListProps, AStoredValueOfTheWrongKindLoadsAsItsDefaultAndTheRestStillLoad) {
    rt::PropertyBag bag;
    bag.write(L"BackNormal", rt::FontDesc{L"Arial", 10});            // an object where a colour is
    bag.write(L"BoxRadius", std::wstring(L"둥글게"));                 // a text where a number is
    bag.write(L"Enabled", rt::PictureData{{'B', 'M'}});              // a picture where a Boolean is
    bag.write(L"SelectionPicture", std::wstring(L"pic.bmp"));         // a text where a picture is
    bag.write(L"BoxOffset", std::int32_t{70000});                     // past any 16-bit value
    bag.write(L"WordWrap", false);
    bag.write(L"SelectModeStyle", std::int32_t{4});
    bag.write(L"BackSelected", std::int32_t{0x123456});
    bag.write(L"Font", rt::FontDesc{L"Verdana", 1e6, true});
    bag.write(L"ItemHeight", std::int32_t{100000});
    ListProps p;
    ASSERT_NO_THROW(p = readProps(bag, kAmbient));
    EXPECT_EQ(p.backNormal, 0x80000005u);
    EXPECT_EQ(p.boxRadius, 0);
    EXPECT_TRUE(p.enabled);
    EXPECT_TRUE(p.selectionPicture.empty());
    EXPECT_EQ(p.boxOffset, 1);
    EXPECT_FALSE(p.wordWrap);
    EXPECT_EQ(p.selectModeStyle, 4);
    EXPECT_EQ(p.backSelected, 0x123456u);
    EXPECT_EQ(p.font.name, L"Verdana");
    EXPECT_TRUE(p.font.bold);
    EXPECT_EQ(p.font.size, 500);      // points
    EXPECT_EQ(p.itemHeight, 32767);  // pixels
    // Too small: a font of at least one point, a row of at least its line.
    bag.write(L"Font", rt::FontDesc{L"Verdana", 0.01});
    bag.write(L"ItemHeight", std::int32_t{-70000});
    ASSERT_NO_THROW(p = readProps(bag, kAmbient));
    EXPECT_EQ(p.font.size, 1);
    checkStoredProps(p, 15, 100);
    EXPECT_EQ(p.itemHeight, 15);
    // A number where the font is: the ambient font.
    bag.write(L"Font", std::int32_t{12});
    ASSERT_NO_THROW(p = readProps(bag, kAmbient));
    EXPECT_EQ(p.font, kAmbient);
}

TEST(ListProps, SystemColoursSurviveAsNegativeLongs) {
    ListProps p;
    p.backNormal = 0x8000000F;
    rt::PropertyBag bag;
    writeProps(bag, p, kAmbient);
    EXPECT_EQ(rt::asLong(*bag.find(L"backnormal")), static_cast<std::int32_t>(0x8000000F));
    EXPECT_EQ(readProps(bag, kAmbient).backNormal, 0x8000000Fu);
}

TEST(ListProps, StoredItemHeightIsAtLeastTheLine) {
    rt::PropertyBag bag;
    ListProps p;
    p.itemHeight = 22;
    writeProps(bag, p, kAmbient, 15);
    EXPECT_EQ(rt::asLong(*bag.find(L"ItemHeight")), 22);
    EXPECT_EQ(storedItemHeight(10, 15), 15);
    EXPECT_EQ(storedItemHeight(0, 15), 15);
    EXPECT_EQ(storedItemHeight(22, 15), 22);
}

TEST(ListLayout, RowsAndScrollBarWidth) {
    EXPECT_EQ(rowHeightFor(true, 40, 15), 15);
    EXPECT_EQ(rowHeightFor(false, 40, 15), 40);
    EXPECT_EQ(rowHeightFor(false, 5, 15), 15);
    EXPECT_EQ(visibleRowsFor(100, 15), 6);
    EXPECT_EQ(visibleRowsFor(90, 15), 6);
    EXPECT_EQ(visibleRowsFor(10, 15), 1);  // lower than one row: one row
    EXPECT_EQ(clampScrollBarWidth(5, 100), 9);
    EXPECT_EQ(clampScrollBarWidth(8, 100), 9);
    EXPECT_EQ(clampScrollBarWidth(9, 100), 9);
    EXPECT_EQ(clampScrollBarWidth(80, 100), 50);
    EXPECT_EQ(clampScrollBarWidth(50, 101), 50);
    EXPECT_EQ(clampScrollBarWidth(51, 101), 50);
    EXPECT_TRUE(boxOffsetAccepted(8, 17));
    EXPECT_FALSE(boxOffsetAccepted(9, 17));
    EXPECT_TRUE(itemOffsetAccepted(17, 17));
    EXPECT_FALSE(itemOffsetAccepted(18, 17));
}

TEST(ListLayout, RowTextAndEditRectangles) {
    RowGeometry g{100, 20, 3, 2, 0};
    EXPECT_EQ(rowRect(g, 2), (Rect{0, 40, 100, 60}));
    EXPECT_EQ(textRect(g, 2), (Rect{5, 43, 97, 57}));
    g.barWidth = 13;
    EXPECT_EQ(rowRect(g, 0), (Rect{0, 0, 87, 20}));
    EXPECT_EQ(textRect(g, 0), (Rect{5, 3, 84, 17}));
    // Word wrap: over the text rectangle; single line: one line, centred in the row.
    EXPECT_EQ(editBoxRect(g, 1, true, 12), (Rect{5, 23, 5 + 87 - 2 - 6, 23 + 14}));
    EXPECT_EQ(editBoxRect(g, 1, false, 12), (Rect{5, 24, 5 + 79, 36}));
}

TEST(ListLayout, GradientVertices) {
    const Vertex16 v = splitColor(0x00FF8001);
    EXPECT_EQ(v.red, 0x0100);
    EXPECT_EQ(v.green, 0x8000);
    EXPECT_EQ(v.blue, 0xFF00);
}

TEST(ListProps, AHostileStoredSetPassesTheSettersChecks) {
    rt::PropertyBag bag;
    bag.write(L"ScrollBarWidth", std::int32_t{-5});
    bag.write(L"BoxOffset", std::int32_t{-3});
    bag.write(L"ItemOffset", std::int32_t{-2});
    bag.write(L"SelectModeStyle", std::int32_t{99});
    bag.write(L"Alignment", std::int32_t{7});
    bag.write(L"MousePointer", std::int32_t{50});
    bag.write(L"Appearance", std::int32_t{5});
    bag.write(L"BorderStyle", std::int32_t{-1});
    bag.write(L"ItemHeight", std::int32_t{-40});
    bag.write(L"ItemHeightAuto", false);
    ListProps p = readProps(bag, kAmbient);
    checkStoredProps(p, 15, 100);
    EXPECT_EQ(p.scrollBarWidth, 9);
    EXPECT_EQ(p.boxOffset, 1);
    EXPECT_EQ(p.itemOffset, 0);
    EXPECT_EQ(p.selectModeStyle, 0);
    EXPECT_EQ(p.alignment, 0);
    EXPECT_EQ(p.mousePointer, 0);
    EXPECT_EQ(p.appearance, 1);
    EXPECT_EQ(p.borderStyle, 1);
    EXPECT_EQ(p.itemHeight, 15);

    // Too large for the list and its rows.
    bag.write(L"ScrollBarWidth", std::int32_t{30000});
    bag.write(L"BoxOffset", std::int32_t{8});
    bag.write(L"ItemOffset", std::int32_t{16});
    ListProps q = readProps(bag, kAmbient);
    checkStoredProps(q, 15, 100);
    EXPECT_EQ(q.scrollBarWidth, 50);
    EXPECT_EQ(q.boxOffset, 1);
    EXPECT_EQ(q.itemOffset, 0);
    // What the setters accept is kept as stored.
    bag.write(L"BoxOffset", std::int32_t{7});
    bag.write(L"ItemOffset", std::int32_t{15});
    bag.write(L"SelectModeStyle", std::int32_t{6});
    ListProps r = readProps(bag, kAmbient);
    checkStoredProps(r, 15, 100);
    EXPECT_EQ(r.boxOffset, 7);
    EXPECT_EQ(r.itemOffset, 15);
    EXPECT_EQ(r.selectModeStyle, 6);
}

TEST(ListLayout, RectanglesAreNeverTurnedInsideOut) {
    // An item offset the row height allows, but more than half of it, and a list narrower than
    // its offsets and text indent.
    for (const RowGeometry g : {RowGeometry{100, 15, 15, 2, 0}, RowGeometry{6, 15, 4, 30, 13}, RowGeometry{0, 1, 0, 2, 0}})
        for (int row = 0; row < 3; ++row)
            for (const Rect r : {rowRect(g, row), textRect(g, row), editBoxRect(g, row, true, 12), editBoxRect(g, row, false, 12)}) {
                EXPECT_LE(r.left, r.right);
                EXPECT_LE(r.top, r.bottom);
            }
    EXPECT_FALSE(boxOffsetAccepted(-1, 17));
    EXPECT_FALSE(itemOffsetAccepted(-1, 17));
    EXPECT_FALSE(selectModeStyleAccepted(7));
    EXPECT_TRUE(selectModeStyleAccepted(0));
}
