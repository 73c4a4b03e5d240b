// clsFunc, clsTriangle and clsIni driven late-bound inside KelvaSub.dll, as a macro drives them: arrays in
// both forms a caller sends, write-back into the caller's variables, errors as numbers, and selection
// sets of the AutoCAD stand-in loaded in process.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "KelvaSub.h"
#include "acadsim/com/objects.h"
#include "com/latebound.h"
#include "com/values.h"
#include "core/errors.h"
#include "core/tests/checks.h"

using namespace kelva;
using com::Arg;
using com::ComPtr;
using com::Variant;

namespace {

const CLSID kClsFunc = {0x521E65F9, 0xC420, 0x4823, {0x88, 0x59, 0x00, 0x23, 0xD1, 0xD7, 0x7A, 0x7C}};
const CLSID kClsTriangle = {0xDFA6D7DF, 0x3F96, 0x475D, {0x9C, 0x18, 0xD7, 0xE3, 0x81, 0x31, 0x13, 0x2F}};
const CLSID kClsIni = {0x0F921B4C, 0x3A54, 0x4D01, {0x99, 0xA5, 0xF9, 0x75, 0x76, 0xA1, 0xBE, 0x3C}};

Variant str(const wchar_t* s) { return Variant::fromString(s); }
Variant num(double d) { return Variant::fromDouble(d); }

double dbl(const Variant& v) {
    Variant c;
    VariantChangeType(c.put(), const_cast<VARIANT*>(v.get()), 0, VT_R8);
    return V_R8(c.get());
}
std::wstring text(const Variant& v) { return com::asString(v); }
bool truth(const Variant& v) { return V_VT(v.get()) == VT_BOOL && V_BOOL(v.get()) == VARIANT_TRUE; }

// An array of Variants (as VBScript builds one) or a typed String array, one dimension from `lo`.
Variant textArray(const std::vector<std::wstring>& items, bool variants, LONG lo = 0) {
    SAFEARRAYBOUND b{static_cast<ULONG>(items.size()), lo};
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreate(variants ? VT_VARIANT : VT_BSTR, 1, &b));
    for (LONG k = 0; k < static_cast<LONG>(items.size()); ++k) {
        LONG at = lo + k;
        if (variants) {
            Variant v = Variant::fromString(items[static_cast<size_t>(k)]);
            SafeArrayPutElement(a.get(), &at, v.get());
        } else {
            com::Bstr s(items[static_cast<size_t>(k)]);
            SafeArrayPutElement(a.get(), &at, s.get());
        }
    }
    Variant out;
    V_VT(out.put()) = VT_ARRAY | (variants ? VT_VARIANT : VT_BSTR);
    V_ARRAY(out.get()) = a.detach();
    return out;
}

std::vector<std::wstring> textsOf(const Variant& v) {
    SAFEARRAY* a = V_ARRAY(v.get());
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(a, 1, &lo);
    SafeArrayGetUBound(a, 1, &hi);
    std::vector<std::wstring> out;
    for (LONG k = lo; k <= hi; ++k) {
        Variant e;
        if (V_VT(v.get()) == (VT_ARRAY | VT_VARIANT)) {
            SafeArrayGetElement(a, &k, e.put());
        } else {
            BSTR b = nullptr;
            SafeArrayGetElement(a, &k, &b);
            e = Variant::fromString(com::toWString(b));
            SysFreeString(b);
        }
        out.push_back(text(e));
    }
    return out;
}

// A point as VBScript's Array(x, y) or Array(x, y, z).
Variant scriptPoint(std::vector<double> xyz) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(xyz.size())));
    for (LONG k = 0; k < static_cast<LONG>(xyz.size()); ++k) {
        Variant v = num(xyz[static_cast<size_t>(k)]);
        SafeArrayPutElement(a.get(), &k, v.get());
    }
    Variant out;
    V_VT(out.put()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out.get()) = a.detach();
    return out;
}

double element(const Variant& v, LONG k) {
    Variant e;
    if ((V_VT(v.get()) & VT_TYPEMASK) == VT_VARIANT) {
        SafeArrayGetElement(V_ARRAY(v.get()), &k, e.put());
        return dbl(e);
    }
    double d = 0;
    SafeArrayGetElement(V_ARRAY(v.get()), &k, &d);
    return d;
}

Variant listOf(const std::vector<std::vector<double>>& points) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(points.size())));
    for (LONG k = 0; k < static_cast<LONG>(points.size()); ++k) {
        Variant p = scriptPoint(points[static_cast<size_t>(k)]);
        SafeArrayPutElement(a.get(), &k, p.get());
    }
    Variant out;
    V_VT(out.put()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out.get()) = a.detach();
    return out;
}

Variant listElement(const Variant& list, LONG k) {
    Variant e;
    SafeArrayGetElement(V_ARRAY(list.get()), &k, e.put());
    return e;
}

