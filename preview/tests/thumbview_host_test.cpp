// ThumbView hosted by a real container (atl.dll's AtlAxWin window), driven by name through
// IDispatch, its pixels read through IViewObject::Draw and from its window.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "KelvaView.h"
#include "com/com_ptr.h"
#include "com/object.h"
#include "preview/tests/fixture.h"

using kelva::com::ComPtr;
namespace fx = kelva::preview::fixture;

namespace {

template <typename F>
F procOf(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// `p` as interface T; a failed query fails the case.
template <class T>
ComPtr<T> as(IUnknown* p) {
    ComPtr<T> out;
    EXPECT_TRUE(p && SUCCEEDED(p->QueryInterface(__uuidof(T), out.putVoid()))) << "no " << typeid(T).name();
    return out;
}

constexpr int kWidth = 100;
constexpr int kHeight = 60;
constexpr COLORREF kGreen = RGB(0, 255, 0);

// ---- a picture whose every part can be told apart once drawn ----------------------------------------------------
// 20 x 10: top row black (shown white), bottom row white (shown black), left column dark grey,
// the rest red on the left half and blue on the right.
fx::Bitmap testPicture() {
    fx::Bitmap b;
    b.width = 20;
    b.height = 10;
    b.pixel = [](int x, int y) -> std::uint32_t {
        if (y == 0) return 0;
        if (y == 9) return 1;
        if (x == 0) return 4;
        return x < 10 ? 2 : 3;
    };
    return b;
}

std::filesystem::path tempDir() {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    auto dir = std::filesystem::path(buf) / (L"kelva_preview_" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    return dir;
}

std::wstring writeFile(const std::wstring& name, const fx::Bytes& bytes) {
    const auto path = tempDir() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.wstring();
}

std::wstring pictureDrawing() {
    return writeFile(L"평면도.dwg", fx::drawingFile({{{1, fx::Bytes(80, 1)}, {2, fx::bitmapEntry(testPicture())}, {3, fx::Bytes(40, 3)}}}));
}

// ---- the server ---------------------------------------------------------------------------------------------------
class Server {
public:
    Server() {
        module_ = LoadLibraryW(L"KelvaView.ocx");
        if (!module_) return;
        getClassObject_ = procOf<decltype(getClassObject_)>(module_, "DllGetClassObject");
        registerServer_ = procOf<decltype(registerServer_)>(module_, "DllRegisterServer");
        unregisterServer_ = procOf<decltype(unregisterServer_)>(module_, "DllUnregisterServer");
        canUnloadNow_ = procOf<decltype(canUnloadNow_)>(module_, "DllCanUnloadNow");
    }
    ~Server() {
        if (module_) FreeLibrary(module_);
    }
    bool loaded() const { return module_ && getClassObject_ && registerServer_ && unregisterServer_ && canUnloadNow_; }
    // S_OK once every control of the server is gone.
    HRESULT canUnloadNow() const { return canUnloadNow_(); }
    HRESULT registerServer() const { return registerServer_(); }
    HRESULT unregisterServer() const { return unregisterServer_(); }
    // A control straight from the class factory, outside any container.
    ComPtr<IDispatch> create() const {
        ComPtr<IClassFactory> factory;
        ComPtr<IDispatch> control;
        if (SUCCEEDED(getClassObject_(CLSID_ThumbView, IID_IClassFactory, factory.putVoid())))
            factory->CreateInstance(nullptr, IID_IDispatch, control.putVoid());
        return control;
    }

private:
    HMODULE module_ = nullptr;
    HRESULT(WINAPI* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(WINAPI* registerServer_)() = nullptr;
    HRESULT(WINAPI* unregisterServer_)() = nullptr;
    HRESULT(WINAPI* canUnloadNow_)() = nullptr;
};

// ---- late-bound calls by name --------------------------------------------------------------------------------------
struct CallResult {
    HRESULT hr = S_OK;
    VARIANT value{};
    EXCEPINFO excep{};
    ~CallResult() {
        VariantClear(&value);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrHelpFile);
    }
};

DISPID idOf(IDispatch* d, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
    return id;
}

void invoke(IDispatch* d, const wchar_t* name, WORD flags, VARIANT* args, UINT count, CallResult& r) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{args, nullptr, count, 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    VariantInit(&r.value);
    r.hr = d->Invoke(idOf(d, name), IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                     flags == DISPATCH_PROPERTYPUT ? nullptr : &r.value, &r.excep, nullptr);
}

HRESULT put(IDispatch* d, const wchar_t* name, VARIANT v) {
    CallResult r;
    invoke(d, name, DISPATCH_PROPERTYPUT, &v, 1, r);
    return r.hr;
}
HRESULT putInt(IDispatch* d, const wchar_t* name, LONG value) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return put(d, name, v);
}
HRESULT putBool(IDispatch* d, const wchar_t* name, bool value) {
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return put(d, name, v);
}
HRESULT putText(IDispatch* d, const wchar_t* name, const std::wstring& text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(text.c_str());
    const HRESULT hr = put(d, name, v);
    VariantClear(&v);
    return hr;
}
std::wstring getText(IDispatch* d, const wchar_t* name) {
    CallResult r;
    invoke(d, name, DISPATCH_PROPERTYGET, nullptr, 0, r);
    EXPECT_EQ(r.hr, S_OK);
    VariantChangeType(&r.value, &r.value, 0, VT_BSTR);
    return V_VT(&r.value) == VT_BSTR && V_BSTR(&r.value) ? V_BSTR(&r.value) : L"";
}
LONG getInt(IDispatch* d, const wchar_t* name) {
    CallResult r;
    invoke(d, name, DISPATCH_PROPERTYGET, nullptr, 0, r);
    EXPECT_EQ(r.hr, S_OK);
    VariantChangeType(&r.value, &r.value, 0, VT_I4);
    return V_I4(&r.value);
}

// PaintPreview with DrawingFile set to `path`; the call's result.
void paintPreview(IDispatch* d, const std::wstring& path, CallResult& r) {
    ASSERT_EQ(putText(d, L"DrawingFile", path), S_OK);
    invoke(d, L"PaintPreview", DISPATCH_METHOD, nullptr, 0, r);
}
void showPreview(IDispatch* d, const std::wstring& path) {
    CallResult r;
    paintPreview(d, path, r);
    ASSERT_EQ(r.hr, S_OK) << (r.excep.bstrDescription ? r.excep.bstrDescription : L"");
    ASSERT_EQ(V_VT(&r.value), VT_BSTR);
    EXPECT_EQ(SysStringLen(V_BSTR(&r.value)), 0u);
}

// ---- pixels --------------------------------------------------------------------------------------------------------
// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, w, h};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = bits_[y * w_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    bool sameAs(const Canvas& o) const {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                if (at(x, y) != o.at(x, y)) return false;
        return true;
    }

private:
    int w_, h_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

void drawInto(IDispatch* control, Canvas& canvas, int w = kWidth, int h = kHeight) {
    ComPtr<IViewObject2> view;
    ASSERT_EQ(control->QueryInterface(__uuidof(IViewObject2), view.putVoid()), S_OK);
    const RECTL bounds{0, 0, w, h};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0), S_OK);
}

