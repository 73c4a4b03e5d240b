#include "dispatch.h"

#include <algorithm>
#include <cstring>

#include "arguments.h"
#include "errors.h"

namespace kelva::com {

namespace {

[[noreturn]] void raiseFor(HRESULT hr) {
    switch (hr) {
    case DISP_E_OVERFLOW: throw VbError(kelva::err::Overflow);
    case E_OUTOFMEMORY: throw VbError(kelva::err::OutOfMemory);
    case DISP_E_ARRAYISLOCKED: throw VbError(kelva::err::ArrayFixedOrLocked);
    default: throw VbError(kelva::err::TypeMismatch);
    }
}

void check(HRESULT hr) {
    if (FAILED(hr)) raiseFor(hr);
}

// Describes an argument position as a Basic caller would, for the error text.
VbError argumentError(int number) {
    switch (number) {
    case err::ArgumentNotOptional: return VbError(number, L"Argument not optional");
    case err::WrongArgumentCount:
        return VbError(number, L"Wrong number of arguments or invalid property assignment");
    default: return VbError(number);
    }
}

size_t scalarSize(VARTYPE vt) {
    switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN: return sizeof(void*);
    default: return 0;
    }
}

// The bounds of every dimension, leftmost first, as SafeArrayCreate wants them.
std::vector<SAFEARRAYBOUND> boundsOf(SAFEARRAY* a) {
    std::vector<SAFEARRAYBOUND> bounds(a->cDims);
    for (UINT d = 1; d <= a->cDims; ++d) {
        LONG lo = 0, hi = -1;
        SafeArrayGetLBound(a, d, &lo);
        SafeArrayGetUBound(a, d, &hi);
        bounds[d - 1].lLbound = lo;
        bounds[d - 1].cElements = static_cast<ULONG>(hi - lo + 1);
    }
    return bounds;
}

class ArrayData {
public:
    explicit ArrayData(SAFEARRAY* a) : a_(a) { check(SafeArrayAccessData(a, &data_)); }
    ~ArrayData() { SafeArrayUnaccessData(a_); }
    ArrayData(const ArrayData&) = delete;
    ArrayData& operator=(const ArrayData&) = delete;
    char* at(long i) const { return static_cast<char*>(data_) + static_cast<size_t>(i) * a_->cbElements; }

private:
    SAFEARRAY* a_;
    void* data_ = nullptr;
};

void coerce(const VARIANT& src, VARTYPE vt, VARIANT& out, LCID lcid);

// A typed array of `elem` holding the elements of `source` (any element type), same shape and bounds.
SAFEARRAY* convertArray(SAFEARRAY* source, VARTYPE sourceElem, VARTYPE elem, LCID lcid) {
    if (!source) return nullptr;
    if (sourceElem == elem) {
        SAFEARRAY* copy = nullptr;
        check(SafeArrayCopy(source, &copy));
        return copy;
    }
    if (elem != VT_VARIANT && scalarSize(elem) == 0) raiseFor(DISP_E_TYPEMISMATCH);
    if (sourceElem != VT_VARIANT && scalarSize(sourceElem) == 0) raiseFor(DISP_E_TYPEMISMATCH);
    std::vector<SAFEARRAYBOUND> bounds = boundsOf(source);
    SafeArray target = SafeArray::attach(SafeArrayCreate(elem, source->cDims, bounds.data()));
    if (!target.get()) raiseFor(E_OUTOFMEMORY);
    const long count = elementCount(source);
    ArrayData from(source), to(target.get());
    for (long i = 0; i < count; ++i) {
        // A borrowed view of a typed element: never cleared, the source array owns what it points to.
        VARIANT view;
        VariantInit(&view);
        const VARIANT* element = &view;
        if (sourceElem == VT_VARIANT) {
            element = reinterpret_cast<const VARIANT*>(from.at(i));
        } else {
            V_VT(&view) = sourceElem;
            std::memcpy(&V_UI1(&view), from.at(i), scalarSize(sourceElem));
        }
        Variant converted;
        coerce(*element, elem, *converted.get(), lcid);
        if (elem == VT_VARIANT)
            converted.detachTo(reinterpret_cast<VARIANT*>(to.at(i)));
        else {
            std::memcpy(to.at(i), &V_UI1(converted.get()), scalarSize(elem));
            V_VT(converted.get()) = VT_EMPTY;  // ownership moved into the array
        }
    }
    return target.detach();
}

// The array a variable holds (references followed), by value or through a reference; null for none.
SAFEARRAY* heldArray(const VARIANT& variable) noexcept {
    const VARIANT& v = deref(variable);
    if (!(V_VT(&v) & VT_ARRAY)) return nullptr;
    if (V_VT(&v) & VT_BYREF) return V_ARRAYREF(&v) ? *V_ARRAYREF(&v) : nullptr;
    return V_ARRAY(&v);
}

SAFEARRAY* arrayOf(const VARIANT& v, VARTYPE& elem) {
    const VARIANT& d = deref(v);
    if (!(V_VT(&d) & VT_ARRAY)) raiseFor(DISP_E_TYPEMISMATCH);
    SAFEARRAY* a = heldArray(d);
    elem = elementType(a);
    if (elem == VT_EMPTY) elem = V_VT(&d) & VT_TYPEMASK;
    return a;
}

// Brings `src` to the declared type `vt` (a scalar type, VT_VARIANT, or VT_ARRAY | element type).
void coerce(const VARIANT& src, VARTYPE vt, VARIANT& out, LCID lcid) {
    VariantClear(&out);
    const VARIANT& s = deref(src);
    if (vt == VT_VARIANT) {
        check(VariantCopyInd(&out, const_cast<VARIANT*>(&s)));
        return;
    }
    if (vt == VT_BSTR && (V_VT(&s) & ~VT_BYREF) == VT_BSTR &&
        !((V_VT(&s) & VT_BYREF) ? *V_BSTRREF(&s) : V_BSTR(&s))) {
        // A null string (vbNullString) stays null, which a member may tell from "" (an INI key it deletes
        // rather than empties); the system's copy would make it "" under Wine.
        V_VT(&out) = VT_BSTR;
        V_BSTR(&out) = nullptr;
        return;
    }
    if (vt & VT_ARRAY) {
        VARTYPE sourceElem;
        SAFEARRAY* a = arrayOf(s, sourceElem);
        V_ARRAY(&out) = convertArray(a, sourceElem, vt & VT_TYPEMASK, lcid);
        V_VT(&out) = vt;
        return;
    }
    check(VariantChangeTypeEx(&out, const_cast<VARIANT*>(&s), lcid, 0, vt));
}

// The zero value of a declared type: what a left-out optional without any default receives.
void zeroOf(VARTYPE vt, VARIANT& out) {
    VariantClear(&out);
    if (vt == VT_VARIANT) {
        V_VT(&out) = VT_ERROR;
        V_ERROR(&out) = DISP_E_PARAMNOTFOUND;
        return;
    }
    V_VT(&out) = vt;
    if (vt == VT_BSTR) {
        V_BSTR(&out) = SysAllocString(L"");
        if (!V_BSTR(&out)) raiseFor(E_OUTOFMEMORY);
    }
}

Variant defaultVariant(const ParamDefault& d) {
    return std::visit(
        [](const auto& v) -> Variant {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) return Variant::fromBool(v);
            else if constexpr (std::is_same_v<T, short>) return Variant::fromInt16(v);
            else if constexpr (std::is_same_v<T, long>) return Variant::fromInt32(v);
            else if constexpr (std::is_same_v<T, double>) return Variant::fromDouble(v);
            else return Variant::fromString(v);
        },
        d.value);
}

