#include <gtest/gtest.h>

#include <vector>

#include "core/errors.h"
#include "englib/table_logic.h"

using namespace kelva;
using namespace kelva::eng;

namespace {
class Lines : public LineList {
public:
    Lines(std::vector<std::vector<double>> e, std::int32_t lower = 0) : entries_(std::move(e)), lower_(lower) {}
    std::int32_t lowerBound() const override { return lower_; }
    std::int32_t upperBound() const override { return lower_ + static_cast<std::int32_t>(entries_.size()) - 1; }
    double element(std::int32_t entry, int index) const override {
        if (entry < lower_ || entry > upperBound()) kelva::raise(err::SubscriptOutOfRange);
        const auto& e = entries_[static_cast<size_t>(entry - lower_)];
        if (index < 0 || static_cast<size_t>(index) >= e.size()) kelva::raise(err::SubscriptOutOfRange);
        return e[static_cast<size_t>(index)];
    }

private:
    std::vector<std::vector<double>> entries_;
    std::int32_t lower_;
};

class HugeList : public LineList {
public:
    std::int32_t lowerBound() const override { return 0; }
    std::int32_t upperBound() const override { return 40000; }
    double element(std::int32_t, int) const override { return 0; }
};

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

// Column lines by increasing x, upper end first; row lines from the top down, left end first.
const Lines kCols({{0, 100, 0, 0}, {0.001, 100, 0.001, 0}, {50, 100, 50, 40}, {80, 100.004, 80, -0.004}, {120, 100, 120, 0}});
const Lines kRows({{0, 100, 120, 100}, {0, 60, 50, 60}, {0, 40, 120, 40}, {0, 0, 120, 0}});
}  // namespace

TEST(TableLogic, NextDistinctCoordinates) {
    EXPECT_EQ(nextDistinctCoordinate(kCols, 0, 0.01, 0), 50);
    EXPECT_EQ(nextDistinctCoordinate(kCols, 2, 0.01, 0), 80);
    EXPECT_EQ(nextDistinctCoordinate(kCols, 4, 0.01, 0), 0);  // the last entry
    EXPECT_EQ(nextDistinctCoordinate(kRows, 0, 0.01, 1), 60);
    const Lines same({{5, 0, 5, 1}, {5.001, 0, 5, 1}, {5.002, 0, 5, 1}});
    EXPECT_EQ(nextDistinctCoordinate(same, 0, 0.01, 0), 0);
    EXPECT_EQ(nextLine(kCols, 0, true, 0.01), 2);  // an index, not a value
    EXPECT_EQ(nextLine(kRows, 1, false, 0.01), 2);
    EXPECT_EQ(nextLine(same, 0, true, 0.01), 0);
    EXPECT_EQ(nextLine(kCols, 0, true, 0.0001), 1);
}

TEST(TableLogic, ColumnLinesSpanningRows) {
    EXPECT_TRUE(isColumnLine(kCols, kRows, 0, 0, 3, 0.01));   // whole height
    EXPECT_TRUE(isColumnLine(kCols, kRows, 2, 0, 2, 0.01));   // stops at row 2 exactly
    EXPECT_FALSE(isColumnLine(kCols, kRows, 2, 0, 3, 0.01));  // stops 40 short of row 3
    EXPECT_TRUE(isColumnLine(kCols, kRows, 3, 0, 3, 0.01));   // overshoots both rows a little
    // Lower end short of the row by no more than the tolerance still spans; by more it does not.
    const Lines shortCol({{10, 100, 10, 0.005}, {10, 100, 10, 0.05}});
    EXPECT_TRUE(isColumnLine(shortCol, kRows, 0, 0, 3, 0.01));
    EXPECT_FALSE(isColumnLine(shortCol, kRows, 1, 0, 3, 0.01));
    // Wholly between the rows, each end within the tolerance.
    const Lines inside({{10, 99.995, 10, 0.005}, {10, 99.9, 10, 0.005}});
    EXPECT_TRUE(isColumnLine(inside, kRows, 0, 0, 3, 0.01));
    EXPECT_FALSE(isColumnLine(inside, kRows, 1, 0, 3, 0.01));
}

TEST(TableLogic, RowLinesSpanningColumns) {
    EXPECT_TRUE(isRowLine(kCols, kRows, 0, 0, 4, 0.01));
    EXPECT_TRUE(isRowLine(kCols, kRows, 1, 0, 2, 0.01));
    EXPECT_FALSE(isRowLine(kCols, kRows, 1, 0, 4, 0.01));
    EXPECT_TRUE(isRowLine(kCols, kRows, 1, 1, 2, 0.01));  // starts left of column 1
    const Lines rows({{0.005, 50, 119.995, 50}, {0.5, 50, 120, 50}});
    EXPECT_TRUE(isRowLine(kCols, rows, 0, 0, 4, 0.01));
    EXPECT_FALSE(isRowLine(kCols, rows, 1, 0, 4, 0.01));
}

