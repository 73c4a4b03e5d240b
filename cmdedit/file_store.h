#pragma once
// The files the editor reads and rewrites, all text in code page 949. Rewrites go to a temporary
// file beside the target that then replaces it, so a failed write leaves the old file whole.
#include <filesystem>
#include <optional>
#include <string>

namespace kelva::cmd {

class FileStore {
public:
    virtual ~FileStore() = default;
    virtual bool exists(const std::filesystem::path& p) = 0;
    // The whole file as text; nothing when it cannot be read.
    virtual std::optional<std::wstring> read(const std::filesystem::path& p) = 0;
    // Replaces the file with the text; false (the old file untouched) when that failed.
    virtual bool write(const std::filesystem::path& p, const std::wstring& text) = 0;
    // Deletes the file if it is there; errors are ignored.
    virtual void remove(const std::filesystem::path& p) = 0;
};

// The real folder.
class DiskFileStore : public FileStore {
public:
    bool exists(const std::filesystem::path& p) override;
    std::optional<std::wstring> read(const std::filesystem::path& p) override;
    bool write(const std::filesystem::path& p, const std::wstring& text) override;
    void remove(const std::filesystem::path& p) override;
};

// Writes bytes to a temporary file in p's folder and renames it over p. The temporary file is
// removed on every failure.
bool writeFileAtomic(const std::filesystem::path& p, const std::string& bytes);

}  // namespace kelva::cmd
