#include "drawlib/pointsort.h"

#include <algorithm>
#include <numeric>
#include <random>

#include <gtest/gtest.h>

#include "core/tests/checks.h"

using namespace kelva::draw;
using kelva::errorOf;

namespace {

std::vector<PlanePoint> arranged(const std::vector<PlanePoint>& v, const Order& o) { return permuted(v, o); }

std::vector<double> xs(const std::vector<PlanePoint>& v) {
    std::vector<double> out;
    for (auto& p : v) out.push_back(p.x);
    return out;
}

// A selection set in memory: items are the indexes of `points`, the set's content a list of them.
class FakeSet : public SortableSet {
public:
    std::vector<Point> points;
    std::vector<std::wstring> texts;
    std::vector<int> content;     // item ids in the set's order
    std::vector<int> kept;
    int failKeyAt = -1;           // item position whose key read fails
    int addFailures = 0;          // number of AddItems calls that fail
    int keyReads = 0;

    explicit FakeSet(std::vector<Point> p) : points(std::move(p)) {
        content.resize(points.size());
        std::iota(content.begin(), content.end(), 0);
    }
    std::size_t count() override { return content.size(); }
    void readItems(std::size_t n) override { kept.assign(content.begin(), content.begin() + static_cast<long>(n)); }
    Point insertionPoint(std::size_t k) override {
        ++keyReads;
        if (static_cast<int>(k) == failKeyAt) kelva::raise(438);
        return points[static_cast<std::size_t>(kept[k])];
    }
    std::wstring textString(std::size_t k) override {
        ++keyReads;
        if (static_cast<int>(k) == failKeyAt) kelva::raise(438);
        return texts[static_cast<std::size_t>(kept[k])];
    }
    void clear() override { content.clear(); }
    void removeAll() override { content.clear(); }
    void addItems(const Order& order) override {
        if (addFailures > 0) {
            --addFailures;
            kelva::raise(5);
        }
        for (std::size_t k : order) content.push_back(kept[k]);
    }
};

}  // namespace

TEST(PointSort, SingleKeyOrders) {
    const std::vector<PlanePoint> v{{3, 1}, {1, 5}, {2, 3}, {1, 0}};
    EXPECT_EQ(xs(arranged(v, pointOrder(v, PointRule::XAsc))), (std::vector<double>{1, 1, 2, 3}));
    EXPECT_EQ(xs(arranged(v, pointOrder(v, PointRule::YDesc))), (std::vector<double>{1, 2, 3, 1}));
    // Equal X keep their order in an ascending sort: no exchange on equality.
    const Order o = pointOrder(v, PointRule::XAsc);
    EXPECT_EQ(o[0], 1u);
    EXPECT_EQ(o[1], 3u);
    const std::vector<PlanePoint> c{{1, 0}, {3, 0}, {2, 0}};
    EXPECT_EQ(xs(arranged(c, pointOrder(c, PointRule::XDesc))), (std::vector<double>{3, 2, 1}));
    EXPECT_EQ(pointOrder({{4, 4}}, PointRule::XAsc), (Order{0}));
}

TEST(PointSort, RowsWithoutTolerance) {
    // Y values 1e-12 apart are different rows.
    const std::vector<PlanePoint> v{{5, 10}, {1, 10 + 1e-12}, {3, 10}};
    EXPECT_EQ(xs(arranged(v, pointOrder(v, PointRule::YThenX))), (std::vector<double>{1, 3, 5}));
    const std::vector<PlanePoint> w{{5, 10}, {1, 10 - 1e-12}, {3, 10}};
    EXPECT_EQ(xs(arranged(w, pointOrder(w, PointRule::YThenX))), (std::vector<double>{3, 5, 1}));
    EXPECT_EQ(xs(arranged(w, pointOrder(w, PointRule::XThenY))), (std::vector<double>{1, 3, 5}));
}

