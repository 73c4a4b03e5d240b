// clsCLO: the vtable implementation of _clsCLO. Members answer error 445 through pending() until
// their implementation lands; replace one member at a time (see kelvasub/class_support.h).
#include "kelvasub/class_support.h"

namespace kelva::sub {
namespace {

class ClsCLO final : public com::DualObject<ClsCLO, _clsCLO> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsCLO), {
            {L"GetClothoidADER", {}, {{3, 1.0}}},  // dRatio = 1
            {L"GetClothoidASR", {}, {{3, 1.0}}},  // dRatio = 1
            {L"GetGoalSeekDE", {}, {{7, 1.0}}},  // dRatio = 1
            {L"GetGoalSeekS", {}, {{7, 1.0}}},  // dRatio = 1
        });
        return table;
    }

    STDMETHODIMP GetClothoidA(double *dblR, double *dblL, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidA"); }
    STDMETHODIMP GetTL(double *dblIA, double *dblR, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetTL"); }
    STDMETHODIMP GetCL(double *dblIA, double *dblR, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetCL"); }
    STDMETHODIMP GetClothoidL(double *dblA, double *dblR, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidL"); }
    STDMETHODIMP GetClothoidX(double *dblL, double *dblR, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidX"); }
    STDMETHODIMP GetClothoidY(double *dblL, double *dblR, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidY"); }
    STDMETHODIMP GetClothoidT(double *dblL, double *dblR, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidT"); }
    STDMETHODIMP GetClothoidXM(double *dblX, double *dblR, double *dblT, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidXM"); }
    STDMETHODIMP GetClothoidDR(double *dblY, double *dblR, double *dblT, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidDR"); }
    STDMETHODIMP GetClothoidW(double *dblR, double *dblDR, double *dblIA, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidW"); }
    STDMETHODIMP GetClothoidZ(double *dblDR2, double *dblDR1, double *dblIA, short *iClass, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidZ"); }
    STDMETHODIMP GetClothoidLC(double *dblR, double *dblIA, double *dblT1, double *dblT2, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidLC"); }
    STDMETHODIMP GetClothoidD(double *dblXM, double *dblW, double *dblZ, short *iClass, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidD"); }
    STDMETHODIMP GetClothoidAE(double *dR1, double *dR2, double *dM1M2, double *dA, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidAE"); }
    STDMETHODIMP GetClothoidADE(double *dblR1, double *dblR2, double *dA, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidADE"); }
    STDMETHODIMP GetClothoidADER(double *dblR1, double *dblR2, double *dA, double *dRatio, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidADER"); }
    STDMETHODIMP GetDistBetweenRDE(double *dblR1, double *dblR2, double *dblDR1, double *dblDR2, double *dXMR1, double *dXMR2, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.GetDistBetweenRDE"); }
    STDMETHODIMP GetClothoidAS(double *dblR1, double *dblR2, double *dA, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidAS"); }
    STDMETHODIMP GetClothoidASR(double *dblR1, double *dblR2, double *dA, double *dRatio, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidASR"); }
    STDMETHODIMP GetDistBetweenRS(double *dblR1, double *dblR2, double *dblDR1, double *dblDR2, double *dXMR1, double *dXMR2, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.GetDistBetweenRS"); }
    STDMETHODIMP GetGoalSeek(double *dRad1, double *dRad2, double *dM1M2, VARIANT *vInit, VARIANT *vTarget, VARIANT *vGuess, VARIANT *vAccuracy, VARIANT *bPositive, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.GetGoalSeek"); }
    STDMETHODIMP GetGoalSeekDE(double *dRad1, double *dRad2, VARIANT *vInit, VARIANT *vTarget, VARIANT *vGuess, VARIANT *vAccuracy, VARIANT *bPositive, double *dRatio, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.GetGoalSeekDE"); }
    STDMETHODIMP GetGoalSeekS(double *dRad1, double *dRad2, VARIANT *vInit, VARIANT *vTarget, VARIANT *vGuess, VARIANT *vAccuracy, VARIANT *bPositive, double *dRatio, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.GetGoalSeekS"); }
    STDMETHODIMP FindDR(double *dblR, double *dblL, double *result) override { return pending(IID__clsCLO, L"clsCLO.FindDR"); }
    STDMETHODIMP FindA(VARIANT *dRad, VARIANT *vInit, VARIANT *vResult, VARIANT *vTarget, VARIANT *vGuess, VARIANT *vAccuracy, VARIANT *bPositive, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.FindA"); }
    STDMETHODIMP FindAN(VARIANT *dRad, VARIANT *dIA, VARIANT *dN, VARIANT *vInit, VARIANT *vTarget, VARIANT *vGuess, VARIANT *vAccuracy, VARIANT *bPositive, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.FindAN"); }
    STDMETHODIMP FindDRCalc(VARIANT *dRad, VARIANT *vValue, double *result) override { return pending(IID__clsCLO, L"clsCLO.FindDRCalc"); }
    STDMETHODIMP GetClothoidE1(double *dblXM1, double *dblXM2, double *dblR1, double *dblR2, double *dblDR1, double *dblDR2, double *dblT1, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidE1"); }
    STDMETHODIMP GetClothoidE(double *dblXM1, double *dblXM2, double *dblR1, double *dblR2, double *dblDR1, double *dblDR2, VARIANT *result) override { return pending(IID__clsCLO, L"clsCLO.GetClothoidE"); }
    STDMETHODIMP GetFactorial(short *iValue, double *result) override { return pending(IID__clsCLO, L"clsCLO.GetFactorial"); }

private:
    friend class com::RefCounted<ClsCLO>;
    ~ClsCLO() = default;
};

}  // namespace

HRESULT createClsCLO(REFIID iid, void** out) { return ClsCLO::create(iid, out); }

}  // namespace kelva::sub
