// clsPub: the vtable implementation of _clsPub, the drawing-access class. Every AutoCAD access goes
// late-bound by member name through the document the caller handed to ThisDrawing.
#include "com_common.h"
#include "kelvasub/class_support.h"
#include "pub_logic.h"
#include "com/arguments.h"
#include "drawlib/pub_acad.h"

namespace kelva::sub {
namespace {

using com::Arg;
using com::Variant;

class ClsPub final : public com::DualObject<ClsPub, _clsPub> {
public:
    // By-reference parameters the members write back (none), and the defaults of optional parameters
    // (the type library states them too, in its ANSI texts).
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

    STDMETHODIMP DeleteDupEntity(IDispatch **oSel, BSTR *sObj, VARIANT_BOOL *bLayer, VARIANT_BOOL *bZ, short *iDec, BSTR *sLayer, LONG *result) override;
    STDMETHODIMP CheckLayer(BSTR *sLayerName, VARIANT_BOOL *result) override;
    STDMETHODIMP GetLayerState(IDispatch **oLayer, VARIANT_BOOL *bFirst, BSTR *result) override;
    STDMETHODIMP LayerMessage(BSTR *sLayer, VARIANT_BOOL *result) override;
    STDMETHODIMP GetEntityEx(BSTR *sType, BSTR *sPrmpt, BSTR *strErr, IDispatch **result) override;
    STDMETHODIMP GetEntityName(BSTR *sObjName, BSTR *sPrmpt, BSTR *sError, IDispatch **result) override;
    STDMETHODIMP GetObj(BSTR *sPrmpt, IDispatch **result) override;
    STDMETHODIMP GetArc(BSTR *sPrmpt, IDispatch **result) override;
    STDMETHODIMP GetCurve(BSTR *sPrmpt, IDispatch **result) override;
    STDMETHODIMP GetPLine(BSTR *sPrmpt, VARIANT_BOOL *bIncludeArc, IDispatch **result) override;
    STDMETHODIMP GetText(BSTR *sPrmpt, IDispatch **result) override;
    STDMETHODIMP GetLine(BSTR *sPrmpt, IDispatch **result) override;
    STDMETHODIMP GetCircle(BSTR *sPrmpt, IDispatch **result) override;
    STDMETHODIMP GetSubObj(BSTR *sPrmpt, IDispatch **result) override;
    STDMETHODIMP GetCoordCount(IDispatch **oPoly, short *result) override;
    STDMETHODIMP CreateSelSet(BSTR *sSelSetName, IDispatch **result) override;
    STDMETHODIMP GetRadiusFromBulge(double *dBulge, VARIANT *vSpnt, VARIANT *vEpnt, VARIANT *result) override;
    STDMETHODIMP LspEnt(IDispatch **obj, BSTR *result) override;

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

    // The shared loop of the ten pickers: the entity, or Nothing; the cancel error otherwise.
    HRESULT pick(const pub::PickerSpec& spec, IDispatch** result) {
        if (!result) return E_POINTER;
        *result = nullptr;
        return run([&] {
            *result = pub::pickEntity(drawing_.get(), spec, [](const Variant& point) {
                          common::setLastPickPoint(*point.get());
                      }).detach();
        });
    }

