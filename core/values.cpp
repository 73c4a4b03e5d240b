#include "values.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "errors.h"

namespace kelva {

namespace {
std::int16_t checked16(std::int32_t v) {
    if (v < -32768 || v > 32767) raise(err::Overflow);
    return static_cast<std::int16_t>(v);
}

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == 0x3000; }
bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Decimal digits of |v| with 15 significant digits: digits "d0d1...d14" and the decimal exponent of d0.
struct Digits {
    std::string digits;
    int exponent = 0;
};

Digits digits15(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    Digits d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits += *p;
    if (*p == 'e') d.exponent = std::atoi(p + 1);
    return d;
}
}  // namespace

std::int16_t add16(std::int16_t a, std::int16_t b) { return checked16(std::int32_t{a} + b); }
std::int16_t sub16(std::int16_t a, std::int16_t b) { return checked16(std::int32_t{a} - b); }
std::int16_t mul16(std::int16_t a, std::int16_t b) { return checked16(std::int32_t{a} * b); }
std::int16_t idiv16(std::int16_t a, std::int16_t b) {
    if (b == 0) raise(err::DivisionByZero);
    return checked16(std::int32_t{a} / b);
}
std::int16_t mod16(std::int16_t a, std::int16_t b) {
    if (b == 0) raise(err::DivisionByZero);
    return static_cast<std::int16_t>(std::int32_t{a} % b);
}

double roundHalfEven(double v) {
    if (!std::isfinite(v)) return v;
    return std::nearbyint(v);  // the default floating-point environment rounds to nearest even
}

std::int16_t toInt16(double v) {
    const double r = roundHalfEven(v);
    if (!(r >= -32768.0 && r <= 32767.0)) raise(err::Overflow);
    return static_cast<std::int16_t>(r);
}

std::int32_t toInt32(double v) {
    const double r = roundHalfEven(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) raise(err::Overflow);
    return static_cast<std::int32_t>(r);
}

double fixValue(double v) { return std::trunc(v); }
double intValue(double v) { return std::floor(v); }

std::wstring formatFixed(double v, int decimals) {
    if (decimals < 0) decimals = 0;
    if (!std::isfinite(v)) raise(err::Overflow);
    const bool negative = std::signbit(v) && v != 0.0;
    std::string intPart, fracPart;
    if (v == 0.0) {
        intPart = "0";
    } else {
        Digits d = digits15(v);
        // Place the 15 digits around the decimal point, then round half away from zero at `decimals`.
        // Position of the digit that is kept last, counted from d0.
        std::string all = d.digits;  // value = 0.d0d1... * 10^(exponent+1)
        int pointPos = d.exponent + 1; // digits before the point
        if (pointPos <= 0) {
            all = std::string(static_cast<size_t>(-pointPos), '0') + all;
            pointPos = 0;
        }
        const int keep = pointPos + decimals;  // digits kept
        if (static_cast<int>(all.size()) < keep) all.append(static_cast<size_t>(keep) - all.size(), '0');
        bool carry = keep < static_cast<int>(all.size()) && all[static_cast<size_t>(keep)] >= '5';
        all.resize(static_cast<size_t>(keep));
        for (int i = keep - 1; carry && i >= 0; --i) {
            if (all[static_cast<size_t>(i)] == '9') {
                all[static_cast<size_t>(i)] = '0';
            } else {
                ++all[static_cast<size_t>(i)];
                carry = false;
            }
        }
        if (carry) {
            all.insert(all.begin(), '1');
            ++pointPos;
        }
        intPart = all.substr(0, static_cast<size_t>(pointPos));
        fracPart = all.substr(static_cast<size_t>(pointPos));
        size_t nz = intPart.find_first_not_of('0');
        intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    }
    if (static_cast<int>(fracPart.size()) < decimals) fracPart.append(static_cast<size_t>(decimals) - fracPart.size(), '0');
    bool allZero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string text = (negative && !allZero ? "-" : "") + intPart + (decimals > 0 ? "." + fracPart : "");
    return std::wstring(text.begin(), text.end());
}

double roundFixed(double v, int decimals) {
    if (!std::isfinite(v)) return v;
    const std::wstring t = formatFixed(v, decimals);
    return std::wcstod(t.c_str(), nullptr);
}

