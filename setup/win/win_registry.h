#pragma once
// The Windows registry through its wide-character functions; every key is opened in the view asked
// for (KEY_WOW64_32KEY or KEY_WOW64_64KEY), or in the program's own.
#include <windows.h>

#include "setup/registry_store.h"

namespace kelva::setup {

class WinRegistry : public RegistryStore {
public:
    WinRegistry();
    ~WinRegistry() override;
    WinRegistry(const WinRegistry&) = delete;
    WinRegistry& operator=(const WinRegistry&) = delete;

    long openForRead(HiveView root, std::wstring_view path) override;
    long createKey(HiveView root, std::wstring_view path) override;
    long deleteKey(HiveView root, std::wstring_view path) override;
    long deleteValue(HiveView root, std::wstring_view path, std::wstring_view name) override;
    long enumKeys(HiveView root, std::wstring_view path, std::vector<std::wstring>& out) override;
    long enumValues(HiveView root, std::wstring_view path, std::vector<NamedValue>& out) override;
    long queryValue(HiveView root, std::wstring_view path, std::wstring_view name, RawValue& out) override;
    long setValue(HiveView root, std::wstring_view path, std::wstring_view name, const RawValue& value) override;
    std::wstring expandEnvironment(std::wstring_view text) override;
    std::unique_ptr<RegistryStore> connect(std::wstring_view computer, Hive hive) override;

    // A store over one hive of another computer, whose handle it takes over.
    WinRegistry(Hive hive, HKEY remote);

private:
    HKEY handle(HiveView root) const { return roots_[root.hive == Hive::CurrentUser ? 0 : 1]; }

    HKEY roots_[2];
    HKEY owned_ = nullptr;
};

}  // namespace kelva::setup
