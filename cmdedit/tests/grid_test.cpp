#include <gtest/gtest.h>

#include "cmdedit/grid_model.h"

using namespace kelva::cmd;

namespace {
Grid sample(int rows) {
    Grid g(4, rows);
    g.colWidth = {2500, 1600, 1600, 1600};
    return g;
}
}  // namespace

TEST(Grid, RowsGrowEmptyAndShrinkKeepingCurrentInside) {
    Grid g = sample(3);
    g.setText(2, 1, L"X");
    g.setCurrent(2, 2);
    g.setCellBackColor(0xBCF3FF);
    g.setRows(5);
    EXPECT_EQ(g.text(4, 0), L"");
    EXPECT_EQ(g.backColor(2, 2), 0xBCF3FFu);
    g.setRows(2);
    EXPECT_EQ(g.row, 1);
    EXPECT_FALSE(g.setCurrent(2, 0));
    EXPECT_FALSE(g.setCurrent(0, 4));
    EXPECT_THROW(g.text(2, 0), std::out_of_range);
}

TEST(Grid, CellBoxesFollowScrolling) {
    Grid g = sample(55);
    const int height = 8685;  // 33 data rows fit below the header
    EXPECT_EQ(visibleDataRows(g, height), 33);
    EXPECT_EQ(maxTopRow(g, height), 22);
    auto box = cellBox(g, 3, 2, height);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->left, 4100);
    EXPECT_EQ(box->top, 3 * 255);
    EXPECT_EQ(box->width, 1600);
    EXPECT_TRUE(scrollTo(g, 100, height));
    EXPECT_EQ(g.topRow, 22);
    EXPECT_FALSE(cellBox(g, 3, 2, height));
    EXPECT_EQ(cellBox(g, 0, 0, height)->top, 0);  // the header never scrolls
    EXPECT_EQ(cellBox(g, 22, 0, height)->top, 255);
    EXPECT_TRUE(ensureVisible(g, 1, height));
    EXPECT_EQ(g.topRow, 1);
    EXPECT_TRUE(ensureVisible(g, 40, height));
    EXPECT_EQ(g.topRow, 8);
}

TEST(Grid, HitTestMapsPointsToCells) {
    Grid g = sample(10);
    auto hit = hitTest(g, 4100, 255 * 2 + 3, 8685);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->row, 2);
    EXPECT_EQ(hit->col, 2);
    EXPECT_EQ(hitTest(g, 10, 10, 8685)->row, 0);
    EXPECT_FALSE(hitTest(g, 7300, 300, 8685));    // right of the last column
    EXPECT_FALSE(hitTest(g, 10, 255 * 10, 8685));  // below the last row
    EXPECT_FALSE(hitTest(g, -1, 10, 8685));
}

TEST(Grid, ScrollsSidewaysByWholeColumns) {
    Grid g = sample(10);
    const int width = 5400;  // the grid area less its border and a vertical scroll bar
    EXPECT_EQ(totalWidth(g), 7300);
    EXPECT_EQ(maxLeftCol(g, width), 1);  // 1600 x 3 fit
    EXPECT_EQ(maxLeftCol(g, 8000), 0);
    // The user column ends past the width: showing it wholly scrolls one column.
    EXPECT_TRUE(ensureColVisible(g, 2, width));
    EXPECT_EQ(g.leftCol, 1);
    EXPECT_FALSE(cellBox(g, 1, 0, 8685));
    EXPECT_EQ(cellBox(g, 1, 3, 8685)->left, 3200);
    EXPECT_EQ(hitTest(g, 3300, 300, 8685)->col, 3);
    EXPECT_FALSE(ensureColVisible(g, 3, width));
    EXPECT_TRUE(ensureColVisible(g, 0, width));
    EXPECT_EQ(g.leftCol, 0);
    EXPECT_FALSE(scrollToCol(g, -3, width));
    EXPECT_TRUE(scrollToCol(g, 9, width));
    EXPECT_EQ(g.leftCol, 1);
    // A column wider than the view is shown from its start.
    g.colWidth = {2500, 6000, 1600, 1600};
    g.leftCol = 0;
    EXPECT_TRUE(ensureColVisible(g, 1, width));
    EXPECT_EQ(g.leftCol, 1);
}
