' clsPub's layer checks, selection-set and polyline helpers on the stand-in.
'#include "assert.vbs"
'#include "acadsim.vbs"
AcadAttach
Dim pub, lay, ss, ss2, pl, p3, ln, v
Set pub = CreateObject("KelvaSub.clsPub")
Set pub.ThisDrawing = gDoc

gDoc.Layers.Add "Wall"
AssertEqual pub.CheckLayer("WALL"), True, "CheckLayer ignores case"
AssertEqual pub.CheckLayer("Roof"), False, "CheckLayer of a missing layer"

Set lay = gDoc.Layers.Add("Frozen")
lay.Freeze = True
lay.Lock = True
AssertEqual pub.GetLayerState(lay, False), "Frozen 레이어는 동결되어 있습니다  ", "frozen before locked"
AssertEqual pub.GetLayerState(lay, True), "이전 실행시 설정되었던 레이어가  " & vbCrLf & "동결, 잠금, 또는 꺼져 있어       " & vbCrLf & "레이어 0 으로 설정됩니다         ", "the first-run notice"
lay.Freeze = False
lay.LayerOn = False
AssertEqual pub.GetLayerState(lay, False), "Frozen 레이어는 꺼져 있습니다  ", "off"
lay.LayerOn = True
AssertEqual pub.GetLayerState(lay, False), "Frozen 레이어는 잠겨 있습니다  ", "locked"
lay.Lock = False
AssertEqual pub.GetLayerState(lay, True), "", "a usable layer, also on the first run"

' A usable layer is not asked about (a locked one neither); a missing layer is an error.
lay.Lock = True
AssertEqual pub.LayerMessage("Frozen"), True, "no question for a locked layer"
On Error Resume Next
v = pub.LayerMessage("Nowhere")
AssertTrue Err.Number <> 0, "LayerMessage of a missing layer fails"
Err.Clear
On Error GoTo 0

' CreateSelSet gives a fresh empty set every time, under the default name too.
Set ln = AddLine(0, 0, 1, 1)
Set ss = pub.CreateSelSet()
AssertEqual ss.Name, "SelSet", "the default name"
ss.AddItems Array(ln)
AssertEqual ss.Count, 1, "one item added"
Set ss2 = pub.CreateSelSet("SelSet")
AssertEqual ss2.Count, 0, "created again: empty"
AssertTrue pub.CreateSelSet("Other").Count = 0, "another name"

' The last vertex index of polylines; 0 for a line.
Set pl = gMs.AddLightWeightPolyline(Array(0, 0, 10, 0, 10, 10, 0, 10))
AssertEqual pub.GetCoordCount(pl), 3, "lightweight polyline of four vertices"
Set p3 = gMs.Add3DPoly(Array(0, 0, 0, 1, 0, 1, 1, 1, 2, 0, 1, 3))
AssertEqual pub.GetCoordCount(p3), 3, "3-D polyline of four vertices"
AssertEqual pub.GetCoordCount(ln), 0, "a line"

' Radius from a bulge: half circles either way round; a bulge of 0 divides by zero.
AssertNear pub.GetRadiusFromBulge(1, Pt(0, 0, 0), Pt(10, 0, 0)), 5, 1e-12, "bulge 1"
AssertNear pub.GetRadiusFromBulge(-1, Array(0, 0), Array(0, 10)), 5, 1e-12, "bulge -1, 2-D points"
AssertEqual TypeName(pub.GetRadiusFromBulge(1, Pt(0, 0, 0), Pt(10, 0, 0))), "Double", "a Double in a Variant"
On Error Resume Next
v = pub.GetRadiusFromBulge(0, Pt(0, 0, 0), Pt(10, 0, 0))
AssertErr 11, "bulge 0"
On Error GoTo 0

AssertEqual pub.LspEnt(ln), "(handent """ & ln.Handle & """)", "LspEnt"
Done
