#include "values.h"

#include <stdexcept>

namespace kelva::com {

namespace {
void check(HRESULT hr) {
    if (FAILED(hr)) throw std::bad_alloc();
}
}  // namespace

Bstr::Bstr(std::wstring_view text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!b_) throw std::bad_alloc();
}

Bstr::Bstr(const Bstr& o) {
    if (o.b_) {
        b_ = SysAllocStringLen(o.b_, SysStringLen(o.b_));
        if (!b_) throw std::bad_alloc();
    }
}

std::wstring toWString(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

Variant::Variant(const Variant& o) : Variant() { check(VariantCopy(&v_, const_cast<VARIANT*>(&o.v_))); }
Variant::Variant(const VARIANT& o) : Variant() { check(VariantCopy(&v_, const_cast<VARIANT*>(&o))); }

Variant Variant::fromBool(bool b) {
    Variant v;
    V_VT(&v.v_) = VT_BOOL;
    V_BOOL(&v.v_) = b ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::fromInt16(short i) {
    Variant v;
    V_VT(&v.v_) = VT_I2;
    V_I2(&v.v_) = i;
    return v;
}

Variant Variant::fromInt32(long i) {
    Variant v;
    V_VT(&v.v_) = VT_I4;
    V_I4(&v.v_) = i;
    return v;
}

Variant Variant::fromDouble(double d) {
    Variant v;
    V_VT(&v.v_) = VT_R8;
    V_R8(&v.v_) = d;
    return v;
}

Variant Variant::fromString(std::wstring_view s) {
    Variant v;
    V_BSTR(&v.v_) = Bstr(s).detach();
    V_VT(&v.v_) = VT_BSTR;
    return v;
}

Variant Variant::fromDispatch(IDispatch* d) {
    Variant v;
    V_VT(&v.v_) = VT_DISPATCH;
    V_DISPATCH(&v.v_) = d;
    if (d) d->AddRef();
    return v;
}

Variant Variant::missing() {
    Variant v;
    V_VT(&v.v_) = VT_ERROR;
    V_ERROR(&v.v_) = DISP_E_PARAMNOTFOUND;
    return v;
}

Variant Variant::fromDoubles(const std::vector<double>& values) {
    SafeArray a = SafeArray::attach(SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size())));
    if (!a.get()) throw std::bad_alloc();
    for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
        double d = values[static_cast<size_t>(i)];
        check(SafeArrayPutElement(a.get(), &i, &d));
    }
    Variant v;
    V_VT(&v.v_) = VT_ARRAY | VT_R8;
    V_ARRAY(&v.v_) = a.detach();
    return v;
}

bool isMissing(const VARIANT& v) noexcept {
    const VARIANT& d = deref(v);
    return V_VT(&d) == VT_ERROR && V_ERROR(&d) == DISP_E_PARAMNOTFOUND;
}

const VARIANT& deref(const VARIANT& v) noexcept {
    const VARIANT* p = &v;
    for (int step = 0; step < kMaxReferenceChain && V_VT(p) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(p); ++step)
        p = V_VARIANTREF(p);
    return *p;
}

VARIANT& deref(VARIANT& v) noexcept { return const_cast<VARIANT&>(deref(static_cast<const VARIANT&>(v))); }

VARTYPE elementType(SAFEARRAY* a) noexcept {
    VARTYPE vt = VT_EMPTY;
    if (!a || FAILED(SafeArrayGetVartype(a, &vt))) return VT_EMPTY;
    return vt;
}

long elementCount(SAFEARRAY* a) noexcept {
    if (!a) return 0;
    long n = 1;
    for (USHORT d = 0; d < a->cDims; ++d) n *= static_cast<long>(a->rgsabound[d].cElements);
    return a->cDims ? n : 0;
}

}  // namespace kelva::com
