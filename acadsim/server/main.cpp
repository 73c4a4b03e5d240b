// acadsim.exe: the AutoCAD stand-in as an out-of-process COM server (single-threaded apartment).
//   acadsim [/As plain,14,15,16,17,18] [/Version text]   serve until the window closes or the process ends
//   acadsim /RegServer | /UnregServer                     write or remove the ProgID and CLSID keys
//   acadsim /WaitReady <ms>                               wait until a running stand-in is in the ROT
//   acadsim /Stop <process id>                            close that stand-in and wait until it has ended
// A serving stand-in given /PidFile <path> writes its process id there once it is ready. Ending it
// through /Stop (its window closes, it revokes its class objects and leaves the ROT) matters under
// Wine: a killed server's class registrations stay behind and make the next CreateObject fail.
// The application object goes into the Running Object Table under the CLSID of each ProgID it answers,
// and each of those class objects is registered for multiple use, so GetObject, GetActiveObject and
// CreateObject all attach to this one instance. No LocalServer32 key is written: nothing ever starts the
// stand-in behind a test's back.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include <cwctype>
#include <string>
#include <vector>

#include "acadsim/com/objects.h"
#include "acadsim/server/classes.h"
#include "acadsim/server/viewer.h"
#include "com/com_ptr.h"
#include "com/object.h"

using kelva::com::ComPtr;
namespace server = kelva::acad::server;
namespace sim = kelva::acad::sim;

namespace {

// Hands out the one object of its class to every caller. Counting it in the module's objects is
// harmless: an exe server's life is its window's, not its objects' count.
class SingletonFactory final : public kelva::com::Object<SingletonFactory, IClassFactory> {
public:
    explicit SingletonFactory(ComPtr<IDispatch> object) : object_(std::move(object)) {}
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return object_->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }  // the process lives until it is ended

private:
    ComPtr<IDispatch> object_;
};

std::wstring guidText(const GUID& g) {
    wchar_t text[64] = {};
    StringFromGUID2(g, text, 64);
    return text;
}

bool setKey(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) return false;
    const LONG rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

int registerClasses() {
    bool ok = true;
    for (const auto& c : server::kClasses) {
        const std::wstring clsid = guidText(c.clsid);
        ok = setKey(c.progId, nullptr, c.description) && ok;
        ok = setKey(std::wstring(c.progId) + L"\\CLSID", nullptr, clsid) && ok;
        ok = setKey(L"CLSID\\" + clsid, nullptr, c.description) && ok;
        ok = setKey(L"CLSID\\" + clsid + L"\\ProgID", nullptr, c.progId) && ok;
    }
    return ok ? 0 : 1;
}

int unregisterClasses() {
    for (const auto& c : server::kClasses) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, c.progId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + guidText(c.clsid)).c_str());
    }
    return 0;
}

bool inRot(const CLSID& clsid) {
    ComPtr<IUnknown> unk;
    return SUCCEEDED(GetActiveObject(clsid, nullptr, unk.put()));
}

int waitReady(DWORD ms) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    const DWORD start = GetTickCount();
    int rc = 1;
    while (GetTickCount() - start <= ms) {
        if (inRot(server::kClasses.back().clsid)) {
            rc = 0;
            break;
        }
        Sleep(50);
    }
    CoUninitialize();
    return rc;
}

