#include "arguments.h"

#include <cstdint>
#include <unordered_set>

#include "errors.h"

namespace kelva::com {

namespace {

// How an element of a given type lies in memory; two types that lie alike may stand for each other.
enum class Kind { None, Scalar, Variant, Text, Interface, Record };
struct Layout {
    Kind kind = Kind::None;
    std::size_t size = 0;
};

Layout layoutOf(VARTYPE base) {
    switch (base) {
    case VT_I1: case VT_UI1: return {Kind::Scalar, 1};
    case VT_I2: case VT_UI2: case VT_BOOL: return {Kind::Scalar, 2};
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return {Kind::Scalar, 4};
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return {Kind::Scalar, 8};
    case VT_DECIMAL: return {Kind::Scalar, sizeof(DECIMAL)};
    case VT_BSTR: return {Kind::Text, sizeof(BSTR)};
    case VT_DISPATCH: case VT_UNKNOWN: return {Kind::Interface, sizeof(IUnknown*)};
    case VT_VARIANT: return {Kind::Variant, sizeof(VARIANT)};
    case VT_RECORD: return {Kind::Record, 0};
    default: return {};
    }
}

// Whether `base` may stand in a VARIANT with these flags (VT_BYREF, VT_ARRAY or none).
bool knownType(VARTYPE base, VARTYPE flags) {
    if (base == VT_EMPTY || base == VT_NULL) return flags == 0;
    const Kind kind = layoutOf(base).kind;
    if (kind == Kind::None) return false;
    if (kind == Kind::Variant) return flags != 0;  // a Variant inside a Variant only by reference or as elements
    return true;
}

// The element type an array records about itself, VT_EMPTY when it records none. Read from the feature
// flags first: only FADF_HAVEVARTYPE keeps the type outside the descriptor.
VARTYPE ownType(SAFEARRAY* a) {
    const USHORT f = a->fFeatures;
    if (f & FADF_VARIANT) return VT_VARIANT;
    if (f & FADF_BSTR) return VT_BSTR;
    if (f & FADF_DISPATCH) return VT_DISPATCH;
    if (f & FADF_UNKNOWN) return VT_UNKNOWN;
    if (f & FADF_RECORD) return VT_RECORD;
    VARTYPE vt = VT_EMPTY;
    if ((f & FADF_HAVEVARTYPE) && FAILED(SafeArrayGetVartype(a, &vt))) return VT_EMPTY;
    return vt;
}

class Walk {
public:
    ArgumentFault variant(const VARIANT& v, int chain, int nesting) {
        const VARTYPE vt = V_VT(&v);
        const VARTYPE base = vt & VT_TYPEMASK;
        const VARTYPE flags = vt & static_cast<VARTYPE>(~VT_TYPEMASK);
        if ((flags & ~(VT_BYREF | VT_ARRAY)) || !knownType(base, flags)) return ArgumentFault::UnknownType;
        if (flags & VT_BYREF) {
            if (!V_BYREF(&v)) return ArgumentFault::Invalid;
            if (flags & VT_ARRAY) return array(*V_ARRAYREF(&v), base, nesting);
            if (base == VT_VARIANT) {
                if (chain >= kMaxReferenceChain) return ArgumentFault::Invalid;
                return variant(*V_VARIANTREF(&v), chain + 1, nesting);
            }
            if (base == VT_RECORD && !V_RECORDINFO(&v)) return ArgumentFault::Invalid;
            return ArgumentFault::None;
        }
        if (flags & VT_ARRAY) return array(V_ARRAY(&v), base, nesting);
        if (base == VT_RECORD && (!V_RECORD(&v) || !V_RECORDINFO(&v))) return ArgumentFault::Invalid;
        return ArgumentFault::None;
    }

    ArgumentFault array(SAFEARRAY* a, VARTYPE element, int nesting) {
        if (!a) return ArgumentFault::None;
        const Layout want = layoutOf(element);
        if (want.kind == Kind::None) return ArgumentFault::UnknownType;
        if (nesting >= kMaxArrayNesting || a->cDims == 0) return ArgumentFault::Invalid;
        std::uint64_t count = 1;
        for (USHORT d = 0; d < a->cDims; ++d) {
            const SAFEARRAYBOUND& b = a->rgsabound[d];
            // Every index must be a LONG, and the whole array addressable.
            if (b.cElements && static_cast<std::int64_t>(b.lLbound) + b.cElements - 1 > 0x7FFFFFFF)
                return ArgumentFault::Invalid;
            count *= b.cElements;
            if (count > 0x7FFFFFFF) return ArgumentFault::Invalid;
        }
        if (count > 0 && count * (a->cbElements ? a->cbElements : 1) > 0x7FFFFFFF) return ArgumentFault::Invalid;
        if (const VARTYPE own = ownType(a); own != VT_EMPTY) {
            const Layout has = layoutOf(own);
            if (has.kind != want.kind) return ArgumentFault::Invalid;
            if (has.kind == Kind::Scalar && has.size != want.size) return ArgumentFault::Invalid;
        }
        if (want.kind == Kind::Record ? a->cbElements == 0 : a->cbElements != want.size) return ArgumentFault::Invalid;
        if (count > 0 && !a->pvData) return ArgumentFault::Invalid;
        if (want.kind != Kind::Variant) return ArgumentFault::None;
        // A deep copy follows every element: an array met twice would loop or multiply.
        if (!seen_.insert(a).second) return ArgumentFault::Invalid;
        const auto* elements = static_cast<const VARIANT*>(a->pvData);
        for (std::uint64_t i = 0; i < count; ++i)
            if (const ArgumentFault f = variant(elements[i], 0, nesting + 1); f != ArgumentFault::None) return f;
        return ArgumentFault::None;
    }

private:
    std::unordered_set<const SAFEARRAY*> seen_;
};

}  // namespace

ArgumentFault checkArgument(const VARIANT& v) noexcept {
    try {
        return Walk().variant(v, 0, 0);
    } catch (...) {
        return ArgumentFault::Invalid;  // too large to look through is too large to take
    }
}

ArgumentFault checkArray(SAFEARRAY* a, VARTYPE elementType) noexcept {
    try {
        return Walk().array(a, elementType, 0);
    } catch (...) {
        return ArgumentFault::Invalid;
    }
}

VbError argumentError(ArgumentFault fault) {
    if (fault == ArgumentFault::UnknownType) return VbError(static_cast<std::int32_t>(DISP_E_BADVARTYPE), L"Bad variable type");
    return VbError(kelva::err::InvalidCall);
}

void requireWellFormed(const VARIANT& v) {
    if (const ArgumentFault f = checkArgument(v); f != ArgumentFault::None) throw argumentError(f);
}

HRESULT checkInvokeArguments(const DISPPARAMS& params, REFIID iid, EXCEPINFO* excep, UINT* argErr,
                             const wchar_t* source) noexcept {
    if (params.cArgs && !params.rgvarg) return E_INVALIDARG;
    for (UINT i = 0; i < params.cArgs; ++i) {
        const ArgumentFault fault = checkArgument(params.rgvarg[i]);
        if (fault == ArgumentFault::None) continue;
        if (argErr) *argErr = i;
        if (fault == ArgumentFault::UnknownType) return DISP_E_BADVARTYPE;
        HRESULT hr = E_INVALIDARG;
        try {
            hr = reportError(argumentError(fault).withSource(source ? source : L""), iid);
        } catch (...) {
            return E_INVALIDARG;
        }
        if (!excep) return hr;
        fillExcepInfo(hr, excep);
        return DISP_E_EXCEPTION;
    }
    return S_OK;
}

}  // namespace kelva::com
