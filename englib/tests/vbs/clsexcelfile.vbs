' clsExcelFile through late binding: every writing member answers an error number, records land in
' the order of the calls, and the sheet is read back by xlrd afterwards (xlrd_check.py).
'#include "assert.vbs"
'#include "xlsdesc.vbs"

Dim x, y, folder, path, r, fso
folder = OutputFolder()
Set fso = CreateObject("Scripting.FileSystemObject")
path = folder & "\vbs-excel.xls"

Set x = CreateObject("KelvaSub.clsExcelFile")
AssertEqual x.CloseFile(), 0, "closing before any file does nothing"
AssertEqual x.SetHeader("early"), 52, "writing before any file"
AssertEqual x.CreateFile(path), 0, "CreateFile"
AssertEqual x.SetFont("Arial", 10, 1), 0, "SetFont"
AssertEqual x.WriteValue(0, 0, 0, 0, 1, 1, 42), 0, "an integer"
AssertEqual x.WriteValue(0, 0, 0, 0, 2, 1, -5), 0, "a negative integer"
AssertEqual x.WriteValue(0, 0, 0, 0, 3, 1, "2.5"), 0, "an integer from text, halves to even"
AssertEqual x.WriteValue(1, 64, 2 + 8, 64, 1, 2, 3.5, 2), 0, "a number: font 1, format 2, centred, left border, locked"
AssertEqual x.WriteValue(2, 0, 1, 0, 1, 3, "text"), 0, "a label"
AssertEqual x.WriteValue(2, 0, 0, 0, 2, 3, 12.25), 0, "a number as a label"
AssertEqual x.WriteValue(3, 0, 0, 0, 1, 4, "nothing"), 0, "other kinds write nothing"
AssertEqual x.WriteValue(2, 0, 0, 0, 3, 3, String(256, "a")), 6, "a label above 255 characters"
AssertEqual x.WriteValue(2, 0, 0, 0, 3, 3, "가나"), 6, "double-byte characters"
AssertEqual x.WriteValue(0, 0, 0, 0, 3, 1, "abc"), 13, "no number"
AssertEqual x.WriteValue(0, 0, 0, 0, 3, 1, 40000), 6, "integer overflow"
AssertEqual x.WriteValue(1, 192, 0, 0, 3, 1, 1, 64), 6, "format and font beyond a byte"
AssertEqual x.SetMargin(38, 0.5), 0, "left margin"
AssertEqual x.SetMargin(41, 1.25), 0, "bottom margin"
AssertEqual x.SetMargin(10, 1), 5, "not a margin"
r = x.SetColumnWidth(1, 3, 10)
AssertEqual r, 0, "SetColumnWidth"
AssertEqual TypeName(r), "Integer", "success is an Integer"
r = x.SetColumnWidth(1, 3, 200)
AssertEqual r, 6, "width beyond the field"
AssertEqual TypeName(r), "Long", "an error number is a Long"
AssertEqual x.SetHeader("Head"), 0, "SetHeader"
AssertEqual x.SetFooter("Foot"), 0, "SetFooter"
AssertEqual x.SetFilePassword("pw"), 445, "no password without encryption"
x.PrintGridLines = True
x.ProtectSpreadsheet = False
AssertEqual x.SetDefaultRowHeight(15), 0, "SetDefaultRowHeight"
AssertEqual x.SetRowHeight(2, 20), 0, "SetRowHeight"
AssertEqual x.InsertHorizPageBreak(20), 0, "page break"
AssertEqual x.InsertHorizPageBreak(5), 0, "page break"
AssertEqual x.InsertHorizPageBreak(20), 0, "page break"
AssertEqual x.MKI(258), Chr(2) & Chr(1), "MKI"
AssertEqual x.CreateFile(folder & "\*.xls"), 52, "wildcards never reach a delete"
AssertEqual x.CloseFile(), 52, "the failed create ended the open sheet"
SaveSheetDescription folder, "vbs-excel", _
  "[0, 0, 'number', 42, 0, 0, 0, 0], [1, 0, 'number', -5, 0, 0, 0, 0], [2, 0, 'number', 2, 0, 0, 0, 0], " & _
  "[0, 1, 'number', 3.5, 1, 2, 10, 64], [0, 2, 'text', 'text', 0, 0, 1, 0], [1, 2, 'text', '12.25', 0, 0, 0, 0]", _
  "['Arial', 200, 1]", "[43, 1], [18, 0]", "[0, 2560], [1, 2560], [2, 2560]", "[1, 400]", "[38, 0.5], [41, 1.25]", _
  "4, 19, 19", "300", "'Head'", "'Foot'"

On Error Resume Next
x.WriteDefaultFormats
AssertErr 52, "WriteDefaultFormats raises without a file"
On Error GoTo 0

' A sheet still open when the object goes is finished, not lost.
Set y = CreateObject("KelvaSub.clsExcelFile")
AssertEqual y.CreateFile(folder & "\vbs-released.xls"), 0, "second object"
AssertEqual y.WriteValue(2, 0, 0, 0, 1, 1, "kept"), 0, "a label"
Set y = Nothing
AssertTrue fso.FileExists(folder & "\vbs-released.xls"), "released sheet in place"
SaveSheetDescription folder, "vbs-released", "[0, 0, 'text', 'kept', 0, 0, 0, 0]", "", "", "", "", "", "", "null", "null", "null"

Done
