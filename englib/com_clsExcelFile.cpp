// clsExcelFile: the vtable implementation of _clsExcelFile. Members answer error 445 through pending() until
// their implementation lands; replace one member at a time (see kelvasub/class_support.h).
#include "kelvasub/class_support.h"

namespace kelva::sub {
namespace {

class ClsExcelFile final : public com::DualObject<ClsExcelFile, _clsExcelFile> {
public:
    // By-reference parameters the members write back, and the defaults of optional parameters.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsExcelFile), {
            {L"WriteValue", {}, {{7, long{0}}}},  // CellFormat = 0
        });
        return table;
    }

    STDMETHODIMP CreateFile(BSTR FileName, short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.CreateFile"); }
    STDMETHODIMP CloseFile(short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.CloseFile"); }
    STDMETHODIMP InsertHorizPageBreak(LONG *lRow, short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.InsertHorizPageBreak"); }
    STDMETHODIMP WriteValue(ValueTypes *ValueType, CellFont *CellFontUsed, CellAlignment *Alignment, CellHiddenLocked *HiddenLocked, LONG *lRow, LONG *lCol, VARIANT *value, LONG *CellFormat, short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.WriteValue"); }
    STDMETHODIMP SetMargin(MarginTypes *Margin, double *MarginValue, short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.SetMargin"); }
    STDMETHODIMP SetColumnWidth(unsigned char *FirstColumn, unsigned char *LastColumn, short *WidthValue, VARIANT *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.SetColumnWidth"); }
    STDMETHODIMP SetFont(BSTR *FontName, short *FontHeight, FontFormatting *FontFormat, short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.SetFont"); }
    STDMETHODIMP SetHeader(BSTR *HeaderText, short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.SetHeader"); }
    STDMETHODIMP SetFooter(BSTR *FooterText, short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.SetFooter"); }
    STDMETHODIMP SetFilePassword(BSTR *PasswordText, short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.SetFilePassword"); }
    STDMETHODIMP put_PrintGridLines(VARIANT_BOOL rhs) override { return pending(IID__clsExcelFile, L"clsExcelFile.PrintGridLines"); }
    STDMETHODIMP put_ProtectSpreadsheet(VARIANT_BOOL rhs) override { return pending(IID__clsExcelFile, L"clsExcelFile.ProtectSpreadsheet"); }
    STDMETHODIMP WriteDefaultFormats(short *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.WriteDefaultFormats"); }
    STDMETHODIMP MKI(short *x, BSTR *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.MKI"); }
    STDMETHODIMP SetDefaultRowHeight(short *HeightValue, VARIANT *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.SetDefaultRowHeight"); }
    STDMETHODIMP SetRowHeight(LONG *lRow, short *HeightValue, VARIANT *result) override { return pending(IID__clsExcelFile, L"clsExcelFile.SetRowHeight"); }

private:
    friend class com::RefCounted<ClsExcelFile>;
    ~ClsExcelFile() = default;
};

}  // namespace

HRESULT createClsExcelFile(REFIID iid, void** out) { return ClsExcelFile::create(iid, out); }

}  // namespace kelva::sub
