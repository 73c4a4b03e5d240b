// The stand-in's window over a session loaded in process: the list follows the drawing once a burst of
// changes is over, instead of after every change; the window's state follows at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "acadsim/server/viewer.h"
#include "com/latebound.h"
#include "com/values.h"

using namespace kelva;
using acad::server::Viewer;
using com::ComPtr;
using com::Variant;

namespace {

// What acadsim.exe's message loop does between two calls of a client.
void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        instance = acad::sim::createInstance({});
        viewer = std::make_unique<Viewer>(*instance.session);
        ASSERT_TRUE(viewer->created());
        acad::sim::setChangeHandler(*instance.session, [this] { viewer->invalidate(); });
        doc = com::getObject(instance.application.get(), L"ActiveDocument");
        ms = com::getObject(doc.get(), L"ModelSpace");
    }
    void TearDown() override {
        if (instance.session) acad::sim::setChangeHandler(*instance.session, nullptr);
        viewer.reset();
        ms = {};
        doc = {};
        instance = {};
        CoUninitialize();
    }

    ComPtr<IDispatch> addLine(double x) {
        return com::getObject(ms.get(), L"AddLine", {Variant::fromDoubles({x, 0, 0}), Variant::fromDoubles({x, 1, 0})});
    }
    // Runs the message loop until the list has been refilled `count` times in all (two seconds at most).
    bool waitForRefills(std::size_t count) {
        const ULONGLONG deadline = GetTickCount64() + 2000;
        while (viewer->refills() < count && GetTickCount64() < deadline) {
            pumpMessages();
            Sleep(5);
        }
        return viewer->refills() >= count;
    }
    LRESULT lines() const { return SendMessageW(viewer->list(), LB_GETCOUNT, 0, 0); }
    std::wstring lineText(LRESULT index) const {
        std::wstring text(static_cast<std::size_t>(SendMessageW(viewer->list(), LB_GETTEXTLEN, index, 0)), L'\0');
        SendMessageW(viewer->list(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        return text;
    }
    const acad::Drawing& drawing() { return acad::sim::drawingOf(*instance.session); }

    acad::sim::Instance instance;
    std::unique_ptr<Viewer> viewer;
    ComPtr<IDispatch> doc, ms;
};

}  // namespace

TEST_F(ViewerTest, ABurstOfChangesRefillsTheListOnceItIsOver) {
    const std::size_t before = viewer->refills();
    const ULONGLONG start = GetTickCount64();
    ComPtr<IDispatch> first;
    for (int i = 0; i < 300; ++i) {
        auto line = addLine(i);
        if (i == 0) first = line;
        pumpMessages();
    }
    com::call(first.get(), L"Delete");
    pumpMessages();
    ASSERT_TRUE(waitForRefills(before + 1)) << "the list never caught up";
    Sleep(300);
    pumpMessages();
    // One refill for the burst, and one more for each second a long burst goes on (a loaded machine
    // may stretch it), never one per call.
    const auto seconds = static_cast<std::size_t>((GetTickCount64() - start) / 1000);
    EXPECT_LE(viewer->refills() - before, 2u + seconds);
    EXPECT_LT(viewer->refills() - before, 300u);
    ASSERT_EQ(lines(), 299);
    const auto shown = drawing().modelSpace();
    EXPECT_EQ(lineText(0), drawing().dumpLine(shown.front()));
    EXPECT_EQ(lineText(298), drawing().dumpLine(shown.back()));

    // A single change after a quiet spell is shown too.
    const std::size_t settled = viewer->refills();
    addLine(1000);
    ASSERT_TRUE(waitForRefills(settled + 1));
    EXPECT_EQ(lines(), 300);
}

TEST_F(ViewerTest, ALargeDrawingIsSummarised) {
    for (int i = 0; i < 2500; ++i) addLine(i);
    const std::size_t before = viewer->refills();
    ASSERT_TRUE(waitForRefills(before + 1));
    ASSERT_EQ(lines(), 2001);
    EXPECT_EQ(lineText(2000), L"... 2500 entities");
}

TEST_F(ViewerTest, VisibilityAndWindowStateFollowAtOnce) {
    com::put(instance.application.get(), L"Visible", Variant::fromBool(false));
    EXPECT_FALSE(IsWindowVisible(viewer->hwnd()));  // no message loop needed
    com::put(instance.application.get(), L"Visible", Variant::fromBool(true));
    EXPECT_TRUE(IsWindowVisible(viewer->hwnd()));
    com::put(instance.application.get(), L"WindowState", Variant::fromInt32(2));
    EXPECT_TRUE(IsIconic(viewer->hwnd()));
    com::put(instance.application.get(), L"WindowState", Variant::fromInt32(1));
    EXPECT_FALSE(IsIconic(viewer->hwnd()));
}
