// The control's logic driving the real painters on a canvas that rasterises like GDI: hit-testing
// reads the rectangles the painters stored, switches with masked pictures run under the
// sanitizers, and the exclusive-or decorations leave the surface exactly as it was.
#include <gtest/gtest.h>

#include "tabctl/tests/paint_canvases.h"
#include "tabctl/tests/xtab_fake_host.h"
#include "tabctl/xtab_geometry.h"
#include "tabctl/xtab_paint.h"
#include "tabctl/xtab_theme.h"

using namespace kelva;
using namespace kelva::tabctl;
using kelva::tabctl::test::FakePicture;
using kelva::tabctl::test::PixelCanvas;

namespace {

Rgb sysColor(int index) { return rgb(static_cast<unsigned>(index) * 7, 200 - static_cast<unsigned>(index), 120); }

class PaintingHost : public test::FakeHost {
public:
    PixelCanvas canvas{400, 200};

    void drawMe() override { run(&XTabPainter::drawMe); }
    void drawBackground() override { run(&XTabPainter::drawBackground); }
    void drawTabs() override { run(&XTabPainter::drawTabs); }
    void drawControlBox(int state, int tab) override {
        snapshot();
        XTabPainter(logic->s, canvas, env()).drawControlBox(state, tab);
    }
    void drawHover(int tab) override {
        logic->s.HoverTab = tab;
        run(&XTabPainter::drawOnMouseOver);
    }
    void drawOverXOred() override { run(&XTabPainter::drawOverXOred); }
    void showHideFocus() override { run(&XTabPainter::showHideFocus); }
    void resetColorsToDefault() override {
        ThemeEnv e;
        e.schemeName = L"NormalColor";
        e.sysColor = sysColor;
        tabctl::resetColorsToDefault(logic->s, e);
    }

private:
    PaintEnv env() { return {sysColor, user, L"NormalColor"}; }
    void snapshot() {
        logic->s.scaleWidth = 400;
        logic->s.scaleHeight = 200;
        logic->s.iconSize = 16;
    }
    void run(void (XTabPainter::*step)()) {
        snapshot();
        XTabPainter p(logic->s, canvas, env());
        (p.*step)();
    }
};

struct Control {
    PaintingHost host;
    XTabEvents ev;
    XTabLogic x{host, ev};
    std::vector<int> switches;
    int pictures = 0;
    Control(int style, int theme) {
        host.logic = &x;
        x.initProperties(9000);
        x.setTabCount(4);
        x.s.TabStyle = style;
        x.setTabTheme(theme);
        for (int i = 0; i < 4; ++i) {
            x.setTabCaption(i, L"&Tab" + std::to_wstring(i));
            x.setTabPicture(i, std::make_shared<FakePicture>(i));
        }
        x.s.UseMaskColor = true;
        ev.TabSwitch = [this](std::int16_t last) {
            switches.push_back(last);
            // A host reading every tab as the switch ends, as a page switch does.
            for (int i = 0; i < x.TabCount(); ++i) pictures += x.TabPicture(i) != nullptr;
        };
        x.refresh();
    }
    Point centre(int i) const {
        const Rect& r = x.s.tabs[static_cast<std::size_t>(i)].TabRect;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

}  // namespace

TEST(XTabWithPainters, ClicksOnThePaintedRectanglesSelectEachTabInEveryStyleAndTheme) {
    for (int style : {0, 1}) {
        for (int theme = 0; theme <= 4; ++theme) {
            Control c(style, theme);
            for (int i : {3, 1, 2, 0}) {
                const Point p = c.centre(i);
                ASSERT_LT(c.x.s.tabs[static_cast<std::size_t>(i)].TabRect.left,
                          c.x.s.tabs[static_cast<std::size_t>(i)].TabRect.right);
                c.x.mouseDown(1, 0, static_cast<float>(p.x), static_cast<float>(p.y));
                EXPECT_EQ(c.x.ActiveTab(), i) << style << "/" << theme;
                // The tab under a click is the one the shared hit-test finds among the painted shapes.
                std::vector<TabShape> shapes;
                for (const auto& t : c.x.s.tabs) shapes.push_back({t.TabRect, t.BoxRect});
                EXPECT_EQ(tabAt(shapes, p.x, p.y), i);
            }
            EXPECT_EQ(c.switches.size(), 4u);
        }
    }
}

TEST(XTabWithPainters, SwitchesWithMaskedPicturesByEveryInputStaySound) {
    for (int style : {0, 1}) {
        for (int theme = 0; theme <= 4; ++theme) {
            Control c(style, theme);
            c.x.s.PictureSize = 1;
            c.x.setBool(&XTabState::UseControlBox, true, L"UseControlBox");
            for (int k = 0; k < 6; ++k) c.x.keyDown(39, 0);
            c.x.wmMouseWheel(-120 << 16);
            c.x.wmMouseWheel(120 << 16);
            std::int16_t key = 't';
            c.x.accessKeyPress(key);
            c.x.InsertTab(1, L"&Inserted");
            c.x.RemoveTab(0);
            c.x.setTabCount(2);
            c.x.setTabCount(5);
            EXPECT_GT(c.pictures, 0);
            // The pictures moved with their tabs: the removed tab 0 took its own, the former tab 1
            // leads, and the inserted tab after it has none.
            ASSERT_NE(c.x.TabPicture(0), nullptr);
            EXPECT_EQ(static_cast<const FakePicture&>(*c.x.TabPicture(0)).tag, 1);
            EXPECT_EQ(c.x.TabPicture(1), nullptr);
            EXPECT_FALSE(c.x.s.Busy);
            EXPECT_EQ(c.x.s.tabs.size(), 5u);
        }
    }
}

TEST(XTabWithPainters, HoverAndItsTimerLeaveThePixelsAsTheyWere) {
    for (int style : {0, 1}) {
        for (int theme : {1, 4}) {
            Control c(style, theme);
            const auto before = c.host.canvas.px;
            const Point p = c.centre(2);
            c.x.mouseMove(0, 0, static_cast<float>(p.x), static_cast<float>(p.y));
            ASSERT_TRUE(c.x.s.HoverShown) << style << "/" << theme;
            EXPECT_NE(c.host.canvas.px, before);
            c.host.cursor = {p.x, 150};  // below the strip: outside the hovered tab
            c.x.TimerEvent();
            EXPECT_FALSE(c.x.s.HoverShown);
            EXPECT_EQ(c.host.canvas.px, before) << style << "/" << theme;
        }
    }
}

TEST(XTabWithPainters, FocusInAndOutLeavesThePixelsAsTheyWere) {
    for (int style : {0, 1}) {
        for (int theme = 0; theme <= 4; ++theme) {
            Control c(style, theme);
            const auto before = c.host.canvas.px;
            c.x.gotFocus();
            EXPECT_NE(c.host.canvas.px, before) << style << "/" << theme;
            c.x.lostFocus();
            EXPECT_EQ(c.host.canvas.px, before) << style << "/" << theme;
        }
    }
}
