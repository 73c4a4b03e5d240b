// clsPub: the vtable implementation of _clsPub, the drawing-access class. Every AutoCAD access goes
// late-bound by member name through the document the caller handed to ThisDrawing. Members of later
// work answer error 445 through pending() until they land; replace one member at a time.
#include "com_common.h"
#include "kelvasub/class_support.h"
#include "pub_logic.h"

namespace kelva::sub {
namespace {

using com::Arg;
using com::Variant;

class ClsPub final : public com::DualObject<ClsPub, _clsPub> {
public:
    // By-reference parameters the members write back (none), and the defaults of optional parameters,
    // which the type library cannot hold faithfully.
    static const com::TypeDispatch& typeDispatch() {
        static const com::TypeDispatch table(interfaceInfo(IID__clsPub), {
            {L"GetPnt", {}, {{1, std::wstring(drawlib::kDefaultPointPrompt)}}},
            {L"GetEntityEx", {}, {{1, std::wstring(L"\r\n객체 선택: ")}}},
            {L"GetEntityName", {}, {{1, std::wstring(L"\r\n객체 선택: ")}}},
            {L"GetObj", {}, {{0, std::wstring(L"\r\n객체 선택: ")}}},
            {L"GetArc", {}, {{0, std::wstring(L"\r\n호 선택: ")}}},
            {L"GetCurve", {}, {{0, std::wstring(L"\r\n객체 선택: ")}}},
            {L"GetPLine", {}, {{0, std::wstring(L"\r\n폴리선 선택: ")}}},
            {L"GetText", {}, {{0, std::wstring(L"\r\n문자 선택: ")}}},
            {L"GetLine", {}, {{0, std::wstring(L"\r\n선 선택: ")}}},
            {L"GetCircle", {}, {{0, std::wstring(L"\r\n원 선택: ")}}},
            {L"GetSubObj", {}, {{0, std::wstring(L"\r\n객체 선택: ")}}},
            {L"CreateSelSet", {}, {{0, std::wstring(L"SelSet")}}},
        });
        return table;
    }

    STDMETHODIMP putref_ThisDrawing(IDispatch *rhs) override;
    STDMETHODIMP get_ThisDrawing(IDispatch **result) override;
    STDMETHODIMP CmdPrompt(BSTR *sPrompt, VARIANT *result) override;
    STDMETHODIMP XXX(VARIANT_BOOL *result) override;
    STDMETHODIMP GetVersion(BSTR *result) override;
    STDMETHODIMP CheckESC(VARIANT_BOOL *result) override;
    STDMETHODIMP GetPnt(VARIANT *vBase, BSTR *sPrmpt, VARIANT *result) override;
    STDMETHODIMP GetPickPoint(VARIANT *result) override;

