#include "file_io.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "core/errors.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelva::eng {

namespace {
constexpr size_t kBufferSize = 1 << 16;

std::filesystem::path tempBeside(const std::filesystem::path& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    std::wstring name = L"~" + target.filename().wstring() + L"." + std::to_wstring(pid) + L"." +
                        std::to_wstring(counter.fetch_add(1) + attempt) + L".tmp";
    return target.parent_path() / name;
}

#ifdef _WIN32
[[noreturn]] void raiseLastError() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND: raise(err::FileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH: raise(kPathNotFound);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: raise(kBadFileName);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: raise(kDiskFull);
    default: raise(err::PathFileAccess);
    }
}
#else
[[noreturn]] void raiseErrno(int e) {
    switch (e) {
    case ENOENT: raise(err::FileNotFound);
    case ENOTDIR: raise(kPathNotFound);
    case ENAMETOOLONG: raise(kBadFileName);
    case ENOSPC: raise(kDiskFull);
    default: raise(err::PathFileAccess);
    }
}
#endif
}  // namespace

bool hasWildcards(const std::filesystem::path& path) {
    const std::wstring s = path.wstring();
    return s.find_first_of(L"*?") != std::wstring::npos;
}

OutputFile::~OutputFile() { abandon(); }

void OutputFile::open(const std::filesystem::path& target) {
    abandon();
    if (target.empty() || hasWildcards(target) || !target.has_filename()) raise(kBadFileName);
    const std::filesystem::path absolute = target.is_absolute() ? target : std::filesystem::absolute(target);
    // The target is replaced only on commit; one that could never be replaced (a folder, a read-only
    // file) is refused now, before anything is written for it.
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(absolute.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) raise(err::PathFileAccess);
        // A target another program holds open (a spreadsheet program showing the last sheet) cannot
        // be replaced either: replacing needs the right to delete it.
        const HANDLE probe = CreateFileW(absolute.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) raiseLastError();
        CloseHandle(probe);
    }
#else
    struct stat st {};
    if (::stat(absolute.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0)) raise(err::PathFileAccess);
#endif
    for (unsigned attempt = 0;; ++attempt) {
        temp_ = tempBeside(absolute, attempt);
#ifdef _WIN32
        handle_ = CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ != kNoHandle) break;
        if (GetLastError() == ERROR_FILE_EXISTS && attempt < 100) continue;
        raiseLastError();
#else
        handle_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle_ != kNoHandle) break;
        if (errno == EEXIST && attempt < 100) continue;
        // A missing folder reads as "path not found", as the system reports it.
        raiseErrno(errno == ENOENT ? ENOTDIR : errno);
#endif
    }
    target_ = absolute;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
}

void OutputFile::write(const void* data, size_t size) {
    if (!isOpen()) raise(kBadFileName);
    const auto* p = static_cast<const unsigned char*>(data);
    if (buffer_.size() + size > kBufferSize) flush();
    if (size >= kBufferSize) {
        buffer_.assign(p, p + size);
        flush();
        return;
    }
    buffer_.insert(buffer_.end(), p, p + size);
}

void OutputFile::flush() {
    size_t done = 0;
    while (done < buffer_.size()) {
#ifdef _WIN32
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(buffer_.size() - done, 1u << 30));
        if (!WriteFile(handle_, buffer_.data() + done, chunk, &n, nullptr)) raiseLastError();
#else
        const ssize_t n = ::write(handle_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            raiseErrno(errno);
        }
#endif
        done += static_cast<size_t>(n);
    }
    buffer_.clear();
}

void OutputFile::commit() {
    if (!isOpen()) raise(kBadFileName);
    flush();
#ifdef _WIN32
    CloseHandle(handle_);
    handle_ = kNoHandle;
    if (!MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD e = GetLastError();
        DeleteFileW(temp_.c_str());
        SetLastError(e);
        raiseLastError();
    }
#else
    const int closed = ::close(handle_);
    handle_ = kNoHandle;
    if (closed != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp_.c_str());
        raiseErrno(e == ENOENT ? ENOTDIR : e);
    }
#endif
}

void OutputFile::abandon() noexcept {
    if (!isOpen()) return;
#ifdef _WIN32
    CloseHandle(handle_);
    DeleteFileW(temp_.c_str());
#else
    ::close(handle_);
    ::unlink(temp_.c_str());
#endif
    handle_ = kNoHandle;
    buffer_.clear();
}

InputFile::InputFile(const std::filesystem::path& path) {
    if (path.empty() || hasWildcards(path)) raise(kBadFileName);
#ifdef _WIN32
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) raiseLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        raise(err::PathFileAccess);
    }
    handle_ = h;
    size_ = static_cast<std::uint64_t>(size.QuadPart);
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) raiseErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        raise(err::PathFileAccess);
    }
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
#endif
}

InputFile::~InputFile() {
#ifdef _WIN32
    if (handle_) CloseHandle(handle_);
#else
    if (handle_ >= 0) ::close(handle_);
#endif
}

void InputFile::read(void* data, size_t size) {
    auto* p = static_cast<unsigned char*>(data);
    size_t done = 0;
    while (done < size) {
#ifdef _WIN32
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
        if (!ReadFile(handle_, p + done, chunk, &n, nullptr)) raiseLastError();
#else
        const ssize_t n = ::read(handle_, p + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            raiseErrno(errno);
        }
#endif
        if (n == 0) raise(err::InputPastEnd);
        done += static_cast<size_t>(n);
    }
}

}  // namespace kelva::eng
