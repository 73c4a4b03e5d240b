#pragma once
// The one way the suite implements IUnknown: module counts, the reference count, and QueryInterface over
// the interfaces a class lists. Every COM class of the suite (servers, the stand-in, test fakes) derives
// from Object or, for an interface that lives inside another object, from Part.
#include <objbase.h>
#include <oaidl.h>

#include <atomic>
#include <type_traits>
#include <utility>

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

// Reference counting shared by every object of the module; `delete` of a counted object lives here only.
// The count starts at 1: the creator owns that reference (ComPtr::attach). A class that must outlive its
// last reference (one kept in a table to be handed out again) defines a public `finalRelease()`, which
// then runs instead of the delete.
template <class Derived>
class RefCounted {
public:
    RefCounted() noexcept { ModuleCounts::objectCreated(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    ULONG addRef() noexcept { return ++refs_; }
    ULONG release() noexcept {
        const ULONG n = --refs_;
        if (n == 0) {
            auto* self = static_cast<Derived*>(this);
            if constexpr (requires { self->finalRelease(); })
                self->finalRelease();
            else
                delete self;
        }
        return n;
    }
    // The count as it stands (for tests and diagnostics; COM callers use AddRef/Release's answers).
    ULONG references() const noexcept { return refs_; }

protected:
    ~RefCounted() { ModuleCounts::objectDestroyed(); }

private:
    std::atomic<ULONG> refs_{1};
};

// A base class implementing several interfaces for the classes that derive from it (an ActiveX control's
// OLE interfaces) while leaving IUnknown to Object. It is listed among an Object's interfaces like one of
// them and answers for its own through `void* queryMixin(REFIID)` (null for identifiers not its own).
struct Mixin {};

namespace detail {
template <class First, class...>
struct FirstOf {
    using type = First;
};

template <class Interface, class Self>
void* match(Self* self, REFIID iid) noexcept {
    if constexpr (std::is_base_of_v<Mixin, Interface>)
        return static_cast<Interface*>(self)->queryMixin(iid);
    else
        return iid == __uuidof(Interface) ? static_cast<void*>(static_cast<Interface*>(self)) : nullptr;
}

template <class Interface, class Self>
void* asDispatch(Self* self) noexcept {
    if constexpr (std::is_base_of_v<IDispatch, Interface>)
        return static_cast<IDispatch*>(static_cast<Interface*>(self));
    else
        return nullptr;
}

// Finds `iid` among the listed interfaces and mixins of `self`; IUnknown is the first one, IDispatch the first listed
// interface that derives from it (a dual interface answers as IDispatch too).
template <class Self, class... Interfaces>
void* findInterface(Self* self, REFIID iid) noexcept {
    void* found = nullptr;
    ((found = found ? found : match<Interfaces>(self, iid)), ...);
    if (found) return found;
    if (iid == IID_IUnknown)
        return static_cast<IUnknown*>(static_cast<typename FirstOf<Interfaces...>::type*>(self));
    if (iid == IID_IDispatch) ((found = found ? found : asDispatch<Interfaces>(self)), ...);
    return found;
}
}  // namespace detail

// A COM object implementing `Interfaces...` (the first one is its IUnknown). Derived implements the
// interfaces' own members and may define
//   void* queryExtra(REFIID iid)   pointers for identifiers the list does not name (a base interface such
//                                  as IPersist or IOleWindow, a private identity), null for others;
//   void finalRelease()            what happens at the last Release instead of delete.
// Derived's destructor may be private with `friend class com::RefCounted<Derived>;`.
template <class Derived, class... Interfaces>
class Object : public Interfaces..., public RefCounted<Derived> {
    static_assert(sizeof...(Interfaces) > 0, "an object implements at least one interface");
    static_assert(!std::is_base_of_v<Mixin, typename detail::FirstOf<Interfaces...>::type>,
                  "the first listed is an interface: the object's IUnknown");

public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        auto* self = static_cast<Derived*>(this);
        void* found = detail::findInterface<Derived, Interfaces...>(self, iid);
        if constexpr (requires { self->queryExtra(iid); })
            if (!found) found = self->queryExtra(iid);
        *out = found;
        if (!found) return E_NOINTERFACE;
        this->addRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return this->addRef(); }
    STDMETHODIMP_(ULONG) Release() override { return this->release(); }

    // This object as its first interface's IUnknown, the identity COM compares.
    IUnknown* identity() noexcept {
        return static_cast<IUnknown*>(static_cast<typename detail::FirstOf<Interfaces...>::type*>(this));
    }

protected:
    Object() noexcept = default;
    ~Object() = default;
};

// Interfaces implemented by a part of another object (a connection point of a control): the part answers
// QueryInterface for its own interfaces, shares the owner's reference count, and is destroyed with it.
template <class... Interfaces>
class Part : public Interfaces... {
    static_assert(sizeof...(Interfaces) > 0, "a part implements at least one interface");

public:
    explicit Part(IUnknown& owner) noexcept : owner_(owner) {}
    Part(const Part&) = delete;
    Part& operator=(const Part&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = detail::findInterface<Part, Interfaces...>(this, iid);
        if (!*out) return E_NOINTERFACE;
        owner_.AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }

protected:
    ~Part() = default;
    IUnknown& owner() const noexcept { return owner_; }

private:
    IUnknown& owner_;
};

// A new T answering `iid` in *out, or an error. The creator's reference is let go at once, so the object
// lives exactly as long as the caller's pointer: the body of a create function or DllGetClassObject.
template <class T, class... A>
HRESULT createObject(REFIID iid, void** out, A&&... args) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    T* object = nullptr;
    try {
        object = new T(std::forward<A>(args)...);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

}  // namespace kelva::com
