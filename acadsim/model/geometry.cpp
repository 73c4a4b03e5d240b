#include "acadsim/model/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelva::acad {

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;

double bulgeAt(const Chain& c, std::size_t i) { return i < c.bulges.size() ? c.bulges[i] : 0.0; }

// Segment i of the chain: from vertex i to the next (wrapping when closed).
template <class F>
void forEachSegment(const Chain& c, bool asClosed, F&& f) {
    const std::size_t n = c.vertices.size();
    if (n < 2) return;
    const std::size_t segments = asClosed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) f(c.vertices[i], c.vertices[(i + 1) % n], bulgeAt(c, i));
}
}  // namespace

double distance(Point3 a, Point3 b) { return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z)); }

double normalizeAngle(double a) {
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a;
}

double angleOf(Point3 a, Point3 b) { return normalizeAngle(std::atan2(b.y - a.y, b.x - a.x)); }

double sweep(double start, double end) {
    double s = normalizeAngle(end - start);
    return s == 0 ? kTwoPi : s;
}

Point3 polar(Point3 centre, double angle, double radius) {
    return {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle), centre.z};
}

double chainLength(const Chain& c) {
    double total = 0;
    forEachSegment(c, c.closed, [&](Point3 a, Point3 b, double bulge) {
        const double chord = distance(a, b);
        if (bulge == 0 || chord == 0) {
            total += chord;
            return;
        }
        const double theta = 4 * std::atan(std::fabs(bulge));  // included angle
        total += theta * chord / (2 * std::sin(theta / 2));
    });
    return total;
}

double chainArea(const Chain& c) {
    double twice = 0, arcs = 0;
    forEachSegment(c, true, [&](Point3 a, Point3 b, double bulge) {
        twice += a.x * b.y - b.x * a.y;
        if (bulge != 0) {
            const double chord = distance(a, b);
            const double theta = 4 * std::atan(bulge);  // signed: positive bulges turn left
            const double r = chord / (2 * std::sin(std::fabs(theta) / 2));
            const double segment = r * r / 2 * (std::fabs(theta) - std::sin(std::fabs(theta)));
            arcs += theta > 0 ? segment : -segment;
        }
    });
    return std::fabs(twice / 2 + arcs);
}

void Box::add(Point3 p) {
    if (empty) {
        min = max = p;
        empty = false;
        return;
    }
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

void addArcExtents(Box& box, Point3 centre, double radius, double start, double end) {
    const double s = normalizeAngle(start);
    const double total = sweep(start, end);
    box.add(polar(centre, s, radius));
    box.add(polar(centre, s + total, radius));
    for (int q = 0; q < 8; ++q) {  // the quadrant points the arc passes over
        const double a = q * std::numbers::pi / 2;
        if (normalizeAngle(a - s) <= total) box.add(polar(centre, a, radius));
    }
}

}  // namespace kelva::acad
