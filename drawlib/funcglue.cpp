#include "funcglue.h"

#include <cstring>
#include <numeric>

#include "com/arguments.h"
#include "com/latebound.h"
#include "core/errors.h"

namespace kelva::draw::glue {

namespace {

void raiseConversion(HRESULT hr) { raise(hr == DISP_E_OVERFLOW ? err::Overflow : err::TypeMismatch); }

class Access {
public:
    explicit Access(SAFEARRAY* a) : a_(a) {
        if (FAILED(SafeArrayAccessData(a, &data_))) raise(err::SubscriptOutOfRange);
    }
    ~Access() { SafeArrayUnaccessData(a_); }
    Access(const Access&) = delete;
    Access& operator=(const Access&) = delete;
    char* at(std::size_t i) const { return static_cast<char*>(data_) + i * a_->cbElements; }

private:
    SAFEARRAY* a_;
    void* data_ = nullptr;
};

// An array handed over directly (a SAFEARRAY(T)* parameter of an early-bound call) has not been through the
// dispatcher's check: its descriptor is checked before anything is read through it.
void requireSound(SAFEARRAY* a, VARTYPE vt) {
    if (!a) raise(err::SubscriptOutOfRange);
    if (vt == VT_EMPTY) return;  // no element of an untyped array is ever read
    if (const auto fault = com::checkArray(a, vt); fault != com::ArgumentFault::None) throw com::argumentError(fault);
}

VARTYPE typeOf(SAFEARRAY* a) {
    VARTYPE vt = com::elementType(a);
    if (vt == VT_EMPTY) {
        if (a->fFeatures & FADF_BSTR) return VT_BSTR;
        if (a->fFeatures & FADF_VARIANT) return VT_VARIANT;
        if (a->fFeatures & FADF_DISPATCH) return VT_DISPATCH;
    }
    return vt;
}

std::wstring textOfElement(const char* p, VARTYPE vt, std::size_t size) {
    if (vt == VT_BSTR) return com::toWString(*reinterpret_cast<const BSTR*>(p));
    VARIANT view;
    VariantInit(&view);
    const VARIANT* v = &view;
    if (vt == VT_VARIANT) {
        v = reinterpret_cast<const VARIANT*>(p);
    } else {
        if (size > 8 || vt == VT_DISPATCH || vt == VT_UNKNOWN || vt == VT_RECORD) raise(err::TypeMismatch);
        V_VT(&view) = vt;
        std::memcpy(&V_UI1(&view), p, size);
    }
    com::Variant text;
    const HRESULT hr = VariantChangeTypeEx(text.get(), const_cast<VARIANT*>(v), LOCALE_USER_DEFAULT, 0, VT_BSTR);
    if (FAILED(hr)) raiseConversion(hr);
    return com::toWString(V_BSTR(text.get()));
}

// Moves fixed-size elements into a new order through one scratch copy of their bytes: handles move,
// nothing is copied or freed.
void arrangeBytes(char* base, std::size_t size, const Order& order) {
    std::vector<char> scratch(order.size() * size);
    for (std::size_t k = 0; k < order.size(); ++k) std::memcpy(&scratch[k * size], base + order[k] * size, size);
    std::memcpy(base, scratch.data(), scratch.size());
}

}  // namespace

SAFEARRAY* arrayIn(const VARIANT& v) {
    com::requireWellFormed(v);
    const VARIANT& d = com::deref(v);
    if (!(V_VT(&d) & VT_ARRAY)) raise(err::TypeMismatch);
    SAFEARRAY* a = (V_VT(&d) & VT_BYREF) ? (V_ARRAYREF(&d) ? *V_ARRAYREF(&d) : nullptr) : V_ARRAY(&d);
    if (!a) raise(err::SubscriptOutOfRange);
    return a;
}

double numberOf(const VARIANT& v) {
    com::requireWellFormed(v);
    const VARIANT& d = com::deref(v);
    if (V_VT(&d) == VT_R8) return V_R8(&d);
    com::Variant out;
    const HRESULT hr = VariantChangeTypeEx(out.get(), const_cast<VARIANT*>(&d), LOCALE_USER_DEFAULT, 0, VT_R8);
    if (FAILED(hr)) raiseConversion(hr);
    return V_R8(out.get());
}

long lowerBound(SAFEARRAY* a, UINT dim) {
    LONG b = 0;
    if (!a || dim > a->cDims || FAILED(SafeArrayGetLBound(a, dim, &b))) raise(err::SubscriptOutOfRange);
    return b;
}

long upperBound(SAFEARRAY* a, UINT dim) {
    LONG b = 0;
    if (!a || dim > a->cDims || FAILED(SafeArrayGetUBound(a, dim, &b))) raise(err::SubscriptOutOfRange);
    return b;
}

double numberAt(SAFEARRAY* a, long index) {
    if (!a || a->cDims != 1) raise(err::SubscriptOutOfRange);
    const long lo = lowerBound(a), hi = upperBound(a);
    if (index < lo || index > hi) raise(err::SubscriptOutOfRange);
    const VARTYPE vt = typeOf(a);
    Access data(a);
    const char* p = data.at(static_cast<std::size_t>(index - lo));
    if (vt == VT_R8) return *reinterpret_cast<const double*>(p);
    if (vt == VT_VARIANT) return numberOf(*reinterpret_cast<const VARIANT*>(p));
    if (vt == VT_BSTR) {
        VARIANT view;
        V_VT(&view) = VT_BSTR;
        V_BSTR(&view) = *reinterpret_cast<const BSTR*>(p);
        return numberOf(view);
    }
    VARIANT view;
    VariantInit(&view);
    switch (vt) {
        case VT_I2: case VT_I4: case VT_R4: case VT_BOOL: case VT_UI1: case VT_CY: case VT_DATE: case VT_I1:
        case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
            V_VT(&view) = vt;
            std::memcpy(&V_UI1(&view), p, a->cbElements);
            return numberOf(view);
        default: raise(err::TypeMismatch);
    }
}

Point pointOf(const VARIANT& v) {
    SAFEARRAY* a = arrayIn(v);
    Point p;
    // AutoCAD's own points: one lock of a Double array 0..2 instead of three element reads.
    if (a->cDims == 1 && typeOf(a) == VT_R8 && a->rgsabound[0].lLbound == 0 && a->rgsabound[0].cElements >= 2) {
        Access data(a);
        const double* d = reinterpret_cast<const double*>(data.at(0));
        p.x = d[0];
        p.y = d[1];
        if (a->rgsabound[0].cElements >= 3) p.z = d[2];
        return p;
    }
    p.x = numberAt(a, 0);
    p.y = numberAt(a, 1);
    if (a->cDims == 1 && upperBound(a) >= 2 && lowerBound(a) <= 2) p.z = numberAt(a, 2);
    return p;
}

void storePoint(VARIANT* out, const Point& p) {
    com::Variant v = com::Variant::fromDoubles({p.x, p.y, p.z});
    VariantClear(out);
    v.detachTo(out);
}

void writeXY(VARIANT& v, double x, double y) {
    SAFEARRAY* a = arrayIn(v);
    const VARTYPE vt = typeOf(a);
    for (LONG index : {0L, 1L}) {
        const double value = index == 0 ? x : y;
        if (vt == VT_R8) {
            if (FAILED(SafeArrayPutElement(a, &index, const_cast<double*>(&value)))) raise(err::SubscriptOutOfRange);
        } else if (vt == VT_VARIANT) {
            com::Variant d = com::Variant::fromDouble(value);
            if (FAILED(SafeArrayPutElement(a, &index, d.get()))) raise(err::SubscriptOutOfRange);
        } else {
            // Another numeric element type keeps its type, as an assignment to it would.
            com::Variant d = com::Variant::fromDouble(value), converted;
            const HRESULT hr = VariantChangeTypeEx(converted.get(), d.get(), LOCALE_USER_DEFAULT, 0, vt);
            if (FAILED(hr)) raiseConversion(hr);
            if (FAILED(SafeArrayPutElement(a, &index, &V_UI1(converted.get())))) raise(err::SubscriptOutOfRange);
        }
    }
}

// ---- texts ------------------------------------------------------------------------------------------------------

TextArray::TextArray(SAFEARRAY* a) : a_(a) {
    if (!a) raise(err::SubscriptOutOfRange);
    vt_ = typeOf(a);
    requireSound(a, vt_);
    if (a->cDims != 1) raise(err::SubscriptOutOfRange);
    count_ = static_cast<std::size_t>(com::elementCount(a));
}

std::vector<std::wstring> TextArray::texts() const {
    std::vector<std::wstring> out;
    out.reserve(count_);
    Access data(a_);
    for (std::size_t k = 0; k < count_; ++k) out.push_back(textOfElement(data.at(k), vt_, a_->cbElements));
    return out;
}

void TextArray::arrange(const Order& order) {
    Access data(a_);
    arrangeBytes(data.at(0), a_->cbElements, order);
}

TextTable::TextTable(SAFEARRAY* a) : a_(a) {
    if (!a) raise(err::SubscriptOutOfRange);
    vt_ = typeOf(a);
    requireSound(a, vt_);
    if (a->cDims != 2) raise(err::SubscriptOutOfRange);
    colLo_ = lowerBound(a, 1);
    colHi_ = upperBound(a, 1);
    rowLo_ = lowerBound(a, 2);
    rowHi_ = upperBound(a, 2);
}

std::vector<std::wstring> TextTable::column(long col, long lo, long hi) const {
    if (col < colLo_ || col > colHi_) raise(err::SubscriptOutOfRange);
    if (lo > hi) return {};
    if (lo < rowLo_ || hi > rowHi_) raise(err::SubscriptOutOfRange);
    const std::size_t width = static_cast<std::size_t>(colHi_ - colLo_ + 1);
    std::vector<std::wstring> out;
    Access data(a_);
    for (long r = lo; r <= hi; ++r)
        out.push_back(textOfElement(data.at(static_cast<std::size_t>(r - rowLo_) * width + static_cast<std::size_t>(col - colLo_)), vt_, a_->cbElements));
    return out;
}

void TextTable::arrangeRows(long lo, long hi, const Order& order) {
    if (lo > hi) return;
    const std::size_t width = static_cast<std::size_t>(colHi_ - colLo_ + 1);
    Access data(a_);
    // The first dimension varies fastest: a row's columns lie side by side.
    arrangeBytes(data.at(static_cast<std::size_t>(lo - rowLo_) * width), width * a_->cbElements, order);
}

// ---- point lists ------------------------------------------------------------------------------------------------

ElementArray::ElementArray(SAFEARRAY* a) : a_(a) {
    if (!a) raise(err::SubscriptOutOfRange);
    vt_ = typeOf(a);
    requireSound(a, vt_);
    if (a->cDims != 1) raise(err::SubscriptOutOfRange);
    lo_ = lowerBound(a);
    hi_ = upperBound(a);
}

std::vector<PlanePoint> ElementArray::points(double twist, bool turn) const {
    std::vector<PlanePoint> keys;
    if (hi_ < lo_) return keys;
    if (vt_ != VT_VARIANT) raise(err::TypeMismatch);  // a point list holds points in Variants
    Access data(a_);
    for (long k = lo_; k <= hi_; ++k) {
        const Point p = pointOf(*reinterpret_cast<const VARIANT*>(data.at(static_cast<std::size_t>(k - lo_))));
        keys.push_back(turn ? twistKey(p, twist) : PlanePoint{p.x, p.y});
    }
    return keys;
}

void ElementArray::arrange(const Order& order) {
    if (order.empty()) return;
    Access data(a_);
    arrangeBytes(data.at(0), a_->cbElements, order);
}

// ---- selection sets ---------------------------------------------------------------------------------------------

std::size_t AcadSet::count() {
    const double n = numberOf(*com::get(set_, L"Count").get());
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void AcadSet::readItems(std::size_t n) {
    items_.clear();
    items_.reserve(n);
    for (std::size_t k = 0; k < n; ++k)
        items_.push_back(com::getObject(set_, L"Item", {com::Variant::fromInt32(static_cast<long>(k))}));
}

Point AcadSet::insertionPoint(std::size_t item) {
    return pointOf(*com::get(items_[item].get(), L"InsertionPoint").get());
}

std::wstring AcadSet::textString(std::size_t item) {
    return com::asString(com::get(items_[item].get(), L"TextString"));
}

void AcadSet::clear() { com::call(set_, L"Clear"); }

com::Variant AcadSet::itemArray(const Order* order) const {
    const std::size_t n = order ? order->size() : items_.size();
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(n)));
    if (!a.get()) throw std::bad_alloc();
    {
        Access data(a.get());
        for (std::size_t k = 0; k < n; ++k) {
            VARIANT* slot = reinterpret_cast<VARIANT*>(data.at(k));
            IDispatch* item = items_[order ? (*order)[k] : k].get();
            V_VT(slot) = VT_DISPATCH;
            V_DISPATCH(slot) = item;
            item->AddRef();
        }
    }
    com::Variant v;
    V_VT(v.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(v.get()) = a.detach();
    return v;
}

void AcadSet::removeAll() { com::call(set_, L"RemoveItems", {itemArray(nullptr)}); }

void AcadSet::addItems(const Order& order) { com::call(set_, L"AddItems", {itemArray(&order)}); }

}  // namespace kelva::draw::glue
