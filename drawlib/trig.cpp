#include "trig.h"

#include <cmath>

#include "core/errors.h"
#include "numeric.h"

namespace kelva::draw::trig {

namespace {
double sgn(double x) { return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0); }
double halfPi() { return 2 * std::atan(1.0); }
double ex(double x) { return checkedResult(std::exp(x)); }
double mul(double a, double b) { return checkedResult(a * b); }
double add(double a, double b) { return checkedResult(a + b); }
double sub(double a, double b) { return checkedResult(a - b); }
// sqr(x^2 - 1), with the domain errors of the inverse secant and cosecant: |x| < 1 fails with 5,
// |x| = 1 with the division by zero that follows it.
void secantDomain(double x) {
    const double d = checkedSqrt(sub(mul(x, x), 1));
    if (d == 0.0) raise(err::DivisionByZero);
}
}  // namespace

double arcSin(double x) { return std::atan(checkedDiv(x, checkedSqrt(sub(1, mul(x, x))))); }
double sec(double x) { return checkedDiv(1, std::cos(x)); }
double cosec(double x) { return checkedDiv(1, std::sin(x)); }
double cotan(double x) { return checkedDiv(1, std::tan(x)); }
double arcCos(double x) { return std::atan(checkedDiv(-x, checkedSqrt(sub(1, mul(x, x))))) + 2 * std::atan(1.0); }

double arcSec(double x) {
    secantDomain(x);
    return std::acos(1 / x);
}

double arcCosec(double x) {
    secantDomain(x);
    return std::asin(1 / x);
}

double arcCotan(double x) { return halfPi() - std::atan(x); }

double hSin(double x) { return sub(ex(x), ex(-x)) / 2; }
double hCos(double x) { return add(ex(x), ex(-x)) / 2; }
double hTan(double x) { return checkedDiv(sub(ex(x), ex(-x)), add(ex(x), ex(-x))); }
double hSec(double x) { return checkedDiv(2, add(ex(x), ex(-x))); }
double hCosec(double x) { return checkedDiv(2, sub(ex(x), ex(-x))); }
double hCotan(double x) { return checkedDiv(add(ex(x), ex(-x)), sub(ex(x), ex(-x))); }
double hArcSin(double x) { return checkedLog(add(x, checkedSqrt(add(mul(x, x), 1)))); }
double hArcCos(double x) { return checkedLog(add(x, checkedSqrt(sub(mul(x, x), 1)))); }
double hArcTan(double x) { return checkedLog(checkedDiv(add(1, x), sub(1, x))) / 2; }
double hArcSec(double x) { return checkedLog(checkedDiv(add(checkedSqrt(sub(1, mul(x, x))), 1), x)); }
double hArcCosec(double x) {
    return checkedLog(checkedDiv(add(sgn(x) * checkedSqrt(add(mul(x, x), 1)), 1), x));
}
double hArcCotan(double x) { return checkedLog(checkedDiv(add(x, 1), sub(x, 1))) / 2; }
double logN(double x, double n) { return checkedDiv(checkedLog(x), checkedLog(n)); }

}  // namespace kelva::draw::trig