double leadingNumber(std::wstring_view text) {
    std::string s;  // the number's characters with blanks removed
    size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && isBlank(text[i])) ++i;
    };
    skip();
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        s += static_cast<char>(text[i++]);
        skip();
    }
    bool any = false;
    while (i < text.size() && (isDigit(text[i]) || isBlank(text[i]))) {
        if (isDigit(text[i])) {
            s += static_cast<char>(text[i]);
            any = true;
        }
        ++i;
    }
    if (i < text.size() && text[i] == L'.') {
        s += '.';
        ++i;
        while (i < text.size() && (isDigit(text[i]) || isBlank(text[i]))) {
            if (isDigit(text[i])) {
                s += static_cast<char>(text[i]);
                any = true;
            }
            ++i;
        }
    }
    if (!any) return 0.0;
    if (i < text.size() && (text[i] == L'E' || text[i] == L'e' || text[i] == L'D' || text[i] == L'd')) {
        size_t j = i + 1;
        std::string e = "e";
        while (j < text.size() && isBlank(text[j])) ++j;
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) e += static_cast<char>(text[j++]);
        bool expDigits = false;
        while (j < text.size() && (isDigit(text[j]) || isBlank(text[j]))) {
            if (isDigit(text[j])) {
                e += static_cast<char>(text[j]);
                expDigits = true;
            }
            ++j;
        }
        if (expDigits) s += e;
    }
    errno = 0;
    const double v = std::strtod(s.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(v)) raise(err::Overflow);
    return v;
}

bool tryParseDouble(std::wstring_view text, double& out) {
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    if (b == e) return false;
    std::string s;
    size_t i = b;
    if (text[i] == L'+' || text[i] == L'-') s += static_cast<char>(text[i++]);
    bool digits = false;
    while (i < e && isDigit(text[i])) { s += static_cast<char>(text[i++]); digits = true; }
    if (i < e && text[i] == L'.') {
        s += '.';
        ++i;
        while (i < e && isDigit(text[i])) { s += static_cast<char>(text[i++]); digits = true; }
    }
    if (!digits) return false;
    if (i < e && (text[i] == L'E' || text[i] == L'e' || text[i] == L'D' || text[i] == L'd')) {
        s += 'e';
        ++i;
        if (i < e && (text[i] == L'+' || text[i] == L'-')) s += static_cast<char>(text[i++]);
        bool expDigits = false;
        while (i < e && isDigit(text[i])) { s += static_cast<char>(text[i++]); expDigits = true; }
        if (!expDigits) return false;
    }
    if (i != e) return false;
    errno = 0;
    const double v = std::strtod(s.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(v)) return false;
    out = v;
    return true;
}

double parseDouble(std::wstring_view text) {
    double v = 0;
    if (tryParseDouble(text, v)) return v;
    // Tell an out-of-range number (overflow) from a text that is no number at all (type mismatch).
    std::string s;
    for (wchar_t c : text) s += (c < 0x80) ? static_cast<char>(c) : '?';
    char* end = nullptr;
    errno = 0;
    const double probe = std::strtod(s.c_str(), &end);
    if (errno == ERANGE && std::isinf(probe)) raise(err::Overflow);
    raise(err::TypeMismatch);
}

std::wstring formatDouble(double v) {
    if (std::isnan(v) || std::isinf(v)) raise(err::Overflow);
    if (v == 0.0) return L"0";
    Digits d = digits15(v);
    // Drop trailing zeros of the mantissa.
    size_t last = d.digits.find_last_not_of('0');
    std::string m = d.digits.substr(0, last + 1);
    std::string out = v < 0 ? "-" : "";
    if (d.exponent >= -4 && d.exponent < 15) {
        if (d.exponent >= 0) {
            std::string ip = m.substr(0, std::min<size_t>(m.size(), static_cast<size_t>(d.exponent) + 1));
            if (ip.size() < static_cast<size_t>(d.exponent) + 1) ip.append(static_cast<size_t>(d.exponent) + 1 - ip.size(), '0');
            out += ip;
            if (m.size() > static_cast<size_t>(d.exponent) + 1) out += "." + m.substr(static_cast<size_t>(d.exponent) + 1);
        } else {
            out += "0." + std::string(static_cast<size_t>(-d.exponent - 1), '0') + m;
        }
    } else {
        out += m.substr(0, 1);
        if (m.size() > 1) out += "." + m.substr(1);
        char e[16];
        std::snprintf(e, sizeof e, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
        out += e;
    }
    return std::wstring(out.begin(), out.end());
}

}  // namespace kelva
