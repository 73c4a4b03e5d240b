' clsCLO through late binding, as a road-design macro drives it: formulas, faults, and the five solvers
' checked by putting their answers back into the formulas.
'#include "assert.vbs"

Dim clo, r, a, l, t
Set clo = CreateObject("KelvaSub.clsCLO")

AssertNear clo.GetClothoidT(100, 200), 0.25, 1e-15, "GetClothoidT"
AssertNear clo.GetClothoidL(100, 200), 50, 1e-12, "GetClothoidL"
AssertNear clo.GetClothoidA(200, 50), 100, 1e-12, "GetClothoidA"
AssertEqual clo.GetFactorial(5), 120, "GetFactorial(5)"
AssertEqual clo.GetFactorial(-3), 1, "GetFactorial(-3)"
AssertEqual clo.GetClothoidX(0, 100), 0, "X at the start"
AssertEqual clo.GetClothoidZ(3, 1, 0.5, 3), 0, "Z of another class"
AssertEqual clo.GetClothoidD(10, 20, 3, 0), 0, "D of another class"
AssertNear clo.GetClothoidD(10, 20, 3, 2), 27, 1e-12, "D class 2"
AssertNear clo.GetClothoidX(50, 200), 49.9219314936603, 1e-12, "X series"
AssertEqual clo.GetClothoidADER(250, 120, 90), clo.GetClothoidADE(250, 120, 90), "ADER without a ratio"
AssertEqual clo.GetClothoidASR(250, 120, 90, 1), clo.GetClothoidAS(250, 120, 90), "ASR with ratio 1"
AssertEqual TypeName(clo.GetDistBetweenRS(100, 50, 1, 2, 30, 40)), "Double", "Variant holding a Double"
AssertNear clo.FindDRCalc(300, "80"), clo.FindDR(300, 80), 1e-15, "FindDRCalc converts its Variants"

' Arguments are passed by reference and left as they were.
Dim rad, len0
rad = 200 : len0 = 100
t = clo.GetClothoidT(len0, rad)
AssertEqual rad, 200, "argument untouched"
AssertEqual TypeName(rad), "Integer", "argument keeps its type"

On Error Resume Next
t = clo.GetClothoidL(100, 0)
AssertErr 11, "division by zero"
t = clo.GetClothoidA(-100, 50)
AssertErr 5, "square root of a negative number"
t = clo.GetFactorial(171)
AssertErr 6, "factorial overflow"
t = clo.FindDRCalc(300, "abc")
AssertErr 13, "a length that is no number"
On Error GoTo 0

' Egg shape: the parameter for the centre distance that A = 137 gives.
Dim dist
dist = clo.GetClothoidAE(300, 150, 0, 137)
r = clo.GetGoalSeek(300, 150, dist, 100, 0)
AssertEqual r(1), True, "GetGoalSeek succeeds"
AssertTrue Abs(clo.GetClothoidAE(300, 150, dist, r(0))) < 1E-08, "GetGoalSeek answer meets its target"

' Same side and S curve, with and without a ratio.
Dim target
target = clo.GetClothoidADE(400, 250, 137)
r = clo.GetGoalSeekDE(400, 250, 150, target)
AssertEqual r(1), True, "GetGoalSeekDE succeeds"
AssertTrue Abs(clo.GetClothoidADE(400, 250, r(0)) - target) < 1E-08, "GetGoalSeekDE answer"
target = clo.GetClothoidASR(400, 250, 137, 1.5)
r = clo.GetGoalSeekS(400, 250, 150, target, , , True, 1.5)
AssertEqual r(1), True, "GetGoalSeekS with a ratio succeeds"
AssertTrue Abs(clo.GetClothoidASR(400, 250, r(0), 1.5) - target) < 1E-08, "GetGoalSeekS answer"

' The clothoid length for a shift of 1.2, and the parameter for an arc twice a clothoid.
r = clo.FindA(300, 50, Empty, 1.2)
AssertEqual r(1), True, "FindA succeeds"
AssertTrue Abs(clo.FindDR(300, r(0)) - 1.2) < 1E-08, "FindA answer"
r = clo.FindAN(300, 0.6, 2, 100, 0)
AssertEqual r(1), True, "FindAN succeeds"
l = r(0) * r(0) / 300
AssertNear 300 * 0.6 - l, 2 * l, 1E-06, "FindAN answer"

' A start that already meets the target comes back as it is.
r = clo.FindAN(300, 0.6, 2, 0, -300 * 0.6 / 2, , 0)
AssertEqual r(0), 0, "start meets the target"
AssertEqual r(1), True, "start meets the target: flag"

' Failures: the message and False.
r = clo.GetGoalSeekDE(0, 250, 150, 10)
AssertEqual r(1), False, "a failing evaluation fails the search"
AssertEqual r(0), "Division by zero", "its message"
r = clo.FindAN(300, 0.6, 2, 100, "no number")
AssertEqual r(1), False, "a target that is no number"

Done
