#include <gtest/gtest.h>

#include <cstring>

#include "core/errors.h"
#include "tabctl/xtab_geometry.h"
#include "tabctl/xtab_pictures.h"
#include "tabctl/xtab_theme.h"

using namespace kelva;
using namespace kelva::tabctl;

namespace {

Rgb sysColor(int i) {
    switch (i) {
    case 3: return 0x8FD1C2;   // active caption
    case 15: return 0xD8E9EC;  // button face
    default: return 0x00400000u | static_cast<Rgb>(i);
    }
}

TEST(XTabColors, OffsetAndBlendArithmetic) {
    EXPECT_EQ(offsetColor(0xF0F0F0, 16, sysColor), 0xFFFFFFu);
    EXPECT_EQ(offsetColor(0x8FD1C2, -32, sysColor), 0x6FB1A2u);
    EXPECT_EQ(offsetColor(0xFFFFFF, 40, sysColor), 0xFFFFFFu);
    EXPECT_EQ(offsetColor(0x101010, -40, sysColor), 0u);
    EXPECT_EQ(offsetColor(0x8000000F, 0, sysColor), 0xD8E9ECu);  // a system colour's current RGB
    EXPECT_EQ(offsetColor(0x123456, 512, sysColor), 0xFFFFFFu);
    EXPECT_EQ(alphaBlend(0xFFFFFF, 0, 128), 0x808080u);
    EXPECT_EQ(alphaBlend(0xFF0000, 0, 255), 0xFF0000u);
    EXPECT_EQ(alphaBlend(0x0000FF, 0x00FF00, 0), 0x00FF00u);
    // Channels are taken as they are: a system colour gives its index as red.
    EXPECT_EQ(redValue(0x8000000F), 15u);
    EXPECT_EQ(greenValue(0x8000000F), 0u);
    EXPECT_EQ(blueValue(0x8000000F), 0u);
    EXPECT_EQ(toRgb(0x80000015, sysColor), 0x00400015u);
    EXPECT_EQ(toRgb(0x81000000, sysColor), 0u);  // no colour: black
}

TEST(XTabThemes, EachThemeLoadsItsColumnAndKeepsTheRest) {
    ThemeEnv env{L"None", 0x00ABCDEF, true, sysColor};
    XTabState s;
    s.FocusedColor = 1, s.HoverColor = 2, s.TopLeftInnerBorderColor = 3, s.TabStripBackColor = 4;
    s.TabTheme = 3;
    resetColorsToDefault(s, env);
    EXPECT_EQ(s.ActiveTabBackStartColor, 0xF8F8F8u);
    EXPECT_EQ(s.ActiveTabBackEndColor, 0x8000000Fu);  // kept
    EXPECT_EQ(s.ActiveTabForeColor, 0xA76D50u);
    EXPECT_EQ(s.InActiveTabBackStartColor, 0xE5E5E5u);
    EXPECT_EQ(s.InActiveTabForeColor, 0x909090u);
    EXPECT_EQ(s.TabStripBackColor, 0x8000000Fu);
    EXPECT_EQ(s.OuterBorderColor, 0x909090u);
    EXPECT_EQ(s.DisabledTabForeColor, 0x80000015u);
    EXPECT_EQ(s.FocusedColor, 1u);
    EXPECT_EQ(s.HoverColor, 2u);
    EXPECT_EQ(s.TopLeftInnerBorderColor, 3u);

    s.TabTheme = 2;
    resetColorsToDefault(s, env);
    EXPECT_EQ(s.InActiveTabBackStartColor, 0x80000016u);
    EXPECT_EQ(s.InActiveTabForeColor, 0x80000011u);
    EXPECT_EQ(s.TabStripBackColor, 0x80000016u);
    EXPECT_EQ(s.OuterBorderColor, 0x80000014u);
    EXPECT_EQ(s.BottomRightInnerBorderColor, 0x80000010u);

    s.TabTheme = 0;
    s.TabStripBackColor = 4;
    resetColorsToDefault(s, env);
    EXPECT_EQ(s.DisabledTabBackColor, 0x8000000Fu);
    EXPECT_EQ(s.DisabledTabForeColor, 0x80000015u);
    EXPECT_EQ(s.TabStripBackColor, 4u);  // kept in theme 0
    EXPECT_EQ(s.TopLeftInnerBorderColor, 0x80000014u);

    s.TabTheme = 4;
    s.PictureSize = 1, s.UseMaskColor = false, s.UseFocusedColor = false, s.UseThemeDetection = true;
    resetColorsToDefault(s, env);
    EXPECT_EQ(s.ActiveTabBackStartColor, 0xE7F8FBu);
    EXPECT_EQ(s.InActiveTabBackEndColor, 0xCBDCDFu);
    EXPECT_EQ(s.OuterBorderColor, 0xA8B9BCu);
    EXPECT_EQ(s.FocusedColor, offsetColor(0x8FD1C2, -16, sysColor));  // from the caption colour now
    EXPECT_EQ(s.HoverColor, offsetColor(0x8FD1C2, 16, sysColor));
    EXPECT_EQ(s.PictureMaskColor, 0xFF00FFu);
    EXPECT_EQ(s.PictureSize, 0);
    EXPECT_TRUE(s.UseMaskColor && s.UseFocusedColor);
    EXPECT_FALSE(s.UseThemeDetection);

    const XTabState before = s;
    s.TabTheme = 5;
    resetColorsToDefault(s, env);
    EXPECT_EQ(s.OuterBorderColor, before.OuterBorderColor);
    EXPECT_EQ(s.FocusedColor, before.FocusedColor);
}

TEST(XTabThemes, Theme1TakesItsSchemeColumn) {
    XTabState s;
    s.TabTheme = 1;
    resetColorsToDefault(s, {L"HomeStead", 0x00ABCDEF, true, sysColor});
    EXPECT_EQ(s.ActiveTabBackEndColor, 0xFEFCFCu);
    EXPECT_EQ(s.InActiveTabBackStartColor, 0xF5FFFFu);
    EXPECT_EQ(s.HoverColor, 0x4F91E3u);
    EXPECT_EQ(s.FocusedColor, 0x6FB1A2u);
    EXPECT_EQ(s.TabStripBackColor, 0x00ABCDEFu);
    EXPECT_EQ(s.DisabledTabForeColor, 0xA0A0A0u);
    EXPECT_EQ(s.OuterBorderColor, 0x9B9C91u);
    resetColorsToDefault(s, {L"Metallic", 0x00ABCDEF, true, sysColor});
    EXPECT_EQ(s.InActiveTabBackEndColor, 0xD8BEBEu);
    EXPECT_EQ(s.FocusedColor, 0xEE8269u);
    for (const wchar_t* other : {L"NormalColor", L"None", L"UxTheme_Error", L"metallic"}) {
        s.TabStripBackColor = 7;
        resetColorsToDefault(s, {other, 0, false, sysColor});
        EXPECT_EQ(s.InActiveTabBackEndColor, 0xEAF0F0u) << other;
        EXPECT_EQ(s.HoverColor, 0x3BC7FFu);
        EXPECT_EQ(s.TabStripBackColor, 7u);  // an unreadable ambient colour is skipped
        EXPECT_EQ(s.OuterBorderColor, 0x9B9C91u);
    }
}

TEST(XTabThemes, VisualStyleDetection) {
    EXPECT_TRUE(isWinXP({true, 5, 1, 2600, 2}));
    EXPECT_FALSE(isWinXP({true, 5, 1, 2599, 2}));
    EXPECT_FALSE(isWinXP({true, 6, 1, 7601, 2}));
    EXPECT_FALSE(isWinXP({false, 5, 1, 2600, 2}));
    EXPECT_FALSE(isWinXP({true, 5, 0, 2600, 2}));
    int calls = 0;
    auto answer = [&](const wchar_t* name, long rc) {
        return ThemeNameQuery([&calls, name, rc](wchar_t*, int, wchar_t* color, int colorChars, wchar_t*, int) {
            ++calls;
            wcsncpy(color, name, static_cast<std::size_t>(colorChars));
            return rc;
        });
    };
    EXPECT_EQ(themeInfo(false, answer(L"Metallic", 0)), L"None");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(themeInfo(true, answer(L"  Metallic ", 0)), L"Metallic");
    EXPECT_EQ(themeInfo(true, answer(L"   ", 0)), L"None");
    EXPECT_EQ(themeInfo(true, answer(L"NormalColor", 0x80004005)), L"UxTheme_Error");
    EXPECT_EQ(detectedTheme(L"UxTheme_Error"), 1);
    EXPECT_EQ(detectedTheme(L"None"), 0);
}

TEST(XTabThemes, ThemeNameBufferHoldsEveryCharacterItIsAnnouncedWith) {
    // The query writes as many wide characters as it is told the buffers hold; under the address
    // sanitizer a buffer smaller than announced fails here.
    auto fill = ThemeNameQuery([](wchar_t* file, int fileChars, wchar_t* color, int colorChars, wchar_t*, int) {
        EXPECT_EQ(colorChars, kThemeNameChars);
        for (int i = 0; i < fileChars; ++i) file[i] = L'f';
        for (int i = 0; i < colorChars; ++i) color[i] = L'c';  // no NUL within the count
        return 0L;
    });
    const std::wstring name = themeInfo(true, fill);
    EXPECT_EQ(name, std::wstring(static_cast<std::size_t>(kThemeNameChars), L'c'));
}

// ---- geometry ------------------------------------------------------------------------------

TEST(XTabGeometry, TabbedDialogWidthsRoundHalfToEven) {
    LayoutInput in;
    in.width = 101, in.tabCount = 2, in.activeTab = 0;
    auto s = layoutTabs(in);
    EXPECT_EQ(s[0].tab, (Rect{0, 0, 50, 20}));
    EXPECT_EQ(s[1].tab, (Rect{50, 2, 100, 20}));
    in.width = 103;
    s = layoutTabs(in);
    EXPECT_EQ(s[1].tab, (Rect{52, 2, 102, 20}));
    in.tabCount = 1;
    EXPECT_EQ(layoutTabs(in)[0].tab, (Rect{0, 0, 102, 20}));
    in.activeHeight = in.inactiveHeight = 18;
    in.tabCount = 3;
    for (const auto& t : layoutTabs(in)) EXPECT_EQ(t.tab.top, 0);
    in.theme = 3;
    in.activeHeight = 20;
    EXPECT_EQ(layoutTabs(in)[1].tab.bottom, 22);
    EXPECT_EQ(layoutTabs(in)[0].tab.bottom, 22);
}

TEST(XTabGeometry, CloseBoxesByStyleAndTheme) {
    LayoutInput in;
    in.width = 201, in.tabCount = 2, in.activeTab = 1;
    EXPECT_EQ(layoutTabs(in)[0].box, (Rect{86, 7, 96, 17}));  // theme 0 tab (0, 2, 100, 20)
    in.theme = 1, in.activeTab = 0;
    EXPECT_EQ(layoutTabs(in)[0].box, (Rect{87, 6, 97, 16}));  // theme 1 tab (0, 0, 100, 20)
    in.style = 1, in.theme = 2, in.textWidths = {30, 30};
    const auto s = layoutTabs(in);
    EXPECT_EQ(s[0].box, (Rect{s[0].tab.right - 13, 5, s[0].tab.right - 3, 15}));
}

TEST(XTabGeometry, PropertyPagesWidthsIndentsAndCloseBoxPush) {
    LayoutInput in;
    in.style = 1, in.tabCount = 3, in.activeTab = 1, in.textWidths = {30, 30, 30}, in.hasPicture = {false, true, false};
    in.pictureSize = 32;
    for (std::int32_t theme = 0; theme <= 4; ++theme) {
        in.theme = theme;
        in.useControlBox = false;
        const auto plain = layoutTabs(in);
        in.useControlBox = true;
        const auto boxed = layoutTabs(in);
        const std::int32_t pushA[] = {15, 21, 15, 6, 21}, pushO[] = {12, 15, 12, 0, 15};
        auto width = [](const TabShape& t) { return t.tab.right - t.tab.left; };
        EXPECT_EQ(width(boxed[1]) - width(plain[1]), pushA[theme]) << theme;
        EXPECT_EQ(width(boxed[2]) - width(plain[2]), pushO[theme]) << theme;
        // the picture: side min(32, H - margin) plus its pad
        const std::int32_t ps = theme == 0 ? 14 : 18, pad = theme == 3 ? 4 : 1;
        EXPECT_EQ(width(plain[1]), 44 + ps + pad) << theme;
        EXPECT_EQ(plain[0].tab.left, theme == 2 || theme == 3 ? 0 : 2) << theme;
        EXPECT_EQ(plain[1].tab.top, 0);
        EXPECT_EQ(plain[0].tab.top, 2);
        EXPECT_EQ(plain[0].tab.bottom, theme == 3 ? 22 : 20);
    }
    in.activeTab = 0, in.useControlBox = false;
    in.theme = 2;
    EXPECT_EQ(layoutTabs(in)[0].tab, (Rect{2, 0, 45, 20}));
    in.theme = 0;
    EXPECT_EQ(layoutTabs(in)[0].tab, (Rect{0, 0, 44, 20}));
    in.theme = 3;
    const auto t3 = layoutTabs(in);
    EXPECT_EQ(t3[1].tab.left, t3[0].tab.right + 1);
}

TEST(XTabGeometry, MeasuredCaptionAndHitTests) {
    EXPECT_EQ(measuredCaption(L"Fish && Chips"), L"Fish & Chip");
    EXPECT_EQ(measuredCaption(L"&File"), L"&Fil");
    EXPECT_EQ(measuredCaption(L"Plain"), L"Plain");
    const Rect r{10, 0, 20, 20};
    EXPECT_TRUE(insideInclusive(r, 20, 20));
    EXPECT_FALSE(ptInRect(r, 20, 5));
    EXPECT_TRUE(ptInRect(r, 10, 0));
    LayoutInput in;
    in.width = 300, in.tabCount = 3, in.activeTab = 1;
    const auto s = layoutTabs(in);
    EXPECT_EQ(tabAt(s, 150, 10), 1);
    EXPECT_EQ(tabAt(s, 100, 19), 0);  // a shared edge belongs to the first tab
    EXPECT_EQ(tabAt(s, 150, 25), -1);
    in.style = 2;
    EXPECT_TRUE(layoutTabs(in).empty());
    in.style = 0, in.theme = -1;
    EXPECT_TRUE(layoutTabs(in).empty());
}

TEST(XTabGeometry, CoordinatesBeyondThirtyTwoBitsOverflow) {
    LayoutInput in;
    in.width = 300, in.tabCount = 3, in.activeTab = 1;
    in.activeHeight = 2147483647, in.inactiveHeight = -2147483647 - 1;
    try {
        layoutTabs(in);
        ADD_FAILURE() << "no overflow";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

// ---- pictures ----------------------------------------------------------------------------------

struct Pic : TabPicture {
    int width() const override { return 16; }
    int height() const override { return 16; }
};

TEST(XTabPictureList, ImagesAreFetchedBeforeATabLosesItsPicture) {
    std::vector<TabRecord> tabs(4);
    std::vector<PictureRef> own;
    for (auto& t : tabs) own.push_back(t.Picture = std::make_shared<Pic>());
    std::vector<PictureRef> list{std::make_shared<Pic>(), std::make_shared<Pic>()};
    copyTabImages(tabs, [&](std::int32_t i) -> PictureRef {
        if (i > static_cast<std::int32_t>(list.size())) throw std::out_of_range("index");
        return list[static_cast<std::size_t>(i - 1)];
    });
    EXPECT_EQ(tabs[0].Picture, list[0]);
    EXPECT_EQ(tabs[1].Picture, list[1]);
    EXPECT_EQ(tabs[2].Picture, own[2]);  // no third image: the tab keeps its picture
    EXPECT_EQ(tabs[3].Picture, own[3]);
    // An image without a picture ends the walk the same way.
    copyTabImages(tabs, [&](std::int32_t i) -> PictureRef { return i == 1 ? list[1] : nullptr; });
    EXPECT_EQ(tabs[0].Picture, list[1]);
    EXPECT_EQ(tabs[1].Picture, list[1]);
    copyTabImages(tabs, nullptr);  // no list at all
    EXPECT_EQ(tabs[2].Picture, own[2]);
}

TEST(XTabPictureList, RemovingOneOrAll) {
    std::vector<TabRecord> tabs(3);
    for (auto& t : tabs) t.Picture = std::make_shared<Pic>();
    removeTabImages(tabs, -1, false);
    for (auto& t : tabs) EXPECT_TRUE(t.Picture);
    removeTabImages(tabs, 2, true);
    EXPECT_FALSE(tabs[2].Picture);
    EXPECT_TRUE(tabs[1].Picture);
    removeTabImages(tabs, 7, false);
    removeTabImages(tabs, -1, true);
    for (auto& t : tabs) EXPECT_FALSE(t.Picture);
}

TEST(XTabFileDialog, FilterListAndAnswer) {
    EXPECT_EQ(openFileFilter(L""), std::wstring(L"All Files (*.*)\0*.*\0\0", 22));
    EXPECT_EQ(openFileFilter(L"Bitmaps|*.bmp|Icons|*.ico"), std::wstring(L"Bitmaps\0*.bmp\0Icons\0*.ico\0\0", 27));
    EXPECT_EQ(openFileFilter(L"Bitmaps|*.bmp|"), std::wstring(L"Bitmaps\0*.bmp\0\0", 15));
    wchar_t buf[kFileBufferChars];
    std::fill(std::begin(buf), std::end(buf), L' ');
    std::wcscpy(buf, L"C:\\pics\\a b.bmp");
    EXPECT_EQ(chosenPath(buf, kFileBufferChars), L"C:\\pics\\a b.bmp");
    std::fill(std::begin(buf), std::end(buf), L' ');
    EXPECT_EQ(chosenPath(buf, kFileBufferChars), L"");  // no NUL in the buffer: only the blanks go
    std::wcscpy(buf, L"x.bmp  ");
    EXPECT_EQ(chosenPath(buf, kFileBufferChars), L"x.bmp");
}

}  // namespace