std::string hex(COLORREF c) {
    char b[16];
    snprintf(b, sizeof b, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return b;
}
#define EXPECT_PIXEL(canvas, x, y, colour) EXPECT_EQ(hex((canvas).at(x, y)), hex(colour)) << "at " << (x) << "," << (y)

// ---- the container -------------------------------------------------------------------------------------------------
class AtlHost {
public:
    AtlHost() {
        atl_ = LoadLibraryW(L"atl.dll");
        if (!atl_) return;
        auto init = procOf<BOOL(WINAPI*)()>(atl_, "AtlAxWinInit");
        getControl_ = procOf<HRESULT(WINAPI*)(HWND, IUnknown**)>(atl_, "AtlAxGetControl");
        if (!init || !getControl_ || !init()) return;
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KelvaPreviewTestForm";
        RegisterClassW(&wc);
        form_ = CreateWindowExW(0, wc.lpszClassName, L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                nullptr, nullptr, wc.hInstance, nullptr);
        container_ = CreateWindowExW(0, L"AtlAxWin", L"KelvaView.ThumbView", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                     form_, nullptr, wc.hInstance, nullptr);
        pump();
    }
    ~AtlHost() {
        control_.reset();
        if (form_) DestroyWindow(form_);
        pump();
        if (atl_) FreeLibrary(atl_);
    }
    AtlHost(const AtlHost&) = delete;
    AtlHost& operator=(const AtlHost&) = delete;

    ComPtr<IDispatch> control() {
        if (!control_ && container_) {
            ComPtr<IUnknown> unk;
            if (SUCCEEDED(getControl_(container_, unk.put()))) unk->QueryInterface(__uuidof(IDispatch), control_.putVoid());
        }
        return control_;
    }
    HWND controlWindow() {
        ComPtr<IOleWindow> w;
        HWND h = nullptr;
        if (control() && SUCCEEDED(control_->QueryInterface(__uuidof(IOleWindow), w.putVoid()))) w->GetWindow(&h);
        return h;
    }
    HWND form() const { return form_; }
    static void pump() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }

private:
    HMODULE atl_ = nullptr;
    HRESULT(WINAPI* getControl_)(HWND, IUnknown**) = nullptr;
    HWND form_ = nullptr;
    HWND container_ = nullptr;
    ComPtr<IDispatch> control_;
};

class ThumbViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        server_ = std::make_unique<Server>();
        ASSERT_TRUE(server_->loaded());
        ASSERT_EQ(server_->registerServer(), S_OK);
    }
    void TearDown() override {
        control_.reset();
        host_.reset();
        server_.reset();
        std::error_code ec;
        std::filesystem::remove_all(tempDir(), ec);
        CoUninitialize();
    }
    IDispatch* hosted() {
        if (!host_) host_ = std::make_unique<AtlHost>();
        control_ = host_->control();
        return control_.get();
    }

    std::unique_ptr<Server> server_;
    std::unique_ptr<AtlHost> host_;
    ComPtr<IDispatch> control_;
};

// A control hosted in atl.dll's container, with its window, before every case.
class HostedThumbView : public ThumbViewTest {
protected:
    void SetUp() override {
        ThumbViewTest::SetUp();
        if (HasFatalFailure()) return;
        c = hosted();
        ASSERT_TRUE(c);
        w = host_->controlWindow();
        ASSERT_TRUE(w);
    }
    IDispatch* c = nullptr;
    HWND w = nullptr;
};

}  // namespace

// ---- registration and type library --------------------------------------------------------------------------------
TEST_F(ThumbViewTest, RegistersAsAnActiveXControlWithItsTypeLibrary) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"KelvaView.ThumbView", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ThumbView));
    wchar_t clsidText[40];
    StringFromGUID2(CLSID_ThumbView, clsidText, 40);
    const std::wstring key = std::wstring(L"CLSID\\") + clsidText;
    for (const wchar_t* sub : {L"\\Control", L"\\InprocServer32", L"\\MiscStatus\\1", L"\\TypeLib", L"\\ProgID"}) {
        HKEY h = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, (key + sub).c_str(), 0, KEY_READ, &h), ERROR_SUCCESS) << sub;
        if (h) RegCloseKey(h);
    }

    ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadRegTypeLib(LIBID_KelvaView, 1, 0, LOCALE_NEUTRAL, lib.put()), S_OK);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"KelvaView");
    EXPECT_STREQ(doc, L"DWG Viewer");
    SysFreeString(name);
    SysFreeString(doc);

    // The event ids hosts bind to.
    ComPtr<ITypeInfo> events;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(DIID___ThumbView, events.put()), S_OK);
    const std::pair<const wchar_t*, DISPID> expected[] = {
        {L"Click", 1}, {L"DblClick", 2}, {L"MouseMove", 3}, {L"MouseUp", 4}, {L"MouseDown", 5}};
    for (auto [event, id] : expected) {
        LPOLESTR n = const_cast<LPOLESTR>(event);
        MEMBERID found = 0;
        EXPECT_EQ(events->GetIDsOfNames(&n, 1, &found), S_OK) << event;
        EXPECT_EQ(found, id) << event;
    }
    // Help text of a member and the enumeration's members.
    ComPtr<ITypeInfo> dual;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(IID__ThumbView, dual.put()), S_OK);
    LPOLESTR member = const_cast<LPOLESTR>(L"Stretch");
    MEMBERID stretchId = 0;
    ASSERT_EQ(dual->GetIDsOfNames(&member, 1, &stretchId), S_OK);
    BSTR help = nullptr;
    ASSERT_EQ(dual->GetDocumentation(stretchId, nullptr, &help, nullptr, nullptr), S_OK);
    EXPECT_STREQ(help, L"Force the preview to fill the control");
    SysFreeString(help);
    bool sawEtched = false;
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> ti;
        BSTR tname = nullptr;
        lib->GetDocumentation(static_cast<INT>(i), &tname, nullptr, nullptr, nullptr);
        const bool isEffect = tname && std::wstring(tname) == L"Border_Effect";
        SysFreeString(tname);
        if (!isEffect || FAILED(lib->GetTypeInfo(i, ti.put()))) continue;
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(ti->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->cVars, 4);
        for (WORD v = 0; v < attr->cVars; ++v) {
            VARDESC* vd = nullptr;
            ti->GetVarDesc(v, &vd);
            BSTR vname = nullptr;
            ti->GetDocumentation(vd->memid, &vname, nullptr, nullptr, nullptr);
            if (std::wstring(vname) == L"Etched") {
                sawEtched = true;
                EXPECT_EQ(V_I4(vd->lpvarValue), 3);
            }
            SysFreeString(vname);
            ti->ReleaseVarDesc(vd);
        }
        ti->ReleaseTypeAttr(attr);
    }
    EXPECT_TRUE(sawEtched);

    // Unregistering removes the class, registering again restores it.
    ASSERT_EQ(server_->unregisterServer(), S_OK);
    EXPECT_NE(CLSIDFromProgID(L"KelvaView.ThumbView", &clsid), S_OK);
    ASSERT_EQ(server_->registerServer(), S_OK);
    EXPECT_EQ(CLSIDFromProgID(L"KelvaView.ThumbView", &clsid), S_OK);
}

