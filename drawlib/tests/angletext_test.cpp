#include "drawlib/angletext.h"

#include <gtest/gtest.h>

#include "core/tests/checks.h"

using namespace kelva::draw;
using kelva::errorOf;

TEST(AngleText, DegToDmsStyles) {
    EXPECT_EQ(degToDms(30.5125, 2, 1), L"30-30-45.00");
    EXPECT_EQ(degToDms(30.5125, 2, 3), L"30\uB3C4 30\uBD84 45.00\uCD08");
    EXPECT_EQ(degToDms(30.5125, 2, 2), L"30%%D 30' 45.00\"");
    EXPECT_EQ(degToDms(30.5125, 0, 1), L"30-30-45");
    EXPECT_EQ(degToDms(30.5125, 2, 4), L"");
    EXPECT_EQ(degToDms(0, 2, 1), L"");
    EXPECT_EQ(degToDms(-30.5, 2, 1), L"-31-30-0.00");
}

TEST(AngleText, SecondsNeverShowSixty) {
    EXPECT_EQ(degToDms(29.9999999999999, 2, 1), L"30-0-0.00");
    // 59.996 seconds at two decimals would read 60.00: it carries into the minute.
    EXPECT_EQ(degToDms(10 + 59.0 / 60 + 59.996 / 3600, 2, 1), L"11-0-0.00");
    EXPECT_EQ(degToDms(10 + 5.0 / 60 + 59.996 / 3600, 2, 1), L"10-6-0.00");
    EXPECT_EQ(angleUnitText(29.9999999999999, 3), L"30\u00B000'0\"");
    EXPECT_EQ(angleUnitText(10 + 5.0 / 60 + 59.6 / 3600, 3), L"10\u00B006'0\"");
}

TEST(AngleText, AngleUnitForms) {
    EXPECT_EQ(angleUnitText(30.5125, 3), L"30\u00B030'45\"");
    EXPECT_EQ(angleUnitText(30.5125, 0), L"30\u00B0");
    EXPECT_EQ(angleUnitText(30.1, 1), L"30\u00B006'");
    EXPECT_EQ(angleUnitText(30.5125, 6), L"30\u00B030'45\"");
    EXPECT_EQ(angleUnitText(30 + 30.0 / 60 + 45.25 / 3600, 6), L"30\u00B030'45.25\"");
    EXPECT_EQ(angleUnitText(0, 3), L"");
    EXPECT_EQ(angleUnitText(-30.5, 4), L"-31\u00B030'0\"");
    EXPECT_EQ(errorOf([] { angleUnitText(1, -1); }), 5);
}

TEST(AngleText, DmsToDegReadsPlainForms) {
    std::wstring t = L"30-30-45";
    EXPECT_DOUBLE_EQ(dmsToDeg(t), 30.5125);
    t = L"30\u00B030'45\"";
    EXPECT_DOUBLE_EQ(dmsToDeg(t), 30.5125);
    t = L"30-30";
    EXPECT_DOUBLE_EQ(dmsToDeg(t), 30.5);
    t = L"30\u00B0";
    EXPECT_DOUBLE_EQ(dmsToDeg(t), 30);
    EXPECT_EQ(t, L"30");
    t = L"";
    EXPECT_DOUBLE_EQ(dmsToDeg(t), 0);
    t = L"30\u00B015'";  // empty seconds part
    EXPECT_DOUBLE_EQ(dmsToDeg(t), 30.25);
    t = L"12.75";
    EXPECT_DOUBLE_EQ(dmsToDeg(t), 12.75);
    t = L"x-y-z";
    EXPECT_EQ(errorOf([&] { dmsToDeg(t); }), 13);
}

TEST(AngleText, DmsToDegReadsBackEveryWrittenText) {
    for (double deg : {30.5125, -30.5, 0.25, 359.999, -0.75, 123.456789, -179.0125}) {
        for (int style = 1; style <= 3; ++style) {
            std::wstring t = degToDms(deg, 4, style);
            EXPECT_NEAR(dmsToDeg(t), deg, 1e-7) << deg << " style " << style;
        }
        for (int unit : {3, 9}) {
            std::wstring t = angleUnitText(deg, unit);
            EXPECT_NEAR(dmsToDeg(t), deg, unit == 3 ? 1.0 / 3600 : 1e-8) << deg << " unit " << unit;
        }
        std::wstring t = angleUnitText(deg, 1);
        EXPECT_NEAR(dmsToDeg(t), deg, 1.0 / 60) << deg;
    }
    std::wstring style3 = L"30\uB3C4 30\uBD84 45.00\uCD08";
    EXPECT_DOUBLE_EQ(dmsToDeg(style3), 30.5125);
    std::wstring lower = L"30%%d 30' 45\"";
    EXPECT_DOUBLE_EQ(dmsToDeg(lower), 30.5125);
}
