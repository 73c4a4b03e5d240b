// clsCalculator: the vtable implementation of _clsCalculator. Members answer error 445 through pending() until
// their implementation lands; replace one member at a time (see kelvasub/class_support.h).
#include "kelvasub/class_support.h"

namespace kelva::sub {
namespace {

class ClsCalculator final : public com::DualObject<ClsCalculator, _clsCalculator> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsCalculator), {
        });
        return table;
    }

    STDMETHODIMP Txt_Calculate(BSTR sInput, BSTR *result) override { return pending(IID__clsCalculator, L"clsCalculator.Txt_Calculate"); }

private:
    friend class com::RefCounted<ClsCalculator>;
    ~ClsCalculator() = default;
};

}  // namespace

HRESULT createClsCalculator(REFIID iid, void** out) { return ClsCalculator::create(iid, out); }

}  // namespace kelva::sub