TEST_F(ThumbViewTest, UnregisteringLeavesAProgIdThatMeanwhileNamesAnotherClass) {
    const wchar_t* other = L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    ASSERT_EQ(RegSetValueW(HKEY_CLASSES_ROOT, L"KelvaView.ThumbView\\CLSID", REG_SZ, other,
                           static_cast<DWORD>(wcslen(other) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_EQ(server_->unregisterServer(), S_OK);
    wchar_t kept[64] = {};
    LONG size = sizeof kept;
    EXPECT_EQ(RegQueryValueW(HKEY_CLASSES_ROOT, L"KelvaView.ThumbView\\CLSID", kept, &size), ERROR_SUCCESS);
    EXPECT_STREQ(kept, other);
    ASSERT_EQ(server_->registerServer(), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"KelvaView.ThumbView", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ThumbView));
}

TEST_F(ThumbViewTest, ProvidesItsClassInfoAndEventInterface) {
    auto control = server_->create();
    ASSERT_TRUE(control);
    auto info = as<IProvideClassInfo2>(control.get());
    ASSERT_TRUE(info);
    GUID events{};
    ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, DIID___ThumbView));
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(info->GetClassInfo(coclass.put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(IsEqualGUID(attr->guid, CLSID_ThumbView));
    coclass->ReleaseTypeAttr(attr);
}

// ---- hosted, painting -----------------------------------------------------------------------------------------------
namespace {

// The test picture's layout as direct colours (0x00RRGGBB).
std::uint32_t layoutRgb(int x, int y) {
    if (y == 0) return 0x000000;
    if (y == 9) return 0xFFFFFF;
    if (x == 0) return 0x404040;
    return x < 10 ? 0xFF0000 : 0x0000FF;
}

std::wstring pngDrawing() {
    // A newer drawing: header entry and PNG only.
    return writeFile(L"new.dwg", fx::drawingFile({{{1, fx::Bytes(80, 1)}, {6, fx::pngImage(20, 10, layoutRgb)}}}));
}

std::wstring deepDrawing(std::uint16_t bpp) {
    fx::Bitmap b;
    b.width = 20;
    b.height = 10;
    b.bitsPerPixel = bpp;
    b.colorsUsed = 0;
    b.pixel = layoutRgb;
    return writeFile(L"deep" + std::to_wstring(bpp) + L".dwg",
                     fx::drawingFile({{{1, fx::Bytes(80, 1)}, {2, fx::bitmapEntry(b)}}}));
}

struct Pixel {
    int x, y;
    COLORREF colour;
};

// The 20 x 10 test picture centred in 100 x 60 (at 40, 25) on green.
const std::vector<Pixel> kCentred = {
    {40, 25, RGB(255, 255, 255)},  // the top row, black shown white: nothing lost
    {59, 25, RGB(255, 255, 255)}, {40, 26, RGB(64, 64, 64)},  // the left column
    {45, 30, RGB(255, 0, 0)},      {55, 30, RGB(0, 0, 255)},
    {59, 34, RGB(0, 0, 0)},  // the bottom row, white shown black
    {39, 30, kGreen},        {60, 30, kGreen}, {50, 24, kGreen}, {50, 35, kGreen}};
// Nothing shown: the back colour where the picture would be.
const std::vector<Pixel> kNothing = {{45, 30, kGreen}, {40, 25, kGreen}};

// One preview shown by PaintPreview on green: the drawing, the properties, what PaintPreview answers
// and what the control then draws.
struct PictureCase {
    std::string name;
    std::function<std::wstring()> drawing;  // writes the drawing; its path
    bool stretch = false;
    LONG effect = 0;
    bool afterPicture = false;       // the test picture shown before: a failed read must not keep it
    std::uint32_t error = 0;         // the run-time error PaintPreview raises (0x800A....), 0: none
    const wchar_t* description = nullptr;
    std::vector<Pixel> pixels;
};

std::wstring missingDrawing() { return (tempDir() / L"없는 도면.dwg").wstring(); }

std::wstring pastTheEnd() {
    fx::Drawing past{{{1, fx::Bytes(8, 1)}, {2, fx::bitmapEntry(testPicture()), 0x7FFFFF00}}};
    return writeFile(L"past.dwg", fx::drawingFile(past));
}

const std::vector<PictureCase> kPictures = {
    {"CentredFromItsOrigin", pictureDrawing, false, 0, false, 0, nullptr, kCentred},
    // 20 x 10 onto 100 x 60: five columns and six rows per picture pixel, over the etched border.
    {"StretchedFillsTheControlAndCoversTheBorder", pictureDrawing, true, 3, false, 0, nullptr,
     {{0, 0, RGB(255, 255, 255)}, {2, 10, RGB(64, 64, 64)}, {30, 30, RGB(255, 0, 0)}, {70, 30, RGB(0, 0, 255)},
      {99, 59, RGB(0, 0, 0)}, {99, 30, RGB(0, 0, 255)}}},
    // 140 x 80 not stretched, offset (-20, -10): picture pixel (20, 10) lands on the control's corner.
    {"LargeNotStretchedIsCentredAndClippedOnAllSides",
     [] {
         fx::Bitmap big = testPicture();
         big.width = 140;
         big.height = 80;
         big.pixel = [](int x, int y) -> std::uint32_t { return (x == 20 && y == 10) ? 2 : 3; };
         return writeFile(L"big.dwg", fx::drawingFile({{{1, fx::Bytes(8, 1)}, {2, fx::bitmapEntry(big)}}}));
     },
     false, 0, false, 0, nullptr, {{0, 0, RGB(255, 0, 0)}, {1, 1, RGB(0, 0, 255)}, {99, 59, RGB(0, 0, 255)}}},
    // Decoded by the platform and shown like a bitmap, stretched like any preview.
    {"PngDecodedByThePlatform", pngDrawing, false, 0, false, 0, nullptr, kCentred},
    {"PngStretched", pngDrawing, true, 0, false, 0, nullptr,
     {{0, 0, RGB(255, 255, 255)}, {30, 30, RGB(255, 0, 0)}, {99, 59, RGB(0, 0, 0)}}},
    {"Bitmap24ShownLikeEightBit", [] { return deepDrawing(24); }, false, 0, false, 0, nullptr, kCentred},
    {"Bitmap32ShownLikeEightBit", [] { return deepDrawing(32); }, false, 0, false, 0, nullptr, kCentred},
    // Read errors carry their number, description and the control's source; a failed read leaves no
    // picture behind.
    {"MissingFileRaises53", missingDrawing, false, 0, true, 0x800A0035u, L"File not found", kNothing},
    {"EntryPastTheEndRaises62", pastTheEnd, false, 0, true, 0x800A003Eu, L"Input past end of file", kNothing},
    {"EmptyPathRaises75", [] { return std::wstring(); }, false, 0, true, 0x800A004Bu, nullptr, {}},
    // A read error after a shown entry keeps that picture and raises.
    {"AReadErrorAfterAShownEntryKeepsThatPicture",
     [] {
         const fx::Bytes bm = fx::bitmapEntry(testPicture());
         return writeFile(L"later_past.dwg",
                          fx::drawingFile({{{1, fx::Bytes(8, 1)}, {2, bm}, {2, bm, 0x7FFFFF00}}}));
     },
     false, 0, false, 0x800A003Eu, nullptr, {{40, 25, RGB(255, 255, 255)}, {45, 30, RGB(255, 0, 0)}}},
    // Bad PNG entries raise the reader's errors and show nothing.
    {"PngPastTheEndRaises62",
     [] {
         const fx::Bytes png = fx::pngImage(20, 10, layoutRgb);
         fx::Drawing past{{{1, fx::Bytes(80, 1)}, {6, png, std::nullopt, static_cast<std::uint32_t>(png.size() + 500)}}};
         return writeFile(L"past.dwg", fx::drawingFile(past));
     },
     false, 0, true, 0x800A003Eu, nullptr, kNothing},
    {"CorruptPngRaises481",
     [] {
         fx::Bytes corrupt = fx::pngImage(20, 10, layoutRgb);
         corrupt.resize(corrupt.size() - 40);  // cut inside the image data
         fx::Bytes tail = fx::pngImage(1, 1, layoutRgb);
         corrupt.insert(corrupt.end(), tail.end() - 12, tail.end());  // an end chunk after the cut
         return writeFile(L"corrupt.dwg", fx::drawingFile({{{1, fx::Bytes(80, 1)}, {6, corrupt}}}));
     },
     false, 0, true, 0x800A01E1u, L"Invalid picture", kNothing},
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.name; }

class Pictures : public HostedThumbView, public ::testing::WithParamInterface<PictureCase> {};

}  // namespace

TEST_P(Pictures, PaintPreviewShowsWhatTheDrawingHolds) {
    const PictureCase& p = GetParam();
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    ASSERT_EQ(putInt(c, L"SpecialEffect", p.effect), S_OK);
    ASSERT_EQ(putBool(c, L"Stretch", p.stretch), S_OK);
    if (p.afterPicture) showPreview(c, pictureDrawing());
    CallResult r;
    paintPreview(c, p.drawing(), r);
    if (p.error) {
        ASSERT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(static_cast<std::uint32_t>(r.excep.scode), p.error);
        EXPECT_STREQ(r.excep.bstrSource, L"KelvaView");
        if (p.description) {
            EXPECT_STREQ(r.excep.bstrDescription, p.description);
        }
    } else {
        ASSERT_EQ(r.hr, S_OK) << (r.excep.bstrDescription ? r.excep.bstrDescription : L"");
        ASSERT_EQ(V_VT(&r.value), VT_BSTR);
        EXPECT_EQ(SysStringLen(V_BSTR(&r.value)), 0u);
    }
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    for (const Pixel& px : p.pixels) EXPECT_PIXEL(canvas, px.x, px.y, px.colour);
}

INSTANTIATE_TEST_SUITE_P(ThumbView, Pictures, ::testing::ValuesIn(kPictures),
                         [](const auto& info) { return info.param.name; });

TEST_F(HostedThumbView, DrawnAtAnOffsetOrOnScreenTheControlKeepsToItsRectangle) {
    EXPECT_EQ(getInt(c, L"BackColor"), static_cast<LONG>(0x8000000F));
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    showPreview(c, pictureDrawing());
    // Drawn by a container at an offset, the control keeps to its rectangle.
    Canvas page(kWidth + 40, kHeight + 40);
    auto view = as<IViewObject2>(c);
    ASSERT_TRUE(view);
    const RECTL at{20, 30, 20 + kWidth, 30 + kHeight};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, page.dc(), &at, nullptr, nullptr, 0), S_OK);
    EXPECT_PIXEL(page, 60, 55, RGB(255, 255, 255));
    EXPECT_PIXEL(page, 65, 60, RGB(255, 0, 0));
    EXPECT_PIXEL(page, 20, 30, kGreen);
    EXPECT_PIXEL(page, 19, 30, RGB(128, 128, 128));  // outside: untouched
    EXPECT_PIXEL(page, 20 + kWidth, 30, RGB(128, 128, 128));
    // The window paints the same picture.
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Canvas screen(kWidth, kHeight);
    HDC wdc = GetDC(w);
    BitBlt(screen.dc(), 0, 0, kWidth, kHeight, wdc, 0, 0, SRCCOPY);
    ReleaseDC(w, wdc);
    EXPECT_PIXEL(screen, 40, 25, RGB(255, 255, 255));
    EXPECT_PIXEL(screen, 45, 30, RGB(255, 0, 0));
    EXPECT_PIXEL(screen, 10, 10, kGreen);
}

