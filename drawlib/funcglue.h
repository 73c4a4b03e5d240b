#pragma once
// What the toolbox classes' COM members share: points and numbers out of Variants, string and point
// arrays in either form a caller sends (typed, or an array of Variants), and an AutoCAD selection set
// as the sorts see it.
#include <oaidl.h>

#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/values.h"
#include "drawlib/geometry.h"
#include "drawlib/pointsort.h"

namespace kelva::draw::glue {

// The array a Variant holds (through references), or error 13 when it holds none.
SAFEARRAY* arrayIn(const VARIANT& v);
// A number by the runtime's conversion of a Variant (numeric texts included): 13 or 6 on failure.
double numberOf(const VARIANT& v);
// Element `index` (absolute, dimension 1) of a one-dimensional array as a number; 9 outside its bounds.
double numberAt(SAFEARRAY* a, long index);
long lowerBound(SAFEARRAY* a, UINT dim = 1);
long upperBound(SAFEARRAY* a, UINT dim = 1);

// X and Y (and Z when the array has an element 2) of a point argument.
Point pointOf(const VARIANT& v);
// A point result: a Variant holding a Double array 0..2.
void storePoint(VARIANT* out, const Point& p);
// Writes X and Y back into a point argument in place (Z untouched), keeping its element type.
void writeXY(VARIANT& v, double x, double y);

// A one-dimensional array of texts, its elements moved by handle.
class TextArray {
public:
    explicit TextArray(SAFEARRAY* a);
    std::vector<std::wstring> texts() const;
    // Puts the elements in the new order (element k becomes old element order[k]).
    void arrange(const Order& order);
    std::size_t size() const { return count_; }

private:
    SAFEARRAY* a_;
    std::size_t count_;
    VARTYPE vt_;
};

// A two-dimensional array of texts, (column, row): rows lo..hi moved as wholes.
class TextTable {
public:
    explicit TextTable(SAFEARRAY* a);
    // The texts of one column over rows lo..hi (9 for a column or row outside the array).
    std::vector<std::wstring> column(long col, long lo, long hi) const;
    // Rows lo..hi in the new order (row lo + k becomes old row lo + order[k]).
    void arrangeRows(long lo, long hi, const Order& order);
    long firstRow() const { return rowLo_; }
    long lastRow() const { return rowHi_; }

private:
    SAFEARRAY* a_;
    VARTYPE vt_;
    long colLo_, colHi_, rowLo_, rowHi_;
};

// A one-dimensional array of Variants (or any element type) whose elements are reordered as wholes.
class ElementArray {
public:
    explicit ElementArray(SAFEARRAY* a);
    std::vector<PlanePoint> points(double twist, bool turn) const;
    void arrange(const Order& order);
    long lower() const { return lo_; }
    long upper() const { return hi_; }

private:
    SAFEARRAY* a_;
    VARTYPE vt_;
    long lo_, hi_;
};

// An AutoCAD selection set reached by member name.
class AcadSet : public SortableSet {
public:
    explicit AcadSet(IDispatch* set) : set_(set) {}
    std::size_t count() override;
    void readItems(std::size_t n) override;
    Point insertionPoint(std::size_t item) override;
    std::wstring textString(std::size_t item) override;
    void clear() override;
    void removeAll() override;
    void addItems(const Order& order) override;

private:
    com::Variant itemArray(const Order* order) const;
    IDispatch* set_;
    std::vector<com::ComPtr<IDispatch>> items_;
};

}  // namespace kelva::draw::glue
