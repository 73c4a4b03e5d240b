#pragma once
// What the Windows tests of the registrar share: a private registry sandbox, a scratch folder, and
// the folder the test programs and fixtures were built into.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

namespace kelva::setup::wintest {

inline std::wstring moduleFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/"));
}

inline bool writeBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(f);
    return ok && put == bytes.size();
}

inline std::string readBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
    CloseHandle(f);
    return out;
}

inline bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t tmp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, tmp);
        GUID g;
        CoCreateGuid(&g);
        wchar_t name[64];
        swprintf(name, 64, L"kelva-setup-%08lx%04x", g.Data1, g.Data2);
        path_ = std::wstring(tmp) + name;
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { removeTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

    // A folder is used only by this test, so the whole tree goes.
    static void removeTree(const std::wstring& folder) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring n = fd.cFileName;
                if (n == L"." || n == L"..") continue;
                const std::wstring p = folder + L"\\" + n;
                SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(p);
                else
                    DeleteFileW(p.c_str());
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(folder.c_str());
    }

private:
    std::wstring path_;
};

// HKCU and HKLM of this process redirected to private keys for the test's life.
class RegistrySandbox : public ::testing::Test {
protected:
    void SetUp() override {
        GUID g;
        CoCreateGuid(&g);
        wchar_t name[96];
        swprintf(name, 96, L"Software\\KelvaSetupSandbox\\%08lx%04x", g.Data1, g.Data2);
        root_ = name;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\HKCU").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &hkcu_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\HKLM").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &hklm_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, hkcu_), ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, hklm_), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        if (hkcu_) RegCloseKey(hkcu_);
        if (hklm_) RegCloseKey(hklm_);
        RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\KelvaSetupSandbox");  // only when empty
    }

private:
    std::wstring root_;
    HKEY hkcu_ = nullptr;
    HKEY hklm_ = nullptr;
};

}  // namespace kelva::setup::wintest
