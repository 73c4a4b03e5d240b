#pragma once
// The text work of the file dialog class: the filter in the form the dialogs take, and the names
// the dialog hands back (one path, or a folder followed by the names of a multiple selection).
#include <string>
#include <string_view>
#include <vector>

namespace kelva::cmd {

// Pieces separated by "|" (or already by NUL), each ended by NUL, and one more NUL at the end.
std::wstring filterApiForm(std::wstring_view filter);

// The file buffer up to the first double NUL looked for from `from` on (the whole buffer when none).
std::wstring takeUntilDoubleNul(std::wstring_view buffer, std::size_t from);

// One path for a single selection; for several pieces, folder + "\" + each name, a root folder's
// ":\\" made ":\"; an empty name ends the list with the folder alone.
std::vector<std::wstring> parseFileNames(std::wstring_view fileName);

}  // namespace kelva::cmd
