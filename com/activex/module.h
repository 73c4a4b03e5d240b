#pragma once
// The in-process server's module state: its handle, the counts DllCanUnloadNow answers from, its
// embedded type library, and the turning of a run-time error into a COM error with error info.
#include <windows.h>
#include <oaidl.h>

#include "core/errors.h"

namespace kelva::com::activex {

void setModule(HMODULE module);
HMODULE module();

void objectCreated();
void objectDestroyed();
void lockServer(bool lock);
bool canUnload();

// The type library embedded in this module (resource TYPELIB 1), loaded once.
HRESULT moduleTypeLib(ITypeLib** out);
HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo** out);

// Sets the thread's error info (number's description, source) and returns 0x800A0000 | number.
HRESULT reportError(const VbError& e, REFIID iid);
// Runs a member body, turning a VbError or an allocation failure into the COM error of `iid`.
template <typename F>
HRESULT guarded(REFIID iid, F&& body) noexcept {
    try {
        return body();
    } catch (const VbError& e) {
        return reportError(e, iid);
    } catch (const std::bad_alloc&) {
        return reportError(VbError(err::OutOfMemory), iid);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace kelva::com::activex
