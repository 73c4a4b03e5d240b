#include "table_logic.h"

#include <cmath>
#include <cwctype>

#include "core/errors.h"
#include "core/values.h"

namespace kelva::eng {

namespace {
// Loop bounds are 16-bit in the helpers' contract: a list beyond 32767 entries overflows.
std::int16_t upper16(const LineList& l) {
    const std::int32_t ub = l.upperBound();
    if (ub > 32767 || ub < -32768) raise(err::Overflow);
    return static_cast<std::int16_t>(ub);
}

std::wstring::size_type colonOf(std::wstring_view area) {
    const auto p = area.find(L':');
    if (p == std::wstring_view::npos) raise(err::InvalidCall);
    return p;
}

std::int16_t integerOf(std::wstring_view text) { return toInt16(parseDouble(text)); }

struct Address {
    std::int16_t row;
    std::int16_t col;
};
Address parseAddress(std::wstring_view a) {
    // The row runs from the second character to the first "C" found from the third character on.
    const auto c = a.size() >= 3 ? a.find(L'C', 2) : std::wstring_view::npos;
    if (c == std::wstring_view::npos) raise(err::InvalidCall);
    return {integerOf(a.substr(1, c - 1)), integerOf(a.substr(c + 1))};
}

std::int16_t countBetween(std::int16_t first, std::int16_t last) {
    if (last < first) return 0;
    return add16(sub16(last, first), 1);
}
}  // namespace

bool withinTolerance(double a, double b, double tol) { return std::fabs(b - a) <= tol; }

double nextDistinctCoordinate(const LineList& lines, std::int16_t start, double tol, int element) {
    const std::int16_t ub = upper16(lines);
    for (std::int32_t i = add16(start, 1); i <= ub; ++i) {
        const double prev = lines.element(i - 1, element);
        const double cur = lines.element(i, element);
        if (!withinTolerance(prev, cur, tol)) return cur;
    }
    return 0.0;
}

std::int16_t nextLine(const LineList& lines, std::int16_t start, bool byX, double tol) {
    const std::int16_t ub = upper16(lines);
    const int e = byX ? 0 : 1;
    for (std::int32_t i = add16(start, 1); i <= ub; ++i)
        if (!withinTolerance(lines.element(i - 1, e), lines.element(i, e), tol)) return static_cast<std::int16_t>(i);
    return 0;
}

bool isColumnLine(const LineList& cols, const LineList& rows, std::int16_t k, std::int16_t first, std::int16_t last, double tol) {
    const double top = cols.element(k, 1), bottom = cols.element(k, 3);
    const double yS = rows.element(first, 1), yE = rows.element(last, 1);
    bool result = false;
    if (top >= yS && bottom <= yE) result = true;
    if (top <= yS && bottom >= yE && withinTolerance(top, yS, tol) && withinTolerance(bottom, yE, tol)) result = true;
    if (top >= yS && bottom >= yE && withinTolerance(bottom, yE, tol)) result = true;
    if (top <= yS && bottom <= yE && withinTolerance(top, yS, tol)) result = true;
    return result;
}

bool isRowLine(const LineList& cols, const LineList& rows, std::int16_t k, std::int16_t first, std::int16_t last, double tol) {
    const double left = rows.element(k, 0), right = rows.element(k, 2);
    const double xS = cols.element(first, 0), xE = cols.element(last, 0);
    bool result = false;
    if (left <= xS && right >= xE) result = true;
    if (left >= xS && right <= xE && withinTolerance(left, xS, tol) && withinTolerance(right, xE, tol)) result = true;
    if (left <= xS && right <= xE && withinTolerance(right, xE, tol)) result = true;
    if (left >= xS && right >= xE && withinTolerance(left, xS, tol)) result = true;
    return result;
}

bool isNumericText(std::wstring_view t) {
    size_t b = 0, e = t.size();
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; };
    while (b < e && blank(t[b])) ++b;
    while (e > b && blank(t[e - 1])) --e;
    if (b == e) return false;
    std::wstring_view s = t.substr(b, e - b);
    if (s.size() > 2 && s[0] == L'&') {
        const wchar_t kind = static_cast<wchar_t>(std::towupper(s[1]));
        if (kind == L'H' || kind == L'O') {
            for (wchar_t c : s.substr(2)) {
                const bool ok = kind == L'H' ? std::iswxdigit(c) != 0 : (c >= L'0' && c <= L'7');
                if (!ok) return false;
            }
            return true;
        }
        return false;
    }
    size_t i = 0;
    if (s[i] == L'+' || s[i] == L'-') ++i;
    bool digits = false;
    while (i < s.size() && ((s[i] >= L'0' && s[i] <= L'9') || (s[i] == L',' && digits))) {
        if (s[i] != L',') digits = true;
        ++i;
    }
    if (i < s.size() && s[i] == L'.') {
        ++i;
        while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') {
            digits = true;
            ++i;
        }
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == L'E' || s[i] == L'e' || s[i] == L'D' || s[i] == L'd')) {
        ++i;
        if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
        bool exp = false;
        while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') {
            exp = true;
            ++i;
        }
        if (!exp) return false;
    }
    return i == s.size();
}

std::wstring numberFormatFor(std::wstring_view text) {
    if (!isNumericText(text)) return L"@";
    const bool grouped = text.find(L',') != std::wstring_view::npos;
    const auto point = text.find(L'.');
    if (point != std::wstring_view::npos) {
        const size_t decimals = text.size() - point - 1;
        if (decimals > 32767) raise(err::Overflow);
        return std::wstring(grouped ? L"#,##0." : L"0.") + std::wstring(decimals, L'0');
    }
    return grouped ? L"#,##0" : L"0";
}

std::wstring deleteSpaces(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (c != L' ') out += c;
    return out;
}

void advanceOverArea(std::wstring_view area, std::int16_t& row, std::int16_t& col) {
    const auto colon = colonOf(area);
    const Address a = parseAddress(area.substr(0, colon));
    const Address b = parseAddress(area.substr(colon + 1));
    const std::int16_t rows = countBetween(a.row, b.row);
    const std::int16_t cols = countBetween(a.col, b.col);
    const std::int16_t newRow = sub16(add16(row, rows), 1);
    const std::int16_t newCol = sub16(add16(col, cols), 1);
    row = newRow;
    col = newCol;
}

std::wstring verticalText(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0) out += L'\n';
        out += text[i];
    }
    return out;
}

std::wstring mergeText(std::wstring_view area) { return std::wstring(area.substr(0, colonOf(area))); }

double largestHeight(const std::function<std::int32_t()>& count, const std::function<double(std::int16_t)>& heightAt) {
    double largest = heightAt(0);
    const std::int32_t last = count() - 1;
    if (last > 32767) raise(err::Overflow);
    for (std::int32_t i = 0; i <= last; ++i) {
        const double h = heightAt(static_cast<std::int16_t>(i));
        if (h > largest) largest = h;
    }
    return largest;
}

}  // namespace kelva::eng
