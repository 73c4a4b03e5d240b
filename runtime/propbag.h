#pragma once
// The property bag a control persists itself into, and the values it holds.
//
// Names match without regard to letter case. A write carries the property's default and stores
// nothing when the value equals it, so a stored window holds only what differs from a fresh control.
// A key written twice keeps the later value; a later write that equals its default does not remove
// the earlier one (the earlier write still describes the control).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelva::rt {

// A font as a control persists and compares it; weight 400 is regular, 700 bold.
struct FontDesc {
    std::wstring name = L"MS Sans Serif";
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    std::int16_t charset = 0;
    bool operator==(const FontDesc&) const = default;
};

// A picture as stored: the bytes of a BMP file; empty means no picture.
struct PictureData {
    std::vector<std::uint8_t> bmp;
    bool empty() const { return bmp.empty(); }
    bool operator==(const PictureData&) const = default;
};

using PropValue = std::variant<bool, std::int32_t, double, std::wstring, FontDesc, PictureData>;

bool sameName(std::wstring_view a, std::wstring_view b);

// Conversions a read applies to a stored value of another type, as the original runtime's variant
// assignment does; a value that does not convert raises error 13.
bool asBool(const PropValue& v);
std::int32_t asLong(const PropValue& v);
double asDouble(const PropValue& v);
std::wstring asString(const PropValue& v);
FontDesc asFont(const PropValue& v);  // a text is a font of that name
PictureData asPicture(const PropValue& v);

class PropertyBag {
public:
    struct Entry {
        std::wstring name;
        PropValue value;
    };

    // Stores value unless it equals def (compared after converting def to the value's type).
    void write(std::wstring_view name, const PropValue& value, const PropValue& def);
    // Stores value unconditionally (a property without a default).
    void write(std::wstring_view name, const PropValue& value);

    const PropValue* find(std::wstring_view name) const;
    bool contains(std::wstring_view name) const { return find(name) != nullptr; }

    bool readBool(std::wstring_view name, bool def) const;
    std::int32_t readLong(std::wstring_view name, std::int32_t def) const;
    double readDouble(std::wstring_view name, double def) const;
    std::wstring readString(std::wstring_view name, std::wstring_view def) const;
    FontDesc readFont(std::wstring_view name, const FontDesc& def) const;
    PictureData readPicture(std::wstring_view name) const;

    // Entries in the order of their first write.
    const std::vector<Entry>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

private:
    std::vector<Entry> entries_;
};

bool valuesEqual(const PropValue& value, const PropValue& def);

}  // namespace kelva::rt