// An array whose descriptor belongs to its caller for good: one declared with fixed bounds (a procedure's
// local array lives in its frame, a static or embedded one in its module or record) or one locked while
// something walks it. Only its elements may change; destroying it would free what the caller still uses.
bool pinned(const SAFEARRAY* a) noexcept {
    return a && ((a->fFeatures & (FADF_FIXEDSIZE | FADF_STATIC | FADF_AUTO | FADF_EMBEDDED)) || a->cLocks > 0);
}

bool sameShape(SAFEARRAY* a, SAFEARRAY* b) {
    if (!a || !b || a->cDims != b->cDims) return false;
    const std::vector<SAFEARRAYBOUND> x = boundsOf(a), y = boundsOf(b);
    for (size_t d = 0; d < x.size(); ++d)
        if (x[d].lLbound != y[d].lLbound || x[d].cElements != y[d].cElements) return false;
    return true;
}

// A pinned `array` takes only an array `given` of its own dimensions and bounds, in place.
void requireFits(SAFEARRAY* array, SAFEARRAY* given) {
    if (pinned(array) && !sameShape(array, given)) throw VbError(kelva::err::ArrayFixedOrLocked);
}

// Moves the elements of `from` into the pinned `into`, same shape and element type `elem`, releasing what
// `into` held; `from` keeps emptied elements only.
void moveElements(SAFEARRAY* into, SAFEARRAY* from, VARTYPE elem) {
    if (into->cbElements != from->cbElements || (elem != VT_VARIANT && elem != VT_DECIMAL && scalarSize(elem) == 0))
        raiseFor(DISP_E_TYPEMISMATCH);
    const long count = elementCount(into);
    ArrayData to(into), source(from);
    for (long i = 0; i < count; ++i) {
        char* const slot = to.at(i);
        switch (elem) {
        case VT_VARIANT: VariantClear(reinterpret_cast<VARIANT*>(slot)); break;
        case VT_BSTR: SysFreeString(*reinterpret_cast<BSTR*>(slot)); break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            if (auto* old = *reinterpret_cast<IUnknown**>(slot)) old->Release();
            break;
        default: break;
        }
        std::memcpy(slot, source.at(i), into->cbElements);
        std::memset(source.at(i), 0, into->cbElements);  // an empty Variant, a null string or pointer
    }
}

