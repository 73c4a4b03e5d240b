' clsCalculator through late binding: results, messages and faults.
'#include "assert.vbs"

Dim c, s
Set c = CreateObject("KelvaSub.clsCalculator")

AssertEqual c.Txt_Calculate("1,000+2"), "1002", "thousands separators"
AssertEqual c.Txt_Calculate("(2+3)*4"), "20", "brackets"
AssertEqual c.Txt_Calculate("2^3^2"), "64", "powers left to right"
AssertEqual c.Txt_Calculate("8/2*4"), "16", "division and product left to right"
AssertEqual c.Txt_Calculate("2*-3"), "-6", "sign after an operator"
AssertEqual c.Txt_Calculate("2^-1"), "0.5", "negative power"
AssertEqual c.Txt_Calculate("(10^20)/10"), "1E+19", "bracket values stay numbers"
AssertEqual c.Txt_Calculate("(1/100000)*2"), "2E-05", "small bracket values"
AssertEqual c.Txt_Calculate("Sin30"), "0.5", "sine in degrees"
AssertEqual c.Txt_Calculate("ArcSin0.5"), "30", "inverse sine in degrees"
AssertEqual c.Txt_Calculate("√16"), "4", "square root sign"
AssertEqual c.Txt_Calculate("sin30+1"), "1", "function names are exact in case"
AssertEqual c.Txt_Calculate("12.50"), "12.50", "nothing to compute"
AssertEqual c.Txt_Calculate("5/0"), "에러 : 0으로 나눔", "division by zero"
AssertEqual c.Txt_Calculate("(1/0)+2"), "에러 : 0으로 나눔", "division by zero inside brackets"
AssertEqual c.Txt_Calculate("((1+2)"), "우측 괄호 개수 부족", "a missing right bracket"
AssertEqual c.Txt_Calculate("(1+2))"), "좌측 괄호 개수 부족", "a missing left bracket"

On Error Resume Next
s = c.Txt_Calculate("Sinx")
AssertErr 13, "a function argument that is no number"
s = c.Txt_Calculate(")1+2(")
AssertErr 5, "a closing bracket first"
s = c.Txt_Calculate(String(32768, "1"))
AssertErr 6, "too long"
s = c.Txt_Calculate(String(5000, "(") & "1+1" & String(5000, ")"))
AssertErr 0, "deep nesting"
AssertEqual s, "2", "deep nesting result"
On Error GoTo 0

Done
