#pragma once
// A drawing file as a byte source. The file is opened for reading with every kind of sharing, so a
// drawing that AutoCAD holds open (for writing too) can still be previewed; nothing is read until
// the reader asks for a range.
#include <filesystem>
#include <memory>

#include "preview/dwgpreview.h"

namespace kelva::preview {

// Throws VbError: 53 file not found, 76 path not found, 75 for a path that cannot be opened
// (empty, a folder, access refused), 62 when a read comes back short.
std::unique_ptr<ByteSource> openFileSource(const std::filesystem::path& path);

}  // namespace kelva::preview
