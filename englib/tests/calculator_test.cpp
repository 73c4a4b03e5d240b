#include <gtest/gtest.h>

#include <string>

#include "core/errors.h"
#include "core/values.h"
#include "englib/calculator.h"

using namespace kelva;
using namespace kelva::eng;

namespace {
int errorOf(std::wstring_view input) {
    try {
        calculate(input);
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}
}  // namespace

TEST(Calculator, Arithmetic) {
    EXPECT_EQ(calculate(L"1,000+2"), L"1002");
    EXPECT_EQ(calculate(L"2+3*4"), L"14");
    EXPECT_EQ(calculate(L"(2+3)*4"), L"20");
    EXPECT_EQ(calculate(L"2^10"), L"1024");
    EXPECT_EQ(calculate(L"-3+5"), L"2");
    EXPECT_EQ(calculate(L"1/3"), L"0.333333333333333");
    EXPECT_EQ(calculate(L" 2 + 3 "), L"5");
    EXPECT_EQ(calculate(L"10-"), L"10");  // a missing operand reads as 0
}

TEST(Calculator, OperatorsOfOnePassApplyLeftToRight) {
    EXPECT_EQ(calculate(L"2^3^2"), L"64");
    EXPECT_EQ(calculate(L"8/2*4"), L"16");
    EXPECT_EQ(calculate(L"5-3+1"), L"3");
    EXPECT_EQ(calculate(L"-2^2"), L"-4");  // a leading minus subtracts from an empty operand
}

TEST(Calculator, BracketValuesStayNumbers) {
    EXPECT_EQ(calculate(L"2*-3"), L"-6");
    EXPECT_EQ(calculate(L"2^-1"), L"0.5");
    // Blanks around a sign change nothing.
    EXPECT_EQ(calculate(L"2 * -3"), L"-6");
    EXPECT_EQ(calculate(L"2 ^ - 1"), L"0.5");
    EXPECT_EQ(calculate(L"7 - -3"), L"10");
    EXPECT_EQ(calculate(L"2 * -(1+2)"), L"-6");
    EXPECT_EQ(calculate(L"2*(1-4)"), L"-6");
    EXPECT_EQ(calculate(L"(10^20)/10"), L"1E+19");
    EXPECT_EQ(calculate(L"(1/100000)*2"), L"2E-05");
    EXPECT_EQ(calculate(L"(1/3)*3"), L"1");
    EXPECT_EQ(calculate(L"((2))"), L"2");
    EXPECT_EQ(calculate(L"(((1+2)*(3+4))-1)/4"), L"5");
}

TEST(Calculator, DivisionByZeroIsTheWholeResult) {
    EXPECT_EQ(calculate(L"5/0"), kDivisionByZero);
    EXPECT_EQ(calculate(L"(1/0)"), kDivisionByZero);
    EXPECT_EQ(calculate(L"(1/0)+2"), kDivisionByZero);
    EXPECT_EQ(calculate(L"3*((4-4)/(2-2))"), kDivisionByZero);
    EXPECT_EQ(calculate(L"5/abc"), kDivisionByZero);  // a word reads as 0
}

TEST(Calculator, Functions) {
    EXPECT_EQ(calculate(L"Sin30"), L"0.5");
    EXPECT_EQ(calculate(L"Cos60"), L"0.5");
    EXPECT_EQ(calculate(L"Tan45"), L"1");
    EXPECT_EQ(calculate(L"2*π"), formatDouble(2 * 3.14159265358979323846));
    EXPECT_EQ(calculate(L"√16"), L"4");
    EXPECT_EQ(calculate(L"√(9+7)"), L"4");
    EXPECT_EQ(calculate(L"Sin(20+10)"), L"0.5");
    EXPECT_EQ(calculate(L"2*Sin30+1"), L"2");
    // Inverse functions take a ratio and answer in degrees.
    EXPECT_EQ(calculate(L"ArcSin0.5"), L"30");
    EXPECT_EQ(calculate(L"ArcCos0.5"), L"60");
    EXPECT_EQ(calculate(L"ArcTan1"), L"45");
    EXPECT_EQ(calculate(L"ArcSin(1/2)+1"), L"31");
    // Once the text holds a function, operands are tested in any case.
    EXPECT_EQ(calculate(L"Sin30+cos60"), L"1");
}

TEST(Calculator, FunctionTestIsExactInCase) {
    EXPECT_EQ(calculate(L"sin30+1"), L"1");
    EXPECT_EQ(calculate(L"SIN30"), L"SIN30");
}

TEST(Calculator, TextWithoutOperatorsComesBackUnchanged) {
    EXPECT_EQ(calculate(L"12"), L"12");
    EXPECT_EQ(calculate(L"12.50"), L"12.50");
    EXPECT_EQ(calculate(L"abc"), L"abc");
    EXPECT_EQ(calculate(L"(abc)"), L"abc");
    EXPECT_EQ(calculate(L""), L"");
}

TEST(Calculator, BracketCounts) {
    EXPECT_EQ(calculate(L"((1+2)"), kMissingRightBracket);
    EXPECT_EQ(calculate(L"(1+2))"), kMissingLeftBracket);
    EXPECT_EQ(errorOf(L")1+2("), err::InvalidCall);
}

TEST(Calculator, FaultsRaiseRuntimeErrors) {
    EXPECT_EQ(errorOf(L"Sinx"), err::TypeMismatch);
    EXPECT_EQ(errorOf(L"√-4"), err::TypeMismatch);  // the argument is empty: the minus is an operator
    EXPECT_EQ(errorOf(L"√(0-4)"), err::InvalidCall);
    EXPECT_EQ(errorOf(L"ArcSin2"), err::InvalidCall);
    EXPECT_EQ(errorOf(L"10^400"), err::Overflow);
    EXPECT_EQ(errorOf(L"(0-8)^(1/3)"), err::InvalidCall);
    EXPECT_EQ(errorOf(std::wstring(32768, L'1')), err::Overflow);
    EXPECT_EQ(calculate(std::wstring(32767, L'1')).substr(0, 2), L"11");
}

TEST(Calculator, DeepNestingNeedsNoStack) {
    const int depth = 16000;
    const std::wstring text = std::wstring(depth, L'(') + L"1+1" + std::wstring(depth, L')');
    EXPECT_EQ(calculate(text), L"2");
}
