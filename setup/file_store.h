#pragma once
// The file operations the registrar needs, so that the rewrite of the customization file can be
// run against the real file system or against one that fails at a chosen step.
#include <string>
#include <string_view>

namespace kelva::setup {

class FileStore {
public:
    virtual ~FileStore() = default;
    // A file that exists and is no folder (hidden and system files included).
    virtual bool isFile(std::wstring_view path) = 0;
    // All bytes of a file; false when it cannot be opened or read.
    virtual bool readAll(std::wstring_view path, std::string& bytes) = 0;
    // Makes a new file (never overwriting one) holding exactly these bytes, flushed to disk;
    // false on any failure, which may leave a partial file behind.
    virtual bool writeNew(std::wstring_view path, std::string_view bytes) = 0;
    // Puts `replacement` in the place of `target`, the old `target` becoming `backup` (an existing
    // backup is replaced). On failure every file keeps its name where the platform allows it.
    virtual bool replace(std::wstring_view target, std::wstring_view replacement, std::wstring_view backup) = 0;
    virtual bool rename(std::wstring_view from, std::wstring_view to) = 0;
    virtual bool remove(std::wstring_view path) = 0;
    // A name for a new file in the same folder as `path`, not in use now.
    virtual std::wstring tempNameBeside(std::wstring_view path) = 0;
};

}  // namespace kelva::setup
