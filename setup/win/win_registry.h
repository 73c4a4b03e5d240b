#pragma once
// The Windows registry through its wide-character functions.
#include <windows.h>

#include "setup/registry_store.h"

namespace kelva::setup {

class WinRegistry : public RegistryStore {
public:
    WinRegistry();
    ~WinRegistry() override;
    WinRegistry(const WinRegistry&) = delete;
    WinRegistry& operator=(const WinRegistry&) = delete;

    long openForRead(Hive hive, std::wstring_view path) override;
    long createKey(Hive hive, std::wstring_view path) override;
    long deleteKey(Hive hive, std::wstring_view path) override;
    long deleteValue(Hive hive, std::wstring_view path, std::wstring_view name) override;
    long enumKeys(Hive hive, std::wstring_view path, std::vector<std::wstring>& out) override;
    long enumValues(Hive hive, std::wstring_view path, std::vector<NamedValue>& out) override;
    long queryValue(Hive hive, std::wstring_view path, std::wstring_view name, RawValue& out) override;
    long setValue(Hive hive, std::wstring_view path, std::wstring_view name, const RawValue& value) override;
    std::wstring expandEnvironment(std::wstring_view text) override;
    std::unique_ptr<RegistryStore> connect(std::wstring_view computer, Hive hive) override;

    // A store over one hive of another computer, whose handle it takes over.
    WinRegistry(Hive hive, HKEY remote);

private:
    HKEY root(Hive hive) const { return roots_[hive == Hive::CurrentUser ? 0 : 1]; }

    HKEY roots_[2];
    HKEY owned_ = nullptr;
};

}  // namespace kelva::setup
