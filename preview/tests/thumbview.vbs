' ThumbView created and driven late-bound by name, as a script host does: properties, the preview
' of a sample drawing, and the run-time errors of unreadable drawings.
Option Explicit
'#include "assert.vbs"
Dim v, dir
dir = WScript.Arguments(0)
Set v = CreateObject("KelvaView.ThumbView")
AssertEqual v.DrawingFile, "", "no drawing at first"
AssertEqual v.SpecialEffect, 0, "no border at first"
AssertEqual v.Stretch, False, "not stretched at first"
AssertEqual v.Enabled, True, "enabled at first"
AssertEqual v.BackColor, &H8000000F, "button face at first"

v.SpecialEffect = 3
AssertEqual v.SpecialEffect, 3, "etched border"
v.Stretch = True
AssertEqual v.Stretch, True, "stretched"
v.BackColor = &HFF00&
AssertEqual v.BackColor, 65280, "back colour"
v.DrawingFile = dir & "\single.dwg"
AssertEqual v.DrawingFile, dir & "\single.dwg", "path kept"
AssertEqual v.PaintPreview, "", "PaintPreview returns an empty text"
v.Refresh
v.DrawingFile = dir & "\one_entry.dwg"
AssertEqual v.PaintPreview, "", "a drawing without a preview is no error"

On Error Resume Next
v.DrawingFile = dir & "\없는 도면.dwg"
v.PaintPreview
AssertEqual Err.Source, "KelvaView", "source of a read error"
AssertErr 53, "missing drawing"
v.DrawingFile = dir & "\entry_past_end.dwg"
v.PaintPreview
AssertErr 62, "entry past the end of the file"
v.DrawingFile = dir & "\png_corrupt.dwg"
v.PaintPreview
AssertErr 481, "a PNG preview that does not decode"
v.BackColor = &H800000FF
AssertErr 380, "not a colour"
' Arguments refused the way Basic refuses them, with the control's name as the source.
v.SpecialEffect = "가"
AssertEqual Err.Source, "KelvaView", "source of a refused argument"
AssertErr 13, "an effect that is no number"
v.SpecialEffect = 3000000000.0
AssertErr 6, "an effect past any Long"
v.Stretch = Null
AssertErr 13, "Null is no Boolean"
v.Refresh 1, 2
AssertErr 450, "Refresh takes no arguments"
On Error GoTo 0
AssertEqual v.SpecialEffect, 3, "refused arguments change nothing"
AssertEqual v.BackColor, 65280, "a refused colour changes nothing"
Done
