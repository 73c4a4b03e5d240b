// The input-queue yield, with real keyboard input on a window of this thread (shares the desktop).
#include "drawlib/com_common.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace kelva::sub::test {
namespace {

struct Counts {
    int keys = 0, posted = 0;
};

LRESULT CALLBACK countingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* counts = reinterpret_cast<Counts*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (counts && msg == WM_KEYDOWN) ++counts->keys;
    if (counts && msg == WM_USER) ++counts->posted;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void pressKey(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

void drain() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

TEST(InputQueueYield, HandlesPendingMessagesOnlyWhenInputWaits) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = countingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KelvaYieldProbe";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowW(L"KelvaYieldProbe", L"yield", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    Counts counts;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&counts));
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    drain();
    Sleep(50);
    drain();
    GetQueueStatus(QS_ALLINPUT);

    // A posted message alone is no input: the yield returns without handling it.
    PostMessageW(hwnd, WM_USER, 0, 0);
    common::yieldToInput();
    EXPECT_EQ(counts.posted, 0);

    // A key waiting: the pending messages are handled, the posted one included.
    pressKey('A');
    for (int i = 0; i < 50 && !(GetQueueStatus(QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON)); ++i) Sleep(10);
    common::yieldToInput();
    EXPECT_EQ(counts.posted, 1);
    EXPECT_GE(counts.keys, 1);

    // A quit request stays for the host's own loop.
    pressKey('B');
    PostQuitMessage(3);
    for (int i = 0; i < 50 && !(GetQueueStatus(QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON)); ++i) Sleep(10);
    common::yieldToInput();
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 3u);
    DestroyWindow(hwnd);
}

}  // namespace
}  // namespace kelva::sub::test
