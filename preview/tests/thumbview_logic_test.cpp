#include <gtest/gtest.h>

#include "preview/thumbview_logic.h"

using namespace kelva::preview;

TEST(ThumbViewPaintPlan, BorderEdgesFollowTheEffect) {
    EXPECT_EQ(planPaint(100, 80, 0, false, {}, false).edge, 0u);
    EXPECT_EQ(planPaint(100, 80, 1, false, {}, false).edge, 4u);  // raised inner
    EXPECT_EQ(planPaint(100, 80, 2, false, {}, false).edge, 2u);  // sunken outer
    EXPECT_EQ(planPaint(100, 80, 3, false, {}, false).edge, 6u);  // etched
    EXPECT_EQ(planPaint(100, 80, 3, false, {}, false).edgeFlags, 15u);
    EXPECT_EQ(planPaint(100, 80, 9, false, {}, false).edge, 0u);
    EXPECT_EQ(planPaint(100, 80, -1, false, {}, false).edge, 0u);
    EXPECT_EQ(planPaint(100, 80, 2, false, {}, false).border, (PixelRect{0, 0, 100, 80}));
    EXPECT_FALSE(planPaint(100, 80, 2, true, {}, false).picture);
}

TEST(ThumbViewPaintPlan, CentredPictureTakesTheWholePictureFromItsOrigin) {
    const auto p = planPaint(100, 80, 0, false, PictureSize{40, 20}, false).picture;
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->stretched);
    EXPECT_EQ(p->dest, (PixelRect{30, 30, 70, 50}));
    EXPECT_EQ(p->srcX, 0);
    EXPECT_EQ(p->srcY, 0);
    EXPECT_EQ(p->srcWidth, 40);
    EXPECT_EQ(p->srcHeight, 20);
}

TEST(ThumbViewPaintPlan, CentringRoundsHalvesToEvenAndGoesNegativeForLargePictures) {
    EXPECT_EQ(planPaint(45, 40, 0, false, PictureSize{40, 33}, false).picture->dest.left, 2);  // 2.5
    EXPECT_EQ(planPaint(47, 40, 0, false, PictureSize{40, 33}, false).picture->dest.left, 4);  // 3.5
    EXPECT_EQ(planPaint(45, 40, 0, false, PictureSize{40, 33}, false).picture->dest.top, 4);   // 3.5
    const auto big = planPaint(50, 50, 0, false, PictureSize{105, 60}, false).picture;
    EXPECT_EQ(big->dest, (PixelRect{-28, -5, 77, 55}));  // -27.5 -> -28, clipped on all sides
}

TEST(ThumbViewPaintPlan, StretchFillsTheControlAndCoversTheBorder) {
    const auto plan = planPaint(120, 90, 3, true, PictureSize{30, 20}, false);
    EXPECT_EQ(plan.edge, 6u);
    ASSERT_TRUE(plan.picture);
    EXPECT_TRUE(plan.picture->stretched);
    EXPECT_EQ(plan.picture->dest, (PixelRect{0, 0, 120, 90}));
    EXPECT_EQ(plan.picture->srcWidth, 30);
}

TEST(ThumbViewPaintPlan, FocusRectangleOnlyWhileFocused) {
    EXPECT_FALSE(planPaint(100, 80, 0, false, {}, false).focus);
    EXPECT_EQ(planPaint(100, 80, 0, false, {}, true).focus, (PixelRect{5, 5, 95, 75}));
}

TEST(ThumbViewStream, RoundTripsEveryPropertyIncludingKoreanPaths) {
    ThumbViewProperties p;
    p.drawingFile = L"C:\\도면\\평면도 1.dwg";
    p.stretch = true;
    p.specialEffect = 3;
    p.backColor = 0x00123456;
    p.enabled = false;
    const auto bytes = encodeProperties(p);
    EXPECT_EQ(bytes.size(), kStreamFixedSize + 2 * p.drawingFile.size());
    EXPECT_EQ(storedPathUnits(std::span(bytes).first(kStreamFixedSize)), p.drawingFile.size());
    EXPECT_EQ(decodeProperties(bytes), p);
    EXPECT_EQ(decodeProperties(encodeProperties({})), ThumbViewProperties{});
}

TEST(ThumbViewStream, WritesThePropertiesInTheirStoredOrder) {
    ThumbViewProperties p;
    p.specialEffect = 2;
    p.stretch = true;
    p.backColor = 0x80000005;
    p.enabled = true;
    p.drawingFile = L"a";
    const std::vector<std::uint8_t> expected = {1, 0, 2, 0, 0xFF, 0xFF, 5, 0, 0, 0x80, 0xFF, 0xFF, 1, 0, 0, 0, 'a', 0};
    EXPECT_EQ(encodeProperties(p), expected);
}

TEST(ThumbViewStream, RejectsRecordsItDidNotWrite) {
    auto bytes = encodeProperties({});
    EXPECT_FALSE(decodeProperties(std::span(bytes).first(kStreamFixedSize - 1)));
    auto wrongVersion = bytes;
    wrongVersion[0] = 2;
    EXPECT_FALSE(decodeProperties(wrongVersion));
    auto badBool = bytes;
    badBool[4] = 1;
    EXPECT_FALSE(decodeProperties(badBool));
    auto hugePath = bytes;
    hugePath[15] = 0x7F;
    EXPECT_FALSE(storedPathUnits(hugePath));
    auto longer = encodeProperties({.drawingFile = L"abc"});
    EXPECT_FALSE(decodeProperties(std::span(longer).first(longer.size() - 1)));
}

TEST(ThumbViewMouse, ButtonAndShiftMasks) {
    EXPECT_EQ(buttonMask({.left = true}), 1);
    EXPECT_EQ(buttonMask({.left = true, .right = true, .middle = true}), 7);
    EXPECT_EQ(shiftMask({.shift = true, .alt = true}), 5);
    EXPECT_EQ(shiftMask({.ctrl = true}), 2);
}
