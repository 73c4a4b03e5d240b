// The preview control called late-bound with arguments no script sends: every member refuses each one
// before the system's dispatcher converts it, leaves it as it was, and the control lives on.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <iostream>
#include <vector>

#include "KelvaView.h"
#include "com/tests/malformed.h"
#include "com/tests/server_check.h"

namespace {

namespace mf = kelva::com::test::malformed;

class ThumbViewDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        module_ = LoadLibraryW(L"KelvaView.ocx");
        ASSERT_NE(module_, nullptr) << "KelvaView.ocx must lie beside the test";
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        OleUninitialize();
    }
    IDispatch* create() {
        using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
        auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        IClassFactory* factory = nullptr;
        IDispatch* control = nullptr;
        if (get && SUCCEEDED(get(CLSID_ThumbView, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
            factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control));
            factory->Release();
        }
        return control;
    }
    HRESULT canUnloadNow() {
        using CanUnload = HRESULT(WINAPI*)();
        return reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")))();
    }
    HMODULE module_ = nullptr;
    mf::Table table;
};

// Created from its factory, asked for each of its interfaces and released: nothing of the server is left.
TEST_F(ThumbViewDispatch, EveryClassReleasesCleanly) { kelva::com::test::expectEveryClassReleasesCleanly(module_); }

TEST_F(ThumbViewDispatch, RefusesMalformedArgumentsInEveryMember) {
    IDispatch* control = create();
    ASSERT_NE(control, nullptr);
    const mf::Tally t = mf::sendToEveryMember(control, table.malformed(), true);
    std::cout << t.calls << " calls of " << table.malformed().size() << " malformed arguments over " << t.members
              << " members\n";
    EXPECT_GE(t.members, 11);

    // Still whole: a property set by name reads back.
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(L"Stretch");
    ASSERT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BOOL;
    V_BOOL(&value) = VARIANT_TRUE;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS assign{&value, &put, 1, 1};
    ASSERT_EQ(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &assign, nullptr, nullptr, nullptr), S_OK);
    DISPPARAMS none{};
    VARIANT got;
    VariantInit(&got);
    ASSERT_EQ(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &got, nullptr, nullptr), S_OK);
    EXPECT_EQ(V_VT(&got), VT_BOOL);
    EXPECT_EQ(V_BOOL(&got), VARIANT_TRUE);

    control->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(ThumbViewDispatch, AMalformedArgumentCarriesTheControlsSource) {
    IDispatch* control = create();
    ASSERT_NE(control, nullptr);
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(L"DrawingFile");
    ASSERT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_BYREF | VT_BSTR;  // with no string behind it
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS assign{&arg, &put, 1, 1};
    EXCEPINFO excep{};
    UINT argErr = 99;
    EXPECT_EQ(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &assign, nullptr, &excep, &argErr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, mf::kInvalidCall);
    EXPECT_STREQ(excep.bstrSource, L"KelvaView");
    EXPECT_EQ(argErr, 0u);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrHelpFile);
    // Without EXCEPINFO the caller gets the error's own HRESULT.
    EXPECT_EQ(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &assign, nullptr, nullptr, nullptr),
              mf::kInvalidCall);
    control->Release();
}

// Well-formed arguments a member cannot take: refused as Basic refuses them (13 type mismatch, 6 overflow,
// 450 wrong number of arguments), with the control's name as the source, and nothing changes.
TEST_F(ThumbViewDispatch, ArgumentsAMemberCannotTakeAreRefusedAsBasicRefusesThem) {
    IDispatch* control = create();
    ASSERT_NE(control, nullptr);
    struct Refusal {
        const wchar_t* member;
        WORD flags;
        std::vector<VARIANT> args;  // DISPPARAMS order
        HRESULT error;
        const wchar_t* description;
    };
    VARIANT text, huge, none;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"가");
    V_VT(&huge) = VT_R8;
    V_R8(&huge) = 3e9;
    V_VT(&none) = VT_NULL;
    const Refusal refusals[] = {
        {L"SpecialEffect", DISPATCH_PROPERTYPUT, {text}, static_cast<HRESULT>(0x800A000D), L"Type mismatch"},
        {L"SpecialEffect", DISPATCH_PROPERTYPUT, {huge}, static_cast<HRESULT>(0x800A0006), L"Overflow"},
        {L"Stretch", DISPATCH_PROPERTYPUT, {none}, static_cast<HRESULT>(0x800A000D), L"Type mismatch"},
        {L"Refresh", DISPATCH_METHOD, {huge, huge}, static_cast<HRESULT>(0x800A01C2),
         L"Wrong number of arguments or invalid property assignment"},
    };
    for (const Refusal& r : refusals) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR name = const_cast<LPOLESTR>(r.member);
        ASSERT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        std::vector<VARIANT> args = r.args;
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        if (r.flags == DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &put;
            params.cNamedArgs = 1;
        }
        EXCEPINFO excep{};
        EXPECT_EQ(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, r.flags, &params, nullptr, &excep, nullptr),
                  DISP_E_EXCEPTION)
            << r.member;
        EXPECT_EQ(excep.scode, r.error) << r.member;
        EXPECT_STREQ(excep.bstrDescription, r.description);
        EXPECT_STREQ(excep.bstrSource, L"KelvaView");
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrHelpFile);
        // Without EXCEPINFO the caller gets the error's own HRESULT.
        EXPECT_EQ(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, r.flags, &params, nullptr, nullptr, nullptr),
                  r.error)
            << r.member;
    }
    VariantClear(&text);
    DISPID effect = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(L"SpecialEffect");
    ASSERT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &effect), S_OK);
    DISPPARAMS noArgs{};
    VARIANT got;
    VariantInit(&got);
    ASSERT_EQ(control->Invoke(effect, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArgs, &got, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(V_I4(&got), 0) << "nothing changed";
    control->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace
