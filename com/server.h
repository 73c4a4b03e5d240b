#pragma once
// An in-process server: its live objects and locks, the class factory, self-registration, and the base
// every dual-interface class of a server derives from.
#include <oaidl.h>

#include <span>
#include <string>

#include "com_ptr.h"
#include "dispatch.h"
#include "errors.h"
#include "object.h"

namespace kelva::com {

// The module that holds this code (the DLL when linked into one).
HMODULE thisModule() noexcept;

using CreateFunction = HRESULT (*)(REFIID iid, void** out);

class ClassFactory final : public Object<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(CreateFunction create) noexcept : create_(create) {}
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    friend class RefCounted<ClassFactory>;
    ~ClassFactory() = default;
    CreateFunction create_;
};

// One creatable class of a server, as registration and DllGetClassObject see it.
struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* progId;       // "Library.Class"
    const wchar_t* description;  // the class key's default value
    CreateFunction create;
};

struct ServerInfo {
    std::span<const ClassEntry> classes;
    const GUID* libid;
    WORD majorVersion, minorVersion;
    LCID libLcid;
};

HRESULT getClassObject(const ServerInfo& server, REFCLSID clsid, REFIID iid, void** out) noexcept;
// Writes CLSID (InprocServer32 with ThreadingModel Apartment, ProgID, TypeLib, Version), the ProgID keys
// and the type library's registration, under HKEY_CLASSES_ROOT: Wine ignores per-user classes.
HRESULT registerServer(const ServerInfo& server, HMODULE module) noexcept;
// Removes what registerServer wrote; a ProgID now pointing at another class is left alone.
HRESULT unregisterServer(const ServerInfo& server) noexcept;

std::wstring guidText(const GUID& guid);

// The base of a creatable class whose IDispatch is its dual interface `Interface` (listed first)
// driven by the type library; `Others...` are the rest of the object's list. Derived supplies
//   static const TypeDispatch& typeDispatch();   the interface's dispatch table
// and implements the interface's own members.
template <class Derived, class Interface, class... Others>
class DispatchObject : public Object<Derived, Interface, Others...> {
public:
    // The new object's `iid` pointer, or an error: the body of a ClassEntry's create function.
    static HRESULT create(REFIID iid, void** out) noexcept { return createObject<Derived>(iid, out); }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        return Derived::typeDispatch().getTypeInfo(index, out);
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return Derived::typeDispatch().getIDsOfNames(names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override {
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        // This object must stay alive through the call even if the member drops the caller's last reference.
        ComPtr<Interface> keep(static_cast<Interface*>(this));
        return Derived::typeDispatch().invoke(static_cast<Interface*>(this), id, flags, params, result, excep,
                                              argErr);
    }

protected:
    // Runs a member's body, reporting any error with this interface's IID.
    template <class Body>
    static HRESULT run(Body&& body) noexcept {
        return guarded(__uuidof(Interface), std::forward<Body>(body));
    }
};

// A creatable class with one dual interface and error information supported on it.
template <class Derived, class Interface>
class DualObject : public DispatchObject<Derived, Interface, ISupportErrorInfo> {
public:
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }
};

}  // namespace kelva::com
