#include "numeric.h"

#include <cmath>

#include "core/errors.h"
#include "core/values.h"
#include "geometry.h"

namespace kelva::draw {

double checkedResult(double v) {
    if (std::isinf(v)) raise(err::Overflow);
    if (std::isnan(v)) raise(err::InvalidCall);
    return v;
}

double checkedDiv(double a, double b) {
    if (b == 0.0) raise(a == 0.0 || std::isnan(a) ? err::Overflow : err::DivisionByZero);
    return checkedResult(a / b);
}

double checkedSqrt(double v) {
    if (v < 0.0) raise(err::InvalidCall);
    return checkedResult(std::sqrt(v));
}

double checkedLog(double v) {
    if (!(v > 0.0)) raise(err::InvalidCall);
    return checkedResult(std::log(v));
}

std::wstring rept(std::wstring_view text, int count) {
    std::wstring out;
    if (count <= 0) return out;
    out.reserve(text.size() * static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) out += text;
    return out;
}

double exMod(double value, double divide) {
    const double q = fixValue(checkedDiv(value, divide));
    return std::fabs(checkedResult(value - checkedResult(divide * q)));
}

double portionNumber(double value, double divide, int roundMode) {
    const double q = fixValue(checkedDiv(value, divide));
    if (roundMode == 1) return q + 1;
    if (roundMode == 2) return q - 1;
    return q;
}

double multipleNumber(double number, double multiple) {
    return checkedResult(portionNumber(number, multiple, 1) * multiple);
}

double fixByNumber(double number, double fix) {
    // Nearest multiple, ties to the lower one, on both sides of zero: multiples of -10 are those of 10.
    const double step = std::fabs(fix);
    const double lower = checkedResult(std::floor(checkedDiv(number, step)) * step);
    return number - lower > step / 2 ? checkedResult(lower + step) : lower;
}

double radToDeg(double radian) { return checkedDiv(checkedResult(radian * 180.0), pi()); }
double degToRad(double degree) { return checkedDiv(checkedResult(pi() * degree), 180.0); }

namespace {

// Round(x, 10) = 0: the snap tests ignore what lies below the tenth decimal.
bool negligible(double v) { return roundHalfEven(std::fabs(v) * 1e10) == 0.0; }

// Values that no grid of iPlace >= 0 can move: whole numbers beyond the mantissa's fraction bits.
constexpr double kWholeFromHere = 4503599627370496.0;  // 2^52

enum class Snap { None, Whole, Unchanged };

// The snap of both rounding members: a value within 5e-11 of its grid point stays as it is.
// The scaled fraction is rounded as a Double, so no iPlace overflows a 16-bit step.
Snap snapTest(double value, int place, double p) {
    if (place < 0) return Snap::None;
    const double i = fixValue(value);
    if (place == 0) return negligible(value - i) ? Snap::Whole : Snap::None;
    const double r = roundHalfEven((value - i) * p);
    return negligible(value - (r / p + i)) ? Snap::Unchanged : Snap::None;
}

double gridScale(int place) { return std::pow(10.0, place); }

}  // namespace

double roundUp(double value, int place) {
    if (value == 0.0) return 0.0;
    if (place >= 0 && std::fabs(value) >= kWholeFromHere) return value;
    const double p = gridScale(place);
    if (std::isinf(p)) return value;  // finer than any Double can hold
    switch (snapTest(value, place, p)) {
        case Snap::Whole: return fixValue(value);
        case Snap::Unchanged: return value;
        case Snap::None: break;
    }
    if (p == 0.0) {
        // A grid coarser than any Double: zero is the next point up from a negative value, and the
        // next point up from a positive one lies beyond the Double range.
        if (value > 0) raise(err::Overflow);
        return 0.0;
    }
    const double t = value * p;
    if (std::isinf(t)) return value;
    if (t != fixValue(t) && value > 0) return checkedDiv(fixValue(t) + 1, p);
    return checkedDiv(fixValue(t), p);
}

double roundDown(double value, int place) {
    if (value == 0.0) return 0.0;
    if (place >= 0 && std::fabs(value) >= kWholeFromHere) return value;
    const double p = gridScale(place);
    if (std::isinf(p)) return value;
    switch (snapTest(value, place, p)) {
        case Snap::Whole: return fixValue(value);
        case Snap::Unchanged: return value;
        case Snap::None: break;
    }
    const double t = value * p;
    if (std::isinf(t)) return value;
    if (p == 0.0) return 0.0;
    return checkedDiv(fixValue(t), p);
}

std::wstring removeNull(std::wstring_view text) {
    std::wstring out;
    for (wchar_t c : text)
        if (c != L'\r' && c != L'\n' && c != L'\0') out += c;
    const size_t b = out.find_first_not_of(L' ');
    if (b == std::wstring::npos) return {};
    const size_t e = out.find_last_not_of(L' ');
    return out.substr(b, e - b + 1);
}

namespace {
bool isDigitChar(wchar_t c) { return c >= L'0' && c <= L'9'; }
}

bool isNumber(std::wstring_view text) {
    std::wstring s;
    for (wchar_t c : text)
        if (c != L' ' && c != L',') s += c;
    if (s.empty()) return false;
    s = removeNull(s);
    // A text of nothing but line breaks and NULs is no number.
    if (s.empty()) return false;
    const size_t firstPoint = s.find(L'.');
    for (size_t k = 0; k < s.size(); ++k) {
        const wchar_t c = s[k];
        if (isDigitChar(c)) continue;
        if ((c == L'+' || c == L'-') && k == 0 && s.size() > 1) continue;
        if (c == L'.' && k == firstPoint && s.size() > 1) continue;
        return false;
    }
    return true;
}

std::wstring getNumber(std::wstring_view text) {
    std::wstring s;
    for (wchar_t c : text)
        if (c != L' ') s += c;
    if (isNumber(s)) return s;
    std::wstring r;
    for (size_t k = 0; k < s.size(); ++k) {
        const wchar_t c = s[k];
        if (c == L'.' || c == L',') {
            if (k >= 1 && isDigitChar(s[k - 1])) r += c;
        } else if (c == L'-') {
            if (k + 1 < s.size() && isDigitChar(s[k + 1])) r += c;
        } else if (isDigitChar(c)) {
            r += c;
        }
    }
    if (!isNumber(r)) return s;
    if (!r.empty() && r.back() == L'.') r.pop_back();
    if (!r.empty() && r.back() == L',') r.pop_back();
    return r;
}

std::vector<std::wstring> splitText(std::wstring_view text, std::wstring_view delim) {
    std::vector<std::wstring> pieces;
    if (text.empty()) return pieces;
    if (delim.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(delim, start);
        if (at == std::wstring_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, at - start));
        start = at + delim.size();
    }
}

std::vector<double> strToPnt(std::wstring_view coord, std::wstring_view delim) {
    const auto pieces = splitText(coord, delim);
    if (pieces.empty()) raise(err::SubscriptOutOfRange);
    std::vector<double> out;
    out.reserve(pieces.size());
    for (const auto& piece : pieces) out.push_back(parseDouble(piece));
    return out;
}

}  // namespace kelva::draw
