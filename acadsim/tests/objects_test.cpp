// The stand-in's automation objects loaded in process, driven by name exactly as a late-bound macro
// drives AutoCAD: arguments as script engines send them, results and errors as they come back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <numbers>

#include "acadsim/com/objects.h"
#include "com/latebound.h"
#include "com/object.h"
#include "com/values.h"
#include "core/errors.h"

using namespace kelva;
using com::Arg;
using com::ComPtr;
using com::Variant;

namespace {

Variant pt(double x, double y, double z = 0) { return Variant::fromDoubles({x, y, z}); }

// A point as VBScript sends Array(x, y, z): a Variant array of Variants holding integers.
Variant scriptPoint(long x, long y, long z) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, 3));
    long values[] = {x, y, z};
    for (LONG k = 0; k < 3; ++k) {
        VARIANT v;
        V_VT(&v) = VT_I4;
        V_I4(&v) = values[k];
        SafeArrayPutElement(a.get(), &k, &v);
    }
    Variant out;
    V_VT(out.put()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out.get()) = a.detach();
    return out;
}

std::vector<double> doubles(const Variant& v) {
    std::vector<double> out;
    SAFEARRAY* a = V_ARRAY(v.get());
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(a, 1, &lo);
    SafeArrayGetUBound(a, 1, &hi);
    for (LONG k = lo; k <= hi; ++k) {
        double d = 0;
        SafeArrayGetElement(a, &k, &d);
        out.push_back(d);
    }
    return out;
}

double dbl(const Variant& v) {
    Variant c;
    VariantChangeType(c.put(), const_cast<VARIANT*>(v.get()), 0, VT_R8);
    return V_R8(c.get());
}
long lng(const Variant& v) {
    Variant c;
    VariantChangeType(c.put(), const_cast<VARIANT*>(v.get()), 0, VT_I4);
    return V_I4(c.get());
}
bool truth(const Variant& v) { return V_VT(v.get()) == VT_BOOL && V_BOOL(v.get()) == VARIANT_TRUE; }

// The error number a failing call gives its caller (the EXCEPINFO scode rule).
template <class F>
std::int32_t errorOf(F&& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

Variant objectArray(std::vector<IDispatch*> objects) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(objects.size())));
    for (LONG k = 0; k < static_cast<LONG>(objects.size()); ++k) {
        Variant v = Variant::fromDispatch(objects[static_cast<std::size_t>(k)]);
        SafeArrayPutElement(a.get(), &k, v.get());
    }
    Variant out;
    V_VT(out.put()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out.get()) = a.detach();
    return out;
}

Variant shorts(std::vector<short> values) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_I2, 0, static_cast<ULONG>(values.size())));
    for (LONG k = 0; k < static_cast<LONG>(values.size()); ++k) SafeArrayPutElement(a.get(), &k, &values[static_cast<std::size_t>(k)]);
    Variant out;
    V_VT(out.put()) = VT_ARRAY | VT_I2;
    V_ARRAY(out.get()) = a.detach();
    return out;
}

Variant strings(std::vector<std::wstring> values) {
    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size())));
    for (LONG k = 0; k < static_cast<LONG>(values.size()); ++k) {
        Variant v = Variant::fromString(values[static_cast<std::size_t>(k)]);
        SafeArrayPutElement(a.get(), &k, v.get());
    }
    Variant out;
    V_VT(out.put()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out.get()) = a.detach();
    return out;
}

constexpr std::int32_t kErased = static_cast<std::int32_t>(0x8020004C);
constexpr std::int32_t kException = static_cast<std::int32_t>(0x80020009);

class Acad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        inst = acad::sim::createInstance({});
        app = inst.application;
        ctl = inst.control;
        doc = com::getObject(app.get(), L"ActiveDocument");
        ms = com::getObject(doc.get(), L"ModelSpace");
        util = com::getObject(doc.get(), L"Utility");
    }
    void TearDown() override {
        util.reset();
        ms.reset();
        doc.reset();
        ctl.reset();
        app.reset();
        inst = {};
        CoUninitialize();
    }
    ComPtr<IDispatch> addLine(double x1, double y1, double x2, double y2) {
        return com::asObject(com::call(ms.get(), L"AddLine", {pt(x1, y1), pt(x2, y2)}));
    }
    ComPtr<IDispatch> addText(const wchar_t* s, double x, double y) {
        return com::asObject(com::call(ms.get(), L"AddText", {Variant::fromString(s), pt(x, y), Variant::fromDouble(2.5)}));
    }
    std::wstring text(IDispatch* d, const wchar_t* name) { return com::asString(com::get(d, name)); }

    acad::sim::Instance inst;
    ComPtr<IDispatch> app, ctl, doc, ms, util;
};

}  // namespace

