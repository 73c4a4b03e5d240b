#pragma once
// A stand-in for an automation object the code under test knows only by member names (a container's
// image list, its pictures): the members are given by the test, and reached late-bound, by
// GetIDsOfNames and Invoke, as a real caller reaches them. A counted heap object held by ComPtr.
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "com/com_ptr.h"
#include "com/object.h"
#include "com/values.h"

namespace kelva::testing {

class FakeDispatch final : public com::Object<FakeDispatch, IDispatch> {
public:
    // A member's answer: its result goes to `result` (left Empty for none), a failure is its HRESULT.
    // `args` are as the caller passed them, the last argument first.
    using Member = std::function<HRESULT(const DISPPARAMS& args, com::Variant& result)>;
    using Maker = std::function<com::ComPtr<FakeDispatch>()>;

    static com::ComPtr<FakeDispatch> make() { return com::ComPtr<FakeDispatch>::attach(new FakeDispatch); }

    FakeDispatch& member(std::wstring name, Member answer) {
        members_.emplace_back(std::move(name), std::move(answer));
        return *this;
    }
    // A property that always reads `value`.
    FakeDispatch& property(std::wstring name, com::Variant value) {
        return member(std::move(name), [value](const DISPPARAMS&, com::Variant& result) {
            result = value;
            return S_OK;
        });
    }
    // A property that reads a new object, made by `maker`, each time.
    FakeDispatch& object(std::wstring name, Maker maker) {
        return member(std::move(name), [maker = std::move(maker)](const DISPPARAMS&, com::Variant& result) {
            result = com::Variant::fromDispatch(maker().get());
            return S_OK;
        });
    }

    // The caller's argument `fromLeft` (0 is the first the caller wrote) as a number; none when there is
    // no such argument or it is no number.
    static std::optional<double> number(const DISPPARAMS& args, UINT fromLeft) {
        if (fromLeft >= args.cArgs) return std::nullopt;
        com::Variant n;
        if (FAILED(VariantChangeType(n.get(), &args.rgvarg[args.cArgs - 1 - fromLeft], 0, VT_R8))) return std::nullopt;
        return V_R8(n.get());
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    // Member names only: named arguments are not understood.
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT k = 1; k < count; ++k) ids[k] = DISPID_UNKNOWN;
        ids[0] = DISPID_UNKNOWN;
        for (std::size_t i = 0; i < members_.size() && ids[0] == DISPID_UNKNOWN; ++i)
            if (_wcsicmp(names[0], members_[i].first.c_str()) == 0) ids[0] = static_cast<DISPID>(i + 1);
        return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* args, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        static const DISPPARAMS none{};
        com::Variant answer;
        const HRESULT hr = members_[static_cast<std::size_t>(id - 1)].second(args ? *args : none, answer);
        if (SUCCEEDED(hr) && result) answer.detachTo(result);
        return hr;
    }

private:
    friend class com::RefCounted<FakeDispatch>;
    FakeDispatch() = default;
    ~FakeDispatch() = default;

    std::vector<std::pair<std::wstring, Member>> members_;
};

}  // namespace kelva::testing
