// KelvaSub.dll: the class table, the four exports of an in-process server, and the thread notifications
// that end each thread's module data.
#include <windows.h>

#include "class_support.h"
#include "drawlib/com_common.h"

namespace kelva::sub {

namespace {
const com::ClassEntry classes[] = {
    {&CLSID_clsPub, L"KelvaSub.clsPub", L"KelvaSub.clsPub", &createClsPub},
    {&CLSID_clsIni, L"KelvaSub.clsIni", L"KelvaSub.clsIni", &createClsIni},
    {&CLSID_clsFunc, L"KelvaSub.clsFunc", L"KelvaSub.clsFunc", &createClsFunc},
    {&CLSID_clsTriangle, L"KelvaSub.clsTriangle", L"KelvaSub.clsTriangle", &createClsTriangle},
    {&CLSID_clsTable, L"KelvaSub.clsTable", L"KelvaSub.clsTable", &createClsTable},
    {&CLSID_clsCLO, L"KelvaSub.clsCLO", L"KelvaSub.clsCLO", &createClsCLO},
    {&CLSID_clsCalculator, L"KelvaSub.clsCalculator", L"KelvaSub.clsCalculator", &createClsCalculator},
    {&CLSID_clsExcelFile, L"KelvaSub.clsExcelFile", L"KelvaSub.clsExcelFile", &createClsExcelFile},
};
const com::ServerInfo server{classes, &LIBID_KelvaSub, 1, 0, 0x409};
}  // namespace

com::ComPtr<ITypeInfo> interfaceInfo(REFIID iid) {
    static const com::ComPtr<ITypeLib> library = com::loadModuleTypeLib(com::thisModule());
    return com::interfaceTypeInfo(library.get(), iid);
}

HRESULT pending(REFIID iid, const wchar_t* member) noexcept {
    try {
        return com::reportError(
            VbError(NotImplementedYet, std::wstring(member) + L" is not implemented yet", L"KelvaSub"), iid);
    } catch (...) {
        return E_NOTIMPL;
    }
}

}  // namespace kelva::sub

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: return kelva::sub::common::processAttach() ? TRUE : FALSE;
    case DLL_THREAD_DETACH: kelva::sub::common::threadDetach(); break;
    case DLL_PROCESS_DETACH: kelva::sub::common::processDetach(); break;
    default: break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return kelva::com::getClassObject(kelva::sub::server, clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return kelva::com::ModuleCounts::canUnloadNow(); }

STDAPI DllRegisterServer() { return kelva::com::registerServer(kelva::sub::server, kelva::com::thisModule()); }

STDAPI DllUnregisterServer() { return kelva::com::unregisterServer(kelva::sub::server); }

}  // extern "C"
