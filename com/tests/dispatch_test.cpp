#include "com_fixture.h"
#include "com/errors.h"
#include "probe_object.h"

namespace kelva::com::test {
namespace {

class Dispatch : public ComTest {};

TEST_F(Dispatch, ArgumentsArriveByValueByTypedReferenceAndThroughVariantReferences) {
    auto probe = newProbe();
    {
        RawCall c;
        rawInvoke(c, probe.get(), L"Echo", {*Variant::fromString(L"가나").get()});
        ASSERT_EQ(c.hr, S_OK);
        EXPECT_EQ(bstrOf(c.result), L"<가나>");
    }
    {
        Bstr text(L"typed");
        VARIANT arg;
        V_VT(&arg) = VT_BYREF | VT_BSTR;
        V_BSTRREF(&arg) = text.put();
        *V_BSTRREF(&arg) = SysAllocString(L"typed");
        RawCall c;
        rawInvoke(c, probe.get(), L"Echo", {arg});
        ASSERT_EQ(c.hr, S_OK);
        EXPECT_EQ(bstrOf(c.result), L"<typed>");
        EXPECT_EQ(text.str(), L"typed") << "Echo is not marked as writing back";
    }
    {
        // A script variable holding a number, handed to a String parameter.
        Variant var = Variant::fromInt16(42);
        RawCall c;
        rawInvoke(c, probe.get(), L"Echo", {byRefVariant(var)});
        ASSERT_EQ(c.hr, S_OK);
        EXPECT_EQ(bstrOf(c.result), L"<42>");
        EXPECT_EQ(var.vt(), VT_I2);
    }
    {
        RawCall c;
        rawInvoke(c, probe.get(), L"Describe", {*Variant::fromDouble(1.5).get(), *Variant::fromString(L"7").get()});
        ASSERT_EQ(c.hr, S_OK);
        EXPECT_EQ(bstrOf(c.result), L"vt5/7");
    }
}

TEST_F(Dispatch, WritesBackOnlyWhereTheMemberIsMarked) {
    auto probe = newProbe();
    Variant n = Variant::fromInt16(21);
    RawCall twice;
    rawInvoke(twice, probe.get(), L"Twice", {byRefVariant(n)});
    ASSERT_EQ(twice.hr, S_OK);
    ASSERT_EQ(n.vt(), VT_I2);
    EXPECT_EQ(V_I2(n.get()), 42);

    // A Variant holding Long stays Long after a round trip through an Integer parameter.
    Variant wide = Variant::fromInt32(100);
    RawCall c2;
    rawInvoke(c2, probe.get(), L"Twice", {byRefVariant(wide)});
    ASSERT_EQ(c2.hr, S_OK);
    EXPECT_EQ(wide.vt(), VT_I4);
    EXPECT_EQ(V_I4(wide.get()), 200);

    // ScaleQuietly changes its parameter but is not marked: the caller's Integer stays as it was.
    Variant quiet = Variant::fromInt16(3);
    RawCall scale;
    rawInvoke(scale, probe.get(), L"ScaleQuietly", {byRefVariant(quiet)});
    ASSERT_EQ(scale.hr, S_OK);
    EXPECT_EQ(V_R8(scale.result.get()), 6.0);
    EXPECT_EQ(quiet.vt(), VT_I2);
    EXPECT_EQ(V_I2(quiet.get()), 3);

    short typed = 5;
    VARIANT ref;
    V_VT(&ref) = VT_BYREF | VT_I2;
    V_I2REF(&ref) = &typed;
    RawCall c3;
    rawInvoke(c3, probe.get(), L"Twice", {ref});
    EXPECT_EQ(typed, 10);

    // Swapped Variants come back with their own types.
    Variant a = Variant::fromString(L"x"), b = Variant::fromDouble(2.5);
    RawCall sw;
    rawInvoke(sw, probe.get(), L"Swap", {byRefVariant(a), byRefVariant(b)});
    ASSERT_EQ(sw.hr, S_OK);
    EXPECT_EQ(a.vt(), VT_R8);
    EXPECT_EQ(b.vt(), VT_BSTR);
}

TEST_F(Dispatch, LeftOutOptionalsGetTheCodeDefaultsAndVariantsArriveMissing) {
    auto probe = newProbe();
    RawCall none;
    rawInvoke(none, probe.get(), L"Optionals", {});
    ASSERT_EQ(none.hr, S_OK);
    EXPECT_EQ(bstrOf(none.result), L"missing|\r\n점 선택: |3");

    RawCall marked;
    rawInvoke(marked, probe.get(), L"Optionals",
              {*Variant::missing().get(), *Variant::missing().get(), *Variant::fromInt16(9).get()});
    ASSERT_EQ(marked.hr, S_OK);
    EXPECT_EQ(bstrOf(marked.result), L"missing|\r\n점 선택: |9");

    Variant base = Variant::fromDouble(1);
    RawCall given;
    rawInvoke(given, probe.get(), L"Optionals", {byRefVariant(base), *Variant::fromString(L"p").get()});
    ASSERT_EQ(given.hr, S_OK);
    EXPECT_EQ(bstrOf(given.result), L"vt5|p|3");
}

TEST_F(Dispatch, VariantArraysFeedTypedArraysAndKeepTheirTypeWhenWrittenBack) {
    auto probe = newProbe();
    Variant values = variantArray({Variant::fromInt16(1), Variant::fromString(L"2.5"), Variant::fromDouble(3)});
    RawCall sum;
    rawInvoke(sum, probe.get(), L"Sum", {byRefVariant(values)});
    ASSERT_EQ(sum.hr, S_OK);
    EXPECT_DOUBLE_EQ(V_R8(sum.result.get()), 6.5);

    Variant texts = variantArray({Variant::fromString(L"a"), Variant::fromInt16(2), Variant::fromString(L"다")});
    RawCall rev;
    rawInvoke(rev, probe.get(), L"Reverse", {byRefVariant(texts)});
    ASSERT_EQ(rev.hr, S_OK);
    ASSERT_EQ(texts.vt(), VT_ARRAY | VT_VARIANT);
    VARIANT first;
    VariantInit(&first);
    LONG i = 0;
    SafeArrayGetElement(V_ARRAY(texts.get()), &i, &first);
    EXPECT_EQ(V_VT(&first), VT_BSTR);
    EXPECT_EQ(toWString(V_BSTR(&first)), L"다");
    VariantClear(&first);

    RawCall bad;
    Variant notNumbers = variantArray({Variant::fromString(L"x")});
    rawInvoke(bad, probe.get(), L"Sum", {byRefVariant(notNumbers)});
    EXPECT_EQ(bad.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(bad.excep.scode, static_cast<SCODE>(0x800A000D));
}

TEST_F(Dispatch, ArraysOfDoublesComeBack) {
    auto probe = newProbe();
    RawCall c;
    rawInvoke(c, probe.get(), L"MakePoint",
              {*Variant::fromDouble(1).get(), *Variant::fromDouble(2).get(), *Variant::fromDouble(3).get()});
    ASSERT_EQ(c.hr, S_OK);
    ASSERT_EQ(c.result.vt(), VT_ARRAY | VT_R8);
    EXPECT_EQ(elementCount(V_ARRAY(c.result.get())), 3);
}

TEST_F(Dispatch, ErrorsReachTheCallerWithNumberDescriptionAndSource) {
    auto probe = newProbe();
    RawCall c;
    rawInvoke(c, probe.get(), L"Fail",
              {*Variant::fromInt32(91).get(), *Variant::fromString(L"설명").get(), *Variant::fromString(L"Src").get()});
    ASSERT_EQ(c.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(c.excep.scode, static_cast<SCODE>(0x800A005B));
    EXPECT_EQ(toWString(c.excep.bstrDescription), L"설명");
    EXPECT_EQ(toWString(c.excep.bstrSource), L"Src");

    RawCall user;
    rawInvoke(user, probe.get(), L"Fail",
              {*Variant::fromInt32(static_cast<long>(0x80040005)).get(), *Variant::fromString(L"*취소*").get(),
               *Variant::fromString(L"").get()});
    EXPECT_EQ(user.excep.scode, static_cast<SCODE>(0x80040005));
    EXPECT_EQ(toWString(user.excep.bstrSource), L"");

    // Early-bound callers see the HRESULT and the thread's error information.
    ComPtr<_Probe> early = probe.query<_Probe>();
    Bstr d(L"x"), s(L"y");
    EXPECT_EQ(early->Fail(13, d.get(), s.get()), static_cast<HRESULT>(0x800A000D));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
    Bstr desc;
    info->GetDescription(desc.put());
    EXPECT_EQ(desc.str(), L"x");
}

TEST_F(Dispatch, BadArgumentsFailWithTheNumbersABasicCallerKnows) {
    auto probe = newProbe();
    RawCall missing;
    rawInvoke(missing, probe.get(), L"Twice", {});
    EXPECT_EQ(missing.excep.scode, static_cast<SCODE>(0x800A0000 | 449));
    RawCall tooMany;
    rawInvoke(tooMany, probe.get(), L"Twice", {*Variant::fromInt16(1).get(), *Variant::fromInt16(2).get()});
    EXPECT_EQ(tooMany.excep.scode, static_cast<SCODE>(0x800A0000 | 450));
    RawCall wrongType;
    rawInvoke(wrongType, probe.get(), L"Twice", {*Variant::fromString(L"abc").get()});
    EXPECT_EQ(wrongType.excep.scode, static_cast<SCODE>(0x800A000D));
    Variant nullValue;
    V_VT(nullValue.get()) = VT_NULL;
    RawCall null;
    rawInvoke(null, probe.get(), L"Echo", {*nullValue.get()});
    EXPECT_EQ(null.excep.scode, static_cast<SCODE>(0x800A000D));
    RawCall overflow;
    rawInvoke(overflow, probe.get(), L"Twice", {*Variant::fromInt32(70000).get()});
    EXPECT_EQ(overflow.excep.scode, static_cast<SCODE>(0x800A0006));
    RawCall unknown;
    UINT argErr = 0;
    EXPECT_EQ(probe->Invoke(0x12345, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, &argErr),
              DISP_E_MEMBERNOTFOUND);
}

TEST_F(Dispatch, ObjectPropertyIsSetByReferenceAndReadBack) {
    auto probe = newProbe();
    auto other = newProbe();
    RawCall set;
    rawInvoke(set, probe.get(), L"Target", {*Variant::fromDispatch(other.get()).get()}, DISPATCH_PROPERTYPUTREF);
    ASSERT_EQ(set.hr, S_OK);
    RawCall read;
    rawInvoke(read, probe.get(), L"Target", {}, DISPATCH_PROPERTYGET);
    ASSERT_EQ(read.hr, S_OK);
    ASSERT_EQ(read.result.vt(), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(read.result.get()), other.get());
    // A plain assignment of an object is taken as Set, as Basic callers do.
    RawCall let;
    rawInvoke(let, probe.get(), L"Target", {*Variant::fromDispatch(nullptr).get()}, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(let.hr, S_OK);
}

}  // namespace
}  // namespace kelva::com::test

namespace kelva::com::test {
namespace {

TEST_F(Dispatch, NamedArgumentsReachTheirParameters) {
    auto probe = newProbe();
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Optionals"), const_cast<LPOLESTR>(L"count"),
                        const_cast<LPOLESTR>(L"prompt")};
    DISPID ids[3] = {};
    ASSERT_EQ(probe->GetIDsOfNames(IID_NULL, names, 3, 0, ids), S_OK);
    EXPECT_EQ(ids[1], 2);
    EXPECT_EQ(ids[2], 1);
    // Optionals(count:=7, prompt:="q"): named arguments come first in rgvarg, in the order of their ids.
    VARIANT args[2];
    V_VT(&args[0]) = VT_I2;
    V_I2(&args[0]) = 7;
    V_VT(&args[1]) = VT_BSTR;
    V_BSTR(&args[1]) = SysAllocString(L"q");
    DISPID named[2] = {ids[1], ids[2]};
    DISPPARAMS params{args, named, 2, 2};
    Variant result;
    EXCEPINFO excep{};
    ASSERT_EQ(probe->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, result.get(), &excep, nullptr), S_OK);
    EXPECT_EQ(bstrOf(result), L"missing|q|7");
    VariantClear(&args[1]);

    DISPID unknown = 9;
    DISPPARAMS bad{args, &unknown, 1, 1};
    V_VT(&args[0]) = VT_I2;
    EXPECT_EQ(probe->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &bad, result.get(), &excep, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, static_cast<SCODE>(0x800A0000 | 450));
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
}

}  // namespace
}  // namespace kelva::com::test
