#pragma once
// Path texts of the toolbox class that need no file system: the drive part of a path and the
// absolute form of a path seen from a base folder.
#include <string>
#include <string_view>

namespace kelva::draw {

// "C:" for a drive path, "\\server\share" for a UNC path, "" when the path names no drive.
std::wstring driveName(std::wstring_view path);
std::wstring absolutePath(std::wstring_view basePath, std::wstring_view convertPath);
// The text up to its first NUL.
std::wstring cutAtNull(std::wstring_view text);

}  // namespace kelva::draw