TEST_F(Acad, ApplicationAndDocumentAnswerWhatAttachingCallersRead) {
    EXPECT_EQ(text(app.get(), L"Version").substr(0, 2), L"16");
    EXPECT_EQ(text(app.get(), L"Caption"), L"AutoCAD 2004 - [Drawing1.dwg]");
    EXPECT_EQ(com::getObject(doc.get(), L"Application").get(), app.get());  // one identity
    EXPECT_EQ(com::getObject(app.get(), L"ActiveDocument").get(), doc.get());
    com::put(app.get(), L"WindowState", Variant::fromInt32(2));
    EXPECT_EQ(lng(com::get(app.get(), L"WindowState")), 2);
    EXPECT_NE(errorOf([&] { com::put(app.get(), L"WindowState", Variant::fromInt32(7)); }), 0);
    // A member AutoCAD does not have is unknown by name.
    LPOLESTR name = const_cast<LPOLESTR>(L"NoSuchMember");
    DISPID id;
    EXPECT_EQ(app->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
}

TEST_F(Acad, ModelSpaceBuildsEveryEntityKindWithItsProperties) {
    auto line = addLine(0, 0, 3, 4);
    EXPECT_EQ(text(line.get(), L"ObjectName"), L"AcDbLine");
    EXPECT_DOUBLE_EQ(dbl(com::get(line.get(), L"Length")), 5);
    EXPECT_EQ(doubles(com::get(line.get(), L"EndPoint")), (std::vector<double>{3, 4, 0}));
    auto circle = com::asObject(com::call(ms.get(), L"AddCircle", {scriptPoint(1, 1, 0), Variant::fromInt32(2)}));
    EXPECT_NEAR(dbl(com::get(circle.get(), L"Area")), 4 * std::numbers::pi, 1e-12);
    auto arc = com::asObject(com::call(ms.get(), L"AddArc", {pt(0, 0), Variant::fromDouble(1), Variant::fromDouble(0), Variant::fromDouble(std::numbers::pi)}));
    EXPECT_NEAR(dbl(com::get(arc.get(), L"ArcLength")), std::numbers::pi, 1e-12);
    EXPECT_NEAR(doubles(com::get(arc.get(), L"EndPoint"))[0], -1, 1e-12);
    auto lw = com::asObject(com::call(ms.get(), L"AddLightWeightPolyline", {Variant::fromDoubles({0, 0, 10, 0, 10, 10, 0, 10})}));
    EXPECT_EQ(text(lw.get(), L"ObjectName"), L"AcDbPolyline");
    EXPECT_EQ(doubles(com::get(lw.get(), L"Coordinates")).size(), 8u);
    EXPECT_EQ(doubles(com::get(lw.get(), L"Coordinate", {Variant::fromInt32(2)})), (std::vector<double>{10, 10}));
    com::call(lw.get(), L"SetBulge", {Variant::fromInt32(0), Variant::fromDouble(1)});
    EXPECT_DOUBLE_EQ(dbl(com::call(lw.get(), L"GetBulge", {Variant::fromInt32(0)})), 1);
    com::put(lw.get(), L"Closed", Variant::fromBool(true));
    EXPECT_NEAR(dbl(com::get(lw.get(), L"Area")), 100 + 12.5 * std::numbers::pi, 1e-9);
    auto p3 = com::asObject(com::call(ms.get(), L"Add3DPoly", {Variant::fromDoubles({0, 0, 0, 1, 0, 1, 1, 1, 2})}));
    EXPECT_EQ(text(p3.get(), L"ObjectName"), L"AcDb3dPolyline");
    EXPECT_EQ(doubles(com::get(p3.get(), L"Coordinate", {Variant::fromInt32(2)})), (std::vector<double>{1, 1, 2}));
    EXPECT_NE(errorOf([&] { com::get(p3.get(), L"Area"); }), 0);  // a 3-D polyline has no area
    auto p2 = com::asObject(com::call(ms.get(), L"AddPolyline", {Variant::fromDoubles({0, 0, 5, 4, 0, 5, 4, 3, 5})}));
    EXPECT_EQ(text(p2.get(), L"ObjectName"), L"AcDb2dPolyline");
    EXPECT_DOUBLE_EQ(dbl(com::get(p2.get(), L"Elevation")), 5);
    auto mt = com::asObject(com::call(ms.get(), L"AddMText", {pt(1, 2), Variant::fromDouble(20), Variant::fromString(L"여러 줄")}));
    EXPECT_EQ(text(mt.get(), L"TextString"), L"여러 줄");
    auto solid = com::asObject(com::call(ms.get(), L"AddSolid", {pt(0, 0), pt(1, 0), pt(0, 1), pt(1, 1)}));
    EXPECT_EQ(doubles(com::get(solid.get(), L"Coordinate", {Variant::fromInt32(3)})), (std::vector<double>{1, 1, 0}));
    auto hatch = com::asObject(com::call(ms.get(), L"AddHatch", {Variant::fromInt32(1), Variant::fromString(L"ANSI31"), Variant::fromBool(true)}));
    com::call(hatch.get(), L"AppendOuterLoop", {objectArray({circle.get()})});
    EXPECT_NEAR(dbl(com::get(hatch.get(), L"Area")), 4 * std::numbers::pi, 1e-12);
    {
        Variant lo, hi;
        com::call(hatch.get(), L"GetBoundingBox", {Arg::out(lo), Arg::out(hi)});
        EXPECT_EQ(doubles(lo), (std::vector<double>{-1, -1, 0}));  // its boundary circle's box
        EXPECT_EQ(doubles(hi), (std::vector<double>{3, 3, 0}));
    }
    auto block = com::asObject(com::call(ms.get(), L"InsertBlock", {pt(5, 5), Variant::fromString(L"C:\\blocks\\Door.dwg"), Variant::fromDouble(1),
                                                                     Variant::fromDouble(2), Variant::fromDouble(1), Variant::fromDouble(0)}));
    EXPECT_EQ(text(block.get(), L"Name"), L"Door");
    EXPECT_FALSE(truth(com::get(block.get(), L"HasAttributes")));
    com::call(ctl.get(), L"AddAttribute", {Variant::fromDispatch(block.get()), Variant::fromString(L"NO"), Variant::fromString(L"D1")});
    EXPECT_TRUE(truth(com::get(block.get(), L"HasAttributes")));
    auto point = com::asObject(com::call(ms.get(), L"AddPoint", {pt(7, 8, 9)}));
    EXPECT_EQ(doubles(com::get(point.get(), L"Coordinates")), (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(lng(com::get(ms.get(), L"Count")), 11);
    // The item accessor is the default member: DISPID 0 with an index.
    Variant index = Variant::fromInt32(0), first;
    DISPPARAMS params{index.get(), nullptr, 1, 0};
    ASSERT_EQ(ms->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, first.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(V_DISPATCH(first.get()), line.get());
    // doc.ModelSpace(0): arguments to a property without parameters go to the default member of its value.
    Variant viaDocument;
    LPOLESTR name = const_cast<LPOLESTR>(L"ModelSpace");
    DISPID id;
    ASSERT_EQ(doc->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    ASSERT_EQ(doc->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, viaDocument.put(), nullptr, nullptr), S_OK);
    EXPECT_EQ(V_DISPATCH(viaDocument.get()), line.get());
}

TEST_F(Acad, TextFollowsTheStylesAndAlignmentRules) {
    auto t = addText(L"  ㎡", 1, 2);
    EXPECT_EQ(text(t.get(), L"TextString"), L"  ㎡");
    EXPECT_EQ(text(t.get(), L"StyleName"), L"Standard");
    EXPECT_NE(errorOf([&] { com::put(t.get(), L"TextAlignmentPoint", pt(3, 3)); }), 0);  // left-aligned: refused
    com::put(t.get(), L"Alignment", Variant::fromInt32(10));
    com::put(t.get(), L"TextAlignmentPoint", pt(3, 3));
    EXPECT_EQ(doubles(com::get(t.get(), L"TextAlignmentPoint")), (std::vector<double>{3, 3, 0}));
    EXPECT_NE(errorOf([&] { com::put(t.get(), L"StyleName", Variant::fromString(L"Arial")); }), 0);
    auto styles = com::getObject(doc.get(), L"TextStyles");
    auto arial = com::asObject(com::call(styles.get(), L"Add", {Variant::fromString(L"Arial")}));
    com::call(arial.get(), L"SetFont", {Variant::fromString(L"Arial"), Variant::fromBool(false), Variant::fromBool(false), Variant::fromInt32(0),
                                         Variant::fromInt32(0)});
    EXPECT_EQ(text(arial.get(), L"fontFile"), L"Arial.ttf");
    Variant face, bold, italic, charset, pitch;
    com::call(arial.get(), L"GetFont", {Arg::out(face), Arg::out(bold), Arg::out(italic), Arg::out(charset), Arg::out(pitch)});
    EXPECT_EQ(com::asString(face), L"Arial");
    EXPECT_EQ(V_VT(bold.get()), VT_BOOL);
    com::put(t.get(), L"StyleName", Variant::fromString(L"arial"));
    EXPECT_EQ(text(t.get(), L"StyleName"), L"Arial");
    EXPECT_EQ(text(com::asObject(com::call(styles.get(), L"Item", {Variant::fromString(L"ARIAL")})).get(), L"Name"), L"Arial");
    EXPECT_NE(errorOf([&] { com::call(styles.get(), L"Item", {Variant::fromString(L"Nope")}); }), 0);
}

TEST_F(Acad, AnErasedEntityFailsWithAutocadsErasedError) {
    auto line = addLine(0, 0, 1, 0);
    com::call(line.get(), L"Delete");
    EXPECT_EQ(errorOf([&] { com::get(line.get(), L"ObjectName"); }), kErased);
    EXPECT_EQ(errorOf([&] { com::get(line.get(), L"Handle"); }), kErased);
    EXPECT_EQ(errorOf([&] { com::call(line.get(), L"Delete"); }), kErased);
    EXPECT_EQ(errorOf([&] { com::put(line.get(), L"Layer", Variant::fromString(L"0")); }), kErased);
    EXPECT_EQ(lng(com::get(ms.get(), L"Count")), 0);
}

TEST_F(Acad, ScriptedPicksFillTheByReferenceArguments) {
    auto line = addLine(0, 0, 10, 0);
    auto txt = addText(L"A", 0, 5);
    com::call(ctl.get(), L"QueueMiss");
    com::call(ctl.get(), L"QueuePick", {Variant::fromDispatch(line.get()), Variant::fromDouble(4), Variant::fromDouble(0)});
    com::call(ctl.get(), L"QueuePick", {Variant::fromString(text(txt.get(), L"Handle")), Variant::fromDouble(1), Variant::fromDouble(5)});
    com::call(ctl.get(), L"QueueCancel");
    com::call(ctl.get(), L"QueueFailure", {Variant::fromInt32(static_cast<long>(0x80004005))});
    Variant entity, point;
    const Variant prompt = Variant::fromString(L"\r\n객체 선택: ");
    EXPECT_EQ(errorOf([&] { com::call(util.get(), L"GetEntity", {Arg::out(entity), Arg::out(point), prompt}); }), kException);
    EXPECT_EQ(lng(com::call(doc.get(), L"GetVariable", {Variant::fromString(L"errno")})), 7);
    EXPECT_TRUE(entity.isEmpty());  // a failed pick fills nothing
    com::call(util.get(), L"GetEntity", {Arg::out(entity), Arg::out(point), prompt});
    EXPECT_EQ(V_DISPATCH(entity.get()), line.get());
    EXPECT_EQ(doubles(point), (std::vector<double>{4, 0, 0}));
    Variant matrix, context;
    com::call(util.get(), L"GetSubEntity", {Arg::out(entity), Arg::out(point), Arg::out(matrix), Arg::out(context), prompt});
    EXPECT_EQ(V_DISPATCH(entity.get()), txt.get());
    EXPECT_EQ(V_VT(matrix.get()), VT_ARRAY | VT_R8);
    // A cancel leaves errno as the miss left it: AutoCAD resets it for nobody.
    EXPECT_EQ(errorOf([&] { com::call(util.get(), L"GetEntity", {Arg::out(entity), Arg::out(point), prompt}); }), kException);
    EXPECT_EQ(lng(com::call(doc.get(), L"GetVariable", {Variant::fromString(L"errno")})), 7);
    EXPECT_EQ(com::asString(com::call(doc.get(), L"GetVariable", {Variant::fromString(L"LastPrompt")})), L"객체 선택: *Cancel*");
    EXPECT_EQ(errorOf([&] { com::call(util.get(), L"GetEntity", {Arg::out(entity), Arg::out(point), prompt}); }), static_cast<std::int32_t>(0x80004005));
    // The queue is empty now: the user cancels.
    EXPECT_EQ(errorOf([&] { com::call(util.get(), L"GetEntity", {Arg::out(entity), Arg::out(point)}); }), kException);
    // A result cannot be written into an argument passed by value.
    com::call(ctl.get(), L"QueuePick", {Variant::fromDispatch(line.get()), Variant::fromDouble(4), Variant::fromDouble(0)});
    EXPECT_NE(errorOf([&] { com::call(util.get(), L"GetEntity", {Variant(), Variant(), prompt}); }), 0);
}

TEST_F(Acad, GetPointTakesAnOptionalBasePointAndPromptsOnTheCommandLine) {
    com::call(ctl.get(), L"QueuePoint", {Variant::fromDouble(3), Variant::fromDouble(4)});
    com::call(ctl.get(), L"QueuePoint", {Variant::fromDouble(5), Variant::fromDouble(6), Variant::fromDouble(7)});
    EXPECT_EQ(doubles(com::call(util.get(), L"GetPoint", {Arg::omitted(), Variant::fromString(L"\r\n점 선택: ")})), (std::vector<double>{3, 4, 0}));
    EXPECT_EQ(doubles(com::call(util.get(), L"GetPoint", {pt(0, 0), Variant::fromString(L"\r\nnext: ")})), (std::vector<double>{5, 6, 7}));
    EXPECT_EQ(errorOf([&] { com::call(util.get(), L"GetPoint"); }), kException);
    com::call(util.get(), L"Prompt", {Variant::fromString(L"\r\n끝")});
    EXPECT_EQ(text(ctl.get(), L"CommandLine"), L"\r\n점 선택: \r\nnext: *Cancel*\r\n끝");
    EXPECT_EQ(text(ctl.get(), L"LastPrompt"), L"끝");
    com::call(doc.get(), L"SendCommand", {Variant::fromString(L"(load \"C:\\\\Kelva\\\\Kelva.lsp\")\r")});
    EXPECT_EQ(text(ctl.get(), L"SentCommands"), L"(load \"C:\\\\Kelva\\\\Kelva.lsp\")\r\n");
    EXPECT_NE(errorOf([&] { com::call(doc.get(), L"SetVariable", {Variant::fromString(L"LastPrompt"), Variant::fromString(L"x")}); }), 0);
    com::call(doc.get(), L"SetVariable", {Variant::fromString(L"errno"), Variant::fromInt16(7)});
    EXPECT_EQ(V_VT(com::call(doc.get(), L"GetVariable", {Variant::fromString(L"ERRNO")}).get()), VT_I2);
}

TEST_F(Acad, SelectionSetsFilterSelectAndReorder) {
    auto l = addLine(0, 0, 1, 0);
    auto a = addText(L"A", 0, 0);
    auto b = addText(L"B", 0, 1);
    auto sets = com::getObject(doc.get(), L"SelectionSets");
    auto ss = com::asObject(com::call(sets.get(), L"Add", {Variant::fromString(L"SelSet")}));
    EXPECT_NE(errorOf([&] { com::call(sets.get(), L"Add", {Variant::fromString(L"SELSET")}); }), 0);
    com::call(ss.get(), L"Select", {Variant::fromInt32(5), Arg::omitted(), Arg::omitted(), shorts({0}), strings({L"text,mtext"})});
    EXPECT_EQ(lng(com::get(ss.get(), L"Count")), 2);
    com::call(ss.get(), L"Clear");
    com::call(ctl.get(), L"QueueSelection", {Variant::fromString(text(l.get(), L"Handle") + L"," + text(b.get(), L"Handle"))});
    com::call(ss.get(), L"SelectOnScreen", {shorts({0}), strings({L"TEXT,MTEXT"})});
    ASSERT_EQ(lng(com::get(ss.get(), L"Count")), 1);
    EXPECT_EQ(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt16(0)})).get(), b.get());
    com::call(ss.get(), L"AddItems", {objectArray({a.get(), l.get()})});
    com::call(ss.get(), L"RemoveItems", {objectArray({b.get()})});
    EXPECT_EQ(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(1)})).get(), l.get());
    com::call(ctl.get(), L"InjectFailure", {Variant::fromString(L"AddItems")});
    EXPECT_NE(errorOf([&] { com::call(ss.get(), L"AddItems", {objectArray({b.get()})}); }), 0);
    com::call(ss.get(), L"AddItems", {objectArray({b.get()})});  // only the next attempt failed
    EXPECT_EQ(lng(com::get(ss.get(), L"Count")), 3);
    EXPECT_NE(errorOf([&] { com::call(ss.get(), L"Item", {Variant::fromInt32(3)}); }), 0);
    // Deleting by name, then using the deleted set.
    com::call(com::asObject(com::call(sets.get(), L"Item", {Variant::fromString(L"SelSet")})).get(), L"Delete");
    EXPECT_EQ(errorOf([&] { com::get(ss.get(), L"Count"); }), kErased);
    EXPECT_NE(errorOf([&] { com::call(sets.get(), L"Item", {Variant::fromString(L"SelSet")}); }), 0);
    EXPECT_EQ(lng(com::get(com::asObject(com::call(sets.get(), L"Add", {Variant::fromString(L"SelSet")})).get(), L"Count")), 0);
}