// Puts `value`, an array of the caller's element type `elem`, where the caller keeps its array. A pinned array
// keeps its descriptor and takes the elements; any other is destroyed and replaced, and a destroy that fails
// fails the store with the caller's array still in place.
void storeArray(SAFEARRAY*& slot, SafeArray value, VARTYPE elem) {
    if (pinned(slot)) {
        requireFits(slot, value.get());
        moveElements(slot, value.get(), elem);
        return;
    }
    if (slot) check(SafeArrayDestroy(slot));
    slot = value.detach();
}

// Stores `value` (declared type) through a typed reference VT_BYREF | T, converted to T.
void storeThroughReference(VARIANT& ref, const VARIANT& value, LCID lcid) {
    const VARTYPE t = V_VT(&ref) & ~VT_BYREF;
    if (!V_BYREF(&ref)) return;
    Variant converted;
    coerce(value, t, *converted.get(), lcid);
    VARIANT& c = *converted.get();
    if (t & VT_ARRAY) {
        SafeArray array = SafeArray::attach(V_ARRAY(&c));
        V_VT(&c) = VT_EMPTY;
        storeArray(*V_ARRAYREF(&ref), std::move(array), t & VT_TYPEMASK);
        return;
    }
    if (t == VT_BSTR) {
        SysFreeString(*V_BSTRREF(&ref));
        *V_BSTRREF(&ref) = V_BSTR(&c);
    } else if (t == VT_DISPATCH || t == VT_UNKNOWN) {
        IUnknown** slot = V_UNKNOWNREF(&ref);
        if (*slot) (*slot)->Release();
        *slot = V_UNKNOWN(&c);
    } else if (t == VT_DECIMAL) {
        *V_DECIMALREF(&ref) = V_DECIMAL(&c);
    } else if (size_t n = scalarSize(t)) {
        std::memcpy(V_BYREF(&ref), &V_UI1(&c), n);
    } else {
        raiseFor(DISP_E_TYPEMISMATCH);
    }
    V_VT(&c) = VT_EMPTY;  // moved into the caller's storage
}

// Basic's assignment of `value` to a Variant variable (`target`, references followed): it takes the value as
// it is, unless it holds a pinned array, which takes the elements in its own type in place.
void storeVariant(VARIANT& target, Variant value, LCID lcid) {
    if ((V_VT(&target) & VT_ARRAY) && pinned(V_ARRAY(&target))) {
        // The shape first: a value of another shape is error 10 whatever its element type.
        requireFits(V_ARRAY(&target), heldArray(*value.get()));
        const VARTYPE elem = V_VT(&target) & VT_TYPEMASK;
        Variant converted;
        coerce(*value.get(), VT_ARRAY | elem, *converted.get(), lcid);
        moveElements(V_ARRAY(&target), V_ARRAY(converted.get()), elem);
        return;
    }
    check(VariantClear(&target));
    value.detachTo(&target);
}

