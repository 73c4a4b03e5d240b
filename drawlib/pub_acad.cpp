#include "pub_acad.h"

#include <windows.h>

#include "com/arguments.h"
#include "core/errors.h"
#include "drawlib/pubtext.h"

namespace kelva::pub {

using com::Arg;
using com::Variant;

namespace {

Variant changed(const Variant& v, VARTYPE type) {
    com::requireWellFormed(*v.get());
    Variant out;
    const HRESULT hr = VariantChangeType(out.get(), const_cast<VARIANT*>(&com::deref(*v.get())), 0, type);
    if (FAILED(hr)) throw VbError(hr == DISP_E_OVERFLOW ? err::Overflow : err::TypeMismatch);
    return out;
}

template <class T>
double typedElement(SAFEARRAY* a, LONG index) {
    T value{};
    if (FAILED(SafeArrayGetElement(a, &index, &value))) throw VbError(err::SubscriptOutOfRange);
    return static_cast<double>(value);
}

double elementAt(SAFEARRAY* a, VARTYPE type, LONG index) {
    switch (type) {
    case VT_R8: return typedElement<double>(a, index);
    case VT_R4: return typedElement<float>(a, index);
    case VT_I2: return typedElement<SHORT>(a, index);
    case VT_I4: return typedElement<LONG>(a, index);
    case VT_VARIANT: {
        Variant item;
        if (FAILED(SafeArrayGetElement(a, &index, item.get()))) throw VbError(err::SubscriptOutOfRange);
        return doubleOf(item);
    }
    default: throw VbError(err::TypeMismatch);
    }
}

}  // namespace

double doubleOf(const Variant& v) { return V_R8(changed(v, VT_R8).get()); }
bool boolOf(const Variant& v) { return V_BOOL(changed(v, VT_BOOL).get()) != VARIANT_FALSE; }
std::int32_t longOf(const Variant& v) { return V_I4(changed(v, VT_I4).get()); }

std::vector<double> doublesOf(const Variant& v) {
    com::requireWellFormed(*v.get());
    const VARIANT& d = com::deref(*v.get());
    if (!(V_VT(&d) & VT_ARRAY)) throw VbError(err::TypeMismatch);
    SAFEARRAY* a = (V_VT(&d) & VT_BYREF) ? *V_ARRAYREF(&d) : V_ARRAY(&d);
    if (!a || SafeArrayGetDim(a) != 1) throw VbError(err::TypeMismatch);
    const VARTYPE type = static_cast<VARTYPE>(V_VT(&d) & VT_TYPEMASK);
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(a, 1, &lo);
    SafeArrayGetUBound(a, 1, &hi);
    std::vector<double> out;
    if (hi < lo) return out;
    out.reserve(static_cast<size_t>(hi - lo + 1));
    if (type == VT_R8) {  // the usual case: read the block directly
        double* data = nullptr;
        if (FAILED(SafeArrayAccessData(a, reinterpret_cast<void**>(&data)))) throw VbError(err::TypeMismatch);
        out.assign(data, data + (hi - lo + 1));
        SafeArrayUnaccessData(a);
        return out;
    }
    for (LONG i = lo; i <= hi; ++i) out.push_back(elementAt(a, type, i));
    return out;
}

std::wstring automationTypeName(IDispatch* object) {
    if (!object) throw VbError(err::ObjectNotSet);
    com::ComPtr<ITypeInfo> info;
    if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put())) || !info)
        throw VbError(err::TypeMismatch);
    com::Bstr name;
    if (FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr)))
        throw VbError(err::TypeMismatch);
    return name.str();
}

// ----- pick host

AcadPickHost::AcadPickHost(IDispatch* document, std::function<void(const Variant&)> keepPoint)
    : document_(document), keepPoint_(std::move(keepPoint)) {}

void AcadPickHost::clearErrno() {
    com::call(document_.get(), L"SetVariable", {Variant::fromString(L"errno"), Variant::fromInt16(0)});
}

void AcadPickHost::pick(PickCall call, const std::wstring& prompt) {
    entity_.reset();
    point_ = Variant();
    const com::ComPtr<IDispatch> utility = com::getObject(document_.get(), L"Utility");
    Variant entity;
    if (call == PickCall::Entity) {
        com::call(utility.get(), L"GetEntity", {Arg::out(entity), Arg::out(point_), Variant::fromString(prompt)});
    } else {
        Variant matrix, context;
        com::call(utility.get(), L"GetSubEntity",
                  {Arg::out(entity), Arg::out(point_), Arg::out(matrix), Arg::out(context), Variant::fromString(prompt)});
    }
    entity_ = com::asObject(entity);
}

