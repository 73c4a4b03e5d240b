#include "setup/win/win_probe.h"

#include <windows.h>
#include <oleauto.h>
#include <tlhelp32.h>

#include "setup/text.h"
#include "setup/win/handle.h"

namespace kelva::setup {

bool WinAutoCadProbe::GetACAD() { return runningObjectFound() || processFound(); }

bool WinAutoCadProbe::runningObjectFound() {
    for (const wchar_t* progId : kAutoCadProgIds) {
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(progId, &clsid))) continue;
        IUnknown* app = nullptr;
        if (SUCCEEDED(GetActiveObject(clsid, nullptr, &app)) && app) {
            // Only its presence matters: no member is called.
            app->Release();
            return true;
        }
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
