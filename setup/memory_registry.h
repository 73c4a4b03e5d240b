#pragma once
// A registry held in memory: names compared without regard to case, keys and values enumerated in
// the order they were created (the order a test gives). Writes below chosen keys can be made to
// fail, to exercise the failure paths of the registration steps.
#include <map>

#include "setup/registry_store.h"

namespace kelva::setup {

class MemoryRegistry : public RegistryStore {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

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

    // Test conveniences.
    void setText(Hive hive, std::wstring_view path, std::wstring_view name, std::wstring_view text,
                 std::uint32_t type = regtype::Sz);
    void setDword(Hive hive, std::wstring_view path, std::wstring_view name, std::uint32_t value);
    void setRaw(Hive hive, std::wstring_view path, std::wstring_view name, RawValue value);
    // Writes (value writes, key creation and deletion) at or below this key fail with access denied.
    void denyWritesBelow(Hive hive, std::wstring_view path);
    // Environment references %NAME% that expandEnvironment replaces.
    void setEnvironment(std::wstring name, std::wstring value);
    // A whole-registry snapshot in a stable text form, for comparing runs.
    std::wstring dump() const;

private:
    struct Key;
    Key* find(Hive hive, std::wstring_view path) const;
    bool denied(Hive hive, std::wstring_view path) const;

    std::unique_ptr<Key> roots_[2];
    std::vector<std::pair<Hive, std::wstring>> denied_;
    std::map<std::wstring, std::wstring> environment_;
};

}  // namespace kelva::setup
