' clsFunc sorting a selection set of the running stand-in, as a macro does: texts read in reading order.
Option Explicit
'#include "assert.vbs"
'#include "acadsim.vbs"
Dim f, ss, order, k, e

Function Texts(s)
  Dim i
  Texts = ""
  For i = 0 To s.Count - 1
    Texts = Texts & s.Item(i).TextString & ";"
  Next
End Function

AcadAttach
Set f = CreateObject("KelvaSub.clsFunc")
Set ss = gDoc.SelectionSets.Add("Sorted")
ss.AddItems Array(AddText("five", 5, 10, 1), AddText("one", 1, 9.8, 1), AddText("three", 3, 10.2, 1), _
                  AddText("below", 0, 5, 1), AddText("가나", 9, 5.1, 1))
f.SortTextTable ss, 0.5
AssertEqual Texts(ss), "one;three;five;below;가나;", "table rows top to bottom, each left to right"
f.SortSelZ_R ss, 0.5
AssertEqual Texts(ss), "가나;below;five;three;one;", "the reverse reading order"
f.SortTextX ss
AssertEqual Texts(ss), "below;one;three;five;가나;", "left to right"
f.SortAlphanumSel ss, True
AssertEqual Texts(ss), "가나;three;one;five;below;", "natural text order (code units), descending"

' A refill that AutoCAD refuses puts the items back and tells the caller.
gSim.InjectFailure "AddItems"
On Error Resume Next
f.SortTextZ ss, 0.5
e = Err.Number
On Error GoTo 0
AssertTrue e <> 0, "the failed refill is reported"
AssertEqual Texts(ss), "가나;three;one;five;below;", "and the set holds its items as before"

' The trapped members stay quiet on an empty set; the others report it.
Dim none
Set none = gDoc.SelectionSets.Add("Empty")
f.SortTextYX none
On Error Resume Next
f.SortSelN none, 1
AssertErr 9, "SortSelN of an empty set"
On Error GoTo 0
Done
