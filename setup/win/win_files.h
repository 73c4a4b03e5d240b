#pragma once
// Files through the wide Win32 functions; the replacement of a file goes through ReplaceFileW.
#include "setup/file_store.h"

namespace kelva::setup {

class WinFiles : public FileStore {
public:
    bool isFile(std::wstring_view path) override;
    bool readAll(std::wstring_view path, std::string& bytes) override;
    bool writeNew(std::wstring_view path, std::string_view bytes) override;
    bool replace(std::wstring_view target, std::wstring_view replacement, std::wstring_view backup) override;
    bool rename(std::wstring_view from, std::wstring_view to) override;
    bool remove(std::wstring_view path) override;
    std::wstring tempNameBeside(std::wstring_view path) override;
};

}  // namespace kelva::setup
