// KelvaView.ocx: the class object of ThumbView and the server's exports.
#include <windows.h>

#include "com/activex/module.h"
#include "com/activex/registration.h"
#include "com/server.h"
#include "preview/thumbview.h"

namespace {

using namespace kelva;

const com::ClassEntry kClasses[] = {{&CLSID_ThumbView, L"KelvaView.ThumbView", L"ThumbView", &preview::ThumbView::create}};
const com::ServerInfo kServer{kClasses, &LIBID_KelvaView, 1, 0, LOCALE_NEUTRAL};

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
    return com::getClassObject(kServer, clsid, riid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return com::ModuleCounts::canUnloadNow(); }

extern "C" HRESULT WINAPI DllRegisterServer() {
    return com::activex::registerControl(kServer, com::activex::module(), com::activex::kControlMiscStatus);
}

extern "C" HRESULT WINAPI DllUnregisterServer() { return com::unregisterServer(kServer); }
