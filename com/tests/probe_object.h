#pragma once
// The test library's object: each member exercises one path of the dispatch layer.
#include <windows.h>

#include "com/server.h"
#include "probe.h"

namespace kelva::com::test {

class Probe final : public DualObject<Probe, _Probe> {
public:
    static const TypeDispatch& typeDispatch();

    STDMETHODIMP putref_Target(IDispatch* value) override;
    STDMETHODIMP get_Target(IDispatch** value) override;
    STDMETHODIMP Echo(BSTR* text, BSTR* result) override;
    STDMETHODIMP Twice(short* number) override;
    STDMETHODIMP ScaleQuietly(double* number, double* result) override;
    STDMETHODIMP Optionals(VARIANT* base, BSTR* prompt, short* count, BSTR* result) override;
    STDMETHODIMP Sum(SAFEARRAY** values, double* result) override;
    STDMETHODIMP Reverse(SAFEARRAY** texts) override;
    STDMETHODIMP MakePoint(double x, double y, double z, VARIANT* result) override;
    STDMETHODIMP Fail(LONG number, BSTR description, BSTR source) override;
    STDMETHODIMP Describe(VARIANT value, LONG number, BSTR* result) override;
    STDMETHODIMP Swap(VARIANT* first, VARIANT* second) override;

private:
    friend class RefCounted<Probe>;
    ~Probe() = default;
    ComPtr<IDispatch> target_;
};

// Creates a Probe through the class's create function, as a class factory would.
ComPtr<IDispatch> newProbe();

}  // namespace kelva::com::test
