#include <gtest/gtest.h>

#include "core/color.h"
#include "core/units.h"

using namespace kelva;

TEST(OleColor, RgbSystemAndInvalid) {
    SysColorLookup table = [](int i) { return static_cast<Rgb>(0x010101u * static_cast<unsigned>(i)); };
    EXPECT_EQ(oleToRgb(0x00C0C0C0u, table), 0x00C0C0C0u);
    EXPECT_EQ(oleToRgb(0x8000000Du, table), 0x0D0D0Du);
    EXPECT_EQ(oleToRgb(0x80000000u + 30, table), 0x1E1E1Eu);
    EXPECT_FALSE(oleToRgb(0x80000000u + 31, table).has_value());
    EXPECT_FALSE(oleToRgb(0x01000005u, table).has_value());
    EXPECT_FALSE(oleToRgb(0x40000000u, table).has_value());
    EXPECT_EQ(oleToRgb(0x02123456u, table), 0x123456u);
    EXPECT_EQ(rgb(1, 2, 3), 0x030201u);
    EXPECT_EQ(redOf(0x030201u), 1u);
    EXPECT_EQ(blueOf(0x030201u), 3u);
}

TEST(Units, TwipsAndPixels) {
    EXPECT_EQ(pixelsToTwips(3), 45.0);
    EXPECT_EQ(twipsToPixels(22.5), 2);  // 1.5 pixels, half to even
    EXPECT_EQ(twipsToPixels(37.5), 2);  // 2.5 pixels
    EXPECT_EQ(twipsToPixels(1440, twipsPerPixel(120)), 120);
}
