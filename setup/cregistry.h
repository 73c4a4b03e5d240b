#pragma once
// cRegistry: the registrar's one gateway to the registry. Property-based members work on the key
// KeyRoot\Subkey below hkey (a hive and the view it is seen through); the others take hive and
// path explicitly. No member raises for a registry error: a key that cannot be opened reads as
// empty, the default, False, "" or 0.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "setup/registry_store.h"

namespace kelva::setup {

// What a read gives: Empty, a text, a byte array or a Long.
using RegData = std::variant<std::monostate, std::wstring, std::vector<std::uint8_t>, std::int32_t>;

// The text of a value as the steps take it: Empty gives "", a Long its decimal text.
std::wstring dataText(const RegData& data);

class cRegistry {
public:
    explicit cRegistry(RegistryStore& store) : store_(store) {}

    HiveView hkey = Hive::CurrentUser;
    std::wstring KeyRoot;
    std::wstring Subkey;

    bool KeyExists();
    // "0" on success, "" on failure; without a name the key is Subkey.
    std::wstring CreateKey();
    std::wstring CreateKey(std::wstring_view keyName);
    long DeleteKey(std::wstring_view keyName);
    long DeleteValue(std::wstring_view valueName);

    std::vector<std::wstring> EnumRegistryKeys(HiveView hive, std::wstring_view keyName);
    std::vector<std::pair<std::wstring, RegData>> EnumRegistryValues(HiveView hive, std::wstring_view keyName);

    RegData GetRegistryValue(std::wstring_view valueName, const RegData& defaultValue = {});
    RegData GetRegistryValue2(HiveView hive, std::wstring_view keyName, std::wstring_view valueName,
                              const RegData& defaultValue = {});
    // Raises error 13 when a DWORD is asked of a text that is no number.
    bool SetRegistryValue(std::wstring_view valueName, const RegData& value, std::uint32_t valueType);

    // Another computer's registry; "Error!" when it cannot be reached.
    RegData ReadRemoteRegistryValue(std::wstring_view computer, Hive hive, std::wstring_view valueName,
                                    const std::wstring* keyPath = nullptr);
    bool WriteRemoteRegistryValue(std::wstring_view computer, Hive hive, std::wstring_view valueName,
                                  const RegData& value, std::uint32_t valueType, const std::wstring* keyPath = nullptr);

    // Cuts the text at its first NUL, in place, and returns it.
    static std::wstring TrimNull(std::wstring& text);
    // The type of the value, 0 when the key or the value is missing.
    std::uint32_t DataType(std::wstring_view valueName);

    // The key the property-based members work on, normalised.
    std::wstring currentKey() const;

private:
    RegData query(RegistryStore& store, HiveView hive, std::wstring_view path, std::wstring_view name,
                  const RegData& defaultValue, bool expand);
    static bool encode(const RegData& value, std::uint32_t type, RawValue& out);

    RegistryStore& store_;
};

}  // namespace kelva::setup
