#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "runtime/form.h"
#include "runtime/picturebox.h"
#include "runtime/services.h"
#include "runtime/subclass.h"
#include "runtime/timer.h"
#include "runtime/tests/win_support.h"

using namespace kelva::rt;
using kelva::testing::Capture;
using kelva::testing::pointParam;
using kelva::testing::pump;

namespace {

FormLayout testLayout(double w = 6000, double h = 4000) {
    return kelva::testing::testForm(L"runtime test", {1500, 1500, w, h});
}

// A user control that records its life cycle.
class Probe : public UserControl {
public:
    const wchar_t* typeName() const override { return L"Probe"; }
    std::vector<std::wstring> log;
    std::wstring text = L"new";

protected:
    void initProperties() override {
        log.push_back(L"InitProperties");
        text = L"init";
        propertyChanged(L"Text");
    }
    void readProperties(const PropertyBag& bag) override {
        log.push_back(L"ReadProperties");
        text = bag.readString(L"Text", L"default");
    }
    void writeProperties(PropertyBag& bag) override {
        log.push_back(L"WriteProperties");
        bag.write(L"Text", text, std::wstring(L"default"));
    }
    void onShow() override { log.push_back(L"Show"); }
    void onResize() override { log.push_back(L"Resize"); }
    void onTerminate() override { log.push_back(L"Terminate"); }
    void onAmbientChanged(std::wstring_view n) override { log.push_back(L"Ambient " + std::wstring(n)); }
    void onAccessKeyPress(wchar_t k) override { log.push_back(std::wstring(L"Key ") + k); }
};

}  // namespace

TEST(PictureBox, LinesLeaveOutTheEndPointAndClsRestoresTheBackColour) {
    Form form(testLayout());
    auto& pic = form.add<PictureBox>(L"pic", {0, 0, 1500, 1500});
    pic.setAutoRedraw(true);
    pic.surface().setBackColor(0xFFFFFF);
    pic.surface().line(15, 150, 150, 150, 0x0000FF);  // pixels 1..9 of row 10
    pic.refresh();
    form.show();
    Capture c(pic.hwnd());
    EXPECT_EQ(c.at(1, 10), 0x0000FFu);
    EXPECT_EQ(c.at(9, 10), 0x0000FFu);
    EXPECT_EQ(c.at(10, 10), 0xFFFFFFu);  // the end point
    EXPECT_EQ(c.at(0, 10), 0xFFFFFFu);
    pic.surface().cls();
    pic.refresh();
    EXPECT_EQ(Capture(pic.hwnd()).at(5, 10), 0xFFFFFFu);
}

TEST(PictureBox, TextMeasuresAndMouseInScaleUnits) {
    Form form(testLayout());
    auto& pic = form.add<PictureBox>(L"pic", {0, 0, 3000, 1500});  // 200 x 100 pixels
    auto& s = pic.surface();
    const double twips = s.textWidth(L"가나다");
    s.scale().setMode(ScaleMode::Pixels);
    const double px = s.textWidth(L"가나다");
    EXPECT_GT(px, 10);
    EXPECT_DOUBLE_EQ(twips, px * 15);
    EXPECT_GT(s.textHeight(L"가"), 5);
    s.scale().setUserScale(0, 0, 19, 10);
    MouseArgs got;
    pic.MouseDown = [&](const MouseArgs& a) { got = a; };
    SendMessageW(pic.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, pointParam(100, 50));
    SendMessageW(pic.hwnd(), WM_RBUTTONUP, 0, pointParam(100, 50));
    EXPECT_EQ(got.button, 2);
    EXPECT_DOUBLE_EQ(got.x, 9.5);
    EXPECT_DOUBLE_EQ(got.y, 5);
    // Print moves to the next line and back to the left edge
    s.currentX = 3;
    s.print(L"x");
    EXPECT_EQ(s.currentX, 0);
    EXPECT_GT(s.currentY, 0);
}

