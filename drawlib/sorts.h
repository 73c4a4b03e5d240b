#pragma once
// String sorts of the toolbox class. Each engine works out the new order of the caller's elements
// (a permutation: result[k] is the old position of the element that goes to position k) with the
// exact comparison loops of the original members, over keys read once; the caller then moves its
// elements (string handles, Variants or whole rows) accordingly.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelva::draw {

using Order = std::vector<std::size_t>;

// Natural-order key: every digit run becomes its significant-digit count (two digits at least)
// and its significant digits; the leading-zero counts follow after one blank.
std::wstring alphanumKey(std::wstring_view text);

// The quicksort with median of three that leaves partitions of five or fewer to one insertion pass
// over the whole range; `rowScanStops` is the row version's extra stop of the downward scan at lo.
Order alphanumOrder(const std::vector<std::wstring>& texts, bool rowScanStops = false);
// The same order taken from precomputed keys.
Order alphanumOrderOfKeys(const std::vector<std::wstring>& keys, bool rowScanStops);

// Reverses a permutation in place (the descending variants are exact reverses).
void reverseOrder(Order& order);

// Three-way comparisons of the stable sort: binary compares code units, text ignores case.
using Compare3 = std::function<int(const std::wstring&, const std::wstring&)>;
int compareBinary(const std::wstring& a, const std::wstring& b);
// Case-insensitive comparison by simple case folding (the Windows glue uses the locale's rules).
int compareTextFold(const std::wstring& a, const std::wstring& b);

// One stable pass: an element counts as after another when cmp(x, y) equals `sortOrder`
// (1 ascending, -1 descending; any other value leaves the order as it is).
void stableSortPass(const std::vector<std::wstring>& texts, Order& order, const Compare3& cmp, int sortOrder);

// The two passes of the case-ordered sort: binary in the case order, then text in `direction`
// (0 reads as 1), stable, so strings equal without case keep the first pass's order.
Order swapSortOrder(const std::vector<std::wstring>& texts, bool capsFirst, int direction,
                    const Compare3& binary = compareBinary, const Compare3& text = compareTextFold);

// Applies a permutation to a vector (element k of the result is old element order[k]).
template <class T>
std::vector<T> permuted(const std::vector<T>& items, const Order& order) {
    std::vector<T> out;
    out.reserve(order.size());
    for (std::size_t k : order) out.push_back(items[k]);
    return out;
}

}  // namespace kelva::draw
