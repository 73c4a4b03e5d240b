' clsPub before its caller hands it a drawing, and bad arguments from a script.
'#include "assert.vbs"
Dim pub, other, v
Set pub = CreateObject("KelvaSub.clsPub")
AssertTrue pub.ThisDrawing Is Nothing, "ThisDrawing starts as Nothing"
AssertEqual pub.XXX, True, "XXX"
AssertTrue IsEmpty(pub.GetPickPoint), "no pick yet on this thread"

On Error Resume Next
v = pub.GetVersion
AssertErr 91, "GetVersion without a drawing"
pub.CmdPrompt "x"
AssertErr 91, "CmdPrompt without a drawing"
v = pub.CheckESC
AssertErr 91, "CheckESC without a drawing"
v = pub.GetPnt()
AssertErr 0, "GetPnt without a drawing raises nothing"
On Error GoTo 0
AssertTrue IsEmpty(v), "GetPnt without a drawing gives Empty"

' Bad input reaches Err with the numbers a Basic caller knows; nothing crashes.
On Error Resume Next
pub.CmdPrompt Null
AssertErr 13, "CmdPrompt with Null"
pub.CmdPrompt
AssertErr 449, "CmdPrompt without its argument"
v = pub.GetPnt(1, 2, 3)
AssertErr 450, "GetPnt with too many arguments"
pub.ThisDrawing = "a document"
AssertErr 438, "ThisDrawing takes no plain value"
Set pub.ThisDrawing = Nothing
AssertErr 0, "ThisDrawing can be set to Nothing"
Set v = pub.GetEntityEx("AcDbLine")
AssertErr &H80040005, "a picker without a drawing gives the cancel error"
On Error GoTo 0

' The pick point belongs to the thread: every object of this thread sees the same (Empty) one.
Set other = CreateObject("KelvaSub.clsPub")
AssertTrue IsEmpty(other.GetPickPoint), "another object of the thread"
Done
