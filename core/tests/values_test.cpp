#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "core/errors.h"
#include "core/tests/checks.h"
#include "core/values.h"

using namespace kelva;

TEST(Int16Arithmetic, OverflowRaisesSix) {
    EXPECT_EQ(add16(32766, 1), 32767);
    EXPECT_EQ(errorOf([] { add16(32767, 1); }), 6);
    EXPECT_EQ(errorOf([] { sub16(-32768, 1); }), 6);
    EXPECT_EQ(errorOf([] { mul16(256, 128); }), 6);
    EXPECT_EQ(mul16(-256, 128), -32768);
    EXPECT_EQ(idiv16(-7, 2), -3);
    EXPECT_EQ(errorOf([] { idiv16(-32768, -1); }), 6);
    EXPECT_EQ(errorOf([] { idiv16(1, 0); }), 11);
    EXPECT_EQ(mod16(-7, 2), -1);
}

TEST(Rounding, ConversionsGoHalfToEven) {
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(-0.5), 0);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(errorOf([] { toInt16(32767.5); }), 6);   // rounds to 32768
    EXPECT_EQ(toInt16(-32768.5), -32768);                // rounds to the even -32768
    EXPECT_EQ(errorOf([] { toInt16(std::nan("")); }), 6);
    EXPECT_EQ(toInt32(2147483647.4), 2147483647);
    EXPECT_EQ(errorOf([] { toInt32(2147483647.5); }), 6);
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
}

TEST(Rounding, FixedDecimalsGoHalfAwayFromZero) {
    EXPECT_EQ(formatFixed(2.5, 0), L"3");
    EXPECT_EQ(formatFixed(-2.5, 0), L"-3");
    EXPECT_EQ(formatFixed(2.675, 2), L"2.68");  // binary 2.67499999..., decided on 15 digits
    EXPECT_EQ(formatFixed(1.005, 2), L"1.01");
    EXPECT_EQ(formatFixed(0.125, 2), L"0.13");
    EXPECT_EQ(formatFixed(9.995, 2), L"10.00");
    EXPECT_EQ(formatFixed(59.999, 2), L"60.00");
    EXPECT_EQ(formatFixed(-0.001, 2), L"0.00");  // never "-0.00"
    EXPECT_EQ(formatFixed(0.0, 3), L"0.000");
    EXPECT_EQ(formatFixed(0.0004, 3), L"0.000");
    EXPECT_EQ(formatFixed(0.0005, 3), L"0.001");
    EXPECT_EQ(formatFixed(123456.0, 1), L"123456.0");
    EXPECT_DOUBLE_EQ(roundFixed(-1.235, 2), -1.24);
}

TEST(Rounding, FixAndInt) {
    EXPECT_EQ(fixValue(-2.7), -2.0);
    EXPECT_EQ(intValue(-2.7), -3.0);
    EXPECT_EQ(fixValue(2.7), 2.0);
    EXPECT_EQ(intValue(2.7), 2.0);
}

TEST(LeadingNumber, ReadsWhatLeadsAndSkipsBlanks) {
    EXPECT_EQ(leadingNumber(L"  12.5abc"), 12.5);
    EXPECT_EQ(leadingNumber(L"1 2 3"), 123.0);
    EXPECT_EQ(leadingNumber(L"-3.5e2x"), -350.0);
    EXPECT_EQ(leadingNumber(L"1,5"), 1.0);  // "," is no decimal point
    EXPECT_EQ(leadingNumber(L"abc"), 0.0);
    EXPECT_EQ(leadingNumber(L""), 0.0);
    EXPECT_EQ(leadingNumber(L".5"), 0.5);
    EXPECT_EQ(leadingNumber(L"2E"), 2.0);
    EXPECT_EQ(leadingNumber(L"\t7\n"), 7.0);
    EXPECT_EQ(errorOf([] { leadingNumber(L"1e400"); }), 6);
}

TEST(StrictParse, WholeTextMustBeANumber) {
    EXPECT_EQ(parseDouble(L" 12.5 "), 12.5);
    EXPECT_EQ(parseDouble(L"-1E-3"), -0.001);
    EXPECT_EQ(errorOf([] { parseDouble(L"12a"); }), 13);
    EXPECT_EQ(errorOf([] { parseDouble(L""); }), 13);
    EXPECT_EQ(errorOf([] { parseDouble(L"."); }), 13);
    EXPECT_EQ(errorOf([] { parseDouble(L"1e"); }), 13);
    EXPECT_EQ(errorOf([] { parseDouble(L"1e999"); }), 6);
    double v = 0;
    EXPECT_FALSE(tryParseDouble(L"1 2", v));
}

