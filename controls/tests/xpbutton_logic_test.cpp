#include <gtest/gtest.h>

#include <algorithm>

#include "controls/xpbutton_logic.h"

using namespace kelva::ctl::button;

namespace {
Model ready() {
    Model m;
    m.paintSuppressed = false;
    m.formActive = true;
    return m;
}
}  // namespace

TEST(ButtonStates, ClickNeedsPressAndReleaseInside) {
    Model m = ready();
    auto fx = mouseMove(m, 5, 5, 60, 20);
    EXPECT_EQ(fx.paint, Hot);
    EXPECT_TRUE(fx.trackLeave && fx.mouseMove);
    fx = mouseDown(m, kMouseLeft);
    EXPECT_EQ(fx.paint, Pressed);
    fx = mouseUp(m, kMouseLeft);
    EXPECT_EQ(fx.paint, Hot);
    EXPECT_TRUE(fx.click);

    // pressed inside, released outside: no click, focused look
    mouseDown(m, kMouseLeft);
    fx = mouseMove(m, 80, 5, 60, 20);
    EXPECT_EQ(fx.paint, Focused);
    fx = mouseUp(m, kMouseLeft);
    EXPECT_FALSE(fx.click);
    EXPECT_EQ(m.state, Focused);
    EXPECT_FALSE(m.armed);
}

TEST(ButtonStates, SpaceThenAccessKeyCancelsThePress) {
    Model m = ready();
    gotFocus(m);
    auto fx = keyDown(m, 32);
    EXPECT_EQ(fx.paint, Pressed);
    fx = accessKeyPress(m);
    EXPECT_FALSE(fx.click);
    EXPECT_EQ(fx.paint, Focused);
    fx = keyUp(m, 32);
    EXPECT_FALSE(fx.click);
    // without a held Space the access key clicks after pending events
    fx = accessKeyPress(m);
    EXPECT_TRUE(fx.click && fx.doEvents);
    EXPECT_TRUE(keyDown(m, 13).click);
    EXPECT_EQ(keyDown(m, 38).tabMove, -1);
    EXPECT_EQ(keyDown(m, 40).tabMove, 1);
}

TEST(ButtonStates, SpaceIsIgnoredWhileTheLeftButtonIsHeld) {
    Model m = ready();
    mouseMove(m, 1, 1, 10, 10);
    mouseDown(m, kMouseLeft);
    EXPECT_FALSE(keyDown(m, 32).paint.has_value());
    EXPECT_FALSE(m.spaceHeld);
    EXPECT_FALSE(keyUp(m, 32).click);
}

TEST(ButtonStates, DeactivationReturnsToNormal) {
    Model m = ready();
    mouseMove(m, 1, 1, 10, 10);
    mouseDown(m, kMouseLeft);
    auto fx = formActivation(m, false);
    EXPECT_EQ(fx.paint, Normal);
    EXPECT_EQ(fx.formActivate, 0);
    EXPECT_FALSE(m.armed || m.leftHeld);
    // while inactive, moves neither repaint nor raise MouseMove
    fx = mouseMove(m, 2, 2, 10, 10);
    EXPECT_FALSE(fx.paint.has_value() || fx.mouseMove);
    fx = formActivation(m, true);
    EXPECT_EQ(fx.paint, Hot);
    EXPECT_EQ(fx.formActivate, 1);
}

TEST(ButtonStates, ActivationMessagesReadTheActivationState) {
    constexpr unsigned kActivate = 6, kNcActivate = 134;
    EXPECT_TRUE(activationOf(kActivate, 1));                  // WA_ACTIVE
    EXPECT_TRUE(activationOf(kActivate, 2));                  // WA_CLICKACTIVE
    EXPECT_FALSE(activationOf(kActivate, 0));                 // WA_INACTIVE
    EXPECT_FALSE(activationOf(kActivate, 0x10000));           // inactive and minimised
    EXPECT_TRUE(activationOf(kActivate, 0x10001));            // active and minimised
    EXPECT_TRUE(activationOf(kNcActivate, 1));
    EXPECT_FALSE(activationOf(kNcActivate, 0));
}

