' What a script engine really sends to the dispatch layer, and what it gets back.
'#include "assert.vbs"
Dim probe, n, q, a, b, texts, v, wide
Set probe = CreateObject("KelvaProbe.Probe")

' A typed ByRef parameter marked as written back: the script variable keeps its own type.
n = 21
probe.Twice n
AssertEqual n, 42, "Twice writes back"
AssertEqual VarType(n), vbInteger, "still an Integer"
wide = CLng(100)
probe.Twice wide
AssertEqual wide, 200, "Twice on a Long"
AssertEqual VarType(wide), vbLong, "still a Long"
probe.Twice (n)
AssertEqual n, 42, "a parenthesised argument goes by value"

' Not marked: a member's change to its own copy never reaches the script.
q = 3
AssertEqual probe.ScaleQuietly(q), 6, "ScaleQuietly result"
AssertEqual q, 3, "ScaleQuietly leaves the variable alone"
AssertEqual VarType(q), vbInteger, "and its type"
AssertEqual probe.Echo(12), "<12>", "a number to a String parameter"

' Left-out optionals: the defaults given in code, Korean and line breaks intact.
AssertEqual probe.Optionals(), "missing|" & vbCrLf & "점 선택: |3", "all left out"
AssertEqual probe.Optionals(, "p"), "missing|p|3", "first left out"
AssertEqual probe.Optionals(1.5, , 9), "vt5|" & vbCrLf & "점 선택: |9", "middle left out"

' Script arrays (Variant arrays) feed typed array parameters, and come back as Variant arrays.
a = Array(1, "2.5", 3)
AssertEqual probe.Sum(a), 6.5, "Sum of a script array"
texts = Array("a", 2, "다")
probe.Reverse texts
AssertEqual texts(0), "다", "Reverse works on the script's array"
AssertEqual texts(2), "a", "last element"
AssertEqual UBound(texts), 2, "still indexable"

' Variant parameters written back exchange the caller's values with their types.
a = "x"
b = 2.5
probe.Swap a, b
AssertEqual a, 2.5, "Swap first"
AssertEqual b, "x", "Swap second"

' A returned array of doubles reaches the script as an array (VarType 8197).
v = probe.MakePoint(1, 2, 3)
AssertEqual VarType(v), vbArray + vbDouble, "MakePoint gives an array of doubles"

' Errors: number, description and source reach Err.
On Error Resume Next
probe.Fail 91, "설명", "Src"
AssertEqual Err.Number, 91, "Err.Number"
AssertEqual Err.Description, "설명", "Err.Description"
AssertEqual Err.Source, "Src", "Err.Source"
Err.Clear
probe.Fail &H80040005, "*취소*", ""
AssertEqual Err.Number, &H80040005, "a user-defined object error"
AssertEqual Err.Description, "*취소*", "its description"
Err.Clear
probe.Twice
AssertErr 449, "a required argument left out"
probe.Twice 1, 2
AssertErr 450, "too many arguments"
probe.Echo Null
AssertErr 13, "Null to a String parameter"
n = "abc"
probe.Twice n
AssertErr 13, "a text that is no number"
n = 30000
probe.Twice n
AssertErr 6, "overflow inside the member"
AssertEqual n, 30000, "a failed call writes nothing back"
probe.NoSuchMember
AssertErr 438, "an unknown member"
On Error GoTo 0

' Object properties by Set.
Set probe.Target = probe
AssertTrue probe.Target Is probe, "Target by Set"
Set probe.Target = Nothing
AssertTrue probe.Target Is Nothing, "Target back to Nothing"
Done
