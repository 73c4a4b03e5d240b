#pragma once
// A stable text picture of a registry tree, to compare the registry before and after a run.
#include <string>

#include "setup/registry_store.h"

namespace kelva::setup::fakes {

inline void dumpTree(RegistryStore& store, Hive hive, const std::wstring& path, std::wstring& out) {
    out += L"[" + path + L"]\n";
    std::vector<NamedValue> values;
    store.enumValues(hive, path, values);
    for (const auto& v : values) {
        out += L"  " + v.name + L" (" + std::to_wstring(v.value.type) + L")";
        for (auto b : v.value.data) out += L" " + std::to_wstring(b);
        out += L"\n";
    }
    std::vector<std::wstring> keys;
    store.enumKeys(hive, path, keys);
    for (const auto& k : keys) dumpTree(store, hive, path.empty() ? k : path + L"\\" + k, out);
}

inline std::wstring dumpTree(RegistryStore& store, Hive hive, const std::wstring& path) {
    std::wstring out;
    dumpTree(store, hive, path, out);
    return out;
}

}  // namespace kelva::setup::fakes
