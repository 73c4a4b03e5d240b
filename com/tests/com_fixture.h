#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "com/values.h"

namespace kelva::com::test {

class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

// A raw late-bound call as a script engine makes it: arguments in natural order (reversed here).
struct RawCall {
    HRESULT hr = S_OK;
    Variant result;
    EXCEPINFO excep{};
    ~RawCall() {
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrHelpFile);
    }
};

inline DISPID dispidOf(IDispatch* d, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    d->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    return id;
}

inline void rawInvoke(RawCall& call, IDispatch* d, const wchar_t* name, std::vector<VARIANT> args,
                      WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID put = DISPID_PROPERTYPUT;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    UINT argErr = 0;
    call.hr = d->Invoke(dispidOf(d, name), IID_NULL, 0, flags, &params, call.result.get(), &call.excep, &argErr);
}

inline VARIANT byRefVariant(Variant& v) {
    VARIANT r;
    V_VT(&r) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&r) = v.get();
    return r;
}

inline std::wstring bstrOf(const Variant& v) {
    return V_VT(v.get()) == VT_BSTR ? toWString(V_BSTR(v.get())) : L"<not a string>";
}

// A Variant array (what a script's Array() gives) of the given values.
inline Variant variantArray(const std::vector<Variant>& items) {
    SAFEARRAY* a = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i)
        SafeArrayPutElement(a, &i, const_cast<VARIANT*>(items[static_cast<size_t>(i)].get()));
    Variant v;
    V_VT(v.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(v.get()) = a;
    return v;
}

}  // namespace kelva::com::test
