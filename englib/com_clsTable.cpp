// clsTable: the vtable implementation of _clsTable. Members answer error 445 through pending() until
// their implementation lands; replace one member at a time (see kelvasub/class_support.h).
#include "kelvasub/class_support.h"

namespace kelva::sub {
namespace {

class ClsTable final : public com::DualObject<ClsTable, _clsTable> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsTable), {
            {L"OneCell", {1, 2}, {}},  // OneCell advances iRow and iCol
        });
        return table;
    }

    STDMETHODIMP GetLargeHeight(IDispatch **oSel, double *result) override { return pending(IID__clsTable, L"clsTable.GetLargeHeight"); }
    STDMETHODIMP GetTableRX(SAFEARRAY **vCol, short c, double *dTol, double *result) override { return pending(IID__clsTable, L"clsTable.GetTableRX"); }
    STDMETHODIMP GetTableRY(SAFEARRAY **vRow, short r, double *dTol, double *result) override { return pending(IID__clsTable, L"clsTable.GetTableRY"); }
    STDMETHODIMP IsColLine(VARIANT *vTmpCol, VARIANT *vTmpRow, short *k, short *iSta, short *iEnd, double *dTol, VARIANT_BOOL *result) override { return pending(IID__clsTable, L"clsTable.IsColLine"); }
    STDMETHODIMP IsRowLine(VARIANT *vTmpCol, VARIANT *vTmpRow, short *k, short *iSta, short *iEnd, double *dTol, VARIANT_BOOL *result) override { return pending(IID__clsTable, L"clsTable.IsRowLine"); }
    STDMETHODIMP GetNextLine(SAFEARRAY **vArr, short iNum, VARIANT_BOOL *bX, double *dTol, short *result) override { return pending(IID__clsTable, L"clsTable.GetNextLine"); }
    STDMETHODIMP GetNumberFormat(BSTR *sText, BSTR *result) override { return pending(IID__clsTable, L"clsTable.GetNumberFormat"); }
    STDMETHODIMP DeleteSpace(BSTR *sText, BSTR *result) override { return pending(IID__clsTable, L"clsTable.DeleteSpace"); }
    STDMETHODIMP OneCell(BSTR *sArea, short *iRow, short *iCol, VARIANT *result) override { return pending(IID__clsTable, L"clsTable.OneCell"); }
    STDMETHODIMP GetxlVertical(BSTR *sText, BSTR *result) override { return pending(IID__clsTable, L"clsTable.GetxlVertical"); }
    STDMETHODIMP GetMergeText(BSTR *sArea, BSTR *result) override { return pending(IID__clsTable, L"clsTable.GetMergeText"); }

private:
    friend class com::RefCounted<ClsTable>;
    ~ClsTable() = default;
};

}  // namespace

HRESULT createClsTable(REFIID iid, void** out) { return ClsTable::create(iid, out); }

}  // namespace kelva::sub
