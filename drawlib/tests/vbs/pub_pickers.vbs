' clsPub's pickers on the stand-in: scripted picks that are accepted, missed, of the wrong type,
' cancelled and failed.
'#include "assert.vbs"
'#include "acadsim.vbs"
AcadAttach
Dim pub, ln, cir, arc, txt, e, v
Set pub = CreateObject("KelvaSub.clsPub")
Set pub.ThisDrawing = gDoc
Set ln = AddLine(0, 0, 10, 0)
Set cir = AddCircle(5, 5, 2)
Set arc = gMs.AddArc(Pt(0, 0, 0), 3, 0, 1.5)
Set txt = AddText("문자", 1, 1, 2.5)

' A miss, then a circle: one prompt per attempt, no wrong-type message, the pick point kept.
gSim.ClearCommandLine
gSim.QueueMiss
gSim.QueuePick cir, 7, 5
Set e = pub.GetCircle()
AssertEqual e.Handle, cir.Handle, "GetCircle returns the circle picked after a miss"
AssertEqual gSim.CommandLine, vbCrLf & vbCrLf & "원 선택: " & vbCrLf & vbCrLf & "원 선택: ", "two prompts, no message"
AssertEqual PtText(pub.GetPickPoint), "7,5,0", "the pick point is kept"

' GetText keeps no pick point.
gSim.QueuePick txt, 1, 1
Set e = pub.GetText("문자를 고르시오: ")
AssertEqual e.ObjectName, "AcDbText", "GetText returns the text"
AssertEqual PtText(pub.GetPickPoint), "7,5,0", "GetText leaves the last pick point"

' GetPLine: an arc is re-asked without bIncludeArc and accepted with it.
gSim.ClearCommandLine
gSim.QueuePick arc, 3, 0
gSim.QueuePick ln, 2, 0
Set e = pub.GetPLine()
AssertEqual e.ObjectName, "AcDbLine", "GetPLine accepts a line"
AssertTrue InStr(gSim.CommandLine, vbCrLf & "** 폴리선이 아닙니다. 다시 선택하십시오 **") > 0, "the polyline message"
gSim.QueuePick arc, 3, 0
Set e = pub.GetPLine(, True)
AssertEqual e.ObjectName, "AcDbArc", "GetPLine with bIncludeArc accepts the arc"

' GetEntityName: class names in any case; the default message after a wrong pick.
gSim.ClearCommandLine
gSim.QueuePick txt, 1, 1
gSim.QueuePick cir, 5, 7
Set e = pub.GetEntityName("acdbLINE,ACDBCIRCLE")
AssertEqual e.Handle, cir.Handle, "GetEntityName accepts a listed class"
AssertTrue InStr(gSim.CommandLine, vbCrLf & "** 지원되는 객체가 아닙니다. 다시 선택하십시오 **") > 0, "the default message"
AssertTrue InStr(gSim.CommandLine, vbCrLf & vbCrLf & "객체 선택: ") = 1, "the default prompt"

' GetEntityEx compares automation type names and writes the caller's message.
gSim.ClearCommandLine
gSim.QueuePick ln, 1, 0
gSim.QueuePick cir, 3, 5
Set e = pub.GetEntityEx("iacadcircle,IAcadArc", "원 또는 호: ", "원이나 호를 고르십시오")
AssertEqual e.Handle, cir.Handle, "GetEntityEx accepts the circle"
AssertTrue InStr(gSim.CommandLine, vbCrLf & "** 원이나 호를 고르십시오 **") > 0, "the caller's message"

' GetObj and GetCurve take what they are asked for; GetSubObj keeps its pick point too.
gSim.QueuePick txt, 1, 1
Set e = pub.GetObj()
AssertEqual e.Handle, txt.Handle, "GetObj takes any entity"
gSim.QueuePick txt, 1, 1
gSim.QueuePick arc, 0, 3
Set e = pub.GetCurve()
AssertEqual e.Handle, arc.Handle, "GetCurve re-asks on a text"
gSim.QueuePick ln, 4, 0
Set e = pub.GetSubObj()
AssertEqual e.Handle, ln.Handle, "GetSubObj"
AssertEqual PtText(pub.GetPickPoint), "4,0,0", "GetSubObj keeps its point"
gSim.QueuePick arc, 0, 3
Set e = pub.GetArc()
AssertEqual e.Handle, arc.Handle, "GetArc"
gSim.QueuePick ln, 1, 0
Set e = pub.GetLine()
AssertEqual e.Handle, ln.Handle, "GetLine"

' A cancel (0x80020009) returns Nothing without an error, also after a miss, and an empty queue too.
gSim.QueueMiss
gSim.QueueCancel
Set e = pub.GetObj()
AssertTrue e Is Nothing, "a cancel gives Nothing"
Set e = pub.GetCircle()
AssertTrue e Is Nothing, "no input gives Nothing"

' Any other failure ends with the cancel error; a failure that leaves errno at 7 is a miss.
On Error Resume Next
gSim.QueueMiss
gSim.QueueFailure &H80004005
Set e = pub.GetObj()
AssertEqual Err.Description, "*취소*", "the cancel error's text"
AssertEqual Err.Source, "", "the cancel error names no source"
AssertErr &H80040005, "a failed pick after a miss gives the cancel error"
On Error GoTo 0
gSim.QueueFailure &H80004005, 7
gSim.QueuePick ln, 1, 0
Set e = pub.GetLine()
AssertEqual e.Handle, ln.Handle, "a failure with errno 7 is asked again"
AssertEqual gSim.PendingInputs, 0, "every scripted answer used"

' Without a drawing the pick call fails and the picker raises the cancel error.
Dim bare
Set bare = CreateObject("KelvaSub.clsPub")
On Error Resume Next
Set e = bare.GetObj()
AssertErr &H80040005, "no drawing: the cancel error"
On Error GoTo 0
Done
