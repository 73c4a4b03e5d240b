' A drawing built through the running stand-in as a macro builds it, read back by name.
Option Explicit
'#include "assert.vbs"
'#include "acadsim.vbs"
Dim l, c, t, lw, ss, blk, x, layer, names, e

AcadAttach
AssertEqual Left(gAcad.Version, 2), "18", "the default stand-in is the newest release it serves"
AssertTrue gDoc.Application Is gAcad, "the document's application is the application"

Set l = AddLine(0, 0, 3, 4)
AssertEqual l.ObjectName, "AcDbLine", "line class"
AssertEqual l.Length, 5, "line length"
AssertEqual PtText(l.EndPoint), "3,4,0", "end point"
Set c = AddCircle(1, 1, 2)
AssertNear c.Area, 12.566370614359, 1E-9, "circle area"
Set t = AddText("  ㎡ 한글", 1, 2, 2.5)
AssertEqual t.TextString, "  ㎡ 한글", "Korean text keeps its blanks"
t.TextString = t.TextString & "A"
AssertEqual Right(t.TextString, 1), "A", "text rewritten"
Set lw = gMs.AddLightWeightPolyline(Array(0, 0, 10, 0, 10, 10))
AssertEqual PtText(lw.Coordinates), "0,0,10,0,10,10", "lightweight polyline coordinates"
AssertEqual PtText(lw.Coordinate(1)), "10,0", "one vertex"
lw.SetBulge 0, 1
AssertEqual lw.GetBulge(0), 1, "bulge"
Set blk = gMs.InsertBlock(Pt(5, 5, 0), "Door", 1, 1, 1, 0)
AssertEqual blk.ObjectName, "AcDbBlockReference", "block reference"
AssertEqual gMs.Count, 5, "model space count"
AssertTrue gMs(0) Is l, "the item accessor is the default member and keeps identity"
AssertTrue InStr(gSim.Dump, "text=""  ㎡ 한글A""") > 0, "the dump shows the text"

' Layers: states and the walk in collection order.
Set layer = gDoc.Layers.Add("Walls")
layer.Freeze = True
layer.Lock = True
AssertTrue gDoc.Layers("WALLS").Freeze, "frozen layer found in other letter case"
names = ""
For Each layer In gDoc.Layers
  names = names & layer.Name & ";"
Next
AssertEqual names, "0;Walls;", "layers in order"

' Selection sets: select all with a type filter, reorder with Clear and AddItems.
Set ss = gDoc.SelectionSets.Add("SelSet")
ss.Select 5, , , Array(0), Array("TEXT,MTEXT")
AssertEqual ss.Count, 1, "select all texts"
ss.Clear
ss.AddItems Array(c, l)
AssertTrue ss(0) Is c, "AddItems keeps the given order"
ss.RemoveItems Array(c)
AssertEqual ss.Count, 1, "RemoveItems"
On Error Resume Next
gDoc.SelectionSets.Add "selset"
AssertTrue Err.Number <> 0, "a second set of the same name is refused"
Err.Clear
On Error GoTo 0

' An erased entity fails with AutoCAD's own error, also when reached through a selection set.
l.Delete
On Error Resume Next
x = ss(0).Length
AssertErr &H8020004C, "erased entity read through the set"
x = l.Handle
AssertErr &H8020004C, "erased entity"
l.Delete
AssertErr &H8020004C, "deleting twice"
gSim.InjectFailure "Delete", &H8020004C
c.Delete
AssertErr &H8020004C, "an injected refusal"
gSim.InjectFailure "AddItems"
ss.AddItems Array(c)
AssertErr &H80004005, "AddItems refused"
On Error GoTo 0
AssertEqual c.ObjectName, "AcDbCircle", "the refused delete left the circle"
AssertEqual gSim.EntityCount, 4, "one entity erased"
Done
