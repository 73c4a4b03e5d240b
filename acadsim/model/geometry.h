#pragma once
// Plane and space geometry of the stand-in's entities: the few measures AutoCAD reports for them.
#include <vector>

namespace kelva::acad {

struct Point3 {
    double x = 0, y = 0, z = 0;
    friend bool operator==(const Point3&, const Point3&) = default;
};

inline Point3 operator+(Point3 a, Point3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Point3 operator-(Point3 a, Point3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

double distance(Point3 a, Point3 b);
// Angle of b seen from a in the XY plane, 0 .. 2*pi.
double angleOf(Point3 a, Point3 b);
// An angle brought into 0 .. 2*pi.
double normalizeAngle(double a);
// Sweep from start to end counterclockwise, in (0, 2*pi].
double sweep(double start, double end);
Point3 polar(Point3 centre, double angle, double radius);

// A vertex chain with bulges (one per vertex; the last one closes the chain when closed).
struct Chain {
    std::vector<Point3> vertices;
    std::vector<double> bulges;  // may be shorter than vertices: missing bulges are 0
    bool closed = false;
};

double chainLength(const Chain& c);
// Area enclosed by the chain taken as closed (AutoCAD reports it so for open polylines too).
double chainArea(const Chain& c);

struct Box {
    Point3 min, max;
    void add(Point3 p);
    bool empty = true;
};

// Extents of an arc from start to end angle counterclockwise.
void addArcExtents(Box& box, Point3 centre, double radius, double start, double end);

}  // namespace kelva::acad
