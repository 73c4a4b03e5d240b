#pragma once
// Run-time errors across COM. A member raises kelva::VbError; the vtable entry turns it into the HRESULT
// 0x800A0000 | number with error information (description, source) attached to the thread, and Invoke
// hands the same to a late-bound caller as EXCEPINFO. In the other direction a failed call into another
// object becomes a VbError by one rule (see errorFromCall).
#include <oaidl.h>

#include <new>
#include <string>

#include "core/errors.h"

namespace kelva::com {

// Error numbers of the dispatch layer itself (the numbers a Basic caller knows for these faults).
namespace err {
inline constexpr int InternalError = 51;
inline constexpr int ArgumentNotOptional = 449;
inline constexpr int WrongArgumentCount = 450;
inline constexpr int NotSupported = 438;      // object doesn't support this property or method
inline constexpr int ActionNotSupported = 445;  // object doesn't support this action
inline constexpr int InvalidUseOfNull = 94;
}  // namespace err

// Attaches error information for `e` to the calling thread and returns its HRESULT.
HRESULT reportError(const VbError& e, REFIID iid) noexcept;

// Runs `body`, turning any exception into a reported error: the frame every vtable entry uses, so no
// exception ever crosses the COM boundary.
template <class Body>
HRESULT guarded(REFIID iid, Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const VbError& e) {
        return reportError(e, iid);
    } catch (const std::bad_alloc&) {
        return reportError(VbError(kelva::err::OutOfMemory), iid);
    } catch (...) {
        return reportError(VbError(err::InternalError, L"Internal error"), iid);
    }
}

// The same, giving an error that names no source of its own the source `source` (the object's name as
// its callers know it).
template <class Body>
HRESULT guarded(REFIID iid, const std::wstring& source, Body&& body) noexcept {
    return guarded(iid, [&] {
        try {
            body();
        } catch (const VbError& e) {
            if (e.source().empty() && !source.empty()) throw e.withSource(source);
            throw;
        }
    });
}

// The error of a failed call into another object. Its number is the EXCEPINFO scode when there is one,
// else the EXCEPINFO wCode, else the call's own HRESULT (run-time HRESULTs 0x800A.... read as their
// small number). Description and source come from the EXCEPINFO, else from the thread's error
// information, else the standard text of the number or the system's message for the HRESULT.
VbError errorFromCall(HRESULT hr, EXCEPINFO* info);

// Fills `info` for a failed vtable call, from the thread's error information when it describes this
// failure. Clears the thread's error information either way.
void fillExcepInfo(HRESULT hr, EXCEPINFO* info) noexcept;

// Description of a number or HRESULT the suite has no text for: the system's message, else empty.
std::wstring systemMessage(HRESULT hr);

}  // namespace kelva::com
