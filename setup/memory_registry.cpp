#include "setup/memory_registry.h"

#include "setup/text.h"

namespace kelva::setup {

namespace {
std::wstring joined(const std::vector<std::wstring>& parts) {
    std::wstring p;
    for (const auto& part : parts) p += part + L"\\";
    return p;
}
}  // namespace

struct MemoryRegistry::Key {
    std::wstring name;
    std::vector<std::unique_ptr<Key>> children;
    std::vector<NamedValue> values;

    Key* child(std::wstring_view n) const {
        for (const auto& c : children)
            if (equalsNoCase(c->name, n)) return c.get();
        return nullptr;
    }
    NamedValue* value(std::wstring_view n) {
        for (auto& v : values)
            if (equalsNoCase(v.name, n)) return &v;
        return nullptr;
    }
    void dump(std::wstring& out, const std::wstring& prefix) const {
        out += L"[" + prefix + L"]\n";
        for (const auto& v : values) {
            out += L"  " + v.name + L" (" + std::to_wstring(v.value.type) + L") =";
            for (auto b : v.value.data) out += L" " + std::to_wstring(b);
            out += L"\n";
        }
        for (const auto& c : children) c->dump(out, prefix + L"\\" + c->name);
    }
};

MemoryRegistry::MemoryRegistry() {
    for (auto& r : roots_) r = std::make_unique<Key>();
    roots_[0]->name = L"HKEY_CURRENT_USER";
    roots_[1]->name = L"HKEY_LOCAL_MACHINE";
}

MemoryRegistry::~MemoryRegistry() = default;

std::vector<std::wstring> MemoryRegistry::storedPath(HiveView root, std::wstring_view path) {
    auto parts = keyPathParts(path);
    if (root.hive == Hive::LocalMachine && root.view == View::Bits32 && !parts.empty() &&
        equalsNoCase(parts[0], L"Software") && !(parts.size() > 1 && equalsNoCase(parts[1], L"Wow6432Node")))
        parts.insert(parts.begin() + 1, L"Wow6432Node");
    return parts;
}

MemoryRegistry::Key* MemoryRegistry::find(HiveView root, std::wstring_view path) const {
    Key* k = roots_[root.hive == Hive::CurrentUser ? 0 : 1].get();
    for (const auto& part : storedPath(root, path)) {
        k = k->child(part);
        if (!k) return nullptr;
    }
    return k;
}

std::wstring MemoryRegistry::comparedPath(HiveView root, std::wstring_view path) {
    return lowerText(normalizeKeyPath(joined(storedPath(root, path))));
}

bool MemoryRegistry::denied(HiveView root, std::wstring_view path) const {
    const std::wstring p = comparedPath(root, path);
    for (const auto& [h, d] : denied_) {
        if (h != root.hive) continue;
        if (p == d || (p.size() > d.size() && p.compare(0, d.size(), d) == 0 && p[d.size()] == L'\\')) return true;
    }
    return false;
}

long MemoryRegistry::openForRead(HiveView root, std::wstring_view path) {
    return find(root, path) ? regerr::Ok : regerr::FileNotFound;
}

long MemoryRegistry::createKey(HiveView root, std::wstring_view path) {
    if (find(root, path)) return regerr::Ok;
    if (denied(root, path)) return regerr::AccessDenied;
    Key* k = roots_[root.hive == Hive::CurrentUser ? 0 : 1].get();
    for (const auto& part : storedPath(root, path)) {
        Key* c = k->child(part);
        if (!c) {
            k->children.push_back(std::make_unique<Key>());
            c = k->children.back().get();
            c->name = part;
        }
        k = c;
    }
    return regerr::Ok;
}

long MemoryRegistry::deleteKey(HiveView root, std::wstring_view path) {
    auto parts = storedPath(root, path);
    if (parts.empty()) return regerr::AccessDenied;
    if (denied(root, path)) return regerr::AccessDenied;
    const std::wstring name = parts.back();
    parts.pop_back();
    Key* parent = find(root.hive, joined(parts));  // the stored path already: no view to apply
    if (!parent) return regerr::FileNotFound;
    for (auto it = parent->children.begin(); it != parent->children.end(); ++it) {
        if (!equalsNoCase((*it)->name, name)) continue;
        if (!(*it)->children.empty()) return regerr::AccessDenied;  // as the platform refuses
        parent->children.erase(it);
        return regerr::Ok;
    }
    return regerr::FileNotFound;
}

long MemoryRegistry::deleteValue(HiveView root, std::wstring_view path, std::wstring_view name) {
    Key* k = find(root, path);
    if (!k) return regerr::FileNotFound;
    if (denied(root, path)) return regerr::AccessDenied;
    for (auto it = k->values.begin(); it != k->values.end(); ++it) {
        if (equalsNoCase(it->name, name)) {
            k->values.erase(it);
            return regerr::Ok;
        }
    }
    return regerr::FileNotFound;
}

long MemoryRegistry::enumKeys(HiveView root, std::wstring_view path, std::vector<std::wstring>& out) {
    out.clear();
    Key* k = find(root, path);
    if (!k) return regerr::FileNotFound;
    for (const auto& c : k->children) out.push_back(c->name);
    return regerr::Ok;
}

long MemoryRegistry::enumValues(HiveView root, std::wstring_view path, std::vector<NamedValue>& out) {
    out.clear();
    Key* k = find(root, path);
    if (!k) return regerr::FileNotFound;
    out = k->values;
    return regerr::Ok;
}

long MemoryRegistry::queryValue(HiveView root, std::wstring_view path, std::wstring_view name, RawValue& out) {
    Key* k = find(root, path);
    if (!k) return regerr::FileNotFound;
    NamedValue* v = k->value(name);
    if (!v) return regerr::FileNotFound;
    out = v->value;
    return regerr::Ok;
}

long MemoryRegistry::setValue(HiveView root, std::wstring_view path, std::wstring_view name, const RawValue& value) {
    Key* k = find(root, path);
    if (!k) return regerr::FileNotFound;
    if (denied(root, path)) return regerr::AccessDenied;
    if (NamedValue* v = k->value(name))
        v->value = value;
    else
        k->values.push_back(NamedValue{std::wstring(name), value});
    return regerr::Ok;
}

std::wstring MemoryRegistry::expandEnvironment(std::wstring_view text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t a = text.find(L'%', i);
        if (a == std::wstring_view::npos) break;
        const size_t b = text.find(L'%', a + 1);
        if (b == std::wstring_view::npos) break;
        out.append(text.substr(i, a - i));
        const std::wstring name = lowerText(text.substr(a + 1, b - a - 1));
        auto it = environment_.find(name);
        if (it != environment_.end()) {
            out += it->second;
            i = b + 1;
        } else {
            out.append(text.substr(a, b - a));  // unknown references stay, as the platform leaves them
            i = b;
        }
    }
    out.append(text.substr(i));
    return out;
}

