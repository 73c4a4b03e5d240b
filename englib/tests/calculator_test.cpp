#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors.h"
#include "core/tests/checks.h"
#include "core/values.h"
#include "englib/calculator.h"

using namespace kelva;
using namespace kelva::eng;

namespace {
using Row = Case<std::wstring, std::wstring>;
using ErrorRow = Case<std::wstring, int>;

void checkResults(const std::vector<Row>& rows) { checkRows(rows, calculate); }

void checkErrors(const std::vector<ErrorRow>& rows) {
    checkRows(rows, [](const std::wstring& input) { return errorOf([&] { calculate(input); }); });
}
}  // namespace

TEST(Calculator, Arithmetic) {
    checkResults({
        {L"1,000+2", L"1002"},
        {L"2+3*4", L"14"},
        {L"(2+3)*4", L"20"},
        {L"2^10", L"1024"},
        {L"-3+5", L"2"},
        {L"1/3", L"0.333333333333333"},
        {L" 2 + 3 ", L"5"},
        {L"10-", L"10", "a missing operand reads as 0"},
    });
}

TEST(Calculator, OperatorsOfOnePassApplyLeftToRight) {
    checkResults({
        {L"2^3^2", L"64"},
        {L"8/2*4", L"16"},
        {L"5-3+1", L"3"},
        {L"-2^2", L"-4", "a leading minus subtracts from an empty operand"},
    });
}

TEST(Calculator, BracketValuesStayNumbers) {
    checkResults({
        {L"2*-3", L"-6"},
        {L"2^-1", L"0.5"},
        {L"2 * -3", L"-6", "blanks around a sign change nothing"},
        {L"2 ^ - 1", L"0.5", "blanks around a sign change nothing"},
        {L"7 - -3", L"10", "blanks around a sign change nothing"},
        {L"2 * -(1+2)", L"-6", "blanks around a sign change nothing"},
        {L"2*(1-4)", L"-6"},
        {L"(10^20)/10", L"1E+19"},
        {L"(1/100000)*2", L"2E-05"},
        {L"(1/3)*3", L"1"},
        {L"((2))", L"2"},
        {L"(((1+2)*(3+4))-1)/4", L"5"},
    });
}

TEST(Calculator, DivisionByZeroIsTheWholeResult) {
    checkResults({
        {L"5/0", kDivisionByZero},
        {L"(1/0)", kDivisionByZero},
        {L"(1/0)+2", kDivisionByZero},
        {L"3*((4-4)/(2-2))", kDivisionByZero},
        {L"5/abc", kDivisionByZero, "a word reads as 0"},
    });
}

TEST(Calculator, Functions) {
    checkResults({
        {L"Sin30", L"0.5"},
        {L"Cos60", L"0.5"},
        {L"Tan45", L"1"},
        {L"2*π", formatDouble(2 * 3.14159265358979323846)},
        {L"√16", L"4"},
        {L"√(9+7)", L"4"},
        {L"Sin(20+10)", L"0.5"},
        {L"2*Sin30+1", L"2"},
        {L"ArcSin0.5", L"30", "inverse functions take a ratio and answer in degrees"},
        {L"ArcCos0.5", L"60", "inverse functions take a ratio and answer in degrees"},
        {L"ArcTan1", L"45", "inverse functions take a ratio and answer in degrees"},
        {L"ArcSin(1/2)+1", L"31", "inverse functions take a ratio and answer in degrees"},
        {L"Sin30+cos60", L"1", "once the text holds a function, operands are tested in any case"},
    });
}

TEST(Calculator, FunctionTestIsExactInCase) {
    checkResults({
        {L"sin30+1", L"1"},
        {L"SIN30", L"SIN30"},
    });
}

TEST(Calculator, TextWithoutOperatorsComesBackUnchanged) {
    checkResults({
        {L"12", L"12"},
        {L"12.50", L"12.50"},
        {L"abc", L"abc"},
        {L"(abc)", L"abc"},
        {L"", L""},
    });
}

TEST(Calculator, BracketCounts) {
    checkResults({
        {L"((1+2)", kMissingRightBracket},
        {L"(1+2))", kMissingLeftBracket},
    });
    checkErrors({{L")1+2(", err::InvalidCall}});
}

TEST(Calculator, FaultsRaiseRuntimeErrors) {
    checkErrors({
        {L"Sinx", err::TypeMismatch},
        {L"√-4", err::TypeMismatch, "the argument is empty: the minus is an operator"},
        {L"√(0-4)", err::InvalidCall},
        {L"ArcSin2", err::InvalidCall},
        {L"10^400", err::Overflow},
        {L"(0-8)^(1/3)", err::InvalidCall},
        {std::wstring(32768, L'1'), err::Overflow, "a number of 32768 digits"},
    });
    EXPECT_EQ(calculate(std::wstring(32767, L'1')).substr(0, 2), L"11");
}

TEST(Calculator, DeepNestingNeedsNoStack) {
    const int depth = 16000;
    const std::wstring text = std::wstring(depth, L'(') + L"1+1" + std::wstring(depth, L')');
    EXPECT_EQ(calculate(text), L"2");
}