TEST(PictureBox, ClickNeedsPressAndReleaseInside) {
    Form form(testLayout());
    auto& pic = form.add<PictureBox>(L"pic", {0, 0, 1500, 1500});
    int clicks = 0, dbl = 0;
    pic.Click = [&] { ++clicks; };
    pic.DblClick = [&] { ++dbl; };
    SendMessageW(pic.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(5, 5));
    SendMessageW(pic.hwnd(), WM_LBUTTONUP, 0, pointParam(5, 5));
    SendMessageW(pic.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(5, 5));
    SendMessageW(pic.hwnd(), WM_LBUTTONUP, 0, pointParam(500, 5));
    SendMessageW(pic.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(5, 5));
    SendMessageW(pic.hwnd(), WM_LBUTTONUP, 0, pointParam(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dbl, 1);
}

TEST(PictureBox, OnlyTheLeftButtonDoubleClicks) {
    Form form(testLayout());
    auto& pic = form.add<PictureBox>(L"pic", {0, 0, 1500, 1500});
    std::vector<int> downs, ups;
    int dbl = 0;
    pic.MouseDown = [&](const MouseArgs& a) { downs.push_back(a.button); };
    pic.MouseUp = [&](const MouseArgs& a) { ups.push_back(a.button); };
    pic.DblClick = [&] { ++dbl; };
    for (auto [down, dblclk, up, key] : {std::tuple{WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP, MK_RBUTTON},
                                         std::tuple{WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_MBUTTONUP, MK_MBUTTON}}) {
        SendMessageW(pic.hwnd(), down, key, pointParam(5, 5));
        SendMessageW(pic.hwnd(), up, 0, pointParam(5, 5));
        SendMessageW(pic.hwnd(), dblclk, key, pointParam(5, 5));
        SendMessageW(pic.hwnd(), up, 0, pointParam(5, 5));
    }
    EXPECT_EQ(downs, (std::vector<int>{2, 2, 4, 4}));
    EXPECT_EQ(ups, (std::vector<int>{2, 2, 4, 4}));
    EXPECT_EQ(dbl, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Picture, PixelsSurviveTheStoredForm) {
    std::vector<std::uint8_t> px(3 * 2 * 4, 0);
    px[0 * 4 + 2] = 255;  // top-left red
    px[5 * 4 + 0] = 255;  // bottom-right blue
    auto pic = Picture::fromPixels(3, 2, px);
    ASSERT_TRUE(pic);
    auto data = pic->toData();
    auto back = Picture::fromData(data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 3);
    EXPECT_EQ(back->height(), 2);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 3, 2);
    HGDIOBJ old = SelectObject(mem, bmp);
    back->draw(mem, 0, 0, 3, 2);
    EXPECT_EQ(GetPixel(mem, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 2, 1), RGB(0, 0, 255));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    // truncated or foreign bytes are no picture, never a read past the end
    data.bmp.resize(data.bmp.size() - 1);
    EXPECT_FALSE(Picture::fromData(data));
    EXPECT_FALSE(Picture::fromData(PictureData{{'B', 'M', 1, 2}}));
}

TEST(Form, LayoutInTwipsAndExactControlPositions) {
    Form form(testLayout(6690, 5490));
    RECT rc;
    GetWindowRect(form.hwnd(), &rc);
    EXPECT_EQ(rc.right - rc.left, 446);
    EXPECT_EQ(rc.bottom - rc.top, 366);
    auto& pic = form.add<PictureBox>(L"picMap", {60, 420, 6315, 3195});
    GetWindowRect(pic.hwnd(), &rc);
    EXPECT_EQ(rc.right - rc.left, 421);
    pic.setLeft(67.5);  // 4.5 px: placed at 4, kept exactly
    EXPECT_EQ(pic.rect().left, 67.5);
    POINT p{0, 0};
    MapWindowPoints(pic.hwnd(), form.hwnd(), &p, 1);
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(form.control(L"PICMAP"), &pic);
    EXPECT_TRUE(pic.setProperty(L"Visible", false));
    EXPECT_FALSE(pic.visible());
    EXPECT_FALSE(pic.setProperty(L"NoSuchProperty", 1));
}

TEST(UserControlHost, LifeCycleAmbientAndAccessKeys) {
    std::vector<std::wstring> seen;
    {
        Form form(testLayout());
        auto& fresh = form.add<Probe>(L"probe1", {0, 0, 1500, 500});
        auto& stored = form.add<Probe>(L"probe2", {0, 600, 1500, 500});
        DesignNode design{L"Form", L"frm", {}, {}};
        DesignNode node{L"Probe", L"probe2", {}, {}};
        node.props.write(L"Text", std::wstring(L"stored"));
        design.children.push_back(node);
        // In a designer a control without stored data starts as a new instance.
        form.setUserMode(false);
        form.loadDesign(design);
        form.setUserMode(true);
        EXPECT_EQ(fresh.text, L"init");
        EXPECT_EQ(stored.text, L"stored");
        EXPECT_EQ(fresh.changedProperties(), std::vector<std::wstring>{L"Text"});
        EXPECT_TRUE(fresh.ambient().userMode);
        EXPECT_EQ(fresh.ambient().font.name, L"굴림");
        form.setDefaultControl(&stored);
        EXPECT_TRUE(stored.ambient().displayAsDefault);
        EXPECT_FALSE(fresh.ambient().displayAsDefault);
        stored.setAccessKeys(L"w");
        form.show();
        SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_KEYMENU, L'W');
        EXPECT_EQ(stored.log.back(), L"Key W");
        auto saved = form.saveDesign(L"Form", L"frm");
        ASSERT_EQ(saved.children.size(), 2u);
        EXPECT_EQ(saved.children[0].props.readString(L"Text", L""), L"init");
        EXPECT_EQ(saved.children[1].props.readString(L"Text", L""), L"stored");
        stored.log.clear();
        fresh.log.clear();
        fresh.setHeight(900);
        EXPECT_EQ(fresh.log, std::vector<std::wstring>{L"Resize"});
        stored.PropertyChangedHandler = [&](std::wstring_view) { seen.push_back(L"changed"); };
        form.setDefaultControl(nullptr);
        EXPECT_EQ(stored.log.back(), L"Ambient DisplayAsDefault");
    }
}

