// ThumbView hosted by a real container (atl.dll's AtlAxWin window), driven by name through
// IDispatch, its pixels read through IViewObject::Draw and from its window.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "KelvaView.h"
#include "com/com_ptr.h"
#include "preview/tests/fixture.h"

using kelva::com::ComPtr;
namespace fx = kelva::preview::fixture;

namespace {

template <typename F>
F procOf(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
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
            factory->CreateInstance(nullptr, __uuidof(IDispatch), control.putVoid());
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
    ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(control->QueryInterface(__uuidof(IProvideClassInfo2), info.putVoid()), S_OK);
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
TEST_F(ThumbViewTest, HostedInAtlContainerCentresThePreviewFromItsOrigin) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    ASSERT_TRUE(host_->controlWindow());
    EXPECT_EQ(getInt(c, L"BackColor"), static_cast<LONG>(0x8000000F));
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    showPreview(c, pictureDrawing());
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    // 20 x 10 centred in 100 x 60: at (40, 25).
    EXPECT_PIXEL(canvas, 40, 25, RGB(255, 255, 255));  // the top row, black shown white: nothing lost
    EXPECT_PIXEL(canvas, 40, 26, RGB(64, 64, 64));     // the left column
    EXPECT_PIXEL(canvas, 45, 30, RGB(255, 0, 0));
    EXPECT_PIXEL(canvas, 55, 30, RGB(0, 0, 255));
    EXPECT_PIXEL(canvas, 59, 34, RGB(0, 0, 0));        // the bottom row, white shown black
    EXPECT_PIXEL(canvas, 39, 30, kGreen);
    EXPECT_PIXEL(canvas, 60, 30, kGreen);
    EXPECT_PIXEL(canvas, 50, 24, kGreen);
    EXPECT_PIXEL(canvas, 50, 35, kGreen);
    // Drawn by a container at an offset, the control keeps to its rectangle.
    Canvas page(kWidth + 40, kHeight + 40);
    ComPtr<IViewObject2> view;
    ASSERT_EQ(c->QueryInterface(__uuidof(IViewObject2), view.putVoid()), S_OK);
    const RECTL at{20, 30, 20 + kWidth, 30 + kHeight};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, page.dc(), &at, nullptr, nullptr, 0), S_OK);
    EXPECT_PIXEL(page, 60, 55, RGB(255, 255, 255));
    EXPECT_PIXEL(page, 65, 60, RGB(255, 0, 0));
    EXPECT_PIXEL(page, 20, 30, kGreen);
    EXPECT_PIXEL(page, 19, 30, RGB(128, 128, 128));  // outside: untouched
    EXPECT_PIXEL(page, 20 + kWidth, 30, RGB(128, 128, 128));
    // The window paints the same picture.
    HWND w = host_->controlWindow();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Canvas screen(kWidth, kHeight);
    HDC wdc = GetDC(w);
    BitBlt(screen.dc(), 0, 0, kWidth, kHeight, wdc, 0, 0, SRCCOPY);
    ReleaseDC(w, wdc);
    EXPECT_PIXEL(screen, 40, 25, RGB(255, 255, 255));
    EXPECT_PIXEL(screen, 45, 30, RGB(255, 0, 0));
    EXPECT_PIXEL(screen, 10, 10, kGreen);
}

TEST_F(ThumbViewTest, StretchedPreviewFillsTheControlAndCoversTheBorder) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    ASSERT_EQ(putInt(c, L"SpecialEffect", 3), S_OK);
    showPreview(c, pictureDrawing());
    ASSERT_EQ(putBool(c, L"Stretch", true), S_OK);
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    // 20 x 10 onto 100 x 60: five columns and six rows per picture pixel.
    EXPECT_PIXEL(canvas, 0, 0, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 2, 10, RGB(64, 64, 64));
    EXPECT_PIXEL(canvas, 30, 30, RGB(255, 0, 0));
    EXPECT_PIXEL(canvas, 70, 30, RGB(0, 0, 255));
    EXPECT_PIXEL(canvas, 99, 59, RGB(0, 0, 0));
    EXPECT_PIXEL(canvas, 99, 30, RGB(0, 0, 255));  // where the etched border would be
}