TEST(PointSort, TableToleranceIsPairwise) {
    const std::vector<PlanePoint> row{{5, 10.0}, {1, 9.8}, {3, 10.2}};
    EXPECT_EQ(xs(arranged(row, pointOrder(row, PointRule::Table, 0.5))), (std::vector<double>{1, 3, 5}));
    const std::vector<PlanePoint> spread{{5, 10.0}, {1, 9.6}, {3, 10.3}};
    EXPECT_EQ(xs(arranged(spread, pointOrder(spread, PointRule::Table, 0.5))), (std::vector<double>{3, 1, 5}));
}

TEST(PointSort, ZBoundaryAndZeroTolerance) {
    // A difference of exactly the tolerance is two rows for Z, one row for the table order.
    const std::vector<PlanePoint> v{{0, 0}, {1, 0.5}};
    EXPECT_EQ(xs(arranged(v, pointOrder(v, PointRule::ZOrder, 0.5))), (std::vector<double>{1, 0}));
    EXPECT_EQ(xs(arranged(v, pointOrder(v, PointRule::Table, 0.5))), (std::vector<double>{0, 1}));
    // With tolerance 0 two items of one row are exchanged whatever their X.
    const std::vector<PlanePoint> same{{1, 2}, {5, 2}};
    EXPECT_EQ(xs(arranged(same, pointOrder(same, PointRule::ZOrder, 0))), (std::vector<double>{5, 1}));
    const std::vector<PlanePoint> list{{0, 0}, {5, 0.05}, {2, 3}};
    EXPECT_EQ(xs(arranged(list, pointOrder(list, PointRule::ZOrder, 0.1))), (std::vector<double>{2, 0, 5}));
}

TEST(PointSort, PropertyMirroredFamiliesAreExactReverses) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> coord(-100, 100);
    const std::pair<PointRule, PointRule> pairs[] = {{PointRule::ZOrder, PointRule::ZOrderR},
                                                     {PointRule::IZOrder, PointRule::IZOrderR},
                                                     {PointRule::NOrder, PointRule::NOrderR},
                                                     {PointRule::INOrder, PointRule::INOrderR},
                                                     {PointRule::XAsc, PointRule::XDesc},
                                                     {PointRule::YDesc, PointRule::YAsc}};
    for (int round = 0; round < 200; ++round) {
        // Distinct coordinates far apart (more than the tolerance), or one row of distinct X.
        std::vector<PlanePoint> v(std::uniform_int_distribution<int>(1, 60)(rng));
        const bool oneRow = round % 2;
        for (std::size_t k = 0; k < v.size(); ++k)
            v[k] = {static_cast<double>(k) * 3 + coord(rng) * 1e-3, oneRow ? 7.0 : static_cast<double>(k) * 3 + coord(rng) * 1e-3};
        std::shuffle(v.begin(), v.end(), rng);
        for (auto [fwd, rev] : pairs) {
            if (oneRow && (fwd == PointRule::NOrder || fwd == PointRule::INOrder || fwd == PointRule::YDesc)) continue;
            Order a = pointOrder(v, fwd, oneRow ? 0.5 : 1.0);
            const Order b = pointOrder(v, rev, oneRow ? 0.5 : 1.0);
            ASSERT_EQ(a.size(), v.size());
            reverseOrder(a);
            ASSERT_EQ(a, b) << "round " << round << " rule " << static_cast<int>(fwd);
        }
        // Single-key sorts give sorted permutations.
        const auto sorted = arranged(v, pointOrder(v, PointRule::XAsc));
        ASSERT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), [](auto& p, auto& q) { return p.x < q.x; }));
    }
}

