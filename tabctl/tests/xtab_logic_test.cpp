#include <gtest/gtest.h>

#include "core/errors.h"
#include "tabctl/tests/xtab_fake_host.h"
#include "tabctl/xtab_logic.h"

using namespace kelva;
using namespace kelva::tabctl;
using kelva::tabctl::test::FakePicture;
using kelva::tabctl::test::Fixture;

namespace {

template <class F>
void expectError(F&& f, int number, const std::wstring& source) {
    try {
        f();
        ADD_FAILURE() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), number);
        EXPECT_EQ(e.source(), source);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Captions and access keys

TEST(XTabCaptionKeys, KeysFollowTheLastSingleAmpersand) {
    EXPECT_EQ(accessKeyCode(L"&File"), 'F');
    EXPECT_EQ(accessKeyCode(L"Save && &Exit"), 'E');
    EXPECT_EQ(accessKeyCode(L"Fish && Chips"), 0);
    EXPECT_EQ(accessKeyCode(L"&One &Two"), 'T');
    EXPECT_EQ(accessKeyCode(L"&x"), 'X');
    EXPECT_EQ(accessKeyCode(L"Plain"), 0);
}

TEST(XTabCaptionKeys, ContainerListAlwaysEqualsTheTabsKeys) {
    Fixture f;
    f.x.setTabCaption(0, L"&File");
    f.x.setTabCaption(1, L"&Edit");
    EXPECT_EQ(f.host.accessKeys, L"FE");
    f.x.setTabCaption(0, L"&View");
    EXPECT_EQ(f.host.accessKeys, L"VE");  // in tab order, the old F gone
    // Two tabs with one key: removing it from one leaves it listed for the other.
    f.x.setTabCaption(2, L"&Extra");
    f.x.setTabCaption(1, L"Nothing");
    EXPECT_EQ(f.host.accessKeys, L"VE");
    EXPECT_EQ(f.x.s.tabs[2].AccessKey, 'E');
}

TEST(XTabCaptionKeys, TrailingAmpersandMarksNoKeyAndRaisesNothing) {
    Fixture f;
    f.x.setTabCaption(1, L"&Go");
    EXPECT_NO_THROW(f.x.setTabCaption(1, L"Stop&"));
    EXPECT_EQ(f.x.TabCaption(1), L"Stop&");
    EXPECT_EQ(f.x.s.tabs[1].AccessKey, 0);
    EXPECT_EQ(f.host.accessKeys, L"");
}

TEST(XTabCaptionKeys, BadIndicesRaiseNineAndGetsAnswerQuietly) {
    Fixture f;
    expectError([&] { f.x.setTabCaption(3, L"x"); }, 9, L"ucXTab.TabCaption");
    expectError([&] { f.x.setTabEnabled(-1, false); }, 9, L"ucXTab.TabEnabled");
    EXPECT_EQ(f.x.TabCaption(-1), L"");
    EXPECT_FALSE(f.x.TabEnabled(7));
}

TEST(XTabCaptionKeys, DisablingATabRedrawsItsCloseBoxPressed) {
    Fixture f;
    f.x.setTabEnabled(1, false);
    EXPECT_EQ(f.host.count("box2:1"), 0);  // no close boxes shown
    f.x.setBool(&XTabState::UseControlBox, true, L"UseControlBox");
    f.x.setTabEnabled(1, false);
    f.x.setTabEnabled(1, true);
    EXPECT_EQ(f.host.count("box2:1"), 1);
    EXPECT_EQ(f.host.count("box0:1"), 1);
    EXPECT_EQ(f.host.changed.back(), L"TabEnabled");
}

TEST(XTabCaptionKeys, AccessKeySelectsEnabledInactiveTabOnly) {
    Fixture f;
    f.x.setTabCaption(1, L"&Alpha");
    f.x.setTabCaption(2, L"&Beta");
    f.x.setTabEnabled(2, false);
    std::int16_t key = 'a';
    f.x.accessKeyPress(key);
    EXPECT_EQ(key, 'A');
    EXPECT_EQ(f.x.ActiveTab(), 1);
    key = 'b';
    f.x.accessKeyPress(key);
    EXPECT_EQ(f.x.ActiveTab(), 1);  // disabled
    key = 'a';
    f.events.clear();
    f.x.accessKeyPress(key);
    EXPECT_TRUE(f.events.empty());  // already active
    EXPECT_FALSE(f.x.s.Busy);
}

// ---------------------------------------------------------------------------------------------
// Switching and pages

TEST(XTabSwitch, RangeCancelAndLastActive) {
    Fixture f;
    f.placeControls();
    f.x.setActiveTab(2);
    EXPECT_EQ(f.leftOf(100), 600 + 2 * 10000);  // tabs left of the shown one park to the right
    EXPECT_EQ(f.leftOf(102), 600);
    f.events.clear();
    f.x.setActiveTab(0);
    EXPECT_EQ(f.events, (std::vector<std::string>{"before0", "switch2"}));
    EXPECT_EQ(f.x.LastActiveTab(), 2);
    EXPECT_EQ(f.leftOf(100), 600);

    f.x.setActiveTab(1);
    f.events.clear();
    f.x.setActiveTab(-1);  // out of range: tab 0
    EXPECT_EQ(f.x.ActiveTab(), 0);
    f.events.clear();
    f.x.setActiveTab(3);  // = TabCount: tab 0 again, already active
    EXPECT_TRUE(f.events.empty());

    f.ev.BeforeTabSwitch = [](std::int16_t, bool& cancel) { cancel = true; };
    const double before = f.leftOf(101);
    f.x.setActiveTab(2);
    EXPECT_EQ(f.x.ActiveTab(), 0);
    EXPECT_EQ(f.x.LastActiveTab(), 1);
    EXPECT_EQ(f.leftOf(101), before);
}

TEST(XTabSwitch, CountGrowsWithDefaultsAndRefusesZero) {
    Fixture f;
    expectError([&] { f.x.setTabCount(0); }, 380, L"ucXTab.TabCount");
    EXPECT_EQ(f.x.TabCount(), 3);
    f.x.setTabCount(5);
    EXPECT_EQ(f.x.TabCaption(3), L"Tab 3");
    EXPECT_EQ(f.x.TabCaption(4), L"Tab 4");
    EXPECT_TRUE(f.x.TabEnabled(4));
}

TEST(XTabSwitch, ShrinkingBelowTheActiveTabMovesThePagesLikeASwitch) {
    Fixture f(5);
    f.placeControls();
    f.x.setActiveTab(4);
    f.events.clear();
    f.x.setTabCount(2);
    EXPECT_EQ(f.x.ActiveTab(), 1);
    EXPECT_EQ(f.events, (std::vector<std::string>{"before1", "switch4"}));
    // Tab 1's control is in view, tab 0's one offset away.
    EXPECT_EQ(f.leftOf(101), 600);
    EXPECT_EQ(f.leftOf(100), 600 + 10000);
    // Dropped tabs' controls keep their distance from the shown page: out of sight.
    EXPECT_EQ(f.leftOf(102), 600 - 10000);
    EXPECT_EQ(f.leftOf(104), 600 - 3 * 10000);
}

TEST(XTabSwitch, TabOffsetMovesNothing) {
    Fixture f;
    f.placeControls();
    f.x.setActiveTab(1);
    const double l0 = f.leftOf(100);
    f.x.setTabOffset(20000);
    EXPECT_EQ(f.leftOf(100), l0);
    EXPECT_EQ(f.host.changed.back(), L"TabOffset");
}

// ---------------------------------------------------------------------------------------------
// Insert and remove

TEST(XTabInsertRemove, RecordsMoveWholeWithFlagsKeysAndPictures) {
    Fixture f(4);
    f.x.setTabCaption(1, L"&One");
    f.x.setTabCaption(2, L"&Two");
    f.x.setTabEnabled(2, false);
    auto pic = std::make_shared<FakePicture>(7);
    f.x.setTabPicture(2, pic);

    f.x.InsertTab(0, L"&New");
    EXPECT_EQ(f.x.TabCount(), 5);
    EXPECT_EQ(f.x.TabCaption(1), L"&New");
    EXPECT_TRUE(f.x.TabEnabled(1));
    EXPECT_EQ(f.x.TabPicture(1), nullptr);
    EXPECT_EQ(f.x.TabCaption(3), L"&Two");
    EXPECT_FALSE(f.x.TabEnabled(3));
    EXPECT_EQ(f.x.TabPicture(3), pic);
    EXPECT_EQ(f.host.accessKeys, L"NOT");

    f.x.RemoveTab(1);
    EXPECT_EQ(f.x.TabCaption(2), L"&Two");
    EXPECT_FALSE(f.x.TabEnabled(2));
    EXPECT_EQ(f.x.TabPicture(2), pic);
    EXPECT_EQ(f.host.accessKeys, L"OT");
    EXPECT_EQ(f.host.lockDepth, 0);
}

TEST(XTabInsertRemove, BadIndicesRaiseBeforeAnythingChanges) {
    Fixture f;
    f.placeControls();
    f.x.setActiveTab(1);
    const auto children = f.host.children;
    f.events.clear();
    expectError([&] { f.x.InsertTab(3, L"x"); }, 9, L"ucXTab.InsertTab");
    expectError([&] { f.x.InsertTab(-2, L"x"); }, 9, L"ucXTab.InsertTab");
    expectError([&] { f.x.RemoveTab(-1); }, 9, L"ucXTab.RemoveTab");
    expectError([&] { f.x.RemoveTab(3); }, 9, L"ucXTab.RemoveTab");
    EXPECT_EQ(f.x.TabCount(), 3);
    EXPECT_EQ(f.x.ActiveTab(), 1);
    EXPECT_TRUE(f.events.empty());
    for (std::size_t i = 0; i < children.size(); ++i) EXPECT_EQ(f.host.children[i].left, children[i].left);
    EXPECT_EQ(f.host.lockDepth, 0);
}

TEST(XTabInsertRemove, InsertAtTheActiveTabsPlaceShowsTheNewTab) {
    Fixture f;
    f.placeControls();
    f.x.setActiveTab(1);
    f.x.InsertTab(0, L"New");  // goes in at index 1, the shown tab's own place
    EXPECT_EQ(f.x.ActiveTab(), 1);
    EXPECT_EQ(f.x.TabCaption(1), L"New");
    EXPECT_EQ(f.x.TabCaption(2), L"Tab 1");
    EXPECT_EQ(f.leftOf(101), 600 - 10000);  // the former tab 1's page waits one tab to the right
    // In front of tab 0 while tab 0 is shown: the new tab is shown, with no controls of its own.
    f.x.setActiveTab(0);
    f.x.InsertTab(-1, L"Front");
    EXPECT_EQ(f.x.ActiveTab(), 0);
    EXPECT_EQ(f.leftOf(100), 600 - 10000);
    // Before the shown tab: its page stays shown under its new index.
    f.x.setActiveTab(3);
    f.x.InsertTab(0, L"Before");
    EXPECT_EQ(f.x.ActiveTab(), 4);
    EXPECT_EQ(f.leftOf(101), 600);
    // Appending leaves the active tab alone.
    f.x.InsertTab(f.x.TabCount() - 1, L"End");
    EXPECT_EQ(f.x.ActiveTab(), 4);
    EXPECT_EQ(f.events.back(), "insert5");
}

TEST(XTabInsertRemove, ControlAtLeftZeroOrLeftOfTheSurfaceBelongsToItsOwnTab) {
    Fixture f;
    f.host.children.push_back({1, 0.0});      // tab 0 at the very left
    f.host.children.push_back({2, -200.0});   // tab 0, reaching out past the left edge
    f.host.children.push_back({3, -10000.0}); // tab 1 at the very left
    f.x.RemoveTab(1);
    EXPECT_EQ(f.leftOf(1), 0.0);
    EXPECT_EQ(f.leftOf(2), -200.0);
    EXPECT_GT(f.leftOf(3), 9000);  // parked for good
    EXPECT_EQ(tabOfControl(0, 10000, 9000), 0);
    EXPECT_EQ(tabOfControl(-10000, 10000, 9000), 1);
    EXPECT_EQ(tabOfControl(-1000, 10000, 9000), 0);
    EXPECT_EQ(tabOfControl(-1001, 10000, 9000), 1);
    EXPECT_EQ(tabOfControl(8999, 10000, 9000), 0);
}

TEST(XTabInsertRemove, ControlsOfARemovedTabNeverComeBack) {
    Fixture f(4);
    f.placeControls();
    f.x.RemoveTab(1);
    const double parked = f.leftOf(101);
    EXPECT_GT(parked, 9000);
    f.x.InsertTab(-1, L"A");
    f.x.InsertTab(0, L"B");
    f.x.setActiveTab(3);
    f.x.setActiveTab(0);
    f.x.RemoveTab(0);
    EXPECT_EQ(f.leftOf(101), parked);
}

TEST(XTabInsertRemove, RemoveKeepsTheUserOnTheSamePageOrTheOneAtItsPlace) {
    struct Case {
        int active, removed, expect, shownControl;
    };
    // Four tabs with one control each (ids 100..103): the tab and the page shown after a removal.
    for (Case c : {Case{1, 2, 1, 101}, Case{2, 0, 1, 102}, Case{3, 3, 2, 102}, Case{1, 1, 1, 102}, Case{2, 2, 2, 103},
                   Case{0, 0, 0, 101}}) {
        Fixture f(4);
        f.placeControls();
        f.x.setActiveTab(c.active);
        f.x.RemoveTab(c.removed);
        EXPECT_EQ(f.x.ActiveTab(), c.expect) << c.active << " " << c.removed;
        EXPECT_EQ(f.leftOf(static_cast<std::uintptr_t>(c.shownControl)), 600) << c.active << " " << c.removed;
    }
    Fixture one(1);
    one.events.clear();
    one.x.RemoveTab(0);
    EXPECT_EQ(one.x.TabCount(), 1);
    EXPECT_TRUE(one.events.empty());
}

// ---------------------------------------------------------------------------------------------
// Keyboard, mouse, wheel

TEST(XTabInput, KeyboardWrapsAndNeverSkipsADisabledTab) {
    Fixture f;
    f.x.keyDown(37, 0);  // left on tab 0 wraps to the last
    EXPECT_EQ(f.x.ActiveTab(), 2);
    f.x.keyDown(39, 1);  // right with Shift on the last wraps to 0
    EXPECT_EQ(f.x.ActiveTab(), 0);
    f.x.keyDown(34, 0);  // page down without Ctrl
    EXPECT_EQ(f.x.ActiveTab(), 0);
    f.x.keyDown(34, 2);
    EXPECT_EQ(f.x.ActiveTab(), 1);
    f.x.setTabEnabled(2, false);
    f.x.keyDown(39, 0);
    EXPECT_EQ(f.x.ActiveTab(), 1);
    int keys = 0;
    for (const auto& e : f.events) keys += e.rfind("key", 0) == 0;
    EXPECT_EQ(keys, 5);
    EXPECT_FALSE(f.x.s.Busy);
}

TEST(XTabInput, BusyAndAutoRedrawComeBackWhenASwitchFails) {
    Fixture f;
    f.host.autoRedrawOn = true;
    f.ev.BeforeTabSwitch = [](std::int16_t, bool&) { throw VbError(5); };
    expectError([&] { f.x.keyDown(39, 0); }, 5, L"ucXTab.UserControl_KeyDown");
    EXPECT_FALSE(f.x.s.Busy);
    EXPECT_TRUE(f.host.autoRedrawOn);
    expectError([&] { f.x.mouseDown(1, 0, 70, 5); }, 5, L"ucXTab.UserControl_MouseDown");
    EXPECT_FALSE(f.x.s.Busy);
    // A later press works again.
    f.ev.BeforeTabSwitch = nullptr;
    f.x.mouseDown(1, 0, 70, 5);
    EXPECT_EQ(f.x.ActiveTab(), 1);
}

TEST(XTabInput, PressSelectsByTheInclusiveTabRectangle) {
    Fixture f;
    f.x.mouseDown(1, 0, 119.6f, 20);  // rounds to 120: tab 1's right edge (inclusive), first hit wins
    EXPECT_EQ(f.x.ActiveTab(), 1);
    f.x.mouseDown(1, 0, 130, 21);  // below the strip
    EXPECT_EQ(f.x.ActiveTab(), 1);
    f.x.mouseDown(2, 0, 130, 5);  // right button: MouseDown only
    EXPECT_EQ(f.x.ActiveTab(), 1);
    EXPECT_EQ(f.events.back(), "down2");
    f.x.setTabEnabled(2, false);
    f.x.mouseDown(1, 0, 150, 5);
    EXPECT_EQ(f.x.ActiveTab(), 1);
    f.x.s.Busy = true;
    f.events.clear();
    f.x.mouseDown(1, 0, 10, 5);
    EXPECT_TRUE(f.events.empty());
    EXPECT_EQ(f.x.ActiveTab(), 1);
}

TEST(XTabInput, WheelNeverSelectsADisabledTab) {
    Fixture f;
    f.x.wmMouseWheel(-120 << 16);
    EXPECT_EQ(f.x.ActiveTab(), 1);
    EXPECT_EQ(f.events.back(), "switch0");
    f.x.setTabEnabled(2, false);
    f.events.clear();
    f.x.wmMouseWheel(-120 << 16);
    EXPECT_EQ(f.x.ActiveTab(), 1);
    EXPECT_EQ(f.events, (std::vector<std::string>{"scrollUp"}));
    f.x.wmMouseWheel(120 << 16);
    EXPECT_EQ(f.x.ActiveTab(), 0);
    f.events.clear();
    f.x.wmMouseWheel(120 << 16);  // nothing before tab 0
    EXPECT_EQ(f.events, (std::vector<std::string>{"scrollDown"}));
    f.x.setUseMouseWheelScroll(false);
    f.events.clear();
    f.x.wmMouseWheel(-120 << 16);
    EXPECT_TRUE(f.events.empty());
}

TEST(XTabInput, CloseBoxRemovesOnlyWhenPressAndReleaseHitTheSameEnabledBox) {
    Fixture f(4);
    f.x.setBool(&XTabState::UseControlBox, true, L"UseControlBox");
    // Pressed on tab 1's box, released on tab 2's: nothing closes.
    f.host.cursor = {60 + 50, 10};
    f.x.wmLButtonDown();
    f.host.cursor = {120 + 50, 10};
    f.x.wmLButtonUp();
    EXPECT_EQ(f.x.TabCount(), 4);
    // Released without a press on any box (pressed on the page).
    f.host.cursor = {10, 100};
    f.x.wmLButtonDown();
    f.host.cursor = {120 + 50, 10};
    f.x.wmLButtonUp();
    EXPECT_EQ(f.x.TabCount(), 4);
    // Press and release on tab 2's box: tab 2 goes.
    f.x.setTabCaption(2, L"Two");
    f.x.wmLButtonDown();
    f.x.wmLButtonUp();
    EXPECT_EQ(f.x.TabCount(), 3);
    EXPECT_NE(f.x.TabCaption(2), L"Two");
    // A disabled box: its press draws it pressed, nothing is raised or removed.
    f.x.setTabEnabled(1, false);
    f.events.clear();
    f.host.cursor = {60 + 50, 10};
    f.x.wmLButtonDown();
    f.x.wmLButtonUp();
    EXPECT_EQ(f.x.TabCount(), 3);
    EXPECT_TRUE(f.events.empty());
    // The right-most column of a box is outside it.
    f.host.cursor = {56, 10};
    f.x.wmLButtonDown();
    f.x.wmLButtonUp();
    EXPECT_EQ(f.x.TabCount(), 3);
}

TEST(XTabInput, OneTabControlRaisesTheReleaseAndKeepsItsTab) {
    Fixture f(1);
    f.x.setBool(&XTabState::UseControlBox, true, L"UseControlBox");
    f.host.cursor = {50, 10};
    f.x.wmLButtonDown();
    f.x.wmLButtonUp();
    EXPECT_EQ(f.x.TabCount(), 1);
    EXPECT_EQ(f.events.back(), "boxUp");
}

TEST(XTabInput, StatusFollowsTheParentsMovingAndSizing) {
    Fixture f;
    f.x.wmMoving();
    f.x.wmMoving();
    f.x.wmExitSizeMove();
    f.x.wmSizing();
    f.x.wmExitSizeMove();
    EXPECT_EQ(f.events, (std::vector<std::string>{"Form is moving...", "Form is moving...", "Finished Moving.",
                                                  "Form is sizing...", "Finished Sizing."}));
}

TEST(XTabInput, EnterOnceAndHoverOnlyInThemesOneAndFour) {
    Fixture f;
    f.host.cursor = {70, 5};
    f.x.wmMouseMove();
    f.x.wmMouseMove();
    EXPECT_EQ(f.host.count("track"), 1);
    EXPECT_EQ(f.events, (std::vector<std::string>{"enter"}));  // theme 0: no MouseHover
    f.x.wmMouseLeave();
    f.x.setTabTheme(1);
    f.x.s.HoverTab = 9;  // beyond the last tab, as after a removal
    f.events.clear();
    f.x.wmMouseMove();
    EXPECT_EQ(f.x.s.HoverTab, 2);
    EXPECT_EQ(f.events, (std::vector<std::string>{"enter"}));  // tab 1 is neither active nor HoverTab
    f.x.s.HoverTab = 1;
    f.events.clear();
    f.x.wmMouseMove();
    EXPECT_EQ(f.events, (std::vector<std::string>{"mouseHover1"}));
}

// ---------------------------------------------------------------------------------------------
// Hover overlay and focus rectangle

TEST(XTabOverlay, HoverShowsStartsTheTimerAndTheTimerTakesItAway) {
    Fixture f;
    f.x.setTabTheme(1);
    f.x.mouseMove(0, 0, 70, 5);
    EXPECT_TRUE(f.x.s.HoverShown);
    EXPECT_TRUE(f.host.timerOn);
    EXPECT_TRUE(f.host.overlayOnScreen);
    f.host.cursor = {90, 20};  // bottom edge still counts as inside
    f.x.TimerEvent();
    EXPECT_TRUE(f.x.s.HoverShown);
    f.host.cursor = {90, 21};
    f.x.TimerEvent();
    EXPECT_FALSE(f.x.s.HoverShown);
    EXPECT_FALSE(f.host.timerOn);
    EXPECT_FALSE(f.host.overlayOnScreen);
}

TEST(XTabOverlay, PressErasesTheHighlightBeforeForgettingIt) {
    Fixture f;
    f.x.setTabTheme(4);
    f.x.mouseMove(0, 0, 130, 5);
    ASSERT_TRUE(f.host.overlayOnScreen);
    f.x.s.tabs[2].Enabled = false;  // a press that switches nothing: no repaint covers the overlay
    f.x.mouseDown(1, 0, 130, 5);
    EXPECT_FALSE(f.x.s.HoverShown);
    EXPECT_FALSE(f.host.timerOn);
    EXPECT_FALSE(f.host.overlayOnScreen);
}

TEST(XTabOverlay, ThemeStyleAndFullRepaintStopTheHoverTimer) {
    for (int change = 0; change < 3; ++change) {
        Fixture f;
        f.x.setTabTheme(1);
        f.x.mouseMove(0, 0, 70, 5);
        ASSERT_TRUE(f.host.timerOn);
        if (change == 0) f.x.setTabTheme(0);
        if (change == 1) f.x.setTabStyle(1);
        if (change == 2) f.x.refresh();
        EXPECT_FALSE(f.host.timerOn) << change;
        EXPECT_FALSE(f.x.s.HoverShown) << change;
        EXPECT_FALSE(f.host.overlayOnScreen) << change;
    }
}

TEST(XTabOverlay, KeyboardSwitchLeavesNoStrayOverlay) {
    Fixture f;
    f.x.setTabTheme(1);
    f.x.mouseMove(0, 0, 130, 5);
    ASSERT_TRUE(f.host.overlayOnScreen);
    f.x.s.Busy = false;
    f.x.keyDown(39, 0);  // the switch repaints only the strip while Busy holds off Refresh
    EXPECT_FALSE(f.host.overlayOnScreen);
    EXPECT_FALSE(f.host.timerOn);
}

TEST(XTabOverlay, FocusRectangleShowsTheRealFocusInEveryStyleAndTheme) {
    for (int style = 0; style < 3; ++style) {
        for (int theme = 0; theme < 6; ++theme) {
            Fixture f;
            f.x.s.TabStyle = style;
            f.x.s.TabTheme = theme;
            f.x.refresh();
            f.x.gotFocus();
            const bool drawable = style < 2 && theme < 5;
            EXPECT_EQ(f.host.focusOnScreen, drawable) << style << "/" << theme;
            f.x.lostFocus();
            EXPECT_FALSE(f.host.focusOnScreen) << style << "/" << theme;
            f.x.gotFocus();
            f.x.refresh();
            EXPECT_EQ(f.host.focusOnScreen, drawable);
            f.x.setBool(&XTabState::ShowFocusRect, false, L"ShowFocusRect");
            f.x.lostFocus();
            f.x.gotFocus();
            EXPECT_FALSE(f.host.focusOnScreen);
        }
    }
}

TEST(XTabOverlay, NoFocusRectangleAtDesignTime) {
    Fixture f;
    f.host.user = false;
    f.x.gotFocus();
    EXPECT_FALSE(f.host.focusOnScreen);
    EXPECT_EQ(f.host.count("focus"), 0);
}

// ---------------------------------------------------------------------------------------------
// Paint cycle

TEST(XTabPaintCycle, AfterCompleteInitOnceAndOnlyAtRunTime) {
    for (bool user : {true, false}) {
        test::FakeHost host;
        XTabEvents ev;
        XTabLogic x(host, ev);
        host.logic = &x;
        host.user = user;
        int raised = 0;
        ev.AfterCompleteInit = [&] { ++raised; };
        x.initProperties(5000);
        x.refresh();
        x.refresh();
        host.user = true;
        x.refresh();
        EXPECT_EQ(raised, user ? 1 : 0);
    }
}

TEST(XTabPaintCycle, FailingPaintLeavesTheControlAbleToRepaint) {
    Fixture f;
    f.host.throwInDrawMe = true;
    EXPECT_ANY_THROW(f.x.refresh());
    EXPECT_FALSE(f.x.s.Busy);
    f.host.throwInDrawMe = false;
    f.x.refresh();
    EXPECT_EQ(f.host.log.back(), "drawMe");
}

TEST(XTabPaintCycle, ThemeDetectionAndThemeLet) {
    Fixture f;
    f.x.s.UseThemeDetection = true;
    f.host.themeNone = false;
    f.x.refresh();
    EXPECT_EQ(f.x.s.TabTheme, 1);
    f.host.winXP = false;
    const int resets = f.host.resets;
    f.x.setUseThemeDetection(true);
    EXPECT_EQ(f.x.s.TabTheme, 1);  // the next repaint's detection decides: not "None"
    EXPECT_GT(f.host.resets, resets);
    f.x.s.UseThemeDetection = false;
    f.x.setTabTheme(3);
    EXPECT_EQ(f.host.changed.back(), L"TabTheme");
}

TEST(XTabPaintCycle, TerminateRunsEveryStepEvenAfterAFailure) {
    Fixture f;
    f.x.setTabPicture(0, std::make_shared<FakePicture>(1));
    f.x.setTabPicture(2, std::make_shared<FakePicture>(2));
    f.x.setActiveTab(2);
    f.ev.BeforeTabSwitch = [](std::int16_t, bool&) { throw VbError(5); };
    f.x.terminateSteps();
    EXPECT_EQ(f.x.TabPicture(0), nullptr);
    EXPECT_EQ(f.x.TabPicture(2), nullptr);
    EXPECT_FALSE(f.host.timerOn);
}

TEST(XTabPaintCycle, TerminateGoesBackToTabZeroWithItsEvents) {
    Fixture f;
    f.placeControls();
    f.x.setActiveTab(2);
    f.events.clear();
    f.x.terminateSteps();
    EXPECT_EQ(f.events, (std::vector<std::string>{"before0", "switch2"}));
    EXPECT_EQ(f.leftOf(100), 600);
}
