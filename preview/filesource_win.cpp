#include <windows.h>

#include <algorithm>

#include "core/errors.h"
#include "preview/filesource.h"

namespace kelva::preview {

namespace {
class WinFile final : public ByteSource {
public:
    WinFile(HANDLE h, std::uint64_t size) : h_(h), size_(size) {}
    ~WinFile() override { CloseHandle(h_); }
    WinFile(const WinFile&) = delete;
    WinFile& operator=(const WinFile&) = delete;

    std::uint64_t size() const override { return size_; }
    void read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        std::size_t done = 0;
        while (done < out.size()) {
            OVERLAPPED at{};
            const std::uint64_t pos = offset + done;
            at.Offset = static_cast<DWORD>(pos);
            at.OffsetHigh = static_cast<DWORD>(pos >> 32);
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
            DWORD got = 0;
            // A file cut short since it was opened reads short: the range is no longer there.
            if (!ReadFile(h_, out.data() + done, want, &got, &at) || got == 0) raise(err::InputPastEnd);
            done += got;
        }
    }

private:
    HANDLE h_;
    std::uint64_t size_;
};
}  // namespace

std::unique_ptr<ByteSource> openFileSource(const std::filesystem::path& path) {
    if (path.empty()) raise(err::PathFileAccess);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND: raise(err::FileNotFound);
        case ERROR_PATH_NOT_FOUND: raise(err::PathNotFound);
        default: raise(err::PathFileAccess);
        }
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size) || GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        raise(err::PathFileAccess);
    }
    return std::make_unique<WinFile>(h, static_cast<std::uint64_t>(size.QuadPart));
}

}  // namespace kelva::preview
