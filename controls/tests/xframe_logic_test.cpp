#include <gtest/gtest.h>

#include "controls/xframe_logic.h"

using namespace kelva::ctl::xframe;

namespace {
Model withButtons(bool button, bool pin) {
    Model m = newInstance(L"xFrame1");
    m.button = button;
    m.buttonPin = pin;
    return m;
}
constexpr double W = 6405;
}  // namespace

TEST(XFrame, CollapseAndExpandByHeaderClicks) {
    Model m = withButtons(true, false);
    layoutStep(m, 1695);
    EXPECT_EQ(m.expandedHeight, 1695);
    headerMouseMove(m, 100, W);
    EXPECT_TRUE(m.overExpandZone && m.timerEnabled);
    auto r = headerClick(m, 1695);
    EXPECT_EQ(r.newHeight, kCollapsedHeight);
    EXPECT_FALSE(m.expanded);
    layoutStep(m, kCollapsedHeight);  // collapsing keeps the expanded height
    EXPECT_EQ(m.expandedHeight, 1695);
    r = headerClick(m, kCollapsedHeight);
    EXPECT_EQ(r.newHeight, 1695);
    EXPECT_TRUE(m.expanded);
    layoutStep(m, 900);  // a host resize of a collapsed frame sets a new expanded height
    EXPECT_EQ(m.expandedHeight, 900);
}

TEST(XFrame, FirstSizeAtHeaderHeightStaysClickable) {
    Model m = withButtons(true, false);
    layoutStep(m, kCollapsedHeight);
    EXPECT_EQ(m.expandedHeight, 0);
    headerMouseMove(m, 100, W);
    auto r = headerClick(m, kCollapsedHeight);
    EXPECT_FALSE(r.newHeight.has_value());  // never shrinks to nothing
    EXPECT_TRUE(r.repaintHeader);
    EXPECT_FALSE(setExpanded(m, true, kCollapsedHeight).has_value());
    EXPECT_EQ(setExpanded(m, false, kCollapsedHeight), kCollapsedHeight);
}

TEST(XFrame, PinnedFramesKeepTheirHeight) {
    Model m = withButtons(true, true);
    layoutStep(m, 1695);
    headerMouseMove(m, W - 400, W);  // the pin band
    EXPECT_TRUE(m.overPinZone);
    EXPECT_TRUE(headerMouseMove(m, W - 350, W));  // still in the band: the zones are set again
    headerClick(m, 1695);
    EXPECT_TRUE(m.framePinned);
    headerMouseMove(m, 10, W);
    auto r = headerClick(m, 1695);
    EXPECT_FALSE(r.newHeight.has_value());
    EXPECT_TRUE(r.repaintHeader);
    EXPECT_FALSE(setExpanded(m, false, 1695).has_value());
    EXPECT_FALSE(m.expanded);
}

TEST(XFrame, ZonesWithoutTheExpandButton) {
    Model m = withButtons(false, true);
    layoutStep(m, 1695);
    headerMouseMove(m, 10, W);  // the whole header is the pin zone
    EXPECT_TRUE(m.overPinZone);
    EXPECT_FALSE(m.overExpandZone);
    auto r = headerClick(m, 1695);
    EXPECT_FALSE(r.newHeight.has_value());
    EXPECT_TRUE(m.framePinned);

    Model none = withButtons(false, false);
    headerMouseMove(none, 10, W);
    r = headerClick(none, 1695);
    EXPECT_FALSE(r.newHeight.has_value() || r.repaintHeader || none.framePinned);

    Model noPin = withButtons(true, false);
    layoutStep(noPin, 1695);
    headerMouseMove(noPin, W - 400, W);
    r = headerClick(noPin, 1695);
    EXPECT_FALSE(r.newHeight.has_value() || noPin.framePinned);
}

TEST(XFrame, MovesInsideTheExpandZoneDoNotRepaint) {
    Model m = withButtons(true, true);
    EXPECT_TRUE(headerMouseMove(m, 10, W));
    EXPECT_FALSE(headerMouseMove(m, 20, W));
    EXPECT_TRUE(headerMouseMove(m, W - 450, W));  // band edges belong to the pin
    EXPECT_TRUE(headerMouseMove(m, W - 300, W));
}

TEST(XFrame, HoverTickRepaintsOnlyOnAColourChange) {
    Model m = withButtons(true, false);
    m.headerDrawn = true;
    EXPECT_FALSE(hoverTick(m, false));
    EXPECT_TRUE(m.headerDrawn);
    EXPECT_TRUE(hoverTick(m, true));
    EXPECT_EQ(m.currentButtonColor, m.colors.buttonHighlightColor);
    EXPECT_FALSE(m.headerDrawn);
}