TEST(PointSort, TwistTurnsTheKeys) {
    // Turned by pi/2, X is the former -Y: a vertical line reads from top to bottom.
    const double halfPi = 2 * std::atan(1.0);
    std::vector<PlanePoint> keys;
    for (double y : {1.0, 9.0, 4.0}) keys.push_back(twistKey({0, y, 0}, halfPi));
    const Order o = pointOrder(keys, PointRule::XAsc);
    EXPECT_EQ(o, (Order{1, 2, 0}));
    const PlanePoint same = twistKey({2, 3, 4}, 1e-9);
    EXPECT_EQ(same.x, 2);
    EXPECT_EQ(same.y, 3);
}

TEST(SelectionSort, ReadsEachKeyOnceAndRefillsInOrder) {
    FakeSet set({{5, 0}, {1, 0}, {3, 0}, {2, 0}});
    sortSetByPoint(set, PointRule::XAsc, 0, 0, SetRewrite::ClearAdd, ErrorStyle::PassThrough);
    EXPECT_EQ(set.content, (std::vector<int>{1, 3, 2, 0}));
    EXPECT_EQ(set.keyReads, 4);
    FakeSet one({{1, 1}});
    sortSetByPoint(one, PointRule::ZOrder, 0, 0, SetRewrite::RemoveAdd, ErrorStyle::PassThrough);
    EXPECT_EQ(one.content, (std::vector<int>{0}));
}

