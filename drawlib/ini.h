#pragma once
// INI file access through the profile functions, every text crossing them as code page 949.
#include <optional>
#include <string>
#include <string_view>

namespace kelva::draw::ini {

// Without a value (a caller's null string) the profile function deletes the key.
bool writeValue(std::wstring_view path, std::wstring_view section, std::wstring_view key,
                std::optional<std::wstring_view> value);
bool deleteSection(std::wstring_view section, std::wstring_view path);
bool deleteKey(std::wstring_view section, std::wstring_view key, std::wstring_view path);
// The value of the key, cut to the 254 bytes of code page 949 text a 255-byte buffer holds (never
// in the middle of a character); `fallback` when the key is missing or its value is empty.
std::wstring readValue(std::wstring_view path, std::wstring_view section, std::wstring_view key,
                       std::wstring_view fallback);

// The longest start of code page 949 bytes that fits in `limit` bytes without splitting a character.
std::string cutCp949(std::string_view bytes, std::size_t limit);

}  // namespace kelva::draw::ini