std::int32_t AcadPickHost::readErrno() {
    return longOf(com::call(document_.get(), L"GetVariable", {Variant::fromString(L"errno")}));
}

std::wstring AcadPickHost::typeName(TypeTest test) {
    if (test == TypeTest::AutomationName) return automationTypeName(entity_.get());
    return com::asString(com::get(entity_.get(), L"ObjectName"));
}

void AcadPickHost::writePrompt(const std::wstring& text) {
    com::call(com::getObject(document_.get(), L"Utility").get(), L"Prompt", {Variant::fromString(text)});
}

void AcadPickHost::keepPickPoint() {
    if (keepPoint_) keepPoint_(point_);
}

// ----- layer

std::wstring AcadLayer::name() { return com::asString(com::get(layer_.get(), L"Name")); }
bool AcadLayer::freeze() { return boolOf(com::get(layer_.get(), L"Freeze")); }
bool AcadLayer::layerOn() { return boolOf(com::get(layer_.get(), L"LayerOn")); }
bool AcadLayer::lock() { return boolOf(com::get(layer_.get(), L"Lock")); }
void AcadLayer::setFreeze(bool value) { com::put(layer_.get(), L"Freeze", Variant::fromBool(value)); }
void AcadLayer::setLayerOn(bool value) { com::put(layer_.get(), L"LayerOn", Variant::fromBool(value)); }

// ----- entity and selection

Variant AcadEntity::read(Prop p) { return com::get(entity_.get(), propName(p)); }
std::wstring AcadEntity::text(Prop p) { return com::asString(read(p)); }
double AcadEntity::number(Prop p) { return doubleOf(read(p)); }
bool AcadEntity::flag(Prop p) { return boolOf(read(p)); }
std::vector<double> AcadEntity::numbers(Prop p) { return doublesOf(read(p)); }

std::vector<double> AcadEntity::coordinate(int index) {
    return doublesOf(com::get(entity_.get(), L"Coordinate", {Variant::fromInt32(index)}));
}

std::pair<std::vector<double>, std::vector<double>> AcadEntity::boundingBox() {
    Variant lo, hi;
    com::call(entity_.get(), L"GetBoundingBox", {Arg::out(lo), Arg::out(hi)});
    return {doublesOf(lo), doublesOf(hi)};
}

std::vector<AttributeText> AcadEntity::attributes() {
    const Variant list = com::call(entity_.get(), L"GetAttributes");
    com::requireWellFormed(*list.get());
    const VARIANT& d = com::deref(*list.get());
    std::vector<AttributeText> out;
    if (V_VT(&d) == VT_EMPTY) return out;
    if (!(V_VT(&d) & VT_ARRAY) || !V_ARRAY(&d)) throw VbError(err::TypeMismatch);
    SAFEARRAY* a = V_ARRAY(&d);
    const VARTYPE type = static_cast<VARTYPE>(V_VT(&d) & VT_TYPEMASK);
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(a, 1, &lo);
    SafeArrayGetUBound(a, 1, &hi);
    for (LONG i = lo; i <= hi; ++i) {
        com::ComPtr<IDispatch> attribute;
        if (type == VT_VARIANT) {
            Variant item;
            if (FAILED(SafeArrayGetElement(a, &i, item.get()))) throw VbError(err::SubscriptOutOfRange);
            attribute = com::asObject(item);
        } else if (type == VT_DISPATCH || type == VT_UNKNOWN) {
            IUnknown* raw = nullptr;
            if (FAILED(SafeArrayGetElement(a, &i, &raw)) || !raw) throw VbError(err::ObjectNotSet);
            com::ComPtr<IUnknown> owned = com::ComPtr<IUnknown>::attach(raw);
            if (FAILED(raw->QueryInterface(IID_IDispatch, attribute.putVoid()))) throw VbError(err::TypeMismatch);
        } else {
            throw VbError(err::TypeMismatch);
        }
        out.push_back({com::asString(com::get(attribute.get(), L"TagString")),
                       com::asString(com::get(attribute.get(), L"TextString"))});
    }
    return out;
}

