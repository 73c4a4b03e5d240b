#include "drawlib/sorts.h"

#include <algorithm>
#include <numeric>
#include <random>

#include <gtest/gtest.h>

#include "core/tests/checks.h"

using namespace kelva::draw;
using kelva::errorOf;

namespace {

std::vector<std::wstring> arrange(const std::vector<std::wstring>& v, const Order& o) { return permuted(v, o); }

bool isPermutation(const Order& o, std::size_t n) {
    if (o.size() != n) return false;
    Order s = o;
    std::sort(s.begin(), s.end());
    for (std::size_t k = 0; k < n; ++k)
        if (s[k] != k) return false;
    return true;
}

std::wstring randomText(std::mt19937& rng) {
    static const wchar_t alphabet[] = L"aAbB0123456789 -x\uAC00";
    std::uniform_int_distribution<int> len(0, 7), pick(0, static_cast<int>(std::size(alphabet)) - 2);
    std::wstring s;
    for (int k = len(rng); k > 0; --k) s += alphabet[pick(rng)];
    return s;
}

}  // namespace

TEST(AlphanumKey, Examples) {
    EXPECT_EQ(alphanumKey(L"a007b12"), L"a017b0212 0200");
    EXPECT_EQ(alphanumKey(L"x"), L"x ");
    EXPECT_EQ(alphanumKey(L"000"), L"00 03");
    EXPECT_EQ(alphanumKey(L""), L" ");
    EXPECT_EQ(alphanumKey(std::wstring(120, L'7')).substr(0, 3), L"120");
    EXPECT_EQ(errorOf([] { alphanumKey(std::wstring(32768, L'1')); }), 6);
}

TEST(AlphanumSort, NaturalOrder) {
    const std::vector<std::wstring> v{L"A10", L"A9", L"A09", L"a9"};
    EXPECT_EQ(arrange(v, alphanumOrder(v)), (std::vector<std::wstring>{L"A9", L"A09", L"A10", L"a9"}));
    const std::vector<std::wstring> w{L"x1y10", L"x1y2"};
    EXPECT_EQ(arrange(w, alphanumOrder(w)), (std::vector<std::wstring>{L"x1y2", L"x1y10"}));
    const std::vector<std::wstring> one{L"z"};
    EXPECT_EQ(alphanumOrder(one), (Order{0}));
    const std::vector<std::wstring> five{L"e5", L"e3", L"e40", L"e1", L"e2"};
    EXPECT_EQ(arrange(five, alphanumOrder(five)), (std::vector<std::wstring>{L"e1", L"e2", L"e3", L"e5", L"e40"}));
    EXPECT_TRUE(alphanumOrder({}).empty());
}

TEST(AlphanumSort, PropertySortedPermutationAndExactReverse) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::wstring> v(std::uniform_int_distribution<int>(0, 90)(rng));
        for (auto& s : v) s = randomText(rng);
        for (bool rows : {false, true}) {
            const Order o = alphanumOrder(v, rows);
            ASSERT_TRUE(isPermutation(o, v.size()));
            for (std::size_t k = 1; k < o.size(); ++k)
                ASSERT_LE(alphanumKey(v[o[k - 1]]), alphanumKey(v[o[k]])) << "round " << round;
            Order d = o;
            reverseOrder(d);
            for (std::size_t k = 0; k < o.size(); ++k) ASSERT_EQ(d[k], o[o.size() - 1 - k]);
        }
    }
}

TEST(AlphanumSort, EqualKeysFollowTheQuicksortLoops) {
    // Rows with one of two keys in the sort column: the median of three moves row 0 to position 3,
    // the pivot (row 0) goes to position 5, the scans exchange rows 2 and 4 and put the pivot at 4;
    // the insertion pass then moves row 5 in front of row 4. A stable sort would give 1 3 5 0 2 4 6.
    const std::vector<std::wstring> keys{L"b", L"a", L"b", L"a", L"b", L"a", L"b"};
    EXPECT_EQ(alphanumOrderOfKeys(keys, true), (Order{3, 1, 5, 4, 0, 2, 6}));
    EXPECT_EQ(alphanumOrderOfKeys(keys, false), (Order{3, 1, 5, 4, 0, 2, 6}));
}

