#pragma once
// Calls into another automation object by member name (how the suite talks to AutoCAD). A failed call
// throws VbError with the number errorFromCall gives; calling on Nothing throws error 91.
#include <oaidl.h>

#include <string_view>
#include <vector>

#include "com_ptr.h"
#include "values.h"

namespace kelva::com {

// One argument, in the order the member declares them.
class Arg {
public:
    Arg(Variant value) : value_(std::move(value)) {}  // NOLINT: by value, implicitly
    // A left-out optional: dropped when it trails, else sent as VT_ERROR / DISP_E_PARAMNOTFOUND.
    static Arg omitted() { return Arg(); }
    // A by-reference argument the callee fills (VT_BYREF | VT_VARIANT to `target`).
    static Arg out(Variant& target) { Arg a; a.out_ = &target; return a; }

    bool isOmitted() const { return !out_ && value_.vt() == VT_ERROR && isMissing(*value_.get()); }
    void fill(VARIANT& slot);

private:
    Arg() : value_(Variant::missing()) {}
    Variant value_;
    Variant* out_ = nullptr;
};

// Invokes `name` on `object` with `flags` (DISPATCH_METHOD, DISPATCH_PROPERTYGET, ...).
Variant invokeByName(IDispatch* object, std::wstring_view name, WORD flags, std::vector<Arg> args = {});

// A method call or property read (what a Basic caller's `obj.Name(args)` sends).
inline Variant call(IDispatch* object, std::wstring_view name, std::vector<Arg> args = {}) {
    return invokeByName(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args));
}
inline Variant get(IDispatch* object, std::wstring_view name, std::vector<Arg> args = {}) {
    return invokeByName(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args));
}
void put(IDispatch* object, std::wstring_view name, Variant value);

// A property or call result that must be an object; Nothing or a non-object fails with error 91 / 13.
ComPtr<IDispatch> getObject(IDispatch* object, std::wstring_view name, std::vector<Arg> args = {});
ComPtr<IDispatch> asObject(const Variant& v);
// The object a running program registered under `progId` in the Running Object Table, as IDispatch;
// null when the ProgID is unknown or nothing runs under it. Never starts anything.
ComPtr<IDispatch> runningObject(const wchar_t* progId);
std::wstring asString(const Variant& v);

}  // namespace kelva::com