void AcadEntity::erase() { com::call(entity_.get(), L"Delete"); }
void AcadEntity::moveToLayer(const std::wstring& layer) {
    com::put(entity_.get(), L"Layer", Variant::fromString(layer));
}

std::int32_t AcadSelection::count() { return longOf(com::get(selection_.get(), L"Count")); }

std::unique_ptr<SelectedEntity> AcadSelection::item(std::int32_t index) {
    return std::make_unique<AcadEntity>(com::getObject(selection_.get(), L"Item", {Variant::fromInt32(index)}));
}

// ----- members

com::ComPtr<IDispatch> pickEntity(IDispatch* drawing, const PickerSpec& spec,
                                  const std::function<void(const Variant&)>& keepPoint) {
    AcadPickHost host(drawing, keepPoint);
    if (runPicker(spec, host) == PickOutcome::Entity) return host.entity();
    return {};
}

bool checkLayer(IDispatch* drawing, std::wstring_view layerName) {
    const com::ComPtr<IDispatch> layers = com::getObject(drawing, L"Layers");
    const std::int32_t count = longOf(com::get(layers.get(), L"Count"));
    for (std::int32_t i = 0; i < count; ++i) {
        const com::ComPtr<IDispatch> layer = com::getObject(layers.get(), L"Item", {Variant::fromInt32(i)});
        if (equalsIgnoringCase(com::asString(com::get(layer.get(), L"Name")), layerName)) return true;
    }
    return false;
}

std::wstring layerState(IDispatch* layer, bool bFirst) {
    if (!layer) throw VbError(err::ObjectNotSet);
    AcadLayer view{com::ComPtr<IDispatch>(layer)};
    return layerStateText(view, bFirst);
}

bool askAboutLayer(IDispatch* drawing, std::wstring_view sLayer, RetryQuestion& question) {
    const com::ComPtr<IDispatch> layers = com::getObject(drawing, L"Layers");
    AcadLayer view{com::getObject(layers.get(), L"Item", {Variant::fromString(sLayer)})};
    return layerMessage(view, sLayer, question);
}

com::ComPtr<IDispatch> createSelectionSet(IDispatch* drawing, std::wstring_view name) {
    try {
        const com::ComPtr<IDispatch> sets = com::getObject(drawing, L"SelectionSets");
        try {
            const com::ComPtr<IDispatch> old = com::getObject(sets.get(), L"Item", {Variant::fromString(name)});
            com::call(old.get(), L"Delete");
        } catch (const std::exception&) {
            // no set of that name yet
        }
        return com::getObject(sets.get(), L"Add", {Variant::fromString(name)});
    } catch (const std::exception&) {
        return {};
    }
}

std::int16_t lastVertexIndex(IDispatch* polyline) {
    const std::wstring name = com::asString(com::get(polyline, L"ObjectName"));
    if (!coordCountNeedsCoordinates(name)) return 0;
    const Variant coordinates = com::get(polyline, L"Coordinates");
    com::requireWellFormed(*coordinates.get());
    const VARIANT& d = com::deref(*coordinates.get());
    if (!(V_VT(&d) & VT_ARRAY)) throw VbError(err::TypeMismatch);
    SAFEARRAY* a = (V_VT(&d) & VT_BYREF) ? *V_ARRAYREF(&d) : V_ARRAY(&d);
    LONG upper = -1;
    if (!a || FAILED(SafeArrayGetUBound(a, 1, &upper))) throw VbError(err::TypeMismatch);
    return coordCount(name, upper);
}

std::wstring lispEntity(IDispatch* object) {
    return lispEntityExpression(com::asString(com::get(object, L"Handle")));
}

bool MessageBoxQuestion::askRetry(const std::wstring& text) {
    const int answer = MessageBoxW(GetActiveWindow(), text.c_str(), caption_.c_str(), MB_RETRYCANCEL | MB_ICONINFORMATION);
    return answer == IDRETRY;
}

std::int32_t deleteDuplicateEntities(IDispatch* selection, const DedupeRequest& request,
                                     const std::function<void()>& yieldToInput) {
    if (!selection) return 0;
    AcadSelection view{com::ComPtr<IDispatch>(selection)};
    return deleteDuplicates(view, request, yieldToInput);
}

}  // namespace kelva::pub