TEST_F(HostedThumbView, EachBorderEffectDrawsItsEdge) {
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    const std::pair<LONG, UINT> effects[] = {{1, BDR_RAISEDINNER}, {2, BDR_SUNKENOUTER}, {3, EDGE_ETCHED}};
    Canvas none(kWidth, kHeight);
    ASSERT_EQ(putInt(c, L"SpecialEffect", 0), S_OK);
    drawInto(c, none);
    for (int x : {0, 1, 50, 98, 99}) EXPECT_PIXEL(none, x, 30, kGreen);
    for (auto [effect, edge] : effects) {
        ASSERT_EQ(putInt(c, L"SpecialEffect", effect), S_OK);
        EXPECT_EQ(getInt(c, L"SpecialEffect"), effect);
        Canvas drawn(kWidth, kHeight);
        drawInto(c, drawn);
        Canvas expected(kWidth, kHeight);
        RECT r{0, 0, kWidth, kHeight};
        HBRUSH green = CreateSolidBrush(kGreen);
        FillRect(expected.dc(), &r, green);
        DeleteObject(green);
        DrawEdge(expected.dc(), &r, edge, BF_RECT);
        EXPECT_TRUE(drawn.sameAs(expected)) << "effect " << effect;
        EXPECT_FALSE(drawn.sameAs(none)) << "effect " << effect;
        EXPECT_PIXEL(drawn, 50, 30, kGreen);
    }
}

TEST_F(HostedThumbView, FocusRectangleIsPaintedWhileFocusedAndGoneAfter) {
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    auto capture = [&](Canvas& into) {
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC wdc = GetDC(w);
        BitBlt(into.dc(), 0, 0, kWidth, kHeight, wdc, 0, 0, SRCCOPY);
        ReleaseDC(w, wdc);
    };
    auto focusPixels = [](const Canvas& cv) {
        int n = 0;
        for (int x = 5; x < kWidth - 5; ++x) n += cv.at(x, 5) != kGreen;
        return n;
    };
    SetForegroundWindow(host_->form());
    SetFocus(w);
    AtlHost::pump();
    ASSERT_EQ(GetFocus(), w);
    Canvas focused(kWidth, kHeight), again(kWidth, kHeight);
    capture(focused);
    EXPECT_GT(focusPixels(focused), 10);
    EXPECT_PIXEL(focused, 50, 30, kGreen);
    // A repaint while focused draws the same rectangle, not its inverse.
    capture(again);
    EXPECT_TRUE(again.sameAs(focused));
    SetFocus(host_->form());
    AtlHost::pump();
    Canvas after(kWidth, kHeight);
    capture(after);
    EXPECT_EQ(focusPixels(after), 0);
    // A container's drawing never shows the focus.
    SetFocus(w);
    AtlHost::pump();
    Canvas drawn(kWidth, kHeight);
    drawInto(c, drawn);
    EXPECT_EQ(focusPixels(drawn), 0);
}

TEST_F(HostedThumbView, NewPathKeepsTheOldPictureUntilPaintPreviewAndNoPreviewClearsIt) {
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    showPreview(c, pictureDrawing());
    const std::wstring empty = writeFile(L"empty.dwg", fx::drawingFile({{{1, fx::Bytes(8, 1)}}}));
    ASSERT_EQ(putText(c, L"DrawingFile", empty), S_OK);
    EXPECT_EQ(getText(c, L"DrawingFile"), empty);
    Canvas kept(kWidth, kHeight);
    drawInto(c, kept);
    EXPECT_PIXEL(kept, 45, 30, RGB(255, 0, 0));
    // The same drawing again holds one picture, not two.
    showPreview(c, pictureDrawing());
    showPreview(c, empty);
    Canvas cleared(kWidth, kHeight);
    drawInto(c, cleared);
    EXPECT_PIXEL(cleared, 45, 30, kGreen);
    EXPECT_PIXEL(cleared, 40, 25, kGreen);
}

TEST_F(HostedThumbView, PreviewsADrawingHeldOpenForWritingByAnotherProgram) {
    const std::wstring path = pictureDrawing();
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    showPreview(c, path);
    CloseHandle(held);
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    EXPECT_PIXEL(canvas, 45, 30, RGB(255, 0, 0));
    // Held without any sharing: the run time's permission error, not a generic access error.
    HANDLE locked = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    CallResult r;
    paintPreview(c, path, r);
    CloseHandle(locked);
    ASSERT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(static_cast<std::uint32_t>(r.excep.scode), 0x800A0046u);  // 70
    EXPECT_STREQ(r.excep.bstrDescription, L"Permission denied");
}

