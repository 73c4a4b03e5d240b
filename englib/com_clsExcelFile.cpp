// clsExcelFile: the BIFF2 worksheet writer of biff2.h. Every writing member answers the error number
// (0 for success) instead of raising; the file is built beside its target and put in place on close.
#include "kelvasub/class_support.h"

#include <filesystem>

#include "com/arguments.h"
#include "englib/biff2.h"
#include "englib/glue_values.h"

namespace kelva::sub {
namespace {

using namespace kelva::eng;

// Runs a writing step and answers its error number, 0 for success.
template <class Body>
std::int32_t numberOf(Body&& body) noexcept {
    try {
        body();
        return 0;
    } catch (const VbError& e) {
        return e.number();
    } catch (const std::bad_alloc&) {
        return err::OutOfMemory;
    } catch (...) {
        return com::err::InternalError;
    }
}
short shortResult(std::int32_t n) { return static_cast<short>(n); }
// The Variant answers: an Integer 0 for success, a Long error number otherwise.
void variantResult(std::int32_t n, VARIANT* result) {
    (n == 0 ? com::Variant::fromInt16(0) : com::Variant::fromInt32(n)).detachTo(result);
}

class ClsExcelFile final : public com::DualObject<ClsExcelFile, _clsExcelFile> {
public:
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsExcelFile), {
            {L"WriteValue", {}, {{7, long{0}}}},  // WriteValue: CellFormat = 0
        });
        return table;
    }

    // windows.h turns the member's name into CreateFileW in the generated interface as well.
    STDMETHODIMP CreateFile(BSTR FileName, short* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = shortResult(numberOf([&] { file_.createFile(std::filesystem::path(com::toWString(FileName))); })); });
    }
    STDMETHODIMP CloseFile(short* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = shortResult(numberOf([&] { file_.closeFile(); })); });
    }
    STDMETHODIMP InsertHorizPageBreak(LONG* lRow, short* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = shortResult(numberOf([&] { file_.insertHorizPageBreak(*lRow); })); });
    }
    STDMETHODIMP WriteValue(ValueTypes* ValueType, CellFont* CellFontUsed, CellAlignment* Alignment, CellHiddenLocked* HiddenLocked,
                            LONG* lRow, LONG* lCol, VARIANT* value, LONG* CellFormat, short* result) override {
        if (!result) return E_POINTER;
        return run([&] {
            *result = shortResult(numberOf([&] {
                biff2::rowField(*lRow);
                biff2::columnField(*lCol);
                const long format = CellFormat ? *CellFormat : 0;
                switch (static_cast<long>(*ValueType)) {
                case 0: {
                    com::requireWellFormed(*value);
                    com::Variant i;
                    const HRESULT hr = VariantChangeTypeEx(i.put(), &com::deref(*value), LOCALE_USER_DEFAULT, 0, VT_I2);
                    if (hr == DISP_E_OVERFLOW) raise(err::Overflow);
                    if (FAILED(hr)) raise(err::TypeMismatch);
                    file_.writeInteger(*lRow, *lCol, attributes(CellFontUsed, Alignment, HiddenLocked, format), V_I2(i.get()));
                    break;
                }
                case 1: {
                    const double d = glue::toDouble(*value);
                    file_.writeNumber(*lRow, *lCol, attributes(CellFontUsed, Alignment, HiddenLocked, format), d);
                    break;
                }
                case 2: {
                    const std::wstring text = glue::toText(*value);
                    file_.writeLabel(*lRow, *lCol, attributes(CellFontUsed, Alignment, HiddenLocked, format), text);
                    break;
                }
                default: break;  // other kinds write nothing
                }
            }));
        });
    }
    STDMETHODIMP SetMargin(MarginTypes* Margin, double* MarginValue, short* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = shortResult(numberOf([&] { file_.setMargin(static_cast<long>(*Margin), *MarginValue); })); });
    }
    STDMETHODIMP SetColumnWidth(unsigned char* FirstColumn, unsigned char* LastColumn, short* WidthValue, VARIANT* result) override {
        if (!result) return E_POINTER;
        return run([&] { variantResult(numberOf([&] { file_.setColumnWidth(*FirstColumn, *LastColumn, *WidthValue); }), result); });
    }
    STDMETHODIMP SetFont(BSTR* FontName, short* FontHeight, FontFormatting* FontFormat, short* result) override {
        if (!result) return E_POINTER;
        return run([&] {
            *result = shortResult(numberOf([&] { file_.setFont(textOf(FontName), *FontHeight, static_cast<long>(*FontFormat)); }));
        });
    }
    STDMETHODIMP SetHeader(BSTR* HeaderText, short* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = shortResult(numberOf([&] { file_.setHeader(textOf(HeaderText)); })); });
    }
    STDMETHODIMP SetFooter(BSTR* FooterText, short* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = shortResult(numberOf([&] { file_.setFooter(textOf(FooterText)); })); });
    }
    STDMETHODIMP SetFilePassword(BSTR* PasswordText, short* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = shortResult(numberOf([&] { file_.setFilePassword(textOf(PasswordText)); })); });
    }
    STDMETHODIMP put_PrintGridLines(VARIANT_BOOL rhs) override {
        return run([&] { file_.printGridLines(rhs != VARIANT_FALSE); });
    }
    STDMETHODIMP put_ProtectSpreadsheet(VARIANT_BOOL rhs) override {
        return run([&] { file_.protectSpreadsheet(rhs != VARIANT_FALSE); });
    }
    STDMETHODIMP WriteDefaultFormats(short* result) override {
        if (!result) return E_POINTER;
        return run([&] {
            file_.writeDefaultFormats();
            *result = 0;
        });
    }
    STDMETHODIMP MKI(short* x, BSTR* result) override {
        if (!result) return E_POINTER;
        return run([&] { *result = com::Bstr(ExcelFile::mki(*x)).detach(); });
    }
    STDMETHODIMP SetDefaultRowHeight(short* HeightValue, VARIANT* result) override {
        if (!result) return E_POINTER;
        return run([&] { variantResult(numberOf([&] { file_.setDefaultRowHeight(*HeightValue); }), result); });
    }
    STDMETHODIMP SetRowHeight(LONG* lRow, short* HeightValue, VARIANT* result) override {
        if (!result) return E_POINTER;
        return run([&] { variantResult(numberOf([&] { file_.setRowHeight(*lRow, *HeightValue); }), result); });
    }

private:
    friend class com::RefCounted<ClsExcelFile>;
    ~ClsExcelFile() = default;  // a sheet still open is finished by the writer

    static biff2::CellAttributes attributes(const CellFont* font, const CellAlignment* align, const CellHiddenLocked* hidden, long format) {
        return biff2::cellAttributes(static_cast<long>(*hidden), static_cast<long>(*font), format, static_cast<long>(*align));
    }

    ExcelFile file_;
};

}  // namespace

HRESULT createClsExcelFile(REFIID iid, void** out) { return ClsExcelFile::create(iid, out); }

}  // namespace kelva::sub
