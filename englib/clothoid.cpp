#include "clothoid.h"

#include <cmath>

#include "core/errors.h"

namespace kelva::eng {

namespace {
// The runtime checks every floating-point step; these helpers are those checks, one per fault.
double finite(double v) {
    if (std::isnan(v)) raise(err::InvalidCall);
    if (std::isinf(v)) raise(err::Overflow);
    return v;
}
double div(double a, double b) {
    if (b == 0.0) raise(a == 0.0 || std::isnan(a) ? err::Overflow : err::DivisionByZero);
    return finite(a / b);
}
double root(double v) {
    if (v < 0.0) raise(err::InvalidCall);
    return finite(std::sqrt(v));
}
double power(double b, double e) { return finite(std::pow(b, e)); }
double tangent(double a) { return finite(std::tan(a)); }

// Terms n = 1..7 of the clothoid's Fresnel series in L/R, summed in order; `factorialShift` is 2 for X
// ((2n-2)!, 4n-3) and 1 for Y ((2n-1)!, 4n-1).
double fresnelSum(double l, double r, bool forY) {
    const double q = div(l, r);
    double sum = 0.0;
    for (int n = 1; n <= 7; ++n) {
        const double sign = (n % 2 == 1) ? 1.0 : -1.0;
        const int k = 2 * n - 2;
        const double denom = power(2.0, k) * (forY ? 4 * n - 1 : 4 * n - 3) *
                             factorial(static_cast<std::int16_t>(forY ? 2 * n - 1 : 2 * n - 2));
        sum = finite(sum + div(sign * power(q, k), denom));
    }
    return sum;
}

struct CircleElements {
    double dr;
    double xm;
};
// The shift and centre offset of circle r reached by a clothoid of length l, in the order the
// composite members take them: DR first (Y, T), then XM (X, T).
double shiftOf(double l, double r) { return clothoidDR(clothoidY(l, r), r, clothoidT(l, r)); }
double offsetOf(double l, double r) { return clothoidXM(clothoidX(l, r), r, clothoidT(l, r)); }
}  // namespace

double clothoidA(double r, double l) { return root(finite(r * l)); }
double tangentLength(double ia, double r) { return finite(r * tangent(ia / 2.0)); }
double circularLength(double ia, double r) { return finite(ia * r); }
double clothoidL(double a, double r) { return div(finite(a * a), r); }
double clothoidT(double l, double r) { return div(l, finite(2.0 * r)); }

double clothoidX(double l, double r) { return finite(l * fresnelSum(l, r, false)); }
double clothoidY(double l, double r) {
    const double lead = div(finite(l * l), finite(2.0 * r));
    return finite(lead * fresnelSum(l, r, true));
}

double clothoidXM(double x, double r, double t) { return finite(x - r * std::sin(t)); }
double clothoidDR(double y, double r, double t) { return finite(y + r * std::cos(t) - r); }
double clothoidW(double r, double dr, double ia) { return finite((r + dr) * tangent(ia / 2.0)); }

double clothoidZ(double dr2, double dr1, double ia, std::int16_t iClass) {
    if (iClass == 1) return div(dr2 - dr1, std::sin(ia));
    if (iClass == 2) return div(dr2 - dr1, tangent(ia));
    return 0.0;
}

double clothoidLC(double r, double ia, double t1, double t2) { return finite((ia - (t1 + t2)) * r); }

double clothoidD(double xm, double w, double z, std::int16_t iClass) {
    if (iClass == 1) return finite(xm + w + z);
    if (iClass == 2) return finite(xm + w - z);
    return 0.0;
}

double clothoidAE(double r1, double r2, double m1m2, double a) {
    const double l1 = clothoidL(a, r1);
    const double l2 = clothoidL(a, r2);
    const double xm1 = offsetOf(l1, r1);
    const double xm2 = offsetOf(l2, r2);
    const double dr1 = shiftOf(l1, r1);
    const double dr2 = shiftOf(l2, r2);
    const double dy = finite((dr1 + r1) - (dr2 + r2));
    const double dx = finite(xm2 - xm1);
    return finite(root(finite(dy * dy + dx * dx)) - m1m2);
}

double distBetweenRDE(double r1, double r2, double dr1, double dr2, double xm1, double xm2) {
    const double dy = finite((dr1 + r1) - (r2 + dr2));
    const double dx = finite(xm1 + xm2);
    return root(finite(dy * dy + dx * dx));
}

double distBetweenRS(double r1, double r2, double dr1, double dr2, double xm1, double xm2) {
    const double dy = finite(r2 + r1 + dr1 + dr2);
    const double dx = finite(xm1 + xm2);
    return root(finite(dy * dy + dx * dx));
}

namespace {
template <class Distance>
double twoClothoids(double r1, double r2, double l1, double l2, Distance distance) {
    const double dr1 = shiftOf(l1, r1);
    const double dr2 = shiftOf(l2, r2);
    const double xm1 = offsetOf(l1, r1);
    const double xm2 = offsetOf(l2, r2);
    return distance(r1, r2, dr1, dr2, xm1, xm2);
}
double secondLength(double l1, double r1, double r2, double ratio) { return finite(div(finite(l1 * r1), r2) * ratio); }
}  // namespace

double clothoidADE(double r1, double r2, double a) {
    return twoClothoids(r1, r2, clothoidL(a, r1), clothoidL(a, r2), distBetweenRDE);
}
double clothoidADER(double r1, double r2, double a, double ratio) {
    const double l1 = clothoidL(a, r1);
    return twoClothoids(r1, r2, l1, secondLength(l1, r1, r2, ratio), distBetweenRDE);
}
double clothoidAS(double r1, double r2, double a) {
    return twoClothoids(r1, r2, clothoidL(a, r1), clothoidL(a, r2), distBetweenRS);
}
double clothoidASR(double r1, double r2, double a, double ratio) {
    const double l1 = clothoidL(a, r1);
    return twoClothoids(r1, r2, l1, secondLength(l1, r1, r2, ratio), distBetweenRS);
}

double findDR(double r, double l) {
    const double t = clothoidT(l, r);
    const double c = std::cos(t);
    const double y = clothoidY(l, r);
    return finite(c * r + y - r);
}

double clothoidE1(double xm1, double xm2, double r1, double r2, double dr1, double dr2, double t1) {
    return finite(std::atan(div(xm2 - xm1, finite(r1 + dr1 - r2 - dr2))) - t1);
}

double clothoidE(double xm1, double xm2, double r1, double r2, double dr1, double dr2) {
    return finite(std::atan(div(finite(xm2 + xm1), finite(r1 + r2 + dr1 + dr2))));
}

double factorial(std::int16_t n) {
    double f = 1.0;
    for (int i = 1; i <= n; ++i) f = finite(f * i);
    return f;
}

}  // namespace kelva::eng
