#include "drawlib/geometry.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/tests/checks.h"

using namespace kelva::draw;
using kelva::errorOf;

namespace {
const double kPi = 3.14159265358979323846;

void expectPoint(const Point& p, double x, double y, const char* what) {
    EXPECT_NEAR(p.x, x, 1e-12) << what;
    EXPECT_NEAR(p.y, y, 1e-12) << what;
    EXPECT_EQ(p.z, 0) << what;
}
}  // namespace

TEST(Geometry, QuadrantBoundariesBelongToTheLowerQuadrant) {
    EXPECT_EQ(quadrant(kPi / 2), 1);
    EXPECT_EQ(quadrant(kPi), 2);
    EXPECT_EQ(quadrant(1.5 * kPi), 3);
    EXPECT_EQ(quadrant(2 * kPi), 4);
    EXPECT_EQ(quadrant(0), 1);
    EXPECT_EQ(quadrant(-kPi / 6), 1);
    EXPECT_EQ(quadrant(5 * kPi), 0);
}

TEST(Geometry, OffsetPointLiesOnTheSideOfGrowingY) {
    const Point o{10, 20, 7};
    expectPoint(offsetPoint(o, 0, 2), 10, 22, "angle 0");
    expectPoint(offsetPoint(o, kPi, 2), 10, 22, "angle pi");
    expectPoint(offsetPoint(o, kPi / 2, 2), 8, 20, "angle pi/2");
    // Every angle, also negative ones and those of 4 pi and more, gives a point at the offset
    // distance, perpendicular to the line, on its upper side.
    for (double a : {0.3, 2.0, 3.5, 5.0, -0.3, -2.0, -3.5, -5.0, 4 * kPi + 0.3, 9 * kPi - 0.2, -7 * kPi + 1}) {
        const Point p = offsetPoint(o, a, 2);
        const double dx = p.x - o.x, dy = p.y - o.y;
        EXPECT_NEAR(std::hypot(dx, dy), 2, 1e-12) << a;
        EXPECT_NEAR(dx * std::cos(a) + dy * std::sin(a), 0, 1e-12) << a;
        EXPECT_GT(dy, 0) << a;
    }
}

TEST(Geometry, OffsetPointLeftAndRight) {
    const Point o{1, 1, 0};
    for (double a : {0.4, 1.9, 3.3, 5.5, -0.4, -2.5, 4 * kPi + 1, 6 * kPi + 4}) {
        const Point l = offsetPointLR(o, a, 3, true);
        const Point r = offsetPointLR(o, a, 3, false);
        // Left of the direction: X - d sin, Y + d cos; the right point mirrors it through the base.
        EXPECT_NEAR(l.x, o.x - 3 * std::sin(a), 1e-12) << a;
        EXPECT_NEAR(l.y, o.y + 3 * std::cos(a), 1e-12) << a;
        EXPECT_NEAR(r.x - o.x, -(l.x - o.x), 1e-12) << a;
        EXPECT_NEAR(r.y - o.y, -(l.y - o.y), 1e-12) << a;
    }
}

TEST(Geometry, LengthsAndTurns) {
    EXPECT_DOUBLE_EQ(length2D({0, 0, 0}, {3, 4, 12}), 5);
    EXPECT_DOUBLE_EQ(length3D({0, 0, 0}, {3, 4, 12}), 13);
    EXPECT_EQ(clockWise({0, 0}, {1, 0}, {0, 1}), 1);
    EXPECT_EQ(clockWise({0, 0}, {1, 0}, {0, -1}), -1);
    EXPECT_EQ(clockWise({0, 0}, {1, 1}, {2, 2}), 0);
    EXPECT_EQ(errorOf([] { length2D({0, 0}, {1e200, 0}); }), 6);
}

TEST(Geometry, EnclosedAngle) {
    EXPECT_NEAR(encloseAngle({1, 0}, {0, 0}, {0, 1}), kPi / 2, 1e-15);
    // A straight angle is pi, a null angle 0, a leg without length 0.
    EXPECT_DOUBLE_EQ(encloseAngle({0, 0}, {1, 0}, {2, 0}), kPi);
    EXPECT_DOUBLE_EQ(encloseAngle({0.1, 0.3}, {1.7, 5.1}, {3.3, 9.9}), kPi);
    EXPECT_DOUBLE_EQ(encloseAngle({2, 0}, {0, 0}, {1, 0}), 0);
    EXPECT_DOUBLE_EQ(encloseAngle({0, 0}, {0, 0}, {1, 0}), 0);
    EXPECT_NEAR(encloseAngle({1, 0}, {0, 0}, {-1, 1}), 0.75 * kPi, 1e-15);
}

TEST(Geometry, RegionRULD) {
    Point a{0, 10, 5}, b{10, 0, 6};
    regionRULD(a, b);
    EXPECT_EQ(a.x, 10); EXPECT_EQ(a.y, 10); EXPECT_EQ(a.z, 5);
    EXPECT_EQ(b.x, 0); EXPECT_EQ(b.y, 0); EXPECT_EQ(b.z, 6);
    Point c{10, 0}, d{0, 10};  // lower-right first
    regionRULD(c, d);
    EXPECT_EQ(c.x, 10); EXPECT_EQ(c.y, 10); EXPECT_EQ(d.x, 0); EXPECT_EQ(d.y, 0);
    Point e{0, 0}, f{10, 10};  // lower-left first: exchanged
    regionRULD(e, f);
    EXPECT_EQ(e.x, 10); EXPECT_EQ(f.x, 0);
    Point g{0, 5}, h{10, 5};  // equal Y: untouched
    regionRULD(g, h);
    EXPECT_EQ(g.x, 0); EXPECT_EQ(h.x, 10);
}

TEST(Geometry, Azimuth) {
    EXPECT_EQ(azimuth({1, 1}, {1, 1}), 0);
    EXPECT_NEAR(azimuth({0, 0}, {-1, -1}), 1.25 * kPi, 1e-15);
    EXPECT_NEAR(azimuth({0, 0}, {-1, 0}), kPi, 1e-15);
    EXPECT_NEAR(azimuth({0, 0}, {0, -2}), 1.5 * kPi, 1e-15);
    for (double a = 0.05; a < 2 * kPi; a += 0.3)
        EXPECT_NEAR(azimuth({2, 3}, {2 + std::cos(a), 3 + std::sin(a)}), a, 1e-12) << a;
}

TEST(Geometry, RotationAboutABase) {
    EXPECT_TRUE(negligibleTurn(1e-9));
    EXPECT_FALSE(negligibleTurn(1e-8));
    const Point r = rotateAbout({1, 1, 0}, {2, 1, 9}, kPi / 2);
    EXPECT_NEAR(r.x, 1, 1e-15);
    EXPECT_NEAR(r.y, 2, 1e-15);
    EXPECT_EQ(r.z, 0);
}
