#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/subclass.h"
#include "core/errors.h"

using namespace kelva::ctl;

namespace {

constexpr UINT kProbe = WM_APP + 1;
constexpr UINT kOther = WM_APP + 2;

std::vector<std::string>* gLog = nullptr;

LRESULT CALLBACK targetProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kProbe || m == kOther) {
        if (gLog) gLog->push_back("window " + std::to_string(w));
        return 100 + static_cast<LRESULT>(w);
    }
    return DefWindowProcW(h, m, w, l);
}

HWND makeTarget() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = targetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SubclassTarget";
    RegisterClassW(&wc);
    return CreateWindowExW(0, L"SubclassTarget", L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class Owner : public SubclassOwner {
public:
    Owner(std::string name, SubclassErrors policy, std::vector<std::string>& log)
        : engine(*this, policy), name_(std::move(name)), log_(log) {}
    void zSubclass_Proc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND&, UINT&, WPARAM& wParam,
                        LPARAM&) override {
        log_.push_back(name_ + (bBefore ? " before" : " after") + (bBefore ? "" : " " + std::to_string(lReturn)));
        if (bBefore && swallow) {
            bHandled = true;
            lReturn = 7;
        }
        if (bBefore && rewrite) wParam = 42;
        if (!bBefore && replaceResult) lReturn = -5;
    }
    SubclassEngine engine;
    bool swallow = false, rewrite = false, replaceResult = false;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

struct Window {
    HWND h = makeTarget();
    ~Window() {
        if (IsWindow(h)) DestroyWindow(h);
    }
};

}  // namespace

class Subclass : public ::testing::Test {
protected:
    void SetUp() override { gLog = &log; }
    void TearDown() override { gLog = nullptr; }
    std::vector<std::string> log;
};

TEST_F(Subclass, TwoOwnersChainAndStopInEitherOrder) {
    for (bool firstStopsFirst : {true, false}) {
        Window w;
        const auto original = GetWindowLongPtrW(w.h, GWLP_WNDPROC);
        Owner a("A", SubclassErrors::Quiet, log), b("B", SubclassErrors::Raise, log);
        a.engine.start(w.h);
        a.engine.addMsg(w.h, kProbe, WhenBefore | WhenAfter);
        b.engine.start(w.h);
        b.engine.addMsg(w.h, kProbe, WhenBefore | WhenAfter);
        log.clear();
        EXPECT_EQ(SendMessageW(w.h, kProbe, 1, 0), 101);
        EXPECT_EQ(log, (std::vector<std::string>{"B before", "A before", "window 1", "A after 101", "B after 101"}));

        (firstStopsFirst ? a : b).engine.stop(w.h);
        log.clear();
        SendMessageW(w.h, kProbe, 2, 0);
        const std::string left = firstStopsFirst ? "B" : "A";
        EXPECT_EQ(log, (std::vector<std::string>{left + " before", "window 2", left + " after 102"}));
        (firstStopsFirst ? b : a).engine.stop(w.h);
        log.clear();
        SendMessageW(w.h, kProbe, 3, 0);
        EXPECT_EQ(log, std::vector<std::string>{"window 3"});
        EXPECT_EQ(GetWindowLongPtrW(w.h, GWLP_WNDPROC), original);
        EXPECT_EQ(a.engine.records().at(0).window, 0u);
        EXPECT_EQ(b.engine.records().at(0).before.count, 0);
    }
}

TEST_F(Subclass, HandledInTheBeforeCallSkipsTheWindowAndTheAfterCall) {
    Window w;
    Owner a("A", SubclassErrors::Raise, log);
    a.engine.start(w.h);
    a.engine.addMsg(w.h, kProbe, WhenBefore | WhenAfter);
    a.swallow = true;
    EXPECT_EQ(SendMessageW(w.h, kProbe, 1, 0), 7);
    EXPECT_EQ(log, std::vector<std::string>{"A before"});
    a.swallow = false;
    a.rewrite = true;
    a.replaceResult = true;
    log.clear();
    EXPECT_EQ(SendMessageW(w.h, kProbe, 1, 0), -5);  // the after call's lReturn is the result
    EXPECT_EQ(log, (std::vector<std::string>{"A before", "window 42", "A after 142"}));
}