TEST(UserControlHost, TerminateRunsOnceBeforeTheWindowGoes) {
    auto form = std::make_unique<Form>(testLayout());
    auto& p = form->add<Probe>(L"p", {0, 0, 1500, 500});
    p.initNew();
    p.terminate();
    p.terminate();
    const auto copy = p.log;
    EXPECT_EQ(std::count(copy.begin(), copy.end(), L"Terminate"), 1);
    EXPECT_EQ(copy.front(), L"InitProperties");
    EXPECT_EQ(copy[1], L"Resize");
    EXPECT_EQ(copy[2], L"Show");
    form.reset();  // a second Terminate does not run
}

namespace {
// Hooks of the subclassing test, and what they saw.
std::wstring hookLog;
LRESULT CALLBACK hookA(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR ref) {
    if (m == WM_USER) hookLog += L"A" + std::to_wstring(id) + L"." + std::to_wstring(ref) + L" ";
    if (m == WM_USER + 2) hookLog += L"a ";
    if (m == WM_USER + 1) removeWindowSubclass(h, hookA, 1);  // the hook below B goes mid-message
    return defSubclassProc(h, m, w, l);
}
LRESULT CALLBACK hookB(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (m == WM_USER) hookLog += L"B ";
    if (m == WM_USER + 2) SendMessageW(h, WM_USER, 0, 0);  // a message inside a message
    if (m == WM_NCDESTROY) hookLog += L"B-gone ";
    return defSubclassProc(h, m, w, l);
}
LRESULT CALLBACK comctlHook(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (m == WM_USER) hookLog += L"C ";
    return DefSubclassProc(h, m, w, l);
}
}  // namespace

// The subclassing service keeps comctl32's contract: the hook set last runs first and each passes
// the message down; hooks go in any order, also from inside a message and below a comctl32 hook
// set over them; the window may be destroyed while hooked.
TEST(Services, SubclassChainsRunLatestFirstAndLetHooksGoInAnyOrder) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const auto own = GetWindowLongPtrW(window, GWLP_WNDPROC);
    ASSERT_TRUE(setWindowSubclass(window, hookA, 1, 10));
    ASSERT_TRUE(setWindowSubclass(window, hookB, 2, 0));
    ASSERT_TRUE(setWindowSubclass(window, hookA, 1, 11));  // the same hook again: new data, same place
    SendMessageW(window, WM_USER, 0, 0);
    EXPECT_EQ(hookLog, L"B A1.11 ");
    hookLog.clear();
    SendMessageW(window, WM_USER + 2, 0, 0);
    EXPECT_EQ(hookLog, L"B A1.11 a ");
    hookLog.clear();
    SendMessageW(window, WM_USER + 1, 0, 0);
    SendMessageW(window, WM_USER, 0, 0);
    EXPECT_EQ(hookLog, L"B ");
    hookLog.clear();
    ASSERT_TRUE(SetWindowSubclass(window, comctlHook, 3, 0));
    EXPECT_TRUE(removeWindowSubclass(window, hookB, 2));
    EXPECT_FALSE(removeWindowSubclass(window, hookB, 2));
    SendMessageW(window, WM_USER, 0, 0);
    EXPECT_EQ(hookLog, L"C ");
    hookLog.clear();
    ASSERT_TRUE(RemoveWindowSubclass(window, comctlHook, 3));
    ASSERT_TRUE(setWindowSubclass(window, hookB, 2, 0));
    DestroyWindow(window);
    EXPECT_EQ(hookLog, L"B-gone ");
    EXPECT_FALSE(setWindowSubclass(window, hookB, 2, 0));
    // Without hooks or anything set over them, a window gets its own procedure back.
    HWND second = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(setWindowSubclass(second, hookB, 2, 0));
    EXPECT_TRUE(removeWindowSubclass(second, hookB, 2));
    EXPECT_EQ(GetWindowLongPtrW(second, GWLP_WNDPROC), own);
    DestroyWindow(second);
}

