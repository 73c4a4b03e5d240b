#include <gtest/gtest.h>

#include "core/errors.h"
#include "tabctl/tests/xtab_fake_host.h"
#include "tabctl/xtab_logic.h"

using namespace kelva;
using namespace kelva::tabctl;
using kelva::tabctl::test::FakeHost;
using kelva::tabctl::test::FakePicture;

namespace {

struct Loaded {
    FakeHost host;
    XTabEvents ev;
    XTabLogic x{host, ev};
    int events = 0;
    explicit Loaded(const rt::PropertyBag& bag) {
        host.logic = &x;
        ev.BeforeTabSwitch = [this](std::int16_t, bool&) { ++events; };
        ev.TabSwitch = [this](std::int16_t) { ++events; };
        x.readProperties(bag);
    }
};

std::vector<std::wstring> names(const rt::PropertyBag& bag) {
    std::vector<std::wstring> out;
    for (const auto& e : bag.entries()) out.push_back(e.name);
    return out;
}

}  // namespace

TEST(XTabPersist, NewControlTabOffsetFollowsTheParentWidth) {
    for (auto [width, offset] : {std::pair{12000.0, 13000}, {10000.0, 10000}, {8000.0, 10000}}) {
        FakeHost host;
        XTabEvents ev;
        XTabLogic x(host, ev);
        host.logic = &x;
        x.initProperties(width);
        EXPECT_EQ(x.TabOffset(), offset) << width;
    }
}

TEST(XTabPersist, NewControlRoundTripKeepsBlankCaptionsAndBoldFont) {
    FakeHost host;
    XTabEvents ev;
    XTabLogic x(host, ev);
    host.logic = &x;
    x.initProperties(9000);
    EXPECT_EQ(x.TabCaption(0), L"Tab 0");
    EXPECT_EQ(x.TabCaption(2), L"Tab 2");
    EXPECT_TRUE(x.s.ActiveTabFont->bold);
    EXPECT_FALSE(x.s.InActiveTabFont->bold);
    EXPECT_NE(x.s.ActiveTabFont, x.s.InActiveTabFont);  // two objects
    EXPECT_TRUE(host.changed.empty());

    rt::PropertyBag bag;
    x.writeProperties(bag);
    // Captions differ from the bag's default "Tab" & i and are stored; the bold font differs too.
    EXPECT_TRUE(bag.contains(L"TabCaption(0)"));
    EXPECT_TRUE(bag.contains(L"ActiveTabFont"));
    EXPECT_FALSE(bag.contains(L"InActiveTabFont"));
    EXPECT_FALSE(bag.contains(L"TabCount"));

    Loaded back(bag);
    EXPECT_EQ(back.x.TabCaption(1), L"Tab 1");
    EXPECT_TRUE(back.x.s.ActiveTabFont->bold);
    EXPECT_FALSE(back.x.s.InActiveTabFont->bold);
    rt::PropertyBag again;
    back.x.writeProperties(again);
    EXPECT_EQ(names(again), names(bag));
}

TEST(XTabPersist, MissingKeysTakeTheReadDefaults) {
    rt::PropertyBag bag;
    bag.write(L"TabCount", std::int32_t{4});
    bag.write(L"TabCaption(0)", std::wstring(L"&Zero"));
    bag.write(L"TabAccessKey(0)", std::int32_t{'Z'});
    bag.write(L"TabEnabled(2)", false);
    Loaded l(bag);
    EXPECT_EQ(l.x.TabCount(), 4);
    EXPECT_EQ(l.x.TabCaption(1), L"Tab1");
    EXPECT_FALSE(l.x.TabEnabled(2));
    EXPECT_EQ(l.host.accessKeys, L"Z");
    EXPECT_EQ(l.x.s.TabOffset, 10000);
    EXPECT_EQ(l.x.s.ForeColor, 0u);
    EXPECT_EQ(l.x.s.PictureMaskColor, 0xC0C0C0u);
    EXPECT_FALSE(l.x.s.ActiveTabFont->bold);
    // Everything at its default writes back as nothing but what the bag held.
    rt::PropertyBag out;
    l.x.writeProperties(out);
    EXPECT_EQ(names(out), (std::vector<std::wstring>{L"TabCount", L"TabCaption(0)", L"TabAccessKey(0)", L"TabEnabled(2)"}));
}

