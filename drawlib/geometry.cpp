#include "geometry.h"

#include <algorithm>
#include <cmath>

#include "core/errors.h"
#include "core/values.h"
#include "numeric.h"
#include "trig.h"

namespace kelva::draw {

double pi() { return 4 * std::atan(1.0); }

int quadrant(double angle) {
    const double p = pi();
    double a = std::fabs(angle);
    if (a > 2 * p) a -= 2 * p;
    if (a >= 0 && a <= p / 2) return 1;
    if (a > p / 2 && a <= p) return 2;
    if (a > p && a <= 1.5 * p) return 3;
    if (a > 1.5 * p && a <= 2 * p) return 4;
    return 0;
}

double reduceAngle(double angle) {
    if (!std::isfinite(angle)) raise(err::InvalidCall);
    const double full = 2 * pi();
    double a = std::fmod(angle, full);
    if (a < 0) a += full;
    if (a >= full) a -= full;
    return a;
}

Point offsetPoint(const Point& ins, double angle, double offset) {
    const double a = reduceAngle(angle);
    const double s = checkedResult(std::fabs(std::sin(angle)) * offset);
    const double c = checkedResult(std::fabs(std::cos(angle)) * offset);
    switch (quadrant(a)) {
        case 1:
        case 3: return {checkedResult(ins.x - s), checkedResult(ins.y + c), 0};
        case 2:
        case 4: return {checkedResult(ins.x + s), checkedResult(ins.y + c), 0};
        default: return {0, 0, 0};
    }
}

Point offsetPointLR(const Point& ins, double angle, double offset, bool left) {
    const double a = reduceAngle(angle);
    const double k = left ? 1.0 : -1.0;
    const double s = checkedResult(std::fabs(std::sin(angle)) * offset * k);
    const double c = checkedResult(std::fabs(std::cos(angle)) * offset * k);
    switch (quadrant(a)) {
        case 1: return {checkedResult(ins.x - s), checkedResult(ins.y + c), 0};
        case 2: return {checkedResult(ins.x - s), checkedResult(ins.y - c), 0};
        case 3: return {checkedResult(ins.x + s), checkedResult(ins.y - c), 0};
        case 4: return {checkedResult(ins.x + s), checkedResult(ins.y + c), 0};
        default: return {0, 0, 0};
    }
}

namespace {
double sq(double v) { return checkedResult(v * v); }
double diff(double a, double b) { return checkedResult(a - b); }
}  // namespace

double length3D(const Point& a, const Point& b) {
    return checkedSqrt(checkedResult(sq(diff(b.x, a.x)) + sq(diff(b.y, a.y)) + sq(diff(b.z, a.z))));
}

double length2D(const Point& a, const Point& b) {
    return checkedSqrt(checkedResult(sq(diff(b.x, a.x)) + sq(diff(b.y, a.y))));
}

int clockWise(const Point& s, const Point& e, const Point& n) {
    const double v = checkedResult(checkedResult(diff(e.x, s.x) * diff(n.y, s.y)) -
                                   checkedResult(diff(e.y, s.y) * diff(n.x, s.x)));
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

double encloseAngle(const Point& s, const Point& vertex, const Point& e) {
    try {
        const double a = length2D(s, vertex);
        const double b = length2D(vertex, e);
        const double c = length2D(s, e);
        // Rounding can push the cosine of a straight or null angle just past +-1.
        const double x = std::clamp(checkedDiv(checkedResult(a * a + b * b - c * c), checkedResult(2 * a * b)), -1.0, 1.0);
        if (x <= -1.0) return pi();
        if (x >= 1.0) return 0.0;
        return trig::arcCos(x);
    } catch (const VbError&) {
        return 0.0;
    }
}

void regionRULD(Point& first, Point& second) {
    const double x1 = first.x, y1 = first.y, x2 = second.x, y2 = second.y;
    if (y1 > y2 && x1 < x2) {
        first.x = x2;
        first.y = y1;
        second.x = x1;
        second.y = y2;
    } else if (y1 < y2 && x1 > x2) {
        first.x = x1;
        first.y = y2;
        second.x = x2;
        second.y = y1;
    } else if (y1 < y2 && x1 < x2) {
        std::swap(first.x, second.x);
        std::swap(first.y, second.y);
    }
}

double azimuth(const Point& from, const Point& to) {
    const double p = pi();
    const double dx = diff(to.x, from.x);
    const double dy = diff(to.y, from.y);
    if (dy == 0) return dx < 0 ? p : 0.0;
    if (dx == 0) return dy > 0 ? p / 2 : 1.5 * p;
    const double ax = std::fabs(dx), ay = std::fabs(dy);
    if (dx > 0 && dy > 0) return std::atan(ay / ax);
    if (dx < 0 && dy > 0) return p / 2 + std::atan(ax / ay);
    if (dx < 0 && dy < 0) return p + std::atan(ay / ax);
    return 1.5 * p + std::atan(ax / ay);
}

// Round(theta, 8) = 0.
bool negligibleTurn(double theta) { return std::fabs(theta) * 1e8 <= 0.5; }

Point rotateAbout(const Point& base, const Point& point, double theta) {
    const double dx = diff(point.x, base.x);
    const double dy = diff(point.y, base.y);
    const double c = std::cos(theta), s = std::sin(theta);
    const double xr = checkedResult(c * dx - s * dy);
    const double yr = checkedResult(s * dx + c * dy);
    return {checkedResult(base.x + xr), checkedResult(base.y + yr), 0};
}

}  // namespace kelva::draw
