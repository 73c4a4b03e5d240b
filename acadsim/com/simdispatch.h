#pragma once
// Late-bound objects without a type library, as AutoCAD's automation model looks to a macro that binds by
// name: each class is a table of members (name, kind, handler); Invoke finds the member, checks the
// argument count and runs the handler. Arguments arrive the way late-bound callers send them (by value,
// VT_BYREF|type, VT_BYREF|VT_VARIANT, Variant arrays for point and object arrays, left-out optionals as
// VT_ERROR/DISP_E_PARAMNOTFOUND); out-parameters are written back only by the members that fill them.
// AutoCAD's refusals travel as DISP_E_EXCEPTION with the HRESULT in EXCEPINFO's scode.
#include <oaidl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "acadsim/model/drawing.h"
#include "com/com_ptr.h"
#include "com/object.h"
#include "com/values.h"

namespace kelva::acad::sim {

using com::ComPtr;

// A failed argument conversion: the HRESULT Invoke returns and the argument it concerns.
struct ArgError {
    HRESULT hr;
    unsigned index;
};

// The arguments of one call, in declaration order (COM hands them over reversed).
class Call {
public:
    Call(DISPPARAMS* params, bool isPut, VARIANT* result);

    unsigned count() const { return positional_; }
    bool has(unsigned i) const;  // present and not a left-out optional
    const VARIANT& arg(unsigned i) const;  // follows VT_BYREF|VT_VARIANT

    double number(unsigned i) const;
    long integer(unsigned i) const;
    bool boolean(unsigned i) const;
    std::wstring text(unsigned i) const;
    Point3 point(unsigned i) const;
    std::vector<double> doubles(unsigned i) const;
    ComPtr<IDispatch> object(unsigned i) const;  // Nothing is refused
    std::vector<ComPtr<IDispatch>> objects(unsigned i) const;
    std::vector<com::Variant> items(unsigned i) const;  // copies of the elements of an array argument

    // The value of a property put.
    const VARIANT& value() const;
    double numberValue() const;
    long integerValue() const;
    bool booleanValue() const;
    std::wstring textValue() const;
    Point3 pointValue() const;
    std::vector<double> doublesValue() const;

    void returns(com::Variant v);
    // Writes into a by-reference argument; a by-value one cannot take a result (type mismatch).
    void writeOut(unsigned i, const com::Variant& v);

private:
    VARIANT& raw(unsigned i) const;
    DISPPARAMS* params_;
    unsigned positional_;
    VARIANT* result_;
};

// VariantChangeType and VariantCopy for a source the caller does not own (their headers take it non-const).
inline HRESULT changeType(VARIANT* out, const VARIANT& in, VARTYPE vt) { return VariantChangeType(out, const_cast<VARIANT*>(&in), 0, vt); }
inline HRESULT copyVariant(VARIANT* out, const VARIANT& in) { return VariantCopy(out, const_cast<VARIANT*>(&in)); }

com::Variant pointVariant(Point3 p);
com::Variant doublesVariant(const std::vector<double>& values);
com::Variant objectsVariant(const std::vector<ComPtr<IDispatch>>& objects);  // VT_ARRAY|VT_DISPATCH

enum class Access : WORD { Method = DISPATCH_METHOD, Get = DISPATCH_PROPERTYGET, Put = DISPATCH_PROPERTYPUT };

template <class Self>
struct Member {
    const wchar_t* name;
    Access kind;
    void (*fn)(Self&, Call&);
    short minArgs = 0;  // positional arguments, without the value of a put
    short maxArgs = 0;
};

// Member names compared as Basic compares them, without building an upper-case copy per lookup.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view s) const noexcept;
};
struct NameEqual {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const noexcept;
};

// Name -> DISPID and (DISPID, kind) -> member, built once per class. Item answers DISPID 0 (the default
// member) and _NewEnum DISPID_NEWENUM, as AutoCAD's collections do; the others are numbered from 1, so a
// DISPID indexes the members that share it directly.
template <class Self>
class Table {
public:
    explicit Table(std::vector<Member<Self>> members);
    DISPID idOf(std::wstring_view name) const;  // DISPID_UNKNOWN when absent
    const Member<Self>* find(DISPID id, WORD flags) const;

private:
    const std::vector<std::size_t>* membersOf(DISPID id) const;

    std::vector<Member<Self>> members_;
    std::unordered_map<std::wstring, DISPID, NameHash, NameEqual> ids_;
    std::vector<std::vector<std::size_t>> byId_;  // DISPID 0, 1, 2, ... -> indexes into members_, in table order
    std::vector<std::size_t> newEnum_;
};

// Translates the exception in flight into Invoke's results: AcadError and ArgError as they say, anything
// else as an internal error.
HRESULT failedMember(EXCEPINFO* excep, UINT* argErr) noexcept;

// Runs a member: converts AcadError, ArgError and exceptions into Invoke's results.
template <class F>
HRESULT runMember(F&& body, EXCEPINFO* excep, UINT* argErr) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        return failedMember(excep, argErr);
    }
}

// The type information that names an object's automation interface ("IAcadLine"), so a caller can ask
// an entity for its type name.
ComPtr<ITypeInfo> namedTypeInfo(std::wstring_view name);

