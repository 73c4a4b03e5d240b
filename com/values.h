#pragma once
// Owners for the automation value types: BSTR, VARIANT and SAFEARRAY.
#include <oaidl.h>
#include <oleauto.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelva::com {

class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(std::wstring_view text);
    Bstr(const Bstr& o);
    Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
    ~Bstr() { SysFreeString(b_); }
    Bstr& operator=(Bstr o) noexcept { std::swap(b_, o.b_); return *this; }

    static Bstr attach(BSTR b) noexcept { Bstr s; s.b_ = b; return s; }
    BSTR detach() noexcept { return std::exchange(b_, nullptr); }
    BSTR get() const noexcept { return b_; }
    BSTR* put() noexcept { SysFreeString(std::exchange(b_, nullptr)); return &b_; }
    std::wstring str() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

// The text of a BSTR, honouring its length (a BSTR may hold NULs) and treating null as "".
std::wstring toWString(BSTR b);

class Variant {
public:
    Variant() noexcept { VariantInit(&v_); }
    Variant(const Variant& o);
    explicit Variant(const VARIANT& o);  // deep copy
    Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    ~Variant() { VariantClear(&v_); }
    Variant& operator=(Variant o) noexcept { std::swap(v_, o.v_); return *this; }

    static Variant fromBool(bool b);
    static Variant fromInt16(short i);
    static Variant fromInt32(long i);
    static Variant fromDouble(double d);
    static Variant fromString(std::wstring_view s);
    static Variant fromDispatch(IDispatch* d);  // adds a reference; a null pointer gives Nothing
    static Variant missing();                    // VT_ERROR / DISP_E_PARAMNOTFOUND
    static Variant fromDoubles(const std::vector<double>& values);  // VT_ARRAY|VT_R8, lower bound 0

    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    VARIANT* put() noexcept { VariantClear(&v_); return &v_; }
    VARTYPE vt() const noexcept { return V_VT(&v_); }
    bool isEmpty() const noexcept { return V_VT(&v_) == VT_EMPTY; }
    void detachTo(VARIANT* out) noexcept { *out = v_; VariantInit(&v_); }

private:
    VARIANT v_;
};

// True for a VT_ERROR / DISP_E_PARAMNOTFOUND argument: how automation marks a left-out optional.
bool isMissing(const VARIANT& v) noexcept;
// VT_BYREF|VT_VARIANT steps a caller's argument may take to its value; a longer chain (a cycle is one) is
// refused by the argument check (arguments.h), and deref never goes further.
inline constexpr int kMaxReferenceChain = 4;

// Follows VT_BYREF|VT_VARIANT chains to the variant that holds the value, at most kMaxReferenceChain steps.
const VARIANT& deref(const VARIANT& v) noexcept;
VARIANT& deref(VARIANT& v) noexcept;

class SafeArray {
public:
    SafeArray() noexcept = default;
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& o) noexcept : a_(std::exchange(o.a_, nullptr)) {}
    SafeArray& operator=(SafeArray&& o) noexcept { std::swap(a_, o.a_); return *this; }
    ~SafeArray() { if (a_) SafeArrayDestroy(a_); }

    static SafeArray attach(SAFEARRAY* a) noexcept { SafeArray s; s.a_ = a; return s; }
    SAFEARRAY* detach() noexcept { return std::exchange(a_, nullptr); }
    SAFEARRAY* get() const noexcept { return a_; }
    SAFEARRAY** put() noexcept { if (a_) SafeArrayDestroy(std::exchange(a_, nullptr)); return &a_; }

private:
    SAFEARRAY* a_ = nullptr;
};

// The element type of an array, VT_EMPTY when it carries none.
VARTYPE elementType(SAFEARRAY* a) noexcept;
// Number of elements over all dimensions.
long elementCount(SAFEARRAY* a) noexcept;

}  // namespace kelva::com
