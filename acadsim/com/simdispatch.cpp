#include "acadsim/com/simdispatch.h"

#include <cstring>
#include <cwctype>
#include <mutex>
#include <new>
#include <unordered_map>

namespace kelva::acad::sim {

namespace {

[[noreturn]] void mismatch(unsigned i) { throw ArgError{DISP_E_TYPEMISMATCH, i}; }

// The element at `index` of a one-dimensional array, as a Variant.
com::Variant element(SAFEARRAY* a, VARTYPE vt, LONG index) {
    com::Variant v;
    if (vt == VT_VARIANT) {
        if (FAILED(SafeArrayGetElement(a, &index, v.put()))) throw std::bad_alloc();
        return v;
    }
    VARIANT& raw = *v.put();
    switch (vt) {
    case VT_R8: case VT_R4: case VT_I2: case VT_I4: case VT_UI1: case VT_BOOL: case VT_DISPATCH: case VT_UNKNOWN: case VT_BSTR:
        if (FAILED(SafeArrayGetElement(a, &index, &raw.lVal))) throw std::bad_alloc();
        V_VT(&raw) = vt;
        return v;
    default: return com::Variant();
    }
}

// The array a (possibly by-reference) argument holds, with its element type; null when it holds none.
SAFEARRAY* arrayOf(const VARIANT& v, VARTYPE& vt) {
    if (!(V_VT(&v) & VT_ARRAY)) return nullptr;
    SAFEARRAY* a = (V_VT(&v) & VT_BYREF) ? (V_ARRAYREF(&v) ? *V_ARRAYREF(&v) : nullptr) : V_ARRAY(&v);
    vt = static_cast<VARTYPE>(V_VT(&v) & VT_TYPEMASK);
    if (!a || SafeArrayGetDim(a) != 1) return nullptr;
    return a;
}

std::vector<com::Variant> elements(const VARIANT& v, unsigned i) {
    VARTYPE vt;
    SAFEARRAY* a = arrayOf(v, vt);
    if (!a) mismatch(i);
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(a, 1, &lo);
    SafeArrayGetUBound(a, 1, &hi);
    std::vector<com::Variant> out;
    for (LONG k = lo; k <= hi; ++k) out.push_back(element(a, vt, k));
    return out;
}

double toNumber(const VARIANT& v, unsigned i) {
    switch (V_VT(&v)) {  // what callers send most, converted exactly as VariantChangeType would
    case VT_EMPTY: return 0;
    case VT_R8: return V_R8(&v);
    case VT_I4: return V_I4(&v);
    case VT_I2: return V_I2(&v);
    default: break;
    }
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(changeType(&copy, v, VT_R8))) mismatch(i);
    return V_R8(&copy);
}

}  // namespace

namespace {
// Member names are ASCII; anything else goes through the C library.
wchar_t foldName(wchar_t c) noexcept {
    if (c < 0x80) return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
    return static_cast<wchar_t>(std::towupper(c));
}
}  // namespace

std::size_t NameHash::operator()(std::wstring_view s) const noexcept {
    std::size_t h = 1469598103934665603ull;  // FNV-1a
    for (wchar_t c : s) h = (h ^ static_cast<std::size_t>(foldName(c))) * 1099511628211ull;
    return h;
}

bool NameEqual::operator()(std::wstring_view a, std::wstring_view b) const noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && foldName(a[i]) != foldName(b[i])) return false;
    return true;
}

Call::Call(DISPPARAMS* params, bool isPut, VARIANT* result)
    : params_(params), positional_(params->cArgs - (isPut ? 1u : 0u)), result_(result) {}

VARIANT& Call::raw(unsigned i) const {
    if (i >= positional_) throw ArgError{DISP_E_PARAMNOTFOUND, i};
    // Arguments come last-first; a put's value (the named DISPID_PROPERTYPUT) is element 0.
    return params_->rgvarg[params_->cArgs - 1 - i];
}

bool Call::has(unsigned i) const { return i < positional_ && !com::isMissing(com::deref(raw(i))); }

const VARIANT& Call::arg(unsigned i) const {
    const VARIANT& v = com::deref(raw(i));
    if (com::isMissing(v)) throw ArgError{DISP_E_PARAMNOTFOUND, i};
    return v;
}

