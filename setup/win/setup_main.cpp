// Setup.exe: registers the suite with every AutoCAD release and profile of the current user.
// No window of its own; the one message box reports the outcome.
#include <windows.h>
#include <objbase.h>

#include "setup/registrar.h"
#include "setup/win/win_files.h"
#include "setup/win/win_ini.h"
#include "setup/win/win_probe.h"
#include "setup/win/win_registry.h"
#include "setup/win/win_servers.h"

using namespace kelva::setup;

namespace {

class MessageBoxSink : public MessageSink {
public:
    void show(const std::wstring& text, const std::wstring& caption) override {
        MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    }
};

std::wstring programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return L".";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// Ends COM when the run is over, whatever way it ends.
class ComApartment {
public:
    ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT hr_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // A COM file that fails to load reports through its code, not through a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ComApartment com;
    WinRegistry registry;
    WinFiles files;
    WinIni ini;
    WinServerRegistrar servers;
    WinAutoCadProbe probe;
    MessageBoxSink messages;
    Registrar registrar(SetupServices{registry, files, ini, servers, probe, messages, programFolder()});
    switch (registrar.Main()) {
    case Outcome::Registered:
        return 0;
    case Outcome::Refused:
        return 2;
    case Outcome::Failed:
        break;
    }
    return 1;
}
