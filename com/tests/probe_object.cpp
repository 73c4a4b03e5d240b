#include "probe_object.h"

#include <algorithm>
#include <string>

namespace kelva::com::test {

const TypeDispatch& Probe::typeDispatch() {
    static const TypeDispatch table(
        interfaceTypeInfo(loadModuleTypeLib(thisModule()).get(), IID__Probe),
        {
            {L"Twice", {0}, {}},                                          // Twice writes its number back
            {L"Optionals", {}, {{1, std::wstring(L"\r\n점 선택: ")}, {2, short{3}}}},
            {L"Reverse", {0}, {}},                                          // Reverse works in place
            {L"Swap", {0, 1}, {}},
        });
    return table;
}

STDMETHODIMP Probe::putref_Target(IDispatch* value) {
    return run([&] { target_ = ComPtr<IDispatch>(value); });
}

STDMETHODIMP Probe::get_Target(IDispatch** value) {
    return run([&] { *value = target_.copyOut(); });
}

STDMETHODIMP Probe::Echo(BSTR* text, BSTR* result) {
    return run([&] {
        const std::wstring t = toWString(*text);
        *result = Bstr(L"<" + t + L">").detach();
        // Changes its own copy; the dispatch layer must not copy it back (not marked).
        SysFreeString(*text);
        *text = Bstr(L"changed").detach();
    });
}

STDMETHODIMP Probe::Twice(short* number) {
    return run([&] {
        if (*number > 16383 || *number < -16384) throw VbError(kelva::err::Overflow);
        *number = static_cast<short>(*number * 2);
    });
}

STDMETHODIMP Probe::ScaleQuietly(double* number, double* result) {
    return run([&] {
        *result = *number * 2;
        *number = -1;  // not marked: never reaches the caller
    });
}

STDMETHODIMP Probe::Optionals(VARIANT* base, BSTR* prompt, short* count, BSTR* result) {
    return run([&] {
        std::wstring text = isMissing(*base) ? L"missing" : L"vt" + std::to_wstring(V_VT(base));
        text += L"|" + toWString(*prompt) + L"|" + std::to_wstring(*count);
        *result = Bstr(text).detach();
    });
}

STDMETHODIMP Probe::Sum(SAFEARRAY** values, double* result) {
    return run([&] {
        if (!*values || elementType(*values) != VT_R8) throw VbError(kelva::err::TypeMismatch);
        double* data = nullptr;
        SafeArrayAccessData(*values, reinterpret_cast<void**>(&data));
        double sum = 0;
        for (long i = 0; i < elementCount(*values); ++i) sum += data[i];
        SafeArrayUnaccessData(*values);
        *result = sum;
    });
}

STDMETHODIMP Probe::Reverse(SAFEARRAY** texts) {
    return run([&] {
        if (!*texts || elementType(*texts) != VT_BSTR) throw VbError(kelva::err::TypeMismatch);
        BSTR* data = nullptr;
        SafeArrayAccessData(*texts, reinterpret_cast<void**>(&data));
        std::reverse(data, data + elementCount(*texts));
        SafeArrayUnaccessData(*texts);
    });
}

STDMETHODIMP Probe::MakePoint(double x, double y, double z, VARIANT* result) {
    return run([&] { Variant::fromDoubles({x, y, z}).detachTo(result); });
}

STDMETHODIMP Probe::Fail(LONG number, BSTR description, BSTR source) {
    return run([&] { throw VbError(number, toWString(description), toWString(source)); });
}

STDMETHODIMP Probe::Describe(VARIANT value, LONG number, BSTR* result) {
    return run([&] {
        *result = Bstr(L"vt" + std::to_wstring(V_VT(&value)) + L"/" + std::to_wstring(number)).detach();
    });
}

STDMETHODIMP Probe::Swap(VARIANT* first, VARIANT* second) {
    return run([&] { std::swap(*first, *second); });
}

ComPtr<IDispatch> newProbe() {
    ComPtr<IDispatch> d;
    Probe::create(IID_IDispatch, d.putVoid());
    return d;
}

}  // namespace kelva::com::test
