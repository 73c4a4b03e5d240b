#include "angletext.h"

#include <cmath>
#include <cwctype>

#include "core/errors.h"
#include "core/values.h"
#include "numeric.h"

namespace kelva::draw {

namespace {

struct Dms {
    double degrees;
    double minutes;
    double seconds;
};

// D = Int(deg) keeps the sign, so minutes and seconds are never negative (-30.5 is -31 and 30').
Dms split(double deg) {
    Dms d{};
    d.degrees = intValue(deg);
    const double minutesExact = checkedResult((deg - d.degrees) * 60);
    d.minutes = intValue(minutesExact);
    d.seconds = (minutesExact - d.minutes) * 60;
    return d;
}

// A shown value of 60 seconds belongs to the next minute, and 60 minutes to the next degree.
void carry(Dms& d) {
    if (d.seconds >= 60) {
        d.seconds = 0;
        d.minutes += 1;
    }
    if (d.minutes >= 60) {
        d.minutes = 0;
        d.degrees += 1;
    }
}

double roundEvenAt(double v, int decimals) {
    const double p = std::pow(10.0, decimals);
    const double scaled = v * p;
    if (!std::isfinite(scaled)) return v;
    return roundHalfEven(scaled) / p;
}

std::wstring twoDigits(double v) {
    std::wstring t = formatDouble(v);
    return t.size() < 2 ? L"0" + t : t;
}

}  // namespace

std::wstring angleUnitText(double degrees, int unit) {
    if (degrees == 0) return {};
    if (unit < 0) raise(err::InvalidCall);
    Dms d = split(degrees);
    if (unit >= 3) {
        d.seconds = roundEvenAt(d.seconds, unit >= 5 ? unit - 4 : 0);
        carry(d);
    } else if (d.seconds == 60) {
        carry(d);
    }
    std::wstring out = formatDouble(d.degrees) + L"\u00B0";
    if (unit == 0) return out;
    out += twoDigits(d.minutes) + L"'";
    if (unit <= 2) return out;
    return out + formatDouble(d.seconds) + L"\"";
}

std::wstring degToDms(double degrees, int decimals, int style) {
    if (degrees == 0) return {};
    Dms d = split(degrees);
    const int shown = decimals > 0 ? decimals : 0;
    d.seconds = roundFixed(roundEvenAt(d.seconds, 8), shown);
    carry(d);
    const std::wstring deg = formatDouble(d.degrees);
    const std::wstring min = formatDouble(d.minutes);
    const std::wstring sec = formatFixed(d.seconds, shown);
    switch (style) {
        case 1: return deg + L"-" + min + L"-" + sec;
        case 2: return deg + L"%%D " + min + L"' " + sec + L"\"";
        case 3: return deg + L"\uB3C4 " + min + L"\uBD84 " + sec + L"\uCD08";
        default: return {};
    }
}

namespace {

// First of the marks found in `text` from `from` on (position and length), npos when none.
struct Mark {
    size_t pos = std::wstring::npos;
    size_t len = 0;
};

Mark findMark(const std::wstring& text, size_t from, std::initializer_list<const wchar_t*> marks) {
    for (const wchar_t* m : marks) {
        const std::wstring mark(m);
        size_t at = std::wstring::npos;
        if (mark == L"%%D") {
            for (size_t k = from; k + 3 <= text.size(); ++k)
                if (text[k] == L'%' && text[k + 1] == L'%' && std::towupper(text[k + 2]) == L'D') {
                    at = k;
                    break;
                }
        } else {
            at = text.find(mark, from);
        }
        if (at != std::wstring::npos) return {at, mark.size()};
    }
    return {};
}

// The seconds part may be empty (a minute mark ends the text): that is 0 seconds.
double numberOrZero(const std::wstring& text) {
    const std::wstring n = getNumber(text);
    return n.empty() ? 0.0 : parseDouble(n);
}

bool wholeNumber(const std::wstring& text, double& out) {
    std::wstring s;
    for (wchar_t c : text)
        if (c != L',') s += c;  // the locale's thousands separator
    return tryParseDouble(s, out);
}

}  // namespace

double dmsToDeg(std::wstring& text) {
    if (text.empty()) return 0;
    if (text.back() == L'\u00B0' || text.back() == L'-') text.pop_back();
    double whole = 0;
    if (wholeNumber(text, whole)) return whole;

    // A leading minus is the sign of the degrees, not their separator.
    size_t signEnd = 0;
    while (signEnd < text.size() && text[signEnd] == L' ') ++signEnd;
    if (signEnd < text.size() && text[signEnd] == L'-') ++signEnd;

    double degrees = 0;
    std::wstring rest;
    const Mark a = findMark(text, signEnd, {L"-", L"\u00B0", L"%%D", L"\uB3C4"});
    if (a.pos != std::wstring::npos) {
        degrees = parseDouble(text.substr(0, a.pos));
        rest = text.substr(a.pos + a.len);
    } else {
        degrees = parseDouble(getNumber(text));
        rest = text;
    }
    double minutes = 0, seconds = 0;
    const Mark b = findMark(rest, 0, {L"-", L"'", L"\uBD84"});
    if (b.pos != std::wstring::npos) {
        minutes = parseDouble(rest.substr(0, b.pos));
        seconds = numberOrZero(rest.substr(b.pos + b.len));
    } else {
        minutes = numberOrZero(rest);
    }
    return checkedResult(minutes / 60 + degrees + seconds / 3600);
}

}  // namespace kelva::draw