TEST_F(ThumbViewTest, PropertiesCheckTheirValues) {
    auto c = server_->create();
    ASSERT_TRUE(c);
    EXPECT_EQ(putInt(c.get(), L"BackColor", static_cast<LONG>(0x80000005)), S_OK);
    EXPECT_EQ(getInt(c.get(), L"BackColor"), static_cast<LONG>(0x80000005));
    EXPECT_EQ(putInt(c.get(), L"BackColor", static_cast<LONG>(0x800000FF)), DISP_E_EXCEPTION);
    EXPECT_EQ(getInt(c.get(), L"BackColor"), static_cast<LONG>(0x80000005));
    EXPECT_EQ(putInt(c.get(), L"SpecialEffect", 70000), DISP_E_EXCEPTION);
    EXPECT_EQ(getInt(c.get(), L"SpecialEffect"), 0);
    EXPECT_EQ(putBool(c.get(), L"Enabled", false), S_OK);
    EXPECT_EQ(getInt(c.get(), L"Enabled"), 0);
    // DrawingFile is the member hosts show first.
    ComPtr<ITypeInfo> ti;
    ASSERT_EQ(c->GetTypeInfo(0, LOCALE_USER_DEFAULT, ti.put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(ti->GetTypeAttr(&attr), S_OK);
    int uiDefaults = 0;
    for (WORD i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* fd = nullptr;
        ASSERT_EQ(ti->GetFuncDesc(i, &fd), S_OK);
        BSTR name = nullptr;
        ti->GetDocumentation(fd->memid, &name, nullptr, nullptr, nullptr);
        if (fd->wFuncFlags & FUNCFLAG_FUIDEFAULT) {
            ++uiDefaults;
            EXPECT_STREQ(name, L"DrawingFile");
        }
        SysFreeString(name);
        ti->ReleaseFuncDesc(fd);
    }
    ti->ReleaseTypeAttr(attr);
    EXPECT_EQ(uiDefaults, 2);  // its get and its put
}

TEST_F(HostedThumbView, EnabledIsTheSurfacesOwnState) {
    ASSERT_TRUE(IsWindowEnabled(w));
    ASSERT_EQ(putBool(c, L"Enabled", false), S_OK);
    EXPECT_FALSE(IsWindowEnabled(w));
    ASSERT_EQ(putBool(c, L"Enabled", true), S_OK);
    EXPECT_TRUE(IsWindowEnabled(w));
}

// ---- events ---------------------------------------------------------------------------------------------------------
namespace {

struct Fired {
    DISPID id;
    std::vector<double> args;  // in declaration order
    std::vector<VARTYPE> types;
};

// IDispatch answering nothing by name: the base of the event sinks below.
template <class Derived, class... Others>
class SinkBase : public kelva::com::Object<Derived, IDispatch, Others...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

// A host's event sink: records every event the control raises.
class Sink final : public SinkBase<Sink> {
public:
    std::vector<Fired> fired;
    void* queryExtra(REFIID riid) { return riid == DIID___ThumbView ? static_cast<IDispatch*>(this) : nullptr; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
        Fired f{id, {}, {}};
        for (UINT i = p->cArgs; i-- > 0;) {
            VARIANT v;
            VariantInit(&v);
            f.types.push_back(V_VT(&p->rgvarg[i]));
            VariantChangeType(&v, &p->rgvarg[i], 0, VT_R8);
            f.args.push_back(V_R8(&v));
        }
        fired.push_back(f);
        return S_OK;
    }
};

// The connection point of `control` for `iid`.
ComPtr<IConnectionPoint> pointOf(IUnknown* control, REFIID iid) {
    ComPtr<IConnectionPoint> cp;
    if (auto cpc = as<IConnectionPointContainer>(control)) {
        EXPECT_EQ(cpc->FindConnectionPoint(iid, cp.put()), S_OK);
    }
    return cp;
}

}  // namespace

TEST_F(HostedThumbView, MouseEventsReachAConnectedSink) {
    auto cp = pointOf(c, DIID___ThumbView);
    ASSERT_TRUE(cp);
    IID iid{};
    ASSERT_EQ(cp->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, DIID___ThumbView));
    auto sink = ComPtr<Sink>::attach(new Sink());
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(sink.get(), &cookie), S_OK);

    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    SendMessageW(w, WM_MOUSEMOVE, MK_RBUTTON | MK_SHIFT | MK_CONTROL, MAKELPARAM(3, 4));
    SendMessageW(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    SendMessageW(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 8));
    SendMessageW(w, WM_RBUTTONUP, 0, MAKELPARAM(7, 8));
    // A left press released outside the control is no click.
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(500, 20));

    const std::vector<std::pair<DISPID, std::vector<double>>> expected = {
        {5, {1, 0, 10, 20}}, {4, {1, 0, 10, 20}}, {1, {}},  {3, {2, 3, 3, 4}}, {2, {}},
        {4, {1, 0, 10, 20}}, {5, {2, 0, 7, 8}},   {4, {2, 0, 7, 8}}, {5, {1, 0, 10, 20}}, {4, {1, 0, 500, 20}}};
    ASSERT_EQ(sink->fired.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sink->fired[i].id, expected[i].first) << i;
        EXPECT_EQ(sink->fired[i].args, expected[i].second) << i;
    }
    EXPECT_EQ(sink->fired[0].types, (std::vector<VARTYPE>{VT_I2, VT_I2, VT_R4, VT_R4}));

    // Frozen events are not raised; after Unadvise nothing reaches the sink.
    auto ole = as<IOleControl>(c);
    ASSERT_TRUE(ole);
    ole->FreezeEvents(TRUE);
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    ole->FreezeEvents(FALSE);
    EXPECT_EQ(sink->fired.size(), expected.size());
    ASSERT_EQ(cp->Unadvise(cookie), S_OK);
    EXPECT_EQ(cp->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(sink->fired.size(), expected.size());
    EXPECT_EQ(sink->references(), 1u) << "only the test holds the sink";
}

namespace {

// A sink whose handler drops another sink's connection; it notes any call it gets after the control let
// go of it (the test's own reference keeps it alive to tell).
class DroppingSink final : public SinkBase<DroppingSink> {
public:
    IConnectionPoint* point = nullptr;
    DWORD dropCookie = 0;  // the connection this sink's handler ends
    int calls = 0;
    bool calledAfterRelease = false;

    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        ++calls;
        if (references() == 1) calledAfterRelease = true;
        if (dropCookie) point->Unadvise(std::exchange(dropCookie, 0));
        return S_OK;
    }
};

}  // namespace

TEST_F(HostedThumbView, ASinkThatDisconnectsAnotherWhileHandlingAnEventIsSafe) {
    auto cp = pointOf(c, DIID___ThumbView);
    ASSERT_TRUE(cp);
    auto first = ComPtr<DroppingSink>::attach(new DroppingSink());
    auto second = ComPtr<DroppingSink>::attach(new DroppingSink());
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(cp->Advise(first.get(), &firstCookie), S_OK);
    ASSERT_EQ(cp->Advise(second.get(), &secondCookie), S_OK);
    first->point = cp.get();
    first->dropCookie = secondCookie;
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(first->calls, 1);
    EXPECT_FALSE(second->calledAfterRelease);
    EXPECT_EQ(second->references(), 1u);
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(first->calls, 2);
    EXPECT_LE(second->calls, 1);
    ASSERT_EQ(cp->Unadvise(firstCookie), S_OK);
    EXPECT_EQ(first->references(), 1u);
}

// ---- persistence ----------------------------------------------------------------------------------------------------
namespace {

// A host's property bag that keeps the order of reads and writes.
class Bag final : public kelva::com::Object<Bag, IPropertyBag> {
public:
    std::vector<std::wstring> reads, writes;
    std::vector<std::pair<std::wstring, VARIANT>> values;
    ~Bag() {
        for (auto& v : values) VariantClear(&v.second);
    }
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* v, IErrorLog*) override {
        reads.push_back(name);
        for (auto& [n, value] : values)
            if (n == name) return VariantCopy(v, &value);
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* v) override {
        writes.push_back(name);
        VARIANT copy;
        VariantInit(&copy);
        VariantCopy(&copy, v);
        values.emplace_back(name, copy);
        return S_OK;
    }
    VARTYPE typeOf(const std::wstring& name) const {
        for (auto& [n, value] : values)
            if (n == name) return V_VT(&value);
        return VT_EMPTY;
    }
    void setText(const std::wstring& name, const wchar_t* text) {
        VARIANT v;
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = SysAllocString(text);
        values.emplace_back(name, v);
    }
};

ComPtr<Bag> newBag() { return ComPtr<Bag>::attach(new Bag()); }

void setAllProperties(IDispatch* c, const std::wstring& path) {
    ASSERT_EQ(putText(c, L"DrawingFile", path), S_OK);
    ASSERT_EQ(putBool(c, L"Stretch", true), S_OK);
    ASSERT_EQ(putInt(c, L"SpecialEffect", 2), S_OK);
    ASSERT_EQ(putInt(c, L"BackColor", 0x00345678), S_OK);
    ASSERT_EQ(putBool(c, L"Enabled", false), S_OK);
}

void expectAllProperties(IDispatch* c, const std::wstring& path) {
    EXPECT_EQ(getText(c, L"DrawingFile"), path);
    EXPECT_EQ(getInt(c, L"Stretch"), -1);
    EXPECT_EQ(getInt(c, L"SpecialEffect"), 2);
    EXPECT_EQ(getInt(c, L"BackColor"), 0x00345678);
    EXPECT_EQ(getInt(c, L"Enabled"), 0);
}

// A control from the class factory with every property set away from its default.
class StoredThumbView : public ThumbViewTest {
protected:
    void SetUp() override {
        ThumbViewTest::SetUp();
        if (HasFatalFailure()) return;
        c = server_->create();
        ASSERT_TRUE(c);
        setAllProperties(c.get(), path);
    }
    void TearDown() override {
        c.reset();
        ThumbViewTest::TearDown();
    }
    const std::wstring path = L"D:\\현장\\단면도 A-1.dwg";
    ComPtr<IDispatch> c;
};

}  // namespace

