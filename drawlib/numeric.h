#pragma once
// Number helpers of the toolbox class: checked floating-point steps, rounding on a decimal grid,
// snapping to multiples and the tolerant reading of number texts.
#include <string>
#include <string_view>
#include <vector>

namespace kelva::draw {

// A floating-point step never yields inf or NaN: an infinite result raises overflow (6), a NaN
// from a finite operation raises invalid argument (5). Division by zero raises 11, except 0/0,
// which the runtime reports as overflow.
double checkedResult(double v);
double checkedDiv(double a, double b);
double checkedSqrt(double v);
double checkedLog(double v);

std::wstring rept(std::wstring_view text, int count);
double exMod(double value, double divide);
double roundUp(double value, int place);
double roundDown(double value, int place);
double portionNumber(double value, double divide, int roundMode);
double multipleNumber(double number, double multiple);
double fixByNumber(double number, double fix);
double radToDeg(double radian);
double degToRad(double degree);

bool isNumber(std::wstring_view text);
std::wstring removeNull(std::wstring_view text);
std::wstring getNumber(std::wstring_view text);
// The pieces of a coordinate text as numbers; an empty text has no pieces and raises 9.
std::vector<double> strToPnt(std::wstring_view coord, std::wstring_view delim);
// Splits as the runtime's Split does: an empty text gives no pieces, an empty delimiter one piece.
std::vector<std::wstring> splitText(std::wstring_view text, std::wstring_view delim);

}  // namespace kelva::draw
