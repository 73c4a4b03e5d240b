// The form as the palette's windows drive it: geometry in twips, owners, unloading from code, from
// the system menu and at the end of the logon session, and teardown from inside the form's own events.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "runtime/eventscope.h"
#include "runtime/form.h"
#include "runtime/services.h"
#include "runtime/timer.h"
#include "runtime/tests/win_support.h"

using namespace kelva::rt;
using kelva::testing::pointParam;
using kelva::testing::pump;
using kelva::testing::pumpUntil;
using kelva::testing::activate;
using kelva::testing::showAndActivate;

namespace {

FormLayout layoutAt(double left, double top, double w, double h, bool borderless = true) {
    FormLayout l = kelva::testing::testForm(L"form test", {left, top, w, h});
    l.borderless = borderless;
    return l;
}

// A user control that logs its life cycle into a shared log, so that the order of the form's and
// the control's steps shows.
class Logger : public UserControl {
public:
    explicit Logger(std::vector<std::wstring>& log) : log_(log) {}
    const wchar_t* typeName() const override { return L"Logger"; }
    std::wstring text;

protected:
    void initProperties() override { log_.push_back(name() + L" InitProperties"); }
    void readProperties(const PropertyBag& bag) override {
        text = bag.readString(L"Text", L"default");
        log_.push_back(name() + L" ReadProperties");
    }
    void onTerminate() override { log_.push_back(name() + L" Terminate"); }

private:
    std::vector<std::wstring>& log_;
};

}  // namespace

TEST(FormRunTime, AControlWithoutStoredDataReadsAnEmptyBag) {
    std::vector<std::wstring> log;
    Form form(layoutAt(1500, 1500, 4000, 3000));
    auto& stored = form.add<Logger>(L"stored", {0, 0, 900, 300}, nullptr, log);
    auto& fresh = form.add<Logger>(L"fresh", {0, 400, 900, 300}, nullptr, log);
    DesignNode design{L"Form", L"frm", {}, {}};
    DesignNode node{L"Logger", L"stored", {}, {}};
    node.props.write(L"Text", std::wstring(L"kept"));
    design.children.push_back(node);
    form.loadDesign(design);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"stored ReadProperties", L"fresh ReadProperties"}));
    EXPECT_EQ(stored.text, L"kept");
    EXPECT_EQ(fresh.text, L"default");
}

TEST(FormRunTime, GeometryCaptionStateOwnerAndTopMostInTwips) {
    Form owner(layoutAt(1500, 1500, 6690, 7425));
    EXPECT_DOUBLE_EQ(owner.width(), 6690);
    EXPECT_DOUBLE_EQ(owner.height(), 7425);
    EXPECT_DOUBLE_EQ(owner.left(), 1500);
    EXPECT_DOUBLE_EQ(owner.top(), 1500);
    EXPECT_DOUBLE_EQ(owner.scaleWidth(), 6690);  // borderless: the client is the whole window
    owner.setHeight(owner.height() - 1935);
    EXPECT_DOUBLE_EQ(owner.height(), 5490);
    owner.setLeft(3000);
    owner.setTop(2250);
    EXPECT_DOUBLE_EQ(owner.left(), 3000);
    EXPECT_DOUBLE_EQ(owner.top(), 2250);
    EXPECT_DOUBLE_EQ(owner.width(), 6690);
    owner.setCaption(L"Kelva 특수문자");
    EXPECT_EQ(owner.caption(), L"Kelva 특수문자");
    owner.show();
    pump(20);
    owner.setWindowState(WindowState::Minimized);
    pump(20);
    EXPECT_EQ(owner.windowState(), WindowState::Minimized);
    EXPECT_DOUBLE_EQ(owner.left(), 3000);  // where it comes back to
    owner.setWindowState(WindowState::Normal);
    pump(20);
    EXPECT_EQ(owner.windowState(), WindowState::Normal);
    owner.setTopMost(true);
    EXPECT_TRUE(owner.topMost());
    owner.setTopMost(false);
    EXPECT_FALSE(owner.topMost());

    Form framed(layoutAt(1500, 1500, 4500, 3000, false));
    EXPECT_LT(framed.scaleHeight(), framed.height());  // the caption bar is not client area
    Form options(layoutAt(1500, 1500, 4500, 3000));
    options.show(owner);
    EXPECT_EQ(GetWindow(options.hwnd(), GW_OWNER), owner.hwnd());
    EXPECT_TRUE(IsWindowVisible(options.hwnd()));
}

