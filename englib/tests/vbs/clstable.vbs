' A table drawn with lines and texts in the AutoCAD stand-in, rebuilt into cells with clsTable as a
' macro does it, and written to a sheet with clsExcelFile (read back by xlrd afterwards).
'
'   y=20 +--------------------+--------+
'        |  Title (merged)    |  Name  |
'   y=10 +---------+----------+--------+
'        | 1,234.50|    42    |  12.5  |
'   y=0  +---------+----------+--------+
'        x=0      x=30       x=60    x=100
Option Explicit
'#include "assert.vbs"
'#include "acadsim.vbs"
'#include "xlsdesc.vbs"

' (Wine's VBScript hangs on ReDim of a variable declared with empty brackets: plain Dims here.)
Dim t, e, cols, rows, nc, nr, tol, ss, i, j, tmp, folder, x, r, c, x1, y1, x2, y2

AcadAttach
AddLine 0, 20, 100, 20
AddLine 0, 10, 100, 10
AddLine 0, 0, 100, 0
AddLine 0, 20, 0, 0
AddLine 30, 10, 30, 0
AddLine 60, 20.004, 60, -0.003
AddLine 100, 20, 100, 0
AddText "Title", 25, 15, 3.5
AddText "Name", 75, 15, 2.5
AddText "1,234.50", 10, 5, 2.5
AddText "42", 40, 5, 2.5
AddText "12.5", 75, 5, 3

Set t = CreateObject("KelvaSub.clsTable")
tol = 0.01

' Column lines upper end first, row lines left end first, read from the drawing.
nc = -1 : nr = -1
ReDim cols(10) : ReDim rows(10)
For Each e In gMs
  If e.ObjectName = "AcDbLine" Then
    x1 = gSim.Element(e.StartPoint, 0) : y1 = gSim.Element(e.StartPoint, 1)
    x2 = gSim.Element(e.EndPoint, 0) : y2 = gSim.Element(e.EndPoint, 1)
    If Abs(x1 - x2) < tol Then
      nc = nc + 1
      If y1 >= y2 Then cols(nc) = Array(x1, y1, x2, y2) Else cols(nc) = Array(x2, y2, x1, y1)
    Else
      nr = nr + 1
      If x1 <= x2 Then rows(nr) = Array(x1, y1, x2, y2) Else rows(nr) = Array(x2, y2, x1, y1)
    End If
  End If
Next
ReDim Preserve cols(nc) : ReDim Preserve rows(nr)
For i = 0 To nc - 1
  For j = 0 To nc - 1 - i
    If cols(j)(0) > cols(j + 1)(0) Then tmp = cols(j) : cols(j) = cols(j + 1) : cols(j + 1) = tmp
  Next
Next
For i = 0 To nr - 1
  For j = 0 To nr - 1 - i
    If rows(j)(1) < rows(j + 1)(1) Then tmp = rows(j) : rows(j) = rows(j + 1) : rows(j + 1) = tmp
  Next
Next
AssertEqual nc, 3, "four column lines"
AssertEqual nr, 2, "three row lines"

' Distinct grid coordinates.
AssertEqual t.GetTableRX(cols, 0, tol), 30, "next x after the first column line"
AssertEqual t.GetTableRY(rows, 0, tol), 10, "next y after the top line"
AssertEqual t.GetTableRX(cols, 3, tol), 0, "nothing after the last line"
AssertEqual t.GetNextLine(cols, 0, True, tol), 1, "GetNextLine gives an index"
AssertEqual t.GetNextLine(rows, 2, False, tol), 0, "no line after the last"

' Which lines border which cells: the line at x=30 stops at y=10, so the top row's first two cells merge.
AssertEqual t.IsColLine(cols, rows, 1, 0, 1, tol), False, "x=30 does not reach the top"
AssertEqual t.IsColLine(cols, rows, 1, 1, 2, tol), True, "x=30 borders the bottom row"
AssertEqual t.IsColLine(cols, rows, 2, 0, 2, tol), True, "x=60 overshoots a little and still spans"
AssertEqual t.IsRowLine(cols, rows, 1, 0, 3, tol), True, "the middle line runs across"

