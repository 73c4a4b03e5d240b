#include "setup/win/win_probe.h"

#include <windows.h>
#include <oleauto.h>
#include <tlhelp32.h>

#include "com/com_ptr.h"
#include "setup/text.h"
#include "setup/win/handle.h"

namespace kelva::setup {

bool WinAutoCadProbe::GetACAD() { return runningObjectFound() || processFound(); }

bool WinAutoCadProbe::runningObjectFound() {
    for (const wchar_t* progId : kAutoCadProgIds) {
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(progId, &clsid))) continue;
        // Only its presence matters: no member is called.
        com::ComPtr<IUnknown> app;
        if (SUCCEEDED(GetActiveObject(clsid, nullptr, app.put())) && app) return true;
    }
    return false;
}

bool WinAutoCadProbe::processFound() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (equalsNoCase(entry.szExeFile, L"acad.exe")) return true;
    return false;
}

}  // namespace kelva::setup
