#include "cmdedit/file_store.h"

#include <memory>
#include <system_error>

#include "core/textcodec.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
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

// A name beside the target that no file has: the kind of file, numbered from the second on. A
// backup or temporary file left by an earlier run (or the user's own "Kelva.mns.bak") is never
// taken for a new one.
std::optional<fs::path> freeNameBesides(FileStore& files, const fs::path& target, const wchar_t* kind) {
    for (int n = 1; n <= 9999; ++n) {
        fs::path p = target;
        p += n == 1 ? std::wstring(kind) : std::wstring(kind) + std::to_wstring(n);
        if (!files.exists(p)) return p;
    }
    return std::nullopt;
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

bool DiskFileStore::replace(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
    // One rename of the system that replaces the target, done on the disk before it returns.
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
#else
    std::error_code ec;
    fs::rename(from, to, ec);  // rename(2) replaces in one step
    return !ec;
#endif
}

bool DiskFileStore::copyNew(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
    return CopyFileW(from.c_str(), to.c_str(), TRUE) != FALSE;  // TRUE: fail when `to` exists
#else
    std::error_code ec;
    return fs::copy_file(from, to, fs::copy_options::none, ec) && !ec;
#endif
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

std::optional<ReplaceFailure> replaceAll(FileStore& files, const std::vector<NewContent>& contents) {
    struct Step {
        fs::path temp, backup;
        bool hadTarget = false, backedUp = false, replaced = false;
    };
    std::vector<Step> steps(contents.size());
    auto fail = [&](const fs::path& target) {
        ReplaceFailure failure{target, {}};
        for (std::size_t i = steps.size(); i-- > 0;) {
            Step& s = steps[i];
            const fs::path& t = contents[i].target;
            if (s.replaced && s.backedUp) {
                // What cannot be put back stays new, and its backup stays to be found.
                if (!files.replace(s.backup, t)) failure.notPutBack.push_back({t, s.backup});
            } else if (s.replaced) {
                files.remove(t);
            } else if (s.backedUp) {
                files.remove(s.backup);
            }
            if (!s.temp.empty()) files.remove(s.temp);
        }
        return failure;
    };
    // Every new content is on the disk before any target is touched.
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const fs::path& target = contents[i].target;
        Step& s = steps[i];
        s.hadTarget = files.exists(target);
        if (s.hadTarget && files.readOnly(target)) return fail(target);
        auto temp = freeNameBesides(files, target, L".tmp");
        if (!temp) return fail(target);
        s.temp = *temp;
        if (!files.writeNew(s.temp, contents[i].bytes)) return fail(target);
    }
    for (std::size_t i = 0; i < contents.size(); ++i) {
        Step& s = steps[i];
        const fs::path& target = contents[i].target;
        if (s.hadTarget) {
            auto backup = freeNameBesides(files, target, L".bak");
            if (!backup || !files.copyNew(target, *backup)) return fail(target);
            s.backup = *backup;
            s.backedUp = true;
        }
        if (!files.replace(s.temp, target)) return fail(target);
        s.replaced = true;
        s.temp.clear();
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
