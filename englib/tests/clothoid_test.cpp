#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "core/errors.h"
#include "core/tests/checks.h"
#include "englib/clothoid.h"

using namespace kelva;
using namespace kelva::eng;

namespace {

// Adaptive Gauss-Legendre quadrature (20 nodes per panel, panels halved until the halves agree):
// independent of the series the library sums.
struct GaussLegendre {
    static constexpr int n = 20;
    double x[n], w[n];
    GaussLegendre() {
        for (int i = 0; i < n; ++i) {
            double z = std::cos(std::numbers::pi * (i + 0.75) / (n + 0.5)), dp = 0;
            for (int it = 0; it < 100; ++it) {
                double p0 = 1, p1 = z;
                for (int k = 2; k <= n; ++k) {
                    const double p2 = ((2 * k - 1) * z * p1 - (k - 1) * p0) / k;
                    p0 = p1;
                    p1 = p2;
                }
                dp = n * (z * p1 - p0) / (z * z - 1);
                const double dz = p1 / dp;
                z -= dz;
                if (std::fabs(dz) < 1e-17) break;
            }
            x[i] = z;
            w[i] = 2 / ((1 - z * z) * dp * dp);
        }
    }
    double panel(const std::function<double(double)>& f, double a, double b) const {
        double s = 0;
        for (int i = 0; i < n; ++i) s += w[i] * f((a + b) / 2 + (b - a) / 2 * x[i]);
        return s * (b - a) / 2;
    }
};

double adaptive(const GaussLegendre& g, const std::function<double(double)>& f, double a, double b, double whole, int depth) {
    const double m = (a + b) / 2;
    const double left = g.panel(f, a, m), right = g.panel(f, m, b);
    if (depth == 0 || std::fabs(left + right - whole) <= 1e-15 * std::fabs(left + right)) return left + right;
    return adaptive(g, f, a, m, left, depth - 1) + adaptive(g, f, m, b, right, depth - 1);
}
double integrate(const std::function<double(double)>& f, double a, double b, double) {
    static const GaussLegendre g;
    return adaptive(g, f, a, b, g.panel(f, a, b), 12);
}

// The clothoid's coordinates at length L where the radius reaches R: the direction at arc length s is
// s²/(2RL), so X = ∫cos, Y = ∫sin of it from 0 to L.
double fresnelX(double l, double r) {
    return integrate([&](double s) { return std::cos(s * s / (2 * r * l)); }, 0, l, 1e-16 * l);
}
double fresnelY(double l, double r) {
    return integrate([&](double s) { return std::sin(s * s / (2 * r * l)); }, 0, l, 1e-16 * l);
}

// The 32-bit build computes in extended precision: closed forms agree to rounding, not to the bit.
void expectClose(double actual, double expected) { EXPECT_NEAR(actual, expected, 1e-13 * std::max(1.0, std::fabs(expected))); }

}  // namespace

TEST(ClothoidFormulas, ClosedFormsMatchTheirDefinitions) {
    expectClose(clothoidT(100, 200), 0.25);
    expectClose(clothoidL(100, 200), 50);
    expectClose(clothoidA(200, 50), 100);
    expectClose(tangentLength(std::numbers::pi / 2, 100), 100 * std::tan(std::numbers::pi / 4));
    expectClose(circularLength(0.5, 300), 150);
    expectClose(clothoidXM(50, 200, 0.25), 50 - 200 * std::sin(0.25));
    expectClose(clothoidDR(2, 200, 0.25), 2 + 200 * std::cos(0.25) - 200);
    expectClose(clothoidW(200, 1.5, 0.8), 201.5 * std::tan(0.4));
    expectClose(clothoidLC(200, 1.0, 0.2, 0.3), 100);
    expectClose(clothoidZ(3, 1, 0.5, 1), 2 / std::sin(0.5));
    expectClose(clothoidZ(3, 1, 0.5, 2), 2 / std::tan(0.5));
    expectClose(clothoidD(10, 20, 3, 1), 33);
    expectClose(clothoidD(10, 20, 3, 2), 27);
    expectClose(distBetweenRDE(100, 50, 1, 2, 30, 40), std::hypot(101 - 52, 70));
    expectClose(distBetweenRS(100, 50, 1, 2, 30, 40), std::hypot(153, 70));
    expectClose(clothoidE1(10, 30, 100, 50, 1, 2, 0.1), std::atan(20.0 / 49) - 0.1);
    expectClose(clothoidE(10, 30, 100, 50, 1, 2), std::atan(40.0 / 153));
}

TEST(ClothoidFormulas, UnknownClassesGiveZeroWithoutError) {
    EXPECT_EQ(clothoidZ(3, 1, 0.5, 3), 0);
    EXPECT_EQ(clothoidZ(3, 1, 0, 0), 0);  // no division happens for other classes
    EXPECT_EQ(clothoidD(10, 20, 3, 0), 0);
    EXPECT_EQ(clothoidD(10, 20, 3, -1), 0);
}

TEST(ClothoidFormulas, Factorial) {
    EXPECT_EQ(factorial(0), 1);
    EXPECT_EQ(factorial(-3), 1);
    EXPECT_EQ(factorial(5), 120);
    EXPECT_EQ(factorial(20), 2432902008176640000.0);
    EXPECT_GT(factorial(170), 7e306);
    EXPECT_EQ(errorOf([] { factorial(171); }), err::Overflow);
}