TEST(NumberText, FifteenSignificantDigits) {
    EXPECT_EQ(formatDouble(0), L"0");
    EXPECT_EQ(formatDouble(1e-5), L"1E-05");
    EXPECT_EQ(formatDouble(1e20), L"1E+20");
    EXPECT_EQ(formatDouble(1e19), L"1E+19");
    EXPECT_EQ(formatDouble(2e-5), L"2E-05");
    EXPECT_EQ(formatDouble(0.0001), L"0.0001");
    EXPECT_EQ(formatDouble(123456789012345.0), L"123456789012345");
    EXPECT_EQ(formatDouble(1e15), L"1E+15");
    EXPECT_EQ(formatDouble(0.1 + 0.2), L"0.3");
    EXPECT_EQ(formatDouble(-6), L"-6");
    EXPECT_EQ(formatDouble(1.0 / 3.0), L"0.333333333333333");
    EXPECT_EQ(formatDouble(-1.5e-7), L"-1.5E-07");
    EXPECT_EQ(formatDouble(1e100), L"1E+100");
    EXPECT_EQ(formatDouble(100), L"100");
    EXPECT_EQ(formatDouble(3.14159265358979), L"3.14159265358979");
}

TEST(Errors, NumbersDescriptionsAndHresults) {
    EXPECT_EQ(errorToHresult(5), static_cast<std::int32_t>(0x800A0005u));
    EXPECT_EQ(errorToHresult(static_cast<std::int32_t>(0x80040005u)), static_cast<std::int32_t>(0x80040005u));
    EXPECT_EQ(hresultToError(static_cast<std::int32_t>(0x800A005Bu)), 91);
    for (int n : {5, 6, 7, 9, 11, 13, 53, 62, 75, 91, 380, 381, 429}) EXPECT_FALSE(standardDescription(n).empty()) << n;
    VbError e(9);
    EXPECT_EQ(e.description(), L"Subscript out of range");
    VbError s = VbError(5, L"custom").withSource(L"ucXTab.TabCaption");
    EXPECT_EQ(s.number(), 5);
    EXPECT_EQ(s.description(), L"custom");
    EXPECT_EQ(s.source(), L"ucXTab.TabCaption");
}

// The fixed-decimals text against a plain reading of its rule: the 15 significant digits printf gives,
// rounded half away from zero at the wanted decimal, no minus sign on a zero result.
namespace {
std::wstring fixedByTheRule(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    std::string digits;
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    int point = std::atoi(p + 1) + 1;
    if (v == 0) digits = "0", point = 1;
    if (point <= 0) digits.insert(0, static_cast<size_t>(-point), '0'), point = 0;
    const size_t keep = static_cast<size_t>(point + decimals);
    digits.resize(std::max(digits.size(), keep + 1), '0');
    bool up = digits[keep] >= '5';
    digits.resize(keep);
    for (size_t i = keep; up && i-- > 0;) {
        up = digits[i] == '9';
        digits[i] = up ? '0' : static_cast<char>(digits[i] + 1);
    }
    if (up) digits.insert(0, "1"), ++point;
    std::string whole = digits.substr(0, static_cast<size_t>(point)), frac = digits.substr(static_cast<size_t>(point));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.empty()) whole = "0";
    const bool zero = whole == "0" && frac.find_first_not_of('0') == std::string::npos;
    const std::string text = (std::signbit(v) && !zero ? "-" : "") + whole + (decimals > 0 ? "." + frac : "");
    return std::wstring(text.begin(), text.end());
}
}  // namespace

TEST(FixedDecimals, AgreesWithTheDigitRuleOnRandomNumbers) {
    std::mt19937_64 rng(2026);
    for (int i = 0; i < 200000; ++i) {
        const int decimals = static_cast<int>(rng() % 8);
        double v;
        switch (i % 4) {
        case 0: v = static_cast<double>(static_cast<std::int64_t>(rng() % 2000001) - 1000000) / std::pow(10.0, rng() % 9); break;
        case 1: v = std::ldexp(static_cast<double>(rng() % (1ull << 53)), -static_cast<int>(rng() % 80)); break;
        case 2: v = (static_cast<double>(rng() % 1000) + 0.5) / std::pow(10.0, rng() % 6) * ((rng() & 1) ? -1 : 1); break;
        default: v = std::pow(10.0, static_cast<double>(rng() % 40) - 20) * (static_cast<double>(rng() % 1000) / 7.0);
        }
        ASSERT_EQ(formatFixed(v, decimals), fixedByTheRule(v, decimals)) << v << " at " << decimals;
    }
    EXPECT_EQ(formatFixed(1e300, 2).size(), 304u);
    EXPECT_EQ(formatFixed(0.5, 300).size(), 302u);
    std::wstring text = L"x=";
    appendFixed(text, -2.5, 0);
    EXPECT_EQ(text, L"x=-3");
}