TEST_F(Acad, SelectByWindowCrossingAndLast) {
    auto inside = addLine(1, 1, 2, 2);
    auto across = addLine(4, 4, 8, 4);
    addLine(20, 20, 21, 21);
    auto sets = com::getObject(doc.get(), L"SelectionSets");
    auto ss = com::asObject(com::call(sets.get(), L"Add", {Variant::fromString(L"W")}));
    com::call(ss.get(), L"Select", {Variant::fromInt32(0), pt(0, 0), pt(5, 5)});
    ASSERT_EQ(lng(com::get(ss.get(), L"Count")), 1);
    EXPECT_EQ(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(0)})).get(), inside.get());
    com::call(ss.get(), L"Clear");
    com::call(ss.get(), L"Select", {Variant::fromInt32(1), pt(5, 5), pt(0, 0), shorts({0}), strings({L"LINE"})});
    EXPECT_EQ(lng(com::get(ss.get(), L"Count")), 2);
    EXPECT_EQ(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(1)})).get(), across.get());
    com::call(ss.get(), L"Clear");
    com::call(ss.get(), L"Select", {Variant::fromInt32(4)});
    EXPECT_EQ(text(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(0)})).get(), L"Handle"), L"31");
    EXPECT_NE(errorOf([&] { com::call(ss.get(), L"Select", {Variant::fromInt32(5), Arg::omitted(), Arg::omitted(), shorts({0})}); }), 0);
    EXPECT_NE(errorOf([&] { com::call(ss.get(), L"Select", {Variant::fromInt32(9)}); }), 0);
    com::call(app.get(), L"Quit");  // in process nothing ends
    EXPECT_EQ(lng(com::get(ms.get(), L"Count")), 3);
}

