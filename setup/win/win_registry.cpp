#include "setup/win/win_registry.h"

#include <algorithm>
#include <string>

namespace kelva::setup {

// The portable code speaks the platform's codes and value types under its own names, so that the
// memory registry can stand in for this one: the names must keep the platform's numbers.
static_assert(regerr::Ok == ERROR_SUCCESS && regerr::FileNotFound == ERROR_FILE_NOT_FOUND &&
              regerr::AccessDenied == ERROR_ACCESS_DENIED);
static_assert(regtype::None == REG_NONE && regtype::Sz == REG_SZ && regtype::ExpandSz == REG_EXPAND_SZ &&
              regtype::Binary == REG_BINARY && regtype::Dword == REG_DWORD && regtype::MultiSz == REG_MULTI_SZ);

namespace {

REGSAM viewFlag(View view) {
    switch (view) {
    case View::Bits32:
        return KEY_WOW64_32KEY;
    case View::Bits64:
        return KEY_WOW64_64KEY;
    case View::Own:
        break;
    }
    return 0;
}

// An open key; the hive itself (an empty path) is used as it is and never closed.
class OpenKey {
public:
    OpenKey(HKEY root, View view, std::wstring_view path, REGSAM access) {
        if (path.empty()) {
            key_ = root;
            status_ = root ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
            return;
        }
        const std::wstring p(path);
        status_ = RegOpenKeyExW(root, p.c_str(), 0, access | viewFlag(view), &key_);
        owned_ = status_ == ERROR_SUCCESS;
    }
    ~OpenKey() {
        if (owned_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    LONG status() const { return status_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
    LONG status_ = ERROR_INVALID_HANDLE;
    bool owned_ = false;
};

struct KeyInfo {
    DWORD subkeys = 0, maxSubkeyChars = 0, values = 0, maxValueNameChars = 0, maxValueBytes = 0;
};

LONG keyInfo(HKEY key, KeyInfo& info) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &info.subkeys, &info.maxSubkeyChars, nullptr, &info.values,
                            &info.maxValueNameChars, &info.maxValueBytes, nullptr, nullptr);
}

}  // namespace

WinRegistry::WinRegistry() : roots_{HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE} {}

WinRegistry::WinRegistry(Hive hive, HKEY remote) : roots_{nullptr, nullptr}, owned_(remote) {
    roots_[hive == Hive::CurrentUser ? 0 : 1] = remote;
}

WinRegistry::~WinRegistry() {
    if (owned_) RegCloseKey(owned_);
}

long WinRegistry::openForRead(HiveView root, std::wstring_view path) { return OpenKey(handle(root), root.view, path, KEY_READ).status(); }

long WinRegistry::createKey(HiveView root, std::wstring_view path) {
    if (!handle(root)) return ERROR_INVALID_HANDLE;
    const std::wstring p(path);
    HKEY key = nullptr;
    const LONG r = RegCreateKeyExW(handle(root), p.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS | viewFlag(root.view), nullptr, &key, nullptr);
    if (r == ERROR_SUCCESS) RegCloseKey(key);
    return r;
}

long WinRegistry::deleteKey(HiveView root, std::wstring_view path) {
    if (!handle(root)) return ERROR_INVALID_HANDLE;
    const std::wstring p(path);
    return RegDeleteKeyExW(handle(root), p.c_str(), viewFlag(root.view), 0);
}

long WinRegistry::deleteValue(HiveView root, std::wstring_view path, std::wstring_view name) {
    OpenKey key(handle(root), root.view, path, KEY_SET_VALUE);
    if (key.status() != ERROR_SUCCESS) return key.status();
    const std::wstring n(name);
    return RegDeleteValueW(key.get(), n.c_str());
}

long WinRegistry::enumKeys(HiveView root, std::wstring_view path, std::vector<std::wstring>& out) {
    out.clear();
    OpenKey key(handle(root), root.view, path, KEY_READ);
    if (key.status() != ERROR_SUCCESS) return key.status();
    KeyInfo info;
    if (LONG r = keyInfo(key.get(), info); r != ERROR_SUCCESS) return r;
    // The buffer is sized from the key's own longest name; a name added since is caught by the
    // retry on ERROR_MORE_DATA.
    std::wstring name(info.maxSubkeyChars + 1, L'\0');
    for (DWORD i = 0;;) {
        DWORD chars = static_cast<DWORD>(name.size());
        const LONG r = RegEnumKeyExW(key.get(), i, name.data(), &chars, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (r == ERROR_MORE_DATA) {
            name.resize(name.size() * 2 + 256);
            continue;
        }
        if (r != ERROR_SUCCESS) return r;
        out.emplace_back(name.data(), chars);
        ++i;
    }
}

long WinRegistry::enumValues(HiveView root, std::wstring_view path, std::vector<NamedValue>& out) {
    out.clear();
    OpenKey key(handle(root), root.view, path, KEY_READ);
    if (key.status() != ERROR_SUCCESS) return key.status();
    KeyInfo info;
    if (LONG r = keyInfo(key.get(), info); r != ERROR_SUCCESS) return r;
    std::wstring name(info.maxValueNameChars + 1, L'\0');
    std::vector<BYTE> data(info.maxValueBytes + 2);
    for (DWORD i = 0;;) {
        DWORD chars = static_cast<DWORD>(name.size());
        DWORD bytes = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG r = RegEnumValueW(key.get(), i, name.data(), &chars, nullptr, &type, data.data(), &bytes);
        if (r == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (r == ERROR_MORE_DATA) {
            // Either buffer may be short when the key changed under us: grow both.
            name.resize(name.size() * 2 + 256);
            data.resize(std::max<size_t>(data.size() * 2, bytes + 2));
            continue;
        }
        if (r != ERROR_SUCCESS) return r;
        NamedValue v;
        v.name.assign(name.data(), chars);
        v.value.type = type;
        v.value.data.assign(data.begin(), data.begin() + bytes);
        out.push_back(std::move(v));
        ++i;
    }
}

long WinRegistry::queryValue(HiveView root, std::wstring_view path, std::wstring_view name, RawValue& out) {
    OpenKey key(handle(root), root.view, path, KEY_READ);
    if (key.status() != ERROR_SUCCESS) return key.status();
    const std::wstring n(name);
    std::vector<BYTE> data(1024);
    for (;;) {
        DWORD bytes = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG r = RegQueryValueExW(key.get(), n.c_str(), nullptr, &type, data.data(), &bytes);
        if (r == ERROR_MORE_DATA) {
            data.resize(std::max<size_t>(bytes, data.size() * 2));
            continue;
        }
        if (r != ERROR_SUCCESS) return r;
        out.type = type;
        out.data.assign(data.begin(), data.begin() + bytes);
        return ERROR_SUCCESS;
    }
}

long WinRegistry::setValue(HiveView root, std::wstring_view path, std::wstring_view name, const RawValue& value) {
    OpenKey key(handle(root), root.view, path, KEY_SET_VALUE);
    if (key.status() != ERROR_SUCCESS) return key.status();
    const std::wstring n(name);
    return RegSetValueExW(key.get(), n.c_str(), 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                          static_cast<DWORD>(value.data.size()));
}

std::wstring WinRegistry::expandEnvironment(std::wstring_view text) {
    const std::wstring in(text);
    std::wstring out(in.size() + 64, L'\0');
    for (;;) {
        const DWORD n = ExpandEnvironmentStringsW(in.c_str(), out.data(), static_cast<DWORD>(out.size()));
        if (n == 0) return in;
        if (n <= out.size()) {
            out.resize(n - 1);  // n counts the terminating NUL
            return out;
        }
        out.resize(n);
    }
}

std::unique_ptr<RegistryStore> WinRegistry::connect(std::wstring_view computer, Hive hive) {
    const std::wstring name(computer);
    HKEY remote = nullptr;
    const HKEY predefined = hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    if (RegConnectRegistryW(name.empty() ? nullptr : name.c_str(), predefined, &remote) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<WinRegistry>(hive, remote);
}

}  // namespace kelva::setup