bool plainScalar(VARTYPE vt) {
    return !(vt & (VT_ARRAY | VT_BYREF)) && vt != VT_EMPTY && vt != VT_NULL && vt != VT_ERROR &&
           vt != VT_DISPATCH && vt != VT_UNKNOWN && vt != VT_VARIANT && vt != VT_RECORD;
}

// Writes a by-reference parameter back into the caller's argument. Through a typed parameter a Variant
// variable keeps its own type where it can hold the value (a Variant holding Integer stays Integer), so a
// round trip does not change what the caller's script sees, and a Variant array stays a Variant array.
// Through a Variant parameter the member's value goes back as it is.
void writeBack(VARIANT& arg, const VARIANT& value, VARTYPE declared, LCID lcid) {
    if (!(V_VT(&arg) & VT_BYREF)) return;
    if (V_VT(&arg) != (VT_BYREF | VT_VARIANT)) {
        storeThroughReference(arg, value, lcid);
        return;
    }
    VARIANT& target = deref(arg);
    if (V_VT(&target) & VT_BYREF) {
        storeThroughReference(target, value, lcid);
        return;
    }
    Variant result(value);
    if (declared == VT_VARIANT) {
        // as it is
    } else if ((V_VT(&value) & VT_ARRAY) && (V_VT(&target) & VT_ARRAY)) {
        const VARTYPE want = V_VT(&target) & VT_TYPEMASK;
        if (want != (V_VT(&value) & VT_TYPEMASK)) coerce(value, VT_ARRAY | want, *result.get(), lcid);
    } else if (plainScalar(V_VT(&target)) && plainScalar(V_VT(&value)) && V_VT(&target) != V_VT(&value)) {
        Variant kept;
        if (SUCCEEDED(VariantChangeTypeEx(kept.get(), const_cast<VARIANT*>(&value), lcid, 0, V_VT(&target))))
            result = kept;
    }
    storeVariant(target, std::move(result), lcid);
}

struct TypeAttr {
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(ITypeInfo* i) : info(i) { check(i->GetTypeAttr(&attr)); }
    ~TypeAttr() { info->ReleaseTypeAttr(attr); }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
};

VARTYPE resolveValue(ITypeInfo* info, const TYPEDESC& td);

VARTYPE resolveUserDefined(ITypeInfo* info, HREFTYPE ref) {
    ComPtr<ITypeInfo> target;
    check(info->GetRefTypeInfo(ref, target.put()));
    TypeAttr a(target.get());
    switch (a.attr->typekind) {
    case TKIND_ENUM: return VT_I4;
    case TKIND_ALIAS: return resolveValue(target.get(), a.attr->tdescAlias);
    case TKIND_DISPATCH: return VT_DISPATCH;
    case TKIND_INTERFACE: return (a.attr->wTypeFlags & TYPEFLAG_FDISPATCHABLE) ? VT_DISPATCH : VT_UNKNOWN;
    default: return VT_RECORD;
    }
}

VARTYPE resolveValue(ITypeInfo* info, const TYPEDESC& td) {
    switch (td.vt) {
    case VT_SAFEARRAY: return VT_ARRAY | resolveValue(info, *td.lptdesc);
    case VT_USERDEFINED: return resolveUserDefined(info, td.hreftype);
    case VT_PTR: return resolveValue(info, *td.lptdesc);  // an interface pointer
    case VT_INT: return VT_I4;
    case VT_UINT: return VT_UI4;
    default: return td.vt;
    }
}

bool isInterfacePointer(ITypeInfo* info, const TYPEDESC& td) {
    if (td.vt != VT_PTR || td.lptdesc->vt != VT_USERDEFINED) return false;
    const VARTYPE vt = resolveUserDefined(info, td.lptdesc->hreftype);
    return vt == VT_DISPATCH || vt == VT_UNKNOWN;
}

}  // namespace

struct TypeDispatch::Member {
    struct Param {
        VARTYPE vt = VT_EMPTY;  // scalar type, VT_VARIANT, VT_DISPATCH, VT_UNKNOWN or VT_ARRAY | element
        bool byRef = false;
        bool optional = false;
        bool retval = false;
        bool writtenBack = false;
        std::optional<Variant> fallback;  // the rule's default, else the type library's
    };
    DISPID id;
    INVOKEKIND kind;
    SHORT vtableOffset;
    CALLCONV callConv;
    std::vector<Param> params;
};

