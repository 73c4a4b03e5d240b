' Shared assertions for VBScript scenarios. A failed assertion prints FAIL and ends the script, so its
' last line is not PASS; Done prints PASS when every assertion held.
Dim gFailures
gFailures = 0

Sub Fail(msg)
  WScript.Echo "FAIL: " & msg
  WScript.Quit 1
End Sub

Sub AssertTrue(cond, msg)
  If Not cond Then Fail msg
End Sub

Sub AssertEqual(actual, expected, msg)
  If VarType(actual) <> VarType(expected) And Not (IsNumeric(actual) And IsNumeric(expected)) Then
    Fail msg & ": type " & TypeName(actual) & " <> " & TypeName(expected)
  ElseIf actual <> expected Then
    Fail msg & ": got [" & actual & "] expected [" & expected & "]"
  End If
End Sub

Sub AssertNear(actual, expected, tolerance, msg)
  If Abs(actual - expected) > tolerance Then Fail msg & ": got " & actual & " expected " & expected
End Sub

' Runs nothing itself: call as  On Error Resume Next : <call> : AssertErr 91, "msg" : On Error GoTo 0
Sub AssertErr(number, msg)
  If Err.Number <> number Then
    Dim got
    got = Err.Number
    Err.Clear
    Fail msg & ": error " & got & " (" & Hex(got) & ") expected " & number
  End If
  Err.Clear
End Sub

Sub Done()
  WScript.Echo "PASS"
End Sub