// A caller's String array laid out as VBA lays out a procedure's fixed array (Dim a(2) As String): the
// descriptor and the elements are the caller's own storage, which nobody else may free or replace.
class FixedTexts {
public:
    explicit FixedTexts(const std::vector<std::wstring>& items) : data_(items.size()) {
        for (size_t k = 0; k < items.size(); ++k) data_[k] = SysAllocString(items[k].c_str());
        descriptor_.cDims = 1;
        descriptor_.fFeatures = FADF_AUTO | FADF_FIXEDSIZE | FADF_BSTR;
        descriptor_.cbElements = sizeof(BSTR);
        descriptor_.pvData = data_.data();
        descriptor_.rgsabound[0] = {static_cast<ULONG>(items.size()), 0};
    }
    ~FixedTexts() {
        for (BSTR b : data_) SysFreeString(b);
    }
    FixedTexts(const FixedTexts&) = delete;
    FixedTexts& operator=(const FixedTexts&) = delete;

    // What a caller passes for the variable: VT_BYREF | VT_ARRAY | VT_BSTR to the variable's array pointer.
    VARIANT reference() { return arrayReference(variable_); }
    bool untouched() const { return variable_ == &descriptor_ && descriptor_.cLocks == 0 && descriptor_.pvData == data_.data(); }
    std::vector<std::wstring> texts() const {
        std::vector<std::wstring> out;
        for (BSTR b : data_) out.push_back(com::toWString(b));
        return out;
    }
    static VARIANT arrayReference(SAFEARRAY*& variable) {
        VARIANT r;
        VariantInit(&r);
        V_VT(&r) = VT_BYREF | VT_ARRAY | VT_BSTR;
        V_ARRAYREF(&r) = &variable;
        return r;
    }

private:
    SAFEARRAY descriptor_{};
    std::vector<BSTR> data_;
    SAFEARRAY* variable_ = &descriptor_;
};

// A late-bound call with the arguments exactly as given (first argument first): the run-time error number.
int invokeWith(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id))) return -1;
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    EXCEPINFO e{};
    Variant result;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.put(), &e, nullptr);
    SysFreeString(e.bstrSource);
    SysFreeString(e.bstrDescription);
    SysFreeString(e.bstrHelpFile);
    if (hr == DISP_E_EXCEPTION) return hresultToError(e.scode);
    return FAILED(hr) ? hr : 0;
}

class ToolboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        module_ = LoadLibraryW(L"KelvaSub.dll");
        ASSERT_NE(module_, nullptr) << "KelvaSub.dll must lie beside the test";
        func = create(kClsFunc);
        ASSERT_TRUE(func);
    }
    void TearDown() override {
        func = {};
        CoUninitialize();
        if (module_) FreeLibrary(module_);
    }
    ComPtr<IDispatch> create(REFCLSID clsid) {
        using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
        auto* get = reinterpret_cast<GetClassObject*>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        ComPtr<IClassFactory> factory;
        ComPtr<IDispatch> object;
        if (get && SUCCEEDED(get(clsid, IID_IClassFactory, factory.putVoid())))
            factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid());
        return object;
    }
    Variant call(const wchar_t* name, std::vector<Arg> args = {}) { return com::call(func.get(), name, std::move(args)); }

    HMODULE module_ = nullptr;
    ComPtr<IDispatch> func;
};

}  // namespace

TEST_F(ToolboxTest, ArraysOfBothFormsAreSortedInPlace) {
    for (bool variants : {true, false}) {
        Variant a = textArray({L"A10", L"A9", L"A09", L"a9"}, variants);
        call(L"AlphanumSort", {Arg::out(a)});
        EXPECT_EQ(V_VT(a.get()), VT_ARRAY | (variants ? VT_VARIANT : VT_BSTR));
        EXPECT_EQ(textsOf(a), (std::vector<std::wstring>{L"A9", L"A09", L"A10", L"a9"}));
        call(L"AlphanumSort", {Arg::out(a), Variant::fromBool(true)});
        EXPECT_EQ(textsOf(a), (std::vector<std::wstring>{L"a9", L"A10", L"A09", L"A9"}));
        call(L"ReverseArray", {Arg::out(a)});
        EXPECT_EQ(textsOf(a), (std::vector<std::wstring>{L"A9", L"A09", L"A10", L"a9"}));

        Variant s = textArray({L"b", L"B", L"a", L"A"}, variants, 1);
        call(L"SwapSort", {Arg::out(s)});
        EXPECT_EQ(textsOf(s), (std::vector<std::wstring>{L"A", L"a", L"B", L"b"}));
        call(L"SwapSort", {Arg::out(s), Variant::fromBool(true), Variant::fromInt16(-1)});
        EXPECT_EQ(textsOf(s), (std::vector<std::wstring>{L"B", L"b", L"A", L"a"}));
    }
    // Not an array: the sort fails with a type mismatch and the variable is left alone.
    Variant notArray = str(L"x");
    EXPECT_EQ(errorOf([&] { call(L"AlphanumSort", {Arg::out(notArray)}); }), 13);
    EXPECT_EQ(text(notArray), L"x");
    // SwapSort reports nothing, whatever it is given.
    EXPECT_EQ(errorOf([&] { call(L"SwapSort", {Arg::out(notArray)}); }), 13);
}

