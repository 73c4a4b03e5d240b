#pragma once
// Point and angle geometry of the toolbox class. Angles in radians, counterclockwise from +X.
namespace kelva::draw {

struct Point {
    double x = 0;
    double y = 0;
    double z = 0;
};

double pi();
// Quadrant of an angle classed by its absolute value: 1..4, or 0 beyond 4 pi.
int quadrant(double angle);
// The angle brought into [0, 2 pi); used before a quadrant decides the side of an offset.
double reduceAngle(double angle);
Point offsetPoint(const Point& ins, double angle, double offset);
Point offsetPointLR(const Point& ins, double angle, double offset, bool left);
double length3D(const Point& a, const Point& b);
double length2D(const Point& a, const Point& b);
int clockWise(const Point& s, const Point& e, const Point& n);
// Angle at the vertex between its two legs, 0..pi; 0 when a leg has no length.
double encloseAngle(const Point& s, const Point& vertex, const Point& e);
// Orders two opposite corners as right-upper and left-lower (X and Y only).
void regionRULD(Point& first, Point& second);
double azimuth(const Point& from, const Point& to);
// True when the turn is too small to matter and the point is to be returned as it is.
bool negligibleTurn(double theta);
// Counterclockwise turn about the base, Z set to 0 (the caller handles negligibleTurn).
Point rotateAbout(const Point& base, const Point& point, double theta);

}  // namespace kelva::draw
