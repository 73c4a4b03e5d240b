// kelva_regserver [/u] <server.dll>: calls the server's DllRegisterServer (or DllUnregisterServer) and
// exits with 0 on success, as regsvr32 /s would.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    bool unregister = false;
    std::wstring path;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"/u" || a == L"-u")
            unregister = true;
        else
            path = a;
    }
    if (path.empty()) {
        fwprintf(stderr, L"usage: kelva_regserver [/u] <server.dll>\n");
        return 2;
    }
    // A Unix path from the build system becomes a path on Wine's drive Z:.
    if (path.front() == L'/') path = L"Z:" + path;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    int status = 0;
    if (HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
        using Entry = HRESULT(STDAPICALLTYPE*)();
        auto entry = reinterpret_cast<Entry>(
            reinterpret_cast<void*>(GetProcAddress(module, unregister ? "DllUnregisterServer" : "DllRegisterServer")));
        const HRESULT hr = entry ? entry() : E_NOINTERFACE;
        if (FAILED(hr)) {
            fwprintf(stderr, L"%ls failed: 0x%08lx\n", unregister ? L"DllUnregisterServer" : L"DllRegisterServer",
                     static_cast<unsigned long>(hr));
            status = 1;
        }
        FreeLibrary(module);
    } else {
        fwprintf(stderr, L"cannot load %ls: error %lu\n", path.c_str(), GetLastError());
        status = 1;
    }
    CoUninitialize();
    return status;
}
