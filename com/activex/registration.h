#pragma once
// Self-registration of an ActiveX control: what com/ registers for any in-process class (CLSID,
// ProgID, type library), and what marks it as a control (the Control key, its misc status, the
// control category).
#include <windows.h>

#include "com/server.h"

namespace kelva::com::activex {

// Registers the server's classes as controls. unregisterServer removes it all again (the control's
// keys live under its CLSID key).
HRESULT registerControl(const ServerInfo& server, HMODULE module, DWORD miscStatus);

}  // namespace kelva::com::activex
