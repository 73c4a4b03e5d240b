// A separate program attaching to the running stand-in, as the palette, the editor and the registrar
// do: through the Running Object Table by ProgID, then late-bound calls across the process boundary.
#include <gtest/gtest.h>
#include <windows.h>

#include "com/latebound.h"
#include "com/values.h"
#include "core/errors.h"
#include "core/tests/checks.h"

using namespace kelva;
using com::Arg;
using com::ComPtr;
using com::Variant;

namespace {

class Client : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        control = com::runningObject(L"AcadSim.Control");
        ASSERT_TRUE(control) << "the stand-in is not running";
        com::call(control.get(), L"Reset");
    }
    void TearDown() override {
        control.reset();
        CoUninitialize();
    }
    static ComPtr<IUnknown> identity(IDispatch* d) {
        ComPtr<IUnknown> u;
        d->QueryInterface(IID_IUnknown, u.putVoid());
        return u;
    }
    ComPtr<IDispatch> control;
};

Variant pt(double x, double y) { return Variant::fromDoubles({x, y, 0}); }


}  // namespace

TEST_F(Client, EveryProgIdReachesTheOneRunningApplication) {
    auto app = com::getObject(control.get(), L"Application");
    for (const wchar_t* id : {L"AutoCAD.Application", L"AutoCAD.Application.14", L"AutoCAD.Application.15", L"AutoCAD.Application.16",
                              L"AutoCAD.Application.17", L"AutoCAD.Application.18"}) {
        auto found = com::runningObject(id);
        ASSERT_TRUE(found) << id;
        EXPECT_EQ(identity(found.get()).get(), identity(app.get()).get()) << id;
    }
    // CreateObject's road: the registered class object hands out the running instance.
    CLSID clsid;
    ASSERT_TRUE(SUCCEEDED(CLSIDFromProgID(L"AutoCAD.Application", &clsid)));
    ComPtr<IDispatch> created;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, created.putVoid())));
    EXPECT_EQ(identity(created.get()).get(), identity(app.get()).get());
    EXPECT_EQ(com::asString(com::get(created.get(), L"Caption")), L"AutoCAD 2010 - [Drawing1.dwg]");
}

TEST_F(Client, DrawingPicksAndErrorsAcrossTheProcessBoundary) {
    auto app = com::runningObject(L"AutoCAD.Application");
    auto doc = com::getObject(app.get(), L"ActiveDocument");
    auto ms = com::getObject(doc.get(), L"ModelSpace");
    auto line = com::asObject(com::call(ms.get(), L"AddLine", {pt(0, 0), pt(10, 0)}));
    auto text = com::asObject(com::call(ms.get(), L"AddText", {Variant::fromString(L"한글 ㎡"), pt(1, 1), Variant::fromDouble(2.5)}));
    EXPECT_EQ(com::asString(com::get(text.get(), L"TextString")), L"한글 ㎡");

    // The automation type name of an entity, through its type information.
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(line->GetTypeInfo(0, 0, info.put()), S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(com::toWString(name), L"IAcadLine");
    SysFreeString(name);

    auto util = com::getObject(doc.get(), L"Utility");
    com::call(control.get(), L"QueueMiss");
    com::call(control.get(), L"QueuePick", {Variant::fromDispatch(text.get()), Variant::fromDouble(1), Variant::fromDouble(1)});
    Variant entity, point;
    EXPECT_EQ(errorOf([&] { com::call(util.get(), L"GetEntity", {Arg::out(entity), Arg::out(point), Variant::fromString(L"\r\n문자 선택: ")}); }),
              static_cast<std::int32_t>(0x80020009));
    EXPECT_EQ(com::asString(com::call(doc.get(), L"GetVariable", {Variant::fromString(L"errno")})), L"7");
    com::call(util.get(), L"GetEntity", {Arg::out(entity), Arg::out(point), Variant::fromString(L"\r\n문자 선택: ")});
    ASSERT_EQ(entity.vt(), VT_DISPATCH);
    EXPECT_EQ(identity(V_DISPATCH(entity.get())).get(), identity(text.get()).get());
    EXPECT_EQ(com::asString(com::call(control.get(), L"ArrayText", {point})), L"1,1,0");

    com::call(line.get(), L"Delete");
    try {
        com::get(line.get(), L"Length");
        ADD_FAILURE() << "an erased line answered";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x8020004C));
        EXPECT_EQ(e.source(), L"AutoCAD");
    }
    EXPECT_EQ(com::asString(com::get(control.get(), L"Dump")).substr(0, 10), L"30 AcDbTex");
}

// The stand-in's window carries the application's Caption (clients activate AutoCAD by it) and lists the
// drawing, so text written by a client shows up there.
TEST_F(Client, TheWindowListsWhatArrives) {
    auto app = com::runningObject(L"AutoCAD.Application");
    auto ms = com::getObject(com::getObject(app.get(), L"ActiveDocument").get(), L"ModelSpace");
    const std::wstring caption = com::asString(com::get(app.get(), L"Caption"));
    com::call(ms.get(), L"AddText", {Variant::fromString(L"도면 ㎡"), pt(1, 1), Variant::fromDouble(2.5)});
    com::call(ms.get(), L"AddLine", {pt(0, 0), pt(1, 1)});
    HWND window = FindWindowW(L"AcadSimViewer", caption.c_str());
    ASSERT_TRUE(window) << "no window titled with the caption";
    HWND list = FindWindowExW(window, nullptr, L"LISTBOX", nullptr);
    ASSERT_TRUE(list);
    // The window refreshes after the calls. Until then it may still list the two entities an earlier
    // test left, so the wait is for this test's text, not for a count of two.
    const auto firstLine = [&] {
        wchar_t line[512] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, 0, 0) < 500) SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
        return std::wstring(line);
    };
    const auto arrived = [&] { return firstLine().find(L"text=\"도면 ㎡\"") != std::wstring::npos; };
    for (int tries = 0; tries < 100 && !arrived(); ++tries) Sleep(20);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(arrived()) << firstLine();
}