double Call::number(unsigned i) const { return toNumber(arg(i), i); }

long Call::integer(unsigned i) const {
    const VARIANT& v = arg(i);
    if (V_VT(&v) == VT_I4) return V_I4(&v);
    if (V_VT(&v) == VT_I2) return V_I2(&v);
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(changeType(&copy, v, VT_I4))) mismatch(i);
    return V_I4(&copy);
}

bool Call::boolean(unsigned i) const {
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(changeType(&copy, arg(i), VT_BOOL))) mismatch(i);
    return V_BOOL(&copy) != VARIANT_FALSE;
}

std::wstring Call::text(unsigned i) const {
    const VARIANT& v = arg(i);
    if (V_VT(&v) == VT_BSTR) return com::toWString(V_BSTR(&v));
    if (V_VT(&v) == (VT_BYREF | VT_BSTR)) return com::toWString(*V_BSTRREF(&v));
    if (V_VT(&v) == VT_NULL || V_VT(&v) == VT_DISPATCH || (V_VT(&v) & VT_ARRAY)) mismatch(i);
    com::Variant copy;
    if (FAILED(changeType(copy.put(), v, VT_BSTR))) mismatch(i);
    return com::toWString(V_BSTR(copy.get()));
}

std::vector<double> Call::doubles(unsigned i) const {
    std::vector<double> out;
    for (const auto& e : elements(arg(i), i)) out.push_back(toNumber(com::deref(*e.get()), i));
    return out;
}

Point3 Call::point(unsigned i) const {
    const auto d = doubles(i);
    if (d.size() != 3) throw AcadError(hr::InvalidArg, L"Invalid argument: a point has three coordinates");
    return {d[0], d[1], d[2]};
}

ComPtr<IDispatch> Call::object(unsigned i) const {
    const VARIANT& v = arg(i);
    IDispatch* d = nullptr;
    if (V_VT(&v) == VT_DISPATCH) d = V_DISPATCH(&v);
    else if (V_VT(&v) == (VT_BYREF | VT_DISPATCH)) d = *V_DISPATCHREF(&v);
    else if (V_VT(&v) == VT_UNKNOWN && V_UNKNOWN(&v)) {
        ComPtr<IDispatch> q;
        V_UNKNOWN(&v)->QueryInterface(IID_IDispatch, q.putVoid());
        if (q) return q;
    } else mismatch(i);
    if (!d) throw AcadError(hr::InvalidArg, L"Invalid object");
    return ComPtr<IDispatch>(d);
}

namespace {
// The elements of an array, read in place while it stays locked.
class ArrayData {
public:
    explicit ArrayData(SAFEARRAY* a) : a_(a) {
        if (FAILED(SafeArrayAccessData(a_, &data_))) throw std::bad_alloc();
    }
    ~ArrayData() { SafeArrayUnaccessData(a_); }
    ArrayData(const ArrayData&) = delete;
    ArrayData& operator=(const ArrayData&) = delete;
    template <class T>
    const T& at(std::size_t k) const { return static_cast<const T*>(data_)[k]; }

private:
    SAFEARRAY* a_;
    void* data_ = nullptr;
};

ComPtr<IDispatch> objectOf(IDispatch* d, IUnknown* u, unsigned i) {
    if (d) return ComPtr<IDispatch>(d);
    if (!u) throw AcadError(hr::InvalidArg, L"Invalid object array");
    ComPtr<IDispatch> q;
    u->QueryInterface(IID_IDispatch, q.putVoid());
    if (!q) mismatch(i);
    return q;
}
}  // namespace

