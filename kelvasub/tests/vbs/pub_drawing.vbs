' clsPub on the stand-in's active document: command line, version, cancel check and point input.
'#include "assert.vbs"
Dim acad, ctl, doc, pub, p, v
Set acad = CreateObject("AutoCAD.Application")
Set ctl = CreateObject("AcadSim.Control")
ctl.Reset
Set doc = acad.ActiveDocument
Set pub = CreateObject("KelvaSub.clsPub")
Set pub.ThisDrawing = doc
AssertTrue pub.ThisDrawing Is doc, "ThisDrawing gives back the document"

AssertEqual pub.GetVersion, Left(acad.Version, 2), "GetVersion is the major release"
AssertEqual Len(pub.GetVersion), 2, "two characters"

ctl.ClearCommandLine
AssertTrue IsEmpty(pub.CmdPrompt("작업 완료")), "CmdPrompt returns Empty"
AssertEqual ctl.CommandLine, vbCrLf & "작업 완료", "CmdPrompt starts a new line"

' CheckESC: an empty last prompt, a finished one, and one ending in *Cancel*.
ctl.ClearCommandLine
AssertEqual pub.CheckESC, False, "CheckESC on an empty last prompt"
pub.CmdPrompt "Command:"
AssertEqual pub.CheckESC, False, "CheckESC on an ordinary prompt"

' GetPnt without a base point, with the default prompt.
ctl.ClearCommandLine
ctl.QueuePoint 1.5, 2, 3
p = pub.GetPnt()
AssertEqual ctl.ArrayText(p), "1.5,2,3", "the picked point"
AssertEqual ctl.CommandLine, vbCrLf & vbCrLf & "점 선택: ", "an empty line, then the default prompt"

' With a base point and a prompt of the caller's own.
ctl.ClearCommandLine
ctl.QueuePoint 10, 20
p = pub.GetPnt(ctl.Point(0, 0), "끝점: ")
AssertEqual ctl.ArrayText(p), "10,20,0", "the point picked from a base point"
AssertEqual ctl.CommandLine, vbCrLf & "끝점: ", "the caller's prompt"

' A Variant array from the script serves as the base point too.
ctl.QueuePoint 4, 5, 6
p = pub.GetPnt(Array(1, 1, 0))
AssertEqual ctl.ArrayText(p), "4,5,6", "base point given as a script array"

' Cancelled: Empty and no error; afterwards the last prompt ends in *Cancel*.
ctl.ClearInputs
ctl.QueueCancel
On Error Resume Next
v = pub.GetPnt()
AssertErr 0, "a cancelled GetPnt raises nothing"
On Error GoTo 0
AssertTrue IsEmpty(v), "a cancelled GetPnt gives Empty"
AssertEqual pub.CheckESC, True, "CheckESC after the user cancelled"

' Any other failure of the point input is passed over as well.
ctl.QueueFailure
v = pub.GetPnt()
AssertTrue IsEmpty(v), "a failed GetPnt gives Empty"

' GetPnt never stores a pick point.
AssertTrue IsEmpty(pub.GetPickPoint), "GetPnt leaves the pick point alone"

' A base point AutoCAD cannot read is a failure of the input, passed over.
ctl.QueuePoint 1, 1
v = pub.GetPnt("not a point")
AssertTrue IsEmpty(v), "a base point of the wrong type gives Empty"
ctl.ClearInputs
Done
