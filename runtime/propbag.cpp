#include "runtime/propbag.h"

#include <cwctype>

#include "core/errors.h"
#include "core/values.h"

namespace kelva::rt {

bool sameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

namespace {
template <class... F>
struct Overload : F... {
    using F::operator()...;
};
template <class... F>
Overload(F...) -> Overload<F...>;
}  // namespace

std::int32_t asLong(const PropValue& v) {
    return std::visit(Overload{
                          [](bool b) -> std::int32_t { return b ? -1 : 0; },
                          [](std::int32_t i) -> std::int32_t { return i; },
                          [](double d) -> std::int32_t { return toInt32(d); },
                          [](const std::wstring& s) -> std::int32_t { return toInt32(parseDouble(s)); },
                          [](const auto&) -> std::int32_t { raise(err::TypeMismatch); },
                      },
                      v);
}

bool asBool(const PropValue& v) {
    if (const auto* s = std::get_if<std::wstring>(&v)) {
        if (sameName(*s, L"True")) return true;
        if (sameName(*s, L"False")) return false;
    }
    if (const auto* d = std::get_if<double>(&v)) return *d != 0.0;
    return asLong(v) != 0;
}

double asDouble(const PropValue& v) {
    return std::visit(Overload{
                          [](bool b) -> double { return b ? -1.0 : 0.0; },
                          [](std::int32_t i) -> double { return i; },
                          [](double d) -> double { return d; },
                          [](const std::wstring& s) -> double { return parseDouble(s); },
                          [](const auto&) -> double { raise(err::TypeMismatch); },
                      },
                      v);
}

std::wstring asString(const PropValue& v) {
    return std::visit(Overload{
                          [](bool b) -> std::wstring { return b ? L"True" : L"False"; },
                          [](std::int32_t i) -> std::wstring { return std::to_wstring(i); },
                          [](double d) -> std::wstring { return formatDouble(d); },
                          [](const std::wstring& s) -> std::wstring { return s; },
                          [](const FontDesc& f) -> std::wstring { return f.name; },
                          [](const PictureData&) -> std::wstring { raise(err::TypeMismatch); },
                      },
                      v);
}

FontDesc asFont(const PropValue& v) {
    if (const auto* f = std::get_if<FontDesc>(&v)) return *f;
    if (const auto* s = std::get_if<std::wstring>(&v)) {
        FontDesc f;
        f.name = *s;
        return f;
    }
    raise(err::TypeMismatch);
}

PictureData asPicture(const PropValue& v) {
    if (const auto* p = std::get_if<PictureData>(&v)) return *p;
    raise(err::TypeMismatch);
}

bool valuesEqual(const PropValue& value, const PropValue& def) {
    try {
        return std::visit(Overload{
                              [&](bool b) { return b == asBool(def); },
                              [&](std::int32_t i) { return i == asLong(def); },
                              [&](double d) { return d == asDouble(def); },
                              [&](const std::wstring& s) { return s == asString(def); },
                              [&](const FontDesc& f) { return f == asFont(def); },
                              [&](const PictureData& p) { return p == asPicture(def); },
                          },
                          value);
    } catch (const VbError&) {
        return false;  // a default of another kind never equals the value
    }
}

void PropertyBag::write(std::wstring_view name, const PropValue& value, const PropValue& def) {
    if (valuesEqual(value, def)) return;
    write(name, value);
}

void PropertyBag::write(std::wstring_view name, const PropValue& value) {
    for (auto& e : entries_) {
        if (sameName(e.name, name)) {
            e.value = value;
            return;
        }
    }
    entries_.push_back({std::wstring(name), value});
}

const PropValue* PropertyBag::find(std::wstring_view name) const {
    for (const auto& e : entries_)
        if (sameName(e.name, name)) return &e.value;
    return nullptr;
}

bool PropertyBag::readBool(std::wstring_view name, bool def) const {
    const auto* v = find(name);
    return v ? asBool(*v) : def;
}
std::int32_t PropertyBag::readLong(std::wstring_view name, std::int32_t def) const {
    const auto* v = find(name);
    return v ? asLong(*v) : def;
}
double PropertyBag::readDouble(std::wstring_view name, double def) const {
    const auto* v = find(name);
    return v ? asDouble(*v) : def;
}
std::wstring PropertyBag::readString(std::wstring_view name, std::wstring_view def) const {
    const auto* v = find(name);
    return v ? asString(*v) : std::wstring(def);
}
FontDesc PropertyBag::readFont(std::wstring_view name, const FontDesc& def) const {
    const auto* v = find(name);
    return v ? asFont(*v) : def;
}
PictureData PropertyBag::readPicture(std::wstring_view name) const {
    const auto* v = find(name);
    return v ? asPicture(*v) : PictureData{};
}

}  // namespace kelva::rt
