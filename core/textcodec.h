#pragma once
// Text crossing the Windows API as ANSI is code page 949; AutoCAD's customization file is UTF-8.
// Inside, text is std::wstring. Strict conversions reject invalid input; lenient ones replace it
// (U+FFFD when decoding, "?" when encoding) the way the system's converters do.
#include <optional>
#include <string>
#include <string_view>

namespace kelva {

enum class Codec { Cp949, Utf8 };

std::optional<std::wstring> decodeStrict(Codec codec, std::string_view bytes);
std::wstring decodeLenient(Codec codec, std::string_view bytes);
std::optional<std::string> encodeStrict(Codec codec, std::wstring_view text);
std::string encodeLenient(Codec codec, std::wstring_view text);

}  // namespace kelva