void assignVariable(VARIANT& variable, const VARIANT& value, LCID lcid) {
    VARIANT& target = deref(variable);
    if (V_VT(&target) & VT_BYREF) {
        storeThroughReference(target, value, lcid);
        return;
    }
    Variant copy;
    coerce(value, VT_VARIANT, *copy.get(), lcid);
    storeVariant(target, std::move(copy), lcid);
}

Variant valueForVariable(const VARIANT& variable, const VARIANT& value, LCID lcid) {
    const VARIANT& target = deref(variable);
    SAFEARRAY* const array = heldArray(target);
    requireFits(array, heldArray(value));
    VARTYPE type = VT_VARIANT;
    if (V_VT(&target) & VT_BYREF)
        type = V_VT(&target) & ~VT_BYREF;
    else if (pinned(array))
        type = V_VT(&target);  // a Variant's pinned array keeps its element type
    Variant out;
    coerce(value, type, *out.get(), lcid);
    return out;
}

ComPtr<ITypeLib> loadModuleTypeLib(HMODULE module) {
    wchar_t path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
    if (n == 0 || n >= std::size(path)) return {};
    ComPtr<ITypeLib> lib;
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, lib.put()))) return {};
    return lib;
}

ComPtr<ITypeInfo> interfaceTypeInfo(ITypeLib* lib, REFIID iid) {
    ComPtr<ITypeInfo> info;
    if (!lib || FAILED(lib->GetTypeInfoOfGuid(iid, info.put()))) return {};
    return info;
}

TypeDispatch::TypeDispatch(ComPtr<ITypeInfo> info, std::vector<MemberRule> rules, std::wstring source)
    : source_(std::move(source)) {
    if (!info) return;
    {
        TypeAttr a(info.get());
        iid_ = a.attr->guid;
        if (a.attr->typekind == TKIND_DISPATCH) {
            // The vtable half of a dual interface carries the offsets DispCallFunc needs.
            HREFTYPE ref;
            ComPtr<ITypeInfo> vtable;
            if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) &&
                SUCCEEDED(info->GetRefTypeInfo(ref, vtable.put())))
                info = vtable;
        }
    }
    // Rules name their members; a misspelt name would silently drop a write-back, so it disables the table
    // instead (every call then fails with E_UNEXPECTED, which any test of the class notices).
    std::vector<DISPID> ruleIds;
    for (const auto& r : rules) {
        std::wstring name = r.member;
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        if (FAILED(DispGetIDsOfNames(info.get(), names, 1, &id))) return;
        ruleIds.push_back(id);
    }
    info_ = info;
    TypeAttr a(info_.get());
    for (UINT f = 0; f < a.attr->cFuncs; ++f) {
        FUNCDESC* fd = nullptr;
        if (FAILED(info_->GetFuncDesc(f, &fd))) continue;
        Member m{fd->memid, fd->invkind, fd->oVft, fd->callconv, {}};
        const MemberRule* rule = nullptr;
        for (size_t r = 0; r < rules.size(); ++r)
            if (ruleIds[r] == fd->memid) rule = &rules[r];
        for (SHORT p = 0; p < fd->cParams; ++p) {
            const ELEMDESC& e = fd->lprgelemdescParam[p];
            Member::Param param;
            const USHORT flags = e.paramdesc.wParamFlags;
            param.byRef = e.tdesc.vt == VT_PTR && !isInterfacePointer(info_.get(), e.tdesc);
            param.vt = resolveValue(info_.get(), param.byRef ? *e.tdesc.lptdesc : e.tdesc);
            param.retval = (flags & PARAMFLAG_FRETVAL) != 0;
            param.optional = (flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
            if ((flags & PARAMFLAG_FHASDEFAULT) && e.paramdesc.pparamdescex)
                param.fallback = Variant(e.paramdesc.pparamdescex->varDefaultValue);
            if (rule) {
                param.writtenBack = std::find(rule->writtenBack.begin(), rule->writtenBack.end(), p) !=
                                    rule->writtenBack.end();
                for (const auto& d : rule->defaults)
                    if (d.param == p) {
                        param.fallback = defaultVariant(d);
                        param.optional = true;
                    }
            }
            m.params.push_back(std::move(param));
        }
        members_.push_back(std::move(m));
        info_->ReleaseFuncDesc(fd);
    }
}

