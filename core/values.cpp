#include "values.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The 15 significant digits of a (> 0) as one integer and its decimal exponent, exactly as a correctly rounding
// printf gives them (ties to even), in integer arithmetic: a = m * 2^k, and m * 10^(14 - e) / 2^-k
// rounded is the digit string. Covers 1e-8 <= a < 1e15, where everyday drawing numbers lie; false
// elsewhere (and where the compiler has no 128-bit integers), for the general path to take over.
bool fifteenDigits(double a, std::uint64_t& digits15, int& exponent) {
#if defined(__SIZEOF_INT128__)
    using u128 = unsigned __int128;
    if (!(a >= 1e-8 && a < 1e15)) return false;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &a, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);  // a is normal here
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int binary = biased - 1022;  // a = (m / 2^53) * 2^binary
    const int shift = 53 - binary;     // a = m / 2^shift
    if (shift <= 0 || shift >= 127) return false;
    static constexpr std::uint64_t kPow10[] = {1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull,
                                               10000000ull, 100000000ull, 1000000000ull, 10000000000ull,
                                               100000000000ull, 1000000000000ull, 10000000000000ull,
                                               100000000000000ull, 1000000000000000ull, 10000000000000000ull,
                                               100000000000000000ull, 1000000000000000000ull, 10000000000000000000ull};
    auto pow10 = [&](int p) -> u128 {
        return p <= 19 ? u128{kPow10[p]} : u128{kPow10[19]} * kPow10[p - 19];
    };
    int e = ((binary - 1) * 78913) >> 18;  // floor((binary - 1) * log10(2)): 10^e <= a, give or take one
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int p = 14 - e;
        if (p < 0 || p > 22) return false;  // m * 10^p must stay within 128 bits
        const u128 product = u128{m} * pow10(p);
        u128 q = product >> shift;
        const u128 rest = product - (q << shift);
        const u128 half = u128{1} << (shift - 1);
        if (rest > half || (rest == half && (q & 1))) ++q;
        if (q < kPow10[14]) {
            --e;
            continue;
        }
        if (q > kPow10[15] || (q == kPow10[15] && rest != 0 && product >> shift >= kPow10[15])) {
            ++e;
            continue;
        }
        if (q == kPow10[15]) {  // rounded up to the next power of ten
            q = kPow10[14];
            ++e;
        }
        digits15 = static_cast<std::uint64_t>(q);
        exponent = e;
        return true;
    }
    return false;
#else
    (void)a;
    (void)digits15;
    (void)exponent;
    return false;
#endif
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

namespace {
// q without its last `count` digits (1 to 14), rounded half up on them. Constant divisors, so that
// the compiler multiplies instead of dividing.
template <std::uint64_t Divisor>
std::uint64_t roundedDivide(std::uint64_t q) {
    return q / Divisor + (q % Divisor >= Divisor / 2 ? 1 : 0);
}

std::uint64_t dropDigits(std::uint64_t q, int count) {
    switch (count) {
    case 1: return roundedDivide<10ull>(q);
    case 2: return roundedDivide<100ull>(q);
    case 3: return roundedDivide<1000ull>(q);
    case 4: return roundedDivide<10000ull>(q);
    case 5: return roundedDivide<100000ull>(q);
    case 6: return roundedDivide<1000000ull>(q);
    case 7: return roundedDivide<10000000ull>(q);
    case 8: return roundedDivide<100000000ull>(q);
    case 9: return roundedDivide<1000000000ull>(q);
    case 10: return roundedDivide<10000000000ull>(q);
    case 11: return roundedDivide<100000000000ull>(q);
    case 12: return roundedDivide<1000000000000ull>(q);
    case 13: return roundedDivide<10000000000000ull>(q);
    default: return roundedDivide<100000000000000ull>(q);
    }
}

// units * 10^-decimals as text: at least one digit before the point, exactly `decimals` after it,
// a minus sign only when the number shown is not zero.
void appendUnits(std::wstring& out, std::uint64_t units, int decimals, bool negative) {
    wchar_t text[64];  // the fast path keeps at most 19 digits and 26 decimals
    wchar_t* p = text + 64;
    const bool minus = negative && units != 0;
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<wchar_t>(L'0' + units % 10);
        units /= 10;
    }
    if (decimals > 0) *--p = L'.';
    do {
        *--p = static_cast<wchar_t>(L'0' + units % 10);
        units /= 10;
    } while (units != 0);
    if (minus) *--p = L'-';
    out.append(p, static_cast<size_t>(text + 64 - p));
}
}  // namespace

