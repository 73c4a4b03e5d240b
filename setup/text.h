#pragma once
// Small text helpers the registrar shares: case folding for the comparisons Windows makes without
// regard to case, and splitting of key paths.
#include <string>
#include <string_view>
#include <vector>

namespace kelva::setup {

// Lower case for the letters whose case Windows folds in names and paths we compare: ASCII and
// Latin-1. Korean text has no case and passes unchanged.
std::wstring lowerText(std::wstring_view text);
bool equalsNoCase(std::wstring_view a, std::wstring_view b);
bool containsNoCase(std::wstring_view haystack, std::wstring_view needle);
bool startsWithNoCase(std::wstring_view text, std::wstring_view prefix);

// The non-empty components of a key path: repeated, leading and trailing backslashes vanish.
std::vector<std::wstring> keyPathParts(std::wstring_view path);
// The same components joined with one backslash each.
std::wstring normalizeKeyPath(std::wstring_view path);

}  // namespace kelva::setup