TEST_F(ThumbViewTest, LargePictureNotStretchedIsCentredAndClippedOnAllSides) {
    fx::Bitmap big = testPicture();
    big.width = 140;
    big.height = 80;
    big.pixel = [](int x, int y) -> std::uint32_t { return (x == 20 && y == 10) ? 2 : 3; };
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    showPreview(c, writeFile(L"big.dwg", fx::drawingFile({{{1, fx::Bytes(8, 1)}, {2, fx::bitmapEntry(big)}}})));
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    // Offset (-20, -10): picture pixel (20, 10) lands on the control's corner.
    EXPECT_PIXEL(canvas, 0, 0, RGB(255, 0, 0));
    EXPECT_PIXEL(canvas, 1, 1, RGB(0, 0, 255));
    EXPECT_PIXEL(canvas, 99, 59, RGB(0, 0, 255));
}

TEST_F(ThumbViewTest, EachBorderEffectDrawsItsEdge) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
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

TEST_F(ThumbViewTest, FocusRectangleIsPaintedWhileFocusedAndGoneAfter) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    HWND w = host_->controlWindow();
    ASSERT_TRUE(w);
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

TEST_F(ThumbViewTest, NewPathKeepsTheOldPictureUntilPaintPreviewAndNoPreviewClearsIt) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
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

TEST_F(ThumbViewTest, PaintPreviewRaisesTheReadErrorsWithNumberSourceAndDescription) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    showPreview(c, pictureDrawing());
    {
        CallResult r;
        paintPreview(c, (tempDir() / L"없는 도면.dwg").wstring(), r);
        ASSERT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(static_cast<std::uint32_t>(r.excep.scode), 0x800A0035u);  // 53
        EXPECT_STREQ(r.excep.bstrDescription, L"File not found");
        EXPECT_STREQ(r.excep.bstrSource, L"KelvaView");
    }
    // A failed read leaves no picture behind.
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    EXPECT_PIXEL(canvas, 45, 30, kGreen);
    {
        fx::Drawing past{{{1, fx::Bytes(8, 1)}, {2, fx::bitmapEntry(testPicture()), 0x7FFFFF00}}};
        CallResult r;
        paintPreview(c, writeFile(L"past.dwg", fx::drawingFile(past)), r);
        ASSERT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(static_cast<std::uint32_t>(r.excep.scode), 0x800A003Eu);  // 62
        EXPECT_STREQ(r.excep.bstrDescription, L"Input past end of file");
    }
    {
        CallResult r;
        paintPreview(c, L"", r);
        EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(static_cast<std::uint32_t>(r.excep.scode), 0x800A004Bu);  // 75
    }
}

TEST_F(ThumbViewTest, AReadErrorAfterAShownEntryKeepsThatPictureAndRaises) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    const fx::Bytes bm = fx::bitmapEntry(testPicture());
    CallResult r;
    paintPreview(c, writeFile(L"later_past.dwg", fx::drawingFile({{{1, fx::Bytes(8, 1)}, {2, bm}, {2, bm, 0x7FFFFF00}}})), r);
    ASSERT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(static_cast<std::uint32_t>(r.excep.scode), 0x800A003Eu);  // 62
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    EXPECT_PIXEL(canvas, 40, 25, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 45, 30, RGB(255, 0, 0));
}

TEST_F(ThumbViewTest, PreviewsADrawingHeldOpenForWritingByAnotherProgram) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
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

TEST_F(ThumbViewTest, EnabledIsTheSurfacesOwnState) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    HWND w = host_->controlWindow();
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

// A host's event sink: records every event the control raises.
class Sink final : public IDispatch {
public:
    std::vector<Fired> fired;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID___ThumbView) *out = static_cast<IDispatch*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
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
    ULONG refs() const { return refs_; }

private:
    ULONG refs_ = 0;
};

}  // namespace