TEST_F(Acad, SelectAddsToASetThatHoldsAnErasedEntity) {
    auto first = addLine(1, 1, 2, 2);
    auto second = addLine(3, 1, 4, 2);
    auto sets = com::getObject(doc.get(), L"SelectionSets");
    auto ss = com::asObject(com::call(sets.get(), L"Add", {Variant::fromString(L"E")}));
    com::call(ss.get(), L"AddItems", {objectArray({first.get()})});
    com::call(first.get(), L"Delete");
    com::call(ss.get(), L"Select", {Variant::fromInt32(0), pt(0, 0), pt(5, 5)});
    ASSERT_EQ(lng(com::get(ss.get(), L"Count")), 2);
    EXPECT_EQ(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(0)})).get(), first.get());
    EXPECT_EQ(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(1)})).get(), second.get());
    com::call(ss.get(), L"Select", {Variant::fromInt32(1), pt(0, 0), pt(5, 5)});  // nothing new
    EXPECT_EQ(lng(com::get(ss.get(), L"Count")), 2);
    com::call(ss.get(), L"RemoveItems", {objectArray({first.get()})});
    ASSERT_EQ(lng(com::get(ss.get(), L"Count")), 1);
    EXPECT_EQ(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(0)})).get(), second.get());
}

TEST_F(Acad, InjectedDeleteAndMoveRefusalsCarryTheirNumber) {
    auto l = addLine(0, 0, 1, 0);
    com::call(com::getObject(doc.get(), L"Layers").get(), L"Add", {Variant::fromString(L"DUP")});
    com::call(ctl.get(), L"InjectFailure", {Variant::fromString(L"Delete"), Variant::fromInt32(kErased)});
    com::call(ctl.get(), L"InjectFailure", {Variant::fromString(L"Layer"), Variant::fromInt32(static_cast<long>(0x80004005)), Variant::fromInt32(-1)});
    EXPECT_EQ(errorOf([&] { com::call(l.get(), L"Delete"); }), kErased);
    EXPECT_EQ(text(l.get(), L"ObjectName"), L"AcDbLine");  // it is still there
    EXPECT_EQ(errorOf([&] { com::put(l.get(), L"Layer", Variant::fromString(L"DUP")); }), static_cast<std::int32_t>(0x80004005));
    EXPECT_EQ(errorOf([&] { com::put(l.get(), L"Layer", Variant::fromString(L"DUP")); }), static_cast<std::int32_t>(0x80004005));
    com::call(ctl.get(), L"ClearFailures");
    com::put(l.get(), L"Layer", Variant::fromString(L"DUP"));
    com::call(l.get(), L"Move", {pt(0, 0), scriptPoint(1, 1, 0)});
    EXPECT_EQ(doubles(com::get(l.get(), L"EndPoint")), (std::vector<double>{2, 1, 0}));
    EXPECT_EQ(text(ctl.get(), L"Dump"), L"2F AcDbLine layer=DUP start=1,1,0 end=2,1,0\n");
    Variant lo, hi;
    com::call(l.get(), L"GetBoundingBox", {Arg::out(lo), Arg::out(hi)});
    EXPECT_EQ(doubles(hi), (std::vector<double>{2, 1, 0}));
}

