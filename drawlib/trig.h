#pragma once
// The trigonometric class: inverse, hyperbolic and inverse hyperbolic functions as closed formulas.
// Each raises the runtime's floating-point errors (11, 6, 5) outside its domain.
namespace kelva::draw::trig {

double arcSin(double x);
double sec(double x);
double cosec(double x);
double cotan(double x);
double arcCos(double x);
// The true inverses, in their principal ranges: ArcSec in [0, pi], ArcCosec in [-pi/2, pi/2],
// ArcCotan in (0, pi).
double arcSec(double x);
double arcCosec(double x);
double arcCotan(double x);
double hSin(double x);
double hCos(double x);
double hTan(double x);
double hSec(double x);
double hCosec(double x);
double hCotan(double x);
double hArcSin(double x);
double hArcCos(double x);
double hArcTan(double x);
double hArcSec(double x);
double hArcCosec(double x);
double hArcCotan(double x);
double logN(double x, double n);

}  // namespace kelva::draw::trig