TEST(XFrame, SchemesAndTheDisabledSet) {
    Model m = newInstance(L"f");
    m.colors.borderColor = 0x123456;
    m.colorScheme = 4;
    applyColorScheme(m);
    EXPECT_EQ(m.colors.borderColor, 0x123456u);  // unknown scheme: colours kept
    m.colors.buttonColor = 0x42;
    m.currentButtonColor = 0;
    m.colorScheme = -1;
    applyColorScheme(m);
    EXPECT_EQ(m.currentButtonColor, 0x42u);
    m.colorScheme = 2;
    applyColorScheme(m);
    EXPECT_EQ(m.colors.headerGradientBottom, 0x79B1A2u);
    m.enabled = false;
    applyColorScheme(m);
    EXPECT_EQ(m.colors.borderColor, 0x80A7BFu);
}

TEST(XFrame, PersistenceRoundTripAndReadOrder) {
    kelva::rt::FontDesc ambient{L"굴림", 9};
    Model m = newInstance(L"xFrame1");
    m.colorScheme = 0;
    applyColorScheme(m);
    m.colors.borderColor = 0x9E9E9E;
    m.colors.headerGradientTop = m.colors.headerGradientBottom = 0xE0E8EC;
    m.caption = L"AutoCAD에 문자 쓰기";
    m.font = ambient;
    m.fontSize = 9;
    m.font.size = 9;
    m.button = true;
    m.expanded = false;
    kelva::rt::PropertyBag bag;
    writeProperties(bag, m, L"xFrame1", ambient);
    EXPECT_FALSE(bag.contains(L"Font"));
    EXPECT_TRUE(bag.contains(L"FontBold"));  // always written
    EXPECT_TRUE(bag.contains(L"FontStrikeThru"));

    Model back = newInstance(L"xFrame1");
    readProperties(bag, back, L"xFrame1", ambient);
    EXPECT_EQ(back.colorScheme, 0);
    EXPECT_EQ(back.colors.borderColor, 0x9E9E9Eu);
    EXPECT_EQ(back.colors.buttonColor, 0u);  // from scheme 0, stored as it differs from the default
    EXPECT_EQ(back.colors.headerGradientBottom, 0xE0E8ECu);
    EXPECT_EQ(back.caption, L"AutoCAD에 문자 쓰기");
    EXPECT_TRUE(back.enabled);
    EXPECT_TRUE(back.button);
    EXPECT_FALSE(back.expanded);
    EXPECT_EQ(back.fontSize, 9);
    EXPECT_EQ(back.font.name, L"굴림");
}

TEST(XFrame, StoredDisabledFrameTakesTheDisabledButtonColours) {
    kelva::rt::PropertyBag bag;
    bag.write(L"ButtonColor", std::int32_t{0x010203});
    bag.write(L"ForeColor", std::int32_t{0x0A0B0C});
    Model m = newInstance(L"f");
    readProperties(bag, m, L"f", {});  // no "Enabled": disabled
    EXPECT_FALSE(m.enabled);
    EXPECT_EQ(m.colors.buttonColor, disabledColors().buttonColor);
    EXPECT_EQ(m.colors.foreColor, 0x0A0B0Cu);
    EXPECT_EQ(m.fontSize, 0);  // painted as 8
    applyHeaderFont(m);
    EXPECT_EQ(m.fontSize, 8);
}

TEST(XFrame, BadStoredValuesAreSkipped) {
    kelva::rt::PropertyBag bag;
    bag.write(L"Button", std::wstring(L"maybe"));
    bag.write(L"BorderColor", std::wstring(L"blue"));
    bag.write(L"Caption", std::wstring(L"ok"));
    bag.write(L"Enabled", true);
    Model m = newInstance(L"f");
    readProperties(bag, m, L"f", {});
    EXPECT_FALSE(m.button);
    EXPECT_EQ(m.colors.borderColor, 0xCF9365u);
    EXPECT_EQ(m.caption, L"ok");
}

TEST(XFrame, GlyphPlan) {
    Model m = withButtons(true, true);
    auto segs = glyphPlan(m, W, true);
    ASSERT_EQ(segs.size(), 6u + 12u);
    EXPECT_EQ(segs[0].x1, W - 435);  // the pin's point
    EXPECT_EQ(segs[6].y1, 75);       // first chevron row, pointing up: the tip
    EXPECT_EQ(segs[6].x1, W - 195);
    auto down = glyphPlan(m, W, false);
    EXPECT_EQ(down[6].y1, 75 + 45);  // pointing down: the tip is the last row
    m.button = false;
    auto shifted = glyphPlan(m, W, true);
    ASSERT_EQ(shifted.size(), 6u);
    EXPECT_EQ(shifted[0].x1, W - 255);
    m.framePinned = true;
    EXPECT_EQ(glyphPlan(m, W, true)[4].x2, W - 100);
    m.buttonPin = false;
    EXPECT_TRUE(glyphPlan(m, W, true).empty());
}
