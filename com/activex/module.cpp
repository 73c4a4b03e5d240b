#include "com/activex/module.h"

#include <wrl/client.h>

#include <string>

namespace kelva::com::activex {

namespace {
HMODULE g_module = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;
}  // namespace

void setModule(HMODULE m) { g_module = m; }
HMODULE module() { return g_module; }
void objectCreated() { InterlockedIncrement(&g_objects); }
void objectDestroyed() { InterlockedDecrement(&g_objects); }
void lockServer(bool lock) { lock ? InterlockedIncrement(&g_locks) : InterlockedDecrement(&g_locks); }
bool canUnload() { return g_objects == 0 && g_locks == 0; }

HRESULT moduleTypeLib(ITypeLib** out) {
    // Held for the module's life: type infos handed out keep it alive anyway.
    static Microsoft::WRL::ComPtr<ITypeLib> lib;
    *out = nullptr;
    if (!lib) {
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
            if (n == 0) return HRESULT_FROM_WIN32(GetLastError());
            if (n < path.size()) {
                path.resize(n);
                break;
            }
            path.resize(path.size() * 2);
        }
        const HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib);
        if (FAILED(hr)) return hr;
    }
    return lib.CopyTo(out);
}

HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo** out) {
    *out = nullptr;
    Microsoft::WRL::ComPtr<ITypeLib> lib;
    const HRESULT hr = moduleTypeLib(&lib);
    return FAILED(hr) ? hr : lib->GetTypeInfoOfGuid(guid, out);
}

HRESULT reportError(const VbError& e, REFIID iid) {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetGUID(iid);
        create->SetDescription(const_cast<LPOLESTR>(e.description().c_str()));
        create->SetSource(const_cast<LPOLESTR>(e.source().c_str()));
        Microsoft::WRL::ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
    }
    return static_cast<HRESULT>(errorToHresult(e.number()));
}

}  // namespace kelva::com::activex
