// The GDI canvas on a memory DIB: what the painters' calls really put into pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

#include "runtime/tests/win_support.h"
#include "tabctl/gdi_canvas.h"
#include "tabctl/xtab_paint.h"
#include "tabctl/xtab_theme.h"

using namespace kelva;
using namespace kelva::tabctl;
using kelva::testing::Dib;

namespace {

Rgb sysColor(int i) { return static_cast<Rgb>(GetSysColor(i)); }

XTabState tabs(std::int32_t style, std::int32_t theme, int width, int height) {
    XTabState s;
    s.TabStyle = style, s.TabTheme = theme;
    s.TabCount = 4;
    s.tabs.resize(4);
    for (int i = 0; i < 4; ++i) s.tabs[static_cast<std::size_t>(i)].Caption = L"Page " + std::to_wstring(i);
    s.ActiveTab = 1, s.HoverTab = 1;
    s.scaleWidth = width, s.scaleHeight = height;
    s.ActiveTabFont = std::make_shared<rt::FontDesc>();
    s.ActiveTabFont->bold = true;
    s.InActiveTabFont = std::make_shared<rt::FontDesc>();
    resetColorsToDefault(s, {L"None", 0x8000000F, true, sysColor});
    s.TabTheme = theme;
    resetColorsToDefault(s, {L"None", 0x8000000F, true, sysColor});
    return s;
}

TEST(GdiCanvas, LinesLeaveOutTheirEndPointAndXorTwiceRestores) {
    Dib dib(40, 20);
    GdiCanvas c(dib.dc(), 20, {}, {});
    c.fillRect(0, 0, 40, 20, 0x203040);
    c.line(2, 3, 10, 3, 0x0000FF);
    EXPECT_EQ(dib.at(2, 3), 0x0000FFu);
    EXPECT_EQ(dib.at(9, 3), 0x0000FFu);
    EXPECT_EQ(dib.at(10, 3), 0x203040u);
    const auto before = dib.pixels();
    c.setDrawMode(kDrawXorPen);
    c.line(0, 5, 40, 5, 0x00FF00);
    c.xorPixel(7, 7, 0x0F0F0F);
    EXPECT_EQ(dib.at(3, 5), 0x203040u ^ 0x00FF00u);
    EXPECT_EQ(dib.at(7, 7), 0x203040u ^ 0x0F0F0Fu);
    c.line(0, 5, 40, 5, 0x00FF00);
    c.xorPixel(7, 7, 0x0F0F0F);
    c.setDrawMode(kDrawCopyPen);
    EXPECT_EQ(dib.pixels(), before);
    // A brush fill is not combined by the pen's mode.
    c.setDrawMode(kDrawXorPen);
    c.fillRect(0, 0, 2, 2, 0x111111);
    EXPECT_EQ(dib.at(1, 1), 0x111111u);
}

TEST(GdiCanvas, GradientRowsAndCornerSpans) {
    Dib dib(30, 10);
    GdiCanvas c(dib.dc(), 10, {}, {});
    c.fillRect(0, 0, 30, 10, 0xFFFFFF);
    XTabState s;
    XTabPainter p(s, c, {sysColor, true, L""});
    p.fillCurvedGradient(0, 0, 20, 4, 0x000000, 0x0000FF, 2, true, true);
    const Rgb red[] = {0, 64, 128, 191, 255};
    for (int y = 0; y < 5; ++y) EXPECT_EQ(dib.at(10, y), red[y]) << y;
    // Radius 2, both corners: the first row covers 3..17, the second 2..18, then 1..19.
    EXPECT_EQ(dib.at(2, 0), 0xFFFFFFu);
    EXPECT_EQ(dib.at(3, 0), 0u);
    EXPECT_EQ(dib.at(17, 0), 0u);
    EXPECT_EQ(dib.at(18, 0), 0xFFFFFFu);
    EXPECT_EQ(dib.at(1, 1), 0xFFFFFFu);
    EXPECT_EQ(dib.at(2, 1), 64u);
    EXPECT_EQ(dib.at(18, 1), 64u);
    EXPECT_EQ(dib.at(0, 2), 0xFFFFFFu);
    EXPECT_EQ(dib.at(1, 2), 128u);
    EXPECT_EQ(dib.at(19, 4), 255u);
    EXPECT_EQ(dib.at(20, 4), 0xFFFFFFu);
}

TEST(GdiCanvas, TransparentBlitKeepsTheMaskPixels) {
    // A 4 x 4 bitmap: magenta on its diagonal, blue elsewhere.
    Dib src(4, 4);
    GdiCanvas sc(src.dc(), 4, {}, {});
    sc.fillRect(0, 0, 4, 4, 0xFF0000);
    for (int i = 0; i < 4; ++i) sc.setPixel(i, i, 0xFF00FF);
    HBITMAP bmp = src.copyBitmap();
    EXPECT_EQ(bitmapSize(bmp).cx, 4);
    EXPECT_EQ(bitmapSize(bmp).cy, 4);
    Dib dst(16, 16);
    GdiCanvas dc(dst.dc(), 16, {}, {});
    dc.fillRect(0, 0, 16, 16, 0x00FF00);
    auto pic = std::make_shared<GdiTabPicture>(std::make_shared<rt::Picture>(bmp));
    dc.drawPicture(*pic, 4, 4, 8, 8, true, 0xFF00FF);
    EXPECT_EQ(dst.at(4, 4), 0x00FF00u);    // the mask pixel leaves the background
    EXPECT_EQ(dst.at(11, 11), 0x00FF00u);
    EXPECT_EQ(dst.at(10, 4), 0xFF0000u);   // the rest is the bitmap, stretched
    EXPECT_EQ(dst.at(3, 3), 0x00FF00u);
    dc.drawPicture(*pic, 4, 4, 8, 8, false, 0xFF00FF);
    EXPECT_EQ(dst.at(4, 4), 0xFF00FFu);    // unmasked: drawn opaque
}

TEST(GdiCanvas, FontsACanvasDrawsWithOutliveTheirPlaceInTheCache) {
    auto font = [](int k) {
        rt::FontDesc d;
        d.size = 30.5 + k;  // sizes no other case asks for
        return d;
    };
    // Sixteen fonts of their own fill the cache, oldest first.
    Dib scratch(10, 10);
    for (int k = 0; k < 16; ++k) GdiCanvas(scratch.dc(), 10, font(k), font(k));
    // The oldest as the active font and a new small one as the inactive: making the new one pushes
    // the oldest out of the cache while this canvas is still to draw with it.
    Dib dib(10, 10);
    int drawn = 0;
    {
        GdiCanvas c(dib.dc(), 10, font(0), font(-22));
        c.setFont(FontRole::Active);
        drawn = c.textWidth(L"WWWW");
    }
    GdiCanvas fresh(scratch.dc(), 10, font(0), font(0));
    fresh.setFont(FontRole::Active);
    EXPECT_EQ(drawn, fresh.textWidth(L"WWWW"));
    EXPECT_GT(drawn, 0);
}

TEST(GdiCanvas, BitmapRecordIsThePlatformsOwnSize) {
    // The record GetObject fills is 24 bytes on 32-bit Windows and 32 on 64-bit: a fixed 24 would
    // either fail or, with a smaller record, write past it.
    EXPECT_EQ(sizeof(BITMAP), sizeof(void*) == 8 ? 32u : 24u);
    HBITMAP bmp = CreateBitmap(5, 3, 1, 32, nullptr);
    struct Guarded {
        BITMAP bm;
        unsigned char canary[16];
    } g;
    std::memset(&g, 0xA5, sizeof g);
    EXPECT_EQ(GetObjectW(bmp, sizeof g.bm, &g.bm), static_cast<int>(sizeof(BITMAP)));
    for (unsigned char b : g.canary) EXPECT_EQ(b, 0xA5);
    EXPECT_EQ(bitmapSize(bmp).cx, 5);
    EXPECT_EQ(bitmapSize(nullptr).cx, 0);
    DeleteObject(bmp);
    EXPECT_EQ(sizeof(OSVERSIONINFOA), 148u);
}

TEST(GdiCanvas, HighlightDrawnTwiceLeavesThePaintExactly) {
    for (std::int32_t style : {0, 1})
        for (std::int32_t theme : {1, 4})
            for (std::int32_t hovered = 0; hovered < 4; ++hovered) {
                Dib dib(400, 120);
                XTabState s = tabs(style, theme, 400, 120);
                GdiCanvas c(dib.dc(), 120, *s.ActiveTabFont, *s.InActiveTabFont);
                XTabPainter p(s, c, {sysColor, true, L"None"});
                p.drawMe();
                const auto painted = dib.pixels();
                s.HoverTab = hovered;
                p.drawOnMouseOver();
                EXPECT_NE(dib.pixels(), painted);
                p.drawOverXOred();
                EXPECT_EQ(dib.pixels(), painted) << "style " << style << " theme " << theme << " tab " << hovered;
            }
}

TEST(GdiCanvas, FocusToggleTwiceAndTwoPaintsAlike) {
    for (std::int32_t style : {0, 1})
        for (std::int32_t theme = 0; theme <= 4; ++theme) {
            Dib dib(300, 100);
            XTabState s = tabs(style, theme, 300, 100);
            s.IsFocused = true;
            GdiCanvas c(dib.dc(), 100, *s.ActiveTabFont, *s.InActiveTabFont);
            XTabPainter p(s, c, {sysColor, true, L"None"});
            p.drawMe();
            const auto withFocus = dib.pixels();
            p.showHideFocus();
            EXPECT_NE(dib.pixels(), withFocus) << style << "/" << theme;
            p.showHideFocus();
            EXPECT_EQ(dib.pixels(), withFocus) << style << "/" << theme;
            p.drawMe();
            EXPECT_EQ(dib.pixels(), withFocus) << "a second paint differs: " << style << "/" << theme;
        }
}

TEST(GdiCanvas, CloseBoxPixels) {
    Dib dib(200, 60);
    XTabState s = tabs(0, 1, 200, 60);
    s.UseControlBox = true;
    GdiCanvas c(dib.dc(), 60, *s.ActiveTabFont, *s.InActiveTabFont);
    XTabPainter p(s, c, {sysColor, true, L"None"});
    p.drawMe();
    const Rect b = s.tabs[1].BoxRect;
    const Rgb cross = offsetColor(s.OuterBorderColor, -192, sysColor);
    // The cross's two strokes meet in the middle of the box.
    EXPECT_EQ(dib.at(b.left + 3, b.top + 3), cross);
    EXPECT_EQ(dib.at(b.left + 3, b.bottom - 4), cross);
    // The outline in the outer border colour.
    EXPECT_EQ(dib.at((b.left + b.right) / 2, b.top), toRgb(s.OuterBorderColor, sysColor));
}

// Every style, theme and state drawn into the build folder (screenshots/) for review; the pictures
// of two themes are never the same.
TEST(GdiCanvas, ScreenshotsOfEveryStyleThemeAndState) {
    namespace fs = std::filesystem;
    fs::create_directories("screenshots");
    const char* states[] = {"normal", "focused", "hover", "disabled-tab", "closebox", "disabled-control"};
    std::set<std::vector<std::uint32_t>> looks;
    for (std::int32_t style : {0, 1})
        for (std::int32_t theme = 0; theme <= 4; ++theme)
            for (int state = 0; state < 6; ++state) {
                Dib dib(420, 90);
                XTabState s = tabs(style, theme, 420, 90);
                s.IsFocused = state == 1;
                if (state == 3) s.tabs[2].Enabled = false;
                s.UseControlBox = state == 4;
                if (state == 5) s.Enabled = false;
                GdiCanvas c(dib.dc(), 90, *s.ActiveTabFont, *s.InActiveTabFont);
                XTabPainter p(s, c, {sysColor, true, L"None"});
                p.drawMe();
                if (state == 2) {
                    s.HoverTab = 2;
                    p.drawOnMouseOver();
                }
                const std::string name = "screenshots/xtab-style" + std::to_string(style) + "-theme" +
                                         std::to_string(theme) + "-" + states[state] + ".bmp";
                EXPECT_TRUE(dib.save(std::wstring(name.begin(), name.end()))) << name;
                if (state == 0) looks.insert(dib.pixels());
            }
    // Theme 2 is the same in both styles: 9 different looks among the 10 normal pictures.
    EXPECT_EQ(looks.size(), 9u);
}

// Masked and unmasked pictures of every alignment on every switch, in both styles and all themes:
// the picture path runs the blit with real bitmaps, as a switch handler's repaint does.
TEST(GdiCanvas, PicturesDrawnOnEverySwitch) {
    Dib src(16, 16);
    GdiCanvas sc(src.dc(), 16, {}, {});
    sc.fillRect(0, 0, 16, 16, 0x3366CC);
    sc.fillRect(4, 4, 8, 8, 0xFF00FF);
    auto pic = std::make_shared<GdiTabPicture>(std::make_shared<rt::Picture>(src.copyBitmap()));
    for (std::int32_t style : {0, 1})
        for (std::int32_t theme = 0; theme <= 4; ++theme)
            for (std::int32_t align = 0; align <= 3; ++align) {
                Dib dib(400, 100);
                XTabState s = tabs(style, theme, 400, 100);
                s.PictureAlign = align;
                s.PictureMaskColor = 0xFF00FF;
                s.UseMaskColor = align % 2 == 0;
                for (auto& t : s.tabs) t.Picture = pic;
                GdiCanvas c(dib.dc(), 100, *s.ActiveTabFont, *s.InActiveTabFont);
                for (int turn = 0; turn < 8; ++turn) {
                    s.LastActiveTab = s.ActiveTab;
                    s.ActiveTab = turn % 4;
                    XTabPainter p(s, c, {sysColor, true, L"None"});
                    p.drawBackground();
                    p.drawTabs();
                    p.drawMe();
                }
                // Some pixel of the picture's own colour shows somewhere in the strip.
                bool seen = false;
                for (int y = 0; y < 24 && !seen; ++y)
                    for (int x = 0; x < 400 && !seen; ++x) seen = dib.at(x, y) == 0x3366CCu;
                EXPECT_TRUE(seen) << style << "/" << theme << "/" << align;
            }
    EXPECT_EQ(bitmapSize(pic->picture->handle()).cx, 16);  // the caller's bitmap is still whole
}

}  // namespace
