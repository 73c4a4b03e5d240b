#include "setup/cregistry.h"

#include "core/errors.h"
#include "core/values.h"
#include "setup/text.h"

namespace kelva::setup {

namespace {

// A text value as stored, less the terminating NULs actually there: a value written without its
// terminator keeps its last character.
std::wstring storedText(const RawValue& v) {
    std::wstring t = fromUtf16Bytes(v.data.data(), v.data.size());
    while (!t.empty() && t.back() == L'\0') t.pop_back();
    return t;
}

std::int32_t storedLong(const RawValue& v) {
    // A short DWORD is taken for what it holds, never read past its end.
    std::uint32_t n = 0;
    for (size_t i = 0; i < v.data.size() && i < 4; ++i) n |= static_cast<std::uint32_t>(v.data[i]) << (8 * i);
    return static_cast<std::int32_t>(n);
}

std::wstring hexBytes(const std::vector<std::uint8_t>& bytes) {
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i) out += L' ';
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::wstring joinPath(std::wstring_view a, std::wstring_view b) {
    std::wstring p(a);
    p += L'\\';
    p += b;
    return normalizeKeyPath(p);
}

}  // namespace

std::wstring dataText(const RegData& data) {
    if (const auto* t = std::get_if<std::wstring>(&data)) return *t;
    if (const auto* n = std::get_if<std::int32_t>(&data)) return std::to_wstring(*n);
    return {};
}

std::wstring cRegistry::currentKey() const { return joinPath(KeyRoot, Subkey); }

bool cRegistry::KeyExists() { return store_.openForRead(hkey, currentKey()) == regerr::Ok; }

std::wstring cRegistry::CreateKey() { return CreateKey(Subkey); }

std::wstring cRegistry::CreateKey(std::wstring_view keyName) {
    return store_.createKey(hkey, joinPath(KeyRoot, keyName)) == regerr::Ok ? L"0" : L"";
}

long cRegistry::DeleteKey(std::wstring_view keyName) { return store_.deleteKey(hkey, joinPath(KeyRoot, keyName)); }

long cRegistry::DeleteValue(std::wstring_view valueName) { return store_.deleteValue(hkey, currentKey(), valueName); }

std::vector<std::wstring> cRegistry::EnumRegistryKeys(HiveView hive, std::wstring_view keyName) {
    std::vector<std::wstring> names;
    if (store_.enumKeys(hive, normalizeKeyPath(keyName), names) != regerr::Ok) return {};
    for (auto& n : names) TrimNull(n);
    return names;
}

std::vector<std::pair<std::wstring, RegData>> cRegistry::EnumRegistryValues(HiveView hive, std::wstring_view keyName) {
    std::vector<NamedValue> raw;
    std::vector<std::pair<std::wstring, RegData>> out;
    if (store_.enumValues(hive, normalizeKeyPath(keyName), raw) != regerr::Ok) return out;
    for (auto& v : raw) {
        RegData data;
        switch (v.value.type) {
        case regtype::Sz:
            data = storedText(v.value);
            break;
        case regtype::ExpandSz: {
            std::wstring t = storedText(v.value);
            t = store_.expandEnvironment(t);
            data = TrimNull(t);
            break;
        }
        case regtype::Binary:
            data = hexBytes(v.value.data);
            break;
        case regtype::Dword:
            data = storedLong(v.value);
            break;
        case regtype::MultiSz: {
            std::wstring t = storedText(v.value);
            for (auto& c : t)
                if (c == L'\0') c = L',';
            data = t;
            break;
        }
        default:
            break;
        }
        out.emplace_back(std::move(v.name), std::move(data));
    }
    return out;
}

RegData cRegistry::query(RegistryStore& store, HiveView hive, std::wstring_view path, std::wstring_view name,
                         const RegData& defaultValue, bool expand) {
    RawValue v;
    if (store.queryValue(hive, path, name, v) != regerr::Ok) return defaultValue;
    switch (v.type) {
    case regtype::Sz:
    case regtype::ExpandSz: {
        if (v.data.empty()) return defaultValue;
        std::wstring t = storedText(v);
        if (expand && v.type == regtype::ExpandSz) t = store.expandEnvironment(t);
        return t;
    }
    case regtype::Binary:
        return v.data;
    case regtype::Dword:
        if (v.data.empty()) return defaultValue;
        return storedLong(v);
    case regtype::MultiSz: {
        std::wstring t = storedText(v);
        if (t.empty() || t.front() == L'\0') return defaultValue;
        return t;
    }
    default:
        return defaultValue;
    }
}

RegData cRegistry::GetRegistryValue(std::wstring_view valueName, const RegData& defaultValue) {
    return query(store_, hkey, currentKey(), valueName, defaultValue, false);
}

RegData cRegistry::GetRegistryValue2(HiveView hive, std::wstring_view keyName, std::wstring_view valueName,
                                     const RegData& defaultValue) {
    return query(store_, hive, normalizeKeyPath(keyName), valueName, defaultValue, false);
}

bool cRegistry::encode(const RegData& value, std::uint32_t type, RawValue& out) {
    out.type = type;
    switch (type) {
    case regtype::Sz:
    case regtype::ExpandSz:
    case regtype::MultiSz: {
        if (std::holds_alternative<std::vector<std::uint8_t>>(value)) raise(err::TypeMismatch);
        std::wstring t = dataText(value);
        out.data = utf16Bytes(t);
        out.data.insert(out.data.end(), {0, 0});
        // A multi-string ends with an empty item: add it when the text does not carry it.
        if (type == regtype::MultiSz && (t.empty() || t.back() != L'\0')) out.data.insert(out.data.end(), {0, 0});
        return true;
    }
    case regtype::Binary:
        if (const auto* b = std::get_if<std::vector<std::uint8_t>>(&value)) {
            out.data = *b;
            return true;
        }
        raise(err::TypeMismatch);
    case regtype::Dword: {
        std::int32_t n = 0;
        if (const auto* i = std::get_if<std::int32_t>(&value))
            n = *i;
        else if (const auto* t = std::get_if<std::wstring>(&value))
            n = toInt32(parseDouble(*t));
        else if (std::holds_alternative<std::monostate>(value))
            n = 0;
        else
            raise(err::TypeMismatch);
        const auto u = static_cast<std::uint32_t>(n);
        out.data = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u >> 16),
                    static_cast<std::uint8_t>(u >> 24)};
        return true;
    }
    default:
        return false;
    }
}

