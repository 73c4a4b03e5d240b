// The runtime's window procedures under Wine: a C++ exception thrown by a handler is reported and
// the program goes on; pumping pending messages keeps the program's quit request.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "runtime/form.h"
#include "runtime/services.h"
#include "runtime/timer.h"
#include "runtime/tests/win_support.h"

using namespace kelva::rt;
using kelva::testing::pump;

namespace {

FormLayout layout() { return kelva::testing::testForm(L"장벽 시험", {1500, 1500, 4000, 3000}); }

// A control whose handler fails on WM_APP: with a C++ exception, or with a run-time error.
class Thrower : public Control {
public:
    const wchar_t* typeName() const override { return L"Thrower"; }
    int handled = 0;

protected:
    HWND createWindow(HWND parent, const RECT& px) override {
        registerWindowClass(L"KelvaBarrierThrower");
        return createOwnWindow(L"KelvaBarrierThrower", WS_CHILD | WS_VISIBLE, 0, parent, px);
    }
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP) {
            if (wParam == 1) throw std::out_of_range("row 56 of 55");
            if (wParam == 2) kelva::raise(kelva::err::SubscriptOutOfRange);
            ++handled;
            return 7;
        }
        return Control::wndProc(msg, wParam, lParam);
    }
};

class Reports : public ::testing::Test {
protected:
    void SetUp() override {
        setMessageBoxAnswerer([this](const MessageBoxRequest& r) {
            seen.push_back(r);
            return IDOK;
        });
    }
    void TearDown() override { setMessageBoxAnswerer({}); }
    std::vector<MessageBoxRequest> seen;
};

}  // namespace

TEST_F(Reports, AnExceptionInAControlsHandlerIsReportedAndTheWindowLivesOn) {
    Form form(layout());
    auto& t = form.add<Thrower>(L"t", {0, 0, 1500, 1500});
    EXPECT_EQ(SendMessageW(t.hwnd(), WM_APP, 1, 0), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"예기치 않은 오류로 이 작업을 마치지 못했습니다:\r\nrow 56 of 55");
    EXPECT_EQ(seen[0].title, L"장벽 시험");
    EXPECT_EQ(seen[0].owner, form.hwnd());
    EXPECT_EQ(seen[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    // A run-time error is told by its description.
    PostMessageW(t.hwnd(), WM_APP, 2, 0);
    pump();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, L"예기치 않은 오류로 이 작업을 마치지 못했습니다:\r\n" + kelva::standardDescription(9));
    // The control still answers.
    EXPECT_EQ(SendMessageW(t.hwnd(), WM_APP, 0, 0), 7);
    EXPECT_EQ(t.handled, 1);
}

TEST_F(Reports, FormEventsAndTimerTicksHaveTheBarrierToo) {
    Form form(layout());
    form.Activate = [](bool) { throw std::runtime_error("activate"); };
    SendMessageW(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.find(L"activate"), std::wstring::npos);

    Timer timer;
    int ticks = 0;
    timer.Tick = [&] {
        ++ticks;
        throw std::runtime_error("tick");
    };
    timer.setInterval(10);
    timer.setEnabled(true);
    pump(100);
    timer.setEnabled(false);
    EXPECT_GT(ticks, 1);  // ticking went on after the first failure
    ASSERT_GE(seen.size(), 2u);
    EXPECT_NE(seen.back().text.find(L"tick"), std::wstring::npos);
}

TEST(MessageLoop, RunsWhatCameBeforeTheQuitRequestAndAnswersItsCode) {
    Form form(layout());
    int activations = 0;
    form.Activate = [&](bool) { ++activations; };
    doEvents();
    PostMessageW(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    PostQuitMessage(5);
    EXPECT_EQ(messageLoop(), 5);
    EXPECT_EQ(activations, 1);
}

TEST(DoEvents, AQuitRequestIsKeptForTheProgramsLoop) {
    Form form(layout());
    int activations = 0;
    form.Activate = [&](bool) { ++activations; };
    doEvents();
    PostMessageW(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    PostQuitMessage(3);
    EXPECT_FALSE(doEvents());
    EXPECT_EQ(activations, 1);  // what came before the request ran
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(doEvents());
}