bool fixedUnits(double v, int decimals, std::uint64_t& units) {
    units = 0;
    if (decimals < 0) decimals = 0;
    if (v == 0.0) return true;
    if (!std::isfinite(v)) return false;
    std::uint64_t q = 0;
    int exponent = 0;
    if (!fifteenDigits(std::fabs(v), q, exponent)) return false;
    // Rounded half away from zero on the 15 digits, as the text shows it.
    const int kept = exponent + 1 + decimals;  // significant digits that stay
    if (kept > 19) return false;
    if (kept >= 15) {
        units = q;
        for (int i = 15; i < kept; ++i) units *= 10;
    } else if (kept > 0) {
        units = dropDigits(q, 15 - kept);
    } else if (kept == 0) {
        units = q >= 500000000000000ull ? 1 : 0;
    }
    return true;
}

void appendFixed(std::wstring& out, double v, int decimals) {
    if (decimals < 0) decimals = 0;
    if (!std::isfinite(v)) raise(err::Overflow);
    if (v == 0.0) {
        out += L'0';
        if (decimals > 0) {
            out += L'.';
            out.append(static_cast<size_t>(decimals), L'0');
        }
        return;
    }
    // The usual case, in integers: whole units of 10^-decimals.
    std::uint64_t units = 0;
    if (fixedUnits(v, decimals, units)) {
        appendUnits(out, units, decimals, std::signbit(v));
        return;
    }
    // The 15 significant digits d0..d14 of |v| = 0.d0d1... * 10^(exponent + 1), correctly rounded.
    std::uint64_t q = 0;
    int exponent = 0;
    fifteenDigits(std::fabs(v), q, exponent);
    char d[15];
    int count = 0;
    if (q != 0) {
        for (int i = 14; i >= 0; --i, q /= 10) d[i] = static_cast<char>('0' + q % 10);
        count = 15;
    } else {
        char sci[40];
        const auto printed = std::to_chars(sci, sci + sizeof sci, std::fabs(v), std::chars_format::scientific, 14);
        const char* p = sci;
        for (; p < printed.ptr && *p != 'e'; ++p)
            if (*p >= '0' && *p <= '9' && count < 15) d[count++] = *p;
        if (p < printed.ptr) {
            ++p;
            if (p < printed.ptr && *p == '+') ++p;
            std::from_chars(p, printed.ptr, exponent);
        }
    }

    // Lay the digits out around the decimal point (zeros in front of a small number), keep
    // `decimals` of them after the point and round half away from zero on the next one.
    const int pointPos = exponent + 1;
    const int zeros = pointPos < 0 ? -pointPos : 0;
    const int before = pointPos > 0 ? pointPos : 0;  // digits before the point
    const int keep = before + decimals;
    auto digit = [&](int k) -> char {
        if (k < zeros) return '0';
        return k - zeros < count ? d[k - zeros] : '0';
    };
    char small[128];
    std::string large;
    char* r = small + 1;  // room for a carry into a new first digit
    if (keep + 1 > static_cast<int>(sizeof small)) {
        large.resize(static_cast<size_t>(keep) + 1);
        r = large.data() + 1;
    }
    for (int k = 0; k < keep; ++k) r[k] = digit(k);
    bool carry = digit(keep) >= '5';
    for (int i = keep - 1; carry && i >= 0; --i) {
        if (r[i] == '9') {
            r[i] = '0';
        } else {
            ++r[i];
            carry = false;
        }
    }
    int intDigits = before;
    if (carry) {
        *--r = '1';
        ++intDigits;
    }
    int first = 0;  // leading zeros of the integer part go, one zero stays
    while (first < intDigits && r[first] == '0') ++first;
    bool allZero = first == intDigits;
    for (int k = intDigits; allZero && k < intDigits + decimals; ++k) allZero = r[k] == '0';

    const bool minus = std::signbit(v) && !allZero;
    const int whole = first == intDigits ? 1 : intDigits - first;
    const size_t start = out.size();
    out.resize(start + (minus ? 1 : 0) + static_cast<size_t>(whole) + (decimals > 0 ? 1 + static_cast<size_t>(decimals) : 0));
    wchar_t* w = out.data() + start;
    if (minus) *w++ = L'-';
    if (first == intDigits)
        *w++ = L'0';
    else
        for (int k = first; k < intDigits; ++k) *w++ = static_cast<wchar_t>(r[k]);
    if (decimals > 0) {
        *w++ = L'.';
        for (int k = intDigits; k < intDigits + decimals; ++k) *w++ = static_cast<wchar_t>(r[k]);
    }
}

std::wstring formatFixed(double v, int decimals) {
    std::wstring out;
    appendFixed(out, v, decimals);
    return out;
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
