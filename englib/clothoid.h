#pragma once
// Clothoid transition curves for road alignment: the elements of one clothoid between a straight and a
// circle, of a simple curve with two clothoids, and the centre distance of two circles joined by
// clothoids (egg shapes and S curves). Angles in radians, lengths in drawing units, A² = R·L.
//
// Every function is pure. A floating-point fault raises the runtime's error: a division by zero 11
// (0/0 is an overflow, 6), an overflow 6, an invalid operation such as a negative square root 5.
#include <cstdint>

namespace kelva::eng {

double clothoidA(double r, double l);            // GetClothoidA: Sqr(R·L)
double tangentLength(double ia, double r);       // GetTL: R·Tan(IA/2)
double circularLength(double ia, double r);      // GetCL: IA·R
double clothoidL(double a, double r);            // GetClothoidL: A²/R
double clothoidX(double l, double r);            // GetClothoidX: 7-term Fresnel series
double clothoidY(double l, double r);            // GetClothoidY: 7-term Fresnel series
double clothoidT(double l, double r);            // GetClothoidT: L/(2R)
double clothoidXM(double x, double r, double t); // GetClothoidXM
double clothoidDR(double y, double r, double t); // GetClothoidDR
double clothoidW(double r, double dr, double ia);
// iClass 1 divides by Sin(IA), 2 by Tan(IA); any other class gives 0.
double clothoidZ(double dr2, double dr1, double ia, std::int16_t iClass);
double clothoidLC(double r, double ia, double t1, double t2);
double clothoidD(double xm, double w, double z, std::int16_t iClass);
double clothoidAE(double r1, double r2, double m1m2, double a);
double clothoidADE(double r1, double r2, double a);
double clothoidADER(double r1, double r2, double a, double ratio = 1.0);
double distBetweenRDE(double r1, double r2, double dr1, double dr2, double xm1, double xm2);
double clothoidAS(double r1, double r2, double a);
double clothoidASR(double r1, double r2, double a, double ratio = 1.0);
double distBetweenRS(double r1, double r2, double dr1, double dr2, double xm1, double xm2);
double findDR(double r, double l);
double clothoidE1(double xm1, double xm2, double r1, double r2, double dr1, double dr2, double t1);
double clothoidE(double xm1, double xm2, double r1, double r2, double dr1, double dr2);
double factorial(std::int16_t n);

}  // namespace kelva::eng