TEST(TableLogic, ListFaults) {
    EXPECT_EQ(errorOf([] { nextDistinctCoordinate(HugeList(), 0, 0.1, 0); }), err::Overflow);
    EXPECT_EQ(errorOf([] { nextLine(kCols, 32767, true, 0.1); }), err::Overflow);
    const Lines shortEntries(std::vector<std::vector<double>>{{1.0}, {2.0}});
    EXPECT_EQ(errorOf([&] { isColumnLine(shortEntries, kRows, 0, 0, 1, 0.1); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([] { isColumnLine(kCols, kRows, 9, 0, 1, 0.1); }), err::SubscriptOutOfRange);
    const Lines oneBased({{0, 0, 0, 0}, {5, 0, 5, 0}}, 1);
    EXPECT_EQ(errorOf([&] { nextDistinctCoordinate(oneBased, 0, 0.1, 0); }), err::SubscriptOutOfRange);
    EXPECT_EQ(nextDistinctCoordinate(oneBased, 1, 0.1, 0), 5);
}

TEST(TableLogic, NumberFormats) {
    EXPECT_EQ(numberFormatFor(L"1,234.50"), L"#,##0.00");
    EXPECT_EQ(numberFormatFor(L"12.5"), L"0.0");
    EXPECT_EQ(numberFormatFor(L"1,234"), L"#,##0");
    EXPECT_EQ(numberFormatFor(L"42"), L"0");
    EXPECT_EQ(numberFormatFor(L"word"), L"@");
    EXPECT_EQ(numberFormatFor(L"3."), L"0.");
    EXPECT_EQ(numberFormatFor(L"-0.125"), L"0.000");
    EXPECT_EQ(numberFormatFor(L""), L"@");
    EXPECT_EQ(numberFormatFor(L"1.2.3"), L"@");
    EXPECT_EQ(numberFormatFor(L"12m"), L"@");
}

TEST(TableLogic, TextHelpers) {
    EXPECT_EQ(deleteSpaces(L" a b\tc "), L"ab\tc");
    EXPECT_EQ(verticalText(L"AB"), L"A\nB");
    EXPECT_EQ(verticalText(L"표제"), L"표\n제");
    EXPECT_EQ(verticalText(L""), L"");
    EXPECT_EQ(mergeText(L"R2C3:R4C5"), L"R2C3");
    EXPECT_EQ(errorOf([] { mergeText(L"R2C3"); }), err::InvalidCall);
}

TEST(TableLogic, AdvanceOverArea) {
    std::int16_t row = 2, col = 3;
    advanceOverArea(L"R2C3:R4C5", row, col);
    EXPECT_EQ(row, 4);
    EXPECT_EQ(col, 5);
    row = 2, col = 3;
    advanceOverArea(L"R2C3:R2C3", row, col);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 3);
    row = 10, col = 10;
    advanceOverArea(L"R12C10:R120C12", row, col);
    EXPECT_EQ(row, 118);
    EXPECT_EQ(col, 12);
    row = 5, col = 5;
    advanceOverArea(L"R4C5:R2C3", row, col);  // backwards: no rows, no columns
    EXPECT_EQ(row, 4);
    EXPECT_EQ(col, 4);
    EXPECT_EQ(errorOf([&] { advanceOverArea(L"R2C3", row, col); }), err::InvalidCall);
    EXPECT_EQ(errorOf([&] { advanceOverArea(L"R2x3:R4C5", row, col); }), err::InvalidCall);
    EXPECT_EQ(errorOf([&] { advanceOverArea(L"RxC3:R4C5", row, col); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([&] { advanceOverArea(L"R1C1:R40000C1", row, col); }), err::Overflow);
    row = 32000;
    EXPECT_EQ(errorOf([&] { advanceOverArea(L"R1C1:R1000C1", row, col); }), err::Overflow);
    EXPECT_EQ(row, 32000);  // untouched on failure
}

TEST(TableLogic, LargestHeight) {
    std::vector<double> h{2.5, 7, 3};
    std::vector<std::int16_t> asked;
    EXPECT_EQ(largestHeight(
                  [&] {
                      asked.push_back(-1);  // the count, asked after the first height
                      return 3;
                  },
                  [&](std::int16_t i) {
                      asked.push_back(i);
                      return h.at(static_cast<size_t>(i));
                  }),
              7);
    EXPECT_EQ(asked, (std::vector<std::int16_t>{0, -1, 0, 1, 2}));
    EXPECT_EQ(largestHeight([] { return 1; }, [](std::int16_t) { return 4.0; }), 4.0);
    // An empty selection fails on its first item, with the host's error.
    EXPECT_EQ(errorOf([] { largestHeight([] { return 0; }, [](std::int16_t) -> double { kelva::raise(err::InvalidCall); }); }),
              err::InvalidCall);
    EXPECT_EQ(errorOf([] { largestHeight([] { return 40000; }, [](std::int16_t) { return 1.0; }); }), err::Overflow);
}