TEST_F(Subclass, TablesWithAllMessagesAndHoles) {
    Window w;
    Owner a("A", SubclassErrors::Raise, log);
    a.engine.start(w.h);
    a.engine.addMsg(w.h, kProbe, WhenAfter);
    a.engine.addMsg(w.h, kOther, WhenAfter);
    a.engine.delMsg(w.h, kProbe, WhenAfter);  // a hole
    log.clear();
    SendMessageW(w.h, kProbe, 1, 0);
    SendMessageW(w.h, kOther, 2, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"window 1", "window 2", "A after 102"}));
    a.engine.addMsg(w.h, kProbe, WhenAfter);  // fills the hole
    EXPECT_EQ(a.engine.records().at(0).after.count, 2);
    a.engine.addMsg(w.h, kAllMessages, WhenBefore);
    log.clear();
    SendMessageW(w.h, WM_NULL, 0, 0);
    EXPECT_EQ(log, std::vector<std::string>{"A before"});
    a.engine.delMsg(w.h, kAllMessages, WhenBefore);
    log.clear();
    SendMessageW(w.h, WM_NULL, 0, 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(Subclass, AWindowDestroyedWhileSubclassedFreesItsRecord) {
    Owner quiet("Q", SubclassErrors::Quiet, log), loud("L", SubclassErrors::Raise, log);
    HWND h = makeTarget();
    quiet.engine.start(h);
    loud.engine.start(h);
    quiet.engine.addMsg(h, WM_DESTROY, WhenAfter);
    DestroyWindow(h);
    EXPECT_EQ(log, std::vector<std::string>{"Q after 0"});
    EXPECT_EQ(quiet.engine.records().at(0).window, 0u);
    EXPECT_EQ(loud.engine.records().at(0).window, 0u);
    quiet.engine.stop(h);  // quiet: nothing happens
    try {
        loud.engine.stop(h);
        FAIL() << "stopping a window without a record must raise";
    } catch (const kelva::VbError& e) {
        EXPECT_EQ(e.number(), kelva::err::SubscriptOutOfRange);
    }
    // the freed record is reused by the next start
    Window w;
    EXPECT_EQ(loud.engine.start(w.h), 0);
    EXPECT_EQ(loud.engine.records().size(), 1);
}

TEST_F(Subclass, TheOwnerSeesTheWindowsLastMessage) {
    Owner a("A", SubclassErrors::Raise, log);
    HWND h = makeTarget();
    a.engine.start(h);
    a.engine.addMsg(h, WM_NCDESTROY, WhenBefore | WhenAfter);
    DestroyWindow(h);
    EXPECT_EQ(log, (std::vector<std::string>{"A before", "A after 0"}));
    EXPECT_EQ(a.engine.records().at(0).window, 0u);
    EXPECT_EQ(a.engine.records().at(0).after.count, 0);
}

TEST_F(Subclass, ErrorPoliciesBeforeAnyStart) {
    Window w;
    Owner quiet("Q", SubclassErrors::Quiet, log), loud("L", SubclassErrors::Raise, log);
    EXPECT_EQ(quiet.engine.index(w.h, false), 0);
    quiet.engine.addMsg(w.h, kProbe, WhenAfter);
    quiet.engine.stopAll();
    EXPECT_THROW(loud.engine.index(w.h, false), kelva::VbError);
    EXPECT_THROW(loud.engine.addMsg(w.h, kProbe, WhenAfter), kelva::VbError);
    EXPECT_THROW(loud.engine.stopAll(), kelva::VbError);
    // a window of no one, or none at all, is never subclassed
    EXPECT_EQ(quiet.engine.start(nullptr), -1);
    EXPECT_THROW(loud.engine.start(reinterpret_cast<HWND>(0x1234)), kelva::VbError);
}

TEST_F(Subclass, StopAllAndRestartOnOneWindowTwice) {
    Window w;
    Owner a("A", SubclassErrors::Raise, log);
    a.engine.start(w.h);
    a.engine.start(w.h);  // a second record, chained in front
    EXPECT_EQ(a.engine.index(w.h, false), 1);
    a.engine.addMsg(w.h, kProbe, WhenBefore);  // goes to the later record
    log.clear();
    SendMessageW(w.h, kProbe, 1, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"A before", "window 1"}));
    a.engine.stopAll();
    EXPECT_EQ(a.engine.records().at(0).window, 0u);
    EXPECT_EQ(a.engine.records().at(1).window, 0u);
    log.clear();
    SendMessageW(w.h, kProbe, 2, 0);
    EXPECT_EQ(log, std::vector<std::string>{"window 2"});
}

TEST_F(Subclass, AnOwnerMayStopFromInsideItsCallback) {
    Window w;
    struct SelfStopper : SubclassOwner {
        SubclassEngine engine{*this, SubclassErrors::Raise};
        int calls = 0;
        void zSubclass_Proc(bool, bool&, LRESULT&, HWND& h, UINT&, WPARAM&, LPARAM&) override {
            ++calls;
            engine.stop(h);
        }
    } s;
    s.engine.start(w.h);
    s.engine.addMsg(w.h, kProbe, WhenBefore | WhenAfter);
    EXPECT_EQ(SendMessageW(w.h, kProbe, 1, 0), 101);
    EXPECT_EQ(s.calls, 1);  // the after call is gone with the record
    SendMessageW(w.h, kProbe, 1, 0);
    EXPECT_EQ(s.calls, 1);
}

TEST(SubclassExports, LooksUpLoadedAndUnloadedModules) {
    EXPECT_TRUE(isExported("TrackMouseEvent", "User32"));
    EXPECT_TRUE(isExported("_TrackMouseEvent", "Comctl32"));
    EXPECT_FALSE(isExported("NoSuchFunction", "User32"));
    EXPECT_FALSE(isExported("TrackMouseEvent", "no_such_module_here"));
    EXPECT_TRUE(isExported("PropVariantClear", "ole32"));
}
