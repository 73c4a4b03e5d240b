#pragma once
// Command names and file texts compare without regard to case and names are stored in upper case.
// Command names are ASCII; Korean has no case, so only the ASCII letters fold.
#include <string>
#include <string_view>

namespace kelva::cmd {

std::wstring upper(std::wstring_view s);
std::wstring lower(std::wstring_view s);
bool equalsNoCase(std::wstring_view a, std::wstring_view b);
// Position of the first match of `find` at or after `from`, ignoring case; npos when none.
std::size_t findNoCase(std::wstring_view text, std::wstring_view find, std::size_t from = 0);
bool containsNoCase(std::wstring_view text, std::wstring_view find);
// Every match of `find` replaced, left to right, without overlap; the replacement is never searched.
std::wstring replaceText(std::wstring_view text, std::wstring_view find, std::wstring_view replacement);
// Blanks (spaces only) removed at both ends.
std::wstring trimBlanks(std::wstring_view s);

}  // namespace kelva::cmd