TEST_F(ThumbViewTest, MouseEventsReachAConnectedSink) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    HWND w = host_->controlWindow();
    ASSERT_TRUE(w);
    ComPtr<IConnectionPointContainer> cpc;
    ASSERT_EQ(c->QueryInterface(__uuidof(IConnectionPointContainer), cpc.putVoid()), S_OK);
    ComPtr<IConnectionPoint> cp;
    ASSERT_EQ(cpc->FindConnectionPoint(DIID___ThumbView, cp.put()), S_OK);
    IID iid{};
    ASSERT_EQ(cp->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, DIID___ThumbView));
    Sink sink;
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(&sink, &cookie), S_OK);

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
    ASSERT_EQ(sink.fired.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sink.fired[i].id, expected[i].first) << i;
        EXPECT_EQ(sink.fired[i].args, expected[i].second) << i;
    }
    EXPECT_EQ(sink.fired[0].types, (std::vector<VARTYPE>{VT_I2, VT_I2, VT_R4, VT_R4}));

    // Frozen events are not raised; after Unadvise nothing reaches the sink.
    ComPtr<IOleControl> ole;
    ASSERT_EQ(c->QueryInterface(__uuidof(IOleControl), ole.putVoid()), S_OK);
    ole->FreezeEvents(TRUE);
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    ole->FreezeEvents(FALSE);
    EXPECT_EQ(sink.fired.size(), expected.size());
    ASSERT_EQ(cp->Unadvise(cookie), S_OK);
    EXPECT_EQ(cp->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(sink.fired.size(), expected.size());
    EXPECT_EQ(sink.refs(), 0u);
}

namespace {

// A sink whose handler drops another sink's connection; it notes any call it gets after its last
// reference went.
class DroppingSink final : public IDispatch {
public:
    IConnectionPoint* point = nullptr;
    DWORD dropCookie = 0;  // the connection this sink's handler ends
    int calls = 0;
    bool calledAfterRelease = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        if (--refs_ == 0) released_ = true;
        return refs_;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        ++calls;
        if (released_) calledAfterRelease = true;
        if (dropCookie) point->Unadvise(std::exchange(dropCookie, 0));
        return S_OK;
    }
    ULONG refs() const { return refs_; }

private:
    ULONG refs_ = 0;
    bool released_ = false;
};

}  // namespace

TEST_F(ThumbViewTest, ASinkThatDisconnectsAnotherWhileHandlingAnEventIsSafe) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    HWND w = host_->controlWindow();
    ASSERT_TRUE(w);
    ComPtr<IConnectionPointContainer> cpc;
    ASSERT_EQ(c->QueryInterface(__uuidof(IConnectionPointContainer), cpc.putVoid()), S_OK);
    ComPtr<IConnectionPoint> cp;
    ASSERT_EQ(cpc->FindConnectionPoint(DIID___ThumbView, cp.put()), S_OK);
    DroppingSink first, second;
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(cp->Advise(&first, &firstCookie), S_OK);
    ASSERT_EQ(cp->Advise(&second, &secondCookie), S_OK);
    first.point = cp.get();
    first.dropCookie = secondCookie;
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(first.calls, 1);
    EXPECT_FALSE(second.calledAfterRelease);
    EXPECT_EQ(second.refs(), 0u);
    SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(first.calls, 2);
    EXPECT_LE(second.calls, 1);
    ASSERT_EQ(cp->Unadvise(firstCookie), S_OK);
    EXPECT_EQ(first.refs(), 0u);
}

