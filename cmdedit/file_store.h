#pragma once
// The files the editor reads and rewrites, all text in code page 949. The file operations are the
// steps of a store that a test can make fail one at a time; reading text strictly and replacing
// several files as one transaction are built on those steps.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kelva::cmd {

class FileStore {
public:
    virtual ~FileStore() = default;
    virtual bool exists(const std::filesystem::path& p) = 0;
    // All bytes of the file; nothing when it cannot be opened or gives fewer bytes than it holds.
    virtual std::optional<std::string> readBytes(const std::filesystem::path& p) = 0;
    // A new file holding exactly these bytes, flushed to the disk; false on any failure.
    virtual bool writeNew(const std::filesystem::path& p, const std::string& bytes) = 0;
    // Puts `from` in the place of `to` in one step of the system, replacing a file of that name:
    // at every moment the name holds the old file or the new one, never nothing or a part.
    virtual bool replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // A copy of `from` under the name `to`; fails, touching nothing, when a file of that name is
    // there already.
    virtual bool copyNew(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // A file the user or the system marked read-only: the editor must not replace it.
    virtual bool readOnly(const std::filesystem::path& p) = 0;
    // Deletes the file if it is there; errors are ignored.
    virtual void remove(const std::filesystem::path& p) = 0;

    // The whole text (readText below), nothing when it cannot be read.
    std::optional<std::wstring> read(const std::filesystem::path& p);
    // writeText below.
    bool write(const std::filesystem::path& p, const std::wstring& text);
};

// The real folder.
class DiskFileStore : public FileStore {
public:
    bool exists(const std::filesystem::path& p) override;
    std::optional<std::string> readBytes(const std::filesystem::path& p) override;
    bool writeNew(const std::filesystem::path& p, const std::string& bytes) override;
    bool replace(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool copyNew(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool readOnly(const std::filesystem::path& p) override;
    void remove(const std::filesystem::path& p) override;

protected:
    // One read of the open file into `into`; the number of bytes it gave.
    virtual std::size_t readSome(std::FILE* f, char* into, std::size_t size);
};

// Why a text could not be read.
enum class ReadError { None, Unreadable, Empty, NotCp949 };
struct TextRead {
    std::wstring text;
    ReadError error = ReadError::None;
    bool ok() const { return error == ReadError::None; }
};
// The whole file decoded from code page 949, refusing bytes that are not valid there (a UTF-8
// file, say) rather than turning them into "?" that a rewrite would then store.
TextRead readText(FileStore& files, const std::filesystem::path& p);
// What the user is told about a failed read of the file.
std::wstring readErrorMessage(const std::filesystem::path& p, ReadError e);

// New contents for several files, replaced as one: every new content is written to a temporary
// file beside its target and flushed before any target is touched; then each target is copied to
// a backup under a name no file has yet, and its temporary file takes its place in one step. When
// any step fails, every target already replaced is put back from its backup (again in one step)
// and the temporary files are removed, so the files are all old or all new. A target that cannot
// be put back keeps its new text, and its backup stays where it is and is named in the result.
struct NewContent {
    std::filesystem::path target;
    std::string bytes;
};
struct ReplaceFailure {
    std::filesystem::path file;  // the target whose step failed
    struct Kept {
        std::filesystem::path target, backup;  // a target not put back, and where its old text is
    };
    std::vector<Kept> notPutBack;
};
// Nothing when all were replaced.
std::optional<ReplaceFailure> replaceAll(FileStore& files, const std::vector<NewContent>& contents);

// One file replaced the same way: false (the old file untouched) when that failed or the text
// cannot be written in code page 949.
bool writeText(FileStore& files, const std::filesystem::path& p, const std::wstring& text);

}  // namespace kelva::cmd
