// The tab control on a real form under Wine: messages injected into its window and its form, what
// it shows read back from the window, screenshots of every style, theme and state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <new>
#include <string>

#include "controls/xpbutton.h"
#include "core/errors.h"
#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/tests/win_support.h"
#include "tabctl/xtab.h"

using namespace kelva;
using namespace kelva::tabctl;
using namespace kelva::testing;

// This program's allocations can be capped: a request for more memory than the machine has then
// fails here as it does on Windows, whatever the kernel's overcommit policy would let Wine reserve.
namespace {
std::size_t allocationCap = std::numeric_limits<std::size_t>::max();
struct AllocationCap {
    explicit AllocationCap(std::size_t bytes) { allocationCap = bytes; }
    ~AllocationCap() { allocationCap = std::numeric_limits<std::size_t>::max(); }
};
}  // namespace

// Allocates from malloc as the library's own does, so the library's delete (free) still matches.
void* operator new(std::size_t n) {
    if (n > allocationCap) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

namespace {

// Restores the platform answers a test replaced.
struct PlatformScope {
    XTabPlatform saved = xtabPlatform();
    ~PlatformScope() { xtabPlatform() = saved; }
};

// A form with the tab control (400 x 200 pixels) and one label per tab placed on its page.
struct Host {
    std::unique_ptr<rt::Form> form;
    ucXTab* tab = nullptr;
    std::vector<rt::StdControl*> pages;
    std::vector<std::string> events;

    explicit Host(rt::PropertyBag bag = {}, bool userMode = true, int tabs = 3) {
        form = std::make_unique<rt::Form>(testForm(L"xtab test", {600, 600, 7200, 4500}, 0xF0F0F0));
        form->setUserMode(userMode);
        tab = &form->add<ucXTab>(L"XTab", {150, 150, 6000, 3000});
        if (!bag.contains(L"TabCount")) bag.write(L"TabCount", std::int32_t{tabs});
        if (!bag.contains(L"TabOffset")) bag.write(L"TabOffset", std::int32_t{10000});
        tab->load(bag);
        for (int k = 0; k < tab->TabCount(); ++k) {
            auto& l = form->add<rt::StdControl>(L"page" + std::to_wstring(k), {600.0 - k * 10000.0, 900, 1200, 300},
                                               tab, rt::StdControl::Kind::Label);
            l.setText(L"page " + std::to_wstring(k));
            pages.push_back(&l);
        }
        tab->BeforeTabSwitch = [this](std::int16_t n, bool&) { events.push_back("before" + std::to_string(n)); };
        tab->TabSwitch = [this](std::int16_t n) { events.push_back("switch" + std::to_string(n)); };
        tab->KeyDown = [this](std::int16_t& k, std::int16_t&) { events.push_back("keydown" + std::to_string(k)); };
        tab->KeyPress = [this](std::int16_t& k) { events.push_back("keypress" + std::to_string(k)); };
        tab->MouseScrollUp = [this] { events.push_back("scrollUp"); };
        tab->MouseScrollDown = [this] { events.push_back("scrollDown"); };
        tab->MouseEnter = [this] { events.push_back("enter"); };
        tab->MouseLeave = [this] { events.push_back("leave"); };
        tab->ControlBoxMouseUp = [this](float&, float&) { events.push_back("boxUp"); };
        tab->Status = [this](std::wstring s) { events.push_back(std::string(s.begin(), s.end())); };
        tab->AfterCompleteInit = [this] { events.push_back("init"); };
        showAndActivate(*form);
    }
    // The form ends first: its end still raises events into this host.
    ~Host() { form.reset(); }
    HWND hwnd() const { return tab->hwnd(); }
    Rect tabRect(int i) const { return tab->state().tabs.at(static_cast<std::size_t>(i)).TabRect; }
    Rect boxRect(int i) const { return tab->state().tabs.at(static_cast<std::size_t>(i)).BoxRect; }
    static int midX(const Rect& r) { return (r.left + r.right) / 2; }
    static int midY(const Rect& r) { return (r.top + r.bottom) / 2; }
    void click(int x, int y) {
        SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(x, y));
        SendMessageW(hwnd(), WM_LBUTTONUP, 0, pointParam(x, y));
    }
    // Puts the cursor over a client point of the control (the message handler reads the cursor).
    void cursorTo(int x, int y) {
        POINT p{x, y};
        ClientToScreen(hwnd(), &p);
        SetCursorPos(p.x, p.y);
    }
    int count(const std::string& e) const { return static_cast<int>(std::count(events.begin(), events.end(), e)); }
};

bool sameImage(const Capture& a, const Capture& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.at(x, y) != b.at(x, y)) return false;
    return true;
}