// ---- persistence ----------------------------------------------------------------------------------------------------
namespace {

// A host's property bag that keeps the order of reads and writes.
class Bag final : public IPropertyBag {
public:
    std::vector<std::wstring> reads, writes;
    std::vector<std::pair<std::wstring, VARIANT>> values;
    ~Bag() {
        for (auto& v : values) VariantClear(&v.second);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IPropertyBag) return E_NOINTERFACE;
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
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

}  // namespace

TEST_F(ThumbViewTest, PropertyBagWritesAndReadsInTheirOrders) {
    const std::wstring path = L"C:\\도면\\배치도.dwg";
    auto c = server_->create();
    ASSERT_TRUE(c);
    setAllProperties(c.get(), path);
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(c->QueryInterface(__uuidof(IPersistPropertyBag), persist.putVoid()), S_OK);
    ComPtr<IPersistStreamInit> dirty;
    ASSERT_EQ(c->QueryInterface(__uuidof(IPersistStreamInit), dirty.putVoid()), S_OK);
    EXPECT_EQ(dirty->IsDirty(), S_OK);
    Bag bag;
    ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(dirty->IsDirty(), S_FALSE);
    EXPECT_EQ(bag.writes, (std::vector<std::wstring>{L"SpecialEffect", L"Stretch", L"BackColor", L"Enabled", L"DrawingFile"}));
    EXPECT_EQ(bag.typeOf(L"SpecialEffect"), VT_I2);
    EXPECT_EQ(bag.typeOf(L"Stretch"), VT_BOOL);
    EXPECT_EQ(bag.typeOf(L"DrawingFile"), VT_BSTR);

    auto loaded = server_->create();
    ComPtr<IPersistPropertyBag> loader;
    ASSERT_EQ(loaded->QueryInterface(__uuidof(IPersistPropertyBag), loader.putVoid()), S_OK);
    ASSERT_EQ(loader->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(bag.reads, (std::vector<std::wstring>{L"SpecialEffect", L"DrawingFile", L"Stretch", L"BackColor", L"Enabled"}));
    expectAllProperties(loaded.get(), path);

    // Defaults are not written; an empty bag gives the defaults.
    auto fresh = server_->create();
    ComPtr<IPersistPropertyBag> freshPersist;
    ASSERT_EQ(fresh->QueryInterface(__uuidof(IPersistPropertyBag), freshPersist.putVoid()), S_OK);
    Bag empty;
    ASSERT_EQ(freshPersist->Save(&empty, TRUE, TRUE), S_OK);
    EXPECT_TRUE(empty.writes.empty());
    ASSERT_EQ(freshPersist->Load(&empty, nullptr), S_OK);
    EXPECT_EQ(getInt(fresh.get(), L"BackColor"), static_cast<LONG>(0x8000000F));
    EXPECT_EQ(getInt(fresh.get(), L"Enabled"), -1);
}

TEST_F(ThumbViewTest, BadPropertyBagValueRaisesItsErrorAndChangesNothing) {
    const std::wstring path = L"C:\\a.dwg";
    auto c = server_->create();
    ASSERT_TRUE(c);
    setAllProperties(c.get(), path);
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(c->QueryInterface(__uuidof(IPersistPropertyBag), persist.putVoid()), S_OK);
    Bag bad;
    bad.setText(L"SpecialEffect", L"1");
    bad.setText(L"Stretch", L"아니오");
    EXPECT_EQ(static_cast<std::uint32_t>(persist->Load(&bad, nullptr)), 0x800A000Du);  // type mismatch
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

TEST_F(ThumbViewTest, StreamRoundTripAndACutStreamLosesNothing) {
    const std::wstring path = L"D:\\현장\\단면도 A-1.dwg";
    auto c = server_->create();
    ASSERT_TRUE(c);
    setAllProperties(c.get(), path);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(c->QueryInterface(__uuidof(IPersistStreamInit), persist.putVoid()), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    ULARGE_INTEGER max{}, end{};
    ASSERT_EQ(persist->GetSizeMax(&max), S_OK);
    stream->Seek({}, STREAM_SEEK_CUR, &end);
    EXPECT_EQ(max.QuadPart, end.QuadPart);

    auto loaded = server_->create();
    ComPtr<IPersistStreamInit> loader;
    ASSERT_EQ(loaded->QueryInterface(__uuidof(IPersistStreamInit), loader.putVoid()), S_OK);
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
    ComPtr<IPersistStreamInit> otherPersist;
    ASSERT_EQ(other->QueryInterface(__uuidof(IPersistStreamInit), otherPersist.putVoid()), S_OK);
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
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(c->QueryInterface(__uuidof(IPersistStreamInit), persist.putVoid()), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    IDispatch* hostedControl = hosted();
    ASSERT_TRUE(hostedControl);
    ComPtr<IPersistStreamInit> hostedPersist;
    ASSERT_EQ(hostedControl->QueryInterface(__uuidof(IPersistStreamInit), hostedPersist.putVoid()), S_OK);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(hostedPersist->Load(stream.get()), S_OK);
    EXPECT_EQ(getInt(hostedControl, L"SpecialEffect"), 1);
    Canvas canvas(kWidth, kHeight);
    drawInto(hostedControl, canvas);
    EXPECT_PIXEL(canvas, 0, 30, GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(canvas, kWidth - 1, 30, GetSysColor(COLOR_BTNSHADOW));
}

// ---- previews of newer drawings: PNG and deeper bitmaps ------------------------------------------------------------
namespace {

// The test picture's layout as direct colours (0x00RRGGBB).
std::uint32_t layoutRgb(int x, int y) {
    if (y == 0) return 0x000000;
    if (y == 9) return 0xFFFFFF;
    if (x == 0) return 0x404040;
    return x < 10 ? 0xFF0000 : 0x0000FF;
}

void expectCentredLayout(IDispatch* c, const std::wstring& drawing) {
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    ASSERT_EQ(putBool(c, L"Stretch", false), S_OK);
    showPreview(c, drawing);
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    EXPECT_PIXEL(canvas, 40, 25, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 59, 25, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 40, 26, RGB(64, 64, 64));
    EXPECT_PIXEL(canvas, 45, 30, RGB(255, 0, 0));
    EXPECT_PIXEL(canvas, 55, 30, RGB(0, 0, 255));
    EXPECT_PIXEL(canvas, 59, 34, RGB(0, 0, 0));
    EXPECT_PIXEL(canvas, 39, 30, kGreen);
    EXPECT_PIXEL(canvas, 60, 30, kGreen);
}

}  // namespace

TEST_F(ThumbViewTest, PngPreviewIsDecodedByThePlatformAndShownLikeABitmap) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    const fx::Bytes png = fx::pngImage(20, 10, layoutRgb);
    // A newer drawing: header entry and PNG only.
    expectCentredLayout(c, writeFile(L"new.dwg", fx::drawingFile({{{1, fx::Bytes(80, 1)}, {6, png}}})));
    // Stretched like any preview.
    ASSERT_EQ(putBool(c, L"Stretch", true), S_OK);
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    EXPECT_PIXEL(canvas, 0, 0, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 30, 30, RGB(255, 0, 0));
    EXPECT_PIXEL(canvas, 99, 59, RGB(0, 0, 0));
}

TEST_F(ThumbViewTest, DeepBitmapPreviewsAreShownLikeEightBitOnes) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    for (std::uint16_t bpp : {std::uint16_t{24}, std::uint16_t{32}}) {
        fx::Bitmap b;
        b.width = 20;
        b.height = 10;
        b.bitsPerPixel = bpp;
        b.colorsUsed = 0;
        b.pixel = layoutRgb;
        expectCentredLayout(c, writeFile(L"deep" + std::to_wstring(bpp) + L".dwg",
                                         fx::drawingFile({{{1, fx::Bytes(80, 1)}, {2, fx::bitmapEntry(b)}}})));
    }
}

TEST_F(ThumbViewTest, BadPngEntriesRaiseTheReadersErrorsAndShowNothing) {
    IDispatch* c = hosted();
    ASSERT_TRUE(c);
    ASSERT_EQ(putInt(c, L"BackColor", kGreen), S_OK);
    const fx::Bytes png = fx::pngImage(20, 10, layoutRgb);
    {
        showPreview(c, pictureDrawing());
        fx::Drawing past{{{1, fx::Bytes(80, 1)}, {6, png, std::nullopt, static_cast<std::uint32_t>(png.size() + 500)}}};
        CallResult r;
        paintPreview(c, writeFile(L"past.dwg", fx::drawingFile(past)), r);
        ASSERT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(static_cast<std::uint32_t>(r.excep.scode), 0x800A003Eu);  // 62
    }
    {
        showPreview(c, pictureDrawing());
        fx::Bytes corrupt = png;
        corrupt.resize(corrupt.size() - 40);  // cut inside the image data
        fx::Bytes tail = fx::pngImage(1, 1, layoutRgb);
        corrupt.insert(corrupt.end(), tail.end() - 12, tail.end());  // an end chunk after the cut
        CallResult r;
        paintPreview(c, writeFile(L"corrupt.dwg", fx::drawingFile({{{1, fx::Bytes(80, 1)}, {6, corrupt}}})), r);
        ASSERT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(static_cast<std::uint32_t>(r.excep.scode), 0x800A01E1u);  // 481
        EXPECT_STREQ(r.excep.bstrDescription, L"Invalid picture");
    }
    Canvas canvas(kWidth, kHeight);
    drawInto(c, canvas);
    EXPECT_PIXEL(canvas, 45, 30, kGreen);
    EXPECT_PIXEL(canvas, 40, 25, kGreen);
}

// ---- a container that offers ambient properties and drives the control the usual way ----------------------------
namespace {

// The frame window of a document container: it keeps the active object referenced, as containers do.
class Frame final : public IOleInPlaceFrame {
public:
    explicit Frame(HWND window) : window_(window) {}
    ~Frame() {
        if (active_) active_->Release();
    }
    IOleInPlaceActiveObject* active() const { return active_; }
    ULONG refs() const { return refs_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleWindow || riid == IID_IOleInPlaceUIWindow ||
            riid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override {
        *w = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        if (object) object->AddRef();
        if (active_) active_->Release();
        active_ = object;
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
    IOleInPlaceActiveObject* active_ = nullptr;
    ULONG refs_ = 0;
};

// One control's site: client site, in-place site, control site and the ambient properties.
class Site final : public IOleClientSite, public IOleInPlaceSite, public IOleControlSite, public IDispatch {
public:
    Site(HWND window, Frame& frame, RECT pos) : window_(window), frame_(frame), pos_(pos) {}
    ULONG refs() const { return refs_; }
    std::vector<std::wstring> calls;  // the notifications the control sent, in order

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleControlSite) *out = static_cast<IOleControlSite*>(this);
        else if (riid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

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
        frame_.AddRef();
        *frame = &frame_;
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
    Frame& frame_;
    RECT pos_;
    ULONG refs_ = 0;
};

// A form window holding controls through the sites above.
class Form {
public:
    Form() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KelvaPreviewTestContainer";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                  10, 10, 400, 200, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~Form() {
        if (window_) DestroyWindow(window_);
        AtlHost::pump();
    }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    HWND window() const { return window_; }

private:
    HWND window_ = nullptr;
};

// The usual order of a container that offers ambient properties: client site first (the control asks
// for it), initialised, told the ambients changed, activated in place, positioned.
ComPtr<IOleObject> placeControl(const Server& server, Site& site, HWND form, const RECT& pos) {
    ComPtr<IDispatch> control = server.create();
    ComPtr<IOleObject> ole;
    if (!control || FAILED(control->QueryInterface(__uuidof(IOleObject), ole.putVoid()))) return nullptr;
    DWORD misc = 0;
    EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);
    EXPECT_EQ(ole->SetClientSite(&site), S_OK);
    ComPtr<IPersistStreamInit> persist;
    EXPECT_EQ(ole->QueryInterface(__uuidof(IPersistStreamInit), persist.putVoid()), S_OK);
    EXPECT_EQ(persist->InitNew(), S_OK);
    ComPtr<IOleControl> oc;
    EXPECT_EQ(ole->QueryInterface(__uuidof(IOleControl), oc.putVoid()), S_OK);
    EXPECT_EQ(oc->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
    CONTROLINFO info{sizeof info};
    EXPECT_EQ(oc->GetControlInfo(&info), S_OK);
    EXPECT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, form, &pos), S_OK);
    ComPtr<IOleInPlaceObject> inPlace;
    EXPECT_EQ(ole->QueryInterface(__uuidof(IOleInPlaceObject), inPlace.putVoid()), S_OK);
    EXPECT_EQ(inPlace->SetObjectRects(&pos, &pos), S_OK);
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
    ComPtr<IOleWindow> w;
    HWND h = nullptr;
    if (SUCCEEDED(ole->QueryInterface(__uuidof(IOleWindow), w.putVoid()))) w->GetWindow(&h);
    return h;
}

}  // namespace

TEST_F(ThumbViewTest, UsualContainerActivatesDeactivatesAndReleasesEverything) {
    Form form;
    ASSERT_TRUE(form.window());
    Frame frame(form.window());
    const RECT pos{10, 20, 10 + kWidth, 20 + kHeight};
    Site site(form.window(), frame, pos);
    ComPtr<IOleObject> ole = placeControl(*server_, site, form.window(), pos);
    ASSERT_TRUE(ole);
    HWND w = windowOf(ole.get());
    ASSERT_TRUE(w);
    EXPECT_EQ(GetParent(w), form.window());
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, kWidth);
    EXPECT_EQ((site.calls), (std::vector<std::wstring>{L"OnInPlaceActivate"}));

    // Scrolled partly out of the container's view: only the part inside the clip rectangle shows.
    ComPtr<IOleInPlaceObject> placed;
    ASSERT_EQ(ole->QueryInterface(__uuidof(IOleInPlaceObject), placed.putVoid()), S_OK);
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
    SetForegroundWindow(form.window());
    SetFocus(w);
    AtlHost::pump();
    EXPECT_EQ(GetFocus(), w);
    EXPECT_TRUE(frame.active());
    EXPECT_EQ((site.calls), (std::vector<std::wstring>{L"OnInPlaceActivate", L"OnUIActivate", L"OnFocus(TRUE)"}));

    // The container deactivates it (another control became active): the frame lets go of it.
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(ole->QueryInterface(__uuidof(IOleInPlaceObject), inPlace.putVoid()), S_OK);
    site.calls.clear();
    EXPECT_EQ(inPlace->UIDeactivate(), S_OK);
    EXPECT_FALSE(frame.active());
    EXPECT_EQ((site.calls), (std::vector<std::wstring>{L"OnUIDeactivate"}));
    site.calls.clear();
    EXPECT_EQ(ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, form.window(), &pos), S_OK);
    EXPECT_TRUE(frame.active());
    EXPECT_EQ(site.calls.front(), L"OnUIActivate");
    // Hidden, it is no longer the active object; shown again, it is.
    EXPECT_EQ(ole->DoVerb(OLEIVERB_HIDE, nullptr, &site, 0, form.window(), &pos), S_OK);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_FALSE(frame.active());
    EXPECT_EQ(ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, form.window(), &pos), S_OK);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(frame.active());

