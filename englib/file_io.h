#pragma once
// Files the library writes are built in a temporary file beside the target and replace it only when
// complete, so a failed or abandoned write never damages what was there. Failures raise the runtime's
// file errors: 52 bad file name, 53 file not found, 61 disk full, 75 path/file access, 76 path not found.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kelva::eng {

inline constexpr int kBadFileName = 52;
inline constexpr int kDiskFull = 61;
inline constexpr int kPathNotFound = 76;

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Starts a new file that will replace `target` on commit. Wildcards and empty names raise 52.
    void open(const std::filesystem::path& target);
    bool isOpen() const { return handle_ != kNoHandle; }
    void write(const void* data, size_t size);
    // Writes what is buffered, closes, and puts the file in place of the target.
    void commit();
    // Closes and deletes the temporary file; the target stays as it was.
    void abandon() noexcept;

private:
    void flush();
#ifdef _WIN32
    using Handle = void*;
    static inline Handle const kNoHandle = reinterpret_cast<Handle>(static_cast<intptr_t>(-1));
#else
    using Handle = int;
    static constexpr Handle kNoHandle = -1;
#endif
    Handle handle_ = kNoHandle;
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::vector<unsigned char> buffer_;
};

class InputFile {
public:
    explicit InputFile(const std::filesystem::path& path);  // raises 53, 76 or 75
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    std::uint64_t size() const { return size_; }
    // Reads exactly `size` bytes (62 input past end when the file is shorter).
    void read(void* data, size_t size);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int handle_ = -1;
#endif
    std::uint64_t size_ = 0;
};

// True when the name holds characters that a directory search treats as wildcards.
bool hasWildcards(const std::filesystem::path& path);

}  // namespace kelva::eng