TEST_F(Acad, LayersWalkInOrderAndKeepTheirStates) {
    auto layers = com::getObject(doc.get(), L"Layers");
    auto walls = com::asObject(com::call(layers.get(), L"Add", {Variant::fromString(L"Walls")}));
    com::put(walls.get(), L"Freeze", Variant::fromBool(true));
    com::put(walls.get(), L"Lock", Variant::fromBool(true));
    com::put(walls.get(), L"LayerOn", Variant::fromBool(false));
    auto again = com::asObject(com::call(layers.get(), L"Item", {Variant::fromString(L"WALLS")}));
    EXPECT_TRUE(truth(com::get(again.get(), L"Freeze")));
    EXPECT_FALSE(truth(com::get(again.get(), L"LayerOn")));
    auto zero = com::asObject(com::call(layers.get(), L"Item", {Variant::fromString(L"0")}));
    EXPECT_NE(errorOf([&] { com::put(zero.get(), L"Freeze", Variant::fromBool(true)); }), 0);  // the current layer
    // For Each walks _NewEnum in collection order.
    Variant e = com::get(layers.get(), L"_NewEnum");
    ComPtr<IEnumVARIANT> walk;
    V_UNKNOWN(e.get())->QueryInterface(IID_IEnumVARIANT, walk.putVoid());
    ASSERT_TRUE(walk);
    std::vector<std::wstring> names;
    Variant item;
    ULONG got = 0;
    while (walk->Next(1, item.put(), &got) == S_OK && got == 1) names.push_back(text(V_DISPATCH(item.get()), L"Name"));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"0", L"Walls"}));
}

