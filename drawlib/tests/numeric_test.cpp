#include "drawlib/numeric.h"

#include <gtest/gtest.h>

#include "errcheck.h"

using namespace kelva::draw;

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

    EXPECT_DOUBLE_EQ(fixByNumber(5, 10), 0);
    EXPECT_DOUBLE_EQ(fixByNumber(15, 10), 10);
    EXPECT_DOUBLE_EQ(fixByNumber(16, 10), 20);
    EXPECT_DOUBLE_EQ(fixByNumber(10, 10), 10);
    EXPECT_DOUBLE_EQ(fixByNumber(25, 10), 20);
    EXPECT_DOUBLE_EQ(fixByNumber(0, 10), 0);
    // Negative numbers snap to the nearest multiple as well, ties to the lower one.
    EXPECT_DOUBLE_EQ(fixByNumber(-16, 10), -20);
    EXPECT_DOUBLE_EQ(fixByNumber(-14, 10), -10);
    EXPECT_DOUBLE_EQ(fixByNumber(-15, 10), -20);
    EXPECT_DOUBLE_EQ(fixByNumber(-4, 10), 0);
    EXPECT_DOUBLE_EQ(fixByNumber(16, -10), 20);
    EXPECT_EQ(errorOf([] { fixByNumber(3, 0); }), 11);
}

TEST(Numeric, RoundUpOnTheGrid) {
    EXPECT_DOUBLE_EQ(roundUp(1.231, 2), 1.24);
    EXPECT_DOUBLE_EQ(roundUp(1.23, 2), 1.23);
    EXPECT_DOUBLE_EQ(roundUp(0.0012, 2), 0.01);
    EXPECT_DOUBLE_EQ(roundUp(-1.55, 1), -1.5);
    EXPECT_DOUBLE_EQ(roundUp(-1.5, 0), -1);
    EXPECT_DOUBLE_EQ(roundUp(1.5, 0), 2);
    EXPECT_DOUBLE_EQ(roundUp(123, -1), 130);
    EXPECT_DOUBLE_EQ(roundUp(0, 3), 0);
    // A value just above a whole number snaps to it at 0 places.
    EXPECT_DOUBLE_EQ(roundUp(2.00000000001, 0), 2);
    // Values within 5e-11 of a grid point stay as they are.
    EXPECT_DOUBLE_EQ(roundUp(2.99999999999, 2), 2.99999999999);
}

TEST(Numeric, RoundDownTruncates) {
    EXPECT_DOUBLE_EQ(roundDown(1.239, 2), 1.23);
    EXPECT_DOUBLE_EQ(roundDown(-1.239, 2), -1.23);
    EXPECT_DOUBLE_EQ(roundDown(2.9999999999999, 0), 2);
    EXPECT_DOUBLE_EQ(roundDown(2.99999999999, 2), 2.99999999999);
    EXPECT_DOUBLE_EQ(roundDown(987, -2), 900);
}

TEST(Numeric, RoundingWorksForEveryPlace) {
    // The scaled fraction of 0.7 at 6 places is 700000: no 16-bit step may overflow on it.
    EXPECT_DOUBLE_EQ(roundUp(1.7000001, 6), 1.700001);
    EXPECT_DOUBLE_EQ(roundDown(1.7000019, 6), 1.700001);
    EXPECT_DOUBLE_EQ(roundUp(0.123456789012, 12), 0.123456789012);
    EXPECT_DOUBLE_EQ(roundUp(1.5, 400), 1.5);
    EXPECT_DOUBLE_EQ(roundDown(1.5, 32767), 1.5);
    EXPECT_DOUBLE_EQ(roundDown(1e300, 20), 1e300);
    EXPECT_DOUBLE_EQ(roundDown(5, -400), 0);
    EXPECT_DOUBLE_EQ(roundUp(-5, -400), 0);
    EXPECT_EQ(errorOf([] { roundUp(5, -400); }), 6);
    EXPECT_EQ(errorOf([] { roundUp(1e300, -20); }), 0);
}

TEST(Numeric, DegreesAndRadians) {
    EXPECT_DOUBLE_EQ(radToDeg(3.14159265358979323846), 180);
    EXPECT_DOUBLE_EQ(degToRad(90), 3.14159265358979323846 / 2);
    EXPECT_EQ(errorOf([] { radToDeg(1e308); }), 6);
}

TEST(Numeric, IsNumberIsPermissive) {
    EXPECT_TRUE(isNumber(L"1,234.5"));
    EXPECT_TRUE(isNumber(L"-."));
    EXPECT_TRUE(isNumber(L" +12 "));
    EXPECT_TRUE(isNumber(L"12\r\n"));
    EXPECT_FALSE(isNumber(L"-"));
    EXPECT_FALSE(isNumber(L"."));
    EXPECT_FALSE(isNumber(L"1.2.3"));
    EXPECT_FALSE(isNumber(L"12-"));
    EXPECT_FALSE(isNumber(L""));
    EXPECT_FALSE(isNumber(L" , "));
    // Nothing but line breaks and NULs is no number.
    EXPECT_FALSE(isNumber(std::wstring(L"\r\n\0", 3)));
    EXPECT_FALSE(isNumber(std::wstring(L"\0", 1)));
}

TEST(Numeric, RemoveNullAndGetNumber) {
    EXPECT_EQ(removeNull(std::wstring(L"ab\0\r\n", 5)), L"ab");
    EXPECT_EQ(removeNull(L"  a b \n"), L"a b");
    EXPECT_EQ(removeNull(L""), L"");
    EXPECT_EQ(getNumber(L"L=12.5m"), L"12.5");
    EXPECT_EQ(getNumber(L"abc"), L"abc");
    EXPECT_EQ(getNumber(L"1 234"), L"1234");
    EXPECT_EQ(getNumber(L"x-3y"), L"-3");
    EXPECT_EQ(getNumber(L"45.00\""), L"45.00");
    EXPECT_EQ(getNumber(L"12.m"), L"12");
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
