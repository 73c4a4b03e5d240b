#pragma once
// Reading-order sorts of points, point lists and selection sets. The order comes from the
// exchange sort over all pairs i < j (exchange when the rule puts the element at j before the one
// at i): the tolerance rules are not transitive, so that exact procedure defines the result.
// Keys are read once and the exchanges run on the cached keys.
#include <cstddef>
#include <string>
#include <vector>

#include "geometry.h"
#include "sorts.h"

namespace kelva::draw {

enum class PointRule {
    XAsc, XDesc,    // SortTextX, SortListX
    YDesc, YAsc,    // SortTextY, SortListY, SortCoordY (YDesc)
    YThenX,         // SortTextYX
    XThenY,         // SortTextXY
    Table,          // SortTextTable
    ZOrder,         // SortTextZ, SortSelZ, SortListZ
    ZOrderR, IZOrder, IZOrderR,
    NOrder, NOrderR, INOrder, INOrderR,
};

struct PlanePoint {
    double x;
    double y;
};

// The key a sort compares: the point turned by the twist about the origin (the point itself when
// the twist is negligible).
PlanePoint twistKey(const Point& p, double twist);

Order pointOrder(const std::vector<PlanePoint>& keys, PointRule rule, double tol = 0);
// True when the rule puts every two of these keys in one order, consistently: the exchange sort's result
// is then found by sorting, in n log n (rows apart by more than tol, each row within tol, and the cross
// order telling the items of a row apart).
bool ordersTotally(const std::vector<PlanePoint>& keys, PointRule rule, double tol);
Order textKeyOrder(const std::vector<std::wstring>& keys, bool descending);

// An AutoCAD selection set as the sorts see it: items read by position once, keys read once per
// item, and the set rewritten in the new order. Adapters raise VbError for every failure.
class SortableSet {
public:
    virtual ~SortableSet() = default;
    virtual std::size_t count() = 0;
    // Reads and keeps the item at each position (before any key is read).
    virtual void readItems(std::size_t n) = 0;
    virtual Point insertionPoint(std::size_t item) = 0;
    virtual std::wstring textString(std::size_t item) = 0;
    virtual void clear() = 0;
    virtual void removeAll() = 0;  // RemoveItems with every kept item
    // AddItems with the kept items in this order.
    virtual void addItems(const Order& order) = 0;
};

enum class SetRewrite { ClearAdd, RemoveAdd };
enum class ErrorStyle { PassThrough, Trapped };

// The frame of the selection-set sorts. A rewrite whose AddItems fails puts the original items back
// and raises the failure in either style; every other failure of a trapped member is swallowed
// and leaves the set as it was.
void sortSetByPoint(SortableSet& set, PointRule rule, double tol, double twist, SetRewrite rewrite, ErrorStyle style);
void sortSetByText(SortableSet& set, bool descending, ErrorStyle style);

}  // namespace kelva::draw
