#include <gtest/gtest.h>

#include "controls/gradient.h"

using namespace kelva::ctl;

TEST(Gradient, RgbRowsAndRoundingToEven) {
    auto px = gradientPixels(2, 3, 0, 0xFFFFFF, 0x000000, 0);
    ASSERT_EQ(px.size(), 2u * 3 * 4);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[8 + 0], 128);  // 127.5 -> 128
    EXPECT_EQ(px[8 + 4 + 2], 128);
    EXPECT_EQ(px[16 + 1], 0);
    EXPECT_EQ(px[3], 0);  // reserved byte
}

TEST(Gradient, ChannelOrderDirectionAndHighByte) {
    // first colour red (low byte) at the left, second blue at the right; the high byte is ignored
    auto px = gradientPixels(2, 1, 1, 0x800000FF, 0x00FF0000, 0);
    EXPECT_EQ(px[0], 0);    // blue
    EXPECT_EQ(px[2], 255);  // red
    EXPECT_EQ(px[4], 255);
    EXPECT_EQ(px[6], 0);
}

TEST(Gradient, DegenerateSizesAndModes) {
    EXPECT_TRUE(gradientPixels(0, 5, 0, 1, 2, 0).empty());
    EXPECT_TRUE(gradientPixels(5, -1, 0, 1, 2, 0).empty());
    auto one = gradientPixels(3, 1, 0, 0x0000FF, 0xFF0000, 0);  // one row takes the first colour
    EXPECT_EQ(one[2], 255);
    EXPECT_EQ(one[0], 0);
    auto black = gradientPixels(2, 2, 0, 0xFFFFFF, 0xFFFFFF, 7);
    for (auto b : black) EXPECT_EQ(b, 0);
}

TEST(Hls, RoundTripsAndKnownColours) {
    auto h = rgbToHls(255, 0, 0);
    EXPECT_FLOAT_EQ(h.h, 0);
    EXPECT_FLOAT_EQ(h.s, 1);
    EXPECT_FLOAT_EQ(h.l, 0.5f);
    h = rgbToHls(0, 0, 255);
    EXPECT_FLOAT_EQ(h.h, 4);
    h = rgbToHls(255, 0, 128);  // magenta side: below zero
    EXPECT_LT(h.h, 0);
    h = rgbToHls(128, 128, 128);
    EXPECT_EQ(h.s, 0);
    for (int r = 0; r < 256; r += 51)
        for (int g = 0; g < 256; g += 51)
            for (int b = 0; b < 256; b += 51) {
                auto x = rgbToHls(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b));
                std::uint8_t r2, g2, b2;
                hlsToRgb(x.h, x.s, x.l, r2, g2, b2);
                EXPECT_NEAR(r2, r, 1);
                EXPECT_NEAR(g2, g, 1);
                EXPECT_NEAR(b2, b, 1);
            }
}

TEST(Hls, GradientInHlsPassesThroughTheHues) {
    // red to blue in HLS goes the straight way through hue 2 (green), not through magenta
    auto px = gradientPixels(1, 3, 0, 0x0000FF, 0xFF0000, 1);
    EXPECT_EQ(px[4 + 1], 255);  // the middle row is green
    EXPECT_EQ(px[4 + 2], 0);
}
