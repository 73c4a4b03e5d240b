// clsTriangle: the vtable implementation of _clsTriangle: inverse and hyperbolic functions, each a Double
// in a Variant, with the runtime's floating-point errors outside its domain.
#include "kelvasub/class_support.h"

#include "drawlib/func_members.h"
#include "drawlib/trig.h"

namespace kelva::sub {
namespace {

namespace members = draw::members;

double number(const double* p) { return p ? *p : 0.0; }

class ClsTriangle final : public com::DualObject<ClsTriangle, _clsTriangle> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsTriangle), {
        });
        return table;
    }

    STDMETHODIMP ArcSin(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::arcSin(number(dblX))); });
    }
    STDMETHODIMP Sec(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::sec(number(dblX))); });
    }
    STDMETHODIMP Cosec(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::cosec(number(dblX))); });
    }
    STDMETHODIMP Cotan(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::cotan(number(dblX))); });
    }
    STDMETHODIMP ArcCos(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::arcCos(number(dblX))); });
    }
    STDMETHODIMP ArcSec(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::arcSec(number(dblX))); });
    }
    STDMETHODIMP ArcCosec(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::arcCosec(number(dblX))); });
    }
    STDMETHODIMP ArcCotan(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::arcCotan(number(dblX))); });
    }
    STDMETHODIMP HSin(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hSin(number(dblX))); });
    }
    STDMETHODIMP HCos(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hCos(number(dblX))); });
    }
    STDMETHODIMP HTan(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hTan(number(dblX))); });
    }
    STDMETHODIMP HSec(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hSec(number(dblX))); });
    }
    STDMETHODIMP HCosec(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hCosec(number(dblX))); });
    }
    STDMETHODIMP HCotan(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hCotan(number(dblX))); });
    }
    STDMETHODIMP HArcSin(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hArcSin(number(dblX))); });
    }
    STDMETHODIMP HArcCos(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hArcCos(number(dblX))); });
    }
    STDMETHODIMP HArcTan(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hArcTan(number(dblX))); });
    }
    STDMETHODIMP HArcSec(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hArcSec(number(dblX))); });
    }
    STDMETHODIMP HArcCosec(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hArcCosec(number(dblX))); });
    }
    STDMETHODIMP HArcCotan(double *dblX, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::hArcCotan(number(dblX))); });
    }
    STDMETHODIMP LogN(double *dblX, double *dblN, VARIANT *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::storeDouble(result, draw::trig::logN(number(dblX), number(dblN))); });
    }

private:
    friend class com::RefCounted<ClsTriangle>;
    ~ClsTriangle() = default;
};

}  // namespace

HRESULT createClsTriangle(REFIID iid, void** out) { return ClsTriangle::create(iid, out); }

}  // namespace kelva::sub
