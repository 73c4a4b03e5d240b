#pragma once
// Access keys of captions: "&" marks the next character as the key, "&&" shows one "&".
#include <optional>
#include <string>
#include <string_view>

namespace kelva::rt {

// The access key a caption marks, lower-cased; nothing when it marks none.
std::optional<wchar_t> accessKeyOf(std::wstring_view caption);

// The caption as shown: markers removed, "&&" shown as "&".
std::wstring captionText(std::wstring_view caption);

}  // namespace kelva::rt