TEST_F(Acad, MenuGroupsReloadAndMenuBar) {
    com::call(ctl.get(), L"DefineMenuFile", {Variant::fromString(L"Kelva.mns"), Variant::fromString(L"Kelva"), Variant::fromString(L"Kel&va")});
    auto groups = com::getObject(app.get(), L"MenuGroups");
    EXPECT_NE(errorOf([&] { com::call(groups.get(), L"Item", {Variant::fromString(L"Kelva")}); }), 0);
    auto group = com::asObject(com::call(groups.get(), L"Load", {Variant::fromString(L"Kelva.mns"), Variant::fromBool(false)}));
    auto bar = com::getObject(app.get(), L"MenuBar");
    const long count = lng(com::get(bar.get(), L"Count"));
    auto menu = com::asObject(com::call(com::getObject(group.get(), L"Menus").get(), L"Item", {Variant::fromString(L"Kel&va")}));
    com::call(menu.get(), L"InsertInMenuBar", {Variant::fromInt32(count + 1)});
    EXPECT_EQ(lng(com::get(bar.get(), L"Count")), count + 1);
    EXPECT_EQ(text(com::asObject(com::call(bar.get(), L"Item", {Variant::fromInt32(count)})).get(), L"Name"), L"Kel&va");
    EXPECT_TRUE(truth(com::get(menu.get(), L"OnMenuBar")));
    com::call(com::asObject(com::call(groups.get(), L"Item", {Variant::fromString(L"kelva")})).get(), L"Unload");
    EXPECT_EQ(lng(com::get(bar.get(), L"Count")), count);
    EXPECT_EQ(errorOf([&] { com::get(menu.get(), L"Name"); }), kErased);
    EXPECT_NE(errorOf([&] { com::call(bar.get(), L"Item", {Variant::fromString(L"Kel&va")}); }), 0);
}

TEST_F(Acad, BadArgumentsAreRefusedNotCrashed) {
    EXPECT_NE(errorOf([&] { com::call(ms.get(), L"AddLine", {Variant::fromString(L"x"), pt(1, 1)}); }), 0);
    EXPECT_NE(errorOf([&] { com::call(ms.get(), L"AddLine", {Variant::fromDoubles({1, 2}), pt(1, 1)}); }), 0);
    EXPECT_NE(errorOf([&] { com::call(ms.get(), L"AddCircle", {pt(0, 0), Variant::fromDouble(-1)}); }), 0);
    EXPECT_NE(errorOf([&] { com::call(ms.get(), L"AddLine", {pt(0, 0)}); }), 0);
    EXPECT_NE(errorOf([&] { com::call(ms.get(), L"AddLightWeightPolyline", {Variant::fromDoubles({1, 2, 3})}); }), 0);
    Variant nul;
    V_VT(nul.put()) = VT_NULL;
    EXPECT_NE(errorOf([&] { com::call(ms.get(), L"AddText", {nul, pt(0, 0), Variant::fromDouble(1)}); }), 0);
    EXPECT_NE(errorOf([&] { com::call(doc.get(), L"GetVariable", {Variant::fromString(L"NOSUCHVAR")}); }), 0);
    EXPECT_EQ(lng(com::get(ms.get(), L"Count")), 0);
}

