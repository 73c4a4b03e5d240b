// clsCLO: clothoid transition curves and their goal-seek solvers, on the portable formulas of clothoid.h.
// No argument is written back, although every one is passed by reference.
#include "kelvasub/class_support.h"

#include "englib/clothoid.h"
#include "englib/glue_values.h"
#include "englib/goalseek.h"

namespace kelva::sub {
namespace {

using namespace kelva::eng;

// The solvers answer (value, True) or (message, False) and never fail toward the caller; a value that
// does not convert ends the search like a failing evaluation does.
template <class F>
HRESULT solve(VARIANT* result, VARIANT* vInit, VARIANT* vTarget, VARIANT* vGuess, VARIANT* vAccuracy, VARIANT* bPositive,
              bool inclusive, F f, REFIID iid) {
    return com::guarded(iid, [&] {
        GoalSeekResult r;
        try {
            GoalSeekOptions o;
            o.inclusive = inclusive;
            o.accuracy = glue::isGiven(vAccuracy) ? glue::toDouble(*vAccuracy) : 1e-8;
            o.positive = glue::isGiven(bPositive) && glue::equalsTrue(*bPositive);
            o.target = glue::toDouble(*vTarget);
            if (glue::isGiven(vGuess)) o.guess = [vGuess] { return glue::toDouble(*vGuess); };
            const double x0 = glue::toDouble(*vInit);
            r = goalSeek(f, x0, o, glue::yieldToInput);
        } catch (const VbError& e) {
            r = {false, 0.0, e.description()};
        }
        glue::solverResult(r).detachTo(result);
    });
}

class ClsCLO final : public com::DualObject<ClsCLO, _clsCLO> {
public:
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsCLO), {
            {L"GetClothoidADER", {}, {{3, 1.0}}},  // GetClothoidADER: dRatio = 1
            {L"GetClothoidASR", {}, {{3, 1.0}}},  // GetClothoidASR: dRatio = 1
            {L"GetGoalSeekDE", {}, {{7, 1.0}}},  // GetGoalSeekDE: dRatio = 1
            {L"GetGoalSeekS", {}, {{7, 1.0}}},  // GetGoalSeekS: dRatio = 1
        });
        return table;
    }

    STDMETHODIMP GetClothoidA(double* r, double* l, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidA(*r, *l); });
    }
    STDMETHODIMP GetTL(double* ia, double* r, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = tangentLength(*ia, *r); });
    }
    STDMETHODIMP GetCL(double* ia, double* r, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = circularLength(*ia, *r); });
    }
    STDMETHODIMP GetClothoidL(double* a, double* r, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidL(*a, *r); });
    }
    STDMETHODIMP GetClothoidX(double* l, double* r, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidX(*l, *r); });
    }
    STDMETHODIMP GetClothoidY(double* l, double* r, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidY(*l, *r); });
    }
    STDMETHODIMP GetClothoidT(double* l, double* r, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidT(*l, *r); });
    }
    STDMETHODIMP GetClothoidXM(double* x, double* r, double* t, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidXM(*x, *r, *t); });
    }
    STDMETHODIMP GetClothoidDR(double* y, double* r, double* t, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidDR(*y, *r, *t); });
    }
    STDMETHODIMP GetClothoidW(double* r, double* dr, double* ia, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidW(*r, *dr, *ia); });
    }
    STDMETHODIMP GetClothoidZ(double* dr2, double* dr1, double* ia, short* iClass, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidZ(*dr2, *dr1, *ia, *iClass); });
    }
    STDMETHODIMP GetClothoidLC(double* r, double* ia, double* t1, double* t2, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidLC(*r, *ia, *t1, *t2); });
    }
    STDMETHODIMP GetClothoidD(double* xm, double* w, double* z, short* iClass, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidD(*xm, *w, *z, *iClass); });
    }
    STDMETHODIMP GetClothoidAE(double* r1, double* r2, double* m1m2, double* a, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidAE(*r1, *r2, *m1m2, *a); });
    }
    STDMETHODIMP GetClothoidADE(double* r1, double* r2, double* a, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidADE(*r1, *r2, *a); });
    }
    STDMETHODIMP GetClothoidADER(double* r1, double* r2, double* a, double* ratio, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidADER(*r1, *r2, *a, ratio ? *ratio : 1.0); });
    }
    STDMETHODIMP GetDistBetweenRDE(double* r1, double* r2, double* dr1, double* dr2, double* xm1, double* xm2, VARIANT* result) override {
        if (!result) return E_POINTER;
        return run([&] { com::Variant::fromDouble(distBetweenRDE(*r1, *r2, *dr1, *dr2, *xm1, *xm2)).detachTo(result); });
    }
    STDMETHODIMP GetClothoidAS(double* r1, double* r2, double* a, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidAS(*r1, *r2, *a); });
    }
    STDMETHODIMP GetClothoidASR(double* r1, double* r2, double* a, double* ratio, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = clothoidASR(*r1, *r2, *a, ratio ? *ratio : 1.0); });
    }
    STDMETHODIMP GetDistBetweenRS(double* r1, double* r2, double* dr1, double* dr2, double* xm1, double* xm2, VARIANT* result) override {
        if (!result) return E_POINTER;
        return run([&] { com::Variant::fromDouble(distBetweenRS(*r1, *r2, *dr1, *dr2, *xm1, *xm2)).detachTo(result); });
    }

    STDMETHODIMP GetGoalSeek(double* rad1, double* rad2, double* m1m2, VARIANT* vInit, VARIANT* vTarget, VARIANT* vGuess,
                             VARIANT* vAccuracy, VARIANT* bPositive, VARIANT* result) override {
        if (!result) return E_POINTER;
        const double r1 = *rad1, r2 = *rad2, d = *m1m2;
        return solve(result, vInit, vTarget, vGuess, vAccuracy, bPositive, false,
                     [=](double x) { return clothoidAE(r1, r2, d, x); }, IID__clsCLO);
    }
    STDMETHODIMP GetGoalSeekDE(double* rad1, double* rad2, VARIANT* vInit, VARIANT* vTarget, VARIANT* vGuess, VARIANT* vAccuracy,
                               VARIANT* bPositive, double* dRatio, VARIANT* result) override {
        if (!result) return E_POINTER;
        const double r1 = *rad1, r2 = *rad2, ratio = dRatio ? *dRatio : 1.0;
        return solve(result, vInit, vTarget, vGuess, vAccuracy, bPositive, false,
                     [=](double x) { return ratio == 1.0 ? clothoidADE(r1, r2, x) : clothoidADER(r1, r2, x, ratio); }, IID__clsCLO);
    }
    STDMETHODIMP GetGoalSeekS(double* rad1, double* rad2, VARIANT* vInit, VARIANT* vTarget, VARIANT* vGuess, VARIANT* vAccuracy,
                              VARIANT* bPositive, double* dRatio, VARIANT* result) override {
        if (!result) return E_POINTER;
        const double r1 = *rad1, r2 = *rad2, ratio = dRatio ? *dRatio : 1.0;
        return solve(result, vInit, vTarget, vGuess, vAccuracy, bPositive, false,
                     [=](double x) { return ratio == 1.0 ? clothoidAS(r1, r2, x) : clothoidASR(r1, r2, x, ratio); }, IID__clsCLO);
    }
    STDMETHODIMP FindDR(double* r, double* l, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = findDR(*r, *l); });
    }
    STDMETHODIMP FindA(VARIANT* dRad, VARIANT* vInit, VARIANT*, VARIANT* vTarget, VARIANT* vGuess, VARIANT* vAccuracy,
                       VARIANT* bPositive, VARIANT* result) override {
        if (!result) return E_POINTER;
        // The length is converted before the radius, as FindDRCalc does it.
        return solve(result, vInit, vTarget, vGuess, vAccuracy, bPositive, false,
                     [dRad](double x) { return findDR(glue::toDouble(*dRad), x); }, IID__clsCLO);
    }
    STDMETHODIMP FindAN(VARIANT* dRad, VARIANT* dIA, VARIANT* dN, VARIANT* vInit, VARIANT* vTarget, VARIANT* vGuess,
                        VARIANT* vAccuracy, VARIANT* bPositive, VARIANT* result) override {
        if (!result) return E_POINTER;
        return solve(result, vInit, vTarget, vGuess, vAccuracy, bPositive, true,
                     [=](double x) { return findANFunction(x, glue::toDouble(*dRad), glue::toDouble(*dIA), glue::toDouble(*dN)); },
                     IID__clsCLO);
    }
    STDMETHODIMP FindDRCalc(VARIANT* dRad, VARIANT* vValue, double* result) override {
        if (!result) return E_POINTER;
        return run([&] {
            const double length = glue::toDouble(*vValue);
            *result = findDR(glue::toDouble(*dRad), length);
        });
    }
    STDMETHODIMP GetClothoidE1(double* xm1, double* xm2, double* r1, double* r2, double* dr1, double* dr2, double* t1,
                               VARIANT* result) override {
        if (!result) return E_POINTER;
        return run([&] { com::Variant::fromDouble(clothoidE1(*xm1, *xm2, *r1, *r2, *dr1, *dr2, *t1)).detachTo(result); });
    }
    STDMETHODIMP GetClothoidE(double* xm1, double* xm2, double* r1, double* r2, double* dr1, double* dr2, VARIANT* result) override {
        if (!result) return E_POINTER;
        return run([&] { com::Variant::fromDouble(clothoidE(*xm1, *xm2, *r1, *r2, *dr1, *dr2)).detachTo(result); });
    }
    STDMETHODIMP GetFactorial(short* n, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = factorial(*n); });
    }

private:
    friend class com::RefCounted<ClsCLO>;
    ~ClsCLO() = default;
};

}  // namespace

HRESULT createClsCLO(REFIID iid, void** out) { return ClsCLO::create(iid, out); }

}  // namespace kelva::sub
