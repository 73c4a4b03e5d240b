// clsTable: the table-rebuilding helpers of table_logic.h over a client's line lists, texts and the
// host's selection set (read late-bound by member name). Errors pass through to the caller.
#include "kelvasub/class_support.h"

#include "core/values.h"
#include "englib/glue_values.h"
#include "englib/table_logic.h"

namespace kelva::sub {
namespace {

using namespace kelva::eng;

SAFEARRAY* listIn(SAFEARRAY** list) {
    if (!list || !*list) raise(err::TypeMismatch);
    return *list;
}
SAFEARRAY* listIn(VARIANT* list) {
    SAFEARRAY* a = list ? glue::arrayIn(*list) : nullptr;
    if (!a) raise(err::TypeMismatch);
    return a;
}
BSTR textResult(const std::wstring& s) { return com::Bstr(s).detach(); }

class ClsTable final : public com::DualObject<ClsTable, _clsTable> {
public:
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsTable), {
            {L"OneCell", {1, 2}, {}},  // OneCell advances iRow and iCol
        });
        return table;
    }

    STDMETHODIMP GetLargeHeight(IDispatch** oSel, double* result) override {
        if (!result) return E_POINTER;
        return run([&] {
            IDispatch* sel = oSel ? *oSel : nullptr;
            if (!sel) raise(err::ObjectNotSet);
            auto count = [&] { return toInt32(glue::toDouble(*com::get(sel, L"Count").get())); };
            *result = largestHeight(count, [&](std::int16_t i) {
                const com::ComPtr<IDispatch> item = com::getObject(sel, L"item", {com::Variant::fromInt16(i)});
                return glue::toDouble(*com::get(item.get(), L"Height").get());
            });
        });
    }
    STDMETHODIMP GetTableRX(SAFEARRAY** vCol, short c, double* dTol, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = nextDistinctCoordinate(glue::VariantLines(listIn(vCol)), c, *dTol, 0); });
    }
    STDMETHODIMP GetTableRY(SAFEARRAY** vRow, short r, double* dTol, double* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = nextDistinctCoordinate(glue::VariantLines(listIn(vRow)), r, *dTol, 1); });
    }
    STDMETHODIMP IsColLine(VARIANT* vTmpCol, VARIANT* vTmpRow, short* k, short* iSta, short* iEnd, double* dTol,
                           VARIANT_BOOL* result) override {
        if (!result) return E_POINTER;
        return run([&] {
            const glue::VariantLines cols(listIn(vTmpCol)), rows(listIn(vTmpRow));
            *result = isColumnLine(cols, rows, *k, *iSta, *iEnd, *dTol) ? VARIANT_TRUE : VARIANT_FALSE;
        });
    }
    STDMETHODIMP IsRowLine(VARIANT* vTmpCol, VARIANT* vTmpRow, short* k, short* iSta, short* iEnd, double* dTol,
                           VARIANT_BOOL* result) override {
        if (!result) return E_POINTER;
        return run([&] {
            const glue::VariantLines cols(listIn(vTmpCol)), rows(listIn(vTmpRow));
            *result = isRowLine(cols, rows, *k, *iSta, *iEnd, *dTol) ? VARIANT_TRUE : VARIANT_FALSE;
        });
    }
    STDMETHODIMP GetNextLine(SAFEARRAY** vArr, short iNum, VARIANT_BOOL* bX, double* dTol, short* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = nextLine(glue::VariantLines(listIn(vArr)), iNum, *bX != VARIANT_FALSE, *dTol); });
    }
    STDMETHODIMP GetNumberFormat(BSTR* sText, BSTR* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = textResult(numberFormatFor(textOf(sText))); });
    }
    STDMETHODIMP DeleteSpace(BSTR* sText, BSTR* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = textResult(deleteSpaces(textOf(sText))); });
    }
    STDMETHODIMP OneCell(BSTR* sArea, short* iRow, short* iCol, VARIANT* result) override {
        if (!result) return E_POINTER;
        return run([&] {
            std::int16_t row = *iRow, col = *iCol;
            advanceOverArea(textOf(sArea), row, col);
            *iRow = row;
            *iCol = col;
            VariantInit(result);
        });
    }
    STDMETHODIMP GetxlVertical(BSTR* sText, BSTR* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = textResult(verticalText(textOf(sText))); });
    }
    STDMETHODIMP GetMergeText(BSTR* sArea, BSTR* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = textResult(mergeText(textOf(sArea))); });
    }

private:
    friend class com::RefCounted<ClsTable>;
    ~ClsTable() = default;
};

}  // namespace

HRESULT createClsTable(REFIID iid, void** out) { return ClsTable::create(iid, out); }

}  // namespace kelva::sub
