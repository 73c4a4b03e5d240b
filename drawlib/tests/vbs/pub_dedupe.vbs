' clsPub.DeleteDupEntity on the stand-in: deletes, moves, refusals and the count.
'#include "assert.vbs"
'#include "acadsim.vbs"
AcadAttach
Dim pub, ss, a, b, c, d, e, f, n
Set pub = CreateObject("KelvaSub.clsPub")
Set pub.ThisDrawing = gDoc

Function Sel(items)
  Dim s
  Set s = pub.CreateSelSet("Dup")
  s.AddItems items
  Set Sel = s
End Function

' Circles equal up to the third decimal: one deletion.
Set a = AddCircle(1, 2, 5)
Set b = AddCircle(1.0004, 2, 5.0001)
Set c = AddCircle(1.001, 2, 5)
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "circle", False, False, 3), 1, "one circle deleted"
AssertEqual gSim.EntityCount, 2, "two circles left"

' Lines the other way round, and a zero-length line that is kept.
Set a = AddLine(0, 0, 10, 5)
Set b = AddLine(10, 5, 0, 0)
Set c = AddLine(3, 3, 3, 3)
Set d = AddLine(3, 3, 3, 3)
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c, d)), "LINE", False, False, 3), 2, "reversed and repeated"
AssertEqual gSim.EntityCount, 4, "the first line and one zero-length line stay"

' Texts that differ in case only; with bLayer texts on other layers stay.
gDoc.Layers.Add "Notes"
Set a = AddText("Kelva", 0, 20, 2.5)
Set b = AddText("KELVA", 0, 20, 2.5)
Set c = AddText("kelva", 0, 20, 2.5)
c.Layer = "Notes"
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "text", True, False, 3), 1, "case ignored, layer kept apart"
AssertEqual c.Layer, "Notes", "the text on the other layer stays"

' Text "A1" of height 2.5 and text "A" of height 12.5 at one point are not the same.
Set a = AddText("A1", 50, 50, 2.5)
Set b = AddText("A", 50, 50, 12.5)
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b)), "text", False, False, 3), 0, "no clash of joined parts"

' Moving to sLayer: nothing deleted; a moved line counts once.
gDoc.Layers.Add "DUP"
n = gSim.EntityCount
Set a = AddLine(100, 0, 110, 0)
Set b = AddLine(110, 0, 100, 0)
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b)), "line", False, False, 3, "DUP"), 1, "a moved line counts once"
AssertEqual b.Layer, "DUP", "the duplicate moved"
AssertEqual a.Layer, "0", "the first one stays"
AssertEqual gSim.EntityCount, n + 2, "nothing deleted"
' To a layer the drawing lacks: refused, not counted.
Set c = AddLine(100, 0, 110, 0)
AssertEqual pub.DeleteDupEntity(Sel(Array(a, c)), "line", False, False, 3, "NOWHERE"), 0, "a refused move is not counted"
AssertEqual c.Layer, "0", "the refused line stays where it was"

' A refused delete is not counted and the entity stays.
Set a = AddCircle(200, 0, 1)
Set b = AddCircle(200, 0, 1)
Set c = AddCircle(200, 0, 1)
gSim.InjectFailure "Delete"
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "circle", False, False, 2), 1, "the refused delete is not counted"
AssertEqual b.Radius, 1, "the refused one is still there"

' An arc under "circle" and an unknown type word with bLayer touch nothing.
Set a = AddCircle(300, 0, 3)
Set b = gMs.AddArc(Pt(300, 0, 0), 3, 0, 3.14159265358979)
Set c = gMs.AddArc(Pt(300, 0, 0), 3, 0, 3.14159265358979)
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "circle", False, False, 3), 0, "arcs are not circles"
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "ellipse", True, False, 3), 0, "unknown type word"
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "Arc", False, False, 3), 1, "the repeated arc"

