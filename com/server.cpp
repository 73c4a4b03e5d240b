#include "server.h"

#include <olectl.h>

#include <cwchar>
#include <new>

namespace kelva::com {

HMODULE thisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    ModuleCounts::lock(lock != FALSE);
    return S_OK;
}

HRESULT getClassObject(const ServerInfo& server, REFCLSID clsid, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const auto& c : server.classes) {
        if (*c.clsid == clsid) return createObject<ClassFactory>(iid, out, c.create);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

std::wstring guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

namespace {

class Key {
public:
    Key() = default;
    Key(HKEY parent, const std::wstring& path) {
        if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_READ, nullptr, &h_, nullptr) !=
            ERROR_SUCCESS)
            h_ = nullptr;
    }
    ~Key() { if (h_) RegCloseKey(h_); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return h_ != nullptr; }
    bool set(const wchar_t* name, const std::wstring& value) {
        return h_ && RegSetValueExW(h_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

private:
    HKEY h_ = nullptr;
};

bool writeValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    Key k(HKEY_CLASSES_ROOT, path);
    return k.set(name, value);
}

std::wstring readDefault(const std::wstring& path) {
    wchar_t buffer[256] = {};
    LONG size = sizeof(buffer) - sizeof(wchar_t);
    if (RegQueryValueW(HKEY_CLASSES_ROOT, path.c_str(), buffer, &size) != ERROR_SUCCESS) return {};
    return buffer;
}

std::wstring modulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

SYSKIND thisSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

// The version key RegisterTypeLib writes: TypeLib\{libid}\<major>.<minor>, both in hexadecimal.
bool typeLibRegistered(const ServerInfo& server) {
    wchar_t version[16];
    swprintf(version, 16, L"%x.%x", server.majorVersion, server.minorVersion);
    HKEY key = nullptr;
    const std::wstring path = L"TypeLib\\" + guidText(*server.libid) + L"\\" + version;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

HRESULT registerServer(const ServerInfo& server, HMODULE module) noexcept {
    try {
        const std::wstring path = modulePath(module);
        if (path.empty()) return SELFREG_E_CLASS;
        const std::wstring libid = guidText(*server.libid);
        const std::wstring version =
            std::to_wstring(server.majorVersion) + L"." + std::to_wstring(server.minorVersion);
        for (const auto& c : server.classes) {
            const std::wstring clsid = guidText(*c.clsid);
            const std::wstring key = L"CLSID\\" + clsid;
            bool ok = writeValue(key, nullptr, c.description) &&
                      writeValue(key + L"\\InprocServer32", nullptr, path) &&
                      writeValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                      writeValue(key + L"\\ProgID", nullptr, c.progId) &&
                      writeValue(key + L"\\VersionIndependentProgID", nullptr, c.progId) &&
                      writeValue(key + L"\\TypeLib", nullptr, libid) &&
                      writeValue(key + L"\\Version", nullptr, version) &&
                      writeValue(key + L"\\Programmable", nullptr, L"") &&
                      writeValue(c.progId, nullptr, c.description) &&
                      writeValue(std::wstring(c.progId) + L"\\CLSID", nullptr, clsid);
            if (!ok) return SELFREG_E_CLASS;
        }
        ComPtr<ITypeLib> lib;
        if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.put()))) return SELFREG_E_TYPELIB;
        if (FAILED(RegisterTypeLib(lib.get(), const_cast<wchar_t*>(path.c_str()), nullptr))) return SELFREG_E_TYPELIB;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT unregisterServer(const ServerInfo& server) noexcept {
    try {
        HRESULT result = S_OK;
        for (const auto& c : server.classes) {
            const std::wstring clsid = guidText(*c.clsid);
            if (readDefault(std::wstring(c.progId) + L"\\CLSID") == clsid) {
                const LONG r = RegDeleteTreeW(HKEY_CLASSES_ROOT, c.progId);
                if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) result = SELFREG_E_CLASS;
            }
            const LONG r = RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid).c_str());
            if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) result = SELFREG_E_CLASS;
        }
        // Nothing registered is nothing to remove; Wine's UnRegisterTypeLib would call it an error.
        if (typeLibRegistered(server)) {
            const HRESULT hr = UnRegisterTypeLib(*server.libid, server.majorVersion, server.minorVersion,
                                                 server.libLcid, thisSysKind());
            if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_LIBNOTREGISTERED) result = SELFREG_E_TYPELIB;
        }
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace kelva::com
