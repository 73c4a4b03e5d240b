#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/errors.h"
#include "core/tests/checks.h"
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

// Column lines by increasing x, upper end first; row lines from the top down, left end first.
const Lines kCols({{0, 100, 0, 0}, {0.001, 100, 0.001, 0}, {50, 100, 50, 40}, {80, 100.004, 80, -0.004}, {120, 100, 120, 0}});
const Lines kRows({{0, 100, 120, 100}, {0, 60, 50, 60}, {0, 40, 120, 40}, {0, 0, 120, 0}});

// Which line of which list, the lines it must span (first to last) and the tolerance.
using Span = std::tuple<const Lines*, const Lines*, std::int16_t, std::int16_t, std::int16_t, double>;

bool columnSpans(const Lines* cols, const Lines* rows, std::int16_t k, std::int16_t first, std::int16_t last, double tol) {
    return isColumnLine(*cols, *rows, k, first, last, tol);
}

bool rowSpans(const Lines* cols, const Lines* rows, std::int16_t k, std::int16_t first, std::int16_t last, double tol) {
    return isRowLine(*cols, *rows, k, first, last, tol);
}
}  // namespace

TEST(TableLogic, NextDistinctCoordinates) {
    const Lines same({{5, 0, 5, 1}, {5.001, 0, 5, 1}, {5.002, 0, 5, 1}});
    // The list, the entry to start from, the tolerance and the element compared (0 x, 1 y).
    using From = std::tuple<const Lines*, std::int16_t, double, int>;
    const std::vector<Case<From, double>> coordinates = {
        {{&kCols, 0, 0.01, 0}, 50},
        {{&kCols, 2, 0.01, 0}, 80},
        {{&kCols, 4, 0.01, 0}, 0, "the last entry"},
        {{&kRows, 0, 0.01, 1}, 60},
        {{&same, 0, 0.01, 0}, 0, "no other coordinate"},
    };
    checkRows(coordinates, [](const Lines* lines, std::int16_t start, double tol, int element) {
        return nextDistinctCoordinate(*lines, start, tol, element);
    });
    // The same walk by x or by y, answering with the entry's index, not its value.
    using ByAxis = std::tuple<const Lines*, std::int16_t, bool, double>;
    const std::vector<Case<ByAxis, std::int16_t>> indices = {
        {{&kCols, 0, true, 0.01}, 2},
        {{&kRows, 1, false, 0.01}, 2},
        {{&same, 0, true, 0.01}, 0},
        {{&kCols, 0, true, 0.0001}, 1, "a tolerance below the gap of entries 0 and 1"},
    };
    checkRows(indices, [](const Lines* lines, std::int16_t start, bool byX, double tol) {
        return nextLine(*lines, start, byX, tol);
    });
}

TEST(TableLogic, ColumnLinesSpanningRows) {
    const Lines shortCol({{10, 100, 10, 0.005}, {10, 100, 10, 0.05}});
    const Lines inside({{10, 99.995, 10, 0.005}, {10, 99.9, 10, 0.005}});
    const std::vector<Case<Span, bool>> rows = {
        {{&kCols, &kRows, 0, 0, 3, 0.01}, true, "whole height"},
        {{&kCols, &kRows, 2, 0, 2, 0.01}, true, "stops at row 2 exactly"},
        {{&kCols, &kRows, 2, 0, 3, 0.01}, false, "stops 40 short of row 3"},
        {{&kCols, &kRows, 3, 0, 3, 0.01}, true, "overshoots both rows a little"},
        {{&shortCol, &kRows, 0, 0, 3, 0.01}, true, "lower end short of the row by no more than the tolerance"},
        {{&shortCol, &kRows, 1, 0, 3, 0.01}, false, "lower end short of the row by more than the tolerance"},
        {{&inside, &kRows, 0, 0, 3, 0.01}, true, "wholly between the rows, each end within the tolerance"},
        {{&inside, &kRows, 1, 0, 3, 0.01}, false, "the upper end short of row 0 by more than the tolerance"},
    };
    checkRows(rows, columnSpans);
}

TEST(TableLogic, RowLinesSpanningColumns) {
    const Lines across({{0.005, 50, 119.995, 50}, {0.5, 50, 120, 50}});
    const std::vector<Case<Span, bool>> rows = {
        {{&kCols, &kRows, 0, 0, 4, 0.01}, true, "whole width"},
        {{&kCols, &kRows, 1, 0, 2, 0.01}, true, "stops at column 2"},
        {{&kCols, &kRows, 1, 0, 4, 0.01}, false, "stops short of column 4"},
        {{&kCols, &kRows, 1, 1, 2, 0.01}, true, "starts left of column 1"},
        {{&kCols, &across, 0, 0, 4, 0.01}, true, "each end short of its column by no more than the tolerance"},
        {{&kCols, &across, 1, 0, 4, 0.01}, false, "the left end short of column 0 by more than the tolerance"},
    };
    checkRows(rows, rowSpans);
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
    const std::vector<Case<std::wstring, std::wstring>> rows = {
        {L"1,234.50", L"#,##0.00"},
        {L"12.5", L"0.0"},
        {L"1,234", L"#,##0"},
        {L"42", L"0"},
        {L"word", L"@", "no number: the text format"},
        {L"3.", L"0."},
        {L"-0.125", L"0.000"},
        {L"", L"@", "no number: the text format"},
        {L"1.2.3", L"@", "no number: the text format"},
        {L"12m", L"@", "no number: the text format"},
    };
    checkRows(rows, numberFormatFor);
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
    // The area and the cell the walk starts at; the error it raises and the cell it ends at, which
    // a failure leaves untouched.
    using Start = std::tuple<std::wstring, std::int16_t, std::int16_t>;
    using End = std::tuple<int, std::int16_t, std::int16_t>;
    const std::vector<Case<Start, End>> rows = {
        {{L"R2C3:R4C5", 2, 3}, {0, 4, 5}},
        {{L"R2C3:R2C3", 2, 3}, {0, 2, 3}},
        {{L"R12C10:R120C12", 10, 10}, {0, 118, 12}},
        {{L"R4C5:R2C3", 5, 5}, {0, 4, 4}, "backwards: no rows, no columns"},
        {{L"R2C3", 4, 4}, {err::InvalidCall, 4, 4}},
        {{L"R2x3:R4C5", 4, 4}, {err::InvalidCall, 4, 4}},
        {{L"RxC3:R4C5", 4, 4}, {err::TypeMismatch, 4, 4}},
        {{L"R1C1:R40000C1", 4, 4}, {err::Overflow, 4, 4}},
        {{L"R1C1:R1000C1", 32000, 4}, {err::Overflow, 32000, 4}, "the row would pass 32767"},
    };
    checkRows(rows, [](const std::wstring& area, std::int16_t row, std::int16_t col) {
        const int error = errorOf([&] { advanceOverArea(area, row, col); });
        return End{error, row, col};
    });
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