TEST_F(StoredThumbView, PropertyBagWritesAndReadsInTheirOrders) {
    auto persist = as<IPersistPropertyBag>(c.get());
    auto dirty = as<IPersistStreamInit>(c.get());
    ASSERT_TRUE(persist && dirty);
    EXPECT_EQ(dirty->IsDirty(), S_OK);
    auto bag = newBag();
    ASSERT_EQ(persist->Save(bag.get(), TRUE, TRUE), S_OK);
    EXPECT_EQ(dirty->IsDirty(), S_FALSE);
    EXPECT_EQ(bag->writes, (std::vector<std::wstring>{L"SpecialEffect", L"Stretch", L"BackColor", L"Enabled", L"DrawingFile"}));
    EXPECT_EQ(bag->typeOf(L"SpecialEffect"), VT_I2);
    EXPECT_EQ(bag->typeOf(L"Stretch"), VT_BOOL);
    EXPECT_EQ(bag->typeOf(L"DrawingFile"), VT_BSTR);

    auto loaded = server_->create();
    auto loader = as<IPersistPropertyBag>(loaded.get());
    ASSERT_TRUE(loader);
    ASSERT_EQ(loader->Load(bag.get(), nullptr), S_OK);
    EXPECT_EQ(bag->reads, (std::vector<std::wstring>{L"SpecialEffect", L"DrawingFile", L"Stretch", L"BackColor", L"Enabled"}));
    expectAllProperties(loaded.get(), path);
    EXPECT_EQ(bag->references(), 1u) << "the control keeps no bag";

    // Defaults are not written; an empty bag gives the defaults.
    auto fresh = server_->create();
    auto freshPersist = as<IPersistPropertyBag>(fresh.get());
    ASSERT_TRUE(freshPersist);
    auto empty = newBag();
    ASSERT_EQ(freshPersist->Save(empty.get(), TRUE, TRUE), S_OK);
    EXPECT_TRUE(empty->writes.empty());
    ASSERT_EQ(freshPersist->Load(empty.get(), nullptr), S_OK);
    EXPECT_EQ(getInt(fresh.get(), L"BackColor"), static_cast<LONG>(0x8000000F));
    EXPECT_EQ(getInt(fresh.get(), L"Enabled"), -1);
}

TEST_F(StoredThumbView, BadPropertyBagValueRaisesItsErrorAndChangesNothing) {
    auto persist = as<IPersistPropertyBag>(c.get());
    ASSERT_TRUE(persist);
    auto bad = newBag();
    bad->setText(L"SpecialEffect", L"1");
    bad->setText(L"Stretch", L"아니오");
    EXPECT_EQ(static_cast<std::uint32_t>(persist->Load(bad.get(), nullptr)), 0x800A000Du);  // type mismatch
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
    BSTR description = nullptr;
    info->GetDescription(&description);
    EXPECT_STREQ(description, L"Type mismatch");
    SysFreeString(description);
    BSTR source = nullptr;
    info->GetSource(&source);
    EXPECT_STREQ(source, L"KelvaView");
    SysFreeString(source);
    expectAllProperties(c.get(), path);
}

TEST_F(StoredThumbView, StreamRoundTripAndACutStreamLosesNothing) {
    auto persist = as<IPersistStreamInit>(c.get());
    ASSERT_TRUE(persist);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    ULARGE_INTEGER max{}, end{};
    ASSERT_EQ(persist->GetSizeMax(&max), S_OK);
    stream->Seek({}, STREAM_SEEK_CUR, &end);
    EXPECT_EQ(max.QuadPart, end.QuadPart);

    auto loaded = server_->create();
    auto loader = as<IPersistStreamInit>(loaded.get());
    ASSERT_TRUE(loader);
    ASSERT_EQ(loader->InitNew(), S_OK);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(loader->Load(stream.get()), S_OK);
    expectAllProperties(loaded.get(), path);
    CLSID clsid{};
    ASSERT_EQ(loader->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ThumbView));

    // The same record cut short: an error, and the control keeps what it had.
    ComPtr<IStream> cut;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, cut.put()), S_OK);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    ULARGE_INTEGER part{};
    part.QuadPart = end.QuadPart - 3;
    ASSERT_EQ(stream->CopyTo(cut.get(), part, nullptr, nullptr), S_OK);
    cut->Seek({}, STREAM_SEEK_SET, nullptr);
    auto other = server_->create();
    auto otherPersist = as<IPersistStreamInit>(other.get());
    ASSERT_TRUE(otherPersist);
    ASSERT_EQ(putText(other.get(), L"DrawingFile", L"keep.dwg"), S_OK);
    EXPECT_EQ(static_cast<std::uint32_t>(otherPersist->Load(cut.get())), 0x800A003Eu);
    EXPECT_EQ(getText(other.get(), L"DrawingFile"), L"keep.dwg");
    EXPECT_EQ(getInt(other.get(), L"Stretch"), 0);
}