TEST(Services, SettingsStoreRoundTrip) {
    const std::wstring app = L"KelvaRuntimeTest" + std::to_wstring(GetCurrentProcessId());
    EXPECT_EQ(getSetting(app, L"Option", L"Favorite", L"㎡㎥"), L"㎡㎥");
    ASSERT_TRUE(saveSetting(app, L"Option", L"Favorite", L"√×²³Φ"));
    EXPECT_EQ(getSetting(app, L"Option", L"Favorite"), L"√×²³Φ");
    EXPECT_EQ(getSetting(app, L"Other", L"Favorite", L"d"), L"d");  // sections are apart
    EXPECT_TRUE(deleteSetting(app, L"Option", L"Favorite"));
    EXPECT_EQ(getSetting(app, L"Option", L"Favorite", L"gone"), L"gone");
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\VB and VBA Program Settings\\" + app).c_str());
}

TEST(Services, MessageBoxSeamAnswersInsteadOfAWindow) {
    MessageBoxRequest seen;
    setMessageBoxAnswerer([&](const MessageBoxRequest& r) {
        seen = r;
        return IDCANCEL;
    });
    EXPECT_EQ(msgBox({nullptr, L"AutoCAD를 실행 후 사용해 주십시오  ", L"Kelva 특수문자", MB_OK}), IDCANCEL);
    EXPECT_EQ(seen.text, L"AutoCAD를 실행 후 사용해 주십시오  ");
    EXPECT_EQ(seen.title, L"Kelva 특수문자");
    setMessageBoxAnswerer(nullptr);
}

TEST(Services, ClipboardCarriesKoreanText) {
    ASSERT_TRUE(setClipboardText(L"가※㎡"));
    EXPECT_EQ(clipboardText(), std::optional<std::wstring>(L"가※㎡"));
    ASSERT_TRUE(setClipboardText(L""));
    EXPECT_EQ(clipboardText(), std::optional<std::wstring>(L""));
}

TEST(Services, TimerTicksWhileEnabled) {
    Timer t;
    int ticks = 0;
    t.Tick = [&] { ++ticks; };
    t.setInterval(10);
    pump(60);
    EXPECT_EQ(ticks, 0);
    t.setEnabled(true);
    pump(120);
    EXPECT_GT(ticks, 0);
    t.setEnabled(false);
    const int at = ticks;
    pump(60);
    EXPECT_EQ(ticks, at);
}

TEST(Services, DoEventsRunsPostedMessages) {
    Form form(testLayout());
    int activations = 0;
    form.Activate = [&](bool) { ++activations; };
    doEvents();
    const int before = activations;
    PostMessageW(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(activations, before);
    doEvents();
    EXPECT_EQ(activations, before + 1);
}

TEST(Form, CloseFromTheSystemMenuCanBeRefused) {
    Form form(testLayout());
    form.show();
    int unloads = 0;
    form.QueryUnload = [](UnloadReason r) { return r == UnloadReason::FormControlMenu; };
    form.Unload = [&] { ++unloads; };
    std::vector<bool> hooked;
    const int hook = form.hookQueryUnload([&](bool cancelled, UnloadReason) { hooked.push_back(cancelled); });
    SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(unloads, 0);
    EXPECT_EQ(hooked, std::vector<bool>{true});  // hooks see the host's verdict
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));
    EXPECT_TRUE(form.unload());
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(hooked, (std::vector<bool>{true, false}));
    form.unhookQueryUnload(hook);
    EXPECT_FALSE(IsWindowVisible(form.hwnd()));
}

TEST(Form, IntrinsicControlsColoursImagesAndTopMost) {
    FormLayout l = testLayout();
    l.backColor = 0xFFFFFF;
    Form form(l);
    auto& label = form.add<StdControl>(L"lblTop", {0, 0, 1500, 420}, nullptr, StdControl::Kind::Label);
    label.setText(L"");
    label.setBackColor(0x404040);
    auto& img = form.add<Image>(L"imgIcon", {1500, 0, 450, 450});
    std::vector<std::uint8_t> red(4 * 4 * 4, 0);
    for (std::size_t i = 2; i < red.size(); i += 4) red[i] = 255;
    img.setImage(Picture::fromPixels(4, 4, red));
    form.show();
    EXPECT_EQ(Capture(label.hwnd()).at(10, 10), 0x404040u);
    Capture plain(img.hwnd());
    EXPECT_EQ(plain.at(1, 1), 0x0000FFu);
    EXPECT_NE(plain.at(20, 20), 0x0000FFu);  // not stretched: the rest is the back colour
    img.setStretch(true);
    EXPECT_EQ(Capture(img.hwnd()).at(20, 20), 0x0000FFu);
    form.setTopMost(true);
    EXPECT_TRUE(GetWindowLongW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    form.setTopMost(false);
    EXPECT_FALSE(GetWindowLongW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(label.setProperty(L"Caption", std::wstring(L"Kelva 특수문자")));
    EXPECT_EQ(label.text(), L"Kelva 특수문자");
}
