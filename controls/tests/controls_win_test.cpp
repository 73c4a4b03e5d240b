#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "controls/check.h"
#include "controls/gradient.h"
#include "controls/simpleframe.h"
#include "controls/xframe.h"
#include "controls/xpbutton.h"
#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/tests/win_support.h"

using namespace kelva;
using namespace kelva::ctl;
using namespace kelva::testing;

namespace {

rt::FormLayout layout(double w = 7200, double h = 4500) {
    return testForm(L"controls test", {600, 600, w, h}, 0xF0F0F0);
}

// Renders the button's plan in software: lines (end left out), fills and pixels; the caption and
// focus rectangle are left to the probes that avoid them.
std::vector<std::uint32_t> renderPlan(const std::vector<button::Op>& ops, int w, int h) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h, 0xFFFFFFFF);
    auto set = [&](int x, int y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[static_cast<std::size_t>(y) * w + x] = c;
    };
    for (const auto& op : ops) {
        switch (op.kind) {
        case button::Op::Line:
            if (op.y1 == op.y2)
                for (int x = op.x1; x < op.x2; ++x) set(x, op.y1, op.color);
            else
                for (int y = op.y1; y < op.y2; ++y) set(op.x1, y, op.color);
            break;
        case button::Op::Fill:
            for (int y = op.y1; y < op.y2; ++y)
                for (int x = op.x1; x < op.x2; ++x) set(x, y, op.color);
            break;
        case button::Op::Pixel: set(op.x1, op.y1, op.color); break;
        default: break;
        }
    }
    return px;
}

// Pixels of the button's edge bands and of column 6 (left of any caption) that differ from the plan.
int mismatches(const XPButton& b, const Capture& c) {
    const int w = c.width(), h = c.height();
    button::PaintInput in{b.state(), w, h, b.Enabled(), b.model().hasFocus, b.FocusRect(), b.ForeColor()};
    const auto want = renderPlan(button::paintPlan(in), w, h);
    int bad = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool band = x < 3 || x >= w - 3 || y < 3 || y >= h - 3;
            const bool probe = x == 6 && y > 3 && y < h - 4;
            const bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);  // outside the region
            const auto expected = want[static_cast<std::size_t>(y) * w + x];
            if ((band || probe) && !corner && expected != 0xFFFFFFFF && c.at(x, y) != expected) ++bad;
        }
    return bad;
}

struct ButtonHost {
    rt::Form form{layout()};
    XPButton& button;
    int clicks = 0, dblClicks = 0, moves = 0;
    std::vector<int> activations;
    explicit ButtonHost(rt::PropertyBag bag = {})
        : button(form.add<XPButton>(L"cbWrite", {300, 300, 1200, 375})) {
        button.load(bag);
        button.Click = [this] { ++clicks; };
        button.DblClick = [this] { ++dblClicks; };
        button.MouseMove = [this](const rt::MouseArgs&) { ++moves; };
        button.FormActivate = [this](int s) { activations.push_back(s); };
        showAndActivate(form);
    }
};

}  // namespace

// ---- push button --------------------------------------------------------------------------------

