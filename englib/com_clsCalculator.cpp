// clsCalculator: the text expression evaluator of calculator.h behind its one member.
#include "kelvasub/class_support.h"

#include "englib/calculator.h"

namespace kelva::sub {
namespace {

class ClsCalculator final : public com::DualObject<ClsCalculator, _clsCalculator> {
public:
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsCalculator), {});
        return table;
    }

    STDMETHODIMP Txt_Calculate(BSTR sInput, BSTR* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = com::Bstr(eng::calculate(com::toWString(sInput))).detach(); });
    }

private:
    friend class com::RefCounted<ClsCalculator>;
    ~ClsCalculator() = default;
};

}  // namespace

HRESULT createClsCalculator(REFIID iid, void** out) { return ClsCalculator::create(iid, out); }

}  // namespace kelva::sub
