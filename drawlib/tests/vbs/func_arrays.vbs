' The array sorts of clsFunc on VBScript's arrays of Variants: sorted in place, written back.
Option Explicit
'#include "assert.vbs"
Dim f, a, t, r, c, list
Set f = CreateObject("KelvaSub.clsFunc")

' This engine has no Join.
Function Joined(arr)
  Dim k
  Joined = ""
  For k = LBound(arr) To UBound(arr)
    If k > LBound(arr) Then Joined = Joined & ","
    Joined = Joined & arr(k)
  Next
End Function

a = Array("A10", "A9", "A09", "a9")
f.AlphanumSort a
AssertEqual Joined(a), "A9,A09,A10,a9", "natural order"
f.AlphanumSort a, True
AssertEqual Joined(a), "a9,A10,A09,A9", "descending is the exact reverse"
f.ReverseArray a
AssertEqual Joined(a), "A9,A09,A10,a9", "ReverseArray"

a = Array("b", "B", "a", "A")
f.SwapSort a
AssertEqual Joined(a), "A,a,B,b", "capitals first"
f.SwapSort a, False
AssertEqual Joined(a), "a,A,b,B", "small letters first"
f.SwapSort a, True, -1
AssertEqual Joined(a), "B,b,A,a", "descending"

' A table of three columns and six rows, sorted by its third column.
ReDim t(2, 5)
Dim keys
keys = Array("r10", "r2", "r33", "r1", "r9", "r05")
For r = 0 To 5
  For c = 0 To 2
    t(c, r) = "c" & c & "-" & keys(r)
  Next
  t(2, r) = keys(r)
Next
f.AlphanumSortMA t, 2
Dim got
got = ""
For r = 0 To 5
  got = got & t(2, r) & ";"
  AssertEqual t(0, r), "c0-" & t(2, r), "row " & r & " stays together"
Next
AssertEqual got, "r1;r2;r05;r9;r10;r33;", "rows by the third column"
f.AlphanumSortMA t, 2, True, 1, 3
got = ""
For r = 0 To 5
  got = got & t(2, r) & ";"
Next
AssertEqual got, "r1;r9;r05;r2;r10;r33;", "a descending range turns only that range"

list = Array(Array(0, 0), Array(5, 0.05), Array(2, 3))
f.SortListZ list, 0.1
AssertEqual list(0)(0) & "," & list(1)(0) & "," & list(2)(0), "2,0,5", "Z order with a tolerance"
list = Array(Array(1, 0), Array(3, 0), Array(2, 0))
f.SortCoordIX list
AssertEqual list(0)(0) & "," & list(1)(0) & "," & list(2)(0), "3,2,1", "X descending"
f.SortListY list, True
AssertEqual UBound(list), 2, "the list keeps its elements"

' A Dim'd array is fixed: a sort fills it in place and it stays fixed; an exchange with an array of
' another shape fails and leaves both as they were.
Dim fixed(2), other(1)
fixed(0) = "n10" : fixed(1) = "n9" : fixed(2) = "n1"
other(0) = "o1" : other(1) = "o2"
f.AlphanumSort fixed
AssertEqual Joined(fixed), "n1,n9,n10", "a fixed array is sorted"
On Error Resume Next
ReDim fixed(5)
AssertErr 10, "and stays fixed"
f.SwapData fixed, other
AssertErr 10, "an exchange of two shapes"
On Error GoTo 0
AssertEqual Joined(fixed) & ";" & Joined(other), "n1,n9,n10;o1,o2", "leaves both as they were"

On Error Resume Next
Dim s
s = "text"
f.AlphanumSort s
AssertErr 13, "a text is no array"
On Error GoTo 0
AssertEqual s, "text", "and stays as it was"
Done