std::vector<std::uint32_t> tableOf(const ctl::MsgTable& t) {
    std::vector<std::uint32_t> out;
    for (std::int32_t i = 0; i < t.count; ++i) out.push_back(t.entries.at(static_cast<std::size_t>(i)));
    return out;
}

}  // namespace

// ---- subscriptions ------------------------------------------------------------------------------

TEST(XTabWin, RunTimeLoadSubscribesBothWindowsInOrder) {
    Host h;
    const auto& s = h.tab->state();
    ASSERT_TRUE(s.bSubclassed);
    EXPECT_TRUE(s.bTrackMouse);
    EXPECT_TRUE(s.bTrackUser32);
    const auto& recs = h.tab->engine().records();
    const int own = recs.index(reinterpret_cast<std::uintptr_t>(h.hwnd()), false);
    const int parent = recs.index(reinterpret_cast<std::uintptr_t>(h.form->hwnd()), false);
    ASSERT_GE(own, 0);
    ASSERT_GE(parent, 0);
    EXPECT_EQ(tableOf(recs.at(own).after), (std::vector<std::uint32_t>{512, 675, 522, 513, 514}));
    EXPECT_EQ(tableOf(recs.at(own).before), (std::vector<std::uint32_t>{275}));
    EXPECT_EQ(tableOf(recs.at(parent).after), (std::vector<std::uint32_t>{6, 534, 532, 562, 21, 794}));
    EXPECT_EQ(h.count("init"), 0);  // handler attached after the first paint
}

TEST(XTabWin, DesignModeNeverSubclasses) {
    Host h({}, false);
    EXPECT_FALSE(h.tab->state().bSubclassed);
    EXPECT_FALSE(h.tab->engine().records().started());
}

TEST(XTabWin, ComctlTrackingServesWhenUser32LacksIt) {
    PlatformScope scope;
    xtabPlatform().isExported = [](const char* function, const char* module) {
        return std::string(module) == "Comctl32" && std::string(function) == "_TrackMouseEvent";
    };
    Host h;
    EXPECT_TRUE(h.tab->state().bSubclassed);
    EXPECT_FALSE(h.tab->state().bTrackUser32);
    // The leave request goes through comctl32's function. The system tracks only a window that is
    // under the cursor when asked, so the cursor is on the control for the move and leaves after;
    // the wait for the notification is bounded: a missing one fails, never hangs.
    h.cursorTo(5, 5);
    SendMessageW(h.hwnd(), WM_MOUSEMOVE, 0, pointParam(5, 5));
    EXPECT_EQ(h.count("enter"), 1);
    SetCursorPos(0, 0);
    const DWORD end = GetTickCount() + 3000;
    while (h.count("leave") == 0 && GetTickCount() < end) pump(10);
    EXPECT_EQ(h.count("leave"), 1);
    EXPECT_FALSE(h.tab->state().MouseInside);
}

TEST(XTabWin, WithoutAnyTrackingNothingIsSubclassed) {
    PlatformScope scope;
    xtabPlatform().isExported = [](const char*, const char*) { return false; };
    Host h;
    EXPECT_FALSE(h.tab->state().bSubclassed);
    EXPECT_FALSE(h.tab->state().bTrackMouse);
    // The surface handlers still work.
    h.click(Host::midX(h.tabRect(1)), Host::midY(h.tabRect(1)));
    EXPECT_EQ(h.tab->ActiveTab(), 1);
}