TEST(FormRunTime, SystemMenuCloseIsRefusedButTheEndOfTheSessionSaves) {
    const std::wstring app = L"KelvaFormTest" + std::to_wstring(GetCurrentProcessId());
    Form form(layoutAt(1500, 1500, 4000, 3000));
    form.show();
    std::vector<UnloadReason> asked;
    int unloads = 0;
    // The palette's pattern: refuse the system menu, save on any other way out.
    form.QueryUnload = [&](UnloadReason r) {
        asked.push_back(r);
        if (r == UnloadReason::FormControlMenu) return true;
        saveSetting(app, L"Option", L"Top", std::to_wstring(static_cast<int>(form.top())));
        return false;
    };
    form.Unload = [&] { ++unloads; };
    SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(form.loaded());
    EXPECT_EQ(getSetting(app, L"Option", L"Top"), L"");
    EXPECT_EQ(SendMessageW(form.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(getSetting(app, L"Option", L"Top"), L"1500");
    EXPECT_EQ(unloads, 0);
    // Another program refused the logoff: nothing more happens.
    SendMessageW(form.hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(unloads, 0);
    EXPECT_TRUE(form.loaded());
    SendMessageW(form.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageW(form.hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(asked, (std::vector<UnloadReason>{UnloadReason::FormControlMenu, UnloadReason::AppWindows,
                                                UnloadReason::AppWindows}));
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\VB and VBA Program Settings\\" + app).c_str());
}

TEST(FormRunTime, AFormThatRefusesStopsTheLogoff) {
    Form form(layoutAt(1500, 1500, 4000, 3000));
    form.QueryUnload = [](UnloadReason) { return true; };
    EXPECT_EQ(SendMessageW(form.hwnd(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_TRUE(form.loaded());
    // A close from another program is a request from outside, not from the system menu.
    std::vector<UnloadReason> asked;
    form.QueryUnload = [&](UnloadReason r) {
        asked.push_back(r);
        return false;
    };
    SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, std::vector<UnloadReason>{UnloadReason::AppTaskManager});
    EXPECT_FALSE(form.loaded());
}

TEST(FormRunTime, UnloadFromInsideAnEventWaitsForTheEventToReturn) {
    std::vector<std::wstring> log;
    auto form = std::make_unique<Form>(layoutAt(1500, 1500, 4000, 3000));
    form->add<Logger>(L"probe", {0, 0, 900, 300}, nullptr, log);
    form->loadDesign({});
    form->show();
    HWND window = form->hwnd();
    form->Unload = [&] { log.push_back(L"Unload"); };
    // The owner lets go of the form once it is gone: the last thing the form does.
    form->Unloaded = [&] {
        log.push_back(L"Unloaded");
        form.reset();
    };
    form->MouseDown = [&](const MouseArgs&) {
        EXPECT_TRUE(form->unload());
        log.push_back(L"event goes on");
        EXPECT_TRUE(IsWindow(window));  // still there while the event runs
    };
    log.clear();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, pointParam(5, 5));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"Unload", L"event goes on", L"probe Terminate", L"Unloaded"}));
    EXPECT_FALSE(form);
    EXPECT_FALSE(IsWindow(window));
}

TEST(FormRunTime, AnOwnerThatUnloadsTakesItsOwnedFormsAlong) {
    Form owner(layoutAt(1500, 1500, 4000, 3000));
    Form about(layoutAt(1800, 1800, 2000, 1500));
    about.show(owner);
    std::vector<UnloadReason> asked;
    about.QueryUnload = [&](UnloadReason r) {
        asked.push_back(r);
        return false;
    };
    int unloads = 0;
    about.Unload = [&] { ++unloads; };
    EXPECT_TRUE(owner.unload());
    EXPECT_FALSE(about.loaded());
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(asked, std::vector<UnloadReason>{UnloadReason::FormOwner});
}

TEST(TimerRunTime, ATimerGoneBeforeItsQueuedTickDoesNothing) {
    int ticks = 0;
    auto t = std::make_unique<Timer>();
    t->Tick = [&] { ++ticks; };
    t->setInterval(10);
    t->setEnabled(true);
    const UINT_PTR id = t->id();
    HWND host = FindWindowExW(HWND_MESSAGE, nullptr, L"KelvaTimerHost", nullptr);
    ASSERT_NE(host, nullptr);
    t.reset();
    PostMessageW(host, WM_TIMER, id, 0);
    pump(30);
    EXPECT_EQ(ticks, 0);
    // A timer that ends itself in its own tick, and one that restarts itself.
    auto self = std::make_unique<Timer>();
    self->Tick = [&] {
        ++ticks;
        self.reset();
    };
    self->setInterval(10);
    self->setEnabled(true);
    for (int i = 0; i < 50 && self; ++i) pump(10);
    EXPECT_FALSE(self);
    EXPECT_EQ(ticks, 1);
}

TEST(IntrinsicEvents, LabelMouseInTwipsAndClick) {
    Form form(layoutAt(1500, 1500, 6000, 3000));
    auto& lbl = form.add<StdControl>(L"lblTop", {0, 0, 3000, 420}, nullptr, StdControl::Kind::Label);
    lbl.setText(L"Kelva 특수문자");
    showAndActivate(form);
    std::vector<std::wstring> log;
    auto at = [](const MouseArgs& a) { return std::to_wstring(a.button) + L"@" + std::to_wstring(static_cast<int>(a.x)) +
                                              L"," + std::to_wstring(static_cast<int>(a.y)); };
    lbl.MouseDown = [&](const MouseArgs& a) { log.push_back(L"down " + at(a)); };
    lbl.MouseMove = [&](const MouseArgs& a) { log.push_back(L"move " + at(a)); };
    lbl.MouseUp = [&](const MouseArgs& a) { log.push_back(L"up " + at(a)); };
    lbl.Click = [&] { log.push_back(L"click"); };
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    SendMessageW(lbl.hwnd(), WM_MOUSEMOVE, 0, pointParam(4, 2));
    SendMessageW(lbl.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(4, 2));
    SendMessageW(lbl.hwnd(), WM_LBUTTONUP, 0, pointParam(6, 3));
    SendMessageW(lbl.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, pointParam(6, 3));
    SendMessageW(lbl.hwnd(), WM_RBUTTONUP, 0, pointParam(6, 3));
    auto p = [&](int b, int x, int y) {
        return std::to_wstring(b) + L"@" + std::to_wstring(static_cast<int>(x * tx)) + L"," +
               std::to_wstring(static_cast<int>(y * ty));
    };
    EXPECT_EQ(log, (std::vector<std::wstring>{L"move " + p(0, 4, 2), L"down " + p(1, 4, 2), L"up " + p(1, 6, 3), L"click",
                                              L"down " + p(2, 6, 3), L"up " + p(2, 6, 3)}));
    EXPECT_EQ(GetCapture(), nullptr);
    // The form's own surface reports the mouse too (the about box's link colour follows it).
    std::vector<double> formMoves;
    form.MouseMove = [&](const MouseArgs& a) { formMoves.push_back(a.x); };
    SendMessageW(form.hwnd(), WM_MOUSEMOVE, 0, pointParam(300, 100));
    EXPECT_EQ(formMoves, std::vector<double>{300 * tx});
}

TEST(IntrinsicEvents, OptionButtonsTextAndComboBoxes) {
    Form form(layoutAt(1500, 1500, 6000, 4000));
    auto& optNew = form.add<StdControl>(L"optNew", {120, 120, 2500, 255}, nullptr, StdControl::Kind::OptionButton);
    auto& optBack = form.add<StdControl>(L"optBack", {120, 420, 2500, 255}, nullptr, StdControl::Kind::OptionButton);
    auto& tb = form.add<StdControl>(L"tbHeight", {120, 900, 1500, 300}, nullptr, StdControl::Kind::TextBox);
    auto& cob = form.add<StdControl>(L"cobFont", {120, 1500, 2500, 300}, nullptr, StdControl::Kind::ComboBox);
    showAndActivate(form);
    std::vector<std::wstring> log;
    optNew.Click = [&] { log.push_back(L"optNew"); };
    optBack.Click = [&] { log.push_back(L"optBack"); };
    optNew.setValue(1);  // from code: chosen, Click
    SendMessageW(optBack.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(3, 3));
    SendMessageW(optBack.hwnd(), WM_LBUTTONUP, 0, pointParam(3, 3));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"optNew", L"optBack"}));
    EXPECT_EQ(optNew.value(), 0);
    EXPECT_EQ(optBack.value(), 1);
    optNew.setValue(1);
    EXPECT_EQ(optBack.value(), 0);

    log.clear();
    tb.GotFocus = [&] { log.push_back(L"tb focus"); };
    tb.Change = [&] { log.push_back(L"tb change " + tb.text()); };
    tb.KeyPress = [&](int& a) {
        log.push_back(L"tb key " + std::wstring(1, static_cast<wchar_t>(a)));
        if (a == 'x') a = 0;  // dropped
    };
    cob.GotFocus = [&] { log.push_back(L"cob focus"); };
    cob.Change = [&] { log.push_back(L"cob change " + cob.text()); };
    cob.Click = [&] { log.push_back(L"cob click " + cob.text()); };
    cob.KeyPress = [&](int& a) { log.push_back(L"cob key " + std::wstring(1, static_cast<wchar_t>(a))); };
    SetFocus(tb.hwnd());
    PostMessageW(tb.hwnd(), WM_CHAR, '3', 1);
    PostMessageW(tb.hwnd(), WM_CHAR, 'x', 1);
    pump(20);
    EXPECT_EQ(tb.text(), L"3");
    cob.addItem(L"굴림");
    cob.addItem(L"돋움");
    EXPECT_EQ(cob.listCount(), 2);
    EXPECT_EQ(cob.list(1), L"돋움");
    SetFocus(cob.hwnd());
    pump(10);
    PostMessageW(GetFocus(), WM_CHAR, 'A', 1);
    pump(20);
    cob.setListIndex(1);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"tb focus", L"tb key 3", L"tb change 3", L"tb key x", L"cob focus",
                                              L"cob key A", L"cob change A", L"cob click 돋움"}));
}

