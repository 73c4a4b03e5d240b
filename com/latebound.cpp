#include "latebound.h"

#include "errors.h"

namespace kelva::com {

void Arg::fill(VARIANT& slot) {
    if (out_) {
        V_VT(&slot) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&slot) = out_->get();
    } else {
        VariantInit(&slot);
        if (FAILED(VariantCopy(&slot, value_.get()))) throw VbError(kelva::err::OutOfMemory);
    }
}

namespace {
DISPID idOf(IDispatch* object, std::wstring_view name) {
    std::wstring text(name);
    LPOLESTR names[] = {text.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND)
            throw VbError(err::NotSupported, L"Object doesn't support this property or method");
        throw errorFromCall(hr, nullptr);
    }
    return id;
}

struct ArgList {
    std::vector<VARIANT> slots;
    ~ArgList() {
        for (auto& v : slots)
            if (V_VT(&v) != (VT_BYREF | VT_VARIANT)) VariantClear(&v);
    }
};
}  // namespace

Variant invokeByName(IDispatch* object, std::wstring_view name, WORD flags, std::vector<Arg> args) {
    if (!object) throw VbError(kelva::err::ObjectNotSet);
    const DISPID id = idOf(object, name);
    while (!args.empty() && args.back().isOmitted()) args.pop_back();  // trailing optionals really left out
    ArgList list;
    list.slots.resize(args.size());
    for (auto& v : list.slots) VariantInit(&v);
    for (size_t i = 0; i < args.size(); ++i) args[i].fill(list.slots[args.size() - 1 - i]);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{list.slots.data(), nullptr, static_cast<UINT>(list.slots.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO excep{};
    UINT argErr = 0;
    const bool wantsResult = !(flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF));
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      wantsResult ? result.get() : nullptr, &excep, &argErr);
    if (FAILED(hr)) throw errorFromCall(hr, &excep);
    return result;
}

void put(IDispatch* object, std::wstring_view name, Variant value) {
    const WORD flags = value.vt() == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    std::vector<Arg> args;
    args.emplace_back(std::move(value));
    invokeByName(object, name, flags, std::move(args));
}

ComPtr<IDispatch> asObject(const Variant& v) {
    const VARIANT& d = deref(*v.get());
    if (V_VT(&d) == VT_DISPATCH) {
        if (!V_DISPATCH(&d)) throw VbError(kelva::err::ObjectNotSet);
        return ComPtr<IDispatch>(V_DISPATCH(&d));
    }
    if (V_VT(&d) == VT_UNKNOWN && V_UNKNOWN(&d)) {
        ComPtr<IDispatch> out;
        if (SUCCEEDED(V_UNKNOWN(&d)->QueryInterface(IID_IDispatch, out.putVoid()))) return out;
    }
    if (V_VT(&d) == VT_EMPTY || (V_VT(&d) == VT_UNKNOWN && !V_UNKNOWN(&d))) throw VbError(kelva::err::ObjectNotSet);
    throw VbError(kelva::err::TypeMismatch);
}

ComPtr<IDispatch> getObject(IDispatch* object, std::wstring_view name, std::vector<Arg> args) {
    return asObject(get(object, name, std::move(args)));
}

std::wstring asString(const Variant& v) {
    Variant text;
    const HRESULT hr =
        VariantChangeTypeEx(text.get(), const_cast<VARIANT*>(v.get()), LOCALE_USER_DEFAULT, 0, VT_BSTR);
    if (FAILED(hr)) throw VbError(hr == DISP_E_OVERFLOW ? kelva::err::Overflow : kelva::err::TypeMismatch);
    return toWString(V_BSTR(text.get()));
}

ComPtr<IDispatch> runningObject(const wchar_t* progId) {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(progId, &clsid))) return {};
    ComPtr<IUnknown> unknown;
    if (FAILED(GetActiveObject(clsid, nullptr, unknown.put())) || !unknown) return {};
    return unknown.query<IDispatch>();
}

}  // namespace kelva::com
