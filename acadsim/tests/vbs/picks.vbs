' Scripted user input: picks, misses, cancels and failures, and what the command line shows.
Option Explicit
'#include "assert.vbs"
'#include "acadsim.vbs"
Dim l, t, e, p, ss, n

AcadAttach
Set l = AddLine(0, 0, 10, 0)
Set t = AddText("A", 0, 5, 2.5)

' A miss sets errno 7 and fails the pick; the next answer is taken by the next call.
gSim.QueueMiss
gSim.QueuePick l, 4, 0
On Error Resume Next
gUtil.GetEntity e, p, vbCrLf & "객체 선택: "
AssertErr &H80020009, "a missed pick"
On Error GoTo 0
AssertEqual gDoc.GetVariable("errno"), 7, "errno after a miss"
gUtil.GetEntity e, p, vbCrLf & "객체 선택: "
AssertTrue e Is l, "the picked entity comes back by reference"
AssertEqual PtText(p), "4,0,0", "and the pick point"
AssertEqual gDoc.GetVariable("errno"), 7, "errno is kept after a successful pick"
gDoc.SetVariable "errno", 0

' Cancel (Esc): DISP_E_EXCEPTION, and the command line ends in *Cancel*.
gSim.QueueCancel
On Error Resume Next
gUtil.GetEntity e, p, vbCrLf & "문자 선택: "
AssertErr &H80020009, "a cancelled pick"
On Error GoTo 0
AssertEqual gDoc.GetVariable("LastPrompt"), "문자 선택: *Cancel*", "LastPrompt after a cancel"

' Another failure carries its own number; an empty queue cancels.
gSim.QueueFailure &H80004005
On Error Resume Next
gUtil.GetEntity e, p
AssertErr &H80004005, "an injected input failure"
gUtil.GetPoint , vbCrLf & "점 선택: "
AssertErr &H80020009, "an empty queue cancels"
On Error GoTo 0

' Points, with and without a base point.
gSim.QueuePoint 3, 4
gSim.QueuePoint 5, 6, 7
p = gUtil.GetPoint(, vbCrLf & "점 선택: ")
AssertEqual PtText(p), "3,4,0", "point without base"
p = gUtil.GetPoint(Pt(0, 0, 0), vbCrLf & "다음 점: ")
AssertEqual PtY(p), 6, "point with base"

' The sub-entity pick gives the entity and the point too.
gSim.QueuePick t.Handle, 1, 5
Dim m, ctx
gUtil.GetSubEntity e, p, m, ctx, vbCrLf & "객체 선택: "
AssertEqual e.ObjectName, "AcDbText", "sub-entity pick"

' On-screen selection keeps only what the filter lets through.
Set ss = gDoc.SelectionSets.Add("SelSet")
gSim.QueueSelection l.Handle & "," & t.Handle
ss.SelectOnScreen Array(0), Array("text,mtext")
AssertEqual ss.Count, 1, "filtered on-screen selection"
AssertEqual ss(0).TextString, "A", "the text was selected"

' The command line is a log; prompts and commands show up in it.
gUtil.Prompt vbCrLf & "** 끝 **"
gDoc.SendCommand "(load ""Kelva.lsp"")" & vbCr
AssertTrue InStr(gSim.CommandLine, "** 끝 **") > 0, "prompt logged"
AssertEqual gSim.SentCommands, "(load ""Kelva.lsp"")" & vbCr & vbLf, "command logged"
AssertEqual gSim.PendingInputs, 0, "every answer was used"
Done