TEST_F(ThumbViewTest, StoredPropertiesShowInAHostedControl) {
    // A stored effect read back repaints at once: the container sees the border without a Refresh.
    auto c = server_->create();
    ASSERT_TRUE(c);
    ASSERT_EQ(putInt(c.get(), L"SpecialEffect", 1), S_OK);
    auto persist = as<IPersistStreamInit>(c.get());
    ASSERT_TRUE(persist);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    IDispatch* hostedControl = hosted();
    ASSERT_TRUE(hostedControl);
    auto hostedPersist = as<IPersistStreamInit>(hostedControl);
    ASSERT_TRUE(hostedPersist);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(hostedPersist->Load(stream.get()), S_OK);
    EXPECT_EQ(getInt(hostedControl, L"SpecialEffect"), 1);
    Canvas canvas(kWidth, kHeight);
    drawInto(hostedControl, canvas);
    EXPECT_PIXEL(canvas, 0, 30, GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(canvas, kWidth - 1, 30, GetSysColor(COLOR_BTNSHADOW));
}

// ---- a container that offers ambient properties and drives the control the usual way ----------------------------
namespace {

// The frame window of a document container: it keeps the active object referenced, as containers do.
class Frame final : public kelva::com::Object<Frame, IOleInPlaceFrame> {
public:
    explicit Frame(HWND window) : window_(window) {}
    IOleInPlaceActiveObject* active() const { return active_.get(); }

    void* queryExtra(REFIID riid) {
        if (riid == IID_IOleWindow || riid == IID_IOleInPlaceUIWindow) return static_cast<IOleInPlaceFrame*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override {
        *w = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        active_ = ComPtr<IOleInPlaceActiveObject>(object);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HWND window_;
    ComPtr<IOleInPlaceActiveObject> active_;
};

// One control's site: client site, in-place site, control site and the ambient properties.
class Site final
    : public kelva::com::Object<Site, IOleClientSite, IOleInPlaceSite, IOleControlSite, IDispatch> {
public:
    Site(HWND window, Frame& frame, RECT pos) : window_(window), frame_(frame), pos_(pos) {}
    std::vector<std::wstring> calls;  // the notifications the control sent, in order

    void* queryExtra(REFIID riid) { return riid == IID_IOleWindow ? static_cast<IOleInPlaceSite*>(this) : nullptr; }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override {
        calls.push_back(L"SaveObject");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** m) override {
        *m = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override {
        *w = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        calls.push_back(L"OnInPlaceActivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override {
        calls.push_back(L"OnUIActivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        *frame = ComPtr<IOleInPlaceFrame>(&frame_).detach();
        *doc = nullptr;
        *pos = pos_;
        *clip = pos_;
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override {
        calls.push_back(L"OnUIDeactivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        calls.push_back(L"OnInPlaceDeactivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** d) override {
        *d = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL got) override {
        calls.push_back(got ? L"OnFocus(TRUE)" : L"OnFocus(FALSE)");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties a form offers its controls.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (!result) return E_POINTER;
        VariantInit(result);
        switch (id) {
        case DISPID_AMBIENT_USERMODE:
        case DISPID_AMBIENT_MESSAGEREFLECT:
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = id == DISPID_AMBIENT_USERMODE ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case DISPID_AMBIENT_BACKCOLOR:
            V_VT(result) = VT_I4;
            V_I4(result) = 0x00FF00FF;
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    HWND window_;
    Frame& frame_;  // the container's, which outlives its sites
    RECT pos_;
};

// The usual order of a container that offers ambient properties: client site first (the control asks
// for it), initialised, told the ambients changed, activated in place, positioned.
ComPtr<IOleObject> placeControl(const Server& server, Site& site, HWND form, const RECT& pos) {
    ComPtr<IDispatch> control = server.create();
    auto ole = control ? as<IOleObject>(control.get()) : nullptr;
    if (!ole) return nullptr;
    DWORD misc = 0;
    EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);
    EXPECT_EQ(ole->SetClientSite(&site), S_OK);
    if (auto persist = as<IPersistStreamInit>(ole.get())) {
        EXPECT_EQ(persist->InitNew(), S_OK);
    }
    if (auto oc = as<IOleControl>(ole.get())) {
        EXPECT_EQ(oc->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
        CONTROLINFO info{sizeof info};
        EXPECT_EQ(oc->GetControlInfo(&info), S_OK);
    }
    EXPECT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, form, &pos), S_OK);
    if (auto inPlace = as<IOleInPlaceObject>(ole.get())) {
        EXPECT_EQ(inPlace->SetObjectRects(&pos, &pos), S_OK);
    }
    return ole;
}

// The usual order of taking a control away: closed, site released, last reference dropped.
void removeControl(ComPtr<IOleObject>& ole) {
    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);  // a second close is harmless
    EXPECT_EQ(ole->SetClientSite(nullptr), S_OK);
    ole.reset();
}

HWND windowOf(IOleObject* ole) {
    HWND h = nullptr;
    if (auto w = as<IOleWindow>(ole)) w->GetWindow(&h);
    return h;
}

// A form window holding controls through sites, with its frame.
class ContainerTest : public ThumbViewTest {
protected:
    void SetUp() override {
        ThumbViewTest::SetUp();
        if (HasFatalFailure()) return;
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KelvaPreviewTestContainer";
        RegisterClassW(&wc);
        form = CreateWindowExW(0, wc.lpszClassName, L"container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                               10, 10, 400, 200, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(form);
        frame = ComPtr<Frame>::attach(new Frame(form));
    }
    void TearDown() override {
        frame.reset();
        if (form) DestroyWindow(form);
        AtlHost::pump();
        ThumbViewTest::TearDown();
    }
    ComPtr<Site> newSite(const RECT& pos) { return ComPtr<Site>::attach(new Site(form, *frame.get(), pos)); }

    HWND form = nullptr;
    ComPtr<Frame> frame;
};

}  // namespace

TEST_F(ContainerTest, UsualContainerActivatesDeactivatesAndReleasesEverything) {
    const RECT pos{10, 20, 10 + kWidth, 20 + kHeight};
    auto site = newSite(pos);
    ComPtr<IOleObject> ole = placeControl(*server_, *site.get(), form, pos);
    ASSERT_TRUE(ole);
    HWND w = windowOf(ole.get());
    ASSERT_TRUE(w);
    EXPECT_EQ(GetParent(w), form);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, kWidth);
    EXPECT_EQ((site->calls), (std::vector<std::wstring>{L"OnInPlaceActivate"}));

    // Scrolled partly out of the container's view: only the part inside the clip rectangle shows.
    auto placed = as<IOleInPlaceObject>(ole.get());
    ASSERT_TRUE(placed);
    const RECT clip{10, 20, 10 + kWidth / 2, 20 + kHeight};
    ASSERT_EQ(placed->SetObjectRects(&pos, &clip), S_OK);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(w, region), SIMPLEREGION);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, kWidth / 2);
    EXPECT_EQ(box.bottom, kHeight);
    ASSERT_EQ(placed->SetObjectRects(&pos, &pos), S_OK);
    EXPECT_EQ(GetWindowRgn(w, region), ERROR);  // whole again
    DeleteObject(region);

    // Taking the focus makes it the container's active object and tells the control site.
    SetForegroundWindow(form);
    SetFocus(w);
    AtlHost::pump();
    EXPECT_EQ(GetFocus(), w);
    EXPECT_TRUE(frame->active());
    EXPECT_EQ((site->calls), (std::vector<std::wstring>{L"OnInPlaceActivate", L"OnUIActivate", L"OnFocus(TRUE)"}));

    // The container deactivates it (another control became active): the frame lets go of it.
    site->calls.clear();
    EXPECT_EQ(placed->UIDeactivate(), S_OK);
    EXPECT_FALSE(frame->active());
    EXPECT_EQ((site->calls), (std::vector<std::wstring>{L"OnUIDeactivate"}));
    site->calls.clear();
    EXPECT_EQ(ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.get(), 0, form, &pos), S_OK);
    EXPECT_TRUE(frame->active());
    EXPECT_EQ(site->calls.front(), L"OnUIActivate");
    // Hidden, it is no longer the active object; shown again, it is.
    EXPECT_EQ(ole->DoVerb(OLEIVERB_HIDE, nullptr, site.get(), 0, form, &pos), S_OK);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_FALSE(frame->active());
    EXPECT_EQ(ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.get(), 0, form, &pos), S_OK);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(frame->active());

    // Closed while UI-active, then let go of: nothing of the control or the container is left held.
    placed.reset();
    site->calls.clear();
    removeControl(ole);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(frame->active());
    EXPECT_EQ(site->calls.front(), L"OnUIDeactivate");
    EXPECT_EQ(site->calls.back(), L"OnInPlaceDeactivate");
    EXPECT_EQ(site->references(), 1u);
    EXPECT_EQ(frame->references(), 1u);
    EXPECT_EQ(server_->canUnloadNow(), S_OK);
}

TEST_F(ContainerTest, ClosingWithSaveIfChangedAsksTheSiteToSaveOnlyWhenChanged) {
    const RECT pos{0, 0, kWidth, kHeight};
    auto site = newSite(pos);
    ComPtr<IOleObject> ole = placeControl(*server_, *site.get(), form, pos);
    ASSERT_TRUE(ole);
    EXPECT_EQ(ole->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
    EXPECT_EQ(std::count(site->calls.begin(), site->calls.end(), L"SaveObject"), 0);
    auto d = as<IDispatch>(ole.get());
    ASSERT_TRUE(d);
    ASSERT_EQ(putBool(d.get(), L"Stretch", true), S_OK);
    d.reset();
    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(std::count(site->calls.begin(), site->calls.end(), L"SaveObject"), 0);
    EXPECT_EQ(ole->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
    EXPECT_EQ(std::count(site->calls.begin(), site->calls.end(), L"SaveObject"), 1);
    EXPECT_EQ(ole->SetClientSite(nullptr), S_OK);
    ole.reset();
    EXPECT_EQ(site->references(), 1u);
}

// Two controls in one container: each keeps its own window, properties, picture and events.
TEST_F(ContainerTest, TwoControlsInOneContainerStayApart) {
    const RECT left{0, 0, kWidth, kHeight}, right{150, 0, 150 + kWidth, kHeight};
    auto leftSite = newSite(left), rightSite = newSite(right);
    ComPtr<IOleObject> first = placeControl(*server_, *leftSite.get(), form, left);
    ComPtr<IOleObject> second = placeControl(*server_, *rightSite.get(), form, right);
    ASSERT_TRUE(first && second);
    HWND w1 = windowOf(first.get()), w2 = windowOf(second.get());
    ASSERT_TRUE(w1 && w2);
    EXPECT_NE(w1, w2);
    auto d1 = as<IDispatch>(first.get()), d2 = as<IDispatch>(second.get());
    ASSERT_TRUE(d1 && d2);
    ASSERT_EQ(putInt(d1.get(), L"BackColor", kGreen), S_OK);
    ASSERT_EQ(putInt(d2.get(), L"BackColor", RGB(0, 0, 128)), S_OK);
    showPreview(d1.get(), pictureDrawing());
    EXPECT_EQ(getText(d2.get(), L"DrawingFile"), L"");

    // Focus moves from one to the other: the frame's active object follows.
    SetForegroundWindow(form);
    SetFocus(w1);
    AtlHost::pump();
    EXPECT_EQ(frame->active(), as<IOleInPlaceActiveObject>(first.get()).get());
    as<IOleInPlaceObject>(first.get())->UIDeactivate();  // what the container does when another control activates
    SetFocus(w2);
    AtlHost::pump();
    EXPECT_EQ(frame->active(), as<IOleInPlaceActiveObject>(second.get()).get());

    auto sink = ComPtr<Sink>::attach(new Sink());
    auto cp = pointOf(second.get(), DIID___ThumbView);
    ASSERT_TRUE(cp);
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(sink.get(), &cookie), S_OK);
    SendMessageW(w1, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_TRUE(sink->fired.empty());

    // The first one goes; the second still paints and raises its events.
    d1.reset();
    removeControl(first);
    EXPECT_FALSE(IsWindow(w1));
    Canvas canvas(kWidth, kHeight);
    drawInto(d2.get(), canvas);
    EXPECT_PIXEL(canvas, 45, 30, RGB(0, 0, 128));
    showPreview(d2.get(), pictureDrawing());
    Canvas shown(kWidth, kHeight);
    drawInto(d2.get(), shown);
    EXPECT_PIXEL(shown, 45, 30, RGB(255, 0, 0));
    SendMessageW(w2, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    ASSERT_EQ(sink->fired.size(), 1u);
    EXPECT_EQ(sink->fired[0].id, 3);
    ASSERT_EQ(cp->Unadvise(cookie), S_OK);
    cp.reset();
    d2.reset();
    removeControl(second);
    EXPECT_EQ(frame->references(), 1u);
    EXPECT_EQ(leftSite->references(), 1u);
    EXPECT_EQ(rightSite->references(), 1u);
    EXPECT_EQ(server_->canUnloadNow(), S_OK);
}

namespace {

// What a designer listens to: which properties changed.
class ChangeSink final : public kelva::com::Object<ChangeSink, IPropertyNotifySink> {
public:
    std::vector<DISPID> changed;
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        changed.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
};

}  // namespace

TEST_F(ThumbViewTest, ChangedPropertiesAreReportedToTheContainer) {
    auto c = server_->create();
    ASSERT_TRUE(c);
    auto cp = pointOf(c.get(), IID_IPropertyNotifySink);
    ASSERT_TRUE(cp);
    IID iid{};
    ASSERT_EQ(cp->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, IID_IPropertyNotifySink));
    auto notASink = ComPtr<Sink>::attach(new Sink());  // an event sink is no property sink
    DWORD refused = 0;
    EXPECT_EQ(cp->Advise(notASink.get(), &refused), CONNECT_E_CANNOTCONNECT);
    auto sink = ComPtr<ChangeSink>::attach(new ChangeSink());
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(sink.get(), &cookie), S_OK);
    ASSERT_EQ(putText(c.get(), L"DrawingFile", L"a.dwg"), S_OK);
    ASSERT_EQ(putBool(c.get(), L"Stretch", true), S_OK);
    ASSERT_EQ(putInt(c.get(), L"SpecialEffect", 2), S_OK);
    ASSERT_EQ(putInt(c.get(), L"BackColor", kGreen), S_OK);
    ASSERT_EQ(putBool(c.get(), L"Enabled", false), S_OK);
    EXPECT_EQ(putInt(c.get(), L"SpecialEffect", 70000), DISP_E_EXCEPTION);  // refused: nothing changed
    CallResult r;
    invoke(c.get(), L"Refresh", DISPATCH_METHOD, nullptr, 0, r);
    EXPECT_EQ(sink->changed, (std::vector<DISPID>{1, 2, 3, DISPID_BACKCOLOR, DISPID_ENABLED}));
    ASSERT_EQ(cp->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink->references(), 1u);
    EXPECT_EQ(notASink->references(), 1u);
    // Calls for another interface than the default are refused.
    DISPPARAMS none{};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(c->Invoke(idOf(c.get(), L"Stretch"), IID_IUnknown, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                        &result, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

// ---- identity and the server's life -------------------------------------------------------------------------------
namespace {

IUnknown* identityOf(IUnknown* p) {
    ComPtr<IUnknown> unknown;
    if (FAILED(p->QueryInterface(IID_IUnknown, unknown.putVoid()))) return nullptr;
    return unknown.get();
}

}  // namespace

TEST_F(ThumbViewTest, EveryInterfaceOfTheControlAnswersWithOneIdentity) {
    auto c = server_->create();
    ASSERT_TRUE(c);
    IUnknown* id = identityOf(c.get());
    ASSERT_TRUE(id);
    const IID interfaces[] = {IID__ThumbView, IID_IDispatch, IID_IOleObject, IID_IOleWindow, IID_IOleInPlaceObject,
                              IID_IOleInPlaceActiveObject, IID_IViewObject, IID_IViewObject2, IID_IPersist,
                              IID_IPersistStreamInit, IID_IPersistPropertyBag, IID_IOleControl,
                              IID_IProvideClassInfo, IID_IProvideClassInfo2, IID_IConnectionPointContainer,
                              IID_ISupportErrorInfo};
    for (std::size_t i = 0; i < std::size(interfaces); ++i) {
        ComPtr<IUnknown> face;
        ASSERT_EQ(c->QueryInterface(interfaces[i], face.putVoid()), S_OK) << "interface " << i;
        EXPECT_EQ(identityOf(face.get()), id) << "interface " << i;
        // Each interface's own AddRef counts for the one object.
        const ULONG viaFace = face->AddRef();
        EXPECT_EQ(c->AddRef(), viaFace + 1) << "interface " << i;
        face->Release();
        c->Release();
    }
    ComPtr<IUnknown> none;
    EXPECT_EQ(c->QueryInterface(IID_IClassFactory, none.putVoid()), E_NOINTERFACE);
    // A connection point is an object of its own, but counts for the control and leads back to it.
    auto cp = pointOf(c.get(), DIID___ThumbView);
    ASSERT_TRUE(cp);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(cp->GetConnectionPointContainer(container.put()), S_OK);
    EXPECT_EQ(identityOf(container.get()), id);
    EXPECT_EQ(identityOf(cp.get()), static_cast<IUnknown*>(cp.get()));
}

// Created and released straight from the factory is the server check's (thumbview_dispatch_tests); here
// the ways a control lives in a container: placed and activated with sinks connected, or hosted by
// atl.dll, each ends with no object of the server left (DllCanUnloadNow S_OK, S_FALSE while it lives).
TEST_F(ContainerTest, ReleasingEveryControlLeavesTheServerFreeToUnload) {
    ASSERT_EQ(server_->canUnloadNow(), S_OK);
    const RECT pos{0, 0, kWidth, kHeight};
    auto site = newSite(pos);
    auto events = ComPtr<Sink>::attach(new Sink());
    auto changes = ComPtr<ChangeSink>::attach(new ChangeSink());
    {
        ComPtr<IOleObject> ole = placeControl(*server_, *site.get(), form, pos);
        ASSERT_TRUE(ole);
        HWND w = windowOf(ole.get());
        ASSERT_TRUE(w);
        // Connected and left connected: letting go of the control lets go of its sinks.
        auto eventPoint = pointOf(ole.get(), DIID___ThumbView);
        auto changePoint = pointOf(ole.get(), IID_IPropertyNotifySink);
        ASSERT_TRUE(eventPoint && changePoint);
        DWORD cookie = 0;
        ASSERT_EQ(eventPoint->Advise(events.get(), &cookie), S_OK);
        ASSERT_EQ(changePoint->Advise(changes.get(), &cookie), S_OK);
        eventPoint.reset();
        changePoint.reset();
        SetForegroundWindow(form);
        SetFocus(w);
        AtlHost::pump();
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        ASSERT_EQ(putBool(as<IDispatch>(ole.get()).get(), L"Stretch", true), S_OK);
        EXPECT_EQ(events->fired.size(), 1u);
        EXPECT_EQ(changes->changed.size(), 1u);
        EXPECT_EQ(server_->canUnloadNow(), S_FALSE);
        removeControl(ole);
    }
    EXPECT_EQ(server_->canUnloadNow(), S_OK) << "activated in place, with sinks, and released";
    EXPECT_EQ(events->references(), 1u);
    EXPECT_EQ(changes->references(), 1u);
    EXPECT_EQ(site->references(), 1u);
    EXPECT_EQ(frame->references(), 1u);

    // Hosted by atl.dll's container, destroyed with its window.
    ASSERT_TRUE(hosted());
    EXPECT_EQ(server_->canUnloadNow(), S_FALSE);
    control_.reset();
    host_.reset();
    EXPECT_EQ(server_->canUnloadNow(), S_OK) << "hosted and destroyed with its container";
}