std::vector<ComPtr<IDispatch>> Call::objects(unsigned i) const {
    VARTYPE vt;
    SAFEARRAY* a = arrayOf(arg(i), vt);
    if (!a) mismatch(i);
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(a, 1, &lo);
    SafeArrayGetUBound(a, 1, &hi);
    std::vector<ComPtr<IDispatch>> out;
    if (hi < lo) return out;
    const std::size_t n = static_cast<std::size_t>(hi - lo) + 1;
    const UINT size = SafeArrayGetElemsize(a);
    const bool variants = vt == VT_VARIANT && size == sizeof(VARIANT);
    const bool pointers = (vt == VT_DISPATCH || vt == VT_UNKNOWN) && size == sizeof(void*);
    if (!variants && !pointers) throw AcadError(hr::InvalidArg, L"Invalid object array");
    out.reserve(n);
    ArrayData data(a);
    for (std::size_t k = 0; k < n; ++k) {
        if (vt == VT_DISPATCH) {
            out.push_back(objectOf(data.at<IDispatch*>(k), nullptr, i));
        } else if (vt == VT_UNKNOWN) {
            out.push_back(objectOf(nullptr, data.at<IUnknown*>(k), i));
        } else {
            const VARIANT& v = com::deref(data.at<VARIANT>(k));
            if (V_VT(&v) == VT_DISPATCH && V_DISPATCH(&v)) out.push_back(objectOf(V_DISPATCH(&v), nullptr, i));
            else if (V_VT(&v) == VT_UNKNOWN && V_UNKNOWN(&v)) out.push_back(objectOf(nullptr, V_UNKNOWN(&v), i));
            else throw AcadError(hr::InvalidArg, L"Invalid object array");
        }
    }
    return out;
}

std::vector<com::Variant> Call::items(unsigned i) const { return elements(arg(i), i); }

const VARIANT& Call::value() const { return com::deref(params_->rgvarg[0]); }

double Call::numberValue() const { return toNumber(value(), 0); }
long Call::integerValue() const {
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(changeType(&copy, value(), VT_I4))) mismatch(0);
    return V_I4(&copy);
}
bool Call::booleanValue() const {
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(changeType(&copy, value(), VT_BOOL))) mismatch(0);
    return V_BOOL(&copy) != VARIANT_FALSE;
}
std::wstring Call::textValue() const {
    const VARIANT& v = value();
    if (V_VT(&v) == VT_NULL || V_VT(&v) == VT_DISPATCH || (V_VT(&v) & VT_ARRAY)) mismatch(0);
    com::Variant copy;
    if (FAILED(changeType(copy.put(), v, VT_BSTR))) mismatch(0);
    return com::toWString(V_BSTR(copy.get()));
}
std::vector<double> Call::doublesValue() const {
    std::vector<double> d;
    for (const auto& e : elements(value(), 0)) d.push_back(toNumber(com::deref(*e.get()), 0));
    return d;
}

Point3 Call::pointValue() const {
    const auto d = doublesValue();
    if (d.size() != 3) throw AcadError(hr::InvalidArg, L"Invalid argument: a point has three coordinates");
    return {d[0], d[1], d[2]};
}

void Call::returns(com::Variant v) {
    if (result_) v.detachTo(result_);
}

void Call::writeOut(unsigned i, const com::Variant& v) {
    VARIANT& slot = raw(i);
    if (V_VT(&slot) == (VT_BYREF | VT_VARIANT)) {
        VARIANT& target = com::deref(slot);
        if (FAILED(copyVariant(&target, *v.get()))) throw std::bad_alloc();
        return;
    }
    if (V_VT(&slot) == (VT_BYREF | VT_DISPATCH) && (v.vt() == VT_DISPATCH || v.vt() == VT_EMPTY)) {
        IDispatch* d = v.vt() == VT_DISPATCH ? V_DISPATCH(v.get()) : nullptr;
        if (d) d->AddRef();
        if (*V_DISPATCHREF(&slot)) (*V_DISPATCHREF(&slot))->Release();
        *V_DISPATCHREF(&slot) = d;
        return;
    }
    if ((V_VT(&slot) & VT_BYREF) && (V_VT(&slot) & VT_ARRAY) && (V_VT(&slot) & ~VT_BYREF) == v.vt()) {
        SAFEARRAY* copy = nullptr;
        if (FAILED(SafeArrayCopy(V_ARRAY(v.get()), &copy))) throw std::bad_alloc();
        if (*V_ARRAYREF(&slot)) SafeArrayDestroy(*V_ARRAYREF(&slot));
        *V_ARRAYREF(&slot) = copy;
        return;
    }
    mismatch(i);
}

