// clsIni: the vtable implementation of _clsIni: INI values through the profile functions, every text
// in code page 949.
#include "kelvasub/class_support.h"

#include "drawlib/func_members.h"

namespace kelva::sub {
namespace {

namespace members = draw::members;

class ClsIni final : public com::DualObject<ClsIni, _clsIni> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsIni), {
            {L"ReadIni", {}, {{3, std::wstring()}}},  // sDefault = ""
        });
        return table;
    }

    STDMETHODIMP WriteIni(BSTR sPath, BSTR sSection, BSTR sKey, BSTR sValue, VARIANT_BOOL *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::writeIni(sPath, sSection, sKey, sValue, result); });
    }
    STDMETHODIMP DeleteSection(BSTR *sSection, BSTR *sPath, VARIANT_BOOL *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::deleteSection(sSection ? *sSection : nullptr, sPath ? *sPath : nullptr, result); });
    }
    STDMETHODIMP DeleteKey(BSTR *sSection, BSTR *sKey, BSTR *sPath, VARIANT_BOOL *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::deleteKey(sSection ? *sSection : nullptr, sKey ? *sKey : nullptr, sPath ? *sPath : nullptr, result); });
    }
    STDMETHODIMP ReadIni(BSTR sPath, BSTR sSection, BSTR sKey, BSTR sDefault, BSTR *result) override {
        if (!result) return E_POINTER;
        return run([&] { members::readIni(sPath, sSection, sKey, sDefault, result); });
    }

private:
    friend class com::RefCounted<ClsIni>;
    ~ClsIni() = default;
};

}  // namespace

HRESULT createClsIni(REFIID iid, void** out) { return ClsIni::create(iid, out); }

}  // namespace kelva::sub