bool cRegistry::SetRegistryValue(std::wstring_view valueName, const RegData& value, std::uint32_t valueType) {
    if (store_.openForRead(hkey, currentKey()) != regerr::Ok) return false;
    RawValue raw;
    if (!encode(value, valueType, raw)) return true;  // a type this class does not write: nothing to do
    return store_.setValue(hkey, currentKey(), valueName, raw) == regerr::Ok;
}

RegData cRegistry::ReadRemoteRegistryValue(std::wstring_view computer, Hive hive, std::wstring_view valueName,
                                           const std::wstring* keyPath) {
    auto remote = store_.connect(computer, hive);
    if (!remote) return std::wstring(L"Error!");
    const std::wstring path = keyPath ? normalizeKeyPath(*keyPath) : currentKey();
    return query(*remote, hive, path, valueName, {}, true);
}

bool cRegistry::WriteRemoteRegistryValue(std::wstring_view computer, Hive hive, std::wstring_view valueName,
                                         const RegData& value, std::uint32_t valueType, const std::wstring* keyPath) {
    auto remote = store_.connect(computer, hive);
    if (!remote) return false;
    const std::wstring path = keyPath ? normalizeKeyPath(*keyPath) : currentKey();
    if (remote->openForRead(hive, path) != regerr::Ok) return false;
    RawValue raw;
    if (!encode(value, valueType, raw)) return true;
    return remote->setValue(hive, path, valueName, raw) == regerr::Ok;
}

std::wstring cRegistry::TrimNull(std::wstring& text) {
    const size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.resize(nul);
    return text;
}

std::uint32_t cRegistry::DataType(std::wstring_view valueName) {
    RawValue v;
    if (store_.queryValue(hkey, currentKey(), valueName, v) != regerr::Ok) return 0;
    return v.type;
}

}  // namespace kelva::setup