TEST(ClothoidFormulas, CoordinatesAgreeWithTheFresnelIntegrals) {
    EXPECT_EQ(clothoidX(0, 100), 0);
    EXPECT_EQ(clothoidY(0, 100), 0);
    // Up to a tangent angle of 0.8 rad the seven terms carry the integrals to the last digits.
    const double cases[][2] = {{10, 1000}, {50, 200}, {60, 150}, {80, 120}, {100, 100}, {120, 75}, {0.5, 3}, {300, 187.5}};
    for (const auto& c : cases) {
        const double l = c[0], r = c[1];
        SCOPED_TRACE(testing::Message() << "L=" << l << " R=" << r);
        const double x = fresnelX(l, r), y = fresnelY(l, r);
        EXPECT_NEAR(clothoidX(l, r), x, 1e-12 * std::fabs(x));
        EXPECT_NEAR(clothoidY(l, r), y, 1e-12 * std::fabs(y));
    }
}

TEST(ClothoidFormulas, SeriesIsCutAfterSevenTerms) {
    // Far along the spiral (tangent angle 3 rad) the truncated series visibly leaves the integral:
    // the library promises the series, not the integral, there.
    const double l = 600, r = 100;
    EXPECT_GT(std::fabs(clothoidX(l, r) - fresnelX(l, r)), 1e-6);
}

TEST(ClothoidFormulas, ShiftOfTheCircle) {
    const double l = 80, r = 250;
    const double t = l / (2 * r);
    EXPECT_NEAR(findDR(r, l), fresnelY(l, r) + r * std::cos(t) - r, 1e-12);
    EXPECT_DOUBLE_EQ(findDR(r, l), clothoidDR(clothoidY(l, r), r, clothoidT(l, r)));
    // A shift is about L²/(24R) for small angles.
    EXPECT_NEAR(findDR(r, l), l * l / (24 * r), 1e-3);
}

TEST(ClothoidFormulas, EggShapeResidualIsZeroAtTheGeometricDistance) {
    const double r1 = 300, r2 = 150, a = 120;
    const double l1 = a * a / r1, l2 = a * a / r2;
    const double xm1 = clothoidXM(clothoidX(l1, r1), r1, clothoidT(l1, r1));
    const double xm2 = clothoidXM(clothoidX(l2, r2), r2, clothoidT(l2, r2));
    const double dr1 = clothoidDR(clothoidY(l1, r1), r1, clothoidT(l1, r1));
    const double dr2 = clothoidDR(clothoidY(l2, r2), r2, clothoidT(l2, r2));
    const double distance = std::hypot(dr1 + r1 - dr2 - r2, xm2 - xm1);
    EXPECT_NEAR(clothoidAE(r1, r2, distance, a), 0, 1e-12);
    EXPECT_NEAR(clothoidAE(r1, r2, distance - 1, a), 1, 1e-12);
    EXPECT_DOUBLE_EQ(clothoidADE(r1, r2, a), distBetweenRDE(r1, r2, dr1, dr2, xm1, xm2));
    EXPECT_DOUBLE_EQ(clothoidAS(r1, r2, a), distBetweenRS(r1, r2, dr1, dr2, xm1, xm2));
}

TEST(ClothoidFormulas, RatioOneEqualsTheSingleParameterForms) {
    for (double a : {40.0, 90.0, 150.0}) {
        EXPECT_DOUBLE_EQ(clothoidADER(250, 120, a), clothoidADE(250, 120, a));
        EXPECT_DOUBLE_EQ(clothoidASR(250, 120, a), clothoidAS(250, 120, a));
    }
    // A ratio scales the second clothoid's length: A2² = ratio·A².
    const double a = 90, ratio = 1.5;
    const double l1 = a * a / 250, l2 = l1 * 250 / 120 * ratio;
    const double dr1 = findDR(250, l1), dr2 = findDR(120, l2);
    const double xm1 = clothoidXM(clothoidX(l1, 250), 250, clothoidT(l1, 250));
    const double xm2 = clothoidXM(clothoidX(l2, 120), 120, clothoidT(l2, 120));
    EXPECT_NEAR(clothoidADER(250, 120, a, ratio), distBetweenRDE(250, 120, dr1, dr2, xm1, xm2), 1e-9);
    EXPECT_NE(clothoidADER(250, 120, a, ratio), clothoidADE(250, 120, a));
}

TEST(ClothoidFormulas, FaultsRaiseTheRuntimeErrors) {
    EXPECT_EQ(errorOf([] { clothoidL(100, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { clothoidT(100, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { clothoidX(100, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { clothoidY(100, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { clothoidL(0, 0); }), err::Overflow);  // 0/0
    EXPECT_EQ(errorOf([] { clothoidA(-100, 50); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { clothoidZ(3, 1, 0, 1); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { clothoidE(1, 1, 0, 0, 0, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { clothoidADE(0, 100, 50); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { circularLength(1e300, 1e300); }), err::Overflow);
    EXPECT_EQ(errorOf([] { clothoidE1(0, 1e300, 1e-300, 0, 0, 0, 0); }), err::Overflow);
}