// A top-most form keeps its tips: the tip window is nobody's popup (an owned top-most one keeps its owner from
// becoming top-most), so the form itself takes it away, whichever way its window goes.
TEST(IntrinsicEvents, TheTipWindowBelongsToNoWindowAndGoesWithTheForm) {
    for (const bool byUnload : {true, false}) {
        SCOPED_TRACE(byUnload ? "unloaded" : "window destroyed");
        Form form(layoutAt(1500, 1500, 6000, 4000));
        auto& img = form.add<Image>(L"imgMini", {3600, 300, 255, 255});
        showAndActivate(form);
        img.setToolTipText(L"최소화");
        HWND tip = form.toolTipWindow();
        ASSERT_TRUE(tip && IsWindow(tip));
        EXPECT_EQ(GetWindow(tip, GW_OWNER), nullptr);
        form.setTopMost(true);
        pump(10);
        EXPECT_TRUE(form.topMost());
        if (byUnload)
            EXPECT_TRUE(form.unload());
        else
            DestroyWindow(form.hwnd());
        EXPECT_FALSE(IsWindow(tip));
        EXPECT_EQ(form.toolTipWindow(), nullptr);
    }
}

TEST(IntrinsicEvents, ToolTipAppearsOverAPictureBoxAndAnImage) {
    Form form(layoutAt(1500, 1500, 6000, 4000));
    auto& pic = form.add<PictureBox>(L"picMap", {300, 300, 3000, 1500});
    auto& img = form.add<Image>(L"imgMini", {3600, 300, 255, 255});
    showAndActivate(form);
    pic.setToolTipText(L"더블 클릭시 클립보드로 복사");
    img.setToolTipText(L"최소화");
    EXPECT_EQ(pic.toolTipText(), L"더블 클릭시 클립보드로 복사");
    auto shownTip = [&](Control& c) -> std::wstring {
        // The tip of the control the mouse was over before goes first.
        if (HWND tip = form.toolTipWindow()) SendMessageW(tip, TTM_POP, 0, 0);
        // The mouse arrives and rests: the tip shows after the initial delay.
        DWORD arrived = 0;
        const auto arrive = [&] {
            RECT rc;
            GetWindowRect(c.hwnd(), &rc);
            SetCursorPos(rc.left + 5, rc.top + 5);
            PostMessageW(c.hwnd(), WM_MOUSEMOVE, 0, pointParam(5, 5));
            arrived = GetTickCount();
        };
        arrive();
        wchar_t text[128] = {};
        pumpUntil([&] {
            // A program started beside the test (tests run side by side) can take the foreground or
            // the tip away before it shows: the user comes back and rests the mouse on the control again.
            if (GetTickCount() - arrived > 1500) {
                activate(form.hwnd());
                arrive();
            }
            HWND tip = form.toolTipWindow();
            if (!tip || !IsWindowVisible(tip)) return false;
            SendMessageW(tip, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text));
            return text[0] != 0;
        });
        return text;
    };
    EXPECT_EQ(shownTip(pic), L"더블 클릭시 클립보드로 복사");
    EXPECT_EQ(shownTip(img), L"최소화");
    // An empty text takes the tip away.
    EXPECT_TRUE(pic.setProperty(L"ToolTipText", std::wstring()));
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = form.hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(pic.hwnd());
    EXPECT_FALSE(SendMessageW(form.toolTipWindow(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
}
