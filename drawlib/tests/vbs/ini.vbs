' clsIni: Korean sections, keys and values in a code page 949 file; a long value is cut at 254 bytes
' without half a character.
Option Explicit
'#include "assert.vbs"
Dim ini, fso, path, s, k, v, section, key
Set ini = CreateObject("KelvaSub.clsIni")
Set fso = CreateObject("Scripting.FileSystemObject")
path = fso.GetSpecialFolder(2).Path & "\한글설정.ini"
If fso.FileExists(path) Then fso.DeleteFile path

AssertTrue ini.WriteIni(path, "설정", "이름", "홍길동"), "WriteIni"
AssertEqual ini.ReadIni(path, "설정", "이름"), "홍길동", "ReadIni"
AssertEqual ini.ReadIni(path, "설정", "없음"), "", "a missing key without default"
AssertEqual ini.ReadIni(path, "설정", "없음", "기본"), "기본", "a missing key with default"
AssertTrue ini.WriteIni(path, "설정", "빈값", ""), "an empty value"
AssertEqual ini.ReadIni(path, "설정", "빈값", "기본"), "기본", "an empty value reads as the default"

' The file holds code page 949 text: read as that code page, it shows the Korean words.
Dim stream
Set stream = fso.OpenTextFile(path, 1)
s = stream.ReadAll
stream.Close
AssertTrue InStr(s, "[설정]") > 0, "section in code page 949"
AssertTrue InStr(s, "이름=홍길동") > 0, "key and value in code page 949"

v = "a"
For k = 1 To 200
  v = v & "가"
Next
AssertTrue ini.WriteIni(path, "설정", "긴값", v), "a long value"
s = ini.ReadIni(path, "설정", "긴값")
AssertEqual Len(s), 127, "1 + 2 x 126 bytes: the 127th character would be cut in half"
AssertEqual s, Left(v, 127), "the start of the value"

section = "설정"
key = "이름"
AssertTrue ini.DeleteKey(section, key, path), "DeleteKey"
AssertEqual ini.ReadIni(path, "설정", "이름", "없음"), "없음", "the key is gone"
AssertEqual key, "이름", "DeleteKey leaves its arguments"
AssertTrue ini.DeleteSection(section, path), "DeleteSection"
AssertEqual ini.ReadIni(path, "설정", "긴값", "없음"), "없음", "the section is gone"
AssertTrue Not ini.WriteIni("Q:\no\such\folder\x.ini", "s", "k", "v"), "an unwritable place"
fso.DeleteFile path
Done
