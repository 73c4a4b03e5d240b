#pragma once
// An in-process server: its live objects and locks, the class factory, self-registration, and the base
// every dual-interface class of a server derives from.
#include <oaidl.h>

#include <atomic>
#include <span>
#include <string>

#include "com_ptr.h"
#include "dispatch.h"
#include "errors.h"

namespace kelva::com {

// Live objects (class factories included) and LockServer locks of this module; DllCanUnloadNow answers
// S_OK only when both are zero.
class ModuleCounts {
public:
    static void objectCreated() noexcept { ++objects_; }
    static void objectDestroyed() noexcept { --objects_; }
    static void lock(bool on) noexcept { on ? ++locks_ : --locks_; }
    static long objects() noexcept { return objects_; }
    static long locks() noexcept { return locks_; }
    static HRESULT canUnloadNow() noexcept { return objects_ == 0 && locks_ == 0 ? S_OK : S_FALSE; }

private:
    static inline std::atomic<long> objects_{0};
    static inline std::atomic<long> locks_{0};
};

// The module that holds this code (the DLL when linked into one).
HMODULE thisModule() noexcept;

// Reference counting shared by every object of the module; `delete this` lives here only.
template <class Derived>
class RefCounted {
public:
    RefCounted() noexcept { ModuleCounts::objectCreated(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    ULONG addRef() noexcept { return ++refs_; }
    ULONG release() noexcept {
        const ULONG n = --refs_;
        if (n == 0) delete static_cast<Derived*>(this);
        return n;
    }

protected:
    ~RefCounted() { ModuleCounts::objectDestroyed(); }

private:
    std::atomic<ULONG> refs_{1};
};

using CreateFunction = HRESULT (*)(REFIID iid, void** out);

class ClassFactory final : public IClassFactory, public RefCounted<ClassFactory> {
public:
    explicit ClassFactory(CreateFunction create) noexcept : create_(create) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return addRef(); }
    STDMETHODIMP_(ULONG) Release() override { return release(); }
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

// The base of a creatable class with one dual interface `Interface`. Derived supplies
//   static const TypeDispatch& typeDispatch();   the interface's dispatch table
// and implements the interface's own members. IDispatch goes through the type library; error information
// is supported on the interface.
template <class Derived, class Interface>
class DualObject : public Interface, public ISupportErrorInfo, public RefCounted<Derived> {
public:
    // The new object's `iid` pointer, or an error: the body of a ClassEntry's create function.
    static HRESULT create(REFIID iid, void** out) noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        Derived* object = nullptr;
        try {
            object = new Derived();  // owned by its reference count from here on
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        const HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface))
            *out = static_cast<Interface*>(this);
        else if (iid == IID_ISupportErrorInfo)
            *out = static_cast<ISupportErrorInfo*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        this->addRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return this->addRef(); }
    STDMETHODIMP_(ULONG) Release() override { return this->release(); }

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
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }

protected:
    // Runs a member's body, reporting any error with this interface's IID.
    template <class Body>
    static HRESULT run(Body&& body) noexcept {
        return guarded(__uuidof(Interface), std::forward<Body>(body));
    }
};

}  // namespace kelva::com
