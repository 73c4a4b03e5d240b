' clsPub after the AutoCAD it was given has gone away: calls fail with an error, GetPnt gives Empty.
' Argument 0: the stand-in's program, to stop it by its process id.
'#include "assert.vbs"
Dim acad, ctl, pub, v, shell, status, number
Set acad = CreateObject("AutoCAD.Application")
Set ctl = CreateObject("AcadSim.Control")
Set pub = CreateObject("KelvaSub.clsPub")
Set pub.ThisDrawing = acad.ActiveDocument
AssertEqual Len(pub.GetVersion), 2, "works while the stand-in runs"

Set shell = CreateObject("WScript.Shell")
status = shell.Run("""" & WScript.Arguments(0) & """ /Stop " & ctl.ProcessId, 0, True)
AssertEqual status, 0, "the stand-in stopped"

On Error Resume Next
v = pub.GetVersion
number = Err.Number
Err.Clear
AssertTrue number <> 0, "GetVersion after the stand-in went away fails"
pub.CmdPrompt "x"
number = Err.Number
Err.Clear
AssertTrue number <> 0, "CmdPrompt after the stand-in went away fails"
v = pub.GetPnt()
AssertErr 0, "GetPnt passes the failure over"
On Error GoTo 0
AssertTrue IsEmpty(v), "GetPnt gives Empty"
Done
