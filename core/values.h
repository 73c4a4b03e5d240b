#pragma once
// The value rules of the original runtime that the suite's behaviour depends on, each in one place:
// 16-bit Integer arithmetic, the two rounding rules, Fix/Int, the leading-number reading of a text,
// strict text-to-number conversion and the 15-digit number text.
#include <cstdint>
#include <string>
#include <string_view>

namespace kelva {

// Integer (16-bit) arithmetic: a result outside -32768..32767 raises error 6.
std::int16_t add16(std::int16_t a, std::int16_t b);
std::int16_t sub16(std::int16_t a, std::int16_t b);
std::int16_t mul16(std::int16_t a, std::int16_t b);
// Integer division (\): truncates toward zero; 0 raises 11, -32768 \ -1 raises 6.
std::int16_t idiv16(std::int16_t a, std::int16_t b);
std::int16_t mod16(std::int16_t a, std::int16_t b);

// Conversions to Integer and Long round half to even and raise 6 when out of range (NaN too).
std::int16_t toInt16(double v);
std::int32_t toInt32(double v);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double v);
// Fixed decimals as a formatted number shows them: halves away from zero, decided on the 15
// significant digits the number is shown with (2.675 at 2 decimals is 2.68).
double roundFixed(double v, int decimals);
// The text of v with exactly `decimals` decimals, rounded as roundFixed ("-0.00" never appears).
std::wstring formatFixed(double v, int decimals);
// The same text appended to `out`, for callers that build long texts of many numbers.
void appendFixed(std::wstring& out, double v, int decimals);
// |v| in whole units of 10^-decimals as that text shows it ("12.35" at 2 decimals is 1235), when it
// can be had quickly in 64-bit integers (the everyday range of drawing numbers); false otherwise,
// and then only the text tells.
bool fixedUnits(double v, int decimals, std::uint64_t& units);

// Fix truncates toward zero, Int rounds toward minus infinity.
double fixValue(double v);
double intValue(double v);

// The leading number of a text, as Val reads it: blanks, tabs and line feeds are skipped anywhere,
// "." is the only decimal point, an exponent may follow (E or D); 0 when no number leads.
double leadingNumber(std::wstring_view text);

// Strict conversion of a whole text to Double: surrounding blanks are allowed, anything else that is
// not part of the number raises 13; an empty text raises 13; a number beyond Double raises 6.
double parseDouble(std::wstring_view text);
// The same without raising.
bool tryParseDouble(std::wstring_view text, double& out);

// A Double as text with up to 15 significant digits: plain notation from 1E-04 to below 1E+15,
// else scientific ("1E-05", "1.5E+20"); no trailing zeros, no leading blank, "0" for zero.
std::wstring formatDouble(double v);

}  // namespace kelva
