#pragma once
// Tab pictures apart from any window: taking pictures from an image list, removing them, and the
// file-open dialog's filter and answer.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tabctl/xtab_logic.h"

namespace kelva::tabctl {

// Gives tab i the picture of image i + 1 of a list. Each picture is fetched before the tab's own is
// replaced, so the first image that cannot be had ends the walk with that tab and every later one
// keeping its picture. fetch(index from 1) answers nothing for no image.
using ImageFetch = std::function<PictureRef(std::int32_t index)>;
void copyTabImages(std::vector<TabRecord>& tabs, const ImageFetch& fetch);

// Index -1 with removeAll clears every tab's picture; otherwise only tab Index (an index outside
// the tabs clears nothing). The caller repaints either way.
void removeTabImages(std::vector<TabRecord>& tabs, std::int32_t index, bool removeAll);

// The filter list of the open-file dialog: descriptions and patterns separated by NULs and ended by
// an empty entry. An empty filter offers "All Files (*.*)" for "*.*"; otherwise each "|" of the
// host's text separates two entries.
std::wstring openFileFilter(std::wstring_view filter);

// The size of the dialog's file buffer in characters (the path it can answer, with its NUL).
inline constexpr std::size_t kFileBufferChars = 255;

// The chosen path out of the dialog's file buffer: up to the first NUL, without trailing blanks.
std::wstring chosenPath(const wchar_t* buffer, std::size_t chars);

}  // namespace kelva::tabctl