TEST_F(Acad, ResetStartsAFreshDrawingAndOrphansOldEntities) {
    auto l = addLine(0, 0, 1, 0);
    auto walls = com::asObject(com::call(com::getObject(doc.get(), L"Layers").get(), L"Add", {Variant::fromString(L"Walls")}));
    auto style = com::asObject(com::call(com::getObject(doc.get(), L"TextStyles").get(), L"Add", {Variant::fromString(L"Arial")}));
    com::call(ctl.get(), L"QueueMiss");
    com::call(ctl.get(), L"Reset");
    // A layer or text style of the old drawing belongs to no drawing now: it neither answers for nor
    // changes whatever the new drawing keeps at its place.
    EXPECT_EQ(errorOf([&] { com::get(walls.get(), L"Name"); }), kErased);
    EXPECT_EQ(errorOf([&] { com::put(walls.get(), L"LayerOn", Variant::fromBool(false)); }), kErased);
    EXPECT_EQ(errorOf([&] { com::get(style.get(), L"fontFile"); }), kErased);
    auto zero = com::asObject(com::call(com::getObject(doc.get(), L"Layers").get(), L"Item", {Variant::fromInt32(0)}));
    EXPECT_TRUE(truth(com::get(zero.get(), L"LayerOn")));
    EXPECT_EQ(lng(com::get(ctl.get(), L"EntityCount")), 0);
    EXPECT_EQ(lng(com::get(ctl.get(), L"PendingInputs")), 0);
    EXPECT_EQ(errorOf([&] { com::get(l.get(), L"Length"); }), kErased);
    auto fresh = addLine(0, 0, 2, 0);
    EXPECT_EQ(text(fresh.get(), L"Handle"), L"2F");
    EXPECT_EQ(com::asString(com::call(ctl.get(), L"ArrayText", {com::get(fresh.get(), L"EndPoint")})), L"2,0,0");
}

TEST_F(Acad, EntityObjectsKeepOneIdentityWhileHeldAndAnswerAgainWhenFetchedAfterRelease) {
    for (int k = 0; k < 20; ++k) addText(L"T", k, 0);
    auto sets = com::getObject(doc.get(), L"SelectionSets");
    auto ss = com::asObject(com::call(sets.get(), L"Add", {Variant::fromString(L"All")}));
    com::call(ss.get(), L"Select", {Variant::fromInt32(5)});
    // Fetched, read and dropped one at a time, as a member reading a large set does.
    for (int round = 0; round < 2; ++round)
        for (long k = 0; k < 20; ++k) {
            auto e = com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(k)}));
            EXPECT_EQ(doubles(com::get(e.get(), L"InsertionPoint")), (std::vector<double>{double(k), 0, 0}));
        }
    auto held = com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(3)}));
    EXPECT_EQ(com::asObject(com::call(ms.get(), L"Item", {Variant::fromInt32(3)})).get(), held.get());
    EXPECT_EQ(held->AddRef(), 2u);  // the client's references only
    EXPECT_EQ(held->Release(), 1u);
    // Erased while no client held it: fetched again, it refuses.
    com::call(com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(5)})).get(), L"Delete");
    auto erased = com::asObject(com::call(ss.get(), L"Item", {Variant::fromInt32(5)}));
    EXPECT_EQ(errorOf([&] { com::get(erased.get(), L"ObjectName"); }), kErased);
    EXPECT_EQ(lng(com::get(ms.get(), L"Count")), 19);
}

TEST_F(Acad, AnEntityFromBeforeAResetIsNotTakenForTheNewOneAtItsPlace) {
    auto old = addLine(0, 0, 1, 0);
    addLine(0, 0, 2, 0);
    com::asObject(com::call(ms.get(), L"Item", {Variant::fromInt32(1)}));  // rests, unheld
    com::call(ctl.get(), L"Reset");
    addLine(5, 5, 6, 6);
    auto sets = com::getObject(doc.get(), L"SelectionSets");
    auto ss = com::asObject(com::call(sets.get(), L"Add", {Variant::fromString(L"S")}));
    EXPECT_NE(errorOf([&] { com::call(ss.get(), L"AddItems", {objectArray({old.get()})}); }), 0);
    EXPECT_EQ(lng(com::get(ss.get(), L"Count")), 0);
    auto fresh = com::asObject(com::call(ms.get(), L"Item", {Variant::fromInt32(0)}));
    EXPECT_NE(fresh.get(), old.get());
    EXPECT_EQ(doubles(com::get(fresh.get(), L"StartPoint")), (std::vector<double>{5, 5, 0}));
    EXPECT_EQ(errorOf([&] { com::get(old.get(), L"StartPoint"); }), kErased);
}

TEST(AcadLifetime, EntityObjectsKeepTheirDrawingAliveAndGoWithIt) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ComPtr<IDispatch> kept;
    {
        auto inst = acad::sim::createInstance({});
        auto doc = com::getObject(inst.application.get(), L"ActiveDocument");
        auto ms = com::getObject(doc.get(), L"ModelSpace");
        for (int k = 0; k < 10; ++k) com::call(ms.get(), L"AddLine", {pt(k, 0), pt(k, 1)});
        for (long k = 0; k < 10; ++k) com::asObject(com::call(ms.get(), L"Item", {Variant::fromInt32(k)}));
        kept = com::asObject(com::call(ms.get(), L"Item", {Variant::fromInt32(7)}));
    }
    // The instance is gone; the object the client kept still reads its drawing.
    EXPECT_EQ(doubles(com::get(kept.get(), L"EndPoint")), (std::vector<double>{7, 1, 0}));
    EXPECT_EQ(com::asString(com::get(kept.get(), L"Handle")), L"36");
    kept.reset();  // the drawing and every object resting in it go now
    {
        // A drawing dropped while every entity object rests.
        auto inst = acad::sim::createInstance({});
        auto ms = com::getObject(com::getObject(inst.application.get(), L"ActiveDocument").get(), L"ModelSpace");
        com::call(ms.get(), L"AddCircle", {pt(0, 0), Variant::fromDouble(1)});
        com::asObject(com::call(ms.get(), L"Item", {Variant::fromInt32(0)}));
    }
    CoUninitialize();
}