' Every row of the key table reads what AutoCAD gives: two equal entities and one apart give one deletion.
Dim r1, r2, r3, h1, h2, h3
Set a = gMs.AddPoint(Pt(500, 0, 0))
Set b = gMs.AddPoint(Pt(500, 0, 0))
Set c = gMs.AddPoint(Pt(500, 1, 0))
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "point", False, False, 3), 1, "points"
Set a = gMs.AddLightWeightPolyline(Array(510, 0, 520, 0, 520, 10))
Set b = gMs.AddLightWeightPolyline(Array(510, 0, 520, 0, 520, 10))
Set c = gMs.AddLightWeightPolyline(Array(510, 0, 520, 0, 520, 11))
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "polyline,lwpolyline", False, True, 3), 1, "lightweight polylines"
Set a = gMs.Add3DPoly(Array(510, 0, 0, 520, 0, 1, 520, 10, 2))
Set b = gMs.Add3DPoly(Array(510, 0, 0, 520, 0, 1, 520, 10, 2))
Set c = gMs.Add3DPoly(Array(510, 0, 0, 520, 0, 1, 520, 10, 3))
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "polyline,lwpolyline", False, True, 3), 1, "3-D polylines"
Set a = gMs.AddPolyline(Array(510, 20, 4, 520, 20, 4, 520, 30, 4))
Set b = gMs.AddPolyline(Array(510, 20, 4, 520, 20, 4, 520, 30, 4))
Set c = gMs.AddPolyline(Array(510, 20, 5, 520, 20, 5, 520, 30, 5))
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "polyline,lwpolyline", False, True, 3), 1, "2-D polylines at their elevation"
Set a = gMs.AddMText(Pt(530, 0, 0), 10, "Kelva")
Set b = gMs.AddMText(Pt(530, 0, 0), 10, "kelva")
Set c = gMs.AddMText(Pt(530, 5, 0), 10, "Kelva")
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "mtext", False, False, 3), 1, "multiline texts"
Set a = gMs.InsertBlock(Pt(540, 0, 0), "DOOR", 1, 1, 1, 0)
Set b = gMs.InsertBlock(Pt(540, 0, 0), "DOOR", 1, 1, 1, 0)
Set c = gMs.InsertBlock(Pt(540, 0, 0), "DOOR", 1, 1, 1, 0)
gSim.AddAttribute a, "NO", "1"
gSim.AddAttribute b, "NO", "1"
gSim.AddAttribute c, "NO", "2"
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "insert", False, False, 3), 1, "block references by attribute"
Set r1 = AddCircle(550, 0, 2)
Set r2 = AddCircle(560, 0, 3)
Set h1 = gMs.AddHatch(1, "ANSI31", True)
h1.AppendOuterLoop Array(r1)
h1.Evaluate
Set h2 = gMs.AddHatch(1, "ANSI31", True)
h2.AppendOuterLoop Array(r1)
h2.Evaluate
Set h3 = gMs.AddHatch(1, "ANSI31", True)
h3.AppendOuterLoop Array(r2)
h3.Evaluate
AssertEqual pub.DeleteDupEntity(Sel(Array(h1, h2, h3)), "hatch", False, False, 3), 1, "hatches of one boundary"
' Hatches alike in pattern, area and style that differ only in their boundary's place are all kept;
' only the one over a kept hatch's boundary goes.
Set r1 = AddCircle(600, 0, 2)
Set r2 = AddCircle(600, 10, 2)
Set r3 = AddCircle(610, 0, 2)
Set h1 = gMs.AddHatch(1, "ANSI31", True)
h1.AppendOuterLoop Array(r1)
Set h2 = gMs.AddHatch(1, "ANSI31", True)
h2.AppendOuterLoop Array(r2)
Set h3 = gMs.AddHatch(1, "ANSI31", True)
h3.AppendOuterLoop Array(r3)
Set a = gMs.AddHatch(1, "ANSI31", True)
a.AppendOuterLoop Array(r1)
n = gSim.EntityCount
AssertEqual pub.DeleteDupEntity(Sel(Array(h1, h2, h3, a)), "hatch", False, False, 3), 1, "hatches apart are kept"
AssertEqual gSim.EntityCount, n - 1, "only the repeated hatch deleted"
AssertEqual h2.PatternName & h3.PatternName, "ANSI31ANSI31", "the hatches elsewhere stay"
On Error Resume Next
n = a.Area
AssertErr &H8020004C, "the hatch over the same boundary is gone"
On Error GoTo 0
Set a = gMs.AddSolid(Pt(570, 0, 0), Pt(571, 0, 0), Pt(570, 1, 0), Pt(571, 1, 0))
Set b = gMs.AddSolid(Pt(570, 0, 0), Pt(571, 0, 0), Pt(570, 1, 0), Pt(571, 1, 0))
Set c = gMs.AddSolid(Pt(570, 0, 0), Pt(571, 0, 0), Pt(570, 1, 0), Pt(571, 2, 0))
AssertEqual pub.DeleteDupEntity(Sel(Array(a, b, c)), "solid", False, False, 3), 1, "solids"

' A selection that AutoCAD would not fill, an empty one and none at all: 0 and no error.
Set a = AddCircle(400, 0, 1)
Set b = AddCircle(400, 0, 1)
Set ss = pub.CreateSelSet("Dup")
gSim.InjectFailure "AddItems"
On Error Resume Next
ss.AddItems Array(a, b)
AssertTrue Err.Number <> 0, "AddItems refused"
Err.Clear
On Error GoTo 0
AssertEqual pub.DeleteDupEntity(ss, "circle", False, False, 3), 0, "nothing selected, nothing deleted"
AssertEqual pub.DeleteDupEntity(pub.CreateSelSet("Empty"), "circle", False, False, 3), 0, "an empty selection"
AssertEqual pub.DeleteDupEntity(Nothing, "circle", False, False, 3), 0, "no selection"
Done
