#pragma once
// The in-process server's module and its embedded type library. Live objects, locks and error
// info are com/'s (ModuleCounts, reportError).
#include <windows.h>
#include <oaidl.h>

namespace kelva::com::activex {

void setModule(HMODULE module);
HMODULE module();

// The type library embedded in this module (resource TYPELIB 1), loaded once.
HRESULT moduleTypeLib(ITypeLib** out);
HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo** out);

}  // namespace kelva::com::activex