// The base of every stand-in object: IDispatch over the class's table, counted by com's one base. A class
// with more interfaces than IDispatch defines queryExtra, one that outlives its last reference finalRelease
// (see com::Object).
template <class Self>
class Object : public com::Object<Self, IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = static_cast<Self*>(this)->typeName().empty() ? 0 : 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        const std::wstring_view name = static_cast<Self*>(this)->typeName();
        if (index != 0 || name.empty()) return DISP_E_BADINDEX;
        auto info = namedTypeInfo(name);
        if (!info) return E_FAIL;
        *out = info.detach();
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        const auto& table = static_cast<Self*>(this)->table();
        ids[0] = table.idOf(names[0]);
        for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;  // no named arguments
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                        UINT* argErr) override {
        if (!params) return E_INVALIDARG;
        const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        if (params->cNamedArgs > (isPut ? 1u : 0u) ||
            (params->cNamedArgs == 1 && (!params->rgdispidNamedArgs || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)))
            return DISP_E_NONAMEDARGS;
        if (isPut && params->cArgs == 0) return DISP_E_BADPARAMCOUNT;
        auto& self = *static_cast<Self*>(this);
        const Member<Self>* m = self.table().find(id, flags);
        if (!m) return DISP_E_MEMBERNOTFOUND;
        const unsigned positional = params->cArgs - (isPut ? 1u : 0u);
        if (!isPut && m->maxArgs == 0 && positional > 0) return collectionItem(*m, flags, params, result, excep, argErr);
        if (positional > static_cast<unsigned>(m->maxArgs)) return DISP_E_BADPARAMCOUNT;
        if (positional < static_cast<unsigned>(m->minArgs)) return DISP_E_PARAMNOTFOUND;
        ComPtr<IDispatch> keep(static_cast<IDispatch*>(this));  // a member may drop the caller's last reference
        if (result) VariantInit(result);
        Call call(params, isPut, result);
        return runMember([&] { m->fn(self, call); }, excep, argErr);
    }

    // obj.Layers("0"): a property without parameters called with arguments hands them to the default
    // member of the object it returns, as the system's type-information Invoke does for a collection.
    HRESULT collectionItem(const Member<Self>& m, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
        ComPtr<IDispatch> keep(static_cast<IDispatch*>(this));
        com::Variant inner;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        Call call(&none, false, inner.get());
        const HRESULT hr = runMember([&] { m.fn(*static_cast<Self*>(this), call); }, excep, argErr);
        if (FAILED(hr)) return hr;
        if (inner.vt() != VT_DISPATCH || !V_DISPATCH(inner.get())) return DISP_E_BADPARAMCOUNT;
        return V_DISPATCH(inner.get())->Invoke(DISPID_VALUE, IID_NULL, 0, flags, params, result, excep, argErr);
    }

    // Hidden by classes with an automation type name.
    std::wstring_view typeName() const { return {}; }
};

// Makes a new object owned by the returned pointer.
template <class T, class... A>
ComPtr<IDispatch> make(A&&... args) {
    auto* p = new T(std::forward<A>(args)...);
    return ComPtr<IDispatch>::attach(static_cast<IDispatch*>(p));
}

// IEnumVARIANT over a snapshot, for For Each.
ComPtr<IUnknown> makeEnum(std::vector<com::Variant> items);

// ---------------------------------------------------------------------------------------------------------
template <class Self>
Table<Self>::Table(std::vector<Member<Self>> members) : members_(std::move(members)) {
    DISPID next = 1;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        const std::wstring_view name = members_[i].name;
        auto it = ids_.find(name);
        DISPID id;
        if (it != ids_.end()) id = it->second;
        else if (NameEqual{}(name, L"Item")) id = DISPID_VALUE;
        else if (NameEqual{}(name, L"_NewEnum")) id = DISPID_NEWENUM;
        else id = next++;
        ids_.emplace(std::wstring(name), id);
        if (id == DISPID_NEWENUM) {
            newEnum_.push_back(i);
            continue;
        }
        if (static_cast<std::size_t>(id) >= byId_.size()) byId_.resize(static_cast<std::size_t>(id) + 1);
        byId_[static_cast<std::size_t>(id)].push_back(i);
    }
}

template <class Self>
DISPID Table<Self>::idOf(std::wstring_view name) const {
    auto it = ids_.find(name);
    return it == ids_.end() ? DISPID_UNKNOWN : it->second;
}

template <class Self>
const std::vector<std::size_t>* Table<Self>::membersOf(DISPID id) const {
    if (id == DISPID_NEWENUM) return &newEnum_;
    if (id < 0 || static_cast<std::size_t>(id) >= byId_.size()) return nullptr;
    return &byId_[static_cast<std::size_t>(id)];
}

template <class Self>
const Member<Self>* Table<Self>::find(DISPID id, WORD flags) const {
    const auto* candidates = membersOf(id);
    if (!candidates) return nullptr;
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    const Member<Self>* fallback = nullptr;
    for (std::size_t i : *candidates) {
        const Member<Self>& m = members_[i];
        if (isPut) {
            if (m.kind == Access::Put) return &m;
        } else if ((m.kind == Access::Method && (flags & DISPATCH_METHOD)) || (m.kind == Access::Get && (flags & DISPATCH_PROPERTYGET))) {
            return &m;
        } else if (m.kind != Access::Put) {
            fallback = &m;  // a method read as a property (or the other way round), as Basic allows
        }
    }
    return fallback;
}

}  // namespace kelva::acad::sim