// A collection walked as For Each walks it, the enumerator cloned on the way: the items it handed out.
long walkAll(IDispatch* collection) {
    Variant e = com::get(collection, L"_NewEnum");
    ComPtr<IEnumVARIANT> walk, clone;
    if (V_VT(e.get()) != VT_UNKNOWN || FAILED(V_UNKNOWN(e.get())->QueryInterface(IID_IEnumVARIANT, walk.putVoid()))) return -1;
    if (FAILED(walk->Clone(clone.put()))) return -1;
    long n = 0;
    Variant item;
    ULONG got = 0;
    while (clone->Next(1, item.put(), &got) == S_OK && got == 1) ++n;
    return n;
}

// Every object of the stand-in counts in com's ModuleCounts from construction to destruction. What a
// client releases goes at once, except an entity's object: it rests in its drawing, one per entity
// touched, until a reset or the end of the drawing takes it along.
TEST(AcadLifetime, ReleasedObjectsGoButRestingEntitiesWhichTheirDrawingTakesAlong) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    using com::ModuleCounts;
    const long start = ModuleCounts::objects();
    {
        auto inst = acad::sim::createInstance({});
        const long held = start + 2;  // the application and the control object the instance holds
        EXPECT_EQ(ModuleCounts::objects(), held);
        const long entities = 4;
        {
            auto app = inst.application, ctl = inst.control;
            auto doc = com::getObject(app.get(), L"ActiveDocument");
            auto ms = com::getObject(doc.get(), L"ModelSpace");
            auto util = com::getObject(doc.get(), L"Utility");
            auto line = com::asObject(com::call(ms.get(), L"AddLine", {pt(0, 0), pt(1, 0)}));
            com::call(ms.get(), L"AddCircle", {pt(0, 0), Variant::fromDouble(1)});
            com::call(ms.get(), L"AddText", {Variant::fromString(L"T"), pt(0, 1), Variant::fromDouble(2.5)});
            auto block = com::asObject(com::call(ms.get(), L"InsertBlock", {pt(5, 5), Variant::fromString(L"Door"), Variant::fromDouble(1),
                                                                              Variant::fromDouble(1), Variant::fromDouble(1), Variant::fromDouble(0)}));
            com::call(ctl.get(), L"AddAttribute", {Variant::fromDispatch(block.get()), Variant::fromString(L"NO"), Variant::fromString(L"D1")});
            Variant attributes = com::call(block.get(), L"GetAttributes");
            EXPECT_EQ(walkAll(ms.get()), entities);
            EXPECT_EQ(com::asObject(com::call(doc.get(), L"HandleToObject", {com::get(line.get(), L"Handle")})).get(), line.get());

            auto layers = com::getObject(doc.get(), L"Layers");
            com::call(layers.get(), L"Add", {Variant::fromString(L"Walls")});
            EXPECT_EQ(walkAll(layers.get()), 2);
            auto active = com::getObject(doc.get(), L"ActiveLayer");
            auto styles = com::getObject(doc.get(), L"TextStyles");
            com::call(styles.get(), L"Add", {Variant::fromString(L"Arial")});
            EXPECT_EQ(walkAll(styles.get()), 2);
            auto sets = com::getObject(doc.get(), L"SelectionSets");
            auto ss = com::asObject(com::call(sets.get(), L"Add", {Variant::fromString(L"All")}));
            com::call(ss.get(), L"Select", {Variant::fromInt32(5)});
            EXPECT_EQ(walkAll(ss.get()), entities);
            EXPECT_EQ(walkAll(sets.get()), 1);

            com::call(ctl.get(), L"DefineMenuFile", {Variant::fromString(L"Kelva.mns"), Variant::fromString(L"Kelva"), Variant::fromString(L"Kel&va")});
            auto groups = com::getObject(app.get(), L"MenuGroups");
            auto group = com::asObject(com::call(groups.get(), L"Load", {Variant::fromString(L"Kelva.mns"), Variant::fromBool(false)}));
            auto menus = com::getObject(group.get(), L"Menus");
            com::call(com::asObject(com::call(menus.get(), L"Item", {Variant::fromInt32(0)})).get(), L"InsertInMenuBar", {Variant::fromInt32(1)});
            auto bar = com::getObject(app.get(), L"MenuBar");
            for (IDispatch* collection : {menus.get(), groups.get(), bar.get()})
                EXPECT_EQ(walkAll(collection), lng(com::get(collection, L"Count")));
            EXPECT_GT(ModuleCounts::objects(), held + entities + 10);
        }
        EXPECT_EQ(ModuleCounts::objects(), held + entities) << "released objects go; each entity's rests";
        com::call(inst.control.get(), L"Reset");
        EXPECT_EQ(ModuleCounts::objects(), held) << "a reset takes the old drawing's resting objects along";
        {
            auto ms = com::getObject(com::getObject(inst.application.get(), L"ActiveDocument").get(), L"ModelSpace");
            com::call(ms.get(), L"AddLine", {pt(0, 0), pt(1, 0)});
        }
        EXPECT_EQ(ModuleCounts::objects(), held + 1);
    }
    EXPECT_EQ(ModuleCounts::objects(), start) << "the drawing, ending with its instance, takes its resting objects along";
    CoUninitialize();
}

// With every drawing closed AutoCAD still runs, but has no active document; a reset opens one again.
TEST_F(Acad, ActiveDocumentIsNothingWhileEveryDrawingIsClosed) {
    com::put(ctl.get(), L"DocumentOpen", Variant::fromBool(false));
    Variant none = com::get(app.get(), L"ActiveDocument");
    EXPECT_EQ(V_VT(none.get()), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(none.get()), nullptr);
    EXPECT_EQ(errorOf([&] { com::getObject(app.get(), L"ActiveDocument"); }), 91);
    com::call(ctl.get(), L"Reset");
    EXPECT_TRUE(com::getObject(app.get(), L"ActiveDocument"));
}