' Entries may be arrays of doubles as AutoCAD returns them: two-vertex polylines' coordinates.
Dim p1, p2
Set p1 = gMs.AddLightWeightPolyline(Array(0, 50, 100, 50))
Set p2 = gMs.AddLightWeightPolyline(Array(0, 45, 100, 45))
AssertEqual t.GetTableRY(Array(p1.Coordinates, p2.Coordinates), 0, tol), 45, "entries holding arrays of doubles"
AssertEqual t.IsRowLine(cols, Array(p1.Coordinates), 0, 0, 3, tol), True, "a polyline across all columns"
p1.Delete
p2.Delete

' Texts and their cells.
Set ss = gDoc.SelectionSets.Add("TableTexts")
ss.Select 5, , , Array(0), Array("TEXT")
AssertEqual ss.Count, 5, "five texts"
AssertEqual t.GetLargeHeight(ss), 3.5, "largest text height"
AssertEqual t.GetNumberFormat("1,234.50"), "#,##0.00", "grouped decimals"
AssertEqual t.GetNumberFormat("12.5"), "0.0", "one decimal"
AssertEqual t.GetNumberFormat("42"), "0", "whole number"
AssertEqual t.GetNumberFormat("Name"), "@", "text"
AssertEqual t.DeleteSpace(" 1 2 "), "12", "DeleteSpace"
AssertEqual t.GetxlVertical("AB"), "A" & vbLf & "B", "GetxlVertical"
AssertEqual t.GetMergeText("R1C1:R1C2"), "R1C1", "GetMergeText"
r = 1 : c = 1
t.OneCell "R1C1:R1C2", r, c
AssertEqual r, 1, "OneCell row"
AssertEqual c, 2, "OneCell moves to the area's last column"

On Error Resume Next
x = t.GetMergeText("R1C1")
AssertErr 5, "an area without a colon"
x = t.IsColLine(cols, rows, 9, 0, 1, tol)
AssertErr 9, "a line index outside the list"
x = t.GetTableRX(Array(Array("a"), Array("b")), 0, tol)
AssertErr 13, "an element that is no number"
x = t.GetLargeHeight(Nothing)
AssertErr 91, "no selection set"
On Error GoTo 0

' The rebuilt grid as a sheet: numbers with the built-in format their text asks for.
folder = OutputFolder()
Set x = CreateObject("KelvaSub.clsExcelFile")
AssertEqual x.CreateFile(folder & "\vbs-table.xls"), 0, "create the sheet"
AssertEqual x.SetColumnWidth(1, 1, 15), 0, "width of column 1"
AssertEqual x.SetColumnWidth(2, 3, 20), 0, "width of columns 2 and 3"
AssertEqual x.WriteValue(2, 0, 2 + 8 + 32 + 64, 0, 1, 1, "Title"), 0, "merged title"
AssertEqual x.WriteValue(2, 0, 2, 0, 1, 3, "Name"), 0, "Name"
AssertEqual x.WriteValue(1, 0, 3, 0, 2, 1, CDbl("1234.50"), 4), 0, "1,234.50 with #,##0.00"
AssertEqual x.WriteValue(0, 0, 3, 0, 2, 2, 42, 1), 0, "42 with 0"
AssertEqual x.WriteValue(1, 0, 3, 0, 2, 3, 12.5), 0, "12.5 (0.0 is no built-in format)"
AssertEqual x.CloseFile(), 0, "close the sheet"
SaveSheetDescription folder, "vbs-table", _
  "[0, 0, 'text', 'Title', 0, 0, 106, 0], [0, 2, 'text', 'Name', 0, 0, 2, 0], [1, 0, 'number', 1234.5, 0, 4, 3, 0], " & _
  "[1, 1, 'number', 42, 0, 1, 3, 0], [1, 2, 'number', 12.5, 0, 0, 3, 0]", _
  "", "", "[0, 3840], [1, 5120], [2, 5120]", "", "", "", "null", "null", "null"

Done