// ---- mouse, keyboard, wheel, access keys -----------------------------------------------------------

TEST(XTabWin, ClicksOnEachTabRectangleSelectThatTabAndShowItsPage) {
    for (int style : {0, 1}) {
        Host h;
        h.tab->setTabStyle(style);
        for (int i : {2, 0, 1}) {
            const Rect r = h.tabRect(i);
            ASSERT_LT(r.left, r.right) << style;
            h.click(Host::midX(r), Host::midY(r));
            EXPECT_EQ(h.tab->ActiveTab(), i) << style;
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(h.pages[static_cast<std::size_t>(k)]->rect().left, 600.0 + (i - k) * 10000.0);
            EXPECT_TRUE(IsWindowVisible(h.pages[static_cast<std::size_t>(i)]->hwnd()));
        }
        EXPECT_FALSE(h.tab->state().Busy);
    }
}

TEST(XTabWin, ClickedTabLooksActiveAndTwoRepaintsGiveTheSameImage) {
    Host h;
    h.tab->setTabTheme(2);
    const Rect r = h.tabRect(1);
    const int px = r.left + 6, py = h.tab->state().InActiveTabHeight - 4;
    const std::uint32_t before = Capture(h.hwnd()).at(px, py);
    h.click(Host::midX(r), Host::midY(r));
    pump(10);
    Capture once(h.hwnd());
    EXPECT_NE(once.at(px, py), before);  // the tab's face changed from inactive to active colours
    h.tab->Refresh();
    pump(10);
    Capture twice(h.hwnd());
    EXPECT_TRUE(sameImage(once, twice));
}

