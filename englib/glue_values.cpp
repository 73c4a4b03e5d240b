#include "glue_values.h"

#include <windows.h>

#include "com/arguments.h"
#include "core/errors.h"

namespace kelva::eng::glue {

namespace {
[[noreturn]] void raiseConversion(HRESULT hr) {
    if (hr == DISP_E_OVERFLOW) raise(err::Overflow);
    if (hr == E_OUTOFMEMORY) raise(err::OutOfMemory);
    raise(err::TypeMismatch);
}
}  // namespace

double toDouble(const VARIANT& v) {
    com::requireWellFormed(v);
    const VARIANT& d = com::deref(v);
    if (V_VT(&d) == VT_NULL) raise(94);
    if (V_VT(&d) == VT_R8) return V_R8(&d);
    com::Variant out;
    const HRESULT hr = VariantChangeTypeEx(out.put(), const_cast<VARIANT*>(&d), LOCALE_USER_DEFAULT, 0, VT_R8);
    if (FAILED(hr)) raiseConversion(hr);
    return V_R8(out.get());
}

std::wstring toText(const VARIANT& v) {
    com::requireWellFormed(v);
    const VARIANT& d = com::deref(v);
    if (V_VT(&d) == VT_NULL) raise(94);
    if (V_VT(&d) == VT_BSTR) return com::toWString(V_BSTR(&d));
    com::Variant out;
    const HRESULT hr = VariantChangeTypeEx(out.put(), const_cast<VARIANT*>(&d), LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, VT_BSTR);
    if (FAILED(hr)) raiseConversion(hr);
    return com::toWString(V_BSTR(out.get()));
}

bool isGiven(const VARIANT* v) noexcept { return v && !com::isMissing(*v); }

bool equalsTrue(const VARIANT& v) {
    com::requireWellFormed(v);
    const VARIANT& d = com::deref(v);
    if (V_VT(&d) == VT_BOOL) return V_BOOL(&d) == VARIANT_TRUE;
    com::Variant out;
    if (SUCCEEDED(VariantChangeTypeEx(out.put(), const_cast<VARIANT*>(&d), LOCALE_USER_DEFAULT, 0, VT_R8)))
        return V_R8(out.get()) == -1.0;
    if (SUCCEEDED(VariantChangeTypeEx(out.put(), const_cast<VARIANT*>(&d), LOCALE_USER_DEFAULT, 0, VT_BOOL)))
        return V_BOOL(out.get()) == VARIANT_TRUE;
    return false;
}

com::Variant solverResult(const GoalSeekResult& r) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, 2));
    if (!a.get()) raise(err::OutOfMemory);
    com::Variant first = r.ok ? com::Variant::fromDouble(r.value) : com::Variant::fromString(r.message);
    com::Variant second = com::Variant::fromBool(r.ok);
    LONG i = 0;
    if (FAILED(SafeArrayPutElement(a.get(), &i, first.get()))) raise(err::OutOfMemory);
    i = 1;
    if (FAILED(SafeArrayPutElement(a.get(), &i, second.get()))) raise(err::OutOfMemory);
    com::Variant v;
    V_VT(v.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(v.get()) = a.detach();
    return v;
}

SAFEARRAY* arrayIn(const VARIANT& v) {
    com::requireWellFormed(v);
    const VARIANT& d = com::deref(v);
    if (!(V_VT(&d) & VT_ARRAY)) return nullptr;
    return (V_VT(&d) & VT_BYREF) ? (V_ARRAYREF(&d) ? *V_ARRAYREF(&d) : nullptr) : V_ARRAY(&d);
}

VariantLines::VariantLines(SAFEARRAY* lines) : lines_(lines) {
    if (!lines_) raise(err::TypeMismatch);
    // A list straight from an early-bound caller has not been through the dispatcher's check.
    // (Without a recorded element type no element is ever read: each read raises 13.)
    VARTYPE vt = VT_EMPTY;
    if (SUCCEEDED(SafeArrayGetVartype(lines_, &vt)))
        if (const auto fault = com::checkArray(lines_, vt); fault != com::ArgumentFault::None) throw com::argumentError(fault);
    if (SafeArrayGetDim(lines_) != 1) raise(err::SubscriptOutOfRange);
    LONG lb = 0, ub = -1;
    SafeArrayGetLBound(lines_, 1, &lb);
    SafeArrayGetUBound(lines_, 1, &ub);
    lower_ = lb;
    upper_ = ub;
}

namespace {
// One element of a one-dimensional array, whatever its element type, as a Variant.
com::Variant elementOf(SAFEARRAY* a, LONG index) {
    if (SafeArrayGetDim(a) != 1) raise(err::SubscriptOutOfRange);
    VARTYPE vt = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(a, &vt))) raise(err::TypeMismatch);
    com::Variant out;
    HRESULT hr;
    if (vt == VT_VARIANT) {
        hr = SafeArrayGetElement(a, &index, out.get());
    } else {
        switch (vt) {
        case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
        case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BOOL: case VT_DECIMAL: case VT_BSTR: case VT_I8: case VT_UI8:
            break;
        default: raise(err::TypeMismatch);
        }
        VARIANT* slot = out.get();
        void* target = vt == VT_DECIMAL ? static_cast<void*>(&slot->decVal) : static_cast<void*>(&V_I4(slot));
        hr = SafeArrayGetElement(a, &index, target);
        if (SUCCEEDED(hr)) {
            if (vt == VT_DECIMAL) slot->decVal.wReserved = VT_DECIMAL;
            V_VT(slot) = vt;
        }
    }
    if (hr == DISP_E_BADINDEX) raise(err::SubscriptOutOfRange);
    if (FAILED(hr)) raise(err::TypeMismatch);
    return out;
}
}  // namespace

double VariantLines::element(std::int32_t entry, int index) const {
    const com::Variant line = elementOf(lines_, entry);
    SAFEARRAY* inner = arrayIn(*line.get());
    if (!inner) raise(err::TypeMismatch);
    const com::Variant value = elementOf(inner, index);
    return toDouble(*value.get());
}

void yieldToInput() noexcept {
    if (GetQueueStatus(QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON) == 0) return;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the host's own loop
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace kelva::eng::glue