std::unique_ptr<RegistryStore> MemoryRegistry::connect(std::wstring_view, Hive) { return nullptr; }

void MemoryRegistry::setText(HiveView root, std::wstring_view path, std::wstring_view name, std::wstring_view text,
                             std::uint32_t type) {
    auto bytes = utf16Bytes(text);
    bytes.push_back(0);
    bytes.push_back(0);
    setRaw(root, path, name, RawValue{type, std::move(bytes)});
}

void MemoryRegistry::setDword(HiveView root, std::wstring_view path, std::wstring_view name, std::uint32_t value) {
    setRaw(root, path, name,
           RawValue{regtype::Dword,
                    {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                     static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}});
}

void MemoryRegistry::setRaw(HiveView root, std::wstring_view path, std::wstring_view name, RawValue value) {
    createKey(root, path);
    Key* k = find(root, path);
    if (NamedValue* v = k->value(name))
        v->value = std::move(value);
    else
        k->values.push_back(NamedValue{std::wstring(name), std::move(value)});
}

void MemoryRegistry::denyWritesBelow(HiveView root, std::wstring_view path) {
    denied_.emplace_back(root.hive, comparedPath(root, path));
}

void MemoryRegistry::setEnvironment(std::wstring name, std::wstring value) {
    environment_[lowerText(name)] = std::move(value);
}

std::wstring MemoryRegistry::dump() const {
    std::wstring out;
    roots_[0]->dump(out, roots_[0]->name);
    roots_[1]->dump(out, roots_[1]->name);
    return out;
}

}  // namespace kelva::setup
