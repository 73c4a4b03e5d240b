#include "drawlib/numeric.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/tests/checks.h"

using namespace kelva::draw;
using kelva::Case;
using kelva::checkRows;
using kelva::checkRowsNear;
using kelva::errorOf;

namespace {
// A value and a number of decimal places, or a value and the number it is divided or snapped by.
using AtPlaces = std::tuple<double, int>;
using ByNumber = std::tuple<double, double>;
}  // namespace

TEST(Numeric, ReptAndRemainder) {
    EXPECT_EQ(rept(L"0", 3), L"000");
    EXPECT_EQ(rept(L"ab", 0), L"");
    EXPECT_EQ(rept(L"ab", -2), L"");
    EXPECT_DOUBLE_EQ(exMod(-7, 3), 1);
    EXPECT_DOUBLE_EQ(exMod(7.5, 2), 1.5);
    EXPECT_EQ(errorOf([] { exMod(5, 0); }), 11);
    EXPECT_EQ(errorOf([] { exMod(0, 0); }), 6);
}

TEST(Numeric, PortionMultipleAndFix) {
    EXPECT_DOUBLE_EQ(portionNumber(17, 5, 0), 3);
    EXPECT_DOUBLE_EQ(portionNumber(17, 5, 1), 4);
    EXPECT_DOUBLE_EQ(portionNumber(17, 5, 2), 2);
    EXPECT_DOUBLE_EQ(multipleNumber(10, 10), 20);
    EXPECT_DOUBLE_EQ(multipleNumber(12, 10), 20);
    EXPECT_EQ(errorOf([] { multipleNumber(1, 0); }), 11);

    const std::vector<Case<ByNumber, double>> fixes = {
        {{5, 10}, 0},
        {{15, 10}, 10},
        {{16, 10}, 20},
        {{10, 10}, 10},
        {{25, 10}, 20},
        {{0, 10}, 0},
        {{-16, 10}, -20, "negative numbers snap to the nearest multiple as well"},
        {{-14, 10}, -10, "negative numbers snap to the nearest multiple as well"},
        {{-15, 10}, -20, "a tie goes to the lower multiple"},
        {{-4, 10}, 0},
        {{16, -10}, 20, "the sign of the multiple does not matter"},
    };
    checkRowsNear(fixes, fixByNumber);
    EXPECT_EQ(errorOf([] { fixByNumber(3, 0); }), 11);
}

TEST(Numeric, RoundUpOnTheGrid) {
    const std::vector<Case<AtPlaces, double>> rows = {
        {{1.231, 2}, 1.24},
        {{1.23, 2}, 1.23},
        {{0.0012, 2}, 0.01},
        {{-1.55, 1}, -1.5},
        {{-1.5, 0}, -1},
        {{1.5, 0}, 2},
        {{123, -1}, 130},
        {{0, 3}, 0},
        {{2.00000000001, 0}, 2, "a value just above a whole number snaps to it at 0 places"},
        {{2.99999999999, 2}, 2.99999999999, "values within 5e-11 of a grid point stay as they are"},
    };
    checkRowsNear(rows, roundUp);
}

TEST(Numeric, RoundDownTruncates) {
    const std::vector<Case<AtPlaces, double>> rows = {
        {{1.239, 2}, 1.23},
        {{-1.239, 2}, -1.23},
        {{2.9999999999999, 0}, 2},
        {{2.99999999999, 2}, 2.99999999999},
        {{987, -2}, 900},
    };
    checkRowsNear(rows, roundDown);
}

TEST(Numeric, RoundingWorksForEveryPlace) {
    const std::vector<Case<AtPlaces, double>> up = {
        {{1.7000001, 6}, 1.700001, "the scaled fraction of 0.7 at 6 places is 700000: no 16-bit step may overflow on it"},
        {{0.123456789012, 12}, 0.123456789012},
        {{1.5, 400}, 1.5},
        {{-5, -400}, 0},
    };
    checkRowsNear(up, roundUp);
    const std::vector<Case<AtPlaces, double>> down = {
        {{1.7000019, 6}, 1.700001, "the scaled fraction of 0.7 at 6 places is 700000: no 16-bit step may overflow on it"},
        {{1.5, 32767}, 1.5},
        {{1e300, 20}, 1e300},
        {{5, -400}, 0},
    };
    checkRowsNear(down, roundDown);
    EXPECT_EQ(errorOf([] { roundUp(5, -400); }), 6);
    EXPECT_EQ(errorOf([] { roundUp(1e300, -20); }), 0);
}

TEST(Numeric, DegreesAndRadians) {
    EXPECT_DOUBLE_EQ(radToDeg(3.14159265358979323846), 180);
    EXPECT_DOUBLE_EQ(degToRad(90), 3.14159265358979323846 / 2);
    EXPECT_EQ(errorOf([] { radToDeg(1e308); }), 6);
}

TEST(Numeric, IsNumberIsPermissive) {
    const std::vector<Case<std::wstring, bool>> rows = {
        {L"1,234.5", true},
        {L"-.", true},
        {L" +12 ", true},
        {L"12\r\n", true},
        {L"-", false},
        {L".", false},
        {L"1.2.3", false},
        {L"12-", false},
        {L"", false},
        {L" , ", false},
        {std::wstring(L"\r\n\0", 3), false, "nothing but line breaks and NULs is no number"},
        {std::wstring(L"\0", 1), false, "nothing but line breaks and NULs is no number"},
    };
    checkRows(rows, isNumber);
}

TEST(Numeric, RemoveNullAndGetNumber) {
    const std::vector<Case<std::wstring, std::wstring>> removed = {
        {std::wstring(L"ab\0\r\n", 5), L"ab"},
        {L"  a b \n", L"a b"},
        {L"", L""},
    };
    checkRows(removed, removeNull);
    const std::vector<Case<std::wstring, std::wstring>> numbers = {
        {L"L=12.5m", L"12.5"},
        {L"abc", L"abc", "no digits: the text comes back"},
        {L"1 234", L"1234"},
        {L"x-3y", L"-3"},
        {L"45.00\"", L"45.00"},
        {L"12.m", L"12"},
    };
    checkRows(numbers, getNumber);
}

TEST(Numeric, StrToPnt) {
    auto p = strToPnt(L"1,2,3", L",");
    ASSERT_EQ(p.size(), 3u);
    EXPECT_DOUBLE_EQ(p[0], 1);
    EXPECT_DOUBLE_EQ(p[2], 3);
    EXPECT_EQ(strToPnt(L"1.5 2.5", L" ").size(), 2u);
    EXPECT_EQ(errorOf([] { strToPnt(L"", L","); }), 9);
    EXPECT_EQ(errorOf([] { strToPnt(L"1,x", L","); }), 13);
    EXPECT_EQ(splitText(L"a,,b", L",").size(), 3u);
    EXPECT_EQ(splitText(L"abc", L"").size(), 1u);
}
