// clsIni: the vtable implementation of _clsIni. Members answer error 445 through pending() until
// their implementation lands; replace one member at a time (see kelvasub/class_support.h).
#include "kelvasub/class_support.h"

namespace kelva::sub {
namespace {

class ClsIni final : public com::DualObject<ClsIni, _clsIni> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsIni), {
            {L"ReadIni", {}, {{3, std::wstring()}}},  // sDefault = ""
        });
        return table;
    }

    STDMETHODIMP WriteIni(BSTR sPath, BSTR sSection, BSTR sKey, BSTR sValue, VARIANT_BOOL *result) override { return pending(IID__clsIni, L"clsIni.WriteIni"); }
    STDMETHODIMP DeleteSection(BSTR *sSection, BSTR *sPath, VARIANT_BOOL *result) override { return pending(IID__clsIni, L"clsIni.DeleteSection"); }
    STDMETHODIMP DeleteKey(BSTR *sSection, BSTR *sKey, BSTR *sPath, VARIANT_BOOL *result) override { return pending(IID__clsIni, L"clsIni.DeleteKey"); }
    STDMETHODIMP ReadIni(BSTR sPath, BSTR sSection, BSTR sKey, BSTR sDefault, BSTR *result) override { return pending(IID__clsIni, L"clsIni.ReadIni"); }

private:
    friend class com::RefCounted<ClsIni>;
    ~ClsIni() = default;
};

}  // namespace

HRESULT createClsIni(REFIID iid, void** out) { return ClsIni::create(iid, out); }

}  // namespace kelva::sub
