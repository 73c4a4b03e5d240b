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