TEST(SelectionSort, FailuresByStyle) {
    FakeSet empty({});
    EXPECT_EQ(errorOf([&] { sortSetByPoint(empty, PointRule::XAsc, 0, 0, SetRewrite::ClearAdd, ErrorStyle::PassThrough); }), 9);
    EXPECT_EQ(errorOf([&] { sortSetByPoint(empty, PointRule::Table, 0, 0, SetRewrite::ClearAdd, ErrorStyle::Trapped); }), 0);

    FakeSet badKey({{5, 0}, {1, 0}, {3, 0}});
    badKey.failKeyAt = 2;
    EXPECT_EQ(errorOf([&] { sortSetByPoint(badKey, PointRule::XAsc, 0, 0, SetRewrite::ClearAdd, ErrorStyle::PassThrough); }), 438);
    EXPECT_EQ(badKey.content, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(errorOf([&] { sortSetByPoint(badKey, PointRule::ZOrder, 1, 0, SetRewrite::ClearAdd, ErrorStyle::Trapped); }), 0);
    EXPECT_EQ(badKey.content, (std::vector<int>{0, 1, 2}));
}

TEST(SelectionSort, FailedRefillPutsTheItemsBackAndRaises) {
    for (auto style : {ErrorStyle::PassThrough, ErrorStyle::Trapped}) {
        for (auto rewrite : {SetRewrite::ClearAdd, SetRewrite::RemoveAdd}) {
            FakeSet set({{5, 0}, {1, 0}, {3, 0}});
            set.addFailures = 1;
            EXPECT_EQ(errorOf([&] { sortSetByPoint(set, PointRule::XAsc, 0, 0, rewrite, style); }), 5);
            EXPECT_EQ(set.content, (std::vector<int>{0, 1, 2}));
        }
    }
}

TEST(SelectionSort, TextOrderAndLargeSets) {
    FakeSet set({{0, 0}, {0, 0}, {0, 0}});
    set.texts = {L"A10", L"A9", L"A09"};
    sortSetByText(set, false, ErrorStyle::Trapped);
    EXPECT_EQ(set.content, (std::vector<int>{1, 2, 0}));
    sortSetByText(set, true, ErrorStyle::Trapped);
    EXPECT_EQ(set.content, (std::vector<int>{0, 2, 1}));

    // More items than a 16-bit position can count are sorted too.
    std::vector<Point> many(33000);
    for (std::size_t k = 0; k < many.size(); ++k) many[k] = {static_cast<double>((k * 7919) % many.size()), 0, 0};
    FakeSet big(many);
    sortSetByPoint(big, PointRule::XAsc, 0, 0, SetRewrite::ClearAdd, ErrorStyle::Trapped);
    ASSERT_EQ(big.content.size(), many.size());
    for (std::size_t k = 1; k < big.content.size(); ++k)
        ASSERT_LT(many[static_cast<std::size_t>(big.content[k - 1])].x, many[static_cast<std::size_t>(big.content[k])].x);
}

namespace {

// The rules as the member tables state them, in a plain double loop.
bool referenceBefore(PlanePoint a, PlanePoint b, PointRule rule, double tol) {
    switch (rule) {
        case PointRule::XAsc: return b.x < a.x;
        case PointRule::XDesc: return b.x > a.x;
        case PointRule::YDesc: return b.y > a.y;
        case PointRule::YAsc: return b.y < a.y;
        case PointRule::YThenX: return b.y > a.y || (b.y == a.y && b.x < a.x);
        case PointRule::XThenY: return b.x < a.x || (b.x == a.x && b.y < a.y);
        case PointRule::Table:
            if (b.y > a.y) return std::fabs(a.y - b.y) > tol ? true : b.x < a.x;
            if (b.y < a.y) return std::fabs(a.y - b.y) <= tol && b.x < a.x;
            return b.x < a.x;
        default: break;
    }
    // Z and N families from their primary and secondary tests.
    const bool zFamily = rule == PointRule::ZOrder || rule == PointRule::ZOrderR || rule == PointRule::IZOrder || rule == PointRule::IZOrderR;
    const double aP = zFamily ? a.y : a.x, bP = zFamily ? b.y : b.x;
    bool ahead = false, cross = false;
    switch (rule) {
        case PointRule::ZOrder: ahead = b.y - a.y >= tol; cross = b.x < a.x; break;
        case PointRule::ZOrderR: ahead = a.y - b.y >= tol; cross = a.x < b.x; break;
        case PointRule::IZOrder: ahead = a.y - b.y >= tol; cross = b.x < a.x; break;
        case PointRule::IZOrderR: ahead = b.y - a.y >= tol; cross = a.x < b.x; break;
        case PointRule::NOrder: ahead = a.x - b.x >= tol; cross = b.y < a.y; break;
        case PointRule::NOrderR: ahead = b.x - a.x >= tol; cross = b.y > a.y; break;
        case PointRule::INOrder: ahead = a.x - b.x >= tol; cross = b.y > a.y; break;
        case PointRule::INOrderR: ahead = b.x - a.x >= tol; cross = b.y < a.y; break;
        default: break;
    }
    if (ahead) return true;
    return std::fabs(bP - aP) <= tol && cross;
}

Order referenceOrder(std::vector<PlanePoint> v, PointRule rule, double tol) {
    Order pos(v.size());
    std::iota(pos.begin(), pos.end(), std::size_t{0});
    for (std::size_t i = 0; i + 1 < v.size(); ++i)
        for (std::size_t j = i + 1; j < v.size(); ++j)
            if (referenceBefore(v[i], v[j], rule, tol)) {
                std::swap(v[i], v[j]);
                std::swap(pos[i], pos[j]);
            }
    return pos;
}

}  // namespace

TEST(PointSort, PropertySameOrderAsThePlainExchangeLoops) {
    std::mt19937 rng(5);
    // Fine coordinates (mostly distinct, so the sorting shortcut answers) and coarse ones (ties and
    // pairs at exactly the tolerance, so the exchange loops answer).
    // Coarse coordinates make many ties and many pairs at exactly the tolerance.
    std::uniform_int_distribution<int> coord(0, 12);
    for (int round = 0; round < 60; ++round) {
        std::vector<PlanePoint> v(std::uniform_int_distribution<int>(0, 150)(rng));
        const double unit = round % 2 ? 0.5 : 0.0137;
        for (auto& p : v) p = {coord(rng) * unit * (round % 3 ? 1 : 37), coord(rng) * unit};
        for (int r = 0; r <= static_cast<int>(PointRule::INOrderR); ++r) {
            const auto rule = static_cast<PointRule>(r);
            for (double tol : {0.0, 0.5, 1.2, -0.5})
                ASSERT_EQ(pointOrder(v, rule, tol), referenceOrder(v, rule, tol)) << "rule " << r << " tol " << tol;
        }
    }
}

TEST(PointSort, PropertyRowsApartAreSortedLikeTheExchangeLoops) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    std::uniform_int_distribution<int> cell(0, 14);
    for (int round = 0; round < 40; ++round) {
        // Rows and columns 10 apart, items within 0.3 of their grid line, no two at one place.
        std::vector<PlanePoint> v(std::uniform_int_distribution<int>(2, 200)(rng));
        for (auto& p : v) p = {cell(rng) * 10 + jitter(rng), cell(rng) * 10 + jitter(rng)};
        for (int r = 0; r <= static_cast<int>(PointRule::INOrderR); ++r) {
            const auto rule = static_cast<PointRule>(r);
            for (double tol : {1.0, 0.6}) {
                ASSERT_TRUE(ordersTotally(v, rule, tol)) << "rule " << r;
                ASSERT_EQ(pointOrder(v, rule, tol), referenceOrder(v, rule, tol)) << "rule " << r << " tol " << tol;
            }
        }
    }
}

