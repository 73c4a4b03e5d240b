#include "com/activex/registration.h"

#include <olectl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "com/activex/module.h"

namespace kelva::com::activex {

namespace {

// The category every ActiveX control belongs to.
constexpr GUID kCatidControl = {0x40FC6ED4, 0x2438, 0x11CF, {0xA3, 0xDB, 0x08, 0x00, 0x36, 0xF1, 0x25, 0x02}};

class Key {
public:
    Key(HKEY parent, const std::wstring& path) {
        status_ = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key_, nullptr);
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    LONG set(const wchar_t* name, const std::wstring& value) {
        if (status_ != ERROR_SUCCESS) return status_;
        return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

private:
    HKEY key_ = nullptr;
    LONG status_ = ERROR_SUCCESS;
};

LONG setValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    return Key(HKEY_CLASSES_ROOT, path).set(name, value);
}

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(module(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::wstring guidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT registerControl(const ControlRegistration& reg) {
    const std::wstring path = modulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    const std::wstring clsid = L"CLSID\\" + guidText(reg.clsid);
    const std::pair<std::wstring, std::pair<const wchar_t*, std::wstring>> values[] = {
        {clsid, {nullptr, reg.name}},
        {clsid + L"\\InprocServer32", {nullptr, path}},
        {clsid + L"\\InprocServer32", {L"ThreadingModel", L"Apartment"}},
        {clsid + L"\\ProgID", {nullptr, reg.progId}},
        {clsid + L"\\VersionIndependentProgID", {nullptr, reg.progId}},
        {clsid + L"\\Control", {nullptr, L""}},
        {clsid + L"\\MiscStatus", {nullptr, L"0"}},
        {clsid + L"\\MiscStatus\\1", {nullptr, std::to_wstring(reg.miscStatus)}},
        {clsid + L"\\TypeLib", {nullptr, guidText(reg.libid)}},
        {clsid + L"\\Version", {nullptr, reg.typeLibVersion}},
        {clsid + L"\\Implemented Categories\\" + guidText(kCatidControl), {nullptr, L""}},
        {reg.progId, {nullptr, reg.name}},
        {reg.progId + L"\\CLSID", {nullptr, guidText(reg.clsid)}},
    };
    for (const auto& [key, value] : values) {
        const LONG status = setValue(key, value.first, value.second);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    }
    Microsoft::WRL::ComPtr<ITypeLib> lib;
    HRESULT hr = moduleTypeLib(&lib);
    if (FAILED(hr)) return hr;
    std::wstring libPath = path;  // RegisterTypeLib takes a writable string
    return RegisterTypeLib(lib.Get(), libPath.data(), nullptr);
}

HRESULT unregisterControl(const ControlRegistration& reg, WORD major, WORD minor) {
    const auto remove = [](const std::wstring& key) {
        const LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    };
    bool ok = remove(L"CLSID\\" + guidText(reg.clsid));
    ok = remove(reg.progId) && ok;
    const HRESULT hr = UnRegisterTypeLib(reg.libid, major, minor, LOCALE_NEUTRAL, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_LIBNOTREGISTERED) return hr;
    return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace kelva::com::activex
