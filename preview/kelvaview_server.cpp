// KelvaView.ocx: the class factory of ThumbView and the server's exports.
#include <windows.h>

#include <wrl/client.h>

#include "com/activex/module.h"
#include "com/activex/registration.h"
#include "preview/thumbview.h"

namespace {

using namespace kelva;

com::activex::ControlRegistration thumbViewRegistration() {
    return {CLSID_ThumbView, LIBID_KelvaView, L"ThumbView", L"KelvaView.ThumbView", L"1.0",
            com::activex::kControlMiscStatus};
}

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // The factory is a static object; the server's lock count keeps the module loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            Microsoft::WRL::ComPtr<preview::ThumbView> control;
            control.Attach(new preview::ThumbView);  // created with one reference
            return control->QueryInterface(riid, out);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        com::activex::lockServer(lock != FALSE);
        return S_OK;
    }
};

Factory g_factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        com::activex::setModule(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // The window class points into this module: it must not outlive it.
        UnregisterClassW(preview::kThumbViewClass.windowClass, instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_ThumbView) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return com::activex::canUnload() ? S_OK : S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer() { return com::activex::registerControl(thumbViewRegistration()); }

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return com::activex::unregisterControl(thumbViewRegistration(), 1, 0);
}
