' clsFunc as a macro calls it late-bound: numbers, angle texts, points and the runtime's error numbers.
Option Explicit
'#include "assert.vbs"
Dim f, p, s, d
Set f = CreateObject("KelvaSub.clsFunc")

AssertNear f.Pi, 3.14159265358979, 1E-14, "Pi"
AssertEqual f.GetQuadrant(f.Pi), 2, "pi is in quadrant 2"
AssertEqual f.GetQuadrant(-f.Pi / 6), 1, "a negative angle is classed by its size"

' Points come back as arrays of doubles, which this engine cannot index: measure them instead.
p = f.GetOffsetPoint(Array(10, 20, 0), 0, 2)
AssertNear f.Length2D(p, Array(10, 22)), 0, 1E-12, "offset of a horizontal line lies above"
p = f.GetOffsetPoint(Array(10, 20, 0), -f.Pi / 6, 2)
AssertNear f.Length2D(p, Array(11, 20 + Sqr(3))), 0, 1E-12, "offset of a negative angle lies above its line"
p = f.GetOffsetPointLR(Array(0, 0), 4 * f.Pi + f.Pi / 2, 1, True)
AssertNear f.Length2D(p, Array(-1, 0)), 0, 1E-12, "left of an upward direction given past 4 pi"
AssertNear f.Length(Array(0, 0, 0), Array(3, 4, 12)), 13, 1E-12, "3-D length"
AssertEqual f.ClockWise(Array(0, 0), Array(1, 0), Array(0, 1)), 1, "left turn"
AssertNear f.GetEncloseAng(Array(0, 0), Array(1, 0), Array(2, 0)), f.Pi, 1E-15, "a straight angle is pi"
AssertNear f.GetAzi(Array(0, 0), Array(-1, -1)), 1.25 * f.Pi, 1E-15, "azimuth"
AssertTrue f.IsEqual("1.5", 1.4, 0.2), "numeric text compares as a number"
p = f.StrToPnt("1,2,3", ",")
AssertNear f.Length(p, Array(1, 2, 3)), 0, 0, "coordinate text to point"

AssertEqual f.REPT("0", 3), "000", "REPT"
AssertEqual f.ExMod(-7, 3), 1, "ExMod"
AssertEqual f.RoundUp(1.231, 2), 1.24, "RoundUp"
AssertEqual f.RoundUp(123, -1), 130, "RoundUp to tens"
AssertEqual f.RoundDown(-1.239, 2), -1.23, "RoundDown"
AssertEqual f.RoundUp(1.7000001, 6), 1.700001, "RoundUp at six places"
AssertEqual f.FixByNumber(25, 10), 20, "ties go down"
AssertEqual f.FixByNumber(-16, 10), -20, "negative numbers snap to the nearest multiple"
AssertEqual f.MultipleNumber(12, 10), 20, "MultipleNumber"
AssertEqual f.PortionNumber(17, 5), 3, "PortionNumber"
AssertNear f.R2D(f.Pi), 180, 1E-12, "R2D"
AssertTrue f.IsNumber("1,234.5"), "IsNumber"
AssertTrue Not f.IsNumber(vbCrLf), "line breaks are no number"
AssertEqual f.GetNumber("L=12.5m"), "12.5", "GetNumber"
AssertEqual f.RemoveNull("ab" & vbCr & vbLf), "ab", "RemoveNull"

AssertEqual f.DEG2DMS(30.5125), "30-30-45.00", "DEG2DMS"
AssertEqual f.DEG2DMS(30.5125, 2, 3), "30도 30분 45.00초", "Korean units"
AssertEqual f.DEG2DMS(29.9999999999999), "30-0-0.00", "carry into degrees"
AssertEqual f.DEG2DMS(-30.5), "-31-30-0.00", "negative angle"
AssertEqual f.GetAngleUnit(30.1, 1), "30°06'", "GetAngleUnit"
s = "30°"
AssertEqual f.DMS2DEG(s), 30, "DMS2DEG of degrees"
AssertEqual s, "30", "the mark is dropped from the caller's text"
s = "30도 30분 45.00초"
AssertNear f.DMS2DEG(s), 30.5125, 1E-12, "reads the Korean style back"
s = f.DEG2DMS(-30.5)
AssertNear f.DMS2DEG(s), -30.5, 1E-12, "reads a negative angle back"
s = "30°15'"
AssertNear f.DMS2DEG(s), 30.25, 1E-12, "empty seconds are 0"

Dim a, b
a = Array(0, 10, 5)
b = Array(10, 0, 6)
f.RegionRULD a, b
AssertEqual a(0) & "," & a(1) & "," & a(2), "10,10,5", "right-upper corner"
AssertEqual b(0) & "," & b(1) & "," & b(2), "0,0,6", "left-lower corner"
a = 1
b = "x"
f.SwapData a, b
AssertEqual a, "x", "SwapData first"
AssertEqual b, 1, "SwapData second"
Dim o1, o2, k1, k2
Set o1 = CreateObject("KelvaSub.clsTriangle")
Set o2 = CreateObject("KelvaSub.clsIni")
Set k1 = o1
Set k2 = o2
f.SwapObj o1, o2
AssertTrue o1 Is k2 And o2 Is k1, "SwapObj exchanges the references"

On Error Resume Next
d = f.ExMod(1, 0)
AssertErr 11, "division by zero"
d = f.R2D(1E+308)
AssertErr 6, "overflow"
d = f.GetAngleUnit(1, -1)
AssertErr 5, "negative decimals"
p = f.GetOffsetPoint(Array(1), 0, 1)
AssertErr 9, "a point of one element"
p = f.Length2D("x", Array(1, 1))
AssertErr 13, "a point that is no array"
d = f.StrToPnt("", ",")
AssertErr 9, "an empty coordinate text"
On Error GoTo 0
Done