TypeDispatch::~TypeDispatch() = default;

const TypeDispatch::Member* TypeDispatch::find(DISPID id, INVOKEKIND kind) const {
    for (const auto& m : members_)
        if (m.id == id && m.kind == kind) return &m;
    return nullptr;
}

HRESULT TypeDispatch::getTypeInfo(UINT index, ITypeInfo** out) const noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!info_) return E_UNEXPECTED;
    *out = info_.copyOut();
    return S_OK;
}

HRESULT TypeDispatch::getIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const noexcept {
    if (!info_) return E_UNEXPECTED;
    return DispGetIDsOfNames(info_.get(), names, count, ids);
}

namespace {
// One argument on its way to the vtable: the value in its declared type and, for a by-reference
// parameter, the reference DispCallFunc passes.
struct Slot {
    Variant value;
    VARIANT reference;
    VARIANT* caller = nullptr;  // the caller's argument, when one was given
    int argIndex = -1;          // its position in rgvarg, for puArgErr
};

// A Variant parameter is passed as the VARIANT itself; any other type as its value inside the union.
void* referenceTo(VARIANT& v, VARTYPE declared) {
    if (declared == VT_VARIANT) return &v;
    return &V_UI1(&v);
}
}  // namespace

HRESULT TypeDispatch::invoke(void* self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* excep, UINT* argErr) const noexcept {
    if (!info_) return E_UNEXPECTED;
    DISPPARAMS none{};
    if (!params) params = &none;

    const UINT named = params->cNamedArgs;
    if (named > params->cArgs || (params->cArgs && !params->rgvarg) || (named && !params->rgdispidNamedArgs))
        return E_INVALIDARG;
    // Nothing below may follow, copy or convert an argument that is not a well-formed VARIANT.
    if (const HRESULT shape = checkInvokeArguments(*params, iid_, excep, argErr, source_.c_str()); FAILED(shape)) return shape;
    const Member* m = nullptr;
    const bool putValueIsObject = params->cArgs > 0 && V_VT(&deref(params->rgvarg[0])) == VT_DISPATCH;
    if (flags & DISPATCH_PROPERTYPUTREF) m = find(id, INVOKE_PROPERTYPUTREF);
    if (!m && (flags & DISPATCH_PROPERTYPUT)) {
        m = find(id, INVOKE_PROPERTYPUT);
        if (!m && putValueIsObject) m = find(id, INVOKE_PROPERTYPUTREF);
    }
    if (!m && (flags & DISPATCH_METHOD)) m = find(id, INVOKE_FUNC);
    if (!m && (flags & DISPATCH_PROPERTYGET)) m = find(id, INVOKE_PROPERTYGET);
    if (!m && (flags & DISPATCH_METHOD)) m = find(id, INVOKE_PROPERTYGET);
    if (!m) {
        for (const auto& any : members_)
            if (any.id == id) {
                if (excep) {
                    *excep = EXCEPINFO{};
                    excep->scode = static_cast<SCODE>(errorToHresult(err::NotSupported));
                    excep->bstrDescription = SysAllocString(L"Object doesn't support this property or method");
                    excep->bstrSource = SysAllocString(source_.c_str());
                    return DISP_E_EXCEPTION;
                }
                return DISP_E_MEMBERNOTFOUND;
            }
        return DISP_E_MEMBERNOTFOUND;
    }

    const bool isPut = m->kind == INVOKE_PROPERTYPUT || m->kind == INVOKE_PROPERTYPUTREF;
    const size_t count = m->params.size();
    std::vector<Slot> slots(count);
    const LCID lcid = LOCALE_USER_DEFAULT;

    const HRESULT prepared = guarded(iid_, source_, [&] {
        size_t inputs = 0;
        for (const auto& p : m->params)
            if (!p.retval) ++inputs;
        // Where each given argument goes: positional ones in order, named ones by parameter position,
        // and the value of a property assignment to the last input parameter.
        std::vector<int> source(count, -1);
        const UINT positional = params->cArgs - named;
        const size_t positionalLimit = isPut ? (inputs ? inputs - 1 : 0) : inputs;
        if (positional > positionalLimit + (isPut && named == 0 ? 1 : 0))
            throw argumentError(err::WrongArgumentCount);
        for (UINT i = 0; i < positional; ++i) {
            size_t target = i;
            if (isPut && named == 0 && i == positional - 1) target = inputs - 1;  // value passed positionally
            source[target] = static_cast<int>(params->cArgs - 1 - i);
        }
        for (UINT k = 0; k < named; ++k) {
            const DISPID n = params->rgdispidNamedArgs[k];
            const size_t target = n == DISPID_PROPERTYPUT ? inputs - 1 : static_cast<size_t>(n);
            if (n != DISPID_PROPERTYPUT && (n < 0 || target >= inputs)) throw argumentError(err::WrongArgumentCount);
            if (inputs == 0) throw argumentError(err::WrongArgumentCount);
            source[target] = static_cast<int>(k);
        }
        for (size_t i = 0; i < count; ++i) {
            const auto& p = m->params[i];
            Slot& s = slots[i];
            VariantInit(&s.reference);
            VARIANT& v = *s.value.get();
            if (p.retval) {
                if (p.vt != VT_VARIANT) V_VT(&v) = p.vt;  // union already zero: the member fills it
                continue;
            }
            const VARIANT* given = source[i] >= 0 ? &params->rgvarg[source[i]] : nullptr;
            if (given) {
                s.caller = &params->rgvarg[source[i]];
                s.argIndex = source[i];
            }
            // A Variant parameter without a default receives the caller's missing marker as it is.
            if (!given || (isMissing(*given) && (p.vt != VT_VARIANT || p.fallback))) {
                if (!p.optional) throw argumentError(err::ArgumentNotOptional);
                if (p.fallback)
                    coerce(*p.fallback->get(), p.vt, v, lcid);
                else
                    zeroOf(p.vt, v);
                continue;
            }
            try {
                coerce(*given, p.vt, v, lcid);
            } catch (const VbError&) {
                if (argErr) *argErr = static_cast<UINT>(s.argIndex);
                throw;
            }
        }
    });
    if (FAILED(prepared)) {
        if (!excep) return prepared;
        fillExcepInfo(prepared, excep);
        return DISP_E_EXCEPTION;
    }

    std::vector<VARTYPE> types(count);
    std::vector<VARIANTARG*> pointers(count);
    for (size_t i = 0; i < count; ++i) {
        const auto& p = m->params[i];
        Slot& s = slots[i];
        if (p.byRef || p.retval) {
            types[i] = VT_BYREF | p.vt;
            V_VT(&s.reference) = VT_BYREF | p.vt;
            V_BYREF(&s.reference) = referenceTo(*s.value.get(), p.vt);
            pointers[i] = &s.reference;
        } else {
            types[i] = p.vt;
            pointers[i] = s.value.get();
        }
    }
    VARIANT returned;
    VariantInit(&returned);
    HRESULT hr = DispCallFunc(self, m->vtableOffset, m->callConv, VT_ERROR, static_cast<UINT>(count),
                              types.data(), pointers.data(), &returned);
    if (SUCCEEDED(hr)) hr = V_ERROR(&returned);
    if (FAILED(hr)) {
        if (!excep) return hr;
        fillExcepInfo(hr, excep);
        return DISP_E_EXCEPTION;
    }

    const HRESULT written = guarded(iid_, source_, [&] {
        // A caller's fixed or locked array takes only a value of its own shape. Every argument is checked
        // before any is written, so a call that cannot write one back leaves them all as they were.
        for (size_t i = 0; i < count; ++i) {
            const VARIANT* caller = slots[i].caller;
            if (m->params[i].writtenBack && m->params[i].byRef && caller && (V_VT(caller) & VT_BYREF))
                requireFits(heldArray(*caller), heldArray(*slots[i].value.get()));
        }
        for (size_t i = 0; i < count; ++i) {
            const auto& p = m->params[i];
            if (p.writtenBack && p.byRef && slots[i].caller) writeBack(*slots[i].caller, *slots[i].value.get(), p.vt, lcid);
        }
        for (size_t i = 0; i < count; ++i)
            if (m->params[i].retval && result) {
                VariantClear(result);
                slots[i].value.detachTo(result);
            }
    });
    if (FAILED(written)) {
        if (!excep) return written;
        fillExcepInfo(written, excep);
        return DISP_E_EXCEPTION;
    }
    return S_OK;
}

}  // namespace kelva::com
