#include "drawlib/trig.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/tests/checks.h"

using namespace kelva::draw::trig;
using kelva::errorOf;

namespace {
const double kPi = 3.14159265358979323846;
}

TEST(Trig, InverseCosineAndSine) {
    EXPECT_NEAR(arcCos(0), kPi / 2, 1e-15);
    EXPECT_NEAR(arcCos(0.5), kPi / 3, 1e-15);
    EXPECT_NEAR(arcSin(0.5), kPi / 6, 1e-15);
    EXPECT_EQ(errorOf([] { arcCos(1); }), 11);
    EXPECT_EQ(errorOf([] { arcSin(-1); }), 11);
    EXPECT_EQ(errorOf([] { arcSin(1.5); }), 5);
    EXPECT_EQ(errorOf([] { arcCos(-2); }), 5);
}

TEST(Trig, InverseSecantCosecantCotangentArePrincipal) {
    EXPECT_NEAR(arcSec(2), kPi / 3, 1e-15);
    EXPECT_NEAR(arcSec(-2), 2 * kPi / 3, 1e-15);
    EXPECT_NEAR(arcCosec(2), kPi / 6, 1e-15);
    EXPECT_NEAR(arcCosec(-2), -kPi / 6, 1e-15);
    EXPECT_NEAR(arcCotan(1), kPi / 4, 1e-15);
    EXPECT_NEAR(arcCotan(0), kPi / 2, 1e-15);
    EXPECT_NEAR(arcCotan(-1), 3 * kPi / 4, 1e-15);
    // Each is the inverse of its function.
    for (double x : {1.2, 3.0, -1.7, -40.0}) {
        EXPECT_NEAR(sec(arcSec(x)), x, 1e-9 * std::fabs(x));
        EXPECT_NEAR(cosec(arcCosec(x)), x, 1e-9 * std::fabs(x));
        EXPECT_NEAR(cotan(arcCotan(x)), x, 1e-9 * std::fabs(x));
    }
    EXPECT_EQ(errorOf([] { arcSec(0.5); }), 5);
    EXPECT_EQ(errorOf([] { arcCosec(-0.5); }), 5);
    EXPECT_EQ(errorOf([] { arcSec(1); }), 11);
    EXPECT_EQ(errorOf([] { arcCosec(-1); }), 11);
}

TEST(Trig, ReciprocalsFailAtTheirPoles) {
    EXPECT_NEAR(sec(0), 1, 1e-15);
    EXPECT_EQ(errorOf([] { cosec(0); }), 11);
    EXPECT_EQ(errorOf([] { cotan(0); }), 11);
}

TEST(Trig, Hyperbolic) {
    EXPECT_NEAR(hSin(1), std::sinh(1.0), 1e-14);
    EXPECT_NEAR(hCos(1), std::cosh(1.0), 1e-14);
    EXPECT_NEAR(hTan(0.3), std::tanh(0.3), 1e-14);
    EXPECT_NEAR(hSec(0.3), 1 / std::cosh(0.3), 1e-14);
    EXPECT_NEAR(hArcSin(2), std::asinh(2.0), 1e-14);
    EXPECT_NEAR(hArcCos(2), std::acosh(2.0), 1e-14);
    EXPECT_NEAR(hArcTan(0.5), hArcCotan(2), 1e-15);
    EXPECT_NEAR(hArcSec(0.5), std::acosh(2.0), 1e-14);
    EXPECT_NEAR(hArcCosec(-2), std::asinh(-0.5), 1e-14);
    EXPECT_EQ(errorOf([] { hCosec(0); }), 11);
    EXPECT_EQ(errorOf([] { hCotan(0); }), 11);
    EXPECT_EQ(errorOf([] { hArcTan(1); }), 11);
    EXPECT_EQ(errorOf([] { hArcCotan(1); }), 11);
    EXPECT_EQ(errorOf([] { hArcCos(0.5); }), 5);
    EXPECT_EQ(errorOf([] { hArcTan(2); }), 5);  // logarithm of a negative number
    EXPECT_EQ(errorOf([] { hSin(1000); }), 6);
    EXPECT_EQ(errorOf([] { hArcSec(0); }), 11);
}

TEST(Trig, LogarithmToAnyBase) {
    EXPECT_NEAR(logN(8, 2), 3, 1e-15);
    EXPECT_EQ(errorOf([] { logN(8, 1); }), 11);
    EXPECT_EQ(errorOf([] { logN(1, 1); }), 6);
    EXPECT_EQ(errorOf([] { logN(0, 2); }), 5);
    EXPECT_EQ(errorOf([] { logN(-3, 2); }), 5);
}
