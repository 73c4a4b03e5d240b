// clsTriangle: the vtable implementation of _clsTriangle. Members answer error 445 through pending() until
// their implementation lands; replace one member at a time (see kelvasub/class_support.h).
#include "kelvasub/class_support.h"

namespace kelva::sub {
namespace {

class ClsTriangle final : public com::DualObject<ClsTriangle, _clsTriangle> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsTriangle), {
        });
        return table;
    }

    STDMETHODIMP ArcSin(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.ArcSin"); }
    STDMETHODIMP Sec(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.Sec"); }
    STDMETHODIMP Cosec(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.Cosec"); }
    STDMETHODIMP Cotan(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.Cotan"); }
    STDMETHODIMP ArcCos(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.ArcCos"); }
    STDMETHODIMP ArcSec(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.ArcSec"); }
    STDMETHODIMP ArcCosec(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.ArcCosec"); }
    STDMETHODIMP ArcCotan(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.ArcCotan"); }
    STDMETHODIMP HSin(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HSin"); }
    STDMETHODIMP HCos(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HCos"); }
    STDMETHODIMP HTan(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HTan"); }
    STDMETHODIMP HSec(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HSec"); }
    STDMETHODIMP HCosec(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HCosec"); }
    STDMETHODIMP HCotan(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HCotan"); }
    STDMETHODIMP HArcSin(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HArcSin"); }
    STDMETHODIMP HArcCos(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HArcCos"); }
    STDMETHODIMP HArcTan(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HArcTan"); }
    STDMETHODIMP HArcSec(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HArcSec"); }
    STDMETHODIMP HArcCosec(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HArcCosec"); }
    STDMETHODIMP HArcCotan(double *dblX, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.HArcCotan"); }
    STDMETHODIMP LogN(double *dblX, double *dblN, VARIANT *result) override { return pending(IID__clsTriangle, L"clsTriangle.LogN"); }

private:
    friend class com::RefCounted<ClsTriangle>;
    ~ClsTriangle() = default;
};

}  // namespace

HRESULT createClsTriangle(REFIID iid, void** out) { return ClsTriangle::create(iid, out); }

}  // namespace kelva::sub
