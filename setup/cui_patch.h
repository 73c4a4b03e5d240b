#pragma once
// The partial-menu line in AutoCAD's main customization file: where it goes and whether it is
// there already. Pure text in, text out.
#include <optional>
#include <string>
#include <string_view>

namespace kelva::setup {

// True when the text already names this partial menu (letter case ignored).
bool namesPartialMenu(std::wstring_view text, std::wstring_view partialName);

// The text with the line "        <PartialMenuFile>name</PartialMenuFile>" added before the first
// "</CommonItems>"; nothing (no change) when the menu is named already or the tag is missing.
std::optional<std::wstring> insertPartialMenu(std::wstring_view text, std::wstring_view partialName);

}  // namespace kelva::setup
