#pragma once
// The text expression evaluator behind clsCalculator: + - * / ^, brackets, Sin Cos Tan in degrees and
// their inverses (a ratio in, degrees out), the square root sign and π. The result is text: the number
// with up to 15 significant digits, the input unchanged when it holds nothing to compute, or one of
// the messages below. Other faults (a function argument that is no number, a ")" before its "(",
// a negative square root, an overflow, an expression above 32767 characters) raise the runtime's error.
#include <string>
#include <string_view>

namespace kelva::eng {

inline constexpr wchar_t kMissingLeftBracket[] = L"좌측 괄호 개수 부족";
inline constexpr wchar_t kMissingRightBracket[] = L"우측 괄호 개수 부족";
inline constexpr wchar_t kDivisionByZero[] = L"에러 : 0으로 나눔";

std::wstring calculate(std::wstring_view input);

}  // namespace kelva::eng
