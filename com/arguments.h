#pragma once
// The shape check of a caller's VARIANT, made before anything converts, copies or follows it.
//
// Script hosts only ever send well-formed arguments, but an in-process caller can hand over anything, and
// the system's own conversions (VariantCopyInd, VariantChangeType, SafeArrayCopy) trust what they are
// given: a null reference or an unknown type crashes inside them, a reference that points at itself makes
// them loop. So the dispatcher, and every reader that takes a VARIANT from outside, first asks:
// - is every type one an automation VARIANT can hold (VT_BYREF and VT_ARRAY the only flags)?
// - does every by-reference argument point somewhere (its SAFEARRAY** too)?
// - does a chain of VT_BYREF|VT_VARIANT end within kMaxReferenceChain steps (a cycle never does)?
// - is every SAFEARRAY descriptor consistent: at least one dimension, an element count that fits, element
//   size and type agreeing with the VARIANT's type, data present when there are elements, and, for arrays
//   of Variants, every element well-formed, no array nested deeper than kMaxArrayNesting and none reached
//   twice (a cycle, or a shared branch that a deep copy would multiply)?
// An array pointer that is null stays acceptable: it is how Basic passes an array never dimensioned.
#include <oaidl.h>

#include "core/errors.h"
#include "values.h"

namespace kelva::com {

inline constexpr int kMaxArrayNesting = 8;    // arrays inside arrays of Variants

enum class ArgumentFault {
    None,
    UnknownType,  // a type no VARIANT can hold: DISP_E_BADVARTYPE
    Invalid,      // a null reference, an endless or too long reference chain, a broken array: error 5
};

ArgumentFault checkArgument(const VARIANT& v) noexcept;
// The same for an array the caller declared to hold elements of `elementType` (a SAFEARRAY(T)* parameter
// or the array of a VT_ARRAY variant); a null array passes.
ArgumentFault checkArray(SAFEARRAY* a, VARTYPE elementType) noexcept;

// The error a member raises for a fault: DISP_E_BADVARTYPE "Bad variable type", or 5.
VbError argumentError(ArgumentFault fault);
// Raises that error unless `v` is well-formed: the first step of every reader of an outside VARIANT.
void requireWellFormed(const VARIANT& v);

// Checks every argument of an IDispatch::Invoke call. On a fault: DISP_E_BADVARTYPE for an unknown type;
// error 5 (with error information, in `excep` as DISP_E_EXCEPTION when the caller gave one) for the rest;
// `argErr` names the argument; `source` is the error's source. S_OK when all are well-formed.
HRESULT checkInvokeArguments(const DISPPARAMS& params, REFIID iid, EXCEPINFO* excep, UINT* argErr,
                             const wchar_t* source = L"") noexcept;

}  // namespace kelva::com