namespace {
// VT_ARRAY|VT_R8 with lower bound 0, filled in one go.
com::Variant doublesOf(const double* values, std::size_t count) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(count)));
    if (!a.get()) throw std::bad_alloc();
    if (count) std::memcpy(a.get()->pvData, values, count * sizeof(double));
    com::Variant v;
    V_VT(v.put()) = VT_ARRAY | VT_R8;
    V_ARRAY(v.get()) = a.detach();
    return v;
}
}  // namespace

com::Variant pointVariant(Point3 p) {
    const double xyz[] = {p.x, p.y, p.z};
    return doublesOf(xyz, 3);
}
com::Variant doublesVariant(const std::vector<double>& values) { return doublesOf(values.data(), values.size()); }

com::Variant objectsVariant(const std::vector<ComPtr<IDispatch>>& objects) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(objects.size())));
    if (!a.get()) throw std::bad_alloc();
    for (LONG k = 0; k < static_cast<LONG>(objects.size()); ++k)
        if (FAILED(SafeArrayPutElement(a.get(), &k, objects[static_cast<std::size_t>(k)].get()))) throw std::bad_alloc();
    com::Variant v;
    V_VT(v.put()) = VT_ARRAY | VT_DISPATCH;
    V_ARRAY(v.get()) = a.detach();
    return v;
}

HRESULT failedMember(EXCEPINFO* excep, UINT* argErr) noexcept {
    auto exception = [&](HRESULT code, const std::wstring& text) {
        if (excep) {
            *excep = EXCEPINFO{};
            excep->scode = code;
            excep->bstrSource = SysAllocString(L"AutoCAD");
            excep->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        }
        return DISP_E_EXCEPTION;
    };
    try {
        throw;
    } catch (const AcadError& e) {
        return exception(e.hresult(), e.description());
    } catch (const ArgError& e) {
        if (argErr) *argErr = e.index;
        return e.hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return exception(E_FAIL, L"Internal error");
    }
}

// ---------------------------------------------------------------------------------------------------------

namespace {
class EnumVariant final : public com::Object<EnumVariant, IEnumVARIANT> {
public:
    explicit EnumVariant(std::vector<com::Variant> items, std::size_t pos = 0) : items_(std::move(items)), pos_(pos) {}
    STDMETHODIMP Next(ULONG n, VARIANT* out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        ULONG k = 0;
        for (; k < n && pos_ < items_.size(); ++k, ++pos_) {
            VariantInit(&out[k]);
            copyVariant(&out[k], *items_[pos_].get());
        }
        if (fetched) *fetched = k;
        return k == n ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG n) override {
        pos_ = std::min(items_.size(), pos_ + static_cast<std::size_t>(n));
        return pos_ < items_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        pos_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) EnumVariant(items_, pos_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::vector<com::Variant> items_;
    std::size_t pos_;
};
}  // namespace

ComPtr<IUnknown> makeEnum(std::vector<com::Variant> items) {
    return ComPtr<IUnknown>::attach(static_cast<IEnumVARIANT*>(new EnumVariant(std::move(items))));
}

// One small type library made at run time holds a dispatch type per interface name; nothing is written
// to disk or the registry.
ComPtr<ITypeInfo> namedTypeInfo(std::wstring_view name) {
    static std::unordered_map<std::wstring, ComPtr<ITypeInfo>> cache;
    static ComPtr<ICreateTypeLib2> lib;
    const std::wstring key(name);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    if (!lib) {
        if (FAILED(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, L"acadsim-names.tlb", lib.put()))) return {};
        GUID libid;
        CoCreateGuid(&libid);
        lib->SetGuid(libid);
        lib->SetName(const_cast<LPOLESTR>(L"AutoCAD"));
    }
    ComPtr<ICreateTypeInfo> create;
    if (FAILED(lib->CreateTypeInfo(const_cast<LPOLESTR>(key.c_str()), TKIND_DISPATCH, create.put()))) return {};
    GUID guid;
    CoCreateGuid(&guid);
    create->SetGuid(guid);
    create->LayOut();
    ComPtr<ITypeInfo> info = create.query<ITypeInfo>();
    cache[key] = info;
    return info;
}

}  // namespace kelva::acad::sim
