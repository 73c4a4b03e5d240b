#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/errors.h"
#include "preview/filesource.h"

namespace kelva::preview {

namespace {
class PosixFile final : public ByteSource {
public:
    PosixFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::uint64_t size() const override { return size_; }
    void read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) raise(err::InputPastEnd);
            done += static_cast<std::size_t>(n);
        }
    }

private:
    int fd_;
    std::uint64_t size_;
};
}  // namespace

std::unique_ptr<ByteSource> openFileSource(const std::filesystem::path& path) {
    if (path.empty()) raise(err::PathFileAccess);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) raise(std::filesystem::exists(path.parent_path().empty() ? "." : path.parent_path()) ? err::FileNotFound : err::PathNotFound);
        raise(err::PathFileAccess);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        raise(err::PathFileAccess);
    }
    return std::make_unique<PosixFile>(fd, static_cast<std::uint64_t>(st.st_size));
}

}  // namespace kelva::preview
