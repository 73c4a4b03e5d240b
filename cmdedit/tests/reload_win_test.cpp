// Applying names against the running AutoCAD stand-in: the suite's menu group is unloaded, loaded
// again from the rewritten menu source and its menu put at the end of the menu bar, once.
#include <gtest/gtest.h>

#include "cmdedit/file_store.h"
#include "cmdedit/win/acad_menus.h"
#include "cmdedit/win/main_window.h"
#include "com/latebound.h"
#include "runtime/services.h"
#include "runtime/tests/win_support.h"

using namespace kelva;
using namespace kelva::cmd;
namespace fs = std::filesystem;

namespace {

class Reload : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        control = com::runningObject(L"AcadSim.Control");
        ASSERT_TRUE(control) << "the stand-in is not running";
        com::call(control.get(), L"Reset");
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = fs::path(temp) / (L"kelvacmd_reload_" + std::to_wstring(GetCurrentProcessId()));
        fs::create_directories(folder);
        DiskFileStore disk;
        ASSERT_TRUE(disk.write(folder / L"KelvaCmd.ini", L"[Civil]\r\nLL=선 그리기>LL\r\n\r\n"));
        ASSERT_TRUE(disk.write(folder / L"Kelva.mns",
                               L"***MENUGROUP=Kelva\r\n***POP1\r\n**KELVA\r\n[Kel&va]\r\n[선 그리기]^C^C_LL\r\n"));
        ASSERT_TRUE(disk.write(folder / L"Kelva.lsp", L"(defun c:LL()\r\n"));
        com::call(control.get(), L"AddSupportFolder", {com::Variant::fromString(folder.wstring())});
        rt::setMessageBoxAnswerer([this](const rt::MessageBoxRequest& r) {
            messages.push_back(r.text);
            return IDOK;
        });
    }
    void TearDown() override {
        window.reset();
        rt::setMessageBoxAnswerer({});
        if (control) com::call(control.get(), L"Reset");
        control.reset();
        std::error_code ec;
        fs::remove_all(folder, ec);
        CoUninitialize();
    }
    com::ComPtr<IDispatch> app() { return com::getObject(control.get(), L"Application"); }
    com::ComPtr<IDispatch> groups() { return com::getObject(app().get(), L"MenuGroups"); }
    std::wstring bar() { return com::asString(com::get(control.get(), L"MenuBarText")); }
    // The group loaded by its full path, as another session of AutoCAD left it, its menu appended.
    void loadGroupByPath() {
        auto group = com::getObject(groups().get(), L"Load",
                                    {com::Variant::fromString((folder / L"Kelva.mns").wstring()), com::Variant::fromBool(false)});
        auto menus = com::getObject(group.get(), L"Menus");
        auto menu = com::getObject(menus.get(), L"Item", {com::Variant::fromString(L"Kel&va")});
        auto menuBar = com::getObject(app().get(), L"MenuBar");
        long count = V_I4(com::get(menuBar.get(), L"Count").get());
        com::call(menu.get(), L"InsertInMenuBar", {com::Variant::fromInt32(count + 1)});
    }
    std::wstring groupFile() {
        auto group = com::getObject(groups().get(), L"Item", {com::Variant::fromString(L"Kelva")});
        return com::asString(com::get(group.get(), L"MenuFileName"));
    }
    void apply(const wchar_t* name = L"LN") {
        GridWindow& g = window->grid(0);
        g.model().setCurrent(1, ColUser);
        commitUserName(g.model(), 1, name);
        HWND b = window->button(L"cbOK").hwnd();
        SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    }
    std::size_t occurrences(const std::wstring& text, const std::wstring& what) {
        std::size_t n = 0;
        for (auto p = text.find(what); p != std::wstring::npos; p = text.find(what, p + 1)) ++n;
        return n;
    }

    com::ComPtr<IDispatch> control;
    fs::path folder;
    std::unique_ptr<MainWindow> window;
    std::vector<std::wstring> messages;
};

}  // namespace

TEST_F(Reload, AttachesToTheRunningApplication) {
    auto found = getAcad();
    ASSERT_TRUE(found);
    com::ComPtr<IUnknown> a, b;
    found->QueryInterface(IID_IUnknown, a.putVoid());
    app()->QueryInterface(IID_IUnknown, b.putVoid());
    EXPECT_EQ(a.get(), b.get());
}

TEST_F(Reload, ApplyReloadsTheGroupAndAppendsItsMenuOnce) {
    loadGroupByPath();
    std::wstring before = bar();
    ASSERT_EQ(occurrences(before, L"Kel&va"), 1u);
    window = std::make_unique<MainWindow>(folder);
    apply();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kCompletionMessage);
    std::wstring after = bar();
    EXPECT_EQ(occurrences(after, L"Kel&va"), 1u);
    EXPECT_TRUE(after.ends_with(L"Kel&va")) << after;
    EXPECT_EQ(groupFile(), L"Kelva.mns");  // loaded again, by the bare name on the support path
}

TEST_F(Reload, LoadedGroupWithoutItsMenuGetsTheMenuBack) {
    loadGroupByPath();
    auto group = com::getObject(groups().get(), L"Item", {com::Variant::fromString(L"Kelva")});
    auto menu = com::getObject(com::getObject(group.get(), L"Menus").get(), L"Item", {com::Variant::fromString(L"Kel&va")});
    com::call(menu.get(), L"RemoveFromMenuBar");
    ASSERT_EQ(occurrences(bar(), L"Kel&va"), 0u);
    auto doc = com::getObject(app().get(), L"ActiveDocument");
    AcadMenuHost host(doc.get());
    loadKelvaMenu(host);
    EXPECT_TRUE(bar().ends_with(L"Kel&va"));
    EXPECT_EQ(groupFile(), (folder / L"Kelva.mns").wstring());  // not reloaded
    loadKelvaMenu(host);
    EXPECT_EQ(occurrences(bar(), L"Kel&va"), 1u);
}

TEST_F(Reload, WithoutTheGroupApplyLoadsItAndAMissingMenuSourceIsNotReported) {
    window = std::make_unique<MainWindow>(folder);
    apply();
    EXPECT_EQ(occurrences(bar(), L"Kel&va"), 1u);
    com::call(com::getObject(groups().get(), L"Item", {com::Variant::fromString(L"Kelva")}).get(), L"Unload");
    // AutoCAD cannot find the menu source: the files are still rewritten and the user told so.
    com::call(control.get(), L"Reset");
    messages.clear();
    apply(L"LM");  // a new name: the same one again would change nothing
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kCompletionMessage);
    EXPECT_EQ(occurrences(bar(), L"Kel&va"), 0u);
}

TEST_F(Reload, LoadLispSendsTheLoadCommand) {
    window = std::make_unique<MainWindow>(folder);
    auto doc = com::getObject(app().get(), L"ActiveDocument");
    window->attachForTest(doc);
    window->LoadLisp();
    std::wstring sent = com::asString(com::get(control.get(), L"SentCommands"));
    EXPECT_NE(sent.find(L"(load \"" + folder.wstring() + L"\\Kelva.lsp\")"), std::wstring::npos) << sent;
}