TEST(SwapSort, CaseOrderAmongEqualTexts) {
    const std::vector<std::wstring> v{L"b", L"B", L"a", L"A"};
    EXPECT_EQ(arrange(v, swapSortOrder(v, true, 1)), (std::vector<std::wstring>{L"A", L"a", L"B", L"b"}));
    EXPECT_EQ(arrange(v, swapSortOrder(v, false, 1)), (std::vector<std::wstring>{L"a", L"A", L"b", L"B"}));
    EXPECT_EQ(arrange(v, swapSortOrder(v, true, -1)), (std::vector<std::wstring>{L"B", L"b", L"A", L"a"}));
    EXPECT_EQ(swapSortOrder(v, true, 0), swapSortOrder(v, true, 1));
    // Direction 2 finds nothing "after" the pivot in the second pass: the first pass's order stays.
    EXPECT_EQ(arrange(v, swapSortOrder(v, true, 2)), (std::vector<std::wstring>{L"A", L"B", L"a", L"b"}));
    const std::vector<std::wstring> same{L"q", L"q"};
    EXPECT_EQ(swapSortOrder(same, true, 1), (Order{0, 1}));
    EXPECT_EQ(swapSortOrder({L"x"}, true, 1), (Order{0}));
    EXPECT_TRUE(swapSortOrder({}, true, 1).empty());
}

TEST(SwapSort, PropertyStableSortedPermutation) {
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::wstring> v(std::uniform_int_distribution<int>(0, 400)(rng));
        for (auto& s : v) s = randomText(rng).substr(0, 3);
        Order o(v.size());
        std::iota(o.begin(), o.end(), std::size_t{0});
        for (int order : {1, -1}) {
            Order got = o;
            stableSortPass(v, got, compareTextFold, order);
            Order want = o;
            std::stable_sort(want.begin(), want.end(),
                             [&](std::size_t a, std::size_t b) { return compareTextFold(v[a], v[b]) == -order; });
            ASSERT_EQ(got, want) << "round " << round;
        }
        const Order caps = swapSortOrder(v, true, 1);
        Order want = o;
        std::stable_sort(want.begin(), want.end(), [&](std::size_t a, std::size_t b) {
            const int t = compareTextFold(v[a], v[b]);
            return t != 0 ? t < 0 : compareBinary(v[a], v[b]) < 0;
        });
        ASSERT_EQ(caps, want);
    }
}

TEST(SwapSort, PresortedAndAdversarialInputsStaySortedAndStable) {
    // Long runs in order, in reverse order and of one value: the inputs that made the original's
    // presorted-input step break stability and overrun its pending-range stack.
    for (int shape = 0; shape < 4; ++shape) {
        std::vector<std::wstring> v;
        for (int k = 0; k < 3000; ++k) {
            int key = shape == 0 ? k / 3 : shape == 1 ? (3000 - k) / 3 : shape == 2 ? 5 : (k % 2 ? k : 3000 - k);
            wchar_t buf[16];
            swprintf(buf, 16, L"%05d", key);
            v.push_back(std::wstring(buf) + (k % 2 ? L"a" : L"A"));
        }
        Order o(v.size());
        std::iota(o.begin(), o.end(), std::size_t{0});
        stableSortPass(v, o, compareTextFold, 1);
        for (std::size_t k = 1; k < o.size(); ++k) {
            const int c = compareTextFold(v[o[k - 1]], v[o[k]]);
            ASSERT_LE(c, 0);
            if (c == 0) ASSERT_LT(o[k - 1], o[k]) << "shape " << shape;
        }
    }
}

TEST(AlphanumSort, PivotFollowsTheCallersIndexes) {
    // Six rows of one key: the middle of 0..5 is 2 (2.5 to even), of 1..6 it is 4 (3.5 to even), so
    // an array whose rows start at 1 takes another pivot and ends with its equal rows in another order.
    const std::vector<std::wstring> same(6, L"a");
    EXPECT_EQ(alphanumOrderOfKeys(same, true, 0), (Order{0, 3, 4, 2, 1, 5}));
    EXPECT_EQ(alphanumOrderOfKeys(same, true, 1), (Order{0, 4, 2, 3, 1, 5}));
    EXPECT_EQ(alphanumOrderOfKeys(same, true, -1), alphanumOrderOfKeys(same, true, 1));
    EXPECT_EQ(alphanumOrderOfKeys(same, true, 2), alphanumOrderOfKeys(same, true, 0));
}
