#include "func_members.h"

#include <cmath>
#include <numeric>
#include <optional>
#include <utility>

#include "com/arguments.h"
#include "com/dispatch.h"
#include "com/values.h"
#include "core/errors.h"
#include "drawlib/angletext.h"
#include "drawlib/funcglue.h"
#include "drawlib/ini.h"
#include "drawlib/numeric.h"
#include "drawlib/paths.h"
#include "drawlib/shellpaths.h"
#include "drawlib/sorts.h"

namespace kelva::draw::members {

using glue::pointOf;

namespace {

BSTR bstr(std::wstring_view text) { return com::Bstr(text).detach(); }
void setText(BSTR* out, std::wstring_view text) {
    SysFreeString(*out);
    *out = bstr(text);
}
std::wstring text(BSTR b) { return com::toWString(b); }
VARIANT_BOOL vb(bool b) { return b ? VARIANT_TRUE : VARIANT_FALSE; }

// A point list is indexed with 16-bit positions.
void checkListBounds(long lo, long hi) {
    if (hi > 32766 || lo < -32768) raise(err::Overflow);
}

}  // namespace

void storeDouble(VARIANT* result, double value) {
    VariantClear(result);
    V_VT(result) = VT_R8;
    V_R8(result) = value;
}

// ---- points and angles ------------------------------------------------------------------------------------------

void pi(double* result) { *result = draw::pi(); }
void getQuadrant(double dAng, short* result) { *result = static_cast<short>(quadrant(dAng)); }

void getOffsetPoint(const VARIANT& vIns, double dAng, double dOffset, VARIANT* result) {
    glue::storePoint(result, offsetPoint(pointOf(vIns), dAng, dOffset));
}

void getOffsetPointLR(const VARIANT& vIns, double dAng, double dOffset, VARIANT_BOOL bLeft, VARIANT* result) {
    glue::storePoint(result, offsetPointLR(pointOf(vIns), dAng, dOffset, bLeft != VARIANT_FALSE));
}

void isEqual(const VARIANT& v1, const VARIANT& v2, const VARIANT& tol, VARIANT_BOOL* result) {
    const double d = checkedResult(glue::numberOf(v2) - glue::numberOf(v1));
    *result = vb(std::fabs(d) <= glue::numberOf(tol));
}

void length(const VARIANT& s, const VARIANT& e, double* result) {
    const bool solid = glue::upperBound(glue::arrayIn(s)) == 2 && glue::upperBound(glue::arrayIn(e)) == 2;
    *result = solid ? length3D(pointOf(s), pointOf(e)) : length2D(pointOf(s), pointOf(e));
}

void length2D(const VARIANT& s, const VARIANT& e, double* result) { *result = draw::length2D(pointOf(s), pointOf(e)); }

void clockWise(const VARIANT& s, const VARIANT& e, const VARIANT& n, short* result) {
    *result = static_cast<short>(draw::clockWise(pointOf(s), pointOf(e), pointOf(n)));
}

void getEncloseAng(const VARIANT& s, const VARIANT& i, const VARIANT& e, double* result) {
    try {
        *result = encloseAngle(pointOf(s), pointOf(i), pointOf(e));
    } catch (const VbError&) {
        *result = 0;
    }
}

void regionRULD(VARIANT* first, VARIANT* second) {
    const Point a = pointOf(*first), b = pointOf(*second);
    Point ra = a, rb = b;
    draw::regionRULD(ra, rb);
    if (ra.x != a.x || ra.y != a.y) glue::writeXY(*first, ra.x, ra.y);
    if (rb.x != b.x || rb.y != b.y) glue::writeXY(*second, rb.x, rb.y);
}

void getAzi(const VARIANT& p1, const VARIANT& p2, double* result) { *result = azimuth(pointOf(p1), pointOf(p2)); }

void pointRotateByBase(const VARIANT* base, const VARIANT* point, double theta, VARIANT* result) {
    if (negligibleTurn(theta)) {
        com::requireWellFormed(*point);
        VariantClear(result);
        if (FAILED(VariantCopyInd(result, const_cast<VARIANT*>(point)))) raise(err::OutOfMemory);
        return;
    }
    glue::storePoint(result, rotateAbout(pointOf(*base), pointOf(*point), theta));
}

// ---- numbers and texts ------------------------------------------------------------------------------------------

void rept(BSTR t, short count, BSTR* result) { *result = bstr(draw::rept(text(t), count)); }

void strToPnt(BSTR coord, BSTR delim, VARIANT* result) {
    com::Variant v = com::Variant::fromDoubles(draw::strToPnt(text(coord), text(delim)));
    VariantClear(result);
    v.detachTo(result);
}

void getAngleUnit(double deg, short unit, BSTR* result) { *result = bstr(angleUnitText(deg, unit)); }

void dms2deg(BSTR* dms, double* result) {
    std::wstring t = text(*dms);
    const std::size_t before = t.size();
    *result = dmsToDeg(t);
    if (t.size() != before) setText(dms, t);
}

void deg2dms(double deg, short decimals, short style, BSTR* result) { *result = bstr(degToDms(deg, decimals, style)); }
void getNumber(BSTR t, BSTR* result) { *result = bstr(draw::getNumber(text(t))); }
void removeNull(BSTR t, BSTR* result) { *result = bstr(draw::removeNull(text(t))); }
void isNumber(BSTR t, VARIANT_BOOL* result) { *result = vb(draw::isNumber(text(t))); }

// ---- paths ------------------------------------------------------------------------------------------------------

void getRelativePath(BSTR from, BSTR target, BSTR* result) { *result = bstr(relativePath(text(from), text(target))); }
void getAbsolutePath(BSTR base, BSTR convert, BSTR* result) { *result = bstr(absolutePath(text(base), text(convert))); }
void findFile(BSTR fileName, BSTR searchPath, BSTR* result) {
    *result = bstr(draw::findFile(text(fileName), text(searchPath)));
}
void launchBrowser(BSTR url, long state) { draw::launchBrowser(text(url), static_cast<int>(state)); }

// ---- exchanges and sorts ----------------------------------------------------------------------------------------

void swapData(VARIANT* first, VARIANT* second) {
    // Basic's t = a: a = b: b = t. An early-bound caller's typed variables arrive as VT_BYREF|type and take
    // the other value in their own type. Both values are brought to what the other variable holds before
    // either changes, so a value one of them cannot hold fails the call with both as they were.
    com::requireWellFormed(*first);
    com::requireWellFormed(*second);
    const com::Variant toFirst = com::valueForVariable(*first, *second);
    const com::Variant toSecond = com::valueForVariable(*second, *first);
    com::assignVariable(*first, *toFirst.get());
    com::assignVariable(*second, *toSecond.get());
}
void swapObj(IDispatch** first, IDispatch** second) { std::swap(*first, *second); }

void swapSort(SAFEARRAY** array, VARIANT_BOOL caps, short direction) {
    try {
        if (!array || !*array) return;
        glue::TextArray a(*array);
        a.arrange(swapSortOrder(a.texts(), caps != VARIANT_FALSE, direction, compareBinary, compareTextLocale));
    } catch (const VbError&) {
        // The member reports nothing; the caller's array keeps its order.
    }
}

void sortText(IDispatch* set, TextSort kind, bool reverse, double tol, double twist) {
    glue::AcadSet s(set);
    switch (kind) {
        case TextSort::X:
            return sortSetByPoint(s, reverse ? PointRule::XDesc : PointRule::XAsc, 0, twist, SetRewrite::ClearAdd,
                                  ErrorStyle::PassThrough);
        case TextSort::Y:
            return sortSetByPoint(s, reverse ? PointRule::YAsc : PointRule::YDesc, 0, twist, SetRewrite::ClearAdd,
                                  ErrorStyle::PassThrough);
        case TextSort::YX:
            return sortSetByPoint(s, PointRule::YThenX, 0, twist, SetRewrite::ClearAdd, ErrorStyle::Trapped);
        case TextSort::XY:
            return sortSetByPoint(s, PointRule::XThenY, 0, twist, SetRewrite::ClearAdd, ErrorStyle::Trapped);
        case TextSort::Table:
            return sortSetByPoint(s, PointRule::Table, tol, twist, SetRewrite::ClearAdd, ErrorStyle::Trapped);
        case TextSort::Z:
            return sortSetByPoint(s, PointRule::ZOrder, tol, twist, SetRewrite::ClearAdd, ErrorStyle::Trapped);
    }
}

void sortAlphanumSel(IDispatch* set, bool descending) {
    glue::AcadSet s(set);
    sortSetByText(s, descending, ErrorStyle::Trapped);
}

void sortSel(IDispatch* set, SelSort kind, double tol, double twist) {
    PointRule rule = PointRule::ZOrder;
    switch (kind) {
        case SelSort::Z: rule = PointRule::ZOrder; break;
        case SelSort::Z_R: rule = PointRule::ZOrderR; break;
        case SelSort::IZ_R: rule = PointRule::IZOrderR; break;
        case SelSort::N_R: rule = PointRule::NOrderR; break;
        case SelSort::IN_R: rule = PointRule::INOrderR; break;
        case SelSort::IZ: rule = PointRule::IZOrder; break;
        case SelSort::N: rule = PointRule::NOrder; break;
        case SelSort::IN_: rule = PointRule::INOrder; break;
    }
    glue::AcadSet s(set);
    sortSetByPoint(s, rule, tol, twist, SetRewrite::RemoveAdd, ErrorStyle::PassThrough);
}

void sortList(VARIANT* list, ListSort kind, bool reverse, double tol, double twist) {
    glue::ElementArray a(glue::arrayIn(*list));
    checkListBounds(a.lower(), a.upper());
    PointRule rule = PointRule::ZOrder;
    bool turn = true;
    switch (kind) {
        case ListSort::Z: rule = PointRule::ZOrder; break;
        case ListSort::N: rule = PointRule::NOrder; break;
        case ListSort::IN_: rule = PointRule::INOrder; break;
        case ListSort::X: rule = reverse ? PointRule::XDesc : PointRule::XAsc; break;
        case ListSort::Y: rule = reverse ? PointRule::YAsc : PointRule::YDesc; break;
        case ListSort::CoordIX: rule = PointRule::XDesc; turn = false; break;
        case ListSort::CoordY: rule = PointRule::YDesc; turn = false; break;
    }
    a.arrange(pointOrder(a.points(twist, turn), rule, tol));
}

namespace {
glue::TextArray textArray(SAFEARRAY** array) {
    if (!array || !*array) raise(err::SubscriptOutOfRange);
    return glue::TextArray(*array);
}
glue::TextTable textTable(SAFEARRAY** array) {
    if (!array || !*array) raise(err::SubscriptOutOfRange);
    return glue::TextTable(*array);
}
Order reversed(std::size_t n) {
    Order o(n);
    std::iota(o.rbegin(), o.rend(), std::size_t{0});
    return o;
}
}  // namespace

void alphanumSort(SAFEARRAY** array, VARIANT_BOOL descending) {
    glue::TextArray a = textArray(array);
    Order order = alphanumOrder(a.texts(), false, a.lower());
    if (descending != VARIANT_FALSE) reverseOrder(order);
    a.arrange(order);
}

void alphanumSortMA(SAFEARRAY** array, unsigned char column, VARIANT_BOOL descending, long first, long last) {
    glue::TextTable t = textTable(array);
    const long lo = first != 0 ? first : t.firstRow();
    const long hi = last != 0 ? last : t.lastRow();
    Order order = alphanumOrder(t.column(column, lo, hi), true, lo);
    // A descending sort of a range turns that range only.
    if (descending != VARIANT_FALSE) reverseOrder(order);
    t.arrangeRows(lo, hi, order);
}

void reverseArray(SAFEARRAY** array) {
    glue::TextArray a = textArray(array);
    a.arrange(reversed(a.size()));
}

void reverseArrayMA(SAFEARRAY** array) {
    glue::TextTable t = textTable(array);
    if (t.lastRow() >= t.firstRow())
        t.arrangeRows(t.firstRow(), t.lastRow(), reversed(static_cast<std::size_t>(t.lastRow() - t.firstRow() + 1)));
}

// ---- clsIni -----------------------------------------------------------------------------------------------------

void writeIni(BSTR path, BSTR section, BSTR key, BSTR value, VARIANT_BOOL* result) {
    // A null string (vbNullString) is no value at all: the key goes, where "" writes an empty value.
    const std::wstring given = text(value);
    *result = vb(ini::writeValue(text(path), text(section), text(key),
                                 value ? std::optional<std::wstring_view>(given) : std::nullopt));
}
void deleteSection(BSTR section, BSTR path, VARIANT_BOOL* result) {
    *result = vb(ini::deleteSection(text(section), text(path)));
}
void deleteKey(BSTR section, BSTR key, BSTR path, VARIANT_BOOL* result) {
    *result = vb(ini::deleteKey(text(section), text(key), text(path)));
}
void readIni(BSTR path, BSTR section, BSTR key, BSTR fallback, BSTR* result) {
    *result = bstr(ini::readValue(text(path), text(section), text(key), text(fallback)));
}

}  // namespace kelva::draw::members
