#include "com/arguments.h"

#include "com_fixture.h"
#include "malformed.h"
#include "probe_object.h"

namespace kelva::com::test {
namespace {

class Arguments : public ComTest {
protected:
    malformed::Table table;
};

VARIANT referenceTo(VARIANT* v) {
    VARIANT r;
    V_VT(&r) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&r) = v;
    return r;
}

TEST_F(Arguments, WhatScriptsAndBasicSendPasses) {
    double d = 1;
    BSTR noText = nullptr;
    IDispatch* nothing = nullptr;
    SAFEARRAY* noArray = nullptr;
    Variant number = Variant::fromDouble(2);
    Variant point = Variant::fromDoubles({1, 2, 3});
    Variant list = variantArray({point, point, Variant::fromString(L"x"), Variant()});
    Variant nested = variantArray({list, variantArray({Variant::fromInt16(1)})});
    VARIANT byRef[6];
    V_VT(&byRef[0]) = VT_BYREF | VT_R8;
    V_R8REF(&byRef[0]) = &d;
    V_VT(&byRef[1]) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&byRef[1]) = &noText;
    V_VT(&byRef[2]) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&byRef[2]) = &nothing;
    V_VT(&byRef[3]) = VT_BYREF | VT_ARRAY | VT_R8;
    V_ARRAYREF(&byRef[3]) = &noArray;
    byRef[4] = referenceTo(number.get());
    byRef[5] = referenceTo(list.get());
    for (const VARIANT& v : byRef) EXPECT_EQ(checkArgument(v), ArgumentFault::None) << V_VT(&v);
    const Variant missing = Variant::missing();
    for (const Variant* v : std::initializer_list<const Variant*>{&number, &point, &list, &nested, &missing})
        EXPECT_EQ(checkArgument(*v->get()), ArgumentFault::None) << v->vt();
    VARIANT decimal;
    VariantInit(&decimal);
    V_VT(&decimal) = VT_DECIMAL;
    EXPECT_EQ(checkArgument(decimal), ArgumentFault::None);
    // Every element type an array is made with.
    for (VARTYPE vt : {VT_I1, VT_UI1, VT_I2, VT_UI2, VT_BOOL, VT_I4, VT_UI4, VT_INT, VT_UINT, VT_R4, VT_ERROR, VT_I8,
                       VT_UI8, VT_R8, VT_CY, VT_DATE, VT_DECIMAL, VT_BSTR, VT_DISPATCH, VT_UNKNOWN, VT_VARIANT}) {
        SafeArray a = SafeArray::attach(SafeArrayCreateVector(vt, 1, 3));
        ASSERT_TRUE(a.get()) << vt;
        EXPECT_EQ(checkArray(a.get(), vt), ArgumentFault::None) << vt;
    }
    EXPECT_EQ(checkArray(nullptr, VT_R8), ArgumentFault::None) << "an array never dimensioned";
}

TEST_F(Arguments, EachMalformedShapeHasItsFault) {
    for (const auto& c : table.malformed())
        EXPECT_EQ(checkArgument(c.arg),
                  c.expected == DISP_E_BADVARTYPE ? ArgumentFault::UnknownType : ArgumentFault::Invalid)
            << c.name;
    for (const auto& c : table.odd()) EXPECT_EQ(checkArgument(c.arg), ArgumentFault::None) << c.name;
}

TEST_F(Arguments, AReferenceChainMayTakeAFewStepsAndNoMore) {
    std::vector<VARIANT> chain(kMaxReferenceChain + 2);
    V_VT(&chain[0]) = VT_I4;
    V_I4(&chain[0]) = 7;
    for (size_t i = 1; i < chain.size(); ++i) chain[i] = referenceTo(&chain[i - 1]);
    const VARIANT& longest = chain[kMaxReferenceChain];
    EXPECT_EQ(checkArgument(longest), ArgumentFault::None);
    EXPECT_EQ(V_I4(&deref(longest)), 7);
    EXPECT_EQ(checkArgument(chain.back()), ArgumentFault::Invalid);
    // deref gives up where the check does, so no reader can loop.
    VARIANT self = referenceTo(nullptr);
    V_VARIANTREF(&self) = &self;
    EXPECT_EQ(&deref(self), &self);
}

TEST_F(Arguments, ArraysNestDeepOnlyTillTheLimit) {
    Variant v = Variant::fromInt16(1);
    for (int i = 0; i < kMaxArrayNesting; ++i) v = variantArray({v});
    EXPECT_EQ(checkArgument(*v.get()), ArgumentFault::None);
    v = variantArray({v});
    EXPECT_EQ(checkArgument(*v.get()), ArgumentFault::Invalid);
}

TEST_F(Arguments, TheDispatcherRefusesThemBeforeAnyMember) {
    auto probe = newProbe();
    const malformed::Tally t = malformed::sendToEveryMember(probe.get(), table.malformed(), true);
    EXPECT_EQ(t.members, 12);
    // A member that writes back touches nothing when another argument is refused.
    Variant first = Variant::fromInt16(1);
    RawCall c;
    rawInvoke(c, probe.get(), L"Swap", {byRefVariant(first), table.malformed().front().arg});
    EXPECT_EQ(c.hr, DISP_E_BADVARTYPE);
    EXPECT_EQ(first.vt(), VT_I2);
    EXPECT_EQ(V_I2(first.get()), 1);
    RawCall fine;
    rawInvoke(fine, probe.get(), L"Echo", {*Variant::fromString(L"ok").get()});
    EXPECT_EQ(fine.hr, S_OK);
}

}  // namespace
}  // namespace kelva::com::test
