#include "cmdedit/file_store.h"

#include <atomic>
#include <memory>
#include <system_error>

#include "core/textcodec.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kelva::cmd {
namespace fs = std::filesystem;

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr openFile(const fs::path& p, bool write) {
#ifdef _WIN32
    return FilePtr(_wfopen(p.c_str(), write ? L"wb" : L"rb"));
#else
    return FilePtr(std::fopen(p.c_str(), write ? "wb" : "rb"));
#endif
}

// The bytes reach the disk, not only the system's cache, before the file counts as written.
bool flushToDisk(std::FILE* f) {
    if (std::fflush(f) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

fs::path besides(const fs::path& target, const wchar_t* kind) {
    static std::atomic<unsigned> counter{0};
    fs::path p = target;
    p += std::wstring(kind) + std::to_wstring(++counter);
    return p;
}
}  // namespace

std::optional<std::wstring> FileStore::read(const fs::path& p) {
    TextRead r = readText(*this, p);
    if (!r.ok()) return std::nullopt;
    return std::move(r.text);
}

bool FileStore::write(const fs::path& p, const std::wstring& text) { return writeText(*this, p, text); }

bool DiskFileStore::exists(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

std::size_t DiskFileStore::readSome(std::FILE* f, char* into, std::size_t size) { return std::fread(into, 1, size, f); }

std::optional<std::string> DiskFileStore::readBytes(const fs::path& p) {
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) return std::nullopt;
    const auto size = fs::file_size(p, ec);
    if (ec) return std::nullopt;
    FilePtr f = openFile(p, false);
    if (!f) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && readSome(f.get(), bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
    return bytes;
}

bool DiskFileStore::writeNew(const fs::path& p, const std::string& bytes) {
    FilePtr f = openFile(p, true);
    if (!f) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
    if (!flushToDisk(f.get())) return false;
    return std::fclose(f.release()) == 0;
}

bool DiskFileStore::move(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return !ec;
}

bool DiskFileStore::readOnly(const fs::path& p) {
    std::error_code ec;
    const auto st = fs::status(p, ec);
    return !ec && fs::is_regular_file(st) && (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}

void DiskFileStore::remove(const fs::path& p) {
    std::error_code ec;
    fs::remove(p, ec);
}

TextRead readText(FileStore& files, const fs::path& p) {
    auto bytes = files.readBytes(p);
    if (!bytes) return {{}, ReadError::Unreadable};
    if (bytes->empty()) return {{}, ReadError::Empty};
    auto text = decodeStrict(Codec::Cp949, *bytes);
    if (!text) return {{}, ReadError::NotCp949};
    return {std::move(*text), ReadError::None};
}

std::wstring readErrorMessage(const fs::path& p, ReadError e) {
    switch (e) {
    case ReadError::Empty: return p.wstring() + L" 파일이 비어 있습니다 ";
    case ReadError::NotCp949:
        return p.wstring() + L" 파일에 한글 코드(CP949)가 아닌 문자가 있어 읽을 수 없습니다 (UTF-8 파일이라면 ANSI로 저장해 주십시오) ";
    default: return p.wstring() + L" 파일 읽는 중 에러";
    }
}

std::optional<fs::path> replaceAll(FileStore& files, const std::vector<NewContent>& contents) {
    struct Step {
        fs::path temp, backup;
        bool hadTarget = false, backedUp = false, replaced = false;
    };
    std::vector<Step> steps(contents.size());
    auto undo = [&] {
        for (std::size_t i = steps.size(); i-- > 0;) {
            Step& s = steps[i];
            if (s.backedUp) files.move(s.backup, contents[i].target);
            else if (s.replaced) files.remove(contents[i].target);
            files.remove(s.temp);
        }
    };
    // Every new content is on the disk before any target is touched.
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const fs::path& target = contents[i].target;
        steps[i].temp = besides(target, L".tmp");
        steps[i].hadTarget = files.exists(target);
        if ((steps[i].hadTarget && files.readOnly(target)) || !files.writeNew(steps[i].temp, contents[i].bytes)) {
            undo();
            return target;
        }
    }
    for (std::size_t i = 0; i < contents.size(); ++i) {
        Step& s = steps[i];
        const fs::path& target = contents[i].target;
        if (s.hadTarget) {
            s.backup = besides(target, L".bak");
            if (!files.move(target, s.backup)) {
                undo();
                return target;
            }
            s.backedUp = true;
        }
        if (!files.move(s.temp, target)) {
            undo();
            return target;
        }
        s.replaced = true;
    }
    for (const Step& s : steps)
        if (s.backedUp) files.remove(s.backup);
    return std::nullopt;
}

bool writeText(FileStore& files, const fs::path& p, const std::wstring& text) {
    auto bytes = encodeStrict(Codec::Cp949, text);
    return bytes && !replaceAll(files, {{p, std::move(*bytes)}});
}

}  // namespace kelva::cmd
