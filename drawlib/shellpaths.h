#pragma once
// The toolbox's path members that need Windows: relative paths, the file search and the shell.
// All go through the wide-character functions, so names outside code page 949 survive.
#include <string>
#include <string_view>

namespace kelva::draw {

// The path of the file `target` relative to the folder `from` (".\" or "..\" first); `target` itself
// when there is none (different drives, or a result that does not fit a path buffer).
std::wstring relativePath(std::wstring_view from, std::wstring_view target);
// The full path of `fileName` found along the folder list `searchPath` (the system's search order
// when empty), or "Err".
std::wstring findFile(std::wstring_view fileName, std::wstring_view searchPath);
// Opens a document or address with its associated program: no parameters, no working folder.
void launchBrowser(std::wstring_view url, int showState);
// Text comparison (-1, 0, 1) without regard to case, by the user's locale.
int compareTextLocale(const std::wstring& a, const std::wstring& b);

}  // namespace kelva::draw
