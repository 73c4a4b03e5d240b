#include "setup/win/win_files.h"

#include <windows.h>

#include <string>

#include "setup/win/handle.h"

namespace kelva::setup {

bool WinFiles::isFile(std::wstring_view path) {
    const std::wstring p(path);
    const DWORD a = GetFileAttributesW(p.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFiles::readAll(std::wstring_view path, std::string& bytes) {
    const std::wstring p(path);
    UniqueHandle f(CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size) || size.QuadPart < 0 || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(f.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr)) return false;
        if (got == 0) return false;  // the file shrank while we read it
        done += got;
    }
    return true;
}

bool WinFiles::writeNew(std::wstring_view path, std::string_view bytes) {
    const std::wstring p(path);
    UniqueHandle f(CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        if (!WriteFile(f.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put, nullptr) || put == 0)
            return false;
        done += put;
    }
    if (!FlushFileBuffers(f.get())) return false;
    return f.close();
}

bool WinFiles::replace(std::wstring_view target, std::wstring_view replacement, std::wstring_view backup) {
    const std::wstring t(target), r(replacement), b(backup);
    // A read-only file stays as its owner marked it.
    const DWORD a = GetFileAttributesW(t.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return ReplaceFileW(t.c_str(), r.c_str(), b.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
}

bool WinFiles::rename(std::wstring_view from, std::wstring_view to) {
    const std::wstring f(from), t(to);
    return MoveFileExW(f.c_str(), t.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool WinFiles::remove(std::wstring_view path) {
    const std::wstring p(path);
    return DeleteFileW(p.c_str()) != FALSE;
}

std::wstring WinFiles::tempNameBeside(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder(slash == std::wstring_view::npos ? std::wstring_view{} : path.substr(0, slash + 1));
    for (unsigned i = 0;; ++i) {
        std::wstring name = folder + L"~kelva" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(i) + L".tmp";
        if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) return name;
    }
}

}  // namespace kelva::setup
