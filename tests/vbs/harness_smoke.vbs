' The scenario harness itself: Korean text survives the trip through code page 949, and a
' scenario's last line decides.
Option Explicit
'#include "assert.vbs"
Dim s
s = "한글 기호 ㎡"
AssertEqual Len(s), 7, "Korean text arrives as 7 characters"
AssertEqual Asc(Left(s, 1)), Asc("한"), "first character"
Done