TEST_F(ToolboxTest, RowSortKeepsRowsTogetherAndTurnsOnlyTheRange) {
    // Three columns, six rows (0 To 2, 1 To 6), sorted by column 2.
    SAFEARRAYBOUND b[2] = {{3, 0}, {6, 1}};
    com::SafeArray arr = com::SafeArray::attach(SafeArrayCreate(VT_VARIANT, 2, b));
    const wchar_t* keys[] = {L"r10", L"r2", L"r33", L"r1", L"r9", L"r05"};
    for (LONG r = 1; r <= 6; ++r)
        for (LONG c = 0; c <= 2; ++c) {
            LONG at[2] = {c, r};
            Variant v = str(c == 2 ? keys[r - 1] : (std::wstring(L"c") + std::to_wstring(c) + L"-" + keys[r - 1]).c_str());
            SafeArrayPutElement(arr.get(), at, v.get());
        }
    Variant table;
    V_VT(table.put()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(table.get()) = arr.detach();
    auto cell = [&](LONG c, LONG r) {
        LONG at[2] = {c, r};
        Variant v;
        SafeArrayGetElement(V_ARRAY(table.get()), at, v.put());
        return text(v);
    };
    call(L"AlphanumSortMA", {Arg::out(table), Variant::fromInt16(2)});
    const wchar_t* sorted[] = {L"r1", L"r2", L"r05", L"r9", L"r10", L"r33"};
    for (LONG r = 1; r <= 6; ++r) {
        EXPECT_EQ(cell(2, r), sorted[r - 1]);
        EXPECT_EQ(cell(0, r), std::wstring(L"c0-") + sorted[r - 1]);
    }
    // Rows 2..4 descending: rows 1, 5 and 6 stay where they are.
    call(L"AlphanumSortMA", {Arg::out(table), Variant::fromInt16(2), Variant::fromBool(true), Variant::fromInt32(2), Variant::fromInt32(4)});
    const wchar_t* partly[] = {L"r1", L"r9", L"r05", L"r2", L"r10", L"r33"};
    for (LONG r = 1; r <= 6; ++r) EXPECT_EQ(cell(2, r), partly[r - 1]);
    call(L"ReverseArrayMA", {Arg::out(table)});
    EXPECT_EQ(cell(2, 1), L"r33");
    EXPECT_EQ(cell(1, 6), L"c1-r1");
    EXPECT_EQ(errorOf([&] { call(L"AlphanumSortMA", {Arg::out(table), Variant::fromInt16(3)}); }), 9);
}

TEST_F(ToolboxTest, RowSortOfEqualKeysTakesTheMiddleOfTheCallersRows) {
    // Rows 1 To 6 with one key: the quicksort's middle row is 4 (3.5 to even), which fixes where the
    // equal rows end up.
    SAFEARRAYBOUND b[2] = {{2, 0}, {6, 1}};
    com::SafeArray arr = com::SafeArray::attach(SafeArrayCreate(VT_BSTR, 2, b));
    for (LONG r = 1; r <= 6; ++r)
        for (LONG c = 0; c <= 1; ++c) {
            LONG at[2] = {c, r};
            com::Bstr s(c == 1 ? std::wstring(L"k") : std::to_wstring(r));
            SafeArrayPutElement(arr.get(), at, s.get());
        }
    Variant table;
    V_VT(table.put()) = VT_ARRAY | VT_BSTR;
    V_ARRAY(table.get()) = arr.detach();
    call(L"AlphanumSortMA", {Arg::out(table), Variant::fromInt16(1)});
    std::wstring rows;
    for (LONG r = 1; r <= 6; ++r) {
        LONG at[2] = {0, r};
        BSTR s = nullptr;
        SafeArrayGetElement(V_ARRAY(table.get()), at, &s);
        rows += com::toWString(s);
        SysFreeString(s);
    }
    EXPECT_EQ(rows, L"153426");
}

TEST_F(ToolboxTest, PointListsAreReorderedAsWholeElements) {
    Variant list = listOf({{0, 0}, {5, 0.05}, {2, 3}});
    call(L"SortListZ", {Arg::out(list), num(0.1)});
    EXPECT_EQ(element(listElement(list, 0), 0), 2);
    EXPECT_EQ(element(listElement(list, 1), 0), 0);
    EXPECT_EQ(element(listElement(list, 2), 0), 5);
    Variant coords = listOf({{1, 0}, {3, 0}, {2, 0}});
    call(L"SortCoordIX", {Arg::out(coords)});
    EXPECT_EQ(element(listElement(coords, 0), 0), 3);
    EXPECT_EQ(element(listElement(coords, 2), 0), 1);
    call(L"SortListX", {Arg::out(coords)});
    EXPECT_EQ(element(listElement(coords, 0), 0), 1);
    // A list longer than a 16-bit index can walk fails before anything moves.
    std::vector<std::vector<double>> many(32768, {1, 1});
    many[0] = {9, 9};
    Variant big = listOf(many);
    EXPECT_EQ(errorOf([&] { call(L"SortListX", {Arg::out(big)}); }), 6);
    EXPECT_EQ(element(listElement(big, 0), 0), 9);
    Variant notPoints = textArray({L"a", L"b"}, true);
    EXPECT_EQ(errorOf([&] { call(L"SortListY", {Arg::out(notPoints)}); }), 13);
}

TEST_F(ToolboxTest, MembersWriteBackWhereTheyShould) {
    Variant a = scriptPoint({0, 10, 5}), b = scriptPoint({10, 0, 6});
    call(L"RegionRULD", {Arg::out(a), Arg::out(b)});
    EXPECT_EQ(element(a, 0), 10);
    EXPECT_EQ(element(a, 1), 10);
    EXPECT_EQ(element(a, 2), 5);
    EXPECT_EQ(element(b, 0), 0);
    EXPECT_EQ(element(b, 1), 0);

    Variant dms = str(L"30\u00B0");
    EXPECT_EQ(dbl(call(L"DMS2DEG", {Arg::out(dms)})), 30);
    EXPECT_EQ(text(dms), L"30");
    Variant style3 = str(L"30\uB3C4 30\uBD84 45.00\uCD08");
    EXPECT_DOUBLE_EQ(dbl(call(L"DMS2DEG", {Arg::out(style3)})), 30.5125);

    Variant x = Variant::fromInt16(1), y = str(L"x");
    call(L"SwapData", {Arg::out(x), Arg::out(y)});
    EXPECT_EQ(text(x), L"x");
    EXPECT_EQ(V_VT(y.get()), VT_I2);

    ComPtr<IDispatch> t = create(kClsTriangle);
    Variant o1 = Variant::fromDispatch(func.get()), o2 = Variant::fromDispatch(t.get());
    call(L"SwapObj", {Arg::out(o1), Arg::out(o2)});
    EXPECT_EQ(V_DISPATCH(o1.get()), t.get());
    EXPECT_EQ(V_DISPATCH(o2.get()), func.get());

    // By-value and read-only by-reference arguments stay as they were.
    Variant place = Variant::fromInt16(2);
    EXPECT_DOUBLE_EQ(dbl(call(L"RoundUp", {num(1.231), Arg::out(place)})), 1.24);
    EXPECT_EQ(V_VT(place.get()), VT_I2);
}

// VBA passes a variable declared with a type (Dim a As Double) to a ByRef Variant early-bound as
// VT_BYREF|type: the exchange happens in the variables, each value converted as Basic's assignment would.
TEST_F(ToolboxTest, SwapDataExchangesTypedVariablesOfAnEarlyBoundCaller) {
    const ComPtr<_clsFunc> table = func.query<_clsFunc>();
    ASSERT_TRUE(table);
    const auto refer = [](VARTYPE vt, void* variable) {
        VARIANT r;
        VariantInit(&r);
        V_VT(&r) = VT_BYREF | vt;
        V_BYREF(&r) = variable;
        return r;
    };
    double a = 2.5;
    short b = 7;
    VARIANT ra = refer(VT_R8, &a), rb = refer(VT_I2, &b);
    Variant result;
    EXPECT_EQ(table->SwapData(&ra, &rb, result.put()), S_OK);
    EXPECT_EQ(a, 7.0);
    EXPECT_EQ(b, 2) << "2.5 becomes an Integer half to even";

    // A text a Double cannot hold: type mismatch, and neither variable changes.
    com::Bstr word;
    BSTR* wordSlot = word.put();
    *wordSlot = SysAllocString(L"x");
    double c = 3;
    VARIANT rw = refer(VT_BSTR, wordSlot), rc = refer(VT_R8, &c);
    EXPECT_EQ(table->SwapData(&rc, &rw, result.put()), static_cast<HRESULT>(0x800A000D));
    EXPECT_EQ(c, 3.0);
    EXPECT_EQ(word.str(), L"x");

    // A Variant variable takes the value as it is, a typed one converts it.
    Variant any = str(L"12");
    EXPECT_EQ(table->SwapData(any.get(), &rc, result.put()), S_OK);
    EXPECT_EQ(c, 12.0);
    EXPECT_EQ(any.vt(), VT_R8);
    EXPECT_EQ(dbl(any), 3.0);
}

// A fixed or locked array of the caller keeps its descriptor: a value of its own shape goes into its
// elements, any other fails with error 10 and changes neither argument.
TEST_F(ToolboxTest, FixedAndLockedArraysOfTheCallerTakeValuesInPlace) {
    const ComPtr<_clsFunc> table = func.query<_clsFunc>();
    ASSERT_TRUE(table);
    Variant result;

    FixedTexts names({L"A10", L"A9", L"a9"});
    EXPECT_EQ(invokeWith(func.get(), L"AlphanumSort", {names.reference()}), 0);
    EXPECT_TRUE(names.untouched());
    EXPECT_EQ(names.texts(), (std::vector<std::wstring>{L"A9", L"A10", L"a9"}));

    FixedTexts first({L"a", L"b", L"c"}), second({L"x", L"y", L"z"}), shorter({L"p", L"q"});
    VARIANT r1 = first.reference(), r2 = second.reference(), r3 = shorter.reference();
    EXPECT_EQ(table->SwapData(&r1, &r2, result.put()), S_OK);
    EXPECT_EQ(invokeWith(func.get(), L"SwapData", {first.reference(), shorter.reference()}), 10);
    EXPECT_EQ(table->SwapData(&r3, &r1, result.put()), static_cast<HRESULT>(0x800A000A));
    EXPECT_TRUE(first.untouched() && second.untouched() && shorter.untouched());
    EXPECT_EQ(first.texts(), (std::vector<std::wstring>{L"x", L"y", L"z"}));
    EXPECT_EQ(second.texts(), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(shorter.texts(), (std::vector<std::wstring>{L"p", L"q"}));
    EXPECT_EQ(invokeWith(func.get(), L"SwapData", {first.reference(), second.reference()}), 0);
    EXPECT_EQ(first.texts(), (std::vector<std::wstring>{L"a", L"b", L"c"}));

    // A dynamic array beside a fixed one of another shape: checked both ways before either is written.
    Variant dynamic = textArray({L"d", L"e"}, false);
    SAFEARRAY* const held = V_ARRAY(dynamic.get());
    VARIANT rd = FixedTexts::arrayReference(V_ARRAY(dynamic.get()));
    EXPECT_EQ(invokeWith(func.get(), L"SwapData", {rd, first.reference()}), 10);
    EXPECT_EQ(table->SwapData(&rd, &r1, result.put()), static_cast<HRESULT>(0x800A000A));
    EXPECT_EQ(V_ARRAY(dynamic.get()), held);
    EXPECT_EQ(textsOf(dynamic), (std::vector<std::wstring>{L"d", L"e"}));
    EXPECT_EQ(first.texts(), (std::vector<std::wstring>{L"a", L"b", L"c"}));

    // A locked array is sorted where it lies; one that would change its shape stays, locked, as it was.
    Variant locked = textArray({L"k2", L"k10", L"k1"}, false);
    SAFEARRAY* const lockedArray = V_ARRAY(locked.get());
    ASSERT_EQ(SafeArrayLock(lockedArray), S_OK);
    VARIANT rl = FixedTexts::arrayReference(V_ARRAY(locked.get()));
    EXPECT_EQ(invokeWith(func.get(), L"AlphanumSort", {rl}), 0);
    EXPECT_EQ(invokeWith(func.get(), L"SwapData", {rl, shorter.reference()}), 10);
    EXPECT_EQ(V_ARRAY(locked.get()), lockedArray);
    EXPECT_EQ(lockedArray->cLocks, 1u);
    EXPECT_EQ(textsOf(locked), (std::vector<std::wstring>{L"k1", L"k2", L"k10"}));
    EXPECT_EQ(shorter.texts(), (std::vector<std::wstring>{L"p", L"q"}));
    EXPECT_EQ(SafeArrayUnlock(lockedArray), S_OK);
}

TEST_F(ToolboxTest, PointsNumbersAndTexts) {
    EXPECT_DOUBLE_EQ(dbl(call(L"Pi")), 3.14159265358979323846);
    const Variant p = call(L"GetOffsetPoint", {scriptPoint({10, 20}), num(0), num(2)});
    EXPECT_EQ(V_VT(p.get()), VT_ARRAY | VT_R8);
    EXPECT_EQ(element(p, 0), 10);
    EXPECT_EQ(element(p, 1), 22);
    EXPECT_EQ(element(p, 2), 0);
    EXPECT_DOUBLE_EQ(dbl(call(L"Length", {scriptPoint({0, 0, 0}), scriptPoint({3, 4, 12})})), 13);
    EXPECT_DOUBLE_EQ(dbl(call(L"Length", {scriptPoint({0, 0, 0}), scriptPoint({3, 4})})), 5);
    EXPECT_DOUBLE_EQ(dbl(call(L"GetEncloseAng", {scriptPoint({0, 0}), scriptPoint({1, 0}), scriptPoint({2, 0})})), 3.14159265358979323846);
    EXPECT_EQ(dbl(call(L"GetEncloseAng", {str(L"no point"), scriptPoint({1, 0}), scriptPoint({2, 0})})), 0);
    EXPECT_TRUE(truth(call(L"IsEqual", {str(L"1.5"), num(1.4), num(0.2)})));
    Variant base = scriptPoint({0, 0});
    const Variant same = call(L"PointRotateByBase", {Arg::out(base), scriptPoint({3, 4, 7}), num(1e-9)});
    EXPECT_EQ(element(same, 2), 7);
    const Variant turned = call(L"PointRotateByBase", {scriptPoint({1, 1}), scriptPoint({2, 1, 7}), num(std::atan(1.0) * 2)});
    EXPECT_NEAR(element(turned, 1), 2, 1e-15);
    EXPECT_EQ(element(turned, 2), 0);
    const Variant pnt = call(L"StrToPnt", {str(L"1,2,3"), str(L",")});
    EXPECT_EQ(element(pnt, 2), 3);
    EXPECT_EQ(text(call(L"DEG2DMS", {num(30.5125)})), L"30-30-45.00");
    EXPECT_EQ(text(call(L"DEG2DMS", {num(30.5125), Variant::fromInt16(2), Variant::fromInt16(3)})), L"30\uB3C4 30\uBD84 45.00\uCD08");
    EXPECT_EQ(text(call(L"GetAngleUnit", {num(30.1), Variant::fromInt16(1)})), L"30\u00B006'");
    EXPECT_EQ(text(call(L"REPT", {str(L"0"), Variant::fromInt16(3)})), L"000");
    EXPECT_EQ(dbl(call(L"FixByNumber", {num(-16), num(10)})), -20);
    EXPECT_EQ(dbl(call(L"PortionNumber", {num(17), num(5)})), 3);
    EXPECT_FALSE(truth(call(L"IsNumber", {str(L"\r\n")})));
    EXPECT_EQ(text(call(L"GetNumber", {str(L"L=12.5m")})), L"12.5");
    EXPECT_EQ(text(call(L"GetAbsolutePath", {str(L"C:\\a\\b"), str(L"..\\x.txt")})), L"C:\\a\\x.txt");
    EXPECT_EQ(text(call(L"GetRelativePath", {str(L"C:\\a\\b"), str(L"C:\\a\\c\\d.txt")})), L"..\\c\\d.txt");
    EXPECT_EQ(text(call(L"FindFile", {str(L"no_such_file.xyz")})), L"Err");
}

TEST_F(ToolboxTest, FloatingPointFaultsAreRuntimeErrors) {
    EXPECT_EQ(errorOf([&] { call(L"ExMod", {num(1), num(0)}); }), 11);
    EXPECT_EQ(errorOf([&] { call(L"R2D", {num(1e308)}); }), 6);
    EXPECT_EQ(errorOf([&] { call(L"GetOffsetPoint", {scriptPoint({1}), num(0), num(1)}); }), 9);
    EXPECT_EQ(errorOf([&] { call(L"Length2D", {str(L"x"), scriptPoint({1, 1})}); }), 13);
    ComPtr<IDispatch> t = create(kClsTriangle);
    EXPECT_NEAR(dbl(com::call(t.get(), L"ArcSec", {num(2)})), std::acos(0.5), 1e-15);
    EXPECT_NEAR(dbl(com::call(t.get(), L"ArcCotan", {num(1)})), std::atan(1.0), 1e-15);
    EXPECT_EQ(errorOf([&] { com::call(t.get(), L"ArcCos", {num(1)}); }), 11);
    EXPECT_EQ(errorOf([&] { com::call(t.get(), L"ArcSin", {num(2)}); }), 5);
    EXPECT_EQ(errorOf([&] { com::call(t.get(), L"HSin", {num(1000)}); }), 6);
    EXPECT_NEAR(dbl(com::call(t.get(), L"LogN", {num(8), num(2)})), 3, 1e-15);
}

TEST_F(ToolboxTest, IniValuesThroughTheClass) {
    ComPtr<IDispatch> ini = create(kClsIni);
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"\uC124\uC815_com.ini";
    DeleteFileW(path.c_str());
    const Variant file = str(path.c_str());
    EXPECT_TRUE(truth(com::call(ini.get(), L"WriteIni", {file, str(L"\uAD6C\uC5ED"), str(L"\uD0A4"), str(L"\uAC12")})));
    EXPECT_EQ(text(com::call(ini.get(), L"ReadIni", {file, str(L"\uAD6C\uC5ED"), str(L"\uD0A4")})), L"\uAC12");
    EXPECT_EQ(text(com::call(ini.get(), L"ReadIni", {file, str(L"\uAD6C\uC5ED"), str(L"none"), str(L"d")})), L"d");
    Variant section = str(L"\uAD6C\uC5ED"), key = str(L"\uD0A4"), p = file;
    EXPECT_TRUE(truth(com::call(ini.get(), L"DeleteKey", {Arg::out(section), Arg::out(key), Arg::out(p)})));
    EXPECT_EQ(text(com::call(ini.get(), L"ReadIni", {file, str(L"\uAD6C\uC5ED"), str(L"\uD0A4")})), L"");
    EXPECT_TRUE(truth(com::call(ini.get(), L"DeleteSection", {Arg::out(section), Arg::out(p)})));
    EXPECT_EQ(text(section), L"\uAD6C\uC5ED");
    DeleteFileW(path.c_str());
}

// vbNullString passed early-bound is a null BSTR: no value, so the key goes; "" still writes an empty one.
TEST_F(ToolboxTest, WriteIniWithANullValueDeletesTheKey) {
    const ComPtr<_clsIni> ini = create(kClsIni).query<_clsIni>();
    ASSERT_TRUE(ini);
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring file = std::wstring(dir) + L"\uC124\uC815_null.ini";
    DeleteFileW(file.c_str());
    com::Bstr path(file), section(L"s"), kept(L"kept"), gone(L"gone"), value(L"v"), empty(L"");
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(ini->WriteIni(path.get(), section.get(), gone.get(), value.get(), &ok), S_OK);
    ASSERT_EQ(ini->WriteIni(path.get(), section.get(), kept.get(), value.get(), &ok), S_OK);
    EXPECT_EQ(ini->WriteIni(path.get(), section.get(), gone.get(), nullptr, &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    EXPECT_EQ(ini->WriteIni(path.get(), section.get(), kept.get(), empty.get(), &ok), S_OK);
    // Late-bound, as VBA sends vbNullString: a VT_BSTR holding null.
    com::Bstr late(L"late");
    ASSERT_EQ(ini->WriteIni(path.get(), section.get(), late.get(), value.get(), &ok), S_OK);
    const ComPtr<IDispatch> dispatch = create(kClsIni);
    LPOLESTR name = const_cast<LPOLESTR>(L"WriteIni");
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    VARIANT args[4];  // last argument first; the strings stay owned by the Bstrs above
    const BSTR given[4] = {nullptr, late.get(), section.get(), path.get()};
    for (int k = 0; k < 4; ++k) {
        V_VT(&args[k]) = VT_BSTR;
        V_BSTR(&args[k]) = given[k];
    }
    DISPPARAMS params{args, nullptr, 4, 0};
    Variant result;
    EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.put(), nullptr, nullptr), S_OK);
    wchar_t keys[256] = {};
    const DWORD n = GetPrivateProfileSectionW(L"s", keys, 256, file.c_str());
    EXPECT_EQ(std::wstring(keys, n), std::wstring(L"kept=", 6)) << "the keys of the null values are gone";
    DeleteFileW(file.c_str());
}

// ---- selection sets of the stand-in ---------------------------------------------------------------------------

namespace {

class SelectionSortTest : public ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        acad = acad::sim::createInstance({});
        doc = com::getObject(acad.application.get(), L"ActiveDocument");
        space = com::getObject(doc.get(), L"ModelSpace");
    }
    void TearDown() override {
        space = {};
        doc = {};
        acad = {};
        ToolboxTest::TearDown();
    }
    ComPtr<IDispatch> addText(const std::wstring& s, double x, double y) {
        return com::getObject(space.get(), L"AddText", {str(s.c_str()), Variant::fromDoubles({x, y, 0}), num(1)});
    }
    ComPtr<IDispatch> setOf(const std::vector<ComPtr<IDispatch>>& items, const wchar_t* name = L"S") {
        ComPtr<IDispatch> sets = com::getObject(doc.get(), L"SelectionSets");
        ComPtr<IDispatch> set = com::getObject(sets.get(), L"Add", {str(name)});
        com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size())));
        for (LONG k = 0; k < static_cast<LONG>(items.size()); ++k) {
            Variant v = Variant::fromDispatch(items[static_cast<size_t>(k)].get());
            SafeArrayPutElement(a.get(), &k, v.get());
        }
        Variant arr;
        V_VT(arr.put()) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(arr.get()) = a.detach();
        if (!items.empty()) com::call(set.get(), L"AddItems", {arr});
        return set;
    }
    std::vector<std::wstring> textsIn(IDispatch* set) {
        std::vector<std::wstring> out;
        const long n = static_cast<long>(dbl(com::get(set, L"Count")));
        for (long k = 0; k < n; ++k)
            out.push_back(text(com::get(com::getObject(set, L"Item", {Variant::fromInt32(k)}).get(), L"TextString")));
        return out;
    }
    Variant setArg(IDispatch* set) { return Variant::fromDispatch(set); }

    acad::sim::Instance acad;
    ComPtr<IDispatch> doc, space;
};

}  // namespace