    // Members still to come.
    STDMETHODIMP DeleteDupEntity(IDispatch **oSel, BSTR *sObj, VARIANT_BOOL *bLayer, VARIANT_BOOL *bZ, short *iDec, BSTR *sLayer, LONG *result) override { return pending(IID__clsPub, L"clsPub.DeleteDupEntity"); }
    STDMETHODIMP CheckLayer(BSTR *sLayerName, VARIANT_BOOL *result) override { return pending(IID__clsPub, L"clsPub.CheckLayer"); }
    STDMETHODIMP GetLayerState(IDispatch **oLayer, VARIANT_BOOL *bFirst, BSTR *result) override { return pending(IID__clsPub, L"clsPub.GetLayerState"); }
    STDMETHODIMP LayerMessage(BSTR *sLayer, VARIANT_BOOL *result) override { return pending(IID__clsPub, L"clsPub.LayerMessage"); }
    STDMETHODIMP GetEntityEx(BSTR *sType, BSTR *sPrmpt, BSTR *strErr, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetEntityEx"); }
    STDMETHODIMP GetEntityName(BSTR *sObjName, BSTR *sPrmpt, BSTR *sError, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetEntityName"); }
    STDMETHODIMP GetObj(BSTR *sPrmpt, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetObj"); }
    STDMETHODIMP GetArc(BSTR *sPrmpt, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetArc"); }
    STDMETHODIMP GetCurve(BSTR *sPrmpt, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetCurve"); }
    STDMETHODIMP GetPLine(BSTR *sPrmpt, VARIANT_BOOL *bIncludeArc, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetPLine"); }
    STDMETHODIMP GetText(BSTR *sPrmpt, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetText"); }
    STDMETHODIMP GetLine(BSTR *sPrmpt, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetLine"); }
    STDMETHODIMP GetCircle(BSTR *sPrmpt, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetCircle"); }
    STDMETHODIMP GetSubObj(BSTR *sPrmpt, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.GetSubObj"); }
    STDMETHODIMP GetCoordCount(IDispatch **oPoly, short *result) override { return pending(IID__clsPub, L"clsPub.GetCoordCount"); }
    STDMETHODIMP CreateSelSet(BSTR *sSelSetName, IDispatch **result) override { return pending(IID__clsPub, L"clsPub.CreateSelSet"); }
    STDMETHODIMP GetRadiusFromBulge(double *dBulge, VARIANT *vSpnt, VARIANT *vEpnt, VARIANT *result) override { return pending(IID__clsPub, L"clsPub.GetRadiusFromBulge"); }
    STDMETHODIMP LspEnt(IDispatch **obj, BSTR *result) override { return pending(IID__clsPub, L"clsPub.LspEnt"); }

private:
    friend class com::RefCounted<ClsPub>;
    ~ClsPub() = default;  // releases the document and the toolbox

    // The toolbox, created on first use and kept for the object's life.
    com::ComPtr<_clsFunc> toolbox() {
        if (!toolbox_) {
            const HRESULT hr = createClsFunc(IID__clsFunc, toolbox_.putVoid());
            if (FAILED(hr)) throw com::errorFromCall(hr, nullptr);
        }
        return toolbox_;
    }

    com::ComPtr<IDispatch> drawing_;
    com::ComPtr<_clsFunc> toolbox_;
};

STDMETHODIMP ClsPub::putref_ThisDrawing(IDispatch* rhs) {
    return run([&] { drawing_ = com::ComPtr<IDispatch>(rhs); });
}

STDMETHODIMP ClsPub::get_ThisDrawing(IDispatch** result) {
    if (!result) return E_POINTER;
    *result = drawing_.copyOut();
    return S_OK;
}

STDMETHODIMP ClsPub::CmdPrompt(BSTR* sPrompt, VARIANT* result) {
    if (!result) return E_POINTER;
    return run([&] {
        auto utility = com::getObject(drawing_.get(), L"Utility");
        com::call(utility.get(), L"Prompt", {Variant::fromString(drawlib::onNewLine(textOf(sPrompt)))});
        VariantInit(result);
    });
}

STDMETHODIMP ClsPub::XXX(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_TRUE;
    return S_OK;
}

STDMETHODIMP ClsPub::GetVersion(BSTR* result) {
    if (!result) return E_POINTER;
    return run([&] {
        auto application = com::getObject(drawing_.get(), L"Application");
        const std::wstring version = com::asString(com::get(application.get(), L"Version"));
        *result = com::Bstr(drawlib::majorVersion(version)).detach();
    });
}

STDMETHODIMP ClsPub::CheckESC(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    return run([&] {
        const Variant last = com::call(drawing_.get(), L"GetVariable", {Variant::fromString(L"LastPrompt")});
        *result = drawlib::endsWithCancelMark(com::asString(last)) ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

STDMETHODIMP ClsPub::GetPnt(VARIANT* vBase, BSTR* sPrmpt, VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    // Continue style: no drawing, a cancelled input or any other failure gives Empty and no error.
    try {
        auto utility = com::getObject(drawing_.get(), L"Utility");
        const bool noBase = !vBase || com::isMissing(*vBase);
        Variant point = com::call(utility.get(), L"GetPoint",
                                  {noBase ? Arg::omitted() : Arg(Variant(*vBase)),
                                   Variant::fromString(drawlib::onNewLine(textOf(sPrmpt)))});
        point.detachTo(result);
    } catch (...) {
        VariantInit(result);
    }
    SetErrorInfo(0, nullptr);
    return S_OK;
}

STDMETHODIMP ClsPub::GetPickPoint(VARIANT* result) {
    if (!result) return E_POINTER;
    return run([&] {
        VariantInit(result);
        common::lastPickPoint().detachTo(result);
    });
}

}  // namespace

HRESULT createClsPub(REFIID iid, void** out) { return ClsPub::create(iid, out); }

}  // namespace kelva::sub