    // Closed while UI-active, then let go of: nothing of the control or the container is left held.
    inPlace.reset();
    placed.reset();
    site.calls.clear();
    removeControl(ole);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(frame.active());
    EXPECT_EQ(site.calls.front(), L"OnUIDeactivate");
    EXPECT_EQ(site.calls.back(), L"OnInPlaceDeactivate");
    EXPECT_EQ(site.refs(), 0u);
    EXPECT_EQ(frame.refs(), 0u);
    EXPECT_EQ(server_->canUnloadNow(), S_OK);
}

TEST_F(ThumbViewTest, ClosingWithSaveIfChangedAsksTheSiteToSaveOnlyWhenChanged) {
    Form form;
    ASSERT_TRUE(form.window());
    Frame frame(form.window());
    const RECT pos{0, 0, kWidth, kHeight};
    Site site(form.window(), frame, pos);
    ComPtr<IOleObject> ole = placeControl(*server_, site, form.window(), pos);
    ASSERT_TRUE(ole);
    EXPECT_EQ(ole->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
    EXPECT_EQ(std::count(site.calls.begin(), site.calls.end(), L"SaveObject"), 0);
    ComPtr<IDispatch> d;
    ASSERT_EQ(ole->QueryInterface(__uuidof(IDispatch), d.putVoid()), S_OK);
    ASSERT_EQ(putBool(d.get(), L"Stretch", true), S_OK);
    d.reset();
    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(std::count(site.calls.begin(), site.calls.end(), L"SaveObject"), 0);
    EXPECT_EQ(ole->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
    EXPECT_EQ(std::count(site.calls.begin(), site.calls.end(), L"SaveObject"), 1);
    EXPECT_EQ(ole->SetClientSite(nullptr), S_OK);
    ole.reset();
    EXPECT_EQ(site.refs(), 0u);
}

// Two controls in one container: each keeps its own window, properties, picture and events.
TEST_F(ThumbViewTest, TwoControlsInOneContainerStayApart) {
    Form form;
    ASSERT_TRUE(form.window());
    Frame frame(form.window());
    const RECT left{0, 0, kWidth, kHeight}, right{150, 0, 150 + kWidth, kHeight};
    Site leftSite(form.window(), frame, left), rightSite(form.window(), frame, right);
    ComPtr<IOleObject> first = placeControl(*server_, leftSite, form.window(), left);
    ComPtr<IOleObject> second = placeControl(*server_, rightSite, form.window(), right);
    ASSERT_TRUE(first && second);
    HWND w1 = windowOf(first.get()), w2 = windowOf(second.get());
    ASSERT_TRUE(w1 && w2);
    EXPECT_NE(w1, w2);
    ComPtr<IDispatch> d1, d2;
    ASSERT_EQ(first->QueryInterface(__uuidof(IDispatch), d1.putVoid()), S_OK);
    ASSERT_EQ(second->QueryInterface(__uuidof(IDispatch), d2.putVoid()), S_OK);
    ASSERT_EQ(putInt(d1.get(), L"BackColor", kGreen), S_OK);
    ASSERT_EQ(putInt(d2.get(), L"BackColor", RGB(0, 0, 128)), S_OK);
    showPreview(d1.get(), pictureDrawing());
    EXPECT_EQ(getText(d2.get(), L"DrawingFile"), L"");

    // Focus moves from one to the other: the frame's active object follows.
    SetForegroundWindow(form.window());
    SetFocus(w1);
    AtlHost::pump();
    ComPtr<IOleInPlaceActiveObject> firstActive;
    ASSERT_EQ(first->QueryInterface(__uuidof(IOleInPlaceActiveObject), firstActive.putVoid()), S_OK);
    EXPECT_EQ(frame.active(), firstActive.get());
    firstActive.reset();
    ComPtr<IOleInPlaceObject> firstInPlace;
    ASSERT_EQ(first->QueryInterface(__uuidof(IOleInPlaceObject), firstInPlace.putVoid()), S_OK);
    firstInPlace->UIDeactivate();  // what the container does when another control activates
    firstInPlace.reset();
    SetFocus(w2);
    AtlHost::pump();
    ComPtr<IOleInPlaceActiveObject> secondActive;
    ASSERT_EQ(second->QueryInterface(__uuidof(IOleInPlaceActiveObject), secondActive.putVoid()), S_OK);
    EXPECT_EQ(frame.active(), secondActive.get());

    Sink sink;
    ComPtr<IConnectionPointContainer> cpc;
    ASSERT_EQ(second->QueryInterface(__uuidof(IConnectionPointContainer), cpc.putVoid()), S_OK);
    ComPtr<IConnectionPoint> cp;
    ASSERT_EQ(cpc->FindConnectionPoint(DIID___ThumbView, cp.put()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(&sink, &cookie), S_OK);
    SendMessageW(w1, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_TRUE(sink.fired.empty());

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
    ASSERT_EQ(sink.fired.size(), 1u);
    EXPECT_EQ(sink.fired[0].id, 3);
    ASSERT_EQ(cp->Unadvise(cookie), S_OK);
    cp.reset();
    cpc.reset();
    secondActive.reset();
    d2.reset();
    removeControl(second);
    EXPECT_EQ(frame.refs(), 0u);
    EXPECT_EQ(leftSite.refs(), 0u);
    EXPECT_EQ(rightSite.refs(), 0u);
    EXPECT_EQ(server_->canUnloadNow(), S_OK);
}

namespace {

// What a designer listens to: which properties changed.
class ChangeSink final : public IPropertyNotifySink {
public:
    std::vector<DISPID> changed;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IPropertyNotifySink) *out = static_cast<IPropertyNotifySink*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        changed.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
    ULONG refs() const { return refs_; }

private:
    ULONG refs_ = 0;
};

}  // namespace

TEST_F(ThumbViewTest, ChangedPropertiesAreReportedToTheContainer) {
    auto c = server_->create();
    ASSERT_TRUE(c);
    ComPtr<IConnectionPointContainer> cpc;
    ASSERT_EQ(c->QueryInterface(__uuidof(IConnectionPointContainer), cpc.putVoid()), S_OK);
    ComPtr<IConnectionPoint> cp;
    ASSERT_EQ(cpc->FindConnectionPoint(IID_IPropertyNotifySink, cp.put()), S_OK);
    IID iid{};
    ASSERT_EQ(cp->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, IID_IPropertyNotifySink));
    Sink notASink;  // an event sink is no property sink
    DWORD refused = 0;
    EXPECT_EQ(cp->Advise(&notASink, &refused), CONNECT_E_CANNOTCONNECT);
    ChangeSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(&sink, &cookie), S_OK);
    ASSERT_EQ(putText(c.get(), L"DrawingFile", L"a.dwg"), S_OK);
    ASSERT_EQ(putBool(c.get(), L"Stretch", true), S_OK);
    ASSERT_EQ(putInt(c.get(), L"SpecialEffect", 2), S_OK);
    ASSERT_EQ(putInt(c.get(), L"BackColor", kGreen), S_OK);
    ASSERT_EQ(putBool(c.get(), L"Enabled", false), S_OK);
    EXPECT_EQ(putInt(c.get(), L"SpecialEffect", 70000), DISP_E_EXCEPTION);  // refused: nothing changed
    CallResult r;
    invoke(c.get(), L"Refresh", DISPATCH_METHOD, nullptr, 0, r);
    EXPECT_EQ(sink.changed, (std::vector<DISPID>{1, 2, 3, DISPID_BACKCOLOR, DISPID_ENABLED}));
    ASSERT_EQ(cp->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.refs(), 0u);
    // Calls for another interface than the default are refused.
    DISPPARAMS none{};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(c->Invoke(idOf(c.get(), L"Stretch"), IID_IUnknown, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                        &result, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}
