#pragma once
// Self-registration of an ActiveX control: its class (in-process server, apartment threaded,
// marked as a control with its misc status), its ProgID and its type library.
#include <windows.h>

#include <string>

namespace kelva::com::activex {

struct ControlRegistration {
    CLSID clsid;
    GUID libid;
    std::wstring name;          // the class's readable name
    std::wstring progId;        // e.g. L"KelvaView.ThumbView"
    std::wstring typeLibVersion = L"1.0";
    DWORD miscStatus = 0;
};

HRESULT registerControl(const ControlRegistration& reg);
// Removes what registerControl wrote; keys already gone are no error.
HRESULT unregisterControl(const ControlRegistration& reg, WORD libMajor, WORD libMinor);

std::wstring guidText(REFGUID guid);

}  // namespace kelva::com::activex