TEST(ButtonStates, MouseLeaveFocusDefaultAndSuppression) {
    Model m = ready();
    m.isDefault = true;
    mouseMove(m, 1, 1, 10, 10);
    mouseDown(m, kMouseLeft);
    auto fx = mouseLeave(m);
    EXPECT_EQ(fx.paint, Focused);  // pressed and armed
    fx = ambientChanged(m, L"DisplayAsDefault", false);
    EXPECT_FALSE(m.isDefault);
    EXPECT_EQ(fx.paint, Normal);
    EXPECT_FALSE(lostFocus(m).paint.has_value());  // already normal

    Model quiet;  // painting suppressed: nothing paints and the state stays
    quiet.formActive = true;
    fx = mouseMove(quiet, 1, 1, 10, 10);
    EXPECT_FALSE(fx.paint.has_value());
    EXPECT_EQ(quiet.state, Normal);
    fx = setEnabled(quiet, true);
    EXPECT_EQ(fx.paint, Hot);
    fx = setEnabled(quiet, false);
    EXPECT_EQ(fx.paint, Disabled);
    EXPECT_FALSE(mouseLeave(quiet).paint.has_value());  // disabled stays disabled
}

TEST(ButtonStates, DoubleClickShowsPressedWithoutArming) {
    Model m = ready();
    mouseMove(m, 1, 1, 10, 10);
    mouseDown(m, kMouseLeft);
    mouseUp(m, kMouseLeft);
    auto fx = dblClick(m);
    EXPECT_EQ(fx.paint, Pressed);
    EXPECT_TRUE(fx.dblClick);
    EXPECT_FALSE(mouseUp(m, kMouseLeft).click);
    mouseDown(m, kMouseRight);
    EXPECT_FALSE(dblClick(m).dblClick);
}

TEST(ButtonCaption, AccessKeys) {
    EXPECT_EQ(getAccessKey(L""), L"");
    EXPECT_EQ(getAccessKey(L"&View"), L"v");
    EXPECT_EQ(getAccessKey(L"A && B"), L"");
    EXPECT_EQ(getAccessKey(L"&V"), L"v");  // two characters are enough
    EXPECT_EQ(getAccessKey(L"&&&x"), L"x");
    EXPECT_EQ(getAccessKey(L"&&a&b"), L"b");
    EXPECT_EQ(getAccessKey(L"abc&"), L"");
    EXPECT_EQ(getAccessKey(L"종 료(&X)"), L"x");
}

TEST(ButtonCaption, DefaultCaptionsOfNewButtons) {
    std::vector<std::wstring> caps;
    for (int i = 0; i < 4; ++i) caps.push_back(defaultCaption(caps, L"ccXPButton" + std::to_wstring(i + 1)));
    EXPECT_EQ(caps, (std::vector<std::wstring>{L"&OK", L"&Cancel", L"&Apply", L"ccXPButton4"}));
}

TEST(ButtonPaint, GradientRowsRunFromBottomToTopColour) {
    std::vector<Op> ops;
    gradientOps(ops, 0, 10, 5, 12, 0x0000FF, 0x000000);  // red at top, black at bottom; n = 2
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].y1, 12);
    EXPECT_EQ(ops[0].color, 0u);
    EXPECT_EQ(ops[1].y1, 11);
    EXPECT_EQ(ops[1].color, 0x80u);  // 127.5 rounds to even
    EXPECT_EQ(ops[2].y1, 10);
    EXPECT_EQ(ops[2].color, 0xFFu);
    ops.clear();
    gradientOps(ops, 0, 4, 5, 4, 1, 2);  // no steps: skipped, nothing divided by zero
    EXPECT_TRUE(ops.empty());
}

TEST(ButtonPaint, PlanOfEachState) {
    auto count = [](const std::vector<Op>& ops, Op::Kind k) {
        return std::count_if(ops.begin(), ops.end(), [k](const Op& o) { return o.kind == k; });
    };
    PaintInput in{Disabled, 75, 23, false, false, true, 0x123456};
    auto ops = paintPlan(in);
    EXPECT_EQ(ops[0].color, 0xBAC7C9u);
    EXPECT_EQ(count(ops, Op::Fill), 1);
    EXPECT_EQ(count(ops, Op::Pixel), 20);
    auto cap = std::find_if(ops.begin(), ops.end(), [](const Op& o) { return o.kind == Op::Caption; });
    EXPECT_EQ(cap->color, kDisabledCaption);
    EXPECT_EQ(count(ops, Op::FocusRect), 0);

    in = {Focused, 75, 23, true, true, true, 0x123456};
    ops = paintPlan(in);
    EXPECT_EQ(count(ops, Op::FocusRect), 1);
    EXPECT_EQ(count(ops, Op::Fill), 0);
    // the two gradients: rows 3..21 and 3..20
    EXPECT_EQ(count(ops, Op::Line), 4 + 19 + 18 + 4);
    in.focusRect = false;
    EXPECT_EQ(count(paintPlan(in), Op::FocusRect), 0);
    in = {Normal, 75, 5, true, true, true, 0};  // too low for the state gradient: the rest still paints
    ops = paintPlan(in);
    EXPECT_EQ(count(ops, Op::Pixel), 20);
    EXPECT_EQ(count(ops, Op::Caption), 1);
}