    com::ComPtr<IDispatch> drawing_;
    com::ComPtr<_clsFunc> toolbox_;
};

bool isTrue(const VARIANT_BOOL* b) { return b && *b != VARIANT_FALSE; }
IDispatch* objectOf(IDispatch* const* p) { return p ? *p : nullptr; }
// The caption of the library's own message box.
constexpr const wchar_t* kLibraryTitle = L"KelvaSub";

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
        if (vBase) com::requireWellFormed(*vBase);
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

// ----- pickers

STDMETHODIMP ClsPub::GetEntityEx(BSTR* sType, BSTR* sPrmpt, BSTR* strErr, IDispatch** result) {
    return pick(pub::entityExPicker(textOf(sType), textOf(sPrmpt), textOf(strErr)), result);
}

STDMETHODIMP ClsPub::GetEntityName(BSTR* sObjName, BSTR* sPrmpt, BSTR* sError, IDispatch** result) {
    return pick(pub::entityNamePicker(textOf(sObjName), textOf(sPrmpt), textOf(sError)), result);
}

STDMETHODIMP ClsPub::GetObj(BSTR* sPrmpt, IDispatch** result) { return pick(pub::objPicker(textOf(sPrmpt)), result); }
STDMETHODIMP ClsPub::GetArc(BSTR* sPrmpt, IDispatch** result) { return pick(pub::arcPicker(textOf(sPrmpt)), result); }
STDMETHODIMP ClsPub::GetCurve(BSTR* sPrmpt, IDispatch** result) { return pick(pub::curvePicker(textOf(sPrmpt)), result); }

STDMETHODIMP ClsPub::GetPLine(BSTR* sPrmpt, VARIANT_BOOL* bIncludeArc, IDispatch** result) {
    return pick(pub::plinePicker(textOf(sPrmpt), isTrue(bIncludeArc)), result);
}

STDMETHODIMP ClsPub::GetText(BSTR* sPrmpt, IDispatch** result) { return pick(pub::textPicker(textOf(sPrmpt)), result); }
STDMETHODIMP ClsPub::GetLine(BSTR* sPrmpt, IDispatch** result) { return pick(pub::linePicker(textOf(sPrmpt)), result); }
STDMETHODIMP ClsPub::GetCircle(BSTR* sPrmpt, IDispatch** result) { return pick(pub::circlePicker(textOf(sPrmpt)), result); }
STDMETHODIMP ClsPub::GetSubObj(BSTR* sPrmpt, IDispatch** result) { return pick(pub::subObjPicker(textOf(sPrmpt)), result); }

// ----- layers and selection sets

STDMETHODIMP ClsPub::CheckLayer(BSTR* sLayerName, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    return run([&] { *result = pub::checkLayer(drawing_.get(), textOf(sLayerName)) ? VARIANT_TRUE : VARIANT_FALSE; });
}

STDMETHODIMP ClsPub::GetLayerState(IDispatch** oLayer, VARIANT_BOOL* bFirst, BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    return run([&] { *result = com::Bstr(pub::layerState(objectOf(oLayer), isTrue(bFirst))).detach(); });
}

STDMETHODIMP ClsPub::LayerMessage(BSTR* sLayer, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    return run([&] {
        pub::MessageBoxQuestion box(kLibraryTitle);
        *result = pub::askAboutLayer(drawing_.get(), textOf(sLayer), box) ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

STDMETHODIMP ClsPub::CreateSelSet(BSTR* sSelSetName, IDispatch** result) {
    if (!result) return E_POINTER;
    // Continue style: a refused Add gives Nothing and no error.
    *result = pub::createSelectionSet(drawing_.get(), textOf(sSelSetName)).detach();
    SetErrorInfo(0, nullptr);
    return S_OK;
}

STDMETHODIMP ClsPub::GetCoordCount(IDispatch** oPoly, short* result) {
    if (!result) return E_POINTER;
    return run([&] { *result = pub::lastVertexIndex(objectOf(oPoly)); });
}

STDMETHODIMP ClsPub::GetRadiusFromBulge(double* dBulge, VARIANT* vSpnt, VARIANT* vEpnt, VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    return run([&] {
        if (!dBulge || !vSpnt || !vEpnt) throw VbError(err::InvalidCall);
        com::requireWellFormed(*vSpnt);
        com::requireWellFormed(*vEpnt);
        // The chord as the toolbox measures it (in space when both points carry a Z).
        double chord = 0;
        const HRESULT hr = toolbox()->Length(com::deref(*vSpnt), com::deref(*vEpnt), &chord);
        if (FAILED(hr)) throw com::errorFromCall(hr, nullptr);
        Variant radius = Variant::fromDouble(pub::radiusFromBulge(*dBulge, chord));
        radius.detachTo(result);
    });
}

STDMETHODIMP ClsPub::LspEnt(IDispatch** obj, BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    return run([&] { *result = com::Bstr(pub::lispEntity(objectOf(obj))).detach(); });
}

// ----- duplicate removal

STDMETHODIMP ClsPub::DeleteDupEntity(IDispatch** oSel, BSTR* sObj, VARIANT_BOOL* bLayer, VARIANT_BOOL* bZ, short* iDec,
                                     BSTR* sLayer, LONG* result) {
    if (!result) return E_POINTER;
    *result = 0;
    // Continue style: the count reached, never an error.
    try {
        const pub::DedupeRequest request{textOf(sObj), isTrue(bLayer), isTrue(bZ), iDec ? *iDec : 0, textOf(sLayer)};
        *result = pub::deleteDuplicateEntities(objectOf(oSel), request, [] { common::yieldToInput(); });
    } catch (...) {
    }
    SetErrorInfo(0, nullptr);
    return S_OK;
}

}  // namespace

HRESULT createClsPub(REFIID iid, void** out) { return ClsPub::create(iid, out); }

}  // namespace kelva::sub
