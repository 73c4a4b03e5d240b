#include "setup/win/win_servers.h"

#include <windows.h>

namespace kelva::setup {

namespace {
using RegisterFn = HRESULT(STDAPICALLTYPE*)();

class Module {
public:
    explicit Module(HMODULE m) : m_(m) {}
    ~Module() {
        if (m_) FreeLibrary(m_);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    HMODULE get() const { return m_; }

private:
    HMODULE m_;
};
}  // namespace

int WinServerRegistrar::RegisterServer(const std::wstring& path) {
    if (path.empty()) return 0;
    const DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        return 0;
    // The file's own folder is searched for the libraries it needs, not the folder Setup started in.
    Module module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module.get()) return 1;
    const auto proc = GetProcAddress(module.get(), "DllRegisterServer");
    if (!proc) return 2;
    const auto registerServer = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(proc));
    return registerServer() == S_OK ? 4 : 3;
}

}  // namespace kelva::setup
