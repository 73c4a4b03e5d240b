#include "fake_document.h"

#include <algorithm>
#include <cwctype>

namespace kelva::sub::test {

namespace {
bool sameName(const std::wstring& a, const wchar_t* b) {
    const std::wstring other(b);
    return a.size() == other.size() &&
           std::equal(a.begin(), a.end(), other.begin(), [](wchar_t x, wchar_t y) { return towlower(x) == towlower(y); });
}
}  // namespace

com::ComPtr<FakeObject> FakeObject::make() { return com::ComPtr<FakeObject>::attach(new FakeObject()); }

void FakeObject::on(const std::wstring& name, Handler handler) { members_.emplace_back(name, std::move(handler)); }

STDMETHODIMP FakeObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (failure_ != S_OK) return failure_;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (size_t m = 0; m < members_.size(); ++m)
        if (sameName(members_[m].first, names[0])) {
            ids[0] = static_cast<DISPID>(m + 1);
            return S_OK;
        }
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP FakeObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* excep, UINT*) {
    if (failure_ != S_OK) return failure_;
    if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    std::vector<VARIANT*> args;
    for (UINT i = params->cArgs; i > params->cNamedArgs; --i) args.push_back(&params->rgvarg[i - 1]);
    try {
        com::Variant value = members_[static_cast<size_t>(id - 1)].second(args, flags);
        if (result) value.detachTo(result);
        return S_OK;
    } catch (const FakeFailure& f) {
        if (excep) {
            *excep = EXCEPINFO{};
            excep->scode = f.scode;
            excep->bstrDescription = SysAllocString(f.description.c_str());
            excep->bstrSource = SysAllocString(L"FakeCAD");
        }
        return DISP_E_EXCEPTION;
    }
}

FakeDrawing::FakeDrawing()
    : document(FakeObject::make()), application(FakeObject::make()), utility(FakeObject::make()) {
    // The handlers hold plain pointers to this FakeDrawing: the objects are released with it.
    document->on(L"Application", [this](auto&, WORD) { return com::Variant::fromDispatch(application.get()); });
    document->on(L"Utility", [this](auto&, WORD) { return com::Variant::fromDispatch(utility.get()); });
    document->on(L"GetVariable", [this](std::vector<VARIANT*>& args, WORD) {
        if (args.size() != 1) throw FakeFailure{DISP_E_BADPARAMCOUNT, L"bad count"};
        const VARIANT& name = com::deref(*args[0]);
        if (V_VT(&name) == VT_BSTR && sameName(L"LastPrompt", V_BSTR(&name)))
            return com::Variant::fromString(lastPrompt);
        throw FakeFailure{E_INVALIDARG, L"unknown variable"};
    });
    application->on(L"Version", [this](auto&, WORD) { return com::Variant::fromString(version); });
    utility->on(L"Prompt", [this](std::vector<VARIANT*>& args, WORD) {
        const VARIANT& text = com::deref(*args.at(0));
        prompts.push_back(V_VT(&text) == VT_BSTR ? com::toWString(V_BSTR(&text)) : L"<not text>");
        return com::Variant();
    });
    utility->on(L"GetPoint", [this](std::vector<VARIANT*>& args, WORD) {
        PointCall call{false, L"<none>"};
        if (!args.empty()) call.baseGiven = !com::isMissing(*args[0]);
        if (args.size() > 1) {
            const VARIANT& p = com::deref(*args[1]);
            if (V_VT(&p) == VT_BSTR) call.prompt = com::toWString(V_BSTR(&p));
        }
        pointCalls.push_back(call);
        if (pointAnswers.empty()) throw FakeFailure{static_cast<HRESULT>(0x80020009), L"User cancelled"};
        auto answer = pointAnswers.front();
        pointAnswers.erase(pointAnswers.begin());
        return com::Variant::fromDoubles(answer);
    });
}

}  // namespace kelva::sub::test
