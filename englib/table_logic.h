#pragma once
// The helpers behind clsTable that turn a table drawn with lines and texts into spreadsheet cells:
// distinct grid coordinates among sorted line lists, border tests, number formats for cell texts and
// merged-area addresses of the form R2C3:R4C5. Faults raise the runtime's errors (5, 6, 9, 13).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kelva::eng {

// A list of drawn lines: entry i holds x1, y1, x2, y2 (elements 0..3). element() raises 9 for an
// entry or element that is not there and 13 for one that is no number.
class LineList {
public:
    virtual ~LineList() = default;
    virtual std::int32_t lowerBound() const = 0;
    virtual std::int32_t upperBound() const = 0;
    virtual double element(std::int32_t entry, int index) const = 0;
};

bool withinTolerance(double a, double b, double tol);  // |b - a| <= tol

double nextDistinctCoordinate(const LineList& lines, std::int16_t start, double tol, int element);  // GetTableRX / RY
std::int16_t nextLine(const LineList& lines, std::int16_t start, bool byX, double tol);            // GetNextLine
bool isColumnLine(const LineList& cols, const LineList& rows, std::int16_t k, std::int16_t first, std::int16_t last, double tol);
bool isRowLine(const LineList& cols, const LineList& rows, std::int16_t k, std::int16_t first, std::int16_t last, double tol);

// The platform's numeric test: blanks around, a sign, digits with grouping commas, a decimal point,
// an exponent, or a &H / &O number.
bool isNumericText(std::wstring_view text);
std::wstring numberFormatFor(std::wstring_view text);  // GetNumberFormat
std::wstring deleteSpaces(std::wstring_view text);
// Moves (row, col) from an area's first cell to its last.
void advanceOverArea(std::wstring_view area, std::int16_t& row, std::int16_t& col);
std::wstring verticalText(std::wstring_view text);
std::wstring mergeText(std::wstring_view area);

// The largest height of a selection's items: item 0's height first, then the count, then every item in
// turn, in the order the host is asked.
double largestHeight(const std::function<std::int32_t()>& count, const std::function<double(std::int16_t)>& heightAt);

}  // namespace kelva::eng
