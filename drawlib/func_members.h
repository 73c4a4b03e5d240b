#pragma once
// The members of clsFunc, clsTriangle and clsIni with the signatures of their interfaces. Each raises
// VbError on failure; the class files wrap them in the interface's error frame.
#include <oaidl.h>

namespace kelva::draw::members {

// clsFunc: points and angles
void pi(double* result);
void getQuadrant(double dAng, short* result);
void getOffsetPoint(const VARIANT& vIns, double dAng, double dOffset, VARIANT* result);
void getOffsetPointLR(const VARIANT& vIns, double dAng, double dOffset, VARIANT_BOOL bLeft, VARIANT* result);
void isEqual(const VARIANT& v1, const VARIANT& v2, const VARIANT& tol, VARIANT_BOOL* result);
void length(const VARIANT& s, const VARIANT& e, double* result);
void length2D(const VARIANT& s, const VARIANT& e, double* result);
void clockWise(const VARIANT& s, const VARIANT& e, const VARIANT& n, short* result);
void getEncloseAng(const VARIANT& s, const VARIANT& i, const VARIANT& e, double* result);
void regionRULD(VARIANT* first, VARIANT* second);
void getAzi(const VARIANT& p1, const VARIANT& p2, double* result);
void pointRotateByBase(const VARIANT* base, const VARIANT* point, double theta, VARIANT* result);

// clsFunc: numbers and texts
void rept(BSTR text, short count, BSTR* result);
void strToPnt(BSTR coord, BSTR delim, VARIANT* result);
void getAngleUnit(double deg, short unit, BSTR* result);
void dms2deg(BSTR* dms, double* result);
void deg2dms(double deg, short decimals, short style, BSTR* result);
void getNumber(BSTR text, BSTR* result);
void removeNull(BSTR text, BSTR* result);
void isNumber(BSTR text, VARIANT_BOOL* result);

// clsFunc: paths
void getRelativePath(BSTR from, BSTR target, BSTR* result);
void getAbsolutePath(BSTR base, BSTR convert, BSTR* result);
void findFile(BSTR fileName, BSTR searchPath, BSTR* result);
void launchBrowser(BSTR url, long state);

// clsFunc: exchanges and sorts
void swapData(VARIANT* first, VARIANT* second);
void swapObj(IDispatch** first, IDispatch** second);
void swapSort(SAFEARRAY** array, VARIANT_BOOL caps, short direction);  // traps every error

enum class TextSort { X, Y, YX, XY, Table, Z };
void sortText(IDispatch* set, TextSort kind, bool reverse, double tol, double twist);
void sortAlphanumSel(IDispatch* set, bool descending);
enum class SelSort { Z, Z_R, IZ_R, N_R, IN_R, IZ, N, IN_ };
void sortSel(IDispatch* set, SelSort kind, double tol, double twist);
enum class ListSort { Z, N, IN_, X, Y, CoordIX, CoordY };
void sortList(VARIANT* list, ListSort kind, bool reverse, double tol, double twist);

void alphanumSort(SAFEARRAY** array, VARIANT_BOOL descending);
void alphanumSortMA(SAFEARRAY** array, unsigned char column, VARIANT_BOOL descending, long first, long last);
void reverseArray(SAFEARRAY** array);
void reverseArrayMA(SAFEARRAY** array);

// clsIni
void writeIni(BSTR path, BSTR section, BSTR key, BSTR value, VARIANT_BOOL* result);
void deleteSection(BSTR section, BSTR path, VARIANT_BOOL* result);
void deleteKey(BSTR section, BSTR key, BSTR path, VARIANT_BOOL* result);
void readIni(BSTR path, BSTR section, BSTR key, BSTR fallback, BSTR* result);

// clsTriangle: a Double result in a Variant
void storeDouble(VARIANT* result, double value);

}  // namespace kelva::draw::members