TEST(PointSort, TiesAndBoundariesTakeTheExchangeLoops) {
    // Two items of one row at one X, a pair exactly tol apart, equal Y with tolerance 0, a NaN.
    EXPECT_FALSE(ordersTotally({{1, 5}, {1, 5.1}, {3, 5}}, PointRule::ZOrder, 0.5));
    EXPECT_FALSE(ordersTotally({{1, 5}, {2, 5.5}}, PointRule::ZOrder, 0.5));
    EXPECT_TRUE(ordersTotally({{1, 5}, {2, 5.5}}, PointRule::Table, 0.5));
    EXPECT_FALSE(ordersTotally({{1, 5}, {2, 5.75}, {3, 5.25}}, PointRule::Table, 0.5));
    EXPECT_FALSE(ordersTotally({{1, 5}, {2, 5}}, PointRule::ZOrder, 0));
    EXPECT_TRUE(ordersTotally({{1, 5}, {2, 6}}, PointRule::ZOrder, 0));
    EXPECT_FALSE(ordersTotally({{1, 5}, {1, 6}}, PointRule::XAsc, 0));
    EXPECT_FALSE(ordersTotally({{1, 5}, {std::nan(""), 6}}, PointRule::XAsc, 0));
    EXPECT_FALSE(ordersTotally({{1, 5}, {2, 6}}, PointRule::ZOrder, -1));
    const std::vector<PlanePoint> v{{2, 5}, {1, 5}, {3, 5}};
    EXPECT_EQ(pointOrder(v, PointRule::ZOrder, 0), referenceOrder(v, PointRule::ZOrder, 0));
}

TEST(SelectionSort, PropertyTextOrderLikeTheExchangeLoops) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> pick(0, 6);
    for (int round = 0; round < 100; ++round) {
        std::vector<std::wstring> keys(std::uniform_int_distribution<int>(0, 40)(rng));
        // Few distinct texts in odd rounds (ties: the exchange loops), many in even ones (sorting).
        for (auto& k : keys) k = round % 2 ? std::to_wstring(pick(rng)) : std::to_wstring(rng() % 100000);
        for (bool descending : {false, true}) {
            std::vector<std::wstring> v = keys;
            Order pos(v.size());
            std::iota(pos.begin(), pos.end(), std::size_t{0});
            for (std::size_t i = 0; i + 1 < v.size(); ++i)
                for (std::size_t j = i + 1; j < v.size(); ++j)
                    if (descending ? v[j] > v[i] : v[j] < v[i]) {
                        std::swap(v[i], v[j]);
                        std::swap(pos[i], pos[j]);
                    }
            ASSERT_EQ(textKeyOrder(keys, descending), pos) << "round " << round;
        }
    }
}
