#pragma once
// What every class file of KelvaSub shares: the generated interfaces, the library's type information, the
// per-class create functions, and the answer of a member whose implementation has not landed yet.
//
// A class file (drawlib/com_clsX.cpp, englib/com_clsX.cpp) holds one class deriving from
// com::DualObject<ClsX, _clsX>. Each member is its vtable entry with the widl header's signature
// (build/<arch>/kelvasub/gen/KelvaSub.h); Invoke reaches the same entry for late-bound callers. A member body
//   STDMETHODIMP ClsX::Member(BSTR* text, double* result) {
//       if (!result) return E_POINTER;
//       return run([&] { ...; throw VbError(5); ...; *result = value; });
//   }
// raises errors by throwing kelva::VbError (number, description, source). A ByRef parameter the member
// changes for its caller must be listed in the class's typeDispatch() rules (written-back positions, 0-based);
// defaults of optional parameters are given there too. Late-bound callers' arguments arrive already in
// the declared type (a script's Variant array as a typed SAFEARRAY, a left-out Variant as VT_ERROR /
// DISP_E_PARAMNOTFOUND: test it with com::isMissing).
#include <windows.h>

#include <string>

#include "KelvaSub.h"
#include "com/latebound.h"
#include "com/server.h"

namespace kelva::sub {

// Type information of one of the library's dual interfaces, from the type library inside KelvaSub.dll.
com::ComPtr<ITypeInfo> interfaceInfo(REFIID iid);

// A member not implemented yet fails with error 445 "Object doesn't support this action", its
// description naming the member, e.g. pending(IID__clsFunc, L"clsFunc.Pi").
inline constexpr int NotImplementedYet = 445;
HRESULT pending(REFIID iid, const wchar_t* member) noexcept;

// A ByRef String argument as text: a null pointer or a null BSTR reads as "".
inline std::wstring textOf(const BSTR* p) { return p ? com::toWString(*p) : std::wstring(); }

// The create functions the class table of the module uses (one per class file).
HRESULT createClsPub(REFIID iid, void** out);
HRESULT createClsIni(REFIID iid, void** out);
HRESULT createClsFunc(REFIID iid, void** out);
HRESULT createClsTriangle(REFIID iid, void** out);
HRESULT createClsTable(REFIID iid, void** out);
HRESULT createClsCLO(REFIID iid, void** out);
HRESULT createClsCalculator(REFIID iid, void** out);
HRESULT createClsExcelFile(REFIID iid, void** out);

}  // namespace kelva::sub
