#include <gtest/gtest.h>

#include "runtime/scale.h"

using namespace kelva::rt;

TEST(SurfaceScale, TwipsPixelsAndUserScale) {
    SurfaceScale s(421, 213);  // 6315 x 3195 twips at 15 twips per pixel
    EXPECT_EQ(s.scaleWidth(), 6315);
    EXPECT_EQ(s.toPixelX(6315), 421);
    EXPECT_EQ(s.toPixelX(22.5), 2);  // 1.5 px rounds to even
    EXPECT_EQ(s.toPixelX(37.5), 2);  // 2.5 px too
    EXPECT_EQ(s.fromPixelY(10), 150);
    s.setUserScale(0, 0, 19, 10);  // the page's cells
    EXPECT_EQ(s.toPixelX(19), 421);
    EXPECT_NEAR(s.fromPixelX(421), 19, 1e-9);
    EXPECT_NEAR(s.widthFromPixels(213 / 10.0 * 10), 19.0 * 213 / 421, 1e-9);
    s.resize(842, 213);  // a user scale keeps its extent
    EXPECT_EQ(s.scaleWidth(), 19);
    EXPECT_EQ(s.toPixelX(19), 842);
    s.setMode(ScaleMode::Pixels);
    EXPECT_EQ(s.scaleWidth(), 842);
    EXPECT_EQ(s.toPixelY(-3), -3);
}

TEST(SurfaceScale, EmptySurfacesAndHugeValuesStayDefined) {
    SurfaceScale s(0, 0);
    EXPECT_EQ(s.toPixelX(150), 10);  // twips do not depend on the size
    s.setUserScale(0, 0, 0, 0);
    EXPECT_EQ(s.toPixelX(5), 0);
    EXPECT_EQ(s.fromPixelX(5), 0);
    EXPECT_EQ(roundPixel(1e300), 2147483647);
    EXPECT_EQ(roundPixel(-1e300), -2147483647 - 1);
}
