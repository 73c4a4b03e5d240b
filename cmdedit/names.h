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

// A command name as typed, pasted or imported, made ready for the suite's files: trimmed of blanks
// at both ends, and refused (with the message the user is shown) when it is empty, holds a
// character that would break the LISP, menu or command-table line it is written into, or cannot
// be written in code page 949.
struct CheckedName {
    std::wstring name;
    std::wstring error;  // empty when the name is good
    bool ok() const { return error.empty(); }
};
CheckedName checkName(std::wstring_view typed);
// A character that may stand in a command name (code page 949 aside).
bool nameCharAllowed(wchar_t c);
extern const wchar_t* const kNoNameMessage;
extern const wchar_t* const kBadCharMessage;

}  // namespace kelva::cmd
