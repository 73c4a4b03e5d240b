#pragma once
#include <string_view>

#include "setup/file_store.h"

namespace kelva::setup {

// Replaces the file `path` by `bytes` so that at every moment `path` holds either its old or its
// new content whole: the bytes go to a new file beside it, which then takes its place; the old
// content becomes `backup`. A missing `path` is simply created. False when the file kept its old
// content (no temporary file is left behind).
bool replaceFileContents(FileStore& files, std::wstring_view path, std::string_view bytes, std::wstring_view backup);

}  // namespace kelva::setup
