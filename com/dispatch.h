#pragma once
// The late-bound face of a dual interface, driven by the type library.
//
// Each member has one implementation: its vtable entry, with the exact signature of the type library, so an
// early-bound caller and a late-bound one reach the same code. Invoke reads the member's FUNCDESC, brings
// every argument to the declared type itself (by value, VT_BYREF|type, VT_BYREF|VT_VARIANT, a Variant
// array where a typed array is declared, a left-out optional), calls the vtable entry through
// DispCallFunc on temporaries, and afterwards writes back only the by-reference parameters the member's
// rule marks: a by-reference parameter the member leaves alone is never copied back, because copying an
// unchanged value back would still change the type of the caller's variable.
//
// Defaults of optional parameters are given in code too, in the member's rule: the type library carries
// them for early-bound callers, but stores its texts in an ANSI code page, which a system with another
// one reads wrongly. A left-out optional gets, in this order, the rule's default, the type library's
// default, VT_ERROR/DISP_E_PARAMNOTFOUND for a Variant, else the zero value of its type.
#include <oaidl.h>

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "com_ptr.h"
#include "values.h"

namespace kelva::com {

// A default value for a left-out optional parameter (0-based parameter position).
struct ParamDefault {
    int param;
    std::variant<bool, short, long, double, std::wstring> value;
};

// What the type library cannot say about a member: which by-reference parameters it writes back and the
// defaults of its optional parameters. Members without a rule write nothing back.
struct MemberRule {
    std::wstring member;           // the member's name; a name the interface lacks disables the whole table

    std::vector<int> writtenBack;  // 0-based parameter positions
    std::vector<ParamDefault> defaults;
};

class TypeDispatch {
public:
    // `info` is the type information of the dual interface (TKIND_DISPATCH or TKIND_INTERFACE). `source`
    // is the source of the errors the dispatch itself raises (argument faults, a member in the wrong
    // form), as the object's own errors name it.
    TypeDispatch(ComPtr<ITypeInfo> info, std::vector<MemberRule> rules, std::wstring source = {});
    ~TypeDispatch();
    TypeDispatch(const TypeDispatch&) = delete;
    TypeDispatch& operator=(const TypeDispatch&) = delete;

    HRESULT getTypeInfo(UINT index, ITypeInfo** out) const noexcept;
    HRESULT getIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const noexcept;
    // `self` is the object's pointer of the interface this type information describes.
    HRESULT invoke(void* self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                   UINT* argErr) const noexcept;

    ITypeInfo* interfaceInfo() const noexcept { return info_.get(); }
    const IID& iid() const noexcept { return iid_; }

private:
    struct Member;
    const Member* find(DISPID id, INVOKEKIND kind) const;

    ComPtr<ITypeInfo> info_;  // the vtable (TKIND_INTERFACE) description; null when the table is unusable
    IID iid_{};
    std::wstring source_;
    std::vector<Member> members_;
};

// Basic's assignment to the variable behind a by-reference Variant argument, as an early-bound caller
// passes one: through VT_BYREF|VT_VARIANT the Variant it names takes the value as it is; through
// VT_BYREF|type the caller's typed variable takes it converted to its type (error 13 type mismatch, or 6
// overflow, when it cannot hold it); otherwise the argument itself takes it. A fixed or locked array the
// variable holds stays the caller's: it takes the elements of an array of its own shape, else error 10.
void assignVariable(VARIANT& variable, const VARIANT& value, LCID lcid = LOCALE_USER_DEFAULT);
// The value as assignVariable would store it into `variable` (converted to a typed variable's type, else
// a copy with its references followed); raises what the assignment would raise, and changes nothing.
Variant valueForVariable(const VARIANT& variable, const VARIANT& value, LCID lcid = LOCALE_USER_DEFAULT);

// Loads the type library embedded as TYPELIB resource 1 of `module` (the DLL or program holding it).
ComPtr<ITypeLib> loadModuleTypeLib(HMODULE module);
// The type information of a dual interface described in `lib`.
ComPtr<ITypeInfo> interfaceTypeInfo(ITypeLib* lib, REFIID iid);

}  // namespace kelva::com
