#include "com/latebound.h"

#include "com/errors.h"
#include "com_fixture.h"
#include "probe_object.h"

namespace kelva::com::test {
namespace {

class LateBound : public ComTest {};

TEST_F(LateBound, CallsByNameWithTrailingOptionalsReallyLeftOut) {
    auto probe = newProbe();
    EXPECT_EQ(asString(call(probe.get(), L"Optionals")), L"missing|\r\n점 선택: |3");
    EXPECT_EQ(asString(call(probe.get(), L"Optionals", {Arg::omitted(), Variant::fromString(L"p")})),
              L"missing|p|3");
    Variant a = Variant::fromInt16(1), b = Variant::fromString(L"two");
    call(probe.get(), L"Swap", {Arg::out(a), Arg::out(b)});
    EXPECT_EQ(a.vt(), VT_BSTR);
    EXPECT_EQ(b.vt(), VT_I2);
}

TEST_F(LateBound, PropertiesAndObjects) {
    auto probe = newProbe();
    auto other = newProbe();
    put(probe.get(), L"Target", Variant::fromDispatch(other.get()));
    EXPECT_EQ(getObject(probe.get(), L"Target").get(), other.get());
    put(probe.get(), L"Target", Variant::fromDispatch(nullptr));
    try {
        getObject(probe.get(), L"Target");
        FAIL() << "Nothing must not pass as an object";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 91);
    }
}

TEST_F(LateBound, FailuresCarryTheCalleesNumberDescriptionAndSource) {
    auto probe = newProbe();
    try {
        call(probe.get(), L"Fail", {Variant::fromInt32(5), Variant::fromString(L"bad"), Variant::fromString(L"P")});
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_EQ(e.description(), L"bad");
        EXPECT_EQ(e.source(), L"P");
    }
    try {
        call(nullptr, L"Anything");
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 91);
    }
    try {
        call(probe.get(), L"NoSuchMember");
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 438);
    }
}

// An object whose every call fails as configured, to check the rule that picks a failed call's number.
class Failing final : public Object<Failing, IDispatch> {
public:
    HRESULT hr = E_FAIL;
    SCODE scode = 0;
    WORD wCode = 0;
    const wchar_t* description = L"";
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override { *ids = 1; return S_OK; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* e, UINT*) override {
        if (hr == DISP_E_EXCEPTION && e) {
            e->scode = scode;
            e->wCode = wCode;
            e->bstrDescription = SysAllocString(description);
        }
        return hr;
    }
};

int numberOfFailure(Failing& f) {
    try {
        call(&f, L"Anything");
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

TEST_F(LateBound, AFailedCallsNumberIsScodeElseWCodeElseTheHresult) {
    auto failing = ComPtr<Failing>::attach(new Failing());
    Failing& f = *failing.get();
    f.hr = DISP_E_EXCEPTION;
    f.scode = static_cast<SCODE>(0x8020004C);
    f.wCode = 7;
    EXPECT_EQ(static_cast<unsigned>(numberOfFailure(f)), 0x8020004Cu);
    f.scode = static_cast<SCODE>(0x800A005B);
    EXPECT_EQ(numberOfFailure(f), 91);
    f.scode = 0;
    EXPECT_EQ(numberOfFailure(f), 7);
    f.wCode = 0;
    EXPECT_EQ(static_cast<unsigned>(numberOfFailure(f)), static_cast<unsigned>(DISP_E_EXCEPTION));
    f.hr = static_cast<HRESULT>(0x80020009);
    f.hr = E_ACCESSDENIED;
    EXPECT_EQ(static_cast<unsigned>(numberOfFailure(f)), static_cast<unsigned>(E_ACCESSDENIED));
    f.hr = static_cast<HRESULT>(0x800A0034);
    EXPECT_EQ(numberOfFailure(f), 52);
    EXPECT_EQ(failing->references(), 1u) << "a failed call keeps no reference to its callee";
}

}  // namespace
}  // namespace kelva::com::test
