' clsTriangle: inverse and hyperbolic functions, and their domain errors.
Option Explicit
'#include "assert.vbs"
Dim t, pi, d
Set t = CreateObject("KelvaSub.clsTriangle")
pi = 4 * Atn(1)
AssertNear t.ArcCos(0.5), pi / 3, 1E-15, "ArcCos"
AssertNear t.ArcSin(0.5), pi / 6, 1E-15, "ArcSin"
AssertNear t.ArcSec(2), pi / 3, 1E-15, "ArcSec is the inverse secant"
AssertNear t.ArcCosec(2), pi / 6, 1E-15, "ArcCosec is the inverse cosecant"
AssertNear t.ArcCotan(1), pi / 4, 1E-15, "ArcCotan is the inverse cotangent"
AssertNear t.HArcTan(0.5), t.HArcCotan(2), 1E-15, "HArcTan and HArcCotan"
AssertNear t.LogN(8, 2), 3, 1E-15, "LogN"
Dim x
x = 2
d = t.HSin(x)
AssertEqual x, 2, "the argument stays"
On Error Resume Next
d = t.ArcCos(1)
AssertErr 11, "ArcCos(1)"
d = t.ArcSin(2)
AssertErr 5, "ArcSin(2)"
d = t.ArcSec(0.5)
AssertErr 5, "ArcSec(0.5)"
d = t.HSin(1000)
AssertErr 6, "HSin(1000)"
d = t.LogN(8, 1)
AssertErr 11, "LogN to base 1"
On Error GoTo 0
Done