TEST(XTabWin, KeyboardWheelAndCharacters) {
    Host h;
    SetFocus(h.hwnd());
    SendMessageW(h.hwnd(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(h.tab->ActiveTab(), 1);
    SendMessageW(h.hwnd(), WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(h.hwnd(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(h.tab->ActiveTab(), 2);  // wrapped
    EXPECT_EQ(h.count("keydown37"), 2);
    SendMessageW(h.hwnd(), WM_CHAR, 'q', 0);
    EXPECT_EQ(h.count("keypress113"), 1);
    // Wheel toward the user: next tab; away: previous.
    SendMessageW(h.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(h.tab->ActiveTab(), 2);  // the last tab: nothing further
    EXPECT_EQ(h.count("scrollUp"), 1);
    SendMessageW(h.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(h.tab->ActiveTab(), 1);
    h.tab->setTabEnabled(0, false);
    SendMessageW(h.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(h.tab->ActiveTab(), 1);  // never onto a disabled tab
}

TEST(XTabWin, HugeTabCountIsOutOfMemoryThroughTheControlsErrors) {
    const AllocationCap cap(std::size_t{1} << 30);
    constexpr std::int32_t huge = std::numeric_limits<std::int32_t>::max();
    // What the host's handler saw; it outlives the host, whose end raises events too.
    std::int32_t number = 0;
    std::wstring description, source;
    Host h;
    // A host handler of a switch made by a real click asks for the count, as Basic code with its
    // own error handling would.
    h.tab->TabSwitch = [&](std::int16_t) {
        try {
            h.tab->setTabCount(huge);
        } catch (const VbError& e) {
            number = e.number(), description = e.description(), source = e.source();
        }
    };
    h.click(Host::midX(h.tabRect(1)), Host::midY(h.tabRect(1)));
    EXPECT_EQ(number, 7);
    EXPECT_EQ(description, L"Out of memory");
    EXPECT_EQ(source, L"ucXTab.TabCount");
    EXPECT_EQ(h.tab->TabCount(), 3);
    EXPECT_EQ(h.tab->ActiveTab(), 1);
    h.click(Host::midX(h.tabRect(2)), Host::midY(h.tabRect(2)));
    EXPECT_EQ(h.tab->ActiveTab(), 2);
    // The same count stored in a form's data ends the control's loading with the same error.
    rt::PropertyBag bag;
    bag.write(L"TabCount", huge);
    auto& stored = h.form->add<ucXTab>(L"XTab2", {150, 3300, 3000, 600});
    try {
        stored.load(bag);
        ADD_FAILURE() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 7);
        EXPECT_EQ(e.source(), L"ucXTab.UserControl_ReadProperties");
    }
    EXPECT_EQ(stored.TabCount(), 3);
}

TEST(XTabWin, AccessKeysReachTheTabThroughTheForm) {
    Host h;
    h.tab->setTabCaption(0, L"&Alpha");
    h.tab->setTabCaption(2, L"&Gamma");
    EXPECT_EQ(h.tab->accessKeys(), L"AG");
    EXPECT_TRUE(h.form->dispatchAccessKey(L'g'));
    EXPECT_EQ(h.tab->ActiveTab(), 2);
    SendMessageW(h.form->hwnd(), WM_SYSCHAR, 'a', 0);
    EXPECT_EQ(h.tab->ActiveTab(), 0);
}

TEST(XTabWin, CloseBoxPressAndReleaseRemoveThatTab) {
    Host h({}, true, 4);
    h.tab->setUseControlBox(true);
    h.tab->setTabCaption(2, L"doomed");
    const Rect b = h.boxRect(2);
    ASSERT_LT(b.left, b.right);
    h.cursorTo(Host::midX(b), Host::midY(b));
    h.click(Host::midX(b), Host::midY(b));
    EXPECT_EQ(h.count("boxUp"), 1);
    EXPECT_EQ(h.tab->TabCount(), 3);
    EXPECT_NE(h.tab->TabCaption(2), L"doomed");
    // Press on tab 0's box, release on tab 1's: nothing closes.
    const Rect b0 = h.boxRect(0), b1 = h.boxRect(1);
    h.cursorTo(Host::midX(b0), Host::midY(b0));
    SendMessageW(h.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(Host::midX(b0), Host::midY(b0)));
    h.cursorTo(Host::midX(b1), Host::midY(b1));
    SendMessageW(h.hwnd(), WM_LBUTTONUP, 0, pointParam(Host::midX(b1), Host::midY(b1)));
    EXPECT_EQ(h.tab->TabCount(), 3);
    SetCursorPos(0, 0);
}

TEST(XTabWin, HoverShowsOnTheTabUnderTheMouseAndGoesWithTheTimer) {
    Host h;
    h.tab->setTabTheme(1);
    pump(10);
    const Capture plain(h.hwnd());
    const Rect r = h.tabRect(2);
    h.cursorTo(Host::midX(r), Host::midY(r));
    SendMessageW(h.hwnd(), WM_MOUSEMOVE, 0, pointParam(Host::midX(r), Host::midY(r)));
    EXPECT_TRUE(h.tab->state().HoverShown);
    EXPECT_EQ(h.tab->state().HoverTab, 2);
    EXPECT_EQ(h.count("enter"), 1);
    pump(30);
    EXPECT_TRUE(h.tab->state().HoverShown);  // still under the mouse
    EXPECT_FALSE(sameImage(plain, Capture(h.hwnd())));
    SetCursorPos(0, 0);
    const DWORD end = GetTickCount() + 2000;
    while (h.tab->state().HoverShown && GetTickCount() < end) pump(10);
    EXPECT_FALSE(h.tab->state().HoverShown);
    pump(10);
    // The overlay went by exclusive or: the strip is as it was, pixel for pixel.
    EXPECT_TRUE(sameImage(plain, Capture(h.hwnd())));
}

TEST(XTabWin, NewFocusedColorLeavesNoStrayBand) {
    // Theme 0 on a fresh control (no highlight in this look, none ever drawn), and theme 1 after
    // the mouse left a hovered tab: the new colour shows exactly what a plain repaint shows.
    for (int theme : {0, 1}) {
        Host h;
        h.tab->setTabTheme(theme);
        if (theme == 1) {
            const Rect r = h.tabRect(2);
            h.cursorTo(Host::midX(r), Host::midY(r));
            SendMessageW(h.hwnd(), WM_MOUSEMOVE, 0, pointParam(Host::midX(r), Host::midY(r)));
            ASSERT_TRUE(h.tab->state().HoverShown);
            SetCursorPos(0, 0);
            const DWORD end = GetTickCount() + 2000;
            while (h.tab->state().HoverShown && GetTickCount() < end) pump(10);
            ASSERT_FALSE(h.tab->state().HoverShown);
        }
        h.tab->setFocusedColor(0x00FF00);
        pump(10);
        const Capture set(h.hwnd());
        h.tab->Refresh();
        pump(10);
        EXPECT_TRUE(sameImage(set, Capture(h.hwnd()))) << "theme " << theme;
    }
}

TEST(XTabWin, FocusInAndOutLeavesNoTrace) {
    Host h;
    auto& other = h.form->add<rt::StdControl>(L"other", {150, 3300, 1200, 300}, nullptr, rt::StdControl::Kind::TextBox);
    SetFocus(other.hwnd());
    pump(10);
    const Capture unfocused(h.hwnd());
    SetFocus(h.hwnd());
    pump(10);
    EXPECT_TRUE(h.tab->state().IsFocused);
    EXPECT_TRUE(h.tab->state().focusDrawn);
    EXPECT_FALSE(sameImage(unfocused, Capture(h.hwnd())));
    SetFocus(other.hwnd());
    pump(10);
    EXPECT_FALSE(h.tab->state().IsFocused);
    EXPECT_TRUE(sameImage(unfocused, Capture(h.hwnd())));
}

TEST(XTabWin, ParentMovingAndSizingReportStatus) {
    Host h;
    h.events.clear();
    RECT rc{};
    SendMessageW(h.form->hwnd(), WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&rc));
    SendMessageW(h.form->hwnd(), WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&rc));
    SendMessageW(h.form->hwnd(), WM_EXITSIZEMOVE, 0, 0);
    SendMessageW(h.form->hwnd(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&rc));
    SendMessageW(h.form->hwnd(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(h.events, (std::vector<std::string>{"Form is moving...", "Form is moving...", "Finished Moving.",
                                                  "Form is sizing...", "Finished Sizing."}));
}

TEST(XTabWin, AddControlPlacesOnTheGivenTab) {
    Host h;
    auto& extra = h.form->add<rt::StdControl>(L"extra", {150, 3300, 900, 300}, nullptr, rt::StdControl::Kind::Label);
    HWND none = nullptr;
    h.tab->AddControl(&extra, none, 300, 1200, -1, -1, 2);
    EXPECT_EQ(h.tab->ActiveTab(), 2);
    EXPECT_EQ(GetParent(extra.hwnd()), h.hwnd());
    EXPECT_EQ(extra.rect().left, 300);
    EXPECT_EQ(extra.rect().width, 900);  // -1 leaves the width as it was
    EXPECT_TRUE(IsWindowVisible(extra.hwnd()));
    // A bare window.
    HWND w = CreateWindowExW(0, L"STATIC", L"bare", WS_CHILD, 0, 0, 10, 10, h.form->hwnd(), nullptr, nullptr, nullptr);
    h.tab->AddControl(nullptr, w, 20, 30, 40, 50, -1);
    RECT rc{};
    GetWindowRect(w, &rc);
    MapWindowPoints(nullptr, h.hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(GetParent(w), h.hwnd());
    EXPECT_EQ(rc.left, 20);
    EXPECT_EQ(rc.bottom - rc.top, 50);
    EXPECT_EQ(h.tab->ActiveTab(), 2);
    // A bad tab index is the switch's own business: it selects tab 0.
    h.tab->AddControl(nullptr, w, -1, -1, -1, -1, 9);
    EXPECT_EQ(h.tab->ActiveTab(), 0);
}

TEST(XTabWin, ThemeDetectionFollowsTheVisualStyleSeam) {
    PlatformScope scope;
    xtabPlatform().isWinXP = [] { return true; };
    xtabPlatform().themeName = [](wchar_t*, int, wchar_t* color, int colorChars, wchar_t*, int) -> long {
        wcsncpy(color, L" HomeStead ", static_cast<std::size_t>(colorChars));
        return 0;
    };
    Host h;
    EXPECT_EQ(h.tab->GetThemeInfo(), L"HomeStead");
    h.tab->setUseThemeDetection(true);
    EXPECT_EQ(h.tab->TabTheme(), 1);
    EXPECT_EQ(h.tab->HoverColor(), 5214691u);  // the HomeStead scheme's hover colour
    // Visual styles off: the query fails, which still counts as themed.
    xtabPlatform().themeName = [](wchar_t*, int, wchar_t*, int, wchar_t*, int) -> long { return 1; };
    EXPECT_EQ(h.tab->GetThemeInfo(), L"UxTheme_Error");
    xtabPlatform().isWinXP = [] { return false; };
    h.tab->Refresh();
    EXPECT_EQ(h.tab->TabTheme(), 0);
    EXPECT_EQ(h.tab->GetRGBFromOLE(0x80000000u | COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
}

// ---- the end ------------------------------------------------------------------------------------

TEST(XTabWin, CancelledUnloadTearsNothingDown) {
    Host h;
    h.form->QueryUnload = [](rt::UnloadReason) { return true; };
    EXPECT_FALSE(h.form->unload());
    EXPECT_TRUE(h.tab->state().bSubclassed);
    EXPECT_TRUE(h.tab->engine().records().started());
    const auto& recs = h.tab->engine().records();
    EXPECT_GE(recs.index(reinterpret_cast<std::uintptr_t>(h.hwnd()), false), 0);
}

TEST(XTabWin, UnloadGoesBackToTabZeroAndRemovesTheSubscriptions) {
    Host h;
    const auto formProc = GetClassLongPtrW(h.form->hwnd(), GCLP_WNDPROC);
    EXPECT_NE(GetWindowLongPtrW(h.form->hwnd(), GWLP_WNDPROC), formProc);  // subclassed while loaded
    h.tab->setActiveTab(2);
    h.events.clear();
    HWND formWindow = h.form->hwnd();
    EXPECT_TRUE(h.form->unload());
    EXPECT_EQ(h.events, (std::vector<std::string>{"before0", "switch2"}));
    EXPECT_FALSE(h.tab->state().bSubclassed);
    const auto& recs = h.tab->engine().records();
    EXPECT_LT(recs.index(reinterpret_cast<std::uintptr_t>(formWindow), false), 0);
    EXPECT_FALSE(IsWindow(formWindow));  // an unloaded form's window is gone
    // Its end at the control's own terminate finds nothing left to undo.
    h.events.clear();
    h.tab->terminate();
    EXPECT_TRUE(h.events.empty());
    SendMessageW(h.form->hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
}

TEST(XTabWin, DestroyingTheWindowsEndsTheSubscriptions) {
    Host h;
    h.tab->setActiveTab(1);
    HWND form = h.form->hwnd();
    const auto formClassProc = GetClassLongPtrW(form, GCLP_WNDPROC);
    // The control's own window goes first, with the form still there: the form's link is taken out.
    DestroyWindow(h.hwnd());
    EXPECT_FALSE(h.tab->state().bSubclassed);
    EXPECT_EQ(GetWindowLongPtrW(form, GWLP_WNDPROC), formClassProc);
    EXPECT_EQ(h.tab->ActiveTab(), 0);
    SendMessageW(form, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageW(form, WM_MOVING, 0, 0);
    EXPECT_EQ(h.count("Form is moving..."), 0);
}

TEST(XTabWin, RemovalWhileItsWindowDispatchesAndInAnyOrderWithPushButtons) {
    for (int order = 0; order < 3; ++order) {
        Host h;
        auto& a = h.form->add<ctl::XPButton>(L"a", {150, 3300, 1200, 375});
        a.load({});
        auto& b = h.form->add<ctl::XPButton>(L"b", {1500, 3300, 1200, 375});
        b.load({});
        int activations = 0;
        b.FormActivate = [&](int) { ++activations; };
        if (order == 0) h.tab->terminate();
        if (order == 1) a.terminate();
        if (order == 2) {
            // The control ends itself from inside a message of its own window: a host handler
            // of a switch triggered by the wheel unloads the form.
            h.tab->TabSwitch = [&](std::int16_t) { h.form->unload(); };
            SendMessageW(h.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
            EXPECT_FALSE(h.tab->state().bSubclassed);
        }
        activations = 0;
        SendMessageW(h.form->hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessageW(h.hwnd(), WM_MOUSEMOVE, 0, pointParam(3, 3));
        // An unloaded form has no window left to activate.
        if (order == 2) EXPECT_FALSE(h.form->loaded());
        else EXPECT_EQ(activations, 1) << order;
        h.tab->terminate();
        a.terminate();
        b.terminate();
    }
}

// ---- persistence --------------------------------------------------------------------------------

TEST(XTabWin, PicturesAndCaptionsSurviveTheBag) {
    Host h;
    std::vector<std::uint8_t> bgra(16 * 16 * 4, 0x40);
    auto pic = rt::Picture::fromPixels(16, 16, bgra);
    h.tab->setTabPicture(1, pic);
    h.tab->setTabCaption(1, L"&Pictured");
    rt::PropertyBag bag;
    h.tab->save(bag);
    Host back(bag);
    ASSERT_NE(back.tab->TabPicture(1), nullptr);
    EXPECT_EQ(back.tab->TabPicture(1)->width(), 16);
    EXPECT_EQ(back.tab->TabPicture(0), nullptr);
    EXPECT_EQ(back.tab->TabCaption(1), L"&Pictured");
    EXPECT_EQ(back.tab->Version(false), L"1.0.152");
    EXPECT_EQ(back.tab->Version(true), L"1.0.152 (3/11/2007 10:00:26 AM)");
}

// ---- screenshots --------------------------------------------------------------------------------

namespace {
// The control itself on a form, one screenshot per theme and state, under screenshots/ beside the
// test program.
void screenshotsOfStyle(int style) {
    const char* states[] = {"normal", "tab2", "hover", "focused", "disabled", "closebox"};
    {
        for (int theme = 0; theme <= 4; ++theme) {
            for (int st = 0; st < 6; ++st) {
                Host h;
                h.tab->setTabStyle(style);
                h.tab->setTabTheme(theme);
                h.tab->setTabCaption(0, L"기호");
                h.tab->setTabCaption(1, L"&Latin");
                h.tab->setTabCaption(2, L"선/단위");
                if (st == 1) h.tab->setActiveTab(2);
                if (st == 2) {
                    const Rect r = h.tabRect(1);
                    h.cursorTo(Host::midX(r), Host::midY(r));
                    SendMessageW(h.hwnd(), WM_MOUSEMOVE, 0, pointParam(Host::midX(r), Host::midY(r)));
                }
                if (st == 3) SetFocus(h.hwnd());
                if (st == 4) h.tab->setTabEnabled(1, false);
                if (st == 5) h.tab->setUseControlBox(true);
                pump(5);
                Capture c(h.hwnd());
                const std::wstring name = L"xtab_style" + std::to_wstring(style) + L"_theme" + std::to_wstring(theme) +
                                          L"_" + std::wstring(states[st], states[st] + strlen(states[st]));
                c.save(name);
                EXPECT_GT(c.width(), 0);
                SetCursorPos(0, 0);
            }
        }
    }
}
}  // namespace

TEST(XTabWin, ScreenshotsOfTheTabbedDialogStyle) { screenshotsOfStyle(0); }
TEST(XTabWin, ScreenshotsOfThePropertyPagesStyle) { screenshotsOfStyle(1); }