TEST(XTabPersist, KeysAreWrittenInTheirOrderWithTabOffsetLast) {
    FakeHost host;
    XTabEvents ev;
    XTabLogic x(host, ev);
    host.logic = &x;
    x.initProperties(20000);
    auto& s = x.s;
    s.TabCount = 2;
    s.tabs.resize(2);
    s.tabs[0] = {{}, 0, L"A", {}, 0, false, 'A', std::make_shared<FakePicture>(3), 0};
    s.ActiveTab = 1;
    s.ActiveTabBackEndColor = s.ActiveTabBackStartColor = s.ActiveTabForeColor = 1;
    s.ActiveTabHeight = 25;
    s.BackColor = s.BottomRightInnerBorderColor = s.DisabledTabBackColor = s.DisabledTabForeColor = 1;
    s.Enabled = false;
    s.FocusedColor = s.ForeColor = s.HoverColor = s.InActiveTabBackEndColor = s.InActiveTabBackStartColor = 1;
    s.InActiveTabFont->italic = true;
    s.InActiveTabForeColor = 1;
    s.InActiveTabHeight = 3;
    s.OuterBorderColor = 1;
    s.PictureAlign = 2;
    s.PictureMaskColor = 1;
    s.PictureSize = 1;
    s.ShowFocusRect = false;
    s.TabStripBackColor = 1;
    s.TabStyle = 1;
    s.TabTheme = 3;
    s.TopLeftInnerBorderColor = 1;
    s.UseControlBox = true;
    s.UseFocusedColor = s.UseMaskColor = s.UseMouseWheelScroll = false;
    s.UseThemeDetection = true;
    s.XRadius = s.YRadius = 4;
    rt::PropertyBag bag;
    x.writeProperties(bag);
    const std::vector<std::wstring> expected{
        L"TabCount", L"TabCaption(0)", L"TabEnabled(0)", L"TabAccessKey(0)", L"TabPicture(0)", L"TabCaption(1)",
        L"ActiveTab", L"ActiveTabBackEndColor", L"ActiveTabBackStartColor", L"ActiveTabFont", L"ActiveTabForeColor",
        L"ActiveTabHeight", L"BackColor", L"BottomRightInnerBorderColor", L"DisabledTabBackColor",
        L"DisabledTabForeColor", L"Enabled", L"FocusedColor", L"ForeColor", L"HoverColor",
        L"InActiveTabBackEndColor", L"InActiveTabBackStartColor", L"InActiveTabFont", L"InActiveTabForeColor",
        L"InActiveTabHeight", L"OuterBorderColor", L"PictureAlign", L"PictureMaskColor", L"PictureSize",
        L"ShowFocusRect", L"TabStripBackColor", L"TabStyle", L"TabTheme", L"TopLeftInnerBorderColor",
        L"UseControlBox", L"UseFocusedColor", L"UseMaskColor", L"UseMouseWheelScroll", L"UseThemeDetection",
        L"XRadius", L"YRadius", L"TabOffset"};
    EXPECT_EQ(names(bag), expected);

    Loaded back(bag);
    EXPECT_EQ(back.events, 0);  // ActiveTab is stored directly
    EXPECT_EQ(back.x.ActiveTab(), 1);
    EXPECT_EQ(back.x.TabOffset(), 21000);
    EXPECT_EQ(back.x.s.InActiveTabHeight, 3);
    EXPECT_FALSE(back.x.s.Enabled);
    EXPECT_FALSE(back.host.surfaceEnabled);
    EXPECT_TRUE(back.x.s.InActiveTabFont->italic);
    ASSERT_NE(back.x.TabPicture(0), nullptr);
    EXPECT_EQ(static_cast<const FakePicture&>(*back.x.TabPicture(0)).tag, 3);
    EXPECT_EQ(back.x.TabPicture(1), nullptr);
}

TEST(XTabPersist, SystemColoursAreSavedAsSystemColours) {
    FakeHost host;
    XTabEvents ev;
    XTabLogic x(host, ev);
    host.logic = &x;
    x.initProperties(9000);
    x.s.OuterBorderColor = 0x80000016;
    x.refresh();
    rt::PropertyBag bag;
    x.writeProperties(bag);
    Loaded back(bag);
    EXPECT_EQ(back.x.s.OuterBorderColor, 0x80000016u);
}

TEST(XTabPersist, ThemeOneReloadsItsColoursOtherThemesKeepTheStoredOnes) {
    rt::PropertyBag one;
    one.write(L"TabTheme", std::int32_t{1});
    Loaded a(one);
    EXPECT_EQ(a.host.resets, 1);
    rt::PropertyBag two;
    two.write(L"TabTheme", std::int32_t{2});
    two.write(L"HoverColor", std::int32_t{0x123456});
    Loaded b(two);
    EXPECT_EQ(b.host.resets, 0);
    EXPECT_EQ(b.x.s.HoverColor, 0x123456u);
}

TEST(XTabPersist, WrongTypedValueEndsTheReadWithItsSource) {
    rt::PropertyBag bag;
    bag.write(L"ActiveTabHeight", std::wstring(L"tall"));
    FakeHost host;
    XTabEvents ev;
    XTabLogic x(host, ev);
    host.logic = &x;
    try {
        x.readProperties(bag);
        ADD_FAILURE();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 13);
        EXPECT_EQ(e.source(), L"ucXTab.UserControl_ReadProperties");
    }
}

TEST(XTabPersist, StoredCountBelowOneFallsBackToThree) {
    rt::PropertyBag bag;
    bag.write(L"TabCount", std::int32_t{0});
    Loaded l(bag);
    EXPECT_EQ(l.x.TabCount(), 3);
    EXPECT_EQ(l.x.s.tabs.size(), 3u);
}
