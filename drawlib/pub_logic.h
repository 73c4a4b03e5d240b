#pragma once
// The texts clsPub builds and reads on AutoCAD's command line, apart from the COM calls that carry them.
#include <string>
#include <string_view>

namespace kelva::drawlib {

inline constexpr std::wstring_view kNewLine = L"\r\n";
// The prompt of GetPnt when the caller gives none: an empty line, then "점 선택: ".
inline constexpr std::wstring_view kDefaultPointPrompt = L"\r\n점 선택: ";

// What CmdPrompt and GetPnt send: the text on a new line of the command line.
std::wstring onNewLine(std::wstring_view text);
// The major release of AutoCAD: the first two characters of its version text (fewer when it is shorter).
std::wstring majorVersion(std::wstring_view version);
// True when the last prompt ends in "*", as AutoCAD's "*Cancel*" does after the user pressed Esc.
bool endsWithCancelMark(std::wstring_view lastPrompt);

}  // namespace kelva::drawlib
