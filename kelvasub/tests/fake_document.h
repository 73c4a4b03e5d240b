#pragma once
// A tiny stand-in for AutoCAD's document, application and utility objects: just the members clsPub calls,
// reached by name like the real ones, with every call recorded.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/object.h"
#include "com/values.h"

namespace kelva::sub::test {

// An IDispatch whose members are handlers by name (case-insensitive). A handler receives the arguments in
// declared order (by-reference ones as given) and returns the result or throws an HRESULT.
class FakeObject final : public com::Object<FakeObject, IDispatch> {
public:
    using Handler = std::function<com::Variant(std::vector<VARIANT*>& args, WORD flags)>;
    static com::ComPtr<FakeObject> make();
    void on(const std::wstring& name, Handler handler);
    // Every call fails with this HRESULT from now on (as a server that went away does).
    void failEverything(HRESULT hr) { failure_ = hr; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override;

private:
    friend class com::RefCounted<FakeObject>;
    FakeObject() = default;
    ~FakeObject() = default;
    std::vector<std::pair<std::wstring, Handler>> members_;
    HRESULT failure_ = S_OK;
};

// A failure the way an automation server reports one: DISP_E_EXCEPTION with this scode and text.
struct FakeFailure {
    HRESULT scode;
    std::wstring description;
};

// The document, with its Application and Utility, whose answers a test scripts.
struct FakeDrawing {
    FakeDrawing();
    com::ComPtr<FakeObject> document, application, utility;
    std::wstring version = L"16.2s (LMS Tech)";
    std::wstring lastPrompt;
    std::vector<std::wstring> prompts;            // texts given to Utility.Prompt
    struct PointCall {
        bool baseGiven;
        std::wstring prompt;
    };
    std::vector<PointCall> pointCalls;            // each Utility.GetPoint
    std::vector<std::vector<double>> pointAnswers;  // answered in order; none left means cancel
};

}  // namespace kelva::sub::test
