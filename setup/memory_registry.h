#pragma once
// A registry held in memory: names compared without regard to case, keys and values enumerated in
// the order they were created (the order a test gives). Writes below chosen keys can be made to
// fail, to exercise the failure paths of the registration steps. It answers as 64-bit Windows does
// to a 64-bit program: the 32-bit view of HKEY_LOCAL_MACHINE\Software lies under
// Software\Wow6432Node, the program's own view is the 64-bit one, and HKEY_CURRENT_USER has one view.
#include <map>

#include "setup/registry_store.h"

namespace kelva::setup {

class MemoryRegistry : public RegistryStore {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

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

    // Test conveniences.
    void setText(HiveView root, std::wstring_view path, std::wstring_view name, std::wstring_view text,
                 std::uint32_t type = regtype::Sz);
    void setDword(HiveView root, std::wstring_view path, std::wstring_view name, std::uint32_t value);
    void setRaw(HiveView root, std::wstring_view path, std::wstring_view name, RawValue value);
    // Writes (value writes, key creation and deletion) at or below this key fail with access denied.
    void denyWritesBelow(HiveView root, std::wstring_view path);
    // Environment references %NAME% that expandEnvironment replaces.
    void setEnvironment(std::wstring name, std::wstring value);
    // A whole-registry snapshot in a stable text form, for comparing runs.
    std::wstring dump() const;

private:
    struct Key;
    // The key path as stored: below Software\Wow6432Node for the 32-bit view of the machine's keys.
    static std::vector<std::wstring> storedPath(HiveView root, std::wstring_view path);
    // The stored path as write denials are compared: lower case, one separator between names.
    static std::wstring comparedPath(HiveView root, std::wstring_view path);
    Key* find(HiveView root, std::wstring_view path) const;
    bool denied(HiveView root, std::wstring_view path) const;

    std::unique_ptr<Key> roots_[2];
    std::vector<std::pair<Hive, std::wstring>> denied_;
    std::map<std::wstring, std::wstring> environment_;
};

}  // namespace kelva::setup