TEST_F(SelectionSortTest, TableRowsWithinTheTolerance) {
    auto set = setOf({addText(L"five", 5, 10.0), addText(L"one", 1, 9.8), addText(L"three", 3, 10.2)});
    call(L"SortTextTable", {setArg(set.get()), num(0.5)});
    EXPECT_EQ(textsIn(set.get()), (std::vector<std::wstring>{L"one", L"three", L"five"}));
    auto spread = setOf({addText(L"five", 5, 10.0), addText(L"one", 1, 9.6), addText(L"three", 3, 10.3)}, L"T");
    call(L"SortTextTable", {setArg(spread.get()), num(0.5)});
    EXPECT_EQ(textsIn(spread.get()), (std::vector<std::wstring>{L"three", L"one", L"five"}));
}

TEST_F(SelectionSortTest, OrdersOfTheFamilies) {
    auto set = setOf({addText(L"a", 0, 0), addText(L"b", 5, 0.05), addText(L"c", 2, 3)});
    call(L"SortSelZ", {setArg(set.get()), num(0.1)});
    EXPECT_EQ(textsIn(set.get()), (std::vector<std::wstring>{L"c", L"a", L"b"}));
    call(L"SortSelZ_R", {setArg(set.get()), num(0.1)});
    EXPECT_EQ(textsIn(set.get()), (std::vector<std::wstring>{L"b", L"a", L"c"}));
    call(L"SortTextX", {setArg(set.get())});
    EXPECT_EQ(textsIn(set.get()), (std::vector<std::wstring>{L"a", L"c", L"b"}));
    call(L"SortTextY", {setArg(set.get()), Variant::fromBool(true)});
    EXPECT_EQ(textsIn(set.get()), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    // Turned by a quarter, a vertical line reads top to bottom by X.
    auto column = setOf({addText(L"low", 0, 1), addText(L"high", 0, 9), addText(L"mid", 0, 4)}, L"C");
    call(L"SortTextX", {setArg(column.get()), Variant::fromBool(false), num(std::atan(1.0) * 2)});
    EXPECT_EQ(textsIn(column.get()), (std::vector<std::wstring>{L"high", L"mid", L"low"}));
    auto names = setOf({addText(L"A10", 0, 0), addText(L"A9", 1, 0), addText(L"A09", 2, 0)}, L"N");
    call(L"SortAlphanumSel", {setArg(names.get())});
    EXPECT_EQ(textsIn(names.get()), (std::vector<std::wstring>{L"A9", L"A09", L"A10"}));
    call(L"SortAlphanumSel", {setArg(names.get()), Variant::fromBool(true)});
    EXPECT_EQ(textsIn(names.get()), (std::vector<std::wstring>{L"A10", L"A09", L"A9"}));
}

TEST_F(SelectionSortTest, AFailedRefillPutsTheItemsBack) {
    auto set = setOf({addText(L"b", 2, 0), addText(L"a", 1, 0)});
    com::call(acad.control.get(), L"InjectFailure", {str(L"AddItems")});
    EXPECT_NE(errorOf([&] { call(L"SortTextTable", {setArg(set.get()), num(0.5)}); }), 0);
    EXPECT_EQ(textsIn(set.get()), (std::vector<std::wstring>{L"b", L"a"}));
    com::call(acad.control.get(), L"InjectFailure", {str(L"AddItems")});
    EXPECT_NE(errorOf([&] { call(L"SortSelZ", {setArg(set.get()), num(0.5)}); }), 0);
    EXPECT_EQ(textsIn(set.get()), (std::vector<std::wstring>{L"b", L"a"}));
}

TEST_F(SelectionSortTest, TrappedAndPassedFailures) {
    auto empty = setOf({}, L"E");
    EXPECT_EQ(errorOf([&] { call(L"SortTextTable", {setArg(empty.get()), num(0.5)}); }), 0);
    EXPECT_EQ(errorOf([&] { call(L"SortTextX", {setArg(empty.get())}); }), 9);
    EXPECT_EQ(errorOf([&] { call(L"SortSelZ", {setArg(empty.get())}); }), 9);
    // An item without an insertion point: the trapped members leave the set as it was.
    ComPtr<IDispatch> line = com::getObject(space.get(), L"AddLine", {Variant::fromDoubles({0, 0, 0}), Variant::fromDoubles({1, 1, 0})});
    auto mixed = setOf({addText(L"b", 2, 0), line, addText(L"a", 1, 0)}, L"M");
    EXPECT_EQ(errorOf([&] { call(L"SortTextZ", {setArg(mixed.get()), num(0.5)}); }), 0);
    EXPECT_EQ(dbl(com::get(mixed.get(), L"Count")), 3);
    EXPECT_NE(errorOf([&] { call(L"SortTextX", {setArg(mixed.get())}); }), 0);
    EXPECT_EQ(dbl(com::get(mixed.get(), L"Count")), 3);
}

TEST_F(SelectionSortTest, SetsBeyondSixteenBitPositionsAreSorted) {
    std::vector<ComPtr<IDispatch>> items;
    const int n = 32800;
    for (int k = 0; k < n; ++k) items.push_back(addText(std::to_wstring(k), (k * 7919) % n, 0));
    auto set = setOf(items, L"Big");
    call(L"SortTextX", {setArg(set.get())});
    ComPtr<IDispatch> first = com::getObject(set.get(), L"Item", {Variant::fromInt32(0)});
    ComPtr<IDispatch> last = com::getObject(set.get(), L"Item", {Variant::fromInt32(n - 1)});
    EXPECT_EQ(element(com::get(first.get(), L"InsertionPoint"), 0), 0);
    EXPECT_EQ(element(com::get(last.get(), L"InsertionPoint"), 0), n - 1);
}
