#include "com/activex/registration.h"

#include <olectl.h>

#include <string>

namespace kelva::com::activex {

namespace {

// The category every ActiveX control belongs to.
constexpr GUID kCatidControl = {0x40FC6ED4, 0x2438, 0x11CF, {0xA3, 0xDB, 0x08, 0x00, 0x36, 0xF1, 0x25, 0x02}};

LONG setValue(const std::wstring& path, const std::wstring& value) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status;
}

}  // namespace

HRESULT registerControl(const ServerInfo& server, HMODULE module, DWORD miscStatus) {
    HRESULT hr = registerServer(server, module);
    if (FAILED(hr)) return hr;
    try {
        for (const auto& c : server.classes) {
            const std::wstring clsid = L"CLSID\\" + guidText(*c.clsid);
            const std::pair<std::wstring, std::wstring> values[] = {
                {clsid + L"\\Control", L""},
                {clsid + L"\\MiscStatus", L"0"},
                {clsid + L"\\MiscStatus\\1", std::to_wstring(miscStatus)},
                {clsid + L"\\Implemented Categories\\" + guidText(kCatidControl), L""},
            };
            for (const auto& [key, value] : values)
                if (setValue(key, value) != ERROR_SUCCESS) return SELFREG_E_CLASS;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace kelva::com::activex
