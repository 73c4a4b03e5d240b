// The controls on forms as the palette's windows use them: created from stored design data and new
// at run time, Tab order and key routing, and windows that close from inside their own events.
#include <gtest/gtest.h>

#include <memory>

#include "controls/check.h"
#include "controls/xframe.h"
#include "controls/xpbutton.h"
#include "runtime/form.h"
#include "runtime/tests/win_support.h"

using namespace kelva;
using namespace kelva::ctl;
using namespace kelva::testing;

namespace {

rt::FormLayout layout(double w = 7200, double h = 4500) { return testForm(L"hosting test", {900, 900, w, h}); }

void click(HWND h, int x = 10, int y = 5) {
    send(h, WM_MOUSEMOVE, x, y);
    send(h, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    send(h, WM_LBUTTONUP, x, y);
}

// A key typed on the keyboard: it reaches the window with the focus through the message queue,
// and TranslateMessage makes its character.
void type(WORD vk, bool shift = false) {
    std::vector<INPUT> in;
    auto add = [&](WORD k, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(k, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (shift) add(VK_SHIFT, false);
    add(vk, false);
    add(vk, true);
    if (shift) add(VK_SHIFT, true);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    pump(40);
}

bool subclassesBoth(const XPButton& b, HWND form) {
    int windows = 0;
    for (int i = 0; i < b.engine().records().size(); ++i) {
        const auto w = reinterpret_cast<HWND>(b.engine().records().at(i).window);
        windows += (w == b.hwnd()) + (w == form);
    }
    return windows == 2;
}

}  // namespace

TEST(HostedControls, EachControlWorksCreatedFromItsDesignNodeAndNew) {
    rt::Form form(layout());
    auto& stored = form.add<XPButton>(L"cbStored", {300, 300, 1200, 375});
    auto& fresh = form.add<XPButton>(L"cbFresh", {1800, 300, 1200, 375});
    auto& chkStored = form.add<Check>(L"chkStored", {300, 900, 1500, 255});
    auto& chkFresh = form.add<Check>(L"chkFresh", {300, 1300, 1500, 255});
    auto& frmStored = form.add<XFrame>(L"xStored", {300, 1800, 3000, 1000});
    auto& frmFresh = form.add<XFrame>(L"xFresh", {3600, 1800, 3000, 1000});
    rt::DesignNode design{L"Form", L"frmTest", {}, {}};
    rt::DesignNode b{L"ccXPButton", L"cbStored", {}, {}};
    b.props.write(L"Caption", std::wstring(L"문자 쓰기"));
    rt::DesignNode c{L"Check", L"chkStored", {}, {}};
    c.props.write(L"Value", std::int32_t{1});
    rt::DesignNode x{L"xFrame", L"xStored", {}, {}};
    x.props.write(L"Enabled", true);
    x.props.write(L"Caption", std::wstring(L"AutoCAD에 문자 쓰기"));
    design.children = {b, c, x};
    form.loadDesign(design);
    showAndActivate(form);

    int clicks[6] = {};
    stored.Click = [&] { ++clicks[0]; };
    fresh.Click = [&] { ++clicks[1]; };
    chkStored.Click = [&] { ++clicks[2]; };
    chkFresh.Click = [&] { ++clicks[3]; };
    frmStored.Click = [&] { ++clicks[4]; };
    frmFresh.Click = [&] { ++clicks[5]; };

    for (XPButton* button : {&stored, &fresh}) {
        EXPECT_TRUE(subclassesBoth(*button, form.hwnd())) << button->name().c_str();
        EXPECT_TRUE(button->model().formActive);
        send(button->hwnd(), WM_MOUSEMOVE, 10, 10);
        EXPECT_EQ(button->state(), button::Hot);  // hover repaints
        click(button->hwnd());
    }
    EXPECT_EQ(fresh.Caption(), L"&OK");
    for (Check* box : {&chkStored, &chkFresh}) {
        EXPECT_TRUE(box->timerRunning());
        click(box->pictureWindow(), 5, 5);
    }
    EXPECT_EQ(chkStored.Value(), 0);
    EXPECT_EQ(chkFresh.Value(), 1);
    EXPECT_FALSE(frmFresh.Enabled());  // "Enabled" reads False when nothing is stored
    for (XFrame* f : {&frmStored, &frmFresh}) click(f->header().hwnd());
    for (int i = 0; i < 6; ++i) EXPECT_EQ(clicks[i], 1) << i;
}

TEST(HostedControls, TabMovesTheFocusInTabOrderAndKeysNoControlUsesReachTheForm) {
    rt::Form form(layout());
    auto& first = form.add<XPButton>(L"cbFirst", {300, 300, 1200, 375});
    auto& text = form.add<rt::StdControl>(L"tbChars", {300, 900, 2000, 300}, nullptr, rt::StdControl::Kind::TextBox);
    auto& combo = form.add<rt::StdControl>(L"cobFont", {300, 1400, 2000, 300}, nullptr, rt::StdControl::Kind::ComboBox);
    auto& last = form.add<XPButton>(L"cbLast", {300, 2000, 1200, 375});
    form.loadDesign({});
    showAndActivate(form);
    std::vector<int> downs, presses;
    form.KeyDown = [&](int& k, int) { downs.push_back(k); };
    form.KeyPress = [&](int& a) { presses.push_back(a); };
    int clicks = 0;
    first.Click = [&] { ++clicks; };

    SetFocus(first.hwnd());
    type(VK_TAB);
    EXPECT_EQ(GetFocus(), text.hwnd());
    type(VK_TAB);
    EXPECT_TRUE(IsChild(combo.hwnd(), GetFocus()));  // the edit part of the combo box
    type(VK_TAB);
    EXPECT_EQ(GetFocus(), last.hwnd());
    type(VK_TAB, true);
    EXPECT_TRUE(IsChild(combo.hwnd(), GetFocus()));
    type(VK_TAB, true);
    type(VK_TAB, true);
    EXPECT_EQ(GetFocus(), first.hwnd());
    EXPECT_EQ(text.text(), L"");  // no tab character was typed anywhere
    downs.clear();  // Shift went to the form from the buttons: they do not use it

    // The button keeps Space for itself and hands the letter on; a text box takes its letters.
    type(VK_SPACE);
    EXPECT_EQ(clicks, 1);
    type('A');
    EXPECT_EQ(downs, std::vector<int>{'A'});
    EXPECT_EQ(presses, std::vector<int>{'a'});
    SetFocus(text.hwnd());
    type('B');
    EXPECT_EQ(text.text(), L"b");
    EXPECT_EQ(presses.size(), 1u);
    // With KeyPreview the form sees the text box's keys first and may drop them.
    form.setKeyPreview(true);
    form.KeyPress = [&](int& a) {
        presses.push_back(a);
        if (a == 'x') a = 0;
    };
    type('C');
    type('X');
    EXPECT_EQ(text.text(), L"bc");
    EXPECT_EQ(presses, (std::vector<int>{'a', 'c', 'x'}));
}

namespace {
// The about box: a button and a label on a small top-most window that closes at the first
// deactivation, key press or click on its button.
struct AboutBox {
    std::unique_ptr<rt::Form> form = std::make_unique<rt::Form>(layout(4200, 2400));
    XPButton& cbExit = form->add<XPButton>(L"cbExit", {2700, 1800, 1200, 375});
    rt::StdControl& lblHome =
        form->add<rt::StdControl>(L"lblHome", {300, 1200, 2400, 255}, nullptr, rt::StdControl::Kind::Label);
    int unloads = 0;
    bool gone = false;
    AboutBox() {
        form->loadDesign({});
        lblHome.setText(L"http://www.kelva.co.kr");
        auto close = [this] { form->unload(); };
        form->Activate = [close](bool active) {
            if (!active) close();
        };
        form->KeyPress = [close](int&) { close(); };
        cbExit.Click = close;
        form->Unload = [this] { ++unloads; };
        // The owner lets go of the closed box at once, as the palette clears its reference.
        form->Unloaded = [this] {
            gone = true;
            form.reset();
        };
        showAndActivate(*form);
        form->setTopMost(true);
    }
};
}  // namespace

TEST(AboutBoxPattern, ClosesOnItsButtonOnAKeyAndOnDeactivation) {
    {
        AboutBox box;
        click(box.cbExit.hwnd());
        EXPECT_TRUE(box.gone);
        EXPECT_EQ(box.unloads, 1);
    }
    {
        AboutBox box;
        SetFocus(box.cbExit.hwnd());
        type(VK_RETURN);  // the button's own key
        EXPECT_TRUE(box.gone);
        EXPECT_EQ(box.unloads, 1);
    }
    {
        AboutBox box;
        SetFocus(box.cbExit.hwnd());
        type('Q');  // any other key, while the button has the focus
        EXPECT_TRUE(box.gone);
        EXPECT_EQ(box.unloads, 1);
    }
    {
        AboutBox box;
        rt::Form other(layout(2000, 1500));
        showAndActivate(other);  // the box loses activation: its button's form hook runs in the same message
        pump(20);
        EXPECT_TRUE(box.gone);
        EXPECT_EQ(box.unloads, 1);
    }
}

TEST(CheckTimer, TicksThatChangeNothingRepaintNothing) {
    rt::Form form(layout());
    auto& box = form.add<Check>(L"chkCAD", {300, 300, 1500, 255});
    form.loadDesign({});
    showAndActivate(form);
    pump(30);
    UpdateWindow(box.captionWindow());
    for (int i = 0; i < 5; ++i) box.tick();
    RECT dirty{};
    EXPECT_FALSE(GetUpdateRect(box.captionWindow(), &dirty, FALSE));
    EXPECT_TRUE(box.timerRunning());
    // A change does repaint: disabling paints the caption in its other colour.
    box.setEnabledValue(0);
    EXPECT_TRUE(GetUpdateRect(box.captionWindow(), &dirty, FALSE));
    EXPECT_FALSE(box.timerRunning());
}

TEST(XFrameHeights, AFractionalHeightCollapsesAtTheFirstClick) {
    rt::Form form(layout());
    auto& f = form.add<XFrame>(L"xFrame1", {120, 120, 6435, 1694.6});
    rt::PropertyBag bag;
    bag.write(L"Enabled", true);
    bag.write(L"Button", true);
    f.load(bag);
    showAndActivate(form);
    click(f.header().hwnd());
    EXPECT_EQ(f.rect().height, 315);
    EXPECT_FALSE(f.Expanded());
    click(f.header().hwnd());
    EXPECT_EQ(f.rect().height, 1695);
    EXPECT_TRUE(f.Expanded());
}

TEST(XFrameHeights, TheHeaderFontIsBuiltOncePerChange) {
    rt::Form form(layout());
    auto& f = form.add<XFrame>(L"xFrame1", {120, 120, 6435, 1695});
    rt::PropertyBag bag;
    bag.write(L"Enabled", true);
    bag.write(L"Button", true);
    bag.write(L"FontSize", 9.0);
    bag.write(L"FontBold", true);
    f.load(bag);
    showAndActivate(form);
    int rebuilt = 0;
    const int id = f.Font()->listen([&](const rt::Font&) { ++rebuilt; });
    HWND header = f.header().hwnd();
    for (int x = 10; x < 200; x += 20) send(header, WM_MOUSEMOVE, x, 10);  // every move repaints the header
    f.hoverTick();
    RedrawWindow(f.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(rebuilt, 0);
    EXPECT_TRUE(f.Font()->desc().bold);
    EXPECT_EQ(f.Font()->desc().size, 9.0);
    f.Font()->setItalic(true);  // a change of the font itself is one rebuild
    EXPECT_EQ(rebuilt, 1);
    f.Font()->unlisten(id);
}

// The same closings once more in a child process whose heaps check every block and fill freed
// memory, so that a window, subclass owner or timer used after it was freed fails the run.
TEST(AboutBoxPattern, ClosesCleanlyUnderTheDebugHeap) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    const std::wstring image = path.substr(path.find_last_of(L"\\/") + 1);
    const std::wstring ifeo = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\" + image;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ifeo.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        const DWORD flags = 0x10 | 0x20 | 0x40;  // heap tail checking, free checking, parameter checking
        RegSetValueExW(key, L"GlobalFlag", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flags), sizeof flags);
        RegCloseKey(key);
    }
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all,warn+heap");
    std::wstring cmd = L"\"" + path + L"\" --gtest_filter=AboutBoxPattern.ClosesOnItsButtonOnAKeyAndOnDeactivation";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(L"WINEDEBUG", nullptr);
    ASSERT_TRUE(started);
    DWORD code = 1;
    // Keep answering messages: the child's windows may ask things of ours (activation, broadcasts).
    while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 45000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) pump();
    GetExitCodeProcess(pi.hProcess, &code);
    if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, ifeo.c_str());
    EXPECT_EQ(code, 0u);
}
