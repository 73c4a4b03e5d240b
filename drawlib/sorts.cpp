#include "sorts.h"

#include <algorithm>
#include <cwctype>
#include <numeric>
#include <utility>

#include "core/errors.h"
#include "core/values.h"

namespace kelva::draw {

namespace {

void appendCount(std::wstring& out, long count) {
    // The key builder counts with 16-bit integers.
    if (count > 32767) raise(err::Overflow);
    std::wstring t = std::to_wstring(count);
    if (t.size() < 2) out += L'0';
    out += t;
}

}  // namespace

std::wstring alphanumKey(std::wstring_view text) {
    std::wstring main, zeros;
    main.reserve(text.size() + 8);
    size_t k = 0;
    while (k < text.size()) {
        const wchar_t c = text[k];
        if (c < L'0' || c > L'9') {
            main += c;
            ++k;
            continue;
        }
        size_t runEnd = k;
        while (runEnd < text.size() && text[runEnd] >= L'0' && text[runEnd] <= L'9') ++runEnd;
        size_t firstSignificant = k;
        while (firstSignificant < runEnd && text[firstSignificant] == L'0') ++firstSignificant;
        appendCount(main, static_cast<long>(runEnd - firstSignificant));
        main.append(text.substr(firstSignificant, runEnd - firstSignificant));
        appendCount(zeros, static_cast<long>(firstSignificant - k));
        k = runEnd;
    }
    main += L' ';
    main += zeros;
    return main;
}

namespace {

// Mirrors the original loops on positions of a working array of keys; `pos` carries the identities.
struct AlphanumSorter {
    std::vector<const std::wstring*> key;  // key of the element now at each position
    Order pos;                               // old position of the element now at each position
    bool rowScanStops;

    void swap(std::size_t a, std::size_t b) {
        std::swap(key[a], key[b]);
        std::swap(pos[a], pos[b]);
    }

    static long midpoint(long lo, long hi) {
        // (lo + hi) / 2 assigned to a Long: halves go to the even neighbour.
        return static_cast<long>(roundHalfEven((static_cast<double>(lo) + hi) / 2));
    }

    void quickSort(long lo, long hi) {
        // Pending ranges on an explicit stack, taken in the order the recursion would take them.
        std::vector<std::pair<long, long>> pending{{lo, hi}};
        while (!pending.empty()) {
            auto [l, h] = pending.back();
            pending.pop_back();
            if (h - l <= 4) continue;
            const long mid = midpoint(l, h);
            if (*key[l] > *key[mid]) swap(l, mid);
            if (*key[l] > *key[h]) swap(l, h);
            if (*key[mid] > *key[h]) swap(mid, h);
            swap(mid, h - 1);
            const std::wstring& pivot = *key[h - 1];
            long i = l, j = h - 1;
            for (;;) {
                do ++i; while (*key[i] < pivot);
                if (rowScanStops) {
                    do --j; while (*key[j] > pivot && j > l);
                } else {
                    do --j; while (*key[j] > pivot);
                }
                if (j < i) break;
                swap(i, j);
            }
            swap(i, h - 1);
            // Recursion sorts lo..j first, then i+1..hi: push the second one first.
            pending.emplace_back(i + 1, h);
            pending.emplace_back(l, j);
        }
    }

    void insertionSort(long lo, long hi) {
        for (long i = lo + 1; i <= hi; ++i) {
            const std::wstring* t = key[i];
            const std::size_t tp = pos[i];
            long j = i;
            while (j > lo && *key[j - 1] > *t) {
                key[j] = key[j - 1];
                pos[j] = pos[j - 1];
                --j;
            }
            key[j] = t;
            pos[j] = tp;
        }
    }
};

}  // namespace

Order alphanumOrderOfKeys(const std::vector<std::wstring>& keys, bool rowScanStops) {
    AlphanumSorter s;
    s.rowScanStops = rowScanStops;
    s.key.reserve(keys.size());
    for (const auto& k : keys) s.key.push_back(&k);
    s.pos.resize(keys.size());
    std::iota(s.pos.begin(), s.pos.end(), std::size_t{0});
    if (keys.size() > 1) {
        const long hi = static_cast<long>(keys.size()) - 1;
        s.quickSort(0, hi);
        s.insertionSort(0, hi);
    }
    return s.pos;
}

Order alphanumOrder(const std::vector<std::wstring>& texts, bool rowScanStops) {
    std::vector<std::wstring> keys;
    keys.reserve(texts.size());
    for (const auto& t : texts) keys.push_back(alphanumKey(t));
    return alphanumOrderOfKeys(keys, rowScanStops);
}

void reverseOrder(Order& order) {
    for (std::size_t i = 0, j = order.size(); i + 1 < j; ++i, --j) std::swap(order[i], order[j - 1]);
}

int compareBinary(const std::wstring& a, const std::wstring& b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int compareTextFold(const std::wstring& a, const std::wstring& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t k = 0; k < n; ++k) {
        const wint_t x = std::towlower(static_cast<wint_t>(a[k]));
        const wint_t y = std::towlower(static_cast<wint_t>(b[k]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void stableSortPass(const std::vector<std::wstring>& texts, Order& order, const Compare3& cmp, int sortOrder) {
    const std::size_t n = order.size();
    if (n < 2) return;
    // x counts as after y when cmp(x, y) equals the sort order. A stable sort by that relation has one
    // result; merging runs gives it in n log n for every input, presorted ones included, and never
    // reads outside the runs, whatever the comparison says.
    const auto after = [&](std::size_t x, std::size_t y) { return cmp(texts[x], texts[y]) == sortOrder; };
    Order buffer(n);
    Order* from = &order;
    Order* to = &buffer;
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(n, lo + width), hi = std::min(n, lo + 2 * width);
            std::size_t a = lo, b = mid, w = lo;
            // The right run's element goes first only when the left one is after it: ties keep arrival order.
            while (a < mid && b < hi) (*to)[w++] = after((*from)[a], (*from)[b]) ? (*from)[b++] : (*from)[a++];
            while (a < mid) (*to)[w++] = (*from)[a++];
            while (b < hi) (*to)[w++] = (*from)[b++];
        }
        std::swap(from, to);
    }
    if (from != &order) order = *from;
}

Order swapSortOrder(const std::vector<std::wstring>& texts, bool capsFirst, int direction, const Compare3& binary,
                    const Compare3& text) {
    Order order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const int wanted = direction == 0 ? 1 : direction;
    stableSortPass(texts, order, binary, capsFirst ? 1 : -1);
    stableSortPass(texts, order, text, wanted);
    return order;
}

}  // namespace kelva::draw
