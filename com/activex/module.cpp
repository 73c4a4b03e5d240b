#include "com/activex/module.h"

#include "com/dispatch.h"

namespace kelva::com::activex {

namespace {
HMODULE g_module = nullptr;
}  // namespace

void setModule(HMODULE m) { g_module = m; }
HMODULE module() { return g_module; }

HRESULT moduleTypeLib(ITypeLib** out) {
    // Held for the module's life: type infos handed out keep it alive anyway.
    static ComPtr<ITypeLib> lib;
    *out = nullptr;
    if (!lib) lib = loadModuleTypeLib(g_module);
    if (!lib) return TYPE_E_CANTLOADLIBRARY;
    *out = lib.copyOut();
    return S_OK;
}

HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo** out) {
    *out = nullptr;
    ComPtr<ITypeLib> lib;
    const HRESULT hr = moduleTypeLib(lib.put());
    return FAILED(hr) ? hr : lib->GetTypeInfoOfGuid(guid, out);
}

}  // namespace kelva::com::activex