TEST(XPButtonWin, MouseClickHotPressedAndFocused) {
    ButtonHost host;
    auto& b = host.button;
    ASSERT_TRUE(b.model().formActive);
    send(b.hwnd(), WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(b.state(), button::Hot);
    EXPECT_EQ(host.moves, 1);
    send(b.hwnd(), WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_EQ(b.state(), button::Pressed);
    EXPECT_EQ(GetFocus(), b.hwnd());
    send(b.hwnd(), WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(host.clicks, 1);
    EXPECT_EQ(b.state(), button::Hot);
    // pressed inside, released outside: no click, the focused look
    send(b.hwnd(), WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    send(b.hwnd(), WM_MOUSEMOVE, 200, 10, MK_LBUTTON);
    send(b.hwnd(), WM_LBUTTONUP, 200, 10);
    EXPECT_EQ(host.clicks, 1);
    EXPECT_EQ(b.state(), button::Focused);
    send(b.hwnd(), WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    EXPECT_EQ(host.dblClicks, 1);
    EXPECT_EQ(b.state(), button::Pressed);
}

TEST(XPButtonWin, KeysAndAccessKey) {
    rt::PropertyBag bag;
    bag.write(L"Caption", std::wstring(L"문자 &Write"));
    ButtonHost host(bag);
    auto& b = host.button;
    EXPECT_EQ(b.accessKeys(), L"w");
    SetFocus(b.hwnd());
    EXPECT_EQ(b.state(), button::Focused);
    send(b.hwnd(), WM_KEYDOWN, 0, 0, VK_SPACE);
    EXPECT_EQ(b.state(), button::Pressed);
    send(b.hwnd(), WM_KEYUP, 0, 0, VK_SPACE);
    EXPECT_EQ(host.clicks, 1);
    send(b.hwnd(), WM_KEYDOWN, 0, 0, VK_RETURN);
    EXPECT_EQ(host.clicks, 2);
    // Space held, then the access key: the press is cancelled without a click
    send(b.hwnd(), WM_KEYDOWN, 0, 0, VK_SPACE);
    SendMessageW(host.form.hwnd(), WM_SYSCOMMAND, SC_KEYMENU, L'w');
    EXPECT_EQ(host.clicks, 2);
    EXPECT_EQ(b.state(), button::Focused);
    SendMessageW(host.form.hwnd(), WM_SYSCOMMAND, SC_KEYMENU, L'W');
    EXPECT_EQ(host.clicks, 3);
}

TEST(XPButtonWin, TwoCharacterCaptionHasItsAccessKey) {
    rt::PropertyBag bag;
    bag.write(L"Caption", std::wstring(L"&X"));
    ButtonHost host(bag);
    EXPECT_EQ(host.button.accessKeys(), L"x");
    SendMessageW(host.form.hwnd(), WM_SYSCOMMAND, SC_KEYMENU, L'X');
    EXPECT_EQ(host.clicks, 1);
}

TEST(XPButtonWin, ArrowKeysMoveTheFocus) {
    rt::Form form(layout());
    auto& a = form.add<XPButton>(L"a", {300, 300, 1200, 375});
    auto& c = form.add<XPButton>(L"c", {300, 900, 1200, 375});
    a.load({});
    c.load({});
    showAndActivate(form);
    SetFocus(a.hwnd());
    send(a.hwnd(), WM_KEYDOWN, 0, 0, VK_DOWN);
    EXPECT_EQ(GetFocus(), c.hwnd());
    send(c.hwnd(), WM_KEYDOWN, 0, 0, VK_UP);
    EXPECT_EQ(GetFocus(), a.hwnd());
    EXPECT_EQ(a.state(), button::Focused);
    EXPECT_EQ(c.state(), button::Normal);
}

TEST(XPButtonWin, FormDeactivationIncludingMinimisedReturnsToNormal) {
    ButtonHost host;
    auto& b = host.button;
    auto& other = host.form.add<XPButton>(L"cbGet", {300, 900, 1200, 375});
    other.load({});
    std::vector<int> otherActivations;
    other.FormActivate = [&](int s) { otherActivations.push_back(s); };
    send(b.hwnd(), WM_MOUSEMOVE, 10, 10);
    send(b.hwnd(), WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    host.activations.clear();
    // deactivation of a minimised window: the low word is WA_INACTIVE, the high word is set
    SendMessageW(host.form.hwnd(), WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
    EXPECT_EQ(host.activations, std::vector<int>{0});
    EXPECT_EQ(otherActivations, std::vector<int>{0});  // each button subclasses the form by itself
    EXPECT_EQ(b.state(), button::Normal);
    EXPECT_FALSE(b.model().armed);
    SendMessageW(host.form.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(host.activations, (std::vector<int>{0, 1}));
    EXPECT_EQ(b.state(), button::Hot);
    SendMessageW(b.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(b.state(), button::Focused);
}

TEST(XPButtonWin, PixelsOfEveryStateMatchThePlan) {
    ButtonHost host;
    auto& b = host.button;
    auto check = [&](int wanted, const wchar_t* shot) {
        ASSERT_EQ(b.state(), wanted);
        Capture c(b.hwnd());
        EXPECT_EQ(c.width(), 80);
        EXPECT_EQ(c.height(), 25);
        EXPECT_EQ(mismatches(b, c), 0) << "state " << wanted;
        c.save(shot);
    };
    check(button::Normal, L"button_1_normal");
    send(b.hwnd(), WM_MOUSEMOVE, 10, 10);
    check(button::Hot, L"button_3_hot");
    send(b.hwnd(), WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    check(button::Pressed, L"button_4_pressed");
    Capture pressed(b.hwnd());
    EXPECT_EQ(pressed.at(6, 12), 0xDEE3E7u);
    send(b.hwnd(), WM_MOUSEMOVE, 200, 10, MK_LBUTTON);
    send(b.hwnd(), WM_LBUTTONUP, 200, 10);
    check(button::Focused, L"button_2_focused");
    Capture focused(b.hwnd());
    bool dotted = false;  // the focus rectangle on row 3 inside the face
    for (int x = 4; x < 70; ++x) dotted = dotted || focused.at(x, 3) != focused.at(x, 4);
    EXPECT_TRUE(dotted);
    b.setEnabled(false);
    check(button::Disabled, L"button_0_disabled");
    Capture disabled(b.hwnd());
    EXPECT_EQ(disabled.at(10, 0), 0xBAC7C9u);
    EXPECT_EQ(disabled.at(6, 12), 0xEAF4F5u);
}

TEST(XPButtonWin, PropertyBagRoundTripKeepsTheFontAndLeavesOtherDefaultsOut) {
    rt::PropertyBag saved;
    {
        ButtonHost host;
        auto& b = host.button;
        b.setCaption(L"종 료");
        b.setForeColor(0x808080);
        b.setFocusRect(false);
        b.save(saved);
    }
    EXPECT_TRUE(saved.contains(L"Font"));  // the font is stored even when it is the default one
    EXPECT_FALSE(saved.contains(L"Enabled"));
    EXPECT_EQ(saved.entries().size(), 4u);
    ButtonHost again(saved);
    EXPECT_EQ(again.button.Caption(), L"종 료");
    EXPECT_EQ(again.button.ForeColor(), 0x808080u);
    EXPECT_FALSE(again.button.FocusRect());
    auto bold = std::make_shared<rt::Font>(rt::FontDesc{L"Verdana", 8.25, true});
    again.button.setFont(bold);
    rt::PropertyBag withFont;
    again.button.save(withFont);
    EXPECT_TRUE(withFont.readFont(L"Font", {}).bold);
    EXPECT_EQ(again.button.changedProperties().back(), L"Font");
    bold->setItalic(true);  // the button follows its font object's changes
    EXPECT_EQ(again.button.changedProperties().back(), L"Font");
}

TEST(XPButtonWin, NewButtonsTakeTheDefaultCaptions) {
    rt::Form form(layout());
    std::vector<std::wstring> caps;
    for (int i = 1; i <= 4; ++i) {
        auto& b = form.add<XPButton>(L"ccXPButton" + std::to_wstring(i), {300, 300.0 * i, 1200, 375});
        b.initNew();
        caps.push_back(b.Caption());
    }
    EXPECT_EQ(caps, (std::vector<std::wstring>{L"&OK", L"&Cancel", L"&Apply", L"ccXPButton4"}));
}

TEST(XPButtonWin, SmallSizesAreCorrectedAndStillPaint) {
    ButtonHost host;
    auto& b = host.button;
    b.setHeight(45);
    EXPECT_EQ(b.rect().height, 100);
    EXPECT_FALSE(b.model().paintSuppressed);
    send(b.hwnd(), WM_MOUSEMOVE, 3, 3);
    EXPECT_EQ(b.state(), button::Hot);  // painting goes on after the correction
    Capture c(b.hwnd());
    EXPECT_EQ(c.height(), 7);
    EXPECT_EQ(mismatches(b, c), 0);  // a face too low for its gradient still gets border and corners
    c.save(L"button_small");
}

TEST(XPButtonWin, ACorrectionWithinTheSamePixelsStillPaints) {
    ButtonHost host;
    auto& b = host.button;
    b.setHeight(99);  // 7 pixels, like the corrected 100 twips: the correction brings no resize of its own
    EXPECT_EQ(b.rect().height, 100);
    Capture c(b.hwnd());
    ASSERT_EQ(c.height(), 7);
    EXPECT_EQ(mismatches(b, c), 0);
}

TEST(XPButtonWin, TwoButtonsOnOneFormStopInEitherOrder) {
    for (bool firstGoesFirst : {true, false}) {
        rt::Form form(layout());
        const auto original = GetWindowLongPtrW(form.hwnd(), GWLP_WNDPROC);
        auto* a = &form.add<XPButton>(L"a", {300, 300, 1200, 375});
        auto* c = &form.add<XPButton>(L"c", {300, 900, 1200, 375});
        a->load({});
        c->load({});
        showAndActivate(form);
        (firstGoesFirst ? a : c)->terminate();
        int got = 0;
        (firstGoesFirst ? c : a)->FormActivate = [&](int) { ++got; };
        SendMessageW(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(got, 1);
        (firstGoesFirst ? c : a)->terminate();
        SendMessageW(form.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(got, 1);
        EXPECT_EQ(GetWindowLongPtrW(form.hwnd(), GWLP_WNDPROC), original);
    }
}

// ---- picture check box ----------------------------------------------------------------------------

namespace {
struct CheckHost {
    rt::Form form{layout()};
    Check& box;
    int clicks = 0;
    std::vector<int> downs;
    explicit CheckHost(const rt::PropertyBag* bag = nullptr) : box(form.add<Check>(L"chkCAD", {300, 300, 1500, 255})) {
        if (bag) box.load(*bag);
        else box.initNew();
        box.Click = [this] { ++clicks; };
        box.MouseDown = [this](const rt::MouseArgs& a) { downs.push_back(a.button); };
        showAndActivate(form);
    }
};

// The 13 x 13 pixels of a box picture from the resources.
std::vector<std::uint32_t> resourcePixels(check::Picture p) {
    auto pic = rt::Picture::fromResource(GetModuleHandleW(nullptr), checkPictureResource(p));
    std::vector<std::uint32_t> out;
    if (!pic) return out;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 13, 13);
    HGDIOBJ old = SelectObject(mem, bmp);
    pic->draw(mem, 0, 0, 13, 13);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) out.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

void expectShows(Check& box, check::Picture p) {
    ASSERT_EQ(box.shownPicture(), p);
    Capture c(box.pictureWindow());
    const auto want = resourcePixels(p);
    ASSERT_EQ(want.size(), 169u);
    int bad = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) bad += c.at(x, y) != want[static_cast<std::size_t>(y) * 13 + x];
    EXPECT_EQ(bad, 0) << "picture " << p;
}
}  // namespace

TEST(CheckWin, PressCyclesValueAndShowsEveryPicture) {
    CheckHost host;
    auto& box = host.box;
    EXPECT_EQ(box.Caption(), L"chkCAD");
    for (int v = 0; v < 3; ++v) {
        box.setValue(v);
        expectShows(box, static_cast<check::Picture>(check::IdleNoValue + v));
        Capture(box.hwnd()).save(L"check_idle_" + std::to_wstring(v));
        send(box.pictureWindow(), WM_LBUTTONDOWN, 6, 6, MK_LBUTTON);
        expectShows(box, static_cast<check::Picture>(check::PushedNoValue + v));
        Capture(box.hwnd()).save(L"check_pushed_" + std::to_wstring(v));
        EXPECT_EQ(box.Value() == 1, v == 0);  // 0 becomes 1, 1 and 2 become 0
        send(box.pictureWindow(), WM_LBUTTONUP, 6, 6);
        EXPECT_TRUE(box.timerRunning());
    }
    EXPECT_EQ(host.clicks, 3);
    EXPECT_EQ(host.downs, (std::vector<int>{1, 1, 1}));
    // hovering: the timer's tick shows the mouse-over picture while the cursor is over the box
    RECT rc;
    GetWindowRect(box.pictureWindow(), &rc);
    for (int v = 0; v < 3; ++v) {
        box.setValue(v);
        SetCursorPos(rc.left + 6, rc.top + 6);
        box.tick();
        if (WindowFromPoint({rc.left + 6, rc.top + 6}) != box.pictureWindow()) GTEST_SKIP() << "no pointer here";
        expectShows(box, static_cast<check::Picture>(check::MouseoverNoValue + v));
        Capture(box.hwnd()).save(L"check_mouseover_" + std::to_wstring(v));
    }
    SetCursorPos(0, 0);
    box.tick();
    EXPECT_EQ(box.shownPicture(), check::IdleGreyed);
}

TEST(CheckWin, CaptionPassesItsMouseToTheBoxAndRightButtonOnlyReports) {
    CheckHost host;
    auto& box = host.box;
    send(box.captionWindow(), WM_LBUTTONDOWN, 40, 5, MK_LBUTTON);
    send(box.captionWindow(), WM_LBUTTONUP, 40, 5);
    EXPECT_EQ(box.Value(), 1);
    EXPECT_EQ(host.clicks, 1);
    EXPECT_EQ(SendMessageW(box.captionWindow(), BM_GETCHECK, 0, 0), BST_UNCHECKED);  // never toggles itself
    send(box.pictureWindow(), WM_RBUTTONDOWN, 6, 6, MK_RBUTTON);
    send(box.pictureWindow(), WM_RBUTTONUP, 6, 6);
    EXPECT_EQ(box.Value(), 1);
    EXPECT_EQ(host.clicks, 1);
    EXPECT_EQ(host.downs, (std::vector<int>{1, 2}));
}

TEST(CheckWin, ADoubleClickOnTheCaptionIsTwoPresses) {
    CheckHost host;
    auto& box = host.box;
    send(box.captionWindow(), WM_LBUTTONDOWN, 40, 5, MK_LBUTTON);
    send(box.captionWindow(), WM_LBUTTONUP, 40, 5);
    send(box.captionWindow(), WM_LBUTTONDBLCLK, 40, 5, MK_LBUTTON);
    EXPECT_EQ(box.shownPicture(), check::PushedChecked);
    send(box.captionWindow(), WM_LBUTTONUP, 40, 5);
    EXPECT_EQ(box.Value(), 0);
    EXPECT_EQ(host.clicks, 2);
    EXPECT_EQ(host.downs, (std::vector<int>{1, 1}));
}

TEST(CheckWin, DisabledPicturesColoursAndPersistence) {
    rt::PropertyBag saved;
    {
        CheckHost host;
        auto& box = host.box;
        box.setCaption(L" ACAD");
        box.setForeColor(0x000080);
        box.setBackColor(0x8000000F);
        for (int v = 0; v < 3; ++v) {
            box.setValue(v);
            box.setEnabledValue(0);
            expectShows(box, static_cast<check::Picture>(check::DisabledNoValue + v));
            Capture(box.hwnd()).save(L"check_disabled_" + std::to_wstring(v));
            box.setEnabledValue(-1);
        }
        box.setValue(1);
        box.setEnabledValue(0);
        EXPECT_EQ(box.captionColor(), check::kDefaultDisabledColor);
        EXPECT_FALSE(box.timerRunning());
        send(box.pictureWindow(), WM_LBUTTONDOWN, 6, 6, MK_LBUTTON);
        EXPECT_EQ(box.Value(), 1);  // the mouse is shut out
        EXPECT_TRUE(host.downs.empty());
        box.save(saved);
    }
    CheckHost again(&saved);
    EXPECT_EQ(again.box.Value(), 1);
    EXPECT_EQ(again.box.Enabled(), 0);
    EXPECT_EQ(again.box.Caption(), L" ACAD");
    EXPECT_EQ(again.box.BackColor(), 0x8000000Fu);
    EXPECT_EQ(again.box.ForeColor(), 0x000080u);  // the enabled colour, not the disabled one
    again.box.setEnabledValue(-1);
    EXPECT_EQ(again.box.captionColor(), 0x000080u);
    expectShows(again.box, check::IdleChecked);
}

// ---- simple frame ---------------------------------------------------------------------------------

TEST(SimpleFrameWin, FitMovesEveryContainedControlAndDropsBorders) {
    rt::Form form(layout());
    auto& frame = form.add<XPSimpleFrame>(L"XPSimpleFrame1", {300, 300, 3000, 1500});
    frame.initNew();
    auto& text = form.add<rt::StdControl>(L"tbChars", {200, 200, 1000, 300}, &frame, rt::StdControl::Kind::TextBox);
    auto& label = form.add<rt::StdControl>(L"Label4", {100, 700, 1000, 300}, &frame, rt::StdControl::Kind::Label);
    auto& shape = form.add<rt::Shape>(L"shp", {0, 0, 500, 500}, &frame);
    showAndActivate(form);
    ASSERT_EQ(frame.contained().size(), 3u);
    frame.setAutoSizeContained(false);  // any assignment fits
    EXPECT_FALSE(frame.AutoSizeContained());
    for (auto* c : {static_cast<rt::Control*>(&text), static_cast<rt::Control*>(&label), static_cast<rt::Control*>(&shape)}) {
        EXPECT_EQ(c->rect().left, 45);
        EXPECT_EQ(c->rect().top, 45);
        EXPECT_EQ(c->rect().width, 2910);
        EXPECT_EQ(c->rect().height, 1410);
    }
    EXPECT_FALSE(GetWindowLongW(text.hwnd(), GWL_STYLE) & WS_BORDER);
    frame.move({300, 300, 4500, 2250});
    EXPECT_EQ(frame.shape().rect().width, 4500);
    EXPECT_EQ(text.rect().width, 2910);  // the fit is not repeated
    text.setVisible(false);
    label.setVisible(false);
    shape.setVisible(false);
    Capture c(frame.hwnd());
    EXPECT_EQ(c.at(0, 50), 0x808080u);
    EXPECT_EQ(c.at(299, 50), 0x808080u);
    EXPECT_EQ(c.at(20, 149), 0x808080u);
    EXPECT_NE(c.at(20, 50), 0x808080u);
    c.save(L"simpleframe");
}

// ---- collapsible frame ----------------------------------------------------------------------------

namespace {
struct FrameHost {
    rt::Form form{layout()};
    XFrame& frame;
    int clicks = 0;
    FrameHost(const rt::PropertyBag& bag, double height = 1695)
        : frame(form.add<XFrame>(L"xFrame1", {300, 300, 6435, height})) {
        frame.load(bag);
        frame.Click = [this] { ++clicks; };
        showAndActivate(form);
    }
};

rt::PropertyBag buttonsBag() {
    rt::PropertyBag bag;
    bag.write(L"Enabled", true);
    bag.write(L"Button", true);
    bag.write(L"ButtonPin", true);
    bag.write(L"Caption", std::wstring(L"AutoCAD에 문자 쓰기"));
    return bag;
}

void clickHeader(XFrame& f, int x) {
    HWND h = f.header().hwnd();
    send(h, WM_MOUSEMOVE, x, 10);
    send(h, WM_LBUTTONDOWN, x, 10, MK_LBUTTON);
    send(h, WM_LBUTTONUP, x, 10);
}

// The design text of a form with the frame of buttonsBag() after `change`, read back.
rt::DesignNode storedFrameForm(const std::function<void(XFrame&)>& change) {
    FrameHost host(buttonsBag());
    change(host.frame);
    auto parsed = rt::parseDesign(rt::formatDesign(host.form.saveDesign(L"Form", L"frmChar")));
    EXPECT_TRUE(parsed.ok()) << parsed.errorLine;
    return parsed.ok() ? parsed.nodes.at(0) : rt::DesignNode{};
}
}  // namespace

TEST(XFrameWin, HeaderClicksCollapseAndRestore) {
    FrameHost host(buttonsBag());
    auto& f = host.frame;
    EXPECT_EQ(f.model().expandedHeight, 1695);
    Capture(f.hwnd()).save(L"xframe_expanded");
    clickHeader(f, 10);
    EXPECT_EQ(f.rect().height, 315);
    EXPECT_FALSE(f.Expanded());
    EXPECT_EQ(host.clicks, 1);
    EXPECT_EQ(f.changedProperties().back(), L"Expanded");
    Capture(f.hwnd()).save(L"xframe_collapsed");
    clickHeader(f, 10);
    EXPECT_EQ(f.rect().height, 1695);
    EXPECT_TRUE(f.Expanded());
    // the pin band toggles the pin and keeps the height
    const int pinX = static_cast<int>((6405 - 400) / 15);
    clickHeader(f, pinX);
    EXPECT_TRUE(f.FramePinned());
    clickHeader(f, 10);
    EXPECT_EQ(f.rect().height, 1695);
    EXPECT_EQ(host.clicks, 4);
    Capture(f.hwnd()).save(L"xframe_pinned");
}

TEST(XFrameWin, AFrameFirstSizedToItsHeaderStaysClickable) {
    FrameHost host(buttonsBag(), 315);
    clickHeader(host.frame, 10);
    EXPECT_EQ(host.frame.rect().height, 315);
    EXPECT_EQ(host.clicks, 1);
    host.frame.setExpanded(true);
    EXPECT_EQ(host.frame.rect().height, 315);
    host.frame.setHeight(1200);  // a real size becomes the expanded height
    clickHeader(host.frame, 10);
    EXPECT_EQ(host.frame.rect().height, 315);
    clickHeader(host.frame, 10);
    EXPECT_EQ(host.frame.rect().height, 1200);
}

TEST(XFrameWin, AFrameStoredShutOpensAtItsHeightByClickAndByExpanded) {
    const rt::DesignNode stored = storedFrameForm([](XFrame& f) {
        clickHeader(f, 10);
        ASSERT_EQ(f.rect().height, 315);
    });
    // The form as it was designed: the frame shut, at its header's height.
    rt::Form form(layout());
    auto& f = form.add<XFrame>(L"xFrame1", {300, 300, 6435, 315});
    form.loadDesign(stored);
    showAndActivate(form);
    EXPECT_FALSE(f.Expanded());
    clickHeader(f, 10);
    EXPECT_EQ(f.rect().height, 1695);
    EXPECT_TRUE(f.Expanded());
    clickHeader(f, 10);
    EXPECT_EQ(f.rect().height, 315);
    f.setExpanded(true);
    EXPECT_EQ(f.rect().height, 1695);
}

TEST(XFrameWin, PixelsOfHeaderBodyAndGlyphs) {
    FrameHost host(buttonsBag());
    auto& f = host.frame;
    const auto& col = f.model().colors;
    Capture body(f.hwnd());
    EXPECT_EQ(body.at(0, 60), rt::toColorRef(col.borderColor));
    EXPECT_EQ(body.at(428, 60), rt::toColorRef(col.borderColor));
    EXPECT_EQ(body.at(200, 112), rt::toColorRef(col.borderColor));
    EXPECT_EQ(body.at(200, 60), rt::toColorRef(f.BackColor()));
    Capture header(f.header().hwnd());
    ASSERT_EQ(header.width(), 427);
    ASSERT_EQ(header.height(), 20);
    const auto grad = gradientPixels(427, 20, 0, col.headerGradientTop, col.headerGradientBottom, 0);
    auto gradAt = [&](int y) {
        const auto* p = &grad[static_cast<std::size_t>(y) * 427 * 4];
        return static_cast<std::uint32_t>(RGB(p[2], p[1], p[0]));
    };
    EXPECT_EQ(header.at(2, 0), gradAt(0));
    EXPECT_EQ(header.at(2, 10), gradAt(10));
    EXPECT_EQ(header.at(2, 18), rt::toColorRef(f.BackColor()));  // the separator at H - 30
    EXPECT_EQ(header.at(2, 19), gradAt(19));
    // the upper chevron's tip row while expanded: x from W-195 to W-180 at y = 75
    EXPECT_EQ(header.at((6405 - 195) / 15, 5), col.buttonColor);
    EXPECT_EQ(header.at((6405 - 180) / 15, 5), gradAt(5));  // the end point is left out
    // the unpinned pin's point: (W-435, 135) to (W-390, 135)
    EXPECT_EQ(header.at((6405 - 435) / 15, 9), col.buttonColor);
    header.save(L"xframe_header");
}

TEST(XFrameWin, DisablingReachesContainedControlsAndFinishes) {
    FrameHost host(buttonsBag());
    auto& f = host.frame;
    auto& text = host.form.add<rt::StdControl>(L"tbHeight", {100, 600, 1500, 300}, &f, rt::StdControl::Kind::TextBox);
    auto& shape = host.form.add<rt::Shape>(L"shpRec", {100, 1000, 1500, 300}, &f);
    auto& inner = host.form.add<XPButton>(L"cbGet", {2000, 600, 1200, 375}, &f);
    inner.load({});
    EnableWindow(text.hwnd(), FALSE);
    f.setEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(text.hwnd()));  // also one disabled by itself before
    f.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(text.hwnd()));
    EXPECT_FALSE(inner.Enabled());
    EXPECT_TRUE(IsWindowEnabled(shape.hwnd()) == FALSE);  // a shape is never enabled: untouched
    EXPECT_EQ(f.BorderColor(), xframe::disabledColors().borderColor);
    Capture c(f.hwnd());
    EXPECT_EQ(c.at(0, 60), xframe::disabledColors().borderColor);  // the repaint ran
    c.save(L"xframe_disabled");
    f.setEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(text.hwnd()));
    EXPECT_TRUE(inner.Enabled());
    EXPECT_EQ(f.BorderColor(), xframe::schemeColors(1)->borderColor);
}

TEST(XFrameWin, GradientBodyAndPicture) {
    FrameHost host(buttonsBag());
    auto& f = host.frame;
    f.setColorScheme(2);
    f.setEnableGradient(true);
    const auto& col = f.model().colors;
    Capture c(f.hwnd());
    const auto grad = gradientPixels(429, 113, 0, col.gradientTop, col.gradientBottom, 0);
    const auto* p = &grad[(static_cast<std::size_t>(80) * 429 + 100) * 4];
    EXPECT_EQ(c.at(100, 80), static_cast<std::uint32_t>(RGB(p[2], p[1], p[0])));
    f.setPicture(rt::Picture::fromResource(GetModuleHandleW(nullptr), L"XFRAME_SAMPLE_PICTURE"));
    EXPECT_TRUE(f.DisplayPicture());
    Capture header(f.header().hwnd());
    // the picture sits at (15, 15) twips, one pixel in, at its own size
    EXPECT_EQ(header.at(1, 1), static_cast<std::uint32_t>(RGB(255, 0, 255)));
    EXPECT_EQ(header.at(1 + 6, 1 + 6), static_cast<std::uint32_t>(RGB(242, 187, 84)));
    EXPECT_NE(header.at(0, 0), header.at(1, 1));
    Capture(f.hwnd()).save(L"xframe_gradient_picture");
}

TEST(XFrameWin, DesignTextRoundTrip) {
    const rt::DesignNode stored = storedFrameForm([](XFrame& f) {
        f.setColorScheme(0);
        f.setBorderColor(0x9E9E9E);
        f.setHeaderGradientTop(0xE0E8EC);
        f.setHeaderGradientBottom(0xE0E8EC);
        f.setFont(std::make_shared<rt::Font>(rt::FontDesc{L"굴림", 9, true}));
        f.setExpanded(false);
    });
    rt::Form form(layout());
    auto& f = form.add<XFrame>(L"xFrame1", {300, 300, 6435, 1695});
    form.loadDesign(stored);
    EXPECT_EQ(f.ColorScheme(), 0);
    EXPECT_EQ(f.BorderColor(), 0x9E9E9Eu);
    EXPECT_EQ(f.HeaderGradientTop(), 0xE0E8ECu);
    EXPECT_EQ(f.Caption(), L"AutoCAD에 문자 쓰기");
    EXPECT_TRUE(f.Button());
    EXPECT_FALSE(f.Expanded());
    EXPECT_TRUE(f.Enabled());
    EXPECT_EQ(f.Font()->desc().name, L"굴림");
    EXPECT_TRUE(f.Font()->desc().bold);
    EXPECT_EQ(f.Font()->desc().size, 9);
}

TEST(XFrameWin, HeaderPaintsKeepTheFontNameAndApplyTheStoredAttributes) {
    FrameHost host(buttonsBag());
    auto& f = host.frame;
    f.setFont(std::make_shared<rt::Font>(rt::FontDesc{L"굴림", 9}));
    f.Font()->setName(L"Verdana");  // through the font object, as a host may
    f.Font()->setSize(14);
    f.Font()->setBold(true);
    f.setCaption(L"AutoCAD");  // repaints the body and the header
    EXPECT_EQ(f.Font()->desc().name, L"Verdana");
    EXPECT_EQ(f.Font()->desc().size, 9);  // the stored size and style win at every header paint
    EXPECT_FALSE(f.Font()->desc().bold);
    rt::PropertyBag bag;
    f.save(bag);
    EXPECT_EQ(bag.readFont(L"Font", {}).name, L"Verdana");
}

TEST(XFrameWin, HoverHighlightsTheGlyphsWhileTheCursorIsOverTheHeader) {
    FrameHost host(buttonsBag());
    auto& f = host.frame;
    HWND h = f.header().hwnd();
    send(h, WM_MOUSEMOVE, 10, 10);
    EXPECT_TRUE(f.model().timerEnabled);
    RECT rc;
    GetWindowRect(h, &rc);
    SetCursorPos(rc.left + 10, rc.top + 10);
    if (WindowFromPoint({rc.left + 10, rc.top + 10}) != h) GTEST_SKIP() << "no pointer here";
    f.hoverTick();
    const auto& col = f.model().colors;
    EXPECT_EQ(f.model().currentButtonColor, col.buttonHighlightColor);
    Capture lit(h);
    EXPECT_EQ(lit.at((6405 - 195) / 15, 5), col.buttonHighlightColor);  // the chevrons, last zone entered
    EXPECT_EQ(lit.at((6405 - 435) / 15, 9), col.buttonColor);           // the pin keeps its rest colour
    lit.save(L"xframe_hover");
    SetCursorPos(0, 0);
    f.hoverTick();
    EXPECT_EQ(Capture(h).at((6405 - 195) / 15, 5), col.buttonColor);
}

TEST(XPButtonWin, SnapMouseToPutsTheCursorOnTheCentre) {
    ButtonHost host;
    host.button.SnapMouseTo();
    POINT pt;
    ASSERT_TRUE(GetCursorPos(&pt));
    RECT rc;
    GetWindowRect(host.button.hwnd(), &rc);
    EXPECT_EQ(pt.x, rc.left + 40);
    EXPECT_EQ(pt.y, rc.top + 12);
}

TEST(XPButtonWin, SnapMouseToRoundsHalfPixelsToEven) {
    ButtonHost host;
    auto& b = host.button;
    b.setWidth(1125);  // 75 pixels: the centre is 37.5 pixels in
    RECT rc;
    GetWindowRect(b.hwnd(), &rc);
    if (rc.left % 2) {  // an even left edge tells half to even from truncation
        b.setLeft(b.rect().left + 15);
        GetWindowRect(b.hwnd(), &rc);
    }
    ASSERT_EQ(rc.left % 2, 0);
    ASSERT_EQ(rc.right - rc.left, 75);
    b.SnapMouseTo();
    POINT pt;
    ASSERT_TRUE(GetCursorPos(&pt));
    EXPECT_EQ(pt.x, rc.left + 38);
    EXPECT_EQ(pt.y, rc.top + 12);
}