std::vector<std::wstring> splitList(const std::wstring& s) {
    std::vector<std::wstring> out;
    std::size_t start = 0;
    while (start <= s.size()) {
        const auto comma = s.find(L',', start);
        out.push_back(s.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    return out;
}

bool sameSwitch(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }

struct Options {
    std::vector<const server::ServedClass*> served;
    std::wstring version;
    std::wstring pidFile;
};

struct WindowSearch {
    DWORD pid;
    int found;
};

BOOL CALLBACK closeViewer(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (owner == s->pid && wcscmp(cls, L"AcadSimViewer") == 0) {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        ++s->found;
    }
    return TRUE;
}

// Closes the stand-in's windows in process `pid` and waits for the process to end; ends it by force
// when it does not end within the time.
int stopServer(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    if (!process) return 1;
    WindowSearch search{pid, 0};
    EnumWindows(closeViewer, reinterpret_cast<LPARAM>(&search));
    int rc = 0;
    if (WaitForSingleObject(process, search.found ? 10000 : 0) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        rc = 1;
    }
    CloseHandle(process);
    return rc;
}

void writePidFile(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    const std::string text = std::to_string(GetCurrentProcessId()) + "\n";
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

// Which ProgIDs to answer; the control object is always served.
bool parseServed(const std::wstring& list, Options& o) {
    o.served.clear();
    for (const auto& item : splitList(list)) {
        const server::ServedClass* found = nullptr;
        for (const auto& c : server::kClasses)
            if (sameSwitch(item, c.key) || sameSwitch(item, c.progId)) found = &c;
        if (!found || found == &server::kClasses.back()) return false;
        o.served.push_back(found);
    }
    return !o.served.empty();
}

int serve(Options o) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    sim::AppConfig config;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    config.fullName = path;
    if (!o.version.empty()) {
        config.version = o.version;
    } else {
        std::wstring major = L"16";
        for (const auto* c : o.served)
            if (std::iswdigit(c->key[0]) && std::wstring(c->key) > major) major = c->key;
        config.version = major + L".0s (LMS Tech)";
    }
    int rc = 0;
    {
        sim::Instance instance = sim::createInstance(config);
        server::Viewer viewer(*instance.session);
        sim::setChangeHandler(*instance.session, [&viewer] { viewer.invalidate(); });
        // Quit ends the message loop after the call has returned to its caller.
        sim::setQuitHandler(*instance.session, [&viewer] { PostMessageW(viewer.hwnd(), WM_CLOSE, 0, 0); });

        std::vector<DWORD> classCookies, rotCookies;
        auto publish = [&](const CLSID& clsid, const ComPtr<IDispatch>& object) {
            DWORD cookie = 0;
            auto factory = ComPtr<IClassFactory>::attach(new SingletonFactory(object));
            if (SUCCEEDED(CoRegisterClassObject(clsid, factory.get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
                classCookies.push_back(cookie);
            if (SUCCEEDED(RegisterActiveObject(object.get(), clsid, ACTIVEOBJECT_STRONG, &cookie))) rotCookies.push_back(cookie);
            else rc = 4;
        };
        for (const auto* c : o.served) publish(c->clsid, instance.application);
        publish(server::kClasses.back().clsid, instance.control);  // last: it marks the server ready
        if (!o.pidFile.empty()) writePidFile(o.pidFile);

        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        for (DWORD c : rotCookies) RevokeActiveObject(c, nullptr);
        for (DWORD c : classCookies) CoRevokeClassObject(c);
        CoDisconnectObject(instance.application.get(), 0);
        CoDisconnectObject(instance.control.get(), 0);
        sim::setChangeHandler(*instance.session, nullptr);
        sim::setQuitHandler(*instance.session, nullptr);
    }
    CoUninitialize();
    return rc;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);

    Options options;
    parseServed(L"plain,14,15,16,17,18", options);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (sameSwitch(a, L"/RegServer") || sameSwitch(a, L"-RegServer")) return registerClasses();
        if (sameSwitch(a, L"/UnregServer") || sameSwitch(a, L"-UnregServer")) return unregisterClasses();
        if (sameSwitch(a, L"/WaitReady") && hasValue) return waitReady(static_cast<DWORD>(_wtoi(args[i + 1].c_str())));
        if (sameSwitch(a, L"/Stop") && hasValue) return stopServer(static_cast<DWORD>(_wtoi(args[i + 1].c_str())));
        if (sameSwitch(a, L"/PidFile") && hasValue) {
            options.pidFile = args[++i];
            continue;
        }
        if (sameSwitch(a, L"/Embedding") || sameSwitch(a, L"-Embedding")) continue;
        if (sameSwitch(a, L"/As") && hasValue) {
            if (!parseServed(args[++i], options)) return 2;
            continue;
        }
        if (sameSwitch(a, L"/Version") && hasValue) {
            options.version = args[++i];
            continue;
        }
        return 2;  // an unknown switch: refuse rather than serve something unasked for
    }
    return serve(options);
}
